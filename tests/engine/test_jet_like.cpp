// Jet Like patterns: which ones SQLite's LIKE can express, and direct matching of the rest.
#include "engine/jet_like.h"

#include <gtest/gtest.h>

namespace tv::engine::dialect {
namespace {

struct Conversion {
    const char* jet;
    const char* like;  // nullptr: LIKE cannot express it
    bool escaped;
};

void PrintTo(const Conversion& c, std::ostream* os) { *os << c.jet; }

class LikeConversion : public ::testing::TestWithParam<Conversion> {};

TEST_P(LikeConversion, WritesAnEquivalentLikePatternOrNone) {
    bool escaped = false;
    const auto like = jetPatternToSqliteLike(QString::fromUtf8(GetParam().jet), &escaped);
    if (!GetParam().like) {
        EXPECT_FALSE(like.has_value()) << like.value_or(QString()).toStdString();
        return;
    }
    ASSERT_TRUE(like.has_value());
    EXPECT_EQ(*like, QString::fromUtf8(GetParam().like));
    EXPECT_EQ(escaped, GetParam().escaped);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, LikeConversion,
    ::testing::Values(Conversion{"O'B*", "O'B%", false}, Conversion{"?at", "_at", false},
                      Conversion{"*", "%", false}, Conversion{"100%", "100\\%", true},
                      Conversion{"a_b*", "a\\_b%", true}, Conversion{"C:\\*", "C:\\\\%", true},
                      Conversion{"x[*]y", "x*y", false}, Conversion{"[?][#][[]", "?#[", false},
                      Conversion{"a[]b", "ab", false}, Conversion{"A#", nullptr, false},
                      Conversion{"[a-c]*", nullptr, false}, Conversion{"[!a]", nullptr, false},
                      Conversion{"[ab]", nullptr, false}, Conversion{"[ab", nullptr, false}));

struct Match {
    const char* value;
    const char* pattern;
    bool matches;
};

void PrintTo(const Match& m, std::ostream* os) { *os << m.value << " Like " << m.pattern; }

class LikeMatch : public ::testing::TestWithParam<Match> {};

TEST_P(LikeMatch, MatchesTheWholeValue) {
    EXPECT_EQ(
        jetLikeMatch(QString::fromUtf8(GetParam().value), QString::fromUtf8(GetParam().pattern)),
        GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Values, LikeMatch,
    ::testing::Values(
        Match{"O'Brien", "o'b*", true}, Match{"O'Brien", "*BRIEN", true},
        Match{"O'Brien", "Brien", false}, Match{"abc", "a?c", true}, Match{"ac", "a?c", false},
        Match{"abcd", "a?c", false}, Match{"A1", "A#", true}, Match{"AB", "A#", false},
        Match{"b", "[a-c]", true}, Match{"B", "[a-c]", true}, Match{"d", "[!a-c]", true},
        Match{"a", "[!a-c]", false}, Match{"z", "[c-a]", false}, Match{"b", "[c-a]", true},
        Match{"a-b", "a[-]b", true}, Match{"a-b", "a[x-]b", true}, Match{"x*y", "x[*]y", true},
        Match{"xzy", "x[*]y", false}, Match{"100%", "100%", true}, Match{"1000", "100%", false},
        Match{"a_b", "a_b", true}, Match{"axb", "a_b", false}, Match{"", "*", true},
        Match{"", "?", false}, Match{"abc", "*", true}, Match{"aXbXc", "*b*c", true},
        Match{"aXbXcX", "*b*c", false}, Match{"mississippi", "*sip*", true},
        Match{"ab", "a[]b", true}, Match{"ab", "[ab", false}));

TEST(LikePattern, ValidityIsAboutClosedBrackets) {
    EXPECT_TRUE(isValidJetPattern(QStringLiteral("a]b*")));
    EXPECT_TRUE(isValidJetPattern(QString()));
    EXPECT_FALSE(isValidJetPattern(QStringLiteral("a[b")));
    EXPECT_FALSE(isValidJetPattern(QStringLiteral("[!")));
}

}  // namespace
}  // namespace tv::engine::dialect
