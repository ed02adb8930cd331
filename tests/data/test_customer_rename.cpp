// A customer saved under a new name takes the rows of every table that names it along, in
// one transaction with its own row: all of them move, or none does.
#include "common/data/shipped_fixture.h"
#include "data/access.h"
#include "data/app_state.h"
#include "engine/engine.h"

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::engine::quoteLiteral;

const QString kOld = u"O'Brien Plumbing & Gas"_s;
const QString kNew = u"O\"Brien & Söhne «Ωμέγα»"_s;

class CustomerRenameTest : public ShippedDatabasesTest {
protected:
    // Every data table with a [CUSTOMER NAME] column other than CUSTOMERS.
    static QStringList relatedTables() {
        QStringList names;
        for (const tv::engine::TableDef& def : tv::data::state().DataDb.TableDefs()) {
            if (def.Name().compare(u"CUSTOMERS"_s, Qt::CaseInsensitive) == 0) continue;
            for (const tv::engine::Field& f : def.Fields())
                if (f.Name().compare(u"CUSTOMER NAME"_s, Qt::CaseInsensitive) == 0) names << def.Name();
        }
        return names;
    }
    static int rowsOf(const QString& table, const QString& customer) {
        return dataValue(u"SELECT Count(*) FROM [%1] WHERE [CUSTOMER NAME] = %2"_s.arg(
                             table, quoteLiteral(customer)))
            .toInt();
    }
    // The customer row loaded, renamed in the buffer and written under its stored name.
    static bool rename(const QString& from, const QString& to) {
        if (!tv::data::LoadRecord(u"Customers"_s, from)) return false;
        tv::data::state().FieldValues(1) = to;
        return tv::data::UpdateRecord(u"Customers"_s, true, from, QString());
    }
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        // A table an administrator added: the rename must find it in the schema too.
        execData({u"CREATE TABLE [SITE VISITS] ([VISITNO] LONG NOT NULL, [CUSTOMER NAME] "
                  "TEXT(60), CONSTRAINT PrimaryKey PRIMARY KEY ([VISITNO]))"_s});
        const QString old = quoteLiteral(kOld);
        execData({u"INSERT INTO CUSTOMERS ([CUSTOMER NAME], TELEPHONENO) VALUES (%1, '02 9999')"_s
                      .arg(old),
                  u"INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES ('Acme')"_s,
                  u"INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME]) VALUES (%1, 'Pat')"_s
                      .arg(old),
                  u"INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME]) VALUES ('Acme', 'Pat')"_s,
                  u"INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME]) VALUES (%1, "
                  "#2026-01-05 10:00:00#)"_s.arg(old),
                  u"INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME]) VALUES (%1, "
                  "#2026-01-06 10:00:00#)"_s.arg(old),
                  u"INSERT INTO [SALES ORDERS] (ORDERNO, [CUSTOMER NAME]) VALUES (7, %1)"_s.arg(old),
                  u"INSERT INTO [SITE VISITS] (VISITNO, [CUSTOMER NAME]) VALUES (1, %1)"_s.arg(old)});
    }
};

TEST_F(CustomerRenameTest, EveryTableThatNamesTheCustomerFollowsARename) {
    const QStringList tables = relatedTables();
    ASSERT_TRUE(tables.contains(u"SITE VISITS"_s));
    std::map<QString, int> before;
    for (const QString& t : tables) before[t] = rowsOf(t, kOld);

    ASSERT_TRUE(rename(kOld, kNew));
    EXPECT_EQ(ask.messages().size(), 0u);
    EXPECT_EQ(dataValue(u"SELECT TELEPHONENO FROM CUSTOMERS WHERE [CUSTOMER NAME] = %1"_s.arg(
                  quoteLiteral(kNew))),
              u"02 9999"_s);
    for (const QString& t : tables) {
        EXPECT_EQ(rowsOf(t, kOld), 0) << t.toStdString();
        EXPECT_EQ(rowsOf(t, kNew), before[t]) << t.toStdString();
    }
    EXPECT_EQ(rowsOf(u"CONTACTS"_s, u"Acme"_s), 1) << "another customer's rows stay";

    // Only the letter case changed: the related rows take the corrected spelling.
    const QString upper = kNew.toUpper();
    ASSERT_TRUE(rename(kNew, upper));
    EXPECT_EQ(dataValue(u"SELECT [CUSTOMER NAME] FROM ACTIVITIES"_s), upper);
}

TEST_F(CustomerRenameTest, ARenameThatCannotCompleteChangesNothing) {
    // A contact left under the new name by a customer deleted long ago holds the key the
    // renamed customer's contact would take.
    execData({u"INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME]) VALUES ('Gone Ltd', "
              "'Pat')"_s});
    ask.message(tv::data::msgbox::kOk, u"could not be moved"_s);
    EXPECT_FALSE(rename(kOld, u"Gone Ltd"_s));
    EXPECT_TRUE(ask.messages().at(0).text.contains(u"CONTACTS"_s));
    // Renaming onto another customer's name is refused by the customer row itself.
    ask.message(tv::data::msgbox::kOk, u"could not be saved"_s);
    EXPECT_FALSE(rename(kOld, u"ACME"_s));

    EXPECT_EQ(rowsOf(u"CUSTOMERS"_s, kOld), 1);
    EXPECT_EQ(rowsOf(u"CUSTOMERS"_s, u"Gone Ltd"_s), 0);
    EXPECT_EQ(rowsOf(u"ACTIVITIES"_s, kOld), 2);
    EXPECT_EQ(rowsOf(u"SALES ORDERS"_s, kOld), 1);
    EXPECT_EQ(rowsOf(u"CONTACTS"_s, kOld), 1);
    // The database is left free for the next change.
    EXPECT_TRUE(rename(kOld, u"O'Brien Group"_s));
}

}  // namespace
}  // namespace tvtest
