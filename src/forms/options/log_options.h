// The Log Options window: what one business event writes into the customer's activities
// (a row of ACTIVITY LOG OPTIONS in the definitions): the activity type, with its picture,
// the description, the duration in minutes and the cost. An empty type switches the event
// off. Save writes the row at once (a duration or cost that is not a number is refused
// with message 9142, nothing saved); Cancel closes without saving. Captions come from
// FORM CAPTIONS under "Log Options".
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class LogOptions;
}

namespace tv::forms {

class LogOptionsWindow : public QDialog {
    Q_OBJECT

public:
    explicit LogOptionsWindow(QWidget* parent = nullptr);
    ~LogOptionsWindow() override;

    // Shows the event: its key, then type, description, duration and cost as listed.
    void showLogEvent(const QString& category, const QStringList& values);
    // Writes the row and closes; false (the window stays open) when it was not saved.
    bool saveEvent();

private:
    void formatNumbers();

    std::unique_ptr<Ui::LogOptions> ui_;
};

}  // namespace tv::forms
