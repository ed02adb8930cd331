// The main window as the signed-in user finds it: rights and flags applied to menus and
// toolbar, the captions of the menus, the first activation, and the "Mail" panel.
#include "app_fixture.h"

#include "app/mail_check.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "messaging/msg_client.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolBar>

namespace tvtest {
namespace {

using tv::data::state;

const QString kUser = QStringLiteral("dana");

// How a level decodes is the data layer's business; here only what the view right does.
TEST_F(MainFormTest, TheViewRightDecidesTheMenuItemAndTheToolbarButton) {
    struct Case {
        std::optional<int> level;
        bool view;
    };
    addUser(kUser);
    for (const Case& c :
         {Case{0, false}, Case{14, false}, Case{1, true}, Case{std::nullopt, true}}) {
        SCOPED_TRACE(c.level ? c.level.value() : -1);
        setAccess(kUser, QStringLiteral("customers"), c.level);  // names ignore case
        state().CurrentUserId = kUser;
        auto form = openMainForm();
        ASSERT_EQ(state().UserAccess.size(), 1u);
        EXPECT_EQ(form->menuItem(QStringLiteral("mnuCustomers"))->isEnabled(), c.view);
        EXPECT_EQ(toolbarButton(*form, QStringLiteral("Customers"))->isVisible(), c.view);
        EXPECT_TRUE(form->menuItem(QStringLiteral("mnuContacts"))->isEnabled());
        // Whatever the arrangement, which keeps the button for when the right returns.
        const QStringList mine{QStringLiteral("Send"), QStringLiteral("Customers")};
        form->applyToolbarLayout(mine);
        EXPECT_EQ(toolbarButton(*form, QStringLiteral("Customers"))->isVisible(), c.view);
        EXPECT_EQ(form->toolbarLayout(), mine);
    }
}

TEST_F(MainFormTest, ScheduledActivitiesWithoutViewRightDisablesTheDiaryToo) {
    addUser(kUser);
    setAccess(kUser, QStringLiteral("Scheduled Activities"), 14);
    state().CurrentUserId = kUser;
    auto form = openMainForm();

    EXPECT_FALSE(form->menuItem(QStringLiteral("mnuScheduled"))->isEnabled());
    EXPECT_FALSE(form->menuItem(QStringLiteral("mnuDiary"))->isEnabled());
    EXPECT_TRUE(form->menuItem(QStringLiteral("mnuToDo"))->isEnabled());
    // The buttons are named "Scheduled" and "Diary", not after the table: they stay on the
    // toolbar but cannot run what the menu may not.
    for (const QString& id : {QStringLiteral("Scheduled"), QStringLiteral("Diary")}) {
        EXPECT_TRUE(toolbarButton(*form, id)->isVisible()) << id.toStdString();
        EXPECT_FALSE(toolbarButton(*form, id)->isEnabled()) << id.toStdString();
    }
}

TEST_F(MainFormTest, RightsAreThoseOfTheSignedInUserAlone) {
    addUser(kUser);
    addUser(QStringLiteral("O'Brien"));
    setAccess(QStringLiteral("O'Brien"), QStringLiteral("Customers"), 0);
    state().CurrentUserId = kUser;
    auto form = openMainForm();
    EXPECT_TRUE(state().UserAccess.empty());
    for (QAction* a : form->toolbar()->actions()) {
        EXPECT_TRUE(a->isVisible() && (a->isSeparator() || a->isEnabled()))
            << a->objectName().toStdString();
    }

    state().CurrentUserId = QStringLiteral("O'Brien");
    auto second = openMainForm();
    EXPECT_FALSE(second->menuItem(QStringLiteral("mnuCustomers"))->isEnabled());
    EXPECT_EQ(second->statusPanel(2)->text(), QStringLiteral("O'Brien"));
    EXPECT_EQ(second->statusPanel(1)->text(), QStringLiteral("Welcome to Tolvarine."));

    // Rights changed meanwhile take effect at the next sign-in, not at the next activation.
    clearAccess(QStringLiteral("O'Brien"));
    second->activate();
    EXPECT_FALSE(second->menuItem(QStringLiteral("mnuCustomers"))->isEnabled());
}

TEST_F(MainFormTest, UserFlagsShowTheAdminAndBillingMenusAndTheWorkflowTitle) {
    struct Case {
        const char* user;
        bool administrator, workflow, billing;
    };
    // "nobody" has no row, so no flags.
    for (const Case& c : {Case{"ann", true, false, true}, Case{"bob", false, false, false},
                          Case{"cat", false, true, true}, Case{"nobody", false, false, false}}) {
        const QString user = QString::fromLatin1(c.user);
        SCOPED_TRACE(c.user);
        if (user != QStringLiteral("nobody")) addUser(user, c.administrator, c.workflow, c.billing);
        state().WorkflowMode = false;
        state().CurrentUserId = user;
        auto form = openMainForm();

        EXPECT_EQ(form->menu(QStringLiteral("mnuAdmin"))->menuAction()->isVisible(),
                  c.administrator);
        EXPECT_EQ(form->menu(QStringLiteral("mnuBilling"))->menuAction()->isVisible(), c.billing);
        EXPECT_EQ(state().WorkflowMode, c.workflow);
        EXPECT_EQ(form->windowTitle(), c.workflow
                                           ? QStringLiteral("Tolvarine - Workflow (") + user + u')'
                                           : QStringLiteral("Tolvarine"));
    }
}

TEST_F(MainFormTest, CaptionsAndToolTipsComeFromTheDefinitions) {
    execDefinitions(
        {QStringLiteral("UPDATE [FORM CAPTIONS] SET [CAPTION] = 'Our &Clients...', [TOOLTIP] = "
                        "'Every client we have' WHERE [FORMNAME] = 'MainForm' AND "
                        "[CONTROLTAG] = 'Customers'"),
         QStringLiteral("UPDATE [FORM CAPTIONS] SET [CAPTION] = Null, [TOOLTIP] = "
                        "'Ask what you like' WHERE [FORMNAME] = 'MainForm' AND "
                        "[CONTROLTAG] = 'Search'"),
         QStringLiteral("UPDATE [FORM CAPTIONS] SET [CAPTION] = 'Re&ports' WHERE [FORMNAME] = "
                        "'MainForm' AND [CONTROLTAG] = 'Reports'")});
    auto form = openMainForm(false);
    EXPECT_EQ(form->menuItem(QStringLiteral("mnuCustomers"))->text(),
              QStringLiteral("Our &Clients..."));
    EXPECT_EQ(form->menuItem(QStringLiteral("mnuCustomers"))->toolTip(),
              QStringLiteral("Every client we have"));
    // A Null caption keeps the designed text; the tool tip still comes.
    EXPECT_EQ(form->menuItem(QStringLiteral("mnuSearch"))->text(), QStringLiteral("&Search"));
    EXPECT_EQ(form->menuItem(QStringLiteral("mnuSearch"))->toolTip(),
              QStringLiteral("Ask what you like"));
    // The button keeps its picture and takes only the tool tip.
    QAction* button = toolbarButton(*form, QStringLiteral("Customers"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Every client we have"));
    EXPECT_EQ(button->text(), QStringLiteral("Customers"));
    EXPECT_EQ(form->menu(QStringLiteral("mnuReports"))->title(), QStringLiteral("Re&ports"));
}

TEST_F(MainFormTest, TheMailPanelFollowsEachCheckUntilMailGoesThroughOutlook) {
    mailAnswer = 0;
    auto form = openMainForm();  // the first activation looks at once
    EXPECT_EQ(mailChecks, 1);
    QLabel* mail = form->statusPanel(5);
    EXPECT_FALSE(mail->isHidden());

    const std::tuple<int, bool, int> answers[] = {{-1, false, 0}, {1, true, 3}, {0, true, 0}};
    for (const auto& [answer, shown, beeps] : answers) {
        SCOPED_TRACE(answer);
        const int beepsBefore = ask.beeps();
        mailAnswer = answer;
        form->checkMail();
        EXPECT_EQ(!mail->isHidden(), shown);
        EXPECT_EQ(ask.beeps() - beepsBefore, beeps);
    }

    tv::SaveSetting(tv::keys::EmailType, QStringLiteral("1"));
    form->checkMail();
    EXPECT_EQ(mailChecks, 4) << "the post office is not asked";
    EXPECT_TRUE(mail->isHidden());
    EXPECT_FALSE(form->mailTimer()->isActive());
}

// The message client's own check: no post office, then one with a message arriving and
// being deleted.
TEST_F(MainFormTest, MailPanelFollowsThePostOffice) {
    tv::app::setMailCheck(nullptr);
    tv::SaveSetting(tv::keys::PostOffice, data.file(QStringLiteral("nowhere")));
    auto form = openMainForm(false);
    QLabel* mail = form->statusPanel(5);
    form->checkMail();
    EXPECT_TRUE(mail->isHidden()) << "no post office shows no indicator";

    tv::SaveSetting(tv::keys::PostOffice, data.path());
    state().SharedValues[0] = QStringLiteral("admin");
    ASSERT_TRUE(tv::messaging::DeliverLocal(QStringLiteral("O'Brien Ltd"),
                                            QStringLiteral("Call back"),
                                            QStringLiteral("About the service contract"), {}));
    form->checkMail();
    EXPECT_FALSE(mail->isHidden());
    EXPECT_EQ(ask.beeps(), 3);

    tv::data::StringListSink inbox;
    QString headings;
    ASSERT_TRUE(tv::messaging::ListInbox(inbox, &headings, false));
    ASSERT_EQ(inbox.items.size(), 1);
    const int number = inbox.items.first().section(u'\t', 0, 0).toInt();
    ASSERT_TRUE(tv::messaging::DeleteMessage(QStringLiteral("Inbox"), number));
    form->checkMail();
    EXPECT_TRUE(mail->isHidden());
}

}  // namespace
}  // namespace tvtest
