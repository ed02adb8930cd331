#include "forms/customers/contact_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/prompter.h"
#include "engine/engine.h"
#include "forms/customers/contact_numbers.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/table_lookup.h"
#include "forms/framework/window_layout.h"
#include "ui_contact_window.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>

#include <cmath>

namespace tv::forms {

namespace {

const QString kTable = QStringLiteral("Contacts");
constexpr int kSavedStatus = 903;
constexpr int kContactNotFound = 953;
constexpr int kSaveBeforeClosing = 9015;
constexpr int kRequiredField = 9016;
constexpr int kSaveBeforeSwitching = 9080;
constexpr int kNotABirthday = 9084;
constexpr int kNoSuchCustomer = 9085;

// Brings the field forward, on whichever page of the tab strip it is.
void showField(QTabWidget* tabs, QWidget* field) {
    for (int i = 0; tabs && i < tabs->count(); ++i) {
        if (tabs->widget(i)->isAncestorOf(field)) tabs->setCurrentIndex(i);
    }
    field->setFocus(Qt::OtherFocusReason);
}

// A birthday as day and month ("05 Dec"), from a full date or a day and month alone;
// nothing when the text is neither. A day and month alone is read in a leap year, so
// that 29 Feb is a birthday every year.
std::optional<QString> birthdayText(const QString& typed) {
    tv::DateTime date;
    if (!tv::parseDateTime(typed, &date) &&
        !tv::parseDateTime(typed + QStringLiteral(" 2000"), &date))
        return std::nullopt;
    // A time alone reads as a time on no day at all.
    if (std::floor(date.serial) == 0) return std::nullopt;
    return tv::Format(tv::Variant(date), QStringLiteral("dd mmm"));
}

}  // namespace

ContactWindow::ContactWindow(QWidget* parent)
    : RecordWindow(parent), ui_(std::make_unique<Ui::Contact>()) {
    ui_->setupUi(this);
    labels_ = DesignedLabels(this);

    // The names list holds the customer's contacts, read when it drops down.
    ui_->ContactName->setSource([this] { return customerContactNames(ui_->CustomerName->text()); });
    // Enter in the name box ends the typing; only a pick from the list switches contact.
    ui_->ContactName->setCompleter(nullptr);
    ui_->Role->setSource(tableColumn(QStringLiteral("Role Names"), 0));
    ui_->TimeZone->setSource(tableColumn(QStringLiteral("Time Zones"), 0));
    ui_->Honorific->setSource(optionList(QStringLiteral("Honorific")));

    connect(ui_->ListCommand_1, &QPushButton::clicked, this, [this] { save(); });
    connect(ui_->ListCommand_2, &QPushButton::clicked, this, &QWidget::close);
    connect(ui_->Searchf, &QToolButton::clicked, this, &ContactWindow::lookUpCustomer);
    connect(ui_->DialNow, &QPushButton::clicked, this, &ContactWindow::showDialMenu);
    connect(ui_->ContactName, &QComboBox::activated, this, &ContactWindow::contactPicked);
    connect(ui_->ContactName->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { typedName_ = text; });
    connect(ui_->ContactName->lineEdit(), &QLineEdit::editingFinished, this,
            &ContactWindow::defaultSalutation);
    connect(ui_->Birthday, &QLineEdit::editingFinished, this, &ContactWindow::formatBirthday);
    connect(ui_->CustomerName, &QLineEdit::textChanged, ui_->ContactName, &PickList::invalidate);
}

ContactWindow::~ContactWindow() = default;

QString ContactWindow::defaultTableName() const { return kTable; }

QSize ContactWindow::defaultSizeTwips() const { return QSize(8700, 6600); }

QWidget* ContactWindow::saveButton() const { return ui_->ListCommand_1; }

int ContactWindow::savedStatusMessage() const { return kSavedStatus; }

void ContactWindow::afterLoad() {
    labels_.restoreAccessKeys();
    // The design size (or one remembered at another text scale) must not cut off fields.
    QWidget* frame = windowFrame(this);
    frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
}

void ContactWindow::rowShown() {
    ui_->ContactName->invalidate();
    typedName_ = ui_->ContactName->currentText();
    // A new contact is first met today, whoever opened the window for it.
    if (localEditMode() == 1 && ui_->FirstContact->isNull())
        ui_->FirstContact->setDate(tv::toQDateTime(data::prompter().now()).date());
}

bool ContactWindow::beforeSave() {
    defaultSalutation();
    if (!formatBirthday()) {
        data::ShowMessage(kNotABirthday, ui_->Birthday->text());
        showField(ui_->TabStrip1, ui_->Birthday);
        return false;
    }
    const std::pair<QLabel*, QWidget*> required[] = {{ui_->CustomerNameLabel, ui_->CustomerName},
                                                     {ui_->ContactNameLabel, ui_->ContactName}};
    for (const auto& [label, field] : required) {
        if (!controlValue(field).value_or(QString()).trimmed().isEmpty()) continue;
        data::ShowMessage(kRequiredField, fieldName(label));
        showField(ui_->TabStrip1, field);
        return false;
    }
    // A contact is reached through its customer: one under a name no customer has would
    // show in no customer's list.
    const QString customer = ui_->CustomerName->text().trimmed();
    if (data::GetFieldText(QStringLiteral("Customers"), customer, QString(), 0).isEmpty()) {
        data::ShowMessage(kNoSuchCustomer, customer);
        showField(ui_->TabStrip1, ui_->CustomerName);
        return false;
    }
    return true;
}

void ContactWindow::closeEvent(QCloseEvent* event) {
    if (!offerToSave(kSaveBeforeClosing)) {
        event->ignore();
        return;
    }
    RecordWindow::closeEvent(event);
}

void ContactWindow::defaultSalutation() {
    const QString name = ui_->ContactName->currentText().trimmed();
    if (name.isEmpty() || !ui_->Salutation->text().isEmpty()) return;
    ui_->Salutation->setText(name.section(u' ', 0, 0));
}

bool ContactWindow::formatBirthday() {
    const QString typed = ui_->Birthday->text().trimmed();
    if (typed.isEmpty()) return true;
    if (const std::optional<QString> birthday = birthdayText(typed)) {
        ui_->Birthday->setText(*birthday);
        return true;
    }
    // What was typed stays for the user to correct; saving says what is wrong with it.
    data::prompter().beep();
    return false;
}

void ContactWindow::contactPicked(int index) {
    const QString picked = ui_->ContactName->itemText(index);
    // The pick has already replaced the name box's text: put back what the user had, so
    // that only real changes count as unsaved ones (and stay if the switch is cancelled).
    {
        const QSignalBlocker quiet(ui_->ContactName);
        ui_->ContactName->setEditText(typedName_);
    }
    switchContact(picked);
}

bool ContactWindow::switchContact(const QString& contactName) {
    const QString customer = ui_->CustomerName->text().trimmed();
    const bool shownAlready = localEditMode() == 2 &&
                              customer.compare(originalCustomerName(), Qt::CaseInsensitive) == 0 &&
                              contactName.compare(originalContactName(), Qt::CaseInsensitive) == 0;
    if (shownAlready && !hasUnsavedChanges()) return true;
    if (!offerToSave(kSaveBeforeSwitching)) return false;
    if (!showStoredRow(customer, contactName)) {
        data::ShowMessage(kContactNotFound);
        return false;
    }
    // The save right of an existing row.
    activate();
    return true;
}

QStringList ContactWindow::dialNumbers() const {
    return markedNumbers({ui_->TelephoneNo->text(), ui_->HomePhone->text(), ui_->MobileNo->text()});
}

bool ContactWindow::dial(const QString& entry) {
    return DialNumber(ui_->CustomerName->text(), ui_->ContactName->currentText(), entry);
}

void ContactWindow::showDialMenu() {
    const QStringList numbers = dialNumbers();
    // One number or none needs no choice: dial it, or say what is missing.
    if (numbers.size() <= 1) {
        dial(numbers.value(0));
        return;
    }
    QMenu menu(this);
    for (const QString& number : numbers) menu.addAction(number);
    if (QAction* chosen = menu.exec(ui_->DialNow->mapToGlobal(QPoint(0, ui_->DialNow->height()))))
        dial(chosen->text());
}

void ContactWindow::lookUpCustomer() {
    const QString picked =
        RunTableLookup(this, QStringLiteral("Customers"), 1, ui_->CustomerName->text());
    if (!picked.isEmpty()) ui_->CustomerName->setText(picked);
}

}  // namespace tv::forms
