// The table every benchmark program prints at the end of its run: each of our figures
// beside the same work done the plain way (raw SQLite, raw libpq, Qt's own model, the
// bare file system), with their ratio and the target where there is one.
//
// A benchmark program names its cases in pairs, "<Case>_<ours>[/args]" beside
// "<Case>_<theirs>[/args]" (FirstRows_list/1000000 beside FirstRows_qtsql/1000000), and
// describes its table as data:
//
//     tvbench::RatioTable table;
//     table.ours = "engine cpu";
//     table.theirs = "raw cpu";
//     table.pairs = {{"_engine", "_raw"}};
//     table.measure = tvbench::Measure::Cpu;
//     table.targets = {{"Seek", "1.5"}};
//     ...
//     benchmark::Initialize(&argc, argv);
//     tvbench::runWithRatios(table);
//
// The console lines of Google Benchmark come first, as usual; the table follows.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace tvbench {

// Which of a run's times a figure is.
enum class Measure { Real, Cpu };

// Cases named "<Case><ours>" set beside "<Case><theirs>" with the same arguments.
struct Pairing {
    std::string ours;    // "_engine"
    std::string theirs;  // "_raw"
    // Added to the case's name in the table (" (count)"), to tell two pairings apart.
    std::string label = {};
    // Whether the case's target applies to this pairing.
    bool targeted = true;
};

struct RatioTable {
    std::string caseHeader = "case";
    // The arguments' column ("rows"); empty for programs whose cases take none.
    std::string argsHeader = "rows";
    std::string ours;    // column headers of the two figures
    std::string theirs;
    std::vector<Pairing> pairs;
    Measure measure = Measure::Real;
    // Figures printed with their unit (the run's time unit, or a counter's below).
    bool units = false;
    int decimals = 1;       // of the figures
    int ratioDecimals = 2;  // of the ratio
    // Cases whose figure is a user counter rather than a time: case -> {counter, unit}.
    std::map<std::string, std::pair<std::string, std::string>> counters = {};
    // A case measured beside another case's counterpart: "LastRowEarly" -> "LastRow".
    std::map<std::string, std::string> besideCase = {};
    // The target column (left out when no case has one and noTarget is empty).
    std::map<std::string, std::string> targets = {};
    std::string noTarget = {};
    // A last column with the ratio of the other time ("wall ratio", "CPU ratio").
    std::string otherRatioHeader = {};
    // Printed under the table.
    std::string footnote = {};
};

// The table of a program whose cases take no arguments, "<Case><ours>" beside
// "<Case>_sqlite", figures with their units: `ours` names the suffix and the column
// ("window" for "_window").
RatioTable besideRawSqlite(const std::string& ours, int decimals);

// Prints Google Benchmark's console lines as it goes and the table at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(RatioTable table);
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

    // The table as text (printed by Finalize).
    std::string table() const;

private:
    struct Figures {
        double real = 0;
        double cpu = 0;
        std::map<std::string, double> counters;
        std::string unit;
    };
    RatioTable table_;
    // Cases in the order they ran, "<name>" -> "<args>" -> figures.
    std::vector<std::string> order_;
    std::map<std::string, std::map<std::string, Figures>> runs_;
};

// Runs the benchmarks the command line chose (after benchmark::Initialize) with the
// table's reporter, then shuts Google Benchmark down.
void runWithRatios(const RatioTable& table);

}  // namespace tvbench
