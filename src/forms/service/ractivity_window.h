// The request-activity window: one labour line of a service request (a row of REQUEST
// ACTIVITIES: who worked on the request, when, for how long and at which rates). The
// definitions know it as "Request Activity". The Request window opens it from its labour
// grid; it can also be opened from any list of the table.
//
// What it adds to the record-window protocol:
//   - the duration is typed in minutes and stored in hours;
//   - choosing a person fills the charge rate from that user's row of "System Users", and
//     so does a new line that comes with its person but no rate;
//   - the rates are shown as "0.00" once typed;
//   - Save (SaveDetails) stores the line with the data layer's SaveRecord and closes; a new
//     line is numbered after the request's last one. The scheduled and actual completion
//     are picked as dates: a date left as it was keeps the time of day stored with it, a
//     changed one is stored as that day, and an empty one stores no date;
//   - an open Request window showing the line's request is told to read its labour lines
//     and totals again (RefreshList) and is brought back to the front;
//   - Cancel (Cancelf) and Escape close without storing; Enter saves.
#pragma once

#include "forms/framework/record_window.h"

#include <memory>
#include <optional>

class QLineEdit;

namespace Ui {
class RActivity;
}

namespace tv::forms {

class DateBox;

class RActivityWindow : public RecordWindow {
    Q_OBJECT

public:
    explicit RActivityWindow(QWidget* parent = nullptr);
    ~RActivityWindow() override;

    // The Save command: checks what was typed, stores the line and closes the window.
    // True when the line was stored.
    bool saveDetails();

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    QWidget* saveButton() const override;
    void afterLoad() override;
    void rowShown() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void personChosen(const QString& person);
    // The line's values for SaveRecord (0-based, one per column); nothing, after telling
    // the user why, when something typed cannot be stored.
    std::optional<QStringList> collectLine();
    // Sets RefreshList on the open windows of the request; returns one of them (nullptr:
    // none is open).
    RecordWindow* markRequestForRefresh(const QString& requestNo);

    std::unique_ptr<Ui::RActivity> ui_;
};

// The text a stored duration in hours shows as minutes ("0.25" gives "15"), and back
// (minutes to the hours stored). Empty stays empty; a text that is no number is returned
// unchanged, so that the check before saving can show it to the user.
QString HoursToMinutesText(const QString& hours);
QString MinutesToHoursText(const QString& minutes);

}  // namespace tv::forms
