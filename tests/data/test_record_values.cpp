// Rows as arrays of texts: each column's text by its engine type, and the defaults a new
// row of each table starts with.
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/record_values.h"
#include "data_fixture.h"

namespace tvtest {
namespace {

using namespace tv::data;

class RecordValuesTest : public DataLayerTest {
protected:
    void SetUp() override {
        DataLayerTest::SetUp();
        execData({
            QStringLiteral("CREATE TABLE [EVERY TYPE] ([ID] LONG CONSTRAINT PrimaryKey PRIMARY "
                           "KEY, [FLAG] BIT, [SMALL] BYTE, [SHORT] SHORT, [MONEY] CURRENCY, "
                           "[SINGLE] SINGLE, [DOUBLE] DOUBLE, [WHEN] DATETIME, [NAME] TEXT(40), "
                           "[NOTES] MEMO, [PICTURE] LONGBINARY)"),
            QStringLiteral("INSERT INTO [EVERY TYPE] VALUES (7, True, 200, -3, 12.5, 2.6, "
                           "2.125, #2026-12-05 14:30:00#, 'O''Brien', '007', Null)"),
            "INSERT INTO [EVERY TYPE] ([ID]) VALUES (8)",
        });
    }
};

TEST_F(RecordValuesTest, EachColumnIsWrittenAsItsTypeIsShown) {
    tv::engine::Recordset rs = OpenTable("SELECT * FROM [EVERY TYPE] ORDER BY [ID]");
    ASSERT_TRUE(rs.IsOpen());
    FieldValueArray values;
    ASSERT_TRUE(ReadRecordToValues(rs, values));
    // A Single is shown rounded, a Double is not cut to two places, a memo of digits stays
    // text.
    EXPECT_EQ(values.toList(),
              (QStringList{"7", "-1", "200", "-3", "12.50", "3", "2.125",
                           tv::Format(rs[7], "General Date"), "O'Brien", "007", ""}));
    EXPECT_TRUE(values(8).contains("14:30"));

    rs.MoveNext();
    ASSERT_TRUE(ReadRecordToValues(rs, values));
    for (int i = 2; i <= 11; ++i) EXPECT_TRUE(values(i).isEmpty()) << "Null column " << i;

    // Past the last row there is nothing to read, and nothing stale is left behind.
    rs.MoveNext();
    EXPECT_FALSE(ReadRecordToValues(rs, values));
    EXPECT_EQ(values.size(), 0);
    rs.Close();
}

TEST_F(RecordValuesTest, NewRowsStartWithTheirTablesDefaults) {
    state().CurrentUserId = "JANE";
    const tv::DateTime now{46361.6041666667};  // 5 Dec 2026 14:30
    ask.setNow(now);
    tv::SaveSetting(tv::keys::BillActivities, "-1");
    const QString nowText = tv::Format(tv::Variant(now), "General Date");
    const QString todayText = tv::Format(tv::Variant(tv::DateTime{46361.0}), "Short Date");

    struct Case {
        const char* table;
        std::vector<std::pair<int, QString>> expected;
    };
    const std::vector<Case> cases = {
        {"Current Requests", {{2, nowText}}},
        {"RMAs", {{2, nowText}}},
        {"Activities", {{2, nowText}, {16, "-1"}}},
        {"scheduled activities", {{16, "-1"}}},
        {"Sales Orders", {{2, todayText}, {9, "JANE"}}},
        {"Purchase Orders", {{2, todayText}, {9, "JANE"}}},
        {"Quotations", {{2, todayText}, {7, "JANE"}}},
        {"Sales Opportunities", {{2, nowText}, {3, "JANE"}}},
        {"Customers", {}},
    };
    for (const Case& c : cases) {
        FieldValueArray values;
        values.resize(20);
        values(1) = "kept";
        NewRecordDefaults(QString::fromLatin1(c.table), values);
        EXPECT_EQ(values(1), "kept") << c.table;
        int filled = 0;
        for (int i = 1; i <= values.size(); ++i) filled += values(i).isEmpty() ? 0 : 1;
        EXPECT_EQ(filled, 1 + static_cast<int>(c.expected.size())) << c.table;
        for (const auto& [element, text] : c.expected)
            EXPECT_EQ(values(element), text) << c.table << " element " << element;
    }
    EXPECT_NE(todayText, nowText);
    tv::DeleteSetting(tv::keys::BillActivities);
}

}  // namespace
}  // namespace tvtest
