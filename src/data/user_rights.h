// Users and their rights: the password check against "System Users" and the access level
// each user has on each table in "System User Access".
//
// A level is one number, the sum of 1 view, 2 add, 4 edit and 8 delete. It is read the way
// the rights were always read, taking them off from the largest down, so a stored 16 or
// more (which no window writes) grants all four, and a Null level grants all four as a
// missing row does.
#pragma once

#include "core/variant.h"
#include "data/app_state.h"

#include <QString>
#include <vector>

namespace tv::data {

inline constexpr int kViewRight = 1;
inline constexpr int kAddRight = 2;
inline constexpr int kEditRight = 4;
inline constexpr int kDeleteRight = 8;

// The entry for `table` from a stored level (a number, or text holding one).
AccessEntry decodeAccessLevel(const QString& table, const tv::Variant& level);

// The level that stores the entry's four rights.
int encodeAccessLevel(const AccessEntry& entry);

// The rights of `userId` (any letter case) on every table with a row in "System User
// Access", in the order the rows come; tables without a row have every right and are not
// listed. An unreadable table gives what was read before the failure (OpenTable has said
// why).
std::vector<AccessEntry> readUserAccess(const QString& userId);

enum class PasswordCheck {
    Accepted,       // CurrentUserId now holds the typed user id
    UnknownUser,    // no "System Users" row for the id
    WrongPassword,  // the row's password differs (compared case-sensitively)
    NoDatabase,     // the table could not be opened; OpenTable has said why
};

// Looks the user id up in "System Users" (ignoring case) and compares the password with
// the row's password column exactly; a Null stored password accepts any password. Shows
// no message of its own: the sign-in window says which field is wrong.
PasswordCheck checkUserPassword(const QString& userId, const QString& password);

}  // namespace tv::data
