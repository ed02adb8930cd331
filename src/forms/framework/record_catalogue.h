// The catalogue of record windows: which window shows a row of each business table, by
// the table's display name. A window class joins the catalogue by registering a factory
// under its window name when it is written; until then the table's rows are shown in the
// plain one-box-per-column window. A display name the catalogue does not name gives
// nothing.
//
// Each window exists once: asking again while it is open returns the open window, so
// opening another row of the same table refills it.
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

// Registers the record windows this library provides.
void registerFrameworkRecordWindows();

}  // namespace tv::forms
