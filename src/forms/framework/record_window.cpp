#include "forms/framework/record_window.h"

#include "core/settings_keys.h"
#include "data/failure.h"
#include "forms/framework/captions.h"
#include "forms/framework/custom_panel.h"
#include "forms/framework/field_definitions.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/status.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"

#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QTabWidget>

namespace tv::forms {

RecordWindow::RecordWindow(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
}

QString RecordWindow::tableName() const {
    return localTableName_.isEmpty() ? defaultTableName() : localTableName_;
}

QTabWidget* RecordWindow::tabStrip() const {
    return findChild<QTabWidget*>(QStringLiteral("TabStrip1"));
}

QWidget* RecordWindow::customFieldsTab() const {
    return findChild<QWidget*>(QStringLiteral("CustomTab"));
}

void RecordWindow::load() {
    if (loaded_) return;
    loaded_ = true;
    const QString table = tableName();
    const QString windowName = objectName();

    hostInMdi(this);
    const QSize size = defaultSizeTwips();
    RestoreWindowLayout(this, table, size.height(), size.width(), kRecordWindow);

    QTabWidget* tabs = tabStrip();
    QWidget* customTab = customFieldsTab();
    const int customIndex = tabs && customTab ? tabs->indexOf(customTab) : -1;
    if (HasCustomFields(table)) {
        BuildCustomPanel(this, table);
        if (customIndex >= 0) {
            const QString caption =
                GetCaptionText(QStringLiteral("Custom"), QStringLiteral("TabName"));
            if (!caption.isEmpty()) tabs->setTabText(customIndex, caption);
            tabs->setTabToolTip(
                customIndex, GetToolTipText(QStringLiteral("Custom"), QStringLiteral("TabName")));
        }
    } else if (customIndex >= 0) {
        tabs->removeTab(customIndex);
        // A page out of its tab strip would linger as a hidden child; it has no more use.
        delete customTab;
    }

    ApplyFormCaptions(this, windowName);
    ApplyTabCaptions(windowName, tabs);
    ApplyFieldDefinitions(this, table);
    watchActivation();
    afterLoad();
}

void RecordWindow::watchActivation() {
    // Inside the MDI area the sub-window, not this widget, is activated.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        connect(sub, &QMdiSubWindow::aboutToActivate, this, &RecordWindow::activate);
}

void RecordWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isWindow() && isActiveWindow()) activate();
}

QWidget* RecordWindow::saveButton() const { return findChild<QWidget*>(QStringLiteral("Savef")); }

void RecordWindow::activate() {
    if (QWidget* button = saveButton()) button->setEnabled(CanSave(tableName(), localEditMode_));
    afterActivate();
}

bool RecordWindow::saveAndFinish(int statusMessage) {
    if (!saveRecord()) return false;
    // A new row is now an existing one: the edit right decides from here on.
    if (QWidget* button = saveButton()) button->setEnabled(CanSave(tableName(), localEditMode_));
    if (statusMessage != 0) ShowStatusMessage(statusMessage);
    int exitOnSave = 0;
    (void)data::attempt([&] { exitOnSave = SettingInt(keys::ExitOnSave(tableName())); });
    if (exitOnSave != 0) close();
    return true;
}

bool RecordWindow::saveRecord() {
    const bool stored =
        SaveFormFields(this, tableName(), localEditMode_, originalKey1(), originalKey2(),
                       database()) != 0;
    if (stored && localEditMode_ == 1) localEditMode_ = 2;
    return stored;
}

void RecordWindow::closeEvent(QCloseEvent* event) {
    SaveWindowLayout(this, tableName(), kRecordWindow);
    event->accept();
}

}  // namespace tv::forms
