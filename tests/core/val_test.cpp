// Val reads the number at the start of a text the way stored figures and typed boxes are
// read back throughout the program: it never fails, it skips blanks anywhere, and it stops
// at the first character that cannot continue the number.
#include "core/convert.h"
#include "core/format.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

namespace {

using tvtest::PinnedRegional;

struct ValCase {
    const char* text;
    double expected;
};

class ValTest : public PinnedRegional, public ::testing::WithParamInterface<ValCase> {};

TEST_P(ValTest, ReadsLeadingNumber) {
    const ValCase& c = GetParam();
    EXPECT_DOUBLE_EQ(tv::Val(QString::fromUtf8(c.text)), c.expected) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValTest,
    ::testing::Values(
        // Blanks, tabs and line feeds are skipped anywhere, even inside the digits.
        ValCase{"  1 2 3abc", 123}, ValCase{"\t\n42", 42}, ValCase{"- 5", -5},
        ValCase{"1\r2", 1},  // a carriage return is not a blank
        // Stops at the first character that cannot continue the number.
        ValCase{"12abc34", 12}, ValCase{".5.5", 0.5}, ValCase{"3.14.15", 3.14}, ValCase{"1,000", 1},
        ValCase{"--5", 0}, ValCase{"+7", 7}, ValCase{"-.5", -0.5},
        // No number at all is 0.
        ValCase{"", 0}, ValCase{"abc", 0}, ValCase{".", 0}, ValCase{"e5", 0},
        // Exponents, only when digits follow the mark.
        ValCase{"1e3", 1000}, ValCase{"1E-2", 0.01}, ValCase{"1d2", 100}, ValCase{"1e", 1},
        ValCase{"1e+", 1}, ValCase{"2.5e1x", 25},
        // Hexadecimal and octal; up to four hex digits are a signed 16-bit value.
        ValCase{"&HFF", 255}, ValCase{"&h1f", 31}, ValCase{"&HFFFF", -1},
        ValCase{"&HFFFFF", 1048575}, ValCase{"&O17", 15}, ValCase{"&HG", 0}, ValCase{"&X1", 0}));

TEST_F(PinnedRegional, ValReadsRegionalDecimalPointAsWellAsThePoint) {
    tv::RegionalSettings r = tvtest::dayMonthYear();
    r.decimalPoint = u',';
    r.thousandsSeparator = u'.';
    pin(r);
    EXPECT_DOUBLE_EQ(tv::Val(QStringLiteral("1,5")), 1.5);
    EXPECT_DOUBLE_EQ(tv::Val(QStringLiteral("1.5")), 1.5);
    // A figure the program wrote itself reads back to the same value.
    EXPECT_DOUBLE_EQ(tv::Val(tv::Format(1234.56, QStringLiteral("0.00"))), 1234.56);
}

}  // namespace
