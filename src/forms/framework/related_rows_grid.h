// The rows of one table that belong to one record of another, in a grid beside its
// buttons: a customer's contacts or activities on the customer window's tabs, the lines
// of a quotation or an order. A row belongs when its link column holds the owner's key
// value ([CUSTOMER NAME] = 'O''Brien Ltd', [QUOTENO] = 1042). The rows come from the
// engine's key set, read a block at a time as the grid scrolls (the list window's model),
// under the table's list columns (FIELD DEFINITIONS) and in the layout the user last gave
// the table's grids (saved under its display name when the grid moves to another table
// and when saveLayout runs). The link column is hidden: every row holds the same value.
//
// The buttons, SubButton_0 .. _3, carry their names as tags (FORM CAPTIONS keys of the
// window the grid sits in):
//   New     a new row in the table's record window: the link column holds the owner's
//           value, then come the owner's defaults, then the table's own
//           (NewRecordDefaults); an owner may run a command of its own instead;
//   Open    the selected row in the table's record window (message 100 without one), or
//           the owner's command;
//   Delete  the selected row through DeleteRecord, which asks first and runs the table's
//           cascade; record windows showing the row are closed; status message 902;
//   Send    the owner's command with the selected row; hidden when the owner has none.
// Double-click and Enter open the row, the Delete key deletes it. A button is enabled when
// the owner allows it and the signed-in user's access entry for the table (if any) grants
// the right it needs: add for New, edit for Open, delete for Delete.
//
// Rows added or opened through the grid are read again when the record window it opened
// closes, or when the owner calls refreshIfPending (from its activation), so returning to
// the owner shows what was saved meanwhile.
#pragma once

#include "data/app_state.h"
#include "engine/engine.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QPushButton;
class QTableView;

namespace Ui {
class RelatedRowsGrid;
}

namespace tv::forms {

class ListModel;
class RecordWindow;

// What a grid shows and what its owner adds to the commands.
struct RelatedRows {
    QString table;       // display name ("Contacts", "Quotations Detail")
    QString linkColumn;  // the column that holds the owner's key ("CUSTOMER NAME")
    QString linkValue;   // the owner's key; empty shows no rows (an owner never saved)
    // A second text column the rows must match as well (a customer's activities with one
    // contact); none when the column is empty.
    QString alsoColumn;
    QString alsoValue;
    // The sort column; empty: the table's third column, or its second when the third is
    // the link column.
    QString sortColumn;

    bool allowNew = true;
    bool allowOpen = true;
    bool allowDelete = true;
    // Set when New or Send cannot be used in this version: the button is disabled with
    // this text as its tool tip.
    QString newUnavailable;
    QString sendUnavailable;

    // The owner's values of a new row, after the link column and before the table's own.
    std::function<void(data::FieldValueArray& values)> newDefaults;
    // Replaces New's record window (a row made by another window); the rows are read
    // again after it. Return false to leave the rows alone.
    std::function<bool()> newCommand;
    // Replaces Open's record window (a document's line opened in its line dialog), with
    // the selected row; the rows are read again after it. Return false to leave them.
    std::function<bool(const data::FieldValueArray& row)> openCommand;
    // Send, with the selected row (empty when none is selected). No command and no
    // sendUnavailable text: Send is hidden.
    std::function<void(const data::FieldValueArray& row)> sendCommand;
};

// The grid's query: "SELECT * FROM [table] WHERE [link] = value ORDER BY [sort]" (with
// " AND [also] = 'value'" before the ORDER BY when a second column is given), " DESC"
// appended when the setting "Descending Sort" of the table's section is on. The value is
// written as the link column's type reads it: quoted text, a bare number, a date literal.
// Empty when the table cannot be read or the value does not fit the column (no rows).
QString RelatedRowsQuery(const RelatedRows& rows);

class RelatedRowsGrid : public QWidget {
    Q_OBJECT

public:
    enum Button { New = 0, Open = 1, Delete = 2, Send = 3 };

    explicit RelatedRowsGrid(QWidget* parent = nullptr);
    ~RelatedRowsGrid() override;

    // Shows the rows; another table than the last gets its columns and layout (the last
    // table's layout saved first).
    void showRows(const RelatedRows& rows);
    // Reads the rows again, staying on the selected row where there still is one.
    void refresh();
    // Reads the rows again when a row was added or opened since they were read.
    void refreshIfPending();
    // Saves the layout of the table shown (the owner closes).
    void saveLayout();

    // Runs a button's command as a click does; a disabled button's command does nothing.
    void runCommand(int button);

    const RelatedRows& rows() const { return rows_; }
    QString query() const { return query_; }
    QTableView* view() const;
    ListModel* model() const { return model_; }
    QPushButton* button(int index) const;
    bool refreshPending() const { return refreshPending_; }

signals:
    // A row was deleted through the grid (its key values, first column first): an owner
    // that keeps totals of its rows works them out again.
    void rowDeleted(const QStringList& keys);
    // The rows were read (shown, refreshed after a record window saved or closed): an
    // owner that keeps totals of its rows works them out again.
    void rowsRead();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildColumns();
    void load();
    void applyButtonStates();
    // The selected row read into rowSource_; false when there is none.
    bool positionOnSelectedRow();
    void watch(const QString& table);
    void watchedWindowGone();

    void newRow();
    void openRow();
    void deleteRow();
    void sendRow();

    std::unique_ptr<Ui::RelatedRowsGrid> ui_;
    ListModel* model_ = nullptr;
    RelatedRows rows_;
    QString query_;
    QString layoutTable_;  // the table whose columns and layout the grid has
    int hiddenColumn_ = -1;
    engine::Recordset rowSource_;
    data::FieldValueArray values_;
    QPointer<RecordWindow> watched_;
    bool refreshPending_ = false;
    // Each button's tool tip as its window captioned it, given back when it is usable.
    QStringList designedTips_;
};

}  // namespace tv::forms
