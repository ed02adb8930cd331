// The engine beside raw SQLite doing the same work, on tables of 100,000 and 1,000,000
// rows: the access layer's keyed read (open, Seek, read every field's text, close), a
// Seek on an open record set, adding 10,000 rows (in a transaction and without), a
// sorted dynaset taken to its last row with an exact count, the same dynaset opened on
// its first keys and read in chunks, a walk along a descending index from a Seek, and a
// full scan. Each
// engine figure is printed beside its raw counterpart as a ratio at the end of the run.
//
// TV_BENCH_DIR chooses where the files live; bench.sh puts them in memory (/dev/shm)
// so that the figures show the engine's own cost rather than the disk's flush time.
#include "bench_data.h"

#include "core/calendar.h"
#include "core/convert.h"
#include "core/format.h"
#include "engine/engine.h"
#include "ratio_report.h"

#include <sqlite3.h>

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <cstdio>
#include <map>
#include <vector>

using namespace tv::engine;

namespace {

// Raw SQLite with the same connection flags the engine uses.
class RawDb {
public:
    explicit RawDb(const QString& path) {
        sqlite3_open_v2(path.toUtf8().constData(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    }
    ~RawDb() {
        for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
        sqlite3_close(db_);
    }
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt*& stmt = statements_[sql];
        if (!stmt) sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
        return stmt;
    }
    void exec(const char* sql) { sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
    std::map<std::string, sqlite3_stmt*> statements_;
};

// The program's value of a CUSTOMERS column read with the C API, written as carefully as
// a hand-written reader would be (the date read straight from its ISO bytes): the same
// values the engine hands out, so that the same texts come of them.
tv::Variant rawValue(sqlite3_stmt* stmt, int col) {
    if (sqlite3_column_type(stmt, col) == SQLITE_NULL) return tv::Variant();
    const auto text = [&] {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, col)),
                                 sqlite3_column_bytes(stmt, col));
    };
    switch (col) {
        case 0:
            return tv::Variant(static_cast<std::int32_t>(sqlite3_column_int(stmt, col)));
        case 3:
            return tv::Variant(tv::Currency::fromDouble(sqlite3_column_double(stmt, col)));
        case 4: {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
            const auto num = [&](int at, int width) {
                int v = 0;
                for (int i = at; i < at + width; ++i) v = v * 10 + (t[i] - '0');
                return v;
            };
            const double day = static_cast<double>(
                tv::calendar::dayNumberFromCivil(num(0, 4), num(5, 2), num(8, 2)));
            return tv::Variant(tv::DateTime{
                tv::calendar::serialOf(static_cast<std::int64_t>(day),
                                       num(11, 2) * 3600.0 + num(14, 2) * 60.0 + num(17, 2))});
        }
        case 5:
            return tv::Variant(sqlite3_column_int(stmt, col) != 0);
        default:
            return tv::Variant(text());
    }
}

// Every field of the current row as the program reads it: its text with no pattern.
qsizetype rawTexts(sqlite3_stmt* stmt) {
    qsizetype size = 0;
    for (int i = 0; i < tvbench::kColumns; ++i) size += tv::TextOf(rawValue(stmt, i)).size();
    return size;
}

qsizetype engineTexts(const Recordset& rs) {
    qsizetype size = 0;
    for (int i = 0; i < tvbench::kColumns; ++i) size += tv::TextOf(rs[i]).size();
    return size;
}

// Every field's value, without writing it as text.
qsizetype rawValues(sqlite3_stmt* stmt) {
    qsizetype n = 0;
    for (int i = 0; i < tvbench::kColumns; ++i)
        n += static_cast<qsizetype>(rawValue(stmt, i).type());
    return n;
}

qsizetype engineValues(const Recordset& rs) {
    qsizetype n = 0;
    for (int i = 0; i < tvbench::kColumns; ++i) n += static_cast<qsizetype>(rs[i].type());
    return n;
}

int rowsOf(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

// (1) The keyed-read path of the access layer.
void KeyedRead_engine(benchmark::State& state) {
    const int rows = rowsOf(state);
    Database db = Engine::instance().OpenDatabase(tvbench::customersDatabase(rows));
    int n = 0;
    for (auto _ : state) {
        Recordset rs = db.OpenRecordset("CUSTOMERS");
        rs.SetIndex("PrimaryKey");
        rs.Seek("=", tvbench::keyAt(n++, rows));
        benchmark::DoNotOptimize(engineTexts(rs));
        rs.Close();
    }
}

void KeyedRead_raw(benchmark::State& state) {
    const int rows = rowsOf(state);
    RawDb db(tvbench::customersDatabase(rows));
    sqlite3_stmt* stmt = db.prepare("SELECT * FROM CUSTOMERS WHERE ID = ?");
    int n = 0;
    for (auto _ : state) {
        sqlite3_bind_int(stmt, 1, tvbench::keyAt(n++, rows));
        if (sqlite3_step(stmt) == SQLITE_ROW) benchmark::DoNotOptimize(rawTexts(stmt));
        sqlite3_reset(stmt);
    }
}

// (2) Seek on a record set that is already open: the row becomes current with its values.
void Seek_engine(benchmark::State& state) {
    const int rows = rowsOf(state);
    Database db = Engine::instance().OpenDatabase(tvbench::customersDatabase(rows));
    Recordset rs = db.OpenRecordset("CUSTOMERS");
    rs.SetIndex("PrimaryKey");
    int n = 0;
    for (auto _ : state) {
        rs.Seek("=", tvbench::keyAt(n++, rows));
        benchmark::DoNotOptimize(rs.NoMatch());
    }
}

void Seek_raw(benchmark::State& state) {
    const int rows = rowsOf(state);
    RawDb db(tvbench::customersDatabase(rows));
    sqlite3_stmt* stmt = db.prepare("SELECT * FROM CUSTOMERS WHERE ID = ?");
    int n = 0;
    for (auto _ : state) {
        sqlite3_bind_int(stmt, 1, tvbench::keyAt(n++, rows));
        if (sqlite3_step(stmt) == SQLITE_ROW) benchmark::DoNotOptimize(rawValues(stmt));
        sqlite3_reset(stmt);
    }
}

// (3) Adding rows, in one transaction and one commit per row.
int addCount(bool transaction) {
    if (transaction) return 10000;
    return qEnvironmentVariableIsSet("TV_BENCH_AUTOCOMMIT_ROWS")
               ? qEnvironmentVariableIntValue("TV_BENCH_AUTOCOMMIT_ROWS")
               : 10000;
}

void addEngine(benchmark::State& state, bool transaction) {
    Database db = Engine::instance().OpenDatabase(tvbench::customersDatabase(rowsOf(state)));
    const int count = addCount(transaction);
    for (auto _ : state) {
        state.PauseTiming();
        db.Execute("DELETE * FROM ADDED");
        state.ResumeTiming();
        Recordset rs = db.OpenRecordset("ADDED");
        if (transaction) db.BeginTrans();
        for (int i = 1; i <= count; ++i) {
            rs.AddNew();
            rs.FieldAt(0).SetValue(i);
            rs.FieldAt(1).SetValue(QStringLiteral("Added %1").arg(i));
            rs.FieldAt(2).SetValue("Leeds");
            rs.FieldAt(3).SetValue(tv::Currency{i * 100});
            rs.FieldAt(4).SetValue(tv::DateTime{46000.5 + i});
            rs.FieldAt(5).SetValue(i % 2 == 0);
            rs.FieldAt(6).SetValue("Added by the benchmark");
            rs.Update();
        }
        if (transaction) db.CommitTrans();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void addRaw(benchmark::State& state, bool transaction) {
    RawDb db(tvbench::customersDatabase(rowsOf(state)));
    const int count = addCount(transaction);
    sqlite3_stmt* insert = db.prepare("INSERT INTO ADDED VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (auto _ : state) {
        state.PauseTiming();
        db.exec("DELETE FROM ADDED");
        state.ResumeTiming();
        if (transaction) db.exec("BEGIN IMMEDIATE");
        for (int i = 1; i <= count; ++i) {
            const QByteArray name = QStringLiteral("Added %1").arg(i).toUtf8();
            const QByteArray joined = tv::toIsoText(tv::DateTime{46000.5 + i}).toUtf8();
            sqlite3_bind_int(insert, 1, i);
            sqlite3_bind_text(insert, 2, name.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, "Leeds", -1, SQLITE_STATIC);
            sqlite3_bind_double(insert, 4, i / 100.0);
            sqlite3_bind_text(insert, 5, joined.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 6, i % 2 == 0 ? -1 : 0);
            sqlite3_bind_text(insert, 7, "Added by the benchmark", -1, SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        if (transaction) db.exec("COMMIT");
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void AddInTransaction_engine(benchmark::State& state) { addEngine(state, true); }
void AddInTransaction_raw(benchmark::State& state) { addRaw(state, true); }
void AddEachCommitted_engine(benchmark::State& state) { addEngine(state, false); }
void AddEachCommitted_raw(benchmark::State& state) { addRaw(state, false); }

// (4) A sorted dynaset to its last row with an exact count.
void DynasetLast_engine(benchmark::State& state) {
    Database db = Engine::instance().OpenDatabase(tvbench::customersDatabase(rowsOf(state)));
    for (auto _ : state) {
        Recordset rs = db.OpenRecordset("SELECT * FROM [CUSTOMERS] ORDER BY [NAME]");
        rs.MoveLast();
        benchmark::DoNotOptimize(rs.RecordCount());
        benchmark::DoNotOptimize(engineTexts(rs));
    }
}

// The same work by hand: the row keys in sorted order (a position for every row, and the
// count), then the last row read by its key.
void DynasetLast_raw(benchmark::State& state) {
    RawDb db(tvbench::customersDatabase(rowsOf(state)));
    sqlite3_stmt* keys = db.prepare("SELECT rowid FROM CUSTOMERS ORDER BY NAME");
    sqlite3_stmt* row = db.prepare("SELECT * FROM CUSTOMERS WHERE rowid = ?");
    for (auto _ : state) {
        std::vector<sqlite3_int64> ids;
        while (sqlite3_step(keys) == SQLITE_ROW) ids.push_back(sqlite3_column_int64(keys, 0));
        sqlite3_reset(keys);
        benchmark::DoNotOptimize(ids.size());
        sqlite3_bind_int64(row, 1, ids.back());
        if (sqlite3_step(row) == SQLITE_ROW) benchmark::DoNotOptimize(rawTexts(row));
        sqlite3_reset(row);
    }
}

// For reference: only the count and the last row, with no positions kept (what a
// program that never scrolls could do instead).
void DynasetLast_rawcount(benchmark::State& state) {
    RawDb db(tvbench::customersDatabase(rowsOf(state)));
    sqlite3_stmt* count = db.prepare("SELECT count(*) FROM CUSTOMERS");
    sqlite3_stmt* last = db.prepare("SELECT * FROM CUSTOMERS ORDER BY NAME DESC LIMIT 1");
    for (auto _ : state) {
        sqlite3_step(count);
        benchmark::DoNotOptimize(sqlite3_column_int64(count, 0));
        sqlite3_reset(count);
        if (sqlite3_step(last) == SQLITE_ROW) benchmark::DoNotOptimize(rawTexts(last));
        sqlite3_reset(last);
    }
}

// (4b) The same dynaset read in chunks, as a list fills (kKeysInChunks): the first
// screenful of keys when it opens, then every key a chunk at a time and the count.
void DynasetFirst_engine(benchmark::State& state) {
    Database db = Engine::instance().OpenDatabase(tvbench::customersDatabase(rowsOf(state)));
    for (auto _ : state) {
        Recordset rs = db.OpenRecordset("SELECT * FROM [CUSTOMERS] ORDER BY [NAME]", kKeysInChunks);
        benchmark::DoNotOptimize(rs.KeysRead());
    }
}

void DynasetFirst_raw(benchmark::State& state) {
    RawDb db(tvbench::customersDatabase(rowsOf(state)));
    sqlite3_stmt* first = db.prepare("SELECT rowid FROM CUSTOMERS ORDER BY NAME, rowid LIMIT 256");
    for (auto _ : state) {
        std::vector<sqlite3_int64> ids;
        while (sqlite3_step(first) == SQLITE_ROW) ids.push_back(sqlite3_column_int64(first, 0));
        sqlite3_reset(first);
        benchmark::DoNotOptimize(ids.size());
    }
}

void DynasetChunks_engine(benchmark::State& state) {
    Database db = Engine::instance().OpenDatabase(tvbench::customersDatabase(rowsOf(state)));
    for (auto _ : state) {
        Recordset rs = db.OpenRecordset("SELECT * FROM [CUSTOMERS] ORDER BY [NAME]", kKeysInChunks);
        while (!rs.FetchKeys(65536)) {
        }
        benchmark::DoNotOptimize(rs.RecordCount());
    }
}

// By hand: chunks of keys after the last (name, rowid) read, each in its own read
// transaction; the names are not null here, which spares the Null ranges the engine asks.
void DynasetChunks_raw(benchmark::State& state) {
    RawDb db(tvbench::customersDatabase(rowsOf(state)));
    sqlite3_stmt* first = db.prepare("SELECT rowid FROM CUSTOMERS ORDER BY NAME, rowid LIMIT ?");
    sqlite3_stmt* same = db.prepare(
        "SELECT rowid FROM CUSTOMERS WHERE NAME = ? AND rowid > ? ORDER BY NAME, rowid LIMIT ?");
    sqlite3_stmt* after =
        db.prepare("SELECT rowid FROM CUSTOMERS WHERE NAME > ? ORDER BY NAME, rowid LIMIT ?");
    sqlite3_stmt* name = db.prepare("SELECT NAME FROM CUSTOMERS WHERE rowid = ?");
    for (auto _ : state) {
        std::vector<sqlite3_int64> ids;
        sqlite3_value* bound = nullptr;
        auto run = [&](sqlite3_stmt* stmt, int limit) {
            sqlite3_bind_int(stmt, sqlite3_bind_parameter_count(stmt), limit);
            int rows = 0;
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                ids.push_back(sqlite3_column_int64(stmt, 0));
                ++rows;
            }
            sqlite3_reset(stmt);
            if (rows == limit) {
                sqlite3_bind_int64(name, 1, ids.back());
                sqlite3_step(name);
                sqlite3_value_free(bound);
                bound = sqlite3_value_dup(sqlite3_column_value(name, 0));
                sqlite3_reset(name);
            }
            return rows;
        };
        db.exec("BEGIN");
        bool done = run(first, 256) < 256;
        db.exec("COMMIT");
        while (!done) {
            db.exec("BEGIN");
            sqlite3_bind_value(same, 1, bound);
            sqlite3_bind_int64(same, 2, ids.back());
            sqlite3_bind_value(after, 1, bound);
            const int got = run(same, 65536);
            done = got < 65536 && run(after, 65536 - got) < 65536 - got;
            db.exec("COMMIT");
        }
        sqlite3_value_free(bound);
        benchmark::DoNotOptimize(ids.size());
    }
}

// (5) A full scan in key order reading every field.
void Scan_engine(benchmark::State& state) {
    Database db = Engine::instance().OpenDatabase(tvbench::customersDatabase(rowsOf(state)));
    for (auto _ : state) {
        Recordset rs = db.OpenRecordset("CUSTOMERS");
        rs.SetIndex("PrimaryKey");
        qsizetype size = 0;
        for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) size += engineTexts(rs);
        benchmark::DoNotOptimize(size);
    }
    state.SetItemsProcessed(state.iterations() * rowsOf(state));
}

// The same scans reading values only, to show the engine's own share without the
// writing of texts that both sides do alike.
void ScanValues_engine(benchmark::State& state) {
    Database db = Engine::instance().OpenDatabase(tvbench::customersDatabase(rowsOf(state)));
    for (auto _ : state) {
        Recordset rs = db.OpenRecordset("CUSTOMERS");
        rs.SetIndex("PrimaryKey");
        qsizetype n = 0;
        for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) n += engineValues(rs);
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * rowsOf(state));
}

void ScanValues_raw(benchmark::State& state) {
    RawDb db(tvbench::customersDatabase(rowsOf(state)));
    sqlite3_stmt* stmt = db.prepare("SELECT * FROM CUSTOMERS ORDER BY ID");
    for (auto _ : state) {
        qsizetype n = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) n += rawValues(stmt);
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * rowsOf(state));
}

void Scan_raw(benchmark::State& state) {
    RawDb db(tvbench::customersDatabase(rowsOf(state)));
    sqlite3_stmt* stmt = db.prepare("SELECT * FROM CUSTOMERS ORDER BY ID");
    for (auto _ : state) {
        qsizetype size = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) size += rawTexts(stmt);
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(size);
    }
    state.SetItemsProcessed(state.iterations() * rowsOf(state));
}

// (6) A walk along a descending index from a Seek: the 100 rows at or past a key in
// index order (that key and the smaller ones), every field read.
constexpr int kWalk = 100;

QString withNewestIndex(int rows) {
    static std::map<int, bool> made;
    const QString path = tvbench::customersDatabase(rows);
    if (!made[rows])
        Engine::instance().OpenDatabase(path).Execute(
            "CREATE INDEX [Newest] ON [CUSTOMERS] ([ID] DESC)");
    made[rows] = true;
    return path;
}

void IndexWalk_engine(benchmark::State& state) {
    Database db = Engine::instance().OpenDatabase(withNewestIndex(rowsOf(state)));
    Recordset rs = db.OpenRecordset("CUSTOMERS");
    rs.SetIndex("Newest");
    int i = 0;
    for (auto _ : state) {
        rs.Seek(">=", tvbench::keyAt(i++, rowsOf(state)));
        qsizetype size = 0;
        for (int n = 0; n < kWalk && !rs.EOF_(); ++n, rs.MoveNext()) size += engineTexts(rs);
        benchmark::DoNotOptimize(size);
    }
}

void IndexWalk_raw(benchmark::State& state) {
    RawDb db(withNewestIndex(rowsOf(state)));
    sqlite3_stmt* stmt =
        db.prepare("SELECT * FROM CUSTOMERS WHERE ID <= ? ORDER BY ID DESC LIMIT 100");
    int i = 0;
    for (auto _ : state) {
        sqlite3_bind_int(stmt, 1, tvbench::keyAt(i++, rowsOf(state)));
        qsizetype size = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) size += rawTexts(stmt);
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(size);
    }
}

#define TV_SIZES ->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond)
BENCHMARK(KeyedRead_engine) TV_SIZES;
BENCHMARK(KeyedRead_raw) TV_SIZES;
BENCHMARK(Seek_engine) TV_SIZES;
BENCHMARK(Seek_raw) TV_SIZES;
BENCHMARK(AddInTransaction_engine)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(AddInTransaction_raw)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(AddEachCommitted_engine)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(AddEachCommitted_raw)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(DynasetLast_engine) TV_SIZES;
BENCHMARK(DynasetLast_raw) TV_SIZES;
BENCHMARK(DynasetLast_rawcount) TV_SIZES;
BENCHMARK(DynasetFirst_engine) TV_SIZES;
BENCHMARK(DynasetFirst_raw) TV_SIZES;
BENCHMARK(DynasetChunks_engine) TV_SIZES;
BENCHMARK(DynasetChunks_raw) TV_SIZES;
BENCHMARK(IndexWalk_engine) TV_SIZES;
BENCHMARK(IndexWalk_raw) TV_SIZES;
BENCHMARK(Scan_engine)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(Scan_raw)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ScanValues_engine)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ScanValues_raw)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table;
    table.ours = "engine cpu";
    table.theirs = "raw cpu";
    table.pairs = {{"_engine", "_raw"}, {"_engine", "_rawcount", " (count)", false}};
    // CPU time: steadier than wall time on a machine other work shares.
    table.measure = tvbench::Measure::Cpu;
    table.targets = {{"KeyedRead", "1.5"},   {"Seek", "1.5"},         {"Scan", "1.5"},
                     {"ScanValues", "1.5"},  {"DynasetLast", "2.0"},  {"DynasetFirst", "3.0"},
                     {"DynasetChunks", "1.5"}};
    table.noTarget = "-";
    table.otherRatioHeader = "wall ratio";
    table.footnote = "(times per iteration in the unit each benchmark reports)";
    tvbench::runWithRatios(table);
    return 0;
}
