// The criterion window (ReportItem): one row of REPORT SELECTION, a question the report
// runner asks before a report runs: the table and field (from the data database's
// tables), the operator, the kind of input, defaults, where a list takes its values, and
// whether the field holds a time and whether an answer is required.
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class ReportItem;
}

namespace tv::forms {

class ReportItem : public QDialog {
    Q_OBJECT

public:
    explicit ReportItem(QWidget* parent = nullptr);
    ~ReportItem() override;

    void newItem(const QString& category, const QString& name, int itemNo);
    // False when the criterion is not stored.
    bool showItem(const QString& category, const QString& name, const QString& itemNo);
    // Stores the criterion (Save); false when the data layer refused it.
    bool save();

private:
    void listFields();

    std::unique_ptr<Ui::ReportItem> ui_;
    QStringList storedKey_;  // category, name, item number; empty for a new criterion
};

}  // namespace tv::forms
