// The report runner (RunReport): the registered reports in a tree, one branch per
// category, with the chosen report's description. Running a report checks its password
// (when it has one) and opens the criteria window with the report's destination chosen.
// Edit and New open the report's definition.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class RunReport;
}

namespace tv::forms {

class ReportCriteria;

class RunReport : public QWidget {
    Q_OBJECT

public:
    explicit RunReport(QWidget* parent = nullptr);
    ~RunReport() override;

    // Fills the tree from REPORT DEFINITIONS.
    void refresh();
    // Selects a report by category and name; false when it is not listed.
    bool selectReport(const QString& category, const QString& name);
    // Runs the selected report: its password, then the criteria window (shown, and
    // returned). nullptr when nothing is selected or the password is wrong.
    ReportCriteria* runSelected();

private:
    void showDescription();
    void editSelected(bool newReport);

    std::unique_ptr<Ui::RunReport> ui_;
};

}  // namespace tv::forms
