#include "data/billing_run.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/counters.h"
#include "data/document_figures.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data/sales_documents.h"
#include "engine/engine.h"

#include <QHash>
#include <cmath>
#include <QThread>
#include <vector>

namespace tv::data {

namespace {

constexpr int kMsgCustomerNotBilled = 9151;
constexpr int kDescriptionLength = 255;

// Column ordinals of the item tables.
constexpr int kActivityWhen = 1;
constexpr int kActivityType = 2;
constexpr int kActivityDescription = 3;
constexpr int kActivityUser = 4;
constexpr int kActivityMinutes = 8;
constexpr int kActivityInvoice = 16;
constexpr int kRequestNo = 0;
constexpr int kRequestDate = 1;
constexpr int kRequestOrder = 29;
constexpr int kLabourWhen = 2;
constexpr int kLabourDescription = 5;
constexpr int kLabourHours = 6;
constexpr int kLabourRate = 7;
constexpr int kContractId = 0;
constexpr int kContractType = 1;
constexpr int kContractStart = 3;
constexpr int kContractEnd = 4;
constexpr int kContractPrice = 5;
constexpr int kContractComments = 9;
constexpr int kContractOrder = 12;
constexpr int kItemProduct = 1;
constexpr int kItemDescription = 3;
constexpr int kItemOrder = 10;
constexpr int kItemSupplied = 11;
constexpr int kItemCharge = 12;
constexpr int kUserChargeRate = 11;
constexpr int kCustomerAccount = 23;

// A waiting workstation tries again after this pause, letting window events run.
constexpr unsigned long kLockPauseMs = 20;

using InvoiceLine = DocumentLine;

double numberIn(const tv::Variant& v) { return tv::numberOf(v).value_or(0.0); }
QString textIn(const tv::Variant& v) { return v.isNull() ? QString() : tv::CStr(v); }
QString shortDate(const tv::Variant& v) {
    return v.isNull() ? QString() : tv::Format(v, QStringLiteral("Short Date"));
}

// An order-number column that holds no order: Null, 0 or an empty text.
bool unbilled(const tv::Variant& v) {
    if (v.isNull()) return true;
    if (v.type() == tv::VarType::String) return v.asString().trimmed().isEmpty() || tv::Val(v.asString()) == 0.0;
    return numberIn(v) == 0.0;
}

// One customer's billing, inside its transaction.
class CustomerBilling {
public:
    CustomerBilling(const BillingRequest& request, engine::Database& db,
                    QHash<QString, double>& rates)
        : request_(request), db_(db), rates_(rates) {}

    // Bills the customer's items of the kinds in `kinds` (bit k: kind k); the numbers of
    // the orders raised.
    QStringList bill(const QString& customer, unsigned kinds) {
        customer_ = customer;
        quoted_ = engine::quoteLiteral(customer);
        const auto wanted = [&](int kind) { return request_.kinds[kind] && (kinds & (1u << kind)); };
        if (wanted(kBillProjects)) projects();
        if (wanted(kBillRequests)) requests();
        if (wanted(kBillActivities)) activities();
        if (wanted(kBillContracts)) contracts();
        if (wanted(kBillInventory)) inventory();
        raiseInvoice();
        return raised_;
    }

private:
    bool inPeriod(const tv::Variant& when) const {
        if (!request_.start && !request_.end) return true;
        if (when.isNull()) return false;
        const double day = std::floor(tv::CDate(when).serial);
        if (request_.start && day < std::floor(request_.start->serial)) return false;
        if (request_.end && day > std::floor(request_.end->serial)) return false;
        return true;
    }

    engine::Recordset open(const QString& sql) { return db_.OpenRecordset(sql); }

    // The order number the current buffer's lines go to, taken with the first line.
    void addLine(InvoiceLine line) {
        if (lines_.empty()) {
            const std::int32_t number = NextCounter(QStringLiteral("Sales Orders"));
            if (number <= 0)
                throw engine::DbError(kUnexpectedError,
                                      QStringLiteral("No order number could be taken from the counter"));
            orderNumber_ = number;
        }
        line.description = line.description.left(kDescriptionLength);
        lines_.push_back(line);
    }

    // Writes the order number into the item's column: the record set stands on the item.
    void mark(engine::Recordset& rs, int column) {
        rs.Edit();
        if (column == kItemOrder && rs.FieldAt(column).Type() == engine::FieldType::Text)
            rs.FieldAt(column).SetValue(tv::Variant(QString::number(orderNumber_)));
        else
            rs.FieldAt(column).SetValue(tv::Variant(orderNumber_));
        rs.Update();
    }

    double chargeRate(const QString& user) {
        const QString key = user.toUpper();
        auto it = rates_.find(key);
        if (it != rates_.end()) return *it;
        double rate = 0.0;
        engine::Recordset users = db_.OpenRecordset(QStringLiteral("System Users"));
        users.SetIndex(QStringLiteral("PrimaryKey"));
        users.Seek(QStringLiteral("="), tv::Variant(user));
        if (!users.NoMatch()) rate = numberIn(users[kUserChargeRate]);
        users.Close();
        rates_.insert(key, rate);
        return rate;
    }

    // A line for a logged activity: its date and description, its minutes as hours (three
    // decimals) at the charge rate of the user who did it.
    InvoiceLine activityLine(engine::Recordset& rs, const QString& productCode) {
        InvoiceLine line;
        line.productCode = productCode;
        line.description = shortDate(rs[kActivityWhen]) + u'-' + textIn(rs[kActivityDescription]);
        line.quantity = tv::Val(tv::Format(tv::Variant(numberIn(rs[kActivityMinutes]) / 60.0),
                                           QStringLiteral("0.000")));
        line.unitPrice = chargeRate(textIn(rs[kActivityUser]));
        line.lineValue = line.unitPrice * line.quantity;
        return line;
    }

    void billActivities(const QString& sql, const std::function<QString(engine::Recordset&)>& code) {
        engine::Recordset rs = open(sql);
        for (; !rs.EOF_(); rs.MoveNext()) {
            if (!unbilled(rs[kActivityInvoice]) || !inPeriod(rs[kActivityWhen])) continue;
            addLine(activityLine(rs, code(rs)));
            mark(rs, kActivityInvoice);
        }
        rs.Close();
    }

    void projects() {
        engine::Recordset projects =
            open(QStringLiteral("SELECT * FROM PROJECTS WHERE [CUSTOMER NAME] = ") + quoted_ +
                 QStringLiteral(" ORDER BY [SCHEDULEDSTART],[ACTUALSTART]"));
        QStringList names;
        for (; !projects.EOF_(); projects.MoveNext()) names << textIn(projects[0]);
        projects.Close();
        for (const QString& project : names) {
            const QString code = request_.captions[kBillProjects] + u':' + project;
            billActivities(QStringLiteral("SELECT * FROM [ACTIVITIES] WHERE [CUSTOMER NAME] = ") +
                               quoted_ +
                               QStringLiteral(" AND [SOURCEDOCTYPE] = 'project' AND [SOURCEDOCID] = ") +
                               engine::quoteLiteral(project) +
                               QStringLiteral(" AND BILLABLE = True ORDER BY [DATETIME]"),
                           [&](engine::Recordset&) { return code; });
            if (request_.multipleInvoices) raiseInvoice();
        }
    }

    void requests() {
        engine::Recordset rs =
            open(QStringLiteral("SELECT * FROM [COMPLETED REQUESTS] WHERE [CUSTOMER NAME] = ") +
                 quoted_ +
                 QStringLiteral(" AND [TOTALCHARGE] > 0 AND ([ORDERNO] = 0 OR [ORDERNO] = NULL) "
                                "ORDER BY [REQUESTNO]"));
        for (; !rs.EOF_(); rs.MoveNext()) {
            if (!unbilled(rs[kRequestOrder]) || !inPeriod(rs[kRequestDate])) continue;
            const QString number = QString::number(static_cast<qint64>(numberIn(rs[kRequestNo])));
            const QString code = request_.captions[kBillRequests] + u':' + number;
            const std::size_t before = lines_.size();
            engine::Recordset labour =
                open(QStringLiteral("SELECT * FROM [REQUEST ACTIVITIES] WHERE REQUESTNO = ") + number +
                     QStringLiteral(" AND BILLABLE = True ORDER BY [DATE/TIME]"));
            for (; !labour.EOF_(); labour.MoveNext()) {
                InvoiceLine line;
                line.productCode = code;
                line.description = tv::Format(labour[kLabourWhen], QStringLiteral("General Date")) +
                                   QStringLiteral(" : ") + textIn(labour[kLabourDescription]);
                line.quantity = numberIn(labour[kLabourHours]);
                line.unitPrice = numberIn(labour[kLabourRate]);
                line.lineValue = line.quantity * line.unitPrice;
                addLine(line);
            }
            labour.Close();
            engine::Recordset materials =
                open(QStringLiteral("SELECT * FROM [REQUEST MATERIALS] WHERE REQUESTNO = ") + number +
                     QStringLiteral(" ORDER BY LINENO"));
            for (; !materials.EOF_(); materials.MoveNext()) addLine(DocumentLineAt(materials));
            materials.Close();
            // A request with no labour or materials to charge has taken no number: nothing
            // to mark it with, and it stays outstanding.
            if (lines_.size() > before) mark(rs, kRequestOrder);
            if (request_.multipleInvoices) raiseInvoice();
        }
        rs.Close();
    }

    void activities() {
        const QString setting = request_.serviceProductCode;
        billActivities(
            QStringLiteral("SELECT * FROM [ACTIVITIES] WHERE [CUSTOMER NAME] = ") + quoted_ +
                QStringLiteral(" AND ([SOURCEDOCID] = '' OR [SOURCEDOCID] = Null OR [SOURCEDOCID] "
                               "= '0') AND BILLABLE = True ORDER BY [DATETIME]"),
            [&](engine::Recordset& rs) {
                return setting.isEmpty() ? textIn(rs[kActivityType]) : setting;
            });
        if (request_.multipleInvoices) raiseInvoice();
    }

    void contracts() {
        engine::Recordset rs =
            open(QStringLiteral("SELECT * FROM [SERVICE CONTRACTS] WHERE [CUSTOMER NAME] = ") +
                 quoted_ +
                 QStringLiteral(" AND ([ORDERNO] = 0 OR [ORDERNO] = Null) ORDER BY [CONTRACTID]"));
        for (; !rs.EOF_(); rs.MoveNext()) {
            if (!unbilled(rs[kContractOrder]) || !inPeriod(rs[kContractStart])) continue;
            InvoiceLine line;
            line.productCode = request_.captions[kBillContracts] + u':' + textIn(rs[kContractId]);
            line.description = textIn(rs[kContractType]) + QStringLiteral("; From: ") +
                               shortDate(rs[kContractStart]) + QStringLiteral(" to: ") +
                               shortDate(rs[kContractEnd]) + QStringLiteral("; Comments: ") +
                               textIn(rs[kContractComments]);
            line.quantity = 1;
            line.unitPrice = line.lineValue = numberIn(rs[kContractPrice]);
            addLine(line);
            mark(rs, kContractOrder);
        }
        rs.Close();
        if (request_.multipleInvoices) raiseInvoice();
    }

    void inventory() {
        engine::Recordset rs =
            open(QStringLiteral("SELECT * FROM [CUSTOMER INVENTORY] WHERE [CUSTOMER NAME] = ") +
                 quoted_ +
                 QStringLiteral(" AND ([ORDERNO] = '' OR [ORDERNO] = Null) ORDER BY [ITEMID]"));
        for (; !rs.EOF_(); rs.MoveNext()) {
            if (!unbilled(rs[kItemOrder]) || !inPeriod(rs[kItemSupplied])) continue;
            InvoiceLine line;
            line.productCode = textIn(rs[kItemProduct]);
            line.description = textIn(rs[kItemDescription]);
            line.quantity = 1;
            line.unitPrice = line.lineValue = numberIn(rs[kItemCharge]);
            addLine(line);
            mark(rs, kItemOrder);
        }
        rs.Close();
        if (request_.multipleInvoices) raiseInvoice();
    }

    // Writes the buffered lines as one order and empties the buffer.
    void raiseInvoice() {
        if (lines_.empty()) return;
        std::vector<LineInput> inputs;
        inputs.reserve(lines_.size());
        for (const InvoiceLine& l : lines_)
            inputs.push_back({l.quantity, l.unitPrice, l.discountRate, l.taxRate, std::nullopt});
        const DocumentTotals totals = documentTotals(inputs, 0.0);

        if (!accountRead_) {
            engine::Recordset customers = db_.OpenRecordset(QStringLiteral("CUSTOMERS"));
            customers.SetIndex(QStringLiteral("PrimaryKey"));
            customers.Seek(QStringLiteral("="), tv::Variant(customer_));
            if (!customers.NoMatch()) account_ = customers[kCustomerAccount];
            customers.Close();
            accountRead_ = true;
        }

        engine::Recordset order = db_.OpenRecordset(QStringLiteral("Sales Orders"));
        order.AddNew();
        order.FieldAt(0).SetValue(tv::Variant(orderNumber_));
        order.FieldAt(1).SetValue(tv::Variant(tv::DateTime{std::floor(request_.today.serial)}));
        order.FieldAt(2).SetValue(account_);
        order.FieldAt(3).SetValue(tv::Variant(customer_));
        if (!request_.userId.isEmpty()) order.FieldAt(8).SetValue(tv::Variant(request_.userId));
        order.FieldAt(9).SetValue(tv::Variant(totals.items));
        order.FieldAt(10).SetValue(tv::Variant(tv::Currency{}));
        order.FieldAt(11).SetValue(tv::Variant(totals.tax));
        order.FieldAt(12).SetValue(tv::Variant(totals.total));
        order.Update();
        order.Close();

        engine::Recordset detail = db_.OpenRecordset(QStringLiteral("Sales Orders Detail"));
        std::int16_t lineNo = 0;
        for (const InvoiceLine& l : lines_) {
            detail.AddNew();
            detail.FieldAt(0).SetValue(tv::Variant(orderNumber_));
            detail.FieldAt(1).SetValue(tv::Variant(++lineNo));
            if (!l.productCode.isEmpty()) detail.FieldAt(2).SetValue(tv::Variant(l.productCode));
            if (!l.description.isEmpty()) detail.FieldAt(3).SetValue(tv::Variant(l.description));
            detail.FieldAt(4).SetValue(tv::Variant(l.quantity));
            detail.FieldAt(5).SetValue(tv::Variant(l.unitPrice));
            detail.FieldAt(6).SetValue(tv::Variant(l.discountRate));
            detail.FieldAt(7).SetValue(tv::Variant(l.taxRate));
            detail.FieldAt(8).SetValue(tv::Variant(l.lineValue));
            detail.Update();
        }
        detail.Close();
        raised_ << QString::number(orderNumber_);
        lines_.clear();
    }

    const BillingRequest& request_;
    engine::Database& db_;
    QHash<QString, double>& rates_;
    QString customer_;
    QString quoted_;
    std::vector<InvoiceLine> lines_;
    std::int32_t orderNumber_ = 0;
    QStringList raised_;
    tv::Variant account_;
    bool accountRead_ = false;
};

QString periodCondition(const BillingRequest& request, const QString& column) {
    QString condition;
    if (request.start)
        condition += QStringLiteral(" AND [%1] >= ").arg(column) +
                     engine::sqlLiteral(tv::Variant(tv::DateTime{std::floor(request.start->serial)}));
    if (request.end)
        condition += QStringLiteral(" AND [%1] < ").arg(column) +
                     engine::sqlLiteral(tv::Variant(tv::DateTime{std::floor(request.end->serial) + 1}));
    return condition;
}

// The customers that have something outstanding of a ticked kind, each with the kinds it
// has (bit k: kind k). Each customer's items are read again under the write lock, so an
// item another workstation billed meanwhile is not billed twice; one added meanwhile waits
// for the next run.
QHash<QString, unsigned> customersWithWork(engine::Database& db, const BillingRequest& request) {
    std::vector<std::pair<unsigned, QString>> queries;
    if (request.kinds[kBillProjects] || request.kinds[kBillActivities])
        queries.emplace_back((1u << kBillProjects) | (1u << kBillActivities), QStringLiteral("SELECT DISTINCT [CUSTOMER NAME] FROM ACTIVITIES WHERE BILLABLE = "
                                  "True AND ([INVOICENO] = 0 OR [INVOICENO] = Null)") +
                       periodCondition(request, QStringLiteral("DATETIME")));
    if (request.kinds[kBillRequests])
        queries.emplace_back(1u << kBillRequests, QStringLiteral("SELECT DISTINCT [CUSTOMER NAME] FROM [COMPLETED REQUESTS] WHERE "
                                  "[TOTALCHARGE] > 0 AND ([ORDERNO] = 0 OR [ORDERNO] = Null)") +
                       periodCondition(request, QStringLiteral("REQUESTED")));
    if (request.kinds[kBillContracts])
        queries.emplace_back(1u << kBillContracts, QStringLiteral("SELECT DISTINCT [CUSTOMER NAME] FROM [SERVICE CONTRACTS] WHERE "
                                  "([ORDERNO] = 0 OR [ORDERNO] = Null)") +
                       periodCondition(request, QStringLiteral("STARTDATE")));
    if (request.kinds[kBillInventory])
        queries.emplace_back(1u << kBillInventory, QStringLiteral("SELECT DISTINCT [CUSTOMER NAME] FROM [CUSTOMER INVENTORY] WHERE "
                                  "([ORDERNO] = '' OR [ORDERNO] = Null)") +
                       periodCondition(request, QStringLiteral("SUPPLIEDDATE")));
    QHash<QString, unsigned> names;
    for (const auto& [kinds, sql] : queries) {
        engine::Recordset rs = db.OpenRecordset(sql);
        for (; !rs.EOF_(); rs.MoveNext()) names[textIn(rs[0]).toUpper()] |= kinds;
        rs.Close();
    }
    return names;
}

}  // namespace

std::array<QString, kBillingKinds> defaultBillingCaptions() {
    return {QStringLiteral("Projects"), QStringLiteral("Service Requests"),
            QStringLiteral("Non-project Activities"), QStringLiteral("Service Contracts"),
            QStringLiteral("Customer Inventory")};
}

BillingResult RunBilling(const BillingRequest& request, const BillingProgress& progress) {
    BillingResult result;
    if (!OpenDataDatabase()) return result;

    QStringList customers;
    QHash<QString, unsigned> withWork;
    std::optional<Failure> failed = attempt([&] {
        engine::Database& db = detail::databaseFor(kDataDb);
        const QString sql =
            request.customer.isEmpty()
                ? QStringLiteral("SELECT [CUSTOMER NAME] FROM CUSTOMERS ORDER BY [CUSTOMER NAME]")
                : QStringLiteral("SELECT [CUSTOMER NAME] FROM CUSTOMERS WHERE [CUSTOMER NAME] = ") +
                      engine::quoteLiteral(request.customer);
        engine::Recordset rs = db.OpenRecordset(sql);
        customers.reserve(static_cast<int>(rs.RecordCount()));
        for (; !rs.EOF_(); rs.MoveNext()) customers << textIn(rs[0]);
        rs.Close();
        withWork = customersWithWork(db, request);
    });
    detail::idleQuietly();
    if (failed) {
        ShowMessage(kMsgCustomerNotBilled, errorTail(*failed));
        ++result.customersFailed;
        return result;
    }

    QHash<QString, double> rates;
    int lastPercent = -1;
    for (int i = 0; i < customers.size(); ++i) {
        const QString& customer = customers[i];
        const unsigned kinds = withWork.value(customer.toUpper());
        if (kinds != 0) {
            for (;;) {
                QStringList raised;
                bool began = false;
                bool committing = false;
                failed = attempt([&] {
                    engine::Database& db = detail::databaseFor(kDataDb);
                    db.BeginTrans();
                    began = true;
                    CustomerBilling billing(request, db, rates);
                    raised = billing.bill(customer, kinds);
                    committing = true;
                    db.CommitTrans();
                });
                if (failed && began && !committing)
                    (void)attempt([] { detail::databaseFor(kDataDb).Rollback(); });
                detail::idleQuietly();
                if (!failed) {
                    result.orders << raised;
                    break;
                }
                // Another workstation holds the file past the engine's wait: try again.
                if (failed->number == engine::err::kLocked) {
                    prompter().processEvents();
                    QThread::msleep(kLockPauseMs);
                    continue;
                }
                ShowMessage(kMsgCustomerNotBilled, customer + errorTail(*failed));
                ++result.customersFailed;
                break;
            }
        }
        const int percent = static_cast<int>((i + 1) * 100LL / customers.size());
        if (progress && percent != lastPercent) {
            lastPercent = percent;
            progress(percent);
        }
    }
    return result;
}

}  // namespace tv::data
