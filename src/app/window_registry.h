// The windows the main window's commands open by name ("Options", "Diary", "TableList"...),
// each registered by the library that provides it. A command whose window is not
// registered opens a window that says what the feature is and that it is not yet
// available, so every menu item does something sensible from the first version on.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tv::app {

// Makes a new window; `mainWindow` is the frame it will live in. A window shown modally
// must be a QDialog.
using WindowFactory = std::function<QWidget*(QWidget* mainWindow)>;

// Registers (or replaces) the factory of a window name; an empty factory removes it.
void registerWindow(const QString& name, WindowFactory factory);
bool isWindowRegistered(const QString& name);
// A new window of that name, or nullptr when none is registered.
QWidget* createWindow(const QString& name, QWidget* mainWindow);

// What a window that is not yet available is: its title and one paragraph on what it
// will do. Unknown names get the name itself and a general sentence.
struct FeatureDescription {
    QString title;
    QString purpose;
};
FeatureDescription describeFeature(const QString& windowName);

}  // namespace tv::app
