// The description of one field of a record set or table: what Field reports, and where
// an edit writes it.
#pragma once

#include "engine/engine.h"
#include "engine/storage_types.h"

#include <QString>
#include <vector>

namespace tv::engine {

struct FieldInfo {
    QString name;
    FieldType type = FieldType::Memo;
    int size = 0;
    bool required = false;
    bool allowZeroLength = true;
    bool autoIncrement = false;
    int tableColumn = -1;        // column of the updatable table; -1 for a computed value
    bool typeFromValue = false;  // an expression: the type is read from the first row
};

// The field of a column of the given type: its Size as Field reports it (a text column
// given no size holds 255 characters), its flags, and its ordinal in its table (-1 for a
// column of a query that no record set writes).
FieldInfo fieldOfColumn(const QString& name, const ColumnType& type, bool required,
                        int tableColumn = -1);

// What the dialect translator knows of one item of a SELECT list, so that the fields of
// the record set can be typed: computed dates read back as dates, not as stored text.
struct ResultItem {
    int span = 1;       // result columns it stands for: 1, or what a "*" expands to; -1 unknown
    bool date = false;  // a date (a date expression, Max or First of a date ...)
    // Of a "*" of known span: which of its columns are dates. A server names no table
    // column behind a UNION's result, so these type them there.
    std::vector<bool> dates;
};

}  // namespace tv::engine
