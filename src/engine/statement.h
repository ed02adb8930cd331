// A prepared statement in use, on an SQLite file or on a server (PgStatement). Statements
// come from the connection's cache and go back to it reset, so no statement stays open
// (holding a read lock) once the engine call that used it returns: the Statement object is
// a scope guard around one use.
#pragma once

#include <sqlite3.h>

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

namespace tv::engine {

class PgStatement;

class Statement {
public:
    // `owned` statements are finalized when done; cached ones are reset and handed back.
    Statement(sqlite3* db, sqlite3_stmt* stmt, bool owned, bool* inUse);
    explicit Statement(std::unique_ptr<PgStatement> server);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // SQLite only (nullptr on a server).
    sqlite3_stmt* handle() const { return stmt_; }
    sqlite3* db() const { return db_; }
    PgStatement* server() const { return pg_.get(); }

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

    // Column types are SQLite's storage classes on either backend.
    int columnCount() const;
    int columnType(int col) const;
    bool isNull(int col) const { return columnType(col) == SQLITE_NULL; }
    std::int64_t intAt(int col) const;
    double doubleAt(int col) const;
    // Text (UTF-8) or blob bytes seen in place until the next step.
    const char* bytesAt(int col, int* length) const;
    QString textAt(int col) const;
    QByteArray blobAt(int col) const;
    QString columnName(int col) const;

private:
    void check(int rc);

    sqlite3* db_;
    sqlite3_stmt* stmt_;
    bool owned_;
    bool* inUse_;
    std::unique_ptr<PgStatement> pg_;
};

}  // namespace tv::engine
