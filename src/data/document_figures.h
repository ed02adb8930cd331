// The money of a quotation, an order or an invoice: what one line is worth and what a
// document's lines add up to. Pure functions, so that the line dialog, the document
// windows and the billing run all reach the same figures.
//
// A line: gross = unit price x quantity; net = gross less the discount (a percent of
// gross); tax = the tax rate (a percent) of net, or of cost x quantity when tax is charged
// on cost; line value = net + tax, rounded to the cent. A negative quantity (a credit)
// gives negative figures throughout.
//
// A document: the nets and taxes of its lines are summed (the stored line values are not:
// a line value is already rounded), the item total and the sales tax are each rounded to
// the cent, and the document total is the sum of the rounded item total, sales tax and
// freight, so that the three figures shown add up to the total shown.
//
// Sums are kept as Currency (four decimals, a scaled integer) so that adding many lines
// never drifts; the only rounding to the cent is where a figure is shown or stored as a
// money amount. Cents round half away from zero, as a till does.
#pragma once

#include "core/variant.h"

#include <optional>
#include <vector>

namespace tv::data {

struct LineInput {
    double quantity = 0.0;
    double unitPrice = 0.0;
    double discountRate = 0.0;  // percent
    double taxRate = 0.0;       // percent
    // The product's cost, when tax is charged on cost ("Calculate Tax On Cost"); nothing
    // charges tax on the line's net value.
    std::optional<double> taxOnCost;
};

struct LineFigures {
    tv::Currency net;    // after discount, four decimals
    tv::Currency tax;    // four decimals
    tv::Currency value;  // net + tax, to the cent
};

struct DocumentTotals {
    tv::Currency items;    // to the cent
    tv::Currency tax;      // to the cent
    tv::Currency freight;  // to the cent
    tv::Currency total;    // items + tax + freight
};

// Rounds to whole cents, half away from zero.
tv::Currency roundToCents(tv::Currency amount);

LineFigures lineFigures(const LineInput& line);

DocumentTotals documentTotals(const std::vector<LineInput>& lines, double freight);

// A money amount as the windows show it: "0.00" (a minus for negatives, no grouping).
QString moneyText(tv::Currency amount);

}  // namespace tv::data
