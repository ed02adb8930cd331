// The ratio table of the benchmark programs.
#include "ratio_report.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace tvbench {

namespace {

// "Count_list/1000000/iterations:1" -> {"Count_list", "1000000"}: the arguments without
// the settings Google Benchmark adds to a name (iterations:1, real_time).
std::pair<std::string, std::string> splitName(const std::string& name) {
    std::string head;
    std::string args;
    std::stringstream parts(name);
    std::string part;
    for (bool first = true; std::getline(parts, part, '/'); first = false) {
        if (first) {
            head = part;
        } else if (part.find(':') == std::string::npos &&
                   (part.size() < 5 || part.compare(part.size() - 5, 5, "_time") != 0)) {
            args += (args.empty() ? "" : "/") + part;
        }
    }
    return {head, args};
}

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

RatioReporter::RatioReporter(RatioTable table) : table_(std::move(table)) {}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        // Failed runs and the mean/median lines of repetitions are not figures.
        if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
        const auto [head, args] = splitName(run.benchmark_name());
        if (!runs_.count(head)) order_.push_back(head);
        Figures& figures = runs_[head][args];
        figures.real = run.GetAdjustedRealTime();
        figures.cpu = run.GetAdjustedCPUTime();
        figures.unit = benchmark::GetTimeUnitString(run.time_unit);
        for (const auto& [counter, value] : run.counters) figures.counters[counter] = value.value;
    }
}

std::string RatioReporter::table() const {
    const bool hasTargets = !table_.targets.empty() || !table_.noTarget.empty();
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header = {table_.caseHeader};
    if (!table_.argsHeader.empty()) header.push_back(table_.argsHeader);
    header.insert(header.end(), {table_.ours, table_.theirs, "ratio"});
    if (hasTargets) header.push_back("target");
    if (!table_.otherRatioHeader.empty()) header.push_back(table_.otherRatioHeader);
    rows.push_back(header);

    for (const std::string& head : order_) {
        for (const Pairing& pair : table_.pairs) {
            if (!endsWith(head, pair.ours)) continue;
            const std::string base = head.substr(0, head.size() - pair.ours.size());
            const auto beside = table_.besideCase.find(base);
            const auto theirs =
                runs_.find((beside == table_.besideCase.end() ? base : beside->second) + pair.theirs);
            if (theirs == runs_.end()) continue;
            const auto counter = table_.counters.find(base);
            for (const auto& [args, mine] : runs_.at(head)) {
                const auto other = theirs->second.find(args);
                if (other == theirs->second.end()) continue;
                double a = table_.measure == Measure::Cpu ? mine.cpu : mine.real;
                double b = table_.measure == Measure::Cpu ? other->second.cpu : other->second.real;
                std::string unit = table_.units ? mine.unit : std::string();
                if (counter != table_.counters.end()) {
                    const auto x = mine.counters.find(counter->second.first);
                    const auto y = other->second.counters.find(counter->second.first);
                    if (x == mine.counters.end() || y == other->second.counters.end()) continue;
                    a = x->second;
                    b = y->second;
                    unit = counter->second.second;
                }
                std::vector<std::string> row = {base + pair.label};
                if (!table_.argsHeader.empty()) row.push_back(args);
                row.push_back(fixed(a, table_.decimals) + unit);
                row.push_back(fixed(b, table_.decimals) + unit);
                row.push_back(b > 0 ? fixed(a / b, table_.ratioDecimals) : "-");
                if (hasTargets) {
                    const auto target = table_.targets.find(base);
                    row.push_back(pair.targeted && target != table_.targets.end() ? target->second
                                                                                  : table_.noTarget);
                }
                if (!table_.otherRatioHeader.empty()) {
                    const double c = table_.measure == Measure::Cpu ? mine.real : mine.cpu;
                    const double d =
                        table_.measure == Measure::Cpu ? other->second.real : other->second.cpu;
                    row.push_back(d > 0 ? fixed(c / d, table_.ratioDecimals) : "-");
                }
                rows.push_back(row);
            }
        }
    }

    std::vector<size_t> widths(header.size(), 0);
    for (const auto& row : rows)
        for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    std::string out = "\n";
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            // The case's name to the left, every figure to the right.
            const std::string pad(widths[i] - row[i].size(), ' ');
            out += i == 0 ? row[i] + pad : "  " + pad + row[i];
        }
        out += '\n';
    }
    if (!table_.footnote.empty()) out += table_.footnote + '\n';
    return out;
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::fputs(table().c_str(), stdout);
    std::fflush(stdout);
}

RatioTable besideRawSqlite(const std::string& ours, int decimals) {
    RatioTable table;
    table.argsHeader.clear();
    table.ours = ours;
    table.theirs = "raw SQLite";
    table.pairs = {{"_" + ours, "_sqlite"}};
    table.units = true;
    table.decimals = decimals;
    table.ratioDecimals = 1;
    return table;
}

void runWithRatios(const RatioTable& table) {
    RatioReporter reporter(table);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

}  // namespace tvbench
