// Workflow mode: a user flagged for workflow sees only the rows of certain tables that are
// assigned to him. TABLE DEFINITIONS names, per table, the column holding the assigned
// user's id; while workflow mode is on, every source the access layer opens is rewritten
// to carry the condition "[COLUMN] = '<user id>'", placed through the dialect's tokens.
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

// The same rewriting with the table list and user given. The condition is
// "[COLUMN] = '<user id>'"; every SELECT of the statement (each UNION part, each subquery)
// whose FROM names a table with a workflow column gets it:
//   table name      -> SELECT * FROM [name] WHERE <condition>
//   SQL with WHERE  -> the condition first in the WHERE clause, joined by " AND " (old
//                      criteria holding an OR in parentheses)
//   SQL with GROUP BY, HAVING or ORDER BY (no WHERE) -> " WHERE <condition> " before it
//   other SQL       -> " WHERE <condition>" appended
// Comments are dropped from the SQL handed on. A SELECT whose criteria already hold the
// condition as one of their AND-joined parts is left as it is. SQL the tokenizer refuses
// or whose parentheses do not pair throws DbError 3075, and a workflow column name that
// brackets cannot hold throws DbError 3125: such a source never runs unrestricted.
QString ApplyWorkflowFilter(const QString& source, const std::vector<WorkflowColumn>& columns,
                            const QString& userId);

}  // namespace tv::data
