// One connection as the engine uses it, to an SQLite file or to a server's schema
// (PgSession): the cache of prepared statements, the
// write lock that Edit/AddNew take and Update/CancelUpdate release, explicit
// transactions, and a change counter that tells record sets their read-ahead is stale.
//
// Locking follows the rollback-journal model so that several workstations can share a
// file on a network drive: a write always starts with BEGIN IMMEDIATE (the reserved lock,
// waited for up to the busy timeout), never as a deferred transaction that could fail on
// its first write whatever the timeout. On a server a write takes row locks instead: Edit
// locks its row (lockRow) inside the transaction the write lock opens, so two users edit
// two rows at once and one row's editors take turns.
#pragma once

#include "engine/statement.h"

#include <QHashFunctions>
#include <QString>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace tv::engine {

class PgSession;
struct ServerLocation;

class Connection {
public:
    // Opens an existing file (or creates one when `create`). Throws the matching DbError.
    Connection(const QString& path, bool readOnly, bool create, int busyTimeoutMs);
    // Connects to a server location's schema (made when `create`).
    Connection(const ServerLocation& location, const QString& path, bool readOnly, bool create,
               int busyTimeoutMs);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // SQLite only: nullptr on a server.
    sqlite3* handle() const { return db_; }
    bool isServer() const { return pg_ != nullptr; }
    PgSession* server() const { return pg_.get(); }
    const QString& path() const { return path_; }
    bool readOnly() const { return readOnly_; }

    // A statement from the cache (prepared once with SQLITE_PREPARE_PERSISTENT). When the
    // cached one is already in use further up the stack, a private copy is prepared.
    Statement cached(const QString& sql);
    // A statement used once (user statements with literals that would only fill the cache).
    Statement once(const QString& sql);
    // Runs statements that return no rows (DDL, pragmas, transaction control).
    void exec(const QString& sql);

    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return busyTimeoutMs_; }

    // The write lock: taken by the first holder (BEGIN IMMEDIATE unless a transaction is
    // already open), committed when the last holder releases it and no explicit
    // transaction is open. Throws 3260 when another connection holds it past the timeout.
    void acquireWriteLock();
    void releaseWriteLock();
    int writeLockHolders() const { return lockHolders_; }
    // Under the write lock: on a server, locks one row of a table until the transaction
    // ends (waited for up to the busy timeout, then 3260); a file's lock covers it already.
    void lockRow(const QString& table, std::int64_t rowid);

    // Explicit transactions (BeginTrans/CommitTrans/Rollback); nested levels are savepoints.
    void beginTransaction();
    void commitTransaction();
    void rollbackTransaction();
    int transactionDepth() const { return depth_; }
    bool inTransaction() const;

    // Ends a read transaction left open (there should be none) and marks cached rows
    // stale, so other users' changes are read again.
    void idle();

    // Reads by several statements under one shared lock: a deferred transaction begun when
    // none is open and ended when the scope closes (one lock and one check for a hot
    // journal instead of one per statement). Nothing stays open after the engine call.
    class ReadScope {
    public:
        explicit ReadScope(Connection& connection);
        ~ReadScope();
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

    private:
        Connection* began_ = nullptr;
    };

    // Incremented by every write through this connection and by idle().
    std::uint64_t changeCount() const { return changes_; }
    void noteChange() { ++changes_; }

private:
    struct CachedStatement {
        sqlite3_stmt* stmt = nullptr;
        bool inUse = false;
    };
    sqlite3_stmt* prepare(const QString& sql, unsigned flags);
    void beginImmediate();
    void commitOrRollback();
    void rollbackQuietly();

    sqlite3* db_ = nullptr;
    QString path_;
    bool readOnly_;
    struct TextHash {
        size_t operator()(const QString& text) const noexcept { return qHash(text); }
    };
    // Node-based: the in-use flags handed to Statement objects stay where they are.
    std::unordered_map<QString, CachedStatement, TextHash> cache_;
    int busyTimeoutMs_ = 0;
    int lockHolders_ = 0;
    int depth_ = 0;
    std::uint64_t changes_ = 0;
    std::unique_ptr<PgSession> pg_;
};

}  // namespace tv::engine
