// A person's session from the sign-in window on: the menus their rights allow, a toolbar
// they customise, and the same toolbar after signing in again.
#include "app_fixture.h"
#include "main_form_fixture.h"

#include "app/login.h"
#include "app/mail_check.h"
#include "app/main_form.h"
#include "app/toolbar_customiser.h"
#include "core/settings_keys.h"
#include "data/app_state.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>

namespace tvtest {
namespace {

class SessionTest : public SignInTest {
protected:
    void SetUp() override {
        SignInTest::SetUp();
        tv::SaveSetting(tv::keys::ShowTipsAtStartup, QStringLiteral("0"));
        tv::app::setMailCheck([] { return -1; });
        execOn(
            dataPath(),
            {QStringLiteral("INSERT INTO [System Users] ([USERID], [USERNAME], [PASSWORD], "
                            "[ADMINISTRATOR], [WORKFLOW], [BILLINGACCESS]) VALUES ('gina', "
                            "'Gina Marsh', 'secret', False, False, False)"),
             QStringLiteral("INSERT INTO [System User Access] VALUES ('gina', 'Customers', 0)"),
             QStringLiteral("INSERT INTO [System User Access] VALUES ('gina', "
                            "'Scheduled Activities', 0)"),
             QStringLiteral("INSERT INTO [System User Access] VALUES ('gina', 'Quotations', 1)")});
    }
    void TearDown() override {
        tv::app::setMailCheck(nullptr);
        SignInTest::TearDown();
    }

    // Signs in through the sign-in window and returns the main window, activated.
    tv::app::MainForm* signIn(const QString& user, const QString& password) {
        tv::data::state().reset();
        auto* login = new tv::app::Login();
        login->setAttribute(Qt::WA_DeleteOnClose);
        EXPECT_TRUE(login->load());
        login->show();
        login->findChild<QLineEdit*>(QStringLiteral("DataField_0"))->setText(user);
        login->findChild<QLineEdit*>(QStringLiteral("DataField_1"))->setText(password);
        login->findChild<QPushButton*>(QStringLiteral("loginf"))->click();
        auto* main = qobject_cast<tv::app::MainForm*>(mainWindow());
        if (main) main->activate();
        return main;
    }
};

QAction* button(tv::app::MainForm* form, const QString& id) { return toolbarButton(*form, id); }

TEST_F(SessionTest, SignInCustomiseRestartFindTheToolbarAsLeft) {
    tv::app::MainForm* main = signIn(QStringLiteral("gina"), QStringLiteral("secret"));
    ASSERT_TRUE(main);

    // What the rights allow.
    EXPECT_FALSE(main->menuItem(QStringLiteral("mnuDiary"))->isEnabled());
    EXPECT_TRUE(main->menuItem(QStringLiteral("mnuQuotations"))->isEnabled());
    EXPECT_FALSE(main->menu(QStringLiteral("mnuAdmin"))->menuAction()->isVisible());
    EXPECT_FALSE(button(main, QStringLiteral("Customers"))->isVisible());

    // The customise dialog, driven as a person would: drop Diary, move Search to the front.
    whenModal(main, [](QWidget* modal) {
        auto* dialog = qobject_cast<tv::app::ToolbarCustomiser*>(modal);
        ASSERT_TRUE(dialog);
        QListWidget* current = dialog->currentList();
        for (int i = 0; i < current->count(); ++i) {
            if (current->item(i)->text() == QStringLiteral("Diary")) current->setCurrentRow(i);
        }
        dialog->removeSelected();
        for (int i = 0; i < current->count(); ++i) {
            if (current->item(i)->text() == QStringLiteral("Search")) current->setCurrentRow(i);
        }
        while (current->currentRow() > 0) dialog->moveSelected(-1);
        dialog->accept();
    });
    main->runCommand(QStringLiteral("mnuCustomizeToolbar"));
    const QStringList left = main->toolbarLayout();
    ASSERT_EQ(left.first(), QStringLiteral("Search"));
    ASSERT_FALSE(left.contains(QStringLiteral("Diary")));
    EXPECT_FALSE(button(main, QStringLiteral("Customers"))->isVisible()) << "still hidden";

    main->close();  // ends the session; the toolbar is saved
    QApplication::processEvents();
    ASSERT_EQ(mainWindow(), nullptr);

    tv::app::MainForm* again = signIn(QStringLiteral("gina"), QStringLiteral("secret"));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->toolbarLayout(), left);
    EXPECT_FALSE(button(again, QStringLiteral("Customers"))->isVisible());

    // Another person at the same workstation shares the stored arrangement (it is the
    // workstation user's setting) but has his own rights.
    again->close();
    QApplication::processEvents();
    tv::app::MainForm* admin = signIn(QStringLiteral("admin"), QStringLiteral("admin"));
    ASSERT_TRUE(admin);
    EXPECT_TRUE(button(admin, QStringLiteral("Customers"))->isVisible());
    EXPECT_TRUE(admin->menu(QStringLiteral("mnuAdmin"))->menuAction()->isVisible());
}

}  // namespace
}  // namespace tvtest
