// Quotations and sales orders below their windows: the numbered lines of a document, the
// products they name, the customer-inventory items an order creates and the payments it
// records. The windows keep a document's lines in memory while the user edits them; these
// routines read them, and replace them all at a save.
//
// Every routine reports its own failures by numbered message and returns a false status,
// as the rest of the data layer does.
#pragma once

#include "core/variant.h"
#include "data/document_figures.h"
#include "engine/engine.h"

#include <QString>
#include <optional>
#include <vector>

namespace tv::data {

enum class SalesDocument { Quotation, Order };

// The display names and key column of a document kind: "Quotations", "Quotations
// Detail", QUOTENO; "Sales Orders", "Sales Orders Detail", ORDERNO. The header's display
// name is also its counter's name.
QString documentTable(SalesDocument kind);
QString detailTable(SalesDocument kind);
QString documentKeyColumn(SalesDocument kind);

// One line of a document, as the detail tables store it (LINENO is its place).
struct DocumentLine {
    QString productCode;
    QString description;
    double quantity = 0.0;
    double unitPrice = 0.0;
    double discountRate = 0.0;
    double taxRate = 0.0;
    double lineValue = 0.0;
};

// The line on the current row of a record set laid out as the detail tables are (product
// code, description, quantity, unit price, discount, tax rate and line value in columns 2
// to 8), as the detail tables and REQUEST MATERIALS both store their lines.
DocumentLine DocumentLineAt(engine::Recordset& rs);

// The lines stored for the document, in line-number order. Empty on failure (message 194).
std::vector<DocumentLine> ReadDocumentLines(SalesDocument kind, const QString& number);

// Replaces every stored line of the document with `lines`, numbered 1..n in their order,
// in one transaction: a failure (message 9150 with the engine's text) leaves the lines
// that were stored before.
bool WriteDocumentLines(SalesDocument kind, const QString& number,
                        const std::vector<DocumentLine>& lines);

// What a line needs to know of a product.
struct ProductFacts {
    QString description;
    // The special price while `now` lies between its start and end (both set; the end is a
    // moment, so an end date of today has passed once today has begun), else the unit price.
    double price = 0.0;
    std::optional<double> taxRate;  // nothing when the product has none
    double cost = 0.0;
    bool tracked = false;  // a sold unit becomes a customer-inventory item
};
std::optional<ProductFacts> ReadProduct(const QString& productCode, tv::DateTime now);

// The figures of the lines, tax on cost when the "Calculate Tax On Cost" option is on (the
// cost read from PRODUCTS by each line's code).
DocumentTotals DocumentLineTotals(const std::vector<DocumentLine>& lines, double freight);
LineInput LineInputOf(const DocumentLine& line, bool taxOnCost);

// Customer-inventory items of an order: those it created (SOURCEDOCTYPE "order",
// SOURCEDOCID its number).
bool HasOrderInventory(const QString& orderNumber);
bool DeleteOrderInventory(const QString& orderNumber);
// One item per unit of each line whose product is tracked (the quantity rounded half to
// even), ids "_<order>/<n>" cut to 20 characters, n counting across the order. Returns
// how many were created; -1 when one could not be written (message 105 said why).
int CreateOrderInventory(const QString& orderNumber, const QString& customer,
                         const std::vector<DocumentLine>& lines, tv::DateTime today);

// The amount paid stored for the order ("" when it has none or there is no such order).
QString StoredAmountPaid(const QString& orderNumber);

}  // namespace tv::data
