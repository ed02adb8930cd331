// Pieces shared by the access layer's modules; not for use outside src/data.
#pragma once

#include "engine/engine.h"

#include <QString>
#include <QStringList>

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

}  // namespace tv::data::detail
