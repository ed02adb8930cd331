// The Request window: one service request, open (a row of CURRENT REQUESTS) or completed
// (COMPLETED REQUESTS); the catalogue gives it the table in LocalTableName. Eight tabs:
// the details, the allocation, the labour lines (REQUEST ACTIVITIES) and the materials
// (REQUEST MATERIALS) in grids of related rows, the schedule, the resolution, the figures
// and the custom fields. Captions come from FORM CAPTIONS under "Request", labels from the
// FIELD DEFINITIONS of "Current Requests".
//
// Beyond the record window it
//   - numbers a new request from the "Current Requests" counter as it is first saved, and
//     logs it in the customer's activities;
//   - fills the allocation and completion moments when a group, person or resolution is
//     chosen, and shows the chosen contract's type and expiry and the item's warranty;
//   - keeps the hours, cost and charge of the lines (worked out again whenever the grids
//     are read) and the lead and down times in service hours (the Statistics tab);
//   - closes the request into the completed table and re-opens it (data/service_requests.h),
//     raises a sales order of its charges, prints its job sheet.
// A completed request is read-only: its fields, Save and the grid buttons are disabled,
// and the close button re-opens it.
#pragma once

#include "forms/framework/designed_labels.h"
#include "forms/framework/record_window.h"

#include <QStringList>
#include <memory>

class QLineEdit;

namespace Ui {
class Request;
}

namespace tv::forms {

class RelatedRowsGrid;

class RequestWindow : public RecordWindow {
    Q_OBJECT

public:
    explicit RequestWindow(QWidget* parent = nullptr);
    ~RequestWindow() override;

    // Whether the window shows a completed request.
    bool isCompleted() const;

    // The commands of the button arrays and buttons, as their clicks run them.
    void ListCommand(int index);
    void CloseRequest();
    void Respondf();
    void RaiseOrder();
    // Works the hours, cost and charge out again from the stored lines.
    void recomputeTotals();
    // Lead and down time in service hours up to now (down time only while the service is
    // down), as closing sets them.
    void recomputeTimes();

    RelatedRowsGrid* labourGrid() const { return labour_; }
    RelatedRowsGrid* materialsGrid() const { return materials_; }

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    QWidget* saveButton() const override;
    void afterLoad() override;
    void rowShown() override;
    void afterActivate() override;
    bool beforeSave() override;
    void afterSave() override;
    int savedStatusMessage() const override;
    void closeEvent(QCloseEvent* event) override;

private:
    QString requestNo() const;
    void setUpLists();
    void showGrids();
    void applyReadOnly();
    void showContract();
    void itemChosen();
    void fillMomentIfEmpty(QLineEdit* box);
    void showSchedule();
    bool checkSchedule();
    void tabChosen(int index);
    // A material line in the line-item dialog: a new one (row empty) or the given row.
    bool editMaterial(const QStringList* row);
    // The sales order in its window; false when it is not stored.
    bool openOrder(const QString& orderNo);
    void printJobSheet();
    void openKnownProblems();
    void sendForRequest();
    void lookUpCustomer();

    std::unique_ptr<Ui::Request> ui_;
    DesignedLabels labels_;
    RelatedRowsGrid* labour_ = nullptr;
    RelatedRowsGrid* materials_ = nullptr;
    bool wasNew_ = false;
    bool moved_ = false;  // closed or re-opened: the row shown is stored elsewhere now
};

}  // namespace tv::forms
