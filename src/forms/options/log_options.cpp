#include "forms/options/log_options.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/scheduling.h"
#include "forms/activities/activity_form.h"
#include "forms/framework/captions.h"
#include "forms/framework/designed_labels.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/status.h"
#include "ui_log_options.h"

namespace tv::forms {

namespace {

const QString kWindowName = QStringLiteral("Log Options");

void reformat(QLineEdit* box, const QString& pattern) {
    const QString text = box->text().trimmed();
    if (text.isEmpty() || !tv::IsNumeric(tv::Variant(text))) return;
    box->setText(tv::Format(tv::Variant(tv::Val(text)), pattern));
}

}  // namespace

LogOptionsWindow::LogOptionsWindow(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::LogOptions>()) {
    ui_->setupUi(this);
    const DesignedLabels labels(this);
    ApplyFormCaptions(this, kWindowName);
    labels.restoreAccessKeys();
    ui_->ActivityType->setSource(tableColumn(QStringLiteral("Activity Types"), 0));
    connect(ui_->ActivityType, &QComboBox::currentTextChanged, this,
            [this](const QString& type) { showTypePicture(ui_->Image1, type); });
    connect(ui_->Duration, &QLineEdit::editingFinished, this, &LogOptionsWindow::formatNumbers);
    connect(ui_->Cost, &QLineEdit::editingFinished, this, &LogOptionsWindow::formatNumbers);
    connect(ui_->SaveDetails, &QPushButton::clicked, this, &LogOptionsWindow::saveEvent);
    connect(ui_->Cancelf, &QPushButton::clicked, this, &QDialog::reject);
}

LogOptionsWindow::~LogOptionsWindow() = default;

void LogOptionsWindow::showLogEvent(const QString& category, const QStringList& values) {
    ui_->Category->setText(category);
    ui_->KeyValue->setText(values.value(0));
    ui_->ActivityType->setEditText(values.value(1));
    ui_->Description->setText(values.value(2));
    ui_->Duration->setText(values.value(3));
    ui_->Cost->setText(values.value(4));
    formatNumbers();
    showTypePicture(ui_->Image1, values.value(1));
    ui_->ActivityType->setFocus(Qt::OtherFocusReason);
}

void LogOptionsWindow::formatNumbers() {
    reformat(ui_->Duration, QStringLiteral("0"));
    reformat(ui_->Cost, QStringLiteral("0.00"));
}

bool LogOptionsWindow::saveEvent() {
    formatNumbers();
    for (QLineEdit* box : {ui_->Duration, ui_->Cost}) {
        if (data::IsNumberOrEmpty(box->text())) continue;
        data::ShowMessage(data::kMsgNotANumber, box->text());
        box->setFocus(Qt::OtherFocusReason);
        return false;
    }
    const QStringList row = {ui_->Category->text(),
                             ui_->KeyValue->text(),
                             ui_->ActivityType->currentText().trimmed(),
                             ui_->Description->text(),
                             ui_->Duration->text().trimmed(),
                             ui_->Cost->text().trimmed()};
    if (!data::SaveRecord(QStringLiteral("Activity Log Options"), row, true,
                          data::kDefinitionsDb))
        return false;
    accept();
    return true;
}

}  // namespace tv::forms
