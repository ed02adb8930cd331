// Walking a table along an index with keyset queries.
#include "engine/table_cursor.h"

#include "engine/errors.h"

#include <algorithm>

namespace tv::engine {

namespace {
constexpr int kFirstChunk = 16;
constexpr int kMaxChunk = 1024;
}  // namespace

TableCursor::TableCursor(DbHandle db, std::shared_ptr<const TableSchema> schema)
    : db_(std::move(db)), schema_(std::move(schema)) {
    for (const ColumnSchema& column : schema_->columns) {
        FieldInfo field;
        field.name = column.name;
        field.type = column.type.type;
        field.size = fieldSize(column.type.type, column.type.size);
        field.required = column.required();
        field.allowZeroLength = column.type.allowZeroLength;
        field.autoIncrement = column.type.autoIncrement;
        field.tableColumn = static_cast<int>(fields_.size());
        fields_.push_back(field);
    }
    QStringList columns{QStringLiteral("rowid")};
    for (const ColumnSchema& column : schema_->columns) columns << quoteName(column.name);
    head_ = QStringLiteral("SELECT %1 FROM %2")
                .arg(columns.join(QLatin1String(", ")), quoteName(schema_->name));
    buildStatements();
}

void TableCursor::setIndex(const IndexSchema* index) {
    hasIndex_ = index != nullptr;
    index_ = index ? *index : IndexSchema();
    keyColumns_ = index ? index->columns : std::vector<int>();
    buildStatements();
    standAt(At::Start);
}

void TableCursor::buildStatements() {
    QStringList asc;
    QStringList desc;
    for (size_t part = 0; part <= keyColumns_.size(); ++part) {
        asc << keyName(static_cast<int>(part));
        desc << keyName(static_cast<int>(part)) + QStringLiteral(" DESC");
    }
    orderAsc_ = QStringLiteral(" ORDER BY ") + asc.join(QLatin1String(", "));
    orderDesc_ = QStringLiteral(" ORDER BY ") + desc.join(QLatin1String(", "));
}

QString TableCursor::keyName(int part) const {
    if (part < static_cast<int>(keyColumns_.size()))
        return quoteName(schema_->columns[static_cast<size_t>(keyColumns_[static_cast<size_t>(part)])].name);
    return QStringLiteral("rowid");
}

std::unique_ptr<RowSource> TableCursor::clone() const {
    auto copy = std::make_unique<TableCursor>(db_, schema_);
    copy->setIndex(hasIndex_ ? &index_ : nullptr);
    copy->at_ = At::None;
    return copy;
}

void TableCursor::requery() { standAt(At::Start); }

bool TableCursor::fresh() const { return bufferChanges_ == db_->conn().changeCount(); }

void TableCursor::standAt(At at) {
    at_ = at;
    buffer_.clear();
    pos_ = 0;
    deleted_ = false;
}

void TableCursor::standOn(std::vector<Entry> rows, size_t pos) {
    buffer_ = std::move(rows);
    pos_ = pos;
    bufferChanges_ = conn().changeCount();
    at_ = At::Row;
    deleted_ = false;
    key_ = buffer_[pos_].key;
    rowid_ = buffer_[pos_].rowid;
}

void TableCursor::resolveStart() {
    if (at_ == At::Start) moveFirst();
}

int TableCursor::nextChunk(int direction) {
    chunk_ = direction == direction_ ? std::min(chunk_ * 4, kMaxChunk) : kFirstChunk;
    direction_ = direction;
    return chunk_;
}

QString TableCursor::whereFor(const Range& range, const std::vector<StoredValue>& bound,
                              std::vector<const StoredValue*>* binds) const {
    QStringList terms;
    for (int part = 0; part < range.equal; ++part) {
        const StoredValue& value = bound[static_cast<size_t>(part)];
        if (value.isNull()) {
            terms << keyName(part) + QStringLiteral(" IS NULL");
        } else {
            terms << keyName(part) + QStringLiteral(" = ?");
            binds->push_back(&value);
        }
    }
    const QString name = keyName(range.equal);
    switch (range.op) {
        case Range::All: break;
        case Range::Greater:
            terms << name + QStringLiteral(" > ?");
            binds->push_back(&bound[static_cast<size_t>(range.equal)]);
            break;
        case Range::Less:
            terms << name + QStringLiteral(" < ?");
            binds->push_back(&bound[static_cast<size_t>(range.equal)]);
            break;
        case Range::IsNull: terms << name + QStringLiteral(" IS NULL"); break;
        case Range::NotNull: terms << name + QStringLiteral(" IS NOT NULL"); break;
    }
    return terms.join(QLatin1String(" AND "));
}

// Rows after the bound in key order, nearest first: equal on all but the last part and
// greater on it, then equal on one part less, and so on.
std::vector<TableCursor::Range> TableCursor::after(const std::vector<StoredValue>& bound,
                                                   int depth, bool inclusive) const {
    std::vector<Range> ranges;
    if (inclusive) ranges.push_back({depth, Range::All});
    for (int part = depth - 1; part >= 0; --part)
        ranges.push_back({part, bound[static_cast<size_t>(part)].isNull() ? Range::NotNull
                                                                         : Range::Greater});
    return ranges;
}

// Rows before the bound in key order, nearest first. Nulls sort before every value, so
// "less than v" is followed by "Null" at each level; nothing is less than Null.
std::vector<TableCursor::Range> TableCursor::before(const std::vector<StoredValue>& bound,
                                                    int depth, bool inclusive) const {
    std::vector<Range> ranges;
    if (inclusive) ranges.push_back({depth, Range::All});
    for (int part = depth - 1; part >= 0; --part) {
        if (bound[static_cast<size_t>(part)].isNull()) continue;
        ranges.push_back({part, Range::Less});
        if (part < static_cast<int>(keyColumns_.size())) ranges.push_back({part, Range::IsNull});
    }
    return ranges;
}

TableCursor::Entry TableCursor::readEntry(const Statement& statement) const {
    Entry entry;
    entry.rowid = statement.intAt(0);
    const size_t count = schema_->columns.size();
    entry.values.reserve(count);
    for (size_t i = 0; i < count; ++i)
        entry.values.push_back(readColumn(statement, static_cast<int>(i) + 1, fields_[i].type));
    entry.key.reserve(keyColumns_.size() + 1);
    for (int column : keyColumns_) entry.key.push_back(readStored(statement, column + 1));
    StoredValue rowid;
    rowid.kind = SQLITE_INTEGER;
    rowid.i = entry.rowid;
    entry.key.push_back(rowid);
    return entry;
}

std::vector<TableCursor::Entry> TableCursor::fetch(const std::vector<StoredValue>& bound,
                                                   const std::vector<Range>& ranges,
                                                   bool descending, int limit,
                                                   const QString& condition) {
    std::vector<Entry> rows;
    for (const Range& range : ranges) {
        if (static_cast<int>(rows.size()) >= limit) break;
        std::vector<const StoredValue*> binds;
        QString where = whereFor(range, bound, &binds);
        if (!condition.isEmpty())
            where = where.isEmpty() ? u'(' + condition + u')'
                                    : where + QStringLiteral(" AND (") + condition + u')';
        QString sql = head_;
        if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where;
        sql += descending ? orderDesc_ : orderAsc_;
        sql += QStringLiteral(" LIMIT ?");
        Statement statement = conn().cached(sql);
        int index = 1;
        for (const StoredValue* value : binds) bindStoredValue(statement, index++, *value);
        statement.bindInt(index, limit - static_cast<int>(rows.size()));
        while (statement.step()) rows.push_back(readEntry(statement));
    }
    return rows;
}

bool TableCursor::fetchRowid(std::int64_t rowid, Entry* entry) {
    Statement statement = conn().cached(head_ + QStringLiteral(" WHERE rowid = ?"));
    statement.bindInt(1, rowid);
    if (!statement.step()) return false;
    *entry = readEntry(statement);
    return true;
}

void TableCursor::moveFirst() {
    direction_ = 0;
    std::vector<Entry> rows = fetch({}, {{0, Range::All}}, false, nextChunk(1));
    if (rows.empty()) {
        standAt(At::Empty);
        return;
    }
    standOn(std::move(rows), 0);
}

void TableCursor::moveLast() {
    direction_ = 0;
    std::vector<Entry> rows = fetch({}, {{0, Range::All}}, true, nextChunk(-1));
    if (rows.empty()) {
        standAt(At::Empty);
        return;
    }
    std::reverse(rows.begin(), rows.end());
    const size_t last = rows.size() - 1;
    standOn(std::move(rows), last);
}

void TableCursor::moveNext() {
    resolveStart();
    if (at_ == At::BOF || at_ == At::None || at_ == At::Empty) {
        moveFirst();
        return;
    }
    if (at_ == At::EOF_) return;
    if (!deleted_ && fresh() && pos_ + 1 < buffer_.size()) {
        ++pos_;
        key_ = buffer_[pos_].key;
        rowid_ = buffer_[pos_].rowid;
        return;
    }
    const int depth = static_cast<int>(key_.size());
    std::vector<Entry> rows = fetch(key_, after(key_, depth, false), false, nextChunk(1));
    if (rows.empty()) {
        standAt(At::EOF_);
        return;
    }
    standOn(std::move(rows), 0);
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
        key_ = buffer_[pos_].key;
        rowid_ = buffer_[pos_].rowid;
        return;
    }
    const int depth = static_cast<int>(key_.size());
    std::vector<Entry> rows = fetch(key_, before(key_, depth, false), true, nextChunk(-1));
    if (rows.empty()) {
        standAt(At::BOF);
        return;
    }
    std::reverse(rows.begin(), rows.end());
    const size_t last = rows.size() - 1;
    standOn(std::move(rows), last);
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

const Row* TableCursor::row() {
    resolveStart();
    if (at_ != At::Row || deleted_) return nullptr;
    if (!fresh()) {
        // Something was written since the chunk was read: read this row again (its key
        // may have changed, which moves it in the index as in Jet).
        Entry entry;
        if (!fetchRowid(rowid_, &entry)) {
            deleted_ = true;
            buffer_.clear();
            return nullptr;
        }
        std::vector<Entry> rows;
        rows.push_back(std::move(entry));
        standOn(std::move(rows), 0);
    }
    return &buffer_[pos_].values;
}

void TableCursor::rowChanged() { bufferChanges_ = ~std::uint64_t{0}; }

void TableCursor::rowDeleted() {
    deleted_ = true;
    buffer_.clear();
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
    long count = 0;
    for (const Range& range : before(key_, static_cast<int>(key_.size()), false)) {
        std::vector<const StoredValue*> binds;
        const QString where = whereFor(range, key_, &binds);
        Statement statement = conn().cached(QStringLiteral("SELECT count(*) FROM %1 WHERE %2")
                                                .arg(quoteName(schema_->name), where));
        int index = 1;
        for (const StoredValue* value : binds) bindStoredValue(statement, index++, *value);
        statement.step();
        count += static_cast<long>(statement.intAt(0));
    }
    return count;
}

void TableCursor::setAbsolutePosition(long position) {
    Statement statement = conn().cached(head_ + orderAsc_ + QStringLiteral(" LIMIT 1 OFFSET ?"));
    statement.bindInt(1, position);
    if (position < 0 || !statement.step()) fail(err::kNoCurrentRecord);
    std::vector<Entry> rows;
    rows.push_back(readEntry(statement));
    statement.reset();
    standOn(std::move(rows), 0);
}

QByteArray TableCursor::bookmark() const { return encodeBookmark(rowid_); }

QByteArray TableCursor::bookmarkFor(std::int64_t rowid) const { return encodeBookmark(rowid); }

bool TableCursor::gotoBookmark(const QByteArray& bookmark) {
    std::int64_t rowid = 0;
    Entry entry;
    if (!decodeBookmark(bookmark, &rowid) || !fetchRowid(rowid, &entry)) return false;
    std::vector<Entry> rows;
    rows.push_back(std::move(entry));
    standOn(std::move(rows), 0);
    return true;
}

bool TableCursor::seek(const QString& comparison, const std::vector<tv::Variant>& keys) {
    if (!hasIndex_) fail(err::kNoCurrentIndex);
    size_t given = keys.size();
    while (given > 1 && keys[given - 1].isNull()) --given;
    if (given == 0 || given > keyColumns_.size()) fail(err::kInvalidOperation, comparison);
    std::vector<StoredValue> bound;
    for (size_t part = 0; part < given; ++part) {
        const FieldType type = fields_[static_cast<size_t>(keyColumns_[part])].type;
        try {
            bound.push_back(storedForm(toColumnValue(keys[part], type)));
        } catch (const DbError&) {
            fail(err::kCriteriaMismatch);
        }
    }
    const int depth = static_cast<int>(given);
    const QString op = comparison.trimmed();
    std::vector<Range> ranges;
    bool descending = false;
    if (op == QLatin1String("=")) {
        ranges.push_back({depth, Range::All});
    } else if (op == QLatin1String(">=") || op == QLatin1String(">")) {
        ranges = after(bound, depth, op == QLatin1String(">="));
    } else if (op == QLatin1String("<=") || op == QLatin1String("<")) {
        ranges = before(bound, depth, op == QLatin1String("<="));
        descending = true;
    } else {
        fail(err::kInvalidOperation, comparison);
    }
    direction_ = 0;
    std::vector<Entry> rows = fetch(bound, ranges, descending, 1);
    if (rows.empty()) {
        standAt(descending ? At::BOF : At::EOF_);
        return false;
    }
    standOn(std::move(rows), 0);
    return true;
}

bool TableCursor::find(const QString& condition, FindKind kind) {
    resolveStart();
    std::vector<Entry> rows;
    const int depth = static_cast<int>(key_.size());
    const bool fromRow = at_ == At::Row;
    switch (kind) {
        case FindKind::First:
            rows = fetch({}, {{0, Range::All}}, false, 1, condition);
            break;
        case FindKind::Last:
            rows = fetch({}, {{0, Range::All}}, true, 1, condition);
            break;
        case FindKind::Next:
            if (fromRow)
                rows = fetch(key_, after(key_, depth, false), false, 1, condition);
            else if (at_ != At::EOF_ && at_ != At::Empty)
                rows = fetch({}, {{0, Range::All}}, false, 1, condition);
            break;
        case FindKind::Previous:
            if (fromRow)
                rows = fetch(key_, before(key_, depth, false), true, 1, condition);
            else if (at_ != At::BOF && at_ != At::Empty)
                rows = fetch({}, {{0, Range::All}}, true, 1, condition);
            break;
    }
    if (rows.empty()) return false;
    direction_ = 0;
    standOn(std::move(rows), 0);
    return true;
}

}  // namespace tv::engine
