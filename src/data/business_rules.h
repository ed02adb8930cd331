// Business rules that cross tables (tvBusiness): the tidying up that deleting certain rows
// needs, and the rule that keeps a customer's next date and a contact's next contact date
// on the earliest planned activity still ahead.
//
// A cascade and the delete it belongs to are one change: DeleteRecord runs the cascade's
// statements and the delete in one transaction, so a failure in either leaves every table
// as it was.
#pragma once

#include "data/app_state.h"

#include <QString>
#include <cstdint>

namespace tv::data {

// The cascade for one table, prepared by DeleteRecord after the row has been found and
// before it is deleted. The table is the name DeleteRecord was given (any letter case):
//   "Scheduled Activities"  the next-date rule for the row's customer and contact, with
//                           the row's own day;
//   "Projects"              asks (message 149) whether the project's scheduled activities
//                           go too;
//   "Customer Attachments"  asks (message 193) whether the attached file goes too; the file
//                           is removed once the row is gone (message 9041 when it cannot be),
//                           and only when its folder, resolved, lies in the site's files
//                           folder (siteFilesFolder: the data folder of a folder site;
//                           message 9135 for a file elsewhere, which stays);
//   "Sales Orders"          asks (message 147) whether the inventory created by the order
//                           goes or stays unlinked, then unbills the order's activities,
//                           service contracts and completed requests.
// The questions are asked here; the returned steps do the work. Other tables give an empty
// cascade.
DeleteCascade BeforeDelete(const QString& table, const QString& key1, const QString& key2,
                           const QString& key3);

// The next-date rule: the customer's NEXTDATE and, when a contact is given, the contact's
// NEXTCONTACT become the day of the earliest scheduled activity from today on (the start of
// today counts, so an activity later today is ahead). `day` (a whole day serial, 0 for
// none) is a day the caller is about to plan; it wins when it is earlier, and it is the
// answer when nothing is scheduled. With no answer at all the date is cleared.
// The customer and contact rows are edited in place, whatever the workflow filter would
// show; FieldValues is not touched. A schedule that cannot be read is reported with message
// 194, a failed update with message 106. Returns false when something failed.
bool ApplyNextDateRule(const QString& customer, const QString& contact, std::int32_t day);

// Installs BeforeDelete as the access layer's deletion hook (state().BeforeDelete). The
// hook goes with state().reset(), so sign-in installs it again.
void InstallBusinessRules();

}  // namespace tv::data
