// The record window of a table whose own window is not written yet: one labelled box per
// column, in column order, built from the table's definition, with Save and Close. It
// follows the same protocol as every record window (bound by ordinal, opened through
// OpenRecordWindow, saved through the base's save), so a list can add, edit and copy rows
// of any business table today; the table's own window replaces it by registering under
// the same window name.
#pragma once

#include "forms/framework/record_window.h"

#include <QString>

namespace tv::forms {

class GenericRecordWindow : public RecordWindow {
    Q_OBJECT

public:
    // windowName: the catalogue's window name ("Customer"), used for the caption lookup;
    // tableName: the display name whose columns the window shows.
    GenericRecordWindow(const QString& windowName, const QString& tableName,
                        QWidget* parent = nullptr);

protected:
    QString defaultTableName() const override { return table_; }
    QSize defaultSizeTwips() const override { return QSize(7200, 6600); }
    int database() const override;

private:
    void buildControls();

    QString table_;
};

// The database a display name lives in: -1 for the three definitions tables, else 0.
int databaseOfTable(const QString& displayName);

}  // namespace tv::forms
