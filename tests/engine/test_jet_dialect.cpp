// Translation of Jet statements and criteria into SQLite text: pairs of input and
// expected output for every statement shape the program writes, date literals in both
// regional orders, what the engine learns about each statement, and the refusals.
#include "core/convert.h"
#include "core/regional.h"
#include "engine/jet_dialect.h"

#include <gtest/gtest.h>

namespace tv::engine::dialect {
namespace {

struct Pair {
    const char* jet;
    const char* sqlite;
};

void PrintTo(const Pair& p, std::ostream* os) { *os << p.jet; }

// Day-month-year numeric dates, as on the machines the data was first entered on.
class DialectTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegionalSettings dmy;
        dmy.dateOrder = DateOrder::DayMonthYear;
        pinRegional(dmy);
    }
    void TearDown() override { resetRegional(); }
};

class StatementTranslation : public DialectTest, public ::testing::WithParamInterface<Pair> {};

TEST_P(StatementTranslation, WritesTheExpectedSqlite) {
    EXPECT_EQ(translate(QString::fromUtf8(GetParam().jet)).sql,
              QString::fromUtf8(GetParam().sqlite));
}

// Statements as the windows and the data layer build them, with realistic values.
INSTANTIATE_TEST_SUITE_P(
    ProgramStatements, StatementTranslation,
    ::testing::Values(
        Pair{"SELECT * FROM [TABLE DEFINITIONS] WHERE SORTOPTION <> 0 ORDER BY [DISPLAYNAME]",
             R"(SELECT * FROM "TABLE DEFINITIONS" WHERE SORTOPTION <> 0 ORDER BY "DISPLAYNAME")"},
        Pair{"SELECT * FROM [ACTIVITIES] WHERE DATETIME >= #2026-12-05# AND DATETIME <= "
             "#2026-12-05 23:59:59# AND COMPLETED <> NULL ORDER BY COMPLETED",
             "SELECT * FROM \"ACTIVITIES\" WHERE DATETIME >= '2026-12-05 00:00:00' AND DATETIME <= "
             "'2026-12-05 23:59:59' AND COMPLETED IS NOT NULL ORDER BY COMPLETED"},
        Pair{"DELETE * FROM [QUOTATIONS DETAIL] WHERE [QUOTENO] = 1042",
             R"(DELETE FROM "QUOTATIONS DETAIL" WHERE "QUOTENO" = 1042)"},
        Pair{"UPDATE [ACTIVITIES] SET [INVOICENO] = NULL WHERE [INVOICENO] = 77",
             R"(UPDATE "ACTIVITIES" SET "INVOICENO" = NULL WHERE "INVOICENO" = 77)"},
        Pair{
            "SELECT * FROM [ACTIVITIES] WHERE [CUSTOMER NAME] = \"O'Brien Plumbing\" AND "
            "BILLABLE = True AND ([INVOICENO] = 0 OR [INVOICENO] = Null) ORDER BY [DateTime]",
            "SELECT * FROM \"ACTIVITIES\" WHERE \"CUSTOMER NAME\" = 'O''Brien Plumbing' AND "
            "BILLABLE = -1 AND (\"INVOICENO\" = 0 OR \"INVOICENO\" IS NULL) ORDER BY \"DateTime\""},
        Pair{"SELECT DISTINCT CATEGORY FROM [REPORT DEFINITIONS]",
             R"(SELECT DISTINCT CATEGORY FROM "REPORT DEFINITIONS")"},
        Pair{"SELECT * FROM [Form Captions] ORDER BY 1,2,3",
             R"(SELECT * FROM "Form Captions" ORDER BY 1, 2, 3)"},
        Pair{"SELECT * FROM [SYSTEM USER ACCESS] WHERE USERID = 'o''brien'",
             R"(SELECT * FROM "SYSTEM USER ACCESS" WHERE USERID = 'o''brien')"},
        Pair{"DELETE * FROM [SCHEDULED ACTIVITIES] WHERE SOURCEDOCTYPE = 'project' AND "
             "SOURCEDOCID = 'P-104'",
             "DELETE FROM \"SCHEDULED ACTIVITIES\" WHERE SOURCEDOCTYPE = 'project' AND "
             "SOURCEDOCID = 'P-104'"},
        Pair{"UPDATE [CUSTOMER INVENTORY] SET [SOURCEDOCTYPE] = NULL, [SOURCEDOCID] = NULL WHERE "
             "[SOURCEDOCTYPE] = 'order' AND [SOURCEDOCID] = '5512'",
             "UPDATE \"CUSTOMER INVENTORY\" SET \"SOURCEDOCTYPE\" = NULL, \"SOURCEDOCID\" = NULL "
             "WHERE \"SOURCEDOCTYPE\" = 'order' AND \"SOURCEDOCID\" = '5512'"},
        Pair{"SELECT * FROM [OPTION LISTS] WHERE [LIST NAME] = 'Inbox' ORDER BY OPTION",
             R"(SELECT * FROM "OPTION LISTS" WHERE "LIST NAME" = 'Inbox' ORDER BY OPTION)"},
        Pair{"Select * From [Customers] Where ([CUSTOMER NAME] LIKE 'O''B*') AND ([CITY] = "
             "'Leeds' OR [BALANCE] > 100) Order By [CITY] Desc , [CUSTOMER NAME]",
             "SELECT * FROM \"Customers\" WHERE (\"CUSTOMER NAME\" LIKE 'O''B%') AND (\"CITY\" = "
             "'Leeds' OR \"BALANCE\" > 100) ORDER BY \"CITY\" DESC, \"CUSTOMER NAME\""},
        Pair{"Select * From [Activities] Where ([DATETIME] > #05-Dec-26#) Order By [CUSTOMER NAME]",
             "SELECT * FROM \"Activities\" WHERE (\"DATETIME\" > '2026-12-05 00:00:00') ORDER BY "
             "\"CUSTOMER NAME\""},
        Pair{"Select Distinct [CITY] from [Customers]",
             R"(SELECT DISTINCT "CITY" FROM "Customers")"},
        Pair{"SELECT * FROM CONTACTS WHERE ([BUSINESS PHONE] = '555 0101' OR [HOME PHONE] = "
             "'555 0101' OR [MOBILE PHONE] = '555 0101')",
             "SELECT * FROM CONTACTS WHERE (\"BUSINESS PHONE\" = '555 0101' OR \"HOME PHONE\" = "
             "'555 0101' OR \"MOBILE PHONE\" = '555 0101')"},
        Pair{
            "SELECT * FROM [REQUEST ACTIVITIES] WHERE [DATE/TIME] >= #2026-12-05# AND [DATE/TIME] "
            "< #2026-12-05 23:59:59# AND COMPLETED <> NULL ORDER BY [DATE/TIME]",
            "SELECT * FROM \"REQUEST ACTIVITIES\" WHERE \"DATE/TIME\" >= '2026-12-05 00:00:00' AND "
            "\"DATE/TIME\" < '2026-12-05 23:59:59' AND COMPLETED IS NOT NULL ORDER BY "
            "\"DATE/TIME\""},
        Pair{"SELECT * FROM [REQUEST ACTIVITIES] WHERE (SCHEDULED <> NULL AND SCHEDULED <= "
             "#2026-12-05 23:59#) AND [PERSONNEL] = 'jsmith' AND [COMPLETED] = Null ORDER BY "
             "[SCHEDULED] DESC",
             "SELECT * FROM \"REQUEST ACTIVITIES\" WHERE (SCHEDULED IS NOT NULL AND SCHEDULED <= "
             "'2026-12-05 23:59:00') AND \"PERSONNEL\" = 'jsmith' AND \"COMPLETED\" IS NULL ORDER "
             "BY "
             "\"SCHEDULED\" DESC"},
        Pair{"SELECT * FROM [ACTIVITIES] WHERE [CUSTOMER NAME] = \"Acme\" AND ([SOURCEDOCID] = '' "
             "OR [SOURCEDOCID] = Null OR [SOURCEDOCID] = '0') AND BILLABLE = True ORDER BY "
             "[DATETIME]",
             "SELECT * FROM \"ACTIVITIES\" WHERE \"CUSTOMER NAME\" = 'Acme' AND (\"SOURCEDOCID\" = "
             "'' OR \"SOURCEDOCID\" IS NULL OR \"SOURCEDOCID\" = '0') AND BILLABLE = -1 ORDER BY "
             "\"DATETIME\""},
        Pair{"SELECT * FROM PRODUCTS WHERE CUSTOMERINVENTORY <> True",
             "SELECT * FROM PRODUCTS WHERE CUSTOMERINVENTORY <> -1"},
        Pair{"SELECT * FROM PROJECTS WHERE [CUSTOMER NAME] = \"Acme\" ORDER BY "
             "[SCHEDULEDSTART],[ACTUALSTART]",
             "SELECT * FROM PROJECTS WHERE \"CUSTOMER NAME\" = 'Acme' ORDER BY \"SCHEDULEDSTART\", "
             "\"ACTUALSTART\""},
        Pair{"SELECT * FROM QUOTATIONS WHERE [CUSTOMER NAME] = \"Acme\" ORDER BY [QUOTENO] DESC",
             "SELECT * FROM QUOTATIONS WHERE \"CUSTOMER NAME\" = 'Acme' ORDER BY \"QUOTENO\" DESC"},
        Pair{
            "SELECT * FROM [SCHEDULED ACTIVITIES] WHERE [CUSTOMER NAME] = \"Acme\" AND [CONTACT "
            "NAME] = 'Ann O''Neil' AND [SCHEDDATETIME] > #2026-12-05# ORDER BY [SCHEDDATETIME]",
            "SELECT * FROM \"SCHEDULED ACTIVITIES\" WHERE \"CUSTOMER NAME\" = 'Acme' AND \"CONTACT "
            "NAME\" = 'Ann O''Neil' AND \"SCHEDDATETIME\" > '2026-12-05 00:00:00' ORDER BY "
            "\"SCHEDDATETIME\""},
        Pair{"SELECT * FROM [REQUEST ACTIVITIES] WHERE REQUESTNO = 12 AND [ChargeRate] > 0 ORDER "
             "BY [DATE/TIME]",
             "SELECT * FROM \"REQUEST ACTIVITIES\" WHERE REQUESTNO = 12 AND \"ChargeRate\" > 0 "
             "ORDER "
             "BY \"DATE/TIME\""},
        Pair{"SELECT * FROM [Scheduled Activities] WHERE SCHEDDATETIME <= #05/12/26 23:59# AND "
             "[USER ID] = 'ann' ORDER BY [SCHEDDATETIME] DESC",
             "SELECT * FROM \"Scheduled Activities\" WHERE SCHEDDATETIME <= '2026-12-05 23:59:00' "
             "AND \"USER ID\" = 'ann' ORDER BY \"SCHEDDATETIME\" DESC"},
        Pair{"Select * From [Customers] Where ([CITY] IN ('Leeds','York') OR [CITY] = Null) "
             "Order By [CUSTOMER NAME]",
             "SELECT * FROM \"Customers\" WHERE (\"CITY\" IN ('Leeds', 'York') OR \"CITY\" IS "
             "NULL) ORDER BY \"CUSTOMER NAME\""},
        Pair{"SELECT [CONTACTS].[CONTACT NAME] FROM [CONTACTS] WHERE [CONTACTS].[CUSTOMER NAME] = "
             "'Acme'",
             "SELECT \"CONTACTS\".\"CONTACT NAME\" FROM \"CONTACTS\" WHERE "
             "\"CONTACTS\".\"CUSTOMER NAME\" = 'Acme'"},
        Pair{"SELECT * FROM INBOX WHERE USERID = 'ann' ORDER BY RECEIVED",
             "SELECT * FROM INBOX WHERE USERID = 'ann' ORDER BY RECEIVED"},
        Pair{"SELECT * FROM [PROJECTS] WHERE [Customer Name] = \"O'Brien \"\"The Pipes\"\"\" ORDER "
             "BY [NAME]",
             "SELECT * FROM \"PROJECTS\" WHERE \"Customer Name\" = 'O''Brien \"The Pipes\"' ORDER "
             "BY \"NAME\""}));

// The rest of the dialect: statement forms, operators and functions.
INSTANTIATE_TEST_SUITE_P(
    DialectForms, StatementTranslation,
    ::testing::Values(
        Pair{"DELETE FROM T", "DELETE FROM T"},
        Pair{"delete t.* from t where a = 1", "DELETE FROM t WHERE a = 1"},
        Pair{"DELETE [OUTBOX ATTACHMENTS].* FROM [OUTBOX ATTACHMENTS] WHERE MSGNO = 31",
             R"(DELETE FROM "OUTBOX ATTACHMENTS" WHERE MSGNO = 31)"},
        Pair{"INSERT INTO [FILTERS] ([TABLE KEY], [NAME], [CRITERIA]) VALUES ('Customers', "
             "'O''Brien''s', \"[CITY] = 'Leeds'\")",
             "INSERT INTO \"FILTERS\" (\"TABLE KEY\", \"NAME\", \"CRITERIA\") VALUES ('Customers', "
             "'O''Brien''s', '[CITY] = ''Leeds''')"},
        Pair{"INSERT INTO T (A, B, C) VALUES (True, Null, #5 Dec 2026 14:30#)",
             "INSERT INTO T (A, B, C) VALUES (-1, NULL, '2026-12-05 14:30:00')"},
        Pair{
            "INSERT INTO [COMPLETED REQUESTS] SELECT * FROM [CURRENT REQUESTS] WHERE REQUESTNO = 5",
            "INSERT INTO \"COMPLETED REQUESTS\" SELECT * FROM \"CURRENT REQUESTS\" WHERE "
            "REQUESTNO = 5"},
        Pair{"UPDATE T SET T.A = 'x', [B] = [B] + 1", R"(UPDATE T SET A = 'x', "B" = "B" + 1)"},
        Pair{"SELECT TOP 10 * FROM [T] ORDER BY [A] DESC",
             R"(SELECT * FROM "T" ORDER BY "A" DESC LIMIT 10)"},
        Pair{"SELECT [CITY], Count(*) AS N FROM CUSTOMERS GROUP BY [CITY] HAVING Count(*) > 1 "
             "ORDER BY 2 DESC",
             "SELECT \"CITY\", COUNT(*) AS N FROM CUSTOMERS GROUP BY \"CITY\" HAVING COUNT(*) > 1 "
             "ORDER BY 2 DESC"},
        Pair{"SELECT C.[CUSTOMER NAME], K.* FROM CUSTOMERS AS C INNER JOIN CONTACTS K ON "
             "C.[CUSTOMER NAME] = K.[CUSTOMER NAME]",
             "SELECT C.\"CUSTOMER NAME\", K.* FROM CUSTOMERS C INNER JOIN CONTACTS K ON "
             "C.\"CUSTOMER NAME\" = K.\"CUSTOMER NAME\""},
        Pair{"SELECT * FROM (A INNER JOIN B ON A.X = B.X) LEFT OUTER JOIN C ON B.Y = C.Y",
             "SELECT * FROM (A INNER JOIN B ON A.X = B.X) LEFT JOIN C ON B.Y = C.Y"},
        Pair{"SELECT * FROM CUSTOMERS WHERE [CUSTOMER NAME] IN (SELECT [CUSTOMER NAME] FROM "
             "CONTACTS WHERE [CITY] = 'York') AND TYPE NOT IN ('a', 'b')",
             "SELECT * FROM CUSTOMERS WHERE \"CUSTOMER NAME\" IN (SELECT \"CUSTOMER NAME\" FROM "
             "CONTACTS WHERE \"CITY\" = 'York') AND TYPE NOT IN ('a', 'b')"},
        Pair{"SELECT * FROM T WHERE EXISTS (SELECT * FROM U WHERE U.A = T.A)",
             "SELECT * FROM T WHERE EXISTS (SELECT * FROM U WHERE U.A = T.A)"},
        Pair{"SELECT A FROM T UNION SELECT A FROM U ORDER BY 1",
             "SELECT A FROM T UNION SELECT A FROM U ORDER BY 1"},
        Pair{
            "SELECT * FROM T WHERE A BETWEEN 10 AND 20 AND B NOT BETWEEN #1/2/2026# AND #3/2/2026#",
            "SELECT * FROM T WHERE A BETWEEN 10 AND 20 AND B NOT BETWEEN '2026-02-01 00:00:00' AND "
            "'2026-02-03 00:00:00'"},
        Pair{"SELECT * FROM T WHERE A Is Null OR B IS NOT NULL OR Not C Is Null OR Null = D",
             "SELECT * FROM T WHERE A IS NULL OR B IS NOT NULL OR NOT C IS NULL OR D IS NULL"},
        Pair{"SELECT * FROM T WHERE A != 1 AND B = Yes AND C = Off AND D = On AND E = No AND F = "
             "False",
             "SELECT * FROM T WHERE A <> 1 AND B = -1 AND C = 0 AND D = -1 AND E = 0 AND F = 0"},
        Pair{"SELECT [FIRST] & ' ' & [LAST] AS [Full Name] FROM T",
             R"(SELECT jet_concat("FIRST", ' ', "LAST") AS "Full Name" FROM T)"},
        // Jet's & binds looser than +; SQLite's || tighter: the grouping must survive.
        Pair{"SELECT A & B + 1 FROM T", "SELECT jet_concat(A, B + 1) FROM T"},
        Pair{"SELECT A + 'x' + B, A + B FROM T", "SELECT A || 'x' || B, A + B FROM T"},
        Pair{"SELECT (A + 1) * 2, A - (B - C), -A, - -1, 10 / 4, A / 2.5 / B FROM T",
             "SELECT (A + 1) * 2, A - (B - C), -A, -(-1), CAST(10 AS REAL) / 4, "
             "CAST(A AS REAL) / 2.5 / B FROM T"},
        Pair{"SELECT A Mod 3, A \\ 2, 2 ^ 3, -2 ^ 2 FROM T",
             "SELECT jet_mod(A, 3), jet_intdiv(A, 2), jet_pow(2, 3), -jet_pow(2, 2) FROM T"},
        Pair{"SELECT * FROM T WHERE (A = 1 OR B = 2) AND NOT (C = 3)",
             "SELECT * FROM T WHERE (A = 1 OR B = 2) AND NOT (C = 3)"},
        Pair{
            "SELECT UCase$([NAME]), LCase(A), Len(A), Left(A, 3), Right$(A, 2), Mid(A, 2), "
            "Mid(A, 2, 3), Trim(A), LTrim(A), RTrim(A) FROM T",
            "SELECT jet_ucase(\"NAME\"), jet_lcase(A), length(A), jet_left(A, 3), jet_right(A, 2), "
            "jet_mid(A, 2), jet_mid(A, 2, 3), trim(A), ltrim(A), rtrim(A) FROM T"},
        Pair{
            "SELECT InStr(A, 'x'), InStr(2, A, 'x', 0), Now(), Date(), Time(), Year(D), Month(D), "
            "Day(D), Hour(D), Minute(D), Second(D), DateValue(D) FROM T",
            "SELECT jet_instr(A, 'x'), jet_instr(2, A, 'x', 0), jet_now(), jet_date(), jet_time(), "
            "jet_year(D), jet_month(D), jet_day(D), jet_hour(D), jet_minute(D), jet_second(D), "
            "jet_datevalue(D) FROM T"},
        Pair{"SELECT CStr(A), CLng(A), CInt(A), CDbl(A), Val(A), Format(D, 'dd/mm/yy'), Abs(A), "
             "Int(A), Round(A, 2), Round(A) FROM T",
             "SELECT jet_cstr(A), jet_clng(A), jet_cint(A), jet_cdbl(A), jet_val(A), "
             "jet_format(D, 'dd/mm/yy'), abs(A), jet_int(A), jet_round(A, 2), jet_round(A) FROM T"},
        Pair{"SELECT IIf(A > 0, 'pos', 'neg'), Nz(A), Nz(A, 0), IsNull(A) FROM T",
             "SELECT CASE WHEN A > 0 THEN 'pos' ELSE 'neg' END, IFNULL(A, ''), IFNULL(A, 0), "
             "-(A IS NULL) FROM T"},
        // Computed texts compare ignoring case, as columns do.
        Pair{"SELECT * FROM T WHERE UCase(A) = 'ACME' AND Left(A, 2) <> 'ac' AND A = 'x'",
             "SELECT * FROM T WHERE jet_ucase(A) = 'ACME' COLLATE NOCASE AND jet_left(A, 2) <> "
             "'ac' COLLATE NOCASE AND A = 'x'"},
        Pair{
            "SELECT * FROM T WHERE A Like '100%*' AND B Not Like 'a_?' AND C Like 'x[*]y'",
            "SELECT * FROM T WHERE A LIKE '100\\%%' ESCAPE '\\' AND B NOT LIKE 'a\\__' ESCAPE '\\' "
            "AND C LIKE 'x*y'"},
        Pair{"SELECT * FROM T WHERE A Like 'A#*' OR B Not Like '[!a-c]*' OR C Like D",
             "SELECT * FROM T WHERE jet_like(A, 'A#*') OR NOT jet_like(B, '[!a-c]*') OR "
             "jet_like(C, D)"},
        // Bare names that SQLite reserves are quoted; bracketed names always are.
        Pair{"SELECT KEY, [ORDER], [Say \"Hi\"] FROM [TABLE] WHERE ACTION = 1",
             R"(SELECT "KEY", "ORDER", "Say ""Hi""" FROM "TABLE" WHERE "ACTION" = 1)"},
        Pair{"SELECT * FROM T -- every row\nWHERE A = &H1F;", "SELECT * FROM T WHERE A = 31"},
        Pair{"SELECT * FROM T WHERE A = 1.5E3 AND B = .5",
             "SELECT * FROM T WHERE A = 1.5E3 AND B = .5"},
        Pair{"SELECT (SELECT Count(*) FROM U) AS N, T.* FROM T",
             "SELECT (SELECT COUNT(*) FROM U) AS N, T.* FROM T"}));

class CriteriaTranslation : public DialectTest, public ::testing::WithParamInterface<Pair> {};

TEST_P(CriteriaTranslation, WritesTheExpectedCondition) {
    EXPECT_EQ(translateCriteria(QString::fromUtf8(GetParam().jet)),
              QString::fromUtf8(GetParam().sqlite));
}

// The criteria the record lookup and the find and lookup windows pass to FindFirst.
INSTANTIATE_TEST_SUITE_P(
    FindCriteria, CriteriaTranslation,
    ::testing::Values(
        Pair{"[CUSTOMER NAME] = \"O'Brien\" And [DATETIME] = #2026-12-05 10:00:00#",
             "\"CUSTOMER NAME\" = 'O''Brien' AND \"DATETIME\" = '2026-12-05 10:00:00'"},
        // The one-second window either side of a displayed date, with the blank after "#".
        Pair{"[CUSTOMER NAME] = \"O'Brien\" And [DATETIME] > #05/12/2026 09:59:59# And [DATETIME] "
             "< # 05/12/2026 10:00:01#",
             "\"CUSTOMER NAME\" = 'O''Brien' AND \"DATETIME\" > '2026-12-05 09:59:59' AND "
             "\"DATETIME\" < '2026-12-05 10:00:01'"},
        Pair{"[TABLENAME]='Customers'", R"("TABLENAME" = 'Customers')"},
        Pair{"[ITEMNO] = 3 And [NAME] = \"Visit\"", R"("ITEMNO" = 3 AND "NAME" = 'Visit')"},
        Pair{"[NOTE] = \"say \"\"hi\"\"\"", R"("NOTE" = 'say "hi"')"}));

// #date# literals: the same text read in each regional order.
struct DateCase {
    DateOrder order;
    const char* literal;
    const char* iso;
};

void PrintTo(const DateCase& c, std::ostream* os) { *os << c.literal; }

class DateLiteral : public ::testing::TestWithParam<DateCase> {
protected:
    void TearDown() override { resetRegional(); }
};

TEST_P(DateLiteral, BecomesIsoText) {
    RegionalSettings settings;
    settings.dateOrder = GetParam().order;
    pinRegional(settings);
    const QString jet = QStringLiteral("[D] = #%1#").arg(QString::fromUtf8(GetParam().literal));
    EXPECT_EQ(translateCriteria(jet),
              QStringLiteral("\"D\" = '%1'").arg(QString::fromUtf8(GetParam().iso)));
}

INSTANTIATE_TEST_SUITE_P(
    BothOrders, DateLiteral,
    ::testing::Values(
        DateCase{DateOrder::DayMonthYear, "05/12/26", "2026-12-05 00:00:00"},
        DateCase{DateOrder::MonthDayYear, "05/12/26", "2026-05-12 00:00:00"},
        DateCase{DateOrder::DayMonthYear, "12/05/2026 10:00:00", "2026-05-12 10:00:00"},
        DateCase{DateOrder::MonthDayYear, "12/05/2026 10:00:00", "2026-12-05 10:00:00"},
        DateCase{DateOrder::MonthDayYear, " 12/05/26  10:00 ", "2026-12-05 10:00:00"},
        DateCase{DateOrder::DayMonthYear, "2026-12-05", "2026-12-05 00:00:00"},
        DateCase{DateOrder::MonthDayYear, "2026-12-05 14:30:15", "2026-12-05 14:30:15"},
        DateCase{DateOrder::DayMonthYear, "05-Dec-26", "2026-12-05 00:00:00"},
        DateCase{DateOrder::MonthDayYear, "05-Dec-26", "2026-12-05 00:00:00"},
        DateCase{DateOrder::MonthDayYear, "5 Dec 2026", "2026-12-05 00:00:00"},
        DateCase{DateOrder::DayMonthYear, "5 December 2026 2:30 PM", "2026-12-05 14:30:00"},
        DateCase{DateOrder::DayMonthYear, "10:30", "1899-12-30 10:30:00"}));

TEST(ReadDateLiteral, RefusesWhatIsNotADate) {
    DateTime d;
    for (const char* text : {"", "   ", "hello", "31/02/2026", "2026-13-01", "12/05/26 25:00"})
        EXPECT_FALSE(readDateLiteral(QString::fromUtf8(text), &d)) << text;
}

// What the engine reads besides the text: kind, tables, whether a dynaset can write.
TEST_F(DialectTest, ASelectOverOneTableIsSingleTableWithThatTableFirst) {
    const Translation t = translate(QStringLiteral(
        "SELECT * FROM [CUSTOMERS] WHERE [CUSTOMER NAME] IN (SELECT [CUSTOMER NAME] FROM "
        "[CONTACTS]) ORDER BY [CITY]"));
    EXPECT_EQ(t.kind, StatementKind::Select);
    EXPECT_TRUE(t.singleTable);
    EXPECT_EQ(t.tables, (QStringList{QStringLiteral("CUSTOMERS"), QStringLiteral("CONTACTS")}));
    EXPECT_EQ(t.fromSql, QStringLiteral("\"CUSTOMERS\""));
    EXPECT_EQ(t.whereSql,
              QStringLiteral("\"CUSTOMER NAME\" IN (SELECT \"CUSTOMER NAME\" FROM \"CONTACTS\")"));
    EXPECT_EQ(t.orderBySql, QStringLiteral("\"CITY\""));
    EXPECT_FALSE(t.orderByPosition);
    EXPECT_TRUE(
        translate(QStringLiteral("SELECT * FROM [FORM CAPTIONS] ORDER BY 1, [X]")).orderByPosition);

    const Translation subqueryFirst =
        translate(QStringLiteral("SELECT (SELECT Count(*) FROM U) AS N, T.* FROM T"));
    EXPECT_TRUE(subqueryFirst.singleTable);
    EXPECT_EQ(subqueryFirst.tables.value(0), QStringLiteral("T"));
}

TEST_F(DialectTest, SelectsThatCannotWriteBackAreNotSingleTable) {
    for (const char* sql : {
             "SELECT DISTINCT CITY FROM CUSTOMERS",
             "SELECT CITY FROM CUSTOMERS GROUP BY CITY",
             "SELECT Count(*) FROM CUSTOMERS",
             "SELECT Max([BALANCE]) AS M FROM CUSTOMERS",
             "SELECT * FROM A INNER JOIN B ON A.X = B.X",
             "SELECT * FROM A, B",
             "SELECT * FROM (SELECT * FROM A) AS S",
             "SELECT X FROM A UNION SELECT X FROM B",
             "SELECT Now() AS N",
         }) {
        EXPECT_FALSE(translate(QString::fromUtf8(sql)).singleTable) << sql;
    }
    EXPECT_TRUE(translate(QStringLiteral("SELECT TOP 5 * FROM A")).singleTable);
}

TEST_F(DialectTest, ActionStatementsNameTheirTargetFirst) {
    struct Case {
        const char* sql;
        StatementKind kind;
        QStringList tables;
    };
    const Case cases[] = {
        {"INSERT INTO [COMPLETED REQUESTS] SELECT * FROM [CURRENT REQUESTS]",
         StatementKind::Insert,
         {QStringLiteral("COMPLETED REQUESTS"), QStringLiteral("CURRENT REQUESTS")}},
        {"UPDATE [SERVICE CONTRACTS] SET [ORDERNO] = NULL WHERE [ORDERNO] = 9",
         StatementKind::Update,
         {QStringLiteral("SERVICE CONTRACTS")}},
        {"DELETE * FROM [QUOTATIONS DETAIL] WHERE [QUOTENO] IN (SELECT QUOTENO FROM OLD)",
         StatementKind::Delete,
         {QStringLiteral("QUOTATIONS DETAIL"), QStringLiteral("OLD")}},
    };
    for (const Case& c : cases) {
        const Translation t = translate(QString::fromUtf8(c.sql));
        EXPECT_EQ(t.kind, c.kind) << c.sql;
        EXPECT_EQ(t.tables, c.tables) << c.sql;
        EXPECT_FALSE(t.singleTable) << c.sql;
    }
}

// Every refusal is error 3075 naming the whole statement; none may crash or pass through.
class Refused : public DialectTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(Refused, IsASyntaxErrorNamingTheStatement) {
    const QString sql = QString::fromUtf8(GetParam());
    try {
        translate(sql);
        FAIL() << "translated: " << GetParam();
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), err::kSyntax);
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("Syntax error in statement: ") + sql))
            << e.text().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, Refused,
    ::testing::Values("", "   ", "-- nothing but a comment", ";", "SELEC * FROM T",
                      "SELECT * FROM [T", "SELECT * FROM T WHERE A = 'x",
                      "SELECT * FROM T WHERE A = \"x", "SELECT * FROM T WHERE D > #2026-12-05",
                      "SELECT * FROM T WHERE (A = 1", "SELECT * FROM T WHERE A = 1)",
                      "SELECT * FROM T WHERE A =", "SELECT * FROM T WHERE A = 1 B",
                      "SELECT * FROM T WHERE [] = 1", "SELECT * FROM T WHERE A = 12abc",
                      "SELECT * FROM T WHERE A = @x", "SELECT * FROM T WHERE A = ?",
                      "SELECT * FROM T WHERE D = #31/02/2026#", "SELECT * FROM T WHERE D = #soon#",
                      "SELECT * FROM T WHERE A IS 5", "SELECT * FROM T WHERE A Like '[a-'",
                      "SELECT * FROM T WHERE A Xor B", "SELECT * FROM T; DELETE * FROM T", "SELECT",
                      "SELECT * FROM", "SELECT * FROM T WHERE", "SELECT * FROM T ORDER BY",
                      "SELECT A B FROM T", "SELECT * FROM T GROUP A"));

INSTANTIATE_TEST_SUITE_P(
    Unsupported, Refused,
    ::testing::Values("SELECT * FROM T WHERE Foo(A) = 1", "SELECT Left(A) FROM T",
                      "SELECT Now(1) FROM T", "SELECT TOP 10 PERCENT * FROM T",
                      "SELECT TOP 2.5 * FROM T", "SELECT TOP 1E3 * FROM T",
                      "SELECT DISTINCTROW A FROM T", "SELECT * INTO X FROM T",
                      "SELECT * FROM T IN 'other.mdb'", "SELECT * FROM A JOIN B ON A.X = B.X",
                      "SELECT TOP 1 A FROM T UNION SELECT A FROM U",
                      "UPDATE A INNER JOIN B ON A.X = B.X SET A.Y = 1", "UPDATE T SET U.A = 1",
                      "DELETE X.* FROM T", "DELETE * FROM A INNER JOIN B ON A.X = B.X",
                      "INSERT INTO T (A, B) VALUES (1)", "INSERT INTO T DEFAULT VALUES",
                      "TRANSFORM Sum(A) SELECT B FROM T PIVOT C", "PARAMETERS X Long; SELECT X"));

TEST_F(DialectTest, CriteriaRefuseTrailingTextAndEmptiness) {
    for (const char* criteria : {"", "[A] = 1 ORDER BY [A]", "[A] = 'x' [B]", "[A] ="}) {
        try {
            translateCriteria(QString::fromUtf8(criteria));
            ADD_FAILURE() << "translated: " << criteria;
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), err::kSyntax) << criteria;
        }
    }
}

}  // namespace
}  // namespace tv::engine::dialect
