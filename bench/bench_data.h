// The generated data set of the benchmarks: a customers table of a given size in a
// database made by the engine (so columns carry the engine's declared types), filled by
// raw SQLite in one transaction so that a million rows take seconds, not minutes.
#pragma once

#include <QString>

namespace tvbench {

// Path of a database holding CUSTOMERS with `rows` rows (built on first use, kept for
// the run): ID LONG primary key, NAME TEXT(50) (index "Name"), CITY TEXT(30),
// BALANCE CURRENCY, JOINED DATETIME, ACTIVE BIT, NOTES MEMO.
QString customersDatabase(int rows);
inline constexpr int kColumns = 7;

// A pseudo-random key in 1..rows, the same sequence on every run.
int keyAt(int i, int rows);

}  // namespace tvbench
