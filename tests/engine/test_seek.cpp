// Table record sets: Seek on the primary key and on other indexes with every comparison
// and one to three key values, and walks along an index whose keys hold duplicates and
// Nulls (forwards, backwards, turning in the middle, from a Seek), compared with the
// order the keys must have.
#include "engine_fixture.h"

#include "core/convert.h"
#include "core/format.h"

#include <QRandomGenerator>
#include <algorithm>

using namespace tv::engine;
using tvtest::dbErrorOf;

namespace {

tv::DateTime at(int day, int hour, int minute = 0, int second = 0) {
    return tv::DateFromParts(2026, 12, day, hour, minute, second);
}

class SeekTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [People] ([LAST] TEXT(30) NOT NULL, [FIRST] TEXT(30) NOT NULL, "
            "[BORN] DATETIME NOT NULL, [CITY] TEXT(30), [RANK] LONG, [SEQ] LONG, "
            "CONSTRAINT PrimaryKey PRIMARY KEY ([LAST], [FIRST], [BORN]))");
        db_.Execute("CREATE INDEX [City] ON [People] ([CITY], [RANK])");
    }
    void add(const QString& last, const QString& first, tv::DateTime born,
             const tv::Variant& city = {}, const tv::Variant& rank = {}) {
        Recordset rs = db_.OpenRecordset("People");
        rs.AddNew();
        rs.FieldAt(0).SetValue(last);
        rs.FieldAt(1).SetValue(first);
        rs.FieldAt(2).SetValue(born);
        rs.FieldAt(3).SetValue(city);
        rs.FieldAt(4).SetValue(rank);
        rs.FieldAt(5).SetValue(++seq_);
        rs.Update();
    }
    void addFamilies() {
        add("Adams", "Ann", at(1, 10));
        add("Adams", "Bob", at(1, 10));
        add("Brown", "Ann", at(2, 9));
        add("Brown", "Ann", at(3, 9));
        add("O'Brien", "Pat", at(5, 10));
        add("O'Brien", "Pat", at(6, 8));
    }
    static QString who(Recordset& rs) {
        return rs[0].asString() + u' ' + rs[1].asString() + u' ' + tv::toIsoText(rs[2].asDate());
    }
    int seq_ = 0;
};

TEST_F(SeekTest, TextKeysIgnoreCase) {
    addFamilies();
    Recordset rs = db_.OpenRecordset("People");
    rs.SetIndex("PrimaryKey");
    rs.Seek("=", "O'BRIEN", "pat", at(5, 10));
    ASSERT_FALSE(rs.NoMatch());
    EXPECT_EQ(rs[0].asString(), "O'Brien");
    rs.Seek("=", "o'brien");
    ASSERT_FALSE(rs.NoMatch());
    EXPECT_EQ(who(rs), "O'Brien Pat 2026-12-05 10:00:00");
}

TEST_F(SeekTest, EachComparisonWithOneToThreeKeys) {
    addFamilies();
    struct Case {
        const char* comparison;
        std::vector<tv::Variant> keys;
        const char* found;  // nullptr: no match
    };
    const std::vector<Case> cases = {
        {"=", {"adams"}, "Adams Ann 2026-12-01 10:00:00"},
        {"=", {"Adams", "Bob"}, "Adams Bob 2026-12-01 10:00:00"},
        {"=", {"Brown", "Ann", at(3, 9)}, "Brown Ann 2026-12-03 09:00:00"},
        {"=", {"Brown", "Ann", at(3, 9, 0, 1)}, nullptr},
        {"=", {"Clark"}, nullptr},
        {">", {"Adams"}, "Brown Ann 2026-12-02 09:00:00"},
        {">", {"Adams", "Ann"}, "Adams Bob 2026-12-01 10:00:00"},
        {">", {"Brown", "Ann", at(2, 9)}, "Brown Ann 2026-12-03 09:00:00"},
        {">", {"Zed"}, nullptr},
        {">=", {"Adams", "Bob"}, "Adams Bob 2026-12-01 10:00:00"},
        {">=", {"B"}, "Brown Ann 2026-12-02 09:00:00"},
        {">=", {"O'Brien", "Pat", at(6, 9)}, nullptr},
        {"<", {"Brown"}, "Adams Bob 2026-12-01 10:00:00"},
        {"<", {"Brown", "Ann", at(3, 9)}, "Brown Ann 2026-12-02 09:00:00"},
        {"<", {"Adams"}, nullptr},
        {"<=", {"Brown", "Ann"}, "Brown Ann 2026-12-03 09:00:00"},
        {"<=", {"Zed"}, "O'Brien Pat 2026-12-06 08:00:00"},
        {"<=", {"A"}, nullptr},
    };
    Recordset rs = db_.OpenRecordset("People");
    rs.SetIndex("PrimaryKey");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.comparison) + " " + std::to_string(c.keys.size()) + " keys, " +
                     tvtest::textOf(c.keys[0]).toStdString());
        const tv::Variant none;
        rs.Seek(c.comparison, c.keys[0], c.keys.size() > 1 ? c.keys[1] : none,
                c.keys.size() > 2 ? c.keys[2] : none);
        EXPECT_EQ(rs.NoMatch(), c.found == nullptr);
        if (c.found) {
            EXPECT_EQ(who(rs), QString::fromUtf8(c.found));
        }
    }
}

TEST_F(SeekTest, ADateKeyStoredAtTenIsFoundBySeekingAfterTheSecondBefore) {
    add("Adams", "Ann", at(5, 10));
    Recordset rs = db_.OpenRecordset("People");
    rs.SetIndex("PrimaryKey");
    // The key as text in the regional order, the way a window holds it.
    const QString key = tv::Format(at(5, 10), "General Date");
    rs.Seek("=", "Adams", "Ann", key);
    ASSERT_FALSE(rs.NoMatch()) << key.toStdString();
    const QString before = tv::Format(tv::DateAddSeconds(at(5, 10), -1), "General Date");
    rs.Seek("=", "Adams", "Ann", before);
    EXPECT_TRUE(rs.NoMatch());
    rs.Seek(">", "Adams", "Ann", before);
    ASSERT_FALSE(rs.NoMatch());
    EXPECT_EQ(tv::Format(rs[2], "General Date"), key);
}

TEST_F(SeekTest, AMovingSeekContinuesAlongTheIndex) {
    addFamilies();
    Recordset rs = db_.OpenRecordset("People");
    rs.SetIndex("PrimaryKey");
    rs.Seek(">=", "Brown");
    ASSERT_FALSE(rs.NoMatch());
    EXPECT_EQ(walk(rs, 5), QStringList({"3", "4", "5", "6"}));
    rs.Seek("<", "O'Brien");
    EXPECT_EQ(walk(rs, 5, false), QStringList({"4", "3", "2", "1"}));
}

TEST_F(SeekTest, SeekErrors) {
    addFamilies();
    Recordset rs = db_.OpenRecordset("People");
    EXPECT_EQ(dbErrorOf([&] { rs.Seek("=", "Adams"); }), 3019);  // no index yet
    EXPECT_EQ(dbErrorOf([&] { rs.SetIndex("Nonesuch"); }), err::kIndexNotFound);
    rs.SetIndex("City");
    EXPECT_EQ(dbErrorOf([&] { rs.Seek("=", "x", "not a number"); }), 3464);
    EXPECT_EQ(dbErrorOf([&] { rs.Seek("~", "x"); }), err::kInvalidOperation);
    Recordset dynaset = db_.OpenRecordset("SELECT * FROM People");
    EXPECT_EQ(dbErrorOf([&] { dynaset.Seek("=", "Adams"); }), err::kInvalidOperation);
}

// A few thousand rows with duplicate and Null keys, in an order unrelated to the index.
class IndexWalkTest : public SeekTest {
protected:
    struct Key {
        tv::Variant city;
        tv::Variant rank;
        int seq;
    };
    void SetUp() override {
        SeekTest::SetUp();
        QRandomGenerator random(20261205);
        const tv::Variant cities[] = {tv::Variant(), "a", "B", "b", "c"};
        db_.BeginTrans();
        for (int i = 0; i < 2500; ++i) {
            const tv::Variant city = cities[random.bounded(5)];
            const tv::Variant rank = random.bounded(4) == 0
                                         ? tv::Variant()
                                         : tv::Variant(static_cast<int>(random.bounded(6)));
            add(QStringLiteral("P%1").arg(i), "X", at(1, 0), city, rank);
            keys_.push_back({city, rank, seq_});
        }
        db_.CommitTrans();
        // Nulls first; cities ignoring case; ties in the order rows were stored.
        auto lessKey = [](const tv::Variant& a, const tv::Variant& b) {
            if (a.isNull() || b.isNull()) return a.isNull() && !b.isNull();
            return tv::CompareValues(a, b, true) < 0;
        };
        std::stable_sort(keys_.begin(), keys_.end(), [&](const Key& x, const Key& y) {
            if (lessKey(x.city, y.city)) return true;
            if (lessKey(y.city, x.city)) return false;
            return lessKey(x.rank, y.rank);
        });
        for (const Key& k : keys_) expected_ << QString::number(k.seq);
    }
    std::vector<Key> keys_;
    QStringList expected_;
};

TEST_F(IndexWalkTest, ForwardAndBackwardFollowTheIndexOrder) {
    Recordset rs = db_.OpenRecordset("People");
    rs.SetIndex("City");
    rs.MoveFirst();
    EXPECT_EQ(walk(rs, 5), expected_);
    rs.MoveLast();
    QStringList reversed = expected_;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(walk(rs, 5, false), reversed);
}

TEST_F(IndexWalkTest, TurningBackInTheMiddleRetracesTheSameRows) {
    Recordset rs = db_.OpenRecordset("People");
    rs.SetIndex("City");
    rs.MoveFirst();
    for (int i = 0; i < 700; ++i) rs.MoveNext();
    EXPECT_EQ(rs[5].asLong(), expected_[700].toInt());
    EXPECT_EQ(rs.AbsolutePosition(), 700);
    for (int i = 0; i < 300; ++i) rs.MovePrevious();
    EXPECT_EQ(rs[5].asLong(), expected_[400].toInt());
    EXPECT_EQ(rs.AbsolutePosition(), 400);
    rs.Move(1000);
    EXPECT_EQ(rs[5].asLong(), expected_[1400].toInt());
    EXPECT_EQ(rs.RecordCount(), 2500);
}

TEST_F(IndexWalkTest, SeekingANullOrAValueLandsAtTheFirstSuchKey) {
    Recordset rs = db_.OpenRecordset("People");
    rs.SetIndex("City");
    const auto firstWith = [&](const tv::Variant& city) {
        for (qsizetype i = 0; i < expected_.size(); ++i) {
            const Key& k = keys_[static_cast<size_t>(i)];
            if (city.isNull() ? k.city.isNull()
                              : !k.city.isNull() && tv::CompareValues(k.city, city, true) == 0)
                return i;
        }
        return qsizetype{-1};
    };
    rs.Seek("=", "b");
    ASSERT_FALSE(rs.NoMatch());
    const qsizetype b = firstWith("b");
    EXPECT_EQ(walk(rs, 5), expected_.mid(b));
    rs.Seek(">", "a");
    ASSERT_FALSE(rs.NoMatch());
    EXPECT_EQ(rs[5].asLong(), expected_[b].toInt());
    // A Null city and a rank: among the rows of no city (first in the index), the first
    // whose rank is at least 3.
    rs.Seek(">=", tv::Variant(), 3);
    ASSERT_FALSE(rs.NoMatch());
    const auto it = std::find_if(keys_.begin(), keys_.end(), [](const Key& k) {
        return k.city.isNull() && !k.rank.isNull() && k.rank.asLong() >= 3;
    });
    ASSERT_NE(it, keys_.end());
    EXPECT_EQ(rs[5].asLong(), it->seq);
}

TEST_F(IndexWalkTest, AnEditedKeyMovesTheRowInTheIndex) {
    Recordset rs = db_.OpenRecordset("People");
    rs.SetIndex("City");
    rs.MoveFirst();
    const int moved = rs[5].asLong();
    rs.Edit();
    rs.FieldNamed("CITY").SetValue("zzz");
    rs.Update();
    rs.MoveLast();
    EXPECT_EQ(rs[5].asLong(), moved);
    EXPECT_TRUE(rs.Bookmark() == rs.LastModified());
}

}  // namespace
