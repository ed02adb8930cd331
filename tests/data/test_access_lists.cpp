// Many rows: filling lists, positioning for a grid, rows as arrays of texts by column type,
// and the defaults a new row starts with.
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "data/record_values.h"
#include "data_fixture.h"

namespace tvtest {
namespace {

using namespace tv::data;

class ListsTest : public DataLayerTest {
protected:
    void SetUp() override {
        DataLayerTest::SetUp();
        QStringList inserts;
        for (const char* name : {"Delta", "alpha", "Charlie", "Bravo"})
            inserts << QStringLiteral(
                           "INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [CITY]) "
                           "VALUES ('%1', 'City of %1')")
                           .arg(QString::fromUtf8(name));
        execData(inserts);
    }

    // The customer names from the record set's current row, for positioning checks.
    static QString here(tv::engine::Recordset& rs) {
        if (rs.EOF_() || rs.BOF()) return "(off the rows)";
        return tv::TextOf(rs[0]);
    }
};

TEST_F(ListsTest, FillListAndListDataTablesReplaceTheItems) {
    StringListSink list;
    list.items << "left over";
    FillList("Customers", list, 0);
    EXPECT_EQ(list.items, (QStringList{"alpha", "Bravo", "Charlie", "Delta"}))
        << "a table lists in key order";
    FillList(QStringLiteral("SELECT * FROM [CUSTOMERS] WHERE [CUSTOMER NAME] > 'B' "
                            "ORDER BY [CUSTOMER NAME] DESC"),
             list, 1);
    EXPECT_EQ(list.items, (QStringList{"City of Delta", "City of Charlie", "City of Bravo"}));
    FillList("Messages", list, 1, kDefinitionsDb);
    EXPECT_EQ(list.items.size(), static_cast<qsizetype>(std::size(kCatalogue)));

    FillList("Customers", list, 42);
    EXPECT_TRUE(list.items.isEmpty());
    ask.message(msgbox::kOk, "Text 194.");
    list.items << "left over";
    FillList("SELECT * FROM [NOWHERE]", list, 0);
    EXPECT_TRUE(list.items.isEmpty());

    // The user-visible tables: not the program's own Counters and System User Access.
    ListDataTables(list);
    list.items.sort(Qt::CaseInsensitive);
    EXPECT_EQ(list.items.join('|').toUpper(), "ACTIVITIES|CONTACT ROLES|CUSTOMERS|PRODUCTS");
}

TEST_F(ListsTest, MoveFromBookmarkCountsFromEitherEndOrAMark) {
    tv::engine::Recordset rs = OpenTable("SELECT * FROM [CUSTOMERS] ORDER BY [CUSTOMER NAME]");
    ASSERT_TRUE(rs.IsOpen());
    struct Case {
        std::optional<int> markRow;  // 0-based row whose bookmark is used; none: Null
        long offset;
        const char* expected;
    };
    const Case cases[] = {{std::nullopt, 3, "Charlie"},
                          {std::nullopt, -1, "Delta"},
                          {std::nullopt, -4, "alpha"},
                          {1, 2, "Delta"},
                          {3, -3, "alpha"},
                          {std::nullopt, 9, "(off the rows)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        std::optional<QByteArray> mark;
        if (c.markRow) {
            rs.MoveFirst();
            rs.Move(*c.markRow);
            mark = rs.Bookmark();
        }
        EXPECT_FALSE(MoveFromBookmark(rs, mark, c.offset));
        EXPECT_EQ(here(rs), QString::fromUtf8(c.expected));
    }
    // A bookmark that names no row starts again at the first.
    EXPECT_FALSE(MoveFromBookmark(rs, QByteArray("no such row"), 1));
    EXPECT_EQ(here(rs), "Bravo");
    rs.Close();

    // With no rows there is no first row to count from.
    tv::engine::Recordset none = OpenTable("SELECT * FROM [CUSTOMERS] WHERE [CITY] = 'Atlantis'");
    EXPECT_TRUE(MoveFromBookmark(none, std::nullopt, 1));
}

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
