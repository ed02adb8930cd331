// Binding, stepping and reading of one statement use.
#include "engine/statement.h"

#include "engine/errors.h"
#include "engine/pg_session.h"

namespace tv::engine {

Statement::Statement(sqlite3* db, sqlite3_stmt* stmt, bool owned, bool* inUse)
    : db_(db), stmt_(stmt), owned_(owned), inUse_(inUse) {}

Statement::Statement(std::unique_ptr<PgStatement> server)
    : db_(nullptr), stmt_(nullptr), owned_(true), inUse_(nullptr), pg_(std::move(server)) {}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_),
      stmt_(other.stmt_),
      owned_(other.owned_),
      inUse_(other.inUse_),
      pg_(std::move(other.pg_)) {
    other.stmt_ = nullptr;
    other.inUse_ = nullptr;
}

Statement::~Statement() {
    if (pg_) pg_->reset();
    if (!stmt_) return;
    if (owned_) {
        sqlite3_finalize(stmt_);
    } else {
        sqlite3_reset(stmt_);
        if (inUse_) *inUse_ = false;
    }
}

void Statement::check(int rc) {
    if (rc != SQLITE_OK) failSqlite(db_, rc);
}

void Statement::bindNull(int index) {
    if (pg_) return pg_->bindNull(index);
    check(sqlite3_bind_null(stmt_, index));
}

void Statement::bindInt(int index, std::int64_t value) {
    if (pg_) return pg_->bindText(index, QByteArray::number(static_cast<qlonglong>(value)));
    check(sqlite3_bind_int64(stmt_, index, value));
}

void Statement::bindDouble(int index, double value) {
    if (pg_) return pg_->bindText(index, QByteArray::number(value, 'g', 17));
    check(sqlite3_bind_double(stmt_, index, value));
}

void Statement::bindText(int index, const QString& value) {
    if (pg_) return pg_->bindText(index, value.toUtf8());
    check(sqlite3_bind_text16(stmt_, index, value.utf16(),
                              static_cast<int>(value.size() * sizeof(char16_t)), SQLITE_TRANSIENT));
}

void Statement::bindBlob(int index, const QByteArray& value) {
    if (pg_) return pg_->bindBlob(index, value);
    check(sqlite3_bind_blob(stmt_, index, value.constData(), static_cast<int>(value.size()),
                            SQLITE_TRANSIENT));
}

void Statement::bindValue(int index, const sqlite3_value* value) {
    if (pg_) fail(err::kInvalidOperation, QStringLiteral("(an SQLite value bound on a server)"));
    check(sqlite3_bind_value(stmt_, index, value));
}

bool Statement::step() {
    if (pg_) return pg_->step();
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // Reset before throwing so that the failing statement holds no lock while the error
    // travels; the error is read first because the reset may change it.
    DbError error = sqliteError(db_, rc);
    sqlite3_reset(stmt_);
    throw error;
}

long Statement::run() {
    if (pg_) return pg_->run();
    while (step()) {
    }
    return static_cast<long>(sqlite3_changes(db_));
}

void Statement::reset() {
    if (pg_) return pg_->reset();
    sqlite3_reset(stmt_);
}

int Statement::columnCount() const {
    return pg_ ? pg_->columnCount() : sqlite3_column_count(stmt_);
}

int Statement::columnType(int col) const {
    return pg_ ? pg_->columnType(col) : sqlite3_column_type(stmt_, col);
}

std::int64_t Statement::intAt(int col) const {
    return pg_ ? pg_->intAt(col) : sqlite3_column_int64(stmt_, col);
}

double Statement::doubleAt(int col) const {
    return pg_ ? pg_->doubleAt(col) : sqlite3_column_double(stmt_, col);
}

const char* Statement::bytesAt(int col, int* length) const {
    if (pg_) return pg_->bytesAt(col, length);
    const auto* bytes = sqlite3_column_type(stmt_, col) == SQLITE_BLOB
                            ? static_cast<const char*>(sqlite3_column_blob(stmt_, col))
                            : reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    *length = sqlite3_column_bytes(stmt_, col);
    return bytes;
}

QString Statement::textAt(int col) const {
    if (pg_) {
        int length = 0;
        const char* text = pg_->bytesAt(col, &length);
        return text ? QString::fromUtf8(text, length) : QString();
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    if (!text) return QString();
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, col));
}

QByteArray Statement::blobAt(int col) const {
    if (pg_) {
        int length = 0;
        const char* bytes = pg_->bytesAt(col, &length);
        return bytes ? QByteArray(bytes, length) : QByteArray();
    }
    const void* data = sqlite3_column_blob(stmt_, col);
    if (!data) return QByteArray();
    return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(stmt_, col));
}

QString Statement::columnName(int col) const {
    if (pg_) return pg_->columnName(col);
    return QString::fromUtf8(sqlite3_column_name(stmt_, col));
}

}  // namespace tv::engine
