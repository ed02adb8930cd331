// The line-item dialog: the price a product is offered at on a given day, the line value,
// and what it refuses.
#include "sales/sales_fixture.h"

#include "core/convert.h"
#include "forms/sales/line_item_dialog.h"

#include <QComboBox>
#include <QLineEdit>

namespace tvtest {
namespace {

using tv::forms::LineItemDialog;

struct PriceCase {
    const char* name;
    tv::DateTime now;
    const char* price;
    const char* value;  // 3 at that price, 10 % tax
};

class SpecialPrice : public SalesTest, public ::testing::WithParamInterface<PriceCase> {};

TEST_P(SpecialPrice, AppliesOnlyBetweenItsStartAndEnd) {
    ask.setNow(GetParam().now);
    LineItemDialog dialog(nullptr, "Quotations Detail", "7", 1);
    dialog.findChild<QComboBox*>("ProductCode")->setEditText("toner");
    dialog.productChosen();
    dialog.findChild<QLineEdit*>("Quantity")->setText("3");
    dialog.recompute();
    EXPECT_EQ(dialog.findChild<QLineEdit*>("Description")->text(), "Toner cartridge");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("UnitPrice")->text(), GetParam().price);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("LineValue")->text(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Days, SpecialPrice,
    ::testing::Values(PriceCase{"TheDayBefore", tv::DateFromParts(2026, 11, 30, 23, 59, 59), "19.99", "65.97"},
                      PriceCase{"TheFirstDay", tv::DateFromParts(2026, 12, 1), "15.00", "49.50"},
                      PriceCase{"TheLastMidnight", tv::DateFromParts(2026, 12, 10), "15.00", "49.50"},
                      // The end is a moment: once the last day has begun it has passed.
                      PriceCase{"DuringTheLastDay", tv::DateFromParts(2026, 12, 10, 9, 0, 0), "19.99", "65.97"}),
    [](const auto& info) { return std::string(info.param.name); });

// A code that is no product is kept as typed, priced by hand; a credit computes negative; a
// quantity that is not a number is refused with the field named, and nothing typed is lost.
TEST_F(SalesTest, FreeCodesCreditsAndBadNumbers) {
    LineItemDialog dialog(nullptr, "Sales Orders Detail", "7", 2);
    dialog.findChild<QComboBox*>("ProductCode")->setEditText("Projects:Head Office Move");
    dialog.productChosen();
    for (const auto& [box, text] : {std::pair{"Description", "Moving day"}, {"Quantity", "-2"},
                                    {"UnitPrice", "10"}, {"DiscountRate", "10"}, {"TaxRate", "10"}})
        dialog.findChild<QLineEdit*>(box)->setText(text);
    dialog.SaveDetails();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.line().productCode, "Projects:Head Office Move");
    EXPECT_DOUBLE_EQ(dialog.line().lineValue, -19.80);
    EXPECT_EQ(tv::data::state().FieldValues.toList().mid(0, 3), QStringList({"7", "2", "Projects:Head Office Move"}));

    LineItemDialog refused(nullptr, "Sales Orders Detail", "7", 3);
    refused.findChild<QLineEdit*>("Quantity")->setText("two");
    ask.message(tv::data::msgbox::kOk, "Quantity: two");
    refused.SaveDetails();
    EXPECT_NE(refused.result(), QDialog::Accepted);
    EXPECT_EQ(refused.findChild<QLineEdit*>("Quantity")->text(), "two");
}

}  // namespace
}  // namespace tvtest
