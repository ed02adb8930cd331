// The customer area's windows in the window catalogue: the record windows of Customers,
// Contacts, Sales Opportunities and Activities, each under the window name the catalogue
// gives its table.
#pragma once

namespace tv::forms {

// Registers the area's record windows and other windows; run once at start-up, and by
// tests that open these windows through the catalogue.
void registerCustomerWindows();

}  // namespace tv::forms
