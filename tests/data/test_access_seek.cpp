// Finding rows by key: index seeks on tables, criteria on SQL sources, date keys written in
// other forms, and keys with quotes.
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data_fixture.h"

#include <sqlite3.h>

namespace tvtest {
namespace {

using namespace tv::data;
using tv::engine::quoteLiteral;

class SeekTest : public DataLayerTest {
protected:
    void SetUp() override {
        DataLayerTest::SetUp();
        execData({
            QStringLiteral("INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [CITY], [OWNER]) "
                           "VALUES ('Acme', 'York', 'ann')"),
            QStringLiteral("INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [CITY], [OWNER]) "
                           "VALUES (%1, 'Cork', 'bob')")
                .arg(quoteLiteral("O'Brien")),
            QStringLiteral("INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [CITY], [OWNER]) "
                           "VALUES (%1, 'Leeds', 'ann')")
                .arg(quoteLiteral("The \"Best\" Shop")),
            QStringLiteral("INSERT INTO [ACTIVITIES] VALUES ('Acme', #2026-12-05 10:00:00#, "
                           "'Call', 15)"),
            QStringLiteral("INSERT INTO [ACTIVITIES] VALUES ('Acme', #2026-12-05 14:30:00#, "
                           "'Visit', 60)"),
            QStringLiteral("INSERT INTO [ACTIVITIES] VALUES ('Bolt', #2026-12-05 10:00:00#, "
                           "'Call', 5)"),
            "INSERT INTO [CONTACT ROLES] VALUES ('Acme', 'Jo Hart', 'Buyer', Null)",
            "INSERT INTO [CONTACT ROLES] VALUES ('Acme', 'Jo Hart', 'Payer', Null)",
            "INSERT INTO [PRODUCTS] VALUES (42, 'Widget')",
        });
    }

    // The value of a column of the row the layer finds through the source, or "(none)".
    QString find(const QString& source, const QString& k1, const QString& k2 = QString(),
                 const QString& k3 = QString(), int column = 0) {
        tv::engine::Recordset rs = OpenTable(source);
        if (!rs.IsOpen()) return "(not open)";
        const bool found = SeekRecord(rs, k1, k2, k3);
        const QString value = found ? tv::TextOf(rs[column]) : "(none)";
        rs.Close();
        return value;
    }
};

const QString kTable = "Customers";
const QString kSql = "SELECT * FROM [CUSTOMERS] ORDER BY [CITY]";

TEST_F(SeekTest, TextKeysIgnoreCaseAndKeepQuotesOnBothPaths) {
    for (const QString& source : {kTable, kSql}) {
        SCOPED_TRACE(qPrintable(source));
        EXPECT_EQ(find(source, "ACME", {}, {}, 1), "York");
        EXPECT_EQ(find(source, "O'Brien", {}, {}, 1), "Cork");
        EXPECT_EQ(find(source, "The \"Best\" Shop", {}, {}, 1), "Leeds");
        EXPECT_EQ(find(source, "Nobody"), "(none)");
        EXPECT_EQ(find(source, "Acme\" Or \"1\" = \"1"), "(none)");
    }
    EXPECT_TRUE(ask.asked().empty()) << "a key that matches nothing is no error";
    tv::engine::Recordset closed;
    EXPECT_FALSE(SeekRecord(closed, "Acme", {}, {}));
}

TEST_F(SeekTest, DateKeyMatchesTheSameSecondHoweverItIsWritten) {
    const QString sql = "SELECT * FROM [ACTIVITIES] ORDER BY [DATETIME] DESC";
    struct Case {
        const char* key1;
        const char* key2;
        const char* type;  // column 2 of the row found, or "(none)"
    };
    const Case cases[] = {{"Acme", "2026-12-05 10:00:00", "Call"},
                          {"acme", "05/12/2026 10:00:00", "Call"},  // regional order is day first
                          {"Acme", "5 Dec 2026 10:00", "Call"},
                          {"Acme", "05-Dec-26 14:30:00", "Visit"},
                          {"Acme", "2026-12-05 10:00:01", "(none)"},
                          {"Acme", "2026-12-05 09:59:59", "(none)"},
                          {"Acme", "05/12/2026", "(none)"},  // midnight: no row then
                          {"Bolt", "2026-12-05 14:30:00", "(none)"},
                          {"Acme", "not a date", "(none)"},
                          // The first row after a customer without rows belongs to the next
                          // customer; it must not be taken for a match.
                          {"Abbot", "2026-12-05 10:00:00", "(none)"}};
    for (const QString& source : {QString("Activities"), sql}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(QStringLiteral("%1 | %2 | %3").arg(source, c.key1, c.key2).toStdString());
            EXPECT_EQ(find(source, QString::fromUtf8(c.key1), QString::fromUtf8(c.key2), {}, 2),
                      QString::fromUtf8(c.type));
        }
    }
}

// A row written by another program that keeps fractions of a second: the index holds
// 10:00:00.250, so an exact lookup of 10:00:00 misses and the one-second fallback finds it.
TEST_F(SeekTest, DateKeyStoredWithAFractionOfASecondIsFoundByTheFallback) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(dataPath().toUtf8().constData(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "UPDATE \"ACTIVITIES\" SET \"DATETIME\" = '2026-12-05 10:00:00.250' "
                           "WHERE \"CUSTOMER NAME\" = 'Acme' AND \"TYPE\" = 'Call'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(raw);
    ASSERT_EQ(sqlite3_changes(raw), 1);
    sqlite3_close(raw);

    const QString sql = "SELECT * FROM [ACTIVITIES]";
    for (const QString& source : {QString("Activities"), sql}) {
        SCOPED_TRACE(qPrintable(source));
        EXPECT_EQ(find(source, "Acme", "2026-12-05 10:00:00", {}, 2), "Call");
        EXPECT_EQ(find(source, "Acme", "05/12/2026 09:59:58", {}, 2), "(none)");
        EXPECT_EQ(find(source, "Abbot", "2026-12-05 10:00:00", {}, 2), "(none)");
    }
}

TEST_F(SeekTest, ThreeColumnKeysMatchAllThree) {
    const QString sql = "SELECT * FROM [CONTACT ROLES]";
    for (const QString& source : {QString("Contact Roles"), sql}) {
        SCOPED_TRACE(qPrintable(source));
        EXPECT_EQ(find(source, "Acme", "Jo Hart", "payer", 2), "Payer");
        EXPECT_EQ(find(source, "Acme", "Jo Hart", "Owner", 2), "(none)");
    }
}

TEST_F(SeekTest, WholeNumberKeysReadAsNumbers) {
    const QString sql = "SELECT * FROM [PRODUCTS]";
    for (const QString& source : {QString("Products"), sql}) {
        SCOPED_TRACE(qPrintable(source));
        EXPECT_EQ(find(source, "42", {}, {}, 1), "Widget");
        EXPECT_EQ(find(source, "43"), "(none)");
    }
    EXPECT_EQ(find(sql, "42 Or 1 = 1"), "(none)");
}

}  // namespace
}  // namespace tvtest
