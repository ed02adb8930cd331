// The Quote window: lines added, changed and deleted in memory, then the quotation saved
// with its number, its lines renumbered, its totals and its activity entry.
#include "sales/sales_fixture.h"

#include "forms/sales/document_window.h"

#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>

namespace tvtest {
namespace {

using tv::data::msgbox::kYes;

TEST_F(SalesTest, AQuotationIsNumberedAndStoredWithItsLinesRenumbered) {
    auto* quote = qobject_cast<tv::forms::DocumentWindow*>(openNew("Quotations"));
    ASSERT_NE(quote, nullptr);
    answerLineDialog({{"ProductCode", "TONER"}, {"Quantity", "3"}, {"DiscountRate", "12.5"}});
    quote->addLine();
    answerLineDialog({{"ProductCode", "PAPER"}, {"Quantity", "10"}});
    quote->addLine();
    answerLineDialog({{"ProductCode", "Delivery"}, {"Quantity", "1"}, {"UnitPrice", "25"}});
    quote->addLine();
    answerLineDialog({{"Quantity", "not yet"}});  // refused: the line stays as it was
    ask.message(tv::data::msgbox::kOk, "number");
    quote->addLine();
    ASSERT_EQ(quote->lines().size(), 3u);

    // The second line goes; the third closes up.
    quote->findChild<QTableView*>("TDBGrid1")->selectRow(1);
    ask.message(kYes, "PAPER");
    quote->deleteLine();
    quote->findChild<QLineEdit*>("FreightTotal")->setText("4.999");
    quote->recomputeTotals();
    // 52.47375 + 25 of items, 5.247375 of tax, 5.00 of freight.
    EXPECT_EQ(quote->findChild<QLineEdit*>("ItemTotal")->text(), "77.47");
    EXPECT_EQ(quote->findChild<QLineEdit*>("SalesTax")->text(), "5.25");
    EXPECT_EQ(quote->findChild<QLineEdit*>("TotalOrder")->text(), "87.72");

    // The delivery line dragged onto the first.
    auto* grid = quote->findChild<QTableView*>("TDBGrid1");
    QMimeData* dragged = grid->model()->mimeData({grid->model()->index(1, 0)});
    grid->model()->dropMimeData(dragged, Qt::MoveAction, -1, -1, grid->model()->index(0, 0));
    delete dragged;

    ASSERT_TRUE(quote->save());
    EXPECT_EQ(quote->findChild<QLineEdit*>("DocumentId")->text(), "1");
    EXPECT_EQ(dataRows("SELECT QUOTENO, LINENO, PRODUCTCODE, QUANTITY, LINEVALUE FROM [QUOTATIONS DETAIL]"),
              QStringList({"1|1|Delivery|1|25", "1|2|TONER|3|57.72"}));
    EXPECT_EQ(dataRows("SELECT [CUSTOMER NAME], ITEMTOTAL, FREIGHTTOTAL, SALESTAX, TOTAL FROM QUOTATIONS"),
              QStringList{"O'Brien Plumbing & Gas|77.47|5|5.25|87.72"});
    EXPECT_EQ(dataValue("SELECT DESCRIPTION FROM ACTIVITIES"), "Quotation prepared (1)");

    // Saved again: the same number, no second entry, the lines replaced.
    quote->findChild<QTableView*>("TDBGrid1")->selectRow(0);
    ask.message(kYes);
    quote->deleteLine();
    ASSERT_TRUE(quote->save());
    EXPECT_EQ(dataRows("SELECT QUOTENO, LINENO, PRODUCTCODE FROM [QUOTATIONS DETAIL]"),
              QStringList{"1|1|TONER"});
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM ACTIVITIES"), "1");
}

}  // namespace
}  // namespace tvtest
