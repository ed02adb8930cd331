// Dates written with the named formats ("General Date", "Short Date", "Medium Date",
// "Long Date", "Long Time", "Medium Time", "Short Time") and with patterns of d, m, y, h,
// n, s, w, q, AM/PM and the like. Month and day names are English whatever the locale;
// "/" and ":" in a pattern are the regional date and time separators.
#pragma once

#include "core/regional.h"
#include "core/variant.h"

#include <QString>
#include <optional>

namespace tv::fmt {

QString formatDate(DateTime d, const QString& pattern, const RegionalSettings& settings);

// Named date formats, matched ignoring case; nullopt when `name` is not one of them.
std::optional<QString> formatNamedDate(DateTime d, const QString& name,
                                       const RegionalSettings& settings);
bool isNamedDateFormat(const QString& name);
// The pattern a named date format stands for with these settings ("Short Date" is
// "dd/mm/yyyy" in a day-month-year region); nullopt for "General Date", which is no single
// pattern, and for any other name.
std::optional<QString> namedDatePattern(const QString& name, const RegionalSettings& settings);

// True when a custom pattern holds date or time placeholders (outside quotes) and no digit
// placeholders ("0", "#"), so that it formats a date rather than a number.
bool isDatePattern(const QString& pattern);

}  // namespace tv::fmt
