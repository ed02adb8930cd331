// A table walked along a two-column index whose keys repeat (ignoring case) and hold
// Nulls reads key columns from the index alone until another column is asked for: the
// switch must land on the same row and keep the order either way. Walks turn back, jump,
// start from a Seek with each comparison (a Null key included) and follow an edited key;
// a row deleted by another user between the two reads is reported deleted. The expected
// orders are the same rows sorted by SQL; date keys are sought in tests/data.
#include "engine_fixture.h"

using namespace tv::engine;
using tvtest::dbErrorOf;
using tvtest::textOf;

namespace {

constexpr int kRows = 1000;  // walks cross chunks of every size

class KeyFirstWalkTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [T] ([SEQ] LONG NOT NULL, [NAME] TEXT(20), [GRP] LONG, [NOTE] "
            "TEXT(20), CONSTRAINT PrimaryKey PRIMARY KEY ([SEQ]))");
        db_.Execute("CREATE INDEX [Name] ON [T] ([NAME], [GRP])");
        db_.BeginTrans();
        for (int seq = 1; seq <= kRows; ++seq) {
            const QString name =
                (seq % 2 ? QStringLiteral("N%1") : QStringLiteral("n%1")).arg(seq % 7);
            db_.Execute(QStringLiteral("INSERT INTO T VALUES (%1, %2, %3, 'n%1')")
                            .arg(seq)
                            .arg(seq % 13 == 0 ? QStringLiteral("Null") : quoteLiteral(name),
                                 seq % 5 == 0 ? QStringLiteral("Null") : QString::number(seq % 3)));
        }
        db_.CommitTrans();
        order_ = sorted("");
    }
    // SEQ of the rows in index order (Nulls first, ties in the order rows were stored).
    QStringList sorted(const QString& where, bool descending = false) {
        const QString dir = descending ? QStringLiteral(" DESC") : QString();
        Recordset rs = db_.OpenRecordset(
            QStringLiteral("SELECT SEQ FROM T %1 ORDER BY NAME%2, GRP%2, SEQ%2").arg(where, dir));
        return walk(rs, 0);
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
    const struct {
        const char* seek;  // comparison and key, or "" for MoveFirst / MoveLast
        bool forward;
        QStringList expected;
    } starts[] = {
        {"", true, order_},
        {"", false, sorted("", true)},
        {">= n1", true, sorted("WHERE NAME >= 'N1'")},
        {"<= N5", false, sorted("WHERE NAME <= 'N5' OR NAME IS NULL", true)},
    };
    for (const auto& start : starts) {
        for (int switchAt : {0, 5, 16, 64, 300}) {
            SCOPED_TRACE(testing::Message()
                         << start.seek << (start.forward ? " >> " : " << ") << switchAt);
            Recordset rs = byName();
            const QStringList seek = QString::fromLatin1(start.seek).split(u' ');
            if (seek.size() == 2)
                rs.Seek(seek[0], seek[1]);
            else if (start.forward)
                rs.MoveFirst();
            else
                rs.MoveLast();
            QStringList seen;
            for (int step = 0; start.forward ? !rs.EOF_() : !rs.BOF(); ++step) {
                (void)rs[1];  // the key column alone until the switch
                if (step >= switchAt) {
                    seen << textOf(rs[0]);
                    EXPECT_EQ(textOf(rs[3]), u'n' + seen.back());
                }
                start.forward ? rs.MoveNext() : rs.MovePrevious();
            }
            EXPECT_EQ(seen, start.expected.mid(switchAt));
        }
    }
}

TEST_F(KeyFirstWalkTest, TurningJumpingAndSeekingKeepTheIndexOrder) {
    Recordset rs = byName();
    rs.MoveFirst();
    for (int i = 0; i < 700; ++i) rs.MoveNext();
    EXPECT_EQ(textOf(rs[0]), order_[700]);
    EXPECT_EQ(rs.AbsolutePosition(), 700);
    for (int i = 0; i < 300; ++i) rs.MovePrevious();
    EXPECT_EQ(textOf(rs[0]), order_[400]);
    EXPECT_EQ(rs.AbsolutePosition(), 400);
    rs.Move(500);
    EXPECT_EQ(textOf(rs[0]), order_[900]);
    EXPECT_EQ(rs.RecordCount(), kRows);

    // A seek lands on the first row of its key (the last one going back), a Null first
    // key included; one that finds nothing says so.
    const struct {
        const char* comparison;
        tv::Variant name;
        tv::Variant grp;
        const char* where;  // the rows it may land on; nullptr: none
    } seeks[] = {
        {"=", "n3", {}, "NAME = 'N3'"},
        {">", "N3", {}, "NAME > 'N3'"},
        {"=", "N4", 2, "NAME = 'N4' AND GRP = 2"},
        {">=", {}, 1, "NAME IS NULL AND GRP >= 1 OR NAME IS NOT NULL"},
        {"<", "N3", {}, "NAME < 'N3' OR NAME IS NULL"},
        {"<=", "n4", 1, "NAME < 'N4' OR NAME = 'N4' AND (GRP <= 1 OR GRP IS NULL) OR NAME IS NULL"},
        {">", "N6", {}, nullptr},
        {"=", "N4", 7, nullptr},
    };
    for (const auto& s : seeks) {
        SCOPED_TRACE(testing::Message() << s.comparison << " " << textOf(s.name).toStdString());
        rs.Seek(s.comparison, s.name, s.grp);
        ASSERT_EQ(rs.NoMatch(), s.where == nullptr);
        if (s.where) {
            const bool back = QByteArray(s.comparison).startsWith('<');
            EXPECT_EQ(textOf(rs[0]), sorted(QStringLiteral("WHERE ") + s.where, back).front());
        }
    }
    rs.Seek("=", "n3");
    EXPECT_EQ(walk(rs, 0), order_.mid(order_.indexOf(sorted("WHERE NAME = 'N3'").front())));

    // An edited key moves its row to its new place.
    rs.MoveFirst();
    const QString moved = textOf(rs[0]);
    rs.Edit();
    rs.FieldNamed("NAME").SetValue("zzz");
    rs.Update();
    rs.MoveLast();
    EXPECT_EQ(textOf(rs[0]), moved);
    EXPECT_TRUE(rs.Bookmark() == rs.LastModified());
}

TEST_F(KeyFirstWalkTest, ARowDeletedAfterItsKeyWasReadIsReportedDeleted) {
    TV_FILES_ONLY();
    Recordset rs = byName();
    rs.Seek(QStringLiteral(">="), tv::Variant(QStringLiteral("N3")));
    const QString seq = sorted("WHERE NAME >= 'N3'").front();
    const int at = static_cast<int>(order_.indexOf(seq));
    EXPECT_EQ(textOf(rs[1]).toUpper(), QStringLiteral("N3"));
    // Another user deletes the row between the key read and the first read of its other
    // columns (at once: the seek left no lock behind).
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path_.toUtf8().constData(), &other), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, ("DELETE FROM T WHERE SEQ = " + seq).toUtf8().constData(),
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(dbErrorOf([&] { (void)rs[0]; }), 3167);
    rs.MoveNext();
    EXPECT_EQ(textOf(rs[0]), order_[at + 1]);
    EXPECT_EQ(textOf(rs[3]), u'n' + order_[at + 1]);
}

}  // namespace
