// Key sets read in chunks along an index.
#include "engine/keyset_pager.h"

#include "engine/connection.h"
#include "engine/errors.h"
#include "engine/jet_dialect.h"
#include "engine/schema.h"
#include "engine/select_shape.h"

#include <QFileInfo>
#include <algorithm>
#include <new>
#include <optional>

namespace tv::engine {

namespace {

// The item without a trailing ASC or DESC; `descending` tells which it was.
QString withoutDirection(const QString& item, bool* descending) {
    QString text = item.trimmed();
    *descending = false;
    for (const QLatin1String word : {QLatin1String(" DESC"), QLatin1String(" ASC")}) {
        if (text.endsWith(word, Qt::CaseInsensitive)) {
            *descending = word == QLatin1String(" DESC");
            text.chop(word.size());
            return text.trimmed();
        }
    }
    return text;
}

// A name written alone ("NAME", [NAME] or NAME), without its quotes; empty for anything else.
QString bareName(const QString& text) {
    if (text.size() >= 2 && ((text.front() == u'"' && text.back() == u'"') ||
                             (text.front() == u'[' && text.back() == u']'))) {
        const QString inner = text.mid(1, text.size() - 2);
        return inner.contains(text.front()) ? QString() : inner;
    }
    for (const QChar c : text)
        if (!c.isLetterOrNumber() && c != u'_') return QString();
    return text;
}

bool isNull(sqlite3_value* value) { return sqlite3_value_type(value) == SQLITE_NULL; }

}  // namespace

bool RowidSet::insert(std::int64_t rowid) {
    if (rowid < 0 || rowid >= kBitmapRowids) return others_.insert(rowid).second;
    const auto word = static_cast<size_t>(rowid >> 6);
    if (word >= bits_.size()) bits_.resize(std::max(word + 1, bits_.size() * 2), 0);
    const std::uint64_t bit = std::uint64_t{1} << (rowid & 63);
    if (bits_[word] & bit) return false;
    bits_[word] |= bit;
    return true;
}

bool RowidSet::contains(std::int64_t rowid) const {
    if (rowid < 0 || rowid >= kBitmapRowids) return others_.count(rowid) > 0;
    const auto word = static_cast<size_t>(rowid >> 6);
    return word < bits_.size() && (bits_[word] >> (rowid & 63) & 1) != 0;
}

std::unique_ptr<KeysetPager> KeysetPager::make(Connection& conn, const SelectShape& shape,
                                               const TableSchema& table, bool reversed) {
    if (!shape.keyable() || shape.limited || shape.orderBy.isEmpty()) return nullptr;
    const bool star = shape.selectList.trimmed() == QLatin1String("*");
    QStringList aliases;
    if (!star) {
        for (const QString& item : splitItems(shape.selectList)) {
            const QString alias = itemAlias(item);
            if (!alias.isEmpty()) aliases << alias;
        }
    }
    std::unique_ptr<KeysetPager> pager(new KeysetPager);
    for (const QString& item : splitItems(shape.orderBy)) {
        Term term;
        term.expr = withoutDirection(item, &term.descending);
        if (term.expr.isEmpty() || term.expr.contains(QLatin1String("NULLS"), Qt::CaseInsensitive))
            return nullptr;
        bool isPosition = false;
        const int position = term.expr.toInt(&isPosition);
        if (isPosition) {
            // A position names a column of "*"; in another list it may be any expression.
            if (!star || position < 1 || position > static_cast<int>(table.columns.size()))
                return nullptr;
            term.expr = quoteName(table.columns[static_cast<size_t>(position - 1)].name);
        } else if (const QString name = bareName(term.expr);
                   !name.isEmpty() && aliases.contains(name, Qt::CaseInsensitive)) {
            return nullptr;  // a name the select list gives, which the table does not know
        }
        if (reversed) term.descending = !term.descending;
        pager->terms_.push_back(term);
    }
    if (pager->terms_.empty()) return nullptr;
    pager->from_ = shape.from;
    pager->where_ = shape.where;
    pager->rowidDescending_ = pager->terms_.back().descending;
    QStringList order;
    for (const Term& term : pager->terms_)
        order << (term.descending ? term.expr + QStringLiteral(" DESC") : term.expr);
    order << (pager->rowidDescending_ ? QStringLiteral("rowid DESC") : QStringLiteral("rowid"));
    pager->order_ = order.join(QStringLiteral(", "));
    QStringList values;
    for (const Term& term : pager->terms_) values << term.expr;
    pager->boundarySql_ = QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                              .arg(values.join(QStringLiteral(", ")), pager->from_);

    // An order no index gives is sorted afresh by every query: read such rows in one pass.
    // (Sorting only the rows that tie on an index's leading columns, the "right part", is
    // done a group at a time and stops at the limit.)
    Statement plan = conn.cached(QStringLiteral("EXPLAIN QUERY PLAN ") + pager->sql(nullptr));
    while (plan.step()) {
        if (plan.textAt(plan.columnCount() - 1).contains(QLatin1String("TEMP B-TREE FOR ORDER BY")))
            return nullptr;
    }
    return pager;
}

KeyMark::~KeyMark() {
    for (sqlite3_value* value : values) sqlite3_value_free(value);
}

KeysetPager::~KeysetPager() = default;

QString KeysetPager::sql(const Range* range) const {
    QString text = QStringLiteral("SELECT rowid FROM ") + from_;
    QStringList conditions;
    if (!where_.isEmpty()) conditions << u'(' + where_ + u')';
    if (range) {
        for (int i = 0; i < range->equal; ++i) {
            const QString& expr = terms_[static_cast<size_t>(i)].expr;
            conditions << u'(' + expr +
                              (isNull(bound(static_cast<size_t>(i))) ? QStringLiteral(") IS NULL")
                                                                     : QStringLiteral(") = ?"));
        }
        if (range->equal == static_cast<int>(terms_.size())) {
            conditions << (rowidDescending_ ? QStringLiteral("rowid < ?")
                                            : QStringLiteral("rowid > ?"));
        } else {
            const Term& term = terms_[static_cast<size_t>(range->equal)];
            const bool boundIsNull = isNull(bound(static_cast<size_t>(range->equal)));
            QString after;
            if (range->nulls)
                after = QStringLiteral(") IS NULL");
            else if (boundIsNull)
                after = QStringLiteral(") IS NOT NULL");  // ascending: every value follows Null
            else
                after = term.descending ? QStringLiteral(") < ?") : QStringLiteral(") > ?");
            conditions << u'(' + term.expr + after;
        }
    }
    if (!conditions.isEmpty())
        text += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    text += QStringLiteral(" ORDER BY ") + order_ + QStringLiteral(" LIMIT ?");
    return text;
}

std::vector<KeysetPager::Range> KeysetPager::rangesAfterBoundary() const {
    std::vector<Range> ranges;
    const int count = static_cast<int>(terms_.size());
    ranges.push_back({count, false});
    for (int equal = count - 1; equal >= 0; --equal) {
        const bool boundIsNull = isNull(bound(static_cast<size_t>(equal)));
        if (!terms_[static_cast<size_t>(equal)].descending) {
            ranges.push_back({equal, false});
        } else if (!boundIsNull) {
            // Descending: the smaller values, then the Nulls; after a Null nothing comes.
            ranges.push_back({equal, false});
            ranges.push_back({equal, true});
        }
    }
    return ranges;
}

long KeysetPager::run(Connection& conn, const Range* range, KeyArray& keys, long limit) {
    Statement statement = conn.cached(sql(range));
    int parameter = 1;
    if (range) {
        const auto count = static_cast<int>(terms_.size());
        for (int i = 0; i < range->equal; ++i)
            if (!isNull(bound(static_cast<size_t>(i))))
                statement.bindValue(parameter++, bound(static_cast<size_t>(i)));
        if (range->equal == count) {
            statement.bindInt(parameter++, boundary_->rowid);
        } else if (!range->nulls && !isNull(bound(static_cast<size_t>(range->equal)))) {
            statement.bindValue(parameter++, bound(static_cast<size_t>(range->equal)));
        }
    }
    statement.bindInt(parameter, limit);
    long rows = 0;
    std::int64_t rowid = 0;
    while (statement.step()) {
        rowid = statement.intAt(0);
        if (!seen_ || seen_->insert(rowid)) keys.push_back(rowid);
        ++rows;
    }
    if (rows == limit) setBoundary(conn, rowid);
    return rows;
}

void KeysetPager::setBoundary(Connection& conn, std::int64_t rowid) {
    // The sort values of the last row read, looked up by its rowid under the chunk's read
    // lock (reading them with every row would cost the walk more than this one lookup).
    Statement statement = conn.cached(boundarySql_);
    statement.bindInt(1, rowid);
    if (!statement.step()) fail(err::kRecordDeleted);
    auto mark = std::make_shared<KeyMark>();
    mark->rowid = rowid;
    for (size_t i = 0; i < terms_.size(); ++i) {
        sqlite3_value* copy =
            sqlite3_value_dup(sqlite3_column_value(statement.handle(), static_cast<int>(i)));
        if (!copy) throw std::bad_alloc();
        mark->values.push_back(copy);
    }
    boundary_ = std::move(mark);
}

QString KeysetPager::beforeSql(const KeyMark& mark) const {
    // Ordered by the items, then the rowid: the row comes first where the first item on
    // which it differs from the mark says so. ?1..?n are the mark's values, ?n+1 its rowid,
    // ?n+2 the row's. A Null lies before every value in an ascending item and after every
    // value in a descending one; comparisons use the items' own collations, as the order does.
    const int count = static_cast<int>(terms_.size());
    QStringList alternatives;
    QStringList equal;
    for (int i = 0; i <= count; ++i) {
        QString before;
        if (i == count) {
            before =
                (rowidDescending_ ? QStringLiteral("rowid > ?%1") : QStringLiteral("rowid < ?%1"))
                    .arg(count + 1);
        } else {
            const Term& term = terms_[static_cast<size_t>(i)];
            const bool markNull = isNull(mark.values[static_cast<size_t>(i)]);
            if (!term.descending && !markNull)
                before = QStringLiteral("((%1) IS NULL OR (%1) < ?%2)").arg(term.expr).arg(i + 1);
            else if (term.descending && !markNull)
                before = QStringLiteral("(%1) > ?%2").arg(term.expr).arg(i + 1);
            else if (term.descending)
                before = QStringLiteral("(%1) IS NOT NULL").arg(term.expr);
            // else: nothing comes before a Null in an ascending item
        }
        if (!before.isEmpty())
            alternatives << QStringList(equal + QStringList{before}).join(QStringLiteral(" AND "));
        if (i < count)
            equal << QStringLiteral("(%1) IS ?%2")
                         .arg(terms_[static_cast<size_t>(i)].expr)
                         .arg(i + 1);
    }
    return QStringLiteral("SELECT coalesce(%1, 0) FROM %2 WHERE rowid = ?%3")
        .arg(u'(' + alternatives.join(QStringLiteral(") OR (")) + u')', from_)
        .arg(count + 2);
}

long KeysetPager::countBefore(Connection& conn, const KeyArray& keys, const KeyMark& mark) const {
    const QString text = beforeSql(mark);
    const int count = static_cast<int>(terms_.size());
    auto before = [&](long pos) {
        Statement statement = conn.cached(text);
        for (int i = 0; i < count; ++i)
            statement.bindValue(i + 1, mark.values[static_cast<size_t>(i)]);
        statement.bindInt(count + 1, mark.rowid);
        statement.bindInt(count + 2, keys[pos]);
        return statement.step() && statement.intAt(0) != 0;
    };
    // The keys are in order, so those before the mark are a run at the start: usually all
    // of them (one lookup), else the first one past it is found by halving.
    long low = 0;
    long high = keys.size();
    if (high == 0 || before(high - 1)) return high;
    --high;
    while (low < high) {
        const long middle = low + (high - low) / 2;
        if (before(middle))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void KeysetPager::watchChanges(Connection& conn, const KeyArray& keys) {
    if (seen_ || callerChecks_) return;
    Statement version = conn.cached(QStringLiteral("PRAGMA data_version"));
    const std::int64_t now = version.step() ? version.intAt(0) : 0;
    if (!started_) {
        dataVersion_ = now;
        changes_ = conn.changeCount();
        return;
    }
    if (now == dataVersion_ && conn.changeCount() == changes_) return;
    seen_ = std::make_unique<RowidSet>();
    for (long pos = 0; pos < keys.size(); ++pos) seen_->insert(keys[pos]);
}

void KeysetPager::changeConnection(const KeyArray& keys) {
    started_ = true;
    callerChecks_ = false;
    if (seen_) return;
    seen_ = std::make_unique<RowidSet>();
    for (long pos = 0; pos < keys.size(); ++pos) seen_->insert(keys[pos]);
}

bool KeysetPager::read(Connection& conn, KeyArray& keys, long rows) {
    rows = std::max(rows, 1L);
    // One shared lock for the chunk's queries, given up when the chunk is read.
    const Connection::ReadScope scope(conn);
    watchChanges(conn, keys);
    if (!started_) {
        started_ = true;
        return run(conn, nullptr, keys, rows) < rows;
    }
    long wanted = rows;
    for (const Range& range : rangesAfterBoundary()) {
        const long got = run(conn, &range, keys, wanted);
        if (got == wanted) return false;
        wanted -= got;
    }
    return true;
}

namespace {
// The walk's chunks grow from a few thousand keys to the size whose read lock other
// workstations hardly notice (a few milliseconds).
constexpr long kFillerFirstChunk = 4096;
constexpr long kFillerLastChunk = 65536;
}  // namespace

KeyFiller::KeyFiller(QString path, int busyTimeoutMs, std::unique_ptr<KeysetPager> forward,
                     std::unique_ptr<KeysetPager> backward, const KeyArray& keys)
    : path_(std::move(path)), busyTimeoutMs_(busyTimeoutMs) {
    front_.pager = std::move(forward);
    back_.pager = std::move(backward);
    front_.pager->leaveRepeatsToCaller();
    if (back_.pager) back_.pager->leaveRepeatsToCaller();
    for (long pos = 0; pos < keys.size(); ++pos) front_.read.insert(keys[pos]);
    front_.mark = front_.pager->mark();
}

KeyFiller::~KeyFiller() {
    stop_ = true;
    for (Side* side : {&front_, &back_})
        if (side->thread.joinable()) side->thread.join();
}

bool KeyFiller::canRead(const QString& path) {
    return !path.isEmpty() && !path.startsWith(QLatin1String(":memory:")) &&
           !path.startsWith(QLatin1String("file:")) && QFileInfo(path).isFile();
}

void KeyFiller::start() {
    for (const auto& [side, other] : {std::pair{&front_, &back_}, std::pair{&back_, &front_}}) {
        if (!side->pager || side->running) continue;
        if (side->thread.joinable()) side->thread.join();  // a walk that failed has ended
        side->running = true;
        side->thread = std::thread([this, side = side, other = other] { walk(*side, *other); });
    }
}

void KeyFiller::walk(Side& side, Side& other) {
    std::exception_ptr failed;
    try {
        if (!side.conn) {
            side.conn = std::make_unique<Connection>(path_, true, false, busyTimeoutMs_);
            dialect::registerDialectFunctions(side.conn->handle());
        }
        long chunk = kFillerFirstChunk;
        for (bool last = false; !last && !stop_;) {
            KeyArray& keys = side.chunk;
            keys.clear();
            // The chunk is read and set beside the other walk's mark in one view of the
            // file, so that where the walks cross is found by place in the order.
            std::optional<Connection::ReadScope> scope(std::in_place, *side.conn);
            last = side.pager->read(*side.conn, keys, chunk);
            chunk = std::min(chunk * 4, kFillerLastChunk);
            const std::lock_guard<std::mutex> lock(mutex_);
            if (complete()) break;
            // The rows from the other walk's mark on are the other walk's: it has read them
            // all, save those written since, which a read at once a moment earlier would
            // not have seen either.
            const long mine =
                other.mark ? side.pager->countBefore(*side.conn, keys, *other.mark) : keys.size();
            scope.reset();  // the rest needs no file: writers need not wait for it
            side.keys.reserve(side.keys.size() + static_cast<size_t>(mine));
            for (long pos = 0; pos < mine; ++pos) {
                const std::int64_t rowid = keys[pos];
                if (!other.read.contains(rowid) && side.read.insert(rowid))
                    side.keys.push_back(rowid);
            }
            if (mine < keys.size())
                met_ = true;
            else if (last)
                side.done = true;
            else
                side.mark = side.pager->mark();
            ready_.notify_all();
            if (complete()) break;
        }
    } catch (...) {
        failed = std::current_exception();
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    side.running = false;
    if (failed && !failure_) failure_ = failed;
    if (failed) stop_ = true;  // the other side stops too; take() starts both again
    ready_.notify_all();
}

bool KeyFiller::take(KeyArray& keys) {
    std::vector<std::int64_t> taken;
    std::vector<std::int64_t> fromEnd;
    bool completed = false;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!complete() && !failure_ && !front_.running && !back_.running) {
            stop_ = false;  // the first call, or the first after a failure
            start();
        }
        ready_.wait(lock, [this] {
            return !front_.keys.empty() || complete() || (!front_.running && !back_.running);
        });
        taken.swap(front_.keys);
        completed = complete();
        if (completed && !handedOver_) {
            // Read from the end backwards: they follow in the query's order reversed.
            fromEnd.swap(back_.keys);
            handedOver_ = true;
        }
        if (taken.empty() && !completed && failure_)
            std::rethrow_exception(std::exchange(failure_, nullptr));
    }
    for (const std::int64_t key : taken) keys.push_back(key);
    for (auto key = fromEnd.rbegin(); key != fromEnd.rend(); ++key) keys.push_back(*key);
    return completed;
}

std::unique_ptr<KeysetPager> KeyFiller::stop(KeyArray& keys) {
    stop_ = true;
    for (Side* side : {&front_, &back_})
        if (side->thread.joinable()) side->thread.join();
    if (complete()) {
        take(keys);
        return nullptr;
    }
    for (const std::int64_t key : front_.keys) keys.push_back(key);
    front_.keys.clear();
    front_.pager->changeConnection(keys);
    return std::move(front_.pager);
}

}  // namespace tv::engine
