// The list window's benchmark data set: the shipped databases, built from db/, with
// CUSTOMERS filled to a given number of rows by raw SQLite in one transaction, and the
// program state opened on them as sign-in leaves it (definitions and data database).
#pragma once

#include <QString>

struct sqlite3;

namespace tvbench {

// Stops the run with SQLite's message when a raw call did not succeed (the data set is
// made by raw SQLite; a half-made one would measure nothing).
void check(int rc, sqlite3* db);

// The folder holding Definitions.mdb and Data.mdb with `rows` customers; built on first
// use and kept for the run. The program state is pointed at it.
QString listDataFolder(int rows);

// Opens the folder's databases into the program state, as sign-in does (the definitions
// with their three open record sets, then the data database).
void openProgramState(const QString& folder);

// The data database file of that folder.
QString listDataFile(int rows);

// The customer the list shows last (read by raw SQLite), to check a jump to the end.
QString lastCustomer(int rows);

// A demo company made by `admin` (tolvarine-admin) at the scale TV_BENCH_SCALE names (100
// unless set), in a folder of this run named after `tag`; the program's settings go beside
// it rather than to the user's. Stops the run when the company cannot be made.
QString makeDemoCompany(const QString& tag, const QString& admin);

}  // namespace tvbench
