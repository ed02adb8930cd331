// What a file is, from its first bytes: an SQLite database, a legacy Jet/ACE database
// (bytes 4.. read "Standard Jet DB" or "Standard ACE DB"), or something else. Lets the
// engine report a legacy file or a stranger as such instead of as a generic failure.
#pragma once

#include "engine/errors.h"

#include <QString>

namespace tv::engine {

enum class FileKind { Missing, NotAFile, Unreadable, Empty, Sqlite, LegacyJet, Unknown };

FileKind probeFile(const QString& path);

// Throws the error for a file that cannot be opened as a database of this engine
// (3024 missing, 3051 unreadable, 3447 legacy Jet, `otherError` for anything else, 3343
// unless the caller says otherwise); returns for an SQLite file.
void requireSqliteFile(const QString& path, int otherError = err::kNotDatabase);

}  // namespace tv::engine
