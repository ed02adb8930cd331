// The engine on a PostgreSQL server beside raw libpq doing the same work (keyed read,
// Seek, a walk along a descending index), a 1,000,000-row list's first rows, last row and
// count on the server beside the same on a file, counter numbers per second taken by four
// processes on one counter row, and rows loaded in bulk through the engine beside raw
// libpq's COPY and beside one INSERT a row. Wall time throughout: on a server most of the
// work is the server's, which CPU time of this process leaves out. The server is
// TOLVARINE_TEST_SERVER's, or a throwaway one started with tools/pg_server.sh for the run.
#include "engine/bulk_insert.h"
#include "engine/engine.h"
#include "ratio_report.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <map>

using namespace tv::engine;

namespace {

QString gServer;        // connection string of the server
QString gFolder;        // folder of the file databases
constexpr int kKeyed = 100000;
constexpr int kList = 1000000;

// A site database of this run's own, a schema per case.
QString site(const QString& name) {
    return gServer + QStringLiteral(" dbname=tvbench_%1/%2.mdb")
                         .arg(QCoreApplication::applicationPid())
                         .arg(name);
}
QString file(const QString& name) { return gFolder + u'/' + name + QStringLiteral(".mdb"); }

// A table T of `rows` rows made through the engine, filled in one statement of the
// storage's own (the fill is not what is measured).
QString prepare(const QString& location, int rows, bool server) {
    Database db = Engine::instance().CreateDatabase(location);
    db.Execute("CREATE TABLE [T] ([ID] LONG NOT NULL, [NAME] TEXT(50), [CITY] TEXT(50), [N] LONG, "
               "CONSTRAINT PrimaryKey PRIMARY KEY ([ID]))");
    db.Execute("CREATE INDEX [NAME] ON [T] ([NAME])");
    db.Close();
    // Names spread over the rows out of key order, as customers' are.
    const QString source = server ? QStringLiteral("generate_series(1::bigint, %1) AS s(g)").arg(rows)
                                  : QStringLiteral("(WITH RECURSIVE s(g) AS (SELECT 1 UNION ALL "
                                                   "SELECT g + 1 FROM s WHERE g < %1) SELECT g FROM s)")
                                        .arg(rows);
    const QString fill = QStringLiteral("INSERT INTO \"T\" (\"ID\", \"NAME\", \"CITY\", \"N\") "
                                        "SELECT g, 'Name ' || (g * 7919 % ") +
                         QString::number(rows) +
                         QStringLiteral("), 'City ' || (g % 97), g % 1000 FROM ") + source;
    if (server) {
        const qsizetype slash = location.lastIndexOf(u'/');
        PGconn* conn = PQconnectdb(location.left(slash).toUtf8().constData());
        const QString schema = location.mid(slash + 1).chopped(4).toLower();
        PQclear(PQexec(conn, ("SET search_path = " + schema).toUtf8().constData()));
        PGresult* r = PQexec(conn, fill.toUtf8().constData());
        if (PQresultStatus(r) != PGRES_COMMAND_OK) std::fprintf(stderr, "%s", PQerrorMessage(conn));
        PQclear(r);
        // As autovacuum leaves a loaded table: visibility known, so index-only scans stay so
        // (right after the load one VACUUM leaves most pages unmarked; a second marks them).
        PQclear(PQexec(conn, "VACUUM ANALYZE \"T\""));
        PQclear(PQexec(conn, "VACUUM \"T\""));
        PQfinish(conn);
    } else {
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {location, fill});
        sqlite.waitForFinished(-1);
    }
    return location;
}

const QString& keyedSite() {
    static const QString location = [] {
        const QString made = prepare(site("keyed"), kKeyed, true);
        // A descending index on a NOT NULL column, walked by IndexWalk.
        Engine::instance().OpenDatabase(made).Execute("CREATE INDEX [Newest] ON [T] ([ID] DESC)");
        return made;
    }();
    return location;
}
const QString& listLocation(bool server) {
    static const QString onServer = prepare(site("list"), kList, true);
    static const QString onFile = prepare(file("list"), kList, false);
    return server ? onServer : onFile;
}

int keyAt(int n) { return (n * 7907) % kKeyed + 1; }

void KeyedRead_engine(benchmark::State& state) {
    Database db = Engine::instance().OpenDatabase(keyedSite());
    int n = 0;
    for (auto _ : state) {
        Recordset rs = db.OpenRecordset("T");
        rs.SetIndex("PrimaryKey");
        rs.Seek("=", tv::Variant(keyAt(n++)));
        benchmark::DoNotOptimize(rs[1]);
        rs.Close();
    }
}

void Seek_engine(benchmark::State& state) {
    Database db = Engine::instance().OpenDatabase(keyedSite());
    Recordset rs = db.OpenRecordset("T");
    rs.SetIndex("PrimaryKey");
    int n = 0;
    for (auto _ : state) {
        rs.Seek("=", tv::Variant(keyAt(n++)));
        benchmark::DoNotOptimize(rs[1]);
    }
}

// What the engine's Seek asks the server: the row by its key, every column.
void rawKeyed(benchmark::State& state) {
    const QString location = keyedSite();
    const qsizetype slash = location.lastIndexOf(u'/');
    PGconn* conn = PQconnectdb(location.left(slash).toUtf8().constData());
    PQclear(PQexec(conn, "SET search_path = keyed"));
    PQclear(PQprepare(conn, "k", "SELECT rowid, \"ID\", \"NAME\", \"CITY\", \"N\" FROM \"T\" WHERE \"ID\" = $1", 0, nullptr));
    int n = 0;
    for (auto _ : state) {
        const QByteArray key = QByteArray::number(keyAt(n++));
        const char* values[] = {key.constData()};
        PGresult* r = PQexecPrepared(conn, "k", 1, values, nullptr, nullptr, 0);
        benchmark::DoNotOptimize(QString::fromUtf8(PQgetvalue(r, 0, 2)));
        PQclear(r);
    }
    PQfinish(conn);
}
void KeyedRead_raw(benchmark::State& state) { rawKeyed(state); }
void Seek_raw(benchmark::State& state) { rawKeyed(state); }

// A table walked along a descending index from a Seek: the 100 rows at or past a key in
// index order (the key and smaller ones), each read whole.
constexpr int kWalk = 100;
void IndexWalk_engine(benchmark::State& state) {
    Database db = Engine::instance().OpenDatabase(keyedSite());
    Recordset rs = db.OpenRecordset("T");
    rs.SetIndex("Newest");
    int n = 0;
    for (auto _ : state) {
        rs.Seek(">=", tv::Variant(keyAt(n++)));
        for (int i = 0; i < kWalk && !rs.EOF_(); ++i, rs.MoveNext()) benchmark::DoNotOptimize(rs[1]);
    }
}

void IndexWalk_raw(benchmark::State& state) {
    const QString location = keyedSite();
    const qsizetype slash = location.lastIndexOf(u'/');
    PGconn* conn = PQconnectdb(location.left(slash).toUtf8().constData());
    PQclear(PQexec(conn, "SET search_path = keyed"));
    PQclear(PQprepare(conn, "w",
                      "SELECT rowid, \"ID\", \"NAME\", \"CITY\", \"N\" FROM \"T\" WHERE \"ID\" <= $1 "
                      "ORDER BY \"ID\" DESC NULLS LAST LIMIT 100",
                      0, nullptr));
    int n = 0;
    for (auto _ : state) {
        const QByteArray key = QByteArray::number(keyAt(n++));
        const char* values[] = {key.constData()};
        PGresult* r = PQexecPrepared(conn, "w", 1, values, nullptr, nullptr, 0);
        for (int row = 0; row < PQntuples(r); ++row)
            benchmark::DoNotOptimize(QString::fromUtf8(PQgetvalue(r, row, 2)));
        PQclear(r);
    }
    PQfinish(conn);
}

// A list of a million rows: its first screenful, its last row, its count.
void listCase(benchmark::State& state, bool server, int what) {
    Database db = Engine::instance().OpenDatabase(listLocation(server));
    for (auto _ : state) {
        Recordset rs = db.OpenRecordset("SELECT ID, NAME, CITY FROM T ORDER BY NAME", kKeysInChunks);
        if (what == 0) {
            for (int i = 0; i < 40 && !rs.EOF_(); ++i, rs.MoveNext()) benchmark::DoNotOptimize(rs[1]);
        } else if (what == 1) {
            rs.MoveLast();
            benchmark::DoNotOptimize(rs[1]);
        } else {
            benchmark::DoNotOptimize(rs.RecordCount());
        }
        rs.Close();
    }
}
void ListFirst_server(benchmark::State& s) { listCase(s, true, 0); }
void ListFirst_file(benchmark::State& s) { listCase(s, false, 0); }
void ListLast_server(benchmark::State& s) { listCase(s, true, 1); }
void ListLast_file(benchmark::State& s) { listCase(s, false, 1); }
void ListCount_server(benchmark::State& s) { listCase(s, true, 2); }
void ListCount_file(benchmark::State& s) { listCase(s, false, 2); }

// Counter numbers taken by four processes for two seconds each, on one counter row; the
// figure is numbers per second of them all.
double counterRate(const QString& location) {
    {
        Database db = Engine::instance().CreateDatabase(location);
        db.Execute("CREATE TABLE [Counters] ([TABLENAME] TEXT(50) NOT NULL, [LAST] LONG, "
                   "CONSTRAINT PrimaryKey PRIMARY KEY ([TABLENAME]))");
        db.Execute("INSERT INTO Counters VALUES ('Quotations', 0)");
    }
    int pipes[4][2];
    for (auto& p : pipes) {
        if (pipe(p) != 0) return 0;
        if (fork() == 0) {
            long taken = 0;
            Database db = Engine::instance().OpenDatabase(location);
            Recordset rs = db.OpenRecordset("Counters");
            rs.SetIndex("PrimaryKey");
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 2000) {
                try {
                    rs.Seek("=", tv::Variant(QStringLiteral("Quotations")));
                    rs.Edit();
                    rs.FieldAt(1).SetValue(rs[1].asLong() + 1);
                    rs.Update();
                    ++taken;
                } catch (const DbError&) {
                }
            }
            (void)!write(p[1], &taken, sizeof taken);
            _exit(0);
        }
    }
    long total = 0;
    for (auto& p : pipes) {
        long taken = 0;
        if (read(p[0], &taken, sizeof taken) == sizeof taken) total += taken;
        wait(nullptr);
    }
    return total / 2.0;
}

void Counters4_server(benchmark::State& state) {
    static int round = 0;
    for (auto _ : state) state.counters["numbers/s"] = counterRate(site(QStringLiteral("c%1").arg(++round)));
}
void Counters4_file(benchmark::State& state) {
    static int round = 0;
    for (auto _ : state) state.counters["numbers/s"] = counterRate(file(QStringLiteral("c%1").arg(++round)));
}

// Rows loaded into a new table in one transaction: the engine's bulk insert beside raw
// libpq doing the same with COPY, and beside one prepared INSERT a row.
constexpr int kLoad = 50000;

QString loadSite() {
    static int round = 0;
    const QString location = site(QStringLiteral("load%1").arg(++round));
    Database db = Engine::instance().CreateDatabase(location);
    db.Execute("CREATE TABLE [T] ([ID] LONG NOT NULL, [NAME] TEXT(50), [CITY] TEXT(50), [N] LONG, "
               "CONSTRAINT PrimaryKey PRIMARY KEY ([ID]))");
    return location;
}
QByteArray loadName(int i) { return "O'Name " + QByteArray::number(i * 7919 % kLoad); }
QByteArray loadCity(int i) { return "City " + QByteArray::number(i % 97); }

void BulkLoad_engine(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Database db = Engine::instance().OpenDatabase(loadSite());
        state.ResumeTiming();
        db.BeginTrans();
        BulkInsert rows(db, "T", {"ID", "NAME", "CITY", "N"});
        for (int i = 1; i <= kLoad; ++i)
            rows.add({i, QString::fromUtf8(loadName(i)), QString::fromUtf8(loadCity(i)), i % 1000});
        rows.flush();
        db.CommitTrans();
    }
    state.counters["rows/s"] = benchmark::Counter(double(kLoad) * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

// Raw libpq on the same table: COPY, or one prepared INSERT a row, in one transaction.
void rawLoad(benchmark::State& state, bool copy) {
    for (auto _ : state) {
        state.PauseTiming();
        const QString location = loadSite();
        const qsizetype slash = location.lastIndexOf(u'/');
        PGconn* conn = PQconnectdb(location.left(slash).toUtf8().constData());
        PQclear(PQexec(conn, ("SET search_path = " + location.mid(slash + 1).chopped(4).toLower())
                                 .toUtf8()
                                 .constData()));
        state.ResumeTiming();
        PQclear(PQexec(conn, "BEGIN"));
        if (copy) {
            PQclear(PQexec(conn, "COPY \"T\" (\"ID\", \"NAME\", \"CITY\", \"N\") FROM STDIN"));
            QByteArray lines;
            for (int i = 1; i <= kLoad; ++i) {
                lines += QByteArray::number(i) + '\t' + loadName(i) + '\t' + loadCity(i) + '\t' +
                         QByteArray::number(i % 1000) + '\n';
                if (lines.size() > (1 << 16) || i == kLoad) {
                    PQputCopyData(conn, lines.constData(), int(lines.size()));
                    lines.clear();
                }
            }
            PQputCopyEnd(conn, nullptr);
            PQclear(PQgetResult(conn));
        } else {
            PQclear(PQprepare(conn, "i",
                              "INSERT INTO \"T\" (\"ID\", \"NAME\", \"CITY\", \"N\") VALUES "
                              "($1, $2, $3, $4)",
                              0, nullptr));
            for (int i = 1; i <= kLoad; ++i) {
                const QByteArray id = QByteArray::number(i), name = loadName(i),
                                 city = loadCity(i), n = QByteArray::number(i % 1000);
                const char* values[] = {id.constData(), name.constData(), city.constData(),
                                        n.constData()};
                PQclear(PQexecPrepared(conn, "i", 4, values, nullptr, nullptr, 0));
            }
        }
        PQclear(PQexec(conn, "COMMIT"));
        PQfinish(conn);
    }
    state.counters["rows/s"] = benchmark::Counter(double(kLoad) * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
void BulkLoad_raw(benchmark::State& state) { rawLoad(state, true); }
void BulkLoad_inserts(benchmark::State& state) { rawLoad(state, false); }

BENCHMARK(KeyedRead_engine)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(KeyedRead_raw)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Seek_engine)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Seek_raw)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(IndexWalk_engine)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(IndexWalk_raw)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(ListFirst_server)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ListFirst_file)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ListLast_server)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ListLast_file)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ListCount_server)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ListCount_file)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Counters4_server)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Counters4_file)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BulkLoad_engine)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BulkLoad_raw)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BulkLoad_inserts)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir scratch(qEnvironmentVariable("TV_BENCH_DIR", QDir::tempPath()) + "/tvserver-XXXXXX");
    gFolder = scratch.path();
    gServer = qEnvironmentVariable("TOLVARINE_TEST_SERVER");
    const QString script = QStringLiteral(TOLVARINE_SOURCE_DIR "/tools/pg_server.sh");
    const QString serverDir = scratch.path() + QStringLiteral("/server");
    bool started = false;
    if (gServer.isEmpty()) {
        QProcess start;
        start.start(script, {"start", serverDir});
        start.waitForFinished(-1);
        gServer = QString::fromUtf8(start.readAllStandardOutput()).trimmed();
        started = start.exitCode() == 0 && !gServer.isEmpty();
        if (!started) {
            std::fprintf(stderr, "No PostgreSQL server could be started.\n");
            return 1;
        }
    }
    tvbench::RatioTable table;
    table.argsHeader.clear();
    table.ours = "figure";
    table.theirs = "beside";
    table.pairs = {{"_engine", "_raw", " (engine beside raw)"},
                   {"_server", "_file", " (server beside file)"},
                   {"_engine", "_inserts", " (engine beside an INSERT a row)"}};
    table.footnote = "(wall time per iteration in each benchmark's unit; Counters4: see numbers/s)";
    tvbench::runWithRatios(table);
    // The run's site database goes with it (a server of the user's own keeps no leftovers).
    PGconn* admin = PQconnectdb(gServer.toUtf8().constData());
    PQclear(PQexec(admin, QStringLiteral("DROP DATABASE IF EXISTS tvbench_%1 WITH (FORCE)")
                              .arg(QCoreApplication::applicationPid())
                              .toUtf8()
                              .constData()));
    PQfinish(admin);
    if (started) QProcess::execute(script, {"stop", serverDir});
    return 0;
}
