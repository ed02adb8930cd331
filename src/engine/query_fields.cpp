// Field descriptions of query results.
#include "engine/query_fields.h"

#include "engine/connection.h"
#include "engine/statement.h"
#include "engine/values.h"

namespace tv::engine {

namespace {

// Which of `count` result columns the translator knows to be dates. The select list's
// items line up with the columns once each "*" is expanded; one "*" of unknown width
// takes what the others leave. Nothing is known when the items cannot be lined up.
std::vector<bool> dateColumns(const std::vector<ResultItem>* items, int count) {
    std::vector<bool> dates(static_cast<size_t>(count), false);
    if (!items) return dates;
    int known = 0;
    int unknown = 0;
    for (const ResultItem& item : *items) {
        if (item.span < 0) {
            ++unknown;
        } else {
            known += item.span;
        }
    }
    if (unknown > 1 || (unknown == 0 && known != count) || known > count) return dates;
    int col = 0;
    for (const ResultItem& item : *items) {
        const int span = item.span < 0 ? count - known : item.span;
        if (item.date) dates[static_cast<size_t>(col)] = true;
        col += span;
    }
    return dates;
}

// A stored query's columns: a column it takes from a table declares that column's type.
std::vector<FieldInfo> viewFields(Connection& connection, const QString& view) {
    std::vector<FieldInfo> fields;
    Statement columns = connection.cached(
        QStringLiteral("SELECT name, type FROM pragma_table_info(?1) ORDER BY cid"));
    columns.bindText(1, view);
    while (columns.step()) {
        const QString declared = columns.textAt(1);
        FieldInfo field = fieldOfColumn(columns.textAt(0), parseDeclaredType(declared), false);
        field.typeFromValue = declared.isEmpty();
        fields.push_back(field);
    }
    return fields;
}

}  // namespace

dialect::Catalog catalogOf(DatabaseCore& db) {
    return [&db](const QString& table) -> dialect::TableColumns {
        bool isView = false;
        const QString stored = db.schemas.storedName(db.conn(), table, &isView);
        if (stored.isEmpty()) return nullptr;
        if (isView)
            return std::make_shared<const std::vector<FieldInfo>>(viewFields(db.conn(), stored));
        const auto schema = db.schemas.table(db.conn(), stored);
        return dialect::TableColumns(schema, &schema->fields);
    };
}

std::vector<FieldInfo> describeColumns(const Statement& statement, int first, int count,
                                       const TableSchema* written,
                                       const std::vector<ResultItem>* items) {
    std::vector<FieldInfo> fields;
    sqlite3_stmt* stmt = statement.handle();
    const std::vector<bool> dates = dateColumns(items, count);
    for (int col = first; col < first + count; ++col) {
        const QString name = statement.columnName(col);
        const char* origin = sqlite3_column_origin_name(stmt, col);
        const char* table = sqlite3_column_table_name(stmt, col);
        const char* declared = sqlite3_column_decltype(stmt, col);
        int ordinal = -1;
        if (written && origin && table &&
            QString::fromUtf8(table).compare(written->name, Qt::CaseInsensitive) == 0)
            ordinal = written->columnIndex(QString::fromUtf8(origin));
        FieldInfo field;
        if (ordinal >= 0) {
            field = written->fields[static_cast<size_t>(ordinal)];
            field.name = name;
        } else if (declared && origin) {
            field = fieldOfColumn(name, parseDeclaredType(QString::fromUtf8(declared)), false);
        } else if (dates[static_cast<size_t>(col - first)]) {
            field.name = name;
            field.type = FieldType::Date;
            field.size = fieldSize(FieldType::Date, 0);
        } else {
            field.name = name;
            field.typeFromValue = true;
        }
        fields.push_back(field);
    }
    return fields;
}

}  // namespace tv::engine
