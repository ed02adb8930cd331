// Binding, stepping and reading of one statement use.
#include "engine/statement.h"

#include "engine/errors.h"

namespace tv::engine {

Statement::Statement(sqlite3* db, sqlite3_stmt* stmt, bool owned, bool* inUse)
    : db_(db), stmt_(stmt), owned_(owned), inUse_(inUse) {}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(other.stmt_), owned_(other.owned_), inUse_(other.inUse_) {
    other.stmt_ = nullptr;
    other.inUse_ = nullptr;
}

Statement::~Statement() {
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

void Statement::bindNull(int index) { check(sqlite3_bind_null(stmt_, index)); }

void Statement::bindInt(int index, std::int64_t value) {
    check(sqlite3_bind_int64(stmt_, index, value));
}

void Statement::bindDouble(int index, double value) {
    check(sqlite3_bind_double(stmt_, index, value));
}

void Statement::bindText(int index, const QString& value) {
    check(sqlite3_bind_text16(stmt_, index, value.utf16(),
                              static_cast<int>(value.size() * sizeof(char16_t)), SQLITE_TRANSIENT));
}

void Statement::bindBlob(int index, const QByteArray& value) {
    check(sqlite3_bind_blob(stmt_, index, value.constData(), static_cast<int>(value.size()),
                            SQLITE_TRANSIENT));
}

void Statement::bindValue(int index, const sqlite3_value* value) {
    check(sqlite3_bind_value(stmt_, index, value));
}

bool Statement::step() {
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
    while (step()) {
    }
    return static_cast<long>(sqlite3_changes(db_));
}

void Statement::reset() { sqlite3_reset(stmt_); }

QString Statement::textAt(int col) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    if (!text) return QString();
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, col));
}

QByteArray Statement::blobAt(int col) const {
    const void* data = sqlite3_column_blob(stmt_, col);
    if (!data) return QByteArray();
    return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(stmt_, col));
}

QString Statement::columnName(int col) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_, col));
}

}  // namespace tv::engine
