#include "forms/sales/order_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/activity_log.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "engine/engine.h"
#include "forms/framework/captions.h"
#include "forms/framework/pick_list.h"
#include "ui_order_window.h"

namespace tv::forms {

namespace {

constexpr int kRebuildInventory = 148;
constexpr int kCopyQuotation = 150;

// QUOTATIONS slots (1-based) copied into the order.
constexpr int kQuoteContact = 5;
constexpr int kQuoteCampaign = 6;
constexpr int kQuoteItems = 8;
constexpr int kQuoteFreight = 9;
constexpr int kQuoteTax = 10;
constexpr int kQuoteTotal = 11;
constexpr int kQuoteComments = 12;

QString moneyOf(const QString& text) { return tv::Format(tv::Variant(tv::Val(text)), QStringLiteral("0.00")); }

}  // namespace

OrderWindow::OrderWindow(QWidget* parent)
    : DocumentWindow(data::SalesDocument::Order, parent), ui_(std::make_unique<Ui::Order>()) {
    ui_->setupUi(this);
    setUpDocument({ui_->DocumentId, ui_->CustomerName, ui_->Searchf, ui_->ContactName, ui_->Campaign,
                   ui_->SalesRep, ui_->TDBGrid1, {ui_->SubButton_0, ui_->SubButton_1, ui_->SubButton_2},
                   ui_->ItemTotal, ui_->FreightTotal, ui_->SalesTax, ui_->TotalOrder, ui_->Printf});
    ui_->Quotations->setSource([this] {
        return tableColumn(QStringLiteral("SELECT * FROM QUOTATIONS WHERE [CUSTOMER NAME] = ") +
                               engine::quoteLiteral(ui_->CustomerName->text().trimmed()) +
                               QStringLiteral(" ORDER BY [QUOTENO] DESC"),
                           0)();
    });
    ui_->OrderStatus->setSource(tableColumn(QStringLiteral("Status Codes"), 0));
    ui_->CardType->setSource(tableColumn(QStringLiteral("Card Types"), 0));
    ui_->ShipStatus->setSource(tableColumn(QStringLiteral("Shipping Status"), 0));
    ui_->ShippedBy->setSource(tableColumn(QStringLiteral("System Users"), 0));
    ui_->PType->setSource([] {
        return QStringList{tr("Account"), tr("Cash"), tr("Cheque"), tr("Credit Card"), tr("Direct Debit")};
    });
    // A customer chosen for a new order brings its account number.
    connect(ui_->CustomerName, &QLineEdit::editingFinished, this, [this] {
        if (!ui_->AccountNo->text().trimmed().isEmpty()) return;
        ui_->AccountNo->setText(data::GetFieldText(QStringLiteral("Customers"),
                                                   ui_->CustomerName->text().trimmed(), QString(), 23));
    });
    connect(ui_->Quotations, &QComboBox::activated, this,
            [this] { copyQuotation(ui_->Quotations->currentText()); });
    connect(ui_->AmountPaid, &QLineEdit::editingFinished, this, [this] {
        const QString text = ui_->AmountPaid->text().trimmed();
        if (!text.isEmpty() && tv::IsNumeric(tv::Variant(text))) ui_->AmountPaid->setText(moneyOf(text));
    });
}

OrderWindow::~OrderWindow() = default;

QString OrderWindow::defaultTableName() const { return QStringLiteral("Sales Orders"); }

QSize OrderWindow::defaultSizeTwips() const { return QSize(12300, 9000); }

void OrderWindow::afterLoad() {
    // The order's captions are kept under "Sales Order", not under the window's name.
    ApplyFormCaptions(this, QStringLiteral("Sales Order"));
    DocumentWindow::afterLoad();
}

void OrderWindow::customerChanged() {
    DocumentWindow::customerChanged();
    ui_->Quotations->invalidate();
}

void OrderWindow::copyQuotation(const QString& quoteNumber) {
    const QString number = quoteNumber.trimmed();
    if (number.isEmpty()) return;
    if (data::ShowMessage(kCopyQuotation, number) != data::msgbox::kYes) return;
    if (!data::LoadRecord(QStringLiteral("Quotations"), number)) return;
    const data::FieldValueArray quote = data::state().FieldValues;
    ui_->ContactName->setEditText(quote(kQuoteContact));
    ui_->Campaign->setEditText(quote(kQuoteCampaign));
    ui_->ItemTotal->setText(moneyOf(quote(kQuoteItems)));
    ui_->FreightTotal->setText(moneyOf(quote(kQuoteFreight)));
    ui_->SalesTax->setText(moneyOf(quote(kQuoteTax)));
    ui_->TotalOrder->setText(moneyOf(quote(kQuoteTotal)));
    ui_->Comments->setPlainText(quote(kQuoteComments));
    replaceLines(data::ReadDocumentLines(data::SalesDocument::Quotation, number));
}

bool OrderWindow::beforeSave() {
    // What the order had been paid before, to tell a new payment.
    paidBefore_ = data::StoredAmountPaid(ui_->DocumentId->text());
    return DocumentWindow::beforeSave();
}

void OrderWindow::afterSave() {
    DocumentWindow::afterSave();
    createInventory();
    logPayment();
}

void OrderWindow::createInventory() {
    bool anyTracked = false;
    for (const data::DocumentLine& line : lines()) {
        const std::optional<data::ProductFacts> product = data::ReadProduct(line.productCode, tv::DateTime{});
        if (product && product->tracked) {
            anyTracked = true;
            break;
        }
    }
    if (!anyTracked) return;
    const QString number = ui_->DocumentId->text().trimmed();
    if (!wasNew() && data::HasOrderInventory(number)) {
        if (data::ShowMessage(kRebuildInventory) != data::msgbox::kYes) return;
        if (!data::DeleteOrderInventory(number)) return;
    }
    data::CreateOrderInventory(number, ui_->CustomerName->text().trimmed(), lines(),
                               data::prompter().now());
}

void OrderWindow::logPayment() {
    const QString paid = ui_->AmountPaid->text().trimmed();
    if (tv::Val(paid) == tv::Val(paidBefore_)) return;
    const QString customer = ui_->CustomerName->text().trimmed();
    if (data::GetFieldText(QStringLiteral("Customers"), customer, QString(), 0).isEmpty()) return;
    data::LogEvent(data::kLogOther, QStringLiteral("Payments"), customer,
                   ui_->ContactName->currentText().trimmed(),
                   tv::Format(tv::Variant(tv::Val(paid)), QStringLiteral("Currency")));
}

}  // namespace tv::forms
