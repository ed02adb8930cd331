// Reading table schemas from SQLite's catalogue or a server's.
#include "engine/schema.h"

#include "engine/autonumber.h"
#include "engine/connection.h"
#include "engine/errors.h"

#include <QCryptographicHash>

namespace tv::engine {

namespace {
// SQLite's own tables and the engine's auto-number marks are no tables of the user.
const QString kHiddenTables = QStringLiteral("name NOT LIKE 'sqlite~_%' ESCAPE '~' AND name <> ") +
                              quoteLiteral(kAutoNumberTable);
}  // namespace

int TableSchema::columnIndex(const QString& name) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

const IndexSchema* TableSchema::index(const QString& name) const {
    for (const IndexSchema& index : indexes)
        if (index.name.compare(name, Qt::CaseInsensitive) == 0) return &index;
    return nullptr;
}

const IndexSchema* TableSchema::primaryKey() const {
    for (const IndexSchema& index : indexes)
        if (index.primary) return &index;
    return nullptr;
}

bool TableSchema::indexed(int column) const {
    for (const IndexSchema& index : indexes)
        for (int c : index.columns)
            if (c == column) return true;
    return false;
}

CursorPlan& TableSchema::plan(const IndexSchema* index) const {
    const QString key = index ? index->name.toLower() : QString();
    auto it = plans_.find(key);
    if (it != plans_.end()) return **it;
    auto plan = std::make_shared<CursorPlan>();
    if (index) plan->keyColumns = index->columns;
    QStringList columnList{QStringLiteral("rowid")};
    for (const ColumnSchema& column : columns) columnList << quoteName(column.name);
    plan->head = QStringLiteral("SELECT %1 FROM %2")
                     .arg(columnList.join(QLatin1String(", ")), quoteName(name));
    QStringList keyList{QStringLiteral("rowid")};
    for (int column : plan->keyColumns)
        keyList << quoteName(columns[static_cast<size_t>(column)].name);
    plan->keyHead =
        QStringLiteral("SELECT %1 FROM %2").arg(keyList.join(QLatin1String(", ")), quoteName(name));
    // Index order, each column its own way, and the reverse for walks backwards.
    QStringList asc;
    QStringList desc;
    for (size_t part = 0; part < plan->keyColumns.size(); ++part) {
        const ColumnSchema& key = columns[static_cast<size_t>(plan->keyColumns[part])];
        const bool down = part < index->descending.size() && index->descending[part];
        asc << quoteName(key.name) + (down ? QStringLiteral(" DESC") : QString());
        desc << quoteName(key.name) + (down ? QString() : QStringLiteral(" DESC"));
        // Null is the least value of a key column, as in a file: first in an ascending
        // column, last in a descending one. A server sorts it as the greatest unless told,
        // so it is told. A column that holds no Null follows its index instead (a PRIMARY
        // KEY constraint keeps the server's default): the server walks an index without
        // sorting only when the ORDER BY places Null as the index does.
        if (server) {
            const bool neverNull = key.notNull || index->constraint;
            const bool nullsFirst =
                neverNull && part < index->nullsFirst.size() ? index->nullsFirst[part] : !down;
            asc.back() +=
                nullsFirst ? QStringLiteral(" NULLS FIRST") : QStringLiteral(" NULLS LAST");
            desc.back() +=
                nullsFirst ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
        }
    }
    asc << QStringLiteral("rowid");
    desc << QStringLiteral("rowid DESC");
    plan->orderAsc = QStringLiteral(" ORDER BY ") + asc.join(QLatin1String(", "));
    plan->orderDesc = QStringLiteral(" ORDER BY ") + desc.join(QLatin1String(", "));
    return **plans_.insert(key, std::move(plan));
}

const QString& TableSchema::writeStatement(bool insert, const std::vector<int>& columns) const {
    QByteArray key(1, insert ? 'i' : 'u');
    for (int column : columns) key.append(reinterpret_cast<const char*>(&column), sizeof column);
    auto it = writes_.find(key);
    if (it != writes_.end()) return *it;
    QStringList names;
    QStringList marks;
    for (int column : columns) {
        names << quoteName(this->columns[static_cast<size_t>(column)].name);
        marks << QStringLiteral("?");
    }
    QString sql;
    if (insert && columns.empty())
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteName(name));
    else if (insert)
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoteName(name), names.join(QLatin1String(", ")),
                       marks.join(QLatin1String(", ")));
    else
        sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                  .arg(quoteName(name), names.join(QLatin1String(" = ?, ")));
    if (insert && server) sql += QStringLiteral(" RETURNING rowid");
    return *writes_.insert(key, sql);
}

QString quoteName(const QString& name) {
    QString quoted = name;
    quoted.replace(u'"', QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

QString sqliteIndexName(const QString& table, const QString& index) { return table + u'|' + index; }

QString storedIndexName(const Connection& connection, const QString& table, const QString& index) {
    const QString whole = sqliteIndexName(table, index);
    if (!connection.isServer() || whole.toUtf8().size() <= 63) return whole;
    const QByteArray hash =
        QCryptographicHash::hash(whole.toUtf8(), QCryptographicHash::Sha1).toHex().left(10);
    QString shortened = whole;
    while (shortened.toUtf8().size() > 52) shortened.chop(1);
    return shortened + u'~' + QString::fromLatin1(hash);
}

namespace {

// A server's catalogue, read with the same results as a file's: the schema's tables.
const QString kServerTables = QStringLiteral(
    "SELECT c.relname, CASE c.relkind WHEN 'v' THEN 'view' ELSE 'table' END FROM pg_class c "
    "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = current_schema() AND "
    "c.relkind IN ('r', 'v', 'p') AND c.relname <> ") + quoteLiteral(kAutoNumberTable);

std::shared_ptr<TableSchema> loadServerTable(Connection& connection, const QString& storedName) {
    auto schema = std::make_shared<TableSchema>();
    schema->name = storedName;
    schema->server = true;
    const QString relation = QStringLiteral(
        "(SELECT c.oid FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE n.nspname = current_schema() AND c.relname = ?1)");
    std::vector<int> attnums;
    {
        Statement columns = connection.cached(
            QStringLiteral("SELECT a.attname, coalesce(col_description(a.attrelid, a.attnum), "
                           "format_type(a.atttypid, a.atttypmod)), a.attnotnull, a.attnum "
                           "FROM pg_attribute a WHERE a.attrelid = %1 AND a.attnum > 0 AND NOT "
                           "a.attisdropped AND a.attname <> 'rowid' ORDER BY a.attnum")
                .arg(relation));
        columns.bindText(1, storedName);
        while (columns.step()) {
            ColumnSchema column;
            column.name = columns.textAt(0);
            column.type = parseDeclaredType(columns.textAt(1));
            // A counter in a primary key is NOT NULL on a server; the engine numbers it.
            column.notNull = columns.intAt(2) != 0 && !column.type.autoIncrement;
            schema->columns.push_back(column);
            attnums.push_back(static_cast<int>(columns.intAt(3)));
        }
    }
    Statement indexes = connection.cached(
        QStringLiteral("SELECT ic.relname, i.indisunique, i.indisprimary, "
                       "coalesce(obj_description(ic.oid, 'pg_class'), ''), "
                       "array_to_string(i.indkey[0:i.indnkeyatts - 1], ' '), EXISTS (SELECT 1 "
                       "FROM pg_constraint k WHERE k.conindid = ic.oid AND k.contype = 'p'), "
                       "(SELECT a.attnum FROM pg_attribute a WHERE a.attrelid = i.indrelid "
                       "AND a.attname = 'rowid'), "
                       "array_to_string(i.indoption[0:i.indnkeyatts - 1], ' ') "
                       "FROM pg_index i JOIN pg_class ic ON ic.oid = i.indexrelid "
                       "WHERE i.indrelid = %1 AND i.indpred IS NULL ORDER BY ic.relname")
            .arg(relation));
    indexes.bindText(1, storedName);
    const QString prefix = storedName + u'|';
    while (indexes.step()) {
        IndexSchema index;
        index.sqliteName = indexes.textAt(0);
        index.unique = indexes.intAt(1) != 0;
        index.primary = indexes.intAt(2) != 0;
        index.constraint = indexes.intAt(5) != 0;
        const QString described = indexes.textAt(3);
        if (index.primary)
            index.name = kPrimaryKeyName;
        else if (!described.isEmpty())
            index.name = described;
        else if (index.sqliteName.startsWith(prefix, Qt::CaseInsensitive))
            index.name = index.sqliteName.mid(prefix.size());
        else
            index.name = index.sqliteName;
        bool hidden = false;  // an expression, or the rowid's own index
        QStringList keys = indexes.textAt(4).split(u' ', Qt::SkipEmptyParts);
        // Per key column; bit 1 of a column's options marks it descending, bit 2 Nulls first.
        const QStringList options = indexes.textAt(7).split(u' ', Qt::SkipEmptyParts);
        // The rowid that ends an index orders its ties; it is no key of the table's.
        if (keys.size() > 1 && keys.back().toInt() == indexes.intAt(6)) keys.removeLast();
        for (qsizetype k = 0; k < keys.size(); ++k) {
            const auto at = std::find(attnums.begin(), attnums.end(), keys[k].toInt());
            if (at == attnums.end()) {
                hidden = true;
                break;
            }
            index.columns.push_back(static_cast<int>(at - attnums.begin()));
            const int option = k < options.size() ? options[k].toInt() : 0;
            index.descending.push_back((option & 1) != 0);
            index.nullsFirst.push_back((option & 2) != 0);
        }
        if (!index.primary && index.unique &&
            index.name.compare(kPrimaryKeyName, Qt::CaseInsensitive) == 0)
            index.primary = true;
        if (!hidden && !index.columns.empty()) schema->indexes.push_back(index);
    }
    for (size_t i = 0; i < schema->columns.size(); ++i) {
        const ColumnSchema& column = schema->columns[i];
        schema->fields.push_back(
            fieldOfColumn(column.name, column.type, column.required(), static_cast<int>(i)));
    }
    return schema;
}

}  // namespace

QString SchemaCache::storedName(Connection& connection, const QString& name, bool* isView) {
    if (auto it = tables_.constFind(name.toLower()); it != tables_.constEnd()) {
        if (isView) *isView = false;
        return (*it)->name;
    }
    Statement statement = connection.cached(
        connection.isServer()
            ? kServerTables + QStringLiteral(" AND lower(c.relname) = lower(?1)")
            : QStringLiteral("SELECT name, type FROM sqlite_schema WHERE type IN ('table', 'view') "
                             "AND name = ?1 COLLATE NOCASE AND ") +
                  kHiddenTables);
    statement.bindText(1, name);
    if (!statement.step()) return QString();
    if (isView) *isView = statement.textAt(1) == QLatin1String("view");
    return statement.textAt(0);
}

bool SchemaCache::hasTable(Connection& connection, const QString& name) {
    if (tables_.contains(name.toLower())) return true;
    bool isView = false;
    return !storedName(connection, name, &isView).isEmpty() && !isView;
}

QStringList SchemaCache::tableNames(Connection& connection) {
    Statement statement = connection.cached(
        connection.isServer()
            ? kServerTables + QStringLiteral(" AND c.relkind <> 'v' ORDER BY lower(c.relname)")
            : QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' AND ") +
                  kHiddenTables + QStringLiteral(" ORDER BY name COLLATE NOCASE"));
    QStringList names;
    while (statement.step()) names << statement.textAt(0);
    return names;
}

std::shared_ptr<const TableSchema> SchemaCache::table(Connection& connection, const QString& name) {
    const QString key = name.toLower();
    if (auto it = tables_.constFind(key); it != tables_.constEnd()) return *it;
    bool isView = false;
    const QString stored = storedName(connection, name, &isView);
    if (stored.isEmpty() || isView) fail(err::kTableNotFound, name);
    auto schema = load(connection, stored);
    tables_.insert(key, schema);
    return schema;
}

std::shared_ptr<const TableSchema> SchemaCache::load(Connection& connection,
                                                     const QString& storedName) {
    if (connection.isServer()) return loadServerTable(connection, storedName);
    auto schema = std::make_shared<TableSchema>();
    schema->name = storedName;
    {
        Statement columns = connection.cached(QStringLiteral(
            "SELECT name, type, \"notnull\" FROM pragma_table_info(?1) ORDER BY cid"));
        columns.bindText(1, storedName);
        while (columns.step()) {
            ColumnSchema column;
            column.name = columns.textAt(0);
            column.type = parseDeclaredType(columns.textAt(1));
            column.notNull = columns.intAt(2) != 0;
            schema->columns.push_back(column);
        }
    }
    std::vector<std::pair<QString, QString>> indexList;  // name, origin
    std::vector<bool> uniqueFlags;
    {
        Statement indexes = connection.cached(QStringLiteral(
            "SELECT name, \"unique\", origin FROM pragma_index_list(?1) WHERE partial = 0 "
            "ORDER BY name"));
        indexes.bindText(1, storedName);
        while (indexes.step()) {
            indexList.emplace_back(indexes.textAt(0), indexes.textAt(2));
            uniqueFlags.push_back(indexes.intAt(1) != 0);
        }
    }
    const QString prefix = storedName + u'|';
    for (size_t i = 0; i < indexList.size(); ++i) {
        IndexSchema index;
        index.sqliteName = indexList[i].first;
        index.unique = uniqueFlags[i];
        index.primary = indexList[i].second == QLatin1String("pk");
        if (index.primary)
            index.name = kPrimaryKeyName;
        else if (index.sqliteName.startsWith(prefix, Qt::CaseInsensitive))
            index.name = index.sqliteName.mid(prefix.size());
        else
            index.name = index.sqliteName;
        Statement info = connection.cached(
            QStringLiteral("SELECT cid, \"desc\" FROM pragma_index_xinfo(?1) WHERE key = 1 "
                           "ORDER BY seqno"));
        info.bindText(1, index.sqliteName);
        bool expression = false;
        while (info.step()) {
            const auto cid = info.intAt(0);
            if (cid < 0) expression = true;  // an index on an expression: not a key index
            index.columns.push_back(static_cast<int>(cid));
            index.descending.push_back(info.intAt(1) != 0);
        }
        // A primary key made after the table (a unique index named "PrimaryKey") counts
        // as the table's primary key.
        if (!index.primary && index.unique &&
            index.name.compare(kPrimaryKeyName, Qt::CaseInsensitive) == 0)
            index.primary = true;
        if (!expression && !index.columns.empty()) schema->indexes.push_back(index);
    }
    for (size_t i = 0; i < schema->columns.size(); ++i) {
        const ColumnSchema& column = schema->columns[i];
        schema->fields.push_back(
            fieldOfColumn(column.name, column.type, column.required(), static_cast<int>(i)));
    }
    // A primary key that is the rowid itself (INTEGER PRIMARY KEY, from another tool)
    // has no index of its own; present the column as the key all the same.
    if (!schema->primaryKey()) {
        Statement pk = connection.cached(
            QStringLiteral("SELECT cid FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk"));
        pk.bindText(1, storedName);
        IndexSchema index;
        while (pk.step()) index.columns.push_back(static_cast<int>(pk.intAt(0)));
        if (index.columns.size() == 1) {
            index.name = kPrimaryKeyName;
            index.primary = index.unique = true;
            schema->indexes.push_back(index);
        }
    }
    return schema;
}

}  // namespace tv::engine
