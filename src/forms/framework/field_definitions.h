// Column labels, tool tips, lengths and visibility from FIELD DEFINITIONS, keyed by the
// table's display name and the column ordinal a bound control carries in its tag.
#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace tv::forms {

// For each bound control with a row (tableName, ordinal): a label takes the label text
// (and the tool tip when it has a border); any other control takes both, and a text box
// bound to a text column accepts at most the column's size, one bound to a memo any
// length. The hide flag hides the control; its value is still saved. Controls without a
// row keep their design-time texts. Returns -1.
std::int16_t ApplyFieldDefinitions(QWidget* form, const QString& tableName);

}  // namespace tv::forms
