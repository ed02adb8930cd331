#include "forms/framework/data_tables.h"

#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"

namespace tv::forms {

std::optional<engine::TableDef> tableDefinition(const QString& tableName, int database) {
    data::AppState& st = data::state();
    if (database == data::kDataDb && !st.DataOpen && !data::OpenDataDatabase()) return std::nullopt;
    engine::Database& db = database == data::kDataDb ? st.DataDb : st.DefinitionsDb;
    std::optional<engine::TableDef> def;
    (void)data::attempt([&] {
        if (db.IsOpen()) def = db.TableDefNamed(tableName);
    });
    return def;
}

int tableFieldCount(const QString& tableName, int database) {
    const std::optional<engine::TableDef> def = tableDefinition(tableName, database);
    int count = 0;
    if (def) (void)data::attempt([&] { count = def->FieldCount(); });
    return count;
}

}  // namespace tv::forms
