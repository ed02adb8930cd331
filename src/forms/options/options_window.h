// The Options dialog: the signed-in user's own preferences, kept in the per-user settings
// store, and the activity log's configuration, kept in the definitions for everybody.
//
// Every setting is read into its control when the dialog opens; what the controls then
// show is remembered, and OK or Apply write only the settings whose control now shows
// something else, in the order the settings table lists them. Cancel writes nothing
// (what an earlier Apply wrote stays). Apply is enabled exactly while something is
// changed. A database folder box left empty keeps the stored location; a folder that does
// not hold its database file is refused (message 1 for Data.mdb, 9143 for the others)
// and nothing is written until it is corrected. The files folder box (where a site whose
// data is on a database server keeps pictures, report files and attachments) may be
// emptied to fall back to its default; a text that names no existing folder is refused
// with message 9192. The window position and the e-mail choice take effect at once, the
// folders at the next sign-in.
//
// The lists of tables come from TABLE DEFINITIONS (SORTOPTION, FORMCLOSE), the same
// display names the list and record windows read "Descending Sort" and "Exit On Save"
// under, so the dialog and the windows always address the same sections.
//
// The activity-log page lists the events of the chosen category; double-clicking one
// opens the Log Options window, which saves its row at once.
#pragma once

#include "core/settings_keys.h"

#include <QDialog>
#include <memory>
#include <utility>
#include <vector>

class QListWidget;
class QTreeWidgetItem;

namespace Ui {
class Options;
}

namespace tv::forms {

class OptionsWindow : public QDialog {
    Q_OBJECT

public:
    explicit OptionsWindow(QWidget* parent = nullptr);
    ~OptionsWindow() override;

    // Writes the changed settings and disables Apply; false (nothing written) when a
    // database folder is refused.
    bool apply();
    // The browse button of folder box i (0 data, 1 definitions, 2 post office).
    void browseDatabase(int index);
    // The browse button of the files folder box.
    void browseFilesFolder();
    // Shows the activity-log events of category i (0 New Record, 1 Send, 2 Other).
    void showLogCategory(int index);
    // Opens the Log Options window on an event of the list and refreshes the list after.
    void editLogEvent(QTreeWidgetItem* item);

    void accept() override;

private:
    using Values = std::vector<std::pair<SettingKey, QString>>;

    void readSettings();
    void fillTableList(QListWidget* list, const QString& flagColumn,
                       SettingKey (*key)(const QString&));
    void fillEnvelopeLists();
    // Every setting the controls would write, in writing order.
    Values currentValues() const;
    void updateApply();
    bool foldersAreValid(const Values& changed);

    std::unique_ptr<Ui::Options> ui_;
    Values shown_;
};

}  // namespace tv::forms
