// Reading many rows: filling lists, listing the data tables, and positioning a record
// set for the list window's on-demand grid.
#include "core/format.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/app_state.h"
#include "data/failure.h"

#include <array>

namespace tv::data {

void FillList(const QString& source, ListSink& list, int column, int database) {
    list.clear();
    engine::Recordset rs = OpenTable(source, database);
    if (!rs.IsOpen()) return;
    // A read error ends the filling; what was added stays.
    (void)attempt([&] {
        while (!rs.EOF_() && !rs.BOF()) {
            list.addItem(tv::TextOf(rs[column]));
            rs.MoveNext();
        }
    });
    rs.Close();
    detail::idleQuietly();
}

void ListDataTables(ListSink& list) {
    // Tables the program keeps for itself; people never pick them from a list.
    static const std::array<QString, 4> hidden{
        QStringLiteral("Colours"), QStringLiteral("Counters"), QStringLiteral("Filters"),
        QStringLiteral("System User Access")};

    list.clear();
    if (!state().DataOpen) OpenDataDatabase();
    (void)attempt([&] {
        for (const engine::TableDef& def : detail::databaseFor(kDataDb).TableDefs()) {
            const QString name = def.Name();
            if (name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive)) continue;
            bool skip = false;
            for (const QString& h : hidden)
                skip = skip || name.compare(h, Qt::CaseInsensitive) == 0;
            if (!skip) list.addItem(name);
        }
    });
}

bool MoveFromBookmark(engine::Recordset& rs, const std::optional<QByteArray>& bookmark,
                      long offset) {
    const std::optional<Failure> failed = attempt([&] {
        if (!bookmark) {
            if (offset >= 0) {
                rs.MoveFirst();
                rs.MovePrevious();
            } else {
                rs.MoveLast();
                rs.MoveNext();
            }
        } else if (attempt([&] { rs.SetBookmark(*bookmark); })) {
            // A bookmark from before a requery no longer names a row: start again at the top.
            rs.MoveFirst();
        }
        rs.Move(offset);
    });
    return failed.has_value();
}

long RowCount(engine::Recordset& rs) {
    long count = 0;
    (void)attempt([&] {
        if (rs.EOF_() && rs.BOF()) return;  // no rows: nothing to move to
        rs.MoveLast();
        count = rs.RecordCount();
    });
    return count;
}

}  // namespace tv::data
