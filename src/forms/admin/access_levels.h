// A user's rights on one table, stored in "System User Access" as one number: the sum of
// 1 view, 2 add, 4 edit and 8 delete. The main window and the Security window read it the
// same way, taking the rights off from the largest down, so a stored 16 or more (which no
// window writes) grants all four, and a Null level grants all four as a missing row does.
#pragma once

#include "core/variant.h"
#include "data/app_state.h"

#include <QString>
#include <vector>

namespace tv::forms {

inline constexpr int kViewRight = 1;
inline constexpr int kAddRight = 2;
inline constexpr int kEditRight = 4;
inline constexpr int kDeleteRight = 8;

// The entry for `table` from a stored level (a number, or text holding one).
data::AccessEntry decodeAccessLevel(const QString& table, const tv::Variant& level);

// The level that stores the entry's four rights.
int encodeAccessLevel(const data::AccessEntry& entry);

// The rights of `userId` on every table with a row in "System User Access", in the
// order the rows come; tables without a row have every right and are not listed. An
// unreadable table gives what was read before the failure (the data layer has said why).
std::vector<data::AccessEntry> readUserAccess(const QString& userId);

}  // namespace tv::forms
