// The list window's grid model: the rows of an open record set (usually a dynaset, i.e.
// a key set whose rows are read by key when visited) served on demand. A view asks for
// hundreds of cells per screen, so rows are read a block at a time around the one asked
// for (by AbsolutePosition) and kept, already written as text, in a small cache of
// blocks; data() never reads the database itself when the row's block is cached.
//
// The row count is the record set's RecordCount, which a key set knows exactly when it
// opens. Column captions, patterns and alignment come from the table's list columns
// (FIELD DEFINITIONS); one column may carry colour coding and pictures from a lookup table.
#pragma once

#include "engine/engine.h"
#include "forms/framework/code_styles.h"
#include "forms/framework/list_columns.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

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
    engine::Recordset& recordset() { return rs_; }

    // The number of rows as the record set counted them when it was given.
    long recordCount() const { return count_; }
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

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

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

    std::vector<ListColumn> columns_;
    // Reading rows moves the record set; the model's view of it stays logically const.
    mutable engine::Recordset rs_;
    long count_ = 0;
    mutable std::vector<Block> blocks_;
    mutable std::uint64_t clock_ = 0;
    mutable int blockReads_ = 0;
    int styledColumn_ = -1;
    CodeStyles styles_;
};

}  // namespace tv::forms
