// The call-scripts area's windows in the window catalogue: the script record window of
// "Scripts", and SelectScript, which the main window's Run Script command and the
// customer window's Scripts History tab open by name.
#pragma once

namespace tv::forms {

// Registers the area's windows; run once at start-up, and by tests.
void registerScriptWindows();

}  // namespace tv::forms
