// The money of a sales document: each line's value, and the totals of its lines, to the cent.
#include "data/document_figures.h"

#include <gtest/gtest.h>
#include <QString>

namespace tvtest {
namespace {

using namespace tv::data;

QString money(tv::Currency c) { return moneyText(c); }

struct LineCase {
    const char* name;
    LineInput line;
    const char* net;
    const char* tax;
    const char* value;
};

class LineValue : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineValue, IsNetPlusTaxToTheCent) {
    const LineCase& c = GetParam();
    const LineFigures f = lineFigures(c.line);
    EXPECT_EQ(money(f.net), c.net);
    EXPECT_EQ(money(f.tax), c.tax);
    EXPECT_EQ(money(f.value), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineValue,
    ::testing::Values(
        LineCase{"TaxOnNet", {2, 10, 10, 10, std::nullopt}, "18.00", "1.80", "19.80"},
        LineCase{"TaxOnCost", {2, 10, 10, 10, 6.0}, "18.00", "1.20", "19.20"},
        // 59.97 less 7.49625 is 52.47375; its tax 5.247375; together 57.721125.
        LineCase{"EighthOffThreeAt1999", {3, 19.99, 12.5, 10, std::nullopt}, "52.47", "5.25",
                 "57.72"},
        LineCase{"ACreditIsNegativeThroughout", {-2, 10, 10, 10, std::nullopt}, "-18.00", "-1.80",
                 "-19.80"},
        // Half a cent rounds away from zero, either side of it.
        LineCase{"HalfACentRoundsUp", {1, 0.125, 0, 0, std::nullopt}, "0.13", "0.00", "0.13"},
        LineCase{"HalfACentOfACreditRoundsDown", {-1, 0.125, 0, 0, std::nullopt}, "-0.13", "0.00",
                 "-0.13"},
        LineCase{"EmptyLine", {}, "0.00", "0.00", "0.00"}),
    [](const auto& info) { return std::string(info.param.name); });

// The total is the sum of the figures shown: 10.006 and 0.006 show as 10.01 and 0.01 and make
// 10.02, where the unrounded 10.012 would have shown 10.01.
TEST(DocumentTotals, AddUpTheRoundedFiguresShown) {
    const DocumentTotals t = documentTotals({{1, 10.006, 0, 0, std::nullopt},
                                             {1, 0, 0, 0, std::nullopt},
                                             {0.006, 1, 0, 100, 1.0}},
                                            2.499);
    EXPECT_EQ(money(t.items), "10.01");
    EXPECT_EQ(money(t.tax), "0.01");
    EXPECT_EQ(money(t.freight), "2.50");
    EXPECT_EQ(money(t.total), "12.52");
}

// A thousand lines of 0.10 make 100.00 exactly; summing doubles drifts off it.
TEST(DocumentTotals, ManyLinesDoNotDrift) {
    const std::vector<LineInput> lines(1000, LineInput{1, 0.1, 0, 0, std::nullopt});
    const DocumentTotals t = documentTotals(lines, 0);
    EXPECT_EQ(t.items.scaled, 1000000);
    EXPECT_EQ(money(t.total), "100.00");
}

}  // namespace
}  // namespace tvtest
