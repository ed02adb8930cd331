// Finding rows by key (tables, SQL, date keys in other forms, quotes), and the workflow
// restriction: sources rewritten once for the user, and what OpenTable then shows.
#include "common/data/shipped_fixture.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/workflow.h"
#include "data_fixture.h"
#include "engine/engine.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <tuple>

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
    TV_FILES_ONLY();  // the fraction is written by SQLite itself, past the engine
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

const std::vector<WorkflowColumn> kColumns = {
    {"ACTIVITIES", "Sales Rep Id"},
    {"SCHEDULED ACTIVITIES", "USER ID"},
};

struct Rewrite {
    const char* name;
    const char* user;
    const char* source;
    const char* expected;
};

const Rewrite kRewrites[] = {
    {"table name", "bob", "ACTIVITIES", "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob'"},
    {"table name in other case and brackets", "bob", "[Scheduled Activities]",
     "SELECT * FROM [Scheduled Activities] WHERE [USER ID] = 'bob'"},
    {"quote in the user id", "O'Brien", "ACTIVITIES",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'O''Brien'"},
    {"where and order by", "bob",
     "SELECT * FROM [ACTIVITIES] WHERE [CUSTOMER NAME] = 'Acme' ORDER BY [DATETIME]",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' AND [CUSTOMER NAME] = 'Acme' "
     "ORDER BY [DATETIME]"},
    {"order by only", "bob", "SELECT * FROM [ACTIVITIES] ORDER BY [DATETIME] DESC",
     "SELECT * FROM [ACTIVITIES]  WHERE [SALES REP ID] = 'bob' ORDER BY [DATETIME] DESC"},
    {"no clause", "bob", "SELECT [DATETIME] FROM ACTIVITIES",
     "SELECT [DATETIME] FROM ACTIVITIES WHERE [SALES REP ID] = 'bob'"},
    {"lower-case keywords", "bob", "select * from [activities] where [COST] > 5",
     "select * from [activities] where [SALES REP ID] = 'bob' AND [COST] > 5"},
    {"old criteria joined by OR stay together", "bob",
     "SELECT * FROM [ACTIVITIES] WHERE [COST] > 5 OR [DURATION] > 60 ORDER BY [COST]",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' AND ([COST] > 5 OR "
     "[DURATION] > 60) ORDER BY [COST]"},
    {"keywords inside literals and names are not clauses", "bob",
     "SELECT * FROM [ACTIVITIES] WHERE [DESCRIPTION] = 'where or order by' AND "
     "[WHERE OR] = 1",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' AND [DESCRIPTION] = "
     "'where or order by' AND [WHERE OR] = 1"},
    {"a sub-query's WHERE is not the statement's", "bob",
     "SELECT * FROM [ACTIVITIES] WHERE [CUSTOMER NAME] IN (SELECT [CUSTOMER NAME] FROM "
     "[CUSTOMERS] WHERE [CITY] = 'Leeds' OR [CITY] = 'York')",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' AND [CUSTOMER NAME] IN (SELECT "
     "[CUSTOMER NAME] FROM [CUSTOMERS] WHERE [CITY] = 'Leeds' OR [CITY] = 'York')"},
    {"group by", "bob",
     "SELECT [ACTIVITY TYPE], Count(*) FROM [ACTIVITIES] GROUP BY [ACTIVITY TYPE]",
     "SELECT [ACTIVITY TYPE], Count(*) FROM [ACTIVITIES]  WHERE [SALES REP ID] = 'bob' GROUP BY "
     "[ACTIVITY TYPE]"},
    {"another user's condition is still restricted", "bob",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'amy'",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' AND [SALES REP ID] = 'amy'"},
    {"table without a workflow column", "bob", "SELECT * FROM [CUSTOMERS] WHERE [CITY] = 'Leeds'",
     "SELECT * FROM [CUSTOMERS] WHERE [CITY] = 'Leeds'"},
    {"a table whose name only starts like one", "bob", "ACTIVITIES LOG", "ACTIVITIES LOG"},
    {"condition already there", "bob",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' ORDER BY [DATETIME]",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' ORDER BY [DATETIME]"},
    {"condition already there in double quotes", "O'Brien",
     "SELECT * FROM [ACTIVITIES] WHERE [COST] > 0 AND [SALES REP ID] = \"O'Brien\"",
     "SELECT * FROM [ACTIVITIES] WHERE [COST] > 0 AND [SALES REP ID] = \"O'Brien\""},
    // Nothing a statement holds moves the condition or passes for it.
    {"a comment's WHERE", "bob", "  SELECT * FROM [ACTIVITIES] -- WHERE\n",
     "  SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob'"},
    {"a comment after an OR", "bob", "SELECT * FROM [ACTIVITIES] WHERE [COST] > 5 OR 1 = 1 --",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' AND ([COST] > 5 OR 1 = 1)"},
    {"the condition as one side of an OR", "bob",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' OR 1 = 1",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' AND ([SALES REP ID] = 'bob' OR 1 "
     "= 1)"},
    {"the condition inside a literal", "bob",
     "SELECT * FROM [ACTIVITIES] WHERE [NOTES] = '[SALES REP ID] = ''bob'''",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' AND [NOTES] = '[SALES REP ID] = "
     "''bob'''"},
    {"every part of a union", "bob",
     "SELECT * FROM [ACTIVITIES] WHERE [COST] = 1 UNION SELECT * FROM [ACTIVITIES] ORDER BY 1",
     "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'bob' AND [COST] = 1 UNION SELECT * "
     "FROM [ACTIVITIES]  WHERE [SALES REP ID] = 'bob' ORDER BY 1"},
    {"a subquery of a restricted table", "bob",
     "SELECT * FROM [CUSTOMERS] WHERE [CUSTOMER NAME] IN (SELECT [CUSTOMER NAME] FROM "
     "[ACTIVITIES])",
     "SELECT * FROM [CUSTOMERS] WHERE [CUSTOMER NAME] IN (SELECT [CUSTOMER NAME] FROM "
     "[ACTIVITIES] WHERE [SALES REP ID] = 'bob')"},
};

// Each source is rewritten as expected, and what was rewritten is never rewritten again.
TEST(WorkflowFilter, RewritesSourcesForTheUserOnce) {
    for (const Rewrite& r : kRewrites) {
        SCOPED_TRACE(r.name);
        const QString user = QString::fromUtf8(r.user);
        const QString once = ApplyWorkflowFilter(QString::fromUtf8(r.source), kColumns, user);
        EXPECT_EQ(once, QString::fromUtf8(r.expected));
        EXPECT_EQ(ApplyWorkflowFilter(once, kColumns, user), once);
    }
}

// Parentheses that do not pair, two SELECTs without a UNION, clauses out of order, or a
// workflow column that brackets cannot hold could place the condition where it restricts
// nothing: such sources are refused.
TEST(WorkflowFilter, RefusesWhatItCannotRestrictSafely) {
    const auto errorOf = [](const QString& source, const std::vector<WorkflowColumn>& columns) {
        try {
            ApplyWorkflowFilter(source, columns, "bob");
        } catch (const tv::engine::DbError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf("SELECT * FROM [ACTIVITIES] WHERE [COST] = 1) OR ([COST] = 2", kColumns),
              3075);
    EXPECT_EQ(errorOf("SELECT * FROM [ACTIVITIES] WHERE ([COST] = 1", kColumns), 3075);
    EXPECT_EQ(errorOf("SELECT * FROM [ACTIVITIES] SELECT * FROM [ACTIVITIES]", kColumns), 3075);
    EXPECT_EQ(errorOf("SELECT * FROM [ACTIVITIES] ORDER BY 1 WHERE [COST] = 1 OR 1 = 1", kColumns),
              3075);
    EXPECT_EQ(errorOf("SELECT * ORDER BY 1 FROM [ACTIVITIES]", kColumns), 3075);
    EXPECT_EQ(errorOf("ACTIVITIES", {{"ACTIVITIES", "X] = 'a' OR [Y"}}), 3125);
}

using WorkflowDatabaseTest = ShippedDatabasesTest;

// The columns come from TABLE DEFINITIONS (built afresh each time), and OpenTable then shows
// a workflow user only his rows, whatever criteria the source has.
TEST_F(WorkflowDatabaseTest, ColumnsFromTheDefinitionsRestrictWhatOpenTableShows) {
    execDefinitions(
        {"UPDATE [TABLE DEFINITIONS] SET [WORKFLOWCOLUMN] = 'User Id' WHERE "
         "[TABLENAME] = 'PROJECTS'",
         "UPDATE [TABLE DEFINITIONS] SET [WORKFLOWCOLUMN] = '' WHERE "
         "[TABLENAME] = 'QUOTATIONS'"});
    const int count = tv::data::BuildWorkflowColumns();
    EXPECT_EQ(tv::data::BuildWorkflowColumns(), count);
    QStringList columns;
    for (const WorkflowColumn& c : tv::data::state().WorkflowColumns)
        columns << c.TableName.toUpper() + "=" + c.ColumnName;
    EXPECT_EQ(columns.size(), count);
    EXPECT_TRUE(columns.contains("PROJECTS=User Id") &&
                columns.contains("ACTIVITIES=SALES REP ID"));
    EXPECT_FALSE(columns.join(' ').contains("QUOTATIONS") ||
                 columns.join(' ').contains("CUSTOMERS="));

    for (const auto& [customer, day, rep, minutes] :
         {std::tuple{"Acme", 5, "O''Brien", 30}, std::tuple{"Bell", 6, "amy", 45},
          std::tuple{"Bell", 7, "O''Brien", 0}}) {
        execData(
            {QStringLiteral("INSERT INTO [ACTIVITIES] ([CUSTOMER NAME], [DATETIME], "
                            "[SALES REP ID], [DURATION]) VALUES ('%1', #2026-01-0%2 10:00:00#, "
                            "'%3', %4)")
                 .arg(customer)
                 .arg(day)
                 .arg(rep)
                 .arg(minutes)});
    }
    tv::data::AppState& st = tv::data::state();
    st.CurrentUserId = "O'Brien";
    auto rowsOf = [](const QString& source) {
        tv::engine::Recordset rs = tv::data::OpenTable(source);
        return tv::data::RowCount(rs);
    };
    EXPECT_EQ(rowsOf("ACTIVITIES"), 3);  // workflow mode still off
    st.WorkflowMode = true;
    EXPECT_EQ(rowsOf("ACTIVITIES"), 2);
    EXPECT_EQ(rowsOf("SELECT * FROM [ACTIVITIES] WHERE [DURATION] > 10 OR [CUSTOMER NAME] = "
                     "'Bell' ORDER BY [DATETIME]"),
              2);
    EXPECT_EQ(rowsOf("SELECT * FROM [ACTIVITIES] WHERE [DURATION] > 10"), 1);
    EXPECT_EQ(rowsOf("CUSTOMERS"), rowsOf("SELECT * FROM CUSTOMERS"));
}

}  // namespace
}  // namespace tvtest
