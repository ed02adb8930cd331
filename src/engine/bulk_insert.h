// Many new rows for one table, written as fast as SQLite takes them: for filling a new
// file (the demo company, an import). Each value is converted, checked and stored as
// AddNew and Update store it (required, zero-length and size checks, the column's stored
// form; the same error numbers), but without a record set: the INSERT is prepared once
// for each set of columns that rows give and the values are bound to it directly, with
// no edit buffer, bookmark or cursor kept per row. A Null value leaves its column out of
// the row's INSERT, as a field left unset at AddNew does, so the column's default
// applies. Auto-number columns take the next number from their mark, as at AddNew.
//
// The rows are written under the caller's transaction (BeginTrans) when there is one,
// else each row commits on its own.
#pragma once

#include "core/variant.h"
#include "engine/engine.h"

#include <QString>
#include <QStringList>
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
