// The base of every record window: a window that shows and edits one row of a business
// table through controls bound by column ordinal (their "tag"). It runs the load order
// every record window follows:
//   1. place the window (remembered or default geometry, in its MDI sub-window when the
//      main window has registered its area);
//   2. build the custom-fields panel, captioning its tab from FORM CAPTIONS ("Custom",
//      "TabName"), or remove that tab when the table has no custom fields;
//   3. window and control captions (FORM CAPTIONS under the window's object name);
//   4. tab captions of the tab strip;
//   5. field labels, tool tips, lengths and hidden fields (FIELD DEFINITIONS under the
//      table's display name), after 2 so that the custom controls get theirs too;
// and saves its geometry when it closes. The row is put into the controls afterwards by
// whoever opens the window (LoadFormFields).
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

class QTabWidget;

namespace tv::forms {

class RecordWindow : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int LocalEditMode READ localEditMode WRITE setLocalEditMode)
    Q_PROPERTY(QString LocalTableName READ localTableName WRITE setLocalTableName)

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

    // Runs the load order (once; later calls do nothing). GetRecordWindow calls it.
    void load();
    bool isLoaded() const { return loaded_; }

    // Collects the bound controls and adds (edit mode 1) or updates (2) the row; a new
    // row becomes an existing one. True when the row was stored.
    bool saveRecord();

    // The activation step, run each time the window becomes the active one (and by
    // OpenRecordWindow after a refill): the save button follows the user's right to add
    // (new row) or edit (existing row) in the shown table.
    void activate();
    // The window's own step once OpenRecordWindow has put a row into its controls (a
    // display format, a dependent control).
    virtual void rowShown() {}

protected:
    // The save command's common part: saveRecord, then on success the status message
    // (0: none) and, when the table's "Exit On Save" setting is on, closing the window.
    // True when the row was stored.
    bool saveAndFinish(int statusMessage);
    // The button whose Enabled follows CanSave ("Savef" by default; nullptr: none).
    virtual QWidget* saveButton() const;
    // The window's own part of the activation step.
    virtual void afterActivate() {}

    // The table the window is designed for ("Customer Feedback").
    virtual QString defaultTableName() const = 0;
    // The design-time size in twips, used when no remembered size applies.
    virtual QSize defaultSizeTwips() const = 0;
    // The tab strip whose tabs are captioned ("TabStrip1") and the page of the custom
    // fields ("CustomTab"); nullptr when the window has none.
    virtual QTabWidget* tabStrip() const;
    virtual QWidget* customFieldsTab() const;
    // The database the table lives in (0 data, -1 definitions).
    virtual int database() const { return 0; }
    // The window's own set-up after the common load steps.
    virtual void afterLoad() {}
    // Key values the row is stored under (empty: taken from the row itself).
    virtual QString originalKey1() const { return {}; }
    virtual QString originalKey2() const { return {}; }

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void watchActivation();

    QString localTableName_;
    int localEditMode_ = 1;
    bool loaded_ = false;
};

}  // namespace tv::forms
