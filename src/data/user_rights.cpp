#include "data/user_rights.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/failure.h"
#include "engine/engine.h"

namespace tv::data {

namespace {

// "System User Access", 0-based.
constexpr int kTableColumn = 1;
constexpr int kLevelColumn = 2;

// "System Users", 0-based.
constexpr int kPasswordColumn = 9;

}  // namespace

AccessEntry decodeAccessLevel(const QString& table, const tv::Variant& level) {
    AccessEntry entry;
    entry.TableName = table;
    if (level.isNull()) return entry;  // every right, as a missing row

    entry.CanAdd = entry.CanEdit = entry.CanDelete = entry.CanView = false;
    double c = tv::Val(tv::TextOf(level));
    if (c >= kDeleteRight) {
        entry.CanDelete = true;
        c -= kDeleteRight;
    }
    if (c >= kEditRight) {
        entry.CanEdit = true;
        c -= kEditRight;
    }
    if (c >= kAddRight) {
        entry.CanAdd = true;
        c -= kAddRight;
    }
    entry.CanView = c >= kViewRight;
    return entry;
}

int encodeAccessLevel(const AccessEntry& entry) {
    return (entry.CanDelete ? kDeleteRight : 0) + (entry.CanEdit ? kEditRight : 0) +
           (entry.CanAdd ? kAddRight : 0) + (entry.CanView ? kViewRight : 0);
}

std::vector<AccessEntry> readUserAccess(const QString& userId) {
    std::vector<AccessEntry> entries;
    engine::Recordset rs =
        OpenTable(QStringLiteral("SELECT * FROM [SYSTEM USER ACCESS] WHERE USERID = ") +
                  engine::quoteLiteral(userId));
    if (!rs.IsOpen()) return entries;
    // A row that cannot be read ends the list; the rows before it still count.
    (void)attempt([&] {
        for (; !rs.EOF_(); rs.MoveNext())
            entries.push_back(decodeAccessLevel(tv::TextOf(rs[kTableColumn]), rs[kLevelColumn]));
    });
    rs.Close();
    return entries;
}

PasswordCheck checkUserPassword(const QString& userId, const QString& password) {
    engine::Recordset rs = OpenTable(QStringLiteral("System Users"));
    if (!rs.IsOpen()) return PasswordCheck::NoDatabase;

    PasswordCheck result = PasswordCheck::UnknownUser;
    (void)attempt([&] {
        rs.Seek(QStringLiteral("="), tv::Variant(userId));
        if (rs.NoMatch()) return;
        result = PasswordCheck::WrongPassword;
        const tv::Variant stored = rs[kPasswordColumn];
        if (stored.isNull() || tv::TextOf(stored) == password) result = PasswordCheck::Accepted;
    });
    rs.Close();
    if (result == PasswordCheck::Accepted) state().CurrentUserId = userId;
    return result;
}

}  // namespace tv::data
