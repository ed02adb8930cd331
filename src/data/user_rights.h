// Users and their rights: the password check against "System Users", the access level
// each user has on each table in "System User Access", and the checks that the commands
// and windows make when they run.
//
// Passwords are stored as argon2id hashes (libsodium's crypto_pwhash_str, its interactive
// limits): the PASSWORD column never holds a readable password written by this program. A
// readable one left by an older program is still accepted once, and replaced by its hash
// at that sign-in. Null keeps its meaning: any password signs in.
//
// A level is one number, the sum of 1 view, 2 add, 4 edit and 8 delete. It is read the way
// the rights were always read, taking them off from the largest down, so a stored 16 or
// more (which no window writes) grants all four, and a Null level grants all four as a
// missing row does.
#pragma once

#include "core/variant.h"
#include "data/app_state.h"

#include <QString>
#include <optional>
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

// The signed-in user's right (kViewRight, kAddRight, kEditRight or kDeleteRight) on a
// table, read from state().UserAccess: the first entry whose table matches ignoring case
// decides, a table without an entry grants every right. The administration tables need
// the administrator flag as well.
bool hasRight(const QString& table, int right);

// The tables only administrators open, whatever their access entries say: the users and
// their rights, and the definitions of fields and captions.
bool isAdministrationTable(const QString& table);

// True when the signed-in user is an administrator. Otherwise message 9130 names `what`
// (a window or table) and the result is false: the caller does nothing.
bool requireAdministrator(const QString& what);

// The stored form of a password: its argon2id hash, about 100 characters. Nothing when
// hashing failed (libsodium could not start or had no memory); the caller keeps what was
// stored before.
std::optional<QString> hashPassword(const QString& password);

// Whether a stored password is a hash (else it is readable text from an older program).
bool isPasswordHash(const QString& stored);

// Whether the typed password matches a stored hash.
bool passwordMatchesHash(const QString& password, const QString& hash);

enum class PasswordCheck {
    Accepted,       // CurrentUserId now holds the typed user id
    UnknownUser,    // no "System Users" row for the id
    WrongPassword,  // the row's password differs (compared case-sensitively)
    NoDatabase,     // the table could not be opened; OpenTable has said why
};

// Looks the user id up in "System Users" (ignoring case) and checks the password against
// the row's password column: a hash is verified, readable text compared exactly (and on a
// match replaced by its hash; when that cannot be written, message 9131 says so and the
// sign-in goes on); a Null stored password accepts any password. An unknown user id costs
// the same time as a wrong password, so the time taken does not tell which ids exist.
// Otherwise shows no message: the sign-in window says which field is wrong.
PasswordCheck checkUserPassword(const QString& userId, const QString& password);

}  // namespace tv::data
