// Repairing a damaged database file in place. The damaged file is always kept beside the
// result as "<name>.damaged-<yyyyMMdd-hhmmss>". The repair first asks SQLite for a clean
// copy (VACUUM INTO), which succeeds when the damage lies outside the live data; failing
// that it copies out what can still be read, table by table: the schema first, then the
// rows of each table (stepping over pages that cannot be read), then indexes, triggers
// and views (an index the salvaged rows no longer satisfy is left out).
#pragma once

#include <QString>

namespace tv::engine {

// Throws 3024 for a missing file, 3447 for a legacy Jet file, 3049 when nothing in it
// can be read (the file is then left as it was).
void repairDatabaseFile(const QString& path);

}  // namespace tv::engine
