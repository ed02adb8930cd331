// Reading query results as texts, the one way every test program does it: through the
// program's own engine, each cell as the program would show it (TextOf; Null is empty).
#pragma once

#include "engine/engine.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tvtest {

// Every row of a query, each cell as text.
std::vector<QStringList> queryRows(tv::engine::Database& db, const QString& sql);
// One column of every row (0-based ordinal).
QStringList queryColumn(tv::engine::Database& db, const QString& sql, int ordinal = 0);
// The first column of the first row; "<none>" when there is no row.
QString queryValue(tv::engine::Database& db, const QString& sql);

}  // namespace tvtest
