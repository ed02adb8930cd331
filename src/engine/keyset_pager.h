// Reading a dynaset's key set a chunk at a time along the query's order, so that a list
// of a million rows shows its first screen at once and reads the rest afterwards.
//
// Each chunk is a few short queries that continue after the last row read, found by the
// values of its sort keys and its rowid (keyset paging): with ORDER BY a, b they read
//     a = ? AND b = ? AND rowid > ?,   then a = ? AND b > ?,   then a > ?
// each in the full order (a, b, rowid) and each one range of an index. No statement and no
// read transaction stays open between chunks, so other workstations write freely while
// a list fills; the next chunk simply continues from the last key read:
// - a row added or deleted by someone else beyond that point is seen as it now is, one
//   before it is not (as if the key set had been read at once a moment earlier);
// - a row whose sort key someone moves from the part already read to the part still to
//   come is not listed twice: once the file has changed since the first chunk (SQLite's
//   data_version, or a write through this connection), the rowids read so far are
//   remembered and every later one is checked against them.
//
// Nulls sort first; in a descending item they come last, so "after a non-Null value" is
// two ranges there: the smaller values, then the Nulls. Ties are broken by the rowid,
// descending when the last item is, which is the order of an index walked either way.
//
// Only a query whose order an index can deliver is paged: a sort that needs SQLite's
// temporary b-tree would sort the whole table again for every chunk, so such a query
// (and one with LIMIT, without ORDER BY, or with positions or aliases the table does not
// answer) is read in one pass instead.
#pragma once

#include "engine/key_array.h"

#include <sqlite3.h>

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

namespace tv::engine {

class Connection;
struct SelectShape;
struct TableSchema;

// Rowids already in the key set. A bitmap for the rowids an auto-number hands out (a
// million rows take 125 KB), a hash set for any far beyond them.
class RowidSet {
public:
    // False when the rowid was there already.
    bool insert(std::int64_t rowid);

private:
    static constexpr std::int64_t kBitmapRowids = std::int64_t{1} << 26;
    std::vector<std::uint64_t> bits_;
    std::unordered_set<std::int64_t> others_;
};

// Reads a dynaset's keys a chunk at a time: a file's (KeysetPager) or a server's
// (ServerKeysetPager, pg_keyset.h).
class KeyReader {
public:
    virtual ~KeyReader() = default;
    // Appends up to `rows` more rowids to `keys` in the query's order; true once the last
    // one has been read (the reader has nothing more to do then).
    virtual bool read(Connection& conn, KeyArray& keys, long rows) = 0;
};

class KeysetPager : public KeyReader {
public:
    // A pager for the rows of `shape` (a keyable SELECT over `table`), or nullptr when they
    // are better read in one pass.
    static std::unique_ptr<KeysetPager> make(Connection& conn, const SelectShape& shape,
                                             const TableSchema& table);
    ~KeysetPager() override;
    KeysetPager(const KeysetPager&) = delete;
    KeysetPager& operator=(const KeysetPager&) = delete;

    bool read(Connection& conn, KeyArray& keys, long rows) override;

private:
    // Starts remembering the rowids read when the file changed since the first chunk.
    void watchChanges(Connection& conn, const KeyArray& keys);
    struct Term {
        QString expr;
        bool descending = false;
    };
    // One query of a chunk: the first `equal` terms equal the boundary's, and then term
    // `equal` after it (equal == terms: the rowid after it); `nulls` asks for the Nulls of
    // a descending term.
    struct Range {
        int equal = 0;
        bool nulls = false;
    };

    KeysetPager() = default;
    QString sql(const Range* range) const;
    // Runs one query for up to `limit` rows; returns how many rows it gave.
    long run(Connection& conn, const Range* range, KeyArray& keys, long limit);
    std::vector<Range> rangesAfterBoundary() const;
    void setBoundary(Connection& conn, std::int64_t rowid);
    void clearBoundary();

    QString from_;
    QString where_;
    std::vector<Term> terms_;
    QString order_;        // the ORDER BY items with the rowid
    QString boundarySql_;  // the sort values of one row
    bool rowidDescending_ = false;
    // The sort values and rowid of the last row read; no values before the first chunk.
    std::vector<sqlite3_value*> boundary_;
    std::int64_t boundaryRowid_ = 0;
    bool started_ = false;
    // The file as the first chunk saw it; the rowids read, kept once it changed.
    std::int64_t dataVersion_ = 0;
    std::uint64_t changes_ = 0;
    std::unique_ptr<RowidSet> seen_;
};

}  // namespace tv::engine
