// The service area's windows in the window catalogue: the Request record window (Current
// and Completed Requests), the request-activity window of "Request Activities" (a
// request's labour line) and the to-do list the main window's To Do command opens by name.
#pragma once

namespace tv::forms {

// Registers the area's record windows and other windows; run once at start-up, and by
// tests that open these windows through the catalogue.
void registerServiceWindows();

}  // namespace tv::forms
