#include "forms/framework/field_definitions.h"

#include "data/failure.h"
#include "forms/framework/controls.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/definition_rows.h"

#include <QWidget>

namespace tv::forms {

namespace {

// The column's size for a text column, 0 (no limit) for a memo, nothing for other types.
std::optional<int> lengthLimit(const std::optional<engine::TableDef>& def, int ordinal) {
    std::optional<int> limit;
    if (!def) return limit;
    (void)data::attempt([&] {
        const engine::Field field = def->FieldAt(ordinal - 1);
        if (field.Type() == engine::FieldType::Text) limit = field.Size();
        if (field.Type() == engine::FieldType::Memo) limit = 0;
    });
    return limit;
}

}  // namespace

std::int16_t ApplyFieldDefinitions(QWidget* form, const QString& tableName) {
    if (!form) return -1;
    // Read once: the table's columns do not change while the window applies them.
    std::optional<engine::TableDef> def;
    bool defRead = false;

    for (QObject* control : taggedControls(form)) {
        const int ordinal = boundOrdinal(control);
        if (ordinal == 0) continue;
        const std::optional<DefinitionRow> row = fieldRow(tableName, ordinal);
        if (!row) continue;

        if (isLabel(control)) {
            if (row->caption) setCaption(control, *row->caption);
            if (row->toolTip && isFramedLabel(control)) setToolTip(control, *row->toolTip);
        } else {
            if (row->caption) setCaption(control, *row->caption);
            if (row->toolTip) setToolTip(control, *row->toolTip);
            if (!defRead) {
                def = tableDefinition(tableName);
                defRead = true;
            }
            if (const std::optional<int> limit = lengthLimit(def, ordinal))
                setMaxLength(control, *limit);
        }
        if (row->hidden) hideControl(control);
    }
    return -1;
}

}  // namespace tv::forms
