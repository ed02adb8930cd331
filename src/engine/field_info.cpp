// Field descriptions of columns, one way for tables, table definitions and queries.
#include "engine/field_info.h"

namespace tv::engine {

FieldInfo fieldOfColumn(const QString& name, const ColumnType& type, bool required,
                        int tableColumn) {
    FieldInfo field;
    field.name = name;
    field.type = type.type;
    const int textSize = type.type == FieldType::Text && type.size <= 0 ? 255 : type.size;
    field.size = fieldSize(type.type, textSize);
    field.required = required;
    field.allowZeroLength = type.allowZeroLength;
    field.autoIncrement = type.autoIncrement;
    field.tableColumn = tableColumn;
    return field;
}

}  // namespace tv::engine
