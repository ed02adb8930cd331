// A table walked along an index reads key columns from the index alone and whole rows
// from the first time another column is asked for: the switch must land on the same row
// and keep the walk's order whichever way it goes, and a row deleted by another user
// between the two reads is reported as deleted.
#include "engine_fixture.h"

using namespace tv::engine;
using tvtest::dbErrorOf;

namespace {

constexpr int kRows = 200;  // walks cross several chunks

class KeyFirstWalkTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [T] ([SEQ] LONG NOT NULL, [NAME] TEXT(20), [NOTE] TEXT(20), "
            "CONSTRAINT PrimaryKey PRIMARY KEY ([SEQ]))");
        db_.Execute("CREATE INDEX [Name] ON [T] ([NAME])");
        db_.BeginTrans();
        // Names repeat (runs of equal keys) and a few are Null (they sort first).
        for (int seq = 1; seq <= kRows; ++seq)
            db_.Execute(QStringLiteral("INSERT INTO T VALUES (%1, %2, 'n%1')")
                            .arg(seq)
                            .arg(seq % 13 == 0 ? QStringLiteral("Null")
                                               : quoteLiteral(QStringLiteral("N%1").arg(seq % 7))));
        db_.CommitTrans();
        // The order the index gives: name (Nulls first), then insertion order.
        Recordset rs = db_.OpenRecordset(QStringLiteral("SELECT SEQ FROM T ORDER BY NAME, SEQ"));
        for (const QString& seq : walk(rs, 0)) order_ << seq;
    }
    Recordset byName() {
        Recordset rs = db_.OpenRecordset(QStringLiteral("T"));
        rs.SetIndex(QStringLiteral("Name"));
        return rs;
    }
    QStringList order_;
};

TEST_F(KeyFirstWalkTest, OtherColumnsFirstAskedMidWalkBelongToTheCurrentRow) {
    // Walks from each end and from a seek either way, switching to whole rows at the
    // start, inside the first chunk, at its edge and further on.
    struct Start {
        const char* name;
        bool forward;
        const char* seek;  // the comparison, or null for MoveFirst/MoveLast
        QString expected;  // the order the walk must give
    };
    const Start starts[] = {
        {"first", true, nullptr, "SELECT SEQ FROM T ORDER BY NAME, SEQ"},
        {"last", false, nullptr, "SELECT SEQ FROM T ORDER BY NAME DESC, SEQ DESC"},
        {">= N1", true, ">=", "SELECT SEQ FROM T WHERE NAME >= 'N1' ORDER BY NAME, SEQ"},
        {"<= N5", false,
         "<=", "SELECT SEQ FROM T WHERE NAME <= 'N5' OR NAME IS NULL ORDER BY NAME DESC, SEQ DESC"},
    };
    for (const Start& start : starts) {
        Recordset sorted = db_.OpenRecordset(start.expected);
        const QStringList all = walk(sorted, 0);
        for (int switchAt : {0, 5, 16, 64, 100}) {
            SCOPED_TRACE(testing::Message() << start.name << " " << switchAt);
            Recordset rs = byName();
            if (start.seek)
                rs.Seek(QString::fromLatin1(start.seek),
                        tv::Variant(QString::fromLatin1(start.name + 3)));
            else if (start.forward)
                rs.MoveFirst();
            else
                rs.MoveLast();
            QStringList seen;
            for (int step = 0; start.forward ? !rs.EOF_() : !rs.BOF(); ++step) {
                (void)rs[1];  // the key column alone until the switch
                if (step >= switchAt) {
                    seen << tvtest::textOf(rs[0]);
                    EXPECT_EQ(tvtest::textOf(rs[2]), u'n' + seen.back());
                }
                if (start.forward)
                    rs.MoveNext();
                else
                    rs.MovePrevious();
            }
            EXPECT_EQ(seen, all.mid(switchAt));
        }
    }
}

TEST_F(KeyFirstWalkTest, ARowDeletedAfterItsKeyWasReadIsReportedDeleted) {
    Recordset rs = byName();
    rs.Seek(QStringLiteral(">="), tv::Variant(QStringLiteral("N3")));
    ASSERT_FALSE(rs.NoMatch());
    EXPECT_EQ(tvtest::textOf(rs[1]), QStringLiteral("N3"));
    const int at = static_cast<int>(order_.indexOf(QStringLiteral("3")));
    ASSERT_GE(at, 0);
    // Another user deletes the row between the key read and the first read of its other
    // columns (at once: the seek left no lock behind).
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path_.toUtf8().constData(), &other), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, "DELETE FROM T WHERE SEQ = 3", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(dbErrorOf([&] { (void)rs[0]; }), 3167);
    rs.MoveNext();
    EXPECT_EQ(tvtest::textOf(rs[0]), order_[at + 1]);
    EXPECT_EQ(tvtest::textOf(rs[2]), u'n' + order_[at + 1]);
}

}  // namespace
