#include "forms/activities/activity_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "forms/framework/designed_labels.h"
#include "ui_activity_window.h"

namespace tv::forms {

namespace {

constexpr int kInvalidDate = 800;
constexpr int kSavedStatus = 904;
constexpr int kRequiredField = 9016;

}  // namespace

ActivityWindow::ActivityWindow(QWidget* parent)
    : ActivityForm(parent), ui_(std::make_unique<Ui::Activity>()) {
    ui_->setupUi(this);
    bindSharedControls(ui_->SSDateCombo1);
    connect(ui_->DateTime, &QLineEdit::editingFinished, this, &ActivityWindow::formatMoment);
}

ActivityWindow::~ActivityWindow() = default;

QString ActivityWindow::defaultTableName() const { return QStringLiteral("Activities"); }

QSize ActivityWindow::defaultSizeTwips() const { return QSize(9600, 7050); }

int ActivityWindow::savedStatusMessage() const { return kSavedStatus; }

void ActivityWindow::formatMoment() {
    tv::DateTime when;
    if (tv::parseDateTime(ui_->DateTime->text().trimmed(), &when))
        ui_->DateTime->setText(tv::Format(tv::Variant(when), QStringLiteral("General Date")));
}

bool ActivityWindow::beforeSave() {
    if (!checkSharedFields()) return false;
    tv::DateTime when;
    if (!tv::parseDateTime(ui_->DateTime->text().trimmed(), &when)) {
        focusField(ui_->DateTime);
        data::ShowMessage(kInvalidDate);
        return false;
    }
    formatMoment();
    if (ui_->CustomerName->text().trimmed().isEmpty()) {
        data::ShowMessage(kRequiredField, fieldName(ui_->CustomerNameLabel));
        focusField(ui_->CustomerName);
        return false;
    }
    return true;
}

void ActivityWindow::afterSave() {
    const QString customer = customer_->text().trimmed();
    const QString contact = contact_->currentText().trimmed();
    const data::FollowUp next = followUp();
    const std::optional<tv::DateTime> moment = data::FollowUpMoment(next);
    const bool planned =
        moment && data::ScheduleFollowUp(next, customer, contact, campaign_->currentText().trimmed());
    // Planned once: a second save of the activity must not plan it again.
    if (planned) clearFollowUp();
    tv::DateTime when;
    if (tv::parseDateTime(ui_->DateTime->text().trimmed(), &when))
        data::UpdateContactDates(customer, contact, when,
                                 planned ? moment : std::optional<tv::DateTime>());
}

}  // namespace tv::forms
