#include "forms/framework/list_form.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data/record_values.h"
#include "data/user_rights.h"
#include "forms/framework/captions.h"
#include "forms/framework/code_styles.h"
#include "forms/framework/controls.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/filter_window.h"
#include "forms/framework/find_form.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/grid_layout.h"
#include "forms/framework/list_columns.h"
#include "forms/framework/list_export.h"
#include "forms/framework/list_model.h"
#include "forms/framework/print_list.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/record_window.h"
#include "forms/framework/status.h"
#include "forms/framework/twips.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"
#include "ui_list_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <initializer_list>

namespace tv::forms {

namespace {

// Messages.
constexpr int kNoRecordSelected = 100;
constexpr int kNothingToDelete = 103;
constexpr int kNoDeleteRight = 9134;
constexpr int kNothingToCopy = 104;
constexpr int kResetColumnsQuestion = 128;
constexpr int kExportFailed = 196;
constexpr int kExported = 197;
// Status messages.
constexpr int kRecordDeletedStatus = 902;
constexpr int kOpeningRecordStatus = 915;
constexpr int kOpeningNewRecordStatus = 9007;

// Design-time size in twips.
constexpr int kDefaultHeight = 4305;
constexpr int kDefaultWidth = 8055;
// The row header: wide enough to grab, too narrow for a caption.
constexpr int kRowHeaderWidth = 240;

const QString kWindowName = QStringLiteral("ListForm");

bool isOneOf(const QString& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return true;
    return false;
}

// The tables kept in the definitions database.
bool definitionsTable(const QString& name) {
    return isOneOf(name, {"Report Definitions", "Form Captions", "Field Definitions"});
}

// Lists that never create or delete records.
bool readOnlyList(const QString& name) {
    return isOneOf(name, {"Completed Requests", "Form Captions", "Field Definitions"});
}

}  // namespace

ListForm::ListForm(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ListForm>()), model_(new ListModel(this)) {
    ui->setupUi(this);
    setObjectName(kWindowName);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->TDBGrid1->setModel(model_);
    ui->TDBGrid1->installEventFilter(this);
    // The list shows its first rows at once and reads the rest behind them; the count
    // joins the title when every row is known.
    model_->followEnds(ui->TDBGrid1);
    connect(model_, &ListModel::keysCompleted, this, &ListForm::showCount);
    // Columns are dragged into the order the user wants; the narrow row header is the
    // handle that sets the height of every row (a grid's rows share one height).
    QHeaderView* columns = ui->TDBGrid1->horizontalHeader();
    columns->setSectionsMovable(true);
    // New columns start as wide as a reset makes them.
    columns->setDefaultSectionSize(twipsToPixelsX(kResetColumnWidth));
    QHeaderView* rows = ui->TDBGrid1->verticalHeader();
    rows->setVisible(true);
    rows->setFixedWidth(twipsToPixelsX(kRowHeaderWidth));
    rows->setSectionResizeMode(QHeaderView::Interactive);
    rows->setDefaultSectionSize(ui->TDBGrid1->fontMetrics().height() + 6);
    connect(rows, &QHeaderView::sectionResized, this, [this](int, int, int size) {
        if (!applyingRowHeight_) draggedRowHeight_ = size;
    });
    rows->viewport()->installEventFilter(this);

    for (QWidget* button : controlArray(this, QStringLiteral("ListCommand"))) {
        const int index = arrayIndex(button);
        connect(static_cast<QPushButton*>(button), &QPushButton::clicked, this,
                [this, index] { runCommand(index); });
        button->installEventFilter(this);  // Enter runs the button with the focus
    }
    connect(ui->TDBGrid1, &QTableView::doubleClicked, this, [this] { runCommand(Edit); });
    // Whoever gives the window the focus (the MDI area on activation) gives it to the rows.
    setFocusProxy(ui->TDBGrid1);

    // Load.
    const data::AppState& app = data::state();
    data::prompter().setPointer(app.BusyPointer, app.BusyIconPath);
    ApplyFormCaptions(this, kWindowName);
    tableName_ = app.SharedValues[0];
    if (QMdiSubWindow* sub = hostInMdi(this))
        connect(sub, &QMdiSubWindow::aboutToActivate, this, &ListForm::activate);
    RestoreWindowLayout(this, tableName_, kDefaultHeight, kDefaultWidth, kListWindow);
}

ListForm::~ListForm() = default;

QTableView* ListForm::grid() const { return ui->TDBGrid1; }

QPushButton* ListForm::commandButton(int index) const {
    return qobject_cast<QPushButton*>(arrayElement(this, QStringLiteral("ListCommand"), index));
}

int ListForm::database() const {
    return isDefinitionsTable_ ? data::kDefinitionsDb : data::kDataDb;
}

void ListForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Outside the MDI area the window itself is activated.
    if (event->type() == QEvent::ActivationChange && isWindow() && isActiveWindow()) activate();
}

void ListForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A display without a window manager may never activate the window; the list must
    // still fill itself once it is on screen.
    if (!activated_)
        QTimer::singleShot(0, this, [this] {
            if (!activated_) activate();
        });
}

void ListForm::activate() {
    if (!activated_) firstActivation();
    ShowStatusMessage(0);
    data::prompter().setPointer(data::kPointerDefault);
    if (refreshPending_) {
        refreshPending_ = false;
        refreshKeepingRow();
    }
}

void ListForm::firstActivation() {
    activated_ = true;
    const QString tag = tagOf(this);
    if (!tag.isEmpty()) tableName_ = tag;
    ApplyFormCaptions(this, tableName_);
    listTitle_ = windowTitle();

    buildColumns();
    RestoreGridLayout(ui->TDBGrid1, tableName_);
    LoadList(listQuery_.isEmpty());
    goToFirstRow();
    applyColourCoding();
    applyAccessRights();
    // The keyboard starts in the rows, so Enter opens the current one at once.
    ui->TDBGrid1->setFocus();
}

void ListForm::buildColumns() {
    model_->setColumns(ListColumns(tableName_));
    QHeaderView* header = ui->TDBGrid1->horizontalHeader();
    for (int i = 0; i < header->count(); ++i) header->setSectionHidden(i, false);
}

void ListForm::applyColourCoding() {
    auto columnCaptioned = [this](const QString& caption) {
        const auto& columns = model_->columns();
        for (size_t i = 0; i < columns.size(); ++i)
            if (columns[i].caption.compare(caption, Qt::CaseInsensitive) == 0)
                return static_cast<int>(i);
        return -1;
    };
    if (isOneOf(tableName_, {"Activities", "Scheduled Activities"})) {
        const int column = columnCaptioned(QStringLiteral("Activity Type"));
        if (column >= 0)
            model_->setCodeStyles(column, LoadCodeStyles(QStringLiteral("Activity Types"), true));
    } else if (isOneOf(tableName_, {"Current Requests", "Completed Requests"})) {
        const int column = columnCaptioned(QStringLiteral("Priority"));
        if (column >= 0)
            model_->setCodeStyles(column, LoadCodeStyles(QStringLiteral("Priority Codes"), false));
    } else if (isOneOf(tableName_, {"Form Letters"})) {
        // The letter text is far too long for a list cell.
        if (model_->columnCount() > 5) ui->TDBGrid1->setColumnHidden(5, true);
    } else if (isOneOf(tableName_, {"System Users"})) {
        // Passwords are stored as hashes, which mean nothing to a reader.
        if (model_->columnCount() > 9) ui->TDBGrid1->setColumnHidden(9, true);
    }
}

void ListForm::applyAccessRights() {
    auto enable = [this](int index, bool on) {
        if (QPushButton* b = commandButton(index)) b->setEnabled(on);
    };
    if (!data::hasRight(tableName_, data::kAddRight)) {
        enable(Add, false);
        enable(Copy, false);
    }
    if (!data::hasRight(tableName_, data::kEditRight)) enable(Edit, false);
    if (!data::hasRight(tableName_, data::kDeleteRight)) enable(Delete, false);
    if (readOnlyList(tableName_)) {
        enable(Add, false);
        enable(Copy, false);
        enable(Delete, false);
    }
}

void ListForm::LoadList(bool useDefault) {
    isDefinitionsTable_ = definitionsTable(tableName_);
    if (useDefault) {
        if (isOneOf(tableName_, {"Form Captions", "Field Definitions"})) {
            listQuery_ = QStringLiteral("SELECT * FROM [%1] ORDER BY 1,2,3").arg(tableName_);
        } else {
            // Sorted on the last column of the key (the key itself for one-column keys).
            const int k = std::max(1, data::KeyColumnCount(tableName_, database()));
            QString field;
            if (const auto def = tableDefinition(tableName_, database()))
                (void)data::attempt([&] { field = def->FieldAt(k - 1).Name(); });
            listQuery_ = QStringLiteral("SELECT * FROM [%1]").arg(tableName_);
            if (!field.isEmpty()) listQuery_ += QStringLiteral(" ORDER BY [%1]").arg(field);
        }
        bool descending = false;
        (void)data::attempt(
            [&] { descending = tv::SettingInt(tv::keys::DescendingSort(tableName_)) != 0; });
        if (descending) listQuery_ += QStringLiteral(" DESC");
    }

    (void)data::attempt([&] {
        if (rowSource_.IsOpen()) rowSource_.Close();
    });
    // The list command refuses a table the user may not view; whatever opened this window
    // anyway gets no rows.
    if (!data::hasRight(tableName_, data::kViewRight)) {
        model_->setRecordset(engine::Recordset());
        showCount();
        return;
    }
    // A query the engine refuses has been reported (message 194 with the engine's text);
    // the list then stays empty and the window usable.
    engine::Recordset rows = data::OpenTable(listQuery_, database(), engine::kKeysInChunks);
    if (rows.IsOpen()) (void)data::attempt([&] { rowSource_ = rows.Clone(); });
    model_->setRecordset(std::move(rows));

    if (!useDefault) {
        setWindowTitle(listTitle_);
        goToFirstRow();
    }
    if (model_->keysComplete()) showCount();
}

void ListForm::applyQuery(const QString& sql) {
    listQuery_ = sql;
    LoadList(false);
}

void ListForm::showCount() {
    setWindowTitle(listTitle_ + QStringLiteral(" (") + QString::number(model_->recordCount()) +
                   u')');
}

void ListForm::goToFirstRow() {
    QTableView* grid = ui->TDBGrid1;
    if (model_->rowCount() > 0 && model_->columnCount() > 0) {
        grid->setCurrentIndex(model_->index(0, 0));
        grid->scrollToTop();
    }
}

void ListForm::refreshKeepingRow() {
    QTableView* grid = ui->TDBGrid1;
    const QModelIndex current = grid->currentIndex();
    const int row = current.isValid() ? current.row() : 0;
    const int column = current.isValid() ? current.column() : 0;
    LoadList(false);
    model_->fetchTo(row);
    // Coming back from a record window the user expects to be where they were.
    if (model_->rowCount() > 0 && model_->columnCount() > 0) {
        const QModelIndex again = model_->index(std::min(row, model_->rowCount() - 1),
                                                std::min(column, model_->columnCount() - 1));
        grid->setCurrentIndex(again);
        grid->scrollTo(again);
    }
}

bool ListForm::positionOnCurrentRow() {
    const QModelIndex current = ui->TDBGrid1->currentIndex();
    if (!current.isValid() || !rowSource_.IsOpen()) return false;
    const std::optional<QByteArray> bookmark = model_->bookmark(current.row());
    if (!bookmark) return false;
    return !data::attempt([&] { rowSource_.SetBookmark(*bookmark); }).has_value();
}

void ListForm::runCommand(int index) {
    QPushButton* button = commandButton(index);
    if (button && !button->isEnabled()) return;
    ShowStatusMessage(0);
    (void)data::attempt([] { engine::Engine::instance().Idle(true); });
    switch (index) {
        case Add:
            addRecord();
            break;
        case Edit:
            editRecord();
            break;
        case Delete:
            deleteRecord();
            break;
        case Find:
            FindInList(this);
            break;
        case Filter:
            filterList();
            break;
        case Print:
            printList();
            break;
        case Refresh:
            LoadList(false);
            break;
        case Close:
            closeWindow();
            break;
        case Copy:
            copyRecord();
            break;
        case Export:
            exportList();
            break;
        default:
            break;  // Letter has no command here
    }
}

void ListForm::RemoteAdd() { runCommand(Add); }

void ListForm::closeWindow() {
    // Inside the MDI area the sub-window goes with the list.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void ListForm::addRecord() {
    int fields = 0;
    (void)data::attempt([&] { fields = rowSource_.IsOpen() ? rowSource_.FieldCount() : 0; });
    if (fields == 0) fields = tableFieldCount(tableName_, database());
    recordValues_.clear();
    recordValues_.resize(fields);
    data::NewRecordDefaults(tableName_, recordValues_);
    ShowStatusMessage(kOpeningNewRecordStatus);
    data::state().PendingEditMode = 1;
    OpenRecordWindow(tableName_, recordValues_);
    refreshPending_ = true;
}

void ListForm::editRecord() {
    if (!positionOnCurrentRow() || !data::ReadRecordToValues(rowSource_, recordValues_)) {
        data::ShowMessage(kNoRecordSelected);
        return;
    }
    ShowStatusMessage(kOpeningRecordStatus);
    data::state().PendingEditMode = 2;
    OpenRecordWindow(tagOf(this), recordValues_);
    refreshPending_ = true;
}

void ListForm::copyRecord() {
    if (!positionOnCurrentRow() || !data::ReadRecordToValues(rowSource_, recordValues_)) {
        data::ShowMessage(kNothingToCopy);
        return;
    }
    data::NewRecordDefaults(tableName_, recordValues_);
    // The copy is a new row: it must get a key of its own.
    const int k = data::KeyColumnCount(tableName_, database());
    if (k >= 1 && k <= 3) recordValues_(k).clear();
    ShowStatusMessage(kOpeningRecordStatus);
    data::state().PendingEditMode = 1;
    OpenRecordWindow(tagOf(this), recordValues_);
    refreshPending_ = true;
}

void ListForm::deleteRecord() {
    // The button follows the rights; the delete itself checks them again.
    if (!data::hasRight(tableName_, data::kDeleteRight)) {
        data::ShowMessage(kNoDeleteRight, tableName_);
        return;
    }
    if (!positionOnCurrentRow()) {
        data::ShowMessage(kNothingToDelete);
        return;
    }
    const int k = data::KeyColumnCount(tableName_, database());
    QStringList keys;
    (void)data::attempt([&] {
        const int count = std::clamp(k, 1, 3);
        for (int i = 0; i < count && i < rowSource_.FieldCount(); ++i)
            keys.append(tv::TextOf(rowSource_[i]));
    });
    while (keys.size() < 3) keys.append(QString());
    // DeleteRecord asks (message 101) with the keys on lines of their own.
    if (!data::DeleteRecord(tableName_, keys[0], keys[1], keys[2], true, database())) return;
    LoadList(false);
    keys.removeAll(QString());
    CloseRecordWindowsShowing(tableName_, keys);
    ShowStatusMessage(kRecordDeletedStatus);
}

void ListForm::filterList() {
    tv::forms::Filter filter(this);
    filter.setTableName(tableName_);
    filter.ListDataFields(ui->TDBGrid1);
    filter.LoadFilters();
    filter.exec();
    QString& query = data::state().SharedValues[0];
    if (!query.isEmpty()) {
        const QString sql = query;
        query.clear();
        applyQuery(sql);
    }
}

void ListForm::printList() {
    PrintListRequest request;
    request.tableName = listTitle_;
    request.heading = listTitle_;
    request.recordCount = tv::Format(tv::Variant(static_cast<std::int32_t>(model_->recordCount())),
                                     QStringLiteral("0"));
    request.grid = ui->TDBGrid1;
    request.rows = &rowSource_;
    PrintList(request);
}

void ListForm::exportList() {
    data::FileRequest ask;
    ask.title = GetCaptionText(QStringLiteral("ExportText"), QStringLiteral("Caption"));
    ask.filter = QStringLiteral(
        "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Comma Separated Files (*.csv)|*.csv");
    ask.flags = data::filedlg::kOverwritePrompt | data::filedlg::kHideReadOnly;
    QString path = data::prompter().saveFile(ask);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");

    data::prompter().setPointer(data::kPointerHourglass);
    const std::optional<QString> error = ExportList(path, model_->columns(), rowSource_);
    data::prompter().setPointer(data::kPointerDefault);
    if (error) {
        data::ShowMessage(kExportFailed, path + QStringLiteral("\n\n") + *error);
        return;
    }
    data::ShowMessage(kExported);
}

void ListForm::resetColumns() {
    if (data::ShowMessage(kResetColumnsQuestion) != data::msgbox::kYes) return;
    ResetGridLayout(ui->TDBGrid1, tagOf(this));
}

namespace {

Qt::KeyboardModifiers shiftCtrlAlt(const QKeyEvent* key) {
    return key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}

}  // namespace

void ListForm::applyDraggedRowHeight() {
    if (draggedRowHeight_ <= 0) return;
    // The header resizes only the row that was dragged; its height becomes every row's.
    applyingRowHeight_ = true;
    ui->TDBGrid1->verticalHeader()->setDefaultSectionSize(draggedRowHeight_);
    applyingRowHeight_ = false;
    draggedRowHeight_ = 0;
}

bool ListForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            shiftCtrlAlt(key) == Qt::NoModifier) {
            button->click();
            return true;
        }
    }
    if (watched == ui->TDBGrid1->verticalHeader()->viewport() &&
        event->type() == QEvent::MouseButtonRelease) {
        applyDraggedRowHeight();
        return false;
    }
    if (watched == ui->TDBGrid1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // The grid would take F2 as its edit key; here it resets the columns.
        if (key->key() == Qt::Key_F2 && shiftCtrlAlt(key) == Qt::NoModifier) {
            resetColumns();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            shiftCtrlAlt(key) == Qt::NoModifier) {
            runCommand(Edit);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ListForm::keyPressEvent(QKeyEvent* event) {
    // Keys that work wherever the focus is in the window (a button may have it).
    if (shiftCtrlAlt(event) == Qt::NoModifier) {
        switch (event->key()) {
            case Qt::Key_F2:
                resetColumns();
                return;
            case Qt::Key_F5:
                runCommand(Refresh);
                return;
            case Qt::Key_Escape:
                runCommand(Close);
                return;
            default:
                break;
        }
    }
    QWidget::keyPressEvent(event);
}

void ListForm::closeEvent(QCloseEvent* event) {
    // A list closed before it ever showed its columns has no layout worth keeping.
    if (activated_) {
        SaveGridLayout(ui->TDBGrid1, tableName_);
        SaveWindowLayout(this, tableName_, kListWindow);
    }
    activated_ = false;
    model_->clearRows();
    (void)data::attempt([&] {
        if (rowSource_.IsOpen()) rowSource_.Close();
    });
    event->accept();
}

}  // namespace tv::forms
