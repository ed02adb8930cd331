// The diary's day planner (SSDay1): the selected day from 6:00 to 22:00 in 30-minute
// slots, a time gutter on the left and the day's timed items drawn over their time span in
// the colour of their source (light cyan a plan, white a completed activity, yellow a
// service request's labour line). Items that overlap stand side by side, each cluster of
// overlapping items sharing the width equally.
//
// Items starting before 6:00 or at 22:00 and later are not hidden: the planner widens to
// the hour of the earliest and past the hour of the latest start, and draws the slots
// outside the working hours shaded. An item is drawn at least one slot high, so one of no
// duration can still be read and double-clicked; one running past the last slot is cut
// there.
//
// A click selects an item; a double-click opens it (itemActivated) or, on an empty slot,
// asks for a new item at the slot's time (slotActivated); the Delete key asks to delete the
// selected item (deleteRequested); Enter opens it.
#pragma once

#include "data/diary.h"

#include <QWidget>
#include <vector>

namespace tv::forms {

class DayPlanner : public QWidget {
    Q_OBJECT

public:
    static constexpr int kFirstHour = 6;
    static constexpr int kLastHour = 22;
    static constexpr int kSlotMinutes = 30;

    explicit DayPlanner(QWidget* parent = nullptr);

    // Shows the day's timed items (the planner list of data::ReadDiaryDay).
    void setItems(tv::DateTime day, std::vector<data::DiaryItem> items);
    const std::vector<data::DiaryItem>& items() const { return items_; }

    // The hours shown: the working hours, widened to the items outside them.
    int firstHour() const { return firstHour_; }
    int lastHour() const { return lastHour_; }
    int slotCount() const { return (lastHour_ - firstHour_) * 60 / kSlotMinutes; }

    // Where things are drawn, and what is at a point: an item index or -1, a slot or -1.
    QRect itemRect(int index) const;
    QRect slotRect(int slot) const;
    int itemAt(const QPoint& point) const;
    int slotAt(const QPoint& point) const;
    // Minutes from midnight at which a slot starts.
    int slotMinutes(int slot) const { return firstHour_ * 60 + slot * kSlotMinutes; }

    int selectedItem() const { return selected_; }
    void selectItem(int index);

    // The background of an item from its source.
    static QColor colourOf(const data::DiaryItem& item);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void itemActivated(int index);
    void slotActivated(int minutesFromMidnight);
    void deleteRequested(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    int slotHeight() const;
    int gutterWidth() const;
    // Minutes from midnight of the item's start and its drawn end, within the day.
    std::pair<double, double> span(const data::DiaryItem& item) const;
    // Gives each item its column and its cluster's column count.
    void arrange();

    tv::DateTime day_;
    std::vector<data::DiaryItem> items_;
    std::vector<int> column_;
    std::vector<int> columns_;
    int firstHour_ = kFirstHour;
    int lastHour_ = kLastHour;
    int selected_ = -1;
};

}  // namespace tv::forms
