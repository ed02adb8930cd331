// The billing run: work done for customers and not yet charged becomes invoices (sales
// orders with their lines). Five kinds of billable item, in this order:
//   projects          billable activities of each of the customer's projects, one line each
//                     (hours at the charge rate of the user who did the work);
//   service requests  completed requests with a charge: their billable labour and their
//                     materials;
//   activities        billable activities that belong to no project;
//   service contracts the contract price;
//   inventory         the charge of a customer-inventory item.
// An item is outstanding while it carries no order number (Null, 0 or an empty text) and is
// in the billing period: its date from the start day through the whole of the end day.
// Without a period everything outstanding is billed, whatever its date.
//
// With a single invoice a customer gets one order with every line; with multiple invoices
// each project, each request and each of the other three kinds gets its own.
//
// Each customer is billed in one transaction of the data database: the orders, their lines,
// the counter numbers they take and the order number written into every charged item
// commit together or not at all. A run killed part-way leaves every customer either fully
// billed or untouched, and no item is marked without its order. The transaction takes the
// file's write lock before the customer's items are read, so two workstations billing the
// same customers at once charge every item exactly once: the second finds the first's
// marks. Customers are first narrowed to those with something outstanding (and to the
// kinds they have outstanding), so the transaction (and its write to disk) is paid only
// where there is something to bill.
#pragma once

#include "core/variant.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace tv::data {

enum BillingKind { kBillProjects = 0, kBillRequests, kBillActivities, kBillContracts, kBillInventory };
inline constexpr int kBillingKinds = 5;

struct BillingRequest {
    QString customer;  // empty: every customer
    std::array<bool, kBillingKinds> kinds{};
    // The kinds' captions as the window shows them: the product codes of project, request
    // and contract lines start with them ("Service Contracts:SC10001").
    std::array<QString, kBillingKinds> captions;
    bool multipleInvoices = false;
    // The billing period (dates; their time of day is ignored). Nothing: no limit.
    std::optional<tv::DateTime> start;
    std::optional<tv::DateTime> end;
    // The product code of non-project activity lines; empty: the activity type.
    QString serviceProductCode;
    QString userId;      // written as the orders' sales rep
    tv::DateTime today;  // the orders' date
};

struct BillingResult {
    QStringList orders;  // the order numbers raised, in order
    int customersFailed = 0;
};

// Called after each customer with the share of customers done (0..100); the window moves
// its progress panel and lets events run.
using BillingProgress = std::function<void(int percent)>;

// Bills the customers. A customer whose billing fails (message 9151 with the customer and
// the engine's text) is left as it was and the run goes on with the next.
BillingResult RunBilling(const BillingRequest& request, const BillingProgress& progress = {});

// The billing request's captions as shipped: "Projects", "Service Requests",
// "Non-project Activities", "Service Contracts", "Customer Inventory".
std::array<QString, kBillingKinds> defaultBillingCaptions();

}  // namespace tv::data
