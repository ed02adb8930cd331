// Engine errors: the readable text of each error number, and the mapping of SQLite
// result codes onto those numbers, so that every failure leaves the engine as a
// DbError that callers can test by number.
#pragma once

#include "engine/engine.h"

struct sqlite3;

namespace tv::engine {

// Error numbers used inside the engine beyond those callers test (err:: in engine.h).
namespace err {
inline constexpr int kEngineFailure = 3000;     // an SQLite failure with no closer number
inline constexpr int kNoCurrentIndex = 3019;    // Seek on a table record set without an index
inline constexpr int kDiskFull = 3026;          // not enough space on disk
inline constexpr int kDiskError = 3043;         // disk or network error
inline constexpr int kTooFewParameters = 3061;  // a name in a query is not a column
inline constexpr int kSelectNotAction = 3065;   // Execute given a SELECT
inline constexpr int kUnknownName = 3070;       // a name in criteria is not a column
inline constexpr int kNotInAggregate = 3122;    // a column neither grouped nor aggregated
inline constexpr int kInvalidName = 3125;  // a name brackets cannot hold ("A]B", blank)
inline constexpr int kBookmarkInvalid = 3159;
inline constexpr int kFieldNotUpdatable = 3164;
inline constexpr int kRecordDeleted = 3167;
inline constexpr int kDatabaseExists = 3204;
inline constexpr int kNumericOverflow = 3349;
inline constexpr int kQueryTooComplex = 3360;  // nested or chained beyond what SQLite reads
inline constexpr int kObjectClosed = 3420;
inline constexpr int kCriteriaMismatch = 3464;  // a key or criteria value of the wrong type
}  // namespace err

// The standard text of an error number; `detail` fills the name or path the text
// refers to, or is appended when the text has no place for it.
QString errorText(int number, const QString& detail = QString());

// Throws DbError(number) with its standard text.
[[noreturn]] void fail(int number, const QString& detail = QString());

// The DbError that matches an SQLite failure, read from the connection's last error.
// `context` names what was being done (a statement, a table) and is added to the text.
DbError sqliteError(sqlite3* db, int rc, const QString& context = QString());
[[noreturn]] void failSqlite(sqlite3* db, int rc, const QString& context = QString());

}  // namespace tv::engine
