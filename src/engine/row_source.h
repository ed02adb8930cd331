// The rows behind a record set and the position in them. Three kinds exist: a table
// walked along one of its indexes (TableCursor), the key set of a query over one table
// (KeysetCursor) and the materialised rows of any other query (SnapshotCursor). The
// record set on top handles fields, edits and the errors of calls made in the wrong
// state; a row source only moves and reads.
#pragma once

#include "core/variant.h"
#include "engine/engine.h"
#include "engine/field_info.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace tv::engine {

enum class FindKind { First, Last, Next, Previous };

// Where a source stands: on no row, on a row deleted since it was read, or on a row.
enum class RowState { None, Deleted, Present };

class RowSource {
public:
    virtual ~RowSource() = default;

    // Another source over the same rows (sharing what can be shared), with no current row.
    virtual std::unique_ptr<RowSource> clone() const = 0;
    // Reads the rows again and stands before the first one (not yet read).
    virtual void requery() = 0;

    virtual void moveFirst() = 0;
    virtual void moveLast() = 0;
    // From BOF (or no current row) to the first row; from the last row to EOF.
    virtual void moveNext() = 0;
    // From EOF to the last row; from the first row to BOF.
    virtual void movePrevious() = 0;
    virtual void move(long rows);

    virtual bool bof() = 0;
    virtual bool eof() = 0;
    // True when the source stands on a row (which may have been deleted since).
    virtual bool onRow() = 0;
    // Reads the current row if need be and tells whether it is there.
    virtual RowState current() = 0;
    // A field of the current row (after current() said it is Present).
    virtual tv::Variant value(int column) = 0;
    virtual std::int64_t rowid() const = 0;

    virtual long recordCount() = 0;
    virtual long absolutePosition() = 0;  // -1 when not on a row
    virtual void setAbsolutePosition(long position) = 0;

    virtual QByteArray bookmark() const = 0;
    virtual bool gotoBookmark(const QByteArray& bookmark) = 0;
    // The bookmark a row of the underlying table will have (LastModified after AddNew).
    virtual QByteArray bookmarkFor(std::int64_t rowid) const = 0;

    // Finds a row matching an SQLite boolean expression over the fields; moves to it and
    // returns true, or stays and returns false.
    virtual bool find(const QString& condition, FindKind kind) = 0;

    // The current row was written: read it again when next asked.
    virtual void rowChanged() {}
    // A row was added to the underlying table through this record set.
    virtual void rowAdded(std::int64_t rowid) { (void)rowid; }
    // The current row was deleted through this record set.
    virtual void rowDeleted() {}

    // Field descriptions (computed fields may be typed from the first row on first ask).
    virtual const std::vector<FieldInfo>& fields() = 0;

    // A dynaset filling its key set in chunks (kKeysInChunks): whether every key is read,
    // the rows known so far (without reading on) and reading up to `rows` more keys
    // (returns keysComplete()). Every other source knows its rows at once.
    virtual bool keysComplete() { return true; }
    virtual long keysRead() { return recordCount(); }
    virtual bool fetchKeys(long rows) {
        (void)rows;
        return true;
    }
};

// Where a Find starts, the same for every kind of row source: First and Last at that end
// of the rows; Next just after the current row, from the first row when the source stands
// before the rows or nowhere yet (a clone that has not moved), at EOF nowhere at all;
// Previous the mirror image.
enum class FindFrom { First, Last, AfterCurrent, BeforeCurrent, Nowhere };

inline FindFrom findFrom(FindKind kind, bool onRow, bool atBof, bool atEof) {
    switch (kind) {
        case FindKind::First:
            return FindFrom::First;
        case FindKind::Last:
            return FindFrom::Last;
        case FindKind::Next:
            return onRow ? FindFrom::AfterCurrent : atEof ? FindFrom::Nowhere : FindFrom::First;
        case FindKind::Previous:
            return onRow ? FindFrom::BeforeCurrent : atBof ? FindFrom::Nowhere : FindFrom::Last;
    }
    return FindFrom::Nowhere;
}

// A Find over rows held by position (0 .. size - 1), `current` the position of the current
// row: the first position from `from` on, in its direction, that `matches` accepts; -1
// when there is none.
template <typename Matches>
long findInOrder(FindFrom from, long current, long size, Matches matches) {
    const bool backwards = from == FindFrom::Last || from == FindFrom::BeforeCurrent;
    const int step = backwards ? -1 : 1;
    long pos = -1;
    switch (from) {
        case FindFrom::First:
            pos = 0;
            break;
        case FindFrom::Last:
            pos = size - 1;
            break;
        case FindFrom::AfterCurrent:
        case FindFrom::BeforeCurrent:
            pos = current + step;
            break;
        case FindFrom::Nowhere:
            return -1;
    }
    for (; pos >= 0 && pos < size; pos += step)
        if (matches(pos)) return pos;
    return -1;
}

// Bookmarks are opaque to callers; inside they are one or two 64-bit integers.
QByteArray encodeBookmark(std::int64_t a, std::int64_t b);
QByteArray encodeBookmark(std::int64_t a);
bool decodeBookmark(const QByteArray& bookmark, std::int64_t* a, std::int64_t* b = nullptr);

}  // namespace tv::engine
