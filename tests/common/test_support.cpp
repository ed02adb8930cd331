#include "common/test_support.h"
#include "common/test_backend.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
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

QString sourceDir() { return QStringLiteral(TOLVARINE_SOURCE_DIR); }
QString binaryDir() { return QStringLiteral(TOLVARINE_BINARY_DIR); }

}  // namespace tvtest
