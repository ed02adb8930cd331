// A table record set's rows: the table walked along its current index (or in stored
// order when no index is set), read a few rows at a time.
//
// Nothing is read when the cursor is made. Every move is a "rows after (or before) the
// current key" query in index order, so opening and walking a table of any size costs
// only the rows visited, and other users' changes show up as the walk goes on. Keys may
// hold Nulls, so "after the key (a, b, rowid)" is asked as a few index ranges in turn:
// a = ?, b = ?, rowid > ?; then a = ?, b > ?; then a > ?. Each is one indexed search.
// Rows come in chunks that grow while the walk continues in one direction (read-ahead);
// any write through the connection makes the chunk stale.
//
// Each index column runs its own way. Null is its least value on both backends, as in a
// file's index: first in an ascending column, last in a descending one. So after b in a
// descending column come "b < ?" and then "b IS NULL", and after a Null nothing does.
//
// Along an index, rows are first read with their key columns only, which the index alone
// answers (a lookup list reading 50 names touches no table page). The first time another
// column is asked for, the chunk is read again from the current row with whole rows, and
// from then on this cursor reads whole rows.
#pragma once

#include "engine/db_impl.h"
#include "engine/row_buffer.h"
#include "engine/row_source.h"

namespace tv::engine {

class TableCursor : public RowSource {
public:
    TableCursor(DbHandle db, std::shared_ptr<const TableSchema> schema);

    // The index moves and seeks follow; nullptr walks the table in stored order. Stands
    // before the first row again.
    void setIndex(const IndexSchema* index);

    // Seek on the current index with one to three key values (trailing Nulls are "not
    // given": the seek matches on the leading columns). Returns whether a row was found;
    // when none is, the cursor stands at EOF (=, >, >=) or BOF (<, <=).
    bool seek(const QString& comparison, const std::vector<tv::Variant>& keys);

    std::unique_ptr<RowSource> clone() const override;
    void requery() override;
    void moveFirst() override;
    void moveLast() override;
    void moveNext() override;
    void movePrevious() override;
    bool bof() override;
    bool eof() override;
    bool onRow() override;
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
    void rowChanged() override;
    void rowDeleted() override;
    const std::vector<FieldInfo>& fields() override { return schema_->fields; }

private:
    // Start: before the first row, not read yet (a new record set stands on its first row
    // as soon as it is used). Empty: a move found no row at all (both BOF and EOF).
    enum class At { Start, BOF, Row, EOF_, Empty, None };
    // Rows whose first `equal` key parts equal the bound, and whose next part relates to
    // the bound by `op` (All: no condition on it).
    struct Range {
        enum Op { All, Greater, Less, IsNull, NotNull };
        int equal = 0;
        Op op = All;
    };

    Connection& conn() { return db_->conn(); }
    void resolveStart();
    QString keyName(int part) const;
    // `backwards`: in the reverse of index order.
    QString rangeSql(const Range& range, const std::vector<StoredValue>& bound, bool backwards,
                     const QString& condition, bool keysOnly);
    bool descendingPart(int part) const;  // the key part runs DESC in the index
    std::vector<Range> after(const std::vector<StoredValue>& bound, int depth,
                             bool inclusive) const;
    std::vector<Range> before(const std::vector<StoredValue>& bound, int depth,
                              bool inclusive) const;
    // Reads rows into spare_ (returned), leaving the current chunk alone; key columns only
    // when the cursor reads them so and the caller allows it.
    RowBuffer& fetch(const std::vector<StoredValue>& bound, const std::vector<Range>& ranges,
                     bool backwards, int limit, const QString& condition = QString(),
                     bool mayReadKeysOnly = true);
    bool fetchRowid(std::int64_t rowid);          // into spare_
    std::vector<StoredValue> currentKey() const;  // the index columns, then the rowid
    void standOnFetched(size_t pos);              // spare_ becomes the current chunk
    void readWholeRows();                         // the chunk again, whole rows from here
    bool keysOnly() const {
        return index_ && !wholeRows_ && plan_->keyColumns.size() < schema_->columns.size();
    }
    void standAt(At at);
    bool fresh() const;
    int nextChunk(int direction);

    DbHandle db_;
    std::shared_ptr<const TableSchema> schema_;
    const IndexSchema* index_ = nullptr;  // points into schema_
    CursorPlan* plan_ = nullptr;          // owned by schema_

    At at_ = At::Start;
    // Rows read by one query, in index order (statement columns: rowid, then the table's).
    RowBuffer chunk_;
    RowBuffer spare_;  // the next chunk is read here; storage reused from chunk to chunk
    size_t pos_ = 0;
    std::uint64_t chunkChanges_ = 0;
    bool deleted_ = false;
    bool chunkKeysOnly_ = false;  // chunk_ holds the key columns only
    bool spareKeysOnly_ = false;
    bool wholeRows_ = false;    // a column outside the key was asked for
    std::vector<int> keySlot_;  // per table column: its place in the index key, or -1
    int chunkSize_ = 0;
    int direction_ = 0;
};

}  // namespace tv::engine
