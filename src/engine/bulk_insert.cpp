// Rows bound straight into a prepared INSERT.
#include "engine/bulk_insert.h"

#include "engine/autonumber.h"
#include "engine/db_impl.h"
#include "engine/values.h"

#include <QByteArray>
#include <QHash>
#include <algorithm>
#include <vector>

namespace tv::engine {

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
}

BulkInsert::~BulkInsert() = default;

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
