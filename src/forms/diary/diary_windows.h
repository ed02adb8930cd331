// The diary area's windows in the window catalogue: the Diary, which the main window's
// diary command opens by name.
#pragma once

namespace tv::forms {

// Registers the area's windows; run once at start-up, and by tests that open the diary
// through the catalogue.
void registerDiaryWindows();

}  // namespace tv::forms
