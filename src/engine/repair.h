// Repairing a database file in place while other processes may have it open.
//
// The repair holds the file exclusively from start to end: one connection takes SQLite's
// exclusive lock (waiting as long as the busy timeout) and keeps it, so nobody commits
// anything that the repair could miss or overwrite. A sound file (integrity check "ok")
// is left as it was. A damaged one is rebuilt beside it, first as the clean copy SQLite
// makes itself (VACUUM INTO, which succeeds when the damage lies outside the live data),
// failing that by copying out what can still be read, table by table: the schema, the
// rows of each table (stepping over pages that cannot be read), then indexes, triggers
// and views (an index the saved rows no longer satisfy is left out). The rebuilt pages
// are then written back into the original file through SQLite's backup, as one journalled
// transaction under the same lock: a crash leaves the old file, other users' connections
// stay valid (no file is renamed or unlinked under them), and they read the repaired
// contents once the lock is gone. The damaged file is kept beside it, read through
// SQLite's own file handle: opening and closing the file apart from SQLite would drop
// the locks SQLite holds on it (POSIX locks belong to the process, not to a handle).
//
// Rows that could not be read are counted against what the damaged file's own indexes
// and table pages still tell; the report goes back to the caller.
#pragma once

#include "engine/engine.h"

namespace tv::engine {

// Throws 3024 for a missing file, 3447 for a legacy Jet file, 3045 when the file stays in
// use past the busy timeout, 3049 when nothing in it can be read (the file is then left
// as it was).
RepairReport repairDatabaseFile(const QString& path, int busyTimeoutMs);

// The rows of SQLite's integrity check that are not "ok".
QStringList integrityProblems(const QString& path, int busyTimeoutMs);

}  // namespace tv::engine
