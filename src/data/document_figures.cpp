#include "data/document_figures.h"

#include <QString>
#include <cstdlib>

namespace tv::data {

namespace {

constexpr std::int64_t kCent = 100;  // scaled units (1/10,000) in a cent

tv::Currency plus(tv::Currency a, tv::Currency b) {
    tv::Currency sum;
    sum.scaled = a.scaled + b.scaled;
    return sum;
}

}  // namespace

tv::Currency roundToCents(tv::Currency amount) {
    const std::int64_t rest = amount.scaled % kCent;  // keeps the sign of the amount
    tv::Currency rounded;
    rounded.scaled = amount.scaled - rest;
    if (std::llabs(rest) * 2 >= kCent) rounded.scaled += amount.scaled < 0 ? -kCent : kCent;
    return rounded;
}

LineFigures lineFigures(const LineInput& line) {
    const double gross = line.unitPrice * line.quantity;
    const double net = gross - (line.discountRate / 100.0) * gross;
    const double taxBase = line.taxOnCost ? *line.taxOnCost * line.quantity : net;
    LineFigures figures;
    figures.net = tv::Currency::fromDouble(net);
    figures.tax = tv::Currency::fromDouble((line.taxRate / 100.0) * taxBase);
    figures.value = roundToCents(plus(figures.net, figures.tax));
    return figures;
}

DocumentTotals documentTotals(const std::vector<LineInput>& lines, double freight) {
    tv::Currency items;
    tv::Currency tax;
    for (const LineInput& line : lines) {
        const LineFigures figures = lineFigures(line);
        items = plus(items, figures.net);
        tax = plus(tax, figures.tax);
    }
    DocumentTotals totals;
    totals.items = roundToCents(items);
    totals.tax = roundToCents(tax);
    totals.freight = roundToCents(tv::Currency::fromDouble(freight));
    totals.total = plus(plus(totals.items, totals.tax), totals.freight);
    return totals;
}

QString moneyText(tv::Currency amount) {
    const tv::Currency cents = roundToCents(amount);
    const std::int64_t whole = cents.scaled / 10000;
    const std::int64_t fraction = std::llabs(cents.scaled % 10000) / kCent;
    const QString sign = cents.scaled < 0 ? QStringLiteral("-") : QString();
    return sign + QString::number(std::llabs(whole)) + u'.' +
           QStringLiteral("%1").arg(fraction, 2, 10, QChar(u'0'));
}

}  // namespace tv::data
