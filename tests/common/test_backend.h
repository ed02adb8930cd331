// The backend a test program runs on: files, or the PostgreSQL server test.sh starts.
#pragma once

#include "common/test_support.h"

#include <QString>
#include <QStringList>

struct sqlite3;
struct pg_conn;

namespace tvtest {

// The backend a test program runs on. Engine and data programs run twice: on files, and
// as their "_server" variant (TOLVARINE_TEST_BACKEND=server) on the PostgreSQL server whose
// connection string test.sh puts in TOLVARINE_TEST_SERVER. Empty: files.
QString testServer();
// Whether this run is a server variant; without a server it has nothing to run on.
bool serverVariant();
// Where a fresh database called `fileName` goes: a file in `folder`, or on the server a
// schema of its own in this program's site database.
QString databaseLocation(const ScratchFolder& folder, const QString& fileName);
// For main(): a server variant without a server says so and runs nothing (true).
bool skipServerVariant();

// Where a test's three databases live, as a data location: a scratch folder on files; on
// the server a site database of the test's own, dropped when the object goes. path() and
// file() read as a ScratchFolder's do; what a site keeps in a folder beside its databases
// goes in folder() either way.
class ScratchSite {
public:
    ScratchSite();
    ~ScratchSite();
    ScratchSite(const ScratchSite&) = delete;
    ScratchSite& operator=(const ScratchSite&) = delete;
    QString path() const { return location_; }
    QString file(const QString& name) const { return location_ + u'/' + name; }
    const ScratchFolder& folder() const { return folder_; }
    // The site database's name on the server; empty on files.
    const QString& database() const { return database_; }

private:
    ScratchFolder folder_;
    QString location_;
    QString database_;
};

// Runs statements on the test server's maintenance database (CREATE or DROP DATABASE);
// false, with the failure reported to the test, when one fails.
bool onTestServer(const QStringList& statements);

// Another workstation's own connection to a database, beside the engine: SQLite's to the
// file, or libpq's in the database's schema on the server. Statements are the backend's
// own SQL; names in double quotes, as stored, read the same on both.
class RawConnection {
public:
    explicit RawConnection(const QString& location);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;
    bool isServer() const { return server_ != nullptr; }
    // Runs one or more statements; the backend's message when one fails, else empty.
    QString exec(const QString& sql);

private:
    sqlite3* file_ = nullptr;
    pg_conn* server_ = nullptr;
    QString failure_;  // why the connection could not be made
};

}  // namespace tvtest

// For tests of what only a file has (its pages, its repair, SQLite's own catalogue, the
// data folder's own files).
#define TV_FILES_ONLY()                                                   \
    if (!tvtest::testServer().isEmpty()) GTEST_SKIP() << "a file's own matter"
