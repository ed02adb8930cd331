// The Billing window: what it refuses, and a run from its controls to the finishing message.
#include "sales/sales_fixture.h"

#include "forms/sales/billing_window.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>

namespace tvtest {
namespace {

using tv::data::msgbox::kOk;

TEST_F(SalesTest, TheBillingWindowRunsWhatIsTicked) {
    execData({"INSERT INTO [SERVICE CONTRACTS] (CONTRACTID, CONTRACTTYPE, [CUSTOMER NAME], STARTDATE, PRICE) "
              "VALUES ('SC10001', 'Gold', 'O''Brien Plumbing & Gas', #2020-01-01#, 480)"});
    tv::forms::BillingWindow billing;
    for (int i = 0; i < 5; ++i)
        billing.findChild<QCheckBox*>(QStringLiteral("BillingOption_%1").arg(i))->setChecked(false);
    ask.message(kOk, "at least one kind");
    EXPECT_FALSE(billing.run());

    billing.findChild<QCheckBox*>("BillingOption_3")->setChecked(true);
    billing.findChild<QLineEdit*>("CustomerName")->setText(kCustomer);
    ask.message(kOk, "\n\n0 invoices raised.");  // the contract started long before today
    EXPECT_TRUE(billing.run());
    billing.findChild<QCheckBox*>("AllOutstanding")->setChecked(true);
    ask.message(kOk, "\n\n1 invoices raised.");
    EXPECT_TRUE(billing.run());
    EXPECT_EQ(billing.findChild<QProgressBar*>("StatusLine")->value(), 100);
    EXPECT_EQ(dataRows("SELECT ORDERNO, PRODUCTCODE FROM [SALES ORDERS DETAIL]"),
              QStringList{"1|Service Contracts:SC10001"});
}

}  // namespace
}  // namespace tvtest
