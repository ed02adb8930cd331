// What the engine knows about a table: its columns in ordinal order with their engine
// types, and its indexes under their engine names. Read from SQLite's own catalogue
// (declared types, NOT NULL, index lists), so a file needs no bookkeeping table.
//
// Index names: the primary key is presented as "PrimaryKey" whatever SQLite calls its
// automatic index. Other indexes are named per table as in Jet; since SQLite's index
// names are global to the file, they are stored as "<table>|<name>".
#pragma once

#include "engine/field_info.h"
#include "engine/storage_types.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace tv::engine {

class Connection;

inline const QString kPrimaryKeyName = QStringLiteral("PrimaryKey");

struct ColumnSchema {
    QString name;
    ColumnType type;
    bool notNull = false;  // a NOT NULL constraint (as opposed to the REQUIRED word)
    bool required() const { return notNull || type.requiredFlag; }
};

struct IndexSchema {
    QString name;                  // as presented ("PrimaryKey", "TelephoneNo")
    QString sqliteName;            // as stored
    std::vector<int> columns;      // column ordinals, in key order
    std::vector<bool> descending;  // per key column, parallel to columns
    std::vector<bool> nullsFirst;  // on a server: per key column, where the index puts Null
    bool primary = false;
    bool unique = false;
    bool constraint = false;  // a server's PRIMARY KEY constraint (belongs to the table)
};

// The statements a table cursor builds on, made once per table and index and kept with
// the schema so that opening a record set builds no SQL text.
struct CursorPlan {
    std::vector<int> keyColumns;  // column ordinals of the index, in key order
    QString head;                 // SELECT rowid, <every column> FROM <table>
    QString keyHead;              // SELECT rowid, <key columns> FROM <table>
    QString orderAsc;   // ORDER BY <key columns>, rowid: index order (a column may run DESC)
    QString orderDesc;  // the reverse of index order
    QHash<quint32, QString> queries;  // range queries by shape (TableCursor::shapeKey)
};

struct TableSchema {
    QString name;  // as stored
    bool server = false;  // on a server: inserts return the new row's rowid
    std::vector<ColumnSchema> columns;
    std::vector<IndexSchema> indexes;
    std::vector<FieldInfo> fields;  // the columns as record-set fields

    int columnIndex(const QString& name) const;           // case-insensitive; -1 when missing
    const IndexSchema* index(const QString& name) const;  // case-insensitive
    const IndexSchema* primaryKey() const;
    bool indexed(int column) const;  // the column is part of some index
    // The cursor plan for an index (nullptr: stored order), made on first use.
    CursorPlan& plan(const IndexSchema* index) const;
    // The INSERT (or UPDATE ... WHERE rowid = ?) of the given columns, with one parameter
    // per column in that order; made once per set of columns.
    const QString& writeStatement(bool insert, const std::vector<int>& columns) const;

private:
    mutable QHash<QString, std::shared_ptr<CursorPlan>> plans_;
    mutable QHash<QByteArray, QString> writes_;
};

// A name between double quotes, with inner quotes doubled: SQLite's identifier quoting.
QString quoteName(const QString& name);
// The SQLite name of a table's named index.
QString sqliteIndexName(const QString& table, const QString& index);
// The stored name of a table's named index on this connection: the SQLite name, or on a
// server one that fits its 63 bytes (shortened with a hash of the whole when it must).
QString storedIndexName(const Connection& connection, const QString& table, const QString& index);

// Schemas read once per connection and kept until a change of schema through this
// connection or Engine::Idle (which lets columns added by other processes appear).
class SchemaCache {
public:
    // Throws 3078 when there is no such table.
    std::shared_ptr<const TableSchema> table(Connection& connection, const QString& name);
    bool hasTable(Connection& connection, const QString& name);
    // The stored name of a table or view, empty when there is none. `isView` tells which.
    // A table whose schema is cached is answered without asking SQLite.
    QString storedName(Connection& connection, const QString& name, bool* isView = nullptr);
    // User tables in name order (SQLite's own tables hidden).
    QStringList tableNames(Connection& connection);
    void clear() { tables_.clear(); }

private:
    std::shared_ptr<const TableSchema> load(Connection& connection, const QString& storedName);
    QHash<QString, std::shared_ptr<const TableSchema>> tables_;  // by lower-case name
};

}  // namespace tv::engine
