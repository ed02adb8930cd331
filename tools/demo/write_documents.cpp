// Writing quotations, sales orders (the billing run's invoices among them) and purchase
// orders with their lines, each in number order.
#include "demo/company_writer.h"

namespace tv::demo {
namespace {

QString dateText(Moment m) { return dateOf(m.day).toString("dd/MM/yyyy"); }

}  // namespace

void CompanyWriter::writeQuotations() {
    TableWriter w = table("QUOTATIONS", {"QUOTENO", "QUOTEDATE", "EXPIRYDATE", "CUSTOMER NAME",
                                         "CONTACT NAME", "CAMPAIGN", "SALES REP ID", "ITEMTOTAL",
                                         "FREIGHTTOTAL", "SALESTAX", "TOTAL", "COMMENTS"});
    for (size_t i : orderBy(plan_.quotations, byNumber)) {
        const DocumentPlan& d = plan_.quotations[i];
        w.add({whole(d.number), date(Moment{d.date.day, 0}), date(Moment{d.date.day + 30, 0}),
               customerName(d.customer), text(contactName(d.customer, d.contact)),
               text(campaignName(d.campaign)), userId(d.user), money(d.items()), money(d.freight),
               money(d.tax()), money(d.total()), text(d.comments)});
    }
    done(w);
}

void CompanyWriter::writeQuotationLines() {
    TableWriter w =
        table("QUOTATIONS DETAIL", {"QUOTENO", "LINENO", "PRODUCTCODE", "DESCRIPTION", "QUANTITY",
                                    "UNITPRICE", "DISCOUNTRATE", "TAXRATE", "LINEVALUE"});
    for (size_t i : orderBy(plan_.quotations, byNumber))
        writeLines(w, plan_.quotations[i].number, plan_.quotations[i].lines);
    done(w);
}

// The lines of the invoices the billing run raised for billed work, as it writes them:
// labour by the hour at the worker's rate, a request's materials as they are, and a
// contract's price.
void CompanyWriter::collectInvoiceLines() {
    invoiceLines_.assign(plan_.orders.size(), {});
    const int labour = v_.productIndex("SV-LABOUR");
    const int training = v_.productIndex("SV-TRAIN");
    const int contract = v_.productIndex("SV-CONTRACT");
    for (const CustomerPlan& c : plan_.customers) {
        for (const ActivityPlan& a : c.activities) {
            if (a.invoice < 0) continue;
            LinePlan l;
            l.product = activityTypes()[a.type] == QLatin1String("Training") ? training : labour;
            l.description = (dateText(a.when) + '-' + activityDescription(a)).left(255);
            l.quantity = std::round(a.duration / 60.0 * 1000.0) / 1000.0;
            l.unitPrice = v_.staff[a.user].chargeRate;
            invoiceLines_[size_t(a.invoice)].push_back(l);
        }
    }
    for (const RequestPlan& q : plan_.requests) {
        if (q.invoice < 0) continue;
        for (const LabourPlan& w : q.labour) {
            if (!w.billable) continue;
            LinePlan l;
            l.product = labour;
            l.description = (QStringLiteral("Request %1, ").arg(q.number) + dateText(w.when) +
                             " : " + w.description)
                                .left(255);
            l.quantity = w.hours;
            l.unitPrice = w.chargeRate;
            invoiceLines_[size_t(q.invoice)].push_back(l);
        }
        for (const LinePlan& m : q.materials) invoiceLines_[size_t(q.invoice)].push_back(m);
    }
    for (const ContractPlan& k : plan_.contracts) {
        if (k.invoice < 0) continue;
        LinePlan l;
        l.product = contract;
        l.description = (k.id + ' ' + k.type + "; From: " + dateText(k.start) +
                         " to: " + dateText(k.expiry) + "; Comments: " + k.comments)
                            .left(255);
        l.unitPrice = k.price;
        invoiceLines_[size_t(k.invoice)].push_back(l);
    }
}

const std::vector<LinePlan>& CompanyWriter::linesOf(size_t order) const {
    const DocumentPlan& d = plan_.orders[order];
    return d.kind == OrderKind::Invoice ? invoiceLines_[order] : d.lines;
}

// Orders with their payment and delivery; an invoice of the billing run is paid a month
// after it was raised, except the latest ones. Card numbers are masked.
void CompanyWriter::writeOrders() {
    TableWriter w =
        table("SALES ORDERS",
              {"ORDERNO",       "ORDERDATE",  "ACCOUNTNO",   "CUSTOMER NAME", "CONTACT NAME",
               "CUSTOMERORDER", "DELIVERBY",  "CAMPAIGN",    "SALES REP ID",  "ITEMTOTAL",
               "FREIGHTTOTAL",  "SALESTAX",   "TOTAL",       "COMMENTS",      "STATUS",
               "PAYMENTTYPE",   "CARD TYPE",  "CARDNO",      "CARDHOLDER",    "CARDEXPIRY",
               "AMOUNTPAID",    "PAYMENTDUE", "PAYMENTDATE", "APPROVALNO",    "SHIPPEDBY",
               "SHIP STATUS",   "SHIPDATE",   "SHIPREF",     "SHIPNOTES"});
    for (size_t i : orderBy(plan_.orders, byNumber)) {
        const DocumentPlan& d = plan_.orders[i];
        DocumentPlan totals;
        totals.lines = linesOf(i);
        totals.freight = d.freight;
        const bool invoice = d.kind == OrderKind::Invoice;
        const bool card = !d.cardType.isEmpty();
        const bool invoicePaid = invoice && d.date.day + 35 < plan_.today.day;
        const double paid = invoice ? (invoicePaid ? totals.total() : 0.0) : d.amountPaid;
        const CustomerPlan& c = customer(d.customer);
        const QString holder = contactName(d.customer, d.contact);
        const QString comments = invoice ? QStringLiteral("Raised by the billing run")
                                 : d.quotation >= 0
                                     ? QStringLiteral("From quotation %1")
                                           .arg(plan_.quotations[size_t(d.quotation)].number)
                                     : QString();
        w.add({whole(d.number),
               date(Moment{d.date.day, 0}),
               c.accountNo,
               c.name,
               text(holder),
               text(d.customerOrder),
               date(d.deliverBy),
               text(campaignName(d.campaign)),
               userId(d.user),
               money(totals.items()),
               money(d.freight),
               money(totals.tax()),
               money(totals.total()),
               text(comments),
               d.status,
               d.paymentType,
               text(d.cardType),
               card ? Variant("XXXX XXXX XXXX " + QString::number(1000 + d.number % 9000))
                    : Variant(),
               card ? Variant(holder.isEmpty() ? c.name.left(50) : holder) : Variant(),
               card ? Variant(dateOf(d.date.day + 700).toString("MM/yyyy")) : Variant(),
               money(paid),
               date(d.paymentDue),
               invoicePaid ? date(Moment{d.date.day + 30, 0}) : date(d.paymentDate),
               card ? Variant(QString::number(100000 + (d.number * 7919) % 900000)) : Variant(),
               d.shippedBy >= 0 ? Variant(userId(d.shippedBy)) : Variant(),
               text(d.shipStatus),
               date(d.shipDate),
               d.shipDate.isSet() ? Variant("TNT " + QString::number(d.number * 31 % 1000000))
                                  : Variant(),
               Variant()});
    }
    done(w);
}

void CompanyWriter::writeOrderLines() {
    TableWriter w =
        table("SALES ORDERS DETAIL", {"ORDERNO", "LINENO", "PRODUCTCODE", "DESCRIPTION", "QUANTITY",
                                      "UNITPRICE", "DISCOUNTRATE", "TAXRATE", "LINEVALUE"});
    for (size_t i : orderBy(plan_.orders, byNumber))
        writeLines(w, plan_.orders[i].number, linesOf(i));
    done(w);
}

void CompanyWriter::writePurchases() {
    TableWriter w =
        table("PURCHASE ORDERS",
              {"ORDERNO", "ORDERDATE", "SUPPLIER NAME", "SUPPLIERCONTACT", "SUPPLIERREF",
               "DELIVERBY", "DELIVERTO", "USER ID", "ITEMTOTAL", "FREIGHTTOTAL", "SALESTAX",
               "TOTAL", "STATUS", "RECEIVEDDATE", "SUPPLIERINVOICE"});
    for (size_t i : orderBy(plan_.purchases, byNumber)) {
        const DocumentPlan& d = plan_.purchases[i];
        const Supplier& s = v_.suppliers[size_t(d.supplier)];
        w.add(
            {whole(d.number), date(Moment{d.date.day, 0}), s.name, s.contact,
             "Q" + QString::number(70000 + d.number), date(d.deliverBy),
             "Warehouse, 14 Wharf Road, Pyrmont NSW 2009", userId(d.user), money(d.items()),
             money(d.freight), money(d.tax()), money(d.total()), d.status, date(d.received),
             d.received.isSet() ? Variant("INV" + QString::number(880000 + d.number)) : Variant()});
    }
    done(w);
}

void CompanyWriter::writePurchaseLines() {
    TableWriter w = table("PURCHASE ORDERS DETAIL",
                          {"ORDERNO", "LINENO", "PRODUCTCODE", "DESCRIPTION", "QUANTITY",
                           "UNITPRICE", "DISCOUNTRATE", "TAXRATE", "LINEVALUE"});
    for (size_t i : orderBy(plan_.purchases, byNumber))
        writeLines(w, plan_.purchases[i].number, plan_.purchases[i].lines);
    done(w);
}

}  // namespace tv::demo
