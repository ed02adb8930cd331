// Field descriptions of query results.
#include "engine/query_fields.h"

#include "engine/connection.h"
#include "engine/pg_session.h"
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
        if (static_cast<int>(item.dates.size()) == span)
            for (int i = 0; i < span; ++i)
                if (item.dates[static_cast<size_t>(i)]) dates[static_cast<size_t>(col + i)] = true;
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

// Where a server's result column comes from: its table, column and engine type (the
// column's comment), all empty for an expression.
struct ServerOrigin {
    QString table;
    QString column;
    QString declared;
};

ServerOrigin serverOrigin(Connection& connection, const Statement& statement, int col) {
    ServerOrigin origin;
    const unsigned table = statement.server()->tableOid(col);
    const int attnum = statement.server()->tableColumn(col);
    if (table == 0 || attnum <= 0) return origin;
    Statement about = connection.cached(QStringLiteral(
        "SELECT c.relname, a.attname, col_description(c.oid, a.attnum) FROM pg_attribute a "
        "JOIN pg_class c ON c.oid = a.attrelid WHERE a.attrelid = ?1 AND a.attnum = ?2"));
    about.bindInt(1, table);
    about.bindInt(2, attnum);
    if (about.step()) {
        origin.table = about.textAt(0);
        origin.column = about.textAt(1);
        origin.declared = about.textAt(2);
    }
    return origin;
}

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
                                       const std::vector<ResultItem>* items,
                                       Connection* server) {
    std::vector<FieldInfo> fields;
    sqlite3_stmt* stmt = statement.handle();
    const std::vector<bool> dates = dateColumns(items, count);
    for (int col = first; col < first + count; ++col) {
        const QString name = statement.columnName(col);
        const char* origin = nullptr;
        const char* table = nullptr;
        const char* declared = nullptr;
        QByteArray serverText[3];
        if (server) {
            const ServerOrigin found = serverOrigin(*server, statement, col);
            if (!found.table.isEmpty()) {
                serverText[0] = found.table.toUtf8();
                serverText[1] = found.column.toUtf8();
                serverText[2] = found.declared.toUtf8();
                table = serverText[0].constData();
                origin = serverText[1].constData();
                declared = found.declared.isEmpty() ? nullptr : serverText[2].constData();
            }
        } else {
            origin = sqlite3_column_origin_name(stmt, col);
            table = sqlite3_column_table_name(stmt, col);
            declared = sqlite3_column_decltype(stmt, col);
        }
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
