// DDL for engine tables, columns and indexes, on a file or on a server.
#include "engine/ddl.h"

#include "engine/autonumber.h"
#include "engine/connection.h"
#include "engine/errors.h"

#include <QSet>
#include <utility>

namespace tv::engine {

namespace {

// Holds the write lock for one schema change and forgets cached schemas afterwards,
// whether the change succeeded or not.
class SchemaChange {
public:
    SchemaChange(Connection& connection, SchemaCache& schemas)
        : connection_(connection), schemas_(schemas) {
        connection_.acquireWriteLock();
    }
    ~SchemaChange() {
        schemas_.clear();
        connection_.noteChange();
        if (!done_) {
            try {
                // Undo the half-made change: roll back to the savepoint taken at the start.
                connection_.exec(QStringLiteral("ROLLBACK TO tv_schema"));
                connection_.exec(QStringLiteral("RELEASE tv_schema"));
            } catch (const DbError&) {
            }
        }
        try {
            connection_.releaseWriteLock();
        } catch (const DbError&) {
        }
    }
    void begin() { connection_.exec(QStringLiteral("SAVEPOINT tv_schema")); }
    void commit() {
        connection_.exec(QStringLiteral("RELEASE tv_schema"));
        done_ = true;
    }
    SchemaChange(const SchemaChange&) = delete;
    SchemaChange& operator=(const SchemaChange&) = delete;

private:
    Connection& connection_;
    SchemaCache& schemas_;
    bool done_ = false;
};

QString keyList(const QStringList& names, const std::vector<bool>& descending = {},
                bool server = false) {
    QStringList quoted;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const bool desc =
            static_cast<size_t>(i) < descending.size() && descending[static_cast<size_t>(i)];
        quoted << quoteName(names[i]) + (desc ? QStringLiteral(" DESC") : QString());
        // On a server, index order is Jet's: Null before every value.
        if (server) quoted.back() += desc ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
    }
    return quoted.join(QLatin1String(", "));
}

void checkIndexColumns(const TableSchema& schema, const IndexDef& index) {
    if (index.columns.isEmpty()) fail(err::kInvalidOperation, index.name);
    for (const QString& column : index.columns)
        if (schema.columnIndex(column) < 0) fail(err::kItemNotFound, column);
}

// A server's column type for an engine type. Texts are citext, so that keys and
// comparisons ignore case for every letter as the file's NOCASE does for ASCII; dates stay
// ISO text (binary collation) so that both backends read and compare them alike.
QString serverType(FieldType type) {
    switch (type) {
        case FieldType::Boolean:
        case FieldType::Byte:
        case FieldType::Integer:
            return QStringLiteral("smallint");
        case FieldType::Long:
            return QStringLiteral("integer");
        case FieldType::Currency:
        case FieldType::Single:
        case FieldType::Double:
            return QStringLiteral("double precision");
        case FieldType::Date:
            return QStringLiteral("text COLLATE \"C\"");
        case FieldType::Text:
        case FieldType::Memo:
            return QStringLiteral("public.citext");
        case FieldType::LongBinary:
            return QStringLiteral("bytea");
    }
    return QStringLiteral("text");
}

QString serverColumnSql(const ColumnDef& column, bool adding) {
    const ColumnType type = columnTypeOf(column, adding);
    QString sql = quoteName(column.name) + u' ' + serverType(column.type);
    if (column.required && !adding && !type.autoIncrement) sql += QStringLiteral(" NOT NULL");
    return sql;
}

// The column's engine type rides in its comment, as a file's declared type.
void describeColumn(Connection& connection, const QString& table, const ColumnDef& column,
                    bool adding) {
    connection.exec(QStringLiteral("COMMENT ON COLUMN %1.%2 IS %3")
                        .arg(quoteName(table), quoteName(column.name),
                             quoteLiteral(declaredType(columnTypeOf(column, adding)))));
}

// A server's index names are per schema and at most 63 bytes: the engine's name rides in
// the index's comment.
void createServerIndex(Connection& connection, const QString& table, const QString& name,
                       const QString& columns, bool unique) {
    const QString stored = storedIndexName(connection, table, name);
    // The rowid ends every index, as in a file's: ties in an index's order are in rowid
    // order, so a key set's pages walk the index without sorting (kept beside a unique
    // index's keys, which have no ties to order).
    connection.exec(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4%5)")
                        .arg(unique ? QStringLiteral("UNIQUE ") : QString(), quoteName(stored),
                             quoteName(table), columns,
                             unique ? QStringLiteral(") INCLUDE (rowid") : QStringLiteral(", rowid")));
    connection.exec(QStringLiteral("COMMENT ON INDEX %1 IS %2")
                        .arg(quoteName(stored), quoteLiteral(name)));
}

}  // namespace

ColumnType columnTypeOf(const ColumnDef& column, bool adding) {
    ColumnType type;
    type.type = column.type;
    type.size = column.type == FieldType::Text ? (column.size > 0 ? column.size : 255) : 0;
    type.autoIncrement = column.autoIncrement && column.type == FieldType::Long;
    type.allowZeroLength = column.allowZeroLength;
    type.requiredFlag = adding && column.required && !type.autoIncrement;
    return type;
}

QString columnSql(const ColumnDef& column, bool adding) {
    const ColumnType type = columnTypeOf(column, adding);
    QString sql = quoteName(column.name) + u' ' + declaredType(type);
    if (isTextual(column.type)) sql += QStringLiteral(" COLLATE NOCASE");
    // Counters are filled after the insert, so they cannot refuse a Null on the way in.
    if (column.required && !adding && !type.autoIncrement) sql += QStringLiteral(" NOT NULL");
    return sql;
}

void createTable(Connection& connection, SchemaCache& schemas, const QString& table,
                 const std::vector<ColumnDef>& columns, const std::vector<IndexDef>& indexes) {
    if (table.trimmed().isEmpty() || columns.empty()) fail(err::kInvalidOperation, table);
    // Statements write names between brackets: a name they cannot hold is never made.
    if (!isValidName(table)) fail(err::kInvalidName, table);
    for (const ColumnDef& column : columns)
        if (!isValidName(column.name)) fail(err::kInvalidName, column.name);
    for (const IndexDef& index : indexes)
        if (!index.name.isEmpty() && !isValidName(index.name)) fail(err::kInvalidName, index.name);
    if (schemas.hasTable(connection, table)) fail(err::kDuplicateName, table);
    QSet<QString> names;
    QStringList parts;
    for (const ColumnDef& column : columns) {
        if (names.contains(column.name.toLower())) fail(err::kDuplicateName, column.name);
        names.insert(column.name.toLower());
        parts << columnSql(column, false);
    }
    const IndexDef* primary = nullptr;
    QSet<QString> indexNames;
    for (const IndexDef& index : indexes) {
        for (const QString& column : index.columns)
            if (!names.contains(column.toLower())) fail(err::kItemNotFound, column);
        if (index.primary) {
            if (primary) fail(err::kDuplicateName, kPrimaryKeyName);
            primary = &index;
        } else if (indexNames.contains(index.name.toLower())) {
            fail(err::kDuplicateName, index.name);
        }
        indexNames.insert(index.name.toLower());
    }
    const bool server = connection.isServer();
    if (server) {
        parts.clear();
        for (const ColumnDef& column : columns) parts << serverColumnSql(column, false);
        // The row identity the engine's cursors and key sets use, as a file's rowid.
        parts << QStringLiteral("rowid bigint GENERATED BY DEFAULT AS IDENTITY UNIQUE");
    }
    if (primary) {
        const QString key = QStringLiteral("PRIMARY KEY (%1)%2")
                                .arg(keyList(primary->columns),
                                     server ? QStringLiteral(" INCLUDE (rowid)") : QString());
        parts << (server ? QStringLiteral("CONSTRAINT %1 ").arg(quoteName(
                               storedIndexName(connection, table, kPrimaryKeyName))) + key
                         : key);
    }

    SchemaChange change(connection, schemas);
    change.begin();
    connection.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                        .arg(quoteName(table), parts.join(QLatin1String(", "))));
    if (server)
        for (const ColumnDef& column : columns) describeColumn(connection, table, column, false);
    for (const IndexDef& index : indexes) {
        if (index.primary) continue;
        if (server) {
            createServerIndex(connection, table, index.name,
                              keyList(index.columns, index.descending, true), index.unique);
            continue;
        }
        connection.exec(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                            .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(),
                                 quoteName(sqliteIndexName(table, index.name)), quoteName(table),
                                 keyList(index.columns, index.descending)));
    }
    bool forgotten = false;
    for (const ColumnDef& column : columns) {
        if (!column.autoIncrement || column.type != FieldType::Long) continue;
        // A mark left by an earlier table of this name must not carry over to this one.
        if (!std::exchange(forgotten, true)) forgetAutoNumbers(connection, table);
        installAutoNumber(connection, table, column.name);
    }
    change.commit();
}

void dropTable(Connection& connection, SchemaCache& schemas, const QString& table) {
    const auto schema = schemas.table(connection, table);
    SchemaChange change(connection, schemas);
    change.begin();
    // Indexes and triggers go with the table; its auto-number marks are forgotten.
    connection.exec(QStringLiteral("DROP TABLE %1").arg(quoteName(schema->name)));
    forgetAutoNumbers(connection, schema->name);
    change.commit();
}

void addColumn(Connection& connection, SchemaCache& schemas, const QString& table,
               const ColumnDef& column) {
    const auto schema = schemas.table(connection, table);
    if (column.name.trimmed().isEmpty()) fail(err::kInvalidOperation, column.name);
    if (!isValidName(column.name)) fail(err::kInvalidName, column.name);
    if (schema->columnIndex(column.name) >= 0) fail(err::kDuplicateName, column.name);
    SchemaChange change(connection, schemas);
    change.begin();
    const bool server = connection.isServer();
    connection.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                        .arg(quoteName(schema->name), server ? serverColumnSql(column, true)
                                                             : columnSql(column, true)));
    if (server) describeColumn(connection, schema->name, column, true);
    if (column.autoIncrement && column.type == FieldType::Long) {
        // Existing rows are numbered too, in the order they were stored.
        connection.exec(QStringLiteral("UPDATE %1 SET %2 = rowid")
                            .arg(quoteName(schema->name), quoteName(column.name)));
        installAutoNumber(connection, schema->name, column.name);
    }
    change.commit();
}

void dropColumn(Connection& connection, SchemaCache& schemas, const QString& table,
                const QString& column) {
    const auto schema = schemas.table(connection, table);
    const int ordinal = schema->columnIndex(column);
    if (ordinal < 0) fail(err::kItemNotFound, column);
    if (schema->indexed(ordinal)) fail(err::kCannotDeleteKeyField, column);
    if (schema->columns.size() == 1) fail(err::kInvalidOperation, column);
    const ColumnSchema& stored = schema->columns[static_cast<size_t>(ordinal)];
    SchemaChange change(connection, schemas);
    change.begin();
    if (stored.type.autoIncrement) removeAutoNumber(connection, schema->name, stored.name);
    connection.exec(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                        .arg(quoteName(schema->name), quoteName(stored.name)));
    change.commit();
}

void createIndex(Connection& connection, SchemaCache& schemas, const QString& table,
                 const IndexDef& index) {
    const auto schema = schemas.table(connection, table);
    if (!index.name.isEmpty() && !isValidName(index.name)) fail(err::kInvalidName, index.name);
    checkIndexColumns(*schema, index);
    const bool primary =
        index.primary || index.name.compare(kPrimaryKeyName, Qt::CaseInsensitive) == 0;
    if (schema->index(primary ? kPrimaryKeyName : index.name))
        fail(err::kDuplicateName, primary ? kPrimaryKeyName : index.name);
    SchemaChange change(connection, schemas);
    change.begin();
    // SQLite cannot add a PRIMARY KEY constraint to a table: a primary key made later is
    // a unique index under the name "PrimaryKey".
    if (connection.isServer()) {
        createServerIndex(connection, schema->name, primary ? kPrimaryKeyName : index.name,
                          keyList(index.columns, index.descending, true), index.unique || primary);
        change.commit();
        return;
    }
    connection.exec(
        QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
            .arg(index.unique || primary ? QStringLiteral("UNIQUE ") : QString(),
                 quoteName(sqliteIndexName(schema->name, primary ? kPrimaryKeyName : index.name)),
                 quoteName(schema->name), keyList(index.columns, index.descending)));
    change.commit();
}

void dropIndex(Connection& connection, SchemaCache& schemas, const QString& table,
               const QString& index) {
    const auto schema = schemas.table(connection, table);
    const IndexSchema* stored = schema->index(index);
    if (!stored) fail(err::kIndexNotFound, index);
    // The primary key of CREATE TABLE belongs to the table's definition in SQLite.
    if (stored->sqliteName.startsWith(QLatin1String("sqlite_autoindex_")) ||
        stored->sqliteName.isEmpty())
        fail(err::kInvalidOperation, index);
    SchemaChange change(connection, schemas);
    change.begin();
    if (connection.isServer() && stored->primary && stored->constraint)
        fail(err::kInvalidOperation, index);
    connection.exec(QStringLiteral("DROP INDEX %1").arg(quoteName(stored->sqliteName)));
    change.commit();
}

}  // namespace tv::engine
