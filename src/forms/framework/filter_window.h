// The Filter window: restricts and sorts a list window's rows without the user writing
// SQL. He picks a column (by its caption), an operator and a value, adds the condition
// with And or Or to the criteria box (which he may also edit by hand), picks a sort column
// and direction and runs the query. Criteria can be saved under a name in the FILTERS
// table of the data database, shared by every list whose table name agrees in its first
// ten characters (the width of the table key).
//
// The list window sets the table name, hands over its grid (ListDataFields) and the saved
// filters (LoadFilters), and runs the window modally. Run leaves the SELECT statement in
// state().SharedValues[0] and accepts; Close (or Escape) leaves that element empty.
//
// Enter adds the condition (And) while the focus is in the field, operator or value box,
// so that typing a value and pressing Enter never runs a half-built query; in the saved
// filter name box it loads the named filter; on a button it presses that button. Run
// Query is only ever pressed on purpose.
#pragma once

#include "engine/engine.h"
#include "forms/framework/filter_query.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

class QTableView;

namespace Ui {
class FilterWindow;
}

namespace tv::forms {

class Filter : public QDialog {
    Q_OBJECT

public:
    explicit Filter(QWidget* parent = nullptr);
    ~Filter() override;

    // The list's table display name; set before ListDataFields and LoadFilters.
    void setTableName(const QString& name);
    QString tableName() const;

    // Fills the field and sort boxes with the grid's column captions in column (logical)
    // order; column k (1-based) stands for field k-1 of the table, read from the data
    // database or, for the definitions' own tables, from the definitions database.
    // Returns -1.
    std::int16_t ListDataFields(const QTableView* grid);
    // Fills the saved-filter box with the names saved for this table key. Returns -1.
    std::int16_t LoadFilters();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void readTableFields();
    // The field name behind a column caption; empty when the caption is no column's.
    QString fieldOf(const QString& caption) const;
    int columnOf(const QString& caption) const;
    QString tableKey() const;
    QString filterName() const;

    void addCondition(filter::Join join);
    void getValues();
    void clearCriteria();
    void runQuery();
    void saveFilter();
    void deleteFilter();
    void loadSavedFilter();

    std::unique_ptr<Ui::FilterWindow> ui_;
    QString tableName_;
    int database_ = 0;  // where the table lives (data::kDataDb or kDefinitionsDb)
    // The table's fields by ordinal; grid column k shows field k-1.
    QStringList tableFields_;
    std::vector<engine::FieldType> tableTypes_;
    // FieldNames: the field behind each grid column, in column order.
    QStringList fieldNames_;
    // The saved filter whose criteria the box shows, so that leaving the name box does
    // not reload the same filter over criteria the user has changed since.
    QString loadedFilter_;
    // The criteria as the window itself last filled them (load, save, clear).
    QString shownCriteria_;
    // Set from the name box losing the focus until it has it again.
    bool leavingNameBox_ = false;
};

}  // namespace tv::forms
