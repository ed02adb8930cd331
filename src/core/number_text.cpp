#include "core/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace tv::numtext {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Val skips these anywhere in the text.
bool isValBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

bool isExponentMark(QChar c) { return c == u'e' || c == u'E' || c == u'd' || c == u'D'; }

int hexDigitValue(QChar c) {
    if (isDigit(c)) return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    return -1;
}

// "&HFFFF" is -1 in the runtime: hex and octal literals of up to 16 bits are Integers,
// up to 32 bits Longs, and both are signed.
double fromRadixValue(std::uint64_t v) {
    if (v <= 0xFFFFu) return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
    if (v <= 0xFFFFFFFFu) return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return static_cast<double>(v);
}

// Accumulates digits of `radix` (8 or 16) handed out by `next`; returns how many it read.
template <typename Next>
int readRadixDigits(int radix, Next&& next, std::uint64_t* value) {
    int count = 0;
    for (;;) {
        const QChar c = next(false);
        const int d = hexDigitValue(c);
        if (d < 0 || d >= radix) break;
        next(true);
        if (*value <= (UINT64_MAX >> 4)) *value = *value * radix + d;
        ++count;
    }
    return count;
}

// Three digits at i, then no further digit.
bool isGroupAt(const QString& t, qsizetype i) {
    for (int k = 0; k < 3; ++k) {
        if (i + k >= t.size() || !isDigit(t.at(i + k))) return false;
    }
    return i + 3 == t.size() || !isDigit(t.at(i + 3));
}

// Locale-independent: the C library's strtod and printf follow LC_NUMERIC, which Qt sets
// from the environment, so a German machine would read "1.5" as 1.
// Out-of-range texts ("1e400") give false.
bool cText(const std::string& s, double* out) {
    const auto res = std::from_chars(s.data(), s.data() + s.size(), *out);
    return res.ec == std::errc() && std::isfinite(*out);
}

}  // namespace

bool Fixed::isZero() const {
    if (integer != "0") return false;
    for (char c : fraction) {
        if (c != '0') return false;
    }
    return true;
}

Digits significantDigits(double value, int significant) {
    Digits d;
    d.negative = std::signbit(value) && value != 0.0;
    if (value == 0.0 || !std::isfinite(value)) {
        d.digits = "0";
        return d;
    }
    // Numbers are written with 15 significant digits at most, as everywhere else; a
    // pattern asking for more (a hundred zeros before "E+") gets zeros after them.
    significant = std::clamp(significant, 1, 15);
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific, significant - 1);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.') d.digits.push_back(text[i]);
    }
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    d.exponent);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

Fixed toFixed(double value, int decimals) {
    const Digits d = significantDigits(value, 15);
    Fixed f;
    f.negative = d.negative;
    // Place the digits around the decimal point.
    std::string integer;
    std::string fraction;
    if (d.exponent >= 0) {
        const auto intLen = static_cast<std::size_t>(d.exponent) + 1;
        integer = d.digits.substr(0, std::min(intLen, d.digits.size()));
        integer.resize(intLen, '0');
        if (d.digits.size() > intLen) fraction = d.digits.substr(intLen);
    } else {
        integer = "0";
        fraction = std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    }
    const auto keep = static_cast<std::size_t>(decimals);
    const bool roundUp = fraction.size() > keep && fraction[keep] >= '5';
    fraction.resize(keep, '0');
    if (roundUp) {
        // Carry through the fraction, then the integer part.
        std::string all = integer + fraction;
        int i = static_cast<int>(all.size()) - 1;
        while (i >= 0 && all[i] == '9') all[i--] = '0';
        if (i >= 0) {
            ++all[i];
        } else {
            all.insert(all.begin(), '1');
        }
        integer = all.substr(0, all.size() - keep);
        fraction = all.substr(all.size() - keep);
    }
    const auto firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? "0" : integer.substr(firstNonZero);
    f.integer = integer;
    f.fraction = fraction;
    return f;
}

QString generalText(double value, int significant, QChar decimalPoint) {
    const Digits d = significantDigits(value, significant);
    if (d.digits == "0") return QStringLiteral("0");
    QString out = d.negative ? QStringLiteral("-") : QString();
    const auto count = static_cast<int>(d.digits.size());
    const bool fixedForm =
        d.exponent >= 0 ? d.exponent < significant : (-d.exponent - 1) + count <= significant;
    if (fixedForm) {
        if (d.exponent >= 0) {
            const int intLen = d.exponent + 1;
            std::string integer = d.digits.substr(0, std::min(intLen, count));
            integer.resize(static_cast<std::size_t>(intLen), '0');
            out += QString::fromLatin1(integer.c_str());
            if (count > intLen) {
                out += decimalPoint;
                out +=
                    QString::fromLatin1(d.digits.substr(static_cast<std::size_t>(intLen)).c_str());
            }
        } else {
            out += u'0';
            out += decimalPoint;
            out += QString(-d.exponent - 1, u'0');
            out += QString::fromLatin1(d.digits.c_str());
        }
        return out;
    }
    out += QChar::fromLatin1(d.digits[0]);
    if (count > 1) {
        out += decimalPoint;
        out += QString::fromLatin1(d.digits.substr(1).c_str());
    }
    out += d.exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    out += QStringLiteral("%1").arg(std::abs(d.exponent), 2, 10, QChar(u'0'));
    return out;
}

bool parseNumber(const QString& text, const RegionalSettings& settings, double* out) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (n == 0) return false;

    if (t.at(0) == u'&' && n > 1) {
        const QChar kind = t.at(1).toUpper();
        const int radix = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
        if (radix == 0) return false;
        i = 2;
        auto next = [&](bool advance) {
            const QChar c = i < n ? t.at(i) : QChar();
            if (advance) ++i;
            return c;
        };
        std::uint64_t value = 0;
        if (readRadixDigits(radix, next, &value) == 0 || i != n) return false;
        *out = fromRadixValue(value);
        return true;
    }

    std::string s;
    if (t.at(i) == u'+' || t.at(i) == u'-') {
        if (t.at(i) == u'-') s.push_back('-');
        ++i;
        while (i < n && t.at(i).isSpace()) ++i;
    }
    int digits = 0;
    while (i < n) {
        const QChar c = t.at(i);
        if (isDigit(c)) {
            s.push_back(static_cast<char>(c.unicode()));
            ++digits;
        } else if (c == settings.thousandsSeparator && digits > 0 && isGroupAt(t, i + 1)) {
            // A grouping separator: three digits must follow before the next separator or
            // the end of the whole part, so "1.5" is not read as 15 where "." groups.
        } else {
            break;
        }
        ++i;
    }
    if (i < n && t.at(i) == settings.decimalPoint) {
        s.push_back('.');
        ++i;
        while (i < n && isDigit(t.at(i))) {
            s.push_back(static_cast<char>(t.at(i).unicode()));
            ++digits;
            ++i;
        }
    }
    if (digits == 0) return false;
    if (i < n && isExponentMark(t.at(i))) {
        s.push_back('e');
        ++i;
        if (i < n && (t.at(i) == u'+' || t.at(i) == u'-')) {
            s.push_back(static_cast<char>(t.at(i).unicode()));
            ++i;
        }
        int expDigits = 0;
        while (i < n && isDigit(t.at(i))) {
            s.push_back(static_cast<char>(t.at(i).unicode()));
            ++expDigits;
            ++i;
        }
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    return cText(s, out);
}

double leadingNumber(const QString& text, const RegionalSettings& settings) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    // The next character that is not a blank; `advance` consumes it.
    auto next = [&](bool advance) {
        while (i < n && isValBlank(text.at(i))) ++i;
        const QChar c = i < n ? text.at(i) : QChar();
        if (advance && i < n) ++i;
        return c;
    };

    if (next(false) == u'&') {
        next(true);
        const QChar kind = next(false).toUpper();
        const int radix = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
        if (radix == 0) return 0.0;
        next(true);
        std::uint64_t value = 0;
        readRadixDigits(radix, next, &value);
        return fromRadixValue(value);
    }

    std::string s;
    const QChar sign = next(false);
    if (sign == u'+' || sign == u'-') {
        if (sign == u'-') s.push_back('-');
        next(true);
    }
    bool seenPoint = false;
    int digits = 0;
    for (;;) {
        const QChar c = next(false);
        if (isDigit(c)) {
            s.push_back(static_cast<char>(c.unicode()));
            ++digits;
        } else if (!seenPoint && (c == u'.' || c == settings.decimalPoint)) {
            // The point is always accepted, and the regional one too, so that a figure the
            // program wrote itself ("1,50" where the comma is the decimal point) reads back.
            s.push_back('.');
            seenPoint = true;
        } else {
            break;
        }
        next(true);
    }
    if (digits == 0) return 0.0;
    if (isExponentMark(next(false))) {
        // Keep the exponent only when digits follow it: "1e" is 1, "1e+" is 1.
        next(true);
        std::string exponent = "e";
        const QChar expSign = next(false);
        if (expSign == u'+' || expSign == u'-') {
            exponent.push_back(static_cast<char>(expSign.unicode()));
            next(true);
        }
        int expDigits = 0;
        while (isDigit(next(false))) {
            exponent.push_back(static_cast<char>(next(true).unicode()));
            ++expDigits;
        }
        if (expDigits > 0) s += exponent;
    }
    double v = 0.0;
    return cText(s, &v) ? v : 0.0;
}

QString currencyText(tv::Currency value) {
    const bool negative = value.scaled < 0;
    // Unsigned arithmetic, so that the most negative amount has a magnitude too.
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value.scaled)
                                             : static_cast<std::uint64_t>(value.scaled);
    QString text = QString::number(magnitude / 10000);
    const std::uint64_t fraction = magnitude % 10000;
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (digits.endsWith(u'0')) digits.chop(1);
        text += u'.' + digits;
    }
    return negative ? u'-' + text : text;
}

}  // namespace tv::numtext
