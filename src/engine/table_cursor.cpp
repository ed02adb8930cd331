// Walking a table along an index with keyset queries.
#include "engine/table_cursor.h"

#include "engine/errors.h"

#include <algorithm>
#include <optional>

namespace tv::engine {

namespace {
constexpr int kFirstChunk = 16;
constexpr int kMaxChunk = 1024;
// Rows of the index alone cost little: a seek reads a screenful of them ahead.
constexpr int kSeekReadAhead = 64;
}  // namespace

TableCursor::TableCursor(DbHandle db, std::shared_ptr<const TableSchema> schema)
    : db_(std::move(db)),
      schema_(std::move(schema)),
      plan_(&schema_->plan(nullptr)),
      chunk_(schema_->columns.size()),
      spare_(schema_->columns.size()),
      keySlot_(schema_->columns.size(), -1) {}

void TableCursor::setIndex(const IndexSchema* index) {
    index_ = index;
    plan_ = &schema_->plan(index);
    wholeRows_ = false;
    keySlot_.assign(schema_->columns.size(), -1);
    for (size_t part = 0; part < plan_->keyColumns.size(); ++part)
        keySlot_[static_cast<size_t>(plan_->keyColumns[part])] = static_cast<int>(part);
    standAt(At::Start);
}

QString TableCursor::keyName(int part) const {
    if (part < static_cast<int>(plan_->keyColumns.size()))
        return quoteName(
            schema_->columns[static_cast<size_t>(plan_->keyColumns[static_cast<size_t>(part)])]
                .name);
    return QStringLiteral("rowid");
}

bool TableCursor::descendingPart(int part) const {
    // The rowid that ends every key runs ascending.
    return index_ && part < static_cast<int>(index_->descending.size()) &&
           index_->descending[static_cast<size_t>(part)];
}

std::unique_ptr<RowSource> TableCursor::clone() const {
    auto copy = std::make_unique<TableCursor>(db_, schema_);
    copy->setIndex(index_);
    copy->at_ = At::None;
    return copy;
}

void TableCursor::requery() { standAt(At::Start); }

bool TableCursor::fresh() const { return chunkChanges_ == db_->conn().changeCount(); }

std::int64_t TableCursor::rowid() const { return at_ == At::Row ? chunk_.rowid(pos_) : 0; }

void TableCursor::standAt(At at) {
    at_ = at;
    chunk_.clear();
    pos_ = 0;
    deleted_ = false;
}

void TableCursor::standOnFetched(size_t pos) {
    // The chunk read last becomes current; the old one's storage is kept for the next.
    std::swap(chunk_, spare_);
    std::swap(chunkKeysOnly_, spareKeysOnly_);
    pos_ = pos;
    chunkChanges_ = conn().changeCount();
    at_ = At::Row;
    deleted_ = false;
}

std::vector<StoredValue> TableCursor::currentKey() const {
    std::vector<StoredValue> key;
    key.reserve(plan_->keyColumns.size() + 1);
    for (size_t part = 0; part < plan_->keyColumns.size(); ++part)
        key.push_back(chunk_.stored(
            pos_, chunkKeysOnly_ ? part : static_cast<size_t>(plan_->keyColumns[part])));
    StoredValue rowid;
    rowid.kind = SQLITE_INTEGER;
    rowid.i = chunk_.rowid(pos_);
    key.push_back(rowid);
    return key;
}

void TableCursor::resolveStart() {
    if (at_ == At::Start) moveFirst();
}

int TableCursor::nextChunk(int direction) {
    chunkSize_ = direction == direction_ ? std::min(chunkSize_ * 4, kMaxChunk) : kFirstChunk;
    direction_ = direction;
    return chunkSize_;
}

// The statement of one range; its text depends only on the range's shape (which parts
// are Null, which way it runs), so it is built once per shape and kept in the plan.
QString TableCursor::rangeSql(const Range& range, const std::vector<StoredValue>& bound,
                              bool backwards, const QString& condition, bool keysOnly) {
    quint32 shape = static_cast<quint32>(range.equal) | static_cast<quint32>(range.op) << 3 |
                    (backwards ? 1u : 0u) << 6 | (keysOnly ? 1u : 0u) << 31;
    for (int part = 0; part < range.equal; ++part)
        if (bound[static_cast<size_t>(part)].isNull()) shape |= 1u << (7 + part);
    if (condition.isEmpty()) {
        if (auto it = plan_->queries.constFind(shape); it != plan_->queries.constEnd()) return *it;
    }
    QStringList terms;
    for (int part = 0; part < range.equal; ++part)
        terms << keyName(part) + (bound[static_cast<size_t>(part)].isNull()
                                      ? QStringLiteral(" IS NULL")
                                      : QStringLiteral(" = ?"));
    const QString name = keyName(range.equal);
    switch (range.op) {
        case Range::All:
            break;
        case Range::Greater:
            terms << name + QStringLiteral(" > ?");
            break;
        case Range::Less:
            terms << name + QStringLiteral(" < ?");
            break;
        case Range::IsNull:
            terms << name + QStringLiteral(" IS NULL");
            break;
        case Range::NotNull:
            terms << name + QStringLiteral(" IS NOT NULL");
            break;
    }
    if (!condition.isEmpty()) terms << u'(' + condition + u')';
    QString sql = keysOnly ? plan_->keyHead : plan_->head;
    if (!terms.isEmpty()) sql += QStringLiteral(" WHERE ") + terms.join(QLatin1String(" AND "));
    sql += (backwards ? plan_->orderDesc : plan_->orderAsc) + QStringLiteral(" LIMIT ?");
    if (condition.isEmpty()) plan_->queries.insert(shape, sql);
    return sql;
}

// Rows after the bound in index order, nearest first: equal on all but the last part and
// past it on that part, then equal on one part less, and so on. Past v is "> v" in an
// ascending part; in a descending one it is "< v" and then Null, and nothing is past Null.
std::vector<TableCursor::Range> TableCursor::after(const std::vector<StoredValue>& bound, int depth,
                                                   bool inclusive) const {
    std::vector<Range> ranges;
    if (inclusive) ranges.push_back({depth, Range::All});
    for (int part = depth - 1; part >= 0; --part) {
        const bool null = bound[static_cast<size_t>(part)].isNull();
        if (!descendingPart(part)) {
            ranges.push_back({part, null ? Range::NotNull : Range::Greater});
        } else if (!null) {
            ranges.push_back({part, Range::Less});
            ranges.push_back({part, Range::IsNull});
        }
    }
    return ranges;
}

// Rows before the bound in index order, nearest first: the mirror of after. Before v is
// "< v" and then Null in an ascending part (nothing comes before Null there), "> v" in a
// descending one, where every value comes before Null.
std::vector<TableCursor::Range> TableCursor::before(const std::vector<StoredValue>& bound,
                                                    int depth, bool inclusive) const {
    std::vector<Range> ranges;
    if (inclusive) ranges.push_back({depth, Range::All});
    for (int part = depth - 1; part >= 0; --part) {
        const bool null = bound[static_cast<size_t>(part)].isNull();
        if (descendingPart(part)) {
            ranges.push_back({part, null ? Range::NotNull : Range::Greater});
        } else if (!null) {
            ranges.push_back({part, Range::Less});
            if (part < static_cast<int>(plan_->keyColumns.size()))
                ranges.push_back({part, Range::IsNull});
        }
    }
    return ranges;
}

RowBuffer& TableCursor::fetch(const std::vector<StoredValue>& bound,
                              const std::vector<Range>& ranges, bool backwards, int limit,
                              const QString& condition, bool mayReadKeysOnly) {
    RowBuffer& chunk = spare_;
    spareKeysOnly_ = mayReadKeysOnly && keysOnly();
    chunk.reset(spareKeysOnly_ ? plan_->keyColumns.size() : schema_->columns.size());
    std::optional<Connection::ReadScope> scope;
    if (ranges.size() > 1) scope.emplace(conn());
    for (const Range& range : ranges) {
        const int wanted = limit - static_cast<int>(chunk.rows());
        if (wanted <= 0) break;
        Statement statement =
            conn().cached(rangeSql(range, bound, backwards, condition, spareKeysOnly_));
        int index = 1;
        for (int part = 0; part < range.equal; ++part)
            if (!bound[static_cast<size_t>(part)].isNull())
                bindStoredValue(statement, index++, bound[static_cast<size_t>(part)]);
        if (range.op == Range::Greater || range.op == Range::Less)
            bindStoredValue(statement, index++, bound[static_cast<size_t>(range.equal)]);
        statement.bindInt(index, wanted);
        while (statement.step()) chunk.append(statement, 1, 0);
    }
    return chunk;
}

bool TableCursor::fetchRowid(std::int64_t rowid) {
    Statement statement = conn().cached(plan_->head + QStringLiteral(" WHERE rowid = ?"));
    statement.bindInt(1, rowid);
    if (!statement.step()) return false;
    spare_.reset(schema_->columns.size());
    spareKeysOnly_ = false;
    spare_.append(statement, 1, 0);
    return true;
}

void TableCursor::moveFirst() {
    direction_ = 0;
    RowBuffer& rows = fetch({}, {{0, Range::All}}, false, nextChunk(1));
    if (rows.rows() == 0) {
        standAt(At::Empty);
        return;
    }
    standOnFetched(0);
}

void TableCursor::moveLast() {
    direction_ = 0;
    RowBuffer& rows = fetch({}, {{0, Range::All}}, true, nextChunk(-1));
    if (rows.rows() == 0) {
        standAt(At::Empty);
        return;
    }
    rows.reverse();
    const size_t last = rows.rows() - 1;
    standOnFetched(last);
}

void TableCursor::moveNext() {
    resolveStart();
    if (at_ == At::BOF || at_ == At::None || at_ == At::Empty) {
        moveFirst();
        return;
    }
    if (at_ == At::EOF_) return;
    if (!deleted_ && fresh() && pos_ + 1 < chunk_.rows()) {
        ++pos_;
        return;
    }
    const std::vector<StoredValue> key = currentKey();
    RowBuffer& rows =
        fetch(key, after(key, static_cast<int>(key.size()), false), false, nextChunk(1));
    if (rows.rows() == 0) {
        standAt(At::EOF_);
        return;
    }
    standOnFetched(0);
}

void TableCursor::movePrevious() {
    resolveStart();
    if (at_ == At::EOF_ || at_ == At::None || at_ == At::Empty) {
        moveLast();
        return;
    }
    if (at_ == At::BOF) return;
    if (!deleted_ && fresh() && pos_ > 0) {
        --pos_;
        return;
    }
    const std::vector<StoredValue> key = currentKey();
    RowBuffer& rows =
        fetch(key, before(key, static_cast<int>(key.size()), false), true, nextChunk(-1));
    if (rows.rows() == 0) {
        standAt(At::BOF);
        return;
    }
    rows.reverse();
    const size_t last = rows.rows() - 1;
    standOnFetched(last);
}

bool TableCursor::bof() {
    resolveStart();
    return at_ == At::BOF || at_ == At::Empty;
}

bool TableCursor::eof() {
    resolveStart();
    return at_ == At::EOF_ || at_ == At::Empty;
}

bool TableCursor::onRow() {
    resolveStart();
    return at_ == At::Row;
}

RowState TableCursor::current() {
    resolveStart();
    if (at_ != At::Row) return RowState::None;
    if (deleted_) return RowState::Deleted;
    if (!fresh()) {
        // Something was written since the chunk was read: read this row again (its key
        // may have changed, which moves it in the index as in Jet).
        if (!fetchRowid(chunk_.rowid(pos_))) {
            deleted_ = true;  // the chunk stays: its key is where moves go on from
            return RowState::Deleted;
        }
        standOnFetched(0);
    }
    return RowState::Present;
}

tv::Variant TableCursor::value(int column) {
    const FieldInfo& field = schema_->fields[static_cast<size_t>(column)];
    if (chunkKeysOnly_) {
        const int part = keySlot_[static_cast<size_t>(column)];
        if (part >= 0) return chunk_.value(pos_, static_cast<size_t>(part), field);
        readWholeRows();
    }
    return chunk_.value(pos_, static_cast<size_t>(column), field);
}

void TableCursor::readWholeRows() {
    wholeRows_ = true;
    const std::vector<StoredValue> key = currentKey();
    const int depth = static_cast<int>(key.size());
    // Whole rows from the current one on, the way the walk goes.
    const bool backwards = direction_ < 0;
    direction_ = backwards ? -1 : 1;
    chunkSize_ = kFirstChunk;
    RowBuffer& rows = backwards ? fetch(key, before(key, depth, true), true, kFirstChunk)
                                : fetch(key, after(key, depth, true), false, kFirstChunk);
    if (rows.rows() == 0 || rows.rowid(0) != key.back().i) {
        // Deleted by someone else since its key was read.
        deleted_ = true;
        fail(err::kRecordDeleted);
    }
    if (!backwards) {
        standOnFetched(0);
        return;
    }
    rows.reverse();
    standOnFetched(rows.rows() - 1);
}

void TableCursor::rowChanged() { chunkChanges_ = ~std::uint64_t{0}; }

void TableCursor::rowDeleted() {
    if (at_ == At::Row) deleted_ = true;
}

long TableCursor::recordCount() {
    Statement statement =
        conn().cached(QStringLiteral("SELECT count(*) FROM ") + quoteName(schema_->name));
    statement.step();
    return static_cast<long>(statement.intAt(0));
}

long TableCursor::absolutePosition() {
    resolveStart();
    if (at_ != At::Row) return -1;
    const std::vector<StoredValue> key = currentKey();
    long count = 0;
    const Connection::ReadScope scope(conn());
    for (const Range& range : before(key, static_cast<int>(key.size()), false)) {
        // The range's own statement, counted instead of read.
        QString sql = rangeSql(range, key, false, QString(), true);
        sql = QStringLiteral("SELECT count(*) FROM (") + sql + QStringLiteral(") AS tv_range");
        Statement statement = conn().cached(sql);
        int index = 1;
        for (int part = 0; part < range.equal; ++part)
            if (!key[static_cast<size_t>(part)].isNull())
                bindStoredValue(statement, index++, key[static_cast<size_t>(part)]);
        if (range.op == Range::Greater || range.op == Range::Less)
            bindStoredValue(statement, index++, key[static_cast<size_t>(range.equal)]);
        // No limit: SQLite reads -1 so, a server Null.
        if (conn().isServer()) statement.bindNull(index);
        else statement.bindInt(index, -1);
        statement.step();
        count += static_cast<long>(statement.intAt(0));
    }
    return count;
}

void TableCursor::setAbsolutePosition(long position) {
    Statement statement =
        conn().cached(plan_->head + plan_->orderAsc + QStringLiteral(" LIMIT 1 OFFSET ?"));
    statement.bindInt(1, position);
    if (position < 0 || !statement.step()) fail(err::kNoCurrentRecord);
    spare_.reset(schema_->columns.size());
    spareKeysOnly_ = false;
    spare_.append(statement, 1, 0);
    statement.reset();
    standOnFetched(0);
}

QByteArray TableCursor::bookmark() const { return encodeBookmark(rowid()); }

QByteArray TableCursor::bookmarkFor(std::int64_t rowid) const { return encodeBookmark(rowid); }

bool TableCursor::gotoBookmark(const QByteArray& bookmark) {
    std::int64_t rowid = 0;
    if (!decodeBookmark(bookmark, &rowid) || !fetchRowid(rowid)) return false;
    standOnFetched(0);
    return true;
}

bool TableCursor::seek(const QString& comparison, const std::vector<tv::Variant>& keys) {
    if (!index_) fail(err::kNoCurrentIndex);
    const std::vector<int>& keyColumns = plan_->keyColumns;
    size_t given = keys.size();
    while (given > 1 && keys[given - 1].isNull()) --given;
    if (given == 0 || given > keyColumns.size()) fail(err::kInvalidOperation, comparison);
    std::vector<StoredValue> bound;
    bound.reserve(given);
    for (size_t part = 0; part < given; ++part) {
        const FieldType type = schema_->fields[static_cast<size_t>(keyColumns[part])].type;
        try {
            bound.push_back(storedForm(toColumnValue(keys[part], type)));
        } catch (const DbError&) {
            fail(err::kCriteriaMismatch);
        }
    }
    const int depth = static_cast<int>(given);
    const QString op = comparison.trimmed();
    std::vector<Range> ranges;
    bool backwards = false;
    if (op == QLatin1String("=")) {
        ranges.push_back({depth, Range::All});
    } else if (op == QLatin1String(">=") || op == QLatin1String(">")) {
        ranges = after(bound, depth, op == QLatin1String(">="));
    } else if (op == QLatin1String("<=") || op == QLatin1String("<")) {
        ranges = before(bound, depth, op == QLatin1String("<="));
        backwards = true;
    } else {
        fail(err::kInvalidOperation, comparison);
    }
    direction_ = 0;
    // With key columns only, read ahead the way the comparison looks, as a lookup list
    // walks on from the row found. A seek for equality is a keyed read of the whole row,
    // as a record is loaded.
    const bool readAhead = op != QLatin1String("=") && keysOnly();
    if (readAhead) {
        direction_ = backwards ? -1 : 1;
        chunkSize_ = kSeekReadAhead;
    }
    RowBuffer& rows =
        fetch(bound, ranges, backwards, readAhead ? kSeekReadAhead : 1, QString(), readAhead);
    if (rows.rows() == 0) {
        standAt(backwards ? At::BOF : At::EOF_);
        return false;
    }
    if (!backwards) {
        standOnFetched(0);
        return true;
    }
    rows.reverse();
    standOnFetched(rows.rows() - 1);
    return true;
}

bool TableCursor::find(const QString& condition, FindKind kind) {
    resolveStart();
    spare_.clear();
    RowBuffer& rows = spare_;
    const bool fromRow = at_ == At::Row;
    const std::vector<StoredValue> key = fromRow ? currentKey() : std::vector<StoredValue>();
    const int depth = static_cast<int>(key.size());
    const bool empty = at_ == At::Empty;
    switch (findFrom(kind, fromRow, at_ == At::BOF || empty, at_ == At::EOF_ || empty)) {
        case FindFrom::First:
            fetch({}, {{0, Range::All}}, false, 1, condition, false);
            break;
        case FindFrom::Last:
            fetch({}, {{0, Range::All}}, true, 1, condition, false);
            break;
        case FindFrom::AfterCurrent:
            fetch(key, after(key, depth, false), false, 1, condition, false);
            break;
        case FindFrom::BeforeCurrent:
            fetch(key, before(key, depth, false), true, 1, condition, false);
            break;
        case FindFrom::Nowhere:
            break;
    }
    if (rows.rows() == 0) return false;
    direction_ = 0;
    standOnFetched(0);
    return true;
}

}  // namespace tv::engine
