// The planner behind planCompany, shared by the plan_*.cpp files: each of them plans the
// rows of a few tables. Every draw comes from a random stream of its own purpose (one per
// customer for its history), so the order of the draws inside a stream is the company:
// changing it changes every later row.
#pragma once

#include "demo/plan.h"
#include "demo/random.h"
#include "demo/vocabulary.h"

#include <QSet>
#include <cmath>
#include <map>

namespace tv::demo {

inline constexpr int kDaysOfHistory = 730;
inline constexpr int kBillingLagDays = 45;  // work older than this has been invoiced
inline constexpr int kCustomersPerScale = 1000;

inline double cents(double amount) { return std::round(amount * 100.0) / 100.0; }

int weekday(int day);  // 1 Monday .. 7 Sunday
int nextWorkday(int day);
// The first workday from `day`, but no later than `last` (then the last workday before it).
int workdayUpTo(int day, int last);
// A moment in business hours on a workday between two days (both included).
Moment businessMoment(Random& r, int fromDay, int toDay, int firstHour = 8, int lastHour = 17);
Moment plusMinutes(Moment m, long minutes);
double hoursBetween(Moment a, Moment b);
// Keys of a customer's table whose key is (customer, moment) must differ: a taken moment
// moves on by five minutes until it is free.
Moment claim(std::vector<long>& taken, Moment m);
QString digits(Random& r, int count);

class Planner {
public:
    Planner(const Vocabulary& vocabulary, std::uint64_t seed, int scale, const QDate& today);
    CompanyPlan run();

private:
    int today() const { return plan_.today.day; }
    int historyStart() const { return today() - kDaysOfHistory; }
    int cutoff() const { return today() - kBillingLagDays; }
    CustomerPlan& customer(int index) { return plan_.customers[size_t(index)]; }
    const ProductInfo& product(int index) const { return v_.products[size_t(index)]; }
    std::vector<int> staffWith(Duty duty) const;
    std::vector<int> productsOf(ProductKind kind, bool includeDiscontinued = false) const;
    int pickContact(Random& r, const CustomerPlan& c) const;
    int campaignAt(int day) const;

    // Customers and contacts (plan_customers.cpp)
    void planCustomers();
    QString firmName(Random& r, const Industry& industry, const Place& place) const;
    QString uniqueFirmName(Random& r, const CustomerPlan& c, const QSet<QString>& taken) const;
    QString personName(Random& r, bool* female = nullptr) const;
    QString streetAddress(Random& r) const;
    void planHistory(int index);
    void describeCustomer(Random& r, CustomerPlan& c, const Place& place) const;
    void planContacts(Random& r, CustomerPlan& c, const Place& place) const;
    void planOpportunities(Random& r, int index, int since);
    void settleDates(CustomerPlan& c, int since) const;

    // Logged and scheduled activities and projects (plan_activities.cpp)
    ActivityPlan newActivity(Random& r, const CustomerPlan& c, Moment when, const QString& type,
                             int user) const;
    void logDocument(Random& r, CustomerPlan& c, std::vector<long>& keys, Moment when,
                     const QString& type, int user, int document, int contact) const;
    void planActivities(Random& r, int index, int since, std::vector<long>& keys);
    void planScheduled(Random& r, int index, std::vector<long>& keys);
    void planProject(Random& r, int index, int since, std::vector<long>& activityKeys,
                     std::vector<long>& scheduledKeys);
    void planProjectWork(Random& r, int index, int project, std::vector<long>& keys);
    void planProjectSteps(Random& r, int index, int project, std::vector<long>& keys);

    // Quotations, orders, inventory, purchases and invoices (plan_sales.cpp)
    LinePlan line(Random& r, int product, double quantity) const;
    std::vector<LinePlan> salesLines(Random& r, bool machine) const;
    void planQuotations(Random& r, int index, int since, std::vector<long>& keys);
    void planOrders(Random& r, int index, int since, std::vector<long>& keys);
    void addOrder(Random& r, int index, DocumentPlan o, std::vector<long>& keys);
    void shipAndPay(Random& r, DocumentPlan& o);
    void planItems(Random& r, int index, int order);
    void finishItem(Random& r, ItemPlan& item) const;
    void planPurchases();
    void planInvoices(int index);

    // Contracts, service requests and returns (plan_service.cpp)
    void planContracts(Random& r, int index, int since);
    std::vector<int> ownedMachines(Random& r, int index);
    int contractAt(int customer, int day) const;
    void planRequests(Random& r, int index, int since, std::vector<long>& keys);
    RequestPlan describeRequest(Random& r, int index, int since, bool completed,
                                const std::vector<int>& owned);
    std::vector<int> allocateRequest(Random& r, RequestPlan& q, bool completed);
    void planLabour(Random& r, RequestPlan& q, const std::vector<int>& people, bool completed);
    void planMaterials(Random& r, RequestPlan& q) const;
    void closeRequest(Random& r, RequestPlan& q) const;
    void planRma(Random& r, int index, std::vector<long>& keys);
    Moment bookVisit(int person, int fromDay);
    // The chance that a customer has work in hand today (open requests, planned visits and
    // calls): the staff does not grow with the company, so a larger company has a longer
    // history but about the same day's work for each person.
    double presentShare() const { return 1.0 / plan_.scale; }

    // Feedback, care plans, call scripts and mail (plan_records.cpp)
    void planFeedback(Random& r, int index, int since, std::vector<long>& keys);
    void planCarePlan(Random& r, int index, int since);
    void planScriptRun(Random& r, int index, int since);
    void planMail();
    void numberDocuments();

    const Vocabulary& v_;
    std::uint64_t seed_;
    CompanyPlan plan_;
    std::vector<int> sales_, service_, machines_, printers_, oldMachines_, consumables_, parts_,
        accessories_, placeWeights_;
    int office_ = 0, serviceManager_ = 0, delivery_ = 0, helpDesk_ = 0;
    QSet<QString> projectNames_;
    // Open visits already booked per person and working day.
    std::map<std::pair<int, int>, int> visits_;
    // Where the current customer's documents start: planning one customer looks back no
    // further, which keeps planning linear in the number of customers.
    size_t firstOrder_ = 0, firstItem_ = 0, firstContract_ = 0, firstRequest_ = 0;
};

}  // namespace tv::demo
