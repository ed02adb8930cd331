// The report engine on the shipped report files: the customer list (CustList.rpt) of
// 10,000 customers written as a PDF file and shown in the preview (laid out whole, its
// first page painted), and a one-page quotation (Quote.rpt) written as
// PDF. Beside each, raw SQLite reads the same rows with the same query the report runs;
// the ratio is printed at the end of the run. Targets: the list's PDF under 5 s, its
// preview under 1 s, the quotation under 100 ms.
#include "data/shipped_databases.h"
#include "engine/engine.h"
#include "ratio_report.h"
#include "reports/report_data.h"
#include "reports/report_render.h"

#include <sqlite3.h>

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int kCustomers = 10000;

// A data folder with the shipped databases, 10,000 customers and one quotation of ten lines.
QString folder() {
    static QTemporaryDir dir(QDir(qEnvironmentVariable("TV_BENCH_DIR", QDir::tempPath())).filePath(QStringLiteral("tvreport-XXXXXX")));
    static bool made = false;
    if (!made) {
        made = true;
        QString error;
        if (!tv::data::createDatabases(dir.path(), QStringLiteral(TOLVARINE_SOURCE_DIR "/db"), &error))
            std::fprintf(stderr, "%s\n", qPrintable(error));
        sqlite3* db = nullptr;
        sqlite3_open((dir.path() + QStringLiteral("/Data.mdb")).toUtf8().constData(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO CUSTOMERS (\"CUSTOMER NAME\", POSTALCITY, POSTALSTATE, TELEPHONENO, "
                               "ACCOUNTNO, \"SALES REP ID\", LASTDATE) VALUES (?, ?, ?, ?, ?, ?, '2026-11-30 00:00:00')",
                           -1, &insert, nullptr);
        static const char* states[] = {"NSW", "VIC", "QLD", "WA", "SA", "TAS", "ACT", "NT"};
        for (int i = 0; i < kCustomers; ++i) {
            const std::string name = "Customer " + std::to_string(i * 7919 % 100000) + " Pty Ltd";
            const std::string phone = "(02) " + std::to_string(5550000 + i);
            const std::string account = "AC" + std::to_string(100000 + i);
            sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, "Wollongong", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 3, states[i % 8], -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 4, phone.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 5, account.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 6, "ann", -1, SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "INSERT INTO QUOTATIONS (QUOTENO, QUOTEDATE, \"CUSTOMER NAME\", TOTAL) VALUES "
                         "(1, '2026-11-30 00:00:00', 'Customer 0 Pty Ltd', 1234.5)", nullptr, nullptr, nullptr);
        for (int line = 1; line <= 10; ++line) {
            const std::string sql = "INSERT INTO \"QUOTATIONS DETAIL\" VALUES (1, " + std::to_string(line) +
                                    ", 'CP-1', 'Copier and toner', 1, 100, 0, 10, 110)";
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    return dir.path();
}

struct Report {
    tv::reports::ReportDefinition definition;
    tv::reports::FormulaPtr selection;
};

Report load(const char* file, const char* selection) {
    return {tv::reports::readReportFile(QStringLiteral(TOLVARINE_SOURCE_DIR "/reports/") + QLatin1String(file)),
            tv::reports::parseFormula(QLatin1String(selection))};
}

tv::reports::RenderContext context() {
    tv::reports::RenderContext c;
    c.dataFolder = folder();
    c.formulas[QStringLiteral("criteria")] = tv::reports::parseFormula(QStringLiteral("'All records'"));
    return c;
}

// The report's own query through raw SQLite, its SQL translated once by the engine.
void rawRead(benchmark::State& state, const Report& report) {
    tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(folder() + QStringLiteral("/Data.mdb"));
    // Columns as SQLite names them: the bracketed names quoted, the Jet forms written plainly.
    QString sql = tv::reports::reportQuery(report.definition, report.selection, db, nullptr);
    sql.replace(u'[', u'"').replace(u']', u'"');
    db.Close();
    sqlite3* raw = nullptr;
    sqlite3_open_v2((folder() + QStringLiteral("/Data.mdb")).toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray text = sql.toUtf8();
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(raw, text.constData(), -1, &stmt, nullptr);
        long cells = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) cells += sqlite3_column_bytes(stmt, i);
        }
        sqlite3_finalize(stmt);
        benchmark::DoNotOptimize(cells);
    }
    sqlite3_close(raw);
}

void toPdf(benchmark::State& state, const Report& report) {
    tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(folder() + QStringLiteral("/Data.mdb"));
    const tv::reports::RenderContext c = context();
    int pages = 0;
    for (auto _ : state) {
        const tv::reports::ReportRows rows = tv::reports::readReportRows(report.definition, report.selection, db);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pages = tv::reports::renderReport(report.definition, rows, c, pdf);
    }
    state.counters["pages"] = pages;
}

void CustomerListPdf_engine(benchmark::State& state) { toPdf(state, load("CustList.rpt", "")); }
void CustomerListPdf_raw(benchmark::State& state) { rawRead(state, load("CustList.rpt", "")); }

// The preview lays out every page and paints the first for the screen.
void CustomerListPreview_engine(benchmark::State& state) {
    const Report report = load("CustList.rpt", "");
    tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(folder() + QStringLiteral("/Data.mdb"));
    const tv::reports::RenderContext c = context();
    for (auto _ : state) {
        const tv::reports::ReportRows rows = tv::reports::readReportRows(report.definition, report.selection, db);
        QPrinter printer(QPrinter::HighResolution);
        const tv::reports::ReportPages pages(report.definition, rows, c, printer);
        benchmark::DoNotOptimize(pages.image(0, 800));
        state.counters["pages"] = pages.count();
    }
}
void CustomerListPreview_raw(benchmark::State& state) { rawRead(state, load("CustList.rpt", "")); }

void OneQuotation_engine(benchmark::State& state) { toPdf(state, load("Quote.rpt", "{Quotations Detail.QuoteNo} = 1")); }
void OneQuotation_raw(benchmark::State& state) { rawRead(state, load("Quote.rpt", "{Quotations Detail.QuoteNo} = 1")); }

BENCHMARK(CustomerListPdf_engine)->Arg(kCustomers)->Unit(benchmark::kMillisecond);
BENCHMARK(CustomerListPdf_raw)->Arg(kCustomers)->Unit(benchmark::kMillisecond);
BENCHMARK(CustomerListPreview_engine)->Arg(kCustomers)->Unit(benchmark::kMillisecond);
BENCHMARK(CustomerListPreview_raw)->Arg(kCustomers)->Unit(benchmark::kMillisecond);
BENCHMARK(OneQuotation_engine)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(OneQuotation_raw)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table;
    table.ours = "engine ms";
    table.theirs = "raw SQLite ms";
    table.pairs = {{"_engine", "_raw"}};
    table.decimals = 2;
    table.ratioDecimals = 1;
    tvbench::runWithRatios(table);
    return 0;
}
