#include "forms/customers/customers_windows.h"

#include "forms/customers/customer_window.h"
#include "forms/customers/contact_window.h"
#include "forms/customers/opportunity_window.h"
#include "forms/framework/record_catalogue.h"

namespace tv::forms {

void registerCustomerWindows() {
    // Record windows, under the window name the catalogue gives their table. Until a
    // table's own window is registered here its rows open in the plain window.
    registerRecordWindow(QStringLiteral("Customer"), [] { return new CustomerWindow(); });
    registerRecordWindow(QStringLiteral("Contact"), [] { return new ContactWindow(); });
    registerRecordWindow(QStringLiteral("Opportunity"), [] { return new OpportunityWindow(); });
}

}  // namespace tv::forms
