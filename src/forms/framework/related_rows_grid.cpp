#include "forms/framework/related_rows_grid.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/failure.h"
#include "data/record_values.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/grid_layout.h"
#include "forms/framework/list_columns.h"
#include "forms/framework/list_model.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/record_window.h"
#include "forms/framework/status.h"
#include "forms/framework/twips.h"
#include "ui_related_rows_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <algorithm>

namespace tv::forms {

namespace {

// Messages.
constexpr int kNoRecordSelected = 100;
constexpr int kNothingToDelete = 103;
// Status messages.
constexpr int kRecordDeletedStatus = 902;
constexpr int kOpeningRecordStatus = 915;
constexpr int kOpeningNewRecordStatus = 9007;

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The 0-based ordinal of a column of the definition, -1 when it has none of that name.
int ordinalOf(const engine::TableDef& def, const QString& column) {
    for (int i = 0; i < def.FieldCount(); ++i) {
        if (sameName(def.FieldAt(i).Name(), column)) return i;
    }
    return -1;
}

// The owner's key as a literal of the link column's type; nothing when it is not one.
std::optional<QString> keyLiteral(const engine::Field& link, const QString& value) {
    switch (link.Type()) {
        case engine::FieldType::Text:
        case engine::FieldType::Memo:
            return engine::quoteLiteral(value);
        case engine::FieldType::Date: {
            std::optional<QString> literal;
            (void)data::attempt(
                [&] { literal = engine::sqlLiteral(tv::Variant(tv::CDate(tv::Variant(value)))); });
            return literal;
        }
        default:
            // A number is written bare; a text that is not one would only ever match nothing.
            if (!tv::IsNumeric(tv::Variant(value))) return std::nullopt;
            return engine::sqlLiteral(tv::Variant(tv::Val(value)));
    }
}

bool hasAccessEntry(const QString& table, data::AccessEntry* found) {
    for (const data::AccessEntry& entry : data::state().UserAccess) {
        if (!sameName(entry.TableName, table)) continue;
        *found = entry;
        return true;
    }
    return false;
}

}  // namespace

QString RelatedRowsQuery(const RelatedRows& rows) {
    if (rows.linkValue.isEmpty()) return {};
    const std::optional<engine::TableDef> def = tableDefinition(rows.table);
    if (!def) return {};
    QString sql;
    (void)data::attempt([&] {
        const int link = ordinalOf(*def, rows.linkColumn);
        if (link < 0) return;
        const std::optional<QString> value = keyLiteral(def->FieldAt(link), rows.linkValue);
        if (!value) return;
        QString sort = rows.sortColumn;
        if (sort.isEmpty()) {
            const int count = def->FieldCount();
            const int third = std::min(2, count - 1);
            sort = def->FieldAt(third).Name();
            if (sameName(sort, rows.linkColumn) && third > 0) sort = def->FieldAt(1).Name();
        }
        const QString also =
            rows.alsoColumn.isEmpty()
                ? QString()
                : QStringLiteral(" AND [%1] = %2")
                      .arg(rows.alsoColumn, engine::quoteLiteral(rows.alsoValue));
        sql = QStringLiteral("SELECT * FROM [%1] WHERE [%2] = %3%4 ORDER BY [%5]")
                  .arg(rows.table, def->FieldAt(link).Name(), *value, also, sort);
        bool descending = false;
        (void)data::attempt(
            [&] { descending = SettingInt(keys::DescendingSort(rows.table)) != 0; });
        if (descending) sql += QStringLiteral(" DESC");
    });
    return sql;
}

RelatedRowsGrid::RelatedRowsGrid(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::RelatedRowsGrid>()), model_(new ListModel(this)) {
    ui_->setupUi(this);
    QTableView* grid = ui_->TDBGrid1;
    grid->setModel(model_);
    grid->installEventFilter(this);
    QHeaderView* columns = grid->horizontalHeader();
    columns->setSectionsMovable(true);
    columns->setDefaultSectionSize(twipsToPixelsX(kResetColumnWidth));
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    for (int i = New; i <= Send; ++i) {
        QPushButton* b = button(i);
        connect(b, &QPushButton::clicked, this, [this, i] { runCommand(i); });
    }
    connect(grid, &QTableView::doubleClicked, this, [this] { runCommand(Open); });
    button(Send)->hide();
}

RelatedRowsGrid::~RelatedRowsGrid() = default;

QTableView* RelatedRowsGrid::view() const { return ui_->TDBGrid1; }

QPushButton* RelatedRowsGrid::button(int index) const {
    switch (index) {
        case New:
            return ui_->SubButton_0;
        case Open:
            return ui_->SubButton_1;
        case Delete:
            return ui_->SubButton_2;
        case Send:
            return ui_->SubButton_3;
        default:
            return nullptr;
    }
}

void RelatedRowsGrid::showRows(const RelatedRows& rows) {
    if (designedTips_.isEmpty()) {
        // The window has captioned the buttons by now; these are the tips to give back.
        for (int i = New; i <= Send; ++i) designedTips_ << button(i)->toolTip();
    }
    const bool otherTable = !sameName(rows.table, layoutTable_);
    if (otherTable) saveLayout();
    rows_ = rows;
    if (otherTable) {
        buildColumns();
        layoutTable_ = rows_.table;
        RestoreGridLayout(ui_->TDBGrid1, layoutTable_);
        if (hiddenColumn_ >= 0) ui_->TDBGrid1->setColumnHidden(hiddenColumn_, true);
    }
    load();
    applyButtonStates();
}

void RelatedRowsGrid::buildColumns() {
    QTableView* grid = ui_->TDBGrid1;
    for (int i = 0; i < model_->columnCount(); ++i) grid->setColumnHidden(i, false);
    std::vector<ListColumn> columns = ListColumns(rows_.table);
    hiddenColumn_ = -1;
    if (const std::optional<engine::TableDef> def = tableDefinition(rows_.table)) {
        (void)data::attempt([&] {
            const int link = ordinalOf(*def, rows_.linkColumn);
            for (size_t i = 0; i < columns.size(); ++i)
                if (columns[i].field == link) hiddenColumn_ = static_cast<int>(i);
        });
    }
    model_->setColumns(std::move(columns));
}

void RelatedRowsGrid::saveLayout() {
    if (layoutTable_.isEmpty() || model_->columnCount() == 0) return;
    // The list window shares the layout: a hidden column is saved with its own width.
    QTableView* grid = ui_->TDBGrid1;
    if (hiddenColumn_ >= 0) grid->setColumnHidden(hiddenColumn_, false);
    SaveGridLayout(grid, layoutTable_);
    if (hiddenColumn_ >= 0) grid->setColumnHidden(hiddenColumn_, true);
}

void RelatedRowsGrid::load() {
    refreshPending_ = false;
    // Other workstations' changes must be visible in the rows read now.
    (void)data::attempt([] { engine::Engine::instance().Idle(true); });
    query_ = RelatedRowsQuery(rows_);
    (void)data::attempt([&] {
        if (rowSource_.IsOpen()) rowSource_.Close();
    });
    if (query_.isEmpty()) {
        model_->clearRows();
        emit rowsRead();
        return;
    }
    // A query the engine refuses has been reported (message 194); the grid stays empty.
    engine::Recordset rs = data::OpenTable(query_);
    if (rs.IsOpen()) (void)data::attempt([&] { rowSource_ = rs.Clone(); });
    model_->setRecordset(std::move(rs));
    if (model_->rowCount() > 0 && model_->columnCount() > 0) {
        ui_->TDBGrid1->setCurrentIndex(model_->index(0, std::max(0, hiddenColumn_ == 0 ? 1 : 0)));
        ui_->TDBGrid1->scrollToTop();
    }
    emit rowsRead();
}

void RelatedRowsGrid::refresh() {
    QTableView* grid = ui_->TDBGrid1;
    const QModelIndex current = grid->currentIndex();
    load();
    if (current.isValid() && model_->rowCount() > 0) {
        const QModelIndex again =
            model_->index(std::min(current.row(), model_->rowCount() - 1), current.column());
        grid->setCurrentIndex(again);
        grid->scrollTo(again);
    }
}

void RelatedRowsGrid::refreshIfPending() {
    if (refreshPending_) refresh();
}

void RelatedRowsGrid::applyButtonStates() {
    bool newOn = rows_.allowNew && rows_.newUnavailable.isEmpty();
    bool openOn = rows_.allowOpen;
    bool deleteOn = rows_.allowDelete;
    data::AccessEntry entry;
    if (hasAccessEntry(rows_.table, &entry)) {
        newOn = newOn && entry.CanAdd;
        openOn = openOn && entry.CanEdit;
        deleteOn = deleteOn && entry.CanDelete;
    }
    const bool sendShown = rows_.sendCommand || !rows_.sendUnavailable.isEmpty();
    const bool sendOn = rows_.sendCommand && rows_.sendUnavailable.isEmpty();
    const bool states[] = {newOn, openOn, deleteOn, sendOn};
    const QString unavailable[] = {rows_.newUnavailable, QString(), QString(),
                                   rows_.sendUnavailable};
    for (int i = New; i <= Send; ++i) {
        QPushButton* b = button(i);
        b->setEnabled(states[i]);
        b->setToolTip(unavailable[i].isEmpty() ? designedTips_.value(i) : unavailable[i]);
    }
    button(Send)->setVisible(sendShown);
}

bool RelatedRowsGrid::positionOnSelectedRow() {
    const QModelIndex current = ui_->TDBGrid1->currentIndex();
    if (!current.isValid() || !rowSource_.IsOpen()) return false;
    const std::optional<QByteArray> bookmark = model_->bookmark(current.row());
    if (!bookmark) return false;
    return !data::attempt([&] { rowSource_.SetBookmark(*bookmark); }).has_value();
}

void RelatedRowsGrid::runCommand(int index) {
    QPushButton* b = button(index);
    if (!b || !b->isEnabled() || b->isHidden() || rows_.table.isEmpty()) return;
    ShowStatusMessage(0);
    (void)data::attempt([] { engine::Engine::instance().Idle(true); });
    switch (index) {
        case New:
            newRow();
            break;
        case Open:
            openRow();
            break;
        case Delete:
            deleteRow();
            break;
        case Send:
            sendRow();
            break;
        default:
            break;
    }
}

void RelatedRowsGrid::newRow() {
    if (rows_.newCommand) {
        if (rows_.newCommand()) refresh();
        return;
    }
    values_.clear();
    values_.resize(tableFieldCount(rows_.table));
    if (const std::optional<engine::TableDef> def = tableDefinition(rows_.table)) {
        (void)data::attempt([&] {
            const int link = ordinalOf(*def, rows_.linkColumn);
            if (link >= 0) values_(link + 1) = rows_.linkValue;
        });
    }
    if (rows_.newDefaults) rows_.newDefaults(values_);
    data::NewRecordDefaults(rows_.table, values_);
    ShowStatusMessage(kOpeningNewRecordStatus);
    data::state().PendingEditMode = 1;
    if (OpenRecordWindow(rows_.table, values_)) watch(rows_.table);
}

void RelatedRowsGrid::openRow() {
    bool read = positionOnSelectedRow();
    if (read) {
        (void)data::attempt([&] { read = !tv::TextOf(rowSource_[0]).isEmpty(); });
    }
    if (!read || !data::ReadRecordToValues(rowSource_, values_)) {
        data::ShowMessage(kNoRecordSelected);
        return;
    }
    if (rows_.openCommand) {
        if (rows_.openCommand(values_)) refresh();
        return;
    }
    ShowStatusMessage(kOpeningRecordStatus);
    data::state().PendingEditMode = 2;
    if (OpenRecordWindow(rows_.table, values_)) watch(rows_.table);
}

void RelatedRowsGrid::deleteRow() {
    if (!positionOnSelectedRow()) {
        data::ShowMessage(kNothingToDelete);
        return;
    }
    const int count = std::clamp(data::KeyColumnCount(rows_.table), 1, 3);
    QStringList keys;
    (void)data::attempt([&] {
        for (int i = 0; i < count && i < rowSource_.FieldCount(); ++i)
            keys.append(tv::TextOf(rowSource_[i]));
    });
    QStringList given = keys;
    while (given.size() < 3) given.append(QString());
    // DeleteRecord asks first (message 101) and runs the table's cascade with the delete.
    if (!data::DeleteRecord(rows_.table, given[0], given[1], given[2], true)) return;
    refresh();
    CloseRecordWindowsShowing(rows_.table, keys);
    ShowStatusMessage(kRecordDeletedStatus);
    emit rowDeleted(keys);
}

void RelatedRowsGrid::sendRow() {
    data::FieldValueArray row;
    if (positionOnSelectedRow()) data::ReadRecordToValues(rowSource_, row);
    rows_.sendCommand(row);
}

void RelatedRowsGrid::watch(const QString& table) {
    refreshPending_ = true;
    RecordWindow* window = GetRecordWindow(table);
    if (!window || window == watched_) return;
    if (watched_) disconnect(watched_, nullptr, this, nullptr);
    watched_ = window;
    connect(window, &QObject::destroyed, this, &RelatedRowsGrid::watchedWindowGone);
}

void RelatedRowsGrid::watchedWindowGone() { refreshIfPending(); }

bool RelatedRowsGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->TDBGrid1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                Qt::AltModifier)) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            runCommand(Open);
            return true;
        }
        if (plain && key->key() == Qt::Key_Delete) {
            runCommand(Delete);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tv::forms
