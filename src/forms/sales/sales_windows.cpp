#include "forms/sales/sales_windows.h"

#include "forms/framework/record_catalogue.h"
#include "forms/sales/billing_window.h"
#include "forms/sales/order_window.h"
#include "forms/sales/quote_window.h"

namespace tv::forms {

void registerSalesWindows() {
    registerRecordWindow(QStringLiteral("Quote"), [] { return new QuoteWindow(); });
    registerRecordWindow(QStringLiteral("Order"), [] { return new OrderWindow(); });
    registerWindow(QStringLiteral("Billing"), [](QWidget* main) { return new BillingWindow(main); });
}

}  // namespace tv::forms
