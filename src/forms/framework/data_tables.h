// The table definitions of the program's open databases, for the framework routines
// that size and build controls from a table's columns.
#pragma once

#include "engine/engine.h"

#include <QString>
#include <optional>

namespace tv::forms {

// The definition of `tableName` in the data database (database 0, opened first when it is
// not open yet) or the definitions database (any other selector); nothing when the
// database or the table cannot be read.
std::optional<engine::TableDef> tableDefinition(const QString& tableName, int database = 0);

// The number of columns of the table, 0 when it cannot be read.
int tableFieldCount(const QString& tableName, int database = 0);

}  // namespace tv::forms
