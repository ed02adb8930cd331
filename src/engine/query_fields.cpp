// Field descriptions of query results.
#include "engine/query_fields.h"

#include "engine/statement.h"
#include "engine/values.h"

namespace tv::engine {

std::vector<FieldInfo> describeColumns(const Statement& statement, int first, int count,
                                       const TableSchema* written) {
    std::vector<FieldInfo> fields;
    sqlite3_stmt* stmt = statement.handle();
    for (int col = first; col < first + count; ++col) {
        FieldInfo field;
        field.name = statement.columnName(col);
        const char* origin = sqlite3_column_origin_name(stmt, col);
        const char* table = sqlite3_column_table_name(stmt, col);
        const char* declared = sqlite3_column_decltype(stmt, col);
        int ordinal = -1;
        if (written && origin && table &&
            QString::fromUtf8(table).compare(written->name, Qt::CaseInsensitive) == 0)
            ordinal = written->columnIndex(QString::fromUtf8(origin));
        if (ordinal >= 0) {
            const ColumnSchema& column = written->columns[static_cast<size_t>(ordinal)];
            field.type = column.type.type;
            field.size = fieldSize(column.type.type, column.type.size);
            field.required = column.required();
            field.allowZeroLength = column.type.allowZeroLength;
            field.autoIncrement = column.type.autoIncrement;
            field.tableColumn = ordinal;
        } else if (declared && origin) {
            const ColumnType type = parseDeclaredType(QString::fromUtf8(declared));
            field.type = type.type;
            field.size = fieldSize(type.type, type.size);
            field.allowZeroLength = type.allowZeroLength;
            field.autoIncrement = type.autoIncrement;
        } else {
            field.typeFromValue = true;
        }
        fields.push_back(field);
    }
    return fields;
}

}  // namespace tv::engine
