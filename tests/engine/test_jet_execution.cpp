// Translations run against a real SQLite database, built by hand the way the engine lays
// out tables (NOCASE texts, -1/0 Booleans, ISO date texts), so that a translation that
// reads right but selects the wrong rows is caught: Null tests, Boolean = True, Like with
// wildcards and literal % and _, date windows, and the jet_* functions' values.
#include "core/regional.h"
#include "engine/jet_dialect.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <QStringList>
#include <optional>

namespace tv::engine::dialect {
namespace {

class Database {
public:
    Database() {
        sqlite3_open(":memory:", &db_);
        registerDialectFunctions(db_);
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << (message ? message : "");
            sqlite3_free(message);
        }
    }

    // Runs SQLite text; each row's columns joined by "|", a Null written as "<null>".
    // Returns nothing when SQLite refuses the statement or fails while running it.
    std::optional<QStringList> rows(const QString& sql) {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db_, utf8.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            lastError_ = QString::fromUtf8(sqlite3_errmsg(db_));
            return std::nullopt;
        }
        QStringList out;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QStringList cells;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                cells << (sqlite3_column_type(stmt, i) == SQLITE_NULL
                              ? QStringLiteral("<null>")
                              : QString::fromUtf8(
                                    reinterpret_cast<const char*>(sqlite3_column_text(stmt, i))));
            }
            out << cells.join(u'|');
        }
        if (rc != SQLITE_DONE) lastError_ = QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) return std::nullopt;
        return out;
    }

    int changes() const { return sqlite3_changes(db_); }
    const QString& lastError() const { return lastError_; }

private:
    sqlite3* db_ = nullptr;
    QString lastError_;
};

class Execution : public ::testing::Test {
protected:
    void SetUp() override {
        RegionalSettings dmy;
        dmy.dateOrder = DateOrder::DayMonthYear;
        pinRegional(dmy);
        db.exec(R"(CREATE TABLE CUSTOMERS (
            "CUSTOMER NAME" TEXT COLLATE NOCASE PRIMARY KEY,
            CITY TEXT COLLATE NOCASE,
            BALANCE REAL,
            QTY INTEGER,
            BILLABLE INTEGER,
            "DATE/TIME" TEXT COLLATE NOCASE,
            NOTES TEXT COLLATE NOCASE))");
        db.exec(R"(INSERT INTO CUSTOMERS VALUES
            ('O''Brien Plumbing', 'Leeds', 120.5, 5, -1, '2026-12-05 10:00:00', NULL),
            ('Acme Ltd', 'York', 0, 7, 0, '2026-12-04 09:00:00', 'first order'),
            ('acorn & co', NULL, 55, 2, -1, '2026-12-05 23:59:59', '100% sure'),
            ('Brown_Co', 'leeds', NULL, NULL, 0, '2026-12-06 00:00:00', 'a_b'))");
    }
    void TearDown() override { resetRegional(); }

    // The customer names selected by Jet criteria, in name order (ignoring case).
    QStringList namesWhere(const char* criteria) {
        const QString sql =
            QStringLiteral("SELECT \"CUSTOMER NAME\" FROM CUSTOMERS WHERE %1 ORDER BY 1")
                .arg(translateCriteria(QString::fromUtf8(criteria)));
        const auto result = db.rows(sql);
        if (!result) ADD_FAILURE() << sql.toStdString() << ": " << db.lastError().toStdString();
        return result.value_or(QStringList{});
    }

    // The single value of a Jet SELECT with no table.
    QString value(const char* jetSelect) {
        const QString sql = translate(QString::fromUtf8(jetSelect)).sql;
        const auto result = db.rows(sql);
        if (!result || result->size() != 1) {
            ADD_FAILURE() << sql.toStdString() << ": " << db.lastError().toStdString();
            return QString();
        }
        return result->front();
    }

    Database db;
};

const QString kOBrien = QStringLiteral("O'Brien Plumbing");
const QString kAcme = QStringLiteral("Acme Ltd");
const QString kAcorn = QStringLiteral("acorn & co");
const QString kBrown = QStringLiteral("Brown_Co");

TEST_F(Execution, NullAndBooleanTests) {
    EXPECT_EQ(namesWhere("[CITY] = Null"), QStringList{kAcorn});
    EXPECT_EQ(namesWhere("[CITY] <> Null"), (QStringList{kAcme, kBrown, kOBrien}));
    EXPECT_EQ(namesWhere("Not [CITY] Is Null And [BALANCE] Between 50 And 200"),
              QStringList{kOBrien});
    EXPECT_EQ(namesWhere("BILLABLE = True"), (QStringList{kAcorn, kOBrien}));
    EXPECT_EQ(namesWhere("BILLABLE = No"), (QStringList{kAcme, kBrown}));
    EXPECT_EQ(namesWhere("IsNull([CITY]) = True"), QStringList{kAcorn});
    EXPECT_EQ(namesWhere("Nz([CITY]) = ''"), QStringList{kAcorn});
    // "&" treats Null as empty text; "+" keeps it Null.
    EXPECT_EQ(namesWhere("[CITY] & '' = ''"), QStringList{kAcorn});
    EXPECT_EQ(namesWhere("[CITY] + '' = ''"), QStringList{});
}

TEST_F(Execution, TextsCompareIgnoringCase) {
    EXPECT_EQ(namesWhere("[CITY] = 'LEEDS'"), (QStringList{kBrown, kOBrien}));
    EXPECT_EQ(namesWhere("[CUSTOMER NAME] = \"o'brien plumbing\""), QStringList{kOBrien});
    EXPECT_EQ(namesWhere("Left([CUSTOMER NAME], 2) = 'ac'"), (QStringList{kAcme, kAcorn}));
    EXPECT_EQ(namesWhere("UCase([CITY]) = 'york'"), QStringList{kAcme});
}

TEST_F(Execution, LikePatterns) {
    EXPECT_EQ(namesWhere("[CUSTOMER NAME] Like 'a*'"), (QStringList{kAcme, kAcorn}));
    EXPECT_EQ(namesWhere("[CUSTOMER NAME] Like 'Ac?e*'"), QStringList{kAcme});
    EXPECT_EQ(namesWhere("[CUSTOMER NAME] Like 'o''b*'"), QStringList{kOBrien});
    // "_" and "%" are ordinary characters in Jet patterns.
    EXPECT_EQ(namesWhere("[CUSTOMER NAME] Like '*_*'"), QStringList{kBrown});
    EXPECT_EQ(namesWhere("[NOTES] Like '*%*'"), QStringList{kAcorn});
    EXPECT_EQ(namesWhere("[NOTES] Like 'a?b'"), QStringList{kBrown});
    // Patterns only jet_like can match.
    EXPECT_EQ(namesWhere("[CUSTOMER NAME] Like '[a-b]*'"), (QStringList{kAcme, kAcorn, kBrown}));
    EXPECT_EQ(namesWhere("[NOTES] Like '###*'"), QStringList{kAcorn});
    EXPECT_EQ(namesWhere("[CUSTOMER NAME] Not Like '[!o]*'"), QStringList{kOBrien});
}

TEST_F(Execution, DateWindows) {
    EXPECT_EQ(namesWhere("[DATE/TIME] >= #2026-12-05# And [DATE/TIME] < #2026-12-06#"),
              (QStringList{kAcorn, kOBrien}));
    EXPECT_EQ(
        namesWhere("[DATE/TIME] > #05/12/2026 09:59:59# And [DATE/TIME] < # 05/12/2026 10:00:01#"),
        QStringList{kOBrien});
    EXPECT_EQ(namesWhere("[DATE/TIME] = #5 Dec 2026 10:00#"), QStringList{kOBrien});
    EXPECT_EQ(namesWhere("Year([DATE/TIME]) = 2026 And Day([DATE/TIME]) = 6"), QStringList{kBrown});
    EXPECT_EQ(namesWhere("Format([DATE/TIME], 'dd/mm/yy') = '04/12/26'"), QStringList{kAcme});
    EXPECT_EQ(namesWhere("DateValue([DATE/TIME]) = #05-Dec-26#"), (QStringList{kAcorn, kOBrien}));
}

TEST_F(Execution, ArithmeticKeepsJetMeaning) {
    // 5 / 2 is 2.5 in Jet; SQLite alone would give 2.
    EXPECT_EQ(namesWhere("[QTY] / 2 = 2.5"), QStringList{kOBrien});
    EXPECT_EQ(namesWhere("[QTY] \\ 2 = 3"), QStringList{kAcme});
    EXPECT_EQ(namesWhere("[QTY] Mod 3 = 2"), (QStringList{kAcorn, kOBrien}));
    EXPECT_EQ(value("SELECT 7 / 2"), QStringLiteral("3.5"));
    EXPECT_EQ(value("SELECT 7.5 \\ 2"), QStringLiteral("4"));  // operands rounded half to even
    EXPECT_EQ(value("SELECT -7 Mod 3"), QStringLiteral("-1"));
    EXPECT_EQ(value("SELECT 2 ^ 10"), QStringLiteral("1024.0"));
    EXPECT_EQ(value("SELECT 1 + 2 * 3 & 'x'"), QStringLiteral("7x"));
    EXPECT_EQ(value("SELECT 'a' & Null & 1.5"), QStringLiteral("a1.5"));
    EXPECT_EQ(value("SELECT Null & Null"), QStringLiteral("<null>"));
    EXPECT_EQ(value("SELECT 'a' + 'b'"), QStringLiteral("ab"));
    EXPECT_EQ(value("SELECT - -3"), QStringLiteral("3"));
}

struct FunctionCase {
    const char* jet;
    const char* result;
};

void PrintTo(const FunctionCase& c, std::ostream* os) { *os << c.jet; }

class FunctionValue : public Execution, public ::testing::WithParamInterface<FunctionCase> {};

TEST_P(FunctionValue, GivesTheRuntimeResult) {
    EXPECT_EQ(value(GetParam().jet), QString::fromUtf8(GetParam().result));
}

INSTANTIATE_TEST_SUITE_P(
    Functions, FunctionValue,
    ::testing::Values(
        FunctionCase{"SELECT UCase('o''brien')", "O'BRIEN"},
        FunctionCase{"SELECT LCase$('ÉCOLE')", "école"},
        FunctionCase{"SELECT Len('Tolvarine')", "9"}, FunctionCase{"SELECT Left('abc', 5)", "abc"},
        FunctionCase{"SELECT Right('Tolvarine', 0)", ""},
        FunctionCase{"SELECT Right('Tolvarine', 3)", "ine"},
        FunctionCase{"SELECT Mid('Tolvarine', 3, 4)", "lvar"},
        FunctionCase{"SELECT Mid('Tolvarine', 7)", "ine"},
        FunctionCase{"SELECT Trim('  a b  ') & '|'", "a b|"},
        FunctionCase{"SELECT InStr('Hello', 'L')", "3"},
        FunctionCase{"SELECT InStr(4, 'Hello', 'l')", "4"},
        FunctionCase{"SELECT InStr(1, 'Hello', 'L', 0)", "0"},
        FunctionCase{"SELECT InStr(Null, 'x')", "<null>"},
        FunctionCase{"SELECT IIf(1 > 2, 'yes', 'no')", "no"},
        FunctionCase{"SELECT Nz(Null, 4)", "4"}, FunctionCase{"SELECT CLng('12.5')", "12"},
        FunctionCase{"SELECT CInt(13.5)", "14"}, FunctionCase{"SELECT CDbl('2.25') * 2", "4.5"},
        FunctionCase{"SELECT CStr(2.5)", "2.5"}, FunctionCase{"SELECT Val('12abc')", "12"},
        FunctionCase{"SELECT Val(' 1 2.5x')", "12.5"}, FunctionCase{"SELECT Round(2.5)", "2"},
        FunctionCase{"SELECT Round(3.5)", "4"}, FunctionCase{"SELECT Int(-2.5)", "-3.0"},
        FunctionCase{"SELECT Abs(-4)", "4"}, FunctionCase{"SELECT Year(#2026-12-05#)", "2026"},
        FunctionCase{"SELECT Month(#5 Dec 2026#)", "12"},
        FunctionCase{
            "SELECT Hour(#2026-12-05 14:30:15#) & ':' & Minute(#2026-12-05 14:30:15#) & ':' & "
            "Second(#2026-12-05 14:30:15#)",
            "14:30:15"},
        FunctionCase{"SELECT DateValue(#2026-12-05 14:30#)", "2026-12-05 00:00:00"},
        FunctionCase{"SELECT Format(#2026-12-05#, 'dd/mm/yy')", "05/12/26"},
        FunctionCase{"SELECT Format(1234.5, '0.00')", "1234.50"},
        FunctionCase{"SELECT Format(Null)", ""}, FunctionCase{"SELECT Len(Date())", "19"}));

TEST_F(Execution, AConversionThatFailsEndsTheStatement) {
    EXPECT_FALSE(db.rows(translate(QStringLiteral("SELECT CLng('abc')")).sql).has_value());
    EXPECT_FALSE(db.rows(translate(QStringLiteral("SELECT 1 Mod 0")).sql).has_value());
}

TEST_F(Execution, MisspeltBracketedNameIsAnErrorNotAText) {
    const QString sql =
        translate(QStringLiteral("SELECT * FROM CUSTOMERS WHERE [CITTY] = 'York'")).sql;
    EXPECT_FALSE(db.rows(sql).has_value());
}

TEST_F(Execution, ActionStatementsChangeTheRightRows) {
    ASSERT_TRUE(db.rows(
        translate(QStringLiteral("UPDATE CUSTOMERS SET [CITY] = Null, NOTES = 'moved' WHERE "
                                 "[CUSTOMER NAME] = 'Acme Ltd'"))
            .sql));
    EXPECT_EQ(namesWhere("[CITY] = Null"), (QStringList{kAcme, kAcorn}));

    ASSERT_TRUE(db.rows(
        translate(QStringLiteral("INSERT INTO CUSTOMERS ([CUSTOMER NAME], BILLABLE, [DATE/TIME]) "
                                 "VALUES ('Dún Laoghaire''s', True, #5 Dec 2026 14:30#)"))
            .sql));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT BILLABLE, \"DATE/TIME\" FROM CUSTOMERS WHERE "
                                     "\"CUSTOMER NAME\" = 'Dún Laoghaire''s'")),
              QStringList{QStringLiteral("-1|2026-12-05 14:30:00")});

    ASSERT_TRUE(
        db.rows(translate(QStringLiteral("DELETE * FROM CUSTOMERS WHERE BILLABLE = False")).sql));
    EXPECT_EQ(db.changes(), 2);
    EXPECT_EQ(namesWhere("True"),
              (QStringList{kAcorn, QStringLiteral("Dún Laoghaire's"), kOBrien}));
}

TEST_F(Execution, OrderByPositionAndTop) {
    EXPECT_EQ(db.rows(translate(QStringLiteral(
                                    "SELECT TOP 2 [CUSTOMER NAME], [BALANCE] FROM CUSTOMERS WHERE "
                                    "[BALANCE] <> Null ORDER BY 2 DESC"))
                          .sql),
              (QStringList{kOBrien + QStringLiteral("|120.5"), kAcorn + QStringLiteral("|55.0")}));
}

}  // namespace
}  // namespace tv::engine::dialect
