// Format with digit patterns and the named number and truth-value formats.
#include "core/format.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

namespace {

using tvtest::PinnedRegional;

struct FormatCase {
    tv::Variant value;
    const char* pattern;
    const char* expected;
};

class FormatNumber : public PinnedRegional, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatNumber, WritesTheValue) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(tv::Format(c.value, QString::fromUtf8(c.pattern)).toStdString(), c.expected)
        << "pattern " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    DigitPatterns, FormatNumber,
    ::testing::Values(
        // Whole numbers round half away from zero (unlike CInt).
        FormatCase{2.5, "0", "3"}, FormatCase{-2.5, "0", "-3"}, FormatCase{0.4, "0", "0"},
        FormatCase{5, "00", "05"}, FormatCase{123, "00", "123"}, FormatCase{99, "0000", "0099"},
        FormatCase{12345, "0000", "12345"},
        // Two decimals on the decimal value a person sees, not the binary one.
        FormatCase{2.345, "0.00", "2.35"}, FormatCase{1.005, "0.00", "1.01"},
        FormatCase{9.995, "0.00", "10.00"}, FormatCase{-0.5, "0.00", "-0.50"},
        FormatCase{-0.001, "0.00", "0.00"},  // no "-0.00"
        FormatCase{1234.5, "0.00", "1234.50"}, FormatCase{0.0005, "0.000", "0.001"},
        FormatCase{1.5, "0.000", "1.500"}, FormatCase{1e15, "0", "1000000000000000"},
        // Grouping, optional digits, percent, scaling, literals.
        FormatCase{1234567.891, "#,##0.00", "1,234,567.89"}, FormatCase{0, "#,##0.00", "0.00"},
        FormatCase{-1234.5, "#,##0.00", "-1,234.50"}, FormatCase{999.5, "#,##0", "1,000"},
        FormatCase{0.5, "#.##", ".5"}, FormatCase{5, "#.##", "5."}, FormatCase{1.5, "0.0#", "1.5"},
        FormatCase{1.255, "0.0#", "1.26"}, FormatCase{0.255, "0%", "26%"},
        FormatCase{1234567, "#,##0,", "1,235"}, FormatCase{5551234, "000-0000", "555-1234"},
        FormatCase{1234.5, "$#,##0.00", "$1,234.50"}, FormatCase{-5, "$0.00", "-$5.00"},
        FormatCase{7, "\"No. \"0", "No. 7"},
        FormatCase{3, "0 units", "3 units"},  // letters in a number pattern are text
        FormatCase{7, "0\\%", "7%"}, FormatCase{12345, "0.00E+00", "1.23E+04"},
        FormatCase{0.00012, "0.0E-00", "1.2E-04"},
        // Sections: positive; negative; zero; null.
        FormatCase{-1.5, "0.00;(0.00)", "(1.50)"}, FormatCase{1.5, "0.00;(0.00)", "1.50"},
        FormatCase{0, "0.00;(0.00);\"zero\"", "zero"},
        FormatCase{tv::Variant(), "0.00;(0.00);zero;none", "none"},
        FormatCase{-2, "0;;zero", "-2"}));

INSTANTIATE_TEST_SUITE_P(
    ValueKinds, FormatNumber,
    ::testing::Values(FormatCase{tv::Variant(), "0.00", ""}, FormatCase{tv::Variant(), "", ""},
                      FormatCase{std::int16_t{5}, "00", "05"}, FormatCase{true, "0", "-1"},
                      FormatCase{tv::Currency::fromDouble(12.345), "0.00", "12.35"},
                      FormatCase{tv::DateTime{46361.75}, "0.00", "46361.75"},
                      // Texts that read as numbers are numbers; other texts stay as they are.
                      FormatCase{"007", "", "007"}, FormatCase{"007", "0", "7"},
                      FormatCase{" 2.5 ", "0.00", "2.50"}, FormatCase{"1,234.5", "0.00", "1234.50"},
                      FormatCase{"Smith", "0.00", "Smith"},
                      FormatCase{"O'Brien", "#,##0", "O'Brien"}, FormatCase{"", "0.00", ""},
                      FormatCase{QByteArray("42"), "000", "042"}));

INSTANTIATE_TEST_SUITE_P(
    NamedFormats, FormatNumber,
    ::testing::Values(
        FormatCase{1234.5, "Fixed", "1234.50"}, FormatCase{1234.5, "Standard", "1,234.50"},
        FormatCase{0.5, "Percent", "50.00%"}, FormatCase{1234.5, "Currency", "$1,234.50"},
        FormatCase{-5, "currency", "-$5.00"}, FormatCase{1.5, "General Number", "1.5"},
        FormatCase{12345, "Scientific", "1.23E+04"}, FormatCase{true, "Yes/No", "Yes"},
        FormatCase{false, "Yes/No", "No"}, FormatCase{0, "True/False", "False"},
        FormatCase{-1, "True/False", "True"}, FormatCase{2.5, "On/Off", "On"},
        FormatCase{"False", "True/False", "False"}, FormatCase{"true", "Yes/No", "Yes"},
        FormatCase{"0", "True/False", "False"}, FormatCase{"abc", "True/False", "abc"},
        FormatCase{tv::Variant(), "Yes/No", ""}, FormatCase{"abc", ">", "ABC"},
        FormatCase{"AbC", "<", "abc"}));

TEST_F(PinnedRegional, NumbersUseTheRegionalSeparators) {
    tv::RegionalSettings r = tvtest::dayMonthYear();
    r.decimalPoint = u',';
    r.thousandsSeparator = u'.';
    r.currencySymbol = QStringLiteral("€");
    pin(r);
    EXPECT_EQ(tv::Format(1234.5, "#,##0.00"), QStringLiteral("1.234,50"));
    EXPECT_EQ(tv::Format(2.5, "0.00"), QStringLiteral("2,50"));
    EXPECT_EQ(tv::Format(1234.5, "Currency"), QStringLiteral("€1.234,50"));
    EXPECT_EQ(tv::Format("2,5", "0.00"), QStringLiteral("2,50"));
}

}  // namespace
