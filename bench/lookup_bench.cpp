// The table-lookup window's refill, run on every key the user types: position on the
// first row at or after the typed text (a Seek ">=" on the "Name" index) and read up to
// 50 names, counting those that start with the text. Beside it raw SQLite does the same
// with "WHERE NAME >= ? ORDER BY NAME LIMIT 50" and the same prefix count, on tables of
// 100,000 and 1,000,000 rows; the ratio is printed at the end of the run.
#include "bench_data.h"

#include "engine/engine.h"
#include "forms/framework/lookup_codes.h"
#include "ratio_report.h"

#include <sqlite3.h>

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QString>
#include <cstdio>
#include <map>
#include <string>

namespace {

// What a user types: "Customer " and the first digits of some customer's number.
QString typedText(int i, int rows) {
    const unsigned number = static_cast<unsigned>(tvbench::keyAt(i, rows)) * 2654435761u;
    return QStringLiteral("Customer %1").arg(number).left(13);
}

int rowsOf(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

void LookupRefill_engine(benchmark::State& state) {
    const int rows = rowsOf(state);
    tv::engine::Database db =
        tv::engine::Engine::instance().OpenDatabase(tvbench::customersDatabase(rows));
    tv::engine::Recordset rs = db.OpenRecordset(QStringLiteral("CUSTOMERS"));
    rs.SetIndex(QStringLiteral("Name"));
    int n = 0;
    for (auto _ : state) {
        const auto found = tv::forms::matchLookupRows(rs, 1, typedText(n++, rows));
        benchmark::DoNotOptimize(found);
    }
}

void LookupRefill_raw(benchmark::State& state) {
    const int rows = rowsOf(state);
    sqlite3* db = nullptr;
    sqlite3_open_v2(tvbench::customersDatabase(rows).toUtf8().constData(), &db,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v3(db, "SELECT NAME FROM CUSTOMERS WHERE NAME >= ? ORDER BY NAME LIMIT 50", -1,
                       SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    int n = 0;
    for (auto _ : state) {
        const QString text = typedText(n++, rows);
        const QByteArray utf8 = text.toUtf8();
        const QString wanted = text.toUpper();
        sqlite3_bind_text(stmt, 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_STATIC);
        QStringList names;
        int matches = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const QString name =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                                  sqlite3_column_bytes(stmt, 0));
            if (name.left(text.size()).toUpper() == wanted) ++matches;
            names.append(name);
        }
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(matches);
        benchmark::DoNotOptimize(names);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

BENCHMARK(LookupRefill_engine)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(LookupRefill_raw)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table;
    table.ours = "engine cpu";
    table.theirs = "raw cpu";
    table.pairs = {{"_engine", "_raw"}};
    table.measure = tvbench::Measure::Cpu;
    tvbench::runWithRatios(table);
    return 0;
}
