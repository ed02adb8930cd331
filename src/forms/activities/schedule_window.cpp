#include "forms/activities/schedule_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/business_rules.h"
#include "data/prompter.h"
#include "forms/framework/controls.h"
#include "forms/framework/designed_labels.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/related_rows_grid.h"
#include "forms/framework/status.h"
#include "messaging/calendar_export.h"
#include "ui_export_range.h"
#include "ui_schedule_window.h"

#include <QCloseEvent>
#include <QMenu>
#include <QStandardPaths>

#include <cmath>

namespace tv::forms {

namespace {

constexpr int kInvalidDate = 800;
constexpr int kCompletedStatus = 904;
constexpr int kSavedStatus = 905;
constexpr int kRequiredField = 9016;
constexpr int kNothingToExport = 9145;
constexpr int kCalendarWritten = 9146;
constexpr int kSharedColumns = 16;

const QString kCalendarFilter = QStringLiteral("iCalendar Files (*.ics)|*.ics");

std::int32_t wholeDay(tv::DateTime d) { return static_cast<std::int32_t>(std::floor(d.serial)); }

QString generalDate(tv::DateTime d) {
    return tv::Format(tv::Variant(d), QStringLiteral("General Date"));
}

}  // namespace

ScheduleWindow::ScheduleWindow(QWidget* parent)
    : ActivityForm(parent), ui_(std::make_unique<Ui::Schedule>()) {
    ui_->setupUi(this);
    // FORM CAPTIONS and the custom fields know the window by this name.
    setObjectName(QStringLiteral("Scheduled Activity"));
    bindSharedControls(ui_->FollowUpDate);
    ui_->CompletedBy->setSource(tableColumn(QStringLiteral("System Users"), 0));
    connect(ui_->TabStrip1, &QTabWidget::currentChanged, this, &ScheduleWindow::tabChosen);
    connect(ui_->Completedf, &QPushButton::clicked, this, &ScheduleWindow::complete);
    connect(ui_->ListOption_0, &QRadioButton::toggled, this, &ScheduleWindow::showHistory);
    connect(ui_->ExportCalendar, &QPushButton::clicked, this, &ScheduleWindow::chooseExport);
}

ScheduleWindow::~ScheduleWindow() = default;

QString ScheduleWindow::defaultTableName() const { return QStringLiteral("Scheduled Activities"); }

QSize ScheduleWindow::defaultSizeTwips() const { return QSize(9600, 7350); }

int ScheduleWindow::savedStatusMessage() const { return kSavedStatus; }

void ScheduleWindow::rowShown() {
    ActivityForm::rowShown();
    // The stored moment split into the date and, when it has one, the time.
    const QString stored = ui_->ScheduledDateTime->text().trimmed();
    tv::DateTime when;
    if (tv::parseDateTime(stored, &when)) {
        ui_->ScheduledDate->setDateText(tv::toIsoText(when));
        ui_->ScheduledTime->setText(stored.contains(u':')
                                        ? tv::Format(tv::Variant(when), QStringLiteral("hh:mm:ss"))
                                        : QString());
    } else {
        ui_->ScheduledDate->clear();
        ui_->ScheduledTime->clear();
    }
    ui_->Completed->clear();
    ui_->CompletedBy->setEditText(QString());
    shownCustomer_ = localEditMode() == 2 ? customer_->text().trimmed() : QString();
    shownContact_ = localEditMode() == 2 ? contact_->currentText().trimmed() : QString();
    if (ui_->TabStrip1->currentWidget() == ui_->HistoryTab) showHistory();
}

void ScheduleWindow::tabChosen(int index) {
    QWidget* page = ui_->TabStrip1->widget(index);
    const tv::DateTime now = data::prompter().now();
    if (page == ui_->CompleteTab && ui_->Completed->text().trimmed().isEmpty()) {
        ui_->Completed->setText(generalDate(now));
    } else if (page == ui_->FollowUpTab) {
        if (ui_->FollowUpDate->isNull()) ui_->FollowUpDate->setDateText(tv::toIsoText(now));
        if (ui_->FollowupTime->text().trimmed().isEmpty())
            ui_->FollowupTime->setText(tv::Format(tv::Variant(now), QStringLiteral("Short Time")));
        if (ui_->FollowupRep->currentText().trimmed().isEmpty())
            ui_->FollowupRep->setEditText(data::state().CurrentUserId);
    } else if (page == ui_->HistoryTab) {
        showHistory();
    }
}

void ScheduleWindow::showHistory() {
    RelatedRows rows;
    rows.table = QStringLiteral("Activities");
    rows.linkColumn = QStringLiteral("CUSTOMER NAME");
    rows.linkValue = customer_->text().trimmed();
    if (ui_->ListOption_1->isChecked()) {
        rows.alsoColumn = QStringLiteral("CONTACT NAME");
        rows.alsoValue = contact_->currentText().trimmed();
    }
    // History is read here; new activities come from completing the plan.
    rows.allowNew = false;
    rows.allowDelete = false;
    ui_->History->showRows(rows);
}

bool ScheduleWindow::beforeSave() {
    if (!checkSharedFields()) return false;
    QString text = ui_->ScheduledDate->dateText();
    const QString time = ui_->ScheduledTime->text().trimmed();
    if (!time.isEmpty()) text += u' ' + time;
    tv::DateTime when;
    if (text.isEmpty() || !tv::parseDateTime(text, &when)) {
        focusField(ui_->ScheduledDate);
        data::ShowMessage(kInvalidDate);
        return false;
    }
    const QString customer = customer_->text().trimmed();
    if (customer.isEmpty()) {
        data::ShowMessage(kRequiredField, fieldName(ui_->CustomerNameLabel));
        focusField(customer_);
        return false;
    }
    // A plan saved under its own key is updated; any other row at that moment is another
    // plan, which this save must not replace.
    tv::DateTime storedWhen;
    const bool ownKey =
        localEditMode() == 2 && storedKey().value(0).compare(customer, Qt::CaseInsensitive) == 0 &&
        tv::parseDateTime(storedKey().value(1), &storedWhen) &&
        tv::toIsoText(storedWhen) == tv::toIsoText(when);
    if (!ownKey && data::ScheduledActivityAt(customer, when)) {
        data::ShowMessage(data::kMsgPlanTaken,
                          customer + QStringLiteral(", ") + generalDate(when));
        focusField(time.isEmpty() ? static_cast<QWidget*>(ui_->ScheduledDate)
                                  : static_cast<QWidget*>(ui_->ScheduledTime));
        return false;
    }
    // A date alone is stored as the date alone.
    ui_->ScheduledDateTime->setText(time.isEmpty() ? tv::toIsoText(when).left(10)
                                                   : tv::toIsoText(when));
    return true;
}

void ScheduleWindow::afterSave() {
    const QString customer = customer_->text().trimmed();
    const QString contact = contact_->currentText().trimmed();
    const data::FollowUp next = followUp();
    if (data::FollowUpMoment(next) &&
        data::ScheduleFollowUp(next, customer, contact, campaign_->currentText().trimmed()))
        clearFollowUp();

    tv::DateTime when;
    std::int32_t day = 0;
    // A plan moved into the past is no longer ahead: it does not become the next date.
    if (tv::parseDateTime(ui_->ScheduledDateTime->text(), &when) &&
        wholeDay(when) >= wholeDay(data::prompter().now()))
        day = wholeDay(when);
    data::ApplyNextDateRule(customer, contact, day);
    const bool customerMoved = !shownCustomer_.isEmpty() &&
                               shownCustomer_.compare(customer, Qt::CaseInsensitive) != 0;
    if (customerMoved)
        data::ApplyNextDateRule(shownCustomer_, shownContact_, 0);
    else if (!shownContact_.isEmpty() && shownContact_.compare(contact, Qt::CaseInsensitive) != 0)
        data::ApplyNextDateRule(customer, shownContact_, 0);
    shownCustomer_ = customer;
    shownContact_ = contact;
}

bool ScheduleWindow::complete() {
    // A plan never saved is saved first: completion moves a stored plan.
    if ((localEditMode() != 2 || storedKey().value(0).isEmpty()) && !save()) return false;
    tv::DateTime done;
    if (!tv::parseDateTime(ui_->Completed->text().trimmed(), &done)) {
        focusField(ui_->Completed);
        data::ShowMessage(kInvalidDate);
        return false;
    }
    if (!checkSharedFields()) return false;
    tv::DateTime planned;
    if (!tv::parseDateTime(storedKey().value(1), &planned)) return false;

    // The activity is the row as shown, at the moment it was done, by whoever did it.
    QStringList row;
    for (int i = 0; i < kSharedColumns; ++i) row << QString();
    for (QObject* control : taggedControls(this)) {
        const int n = boundOrdinal(control);
        if (n < 1 || n > kSharedColumns) continue;
        if (const std::optional<QString> value = controlValue(control)) row[n - 1] = *value;
    }
    row[1] = tv::toIsoText(done);
    if (const QString by = ui_->CompletedBy->currentText().trimmed(); !by.isEmpty()) row[4] = by;

    const data::Completion result =
        data::CompleteScheduledActivity(storedKey().value(0), planned, row, followUp());
    if (result == data::Completion::Failed) return false;
    if (result == data::Completion::Completed) ShowStatusMessage(kCompletedStatus);
    // Completed, or gone from the schedule: either way there is no plan left to show.
    closingAfterCompletion_ = true;
    close();
    return result == data::Completion::Completed;
}

void ScheduleWindow::closeEvent(QCloseEvent* event) {
    if (closingAfterCompletion_) {
        RecordWindow::closeEvent(event);
        return;
    }
    ActivityForm::closeEvent(event);
    if (event->isAccepted()) ui_->History->saveLayout();
}

void ScheduleWindow::chooseExport() {
    QMenu menu(this);
    QAction* one = menu.addAction(tr("This Scheduled Activity..."));
    one->setEnabled(localEditMode() == 2);
    QAction* range = menu.addAction(tr("Schedule of a User..."));
    QAction* chosen =
        menu.exec(ui_->ExportCalendar->mapToGlobal(QPoint(0, ui_->ExportCalendar->height())));
    if (chosen == one) {
        exportThisPlan();
    } else if (chosen == range) {
        QDialog dialog(this);
        Ui::ExportRange form;
        form.setupUi(&dialog);
        form.UserId->setSource(tableColumn(QStringLiteral("System Users"), 0));
        form.UserId->setEditText(data::state().CurrentUserId);
        // The week ahead, today first.
        const tv::DateTime today{std::floor(data::prompter().now().serial)};
        form.FromDate->setDateText(tv::toIsoText(today));
        form.ToDate->setDateText(tv::toIsoText(tv::DateTime{today.serial + 6}));
        if (dialog.exec() != QDialog::Accepted) return;
        tv::DateTime first;
        tv::DateTime last;
        if (!tv::parseDateTime(form.FromDate->dateText(), &first) ||
            !tv::parseDateTime(form.ToDate->dateText(), &last)) {
            data::ShowMessage(kInvalidDate);
            return;
        }
        exportSchedule(form.UserId->currentText().trimmed(), first, last);
    }
}

bool ScheduleWindow::saveCalendar(const QString& proposedName,
                                  const std::function<bool(const QString&)>& write) {
    data::FileRequest request;
    request.title = tr("Export to Calendar");
    request.filter = kCalendarFilter;
    request.defaultName = proposedName;
    request.initialFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = data::prompter().saveFile(request);
    if (path.isEmpty()) return false;
    if (!path.endsWith(QStringLiteral(".ics"), Qt::CaseInsensitive)) path += QStringLiteral(".ics");
    if (!write(path)) return false;
    ShowStatusMessage(kCalendarWritten);
    return true;
}

bool ScheduleWindow::exportThisPlan() {
    tv::DateTime when;
    if (localEditMode() != 2 || !tv::parseDateTime(storedKey().value(1), &when)) return false;
    const std::optional<messaging::CalendarEvent> event =
        messaging::ScheduledEvent(storedKey().value(0), when);
    if (!event) return false;
    return saveCalendar(QStringLiteral("Scheduled Activity.ics"), [&](const QString& path) {
        return messaging::WriteCalendarFile(path, {*event});
    });
}

bool ScheduleWindow::exportSchedule(const QString& user, tv::DateTime first, tv::DateTime last) {
    const std::vector<messaging::CalendarEvent> events =
        messaging::ScheduledEvents(user, first, last);
    if (events.empty()) {
        const QString shortDate = QStringLiteral("Short Date");
        data::ShowMessage(kNothingToExport,
                          user + QStringLiteral(", ") + tv::Format(tv::Variant(first), shortDate) +
                              QStringLiteral(" - ") + tv::Format(tv::Variant(last), shortDate) +
                              u'.');
        return false;
    }
    return saveCalendar(user + QStringLiteral(" Schedule.ics"), [&](const QString& path) {
        return messaging::WriteCalendarFile(path, events);
    });
}

}  // namespace tv::forms
