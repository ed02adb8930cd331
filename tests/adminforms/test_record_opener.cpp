// The protocol every record window follows, through three of them (Users, Feedback and the
// plain window): a renamed key updates its row, a refilled window shows nothing of the row
// before, the save right follows the edit mode, and each table's preparation.
#include "adminforms/admin_fixture.h"

#include "core/settings_keys.h"
#include "data/access.h"
#include "forms/admin/admin_windows.h"
#include "forms/admin/users_window.h"
#include "forms/framework/controls.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/record_window.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::data::state;
using tv::forms::RecordWindow;

class RecordOpenerTest : public AdminFormsTest {
protected:
    void SetUp() override {
        AdminFormsTest::SetUp();
        tv::forms::registerAdminWindows();
        tv::forms::registerFrameworkRecordWindows();
    }
    // Opens a row as a list does: the values laid out by ordinal, the edit mode pending.
    static RecordWindow* open(const QString& table, const tv::data::FieldValueArray& values,
                              int mode) {
        state().PendingEditMode = static_cast<std::int16_t>(mode);
        return tv::forms::OpenRecordWindow(table, values) ? tv::forms::GetRecordWindow(table)
                                                          : nullptr;
    }
    static RecordWindow* openStored(const QString& table, const QString& key1,
                                    const QString& key2 = {}) {
        if (!tv::data::LoadRecord(table, key1, key2)) return nullptr;
        return open(table, state().FieldValues, 2);
    }
    static RecordWindow* openNew(const QString& table) {
        tv::data::FieldValueArray values;
        values.resize(tv::forms::tableFieldCount(table));
        return open(table, values, 1);
    }
    static QObject* bound(const QWidget* w, int ordinal) {
        for (QObject* c : tv::forms::taggedControls(w))
            if (tv::forms::boundOrdinal(c) == ordinal && tv::forms::controlValue(c)) return c;
        return nullptr;
    }
    static void click(const QWidget* w, const QString& button) {
        w->findChild<QPushButton*>(button)->click();
    }
};

TEST_F(RecordOpenerTest, RenamingTheKeyLeavesOneRowUnderTheNewKey) {
    struct Case {
        QString table, insert, key1, key2;
        QStringList renamed;  // the key columns, in order, renamed to these
        QString where;        // how the row is found under its new key
    };
    // clang-format off
    const Case cases[] = {
        {u"System Users"_s, u"INSERT INTO [SYSTEM USERS] ([USERID]) VALUES ('ivan')"_s,
         u"ivan"_s, QString(), {u"O'Brien"_s}, u"[USERID] = 'O''Brien'"_s},
        {u"Customer Feedback"_s, u"INSERT INTO [CUSTOMER FEEDBACK] ([CUSTOMER NAME], [DATETIME]) "
         "VALUES ('Acme', #2026-01-05 09:00:00#)"_s, u"Acme"_s, u"2026-01-05 09:00:00"_s,
         {u"O'Brien Ltd"_s, u"2026-02-06 10:30:00"_s},
         u"[CUSTOMER NAME] = 'O''Brien Ltd' AND [DATETIME] = #2026-02-06 10:30:00#"_s},
        {u"Customers"_s, u"INSERT INTO [CUSTOMERS] ([CUSTOMER NAME]) VALUES ('Acme')"_s,
         u"Acme"_s, QString(), {u"O'Brien Holdings"_s}, u"[CUSTOMER NAME] = 'O''Brien Holdings'"_s},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table.toStdString());
        execData({c.insert});
        const QString count = u"SELECT Count(*) FROM [%1]"_s.arg(c.table);
        const QString rows = dataValue(count);
        RecordWindow* w = openStored(c.table, c.key1, c.key2);
        ASSERT_TRUE(w);
        for (int i = 0; i < c.renamed.size(); ++i)
            tv::forms::setControlValue(bound(w, i + 1), c.renamed[i]);
        click(w, u"Savef"_s);  // a lost key would ask message 107, which no one expects
        EXPECT_EQ(statusText(),
                  c.table == u"System Users"_s ? u"User details saved."_s : u"Record saved."_s);
        click(w, u"Savef"_s);  // the row is found again under its new key
        EXPECT_EQ(w->storedKey(), c.renamed);
        EXPECT_EQ(w->property("OriginalKeyValue").toString(), c.renamed[0]);
        EXPECT_EQ(dataValue(count), rows);
        EXPECT_EQ(dataValue(count + u" WHERE "_s + c.where), u"1"_s);
        execData({u"DELETE * FROM [%1] WHERE %2"_s.arg(c.table, c.where)});
    }
}

TEST_F(RecordOpenerTest, ARefilledWindowShowsNothingOfThePreviousRow) {
    tv::engine::TableDef def = state().DataDb.TableDefNamed(u"CUSTOMER FEEDBACK"_s);
    def.Append(def.CreateField(u"REGION"_s, tv::engine::FieldType::Text, 20));
    execData(
        {u"INSERT INTO [CUSTOMER FEEDBACK] ([CUSTOMER NAME], [DATETIME], [FEEDBACKTYPE], "
         "[DETAILS], [FOLLOWUP], [RESPONSE], [RESOLVEDDATE], [REGION]) VALUES ('Acme', "
         "#2026-01-05 09:00:00#, 'Complaint', 'Late', True, '<b>Sorry</b>', #2026-01-09#, "
         "'North')"_s});
    RecordWindow* w = openStored(u"Customer Feedback"_s, u"Acme"_s, u"2026-01-05 09:00:00"_s);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->focusWidget()->objectName(), u"CustomerName"_s) << "typing starts in the row";
    const int columns = tv::forms::tableFieldCount(u"Customer Feedback"_s);
    EXPECT_EQ(tv::forms::controlValue(bound(w, columns)), u"North"_s);

    // A new row whose values reach only its first column (as a caller may size them).
    tv::data::FieldValueArray values;
    values(1) = u"O'Brien"_s;
    EXPECT_EQ(open(u"Customer Feedback"_s, values, 1), w);
    EXPECT_EQ(w->localEditMode(), 1);
    EXPECT_TRUE(w->storedKey().isEmpty());
    for (int n = 2; n <= columns; ++n) {
        ASSERT_TRUE(bound(w, n)) << "column " << n;
        const QString shown = *tv::forms::controlValue(bound(w, n));
        EXPECT_TRUE(shown.isEmpty() || shown == u"0"_s)
            << "column " << n << ": " << shown.toStdString();
    }
    tv::forms::setControlValue(bound(w, 2), u"2026-03-04 08:00:00"_s);
    click(w, u"Savef"_s);
    EXPECT_EQ(w->localEditMode(), 2);
    EXPECT_EQ(dataValue(u"SELECT Count(*) FROM [CUSTOMER FEEDBACK]"_s), u"2"_s);

    // With "Exit On Save" the window goes once its row is stored.
    tv::SaveSetting(tv::keys::ExitOnSave(u"Customer Feedback"_s), u"1"_s);
    const QPointer<RecordWindow> gone(w);
    click(w, u"Savef"_s);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
}

TEST_F(RecordOpenerTest, TheSaveButtonFollowsTheRightForTheEditMode) {
    const auto entry = [](const char* table, bool add, bool edit) {
        return tv::data::AccessEntry{QString::fromLatin1(table), add, edit};
    };
    struct Case {
        std::optional<tv::data::AccessEntry> entry;
        bool newRow, storedRow;
    } const cases[] = {
        {std::nullopt, true, true},                         // no entry: unrestricted
        {entry("system users", false, true), false, true},  // names compare ignoring case
        {entry("System Users", true, false), true, false},
        {entry("Customers", false, false), true, true},  // another table's entry
    };
    for (const Case& c : cases) {
        state().UserAccess.clear();
        if (c.entry) state().UserAccess.push_back(*c.entry);
        auto* save = openNew(u"System Users"_s)->findChild<QPushButton*>(u"Savef"_s);
        EXPECT_EQ(save->isEnabled(), c.newRow);
        openStored(u"System Users"_s, u"admin"_s);
        EXPECT_EQ(save->isEnabled(), c.storedRow);
    }
    // Saving a new row with add but no edit right leaves an existing row: no more saves.
    state().UserAccess = {entry("System Users", true, false)};
    RecordWindow* w = openNew(u"System Users"_s);
    tv::forms::setControlValue(bound(w, 1), u"newcomer"_s);
    ASSERT_TRUE(w->save());
    EXPECT_FALSE(w->findChild<QPushButton*>(u"Savef"_s)->isEnabled());
}

TEST_F(RecordOpenerTest, TablesArePreparedForTheirWindows) {
    EXPECT_TRUE(openNew(u"Quotations"_s)->property("RefreshList").toBool());
    QWidget window;
    auto* birthday = new QLineEdit(u"1980-03-07"_s, &window);
    birthday->setObjectName(u"Birthday"_s);
    tv::forms::PrepareRecordWindow(&window, u"Contacts"_s);
    EXPECT_EQ(birthday->text(), u"07 Mar"_s);  // a day of the year

    // A completed request can only be re-opened: its list and sub-buttons are off.
    for (const char* name :
         {"ListCommand_1", "SubButton_0", "SubButton_1", "SubButton_2", "CloseRequest"})
        (new QPushButton(&window))->setObjectName(QString::fromLatin1(name));
    auto* close = window.findChild<QPushButton*>(u"CloseRequest"_s);
    QStringList closeCaptions;
    for (const QString& table : {u"Completed Requests"_s, u"Current Requests"_s}) {
        tv::forms::PrepareRecordWindow(&window, table);
        for (QPushButton* b : window.findChildren<QPushButton*>())
            EXPECT_TRUE(b == close || b->isEnabled() == (table == u"Current Requests"_s))
                << table.toStdString() << ' ' << b->objectName().toStdString();
        closeCaptions << close->text();
    }
    EXPECT_NE(closeCaptions[0], closeCaptions[1]);
}

}  // namespace
}  // namespace tvtest
