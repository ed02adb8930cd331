// What the SQL fuzz targets share: the tables statements may name, as the translator's
// catalog sees them and as an in-memory SQLite database holds them (two rows each, one of
// them mostly Null), and running a translation there with the dialect's functions
// installed. A run is rolled back and stopped after a bounded amount of work, so inputs
// stay independent of each other and fast.
#pragma once

#include "engine/jet_dialect.h"

#include <QString>

namespace tvfuzz {

// The catalog of the tables: T, CUSTOMERS, ACTIVITIES.
tv::engine::dialect::Catalog catalog();
// The columns of T, for criteria.
const std::vector<tv::engine::FieldInfo>& criteriaFields();

// Prepares and steps the SQLite text to its end (or the work limit), then rolls back
// whatever it changed. SQLite's refusals and the dialect functions' errors are expected
// and ignored.
void run(const QString& sqliteText);

// Translates and runs a statement, ignoring the refusals (DbError, ConversionError).
void translateAndRun(const QString& jetStatement);

}  // namespace tvfuzz
