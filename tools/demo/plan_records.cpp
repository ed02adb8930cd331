// Planning customer feedback, customers on a care plan, call-script runs and the staff's
// messages in the post office.
#include "demo/planner.h"

namespace tv::demo {

void Planner::planFeedback(Random& r, int index, int since, std::vector<long>& keys) {
    if (!r.chance(0.05)) return;
    const CustomerPlan& c = customer(index);
    FeedbackPlan f;
    f.customer = index;
    f.contact = pickContact(r, c);
    f.user = c.rep;
    f.when = claim(keys, businessMoment(r, since, today() - 1));
    const int kind = r.weighted({45, 35, 20});  // a compliment, a complaint, a suggestion
    f.type = QString::fromUtf8(kFeedbackTypes[kind]);
    const QStringList summaries = v_.feedback.value(f.type);
    f.summary = r.pick(summaries);
    f.details = f.summary + ". Told to us by telephone.";
    f.rating = kind == 0 ? r.between(4, 5) : kind == 1 ? r.between(1, 2) : 3;
    f.followUp = kind == 1;
    if (kind == 1 || r.chance(0.5)) {
        f.response = kind == 1 ? QStringLiteral("Apologised and arranged a follow-up visit.")
                               : QStringLiteral("Thanked the customer.");
        f.resolved = Moment{workdayUpTo(f.when.day + r.between(1, 10), today() - 1), 0};
    }
    if (r.chance(0.5)) f.product = r.pick(machines_);
    plan_.feedback.push_back(f);
}

// A customer put on a care plan lately, with the steps already taken.
void Planner::planCarePlan(Random& r, int index, int since) {
    if (!r.chance(0.04)) return;
    const CustomerPlan& c = customer(index);
    CarePlanStatusPlan s;
    s.customer = index;
    s.contact = pickContact(r, c);
    s.user = c.rep;
    s.plan = r.below(int(v_.carePlans.size()));
    s.start = Moment{nextWorkday(r.between(std::max(since, today() - 300), today() - 1)), 0};
    const auto& steps = v_.carePlans[size_t(s.plan)].steps;
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

// A run of the call script with the customer's answers.
void Planner::planScriptRun(Random& r, int index, int since) {
    if (!r.chance(0.02)) return;
    const CustomerPlan& c = customer(index);
    ScriptRunPlan run;
    run.customer = index;
    run.contact = pickContact(r, c);
    run.user = c.rep;
    run.started = businessMoment(r, since, today() - 1);
    for (const ScriptStep& step : v_.callScript.steps) {
        run.answers.push_back(step.responses.isEmpty()
                                  ? QString::number(r.between(1, 10))
                                  : step.responses[r.below(int(step.responses.size()))]);
    }
    plan_.scriptRuns.push_back(run);
}

// Messages between staff about customers over the last fortnight; the administrator gets
// the first few.
void Planner::planMail() {
    Random r(seed_, 11);
    const int count = 6 + plan_.scale;
    for (int i = 0; i < count && !plan_.customers.empty(); ++i) {
        MailPlan m;
        m.from = r.between(1, int(v_.staff.size()) - 1);
        m.to = i < 3 ? 0 : r.between(1, int(v_.staff.size()) - 1);
        m.customer = r.below(int(plan_.customers.size()));
        m.when = businessMoment(r, today() - 10, today() - 1);
        const MailText& text = r.pick(v_.mail);
        m.subject = text.subject.arg(plan_.customers[size_t(m.customer)].name);
        m.text = "<p>" + text.text.toHtmlEscaped() + "</p>";
        m.read = r.chance(0.5);
        plan_.mail.push_back(m);
    }
}

}  // namespace tv::demo
