#include "forms/framework/record_window.h"

#include "core/settings_keys.h"
#include "data/access.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/custom_panel.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/field_definitions.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/status.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QTabWidget>

namespace tv::forms {

namespace {

// Status message after a save, for windows without one of their own.
constexpr int kRecordSavedStatus = 9050;
// The user may not add or edit in the table.
constexpr int kNoSaveRight = 9133;

}  // namespace

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

QWidget* RecordWindow::saveButton() const { return findChild<QWidget*>(QStringLiteral("Savef")); }

int RecordWindow::savedStatusMessage() const { return kRecordSavedStatus; }

void RecordWindow::setStoredKeyColumn(int column, const QString& value) {
    while (storedKey_.size() <= column) storedKey_.append(QString());
    storedKey_[column] = value;
}

int RecordWindow::keyColumnCount() const { return data::KeyColumnCount(tableName(), database()); }

void RecordWindow::load() {
    if (loaded_) return;
    loaded_ = true;
    const QString table = tableName();
    const QString windowName = objectName();

    hostInMdi(this);
    const QSize size = defaultSizeTwips();
    RestoreWindowLayout(this, table, size.height(), size.width(), kRecordWindow);

    hideCustomTemplates();
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
    connectCommands();
    watchActivation();
    afterLoad();
    // Nothing is typed yet, whether or not a row is shown next.
    unchangedValues_ = boundValues();
}

void RecordWindow::hideCustomTemplates() {
    // The design-time element 0 of each array only shows once the panel gives it a column.
    for (const char* name : {"CustomLabel", "CustomTextBox", "CustomCheckBox"}) {
        if (QWidget* element = arrayElement(this, QString::fromLatin1(name), 0)) element->hide();
    }
    if (auto* scroll = findChild<QWidget*>(QStringLiteral("VScroll1"))) scroll->hide();
}

void RecordWindow::connectCommands() {
    if (auto* button = findChild<QAbstractButton*>(QStringLiteral("Savef")))
        connect(button, &QAbstractButton::clicked, this, [this] { save(); });
    if (auto* button = findChild<QAbstractButton*>(QStringLiteral("Closef")))
        connect(button, &QAbstractButton::clicked, this, &QWidget::close);
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

void RecordWindow::activate() {
    if (QWidget* button = saveButton()) button->setEnabled(CanSave(tableName(), localEditMode_));
    afterActivate();
}

void RecordWindow::showRow(const data::FieldValueArray& values) {
    // LoadFormFields leaves a control whose ordinal the row does not reach; a refilled
    // window must not show the previous row's value there.
    for (QObject* control : taggedControls(this)) {
        if (boundOrdinal(control) > 0) setControlValue(control, QString());
    }
    LoadFormFields(this, values);
    PrepareRecordWindow(this, tableName());
    storedKey_.clear();
    if (localEditMode_ == 2) {
        const int keyCount = keyColumnCount();
        for (int n = 1; n <= keyCount; ++n) storedKey_.append(values(n));
    }
    rowShown();
    unchangedValues_ = boundValues();
}

bool RecordWindow::showStoredRow(const QString& key1, const QString& key2) {
    if (!data::LoadRecord(tableName(), key1, key2, database())) return false;
    // A copy: showing the row may load others into the shared buffer.
    const data::FieldValueArray values = data::state().FieldValues;
    setLocalEditMode(2);
    showRow(values);
    return true;
}

void RecordWindow::showNewRow() {
    data::FieldValueArray values;
    values.resize(tableFieldCount(tableName(), database()));
    setLocalEditMode(1);
    showRow(values);
}

bool RecordWindow::save() {
    const QString table = tableName();
    // The save button follows the rights, but however the command came, nothing is
    // written without them.
    if (!CanSave(table, localEditMode_)) {
        data::ShowMessage(kNoSaveRight, table);
        if (QWidget* button = saveButton()) button->setEnabled(false);
        return false;
    }
    if (!beforeSave()) return false;
    const int keyCount = keyColumnCount();
    // The data layer finds a row by at most two given key values; a longer key is looked
    // up by the values in the controls, so such a row cannot be renamed in place.
    const bool byStoredKey = keyCount <= 2;
    if (SaveFormFields(this, table, localEditMode_, byStoredKey ? storedKey_.value(0) : QString(),
                       byStoredKey ? storedKey_.value(1) : QString(), database()) == 0)
        return false;

    // The shared buffer holds the row as it was written: its key is now the stored one.
    const data::FieldValueArray& written = data::state().FieldValues;
    storedKey_.clear();
    for (int n = 1; n <= keyCount; ++n) storedKey_.append(written(n));
    if (localEditMode_ == 1) localEditMode_ = 2;
    // A new row is now an existing one: the edit right decides from here on.
    if (QWidget* button = saveButton()) button->setEnabled(CanSave(table, localEditMode_));

    afterSave();
    unchangedValues_ = boundValues();
    if (const int status = savedStatusMessage(); status != 0) ShowStatusMessage(status);
    int exitOnSave = 0;
    (void)data::attempt([&] { exitOnSave = SettingInt(keys::ExitOnSave(table)); });
    if (exitOnSave != 0) close();
    return true;
}

QMap<const QObject*, QString> RecordWindow::boundValues() const {
    // By control: the order of a window's children changes as its tab pages are raised.
    QMap<const QObject*, QString> values;
    for (QObject* control : taggedControls(this)) {
        if (boundOrdinal(control) == 0) continue;
        if (const std::optional<QString> value = controlValue(control))
            values.insert(control, *value);
    }
    return values;
}

bool RecordWindow::hasUnsavedChanges() const { return boundValues() != unchangedValues_; }

bool RecordWindow::offerToSave(int message) {
    if (!hasUnsavedChanges()) return true;
    switch (data::ShowMessage(message)) {
        case data::msgbox::kYes:
            return save();
        case data::msgbox::kNo:
            return true;
        default:
            return false;
    }
}

void RecordWindow::closeEvent(QCloseEvent* event) {
    SaveWindowLayout(this, tableName(), kRecordWindow);
    event->accept();
}

}  // namespace tv::forms
