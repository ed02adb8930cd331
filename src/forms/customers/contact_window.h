// The Contact window: one row of CONTACTS, a person at a customer, keyed by the customer's
// name and the person's name. Beyond the record-window protocol it
//   - lists the customer's contacts in the name's drop-down, and picking one shows that
//     contact in this window (after offering to save changes to the one shown);
//   - proposes the name's first word as the salutation;
//   - shows the birthday as day and month only ("05 Dec"), the year not being kept;
//   - refuses to save a contact without a name or whose customer does not exist;
//   - dials the person through the desktop's telephone program (Dial Now);
//   - offers to save unsaved changes when it closes.
// Captions come from FORM CAPTIONS under "Contact", labels from FIELD DEFINITIONS of
// "Contacts".
#pragma once

#include "forms/framework/designed_labels.h"
#include "forms/framework/record_window.h"

#include <QStringList>
#include <memory>

namespace Ui {
class Contact;
}

namespace tv::forms {

class ContactWindow : public RecordWindow {
    Q_OBJECT

public:
    explicit ContactWindow(QWidget* parent = nullptr);
    ~ContactWindow() override;

    // Shows the shown customer's contact of that name in this window. With unsaved
    // changes it first asks (message 9080) whether to save them; Cancel, or a save that
    // fails, keeps the contact shown. A name no longer stored gives message 953. True
    // when the contact is shown.
    bool switchContact(const QString& contactName);

    // What Dial Now offers: the numbers in the boxes, each marked (B), (M) or (H).
    QStringList dialNumbers() const;
    // Dials one of them (or any number typed) for this contact.
    bool dial(const QString& entry);

    // The customer look-up: the table-lookup window on Customers, starting at the name
    // shown; a name picked there replaces it.
    void lookUpCustomer();

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    QWidget* saveButton() const override;
    void afterLoad() override;
    void rowShown() override;
    bool beforeSave() override;
    int savedStatusMessage() const override;
    void closeEvent(QCloseEvent* event) override;

private:
    void defaultSalutation();
    // Rewrites the birthday as day and month; false (with a beep) when it is no date.
    bool formatBirthday();
    void showDialMenu();
    void contactPicked(int index);

    std::unique_ptr<Ui::Contact> ui_;
    DesignedLabels labels_;
    // The name in the name box as last shown, saved or typed, so that a pick from its
    // list, which replaces the text first, can be told from a change the user made.
    QString typedName_;
};

}  // namespace tv::forms
