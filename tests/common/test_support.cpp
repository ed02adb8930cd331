#include "common/test_support.h"
#include "common/test_backend.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace tvtest {

ScratchFolder::ScratchFolder() : dir_(std::make_unique<QTemporaryDir>()) {
    if (!dir_->isValid()) ADD_FAILURE() << "cannot create a temporary folder";
}

QString ScratchFolder::path() const { return dir_->path(); }

QString ScratchFolder::file(const QString& name) const { return dir_->path() + "/" + name; }

bool serverVariant() { return qgetenv("TOLVARINE_TEST_BACKEND") == "server"; }

QString testServer() {
    return serverVariant() ? QString::fromUtf8(qgetenv("TOLVARINE_TEST_SERVER")) : QString();
}

QString databaseLocation(const ScratchFolder& folder, const QString& fileName) {
    const QString server = testServer();
    if (server.isEmpty()) return folder.file(fileName);
    // One site database per test program (programs run side by side), a schema per database.
    static int made = 0;
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    return server + QStringLiteral(" dbname=%1/s%2_%3_%4")
                        .arg(program, QString::number(QCoreApplication::applicationPid()))
                        .arg(++made)
                        .arg(fileName);
}

bool skipServerVariant() {
    if (!serverVariant() || !testServer().isEmpty()) return false;
    std::puts("No PostgreSQL server for this run (TOLVARINE_TEST_SERVER unset): skipped.");
    return true;
}

ScratchSite::ScratchSite() {
    const QString server = testServer();
    if (server.isEmpty()) {
        location_ = folder_.path();
        return;
    }
    static int made = 0;
    database_ = QStringLiteral("%1_%2_site%3")
                    .arg(QFileInfo(QCoreApplication::applicationFilePath()).baseName())
                    .arg(QCoreApplication::applicationPid())
                    .arg(++made)
                    .toLower();
    location_ = server + QStringLiteral(" dbname=") + database_;
}

ScratchSite::~ScratchSite() {
    // Connections the test left open go with it.
    if (!database_.isEmpty())
        onTestServer({QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(database_)});
}

bool onTestServer(const QStringList& statements) {
    PGconn* conn = PQconnectdb(testServer().toUtf8().constData());
    bool ok = PQstatus(conn) == CONNECTION_OK;
    for (const QString& sql : statements) {
        if (!ok) break;
        PGresult* result = PQexec(conn, sql.toUtf8().constData());
        ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
    }
    if (!ok) ADD_FAILURE() << "on the test server: " << PQerrorMessage(conn);
    PQfinish(conn);
    return ok;
}

RawConnection::RawConnection(const QString& location) {
    if (!testServer().isEmpty()) {
        // "<connection>/Data.mdb": the site's database, and the schema named after the file.
        const qsizetype slash = location.lastIndexOf(u'/');
        server_ = PQconnectdb(location.left(slash).toUtf8().constData());
        QString schema = location.mid(slash + 1).toLower();
        if (schema.endsWith(QLatin1String(".mdb"))) schema.chop(4);
        if (PQstatus(server_) != CONNECTION_OK)
            failure_ = QString::fromUtf8(PQerrorMessage(server_)).trimmed();
        else
            failure_ = exec("SET search_path = \"" + schema + "\", public");
        return;
    }
    if (sqlite3_open_v2(location.toUtf8().constData(), &file_, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK)
        failure_ = QString::fromUtf8(sqlite3_errmsg(file_));
}

RawConnection::~RawConnection() {
    if (server_) PQfinish(server_);
    sqlite3_close(file_);
}

QString RawConnection::exec(const QString& sql) {
    if (!failure_.isEmpty()) return failure_;
    const QByteArray text = sql.toUtf8();
    if (server_) {
        PGresult* result = PQexec(server_, text.constData());
        const ExecStatusType status = PQresultStatus(result);
        const QString why = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK
                                ? QString()
                                : QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
        PQclear(result);
        return why;
    }
    if (sqlite3_exec(file_, text.constData(), nullptr, nullptr, nullptr) == SQLITE_OK) return {};
    return QString::fromUtf8(sqlite3_errmsg(file_));
}

QString sourceDir() { return QStringLiteral(TOLVARINE_SOURCE_DIR); }
QString binaryDir() { return QStringLiteral(TOLVARINE_BINARY_DIR); }

}  // namespace tvtest
