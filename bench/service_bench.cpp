// Closing a service request and re-opening it among 100,000 open requests (with 100,000
// customers and their contracts): the row moved into COMPLETED REQUESTS with its contract
// charged, then moved back with the charge taken back, each move one transaction
// (CloseServiceRequest, ReopenServiceRequest). Beside it, raw SQLite does the same reads
// and writes through prepared statements in two transactions. The request's totals over
// its 10 labour and 5 material lines are measured the same way. The ratios are printed at
// the end of the run.
#include "list_bench_data.h"

#include "data/app_state.h"
#include "data/prompter.h"
#include "data/service_requests.h"


#include "ratio_report.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <cstdio>
#include <string>

namespace {

constexpr int kCustomers = 100000;
constexpr int kRequests = 100000;
constexpr int kRequest = 77777;  // the request moved to and fro
constexpr int kLabourLines = 10;
constexpr int kMaterialLines = 5;

using Raw = tvbench::RawSqlite;

// Answers the contract question with Yes, and every other question by default.
class ChargeContract : public tv::data::DefaultPrompter {
public:
    int messageBox(const QString&, const QString&, int) override { return tv::data::msgbox::kYes; }
};

QString dataFile() {
    static QString file;
    if (!file.isEmpty()) return file;
    const QString folder = tvbench::listDataFolder(kCustomers);
    file = tvbench::listDataFile(kCustomers);
    Raw raw(file);
    raw.run("BEGIN");
    raw.run("INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES ('O''Brien Holdings')");
    raw.run("INSERT INTO [SERVICE CONTRACTS] (CONTRACTID, [CUSTOMER NAME], REQUESTSTODATE, HOURSUSED) "
            "VALUES ('SC-1', 'O''Brien Holdings', 0, 0)");
    for (int n = 1; n <= kRequests; ++n)
        raw.run("INSERT INTO [CURRENT REQUESTS] (REQUESTNO, REQUESTED, STATUS, [CUSTOMER NAME], "
                "AGREEMENTNO, HOURSWORKED, SUMMARY) VALUES (?, '2026-12-01 10:00:00', 'Open', "
                "'O''Brien Holdings', 'SC-1', 7.5, 'Copier jams')",
                {n});
    for (int line = 1; line <= kLabourLines; ++line)
        raw.run("INSERT INTO [REQUEST ACTIVITIES] (REQUESTNO, ACTIVITYNO, [DATE/TIME], DURATION, "
                "CHARGERATE, COSTRATE) VALUES (?, ?, '2026-12-02 09:00:00', 0.75, 85, 40)",
                {kRequest, line});
    for (int line = 1; line <= kMaterialLines; ++line)
        raw.run("INSERT INTO [REQUEST MATERIALS] (REQUESTNO, [LINENO], QUANTITY, LINEVALUE) "
                "VALUES (?, ?, 2, 30)",
                {kRequest, line});
    raw.run("COMMIT");
    tvbench::openProgramState(folder);
    tv::data::state().CurrentUserId = QStringLiteral("admin");
    return file;
}

void Move_program(benchmark::State& state) {
    dataFile();
    ChargeContract answers;
    tv::data::Prompter* before = tv::data::setPrompter(&answers);
    const QString number = QString::number(kRequest);
    for (auto _ : state) {
        if (tv::data::CloseServiceRequest(number) != tv::data::RequestMove::Moved ||
            tv::data::ReopenServiceRequest(number) != tv::data::RequestMove::Moved) {
            state.SkipWithError("not moved");
            break;
        }
    }
    tv::data::setPrompter(before);
}

// The same moves: the row read, copied with its status, the contract changed, the row
// deleted, and the log entry added, each move one transaction.
void Move_sqlite(benchmark::State& state) {
    Raw raw(dataFile());
    // Each log entry at a second of its own (the customer's activities are keyed by moment).
    static long long entry = 0;
    const auto move = [&](const char* copy, const char* contract, const char* remove) {
        raw.run("SELECT AGREEMENTNO FROM [CURRENT REQUESTS] WHERE REQUESTNO = ?", {kRequest});
        raw.run("BEGIN IMMEDIATE");
        raw.run(copy, {kRequest});
        raw.run(contract);
        raw.run(remove, {kRequest});
        raw.run("INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME], [ACTIVITY TYPE], [DESCRIPTION]) "
                "VALUES ('O''Brien Holdings', datetime('2031-01-01', ? || ' seconds'), "
                "'Service Request', 'Service request moved')",
                {++entry});
        raw.run("COMMIT");
    };
    for (auto _ : state) {
        move("INSERT INTO [COMPLETED REQUESTS] SELECT * FROM [CURRENT REQUESTS] WHERE REQUESTNO = ?",
             "UPDATE [SERVICE CONTRACTS] SET REQUESTSTODATE = REQUESTSTODATE + 1, HOURSUSED = "
             "HOURSUSED + 7.5 WHERE CONTRACTID = 'SC-1'",
             "DELETE FROM [CURRENT REQUESTS] WHERE REQUESTNO = ?");
        move("INSERT INTO [CURRENT REQUESTS] SELECT * FROM [COMPLETED REQUESTS] WHERE REQUESTNO = ?",
             "UPDATE [SERVICE CONTRACTS] SET REQUESTSTODATE = REQUESTSTODATE - 1, HOURSUSED = "
             "HOURSUSED - 7.5 WHERE CONTRACTID = 'SC-1'",
             "DELETE FROM [COMPLETED REQUESTS] WHERE REQUESTNO = ?");
    }
}

void Totals_program(benchmark::State& state) {
    dataFile();
    const QString number = QString::number(kRequest);
    for (auto _ : state) benchmark::DoNotOptimize(tv::data::RequestLineTotals(number));
}

void Totals_sqlite(benchmark::State& state) {
    Raw raw(dataFile());
    for (auto _ : state) {
        benchmark::DoNotOptimize(raw.run("SELECT SUM(DURATION), SUM(DURATION * COSTRATE), "
                                          "SUM(DURATION * CHARGERATE) FROM [REQUEST ACTIVITIES] "
                                          "WHERE REQUESTNO = ?",
                                          {kRequest}));
        benchmark::DoNotOptimize(raw.run("SELECT SUM(LINEVALUE) FROM [REQUEST MATERIALS] WHERE "
                                         "REQUESTNO = ?",
                                         {kRequest}));
    }
}

BENCHMARK(Move_program)->Unit(benchmark::kMillisecond);
BENCHMARK(Move_sqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(Totals_program)->Unit(benchmark::kMicrosecond);
BENCHMARK(Totals_sqlite)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table = tvbench::besideRawSqlite("program", 3);
    char footnote[200];
    std::snprintf(footnote, sizeof footnote,
                  "(%d open requests; Move closes and re-opens one; Totals reads %d labour and %d "
                  "material lines)",
                  kRequests, kLabourLines, kMaterialLines);
    table.footnote = footnote;
    tvbench::runWithRatios(table);
    tv::data::state().reset();
    return 0;
}
