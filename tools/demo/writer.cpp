#include "demo/company_writer.h"

namespace tv::demo {

std::vector<TableCount> CompanyWriter::run() {
    clock_.start();
    writeUsers();
    writeUserAccess();
    writeSuppliers();
    writeProducts();
    writeCampaigns();
    writeFormLetters();
    writeCarePlans();
    writeCarePlanSteps();
    writeScripts();
    writeScriptSteps();
    writeKnownProblems();
    writeCustomers();
    writeContacts();
    writeActivities();
    writeScheduled();
    writeOpportunities();
    writeQuotations();
    writeQuotationLines();
    collectInvoiceLines();
    writeOrders();
    writeOrderLines();
    writePurchases();
    writePurchaseLines();
    writeContracts();
    writeInventory();
    writeRequests(false);
    writeRequests(true);
    writeRequestLabour();
    writeRequestMaterials();
    writeProjects();
    writeRmas();
    writeRmaItems();
    writeFeedback();
    writeCarePlanStatus();
    writeScriptHistory();
    writeScriptAnswers();
    writeCounters();
    writeMail();
    return counts_;
}

// Each table's line tells how long it took: the figures a benchmark of the engine's
// writing wants.
void CompanyWriter::done(TableWriter& writer) {
    const TableCount count{writer.database(), writer.table(), writer.finish()};
    counts_.push_back(count);
    if (progress_) {
        progress_(QStringLiteral("%1: %2, %3 rows (%4 s)")
                      .arg(count.database, count.table)
                      .arg(count.rows)
                      .arg(double(clock_.restart()) / 1000.0, 0, 'f', 1));
    }
}

QString CompanyWriter::contactName(int customerIndex, int contact) const {
    if (customerIndex < 0 || contact < 0) return QString();
    return customer(customerIndex).contacts[size_t(contact)].name;
}

QString CompanyWriter::userWithJob(const char* job) const {
    return userId(v_.staffWithJob(QString::fromUtf8(job)));
}

QString CompanyWriter::campaignName(int index) const {
    return index < 0 ? QString() : v_.campaigns[size_t(index)].name;
}

// A topic of the activity type, naming the machine where it has "%1", and the project the
// work is for.
QString CompanyWriter::topicText(std::uint8_t type, std::uint8_t topic, std::uint8_t product,
                                 int project) const {
    QString description = v_.topicsFor(activityTypes()[type])[topic];
    if (description.contains(QLatin1String("%1")))
        description = description.arg(v_.products[product].description.section(',', 0, 0));
    if (project >= 0) description = plan_.projects[size_t(project)].name + ": " + description;
    return description;
}

QString CompanyWriter::activityDescription(const ActivityPlan& a) const {
    const QString& type = activityTypes()[a.type];
    if (a.document >= 0) {
        if (type == QLatin1String("Quotation"))
            return QStringLiteral("Quotation prepared (%1)")
                .arg(plan_.quotations[size_t(a.document)].number);
        if (type == QLatin1String("Sales Order"))
            return QStringLiteral("Sales order taken (%1)").arg(orderNumber(a.document));
        if (type == QLatin1String("Payment"))
            return QStringLiteral("Payment received: %1 for order %2")
                .arg(QString::number(a.amount, 'f', 2))
                .arg(orderNumber(a.document));
        if (type == QLatin1String("Return"))
            return QStringLiteral("Return of goods authorised (%1)")
                .arg(plan_.rmas[size_t(a.document)].number);
        if (type == QLatin1String("Service Request")) {
            const RequestPlan& q = plan_.requests[size_t(a.document)];
            const bool closing = q.completed && a.when.key() == q.finished.key();
            return QStringLiteral("Service request %1 (%2)")
                .arg(closing ? "closed" : "logged")
                .arg(q.number);
        }
    }
    return topicText(a.type, a.topic, a.product, a.project);
}

// The lines of a quotation, order, purchase order or request's materials.
void CompanyWriter::writeLines(TableWriter& w, int documentNumber,
                               const std::vector<LinePlan>& lines) {
    int no = 0;
    for (const LinePlan& l : lines) {
        w.add({whole(documentNumber), shortWhole(++no), productCode(l.product),
               l.description.left(255), number(l.quantity), number(l.unitPrice), number(l.discount),
               number(l.taxRate), number(l.value())});
    }
}

std::vector<TableCount> writeCompany(const Vocabulary& vocabulary, const CompanyPlan& plan,
                                     engine::Database& data, engine::Database& messages,
                                     const Progress& progress) {
    return CompanyWriter(vocabulary, plan, data, messages, progress).run();
}

}  // namespace tv::demo
