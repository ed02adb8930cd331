// What a record-set source names: SQL text or a table, and which table.
#pragma once

#include <QString>

namespace tv::data {

// True when the first six characters, in any case, are "SELECT".
bool IsSqlSource(const QString& source);

// The table a source reads: for SQL the name after the first FROM (without its brackets
// when bracketed, else up to the next blank); for a table name the name itself, without
// surrounding brackets. Empty when SQL text has no FROM.
QString SourceTable(const QString& source);

}  // namespace tv::data
