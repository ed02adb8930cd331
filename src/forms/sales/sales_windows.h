// The sales area's windows in the window catalogue: the Quote and Order record windows
// (for Quotations and Sales Orders) and the Billing window opened by name.
#pragma once

namespace tv::forms {

// Registers the area's windows; run once at start-up, and by tests that open them.
void registerSalesWindows();

}  // namespace tv::forms
