// The list window's benchmark data set: the shipped databases, built from db/, with
// CUSTOMERS filled to a given number of rows by raw SQLite in one transaction, and the
// program state opened on them as sign-in leaves it (definitions and data database).
#pragma once

#include <QString>

namespace tvbench {

// The folder holding Definitions.mdb and Data.mdb with `rows` customers; built on first
// use and kept for the run. The program state is pointed at it.
QString listDataFolder(int rows);

// Opens the folder's databases into the program state, as sign-in does (the definitions
// with their three open record sets, then the data database).
void openProgramState(const QString& folder);

// The data database file of that folder.
QString listDataFile(int rows);

}  // namespace tvbench
