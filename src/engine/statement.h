// A prepared SQLite statement in use. Statements come from the connection's cache and go
// back to it reset, so no statement stays open (holding a read lock) once the engine call
// that used it returns: the Statement object is a scope guard around one use.
#pragma once

#include <sqlite3.h>

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace tv::engine {

class Statement {
public:
    // `owned` statements are finalized when done; cached ones are reset and handed back.
    Statement(sqlite3* db, sqlite3_stmt* stmt, bool owned, bool* inUse);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* handle() const { return stmt_; }
    sqlite3* db() const { return db_; }

    // Parameters count from 1, as in SQLite.
    void bindNull(int index);
    void bindInt(int index, std::int64_t value);
    void bindDouble(int index, double value);
    void bindText(int index, const QString& value);
    void bindBlob(int index, const QByteArray& value);
    // A value as SQLite holds it (a copy of a column read earlier), type and all.
    void bindValue(int index, const sqlite3_value* value);

    // Steps once: true while a row is available. Failures throw the matching DbError.
    bool step();
    // Steps to the end (for statements that return no rows); returns sqlite3_changes.
    long run();
    void reset();

    int columnCount() const { return sqlite3_column_count(stmt_); }
    int columnType(int col) const { return sqlite3_column_type(stmt_, col); }
    bool isNull(int col) const { return columnType(col) == SQLITE_NULL; }
    std::int64_t intAt(int col) const { return sqlite3_column_int64(stmt_, col); }
    double doubleAt(int col) const { return sqlite3_column_double(stmt_, col); }
    QString textAt(int col) const;
    QByteArray blobAt(int col) const;
    QString columnName(int col) const;

private:
    void check(int rc);

    sqlite3* db_;
    sqlite3_stmt* stmt_;
    bool owned_;
    bool* inUse_;
};

}  // namespace tv::engine
