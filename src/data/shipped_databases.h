// Builds the three database files (Definitions.mdb, Data.mdb, Messages.mdb) from the
// text sources of db/ (format in db/README.md), and copies the pictures beside them.
// Used by the admin tool to prepare a data folder and by tests to get fresh databases.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace tv::data {

// The database files a data folder holds, each with the db/ folder it is built from.
struct ShippedDatabase {
    QString sourceFolder;  // "definitions", "data", "messages"
    QString fileName;      // "Definitions.mdb", "Data.mdb", "Messages.mdb"
};
const std::vector<ShippedDatabase>& shippedDatabases();

// Called with a short line for each step ("Data.mdb: CUSTOMERS, 12 rows").
using CreateProgress = std::function<void(const QString& step)>;

// Creates the three databases in `folder` (created when missing) from `dbSourceDir` and
// copies its Pictures/ to folder/Pictures/ (pictures already there are kept).
//
// Refuses, touching nothing, when the folder already holds any of the three files. The
// files are built in a hidden folder inside `folder` and moved into place only when all
// three are complete, so a failure leaves the folder as it was. A statement or row that
// fails is reported as "<file>:<line>: <reason>", the file named relative to dbSourceDir.
// Returns false with the reason in `error`; never throws.
bool createDatabases(const QString& folder, const QString& dbSourceDir, QString* error,
                     const CreateProgress& progress = {});

}  // namespace tv::data
