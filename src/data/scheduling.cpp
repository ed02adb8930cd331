// Follow-ups, contact dates and completing a plan. Every customer or contact name that
// reaches a statement goes through quoteLiteral; dates are written as ISO literals.
#include "data/scheduling.h"

#include "core/convert.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/business_rules.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "engine/engine.h"

#include <cmath>

namespace tv::data {

namespace {

const QString kScheduled = QStringLiteral("Scheduled Activities");
const QString kActivities = QStringLiteral("Activities");

// The first sixteen columns both tables share.
constexpr int kSharedColumns = 16;
// Column ordinals (0-based) of the shared row.
constexpr int kCustomer = 0;
constexpr int kWhen = 1;
constexpr int kType = 2;
constexpr int kDescription = 3;
constexpr int kUser = 4;
constexpr int kContact = 5;
constexpr int kCampaign = 6;
constexpr int kDuration = 8;
constexpr int kCost = 10;

// First, last and next contact dates: CUSTOMERS and CONTACTS (0-based).
constexpr int kCustomerFirst = 20;
constexpr int kCustomerLast = 21;
constexpr int kContactFirst = 16;
constexpr int kContactLast = 17;

// An activity at a second the customer has one already moves on by up to this much.
constexpr int kSecondsToTry = 60;

std::int32_t wholeDay(tv::DateTime d) { return static_cast<std::int32_t>(std::floor(d.serial)); }

std::int32_t today() { return wholeDay(prompter().now()); }

// A day still ahead counts for the next date; a past one (a plan moved back, an overdue
// follow-up) does not.
std::int32_t dayAhead(tv::DateTime when) {
    const std::int32_t day = wholeDay(when);
    return day >= today() ? day : 0;
}

bool rowAt(const QString& table, const QString& customer, tv::DateTime when) {
    engine::Recordset rs = OpenTable(table);
    if (!rs.IsOpen()) return false;
    const bool found = SeekRecord(rs, customer, tv::toIsoText(when), QString());
    rs.Close();
    return found;
}

QStringList followUpRow(const FollowUp& followUp, tv::DateTime when, const QString& customer,
                        const QString& contact, const QString& campaign) {
    QStringList row;
    for (int i = 0; i < kSharedColumns; ++i) row << QString();
    row[kCustomer] = customer;
    row[kWhen] = tv::toIsoText(when);
    row[kType] = followUp.type;
    row[kDescription] = followUp.description;
    row[kUser] = followUp.rep;
    row[kContact] = contact;
    row[kCampaign] = campaign;
    row[kDuration] = QStringLiteral("0");
    row[kCost] = QStringLiteral("0");
    return row;
}

QString planText(const QString& customer, tv::DateTime when) {
    return customer + QStringLiteral(", ") + tv::CStr(tv::Variant(when));
}

// Moves the first date back and the last date forward to the day of `when`. Throws DbError.
void widenDates(const QString& table, const QString& key1, const QString& key2, int firstColumn,
                int lastColumn, tv::DateTime when) {
    engine::Recordset rs = detail::databaseFor(kDataDb).OpenRecordset(table);
    rs.SetIndex(QStringLiteral("PrimaryKey"));
    if (!SeekRecord(rs, key1, key2, QString())) return;
    const std::int32_t day = wholeDay(when);
    const auto dayOf = [&](int column) -> std::optional<std::int32_t> {
        const tv::Variant v = rs.FieldAt(column).Value();
        if (v.isNull()) return std::nullopt;
        return wholeDay(tv::CDate(v));
    };
    const std::optional<std::int32_t> first = dayOf(firstColumn);
    const std::optional<std::int32_t> last = dayOf(lastColumn);
    const bool moveFirst = !first || *first > day;
    const bool moveLast = !last || day > *last;
    if (!moveFirst && !moveLast) return;
    detail::idleQuietly();
    rs.Edit();
    const tv::Variant value(tv::DateTime{static_cast<double>(day)});
    if (moveFirst) rs.FieldAt(firstColumn).SetValue(value);
    if (moveLast) rs.FieldAt(lastColumn).SetValue(value);
    rs.Update();
}

}  // namespace

std::optional<tv::DateTime> FollowUpMoment(const FollowUp& followUp) {
    if (followUp.description.trimmed().isEmpty()) return std::nullopt;
    QString text = followUp.date.trimmed();
    if (text.isEmpty()) return std::nullopt;
    if (!followUp.time.trimmed().isEmpty()) text += u' ' + followUp.time.trimmed();
    tv::DateTime when;
    if (!tv::parseDateTime(text, &when)) return std::nullopt;
    return when;
}

bool ScheduledActivityAt(const QString& customer, tv::DateTime when) {
    return rowAt(kScheduled, customer, when);
}

bool ScheduleFollowUp(const FollowUp& followUp, const QString& customer, const QString& contact,
                      const QString& campaign) {
    const std::optional<tv::DateTime> when = FollowUpMoment(followUp);
    if (!when || customer.isEmpty()) return true;
    if (ScheduledActivityAt(customer, *when)) {
        ShowMessage(kMsgPlanTaken, planText(customer, *when));
        return false;
    }
    return SaveRecord(kScheduled, followUpRow(followUp, *when, customer, contact, campaign), true);
}

bool UpdateContactDates(const QString& customer, const QString& contact, tv::DateTime when,
                        std::optional<tv::DateTime> followUp) {
    if (customer.isEmpty()) return true;
    if (!state().DataOpen && !OpenDataDatabase()) return false;
    const std::optional<Failure> failed = attempt([&] {
        widenDates(QStringLiteral("Customers"), customer, QString(), kCustomerFirst,
                   kCustomerLast, when);
        if (!contact.isEmpty())
            widenDates(QStringLiteral("Contacts"), customer, contact, kContactFirst, kContactLast,
                       when);
    });
    detail::idleQuietly();
    if (failed) {
        ShowMessage(106, errorTail(*failed));
        return false;
    }
    if (!followUp) return true;
    return ApplyNextDateRule(customer, contact, dayAhead(*followUp));
}

Completion CompleteScheduledActivity(const QString& customer, tv::DateTime planned,
                                     const QStringList& activity, const FollowUp& followUp) {
    tv::DateTime done;
    if (customer.isEmpty() || !tv::parseDateTime(activity.value(kWhen), &done))
        return Completion::Failed;
    if (!state().DataOpen && !OpenDataDatabase()) return Completion::Failed;

    // Refused before anything is written, so the user can pick another moment and retry.
    const std::optional<tv::DateTime> next = FollowUpMoment(followUp);
    if (next && ScheduledActivityAt(customer, *next)) {
        ShowMessage(kMsgPlanTaken, planText(customer, *next));
        return Completion::Failed;
    }

    const QString activityCustomer = activity.value(kCustomer);
    const QString contact = activity.value(kContact);
    bool gone = false;
    bool began = false;
    bool committing = false;
    const std::optional<Failure> failed = attempt([&] {
        engine::Database& db = detail::databaseFor(kDataDb);
        db.BeginTrans();
        began = true;
        // Under the write lock: a workstation that completed the plan first has deleted it.
        const long removed = db.Execute(
            QStringLiteral("DELETE * FROM [SCHEDULED ACTIVITIES] WHERE [CUSTOMER NAME] = ") +
            engine::quoteLiteral(customer) + QStringLiteral(" AND [SCHEDDATETIME] = ") +
            engine::sqlLiteral(tv::Variant(planned)));
        if (removed == 0) {
            gone = true;
            return;
        }

        tv::DateTime when = done;
        for (int i = 0; i < kSecondsToTry && rowAt(kActivities, activityCustomer, when); ++i)
            when = tv::DateAddSeconds(when, 1);
        QStringList row = activity;
        while (row.size() < kSharedColumns) row << QString();
        row[kWhen] = tv::toIsoText(when);
        state().FieldValues.assign(row);
        if (!AddRecord(kActivities, false))
            throw engine::DbError(105, QStringLiteral("The activity could not be added."));
        if (next && !SaveRecord(kScheduled,
                                followUpRow(followUp, *next, activityCustomer, contact,
                                            activity.value(kCampaign)),
                                false))
            throw engine::DbError(105, QStringLiteral("The follow-up could not be planned."));
        // The plan is gone: the next date moves on to the following one, or clears.
        if (!ApplyNextDateRule(activityCustomer, contact, 0))
            throw engine::DbError(106, QStringLiteral("The next date could not be kept."));
        committing = true;  // a failed commit has rolled back already
        db.CommitTrans();
    });
    if (began && (failed || gone) && !committing)
        (void)attempt([] { detail::databaseFor(kDataDb).Rollback(); });
    detail::idleQuietly();

    if (failed) {
        ShowMessage(105, errorTail(*failed));
        return Completion::Failed;
    }
    if (gone) {
        ShowMessage(kMsgPlanGone, planText(customer, planned));
        return Completion::PlanGone;
    }
    return Completion::Completed;
}

bool IsNumberOrEmpty(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() || tv::IsNumeric(tv::Variant(trimmed));
}

}  // namespace tv::data
