#include "common/data/shipped_fixture.h"

#include "common/engine/queries.h"
#include "core/settings_store.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/shipped_databases.h"
#include "engine/database_copy.h"
#include "engine/engine.h"
#include "engine/server.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <QDir>
#include <QFile>
#include <memory>

namespace tvtest {

namespace {

// Built once per test program: building from the text sources takes far longer than
// copying three files.
const ScratchFolder* shippedOriginals(QString* error) {
    static std::unique_ptr<ScratchFolder> folder;
    static QString buildError;
    if (!folder) {
        folder = std::make_unique<ScratchFolder>();
        if (!tv::data::createDatabases(folder->path(), sourceDir() + QStringLiteral("/db"),
                                       &buildError) &&
            buildError.isEmpty())
            buildError = QStringLiteral("createDatabases failed");
    }
    *error = buildError;
    return buildError.isEmpty() ? folder.get() : nullptr;
}

// The shipped databases on the test server, as a site database that every test's site
// is made from (CREATE DATABASE ... TEMPLATE copies it whole, far faster than the rows).
QString serverOriginals(const ScratchFolder& files, QString* error) {
    static QString name;
    if (!name.isEmpty() || !error->isEmpty()) return name;
    const QString site = QStringLiteral("%1_%2_shipped")
                             .arg(QFileInfo(QCoreApplication::applicationFilePath()).baseName())
                             .arg(QCoreApplication::applicationPid())
                             .toLower();
    try {
        for (const tv::data::ShippedDatabase& shipped : tv::data::shippedDatabases()) {
            tv::engine::Database from =
                tv::engine::Engine::instance().OpenDatabase(files.file(shipped.fileName), true);
            tv::engine::Database to = tv::engine::Engine::instance().CreateDatabase(
                testServer() + QStringLiteral(" dbname=") + site + u'/' + shipped.fileName);
            tv::engine::CopyDatabase(from, to);
        }
    } catch (const tv::engine::DbError& e) {
        *error = e.text();
        return QString();
    }
    name = site;
    return name;
}

}  // namespace

::testing::AssertionResult copyShippedDatabases(const QString& folder) {
    QString error;
    const ScratchFolder* originals = shippedOriginals(&error);
    if (!originals) return ::testing::AssertionFailure() << error.toStdString();
    if (tv::engine::IsServerLocation(folder)) {
        const QString site = serverOriginals(*originals, &error);
        if (site.isEmpty()) return ::testing::AssertionFailure() << error.toStdString();
        const QString database = folder.section(QStringLiteral("dbname="), -1).trimmed();
        if (!onTestServer({QStringLiteral("CREATE DATABASE \"%1\" TEMPLATE \"%2\"").arg(database, site)}))
            return ::testing::AssertionFailure() << "cannot make the site " << database.toStdString();
        return ::testing::AssertionSuccess();
    }
    QDir().mkpath(folder + QStringLiteral("/Pictures"));
    const QDir source(originals->path());
    for (const QString& name : source.entryList(QDir::Files)) {
        if (!QFile::copy(source.filePath(name), folder + u'/' + name))
            return ::testing::AssertionFailure() << "cannot copy " << name.toStdString();
    }
    const QDir pictures(source.filePath(QStringLiteral("Pictures")));
    for (const QString& name : pictures.entryList(QDir::Files))
        QFile::copy(pictures.filePath(name), folder + QStringLiteral("/Pictures/") + name);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult openDefinitions(const QString& folder) {
    tv::data::AppState& st = tv::data::state();
    try {
        st.DefinitionsLocation = folder;
        st.DefinitionsDb = tv::engine::Engine::instance().OpenDatabase(
            folder + QStringLiteral("/Definitions.mdb"));
        st.FormCaptionsRs = st.DefinitionsDb.OpenRecordset(QStringLiteral("Form Captions"));
        st.FormCaptionsRs.SetIndex(QStringLiteral("PrimaryKey"));
        st.MessagesRs = st.DefinitionsDb.OpenRecordset(QStringLiteral("Messages"));
        st.MessagesRs.SetIndex(QStringLiteral("PrimaryKey"));
        st.FieldDefinitionsRs = st.DefinitionsDb.OpenRecordset(QStringLiteral("Field Definitions"));
        st.FieldDefinitionsRs.SetIndex(QStringLiteral("PrimaryKey"));
    } catch (const tv::engine::DbError& e) {
        return ::testing::AssertionFailure() << e.text().toStdString();
    }
    return ::testing::AssertionSuccess();
}

void ShippedDatabasesTest::SetUp() {
    tv::setSettingsLocationForTests(settings.path());
    tv::data::state().reset();
    ASSERT_TRUE(copyShippedDatabases(data.path()));
    ASSERT_TRUE(openDefinitions(data.path()));
    tv::data::state().DataLocation = data.path();
    // A site on the server keeps its files in the site's folder, named as a workstation's
    // "Files Location" names it (a folder site keeps them beside its databases anyway).
    tv::data::state().FilesLocation = data.folder().path();
    ASSERT_TRUE(tv::data::OpenDataDatabase());
}

void ShippedDatabasesTest::TearDown() {
    ask.verifyDone();
    tv::data::state().reset();
    tv::setSettingsLocationForTests(QString());
}

void ShippedDatabasesTest::execDefinitions(const QStringList& statements) {
    for (const QString& s : statements) tv::data::state().DefinitionsDb.Execute(s);
}

void ShippedDatabasesTest::execData(const QStringList& statements) {
    for (const QString& s : statements) tv::data::state().DataDb.Execute(s);
}

QString ShippedDatabasesTest::dataValue(const QString& sql) {
    return queryValue(tv::data::state().DataDb, sql);
}

QStringList ShippedDatabasesTest::dataRows(const QString& sql) {
    return joinedRows(tv::data::state().DataDb, sql);
}

QStringList joinedRows(tv::engine::Database& db, const QString& sql) {
    QStringList rows;
    for (const QStringList& row : queryRows(db, sql)) rows << row.join(u'|');
    return rows;
}

using tv::engine::quoteLiteral;

void ShippedDatabasesTest::addUser(const QString& userId, bool administrator, bool workflow,
                                   bool billing) {
    auto flag = [](bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); };
    execData({QStringLiteral("INSERT INTO [System Users] ([USERID], [USERNAME], [ADMINISTRATOR], "
                             "[WORKFLOW], [BILLINGACCESS]) VALUES (%1, %2, %3, %4, %5)")
                  .arg(quoteLiteral(userId), quoteLiteral(userId + QStringLiteral(" Person")),
                       flag(administrator), flag(workflow), flag(billing))});
}

void ShippedDatabasesTest::setAccess(const QString& userId, const QString& table,
                                     std::optional<int> level) {
    execData({
        QStringLiteral("DELETE * FROM [System User Access] WHERE [USERID] = %1 AND "
                       "[TABLENAME] = %2")
            .arg(quoteLiteral(userId), quoteLiteral(table)),
        QStringLiteral("INSERT INTO [System User Access] ([USERID], [TABLENAME], [ACCESSLEVEL]) "
                       "VALUES (%1, %2, %3)")
            .arg(quoteLiteral(userId), quoteLiteral(table),
                 level ? QString::number(*level) : QStringLiteral("Null")),
    });
}

void ShippedDatabasesTest::clearAccess(const QString& userId) {
    execData({QStringLiteral("DELETE * FROM [System User Access] WHERE [USERID] = %1")
                  .arg(quoteLiteral(userId))});
}

}  // namespace tvtest
