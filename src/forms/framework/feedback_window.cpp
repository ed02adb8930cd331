#include "forms/framework/feedback_window.h"

#include "ui_feedback_window.h"

namespace tv::forms {

FeedbackWindow::FeedbackWindow(QWidget* parent)
    : RecordWindow(parent), ui_(std::make_unique<Ui::FeedbackWindow>()) {
    ui_->setupUi(this);
}

FeedbackWindow::~FeedbackWindow() = default;

QString FeedbackWindow::defaultTableName() const { return QStringLiteral("Customer Feedback"); }

QSize FeedbackWindow::defaultSizeTwips() const { return QSize(7200, 6600); }

}  // namespace tv::forms
