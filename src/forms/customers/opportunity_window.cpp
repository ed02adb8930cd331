#include "forms/customers/opportunity_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "engine/engine.h"
#include "forms/customers/contact_numbers.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/table_lookup.h"
#include "forms/framework/window_layout.h"
#include "ui_opportunity_window.h"

#include <QCloseEvent>
#include <QLineEdit>

#include <cmath>

namespace tv::forms {

namespace {

const QString kTable = QStringLiteral("Sales Opportunities");
constexpr int kSavedStatus = 906;
constexpr int kSaveBeforeClosing = 9015;
constexpr int kRequiredField = 9016;
constexpr int kNoSuchCustomer = 9085;
constexpr int kNotAnAmount = 9086;
constexpr int kNotAPercentage = 9087;
constexpr int kNotADate = 9088;

// The twelve month names in the user's language, January first.
QStringList monthNames() {
    QStringList names;
    for (int month = 1; month <= 12; ++month)
        names << tv::Format(tv::Variant(tv::DateSerial(1999, month, 1)), QStringLiteral("mmmm"));
    return names;
}

bool isNumber(const QString& text) { return tv::IsNumeric(tv::Variant(text)); }

// A number typed in the box, rewritten with the pattern; other text stays as typed.
void reformat(QLineEdit* box, const QString& pattern) {
    const QString text = box->text().trimmed();
    if (text.isEmpty() || !isNumber(text)) return;
    box->setText(tv::Format(tv::Variant(tv::Val(text)), pattern));
}

}  // namespace

OpportunityWindow::OpportunityWindow(QWidget* parent)
    : RecordWindow(parent), ui_(std::make_unique<Ui::Opportunity>()) {
    ui_->setupUi(this);
    labels_ = DesignedLabels(this);

    ui_->ContactName->setSource([this] { return customerContactNames(ui_->CustomerName->text()); });
    ui_->SalesRep->setSource(tableColumn(QStringLiteral("System Users"), 0));
    ui_->CurrentStatus->setSource(tableColumn(QStringLiteral("Status Codes"), 0));
    ui_->SaleMonth->setSource(monthNames);

    connect(ui_->SaveDetails, &QPushButton::clicked, this, [this] { save(); });
    connect(ui_->Cancelf, &QPushButton::clicked, this, [this] {
        discarding_ = true;
        close();
        discarding_ = false;
    });
    connect(ui_->Searchf, &QToolButton::clicked, this, &OpportunityWindow::lookUpCustomer);
    connect(ui_->ContactName, &QComboBox::activated, this, &OpportunityWindow::ShowContactNumbers);
    connect(ui_->ContactName->lineEdit(), &QLineEdit::editingFinished, this,
            &OpportunityWindow::ShowContactNumbers);
    connect(ui_->CustomerName, &QLineEdit::textChanged, ui_->ContactName, &PickList::invalidate);
    connect(ui_->CustomerName, &QLineEdit::editingFinished, this,
            &OpportunityWindow::ShowContactNumbers);
    connect(ui_->SalesValue, &QLineEdit::editingFinished, this, &OpportunityWindow::formatNumbers);
    connect(ui_->Probability, &QLineEdit::editingFinished, this, &OpportunityWindow::formatNumbers);
    connect(ui_->Identified, &QLineEdit::editingFinished, this,
            &OpportunityWindow::formatIdentified);
}

OpportunityWindow::~OpportunityWindow() = default;

QString OpportunityWindow::defaultTableName() const { return kTable; }

QSize OpportunityWindow::defaultSizeTwips() const { return QSize(7395, 6735); }

QWidget* OpportunityWindow::saveButton() const { return ui_->SaveDetails; }

int OpportunityWindow::savedStatusMessage() const { return kSavedStatus; }

void OpportunityWindow::afterLoad() {
    labels_.restoreAccessKeys();
    // The design size (or one remembered at another text scale) must not cut off fields.
    QWidget* frame = windowFrame(this);
    frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
}

void OpportunityWindow::rowShown() {
    ui_->ContactName->invalidate();
    formatNumbers();
    ShowContactNumbers();
}

void OpportunityWindow::afterActivate() {
    // The contact's numbers may have changed in another window meanwhile.
    if (!ui_->ContactName->currentText().isEmpty()) ShowContactNumbers();
}

void OpportunityWindow::ShowContactNumbers() {
    const std::optional<ContactNumbers> numbers =
        ReadContactNumbers(ui_->CustomerName->text(), ui_->ContactName->currentText());
    ui_->BusinessNo->setText(numbers ? numbers->business : QString());
    ui_->HomeNo->setText(numbers ? numbers->home : QString());
    ui_->MobileNo->setText(numbers ? numbers->mobile : QString());
}

void OpportunityWindow::formatNumbers() {
    reformat(ui_->SalesValue, QStringLiteral("0.00"));
    reformat(ui_->Probability, QStringLiteral("0"));
}

void OpportunityWindow::formatIdentified() {
    tv::DateTime when;
    if (tv::parseDateTime(ui_->Identified->text().trimmed(), &when))
        ui_->Identified->setText(tv::Format(tv::Variant(when), QStringLiteral("General Date")));
}

bool OpportunityWindow::beforeSave() {
    formatNumbers();
    formatIdentified();
    // Each check names what is wrong and puts the cursor there; nothing typed is lost.
    const auto refuse = [](int message, const QString& extra, QWidget* field) {
        data::ShowMessage(message, extra);
        field->setFocus(Qt::OtherFocusReason);
        return false;
    };
    const std::pair<QLabel*, QLineEdit*> required[] = {{ui_->CustomerNameLabel, ui_->CustomerName},
                                                       {ui_->IdentifiedLabel, ui_->Identified}};
    for (const auto& [label, field] : required) {
        if (field->text().trimmed().isEmpty())
            return refuse(kRequiredField, fieldName(label), field);
    }
    tv::DateTime when;
    if (!tv::parseDateTime(ui_->Identified->text().trimmed(), &when))
        return refuse(kNotADate, ui_->Identified->text(), ui_->Identified);
    const QString customer = ui_->CustomerName->text().trimmed();
    if (data::GetFieldText(QStringLiteral("Customers"), customer, QString(), 0).isEmpty())
        return refuse(kNoSuchCustomer, customer, ui_->CustomerName);
    const QString value = ui_->SalesValue->text().trimmed();
    if (!value.isEmpty() && !isNumber(value))
        return refuse(kNotAnAmount, ui_->SalesValue->text(), ui_->SalesValue);
    const QString percent = ui_->Probability->text().trimmed();
    if (!percent.isEmpty() &&
        (!isNumber(percent) || tv::Val(percent) < 0 || tv::Val(percent) > 100))
        return refuse(kNotAPercentage, ui_->Probability->text(), ui_->Probability);
    return true;
}

void OpportunityWindow::closeEvent(QCloseEvent* event) {
    if (!discarding_ && !offerToSave(kSaveBeforeClosing)) {
        event->ignore();
        return;
    }
    RecordWindow::closeEvent(event);
}

void OpportunityWindow::lookUpCustomer() {
    const QString picked =
        RunTableLookup(this, QStringLiteral("Customers"), 1, ui_->CustomerName->text());
    if (!picked.isEmpty()) {
        ui_->CustomerName->setText(picked);
        ShowContactNumbers();
    }
}

}  // namespace tv::forms
