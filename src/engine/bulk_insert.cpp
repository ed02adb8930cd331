// Rows bound straight into a prepared INSERT on a file, or sent in batches through COPY
// on a server.
#include "engine/bulk_insert.h"

#include "engine/autonumber.h"
#include "engine/db_impl.h"
#include "engine/pg_session.h"
#include "engine/values.h"

#include <QByteArray>
#include <QHash>
#include <algorithm>
#include <exception>
#include <limits>
#include <optional>
#include <vector>

namespace tv::engine {

namespace {

// A server's batch is sent once the values held reach this size: tens of thousands of rows
// a round trip, with the memory held bounded.
constexpr qsizetype kBatchBytes = qsizetype(16) << 20;

void appendCopyValue(QByteArray& line, const StoredValue& value) {
    switch (value.kind) {
        case SQLITE_INTEGER:
            line += QByteArray::number(static_cast<qlonglong>(value.i));
            break;
        case SQLITE_FLOAT:
            // As a bound parameter sends it: every digit a double holds.
            line += QByteArray::number(value.d, 'g', 17);
            break;
        case SQLITE_TEXT:
            appendCopyText(line, value.bytes);
            break;
        case SQLITE_BLOB:
            appendCopyBlob(line, value.bytes);
            break;
        default:
            appendCopyNull(line);
    }
}

}  // namespace

struct BulkInsert::Impl {
    // The INSERT of one set of columns and, for each of its parameters, the named column
    // (an index into the row's values) or -1 - k for the k-th auto-number column.
    struct Shape {
        QString sql;
        std::vector<int> parameters;
    };

    DbHandle db;
    std::shared_ptr<const TableSchema> table;
    std::vector<int> named;  // table column of each named column
    std::vector<int> autoNumbers;
    QString missingRequired;  // a required column no row can fill
    QHash<QByteArray, Shape> shapes;
    QByteArray lastKey;
    const Shape* last = nullptr;
    std::vector<tv::Variant> converted;

    // On a server rows are held back and sent as one COPY per batch.
    PgSession* server = nullptr;
    std::vector<StoredValue> held;  // named.size() values per row; Null where none given
    long heldRows = 0;
    qsizetype heldBytes = 0;
    long sentRows = 0;
    std::optional<QStringList> markTriggers;  // the table's mark triggers this session may pause
    int unwinding = 0;                         // exceptions in flight when made

    void clearHeld() {
        held.clear();
        heldRows = 0;
        heldBytes = 0;
    }
    void sendHeld(Connection& conn);
    std::int64_t reserveNumbers(Connection& conn, const QString& column, long count);
    void raiseMark(Connection& conn, const QString& column, std::int64_t value);

    const Shape& shapeFor(const QByteArray& key) {
        if (last && key == lastKey) return *last;
        auto found = shapes.find(key);
        if (found == shapes.end()) {
            // Parameters in column order, as Update writes them.
            std::vector<std::pair<int, int>> columns;  // table column, parameter source
            for (size_t k = 0; k < autoNumbers.size(); ++k)
                columns.emplace_back(autoNumbers[k], -1 - static_cast<int>(k));
            for (size_t i = 0; i < named.size(); ++i)
                if (key[static_cast<qsizetype>(i)])
                    columns.emplace_back(named[i], static_cast<int>(i));
            std::sort(columns.begin(), columns.end());
            Shape shape;
            std::vector<int> tableColumns;
            for (const auto& [column, source] : columns) {
                tableColumns.push_back(column);
                shape.parameters.push_back(source);
            }
            shape.sql = table->writeStatement(true, tableColumns);
            found = shapes.insert(key, std::move(shape));
        }
        lastKey = key;
        last = &found.value();
        return *last;
    }
};

BulkInsert::BulkInsert(Database& db, const QString& table, const QStringList& columns,
                       bool givenNumbers)
    : d_(std::make_unique<Impl>()) {
    if (!db.d_ || !db.d_->isOpen()) fail(err::kObjectClosed);
    DatabaseCore& core = *db.d_;
    if (core.conn().readOnly()) fail(err::kNotUpdatable);
    d_->db = db.d_;
    QString name = table.trimmed();
    if (name.startsWith(u'[') && name.endsWith(u']')) name = name.mid(1, name.size() - 2);
    bool isView = false;
    const QString stored = core.schemas.storedName(core.conn(), name, &isView);
    if (stored.isEmpty() || isView) fail(err::kTableNotFound, name);
    d_->table = core.schemas.table(core.conn(), stored);
    const std::vector<FieldInfo>& fields = d_->table->fields;
    for (const QString& column : columns) {
        const int index = d_->table->columnIndex(column);
        if (index < 0) fail(err::kItemNotFound, column);
        if (fields[static_cast<size_t>(index)].autoIncrement && !givenNumbers)
            fail(err::kFieldNotUpdatable, column);
        d_->named.push_back(index);
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        const bool named = std::find(d_->named.begin(), d_->named.end(), static_cast<int>(i)) !=
                           d_->named.end();
        if (fields[i].autoIncrement && !named) {
            d_->autoNumbers.push_back(static_cast<int>(i));
        } else if (fields[i].required && !fields[i].autoIncrement &&
                   d_->missingRequired.isEmpty() && !named) {
            d_->missingRequired = fields[i].name;
        }
    }
    d_->converted.resize(d_->named.size());
    d_->server = core.conn().server();
    d_->unwinding = std::uncaught_exceptions();
}

BulkInsert::~BulkInsert() {
    // Rows still held are sent unless the caller is failing (its transaction is being
    // rolled back); flush() first to hear of a failure.
    if (!d_->heldRows || std::uncaught_exceptions() > d_->unwinding) return;
    try {
        flush();
    } catch (const DbError&) {
    }
}

void BulkInsert::add(std::initializer_list<tv::Variant> values) {
    add(std::span<const tv::Variant>(values.begin(), values.size()));
}

void BulkInsert::add(std::span<const tv::Variant> values) {
    Impl& d = *d_;
    if (values.size() != d.named.size())
        fail(err::kInvalidOperation,
             QStringLiteral("(%1 values for %2 columns)").arg(values.size()).arg(d.named.size()));
    if (!d.missingRequired.isEmpty()) fail(err::kRequiredNull, d.missingRequired);
    Connection& conn = d.db->conn();
    // Update's checks, on the values as the columns take them; nothing is written when
    // one fails.
    QByteArray key(static_cast<qsizetype>(d.named.size()), '\0');
    size_t i = 0;
    for (const tv::Variant& value : values) {
        const FieldInfo& info = d.table->fields[static_cast<size_t>(d.named[i])];
        if (value.isNull()) {
            if (info.required && !info.autoIncrement) fail(err::kRequiredNull, info.name);
        } else {
            d.converted[i] = toColumnValue(value, info.type);
            const tv::Variant& v = d.converted[i];
            if (v.type() == VarType::String) {
                if (v.asString().isEmpty() && !info.allowZeroLength)
                    fail(err::kZeroLength, info.name);
                if (info.type == FieldType::Text && info.size > 0 &&
                    v.asString().size() > info.size)
                    fail(err::kFieldTooLong, info.name);
            }
            key[static_cast<qsizetype>(i)] = 1;
        }
        ++i;
    }
    if (d.server) {
        for (size_t k = 0; k < d.named.size(); ++k) {
            d.held.push_back(key[static_cast<qsizetype>(k)] ? storedForm(d.converted[k])
                                                            : StoredValue{});
            d.heldBytes += d.held.back().bytes.size() + qsizetype(sizeof(StoredValue));
        }
        ++d.heldRows;
        if (d.heldBytes >= kBatchBytes) flush();
        return;
    }
    const Impl::Shape& shape = d.shapeFor(key);
    conn.acquireWriteLock();
    try {
        Statement statement = conn.cached(shape.sql);
        int parameter = 1;
        for (const int source : shape.parameters) {
            if (source >= 0) {
                // Texts go in as UTF-8, converted by Qt rather than by SQLite.
                bindStoredValue(statement, parameter++,
                                storedForm(d.converted[static_cast<size_t>(source)]));
            } else {
                const int column = d.autoNumbers[static_cast<size_t>(-1 - source)];
                statement.bindInt(
                    parameter++,
                    takeAutoNumber(conn, d.table->name,
                                   d.table->columns[static_cast<size_t>(column)].name));
            }
        }
        statement.run();
        conn.noteChange();
    } catch (...) {
        conn.releaseWriteLock();
        throw;
    }
    // Commits unless the caller's transaction is open.
    conn.releaseWriteLock();
}

void BulkInsert::flush() {
    Impl& d = *d_;
    if (!d.server || d.heldRows == 0) return;
    Connection& conn = d.db->conn();
    conn.acquireWriteLock();
    try {
        // A refused batch leaves the caller's transaction as it was before the batch.
        conn.exec(QStringLiteral("SAVEPOINT tv_bulk"));
        try {
            d.sendHeld(conn);
        } catch (const DbError&) {
            conn.exec(QStringLiteral("ROLLBACK TO SAVEPOINT tv_bulk"));
            conn.exec(QStringLiteral("RELEASE SAVEPOINT tv_bulk"));
            throw;
        }
        conn.exec(QStringLiteral("RELEASE SAVEPOINT tv_bulk"));
    } catch (const DbError&) {
        // The batch is dropped with the error: the next one starts clean.
        d.clearHeld();
        conn.noteChange();
        conn.releaseWriteLock();
        throw;
    }
    d.sentRows += d.heldRows;
    d.clearHeld();
    conn.noteChange();
    conn.releaseWriteLock();
}

void BulkInsert::keepMark(const QString& column, std::int64_t mark) {
    Impl& d = *d_;
    const int index = d.table->columnIndex(column);
    if (index < 0) fail(err::kItemNotFound, column);
    const FieldInfo& info = d.table->fields[static_cast<size_t>(index)];
    if (!info.autoIncrement) fail(err::kInvalidOperation, column);
    Connection& conn = d.db->conn();
    conn.acquireWriteLock();
    try {
        d.raiseMark(conn, info.name, mark);
    } catch (const DbError&) {
        conn.releaseWriteLock();
        throw;
    }
    conn.releaseWriteLock();
}

std::int64_t BulkInsert::markOf(Database& db, const QString& table, const QString& column) {
    if (!db.d_ || !db.d_->isOpen()) fail(err::kObjectClosed);
    Connection& conn = db.d_->conn();
    const bool kept = [&] {
        if (conn.isServer()) return true;  // a site's schema is made with its mark table
        Statement exists = conn.cached(
            QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1"));
        exists.bindText(1, kAutoNumberTable);
        return exists.step();
    }();
    if (!kept) return 0;
    Statement mark = conn.cached(
        QStringLiteral("SELECT last FROM %1 WHERE tablename = ?1 AND columnname = ?2")
            .arg(quoteName(kAutoNumberTable)));
    mark.bindText(1, table);
    mark.bindText(2, column);
    return mark.step() ? mark.intAt(0) : 0;
}

void BulkInsert::Impl::raiseMark(Connection& conn, const QString& column, std::int64_t value) {
    Statement raise = conn.cached(
        QStringLiteral("UPDATE %1 SET last = ?3 WHERE tablename = ?1 AND columnname = ?2 AND "
                       "last < ?3")
            .arg(quoteName(kAutoNumberTable)));
    raise.bindText(1, table->name);
    raise.bindText(2, column);
    raise.bindInt(3, value);
    raise.run();
}

std::int64_t BulkInsert::Impl::reserveNumbers(Connection& conn, const QString& column,
                                              long count) {
    // `count` numbers in one step: the first is returned, the mark left on the last.
    Statement reserve = conn.cached(
        QStringLiteral("UPDATE %1 SET last = last + ?3 WHERE tablename = ?1 AND columnname = ?2 "
                       "RETURNING last")
            .arg(quoteName(kAutoNumberTable)));
    reserve.bindText(1, table->name);
    reserve.bindText(2, column);
    reserve.bindInt(3, count);
    std::int64_t last = 0;
    if (reserve.step()) {
        last = reserve.intAt(0);
        reserve.reset();
    } else {
        // No mark yet: the usual first number makes one, the rest follow it.
        reserve.reset();
        last = takeAutoNumber(conn, table->name, column);
        if (count > 1) last = reserveNumbers(conn, column, count - 1) + count - 2;
    }
    if (last > std::numeric_limits<std::int32_t>::max()) fail(err::kNumericOverflow, column);
    return last - count + 1;
}

void BulkInsert::Impl::sendHeld(Connection& conn) {
    const size_t width = named.size();
    // The auto-number columns of the COPY and the next number each takes for a row
    // without one: numbers given by the rows raise the mark first, so the numbers handed
    // out follow every number the batch brings.
    std::vector<std::int64_t> nextNamed(width, 0);
    for (size_t k = 0; k < width; ++k) {
        const FieldInfo& info = table->fields[static_cast<size_t>(named[k])];
        if (!info.autoIncrement) continue;
        std::int64_t highest = 0;
        long missing = 0;
        for (long row = 0; row < heldRows; ++row) {
            const StoredValue& v = held[static_cast<size_t>(row) * width + k];
            if (v.isNull()) ++missing;
            else highest = std::max(highest, v.i);
        }
        if (highest > 0) raiseMark(conn, info.name, highest);
        if (missing > 0) nextNamed[k] = reserveNumbers(conn, info.name, missing);
    }
    std::vector<std::int64_t> nextUnnamed;
    for (const int column : autoNumbers)
        nextUnnamed.push_back(
            reserveNumbers(conn, table->fields[static_cast<size_t>(column)].name, heldRows));

    // The mark triggers would raise the mark once per row; they rest during the COPY,
    // the marks being raised above once for the batch. A table this session does not own
    // keeps them.
    if (!markTriggers) {
        Statement find = conn.once(QStringLiteral(
            "SELECT t.tgname FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid WHERE "
            "t.tgrelid = ?1::regclass AND t.tgfoid = 'public.jet_raise_mark'::regproc AND "
            "pg_has_role(c.relowner, 'USAGE')"));
        find.bindText(1, quoteName(table->name));
        markTriggers.emplace();
        while (find.step()) *markTriggers << find.textAt(0);
    }
    const QString target = quoteName(table->name);
    for (const QString& trigger : *markTriggers)
        conn.exec(QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER %2").arg(target, quoteName(trigger)));

    QStringList columns;
    for (const int column : named) columns << quoteName(table->columns[static_cast<size_t>(column)].name);
    for (const int column : autoNumbers)
        columns << quoteName(table->columns[static_cast<size_t>(column)].name);
    QByteArray rows;
    rows.reserve(heldBytes);
    for (long row = 0; row < heldRows; ++row) {
        for (size_t k = 0; k < width; ++k) {
            if (k > 0) rows += '\t';
            const StoredValue& v = held[static_cast<size_t>(row) * width + k];
            if (v.isNull() && nextNamed[k] > 0)
                rows += QByteArray::number(static_cast<qlonglong>(nextNamed[k]++));
            else
                appendCopyValue(rows, v);
        }
        for (size_t a = 0; a < autoNumbers.size(); ++a) {
            if (width > 0 || a > 0) rows += '\t';
            rows += QByteArray::number(static_cast<qlonglong>(nextUnnamed[a]++));
        }
        rows += '\n';
    }
    long failedRow = 0;
    try {
        server->copyIn(QStringLiteral("COPY %1 (%2) FROM STDIN")
                           .arg(target, columns.join(QStringLiteral(", "))),
                       rows, &failedRow);
    } catch (const DbError& e) {
        // The row is counted over everything this object sent, from 1.
        QString text = e.text() + QStringLiteral(" [table %1").arg(table->name);
        if (failedRow > 0) text += QStringLiteral(", row %1").arg(sentRows + failedRow);
        throw DbError(e.number(), text + u']');
    }
    for (const QString& trigger : *markTriggers)
        conn.exec(QStringLiteral("ALTER TABLE %1 ENABLE TRIGGER %2").arg(target, quoteName(trigger)));
}

void SetBulkLoading(Database& db, bool on) {
    if (!db.d_ || !db.d_->isOpen()) fail(err::kObjectClosed);
    Connection& conn = db.d_->conn();
    // 256 MB of page cache (a negative size is in KiB) and a second thread for the sorts
    // of index builds; SQLite's defaults again after.
    conn.exec(on ? QStringLiteral("PRAGMA synchronous = OFF")
                 : QStringLiteral("PRAGMA synchronous = FULL"));
    conn.exec(on ? QStringLiteral("PRAGMA cache_size = -262144")
                 : QStringLiteral("PRAGMA cache_size = -2000"));
    conn.exec(on ? QStringLiteral("PRAGMA threads = 2") : QStringLiteral("PRAGMA threads = 0"));
}

}  // namespace tv::engine
