// Opening a row in its record window. Lists, search and the record windows' own embedded
// lists open rows only through OpenRecordWindow: they lay the row out as an array of
// texts (element n = the column with ordinal n), set state().PendingEditMode to 1 for a
// new row or 2 for an existing one, and call it. The table's single window is reused
// when it is open, so opening another row refills it.
#pragma once

#include "data/app_state.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace tv::forms {

class RecordWindow;

// Finds (or makes and loads) the table's record window, tags it with the table, gives it
// the pending edit mode, shows it and the row (RecordWindow::showRow: the values in its
// bound controls, PrepareRecordWindow, the stored key), restores it from minimised and
// focuses it. False when the table has no record window, or when the user may not view
// the table (message 9014) or it is an administration table and the user no
// administrator (message 9130).
bool OpenRecordWindow(const QString& tableName, const data::FieldValueArray& values);

// The table-specific step after the row is in the controls: the contact's birthday shown
// as day and month, the request window's buttons for open or completed requests, the
// document windows' RefreshList. Missing controls are skipped. The key-tracking
// properties need no step of their own: they name the stored key, which showRow records
// for every table.
void PrepareRecordWindow(QWidget* window, const QString& tableName);

// Closes the open record windows of the table whose controls bound to the key columns
// show these keys (compared ignoring case): the row they show has just been deleted.
void CloseRecordWindowsShowing(const QString& tableName, const QStringList& keys);

// After the data layer has carried a key to a new value in every table that refers to it
// (a customer renamed), the open record windows follow: a window whose table has `column`
// and whose control bound to it shows the old value (ignoring case) shows the new one, and
// where that column is part of the window's stored key, the stored key takes it too, so
// that the window's next save finds its row. `except` (the window that saved) is skipped.
void FollowKeyChange(const QString& column, const QString& oldValue, const QString& newValue,
                     const QWidget* except = nullptr);

// Whether the signed-in user may save a row of the table in the edit mode (1 add, 2
// edit): the first access entry whose table matches ignoring case decides; a table
// without an entry may always be saved, except the administration tables, which need the
// administrator flag (data::hasRight).
bool CanSave(const QString& tableName, int editMode);

}  // namespace tv::forms
