// What ShowListForm opens: the list window of a table display name (the main window then
// tags and shows it). Tests install their own factory to watch what is opened.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tv::app {

using ListWindowFactory = std::function<QWidget*(const QString& tableName)>;
// Installs the factory ShowListForm uses; an empty one puts back the list window.
void setListWindowFactory(ListWindowFactory factory);
QWidget* createListWindow(const QString& tableName);

}  // namespace tv::app
