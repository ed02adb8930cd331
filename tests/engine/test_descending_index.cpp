// Indexes with a descending column: a primary key, and (A DESC, B) with keys repeated
// ignoring case and Nulls (the least value: last in A, first in B). Walks either way, a
// step either way from every row, and each Seek comparison.
#include "engine_fixture.h"

using namespace tv::engine;
using tvtest::textOf;

namespace {

class DescendingIndexTest : public tvtest::EngineTest {};

TEST_F(DescendingIndexTest, WalksAndSeeksFollowEachColumnsDirection) {
    db_.Execute("CREATE TABLE [T] ([SEQ] LONG NOT NULL, [A] TEXT(10), [B] LONG)");
    db_.Execute("CREATE INDEX [PrimaryKey] ON [T] ([SEQ] DESC) WITH PRIMARY");
    db_.Execute("CREATE INDEX [X] ON [T] ([A] DESC, [B])");
    for (const char* row : {"1, 'b', 1", "2, 'B', Null", "3, 'a', 2", "4, Null, 1", "5, 'C', 0",
                            "6, 'b', 1", "7, Null, Null", "8, 'A', 1", "9, 'c', Null"})
        db_.Execute(QStringLiteral("INSERT INTO T VALUES (%1)").arg(row));
    const QStringList order = QString("9 5 2 1 6 8 3 7 4").split(u' ');
    Recordset rs = db_.OpenRecordset("T");
    rs.SetIndex("PrimaryKey");
    EXPECT_EQ(walk(rs, 0), QString("9 8 7 6 5 4 3 2 1").split(u' '));
    rs.Seek(">", 5);
    EXPECT_EQ(textOf(rs[0]), "4");
    rs.SetIndex("X");
    EXPECT_EQ(walk(rs, 0), order);
    rs.MoveLast();
    EXPECT_EQ(walk(rs, 0, false), QString("4 7 3 8 6 1 2 5 9").split(u' '));

    // From each row alone (nothing read ahead), one step either way and its position.
    std::vector<QByteArray> marks;
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) marks.push_back(rs.Bookmark());
    for (int i = 0; i < order.size(); ++i) {
        SCOPED_TRACE(order[i].toStdString());
        rs.SetBookmark(marks[static_cast<size_t>(i)]);
        EXPECT_EQ(rs.AbsolutePosition(), i);
        rs.MoveNext();
        EXPECT_EQ(rs.EOF_() ? "EOF" : textOf(rs[0]), order.value(i + 1, "EOF"));
        rs.SetBookmark(marks[static_cast<size_t>(i)]);
        rs.MovePrevious();
        EXPECT_EQ(rs.BOF() ? "BOF" : textOf(rs[0]), order.value(i - 1, "BOF"));
    }

    // ">=" finds the first row at or past the key in index order, "<=" the last row at
    // or before it; "" is no match. Trailing Null keys are not given; a first one is Null.
    const struct {
        const char* comparison;
        tv::Variant a, b;
        const char* found;
    } seeks[] = {
        {"=", "B", {}, "2"},  {"=", "b", 1, "1"},    {"=", "a", 5, ""},   {">=", "b", {}, "2"},
        {">", "B", {}, "8"},  {">=", "bb", {}, "2"}, {">", "A", {}, "7"}, {">=", "a", 3, "7"},
        {"<=", "b", {}, "6"}, {"<", "b", {}, "5"},   {"<", "C", {}, ""},  {"<=", "a", 1, "8"},
        {"<", "a", 1, "6"},   {"<=", "c", {}, "5"},  {"=", {}, 1, "4"},   {"<", {}, 1, "7"},
        {"<", {}, {}, "3"},   {">", {}, {}, ""},     {">=", {}, {}, "7"}, {">", "c", 0, "2"},
    };
    for (const auto& s : seeks) {
        SCOPED_TRACE(testing::Message() << s.comparison << ' ' << textOf(s.a).toStdString() << ','
                                        << textOf(s.b).toStdString());
        rs.Seek(s.comparison, s.a, s.b);
        EXPECT_EQ(rs.NoMatch() ? "" : textOf(rs[0]), s.found);
    }
}

}  // namespace
