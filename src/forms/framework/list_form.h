// The list window: every row of one business table (or of a filter over it) in a grid
// read on demand, with the eleven commands beneath it (ListCommand_0 .. _10: Letter, Add,
// Edit, Delete, Find, Filter, Print, Refresh, Close, Copy, Export). The main window opens
// one per table and tags it with the table's display name; rows open in the table's
// record window through OpenRecordWindow.
//
// Load (the constructor): captions under "ListForm", the table from SharedValues(0), the
// remembered geometry. First activation: the table's own captions, the grid columns from
// FIELD DEFINITIONS and their remembered layout, the list, colour coding and the user's
// rights on the buttons. Every activation: clears the status bar and, after a record
// window was opened from the list, reads the list again. Closing saves the grid and
// window layout under the table's name.
//
// Columns are dragged to reorder them and rows resized on the narrow row header; F2 puts
// the columns back as they were designed (after asking). Enter opens the current row (or
// runs the command button that has the focus), F5 refreshes, Escape closes.
#pragma once

#include "data/app_state.h"
#include "engine/engine.h"

#include <QString>
#include <QWidget>
#include <memory>

class QPushButton;
class QTableView;

namespace Ui {
class ListForm;
}

namespace tv::forms {

class ListModel;

class ListForm : public QWidget {
    Q_OBJECT

public:
    // Command indexes of the ListCommand array.
    enum Command {
        Letter = 0,
        Add = 1,
        Edit = 2,
        Delete = 3,
        Find = 4,
        Filter = 5,
        Print = 6,
        Refresh = 7,
        Close = 8,
        Copy = 9,
        Export = 10,
    };

    explicit ListForm(QWidget* parent = nullptr);
    ~ListForm() override;

    QString TableName() const { return tableName_; }
    QString ListTitle() const { return listTitle_; }
    QString ListQuery() const { return listQuery_; }
    bool RefreshPending() const { return refreshPending_; }
    bool IsDefinitionsTable() const { return isDefinitionsTable_; }

    QTableView* grid() const;
    ListModel* model() const { return model_; }
    QPushButton* commandButton(int index) const;

    // The activation steps (first activation once, then the per-activation part). Runs
    // from the window's activation; tests may call it directly.
    void activate();
    // Opens the list's query: the default one (sorted on the last key field, descending
    // when the table's "Descending Sort" is set) when useDefault, else ListQuery as it is.
    void LoadList(bool useDefault);
    // Shows the rows of another query (what the Filter window builds); Refresh keeps it.
    void applyQuery(const QString& sql);
    // Runs a command as its button does (a disabled button's command does nothing).
    void runCommand(int index);
    // Starts a new record as Add does (used by AddViaOpenList).
    Q_INVOKABLE void RemoteAdd();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void firstActivation();
    void buildColumns();
    void applyColourCoding();
    void applyAccessRights();
    void showCount();
    void goToFirstRow();
    int database() const;
    // The grid's current row read into rowSource_; false when there is none.
    bool positionOnCurrentRow();
    void refreshKeepingRow();
    void closeWindow();

    void addRecord();
    void editRecord();
    void deleteRecord();
    void filterList();
    void printList();
    void copyRecord();
    void exportList();
    void resetColumns();
    void applyDraggedRowHeight();

    std::unique_ptr<Ui::ListForm> ui;
    ListModel* model_ = nullptr;
    QString tableName_;
    QString listTitle_;
    QString listQuery_;
    engine::Recordset rowSource_;
    data::FieldValueArray recordValues_;
    bool isDefinitionsTable_ = false;
    bool activated_ = false;
    bool refreshPending_ = false;
    // A row height dragged on the row header, applied to every row when the drag ends.
    int draggedRowHeight_ = 0;
    bool applyingRowHeight_ = false;
};

}  // namespace tv::forms
