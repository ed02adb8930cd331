#include "forms/service/request_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/activity_log.h"
#include "data/counters.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data/sales_documents.h"
#include "data/service_hours.h"
#include "data/service_requests.h"
#include "data/user_rights.h"
#include "engine/engine.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/list_form.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/related_rows_grid.h"
#include "forms/framework/status.h"
#include "forms/framework/table_lookup.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"
#include "forms/sales/line_item_dialog.h"
#include "reports/document_printing.h"
#include "ui_request_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QCloseEvent>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace tv::forms {

namespace {

namespace col = data::request_column;

constexpr int kInvalidSchedule = 800;
constexpr int kNoOrderFound = 9181;
constexpr int kNothingToCharge = 9182;
constexpr int kCompletedReadOnly = 9184;
constexpr int kRequestSaved = 918;
constexpr int kRequestClosed = 924;
constexpr int kRequestReopened = 948;
constexpr int kNoViewRight = 9014;
constexpr int kSaveBeforeClosing = 9015;

const QString kLabourTable = QStringLiteral("Request Activities");
const QString kMaterialsTable = QStringLiteral("Request Materials");
const QString kSendWindow = QStringLiteral("SendSelect");
const QString kGeneralDate = QStringLiteral("General Date");

// SERVICE CONTRACTS and CUSTOMER INVENTORY columns shown (0-based).
constexpr int kContractType = 1;
constexpr int kContractExpiry = 4;
constexpr int kItemProduct = 1;
constexpr int kItemContract = 9;
constexpr int kItemWarranty = 13;

QString nowText() { return tv::Format(tv::Variant(data::prompter().now()), kGeneralDate); }

std::optional<tv::DateTime> momentOf(const QString& text) {
    tv::DateTime when;
    if (text.trimmed().isEmpty() || !tv::parseDateTime(text.trimmed(), &when)) return std::nullopt;
    return when;
}

QString dateText(const QString& stored, const char* pattern) {
    const std::optional<tv::DateTime> when = momentOf(stored);
    return when ? tv::Format(tv::Variant(*when), QLatin1String(pattern)) : QString();
}

// A figure as the Statistics tab shows it; text that is no number stays for the user.
QString figureText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (!trimmed.isEmpty() && !tv::IsNumeric(tv::Variant(trimmed))) return text;
    return data::hoursText(tv::Val(trimmed));
}

// Lists of open or completed requests show the moved request's new place at once, keeping
// the filter they show.
void refreshRequestLists() {
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* list = qobject_cast<ListForm*>(widget);
        if (!list) continue;
        const QString table = list->TableName();
        if (table.compare(data::kCurrentRequests, Qt::CaseInsensitive) == 0 ||
            table.compare(data::kCompletedRequests, Qt::CaseInsensitive) == 0)
            list->runCommand(ListForm::Refresh);
    }
}

// The next free number of a request's lines in the table (its second key column).
int nextLineNumber(const QString& table, const QString& keyColumn, const QString& requestNo) {
    // The number as SQL reads it, whatever the box holds.
    const QString number = QString::number(static_cast<qint64>(tv::Val(requestNo)));
    engine::Recordset rs = data::OpenTable(QStringLiteral("SELECT Max([%1]) FROM [%2] WHERE [REQUESTNO] = %3")
                                               .arg(keyColumn, table.toUpper(), number));
    int last = 0;
    if (rs.IsOpen()) {
        (void)data::attempt([&] {
            if (!rs.EOF_()) last = static_cast<int>(tv::numberOf(rs[0]).value_or(0.0));
        });
        rs.Close();
    }
    return last + 1;
}

}  // namespace

RequestWindow::RequestWindow(QWidget* parent)
    : RecordWindow(parent), ui_(std::make_unique<Ui::Request>()) {
    ui_->setupUi(this);
    labels_ = DesignedLabels(this);

    labour_ = new RelatedRowsGrid(ui_->ActivitiesTab);
    ui_->ActivitiesTab->layout()->addWidget(labour_);
    materials_ = new RelatedRowsGrid(ui_->MaterialsTab);
    ui_->MaterialsTab->layout()->addWidget(materials_);
    for (RelatedRowsGrid* grid : {labour_, materials_}) {
        connect(grid, &RelatedRowsGrid::rowsRead, this, &RequestWindow::recomputeTotals);
        connect(grid, &RelatedRowsGrid::rowDeleted, this, &RequestWindow::recomputeTotals);
    }
    setUpLists();
    // In the tab order the grids and their buttons come where the pages' fields do.
    QWidget* chain[] = {ui_->TabStrip1,
                        labour_->view(),
                        labour_->button(RelatedRowsGrid::New),
                        labour_->button(RelatedRowsGrid::Open),
                        labour_->button(RelatedRowsGrid::Delete),
                        materials_->view(),
                        materials_->button(RelatedRowsGrid::New),
                        materials_->button(RelatedRowsGrid::Open),
                        materials_->button(RelatedRowsGrid::Delete),
                        ui_->CustomerName};
    for (size_t i = 0; i + 1 < std::size(chain); ++i) setTabOrder(chain[i], chain[i + 1]);

    connect(ui_->ListCommand_0, &QPushButton::clicked, this, [this] { ListCommand(0); });
    connect(ui_->ListCommand_1, &QPushButton::clicked, this, [this] { ListCommand(1); });
    connect(ui_->ListCommand_2, &QPushButton::clicked, this, [this] { ListCommand(2); });
    connect(ui_->ListCommand_3, &QPushButton::clicked, this, [this] { ListCommand(3); });
    connect(ui_->ListCommand_4, &QPushButton::clicked, this, [this] { ListCommand(4); });
    connect(ui_->CloseRequest, &QPushButton::clicked, this, &RequestWindow::CloseRequest);
    connect(ui_->Respondf, &QPushButton::clicked, this, &RequestWindow::Respondf);
    connect(ui_->RaiseOrder, &QPushButton::clicked, this, &RequestWindow::RaiseOrder);
    connect(ui_->Searchf, &QToolButton::clicked, this, &RequestWindow::lookUpCustomer);
    connect(ui_->TabStrip1, &QTabWidget::currentChanged, this, &RequestWindow::tabChosen);

    // Field reactions.
    connect(ui_->WorkGroup, &QComboBox::activated, this, [this] { fillMomentIfEmpty(ui_->Allocated); });
    connect(ui_->AllocatedPerson, &QComboBox::activated, this, [this] { fillMomentIfEmpty(ui_->Allocated); });
    connect(ui_->ResolutionCode, &QComboBox::activated, this, [this] { fillMomentIfEmpty(ui_->Completed); });
    connect(ui_->ContractNo, &QComboBox::activated, this, &RequestWindow::showContract);
    connect(ui_->ContractNo->lineEdit(), &QLineEdit::editingFinished, this, &RequestWindow::showContract);
    connect(ui_->ItemId, &QComboBox::activated, this, &RequestWindow::itemChosen);
    connect(ui_->ScheduledDateTime, &QLineEdit::textChanged, this, &RequestWindow::showSchedule);
    connect(ui_->CustomerName, &QLineEdit::textChanged, this, [this] {
        ui_->ContactName->invalidate();
        ui_->ContractNo->invalidate();
        ui_->ItemId->invalidate();
    });
}

RequestWindow::~RequestWindow() = default;

QString RequestWindow::defaultTableName() const { return data::kCurrentRequests; }

QSize RequestWindow::defaultSizeTwips() const { return QSize(12300, 8400); }

QWidget* RequestWindow::saveButton() const { return ui_->ListCommand_1; }

int RequestWindow::savedStatusMessage() const { return kRequestSaved; }

bool RequestWindow::isCompleted() const {
    return tableName().compare(data::kCompletedRequests, Qt::CaseInsensitive) == 0;
}

QString RequestWindow::requestNo() const { return ui_->RequestNo->text().trimmed(); }

void RequestWindow::setUpLists() {
    const std::pair<PickList*, const char*> codes[] = {
        {ui_->RequestType, "Request Types"},   {ui_->Priority, "Priority Codes"},
        {ui_->CurrentStatus, "Status Codes"},  {ui_->WorkGroup, "Support Areas"},
        {ui_->AllocatedPerson, "System Users"}, {ui_->ResolutionCode, "Resolution Codes"},
        {ui_->ProductCode, "Products"}};
    for (const auto& [list, table] : codes) list->setSource(tableColumn(QLatin1String(table), 0));
    // The customer's own contacts, contracts and items.
    const auto ofCustomer = [this](const char* table, const char* order, int column) {
        return [this, table, order, column] {
            return tableColumn(QStringLiteral("SELECT * FROM [%1] WHERE [CUSTOMER NAME] = ").arg(QLatin1String(table)) +
                                   engine::quoteLiteral(ui_->CustomerName->text().trimmed()) +
                                   QStringLiteral(" ORDER BY [%1]").arg(QLatin1String(order)),
                               column)();
        };
    };
    ui_->ContactName->setSource(ofCustomer("CONTACTS", "CONTACT NAME", 1));
    ui_->ContractNo->setSource(ofCustomer("SERVICE CONTRACTS", "CONTRACTID", 0));
    ui_->ItemId->setSource(ofCustomer("CUSTOMER INVENTORY", "ITEMID", 0));
}

void RequestWindow::afterLoad() {
    labels_.restoreAccessKeys();
    QWidget* frame = windowFrame(this);
    frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
}

void RequestWindow::rowShown() {
    moved_ = false;
    for (QLineEdit* box : {ui_->LeadTime, ui_->DownTime, ui_->ResponseTime, ui_->HoursWorked,
                           ui_->TotalCost, ui_->TotalCharged})
        box->setText(figureText(box->text()));
    if (tv::Val(ui_->SalesOrderNo->text()) == 0.0) ui_->SalesOrderNo->clear();
    showSchedule();
    showContract();
    ui_->WarrantyExpiry->setText(
        ui_->ItemId->currentText().trimmed().isEmpty()
            ? QString()
            : dateText(data::GetFieldText(QStringLiteral("Customer Inventory"), ui_->ItemId->currentText().trimmed(),
                                          QString(), kItemWarranty),
                       "Short Date"));
    // PrepareRecordWindow has set the close button's caption for the table.
    showGrids();
    applyReadOnly();
    ui_->TabStrip1->setCurrentIndex(0);
}

void RequestWindow::afterActivate() {
    if (isCompleted()) ui_->ListCommand_1->setEnabled(false);
    // Lines saved in their own windows meanwhile.
    labour_->refreshIfPending();
    materials_->refreshIfPending();
}

void RequestWindow::showGrids() {
    const bool open = !isCompleted();
    RequestWindow* self = this;

    RelatedRows labour;
    labour.table = kLabourTable;
    labour.linkColumn = QStringLiteral("REQUESTNO");
    labour.linkValue = requestNo();
    labour.allowNew = labour.allowOpen = labour.allowDelete = open;
    labour.newDefaults = [self](data::FieldValueArray& values) {
        values(2) = QString::number(nextLineNumber(kLabourTable, QStringLiteral("ACTIVITYNO"), self->requestNo()));
        values(3) = nowText();
        values(4) = self->ui_->WorkGroup->currentText().trimmed();
        values(5) = self->ui_->AllocatedPerson->currentText().trimmed();
    };

    RelatedRows materials;
    materials.table = kMaterialsTable;
    materials.linkColumn = QStringLiteral("REQUESTNO");
    materials.linkValue = requestNo();
    materials.sortColumn = QStringLiteral("LINENO");
    materials.allowNew = materials.allowOpen = materials.allowDelete = open;
    materials.newCommand = [self] { return self->editMaterial(nullptr); };
    materials.openCommand = [self](const data::FieldValueArray& row) {
        const QStringList values = row.toList();
        return self->editMaterial(&values);
    };

    if (labour.linkValue.isEmpty()) {
        // Lines hang on the request number: a request never saved is saved (and numbered)
        // first; the grids then take the number and the line is added through them.
        const auto saveThenNew = [self](RelatedRowsGrid* grid) {
            if (!self->save()) return false;
            QTimer::singleShot(0, self, [grid] { grid->runCommand(RelatedRowsGrid::New); });
            return false;
        };
        labour.newCommand = [self, saveThenNew] { return saveThenNew(self->labour_); };
        materials.newCommand = [self, saveThenNew] { return saveThenNew(self->materials_); };
    }
    labour_->showRows(labour);
    materials_->showRows(materials);
}

void RequestWindow::applyReadOnly() {
    const bool open = !isCompleted();
    for (QObject* control : taggedControls(this)) {
        if (boundOrdinal(control) <= 0) continue;
        if (auto* box = qobject_cast<QLineEdit*>(control)) {
            // The figures and the number are never typed.
            if (box != ui_->RequestNo && box->focusPolicy() != Qt::ClickFocus) box->setReadOnly(!open);
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
            memo->setReadOnly(!open);
        } else if (auto* widget = qobject_cast<QWidget*>(control)) {
            if (qobject_cast<QComboBox*>(widget) || qobject_cast<QCheckBox*>(widget)) widget->setEnabled(open);
        }
    }
    for (QWidget* w : {static_cast<QWidget*>(ui_->ScheduleDate), static_cast<QWidget*>(ui_->ScheduleTime)})
        static_cast<QLineEdit*>(w)->setReadOnly(!open);
    ui_->Searchf->setEnabled(open);
    ui_->Respondf->setEnabled(open);
    ui_->ListCommand_1->setEnabled(open && CanSave(tableName(), localEditMode()));
    // An order raised for a completed request can still be looked at.
    ui_->RaiseOrder->setEnabled(open || !ui_->SalesOrderNo->text().trimmed().isEmpty());
}

void RequestWindow::fillMomentIfEmpty(QLineEdit* box) {
    if (box->text().trimmed().isEmpty()) box->setText(nowText());
}

void RequestWindow::showContract() {
    const QString contract = ui_->ContractNo->currentText().trimmed();
    if (contract.isEmpty()) {
        ui_->ContractType->clear();
        ui_->ContractExpiry->clear();
        return;
    }
    const QString table = QStringLiteral("Service Contracts");
    ui_->ContractType->setText(data::GetFieldText(table, contract, QString(), kContractType));
    ui_->ContractExpiry->setText(
        dateText(data::GetFieldText(table, contract, QString(), kContractExpiry), "Short Date"));
}

void RequestWindow::itemChosen() {
    const QString item = ui_->ItemId->currentText().trimmed();
    const QString table = QStringLiteral("Customer Inventory");
    ui_->ProductCode->setEditText(data::GetFieldText(table, item, QString(), kItemProduct));
    ui_->WarrantyExpiry->setText(dateText(data::GetFieldText(table, item, QString(), kItemWarranty), "Short Date"));
    ui_->ContractNo->setEditText(data::GetFieldText(table, item, QString(), kItemContract));
    showContract();
}

void RequestWindow::showSchedule() {
    const QString stored = ui_->ScheduledDateTime->text();
    ui_->ScheduleDate->setText(dateText(stored, "Short Date"));
    ui_->ScheduleTime->setText(dateText(stored, "Short Time"));
}

bool RequestWindow::checkSchedule() {
    const QString date = ui_->ScheduleDate->text().trimmed();
    if (date.isEmpty()) {
        ui_->ScheduledDateTime->clear();
        return true;
    }
    const QString time = ui_->ScheduleTime->text().trimmed();
    const std::optional<tv::DateTime> when = momentOf(time.isEmpty() ? date : date + u' ' + time);
    if (!when) {
        ui_->TabStrip1->setCurrentWidget(ui_->ScheduleTab);
        ui_->ScheduleDate->setFocus(Qt::OtherFocusReason);
        data::ShowMessage(kInvalidSchedule);
        return false;
    }
    // Written without its echo into the date and time boxes, which keep what was typed.
    const QSignalBlocker quiet(ui_->ScheduledDateTime);
    ui_->ScheduledDateTime->setText(tv::Format(tv::Variant(*when), kGeneralDate));
    return true;
}

void RequestWindow::tabChosen(int index) {
    if (ui_->TabStrip1->widget(index) == ui_->StatisticsTab && !isCompleted()) recomputeTimes();
}

void RequestWindow::recomputeTimes() {
    const std::optional<tv::DateTime> requested = momentOf(ui_->Requested->text());
    if (!requested) return;
    const QString lead = data::hoursText(data::ServiceHours(*requested, data::prompter().now()));
    ui_->LeadTime->setText(lead);
    ui_->DownTime->setText(ui_->DownFlag->isChecked() ? lead : data::hoursText(0.0));
}

void RequestWindow::recomputeTotals() {
    const std::optional<data::RequestTotals> totals = data::RequestLineTotals(requestNo());
    if (!totals) return;  // the lines could not be read (message 194); the figures stay
    ui_->HoursWorked->setText(data::hoursText(totals->hours));
    ui_->TotalCost->setText(data::moneyText(totals->cost));
    ui_->TotalCharged->setText(data::moneyText(totals->charge));
}

bool RequestWindow::beforeSave() {
    if (isCompleted()) {
        data::ShowMessage(kCompletedReadOnly);
        return false;
    }
    if (!checkSchedule()) return false;
    wasNew_ = localEditMode() != 2;
    if (tv::Val(ui_->RequestNo->text()) == 0.0) {
        const std::int32_t number = data::NextCounter(data::kCurrentRequests);
        if (number <= 0) return false;  // the counter has said why
        ui_->RequestNo->setText(QString::number(number));
    }
    return true;
}

void RequestWindow::afterSave() {
    if (wasNew_) {
        data::LogNewRecord(data::kCurrentRequests, requestNo(), ui_->CustomerName->text().trimmed(),
                           ui_->ContactName->currentText().trimmed());
        wasNew_ = false;
        // The grids now have a number to hang lines on. Not at once: the save may have
        // been asked for by a grid's own command, which must not lose its rows under it.
        QTimer::singleShot(0, this, &RequestWindow::showGrids);
    }
}

void RequestWindow::ListCommand(int index) {
    switch (index) {
        case 0: printJobSheet(); break;
        case 1:
            if (ui_->ListCommand_1->isEnabled()) save();
            break;
        case 2: close(); break;
        case 3: sendForRequest(); break;
        case 4: openKnownProblems(); break;
        default: break;
    }
}

void RequestWindow::CloseRequest() {
    if (isCompleted()) {
        // Nothing of a completed request can have been changed: it is moved as stored.
        if (data::ReopenServiceRequest(requestNo()) != data::RequestMove::Moved) return;
        moved_ = true;
        refreshRequestLists();
        ShowStatusMessage(kRequestReopened);
        close();
        return;
    }
    recomputeTimes();
    // The row is stored as shown, then moved whole.
    if (!save()) {
        data::ShowMessage(801);
        return;
    }
    if (data::CloseServiceRequest(requestNo()) != data::RequestMove::Moved) return;
    moved_ = true;
    refreshRequestLists();
    ShowStatusMessage(kRequestClosed);
    close();
}

void RequestWindow::Respondf() {
    const std::optional<tv::DateTime> requested = momentOf(ui_->Requested->text());
    if (!requested) return;
    ui_->ResponseTime->setText(data::hoursText(data::ServiceHours(*requested, data::prompter().now())));
}

void RequestWindow::RaiseOrder() {
    const QString existing = ui_->SalesOrderNo->text().trimmed();
    if (!existing.isEmpty() && tv::Val(existing) != 0.0) {
        if (!openOrder(existing)) data::ShowMessage(kNoOrderFound, existing);
        return;
    }
    if (tv::Val(ui_->TotalCharged->text()) == 0.0) {
        data::ShowMessage(kNothingToCharge);
        return;
    }
    // The order is made from the stored request and its stored lines.
    if (!save()) return;
    const std::int32_t order = data::RaiseRequestOrder(tableName(), requestNo());
    if (order <= 0) return;
    ui_->SalesOrderNo->setText(QString::number(order));
    save();
    openOrder(QString::number(order));
}

bool RequestWindow::openOrder(const QString& orderNo) {
    const QString orders = data::documentTable(data::SalesDocument::Order);
    if (!data::LoadRecord(orders, orderNo)) return false;
    // A copy: opening the window reads other rows into the shared buffer.
    const data::FieldValueArray values = data::state().FieldValues;
    data::state().PendingEditMode = 2;
    return OpenRecordWindow(orders, values);
}

bool RequestWindow::editMaterial(const QStringList* row) {
    const QString number = requestNo();
    if (number.isEmpty()) return false;
    data::DocumentLine line;
    int lineNumber = 0;
    if (row) {
        lineNumber = static_cast<int>(tv::Val(row->value(1)));
        line.productCode = row->value(2);
        line.description = row->value(3);
        line.quantity = tv::Val(row->value(4));
        line.unitPrice = tv::Val(row->value(5));
        line.discountRate = tv::Val(row->value(6));
        line.taxRate = tv::Val(row->value(7));
        line.lineValue = tv::Val(row->value(8));
    } else {
        lineNumber = nextLineNumber(kMaterialsTable, QStringLiteral("LINENO"), number);
    }
    LineItemDialog dialog(this, kMaterialsTable, number, lineNumber, row ? &line : nullptr);
    if (dialog.exec() != QDialog::Accepted) return false;
    const data::DocumentLine saved = dialog.line();
    const auto text = [](double v) { return tv::Format(tv::Variant(v), QStringLiteral("General Number")); };
    const QStringList values{number, QString::number(lineNumber), saved.productCode, saved.description,
                             text(saved.quantity), text(saved.unitPrice), text(saved.discountRate),
                             text(saved.taxRate), text(saved.lineValue)};
    // A new line takes its number as it is written (another workstation may have added one).
    if (!row) return data::AddNextLine(kMaterialsTable, values, 1).has_value();
    return data::SaveRecord(kMaterialsTable, values, true);
}

void RequestWindow::printJobSheet() {
    reports::PrintDocument(reports::requestDocument(tableName()), requestNo(), windowTitle());
}

void RequestWindow::openKnownProblems() {
    const QString table = QStringLiteral("Known Problems");
    if (!data::hasRight(table, data::kViewRight)) {
        data::ShowMessage(kNoViewRight, table);
        return;
    }
    // Opened as the main window opens a list: the table in SharedValues(0), the tag.
    data::state().SharedValues[0] = table;
    auto* list = new ListForm();
    list->setObjectName(QStringLiteral("ListForm"));
    setTag(list, table);
    if (QMdiSubWindow* sub = hostInMdi(list)) {
        sub->show();
        if (QMdiArea* area = mdiArea()) area->setActiveSubWindow(sub);
    }
    list->show();
}

void RequestWindow::sendForRequest() {
    data::state().SharedValues[0] = ui_->CustomerName->text().trimmed();
    QWidget* w = createWindow(kSendWindow, window());
    if (!w) {
        QApplication::beep();
        return;
    }
    for (const auto& [box, text] : {std::pair{"CustomerName", ui_->CustomerName->text().trimmed()},
                                    std::pair{"ContactName", ui_->ContactName->currentText().trimmed()}}) {
        if (QObject* control = w->findChild<QObject*>(QLatin1String(box))) setControlValue(control, text);
    }
    if (w->metaObject()->indexOfMethod("LoadContactNumbers()") >= 0)
        QMetaObject::invokeMethod(w, "LoadContactNumbers");
    if (auto* dialog = qobject_cast<QDialog*>(w)) {
        dialog->exec();
        delete dialog;
    } else {
        w->setAttribute(Qt::WA_DeleteOnClose);
        hostInMdi(w);
        w->show();
    }
}

void RequestWindow::lookUpCustomer() {
    const QString picked = RunTableLookup(this, QStringLiteral("Customers"), 1, ui_->CustomerName->text());
    if (!picked.isEmpty()) ui_->CustomerName->setText(picked);
}

void RequestWindow::closeEvent(QCloseEvent* event) {
    // A moved request has left the table the window was showing: there is nothing to save
    // it back into.
    if (!moved_ && !isCompleted() && !offerToSave(kSaveBeforeClosing)) {
        event->ignore();
        return;
    }
    labour_->saveLayout();
    materials_->saveLayout();
    RecordWindow::closeEvent(event);
}

}  // namespace tv::forms
