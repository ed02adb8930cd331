// The fields of a query result, from SQLite's column metadata: a column read straight
// from a table takes that column's engine type, size and flags (and, for the table an
// updatable dynaset writes, its ordinal there); an expression is typed by its value.
#pragma once

#include "engine/row_source.h"
#include "engine/schema.h"

namespace tv::engine {

class Statement;

// Describes `count` result columns of a prepared statement from column `first` on.
// `written` is the table an updatable record set writes to (or nullptr).
std::vector<FieldInfo> describeColumns(const Statement& statement, int first, int count,
                                       const TableSchema* written);

}  // namespace tv::engine
