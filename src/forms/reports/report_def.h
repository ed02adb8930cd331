// The report definition window (ReportDef): one row of REPORT DEFINITIONS in the
// definitions database (where a report is filed, its file, destination, output file and
// format, password) and the criteria the runner asks for, edited one by one in the
// criterion window. Deleting a report deletes its criteria too.
#pragma once

#include "forms/framework/record_window.h"

#include <memory>

namespace Ui {
class ReportDef;
}

namespace tv::forms {

class ReportDef : public RecordWindow {
    Q_OBJECT

public:
    explicit ReportDef(QWidget* parent = nullptr);
    ~ReportDef() override;

    // Reads the report's criteria into the grid again.
    void refreshCriteria();
    // Opens the criterion window on the selected criterion, or on a new one.
    void editCriterion(bool newItem);
    // Deletes the selected criterion; the report after asking.
    bool deleteCriterion();
    bool deleteReport();

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    int database() const override { return -1; }
    void afterLoad() override;
    void rowShown() override { refreshCriteria(); }
    bool beforeSave() override;
    void afterSave() override;
    int savedStatusMessage() const override;

private:
    void browse();

    std::unique_ptr<Ui::ReportDef> ui_;
    QStringList keyBeforeSave_;
};

}  // namespace tv::forms
