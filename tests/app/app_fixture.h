// Fixtures of the application shell's tests over fresh copies of the shipped databases,
// the scripted prompter answering: SignInTest as a new run finds things (nothing open,
// the scratch folder named in the settings); MainFormTest with the databases open, "admin"
// signed in and the mail check replaced by one the test drives.
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

// Runs `drive` on the next modal dialog once it shows, then rejects it if still open, so
// a failing test cannot hang in exec().
void whenModal(QObject* context, std::function<void(QWidget*)> drive);

// The warnings Qt prints while an object of this class lives (one at a time), less the
// offscreen platform's remarks on what it cannot do.
struct QtWarnings {
    QtWarnings();
    ~QtWarnings();
    QStringList texts;
};

}  // namespace tvtest
