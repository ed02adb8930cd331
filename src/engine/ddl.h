// Schema changes: tables, columns and indexes described in engine terms (the dialect's
// parsed CREATE TABLE / ALTER TABLE / CREATE INDEX, or TableDef objects) written as
// SQLite DDL. Each change runs under the write lock and clears the schema cache.
#pragma once

#include "engine/jet_dialect.h"
#include "engine/schema.h"

#include <vector>

namespace tv::engine {

class Connection;

// The engine-side description of a column, shared by the dialect and TableDef.
using ColumnDef = dialect::ColumnDef;
using IndexDef = dialect::IndexDef;

ColumnType columnTypeOf(const ColumnDef& column, bool adding);
// `"NAME" TEXT(50) COLLATE NOCASE NOT NULL` and the like. A column added to an existing
// table cannot be NOT NULL in SQLite: it carries the REQUIRED word instead.
QString columnSql(const ColumnDef& column, bool adding);

// Every function below throws DbError (3010 duplicate names, 3078/3265/3015 unknown
// names, 3280 an indexed column, and the SQLite failures).
void createTable(Connection& connection, SchemaCache& schemas, const QString& table,
                 const std::vector<ColumnDef>& columns, const std::vector<IndexDef>& indexes);
void dropTable(Connection& connection, SchemaCache& schemas, const QString& table);
void addColumn(Connection& connection, SchemaCache& schemas, const QString& table,
               const ColumnDef& column);
void dropColumn(Connection& connection, SchemaCache& schemas, const QString& table,
                const QString& column);
void createIndex(Connection& connection, SchemaCache& schemas, const QString& table,
                 const IndexDef& index);
void dropIndex(Connection& connection, SchemaCache& schemas, const QString& table,
               const QString& index);

}  // namespace tv::engine
