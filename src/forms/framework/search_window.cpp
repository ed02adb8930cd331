#include "forms/framework/search_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/list_form.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/record_window.h"
#include "forms/framework/status.h"
#include "forms/framework/table_lookup.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"
#include "ui_search_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>
#include <limits>

namespace tv::forms {

namespace {

// Messages.
constexpr int kNothingFilled = 950;
constexpr int kSeveralFilled = 951;
constexpr int kNoSuchNumber = 952;
constexpr int kCannotView = 9014;
constexpr int kFieldsDoNotApply = 9092;
constexpr int kNotANumber = 9093;
constexpr int kSearchingStatus = 9094;
constexpr int kOpeningRecordStatus = 915;

constexpr int kFieldCount = 10;
constexpr int kDefaultHeight = 5730;
constexpr int kDefaultWidth = 5475;
const QString kLayoutSection = QStringLiteral("Search Form");

// Fields.
enum Field {
    CustomerName = 0,
    ContactName,
    Telephone,
    Email,
    SalesOrderNo,
    QuotationNo,
    RequestNo,
    ContractNo,
    RmaNo,
    ItemId,
};

// How a document number leads to its customer: the table, the column of the customer's
// name (counting from 0) and the page of the customer window that lists the table.
struct DocumentField {
    Field field;
    const char* table;
    int customerColumn;
    bool number;  // the key is a Long
};

const DocumentField kDocuments[] = {
    {SalesOrderNo, "Sales Orders", 3, true},
    {QuotationNo, "Quotations", 3, true},
    {RequestNo, "Current Requests", 6, true},
    {ContractNo, "Service Contracts", 2, false},
    {RmaNo, "RMAs", 3, true},
    {ItemId, "Customer Inventory", 5, false},
};

const DocumentField* documentOf(int field) {
    for (const DocumentField& d : kDocuments)
        if (d.field == field) return &d;
    return nullptr;
}

// The Lookup buttons: the field each fills and the table (and column, counting from 1)
// it picks from.
struct LookupButton {
    Field field;
    const char* table;
    int column;
};

const LookupButton kLookups[] = {
    {CustomerName, "Customers", 1},
    {ContactName, "Contacts", 2},
    {SalesOrderNo, "Sales Orders", 1},
    {QuotationNo, "Quotations", 1},
    {RequestNo, "Current Requests", 1},
    {ContractNo, "Service Contracts", 1},
    {RmaNo, "RMAs", 1},
    {ItemId, "Customer Inventory", 1},
};

int lookupOf(int field) {
    for (int i = 0; i < static_cast<int>(std::size(kLookups)); ++i)
        if (kLookups[i].field == field) return i;
    return -1;
}

// How a list option narrows its table by a filled field.
enum class Match { Start, Equal, Number, Phone };

struct ListColumnFilter {
    Field field;
    const char* column;
    Match match;
};

struct ListOption {
    const char* table;
    std::vector<ListColumnFilter> filters;
};

const std::vector<ListOption>& listOptions() {
    static const std::vector<ListOption> options = {
        {},  // Customer Profile opens the customer
        {"Contacts",
         {{CustomerName, "CUSTOMER NAME", Match::Start},
          {ContactName, "CONTACT NAME", Match::Start},
          {Telephone, nullptr, Match::Phone},
          {Email, "EMAIL ADDRESS", Match::Equal}}},
        {"Sales Orders",
         {{CustomerName, "CUSTOMER NAME", Match::Start},
          {ContactName, "CONTACT NAME", Match::Start},
          {SalesOrderNo, "ORDERNO", Match::Number}}},
        {"Quotations",
         {{CustomerName, "CUSTOMER NAME", Match::Start},
          {ContactName, "CONTACT NAME", Match::Start},
          {QuotationNo, "QUOTENO", Match::Number}}},
        {"Current Requests",
         {{CustomerName, "CUSTOMER NAME", Match::Start},
          {ContactName, "CONTACT NAME", Match::Start},
          {SalesOrderNo, "ORDERNO", Match::Number},
          {RequestNo, "REQUESTNO", Match::Number},
          {ContractNo, "AGREEMENTNO", Match::Equal},
          {ItemId, "ITEMID", Match::Equal}}},
        {"Service Contracts",
         {{CustomerName, "CUSTOMER NAME", Match::Start},
          {ContactName, "CONTACT NAME", Match::Start},
          {SalesOrderNo, "ORDERNO", Match::Number},
          {ContractNo, "CONTRACTID", Match::Equal}}},
        {"RMAs",
         {{CustomerName, "CUSTOMER NAME", Match::Start},
          {ContactName, "CONTACT NAME", Match::Start},
          {SalesOrderNo, "ORDERNO", Match::Number},
          {RmaNo, "RMANO", Match::Number}}},
        {"Customer Inventory",
         {{CustomerName, "CUSTOMER NAME", Match::Start},
          {ContactName, "CONTACT NAME", Match::Start},
          {SalesOrderNo, "ORDERNO", Match::Equal},
          {ContractNo, "CONTRACTID", Match::Equal},
          {ItemId, "ITEMID", Match::Equal}}},
    };
    return options;
}

bool isDocumentNumber(const QString& text) {
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    return ok && n >= 0 && n <= std::numeric_limits<std::int32_t>::max();
}

QString digitsOf(const QString& text) {
    QString digits;
    for (const QChar c : text)
        if (c.isDigit()) digits += c;
    return digits;
}

// The text as the start of a Like pattern (its pattern characters standing for themselves).
QString likeStart(const QString& text) {
    QString pattern;
    for (const QChar c : text) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            pattern += u'[' + QString(c) + u']';
        else
            pattern += c;
    }
    return pattern + u'*';
}

QString phoneMatch(const QString& quotedNumber) {
    return QStringLiteral("([BUSINESS PHONE] = %1 OR [HOME PHONE] = %1 OR [MOBILE PHONE] = %1)")
        .arg(quotedNumber);
}

// The first row of a query whose columns after the first hold telephone numbers with
// exactly these digits; its first column.
std::optional<QString> firstWithDigits(const QString& sql, const QString& digits) {
    engine::Recordset rs = data::OpenTable(sql);
    std::optional<QString> found;
    (void)data::attempt([&] {
        if (!rs.IsOpen()) return;
        for (; !rs.EOF_() && !found; rs.MoveNext()) {
            for (int i = 1; i < rs.FieldCount(); ++i)
                if (digitsOf(tv::TextOf(rs[i])) == digits) found = tv::TextOf(rs[0]);
        }
    });
    rs.Close();
    return found;
}

// Brings a window of the main window's area (or a top-level one) to the front.
void bringToFront(QWidget* window) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        if (sub->isMinimized()) sub->showNormal();
        sub->show();
        if (QMdiArea* area = mdiArea()) area->setActiveSubWindow(sub);
        keepInView(window);
    } else {
        window->show();
        window->raise();
        window->activateWindow();
    }
}

ListForm* openListFor(const QString& table) {
    QList<QWidget*> windows;
    if (QMdiArea* area = mdiArea())
        for (QMdiSubWindow* sub : area->subWindowList()) windows << sub->widget();
    windows << QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        auto* list = qobject_cast<ListForm*>(w);
        if (list && tagOf(list).compare(table, Qt::CaseInsensitive) == 0) return list;
    }
    return nullptr;
}

}  // namespace

std::optional<QString> firstCustomerOf(const QString& sql) {
    engine::Recordset rs = data::OpenTable(sql);
    std::optional<QString> found;
    (void)data::attempt([&] {
        if (rs.IsOpen() && !rs.EOF_()) found = tv::TextOf(rs[0]);
    });
    rs.Close();
    return found;
}

std::optional<QString> customerByTelephone(const QString& number) {
    const QString quoted = engine::quoteLiteral(number);
    if (auto name = firstCustomerOf(QStringLiteral("SELECT * FROM CUSTOMERS WHERE TELEPHONENO = ") +
                                    quoted))
        return name;
    if (auto name =
            firstCustomerOf(QStringLiteral("SELECT * FROM CONTACTS WHERE ") + phoneMatch(quoted)))
        return name;

    // The same number written another way: "02 9876 5432", "(02) 9876-5432", "0298765432".
    // The digits in order, anything between them, narrow the rows; the digits decide.
    const QString digits = digitsOf(number);
    if (digits.size() < 6) return std::nullopt;
    QString pattern = QStringLiteral("*");
    for (const QChar d : digits) pattern += d + QStringLiteral("*");
    const QString like = QStringLiteral(" Like ") + engine::quoteLiteral(pattern);
    if (auto name = firstWithDigits(
            QStringLiteral("SELECT [CUSTOMER NAME], [TELEPHONENO] FROM [CUSTOMERS] WHERE "
                           "[TELEPHONENO]") +
                like,
            digits))
        return name;
    return firstWithDigits(
        QStringLiteral("SELECT [CUSTOMER NAME], [BUSINESS PHONE], [HOME PHONE], [MOBILE PHONE] "
                       "FROM [CONTACTS] WHERE [BUSINESS PHONE]%1 OR [HOME PHONE]%1 OR "
                       "[MOBILE PHONE]%1")
            .arg(like),
        digits);
}

SearchWindow::SearchWindow(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::SearchWindow>()) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    hostInMdi(this);
    RestoreWindowLayout(this, kLayoutSection, kDefaultHeight, kDefaultWidth, kRecordWindow);
    ApplyFormCaptions(this, objectName());

    connect(ui_->Searchf, &QPushButton::clicked, this, &SearchWindow::search);
    connect(ui_->Cancelf, &QPushButton::clicked, this, [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
    });
    for (QWidget* button : controlArray(this, QStringLiteral("Lookup"))) {
        const int index = arrayIndex(button);
        connect(static_cast<QToolButton*>(button), &QToolButton::clicked, this,
                [this, index] { lookup(index); });
    }
    ui_->DataField_0->setFocus();
}

SearchWindow::~SearchWindow() = default;

void SearchWindow::closeEvent(QCloseEvent* event) {
    SaveWindowLayout(this, kLayoutSection, kRecordWindow);
    event->accept();
}

void SearchWindow::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Escape) {
            ui_->Cancelf->click();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            // Enter on a button presses it; anywhere else it searches.
            if (auto* button = qobject_cast<QAbstractButton*>(focusWidget());
                button && !qobject_cast<QRadioButton*>(button))
                button->click();
            else
                search();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

QString SearchWindow::fieldText(int field) const {
    const auto* box =
        qobject_cast<QLineEdit*>(arrayElement(this, QStringLiteral("DataField"), field));
    return box ? box->text().trimmed() : QString();
}

int SearchWindow::option() const {
    for (QWidget* button : controlArray(this, QStringLiteral("SearchOption")))
        if (static_cast<QRadioButton*>(button)->isChecked()) return arrayIndex(button);
    return CustomerProfile;
}

bool SearchWindow::checkNumber(int field) {
    const DocumentField* document = documentOf(field);
    if (!document || !document->number || isDocumentNumber(fieldText(field))) return true;
    QWidget* label = arrayElement(this, QStringLiteral("FieldLabel"), field);
    const QString caption = label ? static_cast<QLabel*>(label)->text().remove(u'&') : QString();
    data::ShowMessage(kNotANumber, caption);
    if (QWidget* box = arrayElement(this, QStringLiteral("DataField"), field)) box->setFocus();
    return false;
}

void SearchWindow::search() {
    int filled = 0;
    int first = -1;
    for (int field = 0; field < kFieldCount; ++field) {
        if (fieldText(field).isEmpty()) continue;
        ++filled;
        if (first < 0) first = field;
    }
    if (filled == 0) {
        data::ShowMessage(kNothingFilled);
        ui_->DataField_0->setFocus();
        return;
    }
    // The list options use every filled field; only the customer's search takes one.
    const int chosen = option();
    if (chosen != CustomerProfile) {
        showList(chosen);
        return;
    }
    if (filled > 1 && data::ShowMessage(kSeveralFilled) != data::msgbox::kYes) return;
    searchCustomer(first);
}

void SearchWindow::searchCustomer(int field) {
    if (!checkNumber(field)) return;
    ShowStatusMessage(kSearchingStatus);
    const data::AppState& app = data::state();
    data::prompter().setPointer(app.BusyPointer, app.BusyIconPath);
    std::optional<QString> name = customerFor(field);
    data::prompter().setPointer(data::kPointerDefault);
    ShowStatusMessage(0);

    if (!name) {
        if (field == Telephone || field == Email) {
            data::ShowMessage(kNoSuchNumber);
            return;
        }
        // Offer the field's picker and go on with what is picked.
        if (!lookup(lookupOf(field))) return;
        name = customerFor(field);
    }
    if (!name || name->isEmpty()) return;
    const DocumentField* document = documentOf(field);
    openCustomer(*name,
                 document ? QString::fromLatin1(document->table) : QStringLiteral("Address"));
}

std::optional<QString> SearchWindow::customerFor(int field) {
    const QString text = fieldText(field);
    switch (field) {
        case CustomerName: {
            const QString name =
                data::GetFieldText(QStringLiteral("Customers"), text, QString(), 0);
            return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
        }
        case ContactName:
            return customerByContact(text);
        case Telephone:
            return customerByTelephone(text);
        case Email: {
            const QString quoted = engine::quoteLiteral(text);
            if (auto name = firstCustomerOf(
                    QStringLiteral("SELECT * FROM CUSTOMERS WHERE [EMAIL ADDRESS] = ") + quoted))
                return name;
            return firstCustomerOf(
                QStringLiteral("SELECT * FROM CONTACTS WHERE [EMAIL ADDRESS] = ") + quoted);
        }
        default:
            break;
    }
    const DocumentField* document = documentOf(field);
    if (!document) return std::nullopt;
    const QString name = data::GetFieldText(QString::fromLatin1(document->table), text, QString(),
                                            document->customerColumn);
    return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

std::optional<QString> SearchWindow::customerByContact(const QString& name) {
    const QString sql = QStringLiteral("SELECT * FROM [CONTACTS] WHERE [CONTACT NAME] = ") +
                        engine::quoteLiteral(name, u'"');
    engine::Recordset rs = data::OpenTable(sql);
    long count = 0;
    QString customer;
    (void)data::attempt([&] {
        if (!rs.IsOpen()) return;
        count = rs.RecordCount();
        if (count == 1) customer = tv::TextOf(rs[0]);
    });
    rs.Close();
    if (count == 0) return std::nullopt;
    if (count == 1) return customer;
    // Several customers have a contact of that name: the user picks the customer.
    data::prompter().setPointer(data::kPointerDefault);
    return RunTableLookup(this, QStringLiteral("Customers"), 1, QString(),
                          sql + QStringLiteral(" ORDER BY [CUSTOMER NAME]"));
}

void SearchWindow::openCustomer(const QString& name, const QString& tab) {
    const QString customers = QStringLiteral("Customers");
    if (!data::LoadRecord(customers, name)) {
        // A document whose customer has gone (or been renamed): let the user pick one.
        const QString picked = RunTableLookup(this, customers, 1, name);
        if (picked.isEmpty() || !data::LoadRecord(customers, picked)) return;
    }
    const data::FieldValueArray values = data::state().FieldValues;
    ShowStatusMessage(kOpeningRecordStatus);
    data::state().PendingEditMode = 2;
    const bool opened = OpenRecordWindow(customers, values);
    ShowStatusMessage(0);
    if (!opened) return;
    if (RecordWindow* window = GetRecordWindow(customers)) window->SetCurrentTab(tab);
}

bool SearchWindow::lookup(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kLookups))) return false;
    const LookupButton& button = kLookups[index];
    auto* box =
        qobject_cast<QLineEdit*>(arrayElement(this, QStringLiteral("DataField"), button.field));
    if (!box) return false;
    const QString picked = RunTableLookup(this, QString::fromLatin1(button.table), button.column,
                                          box->text().trimmed());
    if (picked.isEmpty()) return false;
    box->setText(picked);
    return true;
}

void SearchWindow::showList(int chosen) {
    const ListOption& list = listOptions().at(static_cast<size_t>(chosen));
    const QString table = QString::fromLatin1(list.table);

    QStringList conditions;
    QStringList usable;
    for (const ListColumnFilter& filter : list.filters) {
        QWidget* label = arrayElement(this, QStringLiteral("FieldLabel"), filter.field);
        usable << (label ? static_cast<QLabel*>(label)->text().remove(u'&') : QString());
        const QString text = fieldText(filter.field);
        if (text.isEmpty()) continue;
        const QString column =
            filter.column ? QStringLiteral("[%1]").arg(QLatin1String(filter.column)) : QString();
        switch (filter.match) {
            case Match::Start:
                conditions << column + QStringLiteral(" Like ") +
                                  engine::quoteLiteral(likeStart(text));
                break;
            case Match::Equal:
                conditions << column + QStringLiteral(" = ") + engine::quoteLiteral(text);
                break;
            case Match::Number:
                if (!checkNumber(filter.field)) return;
                conditions << column + QStringLiteral(" = ") + QString::number(text.toLongLong());
                break;
            case Match::Phone:
                conditions << phoneMatch(engine::quoteLiteral(text));
                break;
        }
    }
    if (conditions.isEmpty()) {
        data::ShowMessage(kFieldsDoNotApply, usable.join(u'\n'));
        return;
    }
    for (const data::AccessEntry& entry : data::state().UserAccess) {
        if (entry.TableName.compare(table, Qt::CaseInsensitive) == 0 && !entry.CanView) {
            data::ShowMessage(kCannotView, table);
            return;
        }
    }

    // In the list's own order: on the last field of the key, descending when the table's
    // "Descending Sort" is set.
    QString sql = QStringLiteral("SELECT * FROM [%1] WHERE %2")
                      .arg(table, conditions.join(QStringLiteral(" AND ")));
    const int keys = std::max(1, data::KeyColumnCount(table));
    if (const std::optional<engine::TableDef> def = tableDefinition(table)) {
        (void)data::attempt(
            [&] { sql += QStringLiteral(" ORDER BY [%1]").arg(def->FieldAt(keys - 1).Name()); });
    }
    bool descending = false;
    (void)data::attempt([&] { descending = tv::SettingInt(tv::keys::DescendingSort(table)) != 0; });
    if (descending) sql += QStringLiteral(" DESC");

    ListForm* window = openListFor(table);
    if (!window) {
        // Opened as the main window opens a list: the table in SharedValues(0), the tag.
        data::state().SharedValues[0] = table;
        window = new ListForm();
        window->setObjectName(QStringLiteral("ListForm"));
        setTag(window, table);
        hostInMdi(window);
    }
    window->applyQuery(sql);
    bringToFront(window);
}

}  // namespace tv::forms
