// The Security window: every business table listed, each stored level shown as four
// boxes, ticks kept per table, and Save writing a level for every table.
#include "adminforms/admin_fixture.h"

#include "forms/admin/admin_windows.h"
#include "forms/admin/security_window.h"
#include "forms/admin/users_window.h"
#include "forms/framework/record_catalogue.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <array>

namespace tvtest {
namespace {

using tv::forms::SecurityWindow;

const QString kUser = QStringLiteral("henry");

QListWidget* tables(SecurityWindow& w) {
    return w.findChild<QListWidget*>(QStringLiteral("List1"));
}

QCheckBox* box(SecurityWindow& w, int index) {
    return w.findChild<QCheckBox*>(QStringLiteral("AccessLevel_%1").arg(index));
}

void select(SecurityWindow& w, const QString& table) {
    const auto found = tables(w)->findItems(table, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << table.toStdString();
    tables(w)->setCurrentItem(found.first());
}

// add, edit, delete, view as the boxes show them.
std::array<bool, 4> ticks(SecurityWindow& w) {
    return {box(w, 0)->isChecked(), box(w, 1)->isChecked(), box(w, 2)->isChecked(),
            box(w, 3)->isChecked()};
}

TEST_F(AdminFormsTest, ANewUserHasEveryRightAndSavingWritesFifteenEverywhere) {
    addUser(kUser);
    {
        // Cancel writes nothing.
        SecurityWindow cancelled;
        cancelled.setUserId(kUser);
        cancelled.loadRights();
        box(cancelled, 3)->setChecked(false);
        cancelled.findChild<QPushButton*>(QStringLiteral("Cancelf"))->click();
        EXPECT_EQ(accessRowCount(kUser), 0);
    }
    SecurityWindow w;
    w.setUserId(kUser);
    w.loadRights();
    const int count = tables(w)->count();
    select(w, QStringLiteral("Customers"));
    EXPECT_EQ(ticks(w), (std::array<bool, 4>{true, true, true, true}));

    EXPECT_TRUE(w.saveDetails());
    EXPECT_EQ(accessRowCount(kUser), count);
    EXPECT_EQ(storedLevel(kUser, QStringLiteral("Sales Orders")), QStringLiteral("15"));
    EXPECT_EQ(statusText(), QStringLiteral("Access rights saved."));
}

TEST_F(AdminFormsTest, TicksBelongToTheSelectedTableAndSaveWritesThem) {
    addUser(kUser);
    setAccess(kUser, QStringLiteral("Quotations"), 5);
    SecurityWindow w;
    w.setUserId(kUser);
    w.loadRights();

    // The stored level shows as its rights (how levels decode is the data layer's test).
    select(w, QStringLiteral("Quotations"));
    EXPECT_EQ(ticks(w), (std::array<bool, 4>{false, true, false, true}));
    box(w, 0)->setChecked(true);   // add
    box(w, 1)->setChecked(false);  // edit
    select(w, QStringLiteral("Customers"));
    box(w, 3)->setChecked(false);  // view
    box(w, 2)->setChecked(false);  // delete
    select(w, QStringLiteral("Quotations"));
    EXPECT_EQ(ticks(w), (std::array<bool, 4>{true, false, false, true}));

    w.findChild<QPushButton*>(QStringLiteral("SaveDetails"))->click();
    EXPECT_EQ(storedLevel(kUser, QStringLiteral("Quotations")), QStringLiteral("3"));
    EXPECT_EQ(storedLevel(kUser, QStringLiteral("Customers")), QStringLiteral("6"));
    EXPECT_EQ(storedLevel(kUser, QStringLiteral("Contacts")), QStringLiteral("15"));
}

TEST_F(AdminFormsTest, ChangedRightsShowWhenTheUsersWindowOpensSecurityAgain) {
    addUser(QStringLiteral("O'Brien"));
    tv::forms::registerAdminWindows();
    auto* users = qobject_cast<tv::forms::UsersWindow*>(
        tv::forms::GetRecordWindow(QStringLiteral("System Users")));
    ASSERT_TRUE(users);
    ASSERT_TRUE(users->showUser(QStringLiteral("O'Brien")));

    SecurityWindow* first = users->openSecurity();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->userId(), QStringLiteral("O'Brien"));
    first->loadRights();
    select(*first, QStringLiteral("Service Contracts"));
    box(*first, 2)->setChecked(false);
    ASSERT_TRUE(first->saveDetails());
    EXPECT_EQ(storedLevel(QStringLiteral("O'Brien"), QStringLiteral("Service Contracts")),
              QStringLiteral("7"));

    SecurityWindow* second = users->openSecurity();
    ASSERT_TRUE(second);
    second->loadRights();
    select(*second, QStringLiteral("Service Contracts"));
    EXPECT_EQ(ticks(*second), (std::array<bool, 4>{true, true, false, true}));

    // Rights belong to a user id: a new user has none yet to give them to.
    users->newUser();
    EXPECT_EQ(users->openSecurity(), nullptr);
    users->close();
}

}  // namespace
}  // namespace tvtest
