// Lookup tables without windows: writing codes (renames, the columns a table may not
// have, refusals).
#include "core/variant.h"
#include "data/app_state.h"
#include "forms/framework/lookup_codes.h"
#include "framework/lookup_fixture.h"

#include <QRegularExpression>

namespace {

using namespace tv::forms;

class LookupCodesTest : public tvtest::LookupTest {
protected:
    static QString count(const QString& table) {
        return dataValue(QStringLiteral("SELECT Count(*) FROM [%1]").arg(table));
    }
};

TEST_F(LookupCodesTest, RenamingACodeRewritesItsRowAndAddsNone) {
    const QString table = QStringLiteral("Activity Types");
    const QString key = QStringLiteral("ACTIVITY TYPE");
    ASSERT_EQ(SaveLookupCode(table, QStringLiteral("O'Brien"), QStringLiteral("Visit"), 255,
                             QStringLiteral("call.bmp"), 1, QString()),
              -1);
    const QString before = count(table);

    ASSERT_EQ(SaveLookupCode(table, QStringLiteral("O'Neill"), QStringLiteral("Call back"), 255,
                             QString(), 2, QStringLiteral("o'brien")),
              -1);
    EXPECT_EQ(count(table), before);
    EXPECT_EQ(codeColumn(table, key, QStringLiteral("O'Brien"), key), QStringLiteral("<none>"));
    EXPECT_EQ(codeColumn(table, key, QStringLiteral("O'Neill"), QStringLiteral("DESCRIPTION")),
              QStringLiteral("Call back"));
    EXPECT_EQ(codeColumn(table, key, QStringLiteral("O'Neill"), QStringLiteral("PICTURE")),
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
    EXPECT_EQ(codeColumn(QStringLiteral("Time Zones"), QStringLiteral("TIME ZONE"),
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

}  // namespace
