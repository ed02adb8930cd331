#include "forms/sales/quote_window.h"

#include "ui_quote_window.h"

namespace tv::forms {

QuoteWindow::QuoteWindow(QWidget* parent)
    : DocumentWindow(data::SalesDocument::Quotation, parent), ui_(std::make_unique<Ui::Quote>()) {
    ui_->setupUi(this);
    setUpDocument({ui_->DocumentId, ui_->CustomerName, ui_->Searchf, ui_->ContactName, ui_->Campaign,
                   ui_->SalesRep, ui_->TDBGrid1, {ui_->SubButton_0, ui_->SubButton_1, ui_->SubButton_2},
                   ui_->ItemTotal, ui_->FreightTotal, ui_->SalesTax, ui_->TotalOrder, ui_->Printf});
}

QuoteWindow::~QuoteWindow() = default;

QString QuoteWindow::defaultTableName() const { return QStringLiteral("Quotations"); }

QSize QuoteWindow::defaultSizeTwips() const { return QSize(11400, 8400); }

}  // namespace tv::forms
