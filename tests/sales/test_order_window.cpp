// The Order window: a quotation copied in, tracked products becoming inventory items, a
// payment logged.
#include "sales/sales_fixture.h"

#include "forms/framework/pick_list.h"
#include "forms/sales/order_window.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace tvtest {
namespace {

using tv::data::msgbox::kNo;
using tv::data::msgbox::kYes;

TEST_F(SalesTest, AnOrderFromAQuotationMakesInventoryItemsAndLogsItsPayment) {
    execData({"INSERT INTO QUOTATIONS VALUES (5, #2026-11-01#, #2026-11-08#, 'O''Brien Plumbing & Gas', "
              "'Ann', 'Spring', 'quoter', 1818, 10, 181.8, 2009.8, 'Deliver to the side door')",
              "INSERT INTO [QUOTATIONS DETAIL] VALUES (5, 1, 'COPIER', 'Office copier', 2.5, 900, 0, 10, 2475)",
              "INSERT INTO [QUOTATIONS DETAIL] VALUES (5, 2, 'PAPER', 'Paper', 4, 4.5, 0, 0, 18)"});
    auto* order = qobject_cast<tv::forms::OrderWindow*>(openNew("Sales Orders"));
    ASSERT_NE(order, nullptr);
    const QString rep = order->findChild<tv::forms::PickList*>("SalesRep")->currentText();
    ask.message(kYes, "Quotation No:\n5");
    order->copyQuotation("5");
    EXPECT_EQ(order->findChild<tv::forms::PickList*>("ContactName")->currentText(), "Ann");
    EXPECT_EQ(order->findChild<tv::forms::PickList*>("Campaign")->currentText(), "Spring");
    EXPECT_EQ(order->findChild<tv::forms::PickList*>("SalesRep")->currentText(), rep);
    EXPECT_EQ(order->findChild<QPlainTextEdit*>("Comments")->toPlainText(), "Deliver to the side door");
    EXPECT_EQ(order->findChild<QLineEdit*>("FreightTotal")->text(), "10.00");
    EXPECT_EQ(order->lines().size(), 2u);
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM [SALES ORDERS DETAIL]"), "0") << "nothing before the save";

    order->findChild<QLineEdit*>("AmountPaid")->setText("100");
    ASSERT_TRUE(order->save());
    // 2.5 copiers make 2 items (halves to even), numbered across the order.
    EXPECT_EQ(dataRows("SELECT ITEMID, PRODUCTCODE, [CUSTOMER NAME], ORDERNO, SOURCEDOCID FROM "
                       "[CUSTOMER INVENTORY] ORDER BY ITEMID"),
              QStringList({"_1/1|COPIER|O'Brien Plumbing & Gas|1|1", "_1/2|COPIER|O'Brien Plumbing & Gas|1|1"}));
    EXPECT_EQ(dataRows("SELECT DESCRIPTION FROM ACTIVITIES ORDER BY DESCRIPTION"),
              QStringList({"Payment received ($100.00)", "Sales order taken (1)"}));

    // Saved again with the same payment: the items are kept when the user says so, and no
    // second payment is logged.
    ask.message(kNo, "already been created");
    ASSERT_TRUE(order->save());
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM [CUSTOMER INVENTORY]"), "2");
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM ACTIVITIES"), "2");
}

}  // namespace
}  // namespace tvtest
