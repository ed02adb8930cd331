// Format: a value written with a named or literal pattern, as the windows, reports and
// SQL builders of the program use it. Supported patterns: "0", "00", "0000", "0.00" (and
// other digit patterns with "#", "," and "%"), "General Date", "Short Date", "Medium Date",
// "Long Date", "Long Time", "Short Time", "dd/mm/yy", "mm/dd/yy", "dd mmm", "hh:mm:ss",
// "hh:mm", "mmmm" and other combinations of d, dd, ddd, dddd, m, mm, mmm, mmmm, yy, yyyy,
// h, hh, n, nn, s, ss, AM/PM, "True/False", "Yes/No", "On/Off", and "" (no pattern).
#pragma once

#include "core/variant.h"

#include <QString>

namespace tv {

// Never throws: a Null value gives an empty text; a text that is not a number or date is
// returned unchanged, as the runtime does.
QString Format(const Variant& v, const QString& pattern = QString());

// The text form of a value written with no pattern (Null gives an empty text). This is
// what a record read into a row of texts holds for each column.
QString TextOf(const Variant& v);

}  // namespace tv
