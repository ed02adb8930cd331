// Completing a scheduled activity on a company of 100,000 customers with 200,000 plans:
// the plan deleted, the activity added, the customer's and contact's next date moved to
// the following plan, in one transaction (CompleteScheduledActivity). Beside it, raw SQLite
// does the same writes and reads through prepared statements in one transaction. Between
// iterations, untimed, raw SQLite puts the next plan in place. The ratio is printed at the
// end of the run.
#include "list_bench_data.h"

#include "core/convert.h"
#include "data/app_state.h"
#include "data/business_rules.h"
#include "data/scheduling.h"
#include "ratio_report.h"


#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace {

const char* const kCustomer = "O'Brien Holdings";
constexpr int kCustomers = 100000;
constexpr int kPlansPerCustomer = 2;

using Raw = tvbench::RawSqlite;

// The company, and the plans of every customer; made once per run.
QString dataFile() {
    static QString file;
    if (!file.isEmpty()) return file;
    const QString folder = tvbench::listDataFolder(kCustomers);
    file = tvbench::listDataFile(kCustomers);
    Raw raw(file);
    raw.run("BEGIN");
    raw.run("INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES (?)", {kCustomer});
    raw.run("INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME]) VALUES (?, 'Ann')",
            {kCustomer});
    char when[32];
    char name[64];
    for (int i = 1; i <= kCustomers; ++i) {
        // The customers' names as the list benchmark's data set makes them.
        std::snprintf(name, sizeof name, "Customer %08u Ltd", static_cast<unsigned>(i) * 2654435761u);
        for (int p = 0; p < kPlansPerCustomer; ++p) {
            std::snprintf(when, sizeof when, "2027-%02d-%02d 09:%02d:00", 1 + (i + p) % 12,
                          1 + i % 28, p);
            raw.run("INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], SCHEDDATETIME, "
                    "[USER ID]) VALUES (?, ?, 'admin')",
                    {name, when});
        }
    }
    // The customer's own later plan, which the next date moves on to.
    raw.run("INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], SCHEDDATETIME, [CONTACT NAME]) "
            "VALUES (?, '2030-01-01 09:00:00', 'Ann')",
            {kCustomer});
    raw.run("COMMIT");
    tvbench::openProgramState(folder);
    tv::data::state().CurrentUserId = QStringLiteral("admin");
    return file;
}

// The plan completed next: a moment of its own in the year, one per iteration (the two
// benchmarks use different years, so their activities never share a key).
std::string planMoment(int year, int n) {
    char when[32];
    std::snprintf(when, sizeof when, "%d-%02d-%02d %02d:%02d:00", year, 1 + n / 40320 % 12,
                  1 + n / 1440 % 28, n / 60 % 24, n % 60);
    return when;
}

void putPlan(Raw& raw, const std::string& when) {
    raw.run("INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], SCHEDDATETIME, [CONTACT NAME], "
            "[USER ID]) VALUES (?, ?, 'Ann', 'admin')",
            {kCustomer, when});
}

void Complete_program(benchmark::State& state) {
    Raw raw(dataFile());
    // Google Benchmark calls the function several times: the moments go on across calls.
    static int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string when = planMoment(2029, ++n);
        putPlan(raw, when);
        const QStringList activity = {QString::fromUtf8(kCustomer), QString::fromStdString(when),
                                      QStringLiteral("Call"), QString(), QStringLiteral("admin"),
                                      QStringLiteral("Ann")};
        state.ResumeTiming();
        if (tv::data::CompleteScheduledActivity(QString::fromUtf8(kCustomer),
                                                tv::CDate(tv::Variant(activity[1])), activity,
                                                {}) != tv::data::Completion::Completed)
            state.SkipWithError("not completed");
    }
}

void Complete_sqlite(benchmark::State& state) {
    Raw raw(dataFile());
    static int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string when = planMoment(2028, ++n);
        putPlan(raw, when);
        state.ResumeTiming();
        raw.run("BEGIN IMMEDIATE");
        raw.run("DELETE FROM [SCHEDULED ACTIVITIES] WHERE [CUSTOMER NAME] = ? AND "
                "SCHEDDATETIME = ?",
                {kCustomer, when});
        raw.run("INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME], [ACTIVITY TYPE], "
                "[SALES REP ID], [CONTACT NAME]) VALUES (?, ?, 'Call', 'admin', 'Ann')",
                {kCustomer, when});
        const std::string next = raw.run(
            "SELECT SCHEDDATETIME FROM [SCHEDULED ACTIVITIES] WHERE [CUSTOMER NAME] = ? AND "
            "SCHEDDATETIME > '2026-12-06' ORDER BY SCHEDDATETIME LIMIT 1",
            {kCustomer});
        raw.run("UPDATE CUSTOMERS SET NEXTDATE = ? WHERE [CUSTOMER NAME] = ?",
                {next.substr(0, 10), kCustomer});
        const std::string contactNext = raw.run(
            "SELECT SCHEDDATETIME FROM [SCHEDULED ACTIVITIES] WHERE [CUSTOMER NAME] = ? AND "
            "[CONTACT NAME] = 'Ann' AND SCHEDDATETIME > '2026-12-06' ORDER BY SCHEDDATETIME "
            "LIMIT 1",
            {kCustomer});
        raw.run("UPDATE CONTACTS SET NEXTCONTACT = ? WHERE [CUSTOMER NAME] = ? AND "
                "[CONTACT NAME] = 'Ann'",
                {contactNext.substr(0, 10), kCustomer});
        raw.run("COMMIT");
    }
}

BENCHMARK(Complete_program)->Unit(benchmark::kMillisecond);
BENCHMARK(Complete_sqlite)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table = tvbench::besideRawSqlite("program", 3);
    table.footnote = QStringLiteral("(%1 customers, %2 plans each)")
                         .arg(kCustomers)
                         .arg(kPlansPerCustomer)
                         .toStdString();
    tvbench::runWithRatios(table);
    tv::data::state().reset();
    return 0;
}
