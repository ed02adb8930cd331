#include "forms/admin/access_levels.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/failure.h"
#include "engine/engine.h"

namespace tv::forms {

namespace {

constexpr int kTableColumn = 1;
constexpr int kLevelColumn = 2;

}  // namespace

data::AccessEntry decodeAccessLevel(const QString& table, const tv::Variant& level) {
    data::AccessEntry entry;
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

int encodeAccessLevel(const data::AccessEntry& entry) {
    return (entry.CanDelete ? kDeleteRight : 0) + (entry.CanEdit ? kEditRight : 0) +
           (entry.CanAdd ? kAddRight : 0) + (entry.CanView ? kViewRight : 0);
}

std::vector<data::AccessEntry> readUserAccess(const QString& userId) {
    std::vector<data::AccessEntry> entries;
    engine::Recordset rs =
        data::OpenTable(QStringLiteral("SELECT * FROM [SYSTEM USER ACCESS] WHERE USERID = ") +
                        engine::quoteLiteral(userId));
    if (!rs.IsOpen()) return entries;
    // A row that cannot be read ends the list; the rows before it still count.
    (void)data::attempt([&] {
        if (rs.EOF_()) return;
        rs.MoveFirst();
        while (!rs.EOF_()) {
            entries.push_back(decodeAccessLevel(tv::TextOf(rs[kTableColumn]), rs[kLevelColumn]));
            rs.MoveNext();
        }
    });
    rs.Close();
    return entries;
}

}  // namespace tv::forms
