// Planning the demo company. Customers are drawn first and put in name order; then each
// customer's history is drawn from its own random stream (so one customer's history does
// not depend on how many others there are); then documents of each kind are numbered in
// date order, as a business numbers them over the years.
#include "data/demo_plan.h"

#include "data/demo_random.h"
#include "data/demo_vocabulary.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace tv::data::demo {
namespace {

constexpr int kDaysOfHistory = 730;
constexpr int kBillingLagDays = 45;  // work older than this has been invoiced
constexpr int kCustomersPerScale = 1000;
const QDate kDayZero(1899, 12, 30);

double cents(double amount) { return std::round(amount * 100.0) / 100.0; }

int weekday(int day) { return (day + 5) % 7 + 1; }  // 1 Monday .. 7 Sunday
int nextWorkday(int day) {
    while (weekday(day) > 5) ++day;
    return day;
}
// The first workday from `day`, but no later than `last` (then the last workday before it).
int workdayUpTo(int day, int last) {
    day = nextWorkday(day);
    if (day <= last) return day;
    day = last;
    while (weekday(day) > 5) --day;
    return day;
}

// A moment in business hours on a workday between two days (both included).
Moment businessMoment(Random& r, int fromDay, int toDay, int firstHour = 8, int lastHour = 17) {
    Moment m;
    m.day = nextWorkday(r.between(fromDay, std::max(fromDay, toDay)));
    if (m.day > toDay) {
        // The range ends on a weekend: the last workday in it, if it has one.
        m.day = toDay;
        while (weekday(m.day) > 5 && m.day > fromDay) --m.day;
    }

    m.minute = r.between(firstHour * 12, lastHour * 12) * 5;
    return m;
}

Moment plusMinutes(Moment m, long minutes) {
    const long key = m.key() + minutes;
    return Moment{static_cast<int>(key / 1440), static_cast<int>(key % 1440)};
}

double hoursBetween(Moment a, Moment b) { return cents(double(b.key() - a.key()) / 60.0); }

// Keys of a customer's table whose key is (customer, moment) must differ: a taken moment
// moves on by five minutes until it is free.
Moment claim(std::vector<long>& taken, Moment m) {
    while (std::find(taken.begin(), taken.end(), m.key()) != taken.end()) m = plusMinutes(m, 5);
    taken.push_back(m.key());
    return m;
}

int staffIndex(const QString& id) {
    const auto& all = staff();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].id == id) return static_cast<int>(i);
    return 0;
}

std::vector<int> staffWith(Duty duty) {
    std::vector<int> found;
    const auto& all = staff();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].duty == duty) found.push_back(static_cast<int>(i));
    return found;
}

std::vector<int> productsOf(ProductKind kind, bool includeDiscontinued = false) {
    std::vector<int> found;
    const auto& all = products();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].kind == kind && (includeDiscontinued || !all[i].discontinued))
            found.push_back(static_cast<int>(i));
    return found;
}

int productIndex(const QString& code) {
    const auto& all = products();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].code == code) return static_cast<int>(i);
    return 0;
}

int activityType(const QString& code) {
    const auto& all = activityTypes();
    return static_cast<int>(std::find(all.begin(), all.end(), code) - all.begin());
}

// Letters and digits of a name, lower case, without accents: for e-mail addresses.
QString mailWord(const QString& text) {
    QString out;
    for (QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.unicode() < 128 && c.isLetterOrNumber()) out += c.toLower();
    }
    return out;
}

QString digits(Random& r, int count) {
    QString out;
    for (int i = 0; i < count; ++i) out += QChar('0' + r.below(10));
    return out;
}

QString phoneAt(Random& r, const Place& place) {
    if (place.country != QLatin1String("Australia"))
        return place.areaCode + ' ' + digits(r, 3) + ' ' + digits(r, 4);
    return place.areaCode + ' ' + QString::number(r.between(5, 9)) + digits(r, 3) + ' ' +
           digits(r, 4);
}

QString mobile(Random& r) { return "04" + digits(r, 2) + ' ' + digits(r, 3) + ' ' + digits(r, 3); }

QString streetAddress(Random& r) {
    QString street = QString::number(r.between(1, 320)) + ' ' + r.pick(streetNames()) + ' ' +
                     r.pick(streetTypes());
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

// A firm's name as such firms are called; "Pty Ltd" on some.
QString firmName(Random& r, const Industry& industry, const Place& place) {
    const QString word = r.pick(industry.businessWords);
    QString name;
    switch (r.weighted({34, 10, 22, 14, 10, 10})) {
        case 0: {
            const QString a = r.pick(surnames());
            QString b = r.pick(surnames());
            if (b == a) b = r.pick(surnames());
            name = a + " & " + b + ' ' + word;
            break;
        }
        case 1:
            name = place.suburb + ' ' + word;
            break;
        case 2:
            name = r.pick(surnames()) + ' ' + word;
            break;
        case 3:
            name = r.pick(brandWords()) + ' ' + word;
            break;
        case 4:
            name = r.pick(surnames()) + "'s " + word;
            break;
        default:
            name = r.pick(firstNames()).name + ' ' + r.pick(surnames()) + ' ' + word;
            break;
    }
    const int suffix = r.weighted({70, 18, 5, 4, 3});
    static const char* const suffixes[] = {"", " Pty Ltd", " Group", " & Associates", " & Co"};
    return name + QLatin1String(suffixes[suffix]);
}

// Fixed first customers: the names people try first when they test quoting and searching.
struct Showcase {
    const char* name;
    int industry;
    int place;
};
const Showcase kShowcase[] = {
    {"O'Brien Plumbing & Gas", 1, 9},
    {"Smith & Jones Lawyers", 6, 0},
    {"D'Arcy's Café", 5, 1},
    {"Harbourside Dental", 4, 4},
};

QString personName(Random& r, bool* female = nullptr) {
    const FirstName& first = r.pick(firstNames());
    if (female) *female = first.female;
    return first.name + ' ' + r.pick(surnames());
}

// ---------------------------------------------------------------------------------------

class Planner {
public:
    Planner(std::uint64_t seed, int scale, const QDate& today) : seed_(seed) {
        plan_.scale = std::max(1, scale);
        plan_.today = Moment{dayNumber(today), 0};
        sales_ = staffWith(Duty::Sales);
        service_ = staffWith(Duty::Service);
        machines_ = productsOf(ProductKind::Machine);
        // What calls, visits and training are about: the machines that print and copy.
        for (int m : machines_) {
            const QString& category = products()[size_t(m)].category;
            if (category == QLatin1String("Copiers") || category == QLatin1String("Printers"))
                printers_.push_back(m);
        }
        oldMachines_ = productsOf(ProductKind::Machine, true);
        consumables_ = productsOf(ProductKind::Consumable);
        parts_ = productsOf(ProductKind::Part);
        accessories_ = productsOf(ProductKind::Accessory);
        office_ = staffIndex("jlee");
    }

    CompanyPlan run() {
        planCustomers();
        for (size_t c = 0; c < plan_.customers.size(); ++c) planHistory(static_cast<int>(c));
        planPurchases();
        planMail();
        numberDocuments();
        return std::move(plan_);
    }

private:
    int today() const { return plan_.today.day; }
    int historyStart() const { return today() - kDaysOfHistory; }
    int cutoff() const { return today() - kBillingLagDays; }

    void planCustomers() {
        const int count = plan_.scale * kCustomersPerScale;
        QSet<QString> taken;
        auto& customers = plan_.customers;
        customers.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            Random r(seed_, 1'000'000ULL + static_cast<std::uint64_t>(i));
            CustomerPlan c;
            c.origin = i;
            if (i < int(std::size(kShowcase))) {
                c.industry = kShowcase[i].industry;
                c.place = kShowcase[i].place;
                c.name = QString::fromUtf8(kShowcase[i].name);
            } else {
                c.industry = r.below(int(industries().size()));
                c.place = r.weighted({8, 6, 4, 3, 6, 6, 4, 3, 4, 8, 5, 4, 4, 3, 4, 5, 3, 3, 3,
                                      4, 3, 2, 4, 4, 3, 2, 2, 2, 3, 4, 2, 4, 2, 2, 2, 1, 1, 1});
                c.name = uniqueFirmName(r, c, taken);
            }
            taken.insert(c.name.toLower());
            customers.push_back(std::move(c));
        }
        // Names in key order, so every related table is written in key order too.
        std::sort(customers.begin(), customers.end(),
                  [](const CustomerPlan& a, const CustomerPlan& b) {
                      return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
                  });
    }

    QString uniqueFirmName(Random& r, const CustomerPlan& c, const QSet<QString>& taken) {
        const Industry& industry = industries()[size_t(c.industry)];
        const Place& place = places()[size_t(c.place)];
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

    void planHistory(int index) {
        CustomerPlan& c = plan_.customers[size_t(index)];
        Random r(seed_, 5'000'000ULL + static_cast<std::uint64_t>(c.origin));
        // Documents of this customer are appended from here on; looking back no further
        // keeps planning linear in the number of customers.
        firstOrder_ = plan_.orders.size();
        firstItem_ = plan_.items.size();
        firstContract_ = plan_.contracts.size();
        firstRequest_ = plan_.requests.size();
        const Place& place = places()[size_t(c.place)];
        describeCustomer(r, c, place);
        planContacts(r, c, place);

        const int since = std::max(historyStart(), today() - r.between(20, 3650));
        std::vector<long> activityKeys;
        std::vector<long> scheduledKeys;
        std::vector<long> feedbackKeys;

        planActivities(r, index, since, activityKeys);
        planQuotesAndOrders(r, index, since, activityKeys);
        planContracts(r, index, since);
        planRequests(r, index, since, activityKeys);
        planProject(r, index, since, activityKeys, scheduledKeys);
        planRma(r, index, activityKeys);
        planOpportunities(r, index, since);
        planScheduled(r, index, scheduledKeys);
        planExtras(r, index, since, feedbackKeys);

        std::sort(c.activities.begin(), c.activities.end(),
                  [](const ActivityPlan& a, const ActivityPlan& b) { return a.when < b.when; });
        std::sort(c.scheduled.begin(), c.scheduled.end(),
                  [](const ScheduledPlan& a, const ScheduledPlan& b) { return a.when < b.when; });
        planInvoices(index);
        settleDates(c, since);
    }

    void describeCustomer(Random& r, CustomerPlan& c, const Place& place) {
        c.street = streetAddress(r);
        c.postalStreet =
            r.chance(0.2) ? "PO Box " + QString::number(r.between(10, 2999)) : c.street;
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
        if (r.chance(0.3)) c.referredBy = r.pick(referralSources());
        if (r.chance(0.15)) {
            static const QStringList notes = {
                "Prefers e-mail to telephone calls.",
                "Deliveries through the rear loading dock only.",
                "Accounts close on the 25th; invoices after that are paid next month.",
                "Parking is difficult; technicians use the visitor spaces in the basement.",
                "Ask for a purchase order number before every delivery.",
            };
            c.comments = r.pick(notes);
        }
    }

    void planContacts(Random& r, CustomerPlan& c, const Place& place) {
        const int count = 1 + r.weighted({30, 35, 25, 10});
        QStringList used;
        for (int i = 0; i < count; ++i) {
            ContactPlan p;
            bool female = false;
            do {
                p.name = personName(r, &female);
            } while (used.contains(p.name, Qt::CaseInsensitive));
            used << p.name;
            const RoleTitles& role =
                roles()[size_t(i == 0 ? r.below(2) : r.below(int(roles().size())))];
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
                p.spouse = r.pick(firstNames()).name;
                p.spouseBirthday.day = dayNumber(QDate(1960 + r.below(35), 1, 1)) + r.below(365);
            }
            if (r.chance(0.1))
                p.children = r.pick(firstNames()).name + " and " + r.pick(firstNames()).name;
            if (r.chance(0.2)) {
                static const QStringList hobbies = {"Golf",        "Sailing",     "Rugby league",
                                                    "Cricket",     "Gardening",   "Cycling",
                                                    "Photography", "Bushwalking", "Cooking"};
                p.interests = r.pick(hobbies);
            }
            c.contacts.push_back(std::move(p));
        }
    }

    int pickContact(Random& r, const CustomerPlan& c) {
        return c.contacts.empty() ? -1 : r.below(int(c.contacts.size()));
    }

    int campaignAt(int day) const {
        const auto& all = campaigns();
        for (size_t i = 0; i < all.size(); ++i) {
            const int start = today() - all[i].startDaysAgo;
            if (day >= start && day < start + all[i].lengthDays) return static_cast<int>(i);
        }
        return -1;
    }

    ActivityPlan newActivity(Random& r, const CustomerPlan& c, Moment when, const QString& type,
                             int user) {
        ActivityPlan a;
        a.when = when;
        a.type = static_cast<std::uint8_t>(activityType(type));
        a.user = static_cast<std::uint8_t>(user);
        a.contact = static_cast<std::int8_t>(pickContact(r, c));
        a.topic = static_cast<std::uint8_t>(r.below(int(topicsFor(type).size())));
        a.product = static_cast<std::uint8_t>(r.pick(printers_));
        return a;
    }

    void planActivities(Random& r, int index, int since, std::vector<long>& keys) {
        CustomerPlan& c = plan_.customers[size_t(index)];
        static const QStringList types = {"Call",          "Internet Email", "Meeting",
                                          "Service Visit", "Letter",         "Fax",
                                          "Demonstration", "Follow Up",      "Training"};
        const int count = r.between(1, 9);
        for (int i = 0; i < count; ++i) {
            const int t = r.weighted({34, 18, 9, 12, 5, 2, 4, 8, 3});
            const QString& type = types[t];
            const bool service =
                type == QLatin1String("Service Visit") || type == QLatin1String("Training");
            const int user = service ? r.pick(service_) : (r.chance(0.8) ? c.rep : r.pick(sales_));
            ActivityPlan a =
                newActivity(r, c, claim(keys, businessMoment(r, since, today() - 1)), type, user);
            switch (t) {
                case 0:
                    a.duration = std::uint16_t(5 * r.between(1, 6));
                    break;
                case 1:
                    a.duration = std::uint16_t(5 * r.between(1, 3));
                    break;
                case 2:
                    a.duration = std::uint16_t(15 * r.between(2, 8));
                    break;
                case 3:
                    a.duration = std::uint16_t(15 * r.between(2, 12));
                    break;
                case 6:
                    a.duration = std::uint16_t(15 * r.between(3, 6));
                    break;
                case 8:
                    a.duration = std::uint16_t(30 * r.between(2, 6));
                    break;
                default:
                    a.duration = std::uint16_t(5 * r.between(1, 4));
                    break;
            }
            if (t == 0) {
                a.result = static_cast<std::int8_t>(r.weighted({30, 12, 8, 8, 14, 10, 10, 5, 3}));
            } else if (r.chance(0.6)) {
                a.result = 0;
            }
            a.billable = t == 8 || (t == 3 && r.chance(0.75));
            if (r.chance(0.35)) a.campaign = static_cast<std::int8_t>(campaignAt(a.when.day));
            if (t == 4) a.letter = r.below(int(formLetters().size()));
            c.activities.push_back(a);
        }
    }

    LinePlan line(Random& r, int product, double quantity) {
        const ProductInfo& p = products()[size_t(product)];
        LinePlan l;
        l.product = product;
        l.quantity = quantity;
        l.unitPrice = p.price;
        l.discount = p.kind == ProductKind::Machine ? double(r.weighted({50, 30, 20}) * 5) : 0;
        l.taxRate = 10;
        l.description = p.description;
        return l;
    }

    std::vector<LinePlan> salesLines(Random& r, bool machine) {
        std::vector<LinePlan> lines;
        if (machine) {
            const int m = r.pick(machines_);
            lines.push_back(line(r, m, r.weighted({80, 15, 5}) + 1));
            if (products()[size_t(m)].category == QLatin1String("Copiers") && r.chance(0.5))
                lines.push_back(line(r, r.pick(accessories_), 1));
            if (r.chance(0.6)) lines.push_back(line(r, productIndex("SV-INSTALL"), 1));
        }
        const int extra = machine ? r.below(2) : r.between(1, 4);
        for (int i = 0; i < extra; ++i)
            lines.push_back(line(r, r.pick(consumables_), r.between(1, 12)));
        return lines;
    }

    void logDocument(Random& r, CustomerPlan& c, std::vector<long>& keys, Moment when,
                     const QString& type, int user, int document, int contact) {
        ActivityPlan a = newActivity(r, c, claim(keys, when), type, user);
        a.document = document;
        a.contact = static_cast<std::int8_t>(contact);
        c.activities.push_back(a);
    }

    void planQuotesAndOrders(Random& r, int index, int since, std::vector<long>& keys) {
        CustomerPlan& c = plan_.customers[size_t(index)];
        const int quotes = r.chance(0.4) ? r.between(1, 2) : 0;
        for (int q = 0; q < quotes; ++q) {
            DocumentPlan d;
            d.date = businessMoment(r, since, today() - 1);
            d.customer = index;
            d.contact = pickContact(r, c);
            d.user = c.rep;
            d.campaign = campaignAt(d.date.day);
            d.lines = salesLines(r, r.chance(0.7));
            d.freight = r.weighted({60, 25, 15}) == 0 ? 0 : (r.chance(0.5) ? 45 : 95);
            if (r.chance(0.3))
                d.comments = "Prices valid for 30 days. Trade-in of the old machine included.";
            const int quoteIndex = static_cast<int>(plan_.quotations.size());
            plan_.quotations.push_back(d);
            logDocument(r, c, keys, d.date, "Quotation", c.rep, quoteIndex, d.contact);
            if (r.chance(0.35) && d.date.day + 25 < today()) {
                DocumentPlan o = d;
                o.date = businessMoment(r, d.date.day + 3, d.date.day + 20);
                o.quotation = quoteIndex;
                addOrder(r, index, std::move(o), keys);
            }
        }
        const int orders = r.chance(0.45) ? r.between(1, 3) : 0;
        for (int o = 0; o < orders; ++o) {
            DocumentPlan d;
            d.date = businessMoment(r, since, today() - 1);
            d.customer = index;
            d.contact = pickContact(r, c);
            d.user = c.rep;
            d.campaign = campaignAt(d.date.day);
            d.lines = salesLines(r, r.chance(0.25));
            d.freight = r.chance(0.5) ? 0 : 25;
            addOrder(r, index, std::move(d), keys);
        }
    }

    void addOrder(Random& r, int index, DocumentPlan o, std::vector<long>& keys) {
        CustomerPlan& c = plan_.customers[size_t(index)];
        o.kind = OrderKind::Sale;
        const int age = today() - o.date.day;
        o.deliverBy = Moment{nextWorkday(o.date.day + 7), 0};
        if (r.chance(0.5)) o.customerOrder = "PO " + digits(r, 5);
        o.status = age > 30 ? QStringLiteral("Completed")
                            : QStringList{"Entered", "Back Ordered",
                                          "Completed"}[r.weighted({50, 15, 35})];
        const int pay = r.weighted({60, 30, 10});
        o.paymentType = QStringList{"Account", "Credit Card", "Cheque"}[pay];
        if (pay == 1) {
            o.cardType =
                QStringList{"Visa", "Mastercard", "American Express"}[r.weighted({50, 40, 10})];
        }
        o.paymentDue = Moment{o.date.day + 30, 0};
        const bool shipped = o.status == QLatin1String("Completed");
        if (shipped) {
            o.shipStatus = QStringLiteral("Delivered");
            o.shipDate = Moment{workdayUpTo(o.date.day + r.between(1, 6), today() - 1), 0};
            o.shippedBy = r.chance(0.5) ? office_ : staffIndex("abrown");
        } else {
            o.shipStatus = o.status == QLatin1String("Back Ordered")
                               ? QStringLiteral("Back Ordered")
                               : QStringLiteral("Not Shipped");
        }
        const int orderIndex = static_cast<int>(plan_.orders.size());
        const bool paid = shipped && (pay == 1 || age > 35 || r.chance(0.5));
        if (paid) {
            o.amountPaid = o.total();
            o.paymentDate =
                pay == 1 ? o.date
                         : Moment{workdayUpTo(o.date.day + r.between(7, 35), today() - 1), 0};
        }
        plan_.orders.push_back(o);
        logDocument(r, c, keys, o.date, "Sales Order", o.user, orderIndex, o.contact);
        if (paid && o.paymentDate.day < today()) {
            ActivityPlan a =
                newActivity(r, c, claim(keys, Moment{o.paymentDate.day, r.between(100, 200) * 5}),
                            "Payment", office_);
            a.document = orderIndex;
            a.amount = o.amountPaid;
            c.activities.push_back(a);
        }
        // Tracked products become inventory items, one per unit.
        int unit = 0;
        for (const LinePlan& l : o.lines) {
            if (products()[size_t(l.product)].kind != ProductKind::Machine) continue;
            for (int k = 0; k < int(std::lround(l.quantity)); ++k) {
                ItemPlan item;
                item.product = l.product;
                item.customer = index;
                item.contact = o.contact;
                item.order = orderIndex;
                item.unit = ++unit;
                item.supplied = o.date;
                item.installed = shipped ? o.shipDate : Moment{};
                item.charge = cents(l.net() / std::max(1.0, l.quantity));
                finishItem(r, item);
                plan_.items.push_back(item);
            }
        }
    }

    void finishItem(Random& r, ItemPlan& item) {
        const ProductInfo& p = products()[size_t(item.product)];
        item.serial = p.code.left(2) + digits(r, 8);
        static const QStringList locations = {
            "Reception", "Level 1 print room", "Level 2 print room", "Accounts office",
            "Boardroom", "Warehouse office",   "Front counter",      "Staff room"};
        item.location = r.pick(locations);
        item.status =
            item.installed.isSet() ? QStringLiteral("Installed") : QStringLiteral("On Order");
        if (p.category == QLatin1String("Copiers")) {
            item.configuration = "IP address 192.168." + QString::number(r.between(0, 9)) + '.' +
                                 QString::number(r.between(20, 250)) +
                                 "\nScan to e-mail and scan to folder set up\nDepartment codes on";
        }
        const Moment from = item.installed.isSet() ? item.installed : item.supplied;
        if (p.warrantyMonths > 0) {
            const QDate end = dateOf(from.day).addMonths(p.warrantyMonths);
            item.warrantyExpiry = Moment{dayNumber(end), 0};
        }
    }

    void planContracts(Random& r, int index, int since) {
        // Customers with a machine from us, and a few whose older machines we maintain.
        std::vector<int> owned;
        for (size_t i = firstItem_; i < plan_.items.size(); ++i)
            owned.push_back(static_cast<int>(i));
        if (owned.empty() && r.chance(0.12)) {
            ItemPlan item;
            item.product = r.pick(oldMachines_);
            item.customer = index;
            item.supplied = Moment{today() - r.between(800, 2000), 0};
            item.installed = item.supplied;
            finishItem(r, item);
            owned.push_back(static_cast<int>(plan_.items.size()));
            plan_.items.push_back(item);
        }
        // A few rental machines delivered lately: charged by the next billing run.
        if (r.chance(0.01)) {
            ItemPlan item;
            item.product = r.pick(machines_);
            item.customer = index;
            item.supplied = Moment{nextWorkday(today() - r.between(5, 40)), 0};
            item.installed = item.supplied;
            item.charge = 150;
            finishItem(r, item);
            item.configuration = "Rental machine: monthly charge";
            plan_.items.push_back(item);
        }
        if (owned.empty() || !r.chance(0.45)) return;
        const CustomerPlan& c = plan_.customers[size_t(index)];
        static const QStringList types = {"Gold Maintenance", "Silver Maintenance", "Cost Per Copy",
                                          "Shredder Care"};
        const int first = plan_.items[size_t(owned.front())].installed.day;
        int start = std::max({since, first, historyStart()}) + r.between(0, 60);
        while (start < today() - 5) {
            ContractPlan k;
            k.customer = index;
            k.contact = pickContact(r, c);
            k.rep = c.rep;
            k.type = types[r.weighted({35, 35, 25, 5})];
            k.start = Moment{nextWorkday(start), 0};
            k.expiry = Moment{dayNumber(dateOf(k.start.day).addYears(1)) - 1, 0};
            k.price = 600.0 + 300.0 * r.below(14);
            k.requestsAllowed =
                k.type == QLatin1String("Gold Maintenance") ? 0 : 6 + 6 * r.below(2);
            k.hoursAllowed = 10.0 * r.between(1, 4);
            k.coverage = k.type == QLatin1String("Gold Maintenance")
                             ? QStringLiteral("Parts and labour, 4-hour response, business hours")
                             : QStringLiteral("Labour only, next business day response");
            if (r.chance(0.2)) k.comments = "Meter readings by e-mail each quarter.";
            const int contractIndex = static_cast<int>(plan_.contracts.size());
            for (int i : owned) {
                ItemPlan& item = plan_.items[size_t(i)];
                if (item.installed.isSet() && item.installed.day <= k.expiry.day)
                    item.contract = contractIndex;
            }
            plan_.contracts.push_back(k);
            if (!r.chance(0.7)) break;  // renewed for another year
            start = k.expiry.day + 1;
        }
    }

    int contractAt(int customer, int day) const {
        for (size_t i = firstContract_; i < plan_.contracts.size(); ++i) {
            const ContractPlan& k = plan_.contracts[i];
            if (k.customer == customer && k.start.day <= day && day <= k.expiry.day)
                return static_cast<int>(i);
        }
        return -1;
    }

    void planRequests(Random& r, int index, int since, std::vector<long>& keys) {
        CustomerPlan& c = plan_.customers[size_t(index)];
        std::vector<int> owned;
        for (size_t i = firstItem_; i < plan_.items.size(); ++i)
            if (plan_.items[i].installed.isSet()) owned.push_back(static_cast<int>(i));
        const int closed =
            (!owned.empty() || r.chance(0.35)) ? r.between(1, owned.empty() ? 2 : 4) : 0;
        const int open = r.chance(0.12) ? r.between(1, 2) : 0;
        for (int n = 0; n < closed + open; ++n) {
            const bool completed = n < closed;
            RequestPlan q;
            q.completed = completed;
            q.customer = index;
            q.contact = pickContact(r, c);
            // A closed request was finished before today: its visits span two weeks at most.
            q.requested = completed ? businessMoment(r, since, today() - 20)
                                    : businessMoment(r, today() - 14, today() - 1);
            static const QStringList types = {"Breakdown",     "Print Quality", "Paper Jam",
                                              "Installation",  "Relocation",    "Maintenance",
                                              "Network Setup", "Supplies",      "Meter Reading",
                                              "Training",      "Enquiry"};
            q.type = types[r.weighted({20, 16, 14, 5, 3, 10, 9, 8, 4, 4, 7})];
            q.summary = r.pick(requestSummaries(q.type));
            q.description = q.summary + ". Reported by telephone; the customer says it started " +
                            QStringList{"this morning", "yesterday", "last week",
                                        "after a power cut"}[r.below(4)] +
                            '.';
            q.priority = QStringList{"1 Critical", "2 High", "3 Normal", "4 Low",
                                     "5 Planned"}[q.type == QLatin1String("Maintenance") ||
                                                          q.type == QLatin1String("Installation")
                                                      ? 4
                                                      : r.weighted({8, 22, 50, 20, 0})];
            if (!owned.empty()) {
                std::vector<int> before;
                for (int i : owned)
                    if (plan_.items[size_t(i)].installed.day <= q.requested.day)
                        before.push_back(i);
                if (!before.empty()) {
                    q.item = r.pick(before);
                    q.product = plan_.items[size_t(q.item)].product;
                }
            }
            if (q.product < 0) q.product = r.pick(oldMachines_);
            q.contract = contractAt(index, q.requested.day);
            q.down = q.type == QLatin1String("Breakdown") && r.chance(0.6);
            if (r.chance(0.2)) q.refNo = "REF-" + digits(r, 6);
            if (r.chance(0.3)) q.customerOrder = "PO " + digits(r, 5);
            const QString group =
                q.type == QLatin1String("Enquiry") || q.type == QLatin1String("Network Setup")
                    ? QStringLiteral("Help Desk")
                : q.type == QLatin1String("Installation") || q.type == QLatin1String("Relocation")
                    ? QStringLiteral("Installations")
                : q.type == QLatin1String("Meter Reading") ? QStringLiteral("Administration")
                                                           : QStringLiteral("Field Service");
            q.workGroup = group;
            std::vector<int> people;
            for (size_t i = 0; i < staff().size(); ++i)
                if (staff()[i].workGroup == group) people.push_back(static_cast<int>(i));
            if (people.empty()) people = service_;
            const bool allocated = completed || r.chance(0.7);
            if (allocated) {
                q.personnel = r.pick(people);
                q.allocated = plusMinutes(q.requested, 5L * r.between(3, 24));
                q.allocateNotes = r.chance(0.3)
                                      ? QStringLiteral("Customer asked for a morning visit.")
                                      : QString();
                q.scheduled =
                    Moment{nextWorkday(q.allocated.day + r.below(3)), r.between(96, 180) * 5};
                if (!completed && q.scheduled.day <= today())
                    q.scheduled.day = nextWorkday(today() + r.below(5));
                if (r.chance(0.2)) q.scheduleNotes = "Bring a spare fuser.";
            }
            const int labour = q.type == QLatin1String("Enquiry") ? 1 : r.between(1, 3);
            Moment at = q.scheduled.isSet() ? q.scheduled : q.requested;
            for (int k = 0; k < labour && allocated; ++k) {
                LabourPlan l;
                l.when = at;
                l.person = k == 0 ? q.personnel : r.pick(people);
                l.workGroup = group;
                l.hours = 0.25 * r.between(2, 12);
                if (q.type == QLatin1String("Enquiry")) l.hours = 0.25 * r.between(1, 2);
                l.chargeRate = products()[size_t(productIndex("SV-LABOUR"))].price;
                l.costRate = 45;
                l.scheduled = at;
                l.description = k == 0 ? "Attended: " + q.summary.toLower()
                                       : QStringLiteral("Returned with parts and finished the job");
                if (completed) l.completed = plusMinutes(at, long(l.hours * 60));
                l.billable = q.contract < 0 && q.type != QLatin1String("Enquiry");
                q.labour.push_back(l);
                at = Moment{nextWorkday(at.day + r.between(1, 3)), r.between(96, 170) * 5};
            }
            if (q.type != QLatin1String("Enquiry") && q.type != QLatin1String("Meter Reading") &&
                r.chance(0.45)) {
                const int count = r.between(1, 2);
                for (int k = 0; k < count; ++k) {
                    const bool part = r.chance(0.6);
                    LinePlan m = line(r, part ? r.pick(parts_) : r.pick(consumables_),
                                      part ? 1 : r.between(1, 3));
                    m.discount = 0;
                    q.materials.push_back(m);
                }
            }
            if (completed) {
                const LabourPlan& last = q.labour.back();
                q.finished = last.completed;
                q.completedBy = q.personnel;
                q.status = QStringLiteral("Closed");
                q.resolutionCode =
                    QStringList{"Fixed On Site", "Fixed Remotely",  "Part Replaced",
                                "Unit Swapped",  "Workshop Repair", "User Training",
                                "No Fault Found"}[r.weighted({35, 15, 25, 3, 4, 10, 8})];
                q.resolution = r.pick(resolutionTexts());
                q.responseTime = hoursBetween(q.requested, q.scheduled);
                q.leadTime = hoursBetween(q.requested, q.finished);
                q.downTime = q.down ? q.leadTime : 0;
            } else {
                q.status = allocated ? QStringList{"Allocated", "Awaiting Parts",
                                                   "On Hold"}[r.weighted({70, 20, 10})]
                                     : QStringLiteral("Open");
            }
            const int requestIndex = static_cast<int>(plan_.requests.size());
            const int user = allocated ? q.personnel : staffIndex("hclarke");
            logDocument(r, c, keys, q.requested, "Service Request", user, requestIndex, q.contact);
            if (completed)
                logDocument(r, c, keys, q.finished, "Service Request", user, requestIndex,
                            q.contact);
            if (q.contract >= 0) {
                ContractPlan& k = plan_.contracts[size_t(q.contract)];
                k.requestsToDate += 1;
                k.hoursUsed = cents(k.hoursUsed + q.hoursWorked());
            }
            plan_.requests.push_back(std::move(q));
        }
    }

    void planProject(Random& r, int index, int since, std::vector<long>& activityKeys,
                     std::vector<long>& scheduledKeys) {
        if (!r.chance(0.02)) return;
        CustomerPlan& c = plan_.customers[size_t(index)];
        static const QStringList kinds = {"Fleet Upgrade", "Office Relocation", "Print Audit",
                                          "Branch Roll-out", "Scanning Set-up"};
        ProjectPlan p;
        p.customer = index;
        p.contact = pickContact(r, c);
        p.user = c.rep;
        const QString kind = r.pick(kinds);
        QString base = c.name.left(49 - kind.size()).trimmed() + ' ' + kind;
        p.name = base;
        for (int n = 2; projectNames_.contains(p.name.toLower()); ++n)
            p.name = base.left(46) + ' ' + QString::number(n);
        projectNames_.insert(p.name.toLower());
        p.description = kind + " for " + c.name.left(200);
        const int start = r.between(std::max(since, today() - 400), today() + 20);
        p.scheduledStart = Moment{nextWorkday(start), 0};
        p.scheduledEnd = Moment{nextWorkday(start + r.between(20, 90)), 0};
        p.budget = 1000.0 * r.between(3, 40);
        if (p.scheduledStart.day < today() - 5) {
            p.actualStart = Moment{nextWorkday(p.scheduledStart.day + r.below(3)), 0};
            if (p.scheduledEnd.day < today() - 10) {
                p.actualEnd =
                    Moment{workdayUpTo(p.scheduledEnd.day + r.between(-5, 15), today() - 1), 0};
                p.status = QStringLiteral("Completed");
            } else {
                p.status = QStringLiteral("In Progress");
            }
        } else {
            p.status = QStringLiteral("Planned");
        }
        const int projectIndex = static_cast<int>(plan_.projects.size());
        plan_.projects.push_back(p);
        // Work done so far: billable activities of the project.
        if (p.actualStart.isSet()) {
            const int end = p.actualEnd.isSet() ? p.actualEnd.day : today() - 1;
            const int count = r.between(2, 6);
            for (int i = 0; i < count; ++i) {
                const QString type =
                    QStringList{"Meeting", "Service Visit", "Training"}[r.weighted({30, 50, 20})];
                ActivityPlan a = newActivity(
                    r, c,
                    claim(activityKeys,
                          businessMoment(r, p.actualStart.day, std::max(p.actualStart.day, end))),
                    type, type == QLatin1String("Meeting") ? c.rep : r.pick(service_));
                a.duration = std::uint16_t(30 * r.between(2, 8));
                a.billable = true;
                a.project = projectIndex;
                c.activities.push_back(a);
            }
        }
        // Steps still to come.
        if (!p.actualEnd.isSet()) {
            const int count = r.between(1, 3);
            for (int i = 0; i < count; ++i) {
                ScheduledPlan s;
                s.when = claim(
                    scheduledKeys,
                    businessMoment(r, today() + 1, std::max(today() + 2, p.scheduledEnd.day)));
                s.type =
                    static_cast<std::uint8_t>(activityType(i == 0 ? "Meeting" : "Service Visit"));
                s.user = static_cast<std::uint8_t>(i == 0 ? c.rep : r.pick(service_));
                s.contact = static_cast<std::int8_t>(p.contact);
                s.topic = static_cast<std::uint8_t>(
                    r.below(int(topicsFor(activityTypes()[s.type]).size())));
                s.product = static_cast<std::uint8_t>(r.pick(printers_));
                s.duration = std::uint16_t(30 * r.between(2, 6));
                s.billable = true;
                s.project = projectIndex;
                c.scheduled.push_back(s);
            }
        }
    }

    void planRma(Random& r, int index, std::vector<long>& keys) {
        std::vector<int> orders;
        for (size_t i = firstOrder_; i < plan_.orders.size(); ++i)
            if (plan_.orders[i].status == QLatin1String("Completed"))
                orders.push_back(static_cast<int>(i));
        if (orders.empty() || !r.chance(0.05)) return;
        CustomerPlan& c = plan_.customers[size_t(index)];
        RmaPlan m;
        m.customer = index;
        m.order = r.pick(orders);
        const DocumentPlan& o = plan_.orders[size_t(m.order)];
        m.contact = o.contact;
        m.user = office_;
        m.date = Moment{workdayUpTo(o.shipDate.day + r.between(2, 20), today() - 1), 0};
        m.returnBy = Moment{m.date.day + 14, 0};
        const LinePlan& l = o.lines[size_t(r.below(int(o.lines.size())))];
        m.product = l.product;
        for (size_t i = firstItem_; i < plan_.items.size(); ++i)
            if (plan_.items[i].order == m.order && plan_.items[i].product == l.product) {
                m.item = static_cast<int>(i);
                break;
            }
        m.reason = QStringList{"Damaged in transit", "Wrong item supplied", "Faulty on arrival",
                               "Ordered in error"}[r.below(4)];
        m.fault = m.reason;
        m.action = QStringList{"Credit", "Replace", "Repair"}[r.below(3)];
        const bool received = m.date.day + 7 < today();
        m.status = received ? QStringLiteral("Closed") : QStringLiteral("Authorised");
        if (received) {
            m.received = Moment{m.date.day + r.between(2, 7), 0};
            m.resolution = m.action == QLatin1String("Credit")
                               ? QStringLiteral("Credit note issued")
                               : QStringLiteral("Replacement sent");
            if (m.action == QLatin1String("Credit"))
                m.credit = l.value() / std::max(1.0, l.quantity);
        }
        const int rmaIndex = static_cast<int>(plan_.rmas.size());
        plan_.rmas.push_back(m);
        logDocument(r, c, keys, Moment{m.date.day, r.between(100, 190) * 5}, "Return", office_,
                    rmaIndex, m.contact);
    }

    void planOpportunities(Random& r, int index, int since) {
        if (!r.chance(0.35)) return;
        CustomerPlan& c = plan_.customers[size_t(index)];
        const int count = r.between(1, 2);
        std::vector<long> keys;
        for (int i = 0; i < count; ++i) {
            OpportunityPlan o;
            o.identified =
                claim(keys, businessMoment(r, std::max(since, today() - 365), today() - 1));
            o.rep = c.rep;
            o.contact = pickContact(r, c);
            const int m = r.pick(machines_);
            static const QStringList ideas = {
                "Replace the old copier with a %1", "Second machine for the new branch: %1",
                "Managed print contract for all printers", "Upgrade to colour: %1",
                "Secure shredding for the records room"};
            o.description = r.pick(ideas);
            if (o.description.contains(QLatin1String("%1")))
                o.description =
                    o.description.arg(products()[size_t(m)].description.section(',', 0, 0));
            o.value = 50.0 * r.between(10, 800);
            o.saleMonth = dateOf(o.identified.day).addMonths(r.between(1, 6)).month();
            const int status = r.weighted({20, 20, 20, 15, 15, 10});
            o.status = QStringList{"Prospect",    "Qualified", "Proposal Sent",
                                   "Negotiation", "Won",       "Lost"}[status];
            static const int low[] = {10, 30, 50, 70, 100, 0};
            static const int high[] = {20, 50, 70, 90, 100, 0};
            o.probability = r.between(low[status], high[status]) / 5 * 5;
            o.competition = r.pick(competitors());
            o.leadSource = r.pick(referralSources());
            c.opportunities.push_back(o);
        }
        std::sort(c.opportunities.begin(), c.opportunities.end(),
                  [](const OpportunityPlan& a, const OpportunityPlan& b) {
                      return a.identified < b.identified;
                  });
    }

    void planScheduled(Random& r, int index, std::vector<long>& keys) {
        if (!r.chance(0.55)) return;
        CustomerPlan& c = plan_.customers[size_t(index)];
        static const QStringList types = {"Call",      "Meeting",       "Service Visit",
                                          "Follow Up", "Demonstration", "Training"};
        const int count = r.between(1, 3);
        for (int i = 0; i < count; ++i) {
            const int t = r.weighted({40, 15, 20, 15, 5, 5});
            ScheduledPlan s;
            // Mostly the coming six weeks; some are overdue (the to-do list shows them).
            const bool overdue = r.chance(0.1);
            s.when = claim(keys, overdue ? businessMoment(r, today() - 7, today() - 1)
                                         : businessMoment(r, today(), today() + 42));
            s.type = static_cast<std::uint8_t>(activityType(types[t]));
            const bool service = t == 2 || t == 5;
            s.user = static_cast<std::uint8_t>(service ? r.pick(service_) : c.rep);
            s.contact = static_cast<std::int8_t>(pickContact(r, c));
            s.topic = static_cast<std::uint8_t>(r.below(int(topicsFor(types[t]).size())));
            s.product = static_cast<std::uint8_t>(r.pick(printers_));
            s.duration = std::uint16_t(t == 0 ? 15 : 15 * r.between(2, 8));
            s.billable = service;
            c.scheduled.push_back(s);
        }
    }

    void planExtras(Random& r, int index, int since, std::vector<long>& feedbackKeys) {
        CustomerPlan& c = plan_.customers[size_t(index)];
        if (r.chance(0.05)) {
            FeedbackPlan f;
            f.customer = index;
            f.contact = pickContact(r, c);
            f.user = c.rep;
            f.when = claim(feedbackKeys, businessMoment(r, since, today() - 1));
            const int kind = r.weighted({45, 35, 20});
            f.type = QStringList{"Compliment", "Complaint", "Suggestion"}[kind];
            static const QStringList summaries[] = {
                {"Technician was quick and friendly", "Very happy with the new copier",
                 "Training was clear and useful"},
                {"Technician arrived late", "Toner delivery took a week",
                 "Invoice did not match the quotation"},
                {"Would like meter readings by e-mail", "Please offer weekend service visits"}};
            f.summary = r.pick(summaries[kind]);
            f.details = f.summary + ". Told to us by telephone.";
            f.rating = kind == 0 ? r.between(4, 5) : kind == 1 ? r.between(1, 2) : 3;
            f.followUp = kind == 1;
            if (kind == 1 || r.chance(0.5)) {
                f.response = kind == 1
                                 ? QStringLiteral("Apologised and arranged a follow-up visit.")
                                 : QStringLiteral("Thanked the customer.");
                f.resolved = Moment{workdayUpTo(f.when.day + r.between(1, 10), today() - 1), 0};
            }
            if (r.chance(0.5)) f.product = r.pick(machines_);
            plan_.feedback.push_back(f);
        }
        if (r.chance(0.04)) {
            CarePlanStatusPlan s;
            s.customer = index;
            s.contact = pickContact(r, c);
            s.user = c.rep;
            s.plan = r.below(int(carePlans().size()));
            s.start =
                Moment{nextWorkday(r.between(std::max(since, today() - 300), today() - 1)), 0};
            const auto& steps = carePlans()[size_t(s.plan)].steps;
            for (const CarePlanStep& step : steps)
                if (s.start.day + step.dayOffset < today()) ++s.lastStep;
            if (s.lastStep >= int(steps.size())) {
                s.status = QStringLiteral("Completed");
                s.completed = Moment{s.start.day + steps.back().dayOffset, 0};
            } else {
                s.status = QStringLiteral("Active");
                s.nextStep = Moment{s.start.day + steps[size_t(s.lastStep)].dayOffset, 0};
            }
            plan_.carePlans.push_back(s);
        }
        if (r.chance(0.02)) {
            ScriptRunPlan run;
            run.customer = index;
            run.contact = pickContact(r, c);
            run.user = c.rep;
            run.started = businessMoment(r, since, today() - 1);
            for (const ScriptStep& step : callScript().steps) {
                run.answers.push_back(step.responses.isEmpty()
                                          ? QString::number(r.between(1, 10))
                                          : step.responses[r.below(int(step.responses.size()))]);
            }
            plan_.scriptRuns.push_back(run);
        }
    }

    // Billed work of a customer, invoiced quarter by quarter by the billing run: billable
    // activities, charged requests and contracts older than the billing lag. Newer work
    // stays unbilled, so a billing run on the demo has something to do.
    void planInvoices(int index) {
        CustomerPlan& c = plan_.customers[size_t(index)];
        std::map<int, int> invoiceOfQuarter;  // year * 4 + quarter -> order index
        auto invoiceFor = [&](int day) {
            const QDate d = dateOf(day);
            const int quarter = d.year() * 4 + (d.month() - 1) / 3;
            auto it = invoiceOfQuarter.find(quarter);
            if (it != invoiceOfQuarter.end()) return it->second;
            DocumentPlan o;
            o.kind = OrderKind::Invoice;
            o.customer = index;
            o.user = office_;
            // Raised on the first workday after the quarter, or soon after the work when
            // the quarter has not ended yet.
            const QDate next = QDate(d.year(), (d.month() - 1) / 3 * 3 + 1, 1).addMonths(3);
            o.date = Moment{std::min(nextWorkday(dayNumber(next)), nextWorkday(cutoff())), 0};
            o.status = QStringLiteral("Completed");
            o.paymentType = QStringLiteral("Account");
            o.paymentDue = Moment{o.date.day + 30, 0};
            const int orderIndex = static_cast<int>(plan_.orders.size());
            plan_.orders.push_back(o);
            invoiceOfQuarter.emplace(quarter, orderIndex);
            return orderIndex;
        };
        for (ActivityPlan& a : c.activities)
            if (a.billable && a.when.day < cutoff()) a.invoice = invoiceFor(a.when.day);
        for (size_t i = firstRequest_; i < plan_.requests.size(); ++i) {
            RequestPlan& q = plan_.requests[i];
            if (q.completed && q.totalCharge() > 0 && q.finished.day < cutoff())
                q.invoice = invoiceFor(q.finished.day);
        }
        for (size_t i = firstContract_; i < plan_.contracts.size(); ++i) {
            ContractPlan& k = plan_.contracts[i];
            if (k.start.day < cutoff()) k.invoice = invoiceFor(k.start.day);
        }
    }

    void settleDates(CustomerPlan& c, int since) {
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

    void planPurchases() {
        Random r(seed_, 7);
        const int count = 40 * plan_.scale;
        for (int i = 0; i < count; ++i) {
            DocumentPlan p;
            p.date = businessMoment(r, historyStart(), today() - 1);
            p.supplier = r.below(int(suppliers().size()));
            p.user = r.chance(0.5) ? office_ : staffIndex("ktanaka");
            std::vector<int> range;
            for (size_t k = 0; k < products().size(); ++k)
                if (products()[k].supplier == p.supplier &&
                    products()[k].kind != ProductKind::Service && !products()[k].discontinued)
                    range.push_back(static_cast<int>(k));
            if (range.empty()) range = consumables_;
            const int lines = r.between(1, 4);
            for (int k = 0; k < lines; ++k) {
                LinePlan l = line(r, r.pick(range), r.between(1, 20));
                l.unitPrice = products()[size_t(l.product)].cost;
                l.discount = 0;
                p.lines.push_back(l);
            }
            p.freight = r.chance(0.5) ? 0 : 40;
            const bool received = p.date.day < today() - 10 || r.chance(0.3);
            p.status = received ? QStringLiteral("Received") : QStringLiteral("Ordered");
            p.deliverBy = Moment{nextWorkday(p.date.day + 7), 0};
            if (received)
                p.received = Moment{workdayUpTo(p.date.day + r.between(2, 9), today() - 1), 0};
            plan_.purchases.push_back(p);
        }
    }

    void planMail() {
        Random r(seed_, 11);
        static const char* const subjects[][2] = {
            {"Toner for %1",
             "Can you ring them about a toner order? They called while you were out."},
            {"Quote follow-up: %1",
             "They have accepted the quotation; please send the order form."},
            {"Service visit at %1", "The customer asked for the technician to come after 2 pm."},
            {"Invoice query from %1", "Their accounts officer queried last month's invoice."},
        };
        const int count = 6 + plan_.scale;
        for (int i = 0; i < count && !plan_.customers.empty(); ++i) {
            MailPlan m;
            m.from = r.between(1, int(staff().size()) - 1);
            m.to = i < 3 ? 0 : r.between(1, int(staff().size()) - 1);
            m.customer = r.below(int(plan_.customers.size()));
            m.when = businessMoment(r, today() - 10, today() - 1);
            const auto& s = subjects[r.below(4)];
            m.subject = QString::fromUtf8(s[0]).arg(plan_.customers[size_t(m.customer)].name);
            m.text = "<p>" + QString::fromUtf8(s[1]).toHtmlEscaped() + "</p>";
            m.read = r.chance(0.5);
            plan_.mail.push_back(m);
        }
    }

    // Each kind of document is numbered in date order (customer order on the same day).
    template <typename T, typename DateOf>
    static void numberInDateOrder(std::vector<T>& docs, int first, DateOf dateOf,
                                  void (*assign)(T&, int)) {
        std::vector<int> order(docs.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return dateOf(docs[size_t(a)]) < dateOf(docs[size_t(b)]);
        });
        for (size_t rank = 0; rank < order.size(); ++rank)
            assign(docs[size_t(order[rank])], first + static_cast<int>(rank));
    }

    void numberDocuments() {
        auto byDate = [](const DocumentPlan& d) { return d.date; };
        auto setNumber = [](DocumentPlan& d, int n) { d.number = n; };
        numberInDateOrder(plan_.quotations, 1001, byDate, +setNumber);
        numberInDateOrder(plan_.orders, 5001, byDate, +setNumber);
        numberInDateOrder(plan_.purchases, 3001, byDate, +setNumber);
        numberInDateOrder(
            plan_.requests, 20001, [](const RequestPlan& q) { return q.requested; },
            +[](RequestPlan& q, int n) { q.number = n; });
        numberInDateOrder(
            plan_.rmas, 101, [](const RmaPlan& m) { return m.date; },
            +[](RmaPlan& m, int n) { m.number = n; });
        numberInDateOrder(
            plan_.contracts, 10001, [](const ContractPlan& k) { return k.start; },
            +[](ContractPlan& k, int n) { k.id = QStringLiteral("SC%1").arg(n); });
        int standalone = 100001;
        for (ItemPlan& item : plan_.items) {
            item.id = item.order >= 0 ? QStringLiteral("_%1/%2")
                                            .arg(plan_.orders[size_t(item.order)].number)
                                            .arg(item.unit)
                                            .left(20)
                                      : QStringLiteral("CI%1").arg(standalone++);
        }
    }

    std::uint64_t seed_;
    CompanyPlan plan_;
    std::vector<int> sales_, service_, machines_, printers_, oldMachines_, consumables_, parts_,
        accessories_;
    int office_ = 0;
    QSet<QString> projectNames_;
    size_t firstOrder_ = 0, firstItem_ = 0, firstContract_ = 0, firstRequest_ = 0;
};

}  // namespace

int dayNumber(const QDate& date) { return static_cast<int>(kDayZero.daysTo(date)); }
QDate dateOf(int day) { return kDayZero.addDays(day); }

double LinePlan::net() const {
    const double gross = unitPrice * quantity;
    return gross - (discount / 100.0) * gross;
}
double LinePlan::tax() const { return (taxRate / 100.0) * net(); }
double LinePlan::value() const { return cents(net() + tax()); }

double DocumentPlan::items() const {
    double sum = 0;
    for (const LinePlan& l : lines) sum += l.net();
    return cents(sum);
}
double DocumentPlan::tax() const {
    double sum = 0;
    for (const LinePlan& l : lines) sum += l.tax();
    return cents(sum);
}
double DocumentPlan::total() const { return cents(items() + tax() + freight); }

double RequestPlan::hoursWorked() const {
    double sum = 0;
    for (const LabourPlan& l : labour) sum += l.hours;
    return sum;
}
double RequestPlan::totalCost() const {
    double sum = 0;
    for (const LabourPlan& l : labour) sum += l.hours * l.costRate;
    for (const LinePlan& m : materials) sum += m.quantity * products()[size_t(m.product)].cost;
    return cents(sum);
}
double RequestPlan::totalCharge() const {
    if (contract >= 0) return 0;  // covered by the service contract
    double sum = 0;
    for (const LabourPlan& l : labour)
        if (l.billable) sum += l.hours * l.chargeRate;
    for (const LinePlan& m : materials) sum += m.value();
    return cents(sum);
}

const std::vector<QString>& activityTypes() {
    static const std::vector<QString> all = {"Call",
                                             "Demonstration",
                                             "Fax",
                                             "Follow Up",
                                             "Internet Email",
                                             "Letter",
                                             "Local Email",
                                             "Meeting",
                                             "Payment",
                                             "Quotation",
                                             "Return",
                                             "Sales Order",
                                             "Service Request",
                                             "Service Visit",
                                             "Training"};
    return all;
}

const std::vector<QString>& callResults() {
    static const std::vector<QString> all = {"Completed",       "Appointment Made", "Order Taken",
                                             "Quote Requested", "Left Message",     "No Answer",
                                             "Call Back",       "Not Interested",   "Wrong Number"};
    return all;
}

const std::vector<FormLetter>& formLetters() {
    static const std::vector<FormLetter> all = {
        {"WELCOME", "Customer Care", "Welcome to new customers",
         "<p>Dear {Salutation},</p><p>Thank you for choosing us. Your account manager will "
         "call you in the next few days to make sure everything is running smoothly.</p>"},
        {"RENEWAL", "Contracts", "Service contract renewal reminder",
         "<p>Dear {Salutation},</p><p>Your service contract expires next month. Renewing now "
         "keeps your machines covered without a break.</p>"},
        {"PRICE", "Sales", "Notice of price changes",
         "<p>Dear {Salutation},</p><p>From next month our toner and paper prices change. The "
         "enclosed list shows the new prices.</p>"},
        {"THANKYOU", "Customer Care", "Thank you after an installation",
         "<p>Dear {Salutation},</p><p>Thank you for your order. We hope the new equipment "
         "serves you well; call our help desk any time.</p>"},
    };
    return all;
}

const std::vector<CarePlan>& carePlans() {
    static const std::vector<CarePlan> all = {
        {"New Customer Welcome",
         "First three months after a customer's first order",
         "Website Enquiries",
         {{0, "Letter", "Welcome letter", 10, 0},
          {14, "Call", "Check the installation went well", 15, -1},
          {45, "Follow Up", "Offer user training", 15, -1},
          {90, "Meeting", "Three-month review with the decision maker", 60, -1}}},
        {"Contract Renewal",
         "Renewing a service contract before it expires",
         "",
         {{0, "Letter", "Renewal reminder letter", 10, 1},
          {14, "Call", "Discuss renewal and any changes", 20, -1},
          {30, "Meeting", "Sign the renewal", 45, -1}}},
    };
    return all;
}

const CallScript& callScript() {
    static const CallScript script = {
        "Toner Satisfaction Survey",
        "Quarterly call to customers on the toner loyalty offer",
        "Toner Loyalty Offer",
        "Thank the customer and confirm the next toner delivery date.",
        {{"Are you happy with the speed of our toner deliveries?", 3, {"Yes", "No"}, {3, 2}},
         {"What could we do better?", 2, {}, {}},
         {"How many toner cartridges do you use in a month?", 1, {}, {}},
         {"Would you like a reminder call before you run out?", 3, {"Yes", "No"}, {0, 0}}},
    };
    return script;
}

CompanyPlan planCompany(std::uint64_t seed, int scale, const QDate& today) {
    return Planner(seed, scale, today).run();
}

}  // namespace tv::data::demo
