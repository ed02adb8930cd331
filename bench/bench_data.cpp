// Building the benchmark data sets.
#include "bench_data.h"

#include "engine/engine.h"

#include <sqlite3.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <memory>

namespace tvbench {

namespace {

QTemporaryDir& folder() {
    // TV_BENCH_DIR chooses the disk the files live on (the default is the system's temp).
    static QTemporaryDir dir(qEnvironmentVariableIsSet("TV_BENCH_DIR")
                                 ? qEnvironmentVariable("TV_BENCH_DIR") + "/tvbench-XXXXXX"
                                 : QDir::tempPath() + "/tvbench-XXXXXX");
    return dir;
}

void check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

QString build(int rows) {
    const QString path = folder().filePath(QStringLiteral("Customers%1.mdb").arg(rows));
    {
        tv::engine::Database db = tv::engine::Engine::instance().CreateDatabase(path);
        db.Execute(
            "CREATE TABLE [CUSTOMERS] ([ID] LONG NOT NULL, [NAME] TEXT(50), [CITY] TEXT(30), "
            "[BALANCE] CURRENCY, [JOINED] DATETIME, [ACTIVE] BIT, [NOTES] MEMO, "
            "CONSTRAINT PrimaryKey PRIMARY KEY ([ID]))");
        db.Execute("CREATE INDEX [Name] ON [CUSTOMERS] ([NAME])");
        db.Execute(
            "CREATE TABLE [ADDED] ([ID] LONG NOT NULL, [NAME] TEXT(50), [CITY] TEXT(30), "
            "[BALANCE] CURRENCY, [JOINED] DATETIME, [ACTIVE] BIT, [NOTES] MEMO, "
            "CONSTRAINT PrimaryKey PRIMARY KEY ([ID]))");
    }
    sqlite3* db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO CUSTOMERS VALUES (?, ?, ?, ?, ?, ?, ?)", -1, &insert,
                             nullptr),
          db);
    char text[96];
    for (int i = 1; i <= rows; ++i) {
        sqlite3_bind_int(insert, 1, i);
        std::snprintf(text, sizeof text, "Customer %08u", static_cast<unsigned>(i) * 2654435761u);
        sqlite3_bind_text(insert, 2, text, -1, SQLITE_TRANSIENT);
        std::snprintf(text, sizeof text, "City %d", i % 997);
        sqlite3_bind_text(insert, 3, text, -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(insert, 4, (i % 100000) / 100.0);
        std::snprintf(text, sizeof text, "20%02d-%02d-%02d %02d:%02d:00", 10 + i % 16, 1 + i % 12,
                      1 + i % 28, i % 24, i % 60);
        sqlite3_bind_text(insert, 5, text, -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 6, i % 3 ? -1 : 0);
        std::snprintf(text, sizeof text, "Called on %d about order %d", i % 31, i * 7);
        sqlite3_bind_text(insert, 7, text, -1, SQLITE_TRANSIENT);
        check(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
    return path;
}

}  // namespace

QString customersDatabase(int rows) {
    static std::map<int, QString> built;
    auto it = built.find(rows);
    if (it == built.end()) it = built.emplace(rows, build(rows)).first;
    return it->second;
}

int keyAt(int i, int rows) {
    return static_cast<int>((static_cast<unsigned>(i) * 2246822519u) %
                            static_cast<unsigned>(rows)) +
           1;
}

}  // namespace tvbench
