// Writing service contracts, customer inventory, open and completed service requests with
// their labour and materials, and returned goods.
#include "demo/company_writer.h"

namespace tv::demo {
namespace {

bool byRequestNumber(const RequestPlan& a, const RequestPlan& b) { return a.number < b.number; }

}  // namespace

void CompanyWriter::writeContracts() {
    TableWriter w = table("SERVICE CONTRACTS",
                          {"CONTRACTID", "CONTRACTTYPE", "CUSTOMER NAME", "STARTDATE", "EXPIRYDATE",
                           "PRICE", "REQUESTSALLOWED", "REQUESTSTODATE", "CONTACT NAME", "COMMENTS",
                           "HOURSALLOWED", "HOURSUSED", "ORDERNO", "SALES REP ID", "COVERAGE"});
    const auto order = orderBy(
        plan_.contracts, [](const ContractPlan& a, const ContractPlan& b) { return a.id < b.id; });
    for (size_t i : order) {
        const ContractPlan& k = plan_.contracts[i];
        w.add({k.id, k.type, customerName(k.customer), date(k.start), date(k.expiry),
               money(k.price), k.requestsAllowed > 0 ? whole(k.requestsAllowed) : Variant(),
               whole(k.requestsToDate), text(contactName(k.customer, k.contact)), text(k.comments),
               number(k.hoursAllowed), number(k.hoursUsed), wholeOrNull(orderNumber(k.invoice)),
               userId(k.rep), k.coverage});
    }
    done(w);
}

// An item sold by an order names the order as its source document.
void CompanyWriter::writeInventory() {
    TableWriter w = table(
        "CUSTOMER INVENTORY",
        {"ITEMID", "PRODUCTCODE", "SERIALNO", "DESCRIPTION", "CATEGORY", "CUSTOMER NAME",
         "CONTACT NAME", "LOCATION", "INSTALLDATE", "CONTRACTID", "ORDERNO", "SUPPLIEDDATE",
         "CHARGE", "WARRANTYEXPIRY", "SOURCEDOCTYPE", "SOURCEDOCID", "STATUS", "CONFIGURATION"});
    const auto order =
        orderBy(plan_.items, [](const ItemPlan& a, const ItemPlan& b) { return a.id < b.id; });
    for (size_t i : order) {
        const ItemPlan& item = plan_.items[i];
        const ProductInfo& p = v_.products[size_t(item.product)];
        const QString orderNo =
            item.order >= 0 ? QString::number(orderNumber(item.order)) : QString();
        w.add({item.id, p.code, item.serial, p.description, p.category, customerName(item.customer),
               text(contactName(item.customer, item.contact)), item.location, date(item.installed),
               item.contract >= 0 ? Variant(plan_.contracts[size_t(item.contract)].id) : Variant(),
               text(orderNo), date(item.supplied), money(item.charge), date(item.warrantyExpiry),
               item.order >= 0 ? Variant("order") : Variant(), text(orderNo), item.status,
               text(item.configuration)});
    }
    done(w);
}

// CURRENT REQUESTS or COMPLETED REQUESTS; the telephone number is the contact's, else
// the customer's.
void CompanyWriter::writeRequests(bool completed) {
    TableWriter w = table(completed ? "COMPLETED REQUESTS" : "CURRENT REQUESTS",
                          {"REQUESTNO",    "REQUESTED",     "REQUEST TYPE",      "PRODUCTCODE",
                           "PRIORITY",     "STATUS",        "CUSTOMER NAME",     "SUMMARY",
                           "ITEMID",       "CONTACT NAME",  "TELEPHONENO",       "AGREEMENTNO",
                           "DOWNFLAG",     "ALLOCATED",     "WORK GROUP",        "PERSONNEL",
                           "REFNO",        "ALLOCATENOTES", "SCHEDULEDDATETIME", "SCHEDULENOTES",
                           "COMPLETEDBY",  "COMPLETED",     "RESOLUTION CODE",   "LEADTIME",
                           "DOWNTIME",     "RESPONSETIME",  "HOURSWORKED",       "TOTALCOST",
                           "TOTALCHARGE",  "ORDERNO",       "ORDEREDBY",         "CUSTOMERORDER",
                           "CONTRACTFLAG", "DESCRIPTION",   "RESOLUTION"});
    for (size_t i : orderBy(plan_.requests, byRequestNumber)) {
        const RequestPlan& q = plan_.requests[i];
        if (q.completed != completed) continue;
        const CustomerPlan& c = customer(q.customer);
        const QString contact = contactName(q.customer, q.contact);
        const QString phone = q.contact >= 0 && !c.contacts[size_t(q.contact)].phone.isEmpty()
                                  ? c.contacts[size_t(q.contact)].phone
                                  : c.phone;
        auto userOrNull = [&](int user) { return user >= 0 ? Variant(userId(user)) : Variant(); };
        w.add({whole(q.number),
               date(q.requested),
               q.type,
               q.product >= 0 ? Variant(productCode(q.product)) : Variant(),
               q.priority,
               q.status,
               c.name,
               q.summary,
               q.item >= 0 ? Variant(plan_.items[size_t(q.item)].id) : Variant(),
               text(contact),
               phone,
               q.contract >= 0 ? Variant(plan_.contracts[size_t(q.contract)].id) : Variant(),
               flag(q.down),
               date(q.allocated),
               q.workGroup,
               userOrNull(q.personnel),
               text(q.refNo),
               text(q.allocateNotes),
               date(q.scheduled),
               text(q.scheduleNotes),
               userOrNull(q.completedBy),
               date(q.finished),
               text(q.resolutionCode),
               completed ? number(q.leadTime) : Variant(),
               completed ? number(q.downTime) : Variant(),
               q.scheduled.isSet() ? number(q.responseTime) : Variant(),
               number(q.hoursWorked()),
               money(q.totalCost(v_.products)),
               money(q.totalCharge()),
               wholeOrNull(orderNumber(q.invoice)),
               text(contact),
               text(q.customerOrder),
               completed && q.contract >= 0 ? Variant("Yes") : Variant(),
               q.description,
               text(q.resolution)});
    }
    done(w);
}

void CompanyWriter::writeRequestLabour() {
    TableWriter w =
        table("REQUEST ACTIVITIES",
              {"REQUESTNO", "ACTIVITYNO", "DATE/TIME", "WORK GROUP", "PERSONNEL", "DESCRIPTION",
               "DURATION", "CHARGERATE", "COSTRATE", "SCHEDULED", "COMPLETED", "BILLABLE"});
    for (size_t i : orderBy(plan_.requests, byRequestNumber)) {
        const RequestPlan& q = plan_.requests[i];
        int no = 0;
        for (const LabourPlan& l : q.labour) {
            w.add({whole(q.number), whole(++no), date(l.when), l.workGroup, userId(l.person),
                   l.description.left(255), number(l.hours), money(l.chargeRate), money(l.costRate),
                   date(l.scheduled), date(l.completed), flag(l.billable)});
        }
    }
    done(w);
}

void CompanyWriter::writeRequestMaterials() {
    TableWriter w =
        table("REQUEST MATERIALS", {"REQUESTNO", "LINENO", "PRODUCTCODE", "DESCRIPTION", "QUANTITY",
                                    "UNITPRICE", "DISCOUNTRATE", "TAXRATE", "LINEVALUE"});
    for (size_t i : orderBy(plan_.requests, byRequestNumber))
        writeLines(w, plan_.requests[i].number, plan_.requests[i].materials);
    done(w);
}

void CompanyWriter::writeRmas() {
    TableWriter w =
        table("RMAS", {"RMANO", "RMADATE", "USER ID", "CUSTOMER NAME", "CONTACT NAME", "ORDERNO",
                       "STATUS", "REASON", "RETURNBY", "RECEIVEDDATE", "ACTION", "CREDITAMOUNT"});
    const auto order =
        orderBy(plan_.rmas, [](const RmaPlan& a, const RmaPlan& b) { return a.number < b.number; });
    for (size_t i : order) {
        const RmaPlan& m = plan_.rmas[i];
        w.add({whole(m.number), date(m.date), userId(m.user), customerName(m.customer),
               text(contactName(m.customer, m.contact)), whole(orderNumber(m.order)), m.status,
               m.reason, date(m.returnBy), date(m.received), m.action, money(m.credit)});
    }
    done(w);
}

// One line per return: the product, and the inventory item when the order sold one.
void CompanyWriter::writeRmaItems() {
    TableWriter w = table("RMA ITEMS", {"RMANO", "LINENO", "ITEMID", "PRODUCTCODE", "DESCRIPTION",
                                        "SERIALNO", "QUANTITY", "FAULT", "RECEIVED", "RESOLUTION"});
    const auto order =
        orderBy(plan_.rmas, [](const RmaPlan& a, const RmaPlan& b) { return a.number < b.number; });
    for (size_t i : order) {
        const RmaPlan& m = plan_.rmas[i];
        const ItemPlan* item = m.item >= 0 ? &plan_.items[size_t(m.item)] : nullptr;
        const ProductInfo& p = v_.products[size_t(m.product)];
        w.add({whole(m.number), shortWhole(1), item ? Variant(item->id) : Variant(), p.code,
               p.description, item ? Variant(item->serial) : Variant(), number(1), m.fault,
               flag(m.received.isSet()), text(m.resolution)});
    }
    done(w);
}

}  // namespace tv::demo
