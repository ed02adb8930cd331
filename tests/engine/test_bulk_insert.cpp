// Bulk inserts store each value exactly as AddNew/Update stores it (compared in SQLite's
// own terms: storage class and value), hand out auto-numbers from the same mark, and
// refuse what Update refuses, writing nothing of the refused row.
#include "common/engine/queries.h"
#include "core/convert.h"
#include "engine/bulk_insert.h"
#include "engine_fixture.h"

#include <sqlite3.h>
#include <functional>

using namespace tv::engine;

namespace {

class BulkInsertTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [T] ([ID] COUNTER, [NAME] TEXT(8) NOT NULL, [CODE] TEXT(4) "
            "NOZEROLENGTH, [WHEN] DATETIME, [PAID] YESNO, [PRICE] CURRENCY, [RATE] SINGLE, "
            "[QTY] SHORT, CONSTRAINT PrimaryKey PRIMARY KEY ([ID]))");
    }
    // Every stored cell of T in row order, as SQLite holds it.
    QStringList stored() {
        db_.Close();
        sqlite3* raw = nullptr;
        sqlite3_open(path_.toUtf8().constData(), &raw);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(raw, "SELECT * FROM T ORDER BY rowid", -1, &stmt, nullptr);
        QStringList cells;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                cells << QString::number(sqlite3_column_type(stmt, c)) + u':' +
                             QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)));
        sqlite3_finalize(stmt);
        sqlite3_close(raw);
        reopen();
        return cells;
    }
    static const inline QStringList kColumns = {"NAME", "CODE", "WHEN", "PAID", "PRICE", "RATE", "QTY"};
    const std::vector<std::vector<tv::Variant>> rows_ = {
        {QString("O'Brien"), QString("AB"), tv::DateFromParts(2026, 3, 4, 5, 6, 7), true,
         tv::Currency::fromDouble(12.5), 0.1f, std::int16_t{3}},
        {QString("Acme"), tv::Variant(), QString("2026-03-05"), QString("0"), 7.25, 2.5, QString("12")},
    };
};

TEST_F(BulkInsertTest, RowsAreStoredAsUpdateStoresThem) {
    for (const auto& row : rows_) {
        Recordset rs = db_.OpenRecordset("T", RecordsetType::Table);
        rs.AddNew();
        for (int i = 0; i < kColumns.size(); ++i)
            if (!row[size_t(i)].isNull()) rs.FieldNamed(kColumns[i]).SetValue(row[size_t(i)]);
        rs.Update();
    }
    const QStringList byUpdate = stored();
    db_.Execute("DELETE * FROM T");
    BulkInsert bulk(db_, "[T]", kColumns);
    for (const auto& row : rows_) bulk.add({row[0], row[1], row[2], row[3], row[4], row[5], row[6]});
    QStringList byBulk = stored();
    // The auto-number goes on from the mark: 3 and 4 where Update gave 1 and 2.
    ASSERT_EQ(byBulk.size(), byUpdate.size());
    EXPECT_EQ(byBulk[0], "1:3");
    byBulk[0] = "1:1", byBulk[8] = "1:2";
    EXPECT_EQ(byBulk, byUpdate);
}

TEST_F(BulkInsertTest, WhatUpdateRefusesIsRefusedAndNotWritten) {
    using Row = std::function<void(BulkInsert&)>;
    const std::pair<int, Row> refused[] = {
        {err::kRequiredNull, [](BulkInsert& b) { b.add({tv::Variant(), QString("A")}); }},
        {err::kZeroLength, [](BulkInsert& b) { b.add({QString("A"), QString("")}); }},
        {err::kFieldTooLong, [](BulkInsert& b) { b.add({QString("A"), QString("ABCDE")}); }},
        {err::kInvalidOperation, [](BulkInsert& b) { b.add({QString("A")}); }},  // one short
    };
    BulkInsert bulk(db_, "T", {"NAME", "CODE"});
    for (const auto& [number, row] : refused) {
        try {
            row(bulk);
            ADD_FAILURE() << "accepted, expected " << number;
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), number);
        }
    }
    BulkInsert dates(db_, "T", {"NAME", "WHEN"});
    EXPECT_THROW(dates.add({QString("A"), QString("not a date")}), DbError);
    EXPECT_THROW(BulkInsert(db_, "T", {"ID"}), DbError) << "auto-numbers are handed out";
    EXPECT_THROW(BulkInsert(db_, "T", {"NOPE"}), DbError);
    EXPECT_EQ(tvtest::queryValue(db_, "SELECT Count(*) FROM T"), "0");
}

}  // namespace
