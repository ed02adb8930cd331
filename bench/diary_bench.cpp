// The diary of a busy user: O'Brien has 50,000 scheduled activities over three years
// (2025 to 2027), three colleagues 50,000 each, and O'Brien 2,000 service labour lines, half
// of them completed. Measured: the month's marked days (Month) and one day's planner, to-do
// and overdue items (Day; the overdue list holds every earlier plan, some 32,000), through
// the data layer (_program) and through the Diary window turning to the month or selecting
// the day (_window); beside them raw SQLite runs the same queries through prepared
// statements and keeps the same values (_sqlite). The ratios are printed at the end.
//
// TV_BENCH_DEMO names a data folder to measure instead (a demo company made with
// tolvarine-admin create FOLDER --demo --scale 100), TV_BENCH_USER its user (sobrien).
#include "list_bench_data.h"

#include "core/convert.h"
#include "data/app_state.h"
#include "data/diary.h"
#include "forms/diary/diary_window.h"

#include <sqlite3.h>

#include "ratio_report.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QCalendarWidget>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using tvbench::check;

constexpr int kCustomers = 2000;
constexpr int kPlansPerUser = 50000;
constexpr int kLines = 2000;
constexpr int kDays = 1095;  // 2025-01-01 to 2027-12-30
const char* const kUser = "O'Brien";
const char* const kUsers[] = {"O'Brien", "ann", "bob", "cara"};

std::string dayText(int day) {
    const tv::DateTime d = tv::DateTime{tv::DateFromParts(2025, 1, 1).serial + day};
    return tv::toIsoText(d).left(10).toStdString();
}

std::string momentText(int day, int minute) {
    char t[16];
    std::snprintf(t, sizeof t, " %02d:%02d:00", minute / 60, minute % 60);
    return dayText(day) + t;
}

struct Statement {
    Statement(sqlite3* db, const char* sql) : db_(db) {
        check(sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr), db);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement& bind(int i, const std::string& text) {
        sqlite3_bind_text(stmt_, i, text.c_str(), -1, SQLITE_TRANSIENT);
        return *this;
    }
    bool step() {
        const int rc = sqlite3_step(stmt_);
        check(rc, db_);
        return rc == SQLITE_ROW;
    }
    Statement& null(int i) {
        sqlite3_bind_null(stmt_, i);
        return *this;
    }
    void reset() { sqlite3_reset(stmt_); }
    std::string text(int column) const {
        const auto* t = sqlite3_column_text(stmt_, column);
        return t ? reinterpret_cast<const char*>(t) : std::string();
    }
    double number(int column) const { return sqlite3_column_double(stmt_, column); }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// The user whose diary is read.
const std::string& user() {
    static const std::string name = qEnvironmentVariableIsSet("TV_BENCH_DEMO")
                                        ? qEnvironmentVariable("TV_BENCH_USER", QStringLiteral("sobrien")).toStdString()
                                        : std::string(kUser);
    return name;
}

// The company and every plan; made once per run.
QString dataFile() {
    static QString file;
    if (!file.isEmpty()) return file;
    if (qEnvironmentVariableIsSet("TV_BENCH_DEMO")) {
        const QString folder = qEnvironmentVariable("TV_BENCH_DEMO");
        file = folder + QStringLiteral("/Data.mdb");
        tvbench::openProgramState(folder);
        tv::data::state().CurrentUserId = QString::fromStdString(user());
        return file;
    }
    const QString folder = tvbench::listDataFolder(kCustomers);
    file = tvbench::listDataFile(kCustomers);
    sqlite3* db = nullptr;
    check(sqlite3_open(file.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    {
        Statement plan(db, "INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], SCHEDDATETIME, "
                           "[ACTIVITY TYPE], DESCRIPTION, [USER ID], DURATION) "
                           "VALUES (?, ?, 'Call', ?, ?, '30')");
        char customer[32];
        for (const char* user : kUsers) {
            for (int i = 0; i < kPlansPerUser; ++i) {
                std::snprintf(customer, sizeof customer, "%s %05d", user, i % kCustomers);
                // Each customer's plans fall on days of their own; times from 0:00 to 23:59.
                plan.bind(1, customer)
                    .bind(2, momentText(i % kDays, (i * 37) % (24 * 60)))
                    .bind(3, "Call about the service contract " + std::to_string(i))
                    .bind(4, user);
                plan.step();
                plan.reset();
            }
        }
        Statement request(db, "INSERT INTO [CURRENT REQUESTS] (REQUESTNO, [CUSTOMER NAME], SUMMARY) "
                              "VALUES (?, 'Customer', 'Copier jams')");
        Statement line(db, "INSERT INTO [REQUEST ACTIVITIES] (REQUESTNO, ACTIVITYNO, [DATE/TIME], "
                           "PERSONNEL, DURATION, SCHEDULED, COMPLETED) VALUES (?, 1, ?, ?, '1.5', ?, ?)");
        for (int i = 0; i < kLines; ++i) {
            const std::string n = std::to_string(1000 + i);
            if (i % 2 == 0) {
                request.bind(1, n);
                request.step();
                request.reset();
            }
            const std::string at = momentText((i * 7) % kDays, 9 * 60);
            line.bind(1, n).bind(2, at).bind(3, kUser).bind(4, dayText((i * 7) % kDays));
            if (i % 2 == 0) line.bind(5, at);
            else line.null(5);
            line.step();
            line.reset();
        }
    }
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
    tvbench::openProgramState(folder);
    tv::data::state().CurrentUserId = QString::fromUtf8(kUser);
    return file;
}

tv::data::DiaryScope scope() {
    tv::data::DiaryScope s;
    s.user = QString::fromStdString(user());
    return s;
}

// November and December 2026, by turns: months in the middle of the plans.
constexpr int kYear = 2026;

void Month_program(benchmark::State& state) {
    dataFile();
    int month = 0;
    for (auto _ : state) {
        const std::vector<int> days = tv::data::DiaryMarkedDays(scope(), kYear, 11 + month++ % 2);
        benchmark::DoNotOptimize(days.data());
    }
}

void Month_window(benchmark::State& state) {
    dataFile();
    tv::forms::DiaryWindow diary;
    auto* calendar = diary.findChild<QCalendarWidget*>(QStringLiteral("SSMonth1"));
    int month = 0;
    for (auto _ : state) calendar->setCurrentPage(kYear, 11 + month++ % 2);
}

void Month_sqlite(benchmark::State& state) {
    sqlite3* db = nullptr;
    check(sqlite3_open(dataFile().toUtf8().constData(), &db), db);
    {
        Statement plans(db, "SELECT SCHEDDATETIME FROM [SCHEDULED ACTIVITIES] WHERE [USER ID] = ? "
                            "AND SCHEDDATETIME >= ? AND SCHEDDATETIME < ?");
        Statement lines(db, "SELECT SCHEDULED FROM [REQUEST ACTIVITIES] WHERE PERSONNEL = ? AND "
                            "SCHEDULED >= ? AND SCHEDULED < ? AND COMPLETED IS NULL");
        int month = 0;
        char from[32], until[32];
        for (auto _ : state) {
            const int m = 11 + month++ % 2;
            std::snprintf(from, sizeof from, "%d-%02d-01 00:00:00", kYear, m);
            std::snprintf(until, sizeof until, "%d-%02d-01 00:00:00", m == 12 ? kYear + 1 : kYear,
                          m == 12 ? 1 : m + 1);
            std::set<int> days;
            for (Statement* s : {&plans, &lines}) {
                s->bind(1, user()).bind(2, from).bind(3, until);
                while (s->step()) days.insert(std::stoi(s->text(0).substr(8, 2)));
                s->reset();
            }
            benchmark::DoNotOptimize(days.size());
        }
    }
    sqlite3_close(db);
}

void Day_program(benchmark::State& state) {
    dataFile();
    int day = 0;
    for (auto _ : state) {
        const tv::data::DiaryDay items =
            tv::data::ReadDiaryDay(scope(), tv::DateFromParts(kYear, 12, 1 + day++ % 28));
        benchmark::DoNotOptimize(items.overdue.data());
    }
}

void Day_window(benchmark::State& state) {
    dataFile();
    tv::forms::DiaryWindow diary;
    auto* calendar = diary.findChild<QCalendarWidget*>(QStringLiteral("SSMonth1"));
    int day = 0;
    // As a click on a day of the shown month does.
    for (auto _ : state) calendar->setSelectedDate(QDate(kYear, 12, 1 + day++ % 28));
}

// What the raw side keeps of a row: the same values the program's items hold.
struct RawItem {
    std::string customer, moment, type, text, user, contact;
    double minutes = 0;
};

void Day_sqlite(benchmark::State& state) {
    sqlite3* db = nullptr;
    check(sqlite3_open(dataFile().toUtf8().constData(), &db), db);
    {
        Statement plans(db, "SELECT [CUSTOMER NAME], SCHEDDATETIME, [ACTIVITY TYPE], DESCRIPTION, "
                            "[USER ID], [CONTACT NAME], DURATION FROM [SCHEDULED ACTIVITIES] "
                            "WHERE [USER ID] = ? AND SCHEDDATETIME < ? ORDER BY SCHEDDATETIME");
        Statement lines(db, "SELECT REQUESTNO, ACTIVITYNO, SCHEDULED, DESCRIPTION, PERSONNEL, "
                            "DURATION FROM [REQUEST ACTIVITIES] WHERE PERSONNEL = ? AND "
                            "SCHEDULED < ? AND COMPLETED IS NULL ORDER BY SCHEDULED");
        int day = 0;
        char until[32];
        for (auto _ : state) {
            std::snprintf(until, sizeof until, "%d-12-%02d 00:00:00", kYear, 2 + day++ % 28);
            std::vector<RawItem> items;
            plans.bind(1, user()).bind(2, until);
            while (plans.step())
                items.push_back({plans.text(0), plans.text(1), plans.text(2), plans.text(3),
                                 plans.text(4), plans.text(5), plans.number(6)});
            plans.reset();
            std::string numbers;
            lines.bind(1, user()).bind(2, until);
            while (lines.step()) {
                items.push_back({std::string(), lines.text(2), std::string(), lines.text(3),
                                 lines.text(4), std::string(), lines.number(5) * 60});
                numbers += (numbers.empty() ? "" : ", ") + lines.text(0);
            }
            lines.reset();
            // The lines' requests, as the program looks them up: the open ones, then the
            // closed ones for the rest.
            std::map<std::string, std::string> summaries;
            for (const char* table : {"CURRENT REQUESTS", "COMPLETED REQUESTS"}) {
                std::string missing;
                for (std::size_t at = 0; at < numbers.size();) {
                    const std::size_t end = std::min(numbers.find(", ", at), numbers.size());
                    const std::string n = numbers.substr(at, end - at);
                    if (!summaries.count(n)) missing += (missing.empty() ? "" : ", ") + n;
                    at = end + 2;
                }
                if (missing.empty()) break;
                Statement requests(db, (std::string("SELECT REQUESTNO, SUMMARY, [CUSTOMER NAME] "
                                                    "FROM [") + table +
                                        "] WHERE REQUESTNO IN (" + missing + ")")
                                           .c_str());
                while (requests.step()) summaries[requests.text(0)] = requests.text(1);
            }
            benchmark::DoNotOptimize(items.data());
            benchmark::DoNotOptimize(summaries.size());
        }
    }
    sqlite3_close(db);
}

BENCHMARK(Month_program)->Unit(benchmark::kMillisecond);
BENCHMARK(Month_window)->Unit(benchmark::kMillisecond);
BENCHMARK(Month_sqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(Day_program)->Unit(benchmark::kMillisecond);
BENCHMARK(Day_window)->Unit(benchmark::kMillisecond);
BENCHMARK(Day_sqlite)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table = tvbench::besideRawSqlite("measured", 3);
    table.pairs = {{"_program", "_sqlite", " (data layer)"}, {"_window", "_sqlite", " (window)"}};
    char footnote[200];
    if (qEnvironmentVariableIsSet("TV_BENCH_DEMO"))
        std::snprintf(footnote, sizeof footnote, "(the diary of %s in %s)", user().c_str(),
                      qPrintable(qEnvironmentVariable("TV_BENCH_DEMO")));
    else
        std::snprintf(footnote, sizeof footnote, "(%d plans each of 4 users, %d labour lines of %s)",
                      kPlansPerUser, kLines, kUser);
    table.footnote = footnote;
    tvbench::runWithRatios(table);
    tv::data::state().reset();
    return 0;
}
