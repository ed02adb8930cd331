// Values written as complete literals of the dialect (texts through quoteLiteral, so a
// quote inside a value, as in O'Brien, never ends the literal).
#include "engine/engine.h"

#include "core/convert.h"
#include "core/number_text.h"
#include "engine/errors.h"

#include <charconv>

namespace tv::engine {

namespace {

// The shortest text that reads back as the same number, with a point as separator.
template <typename T>
QString shortestNumber(T value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

}  // namespace

QString sqlLiteral(const tv::Variant& value) {
    switch (value.type()) {
        case VarType::Null:
            return QStringLiteral("Null");
        case VarType::Boolean:
            return value.asBool() ? QStringLiteral("True") : QStringLiteral("False");
        case VarType::Integer:
            return QString::number(value.asInteger());
        case VarType::Long:
            return QString::number(value.asLong());
        case VarType::Currency:
            return tv::numtext::currencyText(value.asCurrency());
        case VarType::Single:
            return shortestNumber(value.asSingle());
        case VarType::Double:
            return shortestNumber(value.asDouble());
        case VarType::Date:
            return u'#' + toIsoText(value.asDate()) + u'#';
        case VarType::String:
            return quoteLiteral(value.asString());
        case VarType::Binary:
            break;
    }
    // The dialect has no literal for binary data.
    fail(err::kTypeMismatch);
}

}  // namespace tv::engine
