// The table-lookup window's refill, run on every key the user types: position on the
// first row at or after the typed text (a Seek ">=" on the "Name" index) and read up to
// 50 names, counting those that start with the text. Beside it raw SQLite does the same
// with "WHERE NAME >= ? ORDER BY NAME LIMIT 50" and the same prefix count, on tables of
// 100,000 and 1,000,000 rows; the ratio is printed at the end of the run.
#include "bench_data.h"

#include "engine/engine.h"
#include "forms/framework/lookup_codes.h"

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

// Prints each engine figure beside the raw one as a ratio of CPU times.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) times_[r.benchmark_name()] = r.GetAdjustedCPUTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-14s %9s %12s %12s %7s\n", "case", "rows", "engine cpu", "raw cpu",
                    "ratio");
        for (const auto& [name, engineTime] : times_) {
            const auto at = name.find("_engine/");
            if (at == std::string::npos) continue;
            const auto raw = times_.find(name.substr(0, at) + "_raw/" + name.substr(at + 8));
            if (raw == times_.end()) continue;
            std::printf("%-14s %9s %12.1f %12.1f %7.2f\n", name.substr(0, at).c_str(),
                        name.substr(at + 8).c_str(), engineTime, raw->second,
                        engineTime / raw->second);
        }
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
