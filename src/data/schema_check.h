// Checking a data folder's databases against the shipped schema: tables, column order,
// names, types, sizes, required flags, primary keys and named indexes. Windows read
// columns by position, so a column out of place is a broken file, not a cosmetic
// difference. Columns an administrator appended after the standard ones (custom fields)
// and tables or indexes of his own are reported as information only.
#pragma once

#include <QString>
#include <vector>

namespace tv::engine {
class Database;
}

namespace tv::data {

struct SchemaFinding {
    enum class Severity { Error, Information };
    Severity severity = Severity::Error;
    QString text;  // "Data.mdb: CUSTOMERS: column 11 is FAXNO, expected TELEPHONENO"
};

struct SchemaReport {
    std::vector<SchemaFinding> findings;
    int errors() const;
    bool passed() const { return errors() == 0; }
};

// Compares the databases of `folder` (Definitions.mdb, Data.mdb, Messages.mdb) with fresh
// ones built from `dbSourceDir` in a temporary folder. A file that is missing or that the
// engine cannot open (damaged, not a database, a legacy Jet file) is one error naming its
// path and the engine's error. Never throws.
SchemaReport checkDatabases(const QString& folder, const QString& dbSourceDir);

// The same against reference databases already built in `referenceFolder`.
SchemaReport checkAgainst(const QString& folder, const QString& referenceFolder);

// Compares one open database with an open reference; findings start with `label`.
void compareSchemas(engine::Database& actual, engine::Database& reference, const QString& label,
                    SchemaReport* report);

}  // namespace tv::data
