// Planning customers, their contacts and opportunities, and the dates a customer's
// window shows from its history.
#include "demo/planner.h"

#include <algorithm>

namespace tv::demo {
namespace {

// Letters and digits of a name, lower case, without accents: for e-mail addresses.
QString mailWord(const QString& text) {
    QString out;
    for (QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.unicode() < 128 && c.isLetterOrNumber()) out += c.toLower();
    }
    return out;
}

QString phoneAt(Random& r, const Place& place) {
    if (place.country != QLatin1String("Australia"))
        return place.areaCode + ' ' + digits(r, 3) + ' ' + digits(r, 4);
    return place.areaCode + ' ' + QString::number(r.between(5, 9)) + digits(r, 3) + ' ' +
           digits(r, 4);
}

QString mobile(Random& r) { return "04" + digits(r, 2) + ' ' + digits(r, 3) + ' ' + digits(r, 3); }

}  // namespace

void Planner::planCustomers() {
    const int count = plan_.scale * kCustomersPerScale;
    QSet<QString> taken;
    auto& customers = plan_.customers;
    customers.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        Random r(seed_, 1'000'000ULL + static_cast<std::uint64_t>(i));
        CustomerPlan c;
        c.origin = i;
        if (i < int(v_.showcase.size())) {
            const Showcase& s = v_.showcase[size_t(i)];
            c.industry = s.industry;
            c.place = s.place;
            c.name = s.name;
        } else {
            c.industry = r.below(int(v_.industries.size()));
            c.place = r.weighted(placeWeights_);
            c.name = uniqueFirmName(r, c, taken);
        }
        taken.insert(c.name.toLower());
        customers.push_back(std::move(c));
    }
    // Names in key order, so every related table is written in key order too.
    std::sort(customers.begin(), customers.end(), [](const CustomerPlan& a, const CustomerPlan& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
}

// A firm's name as such firms are called; "Pty Ltd" on some.
QString Planner::firmName(Random& r, const Industry& industry, const Place& place) const {
    const QString word = r.pick(industry.businessWords);
    QString name;
    switch (r.weighted({34, 10, 22, 14, 10, 10})) {
        case 0: {
            const QString a = r.pick(v_.surnames);
            QString b = r.pick(v_.surnames);
            if (b == a) b = r.pick(v_.surnames);
            name = a + " & " + b + ' ' + word;
            break;
        }
        case 1:
            name = place.suburb + ' ' + word;
            break;
        case 2:
            name = r.pick(v_.surnames) + ' ' + word;
            break;
        case 3:
            name = r.pick(v_.brandWords) + ' ' + word;
            break;
        case 4:
            name = r.pick(v_.surnames) + "'s " + word;
            break;
        default:
            name = r.pick(v_.firstNames).name + ' ' + r.pick(v_.surnames) + ' ' + word;
            break;
    }
    const int suffix = r.weighted({70, 18, 5, 4, 3});
    static const char* const suffixes[] = {"", " Pty Ltd", " Group", " & Associates", " & Co"};
    return name + QLatin1String(suffixes[suffix]);
}

QString Planner::uniqueFirmName(Random& r, const CustomerPlan& c,
                                const QSet<QString>& taken) const {
    const Industry& industry = v_.industries[size_t(c.industry)];
    const Place& place = v_.places[size_t(c.place)];
    for (int attempt = 0; attempt < 6; ++attempt) {
        const QString name = firmName(r, industry, place);
        if (name.size() <= 60 && !taken.contains(name.toLower())) return name;
    }
    // A branch of a firm of the same name elsewhere.
    for (int n = 2;; ++n) {
        QString base = firmName(r, industry, place).left(45);
        const QString name =
            base + " (" + place.suburb + (n > 2 ? " " + QString::number(n) : QString()) + ')';
        if (name.size() <= 60 && !taken.contains(name.toLower())) return name;
    }
}

QString Planner::personName(Random& r, bool* female) const {
    const FirstName& first = r.pick(v_.firstNames);
    if (female) *female = first.female;
    return first.name + ' ' + r.pick(v_.surnames);
}

QString Planner::streetAddress(Random& r) const {
    QString street = QString::number(r.between(1, 320)) + ' ' + r.pick(v_.streetNames) + ' ' +
                     r.pick(v_.streetTypes);
    switch (r.weighted({60, 20, 12, 8})) {
        case 1:
            return "Level " + QString::number(r.between(1, 24)) + ", " + street;
        case 2:
            return "Unit " + QString::number(r.between(1, 40)) + ", " + street;
        case 3:
            return "Suite " + QString::number(r.between(101, 950)) + ", " + street;
        default:
            return street;
    }
}

void Planner::describeCustomer(Random& r, CustomerPlan& c, const Place& place) const {
    c.street = streetAddress(r);
    c.postalStreet = r.chance(0.2) ? "PO Box " + QString::number(r.between(10, 2999)) : c.street;
    c.phone = phoneAt(r, place);
    c.fax = r.chance(0.4) ? phoneAt(r, place) : QString();
    QString domain = mailWord(c.name.section(' ', 0, 1)).left(24);
    if (domain.isEmpty()) domain = "customer" + QString::number(c.origin);
    domain += place.country == QLatin1String("Australia") ? ".com.au" : ".co.nz";
    c.web = r.chance(0.75) ? "www." + domain : QString();
    c.email = (r.chance(0.5) ? "info@" : r.chance(0.5) ? "office@" : "admin@") + domain;
    c.rep = r.pick(sales_);
    c.accountNo = QStringLiteral("AC%1").arg(100001 + c.origin);
    c.territory = place.territory;
    if (r.chance(0.04)) c.territory = QStringLiteral("National Accounts");
    if (r.chance(0.3)) c.referredBy = r.pick(v_.referralSources);
    if (r.chance(0.15)) c.comments = r.pick(v_.customerNotes);
}

void Planner::planContacts(Random& r, CustomerPlan& c, const Place& place) const {
    const int count = 1 + r.weighted({30, 35, 25, 10});
    QStringList used;
    for (int i = 0; i < count; ++i) {
        ContactPlan p;
        bool female = false;
        do {
            p.name = personName(r, &female);
        } while (used.contains(p.name, Qt::CaseInsensitive));
        used << p.name;
        // The first contact is the owner or the decision maker.
        const RoleTitles& role =
            v_.roles[size_t(i == 0 ? r.below(2) : r.below(int(v_.roles.size())))];
        p.role = role.role;
        p.title = r.pick(role.titles);
        p.honorific = r.chance(0.06) ? QStringLiteral("Dr")
                      : female ? (r.chance(0.7) ? QStringLiteral("Ms") : QStringLiteral("Mrs"))
                               : QStringLiteral("Mr");
        p.phone = r.chance(0.5) ? c.phone : phoneAt(r, place);
        if (r.chance(0.2)) p.home = phoneAt(r, place);
        if (r.chance(0.7)) p.mobile = mobile(r);
        if (r.chance(0.15)) p.fax = c.fax;
        const QString first = mailWord(p.name.section(' ', 0, 0));
        const QString last = mailWord(p.name.section(' ', 1));
        p.email = first + '.' + last + c.email.mid(c.email.indexOf('@'));
        if (r.chance(0.3)) {
            p.birthday = dateOf(dayNumber(QDate(2001, 1, 1)) + r.below(365)).toString("dd MMM");
        }
        if (r.chance(0.15)) {
            p.spouse = r.pick(v_.firstNames).name;
            p.spouseBirthday.day = dayNumber(QDate(1960 + r.below(35), 1, 1)) + r.below(365);
        }
        if (r.chance(0.1))
            p.children = r.pick(v_.firstNames).name + " and " + r.pick(v_.firstNames).name;
        if (r.chance(0.2)) p.interests = r.pick(v_.interests);
        c.contacts.push_back(std::move(p));
    }
}

void Planner::planOpportunities(Random& r, int index, int since) {
    if (!r.chance(0.35)) return;
    CustomerPlan& c = customer(index);
    const int count = r.between(1, 2);
    std::vector<long> keys;
    for (int i = 0; i < count; ++i) {
        OpportunityPlan o;
        o.identified = claim(keys, businessMoment(r, std::max(since, today() - 365), today() - 1));
        o.rep = c.rep;
        o.contact = pickContact(r, c);
        const int m = r.pick(machines_);
        o.description = r.pick(v_.opportunityIdeas);
        if (o.description.contains(QLatin1String("%1")))
            o.description = o.description.arg(product(m).description.section(',', 0, 0));
        o.value = 50.0 * r.between(10, 800);
        o.saleMonth = dateOf(o.identified.day).addMonths(r.between(1, 6)).month();
        const int status = r.weighted({20, 20, 20, 15, 15, 10});
        o.status = QStringList{"Prospect",    "Qualified", "Proposal Sent",
                               "Negotiation", "Won",       "Lost"}[status];
        static const int low[] = {10, 30, 50, 70, 100, 0};
        static const int high[] = {20, 50, 70, 90, 100, 0};
        o.probability = r.between(low[status], high[status]) / 5 * 5;
        o.competition = r.pick(v_.competitors);
        o.leadSource = r.pick(v_.referralSources);
        c.opportunities.push_back(o);
    }
    std::sort(c.opportunities.begin(), c.opportunities.end(),
              [](const OpportunityPlan& a, const OpportunityPlan& b) {
                  return a.identified < b.identified;
              });
}

// The first, last and next dates of the customer and its contacts follow its activities;
// its relationship follows its orders and contracts.
void Planner::settleDates(CustomerPlan& c, int since) const {
    c.first = Moment{since, 0};
    for (const ActivityPlan& a : c.activities) {
        c.first = std::min(c.first, Moment{a.when.day, 0});
        c.last = std::max(c.last, Moment{a.when.day, 0});
        if (a.contact >= 0) {
            ContactPlan& p = c.contacts[size_t(a.contact)];
            if (!p.first.isSet() || a.when.day < p.first.day) p.first = Moment{a.when.day, 0};
            p.last = std::max(p.last, Moment{a.when.day, 0});
        }
    }
    for (const ScheduledPlan& s : c.scheduled) {
        if (s.when.day < today()) continue;
        if (!c.next.isSet() || s.when.day < c.next.day) c.next = Moment{s.when.day, 0};
        if (s.contact >= 0) {
            ContactPlan& p = c.contacts[size_t(s.contact)];
            if (!p.next.isSet() || s.when.day < p.next.day) p.next = Moment{s.when.day, 0};
        }
    }
    for (ContactPlan& p : c.contacts)
        if (!p.first.isSet()) p.first = c.first;
    const bool ordered = plan_.orders.size() > firstOrder_;
    bool contract = false;
    for (size_t i = firstContract_; i < plan_.contracts.size(); ++i)
        contract = contract || plan_.contracts[i].expiry.day >= today();
    if (contract)
        c.relationship = QStringLiteral("Key Account");
    else if (!ordered)
        c.relationship = QStringLiteral("Prospect");
    else if (c.last.isSet() && c.last.day < today() - 365)
        c.relationship = QStringLiteral("Former Customer");
    else
        c.relationship = QStringLiteral("Customer");
    for (const ActivityPlan& a : c.activities)
        if (a.campaign >= 0) {
            c.campaign = a.campaign;
            break;
        }
}

}  // namespace tv::demo
