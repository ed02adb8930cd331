// Lookup tables without windows: writing codes (renames, the columns a table may not
// have, refusals).
#include "data/app_state.h"
#include "forms/framework/lookup_codes.h"
#include "framework/lookup_fixture.h"

#include <QRegularExpression>

namespace {

using namespace tv::forms;
using namespace Qt::StringLiterals;

class LookupCodesTest : public tvtest::LookupTest {
protected:
    static int count(const QString& table) {
        return dataValue(u"SELECT Count(*) FROM [%1]"_s.arg(table)).toInt();
    }
};

TEST_F(LookupCodesTest, RenamingACodeRewritesItsRowAndAddsNone) {
    const QString table = u"Activity Types"_s, key = u"ACTIVITY TYPE"_s;
    ASSERT_EQ(SaveLookupCode(table, u"O'Brien"_s, u"Visit"_s, 255, u"call.bmp"_s, 1, {}), -1);
    const int before = count(table);
    ASSERT_EQ(SaveLookupCode(table, u"O'Neill"_s, u"Call back"_s, 255, {}, 2, u"o'brien"_s), -1);
    EXPECT_EQ(count(table), before);
    EXPECT_EQ(codeColumn(table, key, u"O'Brien"_s, key), u"<none>"_s);
    EXPECT_EQ(codeColumn(table, key, u"O'Neill"_s, u"DESCRIPTION"_s), u"Call back"_s);
    EXPECT_EQ(codeColumn(table, key, u"O'Neill"_s, u"PICTURE"_s), QString())
        << "an empty picture is stored as Null";
    // The old code is gone by now: editing it again adds the row instead.
    ASSERT_EQ(SaveLookupCode(table, u"O'Brien"_s, {}, 0, {}, 2, u"O'Brien"_s), -1);
    EXPECT_EQ(count(table), before + 1);
}

TEST_F(LookupCodesTest, ColourAndPictureGoOnlyWhereTheTableHasThem) {
    // Time Zones keeps its offset in its third column; Countries has none at all.
    execData({u"INSERT INTO [Time Zones] ([TIME ZONE], [UTC OFFSET]) VALUES ('XST', 90)"_s});
    EXPECT_EQ(SaveLookupCode(u"Time Zones"_s, u"XST"_s, u"Example"_s, 16711680, u"call.bmp"_s, 2,
                             u"XST"_s),
              -1);
    EXPECT_EQ(codeColumn(u"Time Zones"_s, u"TIME ZONE"_s, u"XST"_s, u"UTC OFFSET"_s), u"90"_s);
    EXPECT_EQ(SaveLookupCode(u"Countries"_s, u"Ruritania"_s, {}, 255, u"call.bmp"_s, 1, {}), -1);
    EXPECT_EQ(SaveLookupCode(u"Priority Codes"_s, u"9 Someday"_s, {}, 65280, u"low.bmp"_s, 1, {}),
              -1);
    EXPECT_EQ(storedColour(u"Priority Codes"_s, u"9 someday"_s), 65280u);
}

TEST_F(LookupCodesTest, RefusedCodesAreReportedWith195AndReleaseTheTable) {
    fillCountries(2);
    // A new code that exists, an empty one, one longer than its column.
    for (const QString& code : {u"code 01"_s, QString(), QString(51, u'x')}) {
        ask.message(tv::data::msgbox::kOk, u"could not be saved"_s);
        EXPECT_EQ(SaveLookupCode(u"Countries"_s, code, u"x"_s, 0, {}, 1, {}), 0);
        EXPECT_TRUE(ask.messages().back().text.contains(QRegularExpression(uR"(\(\d+\)\.)"_s)))
            << ask.messages().back().text.toStdString();
    }
    EXPECT_EQ(count(u"Countries"_s), 2);
    // Nothing was left holding the write lock.
    EXPECT_EQ(SaveLookupCode(u"Countries"_s, u"Code 02"_s, {}, 0, {}, 1, {}), -1);
}

}  // namespace
