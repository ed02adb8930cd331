// What a quotation and a sales order share: a header row bound like every record window,
// and numbered lines kept in memory while the user works on them. The lines are shown in
// the grid TDBGrid1 and changed with the line buttons SubButton_0..2 (new, edit, delete)
// through the line-item dialog; a save stores the header and then replaces every stored
// line, numbered 1..n in the order shown, in one transaction. Closing without saving lets
// line changes go, after the question every record window asks.
//
// The totals (ItemTotal, SalesTax, FreightTotal, TotalOrder) are worked out again after
// the lines are read and after every change, from each line's quantity, price, discount
// and tax rate (document_figures.h); the stored line values are not summed.
//
// A new document takes its number from its counter as it is first saved, and its creation
// is logged in the customer's activities. Print runs the document's report for the saved
// number.
#pragma once

#include "data/sales_documents.h"
#include "forms/framework/designed_labels.h"
#include "forms/framework/record_window.h"

#include <QAbstractTableModel>
#include <functional>
#include <vector>

class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;

namespace tv::forms {

class PickList;

// The lines of a document as the grid shows them: line number, product code, description,
// quantity, unit price, discount rate, tax rate and line value, headed and hidden as the
// detail table's FIELD DEFINITIONS say.
class LineItemsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit LineItemsModel(const std::vector<data::DocumentLine>* lines, QObject* parent = nullptr)
        : QAbstractTableModel(parent), lines_(lines) {}
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // A line dragged onto another is taken out and put in at that row.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    std::function<void(int from, int to)> moveLine;
    // The column headings, the lines' own fields' labels in FIELD DEFINITIONS of the
    // detail table where it gives them.
    void setHeadings(const QStringList& headings) { headings_ = headings; }
    // The lines changed: the grid reads them again.
    void reset() {
        beginResetModel();
        endResetModel();
    }

private:
    const std::vector<data::DocumentLine>* lines_;
    QStringList headings_;
};

class DocumentWindow : public RecordWindow {
    Q_OBJECT

public:
    ~DocumentWindow() override;

    const std::vector<data::DocumentLine>& lines() const { return lines_; }
    // The line commands: New, Edit (the selected line; message 100 without one), Delete
    // (message 101 first, status 902 after).
    void addLine();
    void editLine();
    void deleteLine();
    // Takes line `from` (0-based) out and puts it back in at `to`.
    void moveLine(int from, int to);
    // Prints the saved document (nothing while it has no number).
    void printDocument();
    // Works the totals out again from the lines and the freight.
    void recomputeTotals();

protected:
    // The controls the window's .ui gives the shared steps.
    struct Controls {
        QLineEdit* number = nullptr;
        QLineEdit* customer = nullptr;
        QToolButton* search = nullptr;
        PickList* contact = nullptr;
        PickList* campaign = nullptr;
        PickList* salesRep = nullptr;
        QTableView* grid = nullptr;
        QPushButton* lineButtons[3] = {};
        QLineEdit* itemTotal = nullptr;
        QLineEdit* freight = nullptr;
        QLineEdit* salesTax = nullptr;
        QLineEdit* total = nullptr;
        QPushButton* print = nullptr;
    };

    DocumentWindow(data::SalesDocument kind, QWidget* parent);
    // Connects the shared controls; the subclass calls it after setupUi.
    void setUpDocument(const Controls& controls);
    // Lines read from elsewhere (a quotation copied into an order).
    void replaceLines(std::vector<data::DocumentLine> lines);
    data::SalesDocument kind() const { return kind_; }
    bool wasNew() const { return wasNew_; }
    const Controls& controls() const { return c_; }

    // The customer named in the window changed: lists that depend on it are read again.
    virtual void customerChanged();

    void afterLoad() override;
    void rowShown() override;
    bool beforeSave() override;
    void afterSave() override;
    int savedStatusMessage() const override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool editLineAt(int row, bool adding);
    int selectedRow() const;
    void linesChanged();
    void lookUpCustomer();

    data::SalesDocument kind_;
    Controls c_;
    DesignedLabels labels_;
    std::vector<data::DocumentLine> lines_;
    LineItemsModel* model_ = nullptr;
    bool linesEdited_ = false;
    bool wasNew_ = false;
    bool discarding_ = false;
};

}  // namespace tv::forms
