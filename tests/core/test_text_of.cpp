// TextOf and CStr: the plain text of each kind of value, as rows of texts hold them.
#include "core/convert.h"
#include "core/format.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

namespace {

using tvtest::PinnedRegional;

// clang-format off
TEST_F(PinnedRegional, WritesThePlainText) {
    const std::pair<tv::Variant, const char*> cases[] = {
        {tv::Variant(), ""}, {true, "True"}, {false, "False"}, {std::int16_t{-32768}, "-32768"},
        {std::int32_t{2147483647}, "2147483647"},
        // Doubles to fifteen significant digits, so arithmetic noise does not show.
        {1.5, "1.5"}, {0.1 + 0.2, "0.3"}, {-0.5, "-0.5"}, {100.0, "100"}, {0.0, "0"},
        {123456789012345.0, "123456789012345"}, {1e15, "1E+15"}, {-2.5e20, "-2.5E+20"},
        {0.0001, "0.0001"}, {1.5e-16, "1.5E-16"}, {1.0 / 3.0, "0.333333333333333"},
        {0.1f, "0.1"}, {1.0f / 3.0f, "0.3333333"}, {tv::Currency::fromDouble(2), "2"},
        {tv::Currency::fromDouble(1.2345), "1.2345"},
        {tv::Currency::fromDouble(-0.0001), "-0.0001"},
        {tv::Currency{std::numeric_limits<std::int64_t>::min()}, "-922337203685477.5808"},
        {tv::DateFromParts(2026, 12, 5, 14, 30, 0), "05/12/2026 14:30:00"},
        {tv::DateSerial(2026, 12, 5), "05/12/2026"}, {"007", "007"},
        {QByteArray("abc\xe9"), "abc\xc3\xa9"},  // Latin-1 bytes
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(tv::TextOf(value).toStdString(), expected) << expected;
        if (value.isNull()) continue;
        EXPECT_EQ(tv::CStr(value), tv::TextOf(value));
    }
    EXPECT_EQ(tvtest::conversionError([] { tv::CStr(tv::Variant()); }),
              tv::kErrInvalidUseOfNull);
}
// clang-format on

// A decimal comma is written and read everywhere numbers meet text.
TEST_F(PinnedRegional, NumbersUseTheRegionalSeparators) {
    tv::RegionalSettings r = tvtest::dayMonthYear();
    r.decimalPoint = u',';
    r.thousandsSeparator = u'.';
    r.currencySymbol = QStringLiteral("€");
    pin(r);
    EXPECT_EQ(tv::TextOf(1.5), QStringLiteral("1,5"));
    EXPECT_EQ(tv::TextOf(tv::Currency::fromDouble(2.25)), QStringLiteral("2,25"));
    EXPECT_EQ(tv::Format(1234.5, "#,##0.00"), QStringLiteral("1.234,50"));
    EXPECT_EQ(tv::Format(1234.5, "Currency"), QStringLiteral("€1.234,50"));
    EXPECT_EQ(tv::Format("2,5", "0.00"), QStringLiteral("2,50"));
    EXPECT_DOUBLE_EQ(tv::CDbl("1.500"), 1500);
    EXPECT_TRUE(tv::IsNumeric("1,5"));
    EXPECT_FALSE(tv::IsNumeric("1.5"));
    // Val reads the regional decimal point as well as the point; what is written reads back.
    EXPECT_DOUBLE_EQ(tv::Val(QStringLiteral("1.5")), 1.5);
    EXPECT_DOUBLE_EQ(tv::Val(tv::Format(1234.56, QStringLiteral("0.00"))), 1234.56);
}

}  // namespace
