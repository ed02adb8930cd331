// The to-do list: what is due for the signed-in user, on three pages, each a query of one
// table read as the grid scrolls (the list window's model, columns and grid layout):
//   Scheduled    their scheduled activities up to the end of today (overdue ones too);
//   Requests     the current service requests allocated to them;
//   RActivities  their request labour lines scheduled up to the end of today and not yet
//                completed.
// Open (or a double-click, or Enter) shows the row in its record window; a labour line
// opens its request. Print prints the page's rows as the list window prints a list. The
// window only reads: the rows are read again when it is next activated after it opened
// one, since that window may have completed or moved it. Qt's layouts keep the grid and
// the button column fitted to the window as it is resized.
#pragma once

#include "core/variant.h"
#include "data/app_state.h"
#include "engine/engine.h"

#include <QString>
#include <QWidget>
#include <memory>

class QTableView;

namespace Ui {
class ToDoList;
}

namespace tv::forms {

class ListModel;

// The table each page lists, by page: "Scheduled Activities", "Current Requests",
// "Request Activities".
QString ToDoTable(int page);

// The query of a page's table for the user: everything due up to the end of `today` (the
// day of that moment), ordered by the column at the position of the key's length
// (descending when the table's "Descending Sort" setting is on). Empty for another table.
QString ToDoQuery(const QString& table, const QString& user, tv::DateTime today);

class ToDoList : public QWidget {
    Q_OBJECT

public:
    enum Command { Open = 0, Print = 1, Close = 2 };
    enum Page { Scheduled = 0, Requests = 1, RActivities = 2 };

    explicit ToDoList(QWidget* parent = nullptr);
    ~ToDoList() override;

    // Shows a page's rows (the tab strip's choice runs it too).
    void showPage(int page);
    int page() const { return page_; }
    // Runs a command as its button does.
    void runCommand(int command);
    // Reads the page's rows again, staying on the same row number where there is one.
    void refresh();

    QTableView* grid() const;
    ListModel* model() const { return model_; }
    QString query() const { return query_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void loadRows();
    void activate();
    void openRow();
    void printRows();
    bool positionOnCurrentRow();

    std::unique_ptr<Ui::ToDoList> ui_;
    ListModel* model_ = nullptr;
    int page_ = -1;
    QString query_;
    // The table whose columns and layout the grid has.
    QString layoutTable_;
    // A clone of the model's record set, moved to the row that is opened or printed.
    engine::Recordset rowSource_;
    data::FieldValueArray values_;
    bool refreshPending_ = false;
};

}  // namespace tv::forms
