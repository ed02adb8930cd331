#include "core/format_date.h"

#include "core/calendar.h"

#include <QStringList>

namespace tv::fmt {

namespace {

// Everything a pattern can show, split once at one-second precision.
struct Parts {
    std::int64_t dayNumber = 0;
    int secondOfDay = 0;
    calendar::Civil civil;
    int weekday = 1;
    int hour() const { return secondOfDay / 3600; }
    int minute() const { return secondOfDay / 60 % 60; }
    int second() const { return secondOfDay % 60; }
};

Parts partsOf(DateTime d) {
    Parts p;
    const calendar::Split s = calendar::split(d.serial);
    p.dayNumber = s.dayNumber;
    p.secondOfDay = s.secondOfDay;
    p.civil = calendar::civilFromDayNumber(s.dayNumber);
    p.weekday = calendar::weekdayOf(s.dayNumber);
    return p;
}

QString two(int n) { return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')); }

QString shortDatePattern(const RegionalSettings& r, bool fourDigitYear) {
    const QString y = fourDigitYear ? QStringLiteral("yyyy") : QStringLiteral("yy");
    switch (r.dateOrder) {
        case DateOrder::MonthDayYear:
            return QStringLiteral("mm/dd/") + y;
        case DateOrder::YearMonthDay:
            return y + QStringLiteral("/mm/dd");
        case DateOrder::DayMonthYear:
            break;
    }
    return QStringLiteral("dd/mm/") + y;
}

QString longDatePattern(const RegionalSettings& r) {
    return r.dateOrder == DateOrder::MonthDayYear ? QStringLiteral("dddd, mmmm d, yyyy")
                                                  : QStringLiteral("dddd, d mmmm yyyy");
}

QString longTimePattern(const RegionalSettings& r) {
    return r.twentyFourHour ? QStringLiteral("hh:nn:ss") : QStringLiteral("h:nn:ss AM/PM");
}

// "General Date": the date with a four-digit year, then the time; a zero date part shows
// the time only and a midnight time is left out.
QString generalDate(DateTime d, const RegionalSettings& r) {
    const calendar::Split s = calendar::split(d.serial);
    if (s.dayNumber == 0) return formatDate(d, longTimePattern(r), r);
    QString pattern = shortDatePattern(r, true);
    if (s.secondOfDay != 0) pattern += QStringLiteral(" ") + longTimePattern(r);
    return formatDate(d, pattern, r);
}

int runLength(const QString& p, qsizetype i) {
    const QChar c = p.at(i).toLower();
    int n = 1;
    while (i + n < p.size() && p.at(i + n).toLower() == c) ++n;
    return n;
}

// "AM/PM", "A/P" or "AMPM" at i (any case); returns its length or 0.
int meridianAt(const QString& p, qsizetype i) {
    for (const char* form : {"AM/PM", "AMPM", "A/P"}) {
        const QLatin1String f(form);
        if (p.mid(i, f.size()).compare(f, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(f.size());
        }
    }
    return 0;
}

bool hasMeridian(const QString& p) {
    bool quoted = false;
    for (qsizetype i = 0; i < p.size(); ++i) {
        if (p.at(i) == u'"')
            quoted = !quoted;
        else if (!quoted && p.at(i) == u'\\')
            ++i;
        else if (!quoted && meridianAt(p, i) > 0)
            return true;
    }
    return false;
}

int weekOfYear(const Parts& p) {
    // Week 1 holds 1 January; weeks start on Sunday.
    const std::int64_t jan1 = calendar::dayNumberFromCivil(p.civil.year, 1, 1);
    const int jan1Weekday = calendar::weekdayOf(jan1);
    return static_cast<int>((p.dayNumber - jan1 + (jan1Weekday - 1)) / 7) + 1;
}

}  // namespace

QString formatDate(DateTime d, const QString& pattern, const RegionalSettings& r) {
    const Parts p = partsOf(d);
    const bool twelveHour = hasMeridian(pattern);
    QString out;
    bool afterHour = false;  // "m" right after an hour means minutes
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        const QChar lc = c.toLower();
        if (c == u'"') {
            const qsizetype end = pattern.indexOf(u'"', i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end;
            out += pattern.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (c == u'\\') {
            if (i + 1 < pattern.size()) out += pattern.at(i + 1);
            i += 2;
            continue;
        }
        if (const int len = meridianAt(pattern, i); len > 0) {
            const bool pm = p.hour() >= 12;
            QString text = len == 3 ? (pm ? QStringLiteral("P") : QStringLiteral("A"))
                                    : (pm ? QStringLiteral("PM") : QStringLiteral("AM"));
            out += c.isLower() ? text.toLower() : text;
            i += len;
            continue;
        }
        const int n = runLength(pattern, i);
        bool hourToken = false;
        if (lc == u'd') {
            switch (std::min(n, 6)) {
                case 1:
                    out += QString::number(p.civil.day);
                    break;
                case 2:
                    out += two(p.civil.day);
                    break;
                case 3:
                    out += calendar::weekdayName(p.weekday, true);
                    break;
                case 4:
                    out += calendar::weekdayName(p.weekday, false);
                    break;
                case 5:
                    out += formatDate(d, shortDatePattern(r, r.fourDigitYearInShortDate), r);
                    break;
                default:
                    out += formatDate(d, longDatePattern(r), r);
                    break;
            }
        } else if (lc == u'm') {
            if (n <= 2 && afterHour) {
                out += n == 1 ? QString::number(p.minute()) : two(p.minute());
            } else if (n <= 2) {
                out += n == 1 ? QString::number(p.civil.month) : two(p.civil.month);
            } else {
                out += calendar::monthName(p.civil.month, n == 3);
            }
        } else if (lc == u'y') {
            if (n == 1) {
                const std::int64_t jan1 = calendar::dayNumberFromCivil(p.civil.year, 1, 1);
                out += QString::number(p.dayNumber - jan1 + 1);
            } else if (n == 2) {
                out += two(((p.civil.year % 100) + 100) % 100);
            } else {
                out += QStringLiteral("%1").arg(p.civil.year, 4, 10, QChar(u'0'));
            }
        } else if (lc == u'h') {
            int h = p.hour();
            if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
            out += n == 1 ? QString::number(h) : two(h);
            hourToken = true;
        } else if (lc == u'n') {
            out += n == 1 ? QString::number(p.minute()) : two(p.minute());
        } else if (lc == u's') {
            out += n == 1 ? QString::number(p.second()) : two(p.second());
        } else if (lc == u'w') {
            out += QString::number(n == 1 ? p.weekday : weekOfYear(p));
        } else if (lc == u'q' && n == 1) {
            out += QString::number((p.civil.month - 1) / 3 + 1);
        } else if (lc == u'c' && n == 1) {
            out += generalDate(d, r);
        } else if (lc == u't' && n == 5) {
            out += formatDate(d, longTimePattern(r), r);
        } else if (c == u'/') {
            out += r.dateSeparator;
        } else if (c == u':') {
            out += r.timeSeparator;
        } else {
            out += pattern.mid(i, n);  // anything else stands for itself
        }
        // Separators and other literals between "h" and "m" keep the minute meaning.
        const bool literal = !(lc == u'd' || lc == u'm' || lc == u'y' || lc == u'h' || lc == u'n' ||
                               lc == u's' || lc == u'w' || lc == u'q');
        if (!literal) afterHour = hourToken;
        i += n;
    }
    return out;
}

bool isNamedDateFormat(const QString& name) {
    static const QStringList names = {"General Date", "Long Date",   "Medium Date", "Short Date",
                                      "Long Time",    "Medium Time", "Short Time"};
    return names.contains(name, Qt::CaseInsensitive);
}

std::optional<QString> namedDatePattern(const QString& name, const RegionalSettings& r) {
    const auto is = [&](const char* n) {
        return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0;
    };
    if (is("Short Date")) return shortDatePattern(r, r.fourDigitYearInShortDate);
    if (is("Medium Date")) return QStringLiteral("dd-mmm-yy");
    if (is("Long Date")) return longDatePattern(r);
    if (is("Long Time")) return longTimePattern(r);
    if (is("Medium Time")) return QStringLiteral("hh:nn AM/PM");
    if (is("Short Time")) return QStringLiteral("hh:nn");
    return std::nullopt;
}

std::optional<QString> formatNamedDate(DateTime d, const QString& name, const RegionalSettings& r) {
    if (name.compare(QLatin1String("General Date"), Qt::CaseInsensitive) == 0) return generalDate(d, r);
    const std::optional<QString> pattern = namedDatePattern(name, r);
    if (!pattern) return std::nullopt;
    return formatDate(d, *pattern, r);
}

bool isDatePattern(const QString& pattern) {
    // Digit placeholders make it a number pattern even when literal words in it contain
    // letters that are date placeholders ("0 units").
    bool quoted = false;
    bool dateToken = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == u'\\') {
            ++i;
        } else if (c == u'0' || c == u'#') {
            return false;
        } else if (QStringLiteral("dmyhnswqc").contains(c.toLower()) ||
                   meridianAt(pattern, i) > 0 ||
                   pattern.mid(i, 5).compare(QLatin1String("ttttt"), Qt::CaseInsensitive) == 0) {
            dateToken = true;
        }
    }
    return dateToken;
}

}  // namespace tv::fmt
