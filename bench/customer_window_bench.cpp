// The customer window on the demo company at scale 100 (100,000 customers with their
// contacts, activities, orders and requests, made by tolvarine-admin) and two customers
// with 5,000 activities each, offscreen:
//   Open    from nothing to the first rows of the Activities tab painted, as search opens
//           a customer on a tab: the window built and loaded, the customer's row read and
//           shown, the tab's key set opened and its first screen of rows painted;
//   Switch  an open window showing the other big customer, its Activities tab read again
//           and painted.
// Beside each, raw SQLite does the same reading through prepared statements: the
// customer's row, the number of its activities and the first screen of them in the tab's
// order, every column read as text. The ratios are printed at the end of the run.
//
// Target: Open under 150 ms. TV_BENCH_SCALE picks another scale (the data takes about a
// minute to make at 100); TV_BENCH_DIR the folder the data is made in.
#include "list_bench_data.h"

#include "data/access.h"
#include "data/app_state.h"
#include "forms/customers/customer_window.h"
#include "forms/customers/customers_windows.h"
#include "forms/framework/list_model.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/related_rows_grid.h"
#include "ratio_report.h"

#include <sqlite3.h>

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

using tvbench::check;

using tv::forms::CustomerWindow;

const char* const kBig[] = {"Ballantyne & O'Hara Freight", "Ballantyne & O'Hara Freight (West)"};
constexpr int kActivities = 5000;
constexpr int kFirstScreen = 64;  // the rows the grid reads for its first screen

// The two big customers and their activities, written by raw SQLite in one transaction.
void addBigCustomers(const QString& dataFile) {
    sqlite3* db = nullptr;
    check(sqlite3_open(dataFile.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    const char* types[] = {"Call", "Meeting", "Letter", "Email", "Demonstration", "Support"};
    const char* people[] = {"Aileen Brady", "Tomás Ó Súilleabháin", "Priya Nair", "Ben Carter"};
    sqlite3_stmt* customer = nullptr;
    sqlite3_stmt* activity = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO CUSTOMERS ([CUSTOMER NAME], POSTALSTREET, POSTALCITY, "
                             "POSTALSTATE, POSTALCODE, COUNTRY, TELEPHONENO, [EMAIL ADDRESS], "
                             "[SALES REP ID], ACCOUNTNO) VALUES (?, '12 Wharf Road', 'Newcastle', "
                             "'NSW', '2300', 'Australia', '(02) 4900 1200', 'office@bof.com.au', "
                             "'admin', 'AC999001')",
                             -1, &customer, nullptr),
          db);
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME], [ACTIVITY TYPE], "
                             "DESCRIPTION, [SALES REP ID], [CONTACT NAME], DURATION, COST, BILLABLE) "
                             "VALUES (?, ?, ?, ?, 'admin', ?, ?, ?, 0)",
                             -1, &activity, nullptr),
          db);
    char text[160];
    for (const char* name : kBig) {
        sqlite3_bind_text(customer, 1, name, -1, SQLITE_STATIC);
        check(sqlite3_step(customer), db);
        sqlite3_reset(customer);
        for (int i = 0; i < kActivities; ++i) {
            sqlite3_bind_text(activity, 1, name, -1, SQLITE_STATIC);
            // One every 17 hours and a bit, back from 2026: distinct keys, realistic spread.
            const long minutes = static_cast<long>(i) * 1031;
            std::snprintf(text, sizeof text, "%04ld-%02ld-%02ld %02ld:%02ld:00",
                          2013 + minutes / 525600 % 13, 1 + minutes / 43200 % 12,
                          1 + minutes / 1440 % 28, minutes / 60 % 24, minutes % 60);
            sqlite3_bind_text(activity, 2, text, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(activity, 3, types[i % 6], -1, SQLITE_STATIC);
            std::snprintf(text, sizeof text, "Follow-up %d on the freight contract renewal", i);
            sqlite3_bind_text(activity, 4, text, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(activity, 5, people[i % 4], -1, SQLITE_STATIC);
            sqlite3_bind_double(activity, 6, 5 + i % 55);
            sqlite3_bind_double(activity, 7, (i % 40) * 2.5);
            check(sqlite3_step(activity), db);
            sqlite3_reset(activity);
        }
    }
    sqlite3_finalize(customer);
    sqlite3_finalize(activity);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

// The demo company with the big customers, made on first use and kept for the run; the
// program state is opened on it.
QString demoFolder() {
    static QString folder;
    if (!folder.isEmpty()) return folder;
    folder = tvbench::makeDemoCompany(QStringLiteral("Customers"), QStringLiteral(TOLVARINE_ADMIN));
    addBigCustomers(folder + "/Data.mdb");
    tvbench::openProgramState(folder);
    tv::data::state().CurrentUserId = QStringLiteral("admin");
    tv::forms::registerCustomerWindows();
    return folder;
}

CustomerWindow* openCustomer(const char* name) {
    tv::data::LoadRecord(QStringLiteral("Customers"), QString::fromUtf8(name));
    const tv::data::FieldValueArray values = tv::data::state().FieldValues;
    tv::data::state().PendingEditMode = 2;
    tv::forms::OpenRecordWindow(QStringLiteral("Customers"), values);
    auto* w = qobject_cast<CustomerWindow*>(tv::forms::GetRecordWindow(QStringLiteral("Customers")));
    w->SetCurrentTab(QStringLiteral("Activities"));
    benchmark::DoNotOptimize(w->grab());
    return w;
}

void closeWindow(CustomerWindow* w) {
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Raw SQLite reading what the window shows: the customer, the count and the first screen.
class RawReads {
public:
    RawReads() {
        const QByteArray file = (demoFolder() + "/Data.mdb").toUtf8();
        check(sqlite3_open_v2(file.constData(), &db_, SQLITE_OPEN_READONLY, nullptr), db_);
        prepare(&customer_, "SELECT * FROM CUSTOMERS WHERE [CUSTOMER NAME] = ?");
        prepare(&count_, "SELECT count(*) FROM ACTIVITIES WHERE [CUSTOMER NAME] = ?");
        prepare(&rows_,
                "SELECT * FROM ACTIVITIES WHERE [CUSTOMER NAME] = ? ORDER BY [ACTIVITY TYPE] "
                "LIMIT 64");
    }
    ~RawReads() {
        for (sqlite3_stmt* s : {customer_, count_, rows_}) sqlite3_finalize(s);
        sqlite3_close(db_);
    }
    long read(const char* name) {
        long cells = 0;
        for (sqlite3_stmt* s : {customer_, count_, rows_}) {
            sqlite3_bind_text(s, 1, name, -1, SQLITE_STATIC);
            while (sqlite3_step(s) == SQLITE_ROW) {
                for (int c = 0; c < sqlite3_column_count(s); ++c) {
                    const unsigned char* text = sqlite3_column_text(s, c);
                    cells += text ? 1 : 0;
                }
            }
            sqlite3_reset(s);
        }
        return cells;
    }

private:
    void prepare(sqlite3_stmt** s, const char* sql) {
        check(sqlite3_prepare_v2(db_, sql, -1, s, nullptr), db_);
    }
    sqlite3* db_ = nullptr;
    sqlite3_stmt* customer_ = nullptr;
    sqlite3_stmt* count_ = nullptr;
    sqlite3_stmt* rows_ = nullptr;
};

void Open_window(benchmark::State& state) {
    demoFolder();
    for (auto _ : state) {
        CustomerWindow* w = openCustomer(kBig[0]);
        state.PauseTiming();
        if (w->grid()->model()->recordCount() != kActivities) state.SkipWithError("wrong rows");
        closeWindow(w);
        state.ResumeTiming();
    }
}

void Open_sqlite(benchmark::State& state) {
    RawReads raw;
    for (auto _ : state) benchmark::DoNotOptimize(raw.read(kBig[0]));
}

void Switch_window(benchmark::State& state) {
    demoFolder();
    CustomerWindow* w = openCustomer(kBig[0]);
    int n = 0;
    for (auto _ : state) {
        w->showStoredRow(QString::fromUtf8(kBig[++n % 2]));
        benchmark::DoNotOptimize(w->grid()->view()->viewport()->grab());
    }
    closeWindow(w);
}

void Switch_sqlite(benchmark::State& state) {
    RawReads raw;
    int n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(raw.read(kBig[++n % 2]));
}

BENCHMARK(Open_window)->Unit(benchmark::kMillisecond);
BENCHMARK(Open_sqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(Switch_window)->Unit(benchmark::kMillisecond);
BENCHMARK(Switch_sqlite)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table = tvbench::besideRawSqlite("window", 2);
    table.targets = {{"Open", "150ms"}};
    table.noTarget = "-";
    table.otherRatioHeader = "CPU ratio";
    table.footnote = QStringLiteral("(wall times, the target's measure; CPU ratio: the same as "
                                    "processor time, which a busy machine disturbs less)\n(%1 "
                                    "activities on the customer, the first %2 read for the screen)")
                         .arg(kActivities)
                         .arg(kFirstScreen)
                         .toStdString();
    tvbench::runWithRatios(table);
    tv::data::state().reset();
    return 0;
}
