// Service requests below their window: what the lines of a request add up to, closing a
// request into COMPLETED REQUESTS and re-opening it, and the sales order that charges its
// labour and materials.
//
// A request lives in exactly one of CURRENT REQUESTS and COMPLETED REQUESTS (the same
// columns). Closing and re-opening copy the stored row into the other table, charge or
// refund its service contract and delete it from the first table in one transaction, so
// a failure (or a killed process) leaves the request whole where it was. Its labour lines
// (REQUEST ACTIVITIES) and materials (REQUEST MATERIALS) are keyed by the request number
// alone and stay where they are.
//
// Every routine reports its own failures by numbered message and returns a false status,
// as the rest of the data layer does.
#pragma once

#include "core/variant.h"

#include <QString>
#include <optional>

namespace tv::data {

inline const QString kCurrentRequests = QStringLiteral("Current Requests");
inline const QString kCompletedRequests = QStringLiteral("Completed Requests");

// Column ordinals (1-based, as the window's tags) that the moves and totals use.
namespace request_column {
inline constexpr int kNumber = 1;
inline constexpr int kRequested = 2;
inline constexpr int kStatus = 6;
inline constexpr int kCustomer = 7;
inline constexpr int kContact = 10;
inline constexpr int kContract = 12;
inline constexpr int kHoursWorked = 27;
inline constexpr int kTotalCharged = 29;
inline constexpr int kOrderNo = 30;
inline constexpr int kContractFlag = 33;
}  // namespace request_column

// What a request's lines add up to.
struct RequestTotals {
    double hours = 0.0;  // labour hours
    tv::Currency cost;   // labour at its cost rates, materials at their products' cost
    tv::Currency charge; // labour at its charge rates, materials at their line values
};

// The totals of the request's lines: each labour line's duration, duration x cost rate and
// duration x charge rate; each material line's value, and its quantity x the cost price
// of the product it names. Empty or non-numeric values count as 0. Nothing when the
// lines cannot be read (message 194).
std::optional<RequestTotals> RequestLineTotals(const QString& requestNo);

// The figures as the window shows them ("0.00").
QString hoursText(double hours);

enum class RequestMove {
    Moved,
    Failed,  // nothing changed; message 801 has said why
};

// Closes the stored current request: asks whether to charge its service contract
// (message 802) when it names one, then in one transaction adds the row to COMPLETED
// REQUESTS with status "Closed" (and "Yes" in the contract flag when charged), adds one
// request and the row's hours worked to the contract, and deletes the row from CURRENT
// REQUESTS. The entry "New Record" / "Completed Requests" is logged after it.
RequestMove CloseServiceRequest(const QString& requestNo);

// Re-opens the stored completed request: in one transaction the row goes back to CURRENT
// REQUESTS with status "Open" and the contract flag cleared, the contract charge (when the
// flag was "Yes") is taken back, and the completed row is deleted. The entry "New Record"
// / "Current Requests" is logged after it.
RequestMove ReopenServiceRequest(const QString& requestNo);

// Raises the sales order of the request's charges (numbered from the "Sales Orders"
// counter, dated today, for the request's customer and contact, by the signed-in user):
// a text line naming the request and one line per chargeable labour line, then one line
// per material line, and writes the order number into the request. The header, its lines
// and the number in the request are one transaction. Returns the order number, or 0 when
// nothing was written (the routine has said why).
std::int32_t RaiseRequestOrder(const QString& tableName, const QString& requestNo);

}  // namespace tv::data
