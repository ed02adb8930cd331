// Planning quotations, sales orders and the inventory items they sell, purchase orders,
// and the invoices the billing run raised for work already billed.
#include "demo/planner.h"

#include <map>

namespace tv::demo {

LinePlan Planner::line(Random& r, int productIndex, double quantity) const {
    const ProductInfo& p = product(productIndex);
    LinePlan l;
    l.product = productIndex;
    l.quantity = quantity;
    l.unitPrice = p.price;
    l.discount = p.kind == ProductKind::Machine ? double(r.weighted({50, 30, 20}) * 5) : 0;
    l.taxRate = 10;
    l.description = p.description;
    return l;
}

std::vector<LinePlan> Planner::salesLines(Random& r, bool machine) const {
    std::vector<LinePlan> lines;
    if (machine) {
        const int m = r.pick(machines_);
        lines.push_back(line(r, m, r.weighted({80, 15, 5}) + 1));
        if (product(m).category == QLatin1String("Copiers") && r.chance(0.5))
            lines.push_back(line(r, r.pick(accessories_), 1));
        if (r.chance(0.6)) lines.push_back(line(r, v_.productIndex("SV-INSTALL"), 1));
    }
    const int extra = machine ? r.below(2) : r.between(1, 4);
    for (int i = 0; i < extra; ++i)
        lines.push_back(line(r, r.pick(consumables_), r.between(1, 12)));
    return lines;
}

// Quotations; some of the older ones became orders.
void Planner::planQuotations(Random& r, int index, int since, std::vector<long>& keys) {
    CustomerPlan& c = customer(index);
    const int quotes = r.chance(0.4) ? r.between(1, 2) : 0;
    for (int q = 0; q < quotes; ++q) {
        DocumentPlan d;
        d.date = businessMoment(r, since, today() - 1);
        d.customer = index;
        d.contact = pickContact(r, c);
        d.user = c.rep;
        d.campaign = campaignAt(d.date.day);
        d.lines = salesLines(r, r.chance(0.7));
        d.freight = r.weighted({60, 25, 15}) == 0 ? 0 : (r.chance(0.5) ? 45 : 95);
        if (r.chance(0.3))
            d.comments = "Prices valid for 30 days. Trade-in of the old machine included.";
        const int quoteIndex = static_cast<int>(plan_.quotations.size());
        plan_.quotations.push_back(d);
        logDocument(r, c, keys, d.date, "Quotation", c.rep, quoteIndex, d.contact);
        if (r.chance(0.35) && d.date.day + 25 < today()) {
            DocumentPlan o = d;
            o.date = businessMoment(r, d.date.day + 3, d.date.day + 20);
            o.quotation = quoteIndex;
            addOrder(r, index, std::move(o), keys);
        }
    }
}

// Orders taken without a quotation.
void Planner::planOrders(Random& r, int index, int since, std::vector<long>& keys) {
    const CustomerPlan& c = customer(index);
    const int orders = r.chance(0.45) ? r.between(1, 3) : 0;
    for (int o = 0; o < orders; ++o) {
        DocumentPlan d;
        d.date = businessMoment(r, since, today() - 1);
        d.customer = index;
        d.contact = pickContact(r, c);
        d.user = c.rep;
        d.campaign = campaignAt(d.date.day);
        d.lines = salesLines(r, r.chance(0.25));
        d.freight = r.chance(0.5) ? 0 : 25;
        addOrder(r, index, std::move(d), keys);
    }
}

void Planner::addOrder(Random& r, int index, DocumentPlan o, std::vector<long>& keys) {
    CustomerPlan& c = customer(index);
    o.kind = OrderKind::Sale;
    o.deliverBy = Moment{nextWorkday(o.date.day + 7), 0};
    if (r.chance(0.5)) o.customerOrder = "PO " + digits(r, 5);
    shipAndPay(r, o);
    const int orderIndex = static_cast<int>(plan_.orders.size());
    plan_.orders.push_back(o);
    logDocument(r, c, keys, o.date, "Sales Order", o.user, orderIndex, o.contact);
    if (o.paymentDate.isSet() && o.paymentDate.day < today()) {
        ActivityPlan a =
            newActivity(r, c, claim(keys, Moment{o.paymentDate.day, r.between(100, 200) * 5}),
                        "Payment", office_);
        a.document = orderIndex;
        a.amount = o.amountPaid;
        c.activities.push_back(a);
    }
    planItems(r, index, orderIndex);
}

// An order's status, payment and delivery: orders older than a month are completed
// (shipped), and most completed ones are paid; a paid order has its payment date.
void Planner::shipAndPay(Random& r, DocumentPlan& o) {
    const int age = today() - o.date.day;
    o.status = age > 30
                   ? QStringLiteral("Completed")
                   : QStringList{"Entered", "Back Ordered", "Completed"}[r.weighted({50, 15, 35})];
    const int pay = r.weighted({60, 30, 10});
    o.paymentType = QStringList{"Account", "Credit Card", "Cheque"}[pay];
    if (pay == 1)
        o.cardType =
            QStringList{"Visa", "Mastercard", "American Express"}[r.weighted({50, 40, 10})];
    o.paymentDue = Moment{o.date.day + 30, 0};
    const bool shipped = o.status == QLatin1String("Completed");
    if (shipped) {
        o.shipStatus = QStringLiteral("Delivered");
        o.shipDate = Moment{workdayUpTo(o.date.day + r.between(1, 6), today() - 1), 0};
        o.shippedBy = r.chance(0.5) ? office_ : delivery_;
    } else {
        o.shipStatus = o.status == QLatin1String("Back Ordered") ? QStringLiteral("Back Ordered")
                                                                 : QStringLiteral("Not Shipped");
    }
    const bool paid = shipped && (pay == 1 || age > 35 || r.chance(0.5));
    if (paid) {
        o.amountPaid = o.total();
        o.paymentDate =
            pay == 1 ? o.date : Moment{workdayUpTo(o.date.day + r.between(7, 35), today() - 1), 0};
    }
}

// Machines sold become inventory items, one per unit, installed when the order shipped.
void Planner::planItems(Random& r, int index, int order) {
    const DocumentPlan& o = plan_.orders[size_t(order)];
    int unit = 0;
    for (const LinePlan& l : o.lines) {
        if (product(l.product).kind != ProductKind::Machine) continue;
        for (int k = 0; k < int(std::lround(l.quantity)); ++k) {
            ItemPlan item;
            item.product = l.product;
            item.customer = index;
            item.contact = o.contact;
            item.order = order;
            item.unit = ++unit;
            item.supplied = o.date;
            item.installed = o.shipDate;
            item.charge = cents(l.net() / std::max(1.0, l.quantity));
            finishItem(r, item);
            plan_.items.push_back(item);
        }
    }
}

void Planner::finishItem(Random& r, ItemPlan& item) const {
    const ProductInfo& p = product(item.product);
    item.serial = p.code.left(2) + digits(r, 8);
    item.location = r.pick(v_.itemLocations);
    item.status = item.installed.isSet() ? QStringLiteral("Installed") : QStringLiteral("On Order");
    if (p.category == QLatin1String("Copiers")) {
        item.configuration = "IP address 192.168." + QString::number(r.between(0, 9)) + '.' +
                             QString::number(r.between(20, 250)) +
                             "\nScan to e-mail and scan to folder set up\nDepartment codes on";
    }
    const Moment from = item.installed.isSet() ? item.installed : item.supplied;
    if (p.warrantyMonths > 0) {
        const QDate end = dateOf(from.day).addMonths(p.warrantyMonths);
        item.warrantyExpiry = Moment{dayNumber(end), 0};
    }
}

// Stock bought from the suppliers over the two years, mostly received.
void Planner::planPurchases() {
    Random r(seed_, 7);
    const int count = 40 * plan_.scale;
    for (int i = 0; i < count; ++i) {
        DocumentPlan p;
        p.date = businessMoment(r, historyStart(), today() - 1);
        p.supplier = r.below(int(v_.suppliers.size()));
        p.user = r.chance(0.5) ? office_ : serviceManager_;
        std::vector<int> range;
        for (size_t k = 0; k < v_.products.size(); ++k) {
            const ProductInfo& item = v_.products[k];
            if (item.supplier == p.supplier && item.kind != ProductKind::Service &&
                !item.discontinued)
                range.push_back(static_cast<int>(k));
        }
        if (range.empty()) range = consumables_;
        const int lines = r.between(1, 4);
        for (int k = 0; k < lines; ++k) {
            LinePlan l = line(r, r.pick(range), r.between(1, 20));
            l.unitPrice = product(l.product).cost;
            l.discount = 0;
            p.lines.push_back(l);
        }
        p.freight = r.chance(0.5) ? 0 : 40;
        const bool received = p.date.day < today() - 10 || r.chance(0.3);
        p.status = received ? QStringLiteral("Received") : QStringLiteral("Ordered");
        p.deliverBy = Moment{nextWorkday(p.date.day + 7), 0};
        if (received)
            p.received = Moment{workdayUpTo(p.date.day + r.between(2, 9), today() - 1), 0};
        plan_.purchases.push_back(p);
    }
}

// Billed work of a customer, invoiced quarter by quarter by the billing run: billable
// activities, charged requests and contracts older than the billing lag. Newer work
// stays unbilled, so a billing run on the demo has something to do.
void Planner::planInvoices(int index) {
    CustomerPlan& c = customer(index);
    std::map<int, int> invoiceOfQuarter;  // year * 4 + quarter -> order index
    auto invoiceFor = [&](int day) {
        const QDate d = dateOf(day);
        const int quarter = d.year() * 4 + (d.month() - 1) / 3;
        auto it = invoiceOfQuarter.find(quarter);
        if (it != invoiceOfQuarter.end()) return it->second;
        DocumentPlan o;
        o.kind = OrderKind::Invoice;
        o.customer = index;
        o.user = office_;
        // Raised on the first workday after the quarter, or soon after the work when
        // the quarter has not ended yet.
        const QDate next = QDate(d.year(), (d.month() - 1) / 3 * 3 + 1, 1).addMonths(3);
        o.date = Moment{std::min(nextWorkday(dayNumber(next)), nextWorkday(cutoff())), 0};
        o.status = QStringLiteral("Completed");
        o.paymentType = QStringLiteral("Account");
        o.paymentDue = Moment{o.date.day + 30, 0};
        const int orderIndex = static_cast<int>(plan_.orders.size());
        plan_.orders.push_back(o);
        invoiceOfQuarter.emplace(quarter, orderIndex);
        return orderIndex;
    };
    for (ActivityPlan& a : c.activities)
        if (a.billable && a.when.day < cutoff()) a.invoice = invoiceFor(a.when.day);
    for (size_t i = firstRequest_; i < plan_.requests.size(); ++i) {
        RequestPlan& q = plan_.requests[i];
        if (q.completed && q.totalCharge() > 0 && q.finished.day < cutoff())
            q.invoice = invoiceFor(q.finished.day);
    }
    for (size_t i = firstContract_; i < plan_.contracts.size(); ++i) {
        ContractPlan& k = plan_.contracts[i];
        if (k.start.day < cutoff()) k.invoice = invoiceFor(k.start.day);
    }
}

}  // namespace tv::demo
