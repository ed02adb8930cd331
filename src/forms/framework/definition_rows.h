// One-row lookups in the definitions tables that sign-in keeps open on their primary
// keys: FORM CAPTIONS by (window name, control tag) and FIELD DEFINITIONS by (table
// display name, column ordinal). Each lookup reads the table as it is now, so a row an
// administrator changed shows in the next window that is opened.
#pragma once

#include <QString>
#include <optional>

namespace tv::forms {

// The texts a definition row gives a control. A Null column is absent: the control keeps
// its design-time text, as the classic assignment of Null fails and is skipped.
struct DefinitionRow {
    std::optional<QString> caption;
    std::optional<QString> toolTip;
    bool hidden = false;
};

// FORM CAPTIONS: caption column 2, tool tip 3, hide flag 4.
std::optional<DefinitionRow> captionRow(const QString& windowName, const QString& key);
// FIELD DEFINITIONS: label column 2, tool tip 3, hide flag 6.
std::optional<DefinitionRow> fieldRow(const QString& tableName, int ordinal);

}  // namespace tv::forms
