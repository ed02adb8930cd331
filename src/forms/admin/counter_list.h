// The CounterList window: the numbered tables (TABLE DEFINITIONS rows with COUNTERTABLE
// on) and, on a double-click or Enter, a prompt for the last number used, which the next
// new record of that table counts on from. Zero is refused; lowering a counter is asked
// about, since the numbers between may be handed out again (the counter skips only those
// still in the table).
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class CounterList;
}

namespace tv::forms {

class CounterList : public QDialog {
    Q_OBJECT

public:
    explicit CounterList(QWidget* parent = nullptr);
    ~CounterList() override;

    // The table name kept for each listed entry, in list order.
    const QStringList& tableNames() const { return tableNames_; }

    // Asks for the new value of the entry's counter and stores it: status 919 when
    // stored, 920 when the question is cancelled or left empty.
    void changeCounter(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::CounterList> ui_;
    QStringList tableNames_;
};

}  // namespace tv::forms
