#include "forms/admin/admin_windows.h"

#include "forms/admin/counter_list.h"
#include "forms/admin/users_window.h"
#include "forms/framework/record_catalogue.h"

namespace tv::forms {

void registerAdminWindows() {
    // Record windows, under the window name the catalogue gives their table.
    registerRecordWindow(QStringLiteral("Users"), [] { return new UsersWindow(); });

    // Windows the main window's commands open by name.
    registerWindow(QStringLiteral("CounterList"),
                   [](QWidget* mainWindow) { return new CounterList(mainWindow); });
}

}  // namespace tv::forms
