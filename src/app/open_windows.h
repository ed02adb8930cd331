// Finding the program's open child windows by their tag: a list window's tag is its
// table's display name, other windows carry what their opener put there. Windows are
// searched in the order they were opened: the main window's MDI children first, then
// the other top-level windows.
#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace tv::app {

// Mode for FindOpenWindow: -1 only list windows (named "ListForm"), 0 only other windows,
// any other value every window.
inline constexpr int kListWindowsOnly = -1;
inline constexpr int kOtherWindowsOnly = 0;
inline constexpr int kAnyWindow = 1;

// The open windows in search order.
QList<QWidget*> openWindows();

// The first open window whose tag equals `tag` (ignoring case) and that passes the mode;
// nullptr when none does.
QWidget* findOpenWindow(const QString& tag, int mode);

// Brings the first such window forward (restoring it when minimised) and gives it focus.
// True when there was one.
bool FindOpenWindow(const QString& tag, int mode);

// Asks every open list window of the tag to start a new record, as its Add command does
// (through its RemoteAdd). Returns the number of windows asked.
int AddViaOpenList(const QString& tag);

// Shows a child window in front: restored when minimised, active, with the focus.
void bringForward(QWidget* window);

}  // namespace tv::app
