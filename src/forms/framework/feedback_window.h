// The customer feedback window: one row of CUSTOMER FEEDBACK (a compliment, complaint or
// suggestion from a customer, and the response given). The smallest record window, and
// the pattern of the others: its controls are bound to column ordinals in Designer, and
// everything else comes from the record-window base and the definitions.
#pragma once

#include "forms/framework/record_window.h"

#include <memory>

namespace Ui {
class FeedbackWindow;
}

namespace tv::forms {

class FeedbackWindow : public RecordWindow {
    Q_OBJECT

public:
    explicit FeedbackWindow(QWidget* parent = nullptr);
    ~FeedbackWindow() override;

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;

private:
    std::unique_ptr<Ui::FeedbackWindow> ui_;
};

}  // namespace tv::forms
