// The Activity window: one row of ACTIVITIES, something done for a customer (a call, a
// visit, a letter), keyed by the customer's name and the moment it took place. Beyond
// what it shares with the Schedule window (activity_form.h) it
//   - reads the moment typed in the regional order or in ISO and shows it as a General
//     Date; one that is no date stops the save with message 800;
//   - after a save plans the follow-up (a row of SCHEDULED ACTIVITIES), moves the
//     customer's and contact's first and last contact dates to the activity's day where it
//     lies outside them, and recomputes their next date when a follow-up was planned.
// Captions come from FORM CAPTIONS under "Activity", labels from FIELD DEFINITIONS of
// "Activities".
#pragma once

#include "forms/activities/activity_form.h"

#include <memory>

namespace Ui {
class Activity;
}

namespace tv::forms {

class ActivityWindow : public ActivityForm {
    Q_OBJECT

public:
    explicit ActivityWindow(QWidget* parent = nullptr);
    ~ActivityWindow() override;

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    bool beforeSave() override;
    void afterSave() override;
    int savedStatusMessage() const override;

private:
    void formatMoment();

    std::unique_ptr<Ui::Activity> ui_;
};

}  // namespace tv::forms
