#include "forms/scripts/scripts_windows.h"

#include "forms/framework/record_catalogue.h"
#include "forms/scripts/script_window.h"
#include "forms/scripts/select_script.h"

namespace tv::forms {

void registerScriptWindows() {
    registerRecordWindow(QStringLiteral("Script"), [] { return new ScriptWindow(); });
    registerWindow(QStringLiteral("SelectScript"),
                   [](QWidget* mainWindow) { return new SelectScript(mainWindow); });
}

}  // namespace tv::forms
