// The backend a test program runs on: files, or the PostgreSQL server test.sh starts.
#pragma once

#include "common/test_support.h"

#include <QString>

namespace tvtest {

// The backend a test program runs on. Engine and data programs run twice: on files, and
// as their "_server" variant (TOLVARINE_TEST_BACKEND=server) on the PostgreSQL server whose
// connection string test.sh puts in TOLVARINE_TEST_SERVER. Empty: files.
QString testServer();
// Whether this run is a server variant; without a server it has nothing to run on.
bool serverVariant();
// Where a fresh database called `fileName` goes: a file in `folder`, or on the server a
// schema of its own in this program's site database.
QString databaseLocation(const ScratchFolder& folder, const QString& fileName);
// For main(): a server variant without a server says so and runs nothing (true).
bool skipServerVariant();

}  // namespace tvtest
