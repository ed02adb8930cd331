// Opening rows in their record window, with the Users window as the window under test:
// one window per table refilled in place, the key it tracks, the save right by edit
// mode, and the table-specific preparation of windows that lack the usual properties.
#include "adminforms/admin_fixture.h"

#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/record_values.h"
#include "forms/admin/admin_windows.h"
#include "forms/admin/users_window.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace tvtest {
namespace {

using tv::data::state;
using tv::forms::OpenRecordWindow;
using tv::forms::UsersWindow;

const QString kUsers = QStringLiteral("System Users");

class RecordOpenerTest : public AdminFormsTest {
protected:
    void SetUp() override {
        AdminFormsTest::SetUp();
        tv::forms::registerAdminWindows();
    }

    // Opens a stored user the way a list does: the row read into an array, mode 2.
    static UsersWindow* openStored(const QString& userId) {
        if (!tv::data::LoadRecord(kUsers, userId)) return nullptr;
        state().PendingEditMode = 2;
        if (!OpenRecordWindow(kUsers, state().FieldValues)) return nullptr;
        return qobject_cast<UsersWindow*>(tv::forms::GetRecordWindow(kUsers));
    }
    static UsersWindow* openNew() {
        tv::data::FieldValueArray values;
        values.resize(14);
        state().PendingEditMode = 1;
        if (!OpenRecordWindow(kUsers, values)) return nullptr;
        return qobject_cast<UsersWindow*>(tv::forms::GetRecordWindow(kUsers));
    }
    static QLineEdit* userId(QWidget* w) {
        return w->findChild<QLineEdit*>(QStringLiteral("UserID"));
    }
    static QPushButton* saveButton(QWidget* w) {
        return w->findChild<QPushButton*>(QStringLiteral("Savef"));
    }
};

TEST_F(RecordOpenerTest, ASecondRowRefillsTheOpenWindowAndItsTrackedKey) {
    addUser(QStringLiteral("ivan"));
    UsersWindow* first = openStored(QStringLiteral("admin"));
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->property("tag").toString(), kUsers);
    EXPECT_EQ(first->localEditMode(), 2);
    EXPECT_EQ(first->originalKeyValue(), QStringLiteral("admin"));
    EXPECT_EQ(first->findChild<QLineEdit*>(QStringLiteral("ChargeRate"))->text().count(u'.'), 1)
        << "the window's own step formats the rate once the row is shown";

    EXPECT_EQ(first->focusWidget(), userId(first))
        << "typing starts in the first field, not in "
        << (first->focusWidget() ? first->focusWidget()->objectName().toStdString() : "nothing");

    UsersWindow* second = openStored(QStringLiteral("ivan"));
    EXPECT_EQ(second, first);
    EXPECT_EQ(userId(second)->text(), QStringLiteral("ivan"));
    EXPECT_EQ(second->originalKeyValue(), QStringLiteral("ivan"));

    // The tracked key finds the row even after the user has edited the key field.
    userId(second)->setText(QStringLiteral("ivan.k"));
    ASSERT_TRUE(second->save());
    EXPECT_EQ(dataValue(QStringLiteral("SELECT Count(*) FROM [System Users] WHERE [USERID] "
                                       "IN ('ivan', 'ivan.k')")),
              QStringLiteral("1"));
    EXPECT_EQ(second->originalKeyValue(), QStringLiteral("ivan.k"));

    // A new row empties the tracked key, so its save adds rather than overwrites.
    UsersWindow* fresh = openNew();
    EXPECT_EQ(fresh, first);
    EXPECT_EQ(fresh->localEditMode(), 1);
    EXPECT_TRUE(fresh->originalKeyValue().isEmpty());
    userId(fresh)->setText(QStringLiteral("O'Brien"));
    ASSERT_TRUE(fresh->save());
    EXPECT_EQ(fresh->localEditMode(), 2);
    EXPECT_EQ(dataValue(QStringLiteral("SELECT Count(*) FROM [System Users]")),
              QStringLiteral("3"));
}

TEST_F(RecordOpenerTest, TheSaveButtonFollowsTheRightForTheEditMode) {
    struct Case {
        std::optional<tv::data::AccessEntry> entry;
        bool newRowSavable;
        bool storedRowSavable;
    };
    const auto entry = [](const char* table, bool add, bool edit) {
        tv::data::AccessEntry e;
        e.TableName = QString::fromLatin1(table);
        e.CanAdd = add;
        e.CanEdit = edit;
        return std::optional(e);
    };
    const Case cases[] = {
        {std::nullopt, true, true},                         // no entry: unrestricted
        {entry("system users", false, true), false, true},  // names compare ignoring case
        {entry("System Users", true, false), true, false},
        {entry("Customers", false, false), true, true},  // another table's entry
    };
    for (const Case& c : cases) {
        state().UserAccess.clear();
        if (c.entry) state().UserAccess.push_back(*c.entry);
        UsersWindow* w = openNew();
        ASSERT_TRUE(w);
        EXPECT_EQ(saveButton(w)->isEnabled(), c.newRowSavable);
        w = openStored(QStringLiteral("admin"));
        EXPECT_EQ(saveButton(w)->isEnabled(), c.storedRowSavable);
    }

    // Saving a new row with add but no edit right leaves an existing row: no more saves.
    state().UserAccess = {*entry("System Users", true, false)};
    UsersWindow* w = openNew();
    userId(w)->setText(QStringLiteral("newcomer"));
    ASSERT_TRUE(w->save());
    EXPECT_FALSE(saveButton(w)->isEnabled());
}

TEST_F(RecordOpenerTest, ExitOnSaveClosesTheWindowAfterTheRowIsStored) {
    tv::SaveSetting(tv::keys::ExitOnSave(kUsers), QStringLiteral("1"));
    QPointer<UsersWindow> w = openNew();
    ASSERT_TRUE(w);
    userId(w)->setText(QStringLiteral("quitter"));
    ASSERT_TRUE(w->save());
    EXPECT_FALSE(w && w->isVisible());
    EXPECT_EQ(dataValue(QStringLiteral("SELECT Count(*) FROM [System Users] WHERE [USERID] = "
                                       "'quitter'")),
              QStringLiteral("1"));
    tv::DeleteSetting(tv::keys::ExitOnSave(kUsers));
}

TEST_F(RecordOpenerTest, TablesWithoutAWindowOpenNothing) {
    tv::data::FieldValueArray values;
    values.resize(3);
    state().PendingEditMode = 2;
    EXPECT_FALSE(OpenRecordWindow(QStringLiteral("No Such Table"), values));
}

TEST_F(RecordOpenerTest, RequestsAreOpenedForWorkOrForReopening) {
    QWidget window;
    QPushButton* buttons[] = {new QPushButton(&window), new QPushButton(&window),
                              new QPushButton(&window), new QPushButton(&window)};
    buttons[0]->setObjectName(QStringLiteral("ListCommand_1"));
    for (int i = 0; i < 3; ++i)
        buttons[i + 1]->setObjectName(QStringLiteral("SubButton_%1").arg(i));
    auto* close = new QPushButton(&window);
    close->setObjectName(QStringLiteral("CloseRequest"));
    tv::data::FieldValueArray values;

    tv::forms::PrepareRecordWindow(&window, QStringLiteral("Completed Requests"), values);
    for (QPushButton* b : buttons) EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    const QString reopen = close->text();
    EXPECT_FALSE(reopen.isEmpty());

    tv::forms::PrepareRecordWindow(&window, QStringLiteral("Current Requests"), values);
    for (QPushButton* b : buttons) EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_NE(close->text(), reopen);

    // A window without the properties a table's preparation sets is left alone.
    values(1) = QStringLiteral("Acme");
    tv::forms::PrepareRecordWindow(&window, QStringLiteral("Customers"), values);
    EXPECT_FALSE(window.property("OriginalCustomerName").isValid());
}

TEST_F(RecordOpenerTest, ABirthdayIsShownAsDayAndMonth) {
    QWidget window;
    auto* birthday = new QLineEdit(&window);
    birthday->setObjectName(QStringLiteral("Birthday"));
    birthday->setText(QStringLiteral("1980-03-07"));
    tv::data::FieldValueArray values;
    tv::forms::PrepareRecordWindow(&window, QStringLiteral("Contacts"), values);
    EXPECT_EQ(birthday->text(), QStringLiteral("07 Mar"));
    birthday->setText(QStringLiteral("not a date"));
    tv::forms::PrepareRecordWindow(&window, QStringLiteral("Contacts"), values);
    EXPECT_EQ(birthday->text(), QStringLiteral("not a date"));
}

}  // namespace
}  // namespace tvtest
