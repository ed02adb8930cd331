// The writer behind writeCompany, shared by the write_*.cpp files: one function per
// table, called in an order that lets every table name rows written before it.
#pragma once

#include "demo/table_writer.h"
#include "demo/writer.h"

#include <QElapsedTimer>
#include <algorithm>
#include <numeric>

namespace tv::demo {

class CompanyWriter {
public:
    CompanyWriter(const Vocabulary& vocabulary, const CompanyPlan& plan, engine::Database& data,
                  engine::Database& messages, const Progress& progress)
        : v_(vocabulary), plan_(plan), data_(data), messages_(messages), progress_(progress) {}

    std::vector<TableCount> run();

private:
    const CustomerPlan& customer(int index) const { return plan_.customers[size_t(index)]; }
    QString customerName(int index) const { return index < 0 ? QString() : customer(index).name; }
    QString contactName(int customerIndex, int contact) const;
    int orderNumber(int index) const { return index < 0 ? 0 : plan_.orders[size_t(index)].number; }
    QString userId(int index) const { return v_.staff[size_t(index)].id; }
    QString userWithJob(const char* job) const;
    QString productCode(int index) const { return v_.products[size_t(index)].code; }
    QString topicText(std::uint8_t type, std::uint8_t topic, std::uint8_t product,
                      int project) const;
    QString activityDescription(const ActivityPlan& a) const;
    QString campaignName(int index) const;

    TableWriter table(const QString& name, std::initializer_list<const char*> columns) {
        return TableWriter(data_, QStringLiteral("Data.mdb"), name, columns);
    }
    void done(TableWriter& writer);
    void writeLines(TableWriter& w, int documentNumber, const std::vector<LinePlan>& lines);

    // write_catalogue.cpp: staff and what the company sells and sends
    void writeUsers();
    void writeUserAccess();
    void writeSuppliers();
    void writeProducts();
    void writeCampaigns();
    void writeFormLetters();
    void writeCarePlans();
    void writeCarePlanSteps();
    void writeScripts();
    void writeScriptSteps();
    void writeKnownProblems();

    // write_customers.cpp
    void writeCustomers();
    void writeContacts();
    void writeActivities();
    void writeScheduled();
    void writeOpportunities();

    // write_documents.cpp
    void writeQuotations();
    void writeQuotationLines();
    void collectInvoiceLines();
    const std::vector<LinePlan>& linesOf(size_t order) const;
    void writeOrders();
    void writeOrderLines();
    void writePurchases();
    void writePurchaseLines();

    // write_service.cpp
    void writeContracts();
    void writeInventory();
    void writeRequests(bool completed);
    void writeRequestLabour();
    void writeRequestMaterials();
    void writeRmas();
    void writeRmaItems();

    // write_records.cpp
    void writeProjects();
    void writeFeedback();
    void writeCarePlanStatus();
    void writeScriptHistory();
    void writeScriptAnswers();
    void writeCounters();
    void writeMail();

    const Vocabulary& v_;
    const CompanyPlan& plan_;
    engine::Database& data_;
    engine::Database& messages_;
    const Progress& progress_;
    std::vector<TableCount> counts_;
    std::vector<std::vector<LinePlan>> invoiceLines_;  // by order index; invoices only
    QElapsedTimer clock_;
};

// The indexes of `docs` in the order `less` gives: tables are written in key order.
template <typename T, typename Less>
std::vector<size_t> orderBy(const std::vector<T>& docs, Less less) {
    std::vector<size_t> order(docs.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return less(docs[a], docs[b]); });
    return order;
}
inline bool byNumber(const DocumentPlan& a, const DocumentPlan& b) { return a.number < b.number; }

}  // namespace tv::demo
