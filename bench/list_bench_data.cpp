#include "list_bench_data.h"

#include "core/settings_store.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/shipped_databases.h"
#include "engine/engine.h"

#include <sqlite3.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace tvbench {

void check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

RawSqlite::RawSqlite(const QString& file) {
    check(sqlite3_open(file.toUtf8().constData(), &db_), db_);
    sqlite3_busy_timeout(db_, 5000);
}

RawSqlite::~RawSqlite() {
    for (auto& [sql, stmt] : cache_) sqlite3_finalize(stmt);
    sqlite3_close(db_);
}

std::string RawSqlite::run(const char* sql, std::initializer_list<Param> params) {
    sqlite3_stmt*& stmt = cache_[sql];
    if (!stmt) check(sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr), db_);
    int i = 0;
    for (const Param& p : params) {
        if (p.isText)
            sqlite3_bind_text(stmt, ++i, p.text.c_str(), -1, SQLITE_TRANSIENT);
        else
            sqlite3_bind_int64(stmt, ++i, p.number);
    }
    std::string first;
    const int rc = sqlite3_step(stmt);
    check(rc, db_);
    if (rc == SQLITE_ROW && sqlite3_column_text(stmt, 0))
        first = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_reset(stmt);
    return first;
}

namespace {

QTemporaryDir& root() {
    static QTemporaryDir dir(qEnvironmentVariableIsSet("TV_BENCH_DIR")
                                 ? qEnvironmentVariable("TV_BENCH_DIR") + "/tvlist-XXXXXX"
                                 : QDir::tempPath() + "/tvlist-XXXXXX");
    return dir;
}


// Customers as a real company has them: every address column filled, a few dates.
void fillCustomers(const QString& dataFile, int rows) {
    sqlite3* db = nullptr;
    check(sqlite3_open(dataFile.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO CUSTOMERS ([CUSTOMER NAME], POSTALSTREET, POSTALCITY, "
                             "POSTALSTATE, POSTALCODE, COUNTRY, TELEPHONENO, [EMAIL ADDRESS], "
                             "[INDUSTRY CODE], TERRITORY, [SALES REP ID], FIRSTDATE, LASTDATE, "
                             "ACCOUNTNO, COMMENTS) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                             -1, &insert, nullptr),
          db);
    char text[128];
    auto bind = [&](int column, const char* value) {
        sqlite3_bind_text(insert, column, value, -1, SQLITE_TRANSIENT);
    };
    for (int i = 1; i <= rows; ++i) {
        std::snprintf(text, sizeof text, "Customer %08u Ltd",
                      static_cast<unsigned>(i) * 2654435761u);
        bind(1, text);
        std::snprintf(text, sizeof text, "%d Market Street", i % 400 + 1);
        bind(2, text);
        std::snprintf(text, sizeof text, "City %d", i % 997);
        bind(3, text);
        bind(4, "WY");
        std::snprintf(text, sizeof text, "LS%d %dAB", i % 30, i % 9);
        bind(5, text);
        bind(6, "United Kingdom");
        std::snprintf(text, sizeof text, "0113 %07d", i);
        bind(7, text);
        std::snprintf(text, sizeof text, "office%d@example.com", i);
        bind(8, text);
        bind(9, "Printing");
        bind(10, "North");
        bind(11, "admin");
        std::snprintf(text, sizeof text, "20%02d-%02d-%02d 09:00:00", 10 + i % 16, 1 + i % 12,
                      1 + i % 28);
        bind(12, text);
        bind(13, text);
        std::snprintf(text, sizeof text, "A%07d", i);
        bind(14, text);
        bind(15, "Buys toner every quarter.");
        check(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

}  // namespace

void openProgramState(const QString& folder) {
    tv::data::AppState& st = tv::data::state();
    st.reset();
    st.DefinitionsLocation = folder;
    st.DataLocation = folder;
    st.DefinitionsDb = tv::engine::Engine::instance().OpenDatabase(folder + "/Definitions.mdb");
    st.FormCaptionsRs = st.DefinitionsDb.OpenRecordset("Form Captions");
    st.FormCaptionsRs.SetIndex("PrimaryKey");
    st.MessagesRs = st.DefinitionsDb.OpenRecordset("Messages");
    st.MessagesRs.SetIndex("PrimaryKey");
    st.FieldDefinitionsRs = st.DefinitionsDb.OpenRecordset("Field Definitions");
    st.FieldDefinitionsRs.SetIndex("PrimaryKey");
    tv::data::OpenDataDatabase();
}

namespace {

QString build(int rows) {
    const QString folder = root().filePath(QStringLiteral("Company%1").arg(rows));
    QString error;
    if (!tv::data::createDatabases(folder, QStringLiteral(TOLVARINE_SOURCE_DIR "/db"), &error)) {
        std::fprintf(stderr, "creating the databases: %s\n", qPrintable(error));
        std::abort();
    }
    fillCustomers(folder + "/Data.mdb", rows);
    return folder;
}

}  // namespace

QString listDataFolder(int rows) {
    static std::map<int, QString> built;
    static int open = -1;
    auto it = built.find(rows);
    if (it == built.end()) it = built.emplace(rows, build(rows)).first;
    if (open != rows) {
        openProgramState(it->second);
        open = rows;
    }
    return it->second;
}

QString listDataFile(int rows) { return listDataFolder(rows) + "/Data.mdb"; }

QString lastCustomer(int rows) {
    sqlite3* db = nullptr;
    sqlite3_stmt* query = nullptr;
    check(sqlite3_open(listDataFile(rows).toUtf8().constData(), &db), db);
    check(sqlite3_prepare_v2(db,
                             "SELECT [CUSTOMER NAME] FROM CUSTOMERS ORDER BY [CUSTOMER NAME] DESC "
                             "LIMIT 1",
                             -1, &query, nullptr),
          db);
    check(sqlite3_step(query), db);
    const QString name = QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_column_text(query, 0)));
    sqlite3_finalize(query);
    sqlite3_close(db);
    return name;
}

QString makeDemoCompany(const QString& tag, const QString& admin) {
    static QTemporaryDir root(qEnvironmentVariableIsSet("TV_BENCH_DIR")
                                  ? qEnvironmentVariable("TV_BENCH_DIR") + "/tvdemo-XXXXXX"
                                  : QDir::tempPath() + "/tvdemo-XXXXXX");
    const int scale = qEnvironmentVariableIsSet("TV_BENCH_SCALE")
                          ? qEnvironmentVariableIntValue("TV_BENCH_SCALE")
                          : 100;
    const QString folder = root.filePath(tag);
    // A window saves its layout when it closes: into the run's folder, not the user's.
    tv::setSettingsLocationForTests(root.filePath(QStringLiteral("Settings")));
    std::fprintf(stderr, "Making the demo company at scale %d in %s ...\n", scale,
                 qPrintable(folder));
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(admin, {QStringLiteral("create"), folder, QStringLiteral("--demo"),
                          QStringLiteral("--scale"), QString::number(scale)});
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "tolvarine-admin create failed\n");
        std::abort();
    }
    return folder;
}

}  // namespace tvbench
