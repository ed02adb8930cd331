// A PostgreSQL server under the engine: locating a site's database and schema from a
// location text, one libpq connection with its prepared statements, and one statement
// use (parameters bound, rows stepped through). Statement and Connection hand their work
// here when a database lives on a server instead of in a file.
//
// Locations: a libpq URI ("postgresql://host/site") or keyword string ("host=/run/pg
// dbname=site") names the site's database; the databases of a folder are schemas in it,
// named after the file a folder would hold: ".../Data.mdb" is schema "data",
// ".../Definitions.mdb" "definitions", ".../Messages.mdb" "messages" (no file name: data).
// Passwords come from ~/.pgpass or the environment, as for every libpq program.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

struct pg_conn;
struct pg_result;

namespace tv::engine {

class DbError;

struct ServerLocation {
    QString conninfo;  // as libpq reads it
    QString schema;    // lower case
};

// Whether a location names a server rather than a folder or file.
bool isServerLocation(const QString& location);
// The connection text and schema of a server location, tolerant of the slash runs that
// joining names onto folders collapses ("postgresql:/host/site/Data.mdb").
ServerLocation serverLocation(const QString& location);

// Column kinds as the engine sees stored values (SQLite's storage classes).
namespace pgkind {
inline constexpr int kInteger = 1, kFloat = 2, kText = 3, kBlob = 4, kNull = 5;
}

class PgSession;

class PgStatement {
public:
    PgStatement(PgSession& session, QByteArray preparedName, QByteArray sql, int parameters);
    ~PgStatement();
    PgStatement(const PgStatement&) = delete;
    PgStatement& operator=(const PgStatement&) = delete;

    void bindNull(int index);
    void bindText(int index, QByteArray utf8);
    void bindBlob(int index, QByteArray bytes);
    bool step();
    long run();
    // Executes with results in binary and calls `each` with column 0's integer of every
    // row, then resets (a key set's rowids: no text to parse per key). Returns the rows.
    template <typename Each>
    long forEachInteger(Each&& each) {
        execute(1);
        const long rows = rows_;
        for (int row = 0; row < rows_; ++row) each(binaryIntegerAt(row));
        reset();
        return rows;
    }
    void reset();

    int columnCount() const;
    int columnType(int col) const;
    std::int64_t intAt(int col) const;
    double doubleAt(int col) const;
    // Text of a column in the current row (blobs decoded), valid until the next step.
    const char* bytesAt(int col, int* length) const;
    QString columnName(int col) const;
    // The table column a result column reads (0 and -1 for an expression).
    unsigned tableOid(int col) const;
    int tableColumn(int col) const;

private:
    void execute(int resultFormat = 0);  // 1: binary results
    void slot(int index);
    std::int64_t binaryIntegerAt(int row) const;
    // The result, or before execution the statement's description (its columns).
    const pg_result* meta() const;

    PgSession& session_;
    QByteArray name_;  // empty: executed unprepared
    QByteArray sql_;
    std::vector<QByteArray> values_;
    std::vector<char> nulls_;
    std::vector<int> formats_;
    std::vector<unsigned> types_;
    pg_result* result_ = nullptr;
    mutable pg_result* described_ = nullptr;
    int row_ = -1;
    int rows_ = 0;
    mutable QHash<int, QByteArray> blobs_;  // decoded bytea of the current row, by column
};

class PgSession {
public:
    // Connects and selects the location's schema. `create` makes the site database and
    // the schema when missing. Throws DbError (3024 no such site or schema, 3051 refused).
    PgSession(const ServerLocation& location, bool readOnly, bool create, int busyTimeoutMs);
    ~PgSession();
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    pg_conn* handle() const { return conn_; }
    const ServerLocation& location() const { return location_; }

    // A statement prepared once per session for `sql` (engine "?" or "?N" parameters).
    std::unique_ptr<PgStatement> prepared(const QString& sql);
    std::unique_ptr<PgStatement> unprepared(const QString& sql);
    void exec(const QString& sql);
    // Runs `copy` (a COPY ... FROM STDIN in text format) and sends `rows` to it: lines of
    // tab-separated values as the appendCopy functions write them. Returns the rows taken. COPY
    // takes all or nothing: on a failure nothing was written and the DbError is thrown
    // with the row it stopped at (from 1) in `failedRow`, 0 when the failure names none.
    long copyIn(const QString& copy, const QByteArray& rows, long* failedRow = nullptr);
    void setBusyTimeout(int milliseconds);
    bool inTransaction() const;
    // Inside a transaction: waits (up to the busy timeout, then 3260) until no other
    // session's transaction holds the schema's writer lock, and holds it until this one
    // ends. A failure leaves the transaction as it was.
    void lockSchemaWriters();
    // The server's failure of the last command as a DbError.
    DbError lastError(const pg_result* result, const QByteArray& sql) const;

private:
    struct Plan {
        QByteArray name;
        QByteArray sql;
        int parameters = 0;
    };
    pg_conn* conn_ = nullptr;
    ServerLocation location_;
    QHash<QString, Plan> plans_;
};

// "?" and "?N" parameters as "$N", outside literals, quoted names and comments; the count
// of parameters goes to `parameters`.
QByteArray serverParameters(const QString& sql, int* parameters);
// One value in COPY's text format, appended to `line`: text (UTF-8) with backslash, tab,
// newline and carriage return escaped; a blob as bytea's hex form; Null as \N.
void appendCopyNull(QByteArray& line);
void appendCopyText(QByteArray& line, const QByteArray& utf8);
void appendCopyBlob(QByteArray& line, const QByteArray& bytes);
// "PostgreSQL 15.4" for the About box.
QString serverVersion(PgSession& session);
// Identifier quoting for the server (double quotes, inner ones doubled).
QString serverName(const QString& name);

}  // namespace tv::engine
