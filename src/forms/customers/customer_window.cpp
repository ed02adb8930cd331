#include "forms/customers/customer_window.h"

#include "core/format.h"
#include "core/paths.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/locations.h"
#include "data/prompter.h"
#include "forms/framework/controls.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/status.h"
#include "forms/framework/related_rows_grid.h"
#include "forms/framework/table_lookup.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"
#include "reports/page_table.h"
#include "ui_customer_window.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QToolButton>
#include <cmath>
#include <iterator>

namespace tv::forms {

namespace {

const QString kTable = QStringLiteral("Customers");
const QString kLinkColumn = QStringLiteral("CUSTOMER NAME");
constexpr int kSavedStatus = 901;
constexpr int kSaveChanges = 9015;
constexpr int kRequiredFieldEmpty = 9016;
constexpr int kCustomerNotSaved = 9071;
// FIRSTDATE, LASTDATE and NEXTDATE by their controls' ordinals.
constexpr int kFirstDateOrdinal = 21;
constexpr int kLastDateOrdinal = 22;
constexpr int kNextDateOrdinal = 23;
// CUSTOMERS.ACCOUNTNO, counted from 0 as GetFieldText reads it.
constexpr int kAccountNoColumn = 23;

// Windows opened by name for the customer; each is used once it is registered.
const QString kSendWindow = QStringLiteral("SendSelect");
const QString kScriptWindow = QStringLiteral("SelectScript");
const QString kCarePlanWindow = QStringLiteral("CarePlan");
const QString kBillingWindow = QStringLiteral("BillInfo");

bool is(const QString& table, const char* name) {
    return table.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// What a new related row takes from the window, by table and column ordinal.
enum class From { Telephone, Fax, EMail, TimeZone, Street, City, State, PostCode, Now, Today,
                  WeekAhead, User, Campaign, AccountNo };

struct NewRowDefault {
    const char* table;
    int ordinal;
    From from;
};

const NewRowDefault kNewRowDefaults[] = {
    {"Contacts", 4, From::Telephone},      {"Contacts", 7, From::Fax},
    {"Contacts", 8, From::EMail},          {"Contacts", 10, From::TimeZone},
    {"Contacts", 13, From::Street},        {"Contacts", 14, From::City},
    {"Contacts", 15, From::State},         {"Contacts", 16, From::PostCode},
    {"Contacts", 17, From::Today},         {"Activities", 2, From::Now},
    {"Activities", 5, From::User},         {"Activities", 7, From::Campaign},
    {"Scheduled Activities", 2, From::Now}, {"Scheduled Activities", 5, From::User},
    {"Scheduled Activities", 7, From::Campaign}, {"Sales Orders", 2, From::Today},
    {"Sales Orders", 3, From::AccountNo},  {"Sales Orders", 7, From::WeekAhead},
    {"Sales Orders", 8, From::Campaign},   {"Sales Orders", 9, From::User},
    {"Quotations", 2, From::Today},        {"Quotations", 3, From::WeekAhead},
    {"Quotations", 6, From::Campaign},     {"Quotations", 7, From::User},
    {"RMAs", 2, From::Now},                {"RMAs", 3, From::User},
    {"Customer Attachments", 2, From::Now}, {"Customer Attachments", 3, From::User},
};

// Send: the grid column (counted from 0) that names the contact, by table.
struct ContactColumn {
    const char* table;
    int column;
};

const ContactColumn kContactColumns[] = {
    {"Contacts", 1},           {"Sales Opportunities", 3}, {"Customer Care Plan Status", 3},
    {"Sales Orders", 4},       {"Quotations", 4},          {"Scripts History", 4},
    {"RMAs", 4},               {"Activities", 5},          {"Scheduled Activities", 5},
    {"Current Requests", 9},   {"Completed Requests", 9},
};

}  // namespace

CustomerWindow::CustomerWindow(QWidget* parent)
    : RecordWindow(parent), ui_(std::make_unique<Ui::Customer>()) {
    ui_->setupUi(this);
    labels_ = DesignedLabels(this);
    const std::pair<PickList*, const char*> lists[] = {
        {ui_->Country, "Countries"},           {ui_->Industry, "Industry Codes"},
        {ui_->Territory, "Sales Territories"}, {ui_->SalesRep, "System Users"},
        {ui_->Campaign, "Sales Campaigns"},    {ui_->Relationship, "Relationship Codes"},
        {ui_->TimeZone, "Time Zones"}};
    for (const auto& [list, table] : lists) list->setSource(tableColumn(QLatin1String(table), 0));
    // One grid serves every related page; it moves to the page chosen.
    grid_ = new RelatedRowsGrid(ui_->ContactsTab);
    ui_->ContactsTab->layout()->addWidget(grid_);
    // In the tab order the grid and its buttons come where the pages' fields do.
    QWidget* chain[] = {ui_->TabStrip1,
                        grid_->view(),
                        grid_->button(RelatedRowsGrid::New),
                        grid_->button(RelatedRowsGrid::Open),
                        grid_->button(RelatedRowsGrid::Delete),
                        grid_->button(RelatedRowsGrid::Send),
                        ui_->PStreet};
    for (size_t i = 0; i + 1 < std::size(chain); ++i) setTabOrder(chain[i], chain[i + 1]);

    connect(ui_->ListCommand_0, &QPushButton::clicked, this, [this] { save(); });
    connect(ui_->ListCommand_1, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->ListCommand_2, &QPushButton::clicked, this,
            [this] { runForCustomer(kBillingWindow); });
    connect(ui_->ListCommand_3, &QPushButton::clicked, this, [this] { printCustomer(); });
    connect(ui_->CopyAddress_0, &QPushButton::clicked, this, [this] { CopyAddress(0); });
    connect(ui_->CopyAddress_1, &QPushButton::clicked, this, [this] { CopyAddress(1); });
    connect(ui_->Searchf, &QToolButton::clicked, this, [this] { lookUpCustomer(); });
    connect(ui_->TabStrip1, &QTabWidget::currentChanged, this, &CustomerWindow::tabChosen);
}

CustomerWindow::~CustomerWindow() = default;

QString CustomerWindow::defaultTableName() const { return kTable; }

QSize CustomerWindow::defaultSizeTwips() const { return QSize(10695, 7035); }

QWidget* CustomerWindow::saveButton() const { return ui_->ListCommand_0; }

int CustomerWindow::savedStatusMessage() const { return kSavedStatus; }

QPushButton* CustomerWindow::command(int index) const {
    return qobject_cast<QPushButton*>(arrayElement(this, QStringLiteral("ListCommand"), index));
}

void CustomerWindow::afterLoad() {
    labels_.restoreAccessKeys();
    // The design size (or one remembered at another text scale) must not cut off fields.
    QWidget* frame = windowFrame(this);
    frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
    ui_->ListCommand_2->setVisible(data::state().HasBillingAccess);
    if (!isWindowRegistered(kBillingWindow)) {
        ui_->ListCommand_2->setEnabled(false);
        ui_->ListCommand_2->setToolTip(
            tr("The customer's billing information comes in a later version of Tolvarine."));
    }
    loadBackground();
}

void CustomerWindow::rowShown() { refreshGrid(); }

void CustomerWindow::afterActivate() {
    grid_->refreshIfPending();
    // Activities and plans saved in other windows move these dates.
    refreshStoredColumns({kFirstDateOrdinal, kLastDateOrdinal, kNextDateOrdinal});
}

bool CustomerWindow::beforeSave() {
    nameBeforeSave_ = originalCustomerName();
    if (!ui_->CustomerName->text().trimmed().isEmpty()) return true;
    data::ShowMessage(kRequiredFieldEmpty, fieldName(ui_->CustomerNameLabel));
    ui_->CustomerName->setFocus();
    return false;
}

void CustomerWindow::afterSave() {
    // Under a new name the related rows have moved with the customer: list them again, and
    // let the open windows of those rows show (and save under) the new name.
    const QString name = originalCustomerName();
    if (!nameBeforeSave_.isEmpty() && nameBeforeSave_ != name)
        FollowKeyChange(kLinkColumn, nameBeforeSave_, name, this);
    refreshGrid();
}

void CustomerWindow::closeEvent(QCloseEvent* event) {
    if (!offerToSave(kSaveChanges)) {
        event->ignore();
        return;
    }
    grid_->saveLayout();
    RecordWindow::closeEvent(event);
}

QString CustomerWindow::customerName() const { return originalCustomerName(); }

QString CustomerWindow::currentTabKey() const {
    const QWidget* page = ui_->TabStrip1->currentWidget();
    return page ? page->property("key").toString() : QString();
}

void CustomerWindow::SetCurrentTab(const QString& key) {
    QTabWidget* tabs = ui_->TabStrip1;
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->widget(i)->property("key").toString().compare(key, Qt::CaseInsensitive) == 0) {
            tabs->setCurrentIndex(i);
            return;
        }
    }
}

void CustomerWindow::tabChosen(int index) {
    QWidget* page = ui_->TabStrip1->widget(index);
    if (!page || page->property("key").toString().isEmpty()) return;
    if (grid_->parentWidget() != page) page->layout()->addWidget(grid_);
    grid_->show();
    refreshGrid();
}

void CustomerWindow::refreshGrid() {
    const QString table = currentTabKey();
    if (!table.isEmpty()) grid_->showRows(relatedRows(table));
}

RelatedRows CustomerWindow::relatedRows(const QString& table) {
    RelatedRows rows;
    rows.table = table;
    rows.linkColumn = kLinkColumn;
    rows.linkValue = customerName();
    CustomerWindow* self = this;

    // A completed request is closed work: it is reopened from its own window, never made
    // or removed here. Script runs and care-plan places are made by their own windows.
    if (is(table, "Completed Requests")) {
        rows.allowNew = false;
        rows.allowDelete = false;
    }
    const bool scripts = is(table, "Scripts History");
    const bool plans = is(table, "Customer Care Plan Status");
    if (scripts || plans) {
        rows.allowOpen = false;
        const QString window = scripts ? kScriptWindow : kCarePlanWindow;
        if (isWindowRegistered(window))
            rows.newCommand = [self, window] { return self->runForCustomer(window); };
        else
            rows.newUnavailable =
                scripts ? tr("Running a call script with a customer comes in a later version "
                             "of Tolvarine.")
                        : tr("Putting a customer on a care plan comes in a later version of "
                             "Tolvarine.");
    } else {
        rows.newDefaults = [self, table](data::FieldValueArray& values) {
            self->newRowDefaults(table, values);
        };
    }
    if (rows.linkValue.isEmpty()) {
        // Related rows hang on the stored name: a customer never saved has none yet.
        rows.newCommand = [self] {
            data::ShowMessage(kCustomerNotSaved);
            self->ui_->CustomerName->setFocus();
            return false;
        };
    }

    if (isWindowRegistered(kSendWindow)) {
        int column = -1;
        for (const ContactColumn& c : kContactColumns)
            if (is(table, c.table)) column = c.column;
        rows.sendCommand = [self, column](const data::FieldValueArray& row) {
            self->runForCustomer(kSendWindow, column >= 0 ? row(column + 1) : QString());
        };
    } else {
        rows.sendUnavailable =
            tr("Sending letters and messages comes in a later version of Tolvarine.");
    }
    return rows;
}

void CustomerWindow::newRowDefaults(const QString& table, data::FieldValueArray& values) const {
    const tv::DateTime now = data::prompter().now();
    const double today = std::floor(now.serial);
    auto shortDate = [](double serial) {
        return tv::Format(tv::Variant(tv::DateTime{serial}), QStringLiteral("Short Date"));
    };
    for (const NewRowDefault& d : kNewRowDefaults) {
        if (!is(table, d.table)) continue;
        QString value;
        switch (d.from) {
            case From::Telephone: value = ui_->TelephoneNo->text(); break;
            case From::Fax: value = ui_->FaxNo->text(); break;
            case From::EMail: value = ui_->EMail->text(); break;
            case From::TimeZone: value = ui_->TimeZone->currentText(); break;
            case From::Street: value = ui_->PStreet->text(); break;
            case From::City: value = ui_->PCity->text(); break;
            case From::State: value = ui_->PState->text(); break;
            case From::PostCode: value = ui_->PPCode->text(); break;
            case From::Now:
                value = tv::Format(tv::Variant(now), QStringLiteral("General Date"));
                break;
            case From::Today: value = shortDate(today); break;
            case From::WeekAhead: value = shortDate(today + 7); break;
            case From::User: value = data::state().CurrentUserId; break;
            case From::Campaign: value = ui_->Campaign->currentText(); break;
            case From::AccountNo:
                // As stored: an account number typed and not saved is not the account's yet.
                value = data::GetFieldText(kTable, customerName(), QString(), kAccountNoColumn);
                break;
        }
        values(d.ordinal) = value;
    }
}

void CustomerWindow::CopyAddress(int index) {
    QLineEdit* postal[] = {ui_->PStreet, ui_->PCity, ui_->PState, ui_->PPCode};
    QLineEdit* delivery[] = {ui_->DStreet, ui_->DCity, ui_->DState, ui_->DPCode};
    for (int i = 0; i < 4; ++i) {
        if (index == 0) delivery[i]->setText(postal[i]->text());
        if (index == 1) postal[i]->setText(delivery[i]->text());
    }
}

bool CustomerWindow::lookUpCustomer() {
    const QString current = ui_->CustomerName->text();
    const QString picked = RunTableLookup(this, kTable, 1, current);
    if (picked.isEmpty() || picked.compare(current, Qt::CaseInsensitive) == 0) return false;
    return offerToSave(kSaveChanges) && showStoredRow(picked);
}

bool CustomerWindow::runForCustomer(const QString& windowName, const QString& contact) {
    const QString name = customerName();
    data::state().SharedValues[0] = name;
    QWidget* w = createWindow(windowName, window());
    if (!w) return false;
    auto fill = [w](const char* box, const QString& text) {
        if (QObject* control = w->findChild<QObject*>(QLatin1String(box)))
            setControlValue(control, text);
    };
    fill("CustomerName", name);
    if (!contact.isEmpty()) {
        fill("ContactName", contact);
        if (w->metaObject()->indexOfMethod("LoadContactNumbers()") >= 0)
            QMetaObject::invokeMethod(w, "LoadContactNumbers");
    }
    if (auto* dialog = qobject_cast<QDialog*>(w)) {
        dialog->exec();
        delete dialog;
    } else {
        w->setAttribute(Qt::WA_DeleteOnClose);
        hostInMdi(w);
        w->show();
    }
    return true;
}

void CustomerWindow::loadBackground() {
    const QString folder = data::siteFile(QStringLiteral("Pictures"));
    if (folder.isEmpty()) return;
    for (const char* suffix : {"png", "jpg", "bmp"}) {
        const QString path = tv::joinPath(folder, QStringLiteral("Customer.") + QLatin1String(suffix));
        if (QFileInfo::exists(path) && background_.load(path)) break;
    }
}

void CustomerWindow::paintEvent(QPaintEvent* event) {
    if (!background_.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(rect(), background_);
    }
    RecordWindow::paintEvent(event);
}

namespace {

// One printed line: cells side by side, each as wide as its twips.
struct PrintLine {
    std::vector<int> widths;
    QStringList cells;
    bool heading = false;
};

constexpr int kPrintedStatus = 9072;
constexpr int kNoPrinterMessage = 9013;

}  // namespace

bool CustomerWindow::printCustomer() {
    auto caption = [](const QLabel* label) { return fieldName(label); };
    auto pair = [&](const QLabel* l1, const QString& v1, const QLabel* l2, const QString& v2) {
        return PrintLine{{1800, 3000, 1800, 3000}, {caption(l1), v1, caption(l2), v2}};
    };
    auto wide = [&](const QString& label, const QString& value) {
        return PrintLine{{1800, 7800}, {label, value}};
    };
    auto title = [](const QGroupBox* frame) {
        return PrintLine{{9600}, {frame->title().remove(QRegularExpression(QStringLiteral("&(?!&)")))}, true};
    };
    const Ui::Customer& u = *ui_;
    std::vector<PrintLine> lines = {
        wide(caption(u.CustomerNameLabel), u.CustomerName->text()),
        pair(u.TelephoneNoLabel, u.TelephoneNo->text(), u.ReferredByLabel, u.ReferredBy->text()),
        pair(u.FaxNoLabel, u.FaxNo->text(), u.SalesRepLabel, u.SalesRep->currentText()),
        pair(u.RelationshipLabel, u.Relationship->currentText(), u.TerritoryLabel,
             u.Territory->currentText()),
        pair(u.IndustryLabel, u.Industry->currentText(), u.CampaignLabel, u.Campaign->currentText()),
        pair(u.TimeZoneLabel, u.TimeZone->currentText(), u.AccountNoLabel, u.AccountNo->text()),
        title(u.PostalFrame),
        wide(caption(u.PostalStreetLabel), u.PStreet->text()),
        wide(caption(u.PostalCityLabel), u.PCity->text()),
        wide(caption(u.PostalStateLabel), u.PState->text()),
        wide(caption(u.PostalPCodeLabel), u.PPCode->text()),
        title(u.DeliveryFrame),
        wide(caption(u.DeliveryStreetLabel), u.DStreet->text()),
        wide(caption(u.DeliveryCityLabel), u.DCity->text()),
        wide(caption(u.DeliveryStateLabel), u.DState->text()),
        wide(caption(u.DeliveryPCodeLabel), u.DPCode->text()),
        wide(caption(u.CountryLabel), u.Country->currentText()),
        wide(caption(u.InternetURLLabel), u.InternetURL->text()),
        wide(caption(u.EMailLabel), u.EMail->text()),
    };

    data::PrintRequest ask;
    ask.title = windowTitle();
    if (!data::prompter().printerDialog(ask)) return false;
    QPrinter printer(QPrinter::HighResolution);
    reports::setUpPrinter(printer, ask, windowTitle() + QStringLiteral(" - ") + u.CustomerName->text());
    QPainter painter;
    if (!painter.begin(&printer)) {
        data::ShowMessage(kNoPrinterMessage);
        return false;
    }
    const double perTwip = printer.resolution() / 1440.0;
    auto twips = [&](int t) { return static_cast<int>(t * perTwip); };
    const QFont body(QStringLiteral("Arial"), 10);
    QFont bold = body;
    bold.setBold(true);
    painter.setFont(body);
    const int lineHeight = painter.fontMetrics().height() * 3 / 2;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QString application = data::state().ApplicationName.isEmpty()
                                    ? QStringLiteral("Tolvarine")
                                    : data::state().ApplicationName;
    int pageNo = 0;
    int y = 0;
    auto header = [&] {
        if (pageNo > 0) printer.newPage();
        ++pageNo;
        const QRect band(0, 0, page.width(), lineHeight);
        painter.setFont(body);
        painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, application);
        painter.drawText(band, Qt::AlignRight | Qt::AlignVCenter, tr("Page: %1").arg(pageNo));
        painter.drawLine(0, lineHeight, page.width(), lineHeight);
        y = lineHeight * 2;
    };
    header();
    painter.drawText(QRect(0, y, page.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     tv::Format(tv::Variant(data::prompter().now()), QStringLiteral("General Date")));
    y += lineHeight * 2;
    for (const PrintLine& line : lines) {
        if (line.heading) y += lineHeight / 2;
        if (y + lineHeight > page.height()) header();
        int x = 0;
        for (size_t i = 0; i < line.widths.size(); ++i) {
            const int width = twips(line.widths[i]);
            // Labels (and headings) in bold, values plain; a long value is cut at its cell.
            painter.setFont(line.heading || i % 2 == 0 ? bold : body);
            painter.drawText(QRect(x, y, width - twips(60), lineHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, line.cells.value(static_cast<int>(i)));
            x += width;
        }
        y += lineHeight;
    }
    painter.end();
    ShowStatusMessage(kPrintedStatus);
    return true;
}

}  // namespace tv::forms
