#include "forms/service/todo_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data/record_values.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/grid_layout.h"
#include "forms/framework/list_columns.h"
#include "forms/framework/list_model.h"
#include "forms/framework/print_list.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/status.h"
#include "forms/framework/twips.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"
#include "ui_todo_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

namespace tv::forms {

namespace {

const QString kWindowName = QStringLiteral("To Do");
const QString kRequests = QStringLiteral("Current Requests");

// Design-time size in twips.
constexpr int kDefaultHeight = 5565;
constexpr int kDefaultWidth = 7155;

constexpr int kOpeningRecordStatus = 915;
// A labour line whose request is no longer current.
constexpr int kRequestNotCurrent = 9186;

const char* const kTables[] = {"Scheduled Activities", "Current Requests", "Request Activities"};

}  // namespace

QString ToDoTable(int page) {
    if (page < 0 || page >= static_cast<int>(std::size(kTables))) return {};
    return QString::fromLatin1(kTables[page]);
}

QString ToDoQuery(const QString& table, const QString& user, tv::DateTime today) {
    const auto is = [&](int page) { return table.compare(ToDoTable(page), Qt::CaseInsensitive) == 0; };
    // The last second of the day: a plan at 23:59:30 is still today's.
    const QDate day = tv::toQDateTime(today).date();
    const QString dayEnd = engine::sqlLiteral(tv::Variant(
        tv::DateFromParts(day.year(), day.month(), day.day(), 23, 59, 59)));
    const QString who = engine::quoteLiteral(user);
    QString sql = QStringLiteral("SELECT * FROM [%1] ").arg(table);
    if (is(ToDoList::Scheduled)) {
        sql += QStringLiteral("WHERE SCHEDDATETIME <= %1 AND [USER ID] = %2 ").arg(dayEnd, who);
    } else if (is(ToDoList::Requests)) {
        sql += QStringLiteral("WHERE [PERSONNEL] = %1 ").arg(who);
    } else if (is(ToDoList::RActivities)) {
        sql += QStringLiteral("WHERE (SCHEDULED <> Null AND SCHEDULED <= %1) AND [PERSONNEL] = %2 "
                              "AND [COMPLETED] = Null ")
                   .arg(dayEnd, who);
    } else {
        return {};
    }
    // Ordered by the key's last column: the moment of a plan, the number of a request.
    const int k = std::max(1, data::KeyColumnCount(table));
    QString sort;
    if (const auto def = tableDefinition(table))
        (void)data::attempt([&] { sort = def->FieldAt(k - 1).Name(); });
    if (sort.isEmpty()) return {};
    sql += QStringLiteral("ORDER BY [%1]").arg(sort);
    bool descending = false;
    (void)data::attempt([&] { descending = tv::SettingInt(tv::keys::DescendingSort(table)) != 0; });
    if (descending) sql += QStringLiteral(" DESC");
    return sql;
}

ToDoList::ToDoList(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::ToDoList>()), model_(new ListModel(this)) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("ToDoList"));
    setAttribute(Qt::WA_DeleteOnClose);
    QTableView* grid = ui_->TDBGrid1;
    grid->setModel(model_);
    grid->installEventFilter(this);
    model_->followEnds(grid);
    QHeaderView* columns = grid->horizontalHeader();
    columns->setSectionsMovable(true);
    columns->setDefaultSectionSize(twipsToPixelsX(kResetColumnWidth));
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    connect(grid, &QTableView::doubleClicked, this, [this] { runCommand(Open); });
    for (QWidget* button : controlArray(this, QStringLiteral("ListCommand"))) {
        const int index = arrayIndex(button);
        connect(static_cast<QPushButton*>(button), &QPushButton::clicked, this,
                [this, index] { runCommand(index); });
    }
    setFocusProxy(grid);

    ApplyFormCaptions(this, kWindowName);
    ApplyTabCaptions(kWindowName, ui_->TabStrip1);
    // Every page's caption stays readable: the window is never narrower than its tabs.
    QTabBar* tabs = ui_->TabStrip1->tabBar();
    tabs->setUsesScrollButtons(false);
    ui_->TabStrip1->setMinimumWidth(tabs->sizeHint().width() + 2 * style()->pixelMetric(QStyle::PM_TabBarBaseOverlap) + 8);
    if (QMdiSubWindow* sub = hostInMdi(this))
        connect(sub, &QMdiSubWindow::aboutToActivate, this, &ToDoList::activate);
    RestoreWindowLayout(this, kWindowName, kDefaultHeight, kDefaultWidth, kListWindow);

    showPage(Scheduled);
    connect(ui_->TabStrip1, &QTabWidget::currentChanged, this, &ToDoList::showPage);
}

ToDoList::~ToDoList() = default;

QTableView* ToDoList::grid() const { return ui_->TDBGrid1; }

void ToDoList::showPage(int page) {
    const QString table = ToDoTable(page);
    if (table.isEmpty()) return;
    page_ = page;
    if (ui_->TabStrip1->currentIndex() != page) {
        const QSignalBlocker quiet(ui_->TabStrip1);
        ui_->TabStrip1->setCurrentIndex(page);
    }
    // One grid serves the three pages: it moves onto the chosen one.
    ui_->TabStrip1->widget(page)->layout()->addWidget(ui_->ListPanel);
    QTableView* grid = ui_->TDBGrid1;
    if (table.compare(layoutTable_, Qt::CaseInsensitive) != 0) {
        if (!layoutTable_.isEmpty()) SaveGridLayout(grid, layoutTable_);
        model_->clearRows();
        model_->setColumns(ListColumns(table));
        QHeaderView* header = grid->horizontalHeader();
        for (int i = 0; i < header->count(); ++i) header->setSectionHidden(i, false);
        layoutTable_ = table;
        RestoreGridLayout(grid, table);
    }
    loadRows();
    if (model_->rowCount() > 0 && model_->columnCount() > 0) {
        grid->setCurrentIndex(model_->index(0, 0));
        grid->scrollToTop();
    }
}

void ToDoList::loadRows() {
    refreshPending_ = false;
    // Other workstations' changes must be visible in the rows read now.
    (void)data::attempt([] { engine::Engine::instance().Idle(true); });
    (void)data::attempt([&] {
        if (rowSource_.IsOpen()) rowSource_.Close();
    });
    query_ = ToDoQuery(layoutTable_, data::state().CurrentUserId, data::prompter().now());
    if (query_.isEmpty()) {
        model_->clearRows();
        return;
    }
    // A query the engine refuses has been reported (message 194); the page stays empty.
    engine::Recordset rows = data::OpenTable(query_, data::kDataDb, engine::kKeysInChunks);
    if (rows.IsOpen()) (void)data::attempt([&] { rowSource_ = rows.Clone(); });
    model_->setRecordset(std::move(rows));
}

void ToDoList::refresh() {
    const QModelIndex current = ui_->TDBGrid1->currentIndex();
    loadRows();
    if (model_->rowCount() == 0 || model_->columnCount() == 0) return;
    const int row = std::clamp(current.isValid() ? current.row() : 0, 0, model_->rowCount() - 1);
    ui_->TDBGrid1->setCurrentIndex(model_->index(row, std::max(0, current.column())));
}

void ToDoList::activate() {
    if (refreshPending_) refresh();
}

bool ToDoList::positionOnCurrentRow() {
    const QModelIndex current = ui_->TDBGrid1->currentIndex();
    if (!current.isValid() || !rowSource_.IsOpen()) return false;
    const std::optional<QByteArray> bookmark = model_->bookmark(current.row());
    if (!bookmark) return false;
    return !data::attempt([&] { rowSource_.SetBookmark(*bookmark); }).has_value();
}

void ToDoList::runCommand(int command) {
    ShowStatusMessage(0);
    switch (command) {
        case Open:
            openRow();
            break;
        case Print:
            printRows();
            break;
        case Close:
            if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
                sub->close();
            else
                close();
            break;
        default:
            break;
    }
}

void ToDoList::openRow() {
    // An empty page has no row to open.
    if (!positionOnCurrentRow()) return;
    bool keyed = false;
    (void)data::attempt([&] { keyed = !tv::TextOf(rowSource_[0]).isEmpty(); });
    if (!keyed || !data::ReadRecordToValues(rowSource_, values_)) return;

    QString table = layoutTable_;
    if (page_ == RActivities) {
        // A labour line is worked on from its request.
        const QString requestNo = values_(1);
        if (!data::LoadRecord(kRequests, requestNo)) {
            data::ShowMessage(kRequestNotCurrent, requestNo);
            return;
        }
        values_ = data::state().FieldValues;
        table = kRequests;
    }
    ShowStatusMessage(kOpeningRecordStatus);
    data::state().PendingEditMode = 2;
    if (OpenRecordWindow(table, values_)) refreshPending_ = true;
}

void ToDoList::printRows() {
    PrintListRequest request;
    const QString heading =
        windowTitle() + QStringLiteral(" - ") +
        ui_->TabStrip1->tabText(page_).remove(QLatin1Char('&'));
    request.tableName = heading;
    request.heading = heading;
    request.recordCount = tv::Format(
        tv::Variant(static_cast<std::int32_t>(model_->recordCount())), QStringLiteral("0"));
    request.grid = ui_->TDBGrid1;
    request.rows = &rowSource_;
    PrintList(request);
}

bool ToDoList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->TDBGrid1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            runCommand(Open);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ToDoList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        runCommand(Close);
        return;
    }
    QWidget::keyPressEvent(event);
}

void ToDoList::closeEvent(QCloseEvent* event) {
    if (!layoutTable_.isEmpty()) SaveGridLayout(ui_->TDBGrid1, layoutTable_);
    SaveWindowLayout(this, kWindowName, kListWindow);
    model_->clearRows();
    (void)data::attempt([&] {
        if (rowSource_.IsOpen()) rowSource_.Close();
    });
    event->accept();
}

}  // namespace tv::forms
