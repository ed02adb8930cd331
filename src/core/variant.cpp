#include "core/variant.h"

#include <cmath>
#include <limits>

namespace tv {

ConversionError::ConversionError(int number, const QString& text)
    : std::runtime_error(text.toStdString()), number_(number) {}

Currency Currency::fromDouble(double d) {
    // Four decimals, half to even like the runtime's CCur; saturate instead of invoking
    // undefined behaviour on values no 64-bit integer holds (callers check the range).
    const double scaled = std::nearbyint(d * 10000.0);
    constexpr double kLimit = 9.2233720368547748e18;
    Currency c;
    if (std::isnan(scaled)) return c;
    if (scaled >= kLimit) {
        c.scaled = std::numeric_limits<std::int64_t>::max();
    } else if (scaled <= -kLimit) {
        c.scaled = std::numeric_limits<std::int64_t>::min();
    } else {
        c.scaled = static_cast<std::int64_t>(scaled);
    }
    return c;
}

bool Variant::isNumeric() const {
    switch (type()) {
        case VarType::Boolean:
        case VarType::Integer:
        case VarType::Long:
        case VarType::Currency:
        case VarType::Single:
        case VarType::Double:
            return true;
        default:
            return false;
    }
}

QString typeName(VarType t) {
    switch (t) {
        case VarType::Null:
            return QStringLiteral("Null");
        case VarType::Boolean:
            return QStringLiteral("Boolean");
        case VarType::Integer:
            return QStringLiteral("Integer");
        case VarType::Long:
            return QStringLiteral("Long");
        case VarType::Currency:
            return QStringLiteral("Currency");
        case VarType::Single:
            return QStringLiteral("Single");
        case VarType::Double:
            return QStringLiteral("Double");
        case VarType::Date:
            return QStringLiteral("Date");
        case VarType::String:
            return QStringLiteral("String");
        case VarType::Binary:
            return QStringLiteral("Binary");
    }
    return QStringLiteral("Unknown");
}

}  // namespace tv
