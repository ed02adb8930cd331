// Jet Like patterns: which ones SQLite's LIKE can express, and direct matching of the rest.
#include "engine/jet_like.h"

#include <gtest/gtest.h>

namespace tv::engine::dialect {
namespace {

TEST(LikePattern, BecomesAnEquivalentLikePatternOrNone) {
    struct Case {
        const char* jet;
        const char* like;  // nullptr: LIKE cannot express it
        bool escaped;
    };
    // clang-format off
    const Case cases[] = {
        {"O'B*", "O'B%", false},   {"?at", "_at", false},       {"*", "%", false},
        {"100%", "100\\%", true},  {"a_b*", "a\\_b%", true},    {"C:\\*", "C:\\\\%", true},
        {"x[*]y", "x*y", false},   {"[?][#][[]", "?#[", false}, {"a[]b", "ab", false},
        {"A#", nullptr, false},    {"[a-c]*", nullptr, false},  {"[!a]", nullptr, false},
        {"[ab]", nullptr, false},  {"[ab", nullptr, false}};
    // clang-format on
    for (const Case& c : cases) {
        bool escaped = false;
        const auto like = jetPatternToSqliteLike(QString::fromUtf8(c.jet), &escaped);
        ASSERT_EQ(like.has_value(), c.like != nullptr) << c.jet;
        if (!c.like) continue;
        EXPECT_EQ(*like, QString::fromUtf8(c.like)) << c.jet;
        EXPECT_EQ(escaped, c.escaped) << c.jet;
    }
}

TEST(LikePattern, MatchesTheWholeValue) {
    struct Case {
        const char* value;
        const char* pattern;
        bool matches;
    };
    // clang-format off
    const Case cases[] = {
        {"O'Brien", "o'b*", true},  {"O'Brien", "*BRIEN", true},  {"O'Brien", "Brien", false},
        {"abc", "a?c", true},       {"ac", "a?c", false},         {"abcd", "a?c", false},
        {"A1", "A#", true},         {"AB", "A#", false},          {"b", "[a-c]", true},
        {"B", "[a-c]", true},       {"d", "[!a-c]", true},        {"a", "[!a-c]", false},
        {"z", "[c-a]", false},      {"b", "[c-a]", true},         {"a-b", "a[-]b", true},
        {"a-b", "a[x-]b", true},    {"x*y", "x[*]y", true},       {"xzy", "x[*]y", false},
        {"100%", "100%", true},     {"1000", "100%", false},      {"a_b", "a_b", true},
        {"axb", "a_b", false},      {"", "*", true},              {"", "?", false},
        {"aXbXc", "*b*c", true},    {"aXbXcX", "*b*c", false},    {"mississippi", "*sip*", true},
        {"ab", "a[]b", true},       {"ab", "[ab", false}};
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(jetLikeMatch(QString::fromUtf8(c.value), QString::fromUtf8(c.pattern)), c.matches)
            << c.value << " Like " << c.pattern;
    EXPECT_TRUE(isValidJetPattern(QStringLiteral("a]b*")));
    EXPECT_TRUE(isValidJetPattern(QString()));
    EXPECT_FALSE(isValidJetPattern(QStringLiteral("a[b")));
    EXPECT_FALSE(isValidJetPattern(QStringLiteral("[!")));
}

}  // namespace
}  // namespace tv::engine::dialect
