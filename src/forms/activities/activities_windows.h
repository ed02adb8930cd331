// The activities area's windows in the window catalogue: the record windows of Activities
// ("Activity") and Scheduled Activities ("Schedule"), under the window names the catalogue
// gives their tables, so that lists, search and the customer window's tabs open them.
#pragma once

namespace tv::forms {

// Registers the area's record windows; run once at start-up, and by tests that open these
// windows through the catalogue.
void registerActivityWindows();

}  // namespace tv::forms
