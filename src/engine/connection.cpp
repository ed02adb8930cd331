// Opening, statement cache, write lock and transactions of one SQLite connection.
#include "engine/connection.h"

#include "engine/errors.h"
#include "engine/pg_session.h"
#include "engine/schema.h"

namespace tv::engine {

namespace {
// Statements the engine builds are a bounded set of shapes; user statements are not
// cached. The limit only guards against a caller generating shapes without end.
constexpr int kCacheLimit = 2000;
}  // namespace

Connection::Connection(const QString& path, bool readOnly, bool create, int busyTimeoutMs)
    : path_(path), readOnly_(readOnly) {
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create) flags |= SQLITE_OPEN_CREATE;
    // Each connection is used by one thread at a time: no SQLite mutex needed.
    flags |= SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        DbError error = sqliteError(db_, rc, path);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw error;
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    busyTimeoutMs_ = busyTimeoutMs;
}

Connection::Connection(const ServerLocation& location, const QString& path, bool readOnly,
                       bool create, int busyTimeoutMs)
    : path_(path), readOnly_(readOnly) {
    pg_ = std::make_unique<PgSession>(location, readOnly, create, busyTimeoutMs);
    busyTimeoutMs_ = busyTimeoutMs;
}

Connection::~Connection() {
    if (!db_) return;
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    for (auto& [sql, entry] : cache_) sqlite3_finalize(entry.stmt);
    cache_.clear();
    sqlite3_close_v2(db_);
}

sqlite3_stmt* Connection::prepare(const QString& sql, unsigned flags) {
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare16_v3(
        db_, sql.utf16(), static_cast<int>(sql.size() * sizeof(char16_t)), flags, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        DbError error = sqliteError(db_, rc, sql);
        sqlite3_finalize(stmt);
        throw error;
    }
    if (!stmt) fail(err::kSyntax, sql);  // only blanks or a comment
    return stmt;
}

Statement Connection::cached(const QString& sql) {
    if (pg_) return Statement(pg_->prepared(sql));
    auto it = cache_.find(sql);
    if (it == cache_.end()) {
        if (cache_.size() >= kCacheLimit) {
            // Drop the idle statements; ones in use stay (their owners hold pointers).
            for (auto i = cache_.begin(); i != cache_.end();) {
                if (i->second.inUse) {
                    ++i;
                } else {
                    sqlite3_finalize(i->second.stmt);
                    i = cache_.erase(i);
                }
            }
        }
        sqlite3_stmt* stmt = prepare(sql, SQLITE_PREPARE_PERSISTENT);
        it = cache_.emplace(sql, CachedStatement{stmt, false}).first;
    }
    CachedStatement& entry = it->second;
    if (entry.inUse) return once(sql);
    entry.inUse = true;
    return Statement(db_, entry.stmt, false, &entry.inUse);
}

Statement Connection::once(const QString& sql) {
    if (pg_) return Statement(pg_->unprepared(sql));
    return Statement(db_, prepare(sql, 0), true, nullptr);
}

void Connection::exec(const QString& sql) {
    if (pg_) return pg_->exec(sql);
    Statement statement = once(sql);
    statement.run();
}

void Connection::setBusyTimeout(int milliseconds) {
    busyTimeoutMs_ = milliseconds;
    if (pg_) return pg_->setBusyTimeout(milliseconds);
    sqlite3_busy_timeout(db_, milliseconds);
}

bool Connection::inTransaction() const {
    return pg_ ? pg_->inTransaction() : !sqlite3_get_autocommit(db_);
}

void Connection::lockRow(const QString& table, std::int64_t rowid) {
    if (!pg_) return;
    Statement lock =
        cached(QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ? FOR UPDATE").arg(quoteName(table)));
    lock.bindInt(1, rowid);
    lock.step();
}

void Connection::rollbackQuietly() {
    if (pg_) {
        try {
            if (pg_->inTransaction()) pg_->exec(QStringLiteral("ROLLBACK"));
        } catch (const DbError&) {
            // The connection is gone: so is its transaction.
        }
        return;
    }
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Connection::beginImmediate() {
    if (readOnly_) fail(err::kNotUpdatable);
    // A server locks rows as they are edited; a file's writers take turns from the start.
    cached(pg_ ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")).run();
}

void Connection::commitOrRollback() {
    try {
        cached(QStringLiteral("COMMIT")).run();
    } catch (const DbError&) {
        // A commit that cannot get the file (readers past the timeout) or fails on disk
        // must not leave the transaction open and the lock held.
        if (inTransaction()) rollbackQuietly();
        throw;
    }
}

void Connection::acquireWriteLock() {
    if (lockHolders_ == 0 && depth_ == 0 && !inTransaction()) beginImmediate();
    ++lockHolders_;
}

void Connection::releaseWriteLock() {
    if (lockHolders_ > 0) --lockHolders_;
    if (lockHolders_ == 0 && depth_ == 0 && inTransaction()) commitOrRollback();
}

void Connection::beginTransaction() {
    if (depth_ == 0) {
        const bool began = !inTransaction();
        if (began) beginImmediate();
        // On a server explicit transactions take turns per schema as a file's writers do:
        // what one reads and then writes stays as it read it (a billing run's items).
        if (pg_) {
            try {
                pg_->lockSchemaWriters();
            } catch (const DbError&) {
                if (began) rollbackQuietly();
                throw;
            }
        }
    } else {
        exec(QStringLiteral("SAVEPOINT tv_level_%1").arg(depth_));
    }
    ++depth_;
}

void Connection::commitTransaction() {
    if (depth_ == 0)
        fail(err::kInvalidOperation, QStringLiteral("(CommitTrans without BeginTrans)"));
    --depth_;
    if (depth_ > 0) {
        exec(QStringLiteral("RELEASE tv_level_%1").arg(depth_));
    } else if (lockHolders_ == 0 && inTransaction()) {
        commitOrRollback();
    }
}

void Connection::rollbackTransaction() {
    if (depth_ == 0) fail(err::kInvalidOperation, QStringLiteral("(Rollback without BeginTrans)"));
    --depth_;
    noteChange();
    if (depth_ > 0) {
        exec(QStringLiteral("ROLLBACK TO tv_level_%1").arg(depth_));
        exec(QStringLiteral("RELEASE tv_level_%1").arg(depth_));
    } else if (inTransaction()) {
        cached(QStringLiteral("ROLLBACK")).run();
        // Pending edits keep their lock: reopen the transaction they rely on.
        if (lockHolders_ > 0) beginImmediate();
    }
}

Connection::ReadScope::ReadScope(Connection& connection) {
    // A server gives each statement a consistent view without one.
    if (connection.isServer() || connection.inTransaction()) return;
    connection.cached(QStringLiteral("BEGIN")).run();
    began_ = &connection;
}

Connection::ReadScope::~ReadScope() {
    if (!began_ || !began_->inTransaction()) return;
    // Only reads were made: ending the transaction just releases the shared lock.
    try {
        began_->cached(QStringLiteral("COMMIT")).run();
    } catch (const DbError&) {
        began_->rollbackQuietly();
    }
}

void Connection::idle() {
    noteChange();
    if (lockHolders_ == 0 && depth_ == 0 && inTransaction()) commitOrRollback();
}

}  // namespace tv::engine
