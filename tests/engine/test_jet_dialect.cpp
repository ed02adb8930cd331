// Translation of Jet statements and criteria into SQLite text: one pair of input and
// expected output per construct (what the statements then do is checked by the execution
// tests), date literals in both regional orders, what the engine learns about each
// statement, and the refusals.
#include "core/convert.h"
#include "core/regional.h"
#include "engine/jet_dialect.h"

#include <gtest/gtest.h>

#include <map>

namespace tv::engine::dialect {
namespace {

// The tables the statements name, as the open database describes them.
TableColumns columnsOf(const QString& table) {
    using F = FieldType;
    // clang-format off
    static const std::map<QString, std::vector<std::pair<const char*, FieldType>>> tables = {
        {"ACTIVITIES",
         {{"CUSTOMER NAME", F::Text}, {"DATETIME", F::Date}, {"COMPLETED", F::Date},
          {"BILLABLE", F::Boolean}, {"INVOICENO", F::Long}}},
        {"CUSTOMERS",
         {{"CUSTOMER NAME", F::Text}, {"CITY", F::Text}, {"BALANCE", F::Currency}}},
        {"CONTACTS", {{"CUSTOMER NAME", F::Text}, {"CITY", F::Text}}},
        {"QUOTATIONS DETAIL", {{"QUOTENO", F::Long}}},
        {"TABLE",
         {{"KEY", F::Long}, {"ORDER", F::Long}, {"Say \"Hi\"", F::Text}, {"ACTION", F::Long}}},
        {"T", {{"A", F::Long}, {"B", F::Long}, {"C", F::Long}, {"D", F::Date}, {"S", F::Text}}},
        {"U", {{"A", F::Long}}},
    };
    // clang-format on
    const auto it = tables.find(table.toUpper());
    if (it == tables.end()) return nullptr;
    auto fields = std::make_shared<std::vector<FieldInfo>>();
    for (const auto& [name, type] : it->second) fields->push_back({name, type});
    return fields;
}

// Day-month-year numeric dates, as on the machines the data was first entered on.
class DialectTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegionalSettings dmy;
        dmy.dateOrder = DateOrder::DayMonthYear;
        pinRegional(dmy);
    }
    void TearDown() override { resetRegional(); }
    static Translation typed(const QString& sql) { return translate(sql, columnsOf); }
};

TEST_F(DialectTest, WritesTheExpectedSqlite) {
    const std::pair<const char*, const char*> pairs[] = {
        {"SELECT * FROM [ACTIVITIES] WHERE DATETIME >= #2026-12-05# AND DATETIME <= #5 Dec 2026 "
         "23:59:59# AND COMPLETED <> NULL ORDER BY [DateTime]",
         R"(SELECT * FROM "ACTIVITIES" WHERE DATETIME >= '2026-12-05 00:00:00' AND DATETIME <= )"
         R"('2026-12-05 23:59:59' AND COMPLETED IS NOT NULL ORDER BY "DateTime")"},
        {"DELETE * FROM [QUOTATIONS DETAIL] WHERE [QUOTENO] = 1042",
         R"(DELETE FROM "QUOTATIONS DETAIL" WHERE "QUOTENO" = 1042)"},
        {"UPDATE [ACTIVITIES] SET [INVOICENO] = NULL WHERE [INVOICENO] = 77",
         R"(UPDATE "ACTIVITIES" SET "INVOICENO" = NULL WHERE "INVOICENO" = 77)"},
        {"SELECT * FROM ACTIVITIES WHERE [CUSTOMER NAME] = \"O'Brien\" AND BILLABLE = True AND "
         "([INVOICENO] = 0 OR [INVOICENO] = Null)",
         R"(SELECT * FROM ACTIVITIES WHERE "CUSTOMER NAME" = 'O''Brien' AND BILLABLE = -1 AND )"
         R"(("INVOICENO" = 0 OR "INVOICENO" IS NULL))"},
        {"Select Distinct [CITY] from [Customers] Where [CUSTOMER NAME] Like 'O''B*' Order By "
         "[CITY] Desc , 1",
         R"(SELECT DISTINCT "CITY" FROM "Customers" WHERE "CUSTOMER NAME" LIKE 'O''B%' ORDER BY )"
         R"("CITY" DESC, 1)"},
        {"INSERT INTO T (A, D, S) VALUES (True, 46361.5, \"[CITY] = 'Leeds'\")",
         "INSERT INTO T (A, D, S) VALUES (-1, jet_todate(46361.5), '[CITY] = ''Leeds''')"},
        {"UPDATE T SET T.A = 1, [D] = [D] + 1, S = D",
         R"(UPDATE T SET A = 1, "D" = jet_dateplus("D", 1), S = jet_gdate(D))"},
        {"SELECT TOP 10 [CITY], Count(*) FROM CUSTOMERS GROUP BY [CITY] HAVING Count(*) > 1",
         R"(SELECT "CITY", COUNT(*) AS "Expr1000" FROM CUSTOMERS GROUP BY "CITY" HAVING )"
         R"(COUNT(*) > 1 LIMIT 10)"},
        {"SELECT C.[CUSTOMER NAME], K.* FROM CUSTOMERS AS C INNER JOIN CONTACTS K ON "
         "C.[CUSTOMER NAME] = K.[CUSTOMER NAME] WHERE K.CITY IN (SELECT S FROM T)",
         R"(SELECT C."CUSTOMER NAME", K.* FROM CUSTOMERS C INNER JOIN CONTACTS K ON )"
         R"(C."CUSTOMER NAME" = K."CUSTOMER NAME" WHERE K.CITY IN (SELECT S FROM T))"},
        {"SELECT * FROM T WHERE EXISTS (SELECT * FROM U WHERE U.A = T.A) UNION SELECT * FROM T "
         "ORDER BY 1",
         "SELECT * FROM T WHERE EXISTS (SELECT * FROM U WHERE U.A = T.A) UNION SELECT * FROM T "
         "ORDER BY 1"},
        {"SELECT * FROM T WHERE A Not Between 1 And 2 AND D BETWEEN #1/2/2026# AND 46000 AND "
         "S Is Not Null AND Not A Is Null AND B != 1 AND A = Yes",
         "SELECT * FROM T WHERE A NOT BETWEEN 1 AND 2 AND jet_serial(D) BETWEEN "
         "jet_serial('2026-02-01 00:00:00') AND 46000 AND S IS NOT NULL AND NOT A IS NULL AND "
         "B <> 1 AND A = -1"},
        // Jet's & binds looser than +; SQLite's || tighter: the grouping must survive.
        {"SELECT S & ' ' & D AS [Full], S + 'x' + S, A & B + 1 FROM T",
         R"(SELECT jet_concat(S, ' ', jet_gdate(D)) AS "Full", S || 'x' || S AS "Expr1000", )"
         R"(jet_concat(A, B + 1) AS "Expr1001" FROM T)"},
        {"SELECT (A + 1) * 2, -A, - -1, 10 / 4, A Mod 3, A \\ 2, -2 ^ 2, 1.5 * A FROM T",
         R"(SELECT (A + 1) * 2 AS "Expr1000", -A AS "Expr1001", -(-1) AS "Expr1002", )"
         R"(jet_div(10, 4) AS "Expr1003", jet_mod(A, 3) AS "Expr1004", jet_intdiv(A, 2) AS )"
         R"("Expr1005", -jet_pow(2, 2) AS "Expr1006", jet_num(1.5 * A) AS "Expr1007" FROM T)"},
        {"SELECT D - 1, D - D, D > Date() - 30, D = 'Dec 5, 2026', A < 5 = True FROM T",
         R"(SELECT jet_dateminus(D, 1) AS "Expr1000", jet_days(D, D) AS "Expr1001", )"
         R"(-(D > jet_dateminus(jet_date(), 30)) AS "Expr1002", -(D = '2026-12-05 00:00:00') )"
         R"(AS "Expr1003", -(-(A < 5) = -1) AS "Expr1004" FROM T)"},
        {"SELECT UCase$(S), Len(D), Mid(S, 2), InStr(S, 'x'), CLng(D), Format(D, 'dd/mm/yy'), "
         "DateAdd('m', 1, D) AS M FROM T",
         R"(SELECT jet_ucase(S) AS "Expr1000", length(jet_gdate(D)) AS "Expr1001", jet_mid(S, )"
         R"(2) AS "Expr1002", jet_instr(S, 'x') AS "Expr1003", jet_clng(jet_serial(D)) AS )"
         R"("Expr1004", jet_format(D, 'dd/mm/yy') AS "Expr1005", jet_dateadd('m', 1, D) AS M )"
         R"(FROM T)"},
        {"SELECT Max(D), First(S), Sum(A), Min(UCase(S)), IIf(A > 0, 'pos', 'neg') AS P, Nz(S), "
         "IsNull(A) AS N FROM T GROUP BY A, S",
         R"(SELECT MAX(D) AS "MaxOfD", jet_first(S) AS "FirstOfS", SUM(A) AS "SumOfA", )"
         R"(MIN(jet_ucase(S) COLLATE NOCASE) AS "Expr1000", CASE WHEN A > 0 THEN 'pos' ELSE )"
         R"('neg' END AS P, IFNULL(S, '') AS "Expr1001", -(A IS NULL) AS N FROM T GROUP BY A, S)"},
        // Bare names that SQLite reserves are quoted; bracketed names always are.
        {"SELECT KEY, [ORDER], [Say \"Hi\"] FROM [TABLE] -- every row\nWHERE ACTION = &H1F;",
         R"(SELECT "KEY", "ORDER", "Say ""Hi""" FROM "TABLE" WHERE "ACTION" = 31)"},
    };
    for (const auto& [jet, sqlite] : pairs)
        EXPECT_EQ(typed(QString::fromUtf8(jet)).sql, QString::fromUtf8(sqlite)) << jet;
}

TEST_F(DialectTest, CriteriaAreTypedByTheRecordSetsFields) {
    const std::vector<FieldInfo> fields = {{"CUSTOMER NAME", FieldType::Text},
                                           {"DATETIME", FieldType::Date},
                                           {"ITEMNO", FieldType::Long}};
    // The one-second window either side of a displayed date, with the blank after "#".
    EXPECT_EQ(translateCriteria("[CUSTOMER NAME] = \"O'Brien\" And [DATETIME] > #05/12/2026 "
                                "09:59:59# And [DATETIME] < # 05/12/2026 10:00:01#",
                                fields),
              "\"CUSTOMER NAME\" = 'O''Brien' AND \"DATETIME\" > '2026-12-05 09:59:59' AND "
              "\"DATETIME\" < '2026-12-05 10:00:01'");
    EXPECT_EQ(translateCriteria("[ITEMNO]=3 And [DATETIME] = '5/12/26'", fields),
              R"("ITEMNO" = 3 AND "DATETIME" = '2026-12-05 00:00:00')");
    EXPECT_EQ(translateCriteria("[CUSTOMER NAME] = \"say \"\"hi\"\"\"", fields),
              R"("CUSTOMER NAME" = 'say "hi"')");
}

TEST(DateLiteral, IsReadInTheRegionalOrderIgnoringBlanks) {
    RegionalSettings mdy;
    mdy.dateOrder = DateOrder::MonthDayYear;
    pinRegional(mdy);
    DateTime d;
    EXPECT_TRUE(readDateLiteral(" 12/05/26  10:00 ", &d));
    EXPECT_EQ(toIsoText(d), "2026-12-05 10:00:00");
    EXPECT_FALSE(readDateLiteral("  ", &d));
    EXPECT_FALSE(readDateLiteral("12/05/26 25:00", &d));
    resetRegional();
}

// What the engine reads besides the text: tables, whether a dynaset can write, the
// select list's items.
TEST_F(DialectTest, StatementsTellTheirTablesAndItems) {
    const Translation t =
        typed("SELECT D + 1, *, S FROM [T] WHERE [A] IN (SELECT [A] FROM [U]) ORDER BY [S]");
    EXPECT_TRUE(t.singleTable);
    EXPECT_EQ(t.tables, (QStringList{"T", "U"}));
    EXPECT_EQ(t.fromSql, "\"T\"");
    EXPECT_EQ(t.whereSql, "\"A\" IN (SELECT \"A\" FROM \"U\")");
    EXPECT_EQ(t.orderBySql, "\"S\"");
    ASSERT_EQ(t.resultItems.size(), 3u);
    EXPECT_TRUE(t.resultItems[0].date);
    EXPECT_EQ(t.resultItems[1].span, 5);
    EXPECT_FALSE(t.resultItems[2].date);
    EXPECT_EQ(translate("SELECT * FROM X").resultItems.at(0).span, -1);  // no catalog
    EXPECT_TRUE(typed("SELECT * FROM T ORDER BY 1, [A]").orderByPosition);
    EXPECT_EQ(typed("DELETE * FROM T WHERE A IN (SELECT A FROM U)").tables,
              (QStringList{"T", "U"}));

    for (const char* sql : {"SELECT DISTINCT S FROM T", "SELECT S FROM T GROUP BY S",
                            "SELECT First(S) FROM T", "SELECT * FROM T INNER JOIN U ON T.A = U.A",
                            "SELECT * FROM T, U", "SELECT * FROM (SELECT * FROM T) AS X",
                            "SELECT A FROM T UNION SELECT A FROM U", "SELECT Now() AS N"})
        EXPECT_FALSE(typed(sql).singleTable) << sql;
}

// Every refusal is error 3075 naming the whole statement; none may crash or pass through.
TEST_F(DialectTest, RefusalsNameTheStatement) {
    // clang-format off
    const char* refused[] = {
        "", "-- nothing but a comment", ";", "SELEC * FROM T", "SELECT * FROM [T",
        "SELECT * FROM T WHERE S = 'x", "SELECT * FROM T WHERE D > #2026-12-05",
        "SELECT * FROM T WHERE (A = 1", "SELECT * FROM T WHERE A = 1)",
        "SELECT * FROM T WHERE A = 1 B", "SELECT * FROM T WHERE [] = 1",
        "SELECT * FROM T WHERE A = 12abc", "SELECT * FROM T WHERE A = ?",
        "SELECT * FROM T WHERE D = #31/02/2026#", "SELECT * FROM T WHERE A IS 5",
        "SELECT * FROM T WHERE S Like '[a-'", "SELECT * FROM T WHERE A Xor B",
        "SELECT * FROM T; DELETE * FROM T", "SELECT * FROM", "SELECT * FROM T ORDER BY",
        "SELECT A B FROM T", "SELECT * FROM T WHERE Foo(A) = 1", "SELECT Left(S) FROM T",
        "SELECT TOP 10 PERCENT * FROM T", "SELECT TOP 2.5 * FROM T",
        "SELECT DISTINCTROW A FROM T",
        "SELECT * INTO X FROM T", "SELECT * FROM T IN 'other.mdb'",
        "SELECT * FROM T JOIN U ON T.A = U.A", "SELECT TOP 1 A FROM T UNION SELECT A FROM U",
        "UPDATE T INNER JOIN U ON T.A = U.A SET T.B = 1", "UPDATE T SET U.A = 1",
        "DELETE X.* FROM T", "INSERT INTO T (A, B) VALUES (1)", "INSERT INTO T DEFAULT VALUES",
        "INSERT INTO T (D) SELECT A FROM U", "TRANSFORM Sum(A) SELECT B FROM T PIVOT C",
        "SELECT A IN (SELECT D FROM T) FROM U"};
    // clang-format on
    for (const char* sql : refused) {
        try {
            typed(QString::fromUtf8(sql));
            ADD_FAILURE() << "translated: " << sql;
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), err::kSyntax) << sql;
            EXPECT_TRUE(e.text().startsWith("Syntax error in statement: " + QString::fromUtf8(sql)))
                << e.text().toStdString();
        }
    }
    // Without a catalog, what depends on a column's type cannot be written.
    EXPECT_NO_THROW(translate("SELECT A, B FROM X WHERE A IS NULL ORDER BY B"));
    for (const char* sql : {"SELECT A + 1 FROM X", "SELECT * FROM X WHERE A = 1",
                            "SELECT A & 'x' FROM X", "SELECT * FROM X WHERE A Like 'a*'"})
        EXPECT_THROW(translate(sql), DbError) << sql;
    for (const char* criteria : {"", "[ITEMNO] = 1 ORDER BY [ITEMNO]", "[ITEMNO] ="})
        EXPECT_THROW(translateCriteria(criteria), DbError) << criteria;
}

}  // namespace
}  // namespace tv::engine::dialect
