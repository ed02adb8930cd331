// The engine object: opening, creating and repairing database files, the busy timeout
// every connection waits for locks with, and Idle over all open databases.
#include "engine/autonumber.h"
#include "engine/db_impl.h"
#include "engine/file_probe.h"
#include "engine/jet_dialect.h"
#include "engine/pg_session.h"
#include "engine/repair.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <algorithm>

namespace tv::engine {

namespace {

// Long enough for another workstation's Edit..Update to finish, short enough that a
// stuck lock is reported while the user still waits.
constexpr int kDefaultBusyTimeoutMs = 5000;
// Marks files made by this engine (the letters "TVLV").
constexpr int kApplicationId = 0x54564C56;

struct EngineState {
    int busyTimeoutMs = kDefaultBusyTimeoutMs;
    std::vector<std::weak_ptr<DatabaseCore>> open;

    void remember(const std::shared_ptr<DatabaseCore>& db) {
        open.erase(std::remove_if(open.begin(), open.end(),
                                  [](const auto& weak) { return weak.expired(); }),
                   open.end());
        open.push_back(db);
    }
    template <typename F>
    void forEachOpen(F f) {
        for (const auto& weak : open)
            if (auto db = weak.lock(); db && db->isOpen()) f(*db);
    }
};

EngineState& state() {
    static EngineState s;
    return s;
}

// Reads the catalogue once, so a file that is not a database, or is damaged where
// everything starts, is reported when it is opened rather than at first use.
void checkReadable(Connection& connection) {
    Statement statement = connection.once(QStringLiteral("SELECT count(*) FROM sqlite_schema"));
    statement.step();
}

}  // namespace

Engine::Engine() = default;

Engine& Engine::instance() {
    static Engine engine;
    return engine;
}

Database Engine::OpenDatabase(const QString& path, bool readOnly) {
    if (isServerLocation(path)) {
        auto impl = std::make_shared<Database::Impl>();
        impl->path = path;
        impl->connection = std::make_unique<Connection>(serverLocation(path), path, readOnly,
                                                        false, state().busyTimeoutMs);
        state().remember(impl);
        Database database;
        database.d_ = std::move(impl);
        return database;
    }
    requireSqliteFile(path);
    auto impl = std::make_shared<Database::Impl>();
    impl->path = path;
    try {
        impl->connection =
            std::make_unique<Connection>(path, readOnly, false, state().busyTimeoutMs);
        dialect::registerDialectFunctions(impl->connection->handle());
        checkReadable(*impl->connection);
        upgradeStorage(*impl->connection);
    } catch (const DbError& error) {
        impl->connection.reset();
        // Both damage numbers name the file, so the caller can offer to repair it.
        if (error.number() == err::kNotDatabase || error.number() == err::kDamaged)
            fail(error.number(), path);
        throw;
    }
    state().remember(impl);
    Database database;
    database.d_ = std::move(impl);
    return database;
}

Database Engine::CreateDatabase(const QString& path) {
    if (isServerLocation(path)) {
        auto impl = std::make_shared<Database::Impl>();
        impl->path = path;
        impl->connection = std::make_unique<Connection>(serverLocation(path), path, false, true,
                                                        state().busyTimeoutMs);
        // A schema that holds tables is a database that exists already.
        if (!impl->schemas.tableNames(*impl->connection).isEmpty())
            fail(err::kDatabaseExists, path);
        createAutoNumberTable(*impl->connection);
        state().remember(impl);
        Database database;
        database.d_ = std::move(impl);
        return database;
    }
    if (QFileInfo::exists(path)) fail(err::kDatabaseExists, path);
    auto impl = std::make_shared<Database::Impl>();
    impl->path = path;
    impl->connection = std::make_unique<Connection>(path, false, true, state().busyTimeoutMs);
    dialect::registerDialectFunctions(impl->connection->handle());
    // Writing the header now makes the new file a complete (empty) database at once.
    impl->connection->exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId));
    impl->connection->exec(QStringLiteral("PRAGMA user_version = %1").arg(kStorageFormat));
    createAutoNumberTable(*impl->connection);
    state().remember(impl);
    Database database;
    database.d_ = std::move(impl);
    return database;
}

RepairReport Engine::RepairDatabase(const QString& path) {
    return repairDatabaseFile(path, state().busyTimeoutMs);
}

QStringList Engine::CheckIntegrity(const QString& path) {
    if (isServerLocation(path)) {
        // A server keeps its own pages whole: what is checked here is that the schema opens.
        OpenDatabase(path, true).Close();
        return {};
    }
    return integrityProblems(path, state().busyTimeoutMs);
}

void Engine::Idle(bool freeLocks) {
    state().forEachOpen([freeLocks](DatabaseCore& db) {
        db.schemas.clear();
        if (freeLocks) {
            try {
                db.conn().idle();
            } catch (const DbError&) {
                // A commit that failed here rolled back a transaction nobody owned.
            }
        } else {
            db.conn().noteChange();
        }
    });
}

void Engine::SetBusyTimeout(int milliseconds) {
    state().busyTimeoutMs = std::max(0, milliseconds);
    state().forEachOpen([](DatabaseCore& db) { db.conn().setBusyTimeout(state().busyTimeoutMs); });
}

int Engine::BusyTimeout() const { return state().busyTimeoutMs; }

QString Engine::StorageVersion() {
    return QStringLiteral("SQLite ") + QString::fromLatin1(sqlite3_libversion());
}

}  // namespace tv::engine
