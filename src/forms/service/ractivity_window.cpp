#include "forms/service/ractivity_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/failure.h"
#include "engine/engine.h"
#include "forms/framework/date_box.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/status.h"
#include "forms/framework/window_host.h"
#include "ui_ractivity_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cmath>
#include <optional>

namespace tv::forms {

namespace {

const QString kTable = QStringLiteral("Request Activities");
const QString kRequests = QStringLiteral("Current Requests");

// Messages.
constexpr int kInvalidDate = 800;
constexpr int kNoSaveRight = 9133;
constexpr int kNotANumber = 9142;
constexpr int kNoRequest = 9185;

// Columns of a line (0-based).
constexpr int kRequestNo = 0;
constexpr int kActivityNo = 1;
constexpr int kDuration = 6;
constexpr int kScheduled = 9;
constexpr int kCompleted = 10;
// The user's charge rate in "System Users" (0-based).
constexpr int kUserChargeRate = 11;

bool isNumber(const QString& text) { return tv::IsNumeric(tv::Variant(text)); }

QString rateText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || !isNumber(trimmed)) return text;
    return tv::Format(tv::Variant(tv::CDbl(tv::Variant(trimmed))), QStringLiteral("0.00"));
}

// The moment a date picker stands for: the stored moment when the picker still shows its
// day (its time of day is kept), else the picked day; empty for no date.
QString pickedMoment(const DateBox& box, const QString& stored) {
    if (box.isNull()) return {};
    tv::DateTime moment;
    if (!stored.isEmpty() && tv::parseDateTime(stored, &moment) &&
        tv::toQDateTime(moment).date() == box.date())
        return tv::toIsoText(moment);
    return box.dateText();
}

}  // namespace

QString HoursToMinutesText(const QString& hours) {
    const QString trimmed = hours.trimmed();
    if (trimmed.isEmpty() || !isNumber(trimmed)) return hours;
    const double minutes = std::round(tv::CDbl(tv::Variant(trimmed)) * 60.0 * 100.0) / 100.0;
    const bool whole = minutes == std::floor(minutes);
    return tv::Format(tv::Variant(minutes), whole ? QStringLiteral("0") : QStringLiteral("0.00"));
}

QString MinutesToHoursText(const QString& minutes) {
    const QString trimmed = minutes.trimmed();
    if (trimmed.isEmpty() || !isNumber(trimmed)) return minutes;
    return tv::CStr(tv::Variant(tv::CDbl(tv::Variant(trimmed)) / 60.0));
}

RActivityWindow::RActivityWindow(QWidget* parent)
    : RecordWindow(parent), ui_(std::make_unique<Ui::RActivity>()) {
    ui_->setupUi(this);
    // The definitions' name of this window (FORM CAPTIONS, layout).
    setObjectName(QStringLiteral("Request Activity"));
    ui_->WorkGroup->setSource(tableColumn(QStringLiteral("Support Areas"), 0));
    ui_->Person->setSource(tableColumn(QStringLiteral("System Users"), 0));
    connect(ui_->Person, &QComboBox::textActivated, this, &RActivityWindow::personChosen);
    for (QLineEdit* rate : {ui_->ChargeRate, ui_->CostRate})
        connect(rate, &QLineEdit::editingFinished, this,
                [rate] { rate->setText(rateText(rate->text())); });
    connect(ui_->SaveDetails, &QPushButton::clicked, this, &RActivityWindow::saveDetails);
    connect(ui_->Cancelf, &QPushButton::clicked, this, &QWidget::close);
}

RActivityWindow::~RActivityWindow() = default;

QString RActivityWindow::defaultTableName() const { return kTable; }

QSize RActivityWindow::defaultSizeTwips() const { return QSize(7800, 4500); }

QWidget* RActivityWindow::saveButton() const { return ui_->SaveDetails; }

void RActivityWindow::afterLoad() {
    // The definitions describe the stored hours; this box shows minutes.
    ui_->Duration->setToolTip(tr("The time worked, in minutes"));
}

void RActivityWindow::rowShown() {
    ui_->Duration->setText(HoursToMinutesText(ui_->Duration->text()));
    ui_->ChargeRate->setText(rateText(ui_->ChargeRate->text()));
    ui_->CostRate->setText(rateText(ui_->CostRate->text()));
    ui_->Scheduled->setDateText(ui_->ScheduledMoment->text());
    ui_->Completed->setDateText(ui_->CompletedMoment->text());
    // A new line handed its person (the request's allocated one) charges at their rate.
    if (localEditMode() == 1 && ui_->ChargeRate->text().trimmed().isEmpty())
        personChosen(ui_->Person->currentText());
}

void RActivityWindow::personChosen(const QString& person) {
    if (person.trimmed().isEmpty()) return;
    const QString rate =
        data::GetFieldText(QStringLiteral("System Users"), person, QString(), kUserChargeRate);
    if (!rate.isEmpty()) ui_->ChargeRate->setText(rateText(rate));
}

std::optional<QStringList> RActivityWindow::collectLine() {
    const QString requestNo = ui_->RequestNo->text().trimmed();
    if (requestNo.isEmpty() || !isNumber(requestNo)) {
        data::ShowMessage(kNoRequest);
        return std::nullopt;
    }
    const QString when = ui_->DateTime->text().trimmed();
    if (!when.isEmpty() && !tv::IsDate(tv::Variant(when))) {
        ui_->DateTime->setFocus();
        data::ShowMessage(kInvalidDate);
        return std::nullopt;
    }
    for (QLineEdit* box : {ui_->Duration, ui_->ChargeRate, ui_->CostRate}) {
        const QString text = box->text().trimmed();
        if (text.isEmpty() || isNumber(text)) continue;
        box->setFocus();
        box->selectAll();
        data::ShowMessage(kNotANumber, text);
        return std::nullopt;
    }

    // The bound controls' values as the table's columns (nothing is written here).
    if (SaveFormFields(this, kTable, 0, QString(), QString()) == 0) return std::nullopt;
    const data::FieldValueArray& buffer = data::state().FieldValues;
    QStringList line;
    for (int n = 1; n <= buffer.size(); ++n) line.append(buffer(n));
    if (line.size() <= kCompleted) return std::nullopt;

    line[kDuration] = MinutesToHoursText(line[kDuration]);
    line[kScheduled] = pickedMoment(*ui_->Scheduled, ui_->ScheduledMoment->text());
    line[kCompleted] = pickedMoment(*ui_->Completed, ui_->CompletedMoment->text());
    return line;
}

bool RActivityWindow::saveDetails() {
    if (!CanSave(kTable, localEditMode())) {
        data::ShowMessage(kNoSaveRight, kTable);
        ui_->SaveDetails->setEnabled(false);
        return false;
    }
    std::optional<QStringList> line = collectLine();
    if (!line) return false;
    if (localEditMode() == 1) {
        // A new line takes its number as it is written: another workstation may have added
        // a line to the request since this window opened.
        const std::optional<std::int32_t> number = data::AddNextLine(kTable, *line, kActivityNo);
        if (!number) return false;
        (*line)[kActivityNo] = QString::number(*number);
    } else if (!data::SaveRecord(kTable, *line, true)) {
        return false;
    }

    setOriginalKeyValue(line->at(kRequestNo));
    setOriginalDateTime(line->at(kActivityNo));
    ui_->ActivityNo->setText(line->at(kActivityNo));
    setLocalEditMode(2);
    RecordWindow* request = markRequestForRefresh(line->at(kRequestNo));
    ShowStatusMessage(savedStatusMessage());
    close();
    // Back to the request the line belongs to, which reads its lines and totals again.
    if (auto* sub = request ? qobject_cast<QMdiSubWindow*>(request->parentWidget()) : nullptr) {
        if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
    }
    return true;
}

RecordWindow* RActivityWindow::markRequestForRefresh(const QString& requestNo) {
    QList<QWidget*> windows;
    if (QMdiArea* area = mdiArea()) {
        for (QMdiSubWindow* sub : area->subWindowList()) windows.append(sub->widget());
    }
    windows.append(QApplication::topLevelWidgets());
    const double number = tv::Val(requestNo);
    RecordWindow* found = nullptr;
    for (QWidget* w : windows) {
        auto* record = qobject_cast<RecordWindow*>(w);
        if (!record || record == this) continue;
        if (record->tableName().compare(kRequests, Qt::CaseInsensitive) != 0) continue;
        if (record->storedKey().isEmpty() || tv::Val(record->storedKey().value(0)) != number)
            continue;
        record->setRefreshList(true);
        if (!found) found = record;
    }
    return found;
}

void RActivityWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            ui_->Cancelf->click();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A focused button runs itself; anywhere else Enter saves.
            if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
                button->click();
            } else if (ui_->SaveDetails->isEnabled()) {
                ui_->SaveDetails->click();
            }
            return;
        default:
            RecordWindow::keyPressEvent(event);
    }
}

}  // namespace tv::forms
