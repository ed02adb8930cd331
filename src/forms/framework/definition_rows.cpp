#include "forms/framework/definition_rows.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/app_state.h"
#include "data/failure.h"

namespace tv::forms {

namespace {

struct Columns {
    int caption;
    int toolTip;
    int hidden;
};
constexpr Columns kFormCaptions{2, 3, 4};
constexpr Columns kFieldDefinitions{2, 3, 6};

std::optional<QString> textOrAbsent(const tv::Variant& v) {
    if (v.isNull()) return std::nullopt;
    return tv::TextOf(v);
}

std::optional<DefinitionRow> seekRow(engine::Recordset& rs, const QString& key1,
                                     const QString& key2, const Columns& columns) {
    std::optional<DefinitionRow> row;
    (void)data::attempt([&] {
        if (!rs.IsOpen()) return;
        rs.Seek(QStringLiteral("="), tv::Variant(key1), tv::Variant(key2));
        if (rs.NoMatch()) return;
        DefinitionRow r;
        r.caption = textOrAbsent(rs[columns.caption]);
        r.toolTip = textOrAbsent(rs[columns.toolTip]);
        const tv::Variant hidden = rs[columns.hidden];
        // A flag that does not read as a boolean leaves the control shown.
        (void)data::attempt([&] { r.hidden = !hidden.isNull() && tv::CBool(hidden); });
        row = r;
    });
    return row;
}

}  // namespace

std::optional<DefinitionRow> captionRow(const QString& windowName, const QString& key) {
    return seekRow(data::state().FormCaptionsRs, windowName, key, kFormCaptions);
}

std::optional<DefinitionRow> fieldRow(const QString& tableName, int ordinal) {
    return seekRow(data::state().FieldDefinitionsRs, tableName, QString::number(ordinal),
                   kFieldDefinitions);
}

}  // namespace tv::forms
