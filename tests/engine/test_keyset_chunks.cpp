// Dynasets that read their keys in chunks (kKeysInChunks): every order an index gives,
// Nulls and ties included, comes out as one pass would read it, whether the keys are
// fetched a few at a time or pulled in by moves, counts and finds; orders no index gives
// are read at once. Another process writes while the keys are read without waiting, and
// no row is listed twice (its rows everywhere after Requery); a fill on its own thread
// survives being dropped by Requery and this connection's own writes. The row the first
// chunk ended on moving elsewhere loses no row after it.
#include "engine_fixture.h"

#include "engine/connection.h"
#include "engine/keyset_pager.h"
#include "engine/schema.h"
#include "engine/select_shape.h"

#include <QCoreApplication>
#include <QProcess>
#include <cstdio>
#include <functional>

using namespace tv::engine;
using tvtest::textOf;

namespace {

constexpr int kRows = 1000;

// Run as another process: the statements of TV_KEYSET_SQL (one a line), then a report.
TEST(KeysetHelper, DISABLED_Write) {
    Engine::instance().SetBusyTimeout(2000);
    try {
        Database db = Engine::instance().OpenDatabase(qEnvironmentVariable("TV_KEYSET_DB"));
        for (const QString& sql : qEnvironmentVariable("TV_KEYSET_SQL").split(u'\n')) db.Execute(sql);
        std::printf("helper: written\n");
    } catch (const DbError& error) {
        std::printf("helper: error %d\n", error.number());
    }
}

class KeysetChunksTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [T] ([SEQ] LONG NOT NULL, [NAME] TEXT(20), [GRP] LONG, [NOTE] "
            "TEXT(20), CONSTRAINT PrimaryKey PRIMARY KEY ([SEQ]))");
        db_.Execute("CREATE INDEX [Name] ON [T] ([NAME], [GRP])");
        db_.BeginTrans();
        for (int seq = 1; seq <= kRows; ++seq) {
            const QString name = (seq % 2 ? QStringLiteral("N%1") : QStringLiteral("n%1")).arg(seq % 7);
            db_.Execute(QStringLiteral("INSERT INTO T VALUES (%1, %2, %3, 'n%1')")
                            .arg(seq)
                            .arg(seq % 13 == 0 ? QStringLiteral("Null") : quoteLiteral(name),
                                 seq % 5 == 0 ? QStringLiteral("Null") : QString::number(seq % 3)));
        }
        db_.CommitTrans();
    }
    Recordset chunked(const QString& sql) { return db_.OpenRecordset(sql, kKeysInChunks); }
    QStringList all(const QString& sql) {
        Recordset rs = db_.OpenRecordset(sql);
        return walk(rs, 0);
    }
};

TEST_F(KeysetChunksTest, ChunksFollowEveryIndexedOrderAsOnePassDoes) {
    // Each query, and the same rows with ties in rowid (= SEQ) order as one pass reads them.
    const std::pair<const char*, const char*> orders[] = {
        {"SELECT SEQ FROM T ORDER BY NAME", "ORDER BY NAME, SEQ"},
        {"SELECT SEQ FROM T ORDER BY NAME DESC", "ORDER BY NAME DESC, SEQ DESC"},
        {"SELECT * FROM T ORDER BY 2, 3", "ORDER BY NAME, GRP, SEQ"},
        {"SELECT SEQ FROM T ORDER BY NAME DESC, GRP DESC", "ORDER BY NAME DESC, GRP DESC, SEQ DESC"},
        {"SELECT SEQ FROM T WHERE GRP <> 1 ORDER BY [NAME], GRP", "WHERE GRP <> 1 ORDER BY NAME, GRP, SEQ"},
        {"SELECT SEQ, NAME FROM T ORDER BY SEQ DESC", "ORDER BY SEQ DESC"},
    };
    for (const auto& [sql, order] : orders) {
        for (const bool byMoves : {false, true}) {
            SCOPED_TRACE(testing::Message() << sql << (byMoves ? " (moves)" : " (fetches)"));
            Recordset rs = chunked(sql);
            EXPECT_FALSE(rs.KeysComplete());
            EXPECT_LT(rs.KeysRead(), kRows);
            while (!byMoves && !rs.FetchKeys(37)) {
            }
            EXPECT_EQ(walk(rs, 0), all(QStringLiteral("SELECT SEQ FROM T ") + order));
            EXPECT_TRUE(rs.KeysComplete());
        }
    }
}

TEST_F(KeysetChunksTest, LongKeySetsWalkedFromBothEndsMeetInOrder) {
    TV_FILES_ONLY();  // a server reads every key at once
    // Enough rows for several chunks from each end, with ties and Nulls across chunks.
    db_.Execute("CREATE TABLE [L] ([SEQ] LONG NOT NULL, [NAME] TEXT(20), "
                "CONSTRAINT PrimaryKey PRIMARY KEY ([SEQ]))");
    db_.Execute("CREATE INDEX [Name] ON [L] ([NAME])");
    constexpr int kLong = 30000;
    db_.BeginTrans();
    for (int seq = 1; seq <= kLong; ++seq) {
        db_.Execute(QStringLiteral("INSERT INTO L VALUES (%1, %2)")
                        .arg(seq)
                        .arg(seq % 9 == 0 ? QStringLiteral("Null") : QStringLiteral("'n%1'").arg(seq % 211)));
    }
    db_.CommitTrans();
    for (const char* direction : {"", " DESC"}) {
        const QString sql = QStringLiteral("SELECT SEQ FROM L ORDER BY NAME") + direction;
        Recordset rs = chunked(sql);
        EXPECT_FALSE(rs.KeysComplete()) << direction;
        EXPECT_EQ(walk(rs, 0), all(sql + QStringLiteral(", SEQ") + direction)) << direction;
    }
}

TEST_F(KeysetChunksTest, OrdersNoIndexGivesAreReadAtOnce) {
    for (const char* sql : {"SELECT SEQ FROM T ORDER BY NOTE", "SELECT TOP 5 SEQ FROM T ORDER BY NAME",
                            "SELECT TOP 3 SEQ FROM T",
                            "SELECT SEQ FROM T", "SELECT SEQ AS NAME FROM T ORDER BY NAME",
                            "SELECT SEQ, NAME & 'x' FROM T ORDER BY 2"}) {
        Recordset rs = chunked(sql);
        EXPECT_TRUE(rs.KeysComplete()) << sql;
        EXPECT_EQ(walk(rs, 0), all(sql)) << sql;
    }
}

TEST_F(KeysetChunksTest, CallsThatNeedEveryKeyReadTheRestFirst) {
    const QStringList order = all("SELECT SEQ FROM T ORDER BY NAME DESC, SEQ DESC");
    const QString sql = QStringLiteral("SELECT SEQ, NAME FROM T ORDER BY NAME DESC");
    const std::pair<const char*, std::function<QString(Recordset&)>> calls[] = {
        {"count", [](Recordset& rs) { return QString::number(rs.RecordCount()); }},
        {"last", [](Recordset& rs) { rs.MoveLast(); return textOf(rs[0]); }},
        {"find", [](Recordset& rs) { rs.FindLast("[NAME] Is Null"); return textOf(rs[0]); }},
        {"position", [](Recordset& rs) { rs.SetAbsolutePosition(900); return textOf(rs[0]); }},
        {"clone", [](Recordset& rs) { Recordset c = rs.Clone(); c.MoveLast(); return textOf(c[0]); }},
    };
    const QString lastNull = all("SELECT SEQ FROM T WHERE NAME IS NULL ORDER BY SEQ DESC").last();
    const QStringList expected = {QString::number(kRows), order.last(), lastNull, order[900],
                                  order.last()};
    for (size_t i = 0; i < std::size(calls); ++i) {
        Recordset rs = chunked(sql);
        EXPECT_EQ(calls[i].second(rs), expected[static_cast<qsizetype>(i)]) << calls[i].first;
        EXPECT_EQ(rs.KeysRead(), kRows) << calls[i].first;
    }
}

TEST_F(KeysetChunksTest, AnotherProcessWritesBetweenChunks) {
    Recordset rs = chunked("SELECT SEQ, NAME FROM T ORDER BY NAME");
    rs.SetAbsolutePosition(0);
    // Rows before the last key read, after it, one of those deleted, and the first row
    // read moved to the end of the order.
    QProcess helper;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TV_KEYSET_DB", path_);
    env.insert("TV_KEYSET_SQL",
               "INSERT INTO T VALUES (2001, 'A', 0, 'early')\n"
               "INSERT INTO T VALUES (2002, 'zz', 0, 'late')\n"
               "INSERT INTO T VALUES (2003, 'zz', 1, 'gone')\n"
               "DELETE * FROM T WHERE SEQ = 2003\n"
               "UPDATE T SET NAME = 'zzz' WHERE SEQ = " + textOf(rs[0]));
    helper.setProcessEnvironment(env);
    helper.start(QCoreApplication::applicationFilePath(),
                 {"--gtest_filter=KeysetHelper.DISABLED_Write", "--gtest_also_run_disabled_tests"});
    ASSERT_TRUE(helper.waitForFinished(30000));
    EXPECT_TRUE(helper.readAllStandardOutput().contains("helper: written"))
        << "the writer waited past its timeout: the fill held the file";

    // A file's keys are read on a thread of their own, which may have finished before the
    // write: then 2002 is not in the key set, else once, and either way no row twice.
    QStringList seqs = walk(rs, 0);
    EXPECT_EQ(seqs.removeDuplicates(), 0);
    EXPECT_EQ(seqs.size(), kRows + seqs.filter("2002").size());
    EXPECT_FALSE(seqs.contains("2001"));
    EXPECT_FALSE(seqs.contains("2003"));
    rs.Requery();
    EXPECT_EQ(rs.RecordCount(), kRows + 2);
    EXPECT_TRUE(walk(rs, 0).contains("2001"));
}

TEST_F(KeysetChunksTest, TheLastRowReadMovedBeforeTheRestIsReadLosesNoRow) {
    // The rest continues after the last key of the first screenful, where on a file the walk
    // from the end stops: that row moved to either end must carry neither along.
    for (const char* order : {"", " DESC"}) {
        for (const char* name : {"zzz", "A"}) {
            Recordset rs = chunked(QStringLiteral("SELECT SEQ, NAME FROM T ORDER BY NAME") + order);
            const long read = rs.KeysRead();
            ASSERT_LT(read, kRows);
            rs.SetAbsolutePosition(read - 1);
            db_.Execute(QStringLiteral("UPDATE T SET NAME = '%1' WHERE SEQ = %2")
                            .arg(name, textOf(rs[0])));
            rs.MoveFirst();
            QStringList seqs = walk(rs, 0);
            EXPECT_EQ(seqs.removeDuplicates(), 0) << order << name;
            EXPECT_EQ(seqs.size(), kRows) << order << name;
        }
    }
}

TEST_F(KeysetChunksTest, AMarkSplitsItsOrderAndTheReverseWhereItsRowWasRead) {
    TV_FILES_ONLY();  // the walks from both ends that meet at marks are a file's
    // Marks in Null runs, ties and lone values, in either direction and mixed ones.
    Connection conn(path_, true, false, 2000);
    const auto table = SchemaCache().table(conn, QStringLiteral("T"));
    for (const char* order : {"NAME, GRP", "NAME DESC, GRP DESC", "NAME, GRP DESC", "SEQ DESC"}) {
        const SelectShape shape =
            analyseSelect(QStringLiteral("SELECT rowid FROM T ORDER BY ") + order);
        for (const long at : {1L, 40L, 300L, 950L, 999L}) {
            auto first = KeysetPager::make(conn, shape, *table);
            auto forward = KeysetPager::make(conn, shape, *table);
            auto backward = KeysetPager::make(conn, shape, *table, true);
            ASSERT_TRUE(first && forward && backward) << order;
            KeyArray head, keys, reverse;
            first->read(conn, head, at);
            forward->read(conn, keys, kRows + 1);
            backward->read(conn, reverse, kRows + 1);
            EXPECT_EQ(forward->countBefore(conn, keys, *first->mark()), at - 1) << order << at;
            EXPECT_EQ(backward->countBefore(conn, reverse, *first->mark()), kRows - at)
                << order << at;
        }
    }
}

TEST_F(KeysetChunksTest, AFillOnItsOwnThreadRacesRequeryAndThisConnectionsWrites) {
    TV_FILES_ONLY();  // a server reads every key at once
    const QString sql = QStringLiteral("SELECT SEQ FROM T ORDER BY NAME");
    Recordset rs = chunked(sql);
    Recordset clone = rs.Clone();  // keeps the first fill's key set
    for (int i = 0; i < 20; ++i) rs.Requery();  // each drops the fill it started
    db_.Execute("INSERT INTO T VALUES (3001, 'N1', 0, 'mine')");
    QStringList seqs = walk(rs, 0);
    EXPECT_EQ(seqs.removeDuplicates(), 0);
    EXPECT_EQ(seqs.size(), kRows + seqs.filter("3001").size());
    clone.MoveFirst();
    QStringList cloned = walk(clone, 0);
    EXPECT_EQ(cloned.removeDuplicates(), 0);
    EXPECT_EQ(cloned.size(), kRows + cloned.filter("3001").size());

    // In a transaction the rest is read on this connection, which sees its own rows, and
    // a fill running when it began is taken over rather than waited for.
    rs.Requery();
    db_.BeginTrans();
    db_.Execute("INSERT INTO T VALUES (3002, 'zzzz', 0, 'pending')");
    seqs = walk(rs, 0);
    EXPECT_EQ(seqs.removeDuplicates(), 0);
    EXPECT_EQ(seqs.size(), kRows + 1 + seqs.filter("3002").size());
    rs.Requery();
    EXPECT_EQ(walk(rs, 0).last(), "3002");
    db_.Rollback();
    rs.Requery();
    EXPECT_EQ(rs.RecordCount(), kRows + 1);
}

}  // namespace
