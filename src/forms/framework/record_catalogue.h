// The catalogue of windows. Record windows: which window shows a row of each business
// table, by the table's display name. A window class joins the catalogue by registering a
// factory under its window name when it is written; until then the table's rows are shown
// in the plain one-box-per-column window. A display name the catalogue does not name gives
// nothing. Each record window exists once: asking again while it is open returns the open
// window, so opening another row of the same table refills it.
//
// Other windows (the counters, the diary, the search window ...) are opened by name from
// the main window's commands; a name nobody registered is a feature not written yet.
//
// Every window area registers its own windows from one header of its own,
// forms/<area>/<area>_windows.h, declaring one function (forms/admin/admin_windows.h:
// registerAdminWindows) that calls registerRecordWindow for the area's record windows and
// registerWindow for its other windows. The application calls each area's function once
// at start-up, before any command runs.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace tv::forms {

class RecordWindow;

// Makes a new, not yet loaded, window.
using RecordWindowFactory = std::function<RecordWindow*()>;

// The window name ("Customer") for a display name ("Customers"), ignoring case; empty
// when the table has no record window.
QString recordWindowName(const QString& displayName);
// Every display name that has a record window, in catalogue order.
QStringList recordWindowTables();

// Registers (or replaces) the factory of a window name.
void registerRecordWindow(const QString& windowName, RecordWindowFactory factory);
void unregisterRecordWindow(const QString& windowName);

// The open window for the table, or a new one made and loaded (placed, captioned, its
// custom panel built) for it; nullptr when the catalogue names no window for the table. A window
// serving several tables ("Request") gets the display name in its LocalTableName first.
RecordWindow* GetRecordWindow(const QString& displayName);

// Registers the record windows this library provides, and its windows opened by name
// (the Search window).
void registerFrameworkRecordWindows();

// Makes a new window opened by name; `mainWindow` is the frame it will live in. A window
// the main window shows modally must be a QDialog.
using WindowFactory = std::function<QWidget*(QWidget* mainWindow)>;

// Registers (or replaces) the factory of a window name (compared ignoring case); an
// empty factory removes it.
void registerWindow(const QString& name, WindowFactory factory);
bool isWindowRegistered(const QString& name);
// A new window of that name, or nullptr when none is registered.
QWidget* createWindow(const QString& name, QWidget* mainWindow);

}  // namespace tv::forms
