// The Schedule window: one row of SCHEDULED ACTIVITIES, work planned for a customer at a
// moment and assigned to a user, keyed by the customer's name and that moment (the
// definitions know it as "Scheduled Activity"). Beyond what it shares with the Activity
// window (activity_form.h) it
//   - edits the moment as a date and an optional time; one that is no date stops the save
//     with message 800, and a moment the customer has another plan at is refused (9141)
//     rather than written over it;
//   - after a save plans the follow-up and keeps the customer's and contact's next date on
//     the earliest plan still ahead (the business rules' next-date rule). A plan moved into
//     the past is saved as it is but no longer counts as ahead; a plan moved to another
//     customer or contact leaves their next dates right too;
//   - completes the plan (Completed): the plan becomes an activity at the completion
//     moment, by the user who completed it, is removed from the schedule and the next
//     date moves on, all in one transaction; a plan another workstation has completed
//     meanwhile is reported gone (9140) and nothing is stored twice;
//   - shows the customer's activity history, for all contacts or the current one;
//   - exports this plan, or a user's plans over a range of days, as an iCalendar file.
#pragma once

#include "forms/activities/activity_form.h"

#include <functional>
#include <memory>

namespace Ui {
class Schedule;
}

namespace tv::forms {

class ScheduleWindow : public ActivityForm {
    Q_OBJECT

public:
    explicit ScheduleWindow(QWidget* parent = nullptr);
    ~ScheduleWindow() override;

    // The Completed command. True when the plan is now an activity.
    bool complete();
    // Writes the shown plan, or the user's plans from `first` to `last` (whole days), to an
    // .ics file the user names. True when a file was written.
    bool exportThisPlan();
    bool exportSchedule(const QString& user, tv::DateTime first, tv::DateTime last);

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    void rowShown() override;
    bool beforeSave() override;
    void afterSave() override;
    int savedStatusMessage() const override;
    void closeEvent(QCloseEvent* event) override;

private:
    void tabChosen(int index);
    void showHistory();
    void chooseExport();
    bool saveCalendar(const QString& proposedName, const std::function<bool(const QString&)>& write);

    std::unique_ptr<Ui::Schedule> ui_;
    // The customer and contact the row had when shown or last saved: a plan moved away
    // from them must leave their next dates right as well.
    QString shownCustomer_;
    QString shownContact_;
    bool closingAfterCompletion_ = false;
};

}  // namespace tv::forms
