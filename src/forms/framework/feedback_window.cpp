#include "forms/framework/feedback_window.h"

#include "core/settings_keys.h"
#include "data/failure.h"
#include "forms/framework/controls.h"
#include "ui_feedback_window.h"

#include <QPushButton>
#include <QScrollBar>

namespace tv::forms {

FeedbackWindow::FeedbackWindow(QWidget* parent)
    : RecordWindow(parent), ui_(std::make_unique<Ui::FeedbackWindow>()) {
    ui_->setupUi(this);
    // Element 0 of each custom-field array shows only once the panel gives it a column.
    ui_->CustomLabel_0->hide();
    ui_->CustomTextBox_0->hide();
    ui_->CustomCheckBox_0->hide();
    ui_->VScroll1->hide();
    connect(ui_->Savef, &QPushButton::clicked, this, &FeedbackWindow::save);
    connect(ui_->Closef, &QPushButton::clicked, this, &QWidget::close);
}

FeedbackWindow::~FeedbackWindow() = default;

QString FeedbackWindow::defaultTableName() const { return QStringLiteral("Customer Feedback"); }

QSize FeedbackWindow::defaultSizeTwips() const { return QSize(7200, 6600); }

void FeedbackWindow::save() { saveAndFinish(0); }

}  // namespace tv::forms
