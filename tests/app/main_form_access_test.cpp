// The signed-in user's rights and flags on the main window: the view right deciding menu
// items and toolbar buttons, the diary following scheduled activities, the
// administrator, workflow and billing flags, and the captions of the menus.
#include "app_fixture.h"

#include "data/app_state.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
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
        setAccess(kUser, QStringLiteral("Customers"), c.level);
        state().CurrentUserId = kUser;
        auto form = openMainForm();
        ASSERT_EQ(state().UserAccess.size(), 1u);
        EXPECT_EQ(form->menuItem(QStringLiteral("mnuCustomers"))->isEnabled(), c.view);
        EXPECT_EQ(toolbarButton(*form, QStringLiteral("Customers"))->isVisible(), c.view);
        EXPECT_TRUE(form->menuItem(QStringLiteral("mnuContacts"))->isEnabled());
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
}

TEST_F(MainFormTest, UserFlagsShowTheAdminAndBillingMenusAndTheWorkflowTitle) {
    struct Case {
        const char* user;
        bool administrator, workflow, billing;
    };
    const Case cases[] = {{"ann", true, false, true},
                          {"bob", false, false, false},
                          {"cat", false, true, true},
                          {"nobody", false, false, false}};  // no row: no flags
    for (const Case& c : cases) {
        const QString user = QString::fromLatin1(c.user);
        SCOPED_TRACE(c.user);
        if (user != QStringLiteral("nobody")) addUser(user, c.administrator, c.workflow, c.billing);
        state().WorkflowMode = false;
        state().CurrentUserId = user;
        auto form = openMainForm();

        EXPECT_EQ(form->menu(QStringLiteral("mnuAdmin"))->menuAction()->isVisible(),
                  c.administrator);
        EXPECT_EQ(state().IsAdministrator, c.administrator);
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
                        "[CONTROLTAG] = 'Search'")});
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
    // Submenus take their titles too; rows that do not exist leave the design.
    EXPECT_EQ(form->menu(QStringLiteral("mnuReports"))->title(), QStringLiteral("&Reporting"));
    EXPECT_EQ(form->menuItem(QStringLiteral("selectcheckinbox"))->text(),
              QStringLiteral("Check &Inbox"));
}

TEST_F(MainFormTest, FirstActivationRunsOnceAndWelcomesTheUser) {
    addUser(kUser);
    setAccess(kUser, QStringLiteral("Customers"), 0);
    state().CurrentUserId = kUser;
    auto form = openMainForm();
    EXPECT_TRUE(form->isActivated());
    EXPECT_EQ(form->statusPanel(2)->text(), kUser);
    EXPECT_EQ(form->statusPanel(1)->text(), QStringLiteral("Welcome to Tolvarine."));

    // Rights changed meanwhile take effect at the next sign-in, not at the next activation.
    clearAccess(kUser);
    form->activate();
    EXPECT_FALSE(form->menuItem(QStringLiteral("mnuCustomers"))->isEnabled());
    EXPECT_EQ(state().UserAccess.size(), 1u);
}

}  // namespace
}  // namespace tvtest
