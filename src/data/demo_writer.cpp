#include "data/demo_writer.h"

#include "core/variant.h"
#include "data/demo_vocabulary.h"
#include "engine/engine.h"

#include <QDate>
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <map>
#include <numeric>

namespace tv::data::demo {
namespace {

using engine::Database;
using tv::Variant;

// Adds rows to one table in one transaction: the columns are resolved once, each row is
// one AddNew/Update. The table's secondary indexes are dropped while it fills and made
// again at the end, from their own definitions: building an index from the finished
// table is a sort, where keeping it up to date is a random insertion per row.
class TableWriter {
public:
    TableWriter(Database& db, QString database, QString table,
                std::initializer_list<const char*> columns)
        : db_(db), database_(std::move(database)), table_(std::move(table)) {
        db_.BeginTrans();
        engine::TableDef def = db_.TableDefNamed(table_);
        for (const engine::Index& index : def.Indexes()) {
            if (index.Primary()) continue;
            indexes_.push_back({index.Name(), index.FieldNames(), index.Unique()});
            def.DeleteIndex(index.Name());
        }
        rs_ = db_.OpenRecordset(table_, engine::RecordsetType::Table);
        for (const char* column : columns)
            fields_.push_back(rs_.FieldNamed(QString::fromUtf8(column)));
    }
    ~TableWriter() {
        // Only reached without finish() when a row failed: the caller discards the file.
        if (open_) {
            try {
                rs_.Close();
                db_.Rollback();
            } catch (const engine::DbError&) {
            }
        }
    }
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    void add(std::initializer_list<Variant> values) {
        rs_.AddNew();
        size_t i = 0;
        for (const Variant& value : values) {
            if (!value.isNull()) fields_[i].SetValue(value);
            ++i;
        }
        rs_.Update();
        ++count_;
    }

    TableCount finish() {
        rs_.Close();
        engine::TableDef def = db_.TableDefNamed(table_);
        for (const SecondaryIndex& index : indexes_)
            def.CreateIndex(index.name, index.fields, index.unique);
        db_.CommitTrans();
        open_ = false;
        return TableCount{database_, table_, count_};
    }

private:
    Database& db_;
    QString database_, table_;
    engine::Recordset rs_;
    std::vector<engine::Field> fields_;
    struct SecondaryIndex {
        QString name;
        QStringList fields;
        bool unique;
    };
    std::vector<SecondaryIndex> indexes_;
    long count_ = 0;
    bool open_ = true;
};

// Values as the columns take them; an empty text is written as Null, as the program does.
Variant text(const QString& s) { return s.isEmpty() ? Variant() : Variant(s); }
Variant date(Moment m) {
    if (!m.isSet()) return Variant();
    return Variant(DateTime{double(m.day) + double(m.minute) / 1440.0});
}
Variant money(double amount) {
    return Variant(Currency::fromDouble(std::round(amount * 100.0) / 100.0));
}
Variant number(double value) { return Variant(value); }
Variant whole(long value) { return Variant(static_cast<std::int32_t>(value)); }
Variant shortWhole(int value) { return Variant(static_cast<std::int16_t>(value)); }
Variant flag(bool value) { return Variant(value); }
Variant wholeOrNull(long value) { return value > 0 ? whole(value) : Variant(); }

QString userId(int index) { return staff()[size_t(index)].id; }
QString dateText(Moment m) { return dateOf(m.day).toString("dd/MM/yyyy"); }
QString productName(int product) {
    return products()[size_t(product)].description.section(',', 0, 0);
}

class Writer {
public:
    Writer(const CompanyPlan& plan, Database& data, Database& messages,
           const WriteProgress& progress)
        : plan_(plan), data_(data), messages_(messages), progress_(progress) {}

    std::vector<TableCount> run() {
        clock_.start();
        writeStaff();
        writeCatalogue();
        writeCustomers();
        writeContacts();
        writeActivities();
        writeScheduled();
        writeOpportunities();
        writeQuotations();
        collectInvoiceLines();
        writeOrders();
        writePurchases();
        writeContracts();
        writeInventory();
        writeRequests();
        writeProjects();
        writeRmas();
        writeFeedbackAndPlans();
        writeScriptRuns();
        writeCounters();
        writeMail();
        return counts_;
    }

private:
    const CustomerPlan& customer(int index) const { return plan_.customers[size_t(index)]; }
    QString customerName(int index) const { return index < 0 ? QString() : customer(index).name; }
    QString contactName(int customerIndex, int contact) const {
        if (customerIndex < 0 || contact < 0) return QString();
        return customer(customerIndex).contacts[size_t(contact)].name;
    }
    int orderNumber(int index) const { return index < 0 ? 0 : plan_.orders[size_t(index)].number; }

    // Each table's line tells how long it took: the figures a benchmark of the engine's
    // writing wants.
    void done(TableWriter& writer) {
        const TableCount count = writer.finish();
        counts_.push_back(count);
        if (progress_) {
            progress_(QStringLiteral("%1: %2, %3 rows (%4 s)")
                          .arg(count.database, count.table)
                          .arg(count.rows)
                          .arg(double(clock_.restart()) / 1000.0, 0, 'f', 1));
        }
    }
    TableWriter table(const QString& name, std::initializer_list<const char*> columns) {
        return TableWriter(data_, QStringLiteral("Data.mdb"), name, columns);
    }

    QString activityDescription(const ActivityPlan& a) const {
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
        QString description = topicsFor(type)[a.topic];
        if (description.contains(QLatin1String("%1")))
            description = description.arg(productName(a.product));
        if (a.project >= 0)
            description = plan_.projects[size_t(a.project)].name + ": " + description;
        return description;
    }

    void writeStaff() {
        TableWriter users =
            table("System Users",
                  {"USERID", "USERNAME", "TITLE", "WORKNO", "MOBILENO", "EMAIL ADDRESS", "COMMENTS",
                   "PASSWORD", "ADMINISTRATOR", "CHARGERATE", "WORKFLOW", "BILLINGACCESS"});
        for (const StaffMember& s : staff()) {
            if (s.duty == Duty::Administrator) continue;  // shipped with every database
            const QString mail = s.name.section(' ', 0, 0).toLower() + '.' +
                                 QString(s.name.section(' ', 1)).remove('\'').toLower() +
                                 "@harbourside-office.com.au";
            users.add({s.id, s.name, s.title, text(s.workPhone), text(s.mobile), mail,
                       text(s.workflow ? QStringLiteral("Works in workflow mode: sees only the "
                                                        "rows assigned to him.")
                                       : QString()),
                       s.id.toLower(), flag(s.administrator), money(s.chargeRate), flag(s.workflow),
                       flag(s.billing)});
        }
        done(users);

        // Service staff may look at sales documents but not change them.
        TableWriter access = table("System User Access", {"USERID", "TABLENAME", "ACCESSLEVEL"});
        for (const StaffMember& s : staff()) {
            if (s.duty != Duty::Service) continue;
            for (const char* t : {"Quotations", "Sales Orders", "Sales Opportunities"})
                access.add({s.id, QString::fromUtf8(t), shortWhole(1)});
        }
        done(access);
    }

    void writeCatalogue() {
        TableWriter sup =
            table("SUPPLIERS", {"SUPPLIER NAME", "ACCOUNTNO", "STREET", "CITY", "STATE", "POSTCODE",
                                "COUNTRY", "TELEPHONENO", "FAXNO", "EMAIL ADDRESS", "INTERNETURL",
                                "CONTACT NAME", "PAYMENTTERMS"});
        for (const Supplier& s : suppliers()) {
            sup.add({s.name, s.account, s.street, s.city, s.state, s.postcode, "Australia", s.phone,
                     s.fax, s.email, s.web, s.contact, s.terms});
        }
        done(sup);

        TableWriter prod = table(
            "PRODUCTS", {"PRODUCTCODE", "CATEGORY", "DESCRIPTION", "UNITPRICE", "SPECIALPRICE",
                         "SPECIALSTART", "SPECIALEND", "UNIT", "TAXRATE", "SUPPLIER NAME",
                         "SUPPLIERCODE", "COSTPRICE", "CUSTOMERINVENTORY", "WARRANTYMONTHS",
                         "QUANTITYONHAND", "REORDERLEVEL", "DISCONTINUED", "NOTES"});
        int n = 0;
        for (const ProductInfo& p : products()) {
            const bool machine = p.kind == ProductKind::Machine;
            const bool stocked = p.kind != ProductKind::Service;
            // Toner on special this month: a special price that is current on the day.
            const bool special = p.category == QLatin1String("Toner") && n % 3 == 0;
            prod.add({p.code, p.category, p.description, money(p.price),
                      special ? money(p.price * 0.9) : Variant(),
                      special ? date(Moment{plan_.today.day - 10, 0}) : Variant(),
                      special ? date(Moment{plan_.today.day + 20, 0}) : Variant(), p.unit,
                      number(10), suppliers()[size_t(p.supplier)].name,
                      p.code + "-" + QString::number(1000 + n), money(p.cost), flag(machine),
                      p.warrantyMonths > 0 ? shortWhole(p.warrantyMonths) : Variant(),
                      stocked ? number(machine ? 2 + n % 4 : 20 + (n * 7) % 60) : Variant(),
                      stocked ? number(machine ? 1 : 10) : Variant(), flag(p.discontinued),
                      text(p.discontinued ? QStringLiteral("No longer made; sold while stock "
                                                           "lasts.")
                                          : QString())});
            ++n;
        }
        done(prod);

        TableWriter camp =
            table("SALES CAMPAIGNS", {"CAMPAIGN", "DESCRIPTION", "STARTDATE", "ENDDATE", "USER ID",
                                      "BUDGET", "ACTUALCOST", "TARGETREVENUE", "STATUS"});
        for (const Campaign& c : campaigns()) {
            const int start = plan_.today.day - c.startDaysAgo;
            const int end = start + c.lengthDays;
            camp.add(
                {c.name, c.description, date(Moment{start, 0}), date(Moment{end, 0}), "mwilson",
                 money(c.budget), money(end < plan_.today.day ? c.budget * 0.93 : c.budget * 0.4),
                 money(c.targetRevenue),
                 end < plan_.today.day ? QStringLiteral("Completed") : QStringLiteral("Active")});
        }
        done(camp);

        TableWriter letters = table("FORM LETTERS", {"LETTERID", "CATEGORY", "DESCRIPTION",
                                                     "FILENAME", "SAVED", "LETTERTEXT"});
        for (const FormLetter& l : formLetters())
            letters.add({l.id, l.category, l.description, Variant(), flag(true), l.text});
        done(letters);

        TableWriter plans = table("CUSTOMER CARE PLANS",
                                  {"PLAN NAME", "DESCRIPTION", "CAMPAIGN", "USER ID", "ACTIVE"});
        for (const CarePlan& p : carePlans())
            plans.add({p.name, p.description, text(p.campaign), "mwilson", flag(true)});
        done(plans);
        TableWriter steps =
            table("CUSTOMER CARE PLAN STEPS", {"PLAN NAME", "STEPNO", "DAYOFFSET", "ACTIVITY TYPE",
                                               "DESCRIPTION", "DURATION", "LETTERID"});
        for (const CarePlan& p : carePlans()) {
            int no = 0;
            for (const CarePlanStep& s : p.steps) {
                steps.add(
                    {p.name, shortWhole(++no), shortWhole(s.dayOffset), s.activityType,
                     s.description, number(s.duration),
                     s.letter >= 0 ? Variant(formLetters()[size_t(s.letter)].id) : Variant()});
            }
        }
        done(steps);

        const CallScript& script = callScript();
        TableWriter scripts =
            table("SCRIPTS", {"SCRIPT NAME", "DESCRIPTION", "CAMPAIGN", "ENDMESSAGE"});
        scripts.add({script.name, script.description, script.campaign, script.endMessage});
        done(scripts);
        TableWriter detail =
            table("SCRIPTS DETAIL", {"SCRIPT NAME", "SCRIPT BRANCH ID", "PROMPT", "RESPONSE TYPE",
                                     "RESPONSE STRING", "BRANCH STRING"});
        int id = 0;
        for (const ScriptStep& s : script.steps) {
            QString responses, branches;
            for (const QString& r : s.responses) responses += r + '\t';
            for (int b : s.branches) branches += QString::number(b) + '\t';
            detail.add({script.name, whole(++id), s.prompt, shortWhole(s.responseType),
                        text(responses), text(branches)});
        }
        done(detail);

        TableWriter problems =
            table("KNOWN PROBLEMS",
                  {"PROBLEMNO", "REPORTED", "PRODUCTCODE", "SUMMARY", "SYMPTOMS", "CAUSE",
                   "WORKAROUND", "RESOLUTION", "STATUS", "USER ID", "RESOLVEDDATE"});
        struct Problem {
            const char *product, *summary, *symptoms, *cause, *workaround, *resolution;
            int daysAgo;
            bool resolved;
        };
        static const Problem known[] = {
            {"KM-C3020", "Error C-2801 after a firmware update",
             "Machine stops with C-2801 when waking from sleep.",
             "Firmware 2.10 mishandles the fuser warm-up after deep sleep.",
             "Turn deep sleep off in the energy settings.", "Install firmware 2.11 or later.", 400,
             true},
            {"KM-C4535", "Booklet finisher staples off centre", "Staples 5 mm off the fold.",
             "Finisher guide out of adjustment from the factory.", "None.",
             "Adjust the staple position in service mode 04-12.", 300, true},
            {"NP-M420", "Scan to e-mail fails with some mail servers",
             "\"Authentication failed\" on every scan.",
             "The printer supports only older encryption for mail.",
             "Scan to a network folder instead.", "", 120, false},
            {"SS-X30", "Shredder stops with the bin half full", "\"Bin full\" shown too early.",
             "Bin sensor dirty.", "Wipe the sensor window behind the bin.",
             "Clean the sensor at every service visit.", 200, true},
            {"KM-B6060", "Paper jams in tray 3 with 100 gsm paper", "Jams at the tray 3 pick-up.",
             "", "Use tray 1 or the bypass for heavy paper.", "", 30, false},
        };
        int no = 0;
        for (const Problem& p : known) {
            const Moment reported{plan_.today.day - p.daysAgo, 600};
            problems.add({whole(++no), date(reported), p.product, p.summary, p.symptoms,
                          text(p.cause), text(p.workaround), text(p.resolution),
                          p.resolved ? QStringLiteral("Resolved") : QStringLiteral("Open"),
                          "ktanaka", p.resolved ? date(Moment{reported.day + 21, 0}) : Variant()});
        }
        knownProblems_ = no;
        done(problems);
    }

    void writeCustomers() {
        TableWriter w =
            table("CUSTOMERS", {"CUSTOMER NAME", "POSTALSTREET",   "POSTALCITY",    "POSTALSTATE",
                                "POSTALCODE",    "DELIVERYSTREET", "DELIVERYCITY",  "DELIVERYSTATE",
                                "DELIVERYCODE",  "COUNTRY",        "TELEPHONENO",   "FAXNO",
                                "INTERNETURL",   "EMAIL ADDRESS",  "INDUSTRY CODE", "TERRITORY",
                                "SALES REP ID",  "CAMPAIGN",       "RELATIONSHIP",  "TIME ZONE",
                                "FIRSTDATE",     "LASTDATE",       "NEXTDATE",      "ACCOUNTNO",
                                "REFERREDBY",    "COMMENTS"});
        for (const CustomerPlan& c : plan_.customers) {
            const Place& p = places()[size_t(c.place)];
            w.add({c.name,
                   c.postalStreet,
                   p.suburb,
                   p.state,
                   p.postcode,
                   c.street,
                   p.suburb,
                   p.state,
                   p.postcode,
                   p.country,
                   c.phone,
                   text(c.fax),
                   text(c.web),
                   c.email,
                   industries()[size_t(c.industry)].code,
                   c.territory,
                   userId(c.rep),
                   c.campaign >= 0 ? Variant(campaigns()[size_t(c.campaign)].name) : Variant(),
                   c.relationship,
                   p.timeZone,
                   date(c.first),
                   date(c.last),
                   date(c.next),
                   c.accountNo,
                   text(c.referredBy),
                   text(c.comments)});
        }
        done(w);
    }

    void writeContacts() {
        TableWriter w = table(
            "CONTACTS",
            {"CUSTOMER NAME", "CONTACT NAME",   "TITLE",         "BUSINESS PHONE", "HOME PHONE",
             "MOBILE PHONE",  "FAXNO",          "EMAIL ADDRESS", "ROLE",           "TIME ZONE",
             "HONORIFIC",     "SALUTATION",     "STREET",        "CITY",           "STATE",
             "POSTCODE",      "FIRSTCONTACT",   "LASTCONTACT",   "NEXTCONTACT",    "BIRTHDAY",
             "SPOUSENAME",    "SPOUSEBIRTHDAY", "CHILDREN",      "INTERESTS",      "COMMENTS"});
        for (const CustomerPlan& c : plan_.customers) {
            const Place& place = places()[size_t(c.place)];
            // Key order within the customer: by contact name, ignoring case.
            std::vector<size_t> order(c.contacts.size());
            std::iota(order.begin(), order.end(), size_t(0));
            std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
                return c.contacts[a].name.compare(c.contacts[b].name, Qt::CaseInsensitive) < 0;
            });
            for (size_t i : order) {
                const ContactPlan& p = c.contacts[i];
                w.add({c.name,           p.name,
                       p.title,          text(p.phone),
                       text(p.home),     text(p.mobile),
                       text(p.fax),      p.email,
                       p.role,           place.timeZone,
                       p.honorific,      p.name.section(' ', 0, 0),
                       c.street,         place.suburb,
                       place.state,      place.postcode,
                       date(p.first),    date(p.last),
                       date(p.next),     text(p.birthday),
                       text(p.spouse),   date(p.spouseBirthday),
                       text(p.children), text(p.interests),
                       text(p.comments)});
            }
        }
        done(w);
    }

    void writeActivities() {
        TableWriter w =
            table("ACTIVITIES",
                  {"CUSTOMER NAME", "DATETIME", "ACTIVITY TYPE", "DESCRIPTION", "SALES REP ID",
                   "CONTACT NAME", "CAMPAIGN", "SALESPLAN", "DURATION", "RESULT CODE", "COST",
                   "LETTERID", "NOTES", "SOURCEDOCTYPE", "SOURCEDOCID", "BILLABLE", "INVOICENO"});
        long written = 0;
        for (const CustomerPlan& c : plan_.customers) {
            for (const ActivityPlan& a : c.activities) {
                const double hours = a.duration / 60.0;
                const bool costed =
                    a.billable || activityTypes()[a.type] == QLatin1String("Meeting");
                w.add({c.name, date(a.when), activityTypes()[a.type], activityDescription(a),
                       userId(a.user),
                       text(contactName(int(&c - plan_.customers.data()), a.contact)),
                       a.campaign >= 0 ? Variant(campaigns()[size_t(a.campaign)].name) : Variant(),
                       Variant(), number(a.duration),
                       a.result >= 0 ? Variant(callResults()[size_t(a.result)]) : Variant(),
                       costed ? money(hours * 45.0) : Variant(),
                       a.letter >= 0 ? Variant(formLetters()[size_t(a.letter)].id) : Variant(),
                       Variant(), a.project >= 0 ? Variant("project") : Variant(),
                       a.project >= 0 ? Variant(plan_.projects[size_t(a.project)].name) : Variant(),
                       flag(a.billable), wholeOrNull(orderNumber(a.invoice))});
                if (++written % 200000 == 0 && progress_)
                    progress_(QStringLiteral("Data.mdb: ACTIVITIES, %1 rows so far").arg(written));
            }
        }
        done(w);
    }

    void writeScheduled() {
        TableWriter w =
            table("SCHEDULED ACTIVITIES",
                  {"CUSTOMER NAME", "SCHEDDATETIME", "ACTIVITY TYPE", "DESCRIPTION", "USER ID",
                   "CONTACT NAME", "DURATION", "SOURCEDOCTYPE", "SOURCEDOCID", "BILLABLE"});
        for (size_t ci = 0; ci < plan_.customers.size(); ++ci) {
            const CustomerPlan& c = plan_.customers[ci];
            for (const ScheduledPlan& s : c.scheduled) {
                const QString& type = activityTypes()[s.type];
                QString description = topicsFor(type)[s.topic];
                if (description.contains(QLatin1String("%1")))
                    description = description.arg(productName(s.product));
                if (s.project >= 0)
                    description = plan_.projects[size_t(s.project)].name + ": " + description;
                w.add({c.name, date(s.when), type, description, userId(s.user),
                       text(contactName(int(ci), s.contact)), number(s.duration),
                       s.project >= 0 ? Variant("project") : Variant(),
                       s.project >= 0 ? Variant(plan_.projects[size_t(s.project)].name) : Variant(),
                       flag(s.billable)});
            }
        }
        done(w);
    }

    void writeOpportunities() {
        TableWriter w =
            table("SALES OPPORTUNITIES", {"CUSTOMER NAME", "IDENTIFIED", "SALES REP ID",
                                          "CONTACT NAME", "DESCRIPTION", "SALESVALUE", "SALEMONTH",
                                          "PROBABILITY", "STATUS", "COMPETITION", "LEADSOURCE"});
        for (size_t ci = 0; ci < plan_.customers.size(); ++ci) {
            const CustomerPlan& c = plan_.customers[ci];
            for (const OpportunityPlan& o : c.opportunities) {
                w.add({c.name, date(o.identified), userId(o.rep),
                       text(contactName(int(ci), o.contact)), o.description, money(o.value),
                       QDate(2001, o.saleMonth, 1).toString("MMMM"), shortWhole(o.probability),
                       o.status, o.competition, o.leadSource});
            }
        }
        done(w);
    }

    static std::vector<size_t> byNumber(const std::vector<DocumentPlan>& docs) {
        std::vector<size_t> order(docs.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::sort(order.begin(), order.end(),
                  [&](size_t a, size_t b) { return docs[a].number < docs[b].number; });
        return order;
    }

    void writeLines(TableWriter& w, int documentNumber, const std::vector<LinePlan>& lines) {
        int no = 0;
        for (const LinePlan& l : lines) {
            w.add({whole(documentNumber), shortWhole(++no), products()[size_t(l.product)].code,
                   l.description.left(255), number(l.quantity), number(l.unitPrice),
                   number(l.discount), number(l.taxRate), number(l.value())});
        }
    }

    void writeQuotations() {
        TableWriter w =
            table("QUOTATIONS", {"QUOTENO", "QUOTEDATE", "EXPIRYDATE", "CUSTOMER NAME",
                                 "CONTACT NAME", "CAMPAIGN", "SALES REP ID", "ITEMTOTAL",
                                 "FREIGHTTOTAL", "SALESTAX", "TOTAL", "COMMENTS"});
        const auto order = byNumber(plan_.quotations);
        for (size_t i : order) {
            const DocumentPlan& d = plan_.quotations[i];
            w.add({whole(d.number), date(Moment{d.date.day, 0}), date(Moment{d.date.day + 30, 0}),
                   customerName(d.customer), text(contactName(d.customer, d.contact)),
                   d.campaign >= 0 ? Variant(campaigns()[size_t(d.campaign)].name) : Variant(),
                   userId(d.user), money(d.items()), money(d.freight), money(d.tax()),
                   money(d.total()), text(d.comments)});
        }
        done(w);
        TableWriter lines = table("QUOTATIONS DETAIL",
                                  {"QUOTENO", "LINENO", "PRODUCTCODE", "DESCRIPTION", "QUANTITY",
                                   "UNITPRICE", "DISCOUNTRATE", "TAXRATE", "LINEVALUE"});
        for (size_t i : order)
            writeLines(lines, plan_.quotations[i].number, plan_.quotations[i].lines);
        done(lines);
    }

    // The lines of the invoices the billing run raised for billed work, as it writes them:
    // labour by the hour at the worker's rate, a request's materials as they are, and a
    // contract's price.
    void collectInvoiceLines() {
        invoiceLines_.assign(plan_.orders.size(), {});
        const int labour = productIndexOf("SV-LABOUR");
        const int training = productIndexOf("SV-TRAIN");
        const int contract = productIndexOf("SV-CONTRACT");
        for (const CustomerPlan& c : plan_.customers) {
            for (const ActivityPlan& a : c.activities) {
                if (a.invoice < 0) continue;
                LinePlan l;
                l.product =
                    activityTypes()[a.type] == QLatin1String("Training") ? training : labour;
                l.description = (dateText(a.when) + '-' + activityDescription(a)).left(255);
                l.quantity = std::round(a.duration / 60.0 * 1000.0) / 1000.0;
                l.unitPrice = staff()[a.user].chargeRate;
                invoiceLines_[size_t(a.invoice)].push_back(l);
            }
        }
        for (const RequestPlan& q : plan_.requests) {
            if (q.invoice < 0) continue;
            for (const LabourPlan& w : q.labour) {
                if (!w.billable) continue;
                LinePlan l;
                l.product = labour;
                l.description = (QStringLiteral("Request %1, ").arg(q.number) +
                                 dateOf(w.when.day).toString("dd/MM/yyyy") + " : " + w.description)
                                    .left(255);
                l.quantity = w.hours;
                l.unitPrice = w.chargeRate;
                invoiceLines_[size_t(q.invoice)].push_back(l);
            }
            for (const LinePlan& m : q.materials) invoiceLines_[size_t(q.invoice)].push_back(m);
        }
        for (const ContractPlan& k : plan_.contracts) {
            if (k.invoice < 0) continue;
            LinePlan l;
            l.product = contract;
            l.description = (k.id + ' ' + k.type + "; From: " + dateText(k.start) +
                             " to: " + dateText(k.expiry) + "; Comments: " + k.comments)
                                .left(255);
            l.unitPrice = k.price;
            invoiceLines_[size_t(k.invoice)].push_back(l);
        }
    }
    static int productIndexOf(const QString& code) {
        const auto& all = products();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].code == code) return static_cast<int>(i);
        return 0;
    }
    const std::vector<LinePlan>& linesOf(size_t order) const {
        const DocumentPlan& d = plan_.orders[order];
        return d.kind == OrderKind::Invoice ? invoiceLines_[order] : d.lines;
    }

    void writeOrders() {
        TableWriter w =
            table("SALES ORDERS",
                  {"ORDERNO",       "ORDERDATE",  "ACCOUNTNO",   "CUSTOMER NAME", "CONTACT NAME",
                   "CUSTOMERORDER", "DELIVERBY",  "CAMPAIGN",    "SALES REP ID",  "ITEMTOTAL",
                   "FREIGHTTOTAL",  "SALESTAX",   "TOTAL",       "COMMENTS",      "STATUS",
                   "PAYMENTTYPE",   "CARD TYPE",  "CARDNO",      "CARDHOLDER",    "CARDEXPIRY",
                   "AMOUNTPAID",    "PAYMENTDUE", "PAYMENTDATE", "APPROVALNO",    "SHIPPEDBY",
                   "SHIP STATUS",   "SHIPDATE",   "SHIPREF",     "SHIPNOTES"});
        const auto order = byNumber(plan_.orders);
        for (size_t i : order) {
            const DocumentPlan& d = plan_.orders[i];
            DocumentPlan totals;
            totals.lines = linesOf(i);
            totals.freight = d.freight;
            const bool invoice = d.kind == OrderKind::Invoice;
            const bool card = !d.cardType.isEmpty();
            // Invoices of the billing run are paid a month later, except the latest ones.
            const bool invoicePaid = invoice && d.date.day + 35 < plan_.today.day;
            const double paid = invoice ? (invoicePaid ? totals.total() : 0.0) : d.amountPaid;
            const CustomerPlan& c = customer(d.customer);
            const QString holder = contactName(d.customer, d.contact);
            w.add({whole(d.number),
                   date(Moment{d.date.day, 0}),
                   c.accountNo,
                   c.name,
                   text(holder),
                   text(d.customerOrder),
                   date(d.deliverBy),
                   d.campaign >= 0 ? Variant(campaigns()[size_t(d.campaign)].name) : Variant(),
                   userId(d.user),
                   money(totals.items()),
                   money(d.freight),
                   money(totals.tax()),
                   money(totals.total()),
                   text(invoice            ? QStringLiteral("Raised by the billing run")
                        : d.quotation >= 0 ? QStringLiteral("From quotation %1")
                                                 .arg(plan_.quotations[size_t(d.quotation)].number)
                                           : QString()),
                   d.status,
                   d.paymentType,
                   text(d.cardType),
                   card ? Variant("XXXX XXXX XXXX " + QString::number(1000 + d.number % 9000))
                        : Variant(),
                   card ? Variant(holder.isEmpty() ? c.name.left(50) : holder) : Variant(),
                   card ? Variant(dateOf(d.date.day + 700).toString("MM/yyyy")) : Variant(),
                   money(paid),
                   date(d.paymentDue),
                   invoicePaid ? date(Moment{d.date.day + 30, 0}) : date(d.paymentDate),
                   card ? Variant(QString::number(100000 + (d.number * 7919) % 900000)) : Variant(),
                   d.shippedBy >= 0 ? Variant(userId(d.shippedBy)) : Variant(),
                   text(d.shipStatus),
                   date(d.shipDate),
                   d.shipDate.isSet() ? Variant("TNT " + QString::number(d.number * 31 % 1000000))
                                      : Variant(),
                   Variant()});
        }
        done(w);
        TableWriter lines = table("SALES ORDERS DETAIL",
                                  {"ORDERNO", "LINENO", "PRODUCTCODE", "DESCRIPTION", "QUANTITY",
                                   "UNITPRICE", "DISCOUNTRATE", "TAXRATE", "LINEVALUE"});
        for (size_t i : order) writeLines(lines, plan_.orders[i].number, linesOf(i));
        done(lines);
    }

    void writePurchases() {
        TableWriter w =
            table("PURCHASE ORDERS",
                  {"ORDERNO", "ORDERDATE", "SUPPLIER NAME", "SUPPLIERCONTACT", "SUPPLIERREF",
                   "DELIVERBY", "DELIVERTO", "USER ID", "ITEMTOTAL", "FREIGHTTOTAL", "SALESTAX",
                   "TOTAL", "STATUS", "RECEIVEDDATE", "SUPPLIERINVOICE"});
        const auto order = byNumber(plan_.purchases);
        for (size_t i : order) {
            const DocumentPlan& d = plan_.purchases[i];
            const Supplier& s = suppliers()[size_t(d.supplier)];
            w.add({whole(d.number), date(Moment{d.date.day, 0}), s.name, s.contact,
                   "Q" + QString::number(70000 + d.number), date(d.deliverBy),
                   "Warehouse, 14 Wharf Road, Pyrmont NSW 2009", userId(d.user), money(d.items()),
                   money(d.freight), money(d.tax()), money(d.total()), d.status, date(d.received),
                   d.received.isSet() ? Variant("INV" + QString::number(880000 + d.number))
                                      : Variant()});
        }
        done(w);
        TableWriter lines = table("PURCHASE ORDERS DETAIL",
                                  {"ORDERNO", "LINENO", "PRODUCTCODE", "DESCRIPTION", "QUANTITY",
                                   "UNITPRICE", "DISCOUNTRATE", "TAXRATE", "LINEVALUE"});
        for (size_t i : order)
            writeLines(lines, plan_.purchases[i].number, plan_.purchases[i].lines);
        done(lines);
    }

    void writeContracts() {
        TableWriter w =
            table("SERVICE CONTRACTS",
                  {"CONTRACTID", "CONTRACTTYPE", "CUSTOMER NAME", "STARTDATE", "EXPIRYDATE",
                   "PRICE", "REQUESTSALLOWED", "REQUESTSTODATE", "CONTACT NAME", "COMMENTS",
                   "HOURSALLOWED", "HOURSUSED", "ORDERNO", "SALES REP ID", "COVERAGE"});
        std::vector<size_t> order(plan_.contracts.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return plan_.contracts[a].id < plan_.contracts[b].id;
        });
        for (size_t i : order) {
            const ContractPlan& k = plan_.contracts[i];
            w.add({k.id, k.type, customerName(k.customer), date(k.start), date(k.expiry),
                   money(k.price), k.requestsAllowed > 0 ? whole(k.requestsAllowed) : Variant(),
                   whole(k.requestsToDate), text(contactName(k.customer, k.contact)),
                   text(k.comments), number(k.hoursAllowed), number(k.hoursUsed),
                   wholeOrNull(orderNumber(k.invoice)), userId(k.rep), k.coverage});
        }
        done(w);
    }

    void writeInventory() {
        TableWriter w = table("CUSTOMER INVENTORY",
                              {"ITEMID", "PRODUCTCODE", "SERIALNO", "DESCRIPTION", "CATEGORY",
                               "CUSTOMER NAME", "CONTACT NAME", "LOCATION", "INSTALLDATE",
                               "CONTRACTID", "ORDERNO", "SUPPLIEDDATE", "CHARGE", "WARRANTYEXPIRY",
                               "SOURCEDOCTYPE", "SOURCEDOCID", "STATUS", "CONFIGURATION"});
        std::vector<size_t> order(plan_.items.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::sort(order.begin(), order.end(),
                  [&](size_t a, size_t b) { return plan_.items[a].id < plan_.items[b].id; });
        for (size_t i : order) {
            const ItemPlan& item = plan_.items[i];
            const ProductInfo& p = products()[size_t(item.product)];
            const QString orderNo =
                item.order >= 0 ? QString::number(orderNumber(item.order)) : QString();
            w.add({item.id, p.code, item.serial, p.description, p.category,
                   customerName(item.customer), text(contactName(item.customer, item.contact)),
                   item.location, date(item.installed),
                   item.contract >= 0 ? Variant(plan_.contracts[size_t(item.contract)].id)
                                      : Variant(),
                   text(orderNo), date(item.supplied), money(item.charge),
                   date(item.warrantyExpiry), item.order >= 0 ? Variant("order") : Variant(),
                   text(orderNo), item.status, text(item.configuration)});
        }
        done(w);
    }

    void writeRequests() {
        std::vector<size_t> order(plan_.requests.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return plan_.requests[a].number < plan_.requests[b].number;
        });
        for (const bool completed : {false, true}) {
            TableWriter w =
                table(completed ? "COMPLETED REQUESTS" : "CURRENT REQUESTS",
                      {"REQUESTNO",    "REQUESTED",     "REQUEST TYPE",      "PRODUCTCODE",
                       "PRIORITY",     "STATUS",        "CUSTOMER NAME",     "SUMMARY",
                       "ITEMID",       "CONTACT NAME",  "TELEPHONENO",       "AGREEMENTNO",
                       "DOWNFLAG",     "ALLOCATED",     "WORK GROUP",        "PERSONNEL",
                       "REFNO",        "ALLOCATENOTES", "SCHEDULEDDATETIME", "SCHEDULENOTES",
                       "COMPLETEDBY",  "COMPLETED",     "RESOLUTION CODE",   "LEADTIME",
                       "DOWNTIME",     "RESPONSETIME",  "HOURSWORKED",       "TOTALCOST",
                       "TOTALCHARGE",  "ORDERNO",       "ORDEREDBY",         "CUSTOMERORDER",
                       "CONTRACTFLAG", "DESCRIPTION",   "RESOLUTION"});
            for (size_t i : order) {
                const RequestPlan& q = plan_.requests[i];
                if (q.completed != completed) continue;
                const CustomerPlan& c = customer(q.customer);
                const QString contact = contactName(q.customer, q.contact);
                const QString phone =
                    q.contact >= 0 && !c.contacts[size_t(q.contact)].phone.isEmpty()
                        ? c.contacts[size_t(q.contact)].phone
                        : c.phone;
                w.add(
                    {whole(q.number),
                     date(q.requested),
                     q.type,
                     q.product >= 0 ? Variant(products()[size_t(q.product)].code) : Variant(),
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
                     q.personnel >= 0 ? Variant(userId(q.personnel)) : Variant(),
                     text(q.refNo),
                     text(q.allocateNotes),
                     date(q.scheduled),
                     text(q.scheduleNotes),
                     q.completedBy >= 0 ? Variant(userId(q.completedBy)) : Variant(),
                     date(q.finished),
                     text(q.resolutionCode),
                     completed ? number(q.leadTime) : Variant(),
                     completed ? number(q.downTime) : Variant(),
                     q.scheduled.isSet() ? number(q.responseTime) : Variant(),
                     number(q.hoursWorked()),
                     money(q.totalCost()),
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
        TableWriter labour =
            table("REQUEST ACTIVITIES",
                  {"REQUESTNO", "ACTIVITYNO", "DATE/TIME", "WORK GROUP", "PERSONNEL", "DESCRIPTION",
                   "DURATION", "CHARGERATE", "COSTRATE", "SCHEDULED", "COMPLETED", "BILLABLE"});
        for (size_t i : order) {
            const RequestPlan& q = plan_.requests[i];
            int no = 0;
            for (const LabourPlan& l : q.labour) {
                labour.add({whole(q.number), whole(++no), date(l.when), l.workGroup,
                            userId(l.person), l.description.left(255), number(l.hours),
                            money(l.chargeRate), money(l.costRate), date(l.scheduled),
                            date(l.completed), flag(l.billable)});
            }
        }
        done(labour);
        TableWriter lines = table("REQUEST MATERIALS",
                                  {"REQUESTNO", "LINENO", "PRODUCTCODE", "DESCRIPTION", "QUANTITY",
                                   "UNITPRICE", "DISCOUNTRATE", "TAXRATE", "LINEVALUE"});
        for (size_t i : order)
            writeLines(lines, plan_.requests[i].number, plan_.requests[i].materials);
        done(lines);
    }

    void writeProjects() {
        TableWriter w =
            table("PROJECTS",
                  {"NAME", "CUSTOMER NAME", "SCHEDULEDSTART", "SCHEDULEDEND", "ACTUALSTART",
                   "ACTUALEND", "DESCRIPTION", "CONTACT NAME", "USER ID", "STATUS", "BUDGET"});
        std::vector<size_t> order(plan_.projects.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return plan_.projects[a].name.compare(plan_.projects[b].name, Qt::CaseInsensitive) < 0;
        });
        for (size_t i : order) {
            const ProjectPlan& p = plan_.projects[i];
            w.add({p.name, customerName(p.customer), date(p.scheduledStart), date(p.scheduledEnd),
                   date(p.actualStart), date(p.actualEnd), p.description.left(255),
                   text(contactName(p.customer, p.contact)), userId(p.user), p.status,
                   money(p.budget)});
        }
        done(w);
    }

    void writeRmas() {
        TableWriter w = table(
            "RMAS", {"RMANO", "RMADATE", "USER ID", "CUSTOMER NAME", "CONTACT NAME", "ORDERNO",
                     "STATUS", "REASON", "RETURNBY", "RECEIVEDDATE", "ACTION", "CREDITAMOUNT"});
        std::vector<size_t> order(plan_.rmas.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::sort(order.begin(), order.end(),
                  [&](size_t a, size_t b) { return plan_.rmas[a].number < plan_.rmas[b].number; });
        for (size_t i : order) {
            const RmaPlan& m = plan_.rmas[i];
            w.add({whole(m.number), date(m.date), userId(m.user), customerName(m.customer),
                   text(contactName(m.customer, m.contact)), whole(orderNumber(m.order)), m.status,
                   m.reason, date(m.returnBy), date(m.received), m.action, money(m.credit)});
        }
        done(w);
        TableWriter lines =
            table("RMA ITEMS", {"RMANO", "LINENO", "ITEMID", "PRODUCTCODE", "DESCRIPTION",
                                "SERIALNO", "QUANTITY", "FAULT", "RECEIVED", "RESOLUTION"});
        for (size_t i : order) {
            const RmaPlan& m = plan_.rmas[i];
            const ItemPlan* item = m.item >= 0 ? &plan_.items[size_t(m.item)] : nullptr;
            lines.add({whole(m.number), shortWhole(1), item ? Variant(item->id) : Variant(),
                       products()[size_t(m.product)].code,
                       products()[size_t(m.product)].description,
                       item ? Variant(item->serial) : Variant(), number(1), m.fault,
                       flag(m.received.isSet()), text(m.resolution)});
        }
        done(lines);
    }

    void writeFeedbackAndPlans() {
        TableWriter w =
            table("CUSTOMER FEEDBACK", {"CUSTOMER NAME", "DATETIME", "FEEDBACKTYPE", "CONTACT NAME",
                                        "USER ID", "PRODUCTCODE", "SUMMARY", "DETAILS", "RATING",
                                        "FOLLOWUP", "RESPONSE", "RESOLVEDDATE"});
        for (const FeedbackPlan& f : plan_.feedback) {
            w.add({customerName(f.customer), date(f.when), f.type,
                   text(contactName(f.customer, f.contact)), userId(f.user),
                   f.product >= 0 ? Variant(products()[size_t(f.product)].code) : Variant(),
                   f.summary, f.details, shortWhole(f.rating), flag(f.followUp), text(f.response),
                   date(f.resolved)});
        }
        done(w);
        TableWriter s = table("CUSTOMER CARE PLAN STATUS",
                              {"CUSTOMER NAME", "PLAN NAME", "STARTDATE", "CONTACT NAME", "USER ID",
                               "LASTSTEP", "NEXTSTEPDATE", "STATUS", "COMPLETEDDATE"});
        for (const CarePlanStatusPlan& p : plan_.carePlans) {
            s.add({customerName(p.customer), carePlans()[size_t(p.plan)].name, date(p.start),
                   text(contactName(p.customer, p.contact)), userId(p.user), shortWhole(p.lastStep),
                   date(p.nextStep), p.status, date(p.completed)});
        }
        done(s);
    }

    void writeScriptRuns() {
        const CallScript& script = callScript();
        TableWriter runs = table("SCRIPTS HISTORY", {"CUSTOMER NAME", "SCRIPT NAME", "STARTED",
                                                     "USER ID", "CONTACT NAME"});
        for (const ScriptRunPlan& r : plan_.scriptRuns) {
            runs.add({customerName(r.customer), script.name, date(r.started), userId(r.user),
                      text(contactName(r.customer, r.contact))});
        }
        done(runs);
        TableWriter answers =
            table("SCRIPTS HISTORY DETAIL",
                  {"CUSTOMER NAME", "SCRIPT NAME", "STARTED", "SCRIPT BRANCH ID", "RESPONSE"});
        for (const ScriptRunPlan& r : plan_.scriptRuns) {
            for (size_t k = 0; k < r.answers.size(); ++k) {
                answers.add({customerName(r.customer), script.name, date(r.started),
                             whole(long(k) + 1), r.answers[k]});
            }
        }
        done(answers);
    }

    // Each counter holds the last number handed out, so the next document follows on.
    void writeCounters() {
        auto highest = [](const auto& docs, auto number) {
            long top = 0;
            for (const auto& d : docs) top = std::max<long>(top, number(d));
            return top;
        };
        const std::map<QString, long> last = {
            {"Quotations",
             highest(plan_.quotations, [](const DocumentPlan& d) { return d.number; })},
            {"Sales Orders", highest(plan_.orders, [](const DocumentPlan& d) { return d.number; })},
            {"Purchase Orders",
             highest(plan_.purchases, [](const DocumentPlan& d) { return d.number; })},
            {"Current Requests",
             highest(plan_.requests, [](const RequestPlan& q) { return q.number; })},
            {"RMAs", highest(plan_.rmas, [](const RmaPlan& m) { return m.number; })},
            {"Known Problems", long(knownProblems_)},
        };
        engine::Recordset rs =
            data_.OpenRecordset(QStringLiteral("Counters"), engine::RecordsetType::Table);
        rs.SetIndex(QStringLiteral("PrimaryKey"));
        long rows = 0;
        for (const auto& [name, number] : last) {
            rs.Seek(QStringLiteral("="), Variant(name));
            if (rs.NoMatch()) {
                rs.AddNew();
                rs.FieldAt(0).SetValue(Variant(name));
            } else {
                rs.Edit();
            }
            rs.FieldAt(1).SetValue(whole(number));
            rs.Update();
            ++rows;
        }
        rs.Close();
        counts_.push_back(TableCount{QStringLiteral("Data.mdb"), QStringLiteral("Counters"), rows});
        if (progress_) progress_(QStringLiteral("Data.mdb: Counters, %1 rows set").arg(rows));
    }

    void writeMail() {
        TableWriter w(
            messages_, QStringLiteral("Messages.mdb"), QStringLiteral("INBOX"),
            {"RECEIVED", "TONAME", "TOADDRESS", "USERID", "FROMNAME", "COMPANY", "FROMADDRESS",
             "SENTVIA", "SUBJECT", "MESSAGETEXT", "HASATTACHMENTS", "STATUS"});
        for (const MailPlan& m : plan_.mail) {
            const StaffMember& from = staff()[size_t(m.from)];
            const StaffMember& to = staff()[size_t(m.to)];
            w.add({date(m.when), to.name, "Local", to.id, from.name, customerName(m.customer),
                   from.id, "Local", m.subject.left(255), m.text, flag(false),
                   m.read ? QStringLiteral("Read") : QStringLiteral("Unread")});
        }
        done(w);
    }

    const CompanyPlan& plan_;
    Database& data_;
    Database& messages_;
    const WriteProgress& progress_;
    std::vector<TableCount> counts_;
    std::vector<std::vector<LinePlan>> invoiceLines_;
    int knownProblems_ = 0;
    QElapsedTimer clock_;
};

}  // namespace

std::vector<TableCount> writeCompany(const CompanyPlan& plan, engine::Database& data,
                                     engine::Database& messages, const WriteProgress& progress) {
    return Writer(plan, data, messages, progress).run();
}

}  // namespace tv::data::demo
