// Writing projects, customer feedback, care-plan progress, call-script runs, the counters
// and the post office's messages.
#include "demo/company_writer.h"

#include <map>

namespace tv::demo {

void CompanyWriter::writeProjects() {
    TableWriter w = table(
        "PROJECTS", {"NAME", "CUSTOMER NAME", "SCHEDULEDSTART", "SCHEDULEDEND", "ACTUALSTART",
                     "ACTUALEND", "DESCRIPTION", "CONTACT NAME", "USER ID", "STATUS", "BUDGET"});
    const auto order = orderBy(plan_.projects, [](const ProjectPlan& a, const ProjectPlan& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
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

void CompanyWriter::writeFeedback() {
    TableWriter w =
        table("CUSTOMER FEEDBACK", {"CUSTOMER NAME", "DATETIME", "FEEDBACKTYPE", "CONTACT NAME",
                                    "USER ID", "PRODUCTCODE", "SUMMARY", "DETAILS", "RATING",
                                    "FOLLOWUP", "RESPONSE", "RESOLVEDDATE"});
    for (const FeedbackPlan& f : plan_.feedback) {
        w.add({customerName(f.customer), date(f.when), f.type,
               text(contactName(f.customer, f.contact)), userId(f.user),
               f.product >= 0 ? Variant(productCode(f.product)) : Variant(), f.summary, f.details,
               shortWhole(f.rating), flag(f.followUp), text(f.response), date(f.resolved)});
    }
    done(w);
}

void CompanyWriter::writeCarePlanStatus() {
    TableWriter w = table("CUSTOMER CARE PLAN STATUS",
                          {"CUSTOMER NAME", "PLAN NAME", "STARTDATE", "CONTACT NAME", "USER ID",
                           "LASTSTEP", "NEXTSTEPDATE", "STATUS", "COMPLETEDDATE"});
    for (const CarePlanStatusPlan& p : plan_.carePlans) {
        w.add({customerName(p.customer), v_.carePlans[size_t(p.plan)].name, date(p.start),
               text(contactName(p.customer, p.contact)), userId(p.user), shortWhole(p.lastStep),
               date(p.nextStep), p.status, date(p.completed)});
    }
    done(w);
}

void CompanyWriter::writeScriptHistory() {
    TableWriter w = table("SCRIPTS HISTORY",
                          {"CUSTOMER NAME", "SCRIPT NAME", "STARTED", "USER ID", "CONTACT NAME"});
    for (const ScriptRunPlan& r : plan_.scriptRuns) {
        w.add({customerName(r.customer), v_.callScript.name, date(r.started), userId(r.user),
               text(contactName(r.customer, r.contact))});
    }
    done(w);
}

void CompanyWriter::writeScriptAnswers() {
    TableWriter w = table("SCRIPTS HISTORY DETAIL", {"CUSTOMER NAME", "SCRIPT NAME", "STARTED",
                                                     "SCRIPT BRANCH ID", "RESPONSE"});
    for (const ScriptRunPlan& r : plan_.scriptRuns) {
        for (size_t k = 0; k < r.answers.size(); ++k) {
            w.add({customerName(r.customer), v_.callScript.name, date(r.started),
                   whole(long(k) + 1), r.answers[k]});
        }
    }
    done(w);
}

// Each counter holds the last number handed out, so the next document follows on.
void CompanyWriter::writeCounters() {
    auto highest = [](const auto& docs) {
        long top = 0;
        for (const auto& d : docs) top = std::max<long>(top, d.number);
        return top;
    };
    const std::map<QString, long> last = {
        {"Quotations", highest(plan_.quotations)},
        {"Sales Orders", highest(plan_.orders)},
        {"Purchase Orders", highest(plan_.purchases)},
        {"Current Requests", highest(plan_.requests)},
        {"RMAs", highest(plan_.rmas)},
        {"Known Problems", long(v_.knownProblems.size())},
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

void CompanyWriter::writeMail() {
    TableWriter w(messages_, QStringLiteral("Messages.mdb"), QStringLiteral("INBOX"),
                  {"RECEIVED", "TONAME", "TOADDRESS", "USERID", "FROMNAME", "COMPANY",
                   "FROMADDRESS", "SENTVIA", "SUBJECT", "MESSAGETEXT", "HASATTACHMENTS", "STATUS"});
    for (const MailPlan& m : plan_.mail) {
        const StaffMember& from = v_.staff[size_t(m.from)];
        const StaffMember& to = v_.staff[size_t(m.to)];
        w.add({date(m.when), to.name, "Local", to.id, from.name, customerName(m.customer), from.id,
               "Local", m.subject.left(255), m.text, flag(false),
               m.read ? QStringLiteral("Read") : QStringLiteral("Unread")});
    }
    done(w);
}

}  // namespace tv::demo
