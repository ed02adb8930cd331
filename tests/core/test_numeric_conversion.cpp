// CInt, CLng, CByte, CCur, CDbl, CSng and CBool: rounding, range and the texts they accept,
// with the runtime's error numbers for what they refuse; IsNumeric agrees with CDbl.
#include "core/convert.h"
#include "core/format.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

namespace {

using tvtest::PinnedRegional;

using tvtest::conversionError;

constexpr int kOverflow = tv::kErrOverflow;
constexpr int kMismatch = tv::kErrTypeMismatch;

TEST_F(PinnedRegional, CIntRoundsHalfToEvenAndRefusesOverflow) {
    struct Case {
        tv::Variant input;
        long expected;  // the error number when `fails`
        bool fails = false;
    };
    // clang-format off
    const Case cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {-1.5, -2}, {2.5000001, 3}, {32767.4, 32767},
        {-32768.5, -32768},  // half to even stays in range
        {32767.5, kOverflow, true}, {-32768.6, kOverflow, true}, {1e20, kOverflow, true},
        {true, -1}, {tv::Currency::fromDouble(2.5), 2}, {tv::DateTime{1.5}, 2},
        // Texts must be numbers as a whole; blanks around are allowed.
        {" 12 ", 12}, {"2.5", 2}, {"1,000", 1000}, {"1e3", 1000}, {"&H8000", -32768},
        {"40000", kOverflow, true}, {"12abc", kMismatch, true}, {"  ", kMismatch, true},
        {"True", kMismatch, true}, {"1,", kMismatch, true}, {QByteArray("1"), kMismatch, true},
        {tv::Variant(), tv::kErrInvalidUseOfNull, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::int16_t got = 0;
        const std::optional<int> error = conversionError([&] { got = tv::CInt(c.input); });
        EXPECT_EQ(error, c.fails ? std::optional<int>(c.expected) : std::nullopt)
            << tv::typeName(c.input.type()).toStdString() << " " << c.expected;
        EXPECT_EQ(got, c.fails ? 0 : c.expected);
    }
}

TEST_F(PinnedRegional, CLngCByteAndCCurHaveTheirOwnRanges) {
    EXPECT_EQ(tv::CLng(2147483647.4), 2147483647);
    EXPECT_EQ(tv::CLng(-2147483648.5), -2147483647 - 1);
    EXPECT_EQ(conversionError([] { tv::CLng(2147483647.5); }), kOverflow);
    EXPECT_EQ(conversionError([] { tv::CLng("3000000000"); }), kOverflow);
    EXPECT_EQ(tv::CByte(-0.5), 0);
    EXPECT_EQ(conversionError([] { tv::CByte(256); }), kOverflow);
    EXPECT_EQ(conversionError([] { tv::CByte(-1); }), kOverflow);
    EXPECT_EQ(tv::CCur(1.23456).scaled, 12346);
    EXPECT_EQ(tv::CCur(true).scaled, -10000);
    EXPECT_EQ(conversionError([] { tv::CCur(1e18); }), kOverflow);
    EXPECT_EQ(conversionError([] { tv::CCur("ten"); }), kMismatch);
}

TEST_F(PinnedRegional, CDblAndCSngReadNumbersDatesAndTexts) {
    EXPECT_DOUBLE_EQ(tv::CDbl(" -0.25 "), -0.25);
    EXPECT_DOUBLE_EQ(tv::CDbl(true), -1);
    EXPECT_DOUBLE_EQ(tv::CDbl(tv::DateTime{46361.5}), 46361.5);
    EXPECT_DOUBLE_EQ(tv::CDbl(tv::Currency::fromDouble(12.3456)), 12.3456);
    EXPECT_EQ(conversionError([] { tv::CDbl("1e400"); }), kMismatch);
    EXPECT_EQ(conversionError([] { tv::CDbl(tv::Variant()); }), tv::kErrInvalidUseOfNull);
    EXPECT_EQ(conversionError([] { tv::CSng(1e39); }), kOverflow);
    EXPECT_FALSE(tv::numberOf(tv::Variant()).has_value());
    EXPECT_FALSE(tv::numberOf(QByteArray("1")).has_value());
}

TEST_F(PinnedRegional, CBoolAcceptsTruthWordsAndNumbers) {
    for (const tv::Variant& yes : {tv::Variant("True"), tv::Variant(" true "), tv::Variant("-1"),
                                   tv::Variant("2.5"), tv::Variant(0.001)})
        EXPECT_TRUE(tv::CBool(yes)) << tv::TextOf(yes).toStdString();
    for (const tv::Variant& no :
         {tv::Variant("FALSE"), tv::Variant("0.0"), tv::Variant(0), tv::Variant(tv::DateTime{0.0})})
        EXPECT_FALSE(tv::CBool(no)) << tv::TextOf(no).toStdString();
    for (const char* bad : {"yes", "", "Truex"})
        EXPECT_EQ(conversionError([&] { tv::CBool(bad); }), kMismatch) << bad;
    EXPECT_EQ(conversionError([] { tv::CBool(tv::Variant()); }), tv::kErrInvalidUseOfNull);
}

TEST_F(PinnedRegional, IsNumericAgreesWithWhatCDblReads) {
    // clang-format off
    const std::pair<const char*, bool> texts[] = {
        {"12", true}, {"-1.5", true}, {"+.5", true}, {"1.", true}, {"1e3", true}, {"&HFF", true},
        {"1,000", true}, {"007", true}, {"12,345,678.5", true}, {"", false}, {" ", false},
        {"abc", false}, {"12abc", false}, {".", false}, {"-", false}, {"1e", false}, {"&H", false},
        {"1 2", false}, {",1", false}, {"1,0", false}, {"1,2,3", false}, {"05/12/2026", false},
    };
    // clang-format on
    for (const auto& [text, numeric] : texts) {
        EXPECT_EQ(tv::IsNumeric(text), numeric) << text;
        EXPECT_EQ(!conversionError([&] { tv::CDbl(text); }).has_value(), numeric) << text;
    }
    EXPECT_TRUE(tv::IsNumeric(true));
    EXPECT_FALSE(tv::IsNumeric(tv::DateTime{1.0}));
    EXPECT_FALSE(tv::IsNumeric(tv::Variant()));
}

}  // namespace
