// The demo company as a plan in memory: every customer with its contacts, activities and
// planned work, and every numbered document, each item referring to the others by index.
// Planning is pure computation from the vocabulary, a seed, a scale and a day; writing the
// plan into the databases is the writer's job. Keeping the two apart lets documents be numbered in
// date order and billed items be marked with the invoice that charged them before any row is
// written.
#pragma once

#include "demo/vocabulary.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace tv::demo {

// A moment as the plan keeps it: whole days since 30 December 1899 (the runtime's day 0)
// and minutes after midnight. Day 0 means "no date".
struct Moment {
    int day = 0;
    int minute = 0;
    bool isSet() const { return day != 0; }
    long key() const { return long(day) * 1440 + minute; }
    friend bool operator<(const Moment& a, const Moment& b) { return a.key() < b.key(); }
};
int dayNumber(const QDate& date);
QDate dateOf(int day);

// One line of a quotation, order, purchase order or request's materials.
struct LinePlan {
    int product = 0;  // index into the products
    double quantity = 1;
    double unitPrice = 0;
    double discount = 0;  // percent
    double taxRate = 0;   // percent
    QString description;
    double net() const;
    double tax() const;
    double value() const;  // net plus tax, rounded to cents
};

struct ContactPlan {
    QString name, title, role, honorific, phone, home, mobile, fax, email, birthday, spouse,
        children, interests, comments;
    Moment spouseBirthday;
    Moment first, last, next;
};

struct ActivityPlan {
    Moment when;
    std::uint8_t type = 0;       // index into activityTypes()
    std::uint8_t user = 0;       // index into the staff
    std::int8_t contact = -1;    // index into the customer's contacts
    std::int8_t result = -1;     // index into callResults()
    std::int8_t campaign = -1;   // index into the campaigns
    std::uint8_t topic = 0;      // index into the type's topics
    std::uint8_t product = 0;    // what the topic's "%1" names
    std::uint16_t duration = 0;  // minutes
    bool billable = false;
    int invoice = -1;   // index into orders of the invoice that billed it
    int project = -1;   // index into projects
    int document = -1;  // index of the quotation, order, request or RMA it logs
    int letter = -1;    // index into the form letters
    double amount = 0;  // a payment's amount
};

struct ScheduledPlan {
    Moment when;
    std::uint8_t type = 0;
    std::uint8_t user = 0;
    std::int8_t contact = -1;
    std::uint8_t topic = 0;
    std::uint8_t product = 0;
    std::uint16_t duration = 0;
    bool billable = false;
    int project = -1;
};

struct OpportunityPlan {
    Moment identified;
    int rep = 0;
    int contact = -1;
    QString description;
    double value = 0;
    int saleMonth = 1;
    int probability = 0;
    QString status, competition, leadSource;
};

struct CustomerPlan {
    int origin = 0;  // position before sorting: the customer's random stream
    QString name;
    QString street, postalStreet;
    int place = 0;  // index into the places
    QString phone, fax, web, email;
    int industry = 0;
    int rep = 0;  // index into the staff
    int campaign = -1;
    QString relationship, accountNo, referredBy, comments, territory;
    Moment first, last, next;
    std::vector<ContactPlan> contacts;
    std::vector<ActivityPlan> activities;  // in date order once planned
    std::vector<ScheduledPlan> scheduled;
    std::vector<OpportunityPlan> opportunities;
};

enum class OrderKind { Sale, Invoice };

// A quotation, sales order or purchase order.
struct DocumentPlan {
    int number = 0;  // given once every document of its kind is planned
    Moment date;
    int customer = -1;  // -1: none (purchase orders bought for stock)
    int contact = -1;
    int user = 0;
    int campaign = -1;
    double freight = 0;
    QString comments;
    std::vector<LinePlan> lines;
    // Sales orders
    OrderKind kind = OrderKind::Sale;
    int quotation = -1;
    QString status, paymentType, cardType, shipStatus, customerOrder;
    double amountPaid = 0;
    Moment paymentDue, paymentDate, shipDate, deliverBy;
    int shippedBy = -1;
    // Purchase orders
    int supplier = -1;
    int salesOrder = -1;
    Moment received;
    double items() const;
    double tax() const;
    double total() const;
};

struct LabourPlan {
    Moment when, scheduled, completed;
    QString workGroup, description;
    int person = 0;
    double hours = 0;
    double chargeRate = 0, costRate = 0;
    bool billable = true;
};

struct RequestPlan {
    int number = 0;
    bool completed = false;
    int customer = 0;
    int contact = -1;
    Moment requested, allocated, scheduled, finished;
    QString type, priority, status, summary, workGroup, resolutionCode, refNo, customerOrder,
        description, resolution, allocateNotes, scheduleNotes;
    int product = -1;
    int item = -1;      // index into items
    int contract = -1;  // index into contracts
    int personnel = -1;
    int completedBy = -1;
    bool down = false;
    double leadTime = 0, downTime = 0, responseTime = 0;
    int invoice = -1;
    std::vector<LabourPlan> labour;
    std::vector<LinePlan> materials;
    double hoursWorked() const;
    double totalCost(const std::vector<ProductInfo>& products) const;
    double totalCharge() const;
};

struct ContractPlan {
    QString id, type, coverage, comments;
    int customer = 0;
    int contact = -1;
    int rep = 0;
    Moment start, expiry;
    double price = 0;
    int requestsAllowed = 0, requestsToDate = 0;
    double hoursAllowed = 0, hoursUsed = 0;
    int invoice = -1;
};

struct ItemPlan {
    QString id, serial, location, configuration, status;
    int product = 0;
    int customer = 0;
    int contact = -1;
    int order = -1;  // the sales order that sold it (and billed it)
    int unit = 0;    // its count among the order's tracked units, from 1
    int contract = -1;
    Moment supplied, installed, warrantyExpiry;
    double charge = 0;
};

struct ProjectPlan {
    QString name, description, status, comments;
    int customer = 0;
    int contact = -1;
    int user = 0;
    int quotation = -1;
    Moment scheduledStart, scheduledEnd, actualStart, actualEnd;
    double budget = 0;
};

struct RmaPlan {
    int number = 0;
    Moment date, returnBy, received;
    int customer = 0, contact = -1, user = 0, order = -1;
    QString status, reason, action, comments;
    double credit = 0;
    int product = 0;
    int item = -1;
    QString fault, resolution;
};

struct FeedbackPlan {
    int customer = 0, contact = -1, user = 0, product = -1, rating = 3;
    Moment when, resolved;
    QString type, summary, details, response;
    bool followUp = false;
};

struct CarePlanStatusPlan {
    int customer = 0, contact = -1, user = 0, plan = 0, lastStep = 0;
    Moment start, nextStep, completed;
    QString status;
};

struct ScriptRunPlan {
    int customer = 0, contact = -1, user = 0;
    Moment started;
    std::vector<QString> answers;  // one per step
};

struct MailPlan {
    int from = 0, to = 0;
    int customer = -1;
    Moment when;
    QString subject, text;
    bool read = false;
};

struct CompanyPlan {
    int scale = 1;
    Moment today;
    std::vector<CustomerPlan> customers;  // in name order
    std::vector<DocumentPlan> quotations, orders, purchases;
    std::vector<RequestPlan> requests;
    std::vector<ContractPlan> contracts;
    std::vector<ItemPlan> items;
    std::vector<ProjectPlan> projects;
    std::vector<RmaPlan> rmas;
    std::vector<FeedbackPlan> feedback;
    std::vector<CarePlanStatusPlan> carePlans;
    std::vector<ScriptRunPlan> scriptRuns;
    std::vector<MailPlan> mail;
};

// The codes the plan draws from; each is a code of the shipped code tables. The planner
// chooses among them by weights of its own, so they live beside it rather than in a list.
const std::vector<QString>& activityTypes();
int activityTypeIndex(const QString& code);  // -1 when there is none
const std::vector<QString>& callResults();

// Plans the whole company. The same vocabulary, seed, scale and day always give the same
// plan.
CompanyPlan planCompany(const Vocabulary& vocabulary, std::uint64_t seed, int scale,
                        const QDate& today);

}  // namespace tv::demo
