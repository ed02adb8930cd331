// Values written as complete literals of the dialect (texts through quoteLiteral, so a
// quote inside a value, as in O'Brien, never ends the literal).
#include "engine/engine.h"

#include "core/convert.h"
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

QString currencyText(Currency c) {
    const bool negative = c.scaled < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(c.scaled) : static_cast<std::uint64_t>(c.scaled);
    QString text = QString::number(magnitude / 10000);
    std::uint64_t fraction = magnitude % 10000;
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (digits.endsWith(u'0')) digits.chop(1);
        text += u'.' + digits;
    }
    return negative ? u'-' + text : text;
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
            return currencyText(value.asCurrency());
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
