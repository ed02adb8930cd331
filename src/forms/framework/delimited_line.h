// Lines of the classic comma-delimited text format that lists are exported in (what the
// old "Write #" statement wrote, and what spreadsheets and the classic "Input #" read):
// items separated by commas, texts in double quotes, numbers bare with a point as the
// decimal separator whatever the regional settings, dates as #yyyy-mm-dd hh:mm:ss#,
// booleans as #TRUE# or #FALSE#, Null as #NULL#, the line ended by CR LF.
//
// A double quote inside a text is written doubled (""), as spreadsheets read a quoted
// field. The classic statement wrote it unchanged, which ended the field early and split
// a value such as 12" Monitor, black into two; doubling keeps every value one field.
// Binary values are not text and are written as an empty text.
#pragma once

#include "core/variant.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace tv::forms {

// One item as it appears in a line.
QString DelimitedItem(const tv::Variant& value);

// The items separated by commas and ended by CR LF.
QString WriteDelimitedLine(const std::vector<tv::Variant>& values);

}  // namespace tv::forms
