// The columns of a table's list: one per FIELD DEFINITIONS row of the table, for ordinals
// 1, 2, 3 ... up to the first ordinal without a row, so a list shows the table's fields in
// field order as far as they are defined without gaps. Column k shows field k of the rows.
#pragma once

#include "core/variant.h"

#include <QString>
#include <vector>

namespace tv::forms {

struct ListColumn {
    QString caption;       // the definition's label (empty when the row has none)
    QString numberFormat;  // a Format pattern ("Short Date", "0.00", "True/False"), or empty
    int alignment = 0;     // 0 left, 1 right, 2 centre
    int field = 0;         // 0-based field of the record set
};

// The list columns of a table display name; none when the table has no definitions.
std::vector<ListColumn> ListColumns(const QString& tableName);

// A value as the list shows it: written with the column's pattern, or as plain text when
// the column has none.
QString ListCellText(const tv::Variant& value, const ListColumn& column);

}  // namespace tv::forms
