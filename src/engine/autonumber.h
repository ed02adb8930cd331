// Auto-numbers that never repeat within a table. Rows of other tables refer to these
// numbers (a deleted message leaves its attachment rows behind, for one), so a number once
// given out must never come back, not even after the newest row is deleted. Jet kept a
// high-water mark in the file; so does this engine, in a table of its own that the table
// definitions do not show: tv_autonumber, one row per auto-number column holding the
// highest number given out.
//
// - AddNew takes the next number under the write lock, as Jet hands it out at AddNew (an
//   AddNew that is cancelled uses its number up, as in Jet).
// - A trigger numbers a row inserted by a statement that leaves the column Null, and raises
//   the mark to any number written by hand (an INSERT with a value, an UPDATE of the
//   column), so every way of writing rows keeps the mark at or above the column's maximum.
//
// Files made before the mark existed numbered rows from the current maximum. The first
// writable open by this engine upgrades such a file once (its user_version records the
// storage format): the mark of each column starts at the column's current maximum.
#pragma once

#include <QString>
#include <cstdint>

namespace tv::engine {

class Connection;

inline const QString kAutoNumberTable = QStringLiteral("tv_autonumber");
// The storage format written into PRAGMA user_version: 1 keeps auto-number marks.
inline constexpr int kStorageFormat = 1;

// Makes the mark table when the file has none.
void createAutoNumberTable(Connection& connection);
// The triggers and the mark of one auto-number column; the mark is raised to the column's
// current maximum. Run under the write lock (a schema change or the upgrade).
void installAutoNumber(Connection& connection, const QString& table, const QString& column);
// Drops the triggers and the mark of a column that is being removed.
void removeAutoNumber(Connection& connection, const QString& table, const QString& column);
// Forgets the marks of a table that is being dropped (a new table of that name starts at 1).
void forgetAutoNumbers(Connection& connection, const QString& table);
// The next number of a column, taken from the mark under the write lock the caller holds.
std::int32_t takeAutoNumber(Connection& connection, const QString& table, const QString& column);
// Installs triggers and marks for every auto-number column of the file (marks only rise).
void installAllAutoNumbers(Connection& connection);
// Brings a file of an older storage format to the current one in one write transaction;
// returns at once when there is nothing to do. Throws 3260 when the file stays locked.
void upgradeStorage(Connection& connection);

}  // namespace tv::engine
