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
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
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
    bool contains(std::int64_t rowid) const;

private:
    static constexpr std::int64_t kBitmapRowids = std::int64_t{1} << 26;
    std::vector<std::uint64_t> bits_;
    std::unordered_set<std::int64_t> others_;
};

// A place in a key set's order: the sort values and rowid of a row as they were read.
// It stays where it is when someone later moves or deletes that row.
struct KeyMark {
    KeyMark() = default;
    ~KeyMark();
    KeyMark(const KeyMark&) = delete;
    KeyMark& operator=(const KeyMark&) = delete;

    std::vector<sqlite3_value*> values;  // owned copies, one per sort item
    std::int64_t rowid = 0;
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
    // `reversed`: the rows in the opposite order, the last first.
    static std::unique_ptr<KeysetPager> make(Connection& conn, const SelectShape& shape,
                                             const TableSchema& table, bool reversed = false);
    ~KeysetPager() override;
    KeysetPager(const KeysetPager&) = delete;
    KeysetPager& operator=(const KeysetPager&) = delete;

    bool read(Connection& conn, KeyArray& keys, long rows) override;
    // The next chunks are read on another connection, whose view of the file's changes
    // cannot be set beside this one's: from now on every rowid is checked against those
    // read so far (`keys`), as after a change.
    void changeConnection(const KeyArray& keys);
    // The caller leaves out the rowids read twice itself (KeyFiller).
    void leaveRepeatsToCaller() { callerChecks_ = true; }
    // Where the chunks read so far end (null before one has filled its limit).
    std::shared_ptr<const KeyMark> mark() const { return boundary_; }
    // How many of `keys` (read in this pager's order) come before `mark` in that order,
    // by their sort values as the file holds them now: called in the read scope the keys
    // were read in, it finds where they cross a place some other reader has reached.
    long countBefore(Connection& conn, const KeyArray& keys, const KeyMark& mark) const;

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
    // 1 when the row of the last parameter lies before `mark` in this order (see countBefore).
    QString beforeSql(const KeyMark& mark) const;
    // Runs one query for up to `limit` rows; returns how many rows it gave.
    long run(Connection& conn, const Range* range, KeyArray& keys, long limit);
    std::vector<Range> rangesAfterBoundary() const;
    void setBoundary(Connection& conn, std::int64_t rowid);
    sqlite3_value* bound(size_t term) const { return boundary_->values[term]; }

    QString from_;
    QString where_;
    std::vector<Term> terms_;
    QString order_;        // the ORDER BY items with the rowid
    QString boundarySql_;  // the sort values of one row
    bool rowidDescending_ = false;
    // The sort values and rowid of the last row read; null before the first chunk.
    std::shared_ptr<const KeyMark> boundary_;
    bool started_ = false;
    bool callerChecks_ = false;
    // The file as the first chunk saw it; the rowids read, kept once it changed.
    std::int64_t dataVersion_ = 0;
    std::uint64_t changes_ = 0;
    std::unique_ptr<RowidSet> seen_;
};

// Reads the rest of a key set on two threads of their own, each through its own
// read-only connection to the file, while the caller (the GUI thread) shows the first
// rows and stays free: one walks on from the first chunk, the other from the last row
// backwards, and they stop where they meet, so the count arrives after half the walk
// on each of two cores. The chunks are the pagers', with no statement or read
// transaction held between them, so other workstations (and this program's own
// connection) write as freely as before.
//
// Every rowid read is noted with the side that read it, and each is listed by one side
// only. Each side publishes a mark after every chunk: the sort values and rowid of its
// last row as it read them. The walks meet where one side's chunk crosses the other's
// mark, judged by the rows' sort values in the same read as the chunk; the rows from the
// mark on are the other side's. A rowid would not do: the row at the mark may have been
// moved to the other end since, and met there too early. A row someone moved while the
// walks went on is left to the side that read it first. The rows read from the end join
// the key set when the walks meet, in the query's order.
//
// The keys read wait in the filler until take() moves them into the key set, on the
// caller's thread: the key set itself is only ever touched there.
class KeyFiller {
public:
    // Takes over `forward`, which has read the first chunk (`keys`) on another
    // connection, and `backward` (the same query in the reverse order, nothing read yet;
    // null to walk one way only). The walks start at the first take(): a list shows its
    // first rows before they compete with it for the processor.
    KeyFiller(QString path, int busyTimeoutMs, std::unique_ptr<KeysetPager> forward,
              std::unique_ptr<KeysetPager> backward, const KeyArray& keys);
    // Stops both walks after their current chunks.
    ~KeyFiller();
    KeyFiller(const KeyFiller&) = delete;
    KeyFiller& operator=(const KeyFiller&) = delete;

    // Whether a file at `path` can be read this way (not an in-memory database).
    static bool canRead(const QString& path);

    // Appends the keys read on from the first chunk since the last call to `keys`, first
    // waiting for some when there are none yet, and all the rest once the walks have
    // met; true then. A failure of a walk (the file locked past the busy timeout) is
    // thrown here once; the next call starts the walks again where they stopped.
    bool take(KeyArray& keys);

    // Ends the walks after their current chunks, appends what was read on from the first
    // chunk to `keys` and hands that pager back (null when every key was read), to go on
    // on the caller's connection; what was read from the end is read again by it.
    std::unique_ptr<KeysetPager> stop(KeyArray& keys);

private:
    struct Side {
        std::unique_ptr<KeysetPager> pager;
        std::unique_ptr<Connection> conn;  // made by the walk, on its thread
        RowidSet read;                     // every rowid this side read
        KeyArray chunk;                    // the chunk being read (its blocks kept)
        std::vector<std::int64_t> keys;    // read, in this side's order, not yet taken
        // Where its chunks end, while it walks on.
        std::shared_ptr<const KeyMark> mark;
        bool running = false;
        bool done = false;  // read to its end
        std::thread thread;
    };
    void start();
    void walk(Side& side, Side& other);
    bool complete() const { return met_ || front_.done || back_.done; }

    QString path_;
    int busyTimeoutMs_;
    Side front_;
    Side back_;
    std::mutex mutex_;
    std::condition_variable ready_;
    bool met_ = false;
    bool handedOver_ = false;  // the rows from the end are in the key set
    std::exception_ptr failure_;
    std::atomic<bool> stop_{false};
};

}  // namespace tv::engine
