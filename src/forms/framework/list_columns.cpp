#include "forms/framework/list_columns.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/app_state.h"
#include "data/failure.h"

namespace tv::forms {

namespace {

// FIELD DEFINITIONS columns read here.
constexpr int kLabel = 2;
constexpr int kNumberFormat = 4;
constexpr int kAlignment = 5;

// A generous bound: no table has anywhere near this many columns, and a definitions table
// that somehow answered every ordinal must not hang the window.
constexpr int kMaxColumns = 1000;

}  // namespace

std::vector<ListColumn> ListColumns(const QString& tableName) {
    std::vector<ListColumn> columns;
    engine::Recordset& rs = data::state().FieldDefinitionsRs;
    (void)data::attempt([&] {
        if (!rs.IsOpen()) return;
        for (int n = 1; n <= kMaxColumns; ++n) {
            rs.Seek(QStringLiteral("="), tv::Variant(tableName), tv::Variant(QString::number(n)));
            if (rs.NoMatch()) break;
            ListColumn column;
            column.field = n - 1;
            column.caption = tv::TextOf(rs[kLabel]);
            column.numberFormat = tv::TextOf(rs[kNumberFormat]);
            // An alignment that does not read as a number leaves the column left-aligned.
            (void)data::attempt([&] {
                const tv::Variant a = rs[kAlignment];
                if (!a.isNull()) column.alignment = tv::CInt(a);
            });
            columns.push_back(column);
        }
    });
    return columns;
}

QString ListCellText(const tv::Variant& value, const ListColumn& column) {
    if (value.isNull() || value.type() == tv::VarType::Binary) return QString();
    return column.numberFormat.isEmpty() ? tv::TextOf(value)
                                         : tv::Format(value, column.numberFormat);
}

}  // namespace tv::forms
