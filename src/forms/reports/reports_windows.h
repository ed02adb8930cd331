// The report area's windows in the window catalogue: the ReportDef record window of
// "Report Definitions" and the report runner the main window's Run Report command opens
// by name. Registering also connects the report engine to the window layer: its preview
// window and the status bar.
#pragma once

namespace tv::forms {

// Registers the area's windows and the engine's preview and status hooks; run once at
// start-up, and by tests that open these windows through the catalogue.
void registerReportWindows();

}  // namespace tv::forms
