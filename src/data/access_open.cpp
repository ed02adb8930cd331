// Opening: the data database on first use, record sets on either database, the key
// description of a table, and repair of a damaged file.
#include "core/paths.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data/locations.h"
#include "data/source_text.h"
#include "engine/server.h"

#include <QFileInfo>

namespace tv::data {

namespace detail {

engine::Database& databaseFor(int selector) {
    AppState& st = state();
    engine::Database& db = selector == kDataDb ? st.DataDb : st.DefinitionsDb;
    if (!db.IsOpen()) {
        // Jet's wording for an object that was never set or has been closed.
        throw engine::DbError(3420, QStringLiteral("Object invalid or no longer set."));
    }
    return db;
}

QStringList primaryKeyColumns(const QString& source, int selector) {
    const engine::TableDef def = databaseFor(selector).TableDefNamed(SourceTable(source));
    for (const engine::Index& index : def.Indexes()) {
        if (index.Name().compare(QLatin1String("PrimaryKey"), Qt::CaseInsensitive) == 0)
            return index.FieldNames();
    }
    throw engine::DbError(engine::err::kIndexNotFound,
                          QStringLiteral("'PrimaryKey' isn't an index in this table."));
}


void cancelQuietly(engine::Recordset& rs) {
    (void)attempt([&] {
        if (rs.IsOpen() && rs.EditModeNow() != engine::EditMode::None) rs.CancelUpdate();
    });
}

void idleQuietly() {
    (void)attempt([] { engine::Engine::instance().Idle(true); });
}

std::optional<Failure> inTransaction(const std::function<void(engine::Database& db)>& steps) {
    bool began = false;
    bool committing = false;
    const std::optional<Failure> failed = attempt([&] {
        engine::Database& db = databaseFor(kDataDb);
        db.BeginTrans();
        began = true;
        steps(db);
        committing = true;  // a failed commit has rolled back already
        db.CommitTrans();
    });
    if (failed && began && !committing) (void)attempt([] { databaseFor(kDataDb).Rollback(); });
    idleQuietly();
    return failed;
}

}  // namespace detail

namespace {
constexpr int kLegacyJetFileMessage = 9000;
}  // namespace

bool OpenDataDatabase() {
    AppState& st = state();
    const QString path = tv::joinPath(st.DataLocation, QStringLiteral("Data.mdb"));

    auto open = [&] { st.DataDb = engine::Engine::instance().OpenDatabase(path); };
    std::optional<Failure> failed = attempt(open);
    if (!failed) {
        st.DataOpen = true;
        return true;
    }

    if (failed->number == engine::err::kNotDatabase || failed->number == engine::err::kDamaged) {
        if (ShowMessage(11, QStringLiteral("\n") + path) == msgbox::kYes &&
            RepairDatabaseFile(path)) {
            // The repaired file still has to be opened before the layer can use it.
            failed = attempt(open);
            if (!failed) {
                st.DataOpen = true;
                return true;
            }
        } else {
            return false;
        }
    }

    if (failed->number == engine::err::kLegacyJetFile)
        ShowMessage(kLegacyJetFileMessage, path);  // says what the file is, not just "cannot open"
    else
        ShowMessage(2, path + QStringLiteral("\n\n") + failed->text);
    st.DataOpen = false;
    return false;
}

bool LocationHoldsDatabase(const QString& location, const QString& fileName, bool report) {
    constexpr int kServerPassword = 9170;
    constexpr int kServerUnusable = 9171;
    if (location.trimmed().isEmpty()) return false;
    if (!engine::IsServerLocation(location))
        return QFileInfo(tv::joinPath(location, fileName)).isFile();
    if (engine::LocationHoldsPassword(location)) {
        if (report) ShowMessage(kServerPassword);
        return false;
    }
    const std::optional<Failure> failed = attempt([&] {
        engine::Engine::instance().OpenDatabase(tv::joinPath(location, fileName), true).Close();
    });
    if (failed && report)
        ShowMessage(kServerUnusable, location.trimmed() + QStringLiteral("\n\n") + failed->text);
    return !failed;
}

engine::Recordset OpenTable(const QString& source, int database, int options) {
    AppState& st = state();
    // A data database that cannot be opened has been reported already (message 2 or 11);
    // a second box about the record set would only repeat it.
    if (!st.DataOpen && !OpenDataDatabase() && database == kDataDb) return engine::Recordset();

    QString actual = source;
    engine::Recordset rs;
    const std::optional<Failure> failed = attempt([&] {
        if (st.WorkflowMode && st.ApplyWorkflowFilter) actual = st.ApplyWorkflowFilter(source);
        rs = detail::databaseFor(database).OpenRecordset(actual, options);
    });
    if (failed) {
        rs.Close();
        ShowMessage(194, QStringLiteral("\n\n") + actual + errorTail(*failed));
        return engine::Recordset();
    }

    if (!IsSqlSource(actual)) {
        // Every Seek in the program relies on the primary key being the current index. A
        // table without one still opens, for reading; a later Seek on it reports not found.
        (void)attempt([&] { rs.SetIndex(QStringLiteral("PrimaryKey")); });
    }
    return rs;
}

int KeyColumnCount(const QString& source, int database) {
    int count = 0;
    (void)attempt(
        [&] { count = static_cast<int>(detail::primaryKeyColumns(source, database).size()); });
    return count;
}

bool RepairDatabaseFile(const QString& path) {
    Prompter& p = prompter();
    p.setPointer(kPointerHourglass);
    p.processEvents();
    engine::RepairReport report;
    const std::optional<Failure> failed =
        attempt([&] { report = engine::Engine::instance().RepairDatabase(path); });
    p.setPointer(kPointerDefault);
    if (failed) {
        // Others still working with the file is no failure of the repair: it can be tried
        // again once they are done, and nothing has been touched.
        ShowMessage(failed->number == engine::err::kFileInUse ? 9030 : 13,
                    QStringLiteral("\n\n") + path);
        return false;
    }
    // The repaired file opens, but the user must learn what it no longer holds (a table
    // such as System Users that lost rows can stop people signing in).
    if (report.lostRows())
        ShowMessage(9031,
                    QStringLiteral("\n\n") + report.lossSummary() + QStringLiteral("\n\n") + path);
    return true;
}

}  // namespace tv::data
