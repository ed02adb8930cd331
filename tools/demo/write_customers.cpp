// Writing customers, their contacts, logged and scheduled activities and opportunities,
// in customer order (the plan keeps customers in name order).
#include "demo/company_writer.h"

namespace tv::demo {

void CompanyWriter::writeCustomers() {
    TableWriter w =
        table("CUSTOMERS",
              {"CUSTOMER NAME",  "POSTALSTREET", "POSTALCITY",    "POSTALSTATE",   "POSTALCODE",
               "DELIVERYSTREET", "DELIVERYCITY", "DELIVERYSTATE", "DELIVERYCODE",  "COUNTRY",
               "TELEPHONENO",    "FAXNO",        "INTERNETURL",   "EMAIL ADDRESS", "INDUSTRY CODE",
               "TERRITORY",      "SALES REP ID", "CAMPAIGN",      "RELATIONSHIP",  "TIME ZONE",
               "FIRSTDATE",      "LASTDATE",     "NEXTDATE",      "ACCOUNTNO",     "REFERREDBY",
               "COMMENTS"});
    for (const CustomerPlan& c : plan_.customers) {
        const Place& p = v_.places[size_t(c.place)];
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
               v_.industries[size_t(c.industry)].code,
               c.territory,
               userId(c.rep),
               text(campaignName(c.campaign)),
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

void CompanyWriter::writeContacts() {
    TableWriter w =
        table("CONTACTS",
              {"CUSTOMER NAME", "CONTACT NAME",   "TITLE",         "BUSINESS PHONE", "HOME PHONE",
               "MOBILE PHONE",  "FAXNO",          "EMAIL ADDRESS", "ROLE",           "TIME ZONE",
               "HONORIFIC",     "SALUTATION",     "STREET",        "CITY",           "STATE",
               "POSTCODE",      "FIRSTCONTACT",   "LASTCONTACT",   "NEXTCONTACT",    "BIRTHDAY",
               "SPOUSENAME",    "SPOUSEBIRTHDAY", "CHILDREN",      "INTERESTS",      "COMMENTS"});
    for (const CustomerPlan& c : plan_.customers) {
        const Place& place = v_.places[size_t(c.place)];
        // Key order within the customer: by contact name, ignoring case.
        const auto order = orderBy(c.contacts, [](const ContactPlan& a, const ContactPlan& b) {
            return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
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

// Billable and meeting time is costed at the company's own rate of 45 an hour.
void CompanyWriter::writeActivities() {
    TableWriter w =
        table("ACTIVITIES",
              {"CUSTOMER NAME", "DATETIME", "ACTIVITY TYPE", "DESCRIPTION", "SALES REP ID",
               "CONTACT NAME", "CAMPAIGN", "SALESPLAN", "DURATION", "RESULT CODE", "COST",
               "LETTERID", "NOTES", "SOURCEDOCTYPE", "SOURCEDOCID", "BILLABLE", "INVOICENO"});
    long written = 0;
    for (size_t ci = 0; ci < plan_.customers.size(); ++ci) {
        const CustomerPlan& c = plan_.customers[ci];
        for (const ActivityPlan& a : c.activities) {
            const double hours = a.duration / 60.0;
            const bool costed = a.billable || activityTypes()[a.type] == QLatin1String("Meeting");
            const QString project = a.project >= 0 ? plan_.projects[size_t(a.project)].name : "";
            w.add({c.name, date(a.when), activityTypes()[a.type], activityDescription(a),
                   userId(a.user), text(contactName(int(ci), a.contact)),
                   text(campaignName(a.campaign)), Variant(), number(a.duration),
                   a.result >= 0 ? Variant(callResults()[size_t(a.result)]) : Variant(),
                   costed ? money(hours * 45.0) : Variant(),
                   a.letter >= 0 ? Variant(v_.formLetters[size_t(a.letter)].id) : Variant(),
                   Variant(), project.isEmpty() ? Variant() : Variant("project"), text(project),
                   flag(a.billable), wholeOrNull(orderNumber(a.invoice))});
            if (++written % 200000 == 0 && progress_)
                progress_(QStringLiteral("Data.mdb: ACTIVITIES, %1 rows so far").arg(written));
        }
    }
    done(w);
}

void CompanyWriter::writeScheduled() {
    TableWriter w =
        table("SCHEDULED ACTIVITIES",
              {"CUSTOMER NAME", "SCHEDDATETIME", "ACTIVITY TYPE", "DESCRIPTION", "USER ID",
               "CONTACT NAME", "DURATION", "SOURCEDOCTYPE", "SOURCEDOCID", "BILLABLE"});
    for (size_t ci = 0; ci < plan_.customers.size(); ++ci) {
        const CustomerPlan& c = plan_.customers[ci];
        for (const ScheduledPlan& s : c.scheduled) {
            const QString project = s.project >= 0 ? plan_.projects[size_t(s.project)].name : "";
            w.add({c.name, date(s.when), activityTypes()[s.type],
                   topicText(s.type, s.topic, s.product, s.project), userId(s.user),
                   text(contactName(int(ci), s.contact)), number(s.duration),
                   project.isEmpty() ? Variant() : Variant("project"), text(project),
                   flag(s.billable)});
        }
    }
    done(w);
}

void CompanyWriter::writeOpportunities() {
    TableWriter w =
        table("SALES OPPORTUNITIES",
              {"CUSTOMER NAME", "IDENTIFIED", "SALES REP ID", "CONTACT NAME", "DESCRIPTION",
               "SALESVALUE", "SALEMONTH", "PROBABILITY", "STATUS", "COMPETITION", "LEADSOURCE"});
    for (size_t ci = 0; ci < plan_.customers.size(); ++ci) {
        const CustomerPlan& c = plan_.customers[ci];
        for (const OpportunityPlan& o : c.opportunities) {
            w.add({c.name, date(o.identified), userId(o.rep), text(contactName(int(ci), o.contact)),
                   o.description, money(o.value), QDate(2001, o.saleMonth, 1).toString("MMMM"),
                   shortWhole(o.probability), o.status, o.competition, o.leadSource});
        }
    }
    done(w);
}

}  // namespace tv::demo
