// The line-item dialog: one line of a quotation, a sales order or a service request's
// materials. Choosing a product fills its description, its price of the day (the special
// price while it runs) and its tax rate; a code that is not a product may be typed, and the
// line is then priced by hand. The line value follows quantity, price, discount and tax
// rate as each is left. OK refuses a quantity, price or rate that is not a number, naming
// the field and keeping what was typed; it returns the line in slots 1 to 9 of FieldValues
// (document number, line number, product code, description, quantity, unit price, discount
// rate, tax rate, line value) and in line().
#pragma once

#include "data/sales_documents.h"

#include <QDialog>
#include <memory>

namespace Ui {
class LineItem;
}

class QLineEdit;

namespace tv::forms {

class LineItemDialog : public QDialog {
    Q_OBJECT

public:
    // `detailTable` is the table the line belongs to ("Quotations Detail", "Request
    // Materials"); `existing` the line being changed, or nullptr for a new one.
    LineItemDialog(QWidget* parent, const QString& detailTable, const QString& documentNumber,
                   int lineNumber, const data::DocumentLine* existing = nullptr);
    ~LineItemDialog() override;

    data::DocumentLine line() const { return line_; }

    // The product in the code box, looked up: its description, price and tax rate are filled
    // in. A code that names no product changes nothing.
    void productChosen();
    // Works out the line value from the boxes as they stand.
    void recompute();
    // The OK button: checks the numbers, keeps the line and closes.
    void SaveDetails();

private:
    std::unique_ptr<Ui::LineItem> ui_;
    data::DocumentLine line_;
    QString lastProduct_;
};

}  // namespace tv::forms
