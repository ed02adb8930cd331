#include "forms/framework/list_model.h"

#include "data/failure.h"

#include <QBrush>
#include <QIcon>
#include <algorithm>
#include <limits>

namespace tv::forms {

namespace {

QVariant alignmentOf(const ListColumn& column) {
    const Qt::Alignment h = column.alignment == 1   ? Qt::AlignRight
                            : column.alignment == 2 ? Qt::AlignHCenter
                                                    : Qt::AlignLeft;
    return QVariant::fromValue(h | Qt::AlignVCenter);
}

}  // namespace

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {}

ListModel::~ListModel() = default;

void ListModel::setColumns(std::vector<ListColumn> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    blocks_.clear();
    if (styledColumn_ >= static_cast<int>(columns_.size())) styledColumn_ = -1;
    endResetModel();
}

void ListModel::setRecordset(engine::Recordset rs) {
    beginResetModel();
    (void)data::attempt([&] {
        if (rs_.IsOpen()) rs_.Close();
    });
    rs_ = std::move(rs);
    blocks_.clear();
    blockReads_ = 0;
    count_ = 0;
    (void)data::attempt([&] {
        if (rs_.IsOpen()) count_ = std::max(0L, rs_.RecordCount());
    });
    endResetModel();
}

void ListModel::clearRows() { setRecordset(engine::Recordset()); }

void ListModel::dropCache() {
    blocks_.clear();
    if (count_ > 0 && !columns_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void ListModel::setCodeStyles(int column, CodeStyles styles) {
    styledColumn_ = column;
    styles_ = std::move(styles);
    if (count_ > 0 && column >= 0 && column < columnCount())
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

int ListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    // A view counts rows in int; no list comes near that, but never overflow.
    return static_cast<int>(std::min<long>(count_, std::numeric_limits<int>::max()));
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

ListModel::Block ListModel::readBlock(long first) const {
    Block block;
    block.first = first;
    const long wanted = std::min<long>(kBlockRows, count_ - first);
    const auto columns = static_cast<int>(columns_.size());
    block.cells.reserve(static_cast<size_t>(wanted * columns));
    block.bookmarks.reserve(static_cast<size_t>(wanted));
    // A failing read (a file gone, a lock) ends the block: the rows read so far show and
    // the rest stay empty rather than stopping the window.
    (void)data::attempt([&] {
        rs_.SetAbsolutePosition(first);
        const int fields = rs_.FieldCount();
        for (long i = 0; i < wanted && !rs_.EOF_(); ++i) {
            for (const ListColumn& column : columns_) {
                block.cells.push_back(
                    column.field < fields ? ListCellText(rs_[column.field], column) : QString());
            }
            block.bookmarks.push_back(rs_.Bookmark());
            ++block.rows;
            rs_.MoveNext();
        }
    });
    block.cells.resize(static_cast<size_t>(block.rows * columns));
    ++blockReads_;
    return block;
}

const ListModel::Block* ListModel::blockFor(long row) const {
    if (row < 0 || row >= count_ || !rs_.IsOpen()) return nullptr;
    const long first = row - row % kBlockRows;
    for (Block& block : blocks_) {
        if (block.first == first) {
            block.used = ++clock_;
            return &block;
        }
    }
    Block block = readBlock(first);
    block.used = ++clock_;
    if (static_cast<int>(blocks_.size()) < kCachedBlocks) {
        blocks_.push_back(std::move(block));
        return &blocks_.back();
    }
    auto oldest = std::min_element(blocks_.begin(), blocks_.end(),
                                   [](const Block& a, const Block& b) { return a.used < b.used; });
    *oldest = std::move(block);
    return &*oldest;
}

const QString* ListModel::cell(long row, int column) const {
    const Block* block = blockFor(row);
    if (!block) return nullptr;
    const long at = row - block->first;
    if (at >= block->rows) return nullptr;
    return &block->cells[static_cast<size_t>(at * static_cast<long>(columns_.size()) + column)];
}

std::optional<QByteArray> ListModel::bookmark(int row) const {
    const Block* block = blockFor(row);
    if (!block) return std::nullopt;
    const long at = row - block->first;
    if (at >= block->rows) return std::nullopt;
    return block->bookmarks[static_cast<size_t>(at)];
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole: {
            const QString* text = cell(index.row(), column);
            return text ? QVariant(*text) : QVariant(QString());
        }
        case Qt::TextAlignmentRole:
            return alignmentOf(columns_[static_cast<size_t>(column)]);
        case Qt::BackgroundRole:
        case Qt::DecorationRole: {
            if (column != styledColumn_ || styles_.empty()) return {};
            const QString* text = cell(index.row(), column);
            const CodeStyle* style = text ? styles_.match(*text) : nullptr;
            if (!style) return {};
            if (role == Qt::BackgroundRole)
                return style->background.isValid() ? QVariant(QBrush(style->background))
                                                   : QVariant();
            return style->picture.isNull() ? QVariant() : QVariant(style->picture);
        }
        default:
            return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < columnCount()) {
        if (role == Qt::DisplayRole) return columns_[static_cast<size_t>(section)].caption;
        if (role == Qt::TextAlignmentRole)
            return alignmentOf(columns_[static_cast<size_t>(section)]);
    }
    // Rows have no caption: the row header is only a handle for the row height.
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) return {};
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace tv::forms
