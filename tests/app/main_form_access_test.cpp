// The signed-in user's rights and flags on the main window: access levels decoded into
// enabled menu items and visible toolbar buttons, the diary following scheduled
// activities, and the administrator, workflow and billing flags.
#include "main_form_fixture.h"

#include "data/app_state.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolBar>

namespace tvtest {
namespace {

using tv::data::state;

const QString kUser = QStringLiteral("dana");

TEST_F(MainFormTest, AccessLevelsDecideMenuItemsAndToolbarButtons) {
    struct Case {
        std::optional<int> level;
        bool add, edit, remove, view;
    };
    const Case cases[] = {
        {0, false, false, false, false}, {1, false, false, false, true},
        {5, false, true, false, true},   {15, true, true, true, true},
        {16, true, true, true, true},    {std::nullopt, true, true, true, true},
        {2, true, false, false, false},  {8, false, false, true, false},
    };
    addUser(kUser);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level ? c.level.value() : -999);
        setAccess(kUser, QStringLiteral("Customers"), c.level);
        state().CurrentUserId = kUser;
        auto form = openMainForm();

        ASSERT_EQ(state().UserAccess.size(), 1u);
        const tv::data::AccessEntry& entry = state().UserAccess.front();
        EXPECT_EQ(entry.TableName, QStringLiteral("Customers"));
        EXPECT_EQ(entry.CanAdd, c.add);
        EXPECT_EQ(entry.CanEdit, c.edit);
        EXPECT_EQ(entry.CanDelete, c.remove);
        EXPECT_EQ(entry.CanView, c.view);

        EXPECT_EQ(form->menuItem(QStringLiteral("mnuCustomers"))->isEnabled(), c.view);
        QAction* button = toolbarButton(*form, QStringLiteral("Customers"));
        ASSERT_TRUE(button);
        EXPECT_EQ(button->isVisible(), c.view);
        // Other tables keep their menu items.
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
        QAction* button = toolbarButton(*form, id);
        ASSERT_TRUE(button);
        EXPECT_TRUE(button->isVisible()) << id.toStdString();
        EXPECT_FALSE(button->isEnabled()) << id.toStdString();
    }
}

TEST_F(MainFormTest, EachTableWithoutViewRightLosesItsOwnMenuItem) {
    const std::pair<const char*, const char*> tables[] = {
        {"Contacts", "mnuContacts"},
        {"Current Requests", "mnuRequestsOpen"},
        {"Completed Requests", "mnuRequestsClosed"},
        {"Customer Feedback", "mnuFeedback"},
        {"Document List", "mnuDocuments"},
        {"System Users", "mnuUsers"},
    };
    addUser(kUser, true);
    for (const auto& [table, item] : tables) setAccess(kUser, QString::fromLatin1(table), 0);
    state().CurrentUserId = kUser;
    auto form = openMainForm();
    for (const auto& [table, item] : tables)
        EXPECT_FALSE(form->menuItem(QString::fromLatin1(item))->isEnabled()) << table;
    EXPECT_TRUE(form->menuItem(QStringLiteral("mnuCustomers"))->isEnabled());
    EXPECT_TRUE(form->menuItem(QStringLiteral("mnuProjects"))->isEnabled());
}

TEST_F(MainFormTest, NoAccessRowsMeansEverythingStaysAvailable) {
    addUser(kUser);
    state().CurrentUserId = kUser;
    auto form = openMainForm();
    EXPECT_TRUE(state().UserAccess.empty());
    for (QAction* a : form->toolbar()->actions()) {
        EXPECT_TRUE(a->isVisible());
        if (!a->isSeparator()) {
            EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
        }
    }
    EXPECT_TRUE(form->menuItem(QStringLiteral("mnuDiary"))->isEnabled());
}

TEST_F(MainFormTest, AccessIsReadOnlyForTheSignedInUser) {
    addUser(kUser);
    addUser(QStringLiteral("O'Brien"));
    setAccess(QStringLiteral("O'Brien"), QStringLiteral("Customers"), 0);
    state().CurrentUserId = kUser;
    auto form = openMainForm();
    EXPECT_TRUE(form->menuItem(QStringLiteral("mnuCustomers"))->isEnabled());

    state().CurrentUserId = QStringLiteral("O'Brien");
    auto second = openMainForm();
    EXPECT_FALSE(second->menuItem(QStringLiteral("mnuCustomers"))->isEnabled());
}

TEST_F(MainFormTest, UserFlagsShowTheAdminAndBillingMenusAndTheWorkflowTitle) {
    struct Case {
        bool administrator, workflow, billing;
    };
    const Case cases[] = {{true, false, true}, {false, false, false}, {false, true, true}};
    int n = 0;
    for (const Case& c : cases) {
        const QString user = QStringLiteral("user%1").arg(++n);
        SCOPED_TRACE(user.toStdString());
        addUser(user, c.administrator, c.workflow, c.billing);
        state().WorkflowMode = false;
        state().CurrentUserId = user;
        auto form = openMainForm();

        EXPECT_EQ(form->menu(QStringLiteral("mnuAdmin"))->menuAction()->isVisible(),
                  c.administrator);
        EXPECT_EQ(state().IsAdministrator, c.administrator);
        EXPECT_EQ(form->menu(QStringLiteral("mnuBilling"))->menuAction()->isVisible(), c.billing);
        EXPECT_EQ(state().HasBillingAccess, c.billing);
        EXPECT_EQ(state().WorkflowMode, c.workflow);
        EXPECT_EQ(form->windowTitle(), c.workflow
                                           ? QStringLiteral("Tolvarine - Workflow (") + user + u')'
                                           : QStringLiteral("Tolvarine"));
    }
}

TEST_F(MainFormTest, AnUnknownUserGetsNoAdministrationMenu) {
    state().CurrentUserId = QStringLiteral("nobody");
    auto form = openMainForm();
    EXPECT_FALSE(form->menu(QStringLiteral("mnuAdmin"))->menuAction()->isVisible());
    EXPECT_FALSE(form->menu(QStringLiteral("mnuBilling"))->menuAction()->isVisible());
}

TEST_F(MainFormTest, CaptionsAndToolTipsComeFromTheDefinitions) {
    execDefinitions({QStringLiteral(
        "UPDATE [FORM CAPTIONS] SET [CAPTION] = 'Our &Clients...', [TOOLTIP] = 'Every client "
        "we have' WHERE [FORMNAME] = 'MainForm' AND [CONTROLTAG] = 'Customers'")});
    auto form = openMainForm(false);
    EXPECT_EQ(form->menuItem(QStringLiteral("mnuCustomers"))->text(),
              QStringLiteral("Our &Clients..."));
    EXPECT_EQ(form->menuItem(QStringLiteral("mnuCustomers"))->toolTip(),
              QStringLiteral("Every client we have"));
    // The button keeps its picture and takes only the tool tip.
    QAction* button = toolbarButton(*form, QStringLiteral("Customers"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Every client we have"));
    EXPECT_EQ(button->text(), QStringLiteral("Customers"));
    // Submenus take their titles too; rows that do not exist leave the design.
    EXPECT_EQ(form->menu(QStringLiteral("mnuReports"))->title(), QStringLiteral("&Reporting"));
    EXPECT_EQ(form->menuItem(QStringLiteral("selectcheckinbox"))->text(),
              QStringLiteral("Check &Inbox"));
    EXPECT_FALSE(form->menuItem(QStringLiteral("mnuTutorial"))->isVisible());
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
