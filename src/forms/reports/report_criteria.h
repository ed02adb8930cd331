// The criteria window (ReportCriteria): one input per criterion of the chosen report, as
// REPORT SELECTION lists them (a text box, a drop-down list, a check box, a date, or a
// text box with a button that lists a table's values; two of a kind for "Between"), the
// destination, and the command that runs the report with the answers as its selection
// formula and its "criteria" formula as the readable line.
#pragma once

#include "reports/criteria.h"

#include <QDialog>
#include <memory>
#include <vector>

namespace Ui {
class ReportCriteria;
}

namespace tv::reports {
class ReportEngine;
}

namespace tv::forms {

class ReportCriteria : public QDialog {
    Q_OBJECT

public:
    explicit ReportCriteria(QWidget* parent = nullptr);
    ~ReportCriteria() override;

    // The report to run (its REPORT DEFINITIONS key) and the destination chosen (0 screen,
    // 1 printer, 2 file).
    void setReport(const QString& category, const QString& name, int destination);
    // Builds one row of inputs per criterion, filled with their defaults.
    void BuildCriteriaPrompts();

    // The answers as the runner reads them.
    std::vector<reports::Criterion> criteria() const;
    int destination() const;
    // Runs the report (the OK command). False when a required answer is missing or the
    // run failed. `engine` defaults to the program's.
    bool runReport(reports::ReportEngine* engine = nullptr);

private:
    struct Row;
    void addRow(Row row);
    void lookup(size_t row, bool second);

    std::unique_ptr<Ui::ReportCriteria> ui_;
    QString category_, name_;
    std::vector<Row> rows_;
};

}  // namespace tv::forms
