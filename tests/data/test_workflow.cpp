// Workflow restriction: how sources are rewritten for a workflow user, that a rewritten
// source is never rewritten again, and that the access layer really returns only the
// user's rows once the columns are read from the shipped TABLE DEFINITIONS.
#include "common/data/shipped_fixture.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/workflow.h"
#include "engine/engine.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

using tv::data::ApplyWorkflowFilter;
using tv::data::WorkflowColumn;

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

using WorkflowDatabaseTest = tvtest::ShippedDatabasesTest;

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
