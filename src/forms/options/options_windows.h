// The options area's windows in the window catalogue: the Options dialog, opened by name
// from the main window's "Set Options..." command and ShowSpecialForm("Options").
#pragma once

namespace tv::forms {

void registerOptionsWindows();

}  // namespace tv::forms
