#include "data/key_change.h"

namespace tv::data {

namespace {

using engine::quoteLiteral;

// Tables whose key other tables hold, and the column that holds it there.
struct Referred {
    const char* table;
    const char* column;
};

const Referred kReferred[] = {
    {"Customers", "CUSTOMER NAME"},
};

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasColumn(const engine::TableDef& def, const QString& column) {
    for (const engine::Field& field : def.Fields()) {
        if (sameName(field.Name(), column)) return true;
    }
    return false;
}

}  // namespace

std::vector<KeyChangeStep> KeyChangeSteps(engine::Database& db, const QString& table,
                                          const QStringList& oldKey, const QStringList& newKey) {
    std::vector<KeyChangeStep> steps;
    const QString from = oldKey.value(0);
    const QString to = newKey.value(0);
    if (from.isEmpty() || to.isEmpty() || from == to) return steps;

    for (const Referred& referred : kReferred) {
        if (!sameName(table, QLatin1String(referred.table))) continue;
        const QString column = QString::fromLatin1(referred.column);
        const QString set = QStringLiteral("] SET [%1] = %2 WHERE [%1] = %3")
                                .arg(column, quoteLiteral(to), quoteLiteral(from));
        for (const engine::TableDef& def : db.TableDefs()) {
            const QString name = def.Name();
            if (sameName(name, table) || !hasColumn(def, column)) continue;
            steps.push_back({name, QStringLiteral("UPDATE [") + name + set});
        }
    }
    return steps;
}

}  // namespace tv::data
