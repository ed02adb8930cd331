#include "forms/diary/diary_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "data/record_values.h"
#include "forms/diary/day_planner.h"
#include "forms/diary/diary_list.h"
#include "forms/framework/captions.h"
#include "forms/framework/code_styles.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/record_window.h"
#include "forms/framework/status.h"
#include "forms/framework/twips.h"
#include "forms/framework/window_layout.h"
#include "messaging/calendar_export.h"
#include "ui_diary_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QStandardPaths>
#include <QTextCharFormat>

namespace tv::forms {

namespace {

const QString kWindowName = QStringLiteral("Diary");
const QString kPlans = QStringLiteral("Scheduled Activities");

constexpr int kItemGone = 112;
constexpr int kDeletePlan = 199;
constexpr int kOpeningStatus = 915;
constexpr int kCalendarWritten = 9146;
constexpr int kNothingToExport = 9188;

// Design-time size in twips, and the lists' column widths.
constexpr int kDefaultHeight = 8400;
constexpr int kDefaultWidth = 14400;
constexpr int kTaskWidth = 2000;
constexpr int kCustomerWidth = 2000;
constexpr int kDateWidth = 1000;

tv::DateTime dateOf(const QDate& d) { return tv::DateFromParts(d.year(), d.month(), d.day()); }

QString shortDate(const QDate& d) {
    return tv::Format(tv::Variant(dateOf(d)), QStringLiteral("Short Date"));
}

// The item's key as the user reads it, for message 112.
QString keyText(const data::DiaryItem& item) {
    if (item.kind == data::DiaryKind::RequestLine)
        return QStringLiteral("%1 %2, %3 %4")
            .arg(QObject::tr("Request"), item.key1, QObject::tr("line"), item.key2);
    tv::DateTime when;
    const QString moment = tv::fromIsoText(item.key2, &when)
                               ? tv::Format(tv::Variant(when), QStringLiteral("General Date"))
                               : item.key2;
    return item.key1 + QStringLiteral(", ") + moment;
}

messaging::CalendarEvent eventOf(const data::DiaryItem& item) {
    messaging::CalendarEvent e;
    e.customer = item.customer;
    e.start = item.start;
    e.minutes = (item.end.serial - item.start.serial) * 24.0 * 60.0;
    e.type = item.type;
    e.description = item.text;
    e.contact = item.contact;
    e.user = item.user;
    if (item.kind == data::DiaryKind::RequestLine) {
        e.type = QObject::tr("Service Request");
        e.description = QObject::tr("Request %1: %2").arg(item.key1, item.text);
        if (!item.detail.isEmpty() && item.detail != item.text)
            e.description += u'\n' + item.detail;
    }
    return e;
}

void sizeColumns(QTreeView* view, std::initializer_list<int> twips) {
    int column = 0;
    for (const int width : twips) view->setColumnWidth(column++, twipsToPixelsX(width));
}

}  // namespace

DiaryWindow::DiaryWindow(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::Diary>()) {
    ui_->setupUi(this);
    setObjectName(kWindowName);
    toDo_ = new DiaryListModel(false, this);
    overdue_ = new DiaryListModel(true, this);
    ui_->ListView1->setModel(toDo_);
    ui_->ListView2->setModel(overdue_);
    sizeColumns(ui_->ListView1, {kTaskWidth, kCustomerWidth});
    sizeColumns(ui_->ListView2, {kTaskWidth, kCustomerWidth, kDateWidth});

    // The activity types' pictures, matched to a type as the lists' colour coding does.
    const auto pictures =
        std::make_shared<const CodeStyles>(LoadCodeStyles(QStringLiteral("Activity Types"), true));
    toDo_->setPictures(pictures);
    overdue_->setPictures(pictures);

    // Only users in workflow mode look beyond their own diary.
    const bool workflow = data::state().WorkflowMode;
    ui_->ShowAll->setVisible(workflow);
    ui_->UserList->setEnabled(workflow);
    ui_->UserList->setSource(tableColumn(QStringLiteral("System Users"), 0));
    ui_->UserList->setEditText(data::state().CurrentUserId);
    chosenUser_ = data::state().CurrentUserId;

    ApplyFormCaptions(this, kWindowName);

    QCalendarWidget* month = ui_->SSMonth1;
    connect(month, &QCalendarWidget::selectionChanged, this, &DiaryWindow::fillDay);
    connect(month, &QCalendarWidget::currentPageChanged, this, &DiaryWindow::markMonth);
    for (QRadioButton* option : {ui_->DisplayOption_0, ui_->DisplayOption_1, ui_->DisplayOption_2})
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on) refresh();
        });
    connect(ui_->ShowAll, &QCheckBox::toggled, this, [this](bool all) {
        // Everyone's diary names no user.
        ui_->UserList->setEnabled(data::state().WorkflowMode && !all);
        refresh();
    });
    connect(ui_->UserList, &QComboBox::activated, this, &DiaryWindow::userChosen);
    connect(ui_->UserList->lineEdit(), &QLineEdit::editingFinished, this, &DiaryWindow::userChosen);

    DayPlanner* day = planner();
    connect(day, &DayPlanner::itemActivated, this,
            [this, day](int index) { openItem(day->items().at(static_cast<size_t>(index))); });
    connect(day, &DayPlanner::slotActivated, this, &DiaryWindow::newItemAt);
    connect(day, &DayPlanner::deleteRequested, this,
            [this, day](int index) { deleteItem(day->items().at(static_cast<size_t>(index))); });
    for (QTreeView* view : {ui_->ListView1, ui_->ListView2}) {
        auto* model = static_cast<const DiaryListModel*>(view->model());
        // Double-click, and Enter, open the row.
        connect(view, &QTreeView::activated, this,
                [this, model](const QModelIndex& index) { openFromList(model, index); });
    }
    connect(ui_->Exportf, &QPushButton::clicked, this, &DiaryWindow::chooseExport);
    connect(ui_->Closef, &QPushButton::clicked, this, &QWidget::close);

    const tv::DateTime now = data::prompter().now();
    showDay(QDate(tv::Year(now), tv::Month(now), tv::Day(now)));
}

DiaryWindow::~DiaryWindow() = default;

DayPlanner* DiaryWindow::planner() const { return ui_->SSDay1; }

QDate DiaryWindow::selectedDay() const { return ui_->SSMonth1->selectedDate(); }

QString DiaryWindow::shownUser() const {
    const QString user = ui_->UserList->currentText().trimmed();
    return data::state().WorkflowMode && !user.isEmpty() ? user : data::state().CurrentUserId;
}

void DiaryWindow::userChosen() {
    const QString user = shownUser();
    if (user.compare(chosenUser_, Qt::CaseInsensitive) == 0) return;
    chosenUser_ = user;
    refresh();
}

data::DiaryScope DiaryWindow::scope() const {
    data::DiaryScope s;
    s.user = shownUser();
    s.everyone = data::state().WorkflowMode && ui_->ShowAll->isChecked();
    s.scheduled = !ui_->DisplayOption_1->isChecked();
    s.completed = !ui_->DisplayOption_0->isChecked();
    return s;
}

void DiaryWindow::showDay(const QDate& day) {
    QCalendarWidget* month = ui_->SSMonth1;
    if (day.isValid()) {
        const QSignalBlocker quiet(month);
        month->setSelectedDate(day);
        month->setCurrentPage(day.year(), day.month());
    }
    refresh();
}

void DiaryWindow::refresh() {
    markMonth(ui_->SSMonth1->yearShown(), ui_->SSMonth1->monthShown());
    fillDay();
}

void DiaryWindow::markMonth(int year, int month) {
    QCalendarWidget* calendar = ui_->SSMonth1;
    for (const QDate& d : std::as_const(marked_)) calendar->setDateTextFormat(d, QTextCharFormat());
    marked_.clear();
    QTextCharFormat event;
    event.setFontWeight(QFont::Bold);
    event.setBackground(QColor(176, 255, 255));
    event.setForeground(QColor(Qt::black));
    for (const int day : data::DiaryMarkedDays(scope(), year, month)) {
        const QDate d(year, month, day);
        marked_.append(d);
        calendar->setDateTextFormat(d, event);
    }
}

void DiaryWindow::fillDay() {
    const QDate d = selectedDay();
    const tv::DateTime day = dateOf(d);
    data::DiaryDay items = data::ReadDiaryDay(scope(), day);
    ui_->DayCaption->setText(tv::Format(tv::Variant(day), QStringLiteral("Long Date")));
    const auto count = [](size_t n, const QString& one, const QString& many) {
        return QString::number(n) + u' ' + (n == 1 ? one : many);
    };
    ui_->StatusLine->setText(count(items.planner.size(), tr("item in the day"), tr("items in the day")) +
                             QStringLiteral(", ") + count(items.untimed.size(), tr("to do"), tr("to do")) +
                             QStringLiteral(", ") + count(items.overdue.size(), tr("overdue"), tr("overdue")));
    DayPlanner* day0 = planner();
    const bool sameDay = filled_ && day0->property("day").toDate() == d;
    day0->setProperty("day", d);
    day0->setItems(day, std::move(items.planner));
    toDo_->setItems(std::move(items.untimed));
    overdue_->setItems(std::move(items.overdue));
    filled_ = true;
    // A new day opens on its first item, or on the start of the working day; the same day
    // read again stays where the user scrolled to.
    if (!sameDay) {
        const QRect first = day0->items().empty() ? day0->slotRect(0) : day0->itemRect(0);
        ui_->PlannerScroll->ensureVisible(0, first.top(), 0, 0);
        if (day0->items().empty() || first.top() < ui_->PlannerScroll->viewport()->height())
            ui_->PlannerScroll->ensureVisible(0, 0, 0, 0);
    }
}

bool DiaryWindow::openItem(data::DiaryItem item) {
    QString table;
    bool found = false;
    switch (item.kind) {
        case data::DiaryKind::Scheduled:
            table = kPlans;
            found = data::LoadRecord(table, item.key1, item.key2);
            break;
        case data::DiaryKind::Completed:
            table = QStringLiteral("Activities");
            found = data::LoadRecord(table, item.key1, item.key2);
            break;
        case data::DiaryKind::RequestLine:
            // The line's request, wherever it lives now.
            for (const QString& requests :
                 {QStringLiteral("Current Requests"), QStringLiteral("Completed Requests")}) {
                table = requests;
                found = data::LoadRecord(table, item.key1);
                if (found) break;
            }
            break;
    }
    if (!found) {
        data::ShowMessage(kItemGone, keyText(item));
        refresh();
        return false;
    }
    const data::FieldValueArray values = data::state().FieldValues;
    ShowStatusMessage(kOpeningStatus);
    data::state().PendingEditMode = 2;
    if (!OpenRecordWindow(table, values)) return false;
    watch(GetRecordWindow(table));
    return true;
}

bool DiaryWindow::newItemAt(int minutesFromMidnight) {
    data::FieldValueArray values;
    values.resize(tableFieldCount(kPlans));
    data::NewRecordDefaults(kPlans, values);
    values(2) = selectedDay().toString(QStringLiteral("yyyy-MM-dd")) +
                QStringLiteral(" %1:%2")
                    .arg(minutesFromMidnight / 60, 2, 10, QLatin1Char('0'))
                    .arg(minutesFromMidnight % 60, 2, 10, QLatin1Char('0'));
    values(5) = shownUser();
    data::state().PendingEditMode = 1;
    if (!OpenRecordWindow(kPlans, values)) return false;
    watch(GetRecordWindow(kPlans));
    return true;
}

bool DiaryWindow::deleteItem(data::DiaryItem item) {
    // Only plans are deleted here; done work and labour lines belong to their records.
    if (item.kind != data::DiaryKind::Scheduled) {
        data::prompter().beep();
        return false;
    }
    if (data::ShowMessage(kDeletePlan, QStringLiteral("\n\n") + item.text) != data::msgbox::kYes)
        return false;
    const bool deleted = data::DeleteRecord(kPlans, item.key1, item.key2, QString(), false);
    if (deleted) CloseRecordWindowsShowing(kPlans, {item.key1, item.key2});
    refresh();
    return deleted;
}

void DiaryWindow::openFromList(const DiaryListModel* model, const QModelIndex& index) {
    if (!index.isValid() || index.row() >= model->rowCount()) return;
    openItem(model->items().at(static_cast<size_t>(index.row())));
}

void DiaryWindow::watch(QWidget* window) {
    if (!window) return;
    // Once: the window is reused for the next row opened from here.
    if (window->property("diaryWatched").toBool()) return;
    window->setProperty("diaryWatched", true);
    QPointer<DiaryWindow> self(this);
    connect(window, &QObject::destroyed, this, [self] {
        if (self) self->refresh();
    });
}

void DiaryWindow::chooseExport() {
    QMenu menu(this);
    QAction* week = menu.addAction(tr("Shown &Week..."));
    QAction* month = menu.addAction(tr("Shown &Month..."));
    QAction* chosen = menu.exec(ui_->Exportf->mapToGlobal(QPoint(0, ui_->Exportf->height())));
    if (chosen == week) {
        const QDate day = selectedDay();
        const int first = static_cast<int>(ui_->SSMonth1->firstDayOfWeek());
        const QDate start = day.addDays(-((day.dayOfWeek() - first + 7) % 7));
        exportRange(start, start.addDays(6),
                    tr("week of %1").arg(start.toString(QStringLiteral("yyyy-MM-dd"))));
    } else if (chosen == month) {
        const QDate start(ui_->SSMonth1->yearShown(), ui_->SSMonth1->monthShown(), 1);
        exportRange(start, start.addMonths(1).addDays(-1),
                    QLocale().standaloneMonthName(start.month()) + u' ' + QString::number(start.year()));
    }
}

bool DiaryWindow::exportRange(const QDate& first, const QDate& last, const QString& rangeName) {
    const data::DiaryScope shown = scope();
    std::vector<messaging::CalendarEvent> events;
    for (const data::DiaryItem& item : data::ReadDiaryRange(shown, dateOf(first), dateOf(last)))
        events.push_back(eventOf(item));
    const QString who = shown.everyone ? ui_->ShowAll->text().remove(u'&') : shown.user;
    if (events.empty()) {
        data::ShowMessage(kNothingToExport, who + QStringLiteral(", ") + shortDate(first) +
                                                QStringLiteral(" - ") + shortDate(last) + u'.');
        return false;
    }
    data::FileRequest request;
    request.title = tr("Export to Calendar");
    request.filter = QStringLiteral("iCalendar Files (*.ics)|*.ics");
    request.defaultName =
        tr("%1 Diary %2.ics")
            .arg(who, rangeName.isEmpty() ? first.toString(QStringLiteral("yyyy-MM-dd")) : rangeName);
    request.initialFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = data::prompter().saveFile(request);
    if (path.isEmpty()) return false;
    if (!path.endsWith(QStringLiteral(".ics"), Qt::CaseInsensitive)) path += QStringLiteral(".ics");
    if (!messaging::WriteCalendarFile(path, events)) return false;
    ShowStatusMessage(kCalendarWritten);
    return true;
}

void DiaryWindow::activationChanged(bool active) {
    // Whatever was saved elsewhere while the user was away shows when he comes back.
    if (!active) {
        away_ = true;
    } else if (away_) {
        away_ = false;
        if (filled_) refresh();
    }
}

void DiaryWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Placed once it is in its frame: inside the main window that is its sub-window.
    if (!placed_) {
        placed_ = true;
        RestoreWindowLayout(this, kWindowName, kDefaultHeight, kDefaultWidth, kRecordWindow);
    }
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub && !watching_) {
        watching_ = true;
        connect(sub, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates before, Qt::WindowStates now) {
                    if ((before ^ now) & Qt::WindowActive) activationChanged(now & Qt::WindowActive);
                });
    }
}

void DiaryWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isWindow()) activationChanged(isActiveWindow());
}

void DiaryWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DiaryWindow::closeEvent(QCloseEvent* event) {
    SaveWindowLayout(this, kWindowName, kRecordWindow);
    event->accept();
}

}  // namespace tv::forms
