// Bulk inserts store values exactly as AddNew/Update does (compared in SQLite's own terms),
// take auto-numbers from the same mark, and refuse what Update refuses, writing nothing.
#include "common/engine/queries.h"
#include "core/convert.h"
#include "engine/bulk_insert.h"
#include "engine/errors.h"
#include "engine/server.h"
#include "engine/values.h"
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

namespace {

// What a server's COPY reads specially (its separators, escape, Null marker and end-of-data
// line) and a value of every type come back exactly as written; the rows take numbers in
// order and an insert after them numbers past them.
TEST_F(BulkInsertTest, AwkwardValuesComeBackAsWrittenOnEitherBackend) {
    db_.Execute("CREATE TABLE T ([ID] COUNTER, [NAME] TEXT(40), [NOTES] MEMO, [DATA] LONGBINARY, "
                "[WHEN] DATETIME, [PAID] YESNO, [PRICE] CURRENCY, [RATE] DOUBLE, [QTY] SHORT, "
                "CONSTRAINT PrimaryKey PRIMARY KEY ([ID]))");
    using V = tv::Variant;
    const QStringList columns = {"NAME", "NOTES", "DATA", "WHEN", "PAID", "PRICE", "RATE", "QTY"};
    const std::vector<std::vector<V>> rows = {
        {QString("O'Brien"), QString("tab\there\ttwice"), QByteArray("\0\\\t\n\r\xff", 6),
         tv::DateFromParts(2026, 2, 28, 23, 59, 59), true, tv::Currency::fromDouble(-12.3456),
         0.1, std::int16_t(-32768)},
        {QString("\\N"), QString("line\nbreak\r\nend\n"), QByteArray("\\x41"),
         tv::DateFromParts(1899, 12, 30), false, tv::Currency::fromDouble(0.0001), 1e300,
         std::int16_t(0)},
        {QString("\\."), QString("\\.\n\\.\n"), QByteArray("\\\\"), V(), V(), V(), -0.5, V()},
        {QString("Ünïcödé ΑΒΓ Ωμέγα 日本語 😀"), QString("back\\slash\\"), V(), V(), V(), V(), V(),
         V()},
        {QString(""), V(), QByteArray("N"), V(), V(), V(), V(), V()},
    };
    BulkInsert bulk(db_, "T", columns);
    for (const auto& row : rows) bulk.add(row);
    bulk.flush();
    Recordset rs = db_.OpenRecordset("SELECT * FROM T ORDER BY ID", RecordsetType::Snapshot);
    for (size_t r = 0; r < rows.size(); ++r, rs.MoveNext()) {
        ASSERT_FALSE(rs.EOF_());
        EXPECT_EQ(rs.FieldNamed("ID").Value(), V(std::int32_t(r + 1)));
        for (int c = 0; c < columns.size(); ++c)
            EXPECT_EQ(rs.FieldNamed(columns[c]).Value(),
                      toColumnValue(rows[r][size_t(c)], rs.FieldNamed(columns[c]).Type()))
                << "row " << r << ", " << columns[c].toStdString();
    }
    EXPECT_TRUE(rs.EOF_());
    rs.Close();
    db_.Execute("INSERT INTO T ([NAME]) VALUES ('next')");
    EXPECT_EQ(tvtest::queryValue(db_, "SELECT ID FROM T WHERE NAME = 'next'"), "6");
}

// A row the table refuses (a duplicate key) is refused alone: the rows sent before it
// stay, the caller's transaction goes on and commits them.
TEST_F(BulkInsertTest, ARefusedRowLeavesEarlierRowsAndTheTransaction) {
    db_.Execute("CREATE TABLE T ([ID] COUNTER, [NAME] TEXT(20), "
                "CONSTRAINT PrimaryKey PRIMARY KEY ([ID]))");
    db_.Execute("CREATE UNIQUE INDEX ByName ON T ([NAME])");
    db_.BeginTrans();
    BulkInsert bulk(db_, "T", {"ID", "NAME"}, true);
    bulk.add({std::int32_t(7), QString("Adams")});
    bulk.flush();
    QString text;
    EXPECT_EQ(tvtest::dbErrorOf([&] { bulk.add({std::int32_t(8), QString("ADAMS")}); bulk.flush(); },
                                &text),
              err::kDuplicateKey);
    if (IsServerLocation(path_)) {
        EXPECT_TRUE(text.contains("[table T, row 2]")) << text.toStdString();
    }
    bulk.add({tv::Variant(), QString("Brown")});
    bulk.flush();
    db_.CommitTrans();
    EXPECT_EQ(tvtest::queryRows(db_, "SELECT ID, NAME FROM T ORDER BY ID"),
              (std::vector<QStringList>{{"7", "Adams"}, {"8", "Brown"}}));
}

}  // namespace
