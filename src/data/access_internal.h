// Pieces shared by the access layer's modules; not for use outside src/data.
#pragma once

#include "engine/engine.h"

#include "data/failure.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tv::data::detail {

// The database a selector names (0 data, anything else definitions). Throws DbError when
// it is not open.
engine::Database& databaseFor(int selector);

// The columns of the source table's "PrimaryKey" index in key order. Throws DbError.
QStringList primaryKeyColumns(const QString& source, int selector);

// Drops a record set's pending Edit or AddNew, ignoring errors (Close drops it too).
void cancelQuietly(engine::Recordset& rs);

// Releases read locks so other workstations' changes become visible; never throws.
void idleQuietly();

// Runs the steps in one transaction of the data database: on failure everything is rolled
// back and the failure returned. Read locks are released after it either way.
std::optional<Failure> inTransaction(const std::function<void(engine::Database& db)>& steps);

}  // namespace tv::data::detail
