// Bulk inserts store values exactly as AddNew/Update does (compared in SQLite's own terms),
// take auto-numbers from the same mark, and refuse what Update refuses, writing nothing.
#include "common/engine/queries.h"
#include "core/convert.h"
#include "engine/bulk_insert.h"
#include "engine/errors.h"
#include "engine_fixture.h"

#include <sqlite3.h>
#include <functional>

using namespace tv::engine;

namespace {

using BulkInsertTest = tvtest::EngineTest;

TEST_F(BulkInsertTest, RowsAreStoredAsUpdateStoresThemAndRefusedAsItRefuses) {
    TV_FILES_ONLY();  // the bulk path fills new files; the check reads them with SQLite itself
    db_.Execute(
        "CREATE TABLE T ([ID] COUNTER, [NAME] TEXT(8) NOT NULL, [CODE] TEXT(4) "
        "NOZEROLENGTH, [WHEN] DATETIME, [PAID] YESNO, [PRICE] CURRENCY, [RATE] SINGLE, "
        "[QTY] SHORT, CONSTRAINT PrimaryKey PRIMARY KEY ([ID]))");
    const QStringList columns = {"NAME", "CODE", "WHEN", "PAID", "PRICE", "RATE", "QTY"};
    const std::vector<tv::Variant> row = {QString("O'Brien"),
                                          QString("AB"),
                                          tv::DateFromParts(2026, 3, 4, 5, 6, 7),
                                          QString("0"),
                                          tv::Currency::fromDouble(12.5),
                                          0.1f,
                                          QString("12")};
    Recordset rs = db_.OpenRecordset("T", RecordsetType::Table);
    rs.AddNew();
    for (int i = 0; i < columns.size(); ++i) rs.FieldNamed(columns[i]).SetValue(row[size_t(i)]);
    rs.Update();
    rs.Close();
    BulkInsert bulk(db_, "[T]", columns);
    bulk.add({row[0], row[1], row[2], row[3], row[4], row[5], row[6]});
    EXPECT_EQ(tvtest::queryColumn(db_, "SELECT ID FROM T ORDER BY ID"), QStringList({"1", "2"}));
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path_.toUtf8().constData(), &raw), SQLITE_OK);
    sqlite3_stmt* same = nullptr;  // quote() tells the storage classes apart
    sqlite3_prepare_v2(raw,
                       "SELECT count(DISTINCT quote(NAME) || quote(CODE) || quote(\"WHEN\") || "
                       "quote(PAID) || quote(PRICE) || quote(RATE) || quote(QTY)) FROM T",
                       -1, &same, nullptr);
    ASSERT_EQ(sqlite3_step(same), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(same, 0), 1);
    sqlite3_finalize(same);
    sqlite3_close(raw);

    const std::pair<int, std::function<void()>> refused[] = {
        {err::kRequiredNull,
         [&] {
             bulk.add({tv::Variant(), {}, {}, {}, {}, {}, {}});
         }},
        {err::kZeroLength,
         [&] {
             bulk.add({QString("A"), QString(""), {}, {}, {}, {}, {}});
         }},
        {err::kFieldTooLong,
         [&] {
             bulk.add({QString("A"), QString("ABCDE"), {}, {}, {}, {}, {}});
         }},
        {err::kInvalidOperation, [&] { bulk.add({QString("A")}); }},
        {err::kFieldNotUpdatable, [&] { BulkInsert(db_, "T", {"ID"}); }},
        {err::kItemNotFound, [&] { BulkInsert(db_, "T", {"NOPE"}); }},
    };
    for (const auto& [number, attempt] : refused) {
        try {
            attempt();
            ADD_FAILURE() << "accepted, expected " << number;
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), number);
        }
    }
    EXPECT_EQ(tvtest::queryValue(db_, "SELECT Count(*) FROM T"), "2");
}

}  // namespace
