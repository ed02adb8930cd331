// The program's own icon, shown by the window manager, the task bar and the title bars of
// the windows inside the main window.
#pragma once

#include <QIcon>

namespace tv::app {

QIcon applicationIcon();

}  // namespace tv::app
