// Lookup tables without windows: the chooser's rows and flags, writing codes (renames,
// the columns a table may not have, refusals), the incremental matching of the
// table-lookup window on tables and on query results, and printing a table.
#include "core/variant.h"
#include "data/app_state.h"
#include "engine/engine.h"
#include "forms/framework/lookup_codes.h"
#include "forms/framework/lookup_print.h"
#include "framework/framework_fixture.h"

#include <QFile>
#include <QPdfWriter>
#include <QRegularExpression>

namespace {

using namespace tv::forms;
using tv::engine::quoteLiteral;

class LookupCodesTest : public tvtest::FrameworkTest {
protected:
    static QString count(const QString& table, const QString& where = QString()) {
        return dataValue(
            QStringLiteral("SELECT Count(*) FROM [%1]%2")
                .arg(table, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where));
    }
    static QString column(const QString& table, const QString& keyColumn, const QString& code,
                          const QString& wanted) {
        return dataValue(QStringLiteral("SELECT [%1] FROM [%2] WHERE [%3] = %4")
                             .arg(wanted, table, keyColumn, quoteLiteral(code)));
    }
    // Codes "Code 00" .. "Code nn" in an otherwise empty Countries table.
    static void fillCountries(int n) {
        QStringList statements{QStringLiteral("DELETE * FROM [Countries]")};
        for (int i = 0; i < n; ++i)
            statements << QStringLiteral("INSERT INTO [Countries] ([COUNTRY]) VALUES ('Code %1')")
                              .arg(i, 2, 10, QLatin1Char('0'));
        execData(statements);
    }
};

TEST_F(LookupCodesTest, ChooserRowsComeInKeyOrderWithTheirFlags) {
    const std::vector<LookupTableEntry> tables = ReadLookupTables();
    ASSERT_GE(tables.size(), 2u);
    for (std::size_t i = 1; i < tables.size(); ++i)
        EXPECT_LT(tables[i - 1].tableName.compare(tables[i].tableName, Qt::CaseInsensitive), 0);
    auto entry = [&](const QString& name) {
        for (const LookupTableEntry& t : tables)
            if (t.tableName == name) return t;
        return LookupTableEntry{};
    };
    EXPECT_EQ(entry(QStringLiteral("Priority Codes")).displayText,
              QStringLiteral("Service Priority Codes"));
    EXPECT_TRUE(entry(QStringLiteral("Activity Types")).colourSupport);
    EXPECT_TRUE(entry(QStringLiteral("Activity Types")).pictureSupport);
    EXPECT_FALSE(entry(QStringLiteral("Time Zones")).colourSupport);

    // Only a value that reads "False" is false: a Null flag counts as true.
    EXPECT_TRUE(lookupFlag(tv::Variant()));
    EXPECT_TRUE(lookupFlag(tv::Variant(true)));
    EXPECT_FALSE(lookupFlag(tv::Variant(false)));
    EXPECT_FALSE(lookupFlag(tv::Variant(std::int16_t{0})));
}

TEST_F(LookupCodesTest, RenamingACodeRewritesItsRowAndAddsNone) {
    const QString table = QStringLiteral("Activity Types");
    ASSERT_EQ(SaveLookupCode(table, QStringLiteral("O'Brien"), QStringLiteral("Visit"), 255,
                             QStringLiteral("call.bmp"), 1, QString()),
              -1);
    const QString before = count(table);

    ASSERT_EQ(SaveLookupCode(table, QStringLiteral("O'Neill"), QStringLiteral("Call back"), 255,
                             QString(), 2, QStringLiteral("o'brien")),
              -1);
    EXPECT_EQ(count(table), before);
    EXPECT_EQ(count(table, QStringLiteral("[ACTIVITY TYPE] = 'O''Brien'")), QStringLiteral("0"));
    EXPECT_EQ(column(table, QStringLiteral("ACTIVITY TYPE"), QStringLiteral("O'Neill"),
                     QStringLiteral("DESCRIPTION")),
              QStringLiteral("Call back"));
    EXPECT_EQ(column(table, QStringLiteral("ACTIVITY TYPE"), QStringLiteral("O'Neill"),
                     QStringLiteral("PICTURE")),
              QString())
        << "an empty picture is stored as Null";

    // The old code is gone by now: editing it again adds the row instead.
    ASSERT_EQ(SaveLookupCode(table, QStringLiteral("O'Brien"), QString(), 0, QString(), 2,
                             QStringLiteral("O'Brien")),
              -1);
    EXPECT_EQ(count(table).toInt(), before.toInt() + 1);
}

TEST_F(LookupCodesTest, ColourAndPictureGoOnlyWhereTheTableHasThem) {
    // Time Zones keeps its offset; Countries has no third column at all.
    execData(
        {QStringLiteral("INSERT INTO [Time Zones] ([TIME ZONE], [UTC OFFSET]) "
                        "VALUES ('XST', 90)")});
    EXPECT_EQ(SaveLookupCode(QStringLiteral("Time Zones"), QStringLiteral("XST"),
                             QStringLiteral("Example"), 16711680, QStringLiteral("call.bmp"), 2,
                             QStringLiteral("XST")),
              -1);
    EXPECT_EQ(column(QStringLiteral("Time Zones"), QStringLiteral("TIME ZONE"),
                     QStringLiteral("XST"), QStringLiteral("UTC OFFSET")),
              QStringLiteral("90"));
    EXPECT_EQ(
        SaveLookupCode(QStringLiteral("Countries"), QStringLiteral("Ruritania"),
                       QStringLiteral("Fictional"), 255, QStringLiteral("call.bmp"), 1, QString()),
        -1);
    EXPECT_EQ(SaveLookupCode(QStringLiteral("Priority Codes"), QStringLiteral("9 Someday"),
                             QStringLiteral("Whenever"), 65280, QStringLiteral("pri_low.bmp"), 1,
                             QString()),
              -1);
    EXPECT_EQ(column(QStringLiteral("Priority Codes"), QStringLiteral("PRIORITY"),
                     QStringLiteral("9 Someday"), QStringLiteral("COLOUR")),
              QStringLiteral("65280"));
    EXPECT_EQ(storedColour(QStringLiteral("Priority Codes"), QStringLiteral("9 someday")), 65280u);
}

TEST_F(LookupCodesTest, RefusedCodesAreReportedWith195AndReleaseTheTable) {
    const QString table = QStringLiteral("Countries");
    fillCountries(2);
    struct Case {
        const char* name;
        QString code;
        int mode;
        QString oldCode;
    };
    const Case cases[] = {
        {"a new code that exists", QStringLiteral("code 01"), 1, QString()},
        {"a rename onto another code", QStringLiteral("Code 01"), 2, QStringLiteral("Code 00")},
        {"an empty code", QString(), 1, QString()},
        {"a code longer than its column", QString(51, QLatin1Char('x')), 1, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ask.message(tv::data::msgbox::kOk, QStringLiteral("could not be saved"));
        EXPECT_EQ(
            SaveLookupCode(table, c.code, QStringLiteral("x"), 0, QString(), c.mode, c.oldCode), 0);
        ASSERT_FALSE(ask.messages().empty());
        EXPECT_TRUE(ask.messages().back().text.contains(QRegularExpression(R"(\(\d+\)\.)")))
            << ask.messages().back().text.toStdString();
    }
    EXPECT_EQ(count(table), QStringLiteral("2"));
    // Nothing was left holding the write lock.
    EXPECT_EQ(SaveLookupCode(table, QStringLiteral("Code 02"), QString(), 0, QString(), 1, {}), -1);
}

TEST_F(LookupCodesTest, MatchingListsAtMostFiftyRowsFromTheTypedText) {
    fillCountries(60);
    struct Case {
        const char* name;
        bool query;
        QString text;
        int rows;
        QString first;
        int matches;
    };
    const Case cases[] = {
        {"nothing typed", false, QString(), 50, QStringLiteral("Code 00"), 50},
        {"a prefix of ten", false, QStringLiteral("code 1"), 50, QStringLiteral("Code 10"), 10},
        {"near the end", false, QStringLiteral("Code 55"), 5, QStringLiteral("Code 55"), 1},
        {"between codes", false, QStringLiteral("Code 305"), 29, QStringLiteral("Code 31"), 0},
        {"query: a prefix", true, QStringLiteral("CODE 5"), 10, QStringLiteral("Code 50"), 10},
        {"query: one match", true, QStringLiteral("Code 59"), 1, QStringLiteral("Code 59"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tv::engine::Recordset rs = tv::data::state().DataDb.OpenRecordset(
            c.query ? QStringLiteral("SELECT * FROM [Countries] ORDER BY [COUNTRY]")
                    : QStringLiteral("Countries"));
        if (!c.query) rs.SetIndex(QStringLiteral("PrimaryKey"));
        const std::optional<LookupRows> found = matchLookupRows(rs, 0, c.text);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->rows.size(), c.rows);
        EXPECT_EQ(found->rows.value(0), c.first);
        EXPECT_EQ(found->matches, c.matches);
    }
    for (bool query : {false, true}) {
        tv::engine::Recordset rs = tv::data::state().DataDb.OpenRecordset(
            query ? QStringLiteral("SELECT * FROM [Countries]") : QStringLiteral("Countries"));
        if (!query) rs.SetIndex(QStringLiteral("PrimaryKey"));
        EXPECT_FALSE(matchLookupRows(rs, 0, QStringLiteral("Zulu"))) << "past the last code";
    }
}

TEST_F(LookupCodesTest, ValuesWithQuotesAreFoundInTablesAndQueries) {
    execData({QStringLiteral("INSERT INTO [Countries] ([COUNTRY]) VALUES ('Côte d''Ivoire')")});
    for (bool query : {false, true}) {
        SCOPED_TRACE(query ? "query" : "table");
        tv::engine::Recordset rs = tv::data::state().DataDb.OpenRecordset(
            query ? QStringLiteral("SELECT * FROM [Countries] ORDER BY [COUNTRY]")
                  : QStringLiteral("Countries"));
        if (!query) rs.SetIndex(QStringLiteral("PrimaryKey"));
        EXPECT_TRUE(lookupValueExists(rs, QStringLiteral("côte d'ivoire")));
        EXPECT_FALSE(lookupValueExists(rs, QStringLiteral("Côte d'")));
        const std::optional<LookupRows> found = matchLookupRows(rs, 0, QStringLiteral("Côte d'"));
        ASSERT_TRUE(found);
        EXPECT_EQ(found->matches, 1);
    }
}

TEST_F(LookupCodesTest, PrintoutHoldsHeaderColumnsAndRowsInKeyOrder) {
    fillCountries(3);
    execData({QStringLiteral("INSERT INTO [Countries] VALUES ('A''s Land', 'First')")});
    LookupPrintout printout;
    ASSERT_TRUE(
        ReadLookupPrintout(QStringLiteral("Countries"), QStringLiteral("Countries"), printout));
    EXPECT_EQ(printout.header, QStringList({QStringLiteral("Tolvarine Customer Management"),
                                            QStringLiteral("Version 1.20")}));
    EXPECT_EQ(printout.columnNames,
              QStringList({QStringLiteral("COUNTRY"), QStringLiteral("DESCRIPTION")}));
    EXPECT_EQ(printout.widths, (std::vector<int>{50, 100}));
    ASSERT_EQ(printout.rows.size(), 4u);
    EXPECT_EQ(printout.rows[0], QStringList({QStringLiteral("A's Land"), QStringLiteral("First")}));
    EXPECT_EQ(printout.rows[3].value(0), QStringLiteral("Code 02"));
}

TEST_F(LookupCodesTest, PrintingWritesThePagesTheRowsNeed) {
    fillCountries(150);
    const QString pdf = data.file(QStringLiteral("codes.pdf"));
    ask.printer(true, pdf);
    ASSERT_TRUE(PrintLookupTable(QStringLiteral("Countries"), QStringLiteral("Countries")));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    const auto pages = QString::fromLatin1(bytes).count(QRegularExpression(R"(/Type\s*/Page\b)"));
    EXPECT_GE(pages, 3) << "150 rows of 9-point type need several pages";

    // A short table fits one page, and the renderer counts the pages it starts.
    LookupPrintout printout;
    ASSERT_TRUE(ReadLookupPrintout(QStringLiteral("Time Zones"), QString(), printout));
    QPdfWriter writer(data.file(QStringLiteral("short.pdf")));
    EXPECT_EQ(RenderLookupPrintout(printout, writer), 1);
    printout.rows.resize(printout.rows.size() * 20, printout.rows.front());
    QPdfWriter longWriter(data.file(QStringLiteral("long.pdf")));
    EXPECT_GT(RenderLookupPrintout(printout, longWriter), 3);

    ask.printer(false);
    EXPECT_FALSE(PrintLookupTable(QStringLiteral("Countries"), QStringLiteral("Countries")));
}

}  // namespace
