// What the Activity and Schedule windows share, both being a row of the sixteen columns
// ACTIVITIES and SCHEDULED ACTIVITIES have in common, with follow-up fields beside it:
//   - the lists (types, users, the customer's contacts, campaigns, result codes), read when
//     they first drop down; the contacts again when the customer changes;
//   - the activity type's picture beside each type list, refreshed on every activation;
//   - the chosen contact's numbers, read-only, and Dial Now;
//   - the stop-watch (Start Watch), which counts the duration in minutes while it runs;
//   - Duration rewritten as whole minutes and Cost as money when left, and the save's check
//     that refuses either when it is not a number (message 9142), keeping what was typed;
//   - the customer look-up and the project link;
//   - the question (message 9015) before unsaved changes are closed over.
// The two windows add the moment's own rules and what a save does to other rows.
#pragma once

#include "data/scheduling.h"
#include "forms/framework/designed_labels.h"
#include "forms/framework/record_window.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tv::forms {

class DateBox;
class PickList;

// Shows the activity type's picture (the "Activity Types" row's picture file, in the
// Pictures folder) in the label; clears it when the type has none or the file is missing.
void showTypePicture(QLabel* image, const QString& type);

class ActivityForm : public RecordWindow {
    Q_OBJECT

public:
    explicit ActivityForm(QWidget* parent = nullptr);
    ~ActivityForm() override;

    // The stop-watch: started with the count at 0, or stopped. tick() is its one-second
    // step (public so that tests need not wait).
    void toggleWatch();
    bool watchRunning() const;
    void tick();

    // Links the activity to one of the customer's projects (all projects when no customer
    // is entered), through the table-lookup window.
    void selectProject();
    // The customer look-up, starting at the name shown.
    void lookUpCustomer();
    // Fills the three number boxes from the chosen contact; empties them otherwise.
    void ShowContactNumbers();

protected:
    // Finds the shared controls by name; the subclass calls it after its setupUi.
    void bindSharedControls(QWidget* followUpDate);

    QWidget* saveButton() const override;
    void afterLoad() override;
    void rowShown() override;
    void afterActivate() override;
    void closeEvent(QCloseEvent* event) override;

    // Stops the watch, tidies the numbers and checks them. False (the user told why, the
    // focus on the field) when the row must not be saved.
    bool checkSharedFields();
    // The follow-up as typed; the fields are emptied once it is planned.
    data::FollowUp followUp() const;
    void clearFollowUp();
    // Puts the focus on a field, raising its tab page first.
    static void focusField(QWidget* field);

    QLineEdit* customer_ = nullptr;
    PickList* contact_ = nullptr;
    PickList* campaign_ = nullptr;
    QLineEdit* duration_ = nullptr;
    QLineEdit* cost_ = nullptr;

private:
    void formatNumbers();
    void showPictures();
    void showDialMenu();

    DesignedLabels labels_;
    PickList* type_ = nullptr;
    PickList* followUpType_ = nullptr;
    PickList* followUpRep_ = nullptr;
    QLabel* image1_ = nullptr;
    QLabel* image2_ = nullptr;
    QWidget* followUpDate_ = nullptr;
    QLineEdit* followUpTime_ = nullptr;
    QLineEdit* followUpDescription_ = nullptr;
    QTimer* timer_ = nullptr;
    std::int32_t seconds_ = 0;
};

}  // namespace tv::forms
