// Val reads the number at the start of a text the way stored figures and typed boxes are
// read back throughout the program: it never fails, it skips blanks anywhere, and it stops
// at the first character that cannot continue the number.
#include "core/convert.h"
#include "core/format.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

namespace {

using tvtest::PinnedRegional;

// clang-format off
TEST_F(PinnedRegional, ValReadsTheLeadingNumber) {
    const std::pair<const char*, double> cases[] = {
        // Blanks, tabs and line feeds are skipped anywhere, even inside the digits.
        {"  1 2 3abc", 123}, {"\t\n42", 42}, {"- 5", -5}, {"1\r2", 1},  // \r is no blank
        // Stops at the first character that cannot continue the number; none is 0.
        {"12abc34", 12}, {".5.5", 0.5}, {"1,000", 1}, {"--5", 0}, {"+7", 7}, {"-.5", -0.5},
        {"", 0}, {"abc", 0}, {".", 0}, {"e5", 0},
        // Exponents, only when digits follow the mark.
        {"1e3", 1000}, {"1E-2", 0.01}, {"1d2", 100}, {"1e", 1}, {"1e+", 1}, {"2.5e1x", 25},
        // Hexadecimal and octal; up to four hex digits are a signed 16-bit value.
        {"&HFF", 255}, {"&h1f", 31}, {"&HFFFF", -1}, {"&HFFFFF", 1048575}, {"&O17", 15},
        {"&HG", 0}, {"&X1", 0},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(tv::Val(QString::fromUtf8(text)), expected) << '"' << text << '"';
}
// clang-format on

}  // namespace
