// Document numbers from the shared Counters table of the data database: one row per
// numbered table (its display name and the last number handed out). The row's lock is
// what keeps two workstations from handing out the same number.
#pragma once

#include <QString>
#include <cstdint>

namespace tv::data {

// The next number for a table (a table name, or SQL text reading it), written back to its
// Counters row before it is returned. A table without a row starts at 1 and gets its row.
// Numbers the table already holds (typed by hand, imported) are skipped.
//
// While another workstation holds the counter row, or is still reading the file when the
// new value is committed, this waits, letting window events run between short tries; the
// wait has no limit, as a held row is released by its Update and a reader by its next
// engine call.
//
// Returns 0 when the Counters table cannot be opened or searched, or the new value cannot
// be written for another reason than a lock; the caller then stores 0 as the number.
std::int32_t NextCounter(const QString& source);

}  // namespace tv::data
