// Planning logged activities (ACTIVITIES), planned ones (SCHEDULED ACTIVITIES) and the
// projects whose work shows in both.
#include "demo/planner.h"

namespace tv::demo {

ActivityPlan Planner::newActivity(Random& r, const CustomerPlan& c, Moment when,
                                  const QString& type, int user) const {
    ActivityPlan a;
    a.when = when;
    a.type = static_cast<std::uint8_t>(activityTypeIndex(type));
    a.user = static_cast<std::uint8_t>(user);
    a.contact = static_cast<std::int8_t>(pickContact(r, c));
    a.topic = static_cast<std::uint8_t>(r.below(int(v_.topicsFor(type).size())));
    a.product = static_cast<std::uint8_t>(r.pick(printers_));
    return a;
}

// The activity a document logs in the customer's history when it is raised.
void Planner::logDocument(Random& r, CustomerPlan& c, std::vector<long>& keys, Moment when,
                          const QString& type, int user, int document, int contact) const {
    ActivityPlan a = newActivity(r, c, claim(keys, when), type, user);
    a.document = document;
    a.contact = static_cast<std::int8_t>(contact);
    c.activities.push_back(a);
}

void Planner::planActivities(Random& r, int index, int since, std::vector<long>& keys) {
    CustomerPlan& c = customer(index);
    static const QStringList types = {"Call",          "Internet Email", "Meeting",
                                      "Service Visit", "Letter",         "Fax",
                                      "Demonstration", "Follow Up",      "Training"};
    // Minutes per unit of each type's duration, and how many units at most.
    static const int unit[] = {5, 5, 15, 15, 5, 5, 15, 5, 30};
    static const int units[][2] = {{1, 6}, {1, 3}, {2, 8}, {2, 12}, {1, 4},
                                   {1, 4}, {3, 6}, {1, 4}, {2, 6}};
    const int count = r.between(1, 9);
    for (int i = 0; i < count; ++i) {
        const int t = r.weighted({34, 18, 9, 12, 5, 2, 4, 8, 3});
        const QString& type = types[t];
        const bool service =
            type == QLatin1String("Service Visit") || type == QLatin1String("Training");
        const int user = service ? r.pick(service_) : (r.chance(0.8) ? c.rep : r.pick(sales_));
        ActivityPlan a =
            newActivity(r, c, claim(keys, businessMoment(r, since, today() - 1)), type, user);
        a.duration = std::uint16_t(unit[t] * r.between(units[t][0], units[t][1]));
        if (t == 0) {
            a.result = static_cast<std::int8_t>(r.weighted({30, 12, 8, 8, 14, 10, 10, 5, 3}));
        } else if (r.chance(0.6)) {
            a.result = 0;
        }
        a.billable = t == 8 || (t == 3 && r.chance(0.75));
        if (r.chance(0.35)) a.campaign = static_cast<std::int8_t>(campaignAt(a.when.day));
        if (t == 4) a.letter = r.below(int(v_.formLetters.size()));
        c.activities.push_back(a);
    }
}

void Planner::planScheduled(Random& r, int index, std::vector<long>& keys) {
    if (!r.chance(0.55 * presentShare())) return;
    CustomerPlan& c = customer(index);
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
        s.type = static_cast<std::uint8_t>(activityTypeIndex(types[t]));
        const bool service = t == 2 || t == 5;
        s.user = static_cast<std::uint8_t>(service ? r.pick(service_) : c.rep);
        s.contact = static_cast<std::int8_t>(pickContact(r, c));
        s.topic = static_cast<std::uint8_t>(r.below(int(v_.topicsFor(types[t]).size())));
        s.product = static_cast<std::uint8_t>(r.pick(printers_));
        s.duration = std::uint16_t(t == 0 ? 15 : 15 * r.between(2, 8));
        s.billable = service;
        c.scheduled.push_back(s);
    }
}

void Planner::planProject(Random& r, int index, int since, std::vector<long>& activityKeys,
                          std::vector<long>& scheduledKeys) {
    if (!r.chance(0.02)) return;
    const CustomerPlan& c = customer(index);
    ProjectPlan p;
    p.customer = index;
    p.contact = pickContact(r, c);
    p.user = c.rep;
    const QString kind = r.pick(v_.projectKinds);
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
    const int project = static_cast<int>(plan_.projects.size());
    plan_.projects.push_back(p);
    if (p.actualStart.isSet()) planProjectWork(r, index, project, activityKeys);
    if (!p.actualEnd.isSet()) planProjectSteps(r, index, project, scheduledKeys);
}

// Work done on a project so far: billable activities.
void Planner::planProjectWork(Random& r, int index, int project, std::vector<long>& keys) {
    CustomerPlan& c = customer(index);
    const ProjectPlan& p = plan_.projects[size_t(project)];
    const int end = p.actualEnd.isSet() ? p.actualEnd.day : today() - 1;
    const int count = r.between(2, 6);
    for (int i = 0; i < count; ++i) {
        const QString type =
            QStringList{"Meeting", "Service Visit", "Training"}[r.weighted({30, 50, 20})];
        ActivityPlan a = newActivity(
            r, c,
            claim(keys, businessMoment(r, p.actualStart.day, std::max(p.actualStart.day, end))),
            type, type == QLatin1String("Meeting") ? c.rep : r.pick(service_));
        a.duration = std::uint16_t(30 * r.between(2, 8));
        a.billable = true;
        a.project = project;
        c.activities.push_back(a);
    }
}

// A project's steps still to come: scheduled activities.
void Planner::planProjectSteps(Random& r, int index, int project, std::vector<long>& keys) {
    CustomerPlan& c = customer(index);
    const ProjectPlan& p = plan_.projects[size_t(project)];
    const int count = r.between(1, 3);
    for (int i = 0; i < count; ++i) {
        ScheduledPlan s;
        s.when =
            claim(keys, businessMoment(r, today() + 1, std::max(today() + 2, p.scheduledEnd.day)));
        s.type = static_cast<std::uint8_t>(activityTypeIndex(i == 0 ? "Meeting" : "Service Visit"));
        s.user = static_cast<std::uint8_t>(i == 0 ? c.rep : r.pick(service_));
        s.contact = static_cast<std::int8_t>(p.contact);
        s.topic =
            static_cast<std::uint8_t>(r.below(int(v_.topicsFor(activityTypes()[s.type]).size())));
        s.product = static_cast<std::uint8_t>(r.pick(printers_));
        s.duration = std::uint16_t(30 * r.between(2, 6));
        s.billable = true;
        s.project = project;
        c.scheduled.push_back(s);
    }
}

}  // namespace tv::demo
