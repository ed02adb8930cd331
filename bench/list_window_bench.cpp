// The list window on a table of 100,000 and 1,000,000 customers, offscreen, beside the
// ordinary Qt way of listing the same rows (QSqlQueryModel over the same file in a
// QTableView): the first screen of rows from opening the window, a jump to the last row
// (once the key set is complete, and right after opening while it is still being read),
// the time from Refresh until the count is known (for the title) and the count asked for
// once it is known, and the memory the process holds
// once the list has been to its last row. Each list figure is printed beside its Qt Sql
// counterpart as a ratio at the end of the run.
//
// Targets at 1,000,000 rows: first rows within 1.5 times Qt Sql's first rows, the last
// row under 100 ms, the count under 100 ms, under 100 MB resident.
#include "list_bench_data.h"
#include "ratio_report.h"

#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/list_form.h"
#include "forms/framework/list_model.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <QApplication>
#include <QKeyEvent>
#include <QFile>
#include <QHeaderView>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <memory>

namespace {

using tv::forms::ListForm;

const QString kQuery = QStringLiteral("SELECT * FROM [CUSTOMERS] ORDER BY [CUSTOMER NAME]");
constexpr QSize kWindow(1000, 700);

int rowsOf(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

// Resident memory of this process in MB, after handing freed heap back to the system so
// that what earlier benchmarks freed is not counted.
double residentMb() {
    malloc_trim(0);
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

// A list window opened as the main window opens it, after its first activation, painted.
std::unique_ptr<ListForm> openList() {
    tv::data::state().SharedValues[0] = QStringLiteral("Customers");
    auto list = std::make_unique<ListForm>();
    tv::forms::setTag(list.get(), QStringLiteral("Customers"));
    list->resize(kWindow);
    list->activate();
    benchmark::DoNotOptimize(list->grab());
    return list;
}

// Every key read, as the window's event loop reads them after the first screenful.
void fillList(ListForm* list) {
    while (!list->model()->keysComplete()) QCoreApplication::processEvents();
}

// Ctrl+End, as the user presses it.
void jumpToLast(QTableView* grid) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(grid, &press);
    benchmark::DoNotOptimize(grid->grab());
}

// The text of the first column of the grid's current row.
QString currentText(QTableView* grid) {
    return grid->model()->index(grid->currentIndex().row(), 0).data().toString();
}

// Qt's own way: a query model over the same file, shown in a plain table view.
class QtSqlList {
public:
    explicit QtSqlList(const QString& file) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
            db.setDatabaseName(file);
            db.open();
        }
        view_.resize(kWindow);
    }
    ~QtSqlList() {
        view_.setModel(nullptr);
        model_.reset();
        QSqlDatabase::removeDatabase(name_);
    }
    void open() {
        view_.setModel(nullptr);
        model_ = std::make_unique<QSqlQueryModel>();
        model_->setQuery(QSqlQuery(kQuery, QSqlDatabase::database(name_)));
        view_.setModel(model_.get());
        benchmark::DoNotOptimize(view_.grab());
    }
    // The model reads rows in batches as the view scrolls; its last row and its count are
    // known only once it has read them all.
    void fetchAll() {
        while (model_->canFetchMore()) model_->fetchMore();
    }
    QTableView* view() { return &view_; }
    int rows() const { return model_->rowCount(); }

private:
    QString name_ = QStringLiteral("bench");
    QTableView view_;
    std::unique_ptr<QSqlQueryModel> model_;
};

// (1) From opening the window to its first rows on screen.
void FirstRows_list(benchmark::State& state) {
    tvbench::listDataFolder(rowsOf(state));
    for (auto _ : state) {
        auto list = openList();
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}

void FirstRows_qtsql(benchmark::State& state) {
    QtSqlList list(tvbench::listDataFile(rowsOf(state)));
    for (auto _ : state) list.open();
}

// (2) A jump to the last row of an open list whose key set is complete (its rows not yet
// read).
void LastRow_list(benchmark::State& state) {
    tvbench::listDataFolder(rowsOf(state));
    auto list = openList();
    fillList(list.get());
    for (auto _ : state) {
        state.PauseTiming();
        list->grid()->setCurrentIndex(list->model()->index(0, 0));
        list->grid()->scrollToTop();
        list->model()->dropCache();
        state.ResumeTiming();
        jumpToLast(list->grid());
    }
}

// (2b) The same jump right after the window opened, while the key set is still being read:
// the rest of the keys are read first, and the jump must land on the real last row.
void LastRowEarly_list(benchmark::State& state) {
    tvbench::listDataFolder(rowsOf(state));
    const QString last = tvbench::lastCustomer(rowsOf(state));
    for (auto _ : state) {
        state.PauseTiming();
        auto list = openList();
        state.ResumeTiming();
        jumpToLast(list->grid());
        state.PauseTiming();
        if (currentText(list->grid()) != last) state.SkipWithError("not the last row");
        list.reset();
        state.ResumeTiming();
    }
}

void LastRow_qtsql(benchmark::State& state) {
    QtSqlList list(tvbench::listDataFile(rowsOf(state)));
    for (auto _ : state) {
        state.PauseTiming();
        list.open();
        state.ResumeTiming();
        list.fetchAll();
        jumpToLast(list.view());
    }
}

// (3) The row count for the title: the list's Refresh reopens the query, shows its first
// rows and takes the rest of its keys from the event loop as two threads of their own read
// them from both ends; the count is known when the walks have met.
void Count_list(benchmark::State& state) {
    tvbench::listDataFolder(rowsOf(state));
    auto list = openList();
    for (auto _ : state) {
        list->LoadList(false);
        fillList(list.get());
        benchmark::DoNotOptimize(list->model()->recordCount());
    }
    if (list->model()->recordCount() != rowsOf(state)) state.SkipWithError("wrong count");
}

void Count_qtsql(benchmark::State& state) {
    QtSqlList list(tvbench::listDataFile(rowsOf(state)));
    for (auto _ : state) {
        state.PauseTiming();
        list.open();
        state.ResumeTiming();
        list.fetchAll();
        benchmark::DoNotOptimize(list.rows());
    }
}

// (3b) The count asked for again once the key set is complete (the title, a print's
// row count): a figure the list already holds, as Qt Sql's model does once it has read
// every row.
void CountDone_list(benchmark::State& state) {
    tvbench::listDataFolder(rowsOf(state));
    auto list = openList();
    fillList(list.get());
    for (auto _ : state) benchmark::DoNotOptimize(list->model()->recordCount());
    if (list->model()->recordCount() != rowsOf(state)) state.SkipWithError("wrong count");
}

void CountDone_qtsql(benchmark::State& state) {
    QtSqlList list(tvbench::listDataFile(rowsOf(state)));
    list.open();
    list.fetchAll();
    for (auto _ : state) benchmark::DoNotOptimize(list.rows());
}

// (4) Resident memory once the list has shown its first and its last rows. The list goes
// first: Qt Sql's cache of every row would otherwise be counted in the list's figure.
void Memory_list(benchmark::State& state) {
    tvbench::listDataFolder(rowsOf(state));
    double mb = 0;
    for (auto _ : state) {
        auto list = openList();
        fillList(list.get());
        jumpToLast(list->grid());
        mb = residentMb();
    }
    state.counters["resident_MB"] = mb;
}

void Memory_qtsql(benchmark::State& state) {
    QtSqlList list(tvbench::listDataFile(rowsOf(state)));
    double mb = 0;
    for (auto _ : state) {
        list.open();
        list.fetchAll();
        jumpToLast(list.view());
        mb = residentMb();
    }
    state.counters["resident_MB"] = mb;
}

// CPU time of the whole process: the list reads its keys on threads of their own.
#define TV_SIZES \
    ->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()
BENCHMARK(FirstRows_list) TV_SIZES;
BENCHMARK(FirstRows_qtsql) TV_SIZES;
BENCHMARK(LastRow_list) TV_SIZES;
BENCHMARK(LastRowEarly_list) TV_SIZES;
BENCHMARK(LastRow_qtsql) TV_SIZES;
BENCHMARK(Count_list) TV_SIZES;
BENCHMARK(Count_qtsql) TV_SIZES;
BENCHMARK(CountDone_list)->Arg(100000)->Arg(1000000)->Unit(benchmark::kNanosecond);
BENCHMARK(CountDone_qtsql)->Arg(100000)->Arg(1000000)->Unit(benchmark::kNanosecond);
BENCHMARK(Memory_list)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(Memory_qtsql)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table;
    table.ours = "list";
    table.theirs = "Qt Sql";
    table.pairs = {{"_list", "_qtsql"}};
    table.units = true;
    table.counters = {{"Memory", {"resident_MB", "MB"}}};
    // The early jump is set beside Qt Sql's only jump to the last row.
    table.besideCase = {{"LastRowEarly", "LastRow"}};
    // Absolute targets at a million rows; the first rows are held to Qt Sql's instead.
    table.targets = {{"LastRow", "100 ms"}, {"LastRowEarly", "100 ms"}, {"Count", "100 ms"},
                     {"CountDone", "100 ms"}, {"Memory", "100 MB"}};
    table.noTarget = "ratio 1.5";
    table.otherRatioHeader = "CPU ratio";
    table.footnote = "(wall times; CPU ratio: processor time of the whole process, the list's "
                     "key-reading thread included)";
    tvbench::runWithRatios(table);
    tv::data::state().reset();
    return 0;
}
