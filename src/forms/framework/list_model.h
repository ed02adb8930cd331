// The list window's grid model: the rows of an open record set (usually a dynaset, i.e.
// a key set whose rows are read by key when visited) served on demand. A view asks for
// hundreds of cells per screen, so rows are read a block at a time around the one asked
// for (by AbsolutePosition) and kept, already written as text, in a small cache of
// blocks; data() never reads the database itself when the row's block is cached.
//
// A record set opened with engine::kKeysInChunks knows only its first keys (a screenful)
// when it opens, so the list shows at once however long it is. The model then takes the
// rest of the key set from the event loop as the engine reads it (on threads of its own
// for a file, in growing chunks on this one otherwise), adding the rows to the end as it
// goes (the scroll range grows), and says keysCompleted() with the count once every key
// is read. A jump to the end before then (Ctrl+End, the scroll bar taken to the
// bottom; see followEnds) reads the rest at once and lands on the real last row, and
// anything that needs every row (the count, a walk or search through recordset()) reads
// them first. Between chunks no read lock is held, so other workstations write freely.
//
// Column captions, patterns and alignment come from the table's list columns (FIELD
// DEFINITIONS); one column may carry colour coding and pictures from a lookup table.
#pragma once

#include "engine/engine.h"
#include "forms/framework/code_styles.h"
#include "forms/framework/list_columns.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <vector>

class QAbstractItemView;

namespace tv::forms {

class ListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Rows read together; a screenful or two of a grid.
    static constexpr int kBlockRows = 64;
    // Blocks kept; the least recently used goes first.
    static constexpr int kCachedBlocks = 16;

    explicit ListModel(QObject* parent = nullptr);
    ~ListModel() override;

    void setColumns(std::vector<ListColumn> columns);
    const std::vector<ListColumn>& columns() const { return columns_; }

    // Shows the rows of the record set (the model keeps it and reads only through it); a
    // record set that is not open shows no rows.
    void setRecordset(engine::Recordset rs);
    // Shows no rows and releases the record set.
    void clearRows();
    // The record set, with every key read (callers walk it, search it or clone it).
    engine::Recordset& recordset();

    // The number of rows, every key read first.
    long recordCount();
    // Whether every key has been read (the count is known).
    bool keysComplete() const { return complete_; }
    // Reads keys until `row` is a row of the model (or every key is read).
    void fetchTo(long row);
    // Reads every key that is left.
    void fetchAll();
    // Makes the view's jumps to the end (Ctrl+End, the scroll bar at its bottom) land on
    // the last row while keys are still being read.
    void followEnds(QAbstractItemView* view);
    // The bookmark of a row (valid for the record set and its clones); nothing when the
    // row cannot be read.
    std::optional<QByteArray> bookmark(int row) const;
    // Reads the rows again (after other users' changes) without changing the count.
    void dropCache();

    // Colour coding and pictures for one column (-1: none).
    void setCodeStyles(int column, CodeStyles styles);
    int styledColumn() const { return styledColumn_; }

    // How many blocks were read since the rows were given (for tests and benchmarks).
    int blockReads() const { return blockReads_; }

    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // Every key has been read: the list holds `count` rows.
    void keysCompleted(long count);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Block {
        long first = 0;              // first row of the block
        int rows = 0;                // rows actually read (fewer at the end)
        std::vector<QString> cells;  // rows x columns, row by row
        std::vector<QByteArray> bookmarks;
        std::uint64_t used = 0;
    };

    const Block* blockFor(long row) const;
    Block readBlock(long first) const;
    const QString* cell(long row, int column) const;
    // Reads `keys` more keys (or all that are left), then more in growing chunks for up
    // to `forMs` milliseconds, and shows the rows read; true while keys are left.
    bool readKeys(long keys, int forMs = 0);
    void fillStep();

    std::vector<ListColumn> columns_;
    // Reading rows moves the record set; the model's view of it stays logically const.
    mutable engine::Recordset rs_;
    long count_ = 0;
    bool complete_ = true;
    QTimer fill_;     // reads the next chunk of keys from the event loop
    long chunk_ = 0;  // keys the first chunk of the next turn reads
    int failures_ = 0;
    mutable std::vector<Block> blocks_;
    mutable std::uint64_t clock_ = 0;
    mutable int blockReads_ = 0;
    int styledColumn_ = -1;
    CodeStyles styles_;
};

}  // namespace tv::forms
