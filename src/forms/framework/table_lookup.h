// The table-lookup window: a modal picker of a key value from any table, with the rows at
// or after the typed text listed as the user types (at most 50). Callers hand it its
// inputs in SharedValues and read the result there:
//   in  0 the source table; 1 the listed column's position counting from 1 (empty or "0"
//       mean 1); 2 the starting text (optional); 3 an alternative source, a table name or
//       SQL, to list instead of the table (optional); 4 "No" to accept a value that is not
//       in the table;
//   out 0 the value picked; empty when the window was closed or its Add command used.
// Elements 0 to 3 are cleared as soon as the window has read them; 4 is left as it was.
//
// Add opens the source table's record window on a new row instead of picking a value.
#pragma once

#include "engine/engine.h"

#include <QDialog>
#include <memory>

class QListWidgetItem;

namespace Ui {
class TableLookup;
}

namespace tv::forms {

class TableLookup : public QDialog {
    Q_OBJECT

public:
    explicit TableLookup(QWidget* parent = nullptr);
    ~TableLookup() override;

    // The commands, as their buttons run them.
    void selectValue();
    void addNew();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The first activation: titles, the record set on the listed column, the first fill.
    void activate();
    // Lists the rows at or after the typed text; keeps the list when there are none.
    void refill();
    void takeRow(QListWidgetItem* item);

    std::unique_ptr<Ui::TableLookup> ui_;
    QString source_;
    int column_ = 1;  // counting from 1
    QString alternative_;
    engine::Recordset rs_;
    // Set while the list and the text box update each other.
    bool busy_ = false;
    bool activated_ = false;
};

// Sets SharedValues for the window, runs it modally and returns what it picked (empty
// when nothing was).
QString RunTableLookup(QWidget* parent, const QString& source, int column,
                       const QString& startText = QString(), const QString& alternative = QString(),
                       bool freeValues = false);

}  // namespace tv::forms
