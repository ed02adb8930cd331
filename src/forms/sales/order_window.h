// The Order window: one row of SALES ORDERS with its lines (SALES ORDERS DETAIL), on tabs
// for the order, its payment, its shipping and the custom fields. Beyond the document
// window it
//   - copies one of the customer's quotations (the Quotations drop-down, after message
//     150): contact, campaign, totals, comments and lines, written only when the order is
//     saved;
//   - after a save, turns lines of products tracked at the customer's site into customer
//     inventory items (a new order always; a saved one after message 148 when it has some
//     already);
//   - logs a payment in the customer's activities when the amount paid was changed.
// Captions come from FORM CAPTIONS under "Sales Order".
#pragma once

#include "forms/sales/document_window.h"

#include <memory>

namespace Ui {
class Order;
}

namespace tv::forms {

class OrderWindow : public DocumentWindow {
    Q_OBJECT

public:
    explicit OrderWindow(QWidget* parent = nullptr);
    ~OrderWindow() override;

    // Copies the quotation into the order, after asking.
    void copyQuotation(const QString& quoteNumber);

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    void afterLoad() override;
    void customerChanged() override;
    bool beforeSave() override;
    void afterSave() override;

private:
    void createInventory();
    void logPayment();

    std::unique_ptr<Ui::Order> ui_;
    QString paidBefore_;
};

}  // namespace tv::forms
