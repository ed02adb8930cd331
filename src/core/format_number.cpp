#include "core/format_number.h"

#include "core/number_text.h"

#include <QStringList>
#include <cmath>
#include <vector>

namespace tv::fmt {

namespace {

// One element of a digit pattern section.
struct Element {
    enum Kind { Literal, Zero, Hash, Point, Comma, Percent, Exponent } kind;
    QString text;            // Literal: the text; Exponent: "+" or "-"
    int exponentDigits = 0;  // Exponent: minimum digits of the exponent
};

std::vector<Element> parseSection(const QString& s) {
    std::vector<Element> out;
    bool seenPoint = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'"') {
            const qsizetype end = s.indexOf(u'"', i + 1);
            const qsizetype stop = end < 0 ? s.size() : end;
            out.push_back({Element::Literal, s.mid(i + 1, stop - i - 1)});
            i = stop;
        } else if (c == u'\\' && i + 1 < s.size()) {
            out.push_back({Element::Literal, QString(s.at(++i))});
        } else if (c == u'0') {
            out.push_back({Element::Zero, {}});
        } else if (c == u'#') {
            out.push_back({Element::Hash, {}});
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
            out.push_back({Element::Point, {}});
        } else if (c == u',') {
            out.push_back({Element::Comma, {}});
        } else if (c == u'%') {
            out.push_back({Element::Percent, {}});
        } else if ((c == u'E' || c == u'e') && i + 1 < s.size() &&
                   (s.at(i + 1) == u'+' || s.at(i + 1) == u'-')) {
            Element e{Element::Exponent, QString(s.at(i + 1))};
            i += 2;
            while (i < s.size() && (s.at(i) == u'0' || s.at(i) == u'#')) {
                if (s.at(i) == u'0') ++e.exponentDigits;
                ++i;
            }
            --i;
            out.push_back(e);
        } else {
            out.push_back({Element::Literal, QString(c)});
        }
    }
    return out;
}

bool isDigit(const Element& e) { return e.kind == Element::Zero || e.kind == Element::Hash; }

QString latin(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

QString grouped(const QString& digits, QChar separator) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += separator;
        out += digits.at(i);
    }
    return out;
}

// The layout of a section: where its integer and fraction placeholders are and what
// they ask for.
struct Layout {
    std::size_t intEnd = 0;   // elements [0, intEnd) are the integer part
    std::size_t fracEnd = 0;  // [intEnd + 1, fracEnd) the fraction (when there is a point)
    bool hasPoint = false;
    int intZeros = 0;
    int intPlaceholders = 0;
    int minFraction = 0;
    int maxFraction = 0;
    bool grouping = false;
    int scalingCommas = 0;  // commas after the last integer placeholder divide by 1000 each
    int percents = 0;
    std::ptrdiff_t firstIntDigit = -1;
    std::ptrdiff_t lastIntDigit = -1;
    std::ptrdiff_t exponentAt = -1;
};

Layout layoutOf(const std::vector<Element>& el) {
    Layout l;
    const std::size_t n = el.size();
    l.intEnd = n;
    l.fracEnd = n;
    for (std::size_t i = 0; i < n; ++i) {
        if (el[i].kind == Element::Exponent && l.exponentAt < 0) {
            l.exponentAt = static_cast<std::ptrdiff_t>(i);
            if (!l.hasPoint) l.intEnd = i;
            l.fracEnd = i;
        }
        if (el[i].kind == Element::Point && l.exponentAt < 0) {
            l.hasPoint = true;
            l.intEnd = i;
        }
        if (el[i].kind == Element::Percent) ++l.percents;
    }
    for (std::size_t i = 0; i < l.intEnd; ++i) {
        if (!isDigit(el[i])) continue;
        if (l.firstIntDigit < 0) l.firstIntDigit = static_cast<std::ptrdiff_t>(i);
        l.lastIntDigit = static_cast<std::ptrdiff_t>(i);
        ++l.intPlaceholders;
        if (el[i].kind == Element::Zero) ++l.intZeros;
    }
    for (std::size_t i = 0; i < l.intEnd; ++i) {
        if (el[i].kind != Element::Comma) continue;
        const auto at = static_cast<std::ptrdiff_t>(i);
        if (at > l.firstIntDigit && at < l.lastIntDigit) l.grouping = true;
        if (l.lastIntDigit >= 0 && at > l.lastIntDigit) ++l.scalingCommas;
    }
    if (l.hasPoint) {
        int count = 0;
        for (std::size_t i = l.intEnd + 1; i < l.fracEnd; ++i) {
            if (!isDigit(el[i])) continue;
            ++count;
            if (el[i].kind == Element::Zero) l.minFraction = count;
        }
        l.maxFraction = count;
    }
    return l;
}

// Writes one section. The caller makes `value` positive for the negative section, which
// shows its own sign; otherwise a negative value gets a leading minus.
QString formatSection(double value, const QString& section, const RegionalSettings& r) {
    const std::vector<Element> el = parseSection(section);
    const Layout l = layoutOf(el);
    value *= std::pow(100.0, l.percents) / std::pow(1000.0, l.scalingCommas);

    if (l.intPlaceholders == 0 && l.maxFraction == 0 && l.exponentAt < 0) {
        // No placeholders: the section is literal text ("Zero", "n/a").
        QString out;
        for (const Element& e : el) {
            if (e.kind == Element::Literal)
                out += e.text;
            else if (e.kind == Element::Percent)
                out += u'%';
            else if (e.kind == Element::Point)
                out += u'.';
            else if (e.kind == Element::Comma)
                out += u',';
        }
        return out;
    }

    std::string intDigits;
    std::string fraction;
    bool negative = false;
    int exponent = 0;
    if (l.exponentAt >= 0) {
        // Scientific: as many integer digits as there are integer placeholders (at least one).
        const int intCount = std::max(1, l.intPlaceholders);
        const numtext::Digits d = numtext::significantDigits(value, intCount + l.maxFraction);
        negative = d.negative;
        std::string all = d.digits;
        if (all != "0") exponent = d.exponent - (intCount - 1);
        all.resize(static_cast<std::size_t>(intCount + l.maxFraction), '0');
        intDigits = all.substr(0, static_cast<std::size_t>(intCount));
        fraction = all.substr(static_cast<std::size_t>(intCount));
    } else {
        const numtext::Fixed f = numtext::toFixed(value, l.maxFraction);
        negative = f.negative && !f.isZero();
        intDigits = f.integer;
        fraction = f.fraction;
        if (intDigits == "0") intDigits.clear();  // "#.00" writes 0.5 as ".50"
    }
    while (static_cast<int>(fraction.size()) > l.minFraction && !fraction.empty() &&
           fraction.back() == '0') {
        fraction.pop_back();
    }
    if (static_cast<int>(intDigits.size()) < l.intZeros) {
        intDigits.insert(0, static_cast<std::size_t>(l.intZeros) - intDigits.size(), '0');
    }

    // Integer part, filled from the right so that literals between placeholders ("000-000")
    // keep their place; the leftmost placeholder takes any digits left over.
    QString integer;
    QString digitsLeft = latin(intDigits);
    if (l.grouping) digitsLeft = grouped(digitsLeft, r.thousandsSeparator);
    for (std::ptrdiff_t i = static_cast<std::ptrdiff_t>(l.intEnd) - 1; i >= 0; --i) {
        const Element& e = el[static_cast<std::size_t>(i)];
        if (isDigit(e)) {
            if (l.grouping) {
                // The grouped digits go at the last placeholder; the others are only there
                // to show where the separators go.
                if (i == l.lastIntDigit) integer.prepend(digitsLeft);
            } else if (i == l.firstIntDigit) {
                integer.prepend(digitsLeft);
                digitsLeft.clear();
            } else if (!digitsLeft.isEmpty()) {
                integer.prepend(digitsLeft.back());
                digitsLeft.chop(1);
            }
        } else if (e.kind == Element::Literal) {
            integer.prepend(e.text);
        } else if (e.kind == Element::Percent) {
            integer.prepend(u'%');
        }
    }
    if (l.intPlaceholders == 0) integer += digitsLeft;  // ".00" still shows 5.5 as "5.50"

    QString out = integer;
    if (l.hasPoint) {
        out += r.decimalPoint;
        std::size_t next = 0;
        for (std::size_t i = l.intEnd + 1; i < l.fracEnd; ++i) {
            const Element& e = el[i];
            if (isDigit(e)) {
                if (next < fraction.size()) out += QChar::fromLatin1(fraction[next]);
                ++next;
            } else if (e.kind == Element::Literal) {
                out += e.text;
            } else if (e.kind == Element::Percent) {
                out += u'%';
            }
        }
    }
    if (l.exponentAt >= 0) {
        const Element& e = el[static_cast<std::size_t>(l.exponentAt)];
        out += u'E';
        if (exponent < 0)
            out += u'-';
        else if (e.text == QLatin1String("+"))
            out += u'+';
        out += QStringLiteral("%1").arg(std::abs(exponent), e.exponentDigits, 10, QChar(u'0'));
        for (std::size_t i = static_cast<std::size_t>(l.exponentAt) + 1; i < el.size(); ++i) {
            if (el[i].kind == Element::Literal)
                out += el[i].text;
            else if (el[i].kind == Element::Percent)
                out += u'%';
        }
    }
    return negative ? QStringLiteral("-") + out : out;
}

}  // namespace

QStringList patternSections(const QString& pattern) {
    QStringList sections;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'"') quoted = !quoted;
        if (!quoted && c == u'\\' && i + 1 < pattern.size()) {
            current += c;
            current += pattern.at(++i);
            continue;
        }
        if (!quoted && c == u';') {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

QString formatNumber(double value, const QString& pattern, const RegionalSettings& settings) {
    const QStringList sections = patternSections(pattern);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty()) {
        return formatSection(-value, sections[1], settings);  // the section shows its own sign
    }
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty()) {
        return formatSection(value, sections[2], settings);
    }
    return formatSection(value, sections[0], settings);
}

bool isNamedNumberFormat(const QString& name) {
    static const QStringList names = {"General Number", "Currency", "Fixed",
                                      "Standard",       "Percent",  "Scientific"};
    return names.contains(name, Qt::CaseInsensitive);
}

std::optional<QString> namedNumberPattern(const QString& name, const RegionalSettings& settings) {
    const auto is = [&](const char* n) {
        return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0;
    };
    if (is("Fixed")) return QStringLiteral("0.00");
    if (is("Standard")) return QStringLiteral("#,##0.00");
    if (is("Percent")) return QStringLiteral("0.00%");
    if (is("Scientific")) return QStringLiteral("0.00E+00");
    if (is("Currency")) {
        // The symbol is escaped character by character so that no symbol can be read as
        // a placeholder.
        QString symbol;
        for (QChar c : settings.currencySymbol) symbol += QStringLiteral("\\") + c;
        return symbol + QStringLiteral("#,##0.00");
    }
    return std::nullopt;
}

std::optional<QString> formatNamedNumber(double value, const QString& name,
                                         const RegionalSettings& settings) {
    if (name.compare(QLatin1String("General Number"), Qt::CaseInsensitive) == 0)
        return numtext::generalText(value, 15, settings.decimalPoint);
    const std::optional<QString> pattern = namedNumberPattern(name, settings);
    if (!pattern) return std::nullopt;
    return formatNumber(value, *pattern, settings);
}

}  // namespace tv::fmt
