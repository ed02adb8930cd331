// The to-do list on the demo company at scale 100 (made by tolvarine-admin), for its
// busiest user (the most scheduled activities due by the end of today), offscreen:
//   Open   from nothing to the first page painted: the window built, its captions and
//          layout applied, the scheduled activities' key set opened and the first screen
//          of rows drawn;
//   Pages  an open window taken through its three pages and back to the first, each
//          page's query run and its first screen drawn.
// Beside each, raw SQLite does the same reading through prepared statements: the number of
// rows of each page's query and the first screen of them in the list's order, every column
// read as text. The ratios are printed at the end of the run.
//
// Target: Open under 200 ms. TV_BENCH_SCALE picks another scale; TV_BENCH_DIR the folder
// the data is made in.
#include "list_bench_data.h"

#include "core/convert.h"
#include "data/app_state.h"
#include "forms/framework/list_model.h"
#include "forms/service/todo_window.h"

#include <sqlite3.h>

#include "ratio_report.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QDate>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

using tv::forms::ToDoList;
using tvbench::check;

constexpr int kFirstScreen = 64;  // the rows the grid reads for its first screen

QByteArray& busyUser() {
    static QByteArray user;
    return user;
}

// The last second of today as the data stores it.
QByteArray dayEnd() {
    return QDate::currentDate().toString(Qt::ISODate).toUtf8() + " 23:59:59";
}

// The user with the most scheduled activities due by the end of today.
QByteArray findBusyUser(const QString& dataFile) {
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(dataFile.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), db);
    sqlite3_stmt* s = nullptr;
    check(sqlite3_prepare_v2(db,
                             "SELECT [USER ID] FROM [SCHEDULED ACTIVITIES] WHERE SCHEDDATETIME <= ? "
                             "GROUP BY [USER ID] ORDER BY count(*) DESC LIMIT 1",
                             -1, &s, nullptr),
          db);
    const QByteArray end = dayEnd();
    sqlite3_bind_text(s, 1, end.constData(), -1, SQLITE_TRANSIENT);
    QByteArray user;
    if (sqlite3_step(s) == SQLITE_ROW)
        user = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return user;
}

// The demo company, made on first use and kept for the run; the program state is opened
// on it with the busy user signed in.
QString demoFolder() {
    static QString folder;
    if (!folder.isEmpty()) return folder;
    folder = tvbench::makeDemoCompany(QStringLiteral("Todo"), QStringLiteral(TOLVARINE_ADMIN));
    busyUser() = findBusyUser(folder + "/Data.mdb");
    tvbench::openProgramState(folder);
    tv::data::state().CurrentUserId = QString::fromUtf8(busyUser());
    return folder;
}

// Raw SQLite reading what the pages show: each query's count and first screen.
class RawReads {
public:
    RawReads() {
        const QByteArray file = (demoFolder() + "/Data.mdb").toUtf8();
        check(sqlite3_open_v2(file.constData(), &db_, SQLITE_OPEN_READONLY, nullptr), db_);
        const char* const where[] = {
            "[SCHEDULED ACTIVITIES] WHERE SCHEDDATETIME <= ?1 AND [USER ID] = ?2",
            "[CURRENT REQUESTS] WHERE PERSONNEL = ?2",
            "[REQUEST ACTIVITIES] WHERE SCHEDULED IS NOT NULL AND SCHEDULED <= ?1 AND "
            "PERSONNEL = ?2 AND COMPLETED IS NULL"};
        const char* const order[] = {"SCHEDDATETIME", "REQUESTNO", "ACTIVITYNO"};
        for (int page = 0; page < 3; ++page) {
            const QByteArray count = QByteArray("SELECT count(*) FROM ") + where[page];
            const QByteArray rows = QByteArray("SELECT * FROM ") + where[page] + " ORDER BY " +
                                    order[page] + " LIMIT " + QByteArray::number(kFirstScreen);
            check(sqlite3_prepare_v2(db_, count.constData(), -1, &count_[page], nullptr), db_);
            check(sqlite3_prepare_v2(db_, rows.constData(), -1, &rows_[page], nullptr), db_);
        }
    }
    ~RawReads() {
        for (int page = 0; page < 3; ++page) {
            sqlite3_finalize(count_[page]);
            sqlite3_finalize(rows_[page]);
        }
        sqlite3_close(db_);
    }
    long read(int page) {
        const QByteArray end = dayEnd();
        long cells = 0;
        for (sqlite3_stmt* s : {count_[page], rows_[page]}) {
            sqlite3_bind_text(s, 1, end.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(s, 2, busyUser().constData(), -1, SQLITE_STATIC);
            while (sqlite3_step(s) == SQLITE_ROW) {
                for (int c = 0; c < sqlite3_column_count(s); ++c)
                    cells += sqlite3_column_text(s, c) ? 1 : 0;
            }
            sqlite3_reset(s);
        }
        return cells;
    }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* count_[3] = {};
    sqlite3_stmt* rows_[3] = {};
};

void Open_window(benchmark::State& state) {
    demoFolder();
    for (auto _ : state) {
        auto* list = new ToDoList();
        benchmark::DoNotOptimize(list->grab());
        state.PauseTiming();
        if (list->model()->rowCount() == 0) state.SkipWithError("the busy user has no rows");
        list->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

void Open_sqlite(benchmark::State& state) {
    RawReads raw;
    for (auto _ : state) benchmark::DoNotOptimize(raw.read(0));
}

void Pages_window(benchmark::State& state) {
    demoFolder();
    auto* list = new ToDoList();
    for (auto _ : state) {
        for (int page : {1, 2, 0}) {
            list->showPage(page);
            benchmark::DoNotOptimize(list->grid()->viewport()->grab());
        }
    }
    list->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Pages_sqlite(benchmark::State& state) {
    RawReads raw;
    for (auto _ : state) {
        for (int page : {1, 2, 0}) benchmark::DoNotOptimize(raw.read(page));
    }
}

BENCHMARK(Open_window)->Unit(benchmark::kMillisecond);
BENCHMARK(Open_sqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(Pages_window)->Unit(benchmark::kMillisecond);
BENCHMARK(Pages_sqlite)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table = tvbench::besideRawSqlite("window", 2);
    table.targets = {{"Open", "200ms"}};
    table.noTarget = "-";
    table.otherRatioHeader = "CPU ratio";
    demoFolder();  // the footnote names the user it finds
    table.footnote = "(wall times, the target's measure; CPU ratio: the same as processor time, "
                     "which a busy machine disturbs less)\n(user " +
                     busyUser().toStdString() + ")";
    tvbench::runWithRatios(table);
    tv::data::state().reset();
    return 0;
}
