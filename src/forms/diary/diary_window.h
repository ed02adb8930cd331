// The Diary window (definitions form name "Diary"): a user's planned and completed work.
// The month calendar marks in bold the days of the shown month that hold planned work
// (plans and labour lines not yet completed); the day planner shows the selected day's
// timed items, "To Do List:" its planned items without a time (00:00 to 00:59) and
// "Overdue Activities:" the planned items of earlier days. The display option chooses
// planned work, completed work or both; users in workflow mode may look at another user's
// diary or at everyone's.
//
// A double-click (or Enter) opens an item in its record window: a plan in the Schedule
// window, an activity in the Activity window, a labour line's request in the Request
// window (message 112 when the row has gone meanwhile). A double-click on an empty slot
// plans a new activity at its time; Delete removes a plan after message 199 (other items
// are not deleted here). The diary is read again when the user comes back to it from
// another window and when a record window opened from it closes, so what was saved there
// shows at once.
//
// Export writes the shown work (planned, completed or both, as the display option says) of
// the shown week or month to an iCalendar file through the Schedule window's calendar export.
#pragma once

#include "data/diary.h"

#include <QDate>
#include <QList>
#include <QWidget>
#include <memory>

namespace Ui {
class Diary;
}

namespace tv::forms {

class DayPlanner;
class DiaryListModel;

class DiaryWindow : public QWidget {
    Q_OBJECT

public:
    explicit DiaryWindow(QWidget* parent = nullptr);
    ~DiaryWindow() override;

    // Selects the day (the calendar turning to its month when needed) and fills it.
    void showDay(const QDate& day);
    QDate selectedDay() const;
    // Whose items and which kinds, as the controls say.
    data::DiaryScope scope() const;
    // Reads the month's marks and the day again.
    void refresh();

    // The days of the shown month the calendar marks.
    QList<QDate> markedDays() const { return marked_; }
    DayPlanner* planner() const;
    DiaryListModel* toDoList() const { return toDo_; }
    DiaryListModel* overdueList() const { return overdue_; }

    // The item is taken as a copy: the questions asked and the windows opened let the diary
    // be read again meanwhile, which replaces the items it shows.
    // Opens the item in its record window; false when it is gone (message 112).
    bool openItem(data::DiaryItem item);
    // Plans a new activity on the selected day at the time in its record window.
    bool newItemAt(int minutesFromMidnight);
    // Deletes a plan after asking; true when it was deleted. Other items are kept.
    bool deleteItem(data::DiaryItem item);
    // Writes the shown work from `first` to `last` to a calendar file the user names (the
    // proposed name carries `rangeName`, "December 2026").
    bool exportRange(const QDate& first, const QDate& last, const QString& rangeName = QString());

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void markMonth(int year, int month);
    void fillDay();
    void activationChanged(bool active);
    void chooseExport();
    void openFromList(const DiaryListModel* model, const QModelIndex& index);
    // Reads the diary again once the window opened from it goes away.
    void watch(QWidget* window);
    QString shownUser() const;
    // Reads the diary again when another user was chosen.
    void userChosen();

    std::unique_ptr<Ui::Diary> ui_;
    DiaryListModel* toDo_ = nullptr;
    DiaryListModel* overdue_ = nullptr;
    QList<QDate> marked_;
    bool placed_ = false;
    bool watching_ = false;
    bool filled_ = false;
    // The window has been left since it was last read.
    bool away_ = false;
    QString chosenUser_;
};

}  // namespace tv::forms
