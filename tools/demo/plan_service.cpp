// Planning service contracts, service requests with their labour and materials, and
// returned goods.
#include "demo/planner.h"

#include <algorithm>

namespace tv::demo {

// The customer's machines: those it bought from us, or now and then an older one we
// maintain. Now and then a rental machine delivered lately comes too, charged by the next
// billing run.
std::vector<int> Planner::ownedMachines(Random& r, int index) {
    std::vector<int> owned;
    for (size_t i = firstItem_; i < plan_.items.size(); ++i) owned.push_back(static_cast<int>(i));
    if (owned.empty() && r.chance(0.12)) {
        ItemPlan item;
        item.product = r.pick(oldMachines_);
        item.customer = index;
        item.supplied = Moment{today() - r.between(800, 2000), 0};
        item.installed = item.supplied;
        finishItem(r, item);
        owned.push_back(static_cast<int>(plan_.items.size()));
        plan_.items.push_back(item);
    }
    if (r.chance(0.01)) {
        ItemPlan item;
        item.product = r.pick(machines_);
        item.customer = index;
        item.supplied = Moment{nextWorkday(today() - r.between(5, 40)), 0};
        item.installed = item.supplied;
        item.charge = 150;
        finishItem(r, item);
        item.configuration = "Rental machine: monthly charge";
        plan_.items.push_back(item);
    }
    return owned;
}

// Contracts covering the customer's machines, renewed year after year while it stays.
void Planner::planContracts(Random& r, int index, int since) {
    const std::vector<int> owned = ownedMachines(r, index);
    if (owned.empty() || !r.chance(0.45)) return;
    const CustomerPlan& c = customer(index);
    static const QStringList types = {"Gold Maintenance", "Silver Maintenance", "Cost Per Copy",
                                      "Shredder Care"};
    const int first = plan_.items[size_t(owned.front())].installed.day;
    int start = std::max({since, first, historyStart()}) + r.between(0, 60);
    while (start < today() - 5) {
        ContractPlan k;
        k.customer = index;
        k.contact = pickContact(r, c);
        k.rep = c.rep;
        k.type = types[r.weighted({35, 35, 25, 5})];
        k.start = Moment{nextWorkday(start), 0};
        k.expiry = Moment{dayNumber(dateOf(k.start.day).addYears(1)) - 1, 0};
        k.price = 600.0 + 300.0 * r.below(14);
        const bool gold = k.type == QLatin1String("Gold Maintenance");
        k.requestsAllowed = gold ? 0 : 6 + 6 * r.below(2);
        k.hoursAllowed = 10.0 * r.between(1, 4);
        k.coverage = gold ? QStringLiteral("Parts and labour, 4-hour response, business hours")
                          : QStringLiteral("Labour only, next business day response");
        if (r.chance(0.2)) k.comments = "Meter readings by e-mail each quarter.";
        const int contractIndex = static_cast<int>(plan_.contracts.size());
        for (int i : owned) {
            ItemPlan& item = plan_.items[size_t(i)];
            if (item.installed.isSet() && item.installed.day <= k.expiry.day)
                item.contract = contractIndex;
        }
        plan_.contracts.push_back(k);
        if (!r.chance(0.7)) break;  // renewed for another year
        start = k.expiry.day + 1;
    }
}

int Planner::contractAt(int customer, int day) const {
    for (size_t i = firstContract_; i < plan_.contracts.size(); ++i) {
        const ContractPlan& k = plan_.contracts[i];
        if (k.customer == customer && k.start.day <= day && day <= k.expiry.day)
            return static_cast<int>(i);
    }
    return -1;
}

// Requests of the customer: closed ones over its history (more when it has our machines)
// and now and then an open one of the last two weeks.
void Planner::planRequests(Random& r, int index, int since, std::vector<long>& keys) {
    CustomerPlan& c = customer(index);
    std::vector<int> owned;
    for (size_t i = firstItem_; i < plan_.items.size(); ++i)
        if (plan_.items[i].installed.isSet()) owned.push_back(static_cast<int>(i));
    const int closed = (!owned.empty() || r.chance(0.35)) ? r.between(1, owned.empty() ? 2 : 4) : 0;
    const int open = r.chance(0.12 * presentShare()) ? r.between(1, 2) : 0;
    for (int n = 0; n < closed + open; ++n) {
        const bool completed = n < closed;
        RequestPlan q = describeRequest(r, index, since, completed, owned);
        const std::vector<int> people = allocateRequest(r, q, completed);
        planLabour(r, q, people, completed);
        planMaterials(r, q);
        closeRequest(r, q);
        const int requestIndex = static_cast<int>(plan_.requests.size());
        const int user = q.personnel >= 0 ? q.personnel : helpDesk_;
        logDocument(r, c, keys, q.requested, "Service Request", user, requestIndex, q.contact);
        if (completed)
            logDocument(r, c, keys, q.finished, "Service Request", user, requestIndex, q.contact);
        if (q.contract >= 0) {
            ContractPlan& k = plan_.contracts[size_t(q.contract)];
            k.requestsToDate += 1;
            k.hoursUsed = cents(k.hoursUsed + q.hoursWorked());
        }
        plan_.requests.push_back(std::move(q));
    }
}

// What the customer asked for, about which machine, and under which contract.
RequestPlan Planner::describeRequest(Random& r, int index, int since, bool completed,
                                     const std::vector<int>& owned) {
    RequestPlan q;
    q.completed = completed;
    q.customer = index;
    q.contact = pickContact(r, customer(index));
    // A closed request was finished before today: its visits span two weeks at most.
    q.requested = completed ? businessMoment(r, since, today() - 20)
                            : businessMoment(r, today() - 14, today() - 1);
    static const QStringList types = {"Breakdown",     "Print Quality", "Paper Jam",
                                      "Installation",  "Relocation",    "Maintenance",
                                      "Network Setup", "Supplies",      "Meter Reading",
                                      "Training",      "Enquiry"};
    q.type = types[r.weighted({20, 16, 14, 5, 3, 10, 9, 8, 4, 4, 7})];
    q.summary = r.pick(v_.requestSummaries(q.type));
    q.description = q.summary + ". Reported by telephone; the customer says it started " +
                    r.pick(v_.faultOnsets) + '.';
    const bool planned =
        q.type == QLatin1String("Maintenance") || q.type == QLatin1String("Installation");
    q.priority = QStringList{"1 Critical", "2 High", "3 Normal", "4 Low",
                             "5 Planned"}[planned ? 4 : r.weighted({8, 22, 50, 20, 0})];
    std::vector<int> before;
    for (int i : owned)
        if (plan_.items[size_t(i)].installed.day <= q.requested.day) before.push_back(i);
    if (!before.empty()) {
        q.item = r.pick(before);
        q.product = plan_.items[size_t(q.item)].product;
    }
    if (q.product < 0) q.product = r.pick(oldMachines_);
    q.contract = contractAt(index, q.requested.day);
    q.down = q.type == QLatin1String("Breakdown") && r.chance(0.6);
    if (r.chance(0.2)) q.refNo = "REF-" + digits(r, 6);
    if (r.chance(0.3)) q.customerOrder = "PO " + digits(r, 5);
    return q;
}

// The work group a request goes to and, for most, who attends and when. Returns the
// people of that group.
std::vector<int> Planner::allocateRequest(Random& r, RequestPlan& q, bool completed) {
    const QString& t = q.type;
    q.workGroup = t == QLatin1String("Enquiry") || t == QLatin1String("Network Setup")
                      ? QStringLiteral("Help Desk")
                  : t == QLatin1String("Installation") || t == QLatin1String("Relocation")
                      ? QStringLiteral("Installations")
                  : t == QLatin1String("Meter Reading") ? QStringLiteral("Administration")
                                                        : QStringLiteral("Field Service");
    std::vector<int> people;
    for (size_t i = 0; i < v_.staff.size(); ++i)
        if (v_.staff[i].workGroup == q.workGroup) people.push_back(static_cast<int>(i));
    if (people.empty()) people = service_;
    if (!completed && !r.chance(0.7)) return people;  // not allocated yet
    q.personnel = r.pick(people);
    q.allocated = plusMinutes(q.requested, 5L * r.between(3, 24));
    q.allocateNotes =
        r.chance(0.3) ? QStringLiteral("Customer asked for a morning visit.") : QString();
    q.scheduled = Moment{nextWorkday(q.allocated.day + r.below(3)), r.between(96, 180) * 5};
    if (!completed) {
        if (q.scheduled.day <= today()) q.scheduled.day = nextWorkday(today() + r.below(5));
        q.scheduled = bookVisit(q.personnel, q.scheduled.day);
    }
    if (r.chance(0.2)) q.scheduleNotes = "Bring a spare fuser.";
    return people;
}

// The first working day from `fromDay` on which the person still has a free visit, and the
// visit's time: five a day from 8:30, an hour and a half apart.
Moment Planner::bookVisit(int person, int fromDay) {
    constexpr int kVisitsPerDay = 5;
    int day = nextWorkday(fromDay);
    while (visits_[{person, day}] >= kVisitsPerDay) day = nextWorkday(day + 1);
    const int slot = visits_[{person, day}]++;
    return Moment{day, 8 * 60 + 30 + slot * 90};
}

// Visits to an allocated request (REQUEST ACTIVITIES), one to three days apart.
void Planner::planLabour(Random& r, RequestPlan& q, const std::vector<int>& people,
                         bool completed) {
    const bool enquiry = q.type == QLatin1String("Enquiry");
    const int labour = enquiry ? 1 : r.between(1, 3);
    Moment at = q.scheduled.isSet() ? q.scheduled : q.requested;
    for (int k = 0; k < labour && q.personnel >= 0; ++k) {
        LabourPlan l;
        l.when = at;
        l.person = k == 0 ? q.personnel : r.pick(people);
        if (!completed && k > 0) {
            at = bookVisit(l.person, at.day);
            l.when = at;
        }
        l.workGroup = q.workGroup;
        l.hours = 0.25 * r.between(2, 12);
        if (enquiry) l.hours = 0.25 * r.between(1, 2);
        l.chargeRate = product(v_.productIndex("SV-LABOUR")).price;
        l.costRate = 45;
        l.scheduled = at;
        l.description = k == 0 ? "Attended: " + q.summary.toLower()
                               : QStringLiteral("Returned with parts and finished the job");
        if (completed) l.completed = plusMinutes(at, long(l.hours * 60));
        l.billable = q.contract < 0 && !enquiry;
        q.labour.push_back(l);
        at = Moment{nextWorkday(at.day + r.between(1, 3)), r.between(96, 170) * 5};
    }
}

// Parts and consumables used on a request (REQUEST MATERIALS).
void Planner::planMaterials(Random& r, RequestPlan& q) const {
    if (q.type == QLatin1String("Enquiry") || q.type == QLatin1String("Meter Reading") ||
        !r.chance(0.45))
        return;
    const int count = r.between(1, 2);
    for (int k = 0; k < count; ++k) {
        const bool part = r.chance(0.6);
        LinePlan m =
            line(r, part ? r.pick(parts_) : r.pick(consumables_), part ? 1 : r.between(1, 3));
        m.discount = 0;
        q.materials.push_back(m);
    }
}

// A completed request's resolution and times; an open one's status.
void Planner::closeRequest(Random& r, RequestPlan& q) const {
    if (!q.completed) {
        q.status = q.personnel >= 0 ? QStringList{"Allocated", "Awaiting Parts",
                                                  "On Hold"}[r.weighted({70, 20, 10})]
                                    : QStringLiteral("Open");
        return;
    }
    q.finished = q.labour.back().completed;
    q.completedBy = q.personnel;
    q.status = QStringLiteral("Closed");
    q.resolutionCode = QStringList{"Fixed On Site", "Fixed Remotely",  "Part Replaced",
                                   "Unit Swapped",  "Workshop Repair", "User Training",
                                   "No Fault Found"}[r.weighted({35, 15, 25, 3, 4, 10, 8})];
    q.resolution = r.pick(v_.resolutionTexts);
    q.responseTime = hoursBetween(q.requested, q.scheduled);
    q.leadTime = hoursBetween(q.requested, q.finished);
    q.downTime = q.down ? q.leadTime : 0;
}

// Now and then goods of a completed order come back.
void Planner::planRma(Random& r, int index, std::vector<long>& keys) {
    std::vector<int> orders;
    for (size_t i = firstOrder_; i < plan_.orders.size(); ++i)
        if (plan_.orders[i].status == QLatin1String("Completed"))
            orders.push_back(static_cast<int>(i));
    if (orders.empty() || !r.chance(0.05)) return;
    CustomerPlan& c = customer(index);
    RmaPlan m;
    m.customer = index;
    m.order = r.pick(orders);
    const DocumentPlan& o = plan_.orders[size_t(m.order)];
    m.contact = o.contact;
    m.user = office_;
    m.date = Moment{workdayUpTo(o.shipDate.day + r.between(2, 20), today() - 1), 0};
    m.returnBy = Moment{m.date.day + 14, 0};
    const LinePlan& l = o.lines[size_t(r.below(int(o.lines.size())))];
    m.product = l.product;
    for (size_t i = firstItem_; i < plan_.items.size(); ++i)
        if (plan_.items[i].order == m.order && plan_.items[i].product == l.product) {
            m.item = static_cast<int>(i);
            break;
        }
    m.reason = r.pick(v_.returnReasons);
    m.fault = m.reason;
    m.action = QStringList{"Credit", "Replace", "Repair"}[r.below(3)];
    const bool received = m.date.day + 7 < today();
    m.status = received ? QStringLiteral("Closed") : QStringLiteral("Authorised");
    if (received) {
        const bool credit = m.action == QLatin1String("Credit");
        m.received = Moment{m.date.day + r.between(2, 7), 0};
        m.resolution =
            credit ? QStringLiteral("Credit note issued") : QStringLiteral("Replacement sent");
        if (credit) m.credit = l.value() / std::max(1.0, l.quantity);
    }
    const int rmaIndex = static_cast<int>(plan_.rmas.size());
    plan_.rmas.push_back(m);
    logDocument(r, c, keys, Moment{m.date.day, r.between(100, 190) * 5}, "Return", office_,
                rmaIndex, m.contact);
}

}  // namespace tv::demo
