// CInt, CLng, CByte, CCur, CDbl, CSng and CBool: rounding, range and the texts they accept,
// with the runtime's error numbers for what they refuse.
#include "core/convert.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

using tvtest::PinnedRegional;

// Runs a conversion and returns the error number it threw, or nullopt.
template <typename F>
std::optional<int> errorOf(F&& f) {
    try {
        f();
    } catch (const tv::ConversionError& e) {
        return e.number();
    }
    return std::nullopt;
}

struct WholeCase {
    tv::Variant input;
    long expected;  // ignored when error is set
    std::optional<int> error;
};

class CIntTest : public PinnedRegional, public ::testing::WithParamInterface<WholeCase> {};

TEST_P(CIntTest, RoundsHalfToEvenAndRefusesOverflow) {
    const WholeCase& c = GetParam();
    std::int16_t got = 0;
    const std::optional<int> error = errorOf([&] { got = tv::CInt(c.input); });
    EXPECT_EQ(error, c.error) << tv::typeName(c.input.type()).toStdString();
    if (!c.error) {
        EXPECT_EQ(got, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CIntTest,
    ::testing::Values(
        WholeCase{2.5, 2, {}}, WholeCase{3.5, 4, {}}, WholeCase{-2.5, -2, {}},
        WholeCase{0.5, 0, {}}, WholeCase{1.5, 2, {}}, WholeCase{-1.5, -2, {}},
        WholeCase{2.5000001, 3, {}}, WholeCase{32767.4, 32767, {}},
        WholeCase{-32768.5, -32768, {}},  // half to even stays in range
        WholeCase{32767.5, 0, tv::kErrOverflow}, WholeCase{-32768.6, 0, tv::kErrOverflow},
        WholeCase{40000, 0, tv::kErrOverflow}, WholeCase{1e20, 0, tv::kErrOverflow},
        WholeCase{true, -1, {}}, WholeCase{false, 0, {}},
        WholeCase{tv::Currency::fromDouble(2.5), 2, {}}, WholeCase{tv::DateTime{1.5}, 2, {}},
        // Texts must be numbers as a whole; blanks around are allowed.
        WholeCase{" 12 ", 12, {}}, WholeCase{"2.5", 2, {}}, WholeCase{"1,000", 1000, {}},
        WholeCase{"1e3", 1000, {}}, WholeCase{"&H8000", -32768, {}}, WholeCase{"-7", -7, {}},
        WholeCase{"40000", 0, tv::kErrOverflow}, WholeCase{"12abc", 0, tv::kErrTypeMismatch},
        WholeCase{"", 0, tv::kErrTypeMismatch}, WholeCase{"  ", 0, tv::kErrTypeMismatch},
        WholeCase{"True", 0, tv::kErrTypeMismatch}, WholeCase{"1,", 0, tv::kErrTypeMismatch},
        WholeCase{QByteArray("1"), 0, tv::kErrTypeMismatch},
        WholeCase{tv::Variant(), 0, tv::kErrInvalidUseOfNull}));

TEST_F(PinnedRegional, CLngAndCByteHaveTheirOwnRanges) {
    EXPECT_EQ(tv::CLng(40000), 40000);
    EXPECT_EQ(tv::CLng(2147483647.4), 2147483647);
    EXPECT_EQ(tv::CLng(-2147483648.5), -2147483647 - 1);
    EXPECT_EQ(errorOf([] { tv::CLng(2147483647.5); }), tv::kErrOverflow);
    EXPECT_EQ(errorOf([] { tv::CLng("3000000000"); }), tv::kErrOverflow);
    EXPECT_EQ(tv::CLng(4.5), 4);

    EXPECT_EQ(tv::CByte(255), 255);
    EXPECT_EQ(tv::CByte(-0.5), 0);
    EXPECT_EQ(errorOf([] { tv::CByte(256); }), tv::kErrOverflow);
    EXPECT_EQ(errorOf([] { tv::CByte(-1); }), tv::kErrOverflow);
}

TEST_F(PinnedRegional, CCurKeepsFourDecimalsAndChecksRange) {
    EXPECT_EQ(tv::CCur("1.5").scaled, 15000);
    EXPECT_EQ(tv::CCur(1.23456).scaled, 12346);
    EXPECT_EQ(tv::CCur(-2.25).scaled, -22500);
    EXPECT_EQ(tv::CCur(true).scaled, -10000);
    EXPECT_EQ(errorOf([] { tv::CCur(1e18); }), tv::kErrOverflow);
    EXPECT_EQ(errorOf([] { tv::CCur("ten"); }), tv::kErrTypeMismatch);
}

TEST_F(PinnedRegional, CDblAndCSngReadNumbersDatesAndTexts) {
    EXPECT_DOUBLE_EQ(tv::CDbl("1.5e2"), 150);
    EXPECT_DOUBLE_EQ(tv::CDbl(" -0.25 "), -0.25);
    EXPECT_DOUBLE_EQ(tv::CDbl(true), -1);
    EXPECT_DOUBLE_EQ(tv::CDbl(tv::DateTime{46361.5}), 46361.5);
    EXPECT_DOUBLE_EQ(tv::CDbl(tv::Currency::fromDouble(12.3456)), 12.3456);
    EXPECT_EQ(errorOf([] { tv::CDbl("1.5.2"); }), tv::kErrTypeMismatch);
    EXPECT_EQ(errorOf([] { tv::CDbl("1e400"); }), tv::kErrTypeMismatch);
    EXPECT_EQ(errorOf([] { tv::CDbl(tv::Variant()); }), tv::kErrInvalidUseOfNull);
    EXPECT_FLOAT_EQ(tv::CSng("0.1"), 0.1f);
    EXPECT_EQ(errorOf([] { tv::CSng(1e39); }), tv::kErrOverflow);
}

TEST_F(PinnedRegional, NumbersFollowTheRegionalDecimalPoint) {
    tv::RegionalSettings r = tvtest::dayMonthYear();
    r.decimalPoint = u',';
    r.thousandsSeparator = u'.';
    pin(r);
    EXPECT_DOUBLE_EQ(tv::CDbl("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(tv::CDbl("1.500"), 1500);
    EXPECT_TRUE(tv::IsNumeric("1,5"));
    EXPECT_EQ(errorOf([] { tv::CDbl("1.5"); }), tv::kErrTypeMismatch);
}

struct BoolCase {
    tv::Variant input;
    bool expected;
    std::optional<int> error;
};

class CBoolTest : public PinnedRegional, public ::testing::WithParamInterface<BoolCase> {};

TEST_P(CBoolTest, AcceptsTruthWordsAndNumbers) {
    const BoolCase& c = GetParam();
    bool got = false;
    const std::optional<int> error = errorOf([&] { got = tv::CBool(c.input); });
    EXPECT_EQ(error, c.error);
    if (!c.error) {
        EXPECT_EQ(got, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CBoolTest,
    ::testing::Values(BoolCase{"True", true, {}}, BoolCase{"true", true, {}},
                      BoolCase{"FALSE", false, {}}, BoolCase{" True ", true, {}},
                      BoolCase{"0", false, {}}, BoolCase{"-1", true, {}}, BoolCase{"1", true, {}},
                      BoolCase{"0.0", false, {}}, BoolCase{"2.5", true, {}}, BoolCase{0, false, {}},
                      BoolCase{0.001, true, {}}, BoolCase{tv::DateTime{0.0}, false, {}},
                      BoolCase{"yes", false, tv::kErrTypeMismatch},
                      BoolCase{"", false, tv::kErrTypeMismatch},
                      BoolCase{"Truex", false, tv::kErrTypeMismatch},
                      BoolCase{tv::Variant(), false, tv::kErrInvalidUseOfNull}));

struct NumericCase {
    tv::Variant input;
    bool expected;
};

class IsNumericTest : public PinnedRegional, public ::testing::WithParamInterface<NumericCase> {};

TEST_P(IsNumericTest, AgreesWithWhatCDblReads) {
    const NumericCase& c = GetParam();
    EXPECT_EQ(tv::IsNumeric(c.input), c.expected);
    // IsNumeric promises exactly that CDbl succeeds.
    if (c.input.type() == tv::VarType::String) {
        EXPECT_EQ(!errorOf([&] { tv::CDbl(c.input); }).has_value(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsNumericTest,
    ::testing::Values(NumericCase{"12", true}, NumericCase{" 12 ", true}, NumericCase{"-1.5", true},
                      NumericCase{"+.5", true}, NumericCase{"1.", true}, NumericCase{"1e3", true},
                      NumericCase{"&HFF", true}, NumericCase{"1,000", true},
                      NumericCase{"007", true}, NumericCase{"", false}, NumericCase{" ", false},
                      NumericCase{"abc", false}, NumericCase{"12abc", false},
                      NumericCase{".", false}, NumericCase{"-", false}, NumericCase{"1e", false},
                      NumericCase{"&H", false}, NumericCase{"1 2", false}, NumericCase{",1", false},
                      NumericCase{"1,0", false}, NumericCase{"1,2,3", false},
                      NumericCase{"12,345,678.5", true}, NumericCase{"05/12/2026", false},
                      NumericCase{tv::Variant(), false}, NumericCase{2.5, true},
                      NumericCase{true, true}, NumericCase{tv::DateTime{1.0}, false}));

}  // namespace
