// Planned and completed work (tvScheduling): what the Activity and Schedule windows do to
// other rows when they save. A follow-up becomes a row of SCHEDULED ACTIVITIES; an
// activity moves the customer's and contact's first and last contact dates; completing a
// plan moves it into ACTIVITIES. The next date itself is kept by the business rules'
// ApplyNextDateRule, the one place that computes it.
//
// Both tables are keyed on the customer and a moment, so two plans of one customer at the
// same second cannot both exist: the routines here refuse to overwrite one (message 9141)
// rather than let a save silently replace another user's plan.
#pragma once

#include "core/variant.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tv::data {

// Messages of this module.
inline constexpr int kMsgPlanGone = 9140;    // the plan was completed or removed meanwhile
inline constexpr int kMsgPlanTaken = 9141;   // the customer has a plan at that moment already
inline constexpr int kMsgNotANumber = 9142;  // a duration or cost that is no number

// The follow-up fields of the Activity and Schedule windows, as typed.
struct FollowUp {
    QString date;
    QString time;
    QString rep;
    QString type;
    QString description;
};

// The follow-up's moment: the date, followed by the time when one is given. Nothing when
// the description is empty (no follow-up is wanted) or the text is no date.
std::optional<tv::DateTime> FollowUpMoment(const FollowUp& followUp);

// Whether the customer has a plan at that moment (to the second).
bool ScheduledActivityAt(const QString& customer, tv::DateTime when);

// Stores the follow-up as a plan of the customer and contact, with the campaign; the
// duration and cost start at 0. Refuses a moment the customer has a plan at already
// (message 9141). True when there was nothing to schedule or it was stored.
bool ScheduleFollowUp(const FollowUp& followUp, const QString& customer, const QString& contact,
                      const QString& campaign);

// After an activity on `when`: the customer's first date moves back to it when later (or
// empty), the last date forward when earlier; the same for the contact's first and last
// contact. With a follow-up planned, the next dates are recomputed. Dates compare as whole
// days. Failure: message 106.
bool UpdateContactDates(const QString& customer, const QString& contact, tv::DateTime when,
                        std::optional<tv::DateTime> followUp);

enum class Completion { Completed, PlanGone, Failed };

// Completes the plan stored under (customer, planned): in one transaction the plan is
// deleted, `activity` (the sixteen shared columns, 0-based, the moment in column 1) is
// added to ACTIVITIES, the follow-up (if any) is planned and the next-date rule runs with
// no day of its own, so the next date moves to the following plan or clears. A second
// workstation completing the same plan waits for the first and then finds it gone
// (message 9140); nothing is written then. An activity already at that second moves a
// second on. Other failures: message 105, nothing written.
Completion CompleteScheduledActivity(const QString& customer, tv::DateTime planned,
                                     const QStringList& activity, const FollowUp& followUp);

// Whether a duration or cost typed in a window may be stored: empty, or a number.
bool IsNumberOrEmpty(const QString& text);

}  // namespace tv::data
