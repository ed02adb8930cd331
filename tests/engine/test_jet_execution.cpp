// What translated statements do, run through the engine on tables it created: the rows
// criteria select (Null tests, Booleans, Like, dates compared and computed as dates, "+"
// on texts), the values expressions give and the types they read back as, the errors
// Jet would report, and constructs refused rather than answered wrongly.
#include "common/engine/queries.h"
#include "core/convert.h"
#include "core/format.h"
#include "engine_fixture.h"

using namespace tv::engine;
using tvtest::dbErrorOf;

namespace {

const QString kOBrien = QStringLiteral("O'Brien Plumbing");
const QString kAcme = QStringLiteral("Acme Ltd");
const QString kAcorn = QStringLiteral("acorn & co");
const QString kBrown = QStringLiteral("Brown_Co");

class Execution : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE CUSTOMERS ([CUSTOMER NAME] TEXT(50) NOT NULL, CITY TEXT(30), STATE "
            "TEXT(10), BALANCE CURRENCY, QTY LONG, BILLABLE BIT, [DATE/TIME] DATETIME, NOTES "
            "MEMO, CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME]))");
        for (const char* row :
             {"'O''Brien Plumbing', 'Leeds', 'WY', 120.5, 5, True, #2026-12-05 10:00#, Null",
              "'Acme Ltd', 'York', Null, 0, 7, False, #2026-12-04 09:00#, 'first order'",
              "'acorn & co', Null, 'NY', 55, 2, True, #2026-12-05 23:59:59#, '100% sure'",
              "'Brown_Co', 'leeds', 'WY', Null, Null, False, #2026-12-06#, 'a_b'"})
            db_.Execute(QStringLiteral("INSERT INTO CUSTOMERS VALUES (%1)").arg(row));
    }

    // The customer names selected by Jet criteria, in name order (ignoring case).
    QStringList namesWhere(const QString& criteria) {
        return tvtest::queryColumn(
            db_, "SELECT [CUSTOMER NAME] FROM CUSTOMERS WHERE " + criteria + " ORDER BY 1");
    }
    QString value(const QString& select) { return tvtest::queryValue(db_, select); }
};

TEST_F(Execution, CriteriaSelectTheRightRows) {
    // clang-format off
    const std::pair<const char*, QStringList> cases[] = {
        {"[CITY] = Null", {kAcorn}}, {"[CITY] <> Null", {kAcme, kBrown, kOBrien}},
        {"Not [CITY] Is Null And [BALANCE] Between 50 And 200", {kOBrien}},
        {"BILLABLE = True", {kAcorn, kOBrien}}, {"BILLABLE = No", {kAcme, kBrown}},
        // Truth values as values are -1, as True is.
        {"IsNull([CITY]) = True", {kAcorn}}, {"([QTY] > 4) = True", {kAcme, kOBrien}},
        {"Nz([CITY]) = ''", {kAcorn}},
        // "&" treats Null as empty text; "+" keeps it Null, and joins texts.
        {"[CITY] & '' = ''", {kAcorn}}, {"[CITY] + '' = ''", {}},
        {"[CITY] + ' ' + [STATE] = 'leeds wy'", {kBrown, kOBrien}},
        {"[CITY] = 'LEEDS'", {kBrown, kOBrien}}, {"UCase([CITY]) = 'york'", {kAcme}},
        {"Left([CUSTOMER NAME], 2) = 'ac'", {kAcme, kAcorn}},
        // _ and % are plain characters in Like; [lists] and # go to jet_like.
        {"[CUSTOMER NAME] Like 'o''b*'", {kOBrien}}, {"[CUSTOMER NAME] Like '*_*'", {kBrown}},
        {"[NOTES] Like '*%*'", {kAcorn}}, {"[NOTES] Like '###*'", {kAcorn}},
        {"[CUSTOMER NAME] Like '[a-b]*'", {kAcme, kAcorn, kBrown}},
        {"[CUSTOMER NAME] Not Like '[!o]*'", {kOBrien}},
        {"[QTY] / 2 = 2.5", {kOBrien}}, {"[QTY] \\ 2 = 3", {kAcme}},
        {"[QTY] Mod 3 = 2", {kAcorn, kOBrien}},
        // A text column against a number compares as text.
        {"[STATE] > 4", {kAcorn, kBrown, kOBrien}}, {"[STATE] In (1, 'ny')", {kAcorn}},
        // Dates compare as dates: with literals, texts that are dates, date arithmetic,
        // and numbers by serial (46361 is 5 December 2026).
        {"[DATE/TIME] >= #2026-12-05# And [DATE/TIME] < #2026-12-06#", {kAcorn, kOBrien}},
        {"[DATE/TIME] = '5 Dec 2026 10:00'", {kOBrien}},
        {"[DATE/TIME] > #2026-12-05# - 0", {kAcorn, kBrown, kOBrien}},
        {"[DATE/TIME] > 46361.5", {kAcorn, kBrown}},
        {"[DATE/TIME] + 1 > #2026-12-06 12:00#", {kAcorn, kBrown}},
        {"[DATE/TIME] - #2026-12-05# Between 0 And 1", {kAcorn, kBrown, kOBrien}},
        {"[DATE/TIME] In (#2026-12-06#, '4 Dec 2026 09:00')", {kAcme, kBrown}},
        {"Int([DATE/TIME]) = #2026-12-05#", {kAcorn, kOBrien}},
        {"DateValue([DATE/TIME]) = #05-Dec-26#", {kAcorn, kOBrien}},
        {"Year([DATE/TIME]) = 2026 And Day([DATE/TIME]) = 6", {kBrown}},
        {"Format([DATE/TIME], 'dd/mm/yy') = '04/12/26'", {kAcme}},
        {"DateDiff('d', [DATE/TIME], #2026-12-06#) = 1", {kAcorn, kOBrien}},
        {"[DATE/TIME] & '' Like '05/12/2026 *'", {kAcorn, kOBrien}}};
    // clang-format on
    for (const auto& [criteria, names] : cases)
        EXPECT_EQ(namesWhere(QString::fromUtf8(criteria)), names) << criteria;
}

TEST_F(Execution, ExpressionsGiveJetsValues) {
    const std::pair<const char*, const char*> cases[] = {
        // "\\" rounds its operands half to even first.
        {"SELECT 7 / 2 & ' ' & 7.5 \\ 2 & ' ' & -7 Mod 3 & ' ' & 2 ^ 10", "3.5 4 -1 1024"},
        {"SELECT 1 + 2 * 3 & 'x'", "7x"},
        {"SELECT 'a' & Null & 1.5", "a1.5"},
        {"SELECT '5' + 1", "6"},
        {"SELECT 1 < 2", "-1"},
        // Grouped columns and an enclosing query's columns may be named beside aggregates.
        {"SELECT [STATE] & Count(*) FROM CUSTOMERS GROUP BY [STATE] HAVING [STATE] = 'NY'", "NY1"},
        {"SELECT (SELECT Max([QTY]) + C.[QTY] FROM CUSTOMERS) FROM CUSTOMERS AS C WHERE "
         "C.[QTY] = 5",
         "12"},
        {"SELECT #2026-12-31# + 1", "01/01/2027"},
        {"SELECT 0.5 + #2026-12-31 12:00#", "01/01/2027"},
        {"SELECT #2026-12-05# - #2026-12-01 12:00#", "3.5"},
        {"SELECT #2026-12-05 14:30# & ''", "05/12/2026 14:30:00"},
        {"SELECT CStr(#2026-12-05#)", "05/12/2026"},
        {"SELECT Len(#2026-12-05#)", "10"},
        {"SELECT DateAdd('m', 1, #2026-01-31#)", "28/02/2026"},
        {"SELECT DateAdd('m', 1, #2024-01-31 10:30#)", "29/02/2024 10:30:00"},
        {"SELECT DateAdd('h', 25, #2026-12-05 23:00#)", "07/12/2026"},
        {"SELECT DateAdd('ww', 2, #2026-12-05#)", "19/12/2026"},
        {"SELECT DateDiff('d', #2026-01-01#, #2026-12-05#)", "338"},
        {"SELECT DateDiff('d', #2026-12-05 23:59#, #2026-12-06 00:01#)", "1"},
        {"SELECT DateDiff('D', #2026-12-05#, #2026-12-01#)", "-4"},
        {"SELECT DateDiff('m', #2026-01-31#, #2026-02-01#)", "1"},
        {"SELECT DateDiff('yyyy', #2026-12-31#, #2027-01-01#)", "1"},
        {"SELECT DateDiff('ww', #2026-12-05#, #2026-12-06#)", "1"},  // a Sunday crossed
        {"SELECT DateDiff('w', #2026-12-05#, #2026-12-18#)", "1"},
        {"SELECT DateDiff('h', #2026-12-05 10:59#, #2026-12-05 11:00#)", "1"},
        // 4th quarter, 339th day, Saturday the 6th day of a week from Monday.
        {"SELECT DatePart('q', #2026-12-05#) & DatePart('y', #2026-12-05#) & "
         "DatePart('w', #2026-12-05#, 2)",
         "43396"},
        {"SELECT DatePart('ww', #2026-01-03#) & DatePart('ww', #2026-01-04#)", "12"},
        {"SELECT DateSerial(2026, 14, 1)", "01/02/2027"},
        {"SELECT InStr(4, 'Hello', 'l') & InStr(1, 'Hello', 'L', 0) & Mid('Tolvarine', 3, 4) & "
         "Right('Tolvarine', 3) & IIf(1 > 2, 'yes', 'no') & Nz(Null, 4)",
         "40lvarineno4"},
        {"SELECT CLng('12.5') & CInt(13.5) & Round(2.5) & Val(' 1 2.5x') * 2 & "
         "Format(1234.5, '0.00') & Format(Null)",
         "1214225"
         "1234.50"},
        // Format's date and digit patterns, sections and named formats.
        {"SELECT Format(#2025-03-07 14:05:09#, 'dddd d mmm yy h:n AM/PM') & '|' & "
         "Format(#2025-03-07#, 'Medium Date') & '|' & Format(0.25, 'hh:nn') & '|' & "
         "Format(#2025-12-31#, 'ww y \\qq \"h\"')",
         "Friday 7 Mar 25 2:5 PM|07-Mar-25|06:00|53 365 q4 h"},
        {"SELECT Format(1234.567, '$#,##0.00') & '|' & Format(5, '000') & '|' & "
         "Format(-5, '0;(0)') & '|' & Format(0, '0;(0);zero') & '|' & "
         "Format(0.000123, '0.00E-00') & '|' & Format(1234567, '#,##0,')",
         "$1,234.57|005|(5)|zero|1.23E-04|1,235"},
        {"SELECT CLng(Left('123abc', 3)) + 1 & '|' & IsNull('x' + Null) & '|' & "
         "IsNull(Null - 1) & '|' & (Null * 2 Is Null)",
         "124|-1|-1|-1"},
        {"SELECT Format(1, 'Yes/No') & Format(-0.004, '0.00') & Format(0.75, '0%') & "
         "Format(2, 'Percent') & Format(Null, '0;0;0;none') & Format(#2025-03-07#, '0.00')",
         "Yes0.0075%200.00%none45723.00"},
    };
    for (const auto& [select, expected] : cases)
        EXPECT_EQ(value(QString::fromUtf8(select)), QString::fromUtf8(expected)) << select;
}

TEST_F(Execution, NamedFormatsFollowTheWorkstationsRegion) {
    tv::RegionalSettings us;
    us.dateOrder = tv::DateOrder::MonthDayYear;
    us.twentyFourHour = false;
    us.currencySymbol = QStringLiteral("\u20ac");
    us.dateSeparator = u'-';
    us.decimalPoint = u',';
    us.thousandsSeparator = u'.';
    tv::pinRegional(us);
    EXPECT_EQ(value("SELECT Format(#2025-03-07 14:05#, 'Short Date') & '|' & "
                    "Format(#2025-03-07 14:05#, 'long time') & '|' & Format(-1.5, 'Currency') & '|' & "
                    "Format(1234.5, '#,##0.00') & '|' & Format(#2025-03-07 14:05#, 'd/m \"/\" h:nn A/P')"),
              QStringLiteral("03-07-2025|2:05:00 PM|-\u20ac1,50|1.234,50|7-3 / 2:05 P"));
}

TEST_F(Execution, ComputedDatesReadBackAsDates) {
    Recordset totals = db_.OpenRecordset(
        "SELECT Max([DATE/TIME]), Min([DATE/TIME]) + 1, Count(*), First([NOTES]) FROM CUSTOMERS");
    EXPECT_EQ(totals.FieldAt(0).Name(), "MaxOfDATE/TIME");
    EXPECT_EQ(totals.FieldAt(1).Name(), "Expr1000");
    EXPECT_EQ(totals.FieldAt(0).Type(), FieldType::Date);
    EXPECT_EQ(totals.FieldAt(1).Type(), FieldType::Date);
    EXPECT_EQ(tv::TextOf(totals[0]), "06/12/2026");
    EXPECT_EQ(tv::TextOf(totals[1]), "05/12/2026 09:00:00");
    EXPECT_EQ(totals[2].asLong(), 4);
    EXPECT_TRUE(totals[3].isNull());  // First keeps the first row's Null

    // A dynaset: the computed date first, then "*" expanded around it.
    Recordset rows = db_.OpenRecordset(
        "SELECT [DATE/TIME] - 1 AS Before, *, Date() AS Today FROM CUSTOMERS ORDER BY 2");
    ASSERT_EQ(rows.FieldCount(), 10);
    for (int i : {0, 7, 9}) EXPECT_EQ(rows.FieldAt(i).Type(), FieldType::Date) << i;
    EXPECT_EQ(rows.FieldAt(8).Type(), FieldType::Memo);
    EXPECT_EQ(tv::TextOf(rows[0]), "03/12/2026 09:00:00");

    // FindFirst criteria are typed by the record set's fields.
    rows.FindFirst("Before = #2026-12-04 10:00#");
    ASSERT_FALSE(rows.NoMatch());
    EXPECT_EQ(rows[1].asString(), kOBrien);
    rows.FindFirst("Before > '4 Dec 2026 12:00'");
    EXPECT_EQ(rows[1].asString(), kAcorn);

    Recordset order = db_.OpenRecordset(
        "SELECT First([CUSTOMER NAME]), Last([DATE/TIME]) FROM "
        "CUSTOMERS WHERE BILLABLE = False");
    EXPECT_EQ(order[0].asString(), kAcme);  // rows as they were added
    EXPECT_EQ(tv::TextOf(order[1]), "06/12/2026");

    // A UNION's dates, a "*" of each part.
    Recordset both = db_.OpenRecordset(
        "SELECT * FROM CUSTOMERS WHERE QTY = 7 UNION SELECT * FROM CUSTOMERS WHERE QTY = 5 "
        "ORDER BY 1");
    EXPECT_EQ(both.FieldAt(6).Type(), FieldType::Date);
    EXPECT_EQ(tv::TextOf(both[6]), "04/12/2026 09:00:00");
}

// A Null date stays Null through date arithmetic and the date functions.
TEST_F(Execution, NullDatesGiveNull) {
    db_.Execute("UPDATE CUSTOMERS SET [DATE/TIME] = Null WHERE [CUSTOMER NAME] = 'Acme Ltd'");
    EXPECT_EQ(tvtest::queryRows(
                  db_,
                  "SELECT [DATE/TIME] - 1, [DATE/TIME] + 1, [DATE/TIME] - #2026-12-05#, "
                  "CLng([DATE/TIME]), Year([DATE/TIME]), Weekday([DATE/TIME]), "
                  "DateAdd('m', 1, [DATE/TIME]), DateDiff('d', [DATE/TIME], #2026-12-05#), "
                  "DatePart('q', [DATE/TIME]), Format([DATE/TIME], 'dd/mm/yy') "
                  "FROM CUSTOMERS WHERE [CUSTOMER NAME] = 'Acme Ltd'"),
              (std::vector<QStringList>{QStringList(10, QString())}));
}

TEST_F(Execution, DaysBeforeTodayCountAsDates) {
    db_.Execute("CREATE TABLE EVENTS (ID LONG, [AT] DATETIME)");
    const int offsets[] = {-400, -31, -30, -29, -10, 0, 3};
    for (int i = 0; i < 7; ++i)
        db_.Execute(QStringLiteral("INSERT INTO EVENTS VALUES (%1, DateAdd('d', %2, Date()) + "
                                   "IIf(%1 Mod 2 = 0, 0.25, 0))")
                        .arg(i)
                        .arg(offsets[i]));
    // The count SQL gives equals the rows whose date, read back, is after Date() - 30.
    const double cutoff = tv::DateValue(tv::Variant(tv::Now())).serial - 30;
    int expected = 0;
    Recordset rs = db_.OpenRecordset("EVENTS");
    for (; !rs.EOF_(); rs.MoveNext()) expected += rs[1].asDate().serial > cutoff ? 1 : 0;
    EXPECT_EQ(expected, 5);
    EXPECT_EQ(value("SELECT Count(*) FROM EVENTS WHERE [AT] > Date() - 30"),
              QString::number(expected));
}

TEST_F(Execution, ErrorsCarryJetsNumbers) {
    const std::pair<const char*, int> cases[] = {
        {"SELECT 1e308 * 10", 6},
        {"SELECT 1e309", 6},
        {"SELECT 0 / 0", 6},
        {"SELECT CLng(3e9)", 6},
        {"SELECT 3e9 \\ 1", 6},
        {"SELECT #9999-12-31# + 1", 6},
        {"SELECT 5 / 0", 11},
        {"SELECT 1 Mod 0", 11},
        {"SELECT CLng('abc')", 13},
        {"SELECT 'abc' + 1 FROM CUSTOMERS", 13},
        {"SELECT DateAdd('x', 1, Date())", 5},
        {"SELECT * FROM CUSTOMERS WHERE [DATE/TIME] = 'soon'", 3464},
        {"SELECT * FROM CUSTOMERS WHERE [DATE/TIME] = [CITY]", 3464},
        {"SELECT [CITTY] + 1 FROM CUSTOMERS", 3061},
        // Every column named outside an aggregate is grouped by.
        {"SELECT [CITY], Count(*) FROM CUSTOMERS", 3122},
        {"SELECT *, Count(*) FROM CUSTOMERS", 3122},
        {"SELECT [CITY], Max([QTY]) FROM CUSTOMERS GROUP BY [STATE]", 3122},
        {"SELECT [STATE] FROM CUSTOMERS GROUP BY [STATE] HAVING Max([QTY]) > [QTY]", 3122},
        // What cannot be answered exactly is refused.
        {"SELECT Sum([DATE/TIME]) FROM CUSTOMERS", 3075},
        {"SELECT -[DATE/TIME] FROM CUSTOMERS", 3075},
        {"SELECT IIf([QTY] > 1, [DATE/TIME], 'never') FROM CUSTOMERS", 3075},
        {"SELECT * FROM CUSTOMERS WHERE NOT [QTY]", 3075},  // bitwise in Jet
        {"SELECT Nz([QTY]) + 1 FROM CUSTOMERS", 3075},
    };
    for (const auto& [sql, number] : cases)
        EXPECT_EQ(dbErrorOf([&] { tvtest::queryRows(db_, QString::fromUtf8(sql)); }), number)
            << sql;
    // Hostile nesting is an error, not a crash.
    for (const QString& deep :
         {"SELECT " + QString(5000, u'(') + "1" + QString(5000, u')'),
          "SELECT " + QString("- ").repeated(5000) + "1",
          "SELECT * FROM " + QString(5000, u'(') + "T" + QString(5000, u')'),
          "SELECT * FROM CUSTOMERS WHERE " + QString("NOT ").repeated(5000) + "BILLABLE"})
        EXPECT_EQ(dbErrorOf([&] { db_.OpenRecordset(deep); }), 3075) << deep.left(40).toStdString();
}

TEST_F(Execution, ActionStatementsChangeTheRightRowsAndConvertDates) {
    db_.Execute(
        "UPDATE CUSTOMERS SET [CITY] = Null, [DATE/TIME] = [DATE/TIME] + 1, NOTES = "
        "[DATE/TIME] WHERE [CUSTOMER NAME] = 'Acme Ltd'");
    EXPECT_EQ(namesWhere("[CITY] = Null"), (QStringList{kAcme, kAcorn}));
    EXPECT_EQ(tvtest::queryRows(db_,
                                "SELECT [DATE/TIME], NOTES FROM CUSTOMERS WHERE CITY = Null "
                                "ORDER BY 1"),
              (std::vector<QStringList>{{"05/12/2026 09:00:00", "04/12/2026 09:00:00"},
                                        {"05/12/2026 23:59:59", "100% sure"}}));

    db_.Execute(
        "INSERT INTO CUSTOMERS ([CUSTOMER NAME], BILLABLE, [DATE/TIME], QTY) VALUES "
        "('Dún Laoghaire''s', True, 46361.5, #2026-12-05#)");
    EXPECT_EQ(tvtest::rawRows(path_,
                              "SELECT BILLABLE, \"DATE/TIME\", QTY FROM CUSTOMERS WHERE "
                              "\"CUSTOMER NAME\" = 'Dún Laoghaire''s'"),
              (std::vector<QStringList>{{"-1", "2026-12-05 12:00:00", "46361"}}));

    EXPECT_EQ(db_.Execute("DELETE * FROM CUSTOMERS WHERE BILLABLE = False"), 2);
    EXPECT_EQ(namesWhere("True"), (QStringList{kAcorn, "Dún Laoghaire's", kOBrien}));
    EXPECT_EQ(tvtest::queryRows(db_,
                                "SELECT TOP 2 [CUSTOMER NAME], [BALANCE] FROM CUSTOMERS "
                                "WHERE [BALANCE] <> Null ORDER BY 2 DESC"),
              (std::vector<QStringList>{{kOBrien, "120.5"}, {kAcorn, "55"}}));
}

}  // namespace
