// TextOf and CStr: the plain text of each kind of value, as rows of texts hold them.
#include "core/convert.h"
#include "core/format.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

namespace {

using tvtest::PinnedRegional;

struct TextCase {
    tv::Variant value;
    const char* expected;
};

class TextOfTest : public PinnedRegional, public ::testing::WithParamInterface<TextCase> {};

TEST_P(TextOfTest, WritesThePlainText) {
    const TextCase& c = GetParam();
    EXPECT_EQ(tv::TextOf(c.value).toStdString(), c.expected)
        << tv::typeName(c.value.type()).toStdString();
    if (!c.value.isNull()) {
        EXPECT_EQ(tv::CStr(c.value), tv::TextOf(c.value));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextOfTest,
    ::testing::Values(
        TextCase{tv::Variant(), ""}, TextCase{true, "True"}, TextCase{false, "False"},
        TextCase{std::int16_t{-32768}, "-32768"}, TextCase{std::int32_t{2147483647}, "2147483647"},
        // Doubles to fifteen significant digits, so arithmetic noise does not show.
        TextCase{1.5, "1.5"}, TextCase{0.1, "0.1"}, TextCase{0.1 + 0.2, "0.3"},
        TextCase{-0.5, "-0.5"}, TextCase{100.0, "100"}, TextCase{0.0, "0"},
        TextCase{123456789012345.0, "123456789012345"}, TextCase{1e15, "1E+15"},
        TextCase{1e20, "1E+20"}, TextCase{-2.5e20, "-2.5E+20"}, TextCase{0.0001, "0.0001"},
        TextCase{1.5e-16, "1.5E-16"}, TextCase{1.0 / 3.0, "0.333333333333333"},
        TextCase{0.1f, "0.1"}, TextCase{1.0f / 3.0f, "0.3333333"},
        TextCase{tv::Currency::fromDouble(1.5), "1.5"}, TextCase{tv::Currency::fromDouble(2), "2"},
        TextCase{tv::Currency::fromDouble(1.2345), "1.2345"},
        TextCase{tv::Currency::fromDouble(-0.0001), "-0.0001"},
        TextCase{tv::Currency{std::numeric_limits<std::int64_t>::min()}, "-922337203685477.5808"},
        TextCase{tv::DateFromParts(2026, 12, 5, 14, 30, 0), "05/12/2026 14:30:00"},
        TextCase{tv::DateSerial(2026, 12, 5), "05/12/2026"}, TextCase{"007", "007"},
        TextCase{"O'Brien", "O'Brien"},
        TextCase{QByteArray("abc\xe9"), "abc\xc3\xa9"}));  // Latin-1 bytes

TEST_F(PinnedRegional, CStrOfNullIsAnError) {
    try {
        tv::CStr(tv::Variant());
        FAIL() << "no error";
    } catch (const tv::ConversionError& e) {
        EXPECT_EQ(e.number(), tv::kErrInvalidUseOfNull);
        EXPECT_FALSE(e.text().isEmpty());
    }
}

TEST_F(PinnedRegional, NumbersUseTheRegionalDecimalPoint) {
    tv::RegionalSettings r = tvtest::dayMonthYear();
    r.decimalPoint = u',';
    r.thousandsSeparator = u'.';
    pin(r);
    EXPECT_EQ(tv::TextOf(1.5), QStringLiteral("1,5"));
    EXPECT_EQ(tv::TextOf(tv::Currency::fromDouble(2.25)), QStringLiteral("2,25"));
    EXPECT_EQ(tv::TextOf(2.5e20), QStringLiteral("2,5E+20"));
    // And what is written reads back.
    EXPECT_DOUBLE_EQ(tv::CDbl(tv::TextOf(1234.5678)), 1234.5678);
}

}  // namespace
