// Dynasets as key sets over one table.
#include "engine/keyset_cursor.h"

#include "engine/pg_keyset.h"
#include "engine/query_fields.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace tv::engine {

namespace {
constexpr int kFirstChunk = 16;
constexpr int kMaxChunk = 256;
// Statement shapes for reading rows by rowid: a chunk uses the smallest that holds it.
constexpr int kBuckets[] = {1, 4, 16, 64, 256};
// Keys read when a dynaset that fills in chunks opens: a screenful of a list and more.
constexpr long kFirstKeys = 256;
// Keys read at a time when a move or a count needs more of them.
constexpr long kKeysPerChunk = 65536;
}  // namespace

std::shared_ptr<KeysetQuery> prepareKeysetQuery(DatabaseCore& db, const SelectShape& shape,
                                                std::shared_ptr<const TableSchema> table,
                                                const std::vector<ResultItem>& items) {
    auto query = std::make_shared<KeysetQuery>();
    query->shape = shape;
    query->table = std::move(table);
    const QString& selectList = shape.selectList;
    const QString& from = shape.from;
    const QString& tail = shape.tail;
    const QString withRowid =
        QStringLiteral("SELECT %1, rowid AS __tv_rowid FROM %2").arg(selectList, from);
    // SQLite flattens the sub-query: only the rowid and the sort keys are read, often
    // from an index alone, while ORDER BY by position still counts the select list.
    query->keysSql = QStringLiteral("SELECT __tv_rowid FROM (%1%2) AS tv_keys")
                         .arg(withRowid, tail.isEmpty() ? QString() : u' ' + tail);
    if (db.conn().isServer()) {
        // A server keeps no order through a sub-query, and ties follow the rowid only when
        // told: the key set is the last column of the query itself.
        const qsizetype limitAt =
            shape.limited ? tail.lastIndexOf(QLatin1String("LIMIT "), -1, Qt::CaseInsensitive) : -1;
        QString ordered = limitAt >= 0 ? tail.left(limitAt).trimmed() : tail;
        ordered += shape.orderBy.isEmpty() ? QStringLiteral(" ORDER BY rowid") : QStringLiteral(", rowid");
        if (limitAt >= 0) ordered += u' ' + tail.mid(limitAt);
        query->keysSql = withRowid + u' ' + ordered.trimmed();
    }
    // The rowid first: a "*" that grows when another user adds a column leaves it in place.
    query->fetchHead =
        QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (").arg(selectList, from);
    query->matchHead = QStringLiteral("SELECT __tv_rowid FROM (%1) AS tv_rows WHERE ").arg(withRowid);
    Statement statement = db.conn().cached(query->fetchHead + QStringLiteral("?)"));
    query->fields =
        describeColumns(statement, 1, statement.columnCount() - 1, query->table.get(), &items,
                        db.conn().isServer() ? &db.conn() : nullptr);
    query->typed = std::none_of(query->fields.begin(), query->fields.end(),
                                [](const FieldInfo& f) { return f.typeFromValue; });
    return query;
}

KeysetCursor::KeysetCursor(DbHandle db, std::shared_ptr<KeysetQuery> query, bool inChunks)
    : db_(std::move(db)), query_(std::move(query)), inChunks_(inChunks) {
    load();
}

void KeysetCursor::load() {
    auto set = std::make_shared<KeySet>();
    Connection& conn = db_->conn();
    bool paged = false;
    if (inChunks_ && conn.isServer()) {
        set->pager = ServerKeysetPager::make(query_->shape, *query_->table);
        paged = set->pager != nullptr;
        if (paged && set->pager->read(conn, set->keys, kFirstKeys)) set->pager.reset();
    } else if (inChunks_) {
        std::unique_ptr<KeysetPager> pager = KeysetPager::make(conn, query_->shape, *query_->table);
        paged = pager != nullptr;
        if (paged && !pager->read(conn, set->keys, kFirstKeys)) {
            if (!conn.inTransaction() && KeyFiller::canRead(conn.path()))
                set->filler = std::make_unique<KeyFiller>(
                    conn.path(), conn.busyTimeout(), std::move(pager),
                    KeysetPager::make(conn, query_->shape, *query_->table, true), set->keys);
            else
                set->pager = std::move(pager);
        }
    }
    if (!paged) {
        Statement statement = conn.cached(query_->keysSql);
        const int key = conn.isServer() ? statement.columnCount() - 1 : 0;
        while (statement.step()) set->keys.push_back(statement.intAt(key));
    }
    set_ = std::move(set);
    window_.reset(query_->fields.size());
    rowOfSlot_.clear();
    none_ = false;
    direction_ = 0;
    pos_ = 0;
}

std::unique_ptr<RowSource> KeysetCursor::clone() const {
    auto copy = std::unique_ptr<KeysetCursor>(new KeysetCursor(*this));
    copy->none_ = true;
    copy->window_.clear();
    copy->rowOfSlot_.clear();
    return copy;
}

void KeysetCursor::requery() { load(); }

bool KeysetCursor::fetchKeys(long rows) {
    if (set_->filler && db_->conn().inTransaction()) {
        // Rows this connection writes are its own until they commit, and its lock may
        // keep the filler's connection out meanwhile: the rest is read here.
        set_->pager = set_->filler->stop(set_->keys);
        set_->filler.reset();
    }
    if (set_->filler) {
        if (set_->filler->take(set_->keys)) set_->filler.reset();
    } else if (set_->pager && set_->pager->read(db_->conn(), set_->keys, rows)) {
        set_->pager.reset();
    }
    return set_->complete();
}

void KeysetCursor::ensure(long pos) {
    while (pos >= size() && !set_->complete()) fetchKeys(kKeysPerChunk);
}

void KeysetCursor::readAllKeys() {
    while (!set_->complete()) fetchKeys(kKeysPerChunk);
}

long KeysetCursor::recordCount() {
    readAllKeys();
    return live();
}

std::int64_t KeysetCursor::rowid() const {
    return !none_ && pos_ >= 0 && pos_ < size() ? keys()[pos_] : 0;
}

void KeysetCursor::jumpTo(long pos) {
    none_ = false;
    direction_ = 0;
    pos_ = pos;
}

void KeysetCursor::moveFirst() {
    long pos = 0;
    for (ensure(pos); pos < size() && skip(pos); ensure(pos)) ++pos;
    jumpTo(pos);
}

void KeysetCursor::moveLast() {
    readAllKeys();
    long pos = size() - 1;
    while (pos >= 0 && skip(pos)) --pos;
    jumpTo(pos);
}

void KeysetCursor::step(int direction) {
    if (direction != direction_) chunk_ = kFirstChunk;
    direction_ = direction;
    do {
        pos_ += direction;
        if (direction > 0) ensure(pos_);
    } while (pos_ >= 0 && pos_ < size() && skip(pos_));
    pos_ = std::clamp(pos_, -1L, size());
}

void KeysetCursor::moveNext() {
    if (none_ || pos_ < 0) {
        moveFirst();
        return;
    }
    step(1);
}

void KeysetCursor::movePrevious() {
    if (none_ || pos_ >= size()) {
        moveLast();
        return;
    }
    step(-1);
}

void KeysetCursor::move(long rows) {
    if (rows == 1 || rows == -1) {
        step(static_cast<int>(rows));
        return;
    }
    if (keys().deletedCount() == 0) {
        if (rows > 0) ensure(pos_ + rows);
        jumpTo(std::clamp(pos_ + rows, -1L, size()));
        return;
    }
    RowSource::move(rows);
    direction_ = 0;
}

long KeysetCursor::absolutePosition() {
    if (!onRow()) return -1;
    return keys().liveBefore(pos_);
}

void KeysetCursor::setAbsolutePosition(long position) {
    // The row lies at most as many keys further as rows were deleted before it.
    if (position >= 0) ensure(position + keys().deletedCount());
    if (position < 0 || position >= live()) fail(err::kNoCurrentRecord);
    if (keys().deletedCount() == 0) {
        jumpTo(position);
        return;
    }
    long pos = 0;
    for (long seen = -1; pos < size(); ++pos)
        if (!skip(pos) && ++seen == position) break;
    jumpTo(pos);
}

QByteArray KeysetCursor::bookmark() const { return encodeBookmark(pos_, keys()[pos_]); }

bool KeysetCursor::gotoBookmark(const QByteArray& bookmark) {
    std::int64_t pos = 0;
    std::int64_t rowid = 0;
    if (!decodeBookmark(bookmark, &pos, &rowid)) return false;
    if (pos < 0 || pos >= size() || keys()[static_cast<long>(pos)] != rowid) {
        // Made before a requery: look the row up.
        readAllKeys();
        pos = keys().indexOf(rowid);
        if (pos < 0) return false;
    }
    if (skip(static_cast<long>(pos))) return false;
    jumpTo(static_cast<long>(pos));
    return true;
}

QByteArray KeysetCursor::bookmarkFor(std::int64_t rowid) const {
    const long pos = keys().lastIndexOf(rowid);
    return pos < 0 ? QByteArray() : encodeBookmark(pos, rowid);
}

void KeysetCursor::markGone(long pos) { set_->keys.markDeleted(pos); }

void KeysetCursor::rowAdded(std::int64_t rowid) {
    if (!set_->complete()) {
        // The rest of the keys may hold the new row already (it is in the table now).
        readAllKeys();
        if (keys().lastIndexOf(rowid) >= 0) return;
    }
    set_->keys.push_back(rowid);
}

void KeysetCursor::rowDeleted() {
    if (onRow()) markGone(pos_);
}

void KeysetCursor::readWindow(long pos) {
    const bool sequential = direction_ != 0 && !rowOfSlot_.empty();
    chunk_ = sequential ? std::min(chunk_ * 4, kMaxChunk) : kFirstChunk;
    long start = pos;
    long end = std::min(size(), pos + chunk_);
    if (direction_ < 0) {
        start = std::max(0L, pos - chunk_ + 1);
        end = pos + 1;
    }
    std::vector<std::int64_t> ids;
    for (long p = start; p < end; ++p)
        if (!skip(p)) ids.push_back(keys()[p]);
    int bucket = kBuckets[0];
    for (int b : kBuckets)
        if ((bucket = b) >= static_cast<int>(ids.size())) break;

    QString sql = query_->fetchHead;
    for (int i = 0; i < bucket; ++i) sql += i ? QStringLiteral(",?") : QStringLiteral("?");
    sql += u')';
    // Rows come back in rowid order: note where each rowid lies in the window.
    std::unordered_map<std::int64_t, size_t> slotOf;
    for (long p = start; p < end; ++p) slotOf.emplace(keys()[p], static_cast<size_t>(p - start));
    window_.clear();
    rowOfSlot_.assign(static_cast<size_t>(end - start), -1);
    {
        Statement statement = db_->conn().cached(sql);
        for (int i = 0; i < bucket; ++i)
            statement.bindInt(i + 1, ids[std::min(static_cast<size_t>(i), ids.size() - 1)]);
        while (statement.step()) {
            const auto slot = slotOf.find(statement.intAt(0));
            if (slot == slotOf.end() || rowOfSlot_[slot->second] >= 0) continue;
            rowOfSlot_[slot->second] = static_cast<int>(window_.rows());
            window_.append(statement, 1, 0);
        }
    }
    windowStart_ = start;
    windowChanges_ = db_->conn().changeCount();
}

RowState KeysetCursor::current() {
    if (!onRow()) return RowState::None;
    if (skip(pos_)) return RowState::Deleted;
    const bool inWindow =
        pos_ >= windowStart_ && pos_ < windowStart_ + static_cast<long>(rowOfSlot_.size());
    if (!inWindow || windowChanges_ != db_->conn().changeCount()) readWindow(pos_);
    if (rowOfSlot_[static_cast<size_t>(pos_ - windowStart_)] < 0) {
        // Deleted by someone else since the key set was read.
        markGone(pos_);
        return RowState::Deleted;
    }
    return RowState::Present;
}

tv::Variant KeysetCursor::value(int column) {
    const int row = rowOfSlot_[static_cast<size_t>(pos_ - windowStart_)];
    return window_.value(static_cast<size_t>(row), static_cast<size_t>(column),
                         query_->fields[static_cast<size_t>(column)]);
}

bool KeysetCursor::find(const QString& condition, FindKind kind) {
    readAllKeys();
    std::unordered_set<std::int64_t> matches;
    {
        Statement statement = db_->conn().once(query_->matchHead + u'(' + condition + u')');
        while (statement.step()) matches.insert(statement.intAt(0));
    }
    if (matches.empty()) return false;
    const long pos =
        findInOrder(findFrom(kind, onRow(), !none_ && pos_ < 0, !none_ && pos_ >= size()), pos_,
                    size(), [&](long at) { return !skip(at) && matches.count(keys()[at]) > 0; });
    if (pos < 0) return false;
    jumpTo(pos);
    return true;
}

const std::vector<FieldInfo>& KeysetCursor::fields() {
    std::vector<FieldInfo>& fields = query_->fields;
    if (query_->typed) return fields;
    long first = 0;
    for (ensure(first); first < size() && skip(first); ensure(first)) ++first;
    if (first < size()) {
        query_->typed = true;
        // Expressions are typed by what the first row holds.
        Statement statement = db_->conn().cached(query_->fetchHead + QStringLiteral("?)"));
        statement.bindInt(1, keys()[first]);
        if (statement.step())
            for (size_t col = 0; col < fields.size(); ++col)
                if (fields[col].typeFromValue)
                    fields[col].type = dynamicType(statement.columnType(static_cast<int>(col) + 1));
    }
    return fields;
}

}  // namespace tv::engine
