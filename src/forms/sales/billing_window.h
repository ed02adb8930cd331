// The Billing window ("Customer Billing"): runs the billing run (data/billing_run.h) for one
// customer or all of them, over the kinds of item ticked, for a period or for everything
// outstanding, raising one invoice per customer or several, and optionally printing every
// invoice raised in one pass. The progress bar follows the customers done; the run ends
// with the number of invoices raised, and the window closes.
//
// "Bill All Outstanding" bills every outstanding item whatever its date.
#pragma once

#include "data/billing_run.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Billing;
}

namespace tv::forms {

class BillingWindow : public QDialog {
    Q_OBJECT

public:
    explicit BillingWindow(QWidget* parent = nullptr);
    ~BillingWindow() override;

    // The Run command; false when nothing was run (no kind ticked).
    bool run();
    // The invoices the last run raised.
    const data::BillingResult& result() const { return result_; }

private:
    data::BillingRequest request() const;
    void lookUpCustomer();

    std::unique_ptr<Ui::Billing> ui_;
    data::BillingResult result_;
};

}  // namespace tv::forms
