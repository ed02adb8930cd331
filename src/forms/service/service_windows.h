// The service area's windows in the window catalogue: the Request record window, which
// serves both Current Requests and Completed Requests.
#pragma once

namespace tv::forms {

// Registers the area's windows; run once at start-up, and by tests that open them.
void registerServiceWindows();

}  // namespace tv::forms
