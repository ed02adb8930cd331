// Workflow mode: a user flagged for workflow sees only the rows of certain tables that are
// assigned to him. TABLE DEFINITIONS names, per table, the column holding the assigned
// user's id; while workflow mode is on, every source the access layer opens is rewritten
// to carry the condition "[COLUMN] = '<user id>'".
#pragma once

#include "data/app_state.h"

#include <QString>
#include <vector>

namespace tv::data {

// Reads TABLE DEFINITIONS (table name at ordinal 0, workflow column at ordinal 6) into
// state().WorkflowColumns, keeping the tables whose workflow column is set, and installs
// ApplyWorkflowFilter as the access layer's hook. An unreadable definitions table leaves
// the list empty (nothing is restricted). Returns the number of tables found.
int BuildWorkflowColumns();

// Puts ApplyWorkflowFilter into state().ApplyWorkflowFilter, for OpenTable to call while
// state().WorkflowMode is on.
void InstallWorkflowFilter();

// The source restricted to state().CurrentUserId by state().WorkflowColumns.
QString ApplyWorkflowFilter(const QString& source);

// The same rewriting with the table list and user given, for callers that hold their own.
//   table name      -> SELECT * FROM [name] WHERE <condition>
//   SQL with WHERE  -> the condition first in the WHERE clause, joined by " AND "
//   SQL with ORDER BY (no WHERE) -> " WHERE <condition> " inserted before ORDER BY
//   other SQL       -> " WHERE <condition>" appended
// A source whose table has no workflow column, or that already carries the condition
// (user id in single or double quotes), comes back unchanged.
QString ApplyWorkflowFilter(const QString& source, const std::vector<WorkflowColumn>& columns,
                            const QString& userId);

}  // namespace tv::data
