// Request totals, the close and re-open moves, and raising a request's sales order. Every
// request number reaches SQL as a whole number (it is checked first); every text goes
// through quoteLiteral.
#include "data/service_requests.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/activity_log.h"
#include "data/app_state.h"
#include "data/counters.h"
#include "data/document_figures.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data/sales_documents.h"
#include "engine/engine.h"

#include <cmath>
#include <functional>
#include <vector>

namespace tv::data {

namespace {

constexpr int kMsgNotMoved = 801;
constexpr int kMsgChargeContract = 802;
constexpr int kMsgOrderNotRaised = 9180;
constexpr int kMsgContractMissing = 9183;

// REQUEST ACTIVITIES (0-based).
constexpr int kLabourWhen = 2;
constexpr int kLabourDescription = 5;
constexpr int kLabourHours = 6;
constexpr int kLabourCharge = 7;
constexpr int kLabourCost = 8;
// REQUEST MATERIALS (0-based).
constexpr int kMaterialProduct = 2;
constexpr int kMaterialQuantity = 4;
constexpr int kMaterialValue = 8;
// PRODUCTS, SERVICE CONTRACTS and CUSTOMERS (0-based).
constexpr int kProductCost = 11;
constexpr int kContractRequests = 7;
constexpr int kContractHours = 11;
constexpr int kCustomerAccount = 23;
// SALES ORDERS (0-based).
constexpr int kOrderNo = 0;
constexpr int kOrderDate = 1;
constexpr int kOrderAccount = 2;
constexpr int kOrderCustomer = 3;
constexpr int kOrderContact = 4;
constexpr int kOrderRep = 8;
constexpr int kOrderItems = 9;
constexpr int kOrderFreight = 10;
constexpr int kOrderTax = 11;
constexpr int kOrderTotal = 12;
constexpr int kDescriptionLength = 255;

const QString kClosed = QStringLiteral("Closed");
const QString kOpen = QStringLiteral("Open");
const QString kCharged = QStringLiteral("Yes");

double numberIn(const tv::Variant& v) { return tv::numberOf(v).value_or(0.0); }

QString textIn(const tv::Variant& v) { return v.isNull() ? QString() : tv::CStr(v); }

// The request number as SQL reads it; nothing for a text that is no whole number.
std::optional<QString> numberLiteral(const QString& requestNo) {
    bool ok = false;
    const qint64 n = requestNo.trimmed().toLongLong(&ok);
    if (!ok || n <= 0) return std::nullopt;
    return QString::number(n);
}

QString tableOf(const QString& displayName) { return u'[' + displayName.toUpper() + u']'; }

// The stored row of the request in the table, into FieldValues. Throws DbError.
void loadRow(const QString& table, const QString& number) {
    if (!LoadRecord(table, number))
        throw engine::DbError(3021, QStringLiteral("Service request %1 is not in %2.").arg(number, table));
}

// Adds `requests` and `hours` to the contract's requests to date and hours used. False
// when there is no such contract. Throws DbError.
bool chargeContract(const QString& contract, int requests, double hours) {
    engine::Recordset rs = detail::databaseFor(kDataDb).OpenRecordset(QStringLiteral("Service Contracts"));
    rs.SetIndex(QStringLiteral("PrimaryKey"));
    if (!SeekRecord(rs, contract, QString(), QString())) return false;
    rs.Edit();
    rs.FieldAt(kContractRequests).SetValue(
        tv::Variant(static_cast<std::int32_t>(std::lround(numberIn(rs[kContractRequests]))) + requests));
    rs.FieldAt(kContractHours).SetValue(tv::Variant(numberIn(rs[kContractHours]) + hours));
    rs.Update();
    rs.Close();
    return true;
}


// Moves the request from one table to the other: the stored row, changed by `change`
// (which may adjust the contract), added to `to` and deleted from `from`.
RequestMove moveRequest(const QString& requestNo, const QString& from, const QString& to,
                        const std::function<void(FieldValueArray& row)>& change) {
    const std::optional<QString> number = numberLiteral(requestNo);
    if (!number || (!state().DataOpen && !OpenDataDatabase())) {
        ShowMessage(kMsgNotMoved);
        return RequestMove::Failed;
    }
    QString customer;
    QString contact;
    const std::optional<Failure> failed = detail::inTransaction([&](engine::Database&) {
        loadRow(from, *number);
        FieldValueArray& row = state().FieldValues;
        customer = row(request_column::kCustomer);
        contact = row(request_column::kContact);
        change(row);
        if (!AddRecord(to, false))
            throw engine::DbError(3022, QStringLiteral("Service request %1 could not be added to %2; "
                                                       "is it there already?")
                                            .arg(*number, to));
        const long removed = detail::databaseFor(kDataDb).Execute(
            QStringLiteral("DELETE * FROM ") + tableOf(from) + QStringLiteral(" WHERE [REQUESTNO] = ") + *number);
        if (removed != 1)
            throw engine::DbError(3021, QStringLiteral("Service request %1 is no longer in %2.").arg(*number, from));
    });
    if (failed) {
        ShowMessage(kMsgNotMoved, errorTail(*failed));
        return RequestMove::Failed;
    }
    // The log is the customer's history, not part of the move: a failure there (message
    // 105) leaves the request moved.
    LogNewRecord(to, *number, customer, contact);
    return RequestMove::Moved;
}

tv::Currency times(double a, double b) { return tv::Currency::fromDouble(a * b); }

void add(tv::Currency& sum, tv::Currency amount) { sum.scaled += amount.scaled; }

}  // namespace

QString hoursText(double hours) { return tv::Format(tv::Variant(hours), QStringLiteral("0.00")); }

std::optional<RequestTotals> RequestLineTotals(const QString& requestNo) {
    RequestTotals totals;
    const std::optional<QString> number = numberLiteral(requestNo);
    if (!number) return totals;  // a request never saved has no lines
    if (!state().DataOpen && !OpenDataDatabase()) return std::nullopt;
    const std::optional<Failure> failed = attempt([&] {
        engine::Database& db = detail::databaseFor(kDataDb);
        // Snapshots: a request has few lines, read once and forward.
        engine::Recordset labour = db.OpenRecordset(
            QStringLiteral("SELECT * FROM [REQUEST ACTIVITIES] WHERE [REQUESTNO] = ") + *number,
            engine::RecordsetType::Snapshot);
        for (; !labour.EOF_(); labour.MoveNext()) {
            const double hours = numberIn(labour[kLabourHours]);
            totals.hours += hours;
            add(totals.cost, times(hours, numberIn(labour[kLabourCost])));
            add(totals.charge, times(hours, numberIn(labour[kLabourCharge])));
        }
        labour.Close();
        engine::Recordset materials = db.OpenRecordset(
            QStringLiteral("SELECT * FROM [REQUEST MATERIALS] WHERE [REQUESTNO] = ") + *number,
            engine::RecordsetType::Snapshot);
        engine::Recordset products;  // opened for the first line that names a product
        for (; !materials.EOF_(); materials.MoveNext()) {
            add(totals.charge, tv::Currency::fromDouble(numberIn(materials[kMaterialValue])));
            const QString product = textIn(materials[kMaterialProduct]).trimmed();
            if (product.isEmpty()) continue;
            if (!products.IsOpen()) {
                products = db.OpenRecordset(QStringLiteral("PRODUCTS"));
                products.SetIndex(QStringLiteral("PrimaryKey"));
            }
            // A product no longer stored costs nothing.
            if (SeekRecord(products, product, QString(), QString()))
                add(totals.cost, times(numberIn(materials[kMaterialQuantity]), numberIn(products[kProductCost])));
        }
        materials.Close();
        if (products.IsOpen()) products.Close();
    });
    detail::idleQuietly();
    if (failed) {
        ShowMessage(194, errorTail(*failed));
        return std::nullopt;
    }
    return totals;
}

RequestMove CloseServiceRequest(const QString& requestNo) {
    // Asked before the move takes the write lock, so that other workstations are not
    // kept waiting on the answer.
    const QString contract = GetFieldText(kCurrentRequests, requestNo, QString(),
                                          request_column::kContract - 1).trimmed();
    const bool charge = !contract.isEmpty() && ShowMessage(kMsgChargeContract) == msgbox::kYes;
    if (charge && GetFieldText(QStringLiteral("Service Contracts"), contract, QString(), 0).isEmpty()) {
        // Charging a contract that is not there would lose the charge: the request stays open.
        ShowMessage(kMsgContractMissing, contract);
        return RequestMove::Failed;
    }
    return moveRequest(requestNo, kCurrentRequests, kCompletedRequests, [&](FieldValueArray& row) {
        row(request_column::kStatus) = kClosed;
        if (charge) {
            // The contract named by the stored row, which the window has just saved.
            if (!chargeContract(row(request_column::kContract).trimmed(), 1,
                                tv::Val(row(request_column::kHoursWorked))))
                throw engine::DbError(3021, QStringLiteral("The service contract was removed meanwhile."));
            row(request_column::kContractFlag) = kCharged;
        }
    });
}

RequestMove ReopenServiceRequest(const QString& requestNo) {
    return moveRequest(requestNo, kCompletedRequests, kCurrentRequests, [](FieldValueArray& row) {
        const bool charged =
            row(request_column::kContractFlag).trimmed().compare(kCharged, Qt::CaseInsensitive) == 0;
        const QString contract = row(request_column::kContract).trimmed();
        // A contract removed since the close has nothing left to take back.
        if (charged && !contract.isEmpty())
            (void)chargeContract(contract, -1, -tv::Val(row(request_column::kHoursWorked)));
        row(request_column::kContractFlag).clear();
        row(request_column::kStatus) = kOpen;
    });
}

std::int32_t RaiseRequestOrder(const QString& tableName, const QString& requestNo) {
    const std::optional<QString> number = numberLiteral(requestNo);
    if (!number || (!state().DataOpen && !OpenDataDatabase())) return 0;
    if (!LoadRecord(tableName, *number)) {
        ShowMessage(kMsgOrderNotRaised, QStringLiteral("\n\n") + tableName + u' ' + *number);
        return 0;
    }
    const FieldValueArray request = state().FieldValues;

    // The lines first: reading them takes no lock.
    std::vector<DocumentLine> lines;
    const std::optional<Failure> unread = attempt([&] {
        engine::Database& db = detail::databaseFor(kDataDb);
        engine::Recordset labour = db.OpenRecordset(
            QStringLiteral("SELECT * FROM [REQUEST ACTIVITIES] WHERE REQUESTNO = ") + *number +
            QStringLiteral(" AND [ChargeRate] > 0 ORDER BY [DATE/TIME]"));
        if (!labour.EOF_()) {
            DocumentLine heading;
            heading.description = QStringLiteral("Request:") + *number;
            lines.push_back(heading);
        }
        for (; !labour.EOF_(); labour.MoveNext()) {
            DocumentLine line;
            line.description = (tv::Format(labour[kLabourWhen], QStringLiteral("General Date")) +
                                QStringLiteral(" : ") + textIn(labour[kLabourDescription]))
                                   .left(kDescriptionLength);
            line.quantity = numberIn(labour[kLabourHours]);
            line.unitPrice = numberIn(labour[kLabourCharge]);
            line.lineValue = lineFigures(LineInputOf(line, false)).value.toDouble();
            lines.push_back(line);
        }
        labour.Close();
        engine::Recordset materials = db.OpenRecordset(
            QStringLiteral("SELECT * FROM [REQUEST MATERIALS] WHERE REQUESTNO = ") + *number +
            QStringLiteral(" ORDER BY LINENO"));
        for (; !materials.EOF_(); materials.MoveNext()) lines.push_back(DocumentLineAt(materials));
        materials.Close();
    });
    detail::idleQuietly();
    if (unread) {
        ShowMessage(kMsgOrderNotRaised, errorTail(*unread));
        return 0;
    }

    const std::int32_t orderNo = NextCounter(documentTable(SalesDocument::Order));
    if (orderNo <= 0) return 0;  // the counter has said why
    const QString order = QString::number(orderNo);
    const QString customer = request(request_column::kCustomer);
    const DocumentTotals totals = DocumentLineTotals(lines, 0.0);

    const std::optional<Failure> failed = detail::inTransaction([&](engine::Database&) {
        FieldValueArray header;
        header.resize(detail::databaseFor(kDataDb).TableDefNamed(QStringLiteral("SALES ORDERS")).FieldCount());
        header(kOrderNo + 1) = order;
        header(kOrderDate + 1) = tv::toIsoText(tv::DateTime{std::floor(prompter().now().serial)});
        header(kOrderAccount + 1) = GetFieldText(QStringLiteral("Customers"), customer, QString(), kCustomerAccount);
        header(kOrderCustomer + 1) = customer;
        header(kOrderContact + 1) = request(request_column::kContact);
        header(kOrderRep + 1) = state().CurrentUserId;
        header(kOrderItems + 1) = moneyText(totals.items);
        header(kOrderFreight + 1) = moneyText(totals.freight);
        header(kOrderTax + 1) = moneyText(totals.tax);
        header(kOrderTotal + 1) = moneyText(totals.total);
        state().FieldValues = header;
        if (!AddRecord(documentTable(SalesDocument::Order), false))
            throw engine::DbError(3022, QStringLiteral("Sales order %1 could not be added.").arg(order));
        if (!WriteDocumentLines(SalesDocument::Order, order, lines))
            throw engine::DbError(3022, QStringLiteral("The lines of sales order %1 could not be written.").arg(order));
        detail::databaseFor(kDataDb).Execute(QStringLiteral("UPDATE ") + tableOf(tableName) +
                                             QStringLiteral(" SET [ORDERNO] = ") + order +
                                             QStringLiteral(" WHERE [REQUESTNO] = ") + *number);
    });
    if (failed) {
        ShowMessage(kMsgOrderNotRaised, errorTail(*failed));
        return 0;
    }
    LogNewRecord(documentTable(SalesDocument::Order), order, customer, request(request_column::kContact));
    return orderNo;
}

}  // namespace tv::data
