// The administration area's windows in the window catalogue: the Users record window of
// "System Users" (its Security button opens a user's rights itself) and the Counters
// window the main window's Manage Counters command opens by name.
#pragma once

namespace tv::forms {

// Registers the area's record windows and other windows; run once at start-up, and by
// tests that open these windows through the catalogue.
void registerAdminWindows();

}  // namespace tv::forms
