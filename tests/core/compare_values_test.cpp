// CompareValues: the runtime's ordering of mixed values, used by sorting and criteria.
#include "core/convert.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

namespace {

using tvtest::PinnedRegional;

struct CompareCase {
    tv::Variant a;
    tv::Variant b;
    bool ignoreCase;
    int expected;
};

class CompareTest : public PinnedRegional, public ::testing::WithParamInterface<CompareCase> {};

TEST_P(CompareTest, OrdersBothWays) {
    const CompareCase& c = GetParam();
    const auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    EXPECT_EQ(sign(tv::CompareValues(c.a, c.b, c.ignoreCase)), c.expected);
    EXPECT_EQ(sign(tv::CompareValues(c.b, c.a, c.ignoreCase)), -c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareTest,
    ::testing::Values(
        CompareCase{1, 2, false, -1}, CompareCase{2.0, std::int16_t{2}, false, 0},
        CompareCase{true, -1, false, 0}, CompareCase{tv::Currency::fromDouble(1.5), 1.5, false, 0},
        CompareCase{tv::Currency::fromDouble(1.0001), tv::Currency::fromDouble(1.0002), false, -1},
        // Texts: exact or ignoring case.
        CompareCase{"abc", "ABC", false, 1}, CompareCase{"abc", "ABC", true, 0},
        CompareCase{"O'Brien", "o'brien", true, 0}, CompareCase{"apple", "Banana", true, -1},
        CompareCase{"10", "9", false, -1},  // two texts compare as texts
        CompareCase{QByteArray("abc"), "abc", false, 0},
        // Null sorts below everything.
        CompareCase{tv::Variant(), 1, false, -1}, CompareCase{tv::Variant(), "", false, -1},
        CompareCase{tv::Variant(), tv::Variant(), false, 0},
        // A number against a text: numerically when the text is a number, else first.
        CompareCase{9, "10", false, -1}, CompareCase{10, " 10 ", false, 0},
        CompareCase{1000000, "abc", false, -1},
        // Dates: in time order, also before 1899-12-30 where serials are negative.
        CompareCase{tv::DateFromParts(2026, 12, 5, 14, 0, 0),
                    tv::DateFromParts(2026, 12, 5, 15, 0, 0), false, -1},
        CompareCase{tv::DateTime{-1.25}, tv::DateTime{-1.75}, false, -1},
        CompareCase{tv::DateSerial(2026, 12, 5), "05/12/2026", false, 0},
        CompareCase{tv::DateSerial(2026, 12, 5), "04/12/2026 23:59", false, 1},
        CompareCase{tv::DateSerial(2026, 12, 5), 46361, false, 0}));

}  // namespace
