// Many new rows for one table, written as fast as SQLite takes them: for filling a new
// file (the demo company, an import). Each value is converted, checked and stored as
// AddNew and Update store it (required, zero-length and size checks, the column's stored
// form; the same error numbers), but without a record set: the INSERT is prepared once
// for each set of columns that rows give and the values are bound to it directly, with
// no edit buffer, bookmark or cursor kept per row. A Null value leaves its column out of
// the row's INSERT, as a field left unset at AddNew does, so the column's default
// applies. Auto-number columns take the next number from their mark, as at AddNew.
//
// On a server the rows are held back and sent in batches of some megabytes through COPY
// (one round trip a batch, not one a row). Auto-numbers are then taken for a whole batch
// at once and the marks raised once a batch, not by the per-row trigger (pausing that
// trigger makes other sessions' writes to the table wait until the transaction ends, as
// a file's writers wait anyway). Checks of the values still fail at add(); what only the
// server can refuse (a duplicate key) fails at the add() that sends a batch or at
// flush(), and then none of that batch's rows is written, while earlier batches stay.
//
// The rows are written under the caller's transaction (BeginTrans) when there is one,
// else each row (on a server: each batch) commits on its own.
#pragma once

#include "core/variant.h"
#include "engine/engine.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>

namespace tv::engine {

class BulkInsert {
public:
    // Throws 3078 for an unknown table, 3265 for an unknown column, 3164 for an
    // auto-number column (its numbers are handed out), 3027 on a read-only database.
    // With `givenNumbers` an auto-number column may be named: its values are written as
    // given (a copy keeps the numbers other rows refer to; the mark rises past them) and
    // a Null takes the next number.
    BulkInsert(Database& db, const QString& table, const QStringList& columns,
               bool givenNumbers = false);
    ~BulkInsert();
    BulkInsert(const BulkInsert&) = delete;
    BulkInsert& operator=(const BulkInsert&) = delete;

    // One row: a value per column, in the order the constructor named them.
    void add(std::initializer_list<tv::Variant> values);
    void add(std::span<const tv::Variant> values);
    // Sends the rows held back (on a server; a file's rows are written at add()). Call it
    // before committing: destruction sends them too but cannot report a failure.
    void flush();

    // Raises the mark of one of the table's auto-number columns to `mark` when it is
    // lower, so that no number up to it is handed out again: a copy carries its source's
    // marks, which stay above the highest number left when the newest rows were deleted.
    void keepMark(const QString& column, std::int64_t mark);
    // The mark of an auto-number column (the highest number handed out), 0 when none is
    // kept (a file of an older format read as it is).
    static std::int64_t markOf(Database& db, const QString& table, const QString& column);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// A new file being filled in bulk: commits do not wait for the disk and index builds get
// a large page cache and a second thread for their sorts. A crash part-way may leave the
// file damaged, so only a file that is discarded when its filling fails may be filled
// this way. Off again restores SQLite's defaults.
void SetBulkLoading(Database& db, bool on);

}  // namespace tv::engine
