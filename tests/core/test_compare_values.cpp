// CompareValues: the runtime's ordering of mixed values, used by sorting and criteria.
#include "core/convert.h"
#include "core/format.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

namespace {

using tvtest::PinnedRegional;

// clang-format off
TEST_F(PinnedRegional, CompareValuesOrdersBothWays) {
    struct Case {
        tv::Variant a;
        tv::Variant b;
        int expected;
        bool ignoreCase = false;
    };
    const Case cases[] = {
        {1, 2, -1}, {2.0, std::int16_t{2}, 0}, {true, -1, 0},
        {tv::Currency::fromDouble(1.0001), tv::Currency::fromDouble(1.0002), -1},
        // Texts: exact or ignoring case; two texts compare as texts.
        {"abc", "ABC", 1}, {"O'Brien", "o'brien", 0, true}, {"apple", "Banana", -1, true},
        {"10", "9", -1}, {QByteArray("abc"), "abc", 0},
        // Null sorts below everything.
        {tv::Variant(), "", -1}, {tv::Variant(), tv::Variant(), 0},
        // A number against a text: numerically when the text is a number, else first.
        {9, "10", -1}, {10, " 10 ", 0}, {1000000, "abc", -1},
        // Dates: in time order, also before 1899-12-30 where serials are negative.
        {tv::DateFromParts(2026, 12, 5, 14, 0, 0), tv::DateFromParts(2026, 12, 5, 15, 0, 0), -1},
        {tv::DateTime{-1.25}, tv::DateTime{-1.75}, -1},
        {tv::DateSerial(2026, 12, 5), "04/12/2026 23:59", 1},
        {tv::DateSerial(2026, 12, 5), 46361, 0},
    };
    const auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    for (const Case& c : cases) {
        EXPECT_EQ(sign(tv::CompareValues(c.a, c.b, c.ignoreCase)), c.expected)
            << tv::TextOf(c.a).toStdString() << " against " << tv::TextOf(c.b).toStdString();
        EXPECT_EQ(sign(tv::CompareValues(c.b, c.a, c.ignoreCase)), -c.expected);
    }
}
// clang-format on

}  // namespace
