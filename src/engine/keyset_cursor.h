// A dynaset over one table: the rowids of the query's rows, in query order, are read
// once when it opens (one pass of the query that SQLite can often answer from an index
// alone); rows are read by rowid when visited, a chunk at a time around the position
// (read-ahead that grows while the walk goes one way). The row count is therefore exact
// as soon as the dynaset opens, which is harmless where Jet would still be counting.
//
// Opened with kKeysInChunks, a dynaset whose order an index gives reads only its first
// keys when it opens and the rest in chunks (KeysetPager). On a file the rest is read at
// once, from both ends, on two threads of its own (KeyFiller) and joins the key set when
// asked (fetchKeys), when a move goes past the last key taken, and all of it for whatever
// needs every key (the count, MoveLast, a Find, adding a row); elsewhere (a server, an
// open transaction) the chunks are read on those occasions. Callers see the same rows
// either way.
//
// Rows deleted through the dynaset (or found gone when read) are skipped by moves; rows
// added through it join the end, as in Jet. Clones share the key set, and its filling.
#pragma once

#include "engine/db_impl.h"
#include "engine/key_array.h"
#include "engine/keyset_pager.h"
#include "engine/row_buffer.h"
#include "engine/row_source.h"
#include "engine/select_shape.h"

namespace tv::engine {

// The statements of one keyed query, shared by the dynaset and its clones.
struct KeysetQuery {
    SelectShape shape;  // the statement the keys come from
    QString keysSql;    // the rowids in query order
    QString fetchHead;  // SELECT rowid, <list> FROM <from> WHERE rowid IN (
    QString matchHead;  // rowids of rows of the select list matching a condition
    std::vector<FieldInfo> fields;
    bool typed = false;  // expressions typed from a row yet
    std::shared_ptr<const TableSchema> table;
};

// Builds the statements for a keyable SELECT (see SelectShape) and describes its fields
// (`items`: what the dialect translator knows of the select list).
std::shared_ptr<KeysetQuery> prepareKeysetQuery(DatabaseCore& db, const SelectShape& shape,
                                                std::shared_ptr<const TableSchema> table,
                                                const std::vector<ResultItem>& items = {});

// The keys of a dynaset and, while they are still being read in chunks, their reader:
// the pager on the dynaset's own connection, or a filler reading on a thread of its own.
struct KeySet {
    KeyArray keys;
    std::unique_ptr<KeyReader> pager;   // the rest read on the caller's connection
    std::unique_ptr<KeyFiller> filler;  // or on threads of their own (files only)
    bool complete() const { return !pager && !filler; }
};

class KeysetCursor : public RowSource {
public:
    // `inChunks`: read the first keys only and the rest when needed (kKeysInChunks).
    KeysetCursor(DbHandle db, std::shared_ptr<KeysetQuery> query, bool inChunks = false);

    std::unique_ptr<RowSource> clone() const override;
    void requery() override;
    void moveFirst() override;
    void moveLast() override;
    void moveNext() override;
    void movePrevious() override;
    void move(long rows) override;
    bool bof() override { return !none_ && (pos_ < 0 || empty()); }
    bool eof() override { return !none_ && (pos_ >= size() || empty()); }
    bool onRow() override { return !none_ && pos_ >= 0 && pos_ < size(); }
    RowState current() override;
    tv::Variant value(int column) override;
    std::int64_t rowid() const override;
    long recordCount() override;
    long absolutePosition() override;
    void setAbsolutePosition(long position) override;
    QByteArray bookmark() const override;
    bool gotoBookmark(const QByteArray& bookmark) override;
    QByteArray bookmarkFor(std::int64_t rowid) const override;
    bool find(const QString& condition, FindKind kind) override;
    void rowChanged() override { windowChanges_ = ~std::uint64_t{0}; }
    void rowAdded(std::int64_t rowid) override;
    void rowDeleted() override;
    const std::vector<FieldInfo>& fields() override;
    bool keysComplete() override { return set_->complete(); }
    long keysRead() override { return live(); }
    bool fetchKeys(long rows) override;

private:
    const KeyArray& keys() const { return set_->keys; }
    long size() const { return keys().size(); }
    long live() const { return size() - keys().deletedCount(); }
    bool skip(long pos) const { return keys().deleted(pos); }
    void load();
    // Reads keys until position `pos` exists or every key is read.
    void ensure(long pos);
    void readAllKeys();
    // No row to stand on (every key read so far deleted, and no more to read).
    bool empty() {
        if (live() == 0) ensure(size());
        return live() == 0;
    }
    void step(int direction);
    void jumpTo(long pos);
    void readWindow(long pos);
    void markGone(long pos);

    DbHandle db_;
    std::shared_ptr<KeysetQuery> query_;
    bool inChunks_ = false;
    std::shared_ptr<KeySet> set_;
    long pos_ = 0;       // -1 BOF, size() EOF
    bool none_ = false;  // a fresh clone: no current row until a move
    // Rows read around the position, for key-set entries windowStart_ on: slot i of the
    // window is row rowOfSlot_[i] of window_ (-1: the row was not found).
    long windowStart_ = 0;
    RowBuffer window_;
    std::vector<int> rowOfSlot_;
    std::uint64_t windowChanges_ = 0;
    int chunk_ = 0;
    int direction_ = 0;
};

}  // namespace tv::engine
