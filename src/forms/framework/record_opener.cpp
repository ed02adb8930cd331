#include "forms/framework/record_opener.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data/user_rights.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/status.h"
#include "forms/framework/window_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>

namespace tv::forms {

namespace {

constexpr int kNoViewRight = 9014;

bool sameTable(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

bool isOneOf(const QString& table, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (sameTable(table, name)) return true;
    }
    return false;
}

void enableButton(QWidget* window, const QString& name, bool enabled) {
    if (auto* button = window->findChild<QAbstractButton*>(name)) button->setEnabled(enabled);
}

// The request window serves open and completed requests; a completed one can only be
// re-opened, so its line and sub-buttons are off and its close button re-opens.
void prepareRequest(QWidget* window, bool completed) {
    enableButton(window, QStringLiteral("ListCommand_1"), !completed);
    for (int i = 0; i <= 2; ++i)
        enableButton(window, QStringLiteral("SubButton_%1").arg(i), !completed);
    auto* close = window->findChild<QAbstractButton*>(QStringLiteral("CloseRequest"));
    if (!close) return;
    const QString key =
        completed ? QStringLiteral("ReOpenRequest") : QStringLiteral("CloseRequest");
    const QString caption = GetCaptionText(QStringLiteral("Request"), key);
    if (!caption.isEmpty()) close->setText(caption);
    close->setToolTip(GetToolTipText(QStringLiteral("Request"), key));
}

// A birthday is a day of the year: shown as "dd mmm" whatever form it was stored in.
void formatBirthday(QWidget* window) {
    auto* box = window->findChild<QLineEdit*>(QStringLiteral("Birthday"));
    if (!box || box->text().trimmed().isEmpty()) return;
    (void)data::attempt([&] {
        const tv::Variant date(tv::CDate(tv::Variant(box->text())));
        box->setText(tv::Format(date, QStringLiteral("dd mmm")));
    });
}

// The first field in tab order, where a person starts typing: not the tab strip, a button
// or the scroll area that holds the fields.
QWidget* firstField(QWidget* window) {
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if (!window->isAncestorOf(w) || !w->isVisible() || !w->isEnabled()) continue;
        if (!(w->focusPolicy() & Qt::TabFocus)) continue;
        if (qobject_cast<QTabWidget*>(w) || qobject_cast<QTabBar*>(w) ||
            qobject_cast<QAbstractButton*>(w) || qobject_cast<QScrollArea*>(w))
            continue;
        return w;
    }
    return nullptr;
}

void bringForward(QWidget* window) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        if (sub->isMinimized()) sub->showNormal();
        keepInView(window);
        if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
    } else {
        if (window->isMinimized()) window->showNormal();
        window->raise();
        window->activateWindow();
    }
    if (QWidget* field = firstField(window))
        field->setFocus(Qt::OtherFocusReason);
    else
        window->setFocus();
}

// Every open record window: the MDI area's and the top-level ones.
QList<RecordWindow*> openRecordWindows() {
    QList<RecordWindow*> windows;
    if (QMdiArea* area = mdiArea()) {
        for (QMdiSubWindow* sub : area->subWindowList())
            if (auto* w = qobject_cast<RecordWindow*>(sub->widget())) windows.append(w);
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* r = qobject_cast<RecordWindow*>(w); r && !windows.contains(r)) windows.append(r);
    return windows;
}

// The text a window shows in the control bound to a column ordinal.
QString boundText(const QWidget* window, int ordinal) {
    for (QObject* control : taggedControls(window)) {
        if (boundOrdinal(control) != ordinal) continue;
        if (const std::optional<QString> value = controlValue(control)) return *value;
    }
    return {};
}

}  // namespace

void CloseRecordWindowsShowing(const QString& table, const QStringList& keys) {
    for (RecordWindow* window : openRecordWindows()) {
        if (window->tableName().compare(table, Qt::CaseInsensitive) != 0) continue;
        bool same = true;
        for (int i = 0; i < keys.size() && same; ++i)
            same = boundText(window, i + 1).compare(keys[i], Qt::CaseInsensitive) == 0;
        if (!same) continue;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
            sub->close();
        else
            window->close();
    }
}


void FollowKeyChange(const QString& column, const QString& oldValue, const QString& newValue,
                     const QWidget* except) {
    for (RecordWindow* window : openRecordWindows()) {
        if (window == except) continue;
        int ordinal = 0;
        if (const auto def = tableDefinition(window->tableName())) {
            (void)data::attempt([&] {
                for (int i = 0; i < def->FieldCount() && ordinal == 0; ++i)
                    if (def->FieldAt(i).Name().compare(column, Qt::CaseInsensitive) == 0)
                        ordinal = i + 1;
            });
        }
        if (ordinal == 0) continue;
        for (QObject* control : taggedControls(window)) {
            if (boundOrdinal(control) != ordinal) continue;
            if (controlValue(control).value_or(QString()).compare(oldValue, Qt::CaseInsensitive) == 0)
                setControlValue(control, newValue);
        }
        const QStringList key = window->storedKey();
        if (ordinal <= key.size() && key[ordinal - 1].compare(oldValue, Qt::CaseInsensitive) == 0) {
            if (ordinal == 1) window->setOriginalKeyValue(newValue);
            if (ordinal == 2) window->setOriginalContactName(newValue);
        }
    }
}

bool OpenRecordWindow(const QString& tableName, const data::FieldValueArray& values) {
    // Whatever asks (a list, search, another window), a row is shown only to a user who
    // may see the table.
    if (data::isAdministrationTable(tableName) && !data::requireAdministrator(tableName))
        return false;
    if (!data::hasRight(tableName, data::kViewRight)) {
        data::ShowMessage(kNoViewRight, tableName);
        return false;
    }
    RecordWindow* window = GetRecordWindow(tableName);
    if (!window) return false;

    window->setProperty("tag", tableName);
    window->setLocalEditMode(data::state().PendingEditMode);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) sub->show();
    window->show();

    window->showRow(values);
    bringForward(window);
    // The window may already have been the active one, so no activation follows the
    // refill: run its activation step for the new mode's save right.
    window->activate();
    // The "opening the record" notice of the caller is done with.
    ShowStatusMessage(0);
    data::prompter().processEvents();
    return true;
}

void PrepareRecordWindow(QWidget* window, const QString& tableName) {
    if (!window) return;
    (void)data::attempt([&] {
        if (sameTable(tableName, "Contacts")) {
            formatBirthday(window);
        } else if (sameTable(tableName, "Current Requests")) {
            prepareRequest(window, false);
        } else if (sameTable(tableName, "Completed Requests")) {
            prepareRequest(window, true);
        } else if (isOneOf(tableName, {"Sales Orders", "Quotations", "RMAs", "Customer Inventory",
                                       "Purchase Orders"})) {
            if (auto* record = qobject_cast<RecordWindow*>(window)) record->setRefreshList(true);
        }
    });
}

bool CanSave(const QString& tableName, int editMode) {
    if (editMode == 1) return data::hasRight(tableName, data::kAddRight);
    if (editMode == 2) return data::hasRight(tableName, data::kEditRight);
    return true;  // mode 0 writes nothing
}

}  // namespace tv::forms
