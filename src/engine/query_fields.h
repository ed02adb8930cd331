// The fields of a query result, from SQLite's column metadata: a column read straight
// from a table takes that column's engine type, size and flags (and, for the table an
// updatable dynaset writes, its ordinal there); an expression is typed by the dialect
// translator where it knows the type (a date), else by its value.
#pragma once

#include "engine/db_impl.h"
#include "engine/jet_dialect.h"
#include "engine/row_source.h"
#include "engine/schema.h"

namespace tv::engine {

class Connection;
class Statement;

// Describes `count` result columns of a prepared statement from column `first` on.
// `written` is the table an updatable record set writes to (or nullptr); `items` what
// the translator knows of the select list (or nullptr).
std::vector<FieldInfo> describeColumns(const Statement& statement, int first, int count,
                                       const TableSchema* written,
                                       const std::vector<ResultItem>* items = nullptr,
                                       Connection* server = nullptr);

// The dialect translator's way to the columns of the open database's tables (and stored
// queries, whose computed columns have no type to give).
dialect::Catalog catalogOf(DatabaseCore& db);

}  // namespace tv::engine
