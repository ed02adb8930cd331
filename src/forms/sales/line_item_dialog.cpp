#include "forms/sales/line_item_dialog.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "engine/engine.h"
#include "forms/framework/captions.h"
#include "forms/framework/designed_labels.h"
#include "forms/framework/pick_list.h"
#include "ui_line_item_dialog.h"

#include <QLabel>

namespace tv::forms {

namespace {

constexpr int kNotANumber = 9152;

bool taxOnCost() {
    bool on = false;
    (void)data::attempt([&] { on = tv::SettingBool(tv::keys::CalculateTaxOnCost); });
    return on;
}

QString numberText(double value) { return tv::Format(tv::Variant(value), QStringLiteral("General Number")); }
QString moneyBoxText(double value) { return tv::Format(tv::Variant(value), QStringLiteral("0.00")); }

// An empty box is 0; anything else must read as a number.
bool readNumber(QLineEdit* box, double* value) {
    const QString text = box->text().trimmed();
    if (text.isEmpty()) {
        *value = 0.0;
        return true;
    }
    if (!tv::IsNumeric(tv::Variant(text))) return false;
    *value = tv::Val(text);
    return true;
}

}  // namespace

LineItemDialog::LineItemDialog(QWidget* parent, const QString& detailTable,
                               const QString& documentNumber, int lineNumber,
                               const data::DocumentLine* existing)
    : QDialog(parent), ui_(std::make_unique<Ui::LineItem>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, QStringLiteral("Line Item"));
    // Materials used on a service request are never items tracked at the customer's site.
    if (detailTable.compare(QStringLiteral("Request Materials"), Qt::CaseInsensitive) == 0)
        ui_->ProductCode->setSource(
            tableColumn(QStringLiteral("SELECT * FROM PRODUCTS WHERE CUSTOMERINVENTORY <> True"), 0));
    else
        ui_->ProductCode->setSource(tableColumn(QStringLiteral("Products"), 0));

    ui_->DocumentId->setText(documentNumber);
    ui_->ItemNo->setText(QString::number(lineNumber));
    if (existing) {
        line_ = *existing;
        ui_->ProductCode->setEditText(existing->productCode);
        ui_->Description->setText(existing->description);
        ui_->Quantity->setText(numberText(existing->quantity));
        ui_->UnitPrice->setText(moneyBoxText(existing->unitPrice));
        ui_->DiscountRate->setText(numberText(existing->discountRate));
        ui_->TaxRate->setText(numberText(existing->taxRate));
        ui_->LineValue->setText(moneyBoxText(existing->lineValue));
        lastProduct_ = existing->productCode;
    }

    connect(ui_->ProductCode, &QComboBox::activated, this, &LineItemDialog::productChosen);
    connect(ui_->ProductCode->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (ui_->ProductCode->currentText().trimmed() != lastProduct_) productChosen();
    });
    for (QLineEdit* box : {ui_->Quantity, ui_->UnitPrice, ui_->DiscountRate, ui_->TaxRate})
        connect(box, &QLineEdit::editingFinished, this, &LineItemDialog::recompute);
    connect(ui_->SaveDetails, &QPushButton::clicked, this, &LineItemDialog::SaveDetails);
    connect(ui_->Cancelf, &QPushButton::clicked, this, &QDialog::reject);
    ui_->ProductCode->setFocus();
}

LineItemDialog::~LineItemDialog() = default;

void LineItemDialog::productChosen() {
    const QString code = ui_->ProductCode->currentText().trimmed();
    lastProduct_ = code;
    const std::optional<data::ProductFacts> product = data::ReadProduct(code, data::prompter().now());
    if (!product) return;
    ui_->Description->setText(product->description);
    ui_->UnitPrice->setText(moneyBoxText(product->price));
    ui_->TaxRate->setText(product->taxRate ? numberText(*product->taxRate) : QString());
    recompute();
}

void LineItemDialog::recompute() {
    data::LineInput in;
    // A box that does not hold a number leaves the value as it was until it is corrected.
    if (!readNumber(ui_->Quantity, &in.quantity) || !readNumber(ui_->UnitPrice, &in.unitPrice) ||
        !readNumber(ui_->DiscountRate, &in.discountRate) || !readNumber(ui_->TaxRate, &in.taxRate))
        return;
    if (!ui_->Quantity->text().trimmed().isEmpty()) ui_->Quantity->setText(numberText(in.quantity));
    if (!ui_->UnitPrice->text().trimmed().isEmpty()) ui_->UnitPrice->setText(moneyBoxText(in.unitPrice));
    if (taxOnCost()) {
        const std::optional<data::ProductFacts> product =
            data::ReadProduct(ui_->ProductCode->currentText(), data::prompter().now());
        in.taxOnCost = product ? product->cost : 0.0;
    }
    ui_->LineValue->setText(data::moneyText(data::lineFigures(in).value));
}

void LineItemDialog::SaveDetails() {
    const std::pair<QLabel*, QLineEdit*> numbers[] = {{ui_->QuantityLabel, ui_->Quantity},
                                                      {ui_->UnitPriceLabel, ui_->UnitPrice},
                                                      {ui_->DiscountRateLabel, ui_->DiscountRate},
                                                      {ui_->TaxRateLabel, ui_->TaxRate}};
    double values[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (!readNumber(numbers[i].second, &values[i])) {
            data::ShowMessage(kNotANumber, fieldName(numbers[i].first) + QStringLiteral(": ") +
                                               numbers[i].second->text());
            numbers[i].second->setFocus(Qt::OtherFocusReason);
            numbers[i].second->selectAll();
            return;
        }
    }
    recompute();
    line_.productCode = ui_->ProductCode->currentText().trimmed();
    line_.description = ui_->Description->text();
    line_.quantity = values[0];
    line_.unitPrice = values[1];
    line_.discountRate = values[2];
    line_.taxRate = values[3];
    line_.lineValue = tv::Val(ui_->LineValue->text());

    data::FieldValueArray& fv = data::state().FieldValues;
    fv.resize(9);
    const QStringList row = {ui_->DocumentId->text(), ui_->ItemNo->text(), line_.productCode,
                               line_.description,      ui_->Quantity->text(), ui_->UnitPrice->text(),
                               ui_->DiscountRate->text(), ui_->TaxRate->text(), ui_->LineValue->text()};
    fv.assign(row);
    accept();
}

}  // namespace tv::forms
