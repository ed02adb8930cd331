// Format and TextOf: choose how a value is read (number, date, truth value) from the
// pattern, then hand it to the number or date writer. A value that cannot be read that
// way (a text such as "Smith" with "0.00") comes back as its plain text.
#include "core/format.h"

#include "core/calendar.h"
#include "core/convert.h"
#include "core/format_date.h"
#include "core/format_number.h"
#include "core/number_text.h"
#include "core/regional.h"

#include <optional>

namespace tv {

namespace {

QString plainText(const Variant& v) {
    return v.type() == VarType::Binary ? QString::fromLatin1(v.asBinary()) : v.asString();
}

bool isTextual(const Variant& v) {
    return v.type() == VarType::String || v.type() == VarType::Binary;
}

// Currency exactly, from its scaled integer: up to four decimals, no trailing zeros.
QString currencyText(Currency c, QChar decimalPoint) {
    const bool negative = c.scaled < 0;
    // Unsigned so that the most negative value has a magnitude too.
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(c.scaled) : static_cast<std::uint64_t>(c.scaled);
    QString out = negative ? QStringLiteral("-") : QString();
    out += QString::number(magnitude / 10000);
    QString fraction = QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QChar(u'0'));
    while (fraction.endsWith(u'0')) fraction.chop(1);
    if (!fraction.isEmpty()) out += decimalPoint + fraction;
    return out;
}

// The value as a number for digit patterns: numbers and dates (their serial), texts (and
// binary data read as Latin-1 text) that read as a number or else as a date.
std::optional<double> asNumber(const Variant& v) {
    if (!isTextual(v)) return numberOf(v);
    const QString text = plainText(v);
    if (const std::optional<double> n = numberOf(Variant(text))) return n;
    DateTime date;
    if (parseDateTime(text, &date)) return date.serial;
    return std::nullopt;
}

// The value as a date for date patterns: dates, numbers as serials, texts that read as
// a date or else as a number.
std::optional<DateTime> asDate(const Variant& v) {
    if (v.type() == VarType::Date) return v.asDate();
    if (isTextual(v)) {
        DateTime date;
        if (parseDateTime(plainText(v), &date)) return date;
    }
    const std::optional<double> n = asNumber(v);
    if (!n || *n < calendar::kMinSerial || *n > calendar::kMaxSerial) return std::nullopt;
    return DateTime{*n};
}

std::optional<bool> asTruth(const Variant& v) {
    if (v.type() == VarType::Boolean) return v.asBool();
    if (isTextual(v)) {
        const QString t = plainText(v).trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    }
    const std::optional<double> n = asNumber(v);
    if (!n) return std::nullopt;
    return *n != 0.0;
}

// "True/False", "Yes/No", "On/Off": the two words, or nullopt for another pattern.
std::optional<std::pair<QString, QString>> truthWords(const QString& pattern) {
    for (const auto& [yes, no] :
         {std::pair{"True", "False"}, std::pair{"Yes", "No"}, std::pair{"On", "Off"}}) {
        const QString name = QString::fromLatin1(yes) + u'/' + QString::fromLatin1(no);
        if (pattern.compare(name, Qt::CaseInsensitive) == 0) {
            return std::pair{QString::fromLatin1(yes), QString::fromLatin1(no)};
        }
    }
    return std::nullopt;
}

}  // namespace

QString TextOf(const Variant& v) {
    const RegionalSettings& r = regional();
    switch (v.type()) {
        case VarType::Null:
            return {};
        case VarType::Boolean:
            return v.asBool() ? QStringLiteral("True") : QStringLiteral("False");
        case VarType::Integer:
            return QString::number(v.asInteger());
        case VarType::Long:
            return QString::number(v.asLong());
        case VarType::Currency:
            return currencyText(v.asCurrency(), r.decimalPoint);
        case VarType::Single:
            return numtext::generalText(v.asSingle(), 7, r.decimalPoint);
        case VarType::Double:
            return numtext::generalText(v.asDouble(), 15, r.decimalPoint);
        case VarType::Date:
            return *fmt::formatNamedDate(v.asDate(), QStringLiteral("General Date"), r);
        case VarType::String:
        case VarType::Binary:
            break;
    }
    return plainText(v);
}

QString Format(const Variant& v, const QString& pattern) {
    if (v.isNull()) {
        // A fourth section is the text for Null ("0.00;-0.00;0;n/a").
        const QStringList sections = fmt::patternSections(pattern);
        if (sections.size() < 4 || fmt::isDatePattern(pattern)) return {};
        return fmt::formatNumber(0.0, sections[3], regional());
    }
    if (pattern.isEmpty()) return TextOf(v);
    const RegionalSettings& r = regional();

    if (fmt::isNamedDateFormat(pattern)) {
        const std::optional<DateTime> d = asDate(v);
        return d ? *fmt::formatNamedDate(*d, pattern, r) : TextOf(v);
    }
    if (const auto words = truthWords(pattern)) {
        const std::optional<bool> b = asTruth(v);
        return b ? (*b ? words->first : words->second) : TextOf(v);
    }
    if (fmt::isNamedNumberFormat(pattern)) {
        const std::optional<double> n = asNumber(v);
        return n ? *fmt::formatNamedNumber(*n, pattern, r) : TextOf(v);
    }
    if (pattern == QLatin1String(">")) return TextOf(v).toUpper();
    if (pattern == QLatin1String("<")) return TextOf(v).toLower();
    if (fmt::isDatePattern(pattern)) {
        const std::optional<DateTime> d = asDate(v);
        return d ? fmt::formatDate(*d, pattern, r) : TextOf(v);
    }
    const std::optional<double> n = asNumber(v);
    return n ? fmt::formatNumber(*n, pattern, r) : TextOf(v);
}

}  // namespace tv
