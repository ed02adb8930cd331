#include "forms/service/service_windows.h"

#include "forms/framework/record_catalogue.h"
#include "forms/service/ractivity_window.h"
#include "forms/service/request_window.h"
#include "forms/service/todo_window.h"

namespace tv::forms {

void registerServiceWindows() {
    // Record windows, under the window name the catalogue gives their table.
    registerRecordWindow(QStringLiteral("Request"), [] { return new RequestWindow(); });
    registerRecordWindow(QStringLiteral("RActivity"), [] { return new RActivityWindow(); });

    // Windows the main window's commands open by name.
    registerWindow(QStringLiteral("ToDoList"),
                   [](QWidget* mainWindow) { return new ToDoList(mainWindow); });
}

}  // namespace tv::forms
