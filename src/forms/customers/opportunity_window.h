// The Sales Opportunity window: one row of "Sales Opportunities", a possible sale to a
// customer, keyed by the customer's name and the date and time it was identified.
// Beyond the record-window protocol it
//   - fills its lists when they first drop down: the customer's contacts, the users (the
//     sales rep), the status codes and the month names of the user's language;
//   - shows the chosen contact's business, home and mobile numbers, read-only;
//   - writes the value as money ("0.00") and the probability as a whole percentage;
//   - refuses to save what the table cannot hold (no customer, no date, a value that is
//     no amount, a probability outside 0 to 100), saying why and keeping what was typed.
// Cancel closes without saving; closing otherwise offers to save unsaved changes.
#pragma once

#include "forms/framework/designed_labels.h"
#include "forms/framework/record_window.h"

#include <memory>

namespace Ui {
class Opportunity;
}

namespace tv::forms {

class OpportunityWindow : public RecordWindow {
    Q_OBJECT

public:
    explicit OpportunityWindow(QWidget* parent = nullptr);
    ~OpportunityWindow() override;

    // Fills the three number boxes from the contact named in the window; empties them
    // when the customer has no such contact.
    void ShowContactNumbers();
    // The customer look-up, as in the contact window.
    void lookUpCustomer();

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    QWidget* saveButton() const override;
    void afterLoad() override;
    void rowShown() override;
    void afterActivate() override;
    bool beforeSave() override;
    int savedStatusMessage() const override;
    void closeEvent(QCloseEvent* event) override;

private:
    void formatNumbers();
    void formatIdentified();

    std::unique_ptr<Ui::Opportunity> ui_;
    DesignedLabels labels_;
    // Set by Cancel: the window closes without the question about unsaved changes.
    bool discarding_ = false;
};

}  // namespace tv::forms
