// The runtime's conversion functions over Variant.
#include "core/convert.h"

#include "core/calendar.h"
#include "core/format.h"
#include "core/number_text.h"
#include "core/regional.h"

#include <cmath>
#include <limits>
#include <optional>

namespace tv {

namespace {

[[noreturn]] void fail(int number) {
    switch (number) {
        case kErrOverflow:
            throw ConversionError(number, QStringLiteral("Overflow"));
        case kErrInvalidUseOfNull:
            throw ConversionError(number, QStringLiteral("Invalid use of Null"));
        default:
            throw ConversionError(number, QStringLiteral("Type mismatch"));
    }
}

// The number a value stands for, or the runtime's error: 94 for Null, 13 otherwise.
double numberOrFail(const Variant& v) {
    if (v.isNull()) fail(kErrInvalidUseOfNull);
    const std::optional<double> n = numberOf(v);
    if (!n) fail(kErrTypeMismatch);
    return *n;
}

// Half to even: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
double roundHalfEven(double x) {
    const double r = std::round(x);  // half away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
    return r;
}

template <typename Int>
Int toWhole(const Variant& v) {
    const double r = roundHalfEven(numberOrFail(v));
    if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          r <= static_cast<double>(std::numeric_limits<Int>::max()))) {
        fail(kErrOverflow);  // also NaN
    }
    return static_cast<Int>(r);
}

double linearKey(const Variant& v) {
    return v.type() == VarType::Date ? calendar::linearDays(v.asDate().serial) : numberOrFail(v);
}

QString textOfTextual(const Variant& v) {
    return v.type() == VarType::Binary ? QString::fromLatin1(v.asBinary()) : v.asString();
}

template <typename T>
int sign(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

std::optional<double> numberOf(const Variant& v) {
    switch (v.type()) {
        case VarType::Null:
        case VarType::Binary:
            return std::nullopt;
        case VarType::Boolean:
            return v.asBool() ? -1.0 : 0.0;
        case VarType::Integer:
            return v.asInteger();
        case VarType::Long:
            return v.asLong();
        case VarType::Currency:
            return v.asCurrency().toDouble();
        case VarType::Single:
            return v.asSingle();
        case VarType::Double:
            return v.asDouble();
        case VarType::Date:
            return v.asDate().serial;
        case VarType::String:
            break;
    }
    double d = 0.0;
    if (numtext::parseNumber(v.asString(), regional(), &d)) return d;
    return std::nullopt;
}

double Val(const QString& text) { return numtext::leadingNumber(text, regional()); }

std::int16_t CInt(const Variant& v) { return toWhole<std::int16_t>(v); }
std::int32_t CLng(const Variant& v) { return toWhole<std::int32_t>(v); }
std::uint8_t CByte(const Variant& v) { return toWhole<std::uint8_t>(v); }

double CDbl(const Variant& v) { return numberOrFail(v); }

float CSng(const Variant& v) {
    const double d = numberOrFail(v);
    if (std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max())) fail(kErrOverflow);
    return static_cast<float>(d);
}

Currency CCur(const Variant& v) {
    if (v.type() == VarType::Currency) return v.asCurrency();
    const double d = numberOrFail(v);
    if (!(std::fabs(d) <= 922337203685477.5807)) fail(kErrOverflow);
    return Currency::fromDouble(d);
}

bool CBool(const Variant& v) {
    if (v.type() == VarType::Boolean) return v.asBool();
    if (v.type() == VarType::String) {
        const QString t = v.asString().trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    }
    return numberOrFail(v) != 0.0;
}

DateTime CDate(const Variant& v) {
    switch (v.type()) {
        case VarType::Null:
            fail(kErrInvalidUseOfNull);
        case VarType::Date:
            return v.asDate();
        case VarType::String: {
            DateTime d;
            if (parseDateTime(v.asString(), &d)) return d;
            fail(kErrTypeMismatch);
        }
        case VarType::Binary:
            fail(kErrTypeMismatch);
        default:
            break;
    }
    const double serial = numberOrFail(v);
    if (!(serial >= calendar::kMinSerial && serial <= calendar::kMaxSerial)) fail(kErrOverflow);
    return DateTime{serial};
}

DateTime DateValue(const Variant& v) {
    return DateTime{calendar::serialOf(calendar::split(CDate(v).serial).dayNumber, 0.0)};
}

DateTime TimeValue(const Variant& v) {
    return DateTime{calendar::serialOf(0, calendar::split(CDate(v).serial).secondOfDay)};
}

QString CStr(const Variant& v) {
    if (v.isNull()) fail(kErrInvalidUseOfNull);
    return TextOf(v);
}

bool IsNumeric(const Variant& v) {
    if (v.isNumeric()) return true;
    double d = 0.0;
    return v.type() == VarType::String && numtext::parseNumber(v.asString(), regional(), &d);
}

bool IsDate(const Variant& v) {
    if (v.type() == VarType::Date) return true;
    DateTime d;
    return v.type() == VarType::String && parseDateTime(v.asString(), &d);
}

int CompareValues(const Variant& a, const Variant& b, bool ignoreCase) {
    if (a.isNull() || b.isNull()) return a.isNull() ? (b.isNull() ? 0 : -1) : 1;

    const auto textual = [](const Variant& v) {
        return v.type() == VarType::String || v.type() == VarType::Binary;
    };
    if (textual(a) && textual(b)) {
        const int c = QString::compare(textOfTextual(a), textOfTextual(b),
                                       ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
        return sign(c, 0);
    }
    if (!textual(a) && !textual(b)) {
        if (a.type() == VarType::Currency && b.type() == VarType::Currency) {
            return sign(a.asCurrency().scaled, b.asCurrency().scaled);
        }
        // Dates compare on the continuous scale; a number against a date is a serial.
        if (a.type() == VarType::Date || b.type() == VarType::Date) {
            return sign(calendar::linearDays(numberOrFail(a)), calendar::linearDays(numberOrFail(b)));
        }
        return sign(numberOrFail(a), numberOrFail(b));
    }

    // A number against a text: numerically when the text reads as a number (or as a date
    // against a date); otherwise every number sorts before every text.
    const bool textFirst = textual(a);
    const Variant& value = textFirst ? b : a;
    const QString text = textOfTextual(textFirst ? a : b);
    double other = 0.0;
    bool readable = false;
    if (value.type() == VarType::Date) {
        DateTime d;
        readable = parseDateTime(text, &d);
        other = calendar::linearDays(d.serial);
    }
    if (!readable) readable = numtext::parseNumber(text, regional(), &other);
    if (!readable) return textFirst ? 1 : -1;
    const int c = sign(linearKey(value), other);
    return textFirst ? -c : c;
}

}  // namespace tv
