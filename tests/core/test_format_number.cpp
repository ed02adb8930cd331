// Format with digit patterns and the named number and truth-value formats.
#include "core/format.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

namespace {

using tvtest::PinnedRegional;

// clang-format off
TEST_F(PinnedRegional, WritesNumbersWithPatternsAndNamedFormats) {
    const std::tuple<tv::Variant, const char*, const char*> cases[] = {
        // Whole numbers round half away from zero (unlike CInt).
        {2.5, "0", "3"}, {-2.5, "0", "-3"}, {0.4, "0", "0"}, {5, "00", "05"}, {123, "00", "123"},
        {12345, "0000", "12345"},
        // Two decimals on the decimal value a person sees, not the binary one.
        {2.345, "0.00", "2.35"}, {1.005, "0.00", "1.01"}, {9.995, "0.00", "10.00"},
        {-0.5, "0.00", "-0.50"}, {-0.001, "0.00", "0.00"},  // no "-0.00"
        {0.0005, "0.000", "0.001"}, {1e15, "0", "1000000000000000"},
        // Grouping, optional digits, percent, scaling, literals.
        {1234567.891, "#,##0.00", "1,234,567.89"}, {0, "#,##0.00", "0.00"},
        {-1234.5, "#,##0.00", "-1,234.50"}, {999.5, "#,##0", "1,000"}, {0.5, "#.##", ".5"},
        {5, "#.##", "5."}, {1.5, "0.0#", "1.5"}, {1.255, "0.0#", "1.26"}, {0.255, "0%", "26%"},
        {1234567, "#,##0,", "1,235"}, {5551234, "000-0000", "555-1234"},
        {-5, "$0.00", "-$5.00"}, {7, "\"No. \"0", "No. 7"},
        {3, "0 units", "3 units"},  // letters in a number pattern are text
        {7, "0\\%", "7%"}, {12345, "0.00E+00", "1.23E+04"}, {0.00012, "0.0E-00", "1.2E-04"},
        {1.0 / 3, "0.0000000000000000000000000000000000000000000000000000000000000000000000E+00",  // 15 digits, then zeros
         "3.3333333333333300000000000000000000000000000000000000000000000000000000E-01"},
        // Sections: positive; negative; zero; null.
        {-1.5, "0.00;(0.00)", "(1.50)"}, {1.5, "0.00;(0.00)", "1.50"},
        {0, "0.00;(0.00);\"zero\"", "zero"}, {tv::Variant(), "0.00;(0.00);zero;none", "none"},
        {-2, "0;;zero", "-2"},
        // Kinds of value: texts that read as numbers are numbers, other texts stay as they are.
        {tv::Variant(), "0.00", ""}, {std::int16_t{5}, "00", "05"}, {true, "0", "-1"},
        {tv::Currency::fromDouble(12.345), "0.00", "12.35"},
        {tv::DateTime{46361.75}, "0.00", "46361.75"}, {"007", "", "007"}, {"007", "0", "7"},
        {" 2.5 ", "0.00", "2.50"}, {"1,234.5", "0.00", "1234.50"},
        {"Smith", "0.00", "Smith"}, {"", "0.00", ""}, {QByteArray("42"), "000", "042"},
        // Named formats.
        {1234.5, "Fixed", "1234.50"}, {1234.5, "Standard", "1,234.50"}, {0.5, "Percent", "50.00%"},
        {1234.5, "Currency", "$1,234.50"}, {-5, "currency", "-$5.00"},
        {1.5, "General Number", "1.5"},
        {12345, "Scientific", "1.23E+04"}, {true, "Yes/No", "Yes"}, {0, "True/False", "False"},
        {2.5, "On/Off", "On"}, {"true", "Yes/No", "Yes"}, {"0", "True/False", "False"},
        {"abc", "True/False", "abc"}, {tv::Variant(), "Yes/No", ""}, {"AbC", ">", "ABC"},
        {"AbC", "<", "abc"},
    };
    for (const auto& [value, pattern, expected] : cases)
        EXPECT_EQ(tv::Format(value, QString::fromUtf8(pattern)).toStdString(), expected)
            << "pattern " << pattern;
}
// clang-format on

}  // namespace
