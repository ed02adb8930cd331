// Main-window tests over fresh copies of the shipped databases, signed in as a user whose
// rights and flags each test sets, with the mail check replaced by one the test drives.
#pragma once

#include "app/main_form.h"
#include "common/data/shipped_fixture.h"

#include <QString>
#include <QStringList>
#include <memory>

class QAction;

namespace tvtest {

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

// The warnings Qt prints while an object of this class lives (one at a time).
class QtWarnings {
public:
    QtWarnings();
    ~QtWarnings();
    QStringList texts;
};

}  // namespace tvtest
