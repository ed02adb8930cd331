// Numbers to and from text: the decimal digits of a double (rounded the way the
// runtime's Format and CStr see them), the strict reading used by CDbl and IsNumeric,
// and the lenient one used by Val.
#pragma once

#include "core/regional.h"
#include "core/variant.h"

#include <QString>
#include <string>

namespace tv::numtext {

// |value| rounded to `significant` digits: value = d1.d2d3... x 10^exponent. Trailing
// zeros are dropped; zero is digits "0", exponent 0.
struct Digits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};
Digits significantDigits(double value, int significant);

// |value| with exactly `decimals` fraction digits, rounded half away from zero. The value
// is first taken to 15 significant digits, as the runtime does, so that 2.345 (stored as
// 2.34499999...) rounds to 2.35 as a person expects. `integer` has no leading zeros
// ("0" for a zero integer part).
struct Fixed {
    bool negative = false;
    std::string integer;
    std::string fraction;
    bool isZero() const;
};
Fixed toFixed(double value, int decimals);

// The shortest text showing the value to `significant` digits: "1.5", "0.1", "-3",
// "1E+20", "1.5E-16". Large and tiny magnitudes use the exponent form.
QString generalText(double value, int significant, QChar decimalPoint);

// Reads a whole text as a number: blanks around, a leading sign, digits with optional
// grouping separators, the regional decimal point, an exponent ("1e3", "1d3"), or an
// "&H"/"&O" prefix. Returns false for anything else, including empty text.
bool parseNumber(const QString& text, const RegionalSettings& settings, double* out);

// The runtime's Val: the number at the start of the text, blanks ignored anywhere.
double leadingNumber(const QString& text, const RegionalSettings& settings);

// A currency amount in the invariant form SQL and exported files use: a point as the
// decimal separator, no grouping, its exact four decimals with trailing zeros dropped
// ("12.5", "-0.0001", "3").
QString currencyText(tv::Currency value);

}  // namespace tv::numtext
