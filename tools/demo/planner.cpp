// Planning the demo company. Customers are drawn first and put in name order; then each
// customer's history is drawn from its own random stream (so one customer's history does
// not depend on how many others there are); then documents of each kind are numbered in
// date order, as a business numbers them over the years.
#include "demo/planner.h"

#include <algorithm>
#include <numeric>

namespace tv::demo {
namespace {

const QDate kDayZero(1899, 12, 30);

}  // namespace

int weekday(int day) { return (day + 5) % 7 + 1; }

int nextWorkday(int day) {
    while (weekday(day) > 5) ++day;
    return day;
}

int workdayUpTo(int day, int last) {
    day = nextWorkday(day);
    if (day <= last) return day;
    day = last;
    while (weekday(day) > 5) --day;
    return day;
}

Moment businessMoment(Random& r, int fromDay, int toDay, int firstHour, int lastHour) {
    Moment m;
    m.day = nextWorkday(r.between(fromDay, std::max(fromDay, toDay)));
    if (m.day > toDay) {
        // The range ends on a weekend: the last workday in it, if it has one.
        m.day = toDay;
        while (weekday(m.day) > 5 && m.day > fromDay) --m.day;
    }
    m.minute = r.between(firstHour * 12, lastHour * 12) * 5;
    return m;
}

Moment plusMinutes(Moment m, long minutes) {
    const long key = m.key() + minutes;
    return Moment{static_cast<int>(key / 1440), static_cast<int>(key % 1440)};
}

double hoursBetween(Moment a, Moment b) { return cents(double(b.key() - a.key()) / 60.0); }

Moment claim(std::vector<long>& taken, Moment m) {
    while (std::find(taken.begin(), taken.end(), m.key()) != taken.end()) m = plusMinutes(m, 5);
    taken.push_back(m.key());
    return m;
}

QString digits(Random& r, int count) {
    QString out;
    for (int i = 0; i < count; ++i) out += QChar('0' + r.below(10));
    return out;
}

Planner::Planner(const Vocabulary& vocabulary, std::uint64_t seed, int scale, const QDate& today)
    : v_(vocabulary), seed_(seed) {
    plan_.scale = std::max(1, scale);
    plan_.today = Moment{dayNumber(today), 0};
    sales_ = staffWith(Duty::Sales);
    service_ = staffWith(Duty::Service);
    machines_ = productsOf(ProductKind::Machine);
    for (int m : machines_)
        if (isPrinter(product(m))) printers_.push_back(m);
    oldMachines_ = productsOf(ProductKind::Machine, true);
    consumables_ = productsOf(ProductKind::Consumable);
    parts_ = productsOf(ProductKind::Part);
    accessories_ = productsOf(ProductKind::Accessory);
    for (const Place& place : v_.places) placeWeights_.push_back(place.weight);
    office_ = v_.staffWithJob(QStringLiteral("accounts"));
    serviceManager_ = v_.staffWithJob(QStringLiteral("service manager"));
    delivery_ = v_.staffWithJob(QStringLiteral("delivery"));
    helpDesk_ = v_.staffWithJob(QStringLiteral("help desk"));
}

CompanyPlan Planner::run() {
    planCustomers();
    for (size_t c = 0; c < plan_.customers.size(); ++c) planHistory(static_cast<int>(c));
    planPurchases();
    planMail();
    numberDocuments();
    return std::move(plan_);
}

std::vector<int> Planner::staffWith(Duty duty) const {
    std::vector<int> found;
    for (size_t i = 0; i < v_.staff.size(); ++i)
        if (v_.staff[i].duty == duty) found.push_back(static_cast<int>(i));
    return found;
}

std::vector<int> Planner::productsOf(ProductKind kind, bool includeDiscontinued) const {
    std::vector<int> found;
    for (size_t i = 0; i < v_.products.size(); ++i)
        if (v_.products[i].kind == kind && (includeDiscontinued || !v_.products[i].discontinued))
            found.push_back(static_cast<int>(i));
    return found;
}

int Planner::pickContact(Random& r, const CustomerPlan& c) const {
    return c.contacts.empty() ? -1 : r.below(int(c.contacts.size()));
}

int Planner::campaignAt(int day) const {
    for (size_t i = 0; i < v_.campaigns.size(); ++i) {
        const int start = today() - v_.campaigns[i].startDaysAgo;
        if (day >= start && day < start + v_.campaigns[i].lengthDays) return static_cast<int>(i);
    }
    return -1;
}

// One customer's history, table by table from its own stream.
void Planner::planHistory(int index) {
    CustomerPlan& c = customer(index);
    Random r(seed_, 5'000'000ULL + static_cast<std::uint64_t>(c.origin));
    firstOrder_ = plan_.orders.size();
    firstItem_ = plan_.items.size();
    firstContract_ = plan_.contracts.size();
    firstRequest_ = plan_.requests.size();
    const Place& place = v_.places[size_t(c.place)];
    describeCustomer(r, c, place);
    planContacts(r, c, place);

    const int since = std::max(historyStart(), today() - r.between(20, 3650));
    std::vector<long> activityKeys;
    std::vector<long> scheduledKeys;
    std::vector<long> feedbackKeys;

    planActivities(r, index, since, activityKeys);
    planQuotations(r, index, since, activityKeys);
    planOrders(r, index, since, activityKeys);
    planContracts(r, index, since);
    planRequests(r, index, since, activityKeys);
    planProject(r, index, since, activityKeys, scheduledKeys);
    planRma(r, index, activityKeys);
    planOpportunities(r, index, since);
    planScheduled(r, index, scheduledKeys);
    planFeedback(r, index, since, feedbackKeys);
    planCarePlan(r, index, since);
    planScriptRun(r, index, since);

    std::sort(c.activities.begin(), c.activities.end(),
              [](const ActivityPlan& a, const ActivityPlan& b) { return a.when < b.when; });
    std::sort(c.scheduled.begin(), c.scheduled.end(),
              [](const ScheduledPlan& a, const ScheduledPlan& b) { return a.when < b.when; });
    planInvoices(index);
    settleDates(c, since);
}

namespace {

// Each kind of document is numbered in date order (customer order on the same day).
template <typename T, typename DateOf, typename Assign>
void numberInDateOrder(std::vector<T>& docs, int first, DateOf dateOf, Assign assign) {
    std::vector<int> order(docs.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return dateOf(docs[size_t(a)]) < dateOf(docs[size_t(b)]);
    });
    for (size_t rank = 0; rank < order.size(); ++rank)
        assign(docs[size_t(order[rank])], first + static_cast<int>(rank));
}

}  // namespace

void Planner::numberDocuments() {
    auto byDate = [](const DocumentPlan& d) { return d.date; };
    auto setNumber = [](DocumentPlan& d, int n) { d.number = n; };
    numberInDateOrder(plan_.quotations, 1001, byDate, setNumber);
    numberInDateOrder(plan_.orders, 5001, byDate, setNumber);
    numberInDateOrder(plan_.purchases, 3001, byDate, setNumber);
    numberInDateOrder(
        plan_.requests, 20001, [](const RequestPlan& q) { return q.requested; },
        [](RequestPlan& q, int n) { q.number = n; });
    numberInDateOrder(
        plan_.rmas, 101, [](const RmaPlan& m) { return m.date; },
        [](RmaPlan& m, int n) { m.number = n; });
    numberInDateOrder(
        plan_.contracts, 10001, [](const ContractPlan& k) { return k.start; },
        [](ContractPlan& k, int n) { k.id = QStringLiteral("SC%1").arg(n); });
    int standalone = 100001;
    for (ItemPlan& item : plan_.items) {
        item.id = item.order >= 0 ? QStringLiteral("_%1/%2")
                                        .arg(plan_.orders[size_t(item.order)].number)
                                        .arg(item.unit)
                                        .left(20)
                                  : QStringLiteral("CI%1").arg(standalone++);
    }
}

int dayNumber(const QDate& date) { return static_cast<int>(kDayZero.daysTo(date)); }
QDate dateOf(int day) { return kDayZero.addDays(day); }

double LinePlan::net() const {
    const double gross = unitPrice * quantity;
    return gross - (discount / 100.0) * gross;
}
double LinePlan::tax() const { return (taxRate / 100.0) * net(); }
double LinePlan::value() const { return cents(net() + tax()); }

double DocumentPlan::items() const {
    double sum = 0;
    for (const LinePlan& l : lines) sum += l.net();
    return cents(sum);
}
double DocumentPlan::tax() const {
    double sum = 0;
    for (const LinePlan& l : lines) sum += l.tax();
    return cents(sum);
}
double DocumentPlan::total() const { return cents(items() + tax() + freight); }

double RequestPlan::hoursWorked() const {
    double sum = 0;
    for (const LabourPlan& l : labour) sum += l.hours;
    return sum;
}
double RequestPlan::totalCost(const std::vector<ProductInfo>& products) const {
    double sum = 0;
    for (const LabourPlan& l : labour) sum += l.hours * l.costRate;
    for (const LinePlan& m : materials) sum += m.quantity * products[size_t(m.product)].cost;
    return cents(sum);
}
double RequestPlan::totalCharge() const {
    if (contract >= 0) return 0;  // covered by the service contract
    double sum = 0;
    for (const LabourPlan& l : labour)
        if (l.billable) sum += l.hours * l.chargeRate;
    for (const LinePlan& m : materials) sum += m.value();
    return cents(sum);
}

const std::vector<QString>& activityTypes() {
    static const std::vector<QString> all = {"Call",
                                             "Demonstration",
                                             "Fax",
                                             "Follow Up",
                                             "Internet Email",
                                             "Letter",
                                             "Local Email",
                                             "Meeting",
                                             "Payment",
                                             "Quotation",
                                             "Return",
                                             "Sales Order",
                                             "Service Request",
                                             "Service Visit",
                                             "Training"};
    return all;
}

int activityTypeIndex(const QString& code) {
    const auto& all = activityTypes();
    const auto it = std::find(all.begin(), all.end(), code);
    return it == all.end() ? -1 : static_cast<int>(it - all.begin());
}

const std::vector<QString>& callResults() {
    static const std::vector<QString> all = {"Completed",       "Appointment Made", "Order Taken",
                                             "Quote Requested", "Left Message",     "No Answer",
                                             "Call Back",       "Not Interested",   "Wrong Number"};
    return all;
}

CompanyPlan planCompany(const Vocabulary& vocabulary, std::uint64_t seed, int scale,
                        const QDate& today) {
    return Planner(vocabulary, seed, scale, today).run();
}

}  // namespace tv::demo
