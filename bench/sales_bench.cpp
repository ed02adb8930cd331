// The sales documents on the demo company at scale 100 (100,000 customers with their
// activities, requests, contracts and inventory, made by tolvarine-admin), offscreen:
//   Billing  the billing run over every customer for the last 30 days, all five kinds, one
//            invoice per customer, on a fresh copy of the data each time;
//   Quote    the Quote window opening on a quotation of 200 lines: built and loaded, the
//            header shown, the lines read and the totals worked out, the window painted.
// Beside each, raw SQLite does the same work through prepared statements: for billing, per
// customer, reading its outstanding items of the five kinds and, where there are some, one
// transaction writing the order, its lines, the marks and the counter; for the quotation,
// reading the header and its lines. The ratios are printed at the end of the run.
//
// Targets: Billing under 60 s, Quote under 150 ms. TV_BENCH_SCALE picks another scale;
// TV_BENCH_DIR the folder the data is made in.
#include "list_bench_data.h"

#include "core/convert.h"
#include "core/settings_store.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/billing_run.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/sales/document_window.h"
#include "forms/sales/sales_windows.h"
#include "ratio_report.h"

#include <sqlite3.h>

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QDate>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

using tvbench::check;

constexpr int kBigQuote = 9999999;
constexpr int kQuoteLines = 200;

void addBigQuote(const QString& dataFile) {
    sqlite3* db = nullptr;
    check(sqlite3_open(dataFile.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db,
                       "BEGIN; INSERT INTO QUOTATIONS (QUOTENO, QUOTEDATE, [CUSTOMER NAME], ITEMTOTAL) "
                       "SELECT 9999999, '2026-12-01 00:00:00', [CUSTOMER NAME], 0 FROM CUSTOMERS LIMIT 1",
                       nullptr, nullptr, nullptr),
          db);
    sqlite3_stmt* line = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO [QUOTATIONS DETAIL] VALUES (9999999, ?, ?, ?, ?, ?, ?, 10, ?)",
                             -1, &line, nullptr),
          db);
    char text[120];
    for (int i = 1; i <= kQuoteLines; ++i) {
        sqlite3_bind_int(line, 1, i);
        std::snprintf(text, sizeof text, "PART-%04d", i);
        sqlite3_bind_text(line, 2, text, -1, SQLITE_TRANSIENT);
        std::snprintf(text, sizeof text, "Replacement part %d for the copier fleet", i);
        sqlite3_bind_text(line, 3, text, -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(line, 4, 1 + i % 7);
        sqlite3_bind_double(line, 5, 3.99 + i);
        sqlite3_bind_double(line, 6, i % 3 * 5.0);
        sqlite3_bind_double(line, 7, (1 + i % 7) * (3.99 + i));
        check(sqlite3_step(line), db);
        sqlite3_reset(line);
    }
    sqlite3_finalize(line);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

QTemporaryDir& root() {
    static QTemporaryDir dir(qEnvironmentVariableIsSet("TV_BENCH_DIR")
                                 ? qEnvironmentVariable("TV_BENCH_DIR") + "/tvsales-XXXXXX"
                                 : QDir::tempPath() + "/tvsales-XXXXXX");
    return dir;
}

// The demo company as made, kept untouched; the runs work on copies of its Data.mdb.
QString pristine() {
    static QString folder;
    if (!folder.isEmpty()) return folder;
    const int scale = qEnvironmentVariableIsSet("TV_BENCH_SCALE") ? qEnvironmentVariableIntValue("TV_BENCH_SCALE") : 100;
    folder = root().filePath(QStringLiteral("Demo"));
    tv::setSettingsLocationForTests(root().filePath(QStringLiteral("Settings")));
    std::fprintf(stderr, "Making the demo company at scale %d in %s ...\n", scale, qPrintable(folder));
    QProcess admin;
    admin.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    admin.start(QStringLiteral(TOLVARINE_ADMIN), {QStringLiteral("create"), folder, QStringLiteral("--demo"),
                                                  QStringLiteral("--scale"), QString::number(scale)});
    if (!admin.waitForFinished(-1) || admin.exitCode() != 0) {
        std::fprintf(stderr, "tolvarine-admin create failed\n");
        std::abort();
    }
    addBigQuote(folder + "/Data.mdb");
    return folder;
}

// A fresh copy of the data, the program state opened on it.
QString freshCopy() {
    const QString from = pristine();
    const QString to = root().filePath(QStringLiteral("Run"));
    tv::data::state().reset();
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const char* file : {"Definitions.mdb", "Data.mdb", "Messages.mdb"})
        QFile::copy(from + '/' + file, to + '/' + file);
    tvbench::openProgramState(to);
    tv::data::state().CurrentUserId = QStringLiteral("admin");
    return to;
}

tv::DateTime serial(const QDate& d) { return tv::DateTime{static_cast<double>(QDate(1899, 12, 30).daysTo(d))}; }

tv::data::BillingRequest lastMonth() {
    tv::data::BillingRequest r;
    r.kinds.fill(true);
    r.captions = tv::data::defaultBillingCaptions();
    r.start = serial(QDate::currentDate().addDays(-30));
    r.end = serial(QDate::currentDate());
    r.userId = QStringLiteral("admin");
    r.today = serial(QDate::currentDate());
    return r;
}

void Billing_window(benchmark::State& state) {
    long orders = 0;
    for (auto _ : state) {
        state.PauseTiming();
        freshCopy();
        int moves = 0;
        state.ResumeTiming();
        const tv::data::BillingResult result = tv::data::RunBilling(lastMonth(), [&](int) { ++moves; });
        orders = result.orders.size();
        if (moves < 100 || result.customersFailed) state.SkipWithError("the run did not go through");
    }
    state.counters["invoices"] = static_cast<double>(orders);
}

// Raw SQLite billing the same items: per customer its outstanding items of each kind, and
// for a customer with some one transaction writing the order, the lines, the marks and the
// counter.
class RawBilling {
public:
    explicit RawBilling(const QString& file) {
        check(sqlite3_open(file.toUtf8().constData(), &db_), db_);
        sqlite3_busy_timeout(db_, 5000);
        const char* reads[] = {
            "SELECT rowid, DURATION, [SALES REP ID], DESCRIPTION FROM ACTIVITIES WHERE [CUSTOMER NAME] = ?1 "
            "AND BILLABLE <> 0 AND INVOICENO IS NULL AND [DATETIME] >= ?2 AND [DATETIME] < ?3",
            "SELECT rowid, REQUESTNO, TOTALCHARGE, SUMMARY FROM [COMPLETED REQUESTS] WHERE [CUSTOMER NAME] = ?1 "
            "AND TOTALCHARGE > 0 AND (ORDERNO IS NULL OR ORDERNO = 0) AND REQUESTED >= ?2 AND REQUESTED < ?3",
            "SELECT rowid, 1, PRICE, CONTRACTTYPE FROM [SERVICE CONTRACTS] WHERE [CUSTOMER NAME] = ?1 AND "
            "(ORDERNO IS NULL OR ORDERNO = 0) AND STARTDATE >= ?2 AND STARTDATE < ?3",
            "SELECT rowid, 1, CHARGE, DESCRIPTION FROM [CUSTOMER INVENTORY] WHERE [CUSTOMER NAME] = ?1 AND "
            "(ORDERNO IS NULL OR ORDERNO = '') AND SUPPLIEDDATE >= ?2 AND SUPPLIEDDATE < ?3"};
        const char* marks[] = {"UPDATE ACTIVITIES SET INVOICENO = ?1 WHERE rowid = ?2",
                               "UPDATE [COMPLETED REQUESTS] SET ORDERNO = ?1 WHERE rowid = ?2",
                               "UPDATE [SERVICE CONTRACTS] SET ORDERNO = ?1 WHERE rowid = ?2",
                               "UPDATE [CUSTOMER INVENTORY] SET ORDERNO = ?1 WHERE rowid = ?2"};
        for (int i = 0; i < 4; ++i) {
            check(sqlite3_prepare_v2(db_, reads[i], -1, &read_[i], nullptr), db_);
            check(sqlite3_prepare_v2(db_, marks[i], -1, &mark_[i], nullptr), db_);
        }
        check(sqlite3_prepare_v2(db_, "SELECT [CUSTOMER NAME] FROM CUSTOMERS ORDER BY [CUSTOMER NAME]", -1,
                                 &customers_, nullptr),
              db_);
        check(sqlite3_prepare_v2(db_, "UPDATE Counters SET LASTNUMBER = LASTNUMBER + 1 WHERE TABLENAME = "
                                      "'Sales Orders' RETURNING LASTNUMBER",
                                 -1, &counter_, nullptr),
              db_);
        check(sqlite3_prepare_v2(db_, "INSERT INTO [SALES ORDERS] (ORDERNO, ORDERDATE, [CUSTOMER NAME], ITEMTOTAL, "
                                      "SALESTAX, TOTAL) VALUES (?, ?, ?, ?, 0, ?)",
                                 -1, &order_, nullptr),
              db_);
        check(sqlite3_prepare_v2(db_, "INSERT INTO [SALES ORDERS DETAIL] (ORDERNO, LINENO, DESCRIPTION, QUANTITY, "
                                      "UNITPRICE, LINEVALUE) VALUES (?, ?, ?, ?, ?, ?)",
                                 -1, &line_, nullptr),
              db_);
    }
    ~RawBilling() {
        for (sqlite3_stmt* s : {customers_, counter_, order_, line_}) sqlite3_finalize(s);
        for (int i = 0; i < 4; ++i) sqlite3_finalize(read_[i]), sqlite3_finalize(mark_[i]);
        sqlite3_close(db_);
    }
    long run(const std::string& from, const std::string& to) {
        long orders = 0;
        while (sqlite3_step(customers_) == SQLITE_ROW) {
            const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(customers_, 0));
            struct Item { int kind; sqlite3_int64 rowid; double qty, price; std::string text; };
            std::vector<Item> items;
            for (int k = 0; k < 4; ++k) {
                sqlite3_bind_text(read_[k], 1, name.c_str(), -1, SQLITE_STATIC);
                sqlite3_bind_text(read_[k], 2, from.c_str(), -1, SQLITE_STATIC);
                sqlite3_bind_text(read_[k], 3, to.c_str(), -1, SQLITE_STATIC);
                while (sqlite3_step(read_[k]) == SQLITE_ROW) {
                    const auto* t = sqlite3_column_text(read_[k], 3);
                    items.push_back({k, sqlite3_column_int64(read_[k], 0), sqlite3_column_double(read_[k], 1),
                                     sqlite3_column_double(read_[k], 2), t ? reinterpret_cast<const char*>(t) : ""});
                }
                sqlite3_reset(read_[k]);
            }
            if (items.empty()) continue;
            check(sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), db_);
            check(sqlite3_step(counter_), db_);
            const int number = sqlite3_column_int(counter_, 0);
            sqlite3_reset(counter_);
            double total = 0;
            int lineNo = 0;
            for (const Item& item : items) {
                const double qty = item.kind == 0 ? item.qty / 60 : item.qty;
                total += qty * item.price;
                sqlite3_bind_int(line_, 1, number);
                sqlite3_bind_int(line_, 2, ++lineNo);
                sqlite3_bind_text(line_, 3, item.text.c_str(), -1, SQLITE_STATIC);
                sqlite3_bind_double(line_, 4, qty);
                sqlite3_bind_double(line_, 5, item.price);
                sqlite3_bind_double(line_, 6, qty * item.price);
                check(sqlite3_step(line_), db_);
                sqlite3_reset(line_);
                sqlite3_bind_int(mark_[item.kind], 1, number);
                sqlite3_bind_int64(mark_[item.kind], 2, item.rowid);
                check(sqlite3_step(mark_[item.kind]), db_);
                sqlite3_reset(mark_[item.kind]);
            }
            sqlite3_bind_int(order_, 1, number);
            sqlite3_bind_text(order_, 2, to.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(order_, 3, name.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_double(order_, 4, total);
            sqlite3_bind_double(order_, 5, total);
            check(sqlite3_step(order_), db_);
            sqlite3_reset(order_);
            check(sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr), db_);
            ++orders;
        }
        sqlite3_reset(customers_);
        return orders;
    }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* read_[4] = {};
    sqlite3_stmt* mark_[4] = {};
    sqlite3_stmt* customers_ = nullptr;
    sqlite3_stmt* counter_ = nullptr;
    sqlite3_stmt* order_ = nullptr;
    sqlite3_stmt* line_ = nullptr;
};

void Billing_sqlite(benchmark::State& state) {
    const std::string from = QDate::currentDate().addDays(-30).toString(Qt::ISODate).toStdString();
    const std::string to = QDate::currentDate().addDays(1).toString(Qt::ISODate).toStdString();
    long orders = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = freshCopy();
        tv::data::state().reset();
        auto raw = std::make_unique<RawBilling>(folder + "/Data.mdb");
        state.ResumeTiming();
        orders = raw->run(from, to);
        state.PauseTiming();
        raw.reset();
        state.ResumeTiming();
    }
    state.counters["invoices"] = static_cast<double>(orders);
}

void Quote_window(benchmark::State& state) {
    freshCopy();
    tv::forms::registerSalesWindows();
    for (auto _ : state) {
        tv::data::LoadRecord(QStringLiteral("Quotations"), QString::number(kBigQuote));
        const tv::data::FieldValueArray values = tv::data::state().FieldValues;
        tv::data::state().PendingEditMode = 2;
        tv::forms::OpenRecordWindow(QStringLiteral("Quotations"), values);
        auto* w = qobject_cast<tv::forms::DocumentWindow*>(tv::forms::GetRecordWindow(QStringLiteral("Quotations")));
        benchmark::DoNotOptimize(w->grab());
        state.PauseTiming();
        if (static_cast<int>(w->lines().size()) != kQuoteLines) state.SkipWithError("wrong lines");
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

void Quote_sqlite(benchmark::State& state) {
    const QString folder = freshCopy();
    sqlite3* db = nullptr;
    check(sqlite3_open_v2((folder + "/Data.mdb").toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), db);
    sqlite3_stmt* reads[2] = {};
    check(sqlite3_prepare_v2(db, "SELECT * FROM QUOTATIONS WHERE QUOTENO = 9999999", -1, &reads[0], nullptr), db);
    check(sqlite3_prepare_v2(db, "SELECT * FROM [QUOTATIONS DETAIL] WHERE QUOTENO = 9999999 ORDER BY LINENO", -1,
                             &reads[1], nullptr),
          db);
    for (auto _ : state) {
        long cells = 0;
        for (sqlite3_stmt* s : reads) {
            while (sqlite3_step(s) == SQLITE_ROW)
                for (int c = 0; c < sqlite3_column_count(s); ++c) cells += sqlite3_column_text(s, c) ? 1 : 0;
            sqlite3_reset(s);
        }
        benchmark::DoNotOptimize(cells);
    }
    for (sqlite3_stmt* s : reads) sqlite3_finalize(s);
    sqlite3_close(db);
}

BENCHMARK(Billing_window)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(Billing_sqlite)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(Quote_window)->Unit(benchmark::kMillisecond);
BENCHMARK(Quote_sqlite)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table;
    table.argsHeader.clear();
    table.ours = "program";
    table.theirs = "raw SQLite";
    table.pairs = {{"_window", "_sqlite"}};
    table.units = true;
    table.decimals = 3;
    table.ratioDecimals = 1;
    table.targets = {{"Billing", "60 s"}, {"Quote", "150 ms"}};
    table.noTarget = "-";
    tvbench::runWithRatios(table);
    return 0;
}
