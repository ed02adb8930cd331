// Table record sets: Seek on the primary key with every comparison and one to three key
// values (text keys ignoring case, a date key given as text), and the errors of a Seek
// made wrongly. Walks along an index whose keys repeat and hold Nulls are in
// test_key_first_walk.cpp.
#include "engine_fixture.h"

#include "core/convert.h"
#include "core/format.h"

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
            "[BORN] DATETIME NOT NULL, [RANK] LONG, CONSTRAINT PrimaryKey PRIMARY KEY ([LAST], "
            "[FIRST], [BORN]))");
        db_.Execute("CREATE INDEX [Rank] ON [People] ([RANK])");
        for (const char* row : {"'Adams', 'Ann', #2026-12-01 10:00:00#", "'Adams', 'Bob', #2026-12-01 10:00:00#",
                                "'Brown', 'Ann', #2026-12-02 09:00:00#", "'Brown', 'Ann', #2026-12-03 09:00:00#",
                                "'O''Brien', 'Pat', #2026-12-05 10:00:00#",
                                "'O''Brien', 'Pat', #2026-12-06 08:00:00#"})
            db_.Execute(QStringLiteral("INSERT INTO People (LAST, FIRST, BORN) VALUES (%1)").arg(row));
        rs_ = db_.OpenRecordset("People");
        rs_.SetIndex("PrimaryKey");
    }
    void TearDown() override {
        rs_.Close();
        EngineTest::TearDown();
    }
    QString who() {
        return rs_[0].asString() + u' ' + rs_[1].asString() + u' ' + tv::toIsoText(rs_[2].asDate());
    }
    Recordset rs_;
};

TEST_F(SeekTest, EachComparisonWithOneToThreeKeys) {
    struct Case {
        const char* comparison;
        std::vector<tv::Variant> keys;
        const char* found;  // nullptr: no match
    };
    const std::vector<Case> cases = {
        {"=", {"adams"}, "Adams Ann 2026-12-01 10:00:00"},
        {"=", {"O'BRIEN", "pat", at(5, 10)}, "O'Brien Pat 2026-12-05 10:00:00"},
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
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.comparison) + " " + std::to_string(c.keys.size()) + " keys, " +
                     tvtest::textOf(c.keys[0]).toStdString());
        const tv::Variant none;
        rs_.Seek(c.comparison, c.keys[0], c.keys.size() > 1 ? c.keys[1] : none,
                 c.keys.size() > 2 ? c.keys[2] : none);
        EXPECT_EQ(rs_.NoMatch(), c.found == nullptr);
        if (c.found) {
            EXPECT_EQ(who(), QString::fromUtf8(c.found));
        }
    }
}

TEST_F(SeekTest, ADateKeyStoredAtTenIsFoundBySeekingAfterTheSecondBefore) {
    // The key as text in the regional order, the way a window holds it.
    const QString key = tv::Format(at(5, 10), "General Date");
    rs_.Seek("=", "O'Brien", "Pat", key);
    ASSERT_FALSE(rs_.NoMatch()) << key.toStdString();
    const QString before = tv::Format(tv::DateAddSeconds(at(5, 10), -1), "General Date");
    rs_.Seek("=", "O'Brien", "Pat", before);
    EXPECT_TRUE(rs_.NoMatch());
    rs_.Seek(">", "O'Brien", "Pat", before);
    ASSERT_FALSE(rs_.NoMatch());
    EXPECT_EQ(tv::Format(rs_[2], "General Date"), key);
}

TEST_F(SeekTest, SeekErrors) {
    Recordset rs = db_.OpenRecordset("People");
    EXPECT_EQ(dbErrorOf([&] { rs.Seek("=", "Adams"); }), 3019);  // no index yet
    EXPECT_EQ(dbErrorOf([&] { rs.SetIndex("Nonesuch"); }), err::kIndexNotFound);
    rs.SetIndex("Rank");
    EXPECT_EQ(dbErrorOf([&] { rs.Seek("=", "not a number"); }), 3464);
    EXPECT_EQ(dbErrorOf([&] { rs.Seek("~", 1); }), err::kInvalidOperation);
    Recordset dynaset = db_.OpenRecordset("SELECT * FROM People");
    EXPECT_EQ(dbErrorOf([&] { dynaset.Seek("=", "Adams"); }), err::kInvalidOperation);
}

}  // namespace
