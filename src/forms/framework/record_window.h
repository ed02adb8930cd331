// The base of every record window: a window that shows and edits one row of a business
// table through controls bound by column ordinal (their "tag"). A window is its .ui file
// and a small class that names its table and default size and overrides the few hooks
// below where its table needs more; everything the protocol shares is done here.
//
// Load (once, by GetRecordWindow):
//   1. place the window (remembered or default geometry, in its MDI sub-window when the
//      main window has registered its area);
//   2. hide element 0 of the custom panel's control arrays (the models run-time fields
//      are cloned from), then build the panel, captioning its tab from FORM CAPTIONS
//      ("Custom", "TabName"), or remove that tab when the table has no custom fields;
//   3. window and control captions (FORM CAPTIONS under the window's object name);
//   4. tab captions of the tab strip;
//   5. field labels, tool tips, lengths and hidden fields (FIELD DEFINITIONS under the
//      table's display name), after 2 so that the custom controls get theirs too;
//   6. the buttons "Savef" and "Closef" run save() and close the window.
// Showing a row (showRow, from OpenRecordWindow): every bound control is emptied, the row
// is put in, the table-specific preparation runs and the stored key is recorded.
// Saving (save): the user's right to add or edit checked again (message 9133 when it is
// missing), beforeSave, the row added or updated under the stored key, the stored key
// recorded again, afterSave, the status message, and closing when "Exit On Save" is on.
// What the controls held once the row was shown or saved is remembered, so that a window
// can offer to save before its row is left (offerToSave).
// Activation: the save button follows the user's right to add or edit in the table.
// Closing saves the window's geometry.
#pragma once

#include "data/app_state.h"

#include <QMap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

class QTabWidget;

namespace tv::forms {

class RecordWindow : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int LocalEditMode READ localEditMode WRITE setLocalEditMode)
    Q_PROPERTY(QString LocalTableName READ localTableName WRITE setLocalTableName)
    // The stored key under the names the protocol gives its columns: OriginalKeyValue and
    // OriginalCustomerName are its first column, OriginalContactName and OriginalDateTime
    // its second (every table keyed on a customer has the customer first). They read and
    // write storedKey(), the one record of the key; there is no second copy to go stale.
    Q_PROPERTY(QString OriginalKeyValue READ originalKeyValue WRITE setOriginalKeyValue)
    Q_PROPERTY(QString OriginalCustomerName READ originalCustomerName WRITE setOriginalCustomerName)
    Q_PROPERTY(QString OriginalContactName READ originalContactName WRITE setOriginalContactName)
    Q_PROPERTY(QString OriginalDateTime READ originalDateTime WRITE setOriginalDateTime)
    // Set when the window's embedded list must be read again on its next activation.
    Q_PROPERTY(bool RefreshList READ refreshList WRITE setRefreshList)

public:
    explicit RecordWindow(QWidget* parent = nullptr);

    // The table display name the window is showing: LocalTableName when set, else the
    // window's own table.
    QString tableName() const;
    QString localTableName() const { return localTableName_; }
    void setLocalTableName(const QString& name) { localTableName_ = name; }

    // 1: the shown row has never been saved; 2: it exists in the table.
    int localEditMode() const { return localEditMode_; }
    void setLocalEditMode(int mode) { localEditMode_ = mode; }

    // The key the shown row is stored under, one text per column of the table's primary
    // key; empty for a row never saved. Saving updates the row found by this key, so a
    // key the user has edited renames the stored row instead of adding another.
    QStringList storedKey() const { return storedKey_; }
    QString originalKeyValue() const { return storedKey_.value(0); }
    void setOriginalKeyValue(const QString& value) { setStoredKeyColumn(0, value); }
    QString originalCustomerName() const { return storedKey_.value(0); }
    void setOriginalCustomerName(const QString& value) { setStoredKeyColumn(0, value); }
    QString originalContactName() const { return storedKey_.value(1); }
    void setOriginalContactName(const QString& value) { setStoredKeyColumn(1, value); }
    QString originalDateTime() const { return storedKey_.value(1); }
    void setOriginalDateTime(const QString& value) { setStoredKeyColumn(1, value); }

    bool refreshList() const { return refreshList_; }
    void setRefreshList(bool refresh) { refreshList_ = refresh; }

    // Runs the load order (once; later calls do nothing). GetRecordWindow calls it.
    void load();
    bool isLoaded() const { return loaded_; }

    // Shows a row in the current edit mode (OpenRecordWindow sets it first): empties every
    // bound control so that nothing of the previous row stays, puts values(n) into the
    // controls bound to n, runs PrepareRecordWindow, records the stored key (the row's own
    // key columns in mode 2, none in mode 1) and then the window's rowShown step.
    void showRow(const data::FieldValueArray& values);
    // The stored row with these keys, in mode 2; false (the window unchanged) when there
    // is none.
    bool showStoredRow(const QString& key1, const QString& key2 = QString());
    // An empty new row, in mode 1.
    void showNewRow();

    // The Save command: adds (mode 1) or updates (mode 2) the row, a new row becoming an
    // existing one. True when the row was stored.
    bool save();

    // Whether a bound control holds something other than it did when the row was shown
    // or last saved.
    bool hasUnsavedChanges() const;
    // Before the shown row is left (the window closed, another row shown): when it has
    // unsaved changes, asks the Yes/No/Cancel question `message`; Yes saves, No lets the
    // changes go. True when the row may be left: no changes, saved, or No.
    bool offerToSave(int message);

    // The activation step, run each time the window becomes the active one (and by
    // OpenRecordWindow after a refill): the save button follows the user's right to add
    // (new row) or edit (existing row) in the shown table.
    void activate();

    // Shows the page of the window that lists the related table `key` (a display name
    // such as "Contacts"), as search and other windows ask when they open a row. Windows
    // without such pages ignore it.
    virtual void SetCurrentTab(const QString& key) { Q_UNUSED(key); }

protected:
    // The table the window is designed for ("Customer Feedback").
    virtual QString defaultTableName() const = 0;
    // The design-time size in twips, used when no remembered size applies.
    virtual QSize defaultSizeTwips() const = 0;
    // The database the table lives in (0 data, -1 definitions).
    virtual int database() const { return 0; }

    // The tab strip whose tabs are captioned ("TabStrip1") and the page of the custom
    // fields ("CustomTab"); nullptr when the window has none.
    virtual QTabWidget* tabStrip() const;
    virtual QWidget* customFieldsTab() const;
    // The button whose Enabled follows CanSave ("Savef"; nullptr: none).
    virtual QWidget* saveButton() const;

    // The window's own steps, each run after the common part of its stage.
    virtual void afterLoad() {}
    virtual void rowShown() {}
    virtual void afterActivate() {}
    // Before the row is collected: checks and last corrections of what was typed. False
    // stops the save (the window has told the user why).
    virtual bool beforeSave() { return true; }
    // Once the row is stored and its key recorded: dependent rows, embedded lists.
    virtual void afterSave() {}
    // The status message shown after a save (0: none).
    virtual int savedStatusMessage() const;

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setStoredKeyColumn(int column, const QString& value);
    void hideCustomTemplates();
    void connectCommands();
    void watchActivation();
    int keyColumnCount() const;
    // Every bound control's value.
    QMap<const QObject*, QString> boundValues() const;

    QString localTableName_;
    int localEditMode_ = 1;
    QStringList storedKey_;
    bool refreshList_ = false;
    bool loaded_ = false;
    // The bound values as shown or last saved, against which changes are told.
    QMap<const QObject*, QString> unchangedValues_;
};

}  // namespace tv::forms
