// Numbers written with digit patterns: "0", "00", "0.00", "#,##0.00", "0%", "0.00E+00",
// literal text, and up to four ";"-separated sections (positive; negative; zero; null).
#pragma once

#include "core/regional.h"

#include <QString>
#include <optional>

namespace tv::fmt {

// Writes `value` with a digit pattern. Rounding is half away from zero on the value's
// 15-digit decimal form. A value that rounds to zero is written without a minus sign.
QString formatNumber(double value, const QString& pattern, const RegionalSettings& settings);

// The named number formats ("General Number", "Currency", "Fixed", "Standard", "Percent",
// "Scientific"), matched ignoring case; nullopt when `name` is not one of them.
std::optional<QString> formatNamedNumber(double value, const QString& name,
                                         const RegionalSettings& settings);
bool isNamedNumberFormat(const QString& name);
// The digit pattern a named number format stands for ("Currency" with the regional symbol);
// nullopt for "General Number", which is no pattern, and for any other name.
std::optional<QString> namedNumberPattern(const QString& name, const RegionalSettings& settings);

// The sections of a pattern split at ";" outside quotes and escapes.
QStringList patternSections(const QString& pattern);

}  // namespace tv::fmt
