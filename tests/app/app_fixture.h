// Sign-in tests: fresh copies of the shipped databases in a scratch data folder that the
// settings name as the data and definitions location, with nothing open yet (the sign-in
// window opens what it needs), and the scripted prompter answering every question.
#pragma once

#include "common/data/shipped_fixture.h"

#include <QString>
#include <QStringList>
#include <functional>

class QObject;
class QWidget;

namespace tvtest {

class SignInTest : public ShippedDatabasesTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs statements on a database file apart from the program's own handles.
    static void execOn(const QString& path, const QStringList& statements);
    static void writeGarbage(const QString& path);
    // The visible main window, or nullptr.
    static QWidget* mainWindow();
};

// Runs `drive` on the modal dialog the code that runs next shows (exec() blocks the test
// until it closes); the dialog is rejected afterwards if `drive` left it open, so a
// failing test cannot hang.
void whenModal(QObject* context, std::function<void(QWidget*)> drive);

}  // namespace tvtest
