// A read-only record set over a query that has no keys to follow (DISTINCT, GROUP BY,
// joins, aggregates, views): its rows are read once when it opens and kept. Clones
// share them. Such results are summaries and short lists, small enough to hold.
#pragma once

#include "engine/db_impl.h"
#include "engine/row_buffer.h"
#include "engine/row_source.h"

namespace tv::engine {

class SnapshotCursor : public RowSource {
public:
    // `items`: what the dialect translator knows of the select list (dates among them).
    SnapshotCursor(DbHandle db, const QString& sql, std::vector<ResultItem> items = {});

    std::unique_ptr<RowSource> clone() const override;
    void requery() override;
    void moveFirst() override { jumpTo(0); }
    void moveLast() override { jumpTo(size() - 1); }
    void moveNext() override;
    void movePrevious() override;
    void move(long rows) override;
    bool bof() override { return !none_ && (pos_ < 0 || size() == 0); }
    bool eof() override { return !none_ && (pos_ >= size() || size() == 0); }
    bool onRow() override { return !none_ && pos_ >= 0 && pos_ < size(); }
    RowState current() override { return onRow() ? RowState::Present : RowState::None; }
    tv::Variant value(int column) override;
    std::int64_t rowid() const override { return pos_; }
    long recordCount() override { return size(); }
    long absolutePosition() override { return onRow() ? pos_ : -1; }
    void setAbsolutePosition(long position) override;
    QByteArray bookmark() const override { return encodeBookmark(pos_); }
    bool gotoBookmark(const QByteArray& bookmark) override;
    QByteArray bookmarkFor(std::int64_t) const override { return QByteArray(); }
    bool find(const QString& condition, FindKind kind) override;
    const std::vector<FieldInfo>& fields() override { return data_->fields; }

private:
    struct Data {
        QString sql;
        std::vector<ResultItem> items;
        std::vector<FieldInfo> fields;
        RowBuffer rows;
    };
    long size() const { return static_cast<long>(data_->rows.rows()); }
    void load();
    void jumpTo(long pos);
    bool matches(Statement& statement, long pos);

    DbHandle db_;
    std::shared_ptr<Data> data_;
    long pos_ = 0;
    bool none_ = false;
};

}  // namespace tv::engine
