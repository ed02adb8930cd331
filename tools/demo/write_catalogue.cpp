// Writing the staff and what the company sells and sends: users and their rights,
// suppliers, products, campaigns, form letters, care plans, the call script and the known
// problems.
#include "demo/company_writer.h"

#include "data/user_rights.h"

#include <stdexcept>

namespace tv::demo {

namespace {

// A password as the program stores it: its hash.
Variant storedPassword(const QString& password) {
    const std::optional<QString> hash = data::hashPassword(password);
    if (!hash) throw std::runtime_error("a staff password could not be hashed");
    return Variant(*hash);
}

}  // namespace

void CompanyWriter::writeUsers() {
    TableWriter w = table("System Users", {"USERID", "USERNAME", "TITLE", "WORKNO", "MOBILENO",
                                           "EMAIL ADDRESS", "COMMENTS", "PASSWORD", "ADMINISTRATOR",
                                           "CHARGERATE", "WORKFLOW", "BILLINGACCESS"});
    for (const StaffMember& s : v_.staff) {
        if (s.duty == Duty::Administrator) continue;  // shipped with every database
        const QString mail = s.name.section(' ', 0, 0).toLower() + '.' +
                             QString(s.name.section(' ', 1)).remove('\'').toLower() +
                             "@harbourside-office.com.au";
        const QString comments =
            s.workflow
                ? QStringLiteral("Works in workflow mode: sees only the rows assigned to him.")
                : QString();
        w.add({s.id, s.name, s.title, text(s.workPhone), text(s.mobile), mail, text(comments),
               storedPassword(s.id.toLower()), flag(s.administrator), money(s.chargeRate), flag(s.workflow),
               flag(s.billing)});
    }
    done(w);
}

// Service staff may look at sales documents but not change them.
void CompanyWriter::writeUserAccess() {
    TableWriter w = table("System User Access", {"USERID", "TABLENAME", "ACCESSLEVEL"});
    for (const StaffMember& s : v_.staff) {
        if (s.duty != Duty::Service) continue;
        for (const char* t : {"Quotations", "Sales Orders", "Sales Opportunities"})
            w.add({s.id, QString::fromUtf8(t), shortWhole(1)});
    }
    done(w);
}

void CompanyWriter::writeSuppliers() {
    TableWriter w =
        table("SUPPLIERS", {"SUPPLIER NAME", "ACCOUNTNO", "STREET", "CITY", "STATE", "POSTCODE",
                            "COUNTRY", "TELEPHONENO", "FAXNO", "EMAIL ADDRESS", "INTERNETURL",
                            "CONTACT NAME", "PAYMENTTERMS"});
    for (const Supplier& s : v_.suppliers) {
        w.add({s.name, s.account, s.street, s.city, s.state, s.postcode, "Australia", s.phone,
               s.fax, s.email, s.web, s.contact, s.terms});
    }
    done(w);
}

// Products with stock on hand; every third toner is on special this month (a special
// price current on the day).
void CompanyWriter::writeProducts() {
    TableWriter w =
        table("PRODUCTS", {"PRODUCTCODE", "CATEGORY", "DESCRIPTION", "UNITPRICE", "SPECIALPRICE",
                           "SPECIALSTART", "SPECIALEND", "UNIT", "TAXRATE", "SUPPLIER NAME",
                           "SUPPLIERCODE", "COSTPRICE", "CUSTOMERINVENTORY", "WARRANTYMONTHS",
                           "QUANTITYONHAND", "REORDERLEVEL", "DISCONTINUED", "NOTES"});
    const int today = plan_.today.day;
    int n = 0;
    for (const ProductInfo& p : v_.products) {
        const bool machine = p.kind == ProductKind::Machine;
        const bool stocked = p.kind != ProductKind::Service;
        const bool special = p.category == QLatin1String("Toner") && n % 3 == 0;
        w.add({p.code, p.category, p.description, money(p.price),
               special ? money(p.price * 0.9) : Variant(),
               special ? date(Moment{today - 10, 0}) : Variant(),
               special ? date(Moment{today + 20, 0}) : Variant(), p.unit, number(10),
               v_.suppliers[size_t(p.supplier)].name, p.code + "-" + QString::number(1000 + n),
               money(p.cost), flag(machine),
               p.warrantyMonths > 0 ? shortWhole(p.warrantyMonths) : Variant(),
               stocked ? number(machine ? 2 + n % 4 : 20 + (n * 7) % 60) : Variant(),
               stocked ? number(machine ? 1 : 10) : Variant(), flag(p.discontinued),
               text(p.discontinued ? QStringLiteral("No longer made; sold while stock lasts.")
                                   : QString())});
        ++n;
    }
    done(w);
}

void CompanyWriter::writeCampaigns() {
    TableWriter w =
        table("SALES CAMPAIGNS", {"CAMPAIGN", "DESCRIPTION", "STARTDATE", "ENDDATE", "USER ID",
                                  "BUDGET", "ACTUALCOST", "TARGETREVENUE", "STATUS"});
    const int today = plan_.today.day;
    for (const Campaign& c : v_.campaigns) {
        const int start = today - c.startDaysAgo;
        const int end = start + c.lengthDays;
        w.add({c.name, c.description, date(Moment{start, 0}), date(Moment{end, 0}),
               userWithJob("sales manager"), money(c.budget),
               money(end < today ? c.budget * 0.93 : c.budget * 0.4), money(c.targetRevenue),
               end < today ? QStringLiteral("Completed") : QStringLiteral("Active")});
    }
    done(w);
}

void CompanyWriter::writeFormLetters() {
    TableWriter w = table(
        "FORM LETTERS", {"LETTERID", "CATEGORY", "DESCRIPTION", "FILENAME", "SAVED", "LETTERTEXT"});
    for (const FormLetter& l : v_.formLetters)
        w.add({l.id, l.category, l.description, Variant(), flag(true), l.text});
    done(w);
}

void CompanyWriter::writeCarePlans() {
    TableWriter w =
        table("CUSTOMER CARE PLANS", {"PLAN NAME", "DESCRIPTION", "CAMPAIGN", "USER ID", "ACTIVE"});
    for (const CarePlan& p : v_.carePlans)
        w.add({p.name, p.description, text(p.campaign), userWithJob("sales manager"), flag(true)});
    done(w);
}

void CompanyWriter::writeCarePlanSteps() {
    TableWriter w =
        table("CUSTOMER CARE PLAN STEPS", {"PLAN NAME", "STEPNO", "DAYOFFSET", "ACTIVITY TYPE",
                                           "DESCRIPTION", "DURATION", "LETTERID"});
    for (const CarePlan& p : v_.carePlans) {
        int no = 0;
        for (const CarePlanStep& s : p.steps) {
            w.add({p.name, shortWhole(++no), shortWhole(s.dayOffset), s.activityType, s.description,
                   number(s.duration),
                   s.letter >= 0 ? Variant(v_.formLetters[size_t(s.letter)].id) : Variant()});
        }
    }
    done(w);
}

void CompanyWriter::writeScripts() {
    const CallScript& script = v_.callScript;
    TableWriter w = table("SCRIPTS", {"SCRIPT NAME", "DESCRIPTION", "CAMPAIGN", "ENDMESSAGE"});
    w.add({script.name, script.description, script.campaign, script.endMessage});
    done(w);
}

// A step's responses and branches are kept as tab-ended lists.
void CompanyWriter::writeScriptSteps() {
    const CallScript& script = v_.callScript;
    TableWriter w = table("SCRIPTS DETAIL", {"SCRIPT NAME", "SCRIPT BRANCH ID", "PROMPT",
                                             "RESPONSE TYPE", "RESPONSE STRING", "BRANCH STRING"});
    int id = 0;
    for (const ScriptStep& s : script.steps) {
        QString responses, branches;
        for (const QString& r : s.responses) responses += r + '\t';
        for (int b : s.branches) branches += QString::number(b) + '\t';
        w.add({script.name, whole(++id), s.prompt, shortWhole(s.responseType), text(responses),
               text(branches)});
    }
    done(w);
}

void CompanyWriter::writeKnownProblems() {
    TableWriter w = table("KNOWN PROBLEMS",
                          {"PROBLEMNO", "REPORTED", "PRODUCTCODE", "SUMMARY", "SYMPTOMS", "CAUSE",
                           "WORKAROUND", "RESOLUTION", "STATUS", "USER ID", "RESOLVEDDATE"});
    int no = 0;
    for (const KnownProblem& p : v_.knownProblems) {
        const Moment reported{plan_.today.day - p.daysAgo, 600};
        w.add({whole(++no), date(reported), p.product, p.summary, p.symptoms, text(p.cause),
               text(p.workaround), text(p.resolution),
               p.resolved ? QStringLiteral("Resolved") : QStringLiteral("Open"),
               userWithJob("service manager"),
               p.resolved ? date(Moment{reported.day + 21, 0}) : Variant()});
    }
    done(w);
}

}  // namespace tv::demo
