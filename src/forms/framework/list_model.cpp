#include "forms/framework/list_model.h"

#include "data/failure.h"

#include <QAbstractItemView>
#include <QBrush>
#include <QElapsedTimer>
#include <QIcon>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>
#include <limits>

namespace tv::forms {

namespace {

// Keys read by the first chunk after the first screenful, growing fourfold per chunk to
// the last size (a few milliseconds' work). One turn of the event loop reads chunks for
// up to kTurnMs and then shows their rows together, so the window stays responsive while
// a list of a million rows fills in a handful of turns.
constexpr long kFirstChunk = 4096;
constexpr long kLastChunk = 65536;
constexpr int kTurnMs = 15;
// A chunk that fails (the file locked past the busy timeout) is tried again this often,
// half a second apart; after that the list keeps what it has until asked for more.
constexpr int kRetries = 5;
constexpr int kRetryMs = 500;

QVariant alignmentOf(const ListColumn& column) {
    const Qt::Alignment h = column.alignment == 1   ? Qt::AlignRight
                            : column.alignment == 2 ? Qt::AlignHCenter
                                                    : Qt::AlignLeft;
    return QVariant::fromValue(h | Qt::AlignVCenter);
}

}  // namespace

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {
    fill_.setSingleShot(true);
    connect(&fill_, &QTimer::timeout, this, &ListModel::fillStep);
}

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
    complete_ = true;
    failures_ = 0;
    fill_.stop();
    (void)data::attempt([&] {
        if (!rs_.IsOpen()) return;
        count_ = std::max(0L, rs_.KeysRead());
        complete_ = rs_.KeysComplete();
    });
    endResetModel();
    if (!complete_) {
        chunk_ = kFirstChunk;
        fill_.start(0);
    }
}

void ListModel::clearRows() { setRecordset(engine::Recordset()); }

engine::Recordset& ListModel::recordset() {
    fetchAll();
    return rs_;
}

long ListModel::recordCount() {
    fetchAll();
    return count_;
}

void ListModel::fetchTo(long row) {
    while (!complete_ && count_ <= row && readKeys(std::max(kLastChunk, row + 1 - count_))) {
    }
}

void ListModel::fetchAll() { readKeys(kLastChunk, std::numeric_limits<int>::max()); }

void ListModel::fillStep() {
    if (!readKeys(chunk_, kTurnMs)) return;
    chunk_ = kLastChunk;
    fill_.start(0);
}

bool ListModel::readKeys(long keys, int forMs) {
    if (complete_ || !rs_.IsOpen()) return false;
    bool done = false;
    long known = count_;
    QElapsedTimer clock;
    clock.start();
    if (data::attempt([&] {
            do {
                done = rs_.FetchKeys(keys);
                keys = std::min(keys * 4, std::max(keys, kLastChunk));
            } while (!done && clock.elapsed() < forMs);
            known = rs_.KeysRead();
        })) {
        if (++failures_ <= kRetries) fill_.start(kRetryMs);
        return false;
    }
    failures_ = 0;
    if (known > count_) {
        // A block cut short by the old end of the rows is read again when next shown.
        std::erase_if(blocks_, [](const Block& block) { return block.rows < kBlockRows; });
        beginInsertRows(QModelIndex(), rowCount(), static_cast<int>(std::min<long>(
                                                       known, std::numeric_limits<int>::max()) - 1));
        count_ = known;
        endInsertRows();
    }
    if (!done) return true;
    complete_ = true;
    fill_.stop();
    emit keysCompleted(count_);
    return false;
}

bool ListModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !complete_ && rs_.IsOpen();
}

// A view asks for more when it shows the last row read: a few screenfuls will do, the
// fill goes on behind them.
void ListModel::fetchMore(const QModelIndex& parent) {
    if (!parent.isValid()) readKeys(16 * kBlockRows);
}

void ListModel::followEnds(QAbstractItemView* view) {
    view->installEventFilter(this);
    QScrollBar* bar = view->verticalScrollBar();
    connect(bar, &QAbstractSlider::actionTriggered, this, [this, view, bar](int action) {
        if (complete_ || (action != QAbstractSlider::SliderToMaximum &&
                          bar->sliderPosition() < bar->maximum()))
            return;
        fetchAll();
        view->doItemsLayout();  // the scroll range of every row, now rather than later
        bar->setSliderPosition(bar->maximum());
    });
}

bool ListModel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !complete_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Ctrl+End goes to the last row of the list, not of the rows read so far.
        if (key->key() == Qt::Key_End && (key->modifiers() & Qt::ControlModifier)) fetchAll();
    }
    return QAbstractTableModel::eventFilter(watched, event);
}

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
        for (long i = 0; i < wanted; ++i) {
            // No move past the last row wanted: at the end of the keys read so far it
            // would read the next chunk of keys here.
            if (i > 0) rs_.MoveNext();
            if (rs_.EOF_()) break;
            for (const ListColumn& column : columns_) {
                block.cells.push_back(
                    column.field < fields ? ListCellText(rs_[column.field], column) : QString());
            }
            block.bookmarks.push_back(rs_.Bookmark());
            ++block.rows;
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
