// Fixtures of the application shell's tests, both over fresh copies of the shipped
// databases with the scripted prompter answering every question:
// - SignInTest: a new run as the sign-in window finds it, nothing open, the scratch data
//   folder named in the settings as the data and definitions location;
// - MainFormTest: the databases open and "admin" signed in (a test may sign in another
//   user it adds), the mail check replaced by one the test drives.
#pragma once

#include "app/main_form.h"
#include "common/data/shipped_fixture.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;

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

class MainFormTest : public ShippedDatabasesTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A loaded main window for the signed-in user, activated once unless asked not to.
    std::unique_ptr<tv::app::MainForm> openMainForm(bool activate = true);

    // What the next mail checks answer; each check counts in mailChecks.
    int mailAnswer = -1;
    int mailChecks = 0;
};

// The toolbar button with the identifier, or nullptr.
QAction* toolbarButton(tv::app::MainForm& form, const QString& identifier);

// Runs `drive` on the modal dialog the code that runs next shows (exec() blocks the test
// until it closes); the dialog is rejected afterwards if `drive` left it open, so a
// failing test cannot hang.
void whenModal(QObject* context, std::function<void(QWidget*)> drive);

// The warnings Qt prints while an object of this class lives (one at a time), less the
// offscreen platform's remarks on what it cannot do.
struct QtWarnings {
    QtWarnings();
    ~QtWarnings();
    QStringList texts;
};

}  // namespace tvtest
