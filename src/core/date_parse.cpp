// Reading dates and times from text, the way CDate and IsDate do, but strictly: a day
// that does not exist in its month is not a date, and day and month are never swapped to
// make an impossible date fit.
//
// The text is a date, a time, or a date followed by a time. Dates are ISO (year first),
// month-name forms ("05-Dec-26", "5 Dec 2026", "Dec 5, 2026", "December 2026", "05 Dec")
// or numeric in the regional order ("05/12/26"). Times are "14:30", "14:30:15",
// "2:30 PM" or "2 PM". A missing year is the current one, a missing day the 1st.
#include "core/calendar.h"
#include "core/convert.h"
#include "core/regional.h"

#include <QDate>
#include <QRegularExpression>
#include <optional>
#include <vector>

namespace tv {

namespace {

struct Item {
    enum Kind { Number, Word, Separator } kind;
    QString text;
};

struct TimeOfDay {
    double seconds = 0.0;
};

bool isDateSeparator(QChar c) { return c == u'/' || c == u'-' || c == u'.'; }

// Splits the date part into numbers, words and separators ("," and blanks included).
// Returns false on any other character.
bool tokenize(const QString& text, std::vector<Item>* items) {
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        qsizetype j = i + 1;
        if (c.isDigit()) {
            while (j < text.size() && text.at(j).isDigit()) ++j;
            items->push_back({Item::Number, text.mid(i, j - i)});
        } else if (c.isLetter()) {
            while (j < text.size() && text.at(j).isLetter()) ++j;
            items->push_back({Item::Word, text.mid(i, j - i)});
        } else if (c.isSpace() || c == u',' || isDateSeparator(c)) {
            items->push_back({Item::Separator, QString(c.isSpace() ? QChar(u' ') : c)});
        } else {
            return false;
        }
        i = j;
    }
    return true;
}

// A year as written: one or two digits take the runtime's window, three or four are
// literal; anything outside 100..9999 is rejected later by the validity check.
std::optional<int> yearOf(const QString& digits) {
    if (digits.size() > 4) return std::nullopt;
    const int y = digits.toInt();
    return digits.size() <= 2 ? calendar::expandTwoDigitYear(y) : y;
}

std::optional<int> dayOrMonthOf(const QString& digits) {
    if (digits.size() > 2) return std::nullopt;
    return digits.toInt();
}

struct YMD {
    int year = 0;
    int month = 0;
    int day = 0;
};

std::optional<YMD> numericDate(const std::vector<QString>& numbers, QChar separator,
                               const RegionalSettings& settings, int currentYear) {
    const auto isYear = [](const QString& n) { return n.size() >= 3; };
    std::optional<int> y, m, d;
    if (numbers.size() == 3) {
        DateOrder order = settings.dateOrder;
        if (isYear(numbers[0])) order = DateOrder::YearMonthDay;
        switch (order) {
            case DateOrder::DayMonthYear:
                d = dayOrMonthOf(numbers[0]), m = dayOrMonthOf(numbers[1]), y = yearOf(numbers[2]);
                break;
            case DateOrder::MonthDayYear:
                m = dayOrMonthOf(numbers[0]), d = dayOrMonthOf(numbers[1]), y = yearOf(numbers[2]);
                break;
            case DateOrder::YearMonthDay:
                y = yearOf(numbers[0]), m = dayOrMonthOf(numbers[1]), d = dayOrMonthOf(numbers[2]);
                break;
        }
    } else if (numbers.size() == 2) {
        // Two numbers are easily something else ("1.5", "3-4"): only with the slash or the
        // regional separator.
        if (separator != u'/' && separator != settings.dateSeparator) return std::nullopt;
        if (isYear(numbers[0]) || isYear(numbers[1])) {
            // Month and year: "12/2026", "2026/12".
            const bool yearFirst = isYear(numbers[0]);
            y = yearOf(numbers[yearFirst ? 0 : 1]);
            m = dayOrMonthOf(numbers[yearFirst ? 1 : 0]);
            d = 1;
        } else if (settings.dateOrder == DateOrder::DayMonthYear) {
            d = dayOrMonthOf(numbers[0]), m = dayOrMonthOf(numbers[1]), y = currentYear;
        } else {
            m = dayOrMonthOf(numbers[0]), d = dayOrMonthOf(numbers[1]), y = currentYear;
        }
    } else {
        return std::nullopt;
    }
    if (!y || !m || !d) return std::nullopt;
    return YMD{*y, *m, *d};
}

std::optional<YMD> monthNameDate(const std::vector<QString>& numbers, int month, int currentYear) {
    const auto isYear = [](const QString& n) { return n.size() >= 3; };
    std::optional<int> y, d;
    if (numbers.size() == 1) {
        // "December 2026" or "05 Dec".
        if (isYear(numbers[0])) {
            y = yearOf(numbers[0]), d = 1;
        } else {
            d = dayOrMonthOf(numbers[0]), y = currentYear;
        }
    } else if (numbers.size() == 2) {
        // Day before year unless the first is clearly a year ("2026 Dec 5").
        const bool yearFirst = isYear(numbers[0]);
        y = yearOf(numbers[yearFirst ? 0 : 1]);
        d = dayOrMonthOf(numbers[yearFirst ? 1 : 0]);
    } else {
        return std::nullopt;
    }
    if (!y || !d) return std::nullopt;
    return YMD{*y, month, *d};
}

// The date part (no time) as a day number.
std::optional<std::int64_t> parseDatePart(const QString& text, const RegionalSettings& settings) {
    std::vector<Item> items;
    if (!tokenize(text, &items)) return std::nullopt;

    std::vector<QString> numbers;
    std::vector<QChar> separators;  // between numbers, for numeric dates
    int month = 0;
    int weekday = 0;
    bool sawOther = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Item& it = items[i];
        if (it.kind == Item::Number) {
            numbers.push_back(it.text);
        } else if (it.kind == Item::Word) {
            if (const int w = calendar::weekdayFromName(it.text);
                w != 0 && weekday == 0 && numbers.empty() && month == 0) {
                weekday = w;  // a leading weekday, as "Long Date" writes it
            } else if (const int mo = calendar::monthFromName(it.text); mo != 0 && month == 0) {
                month = mo;
            } else {
                return std::nullopt;
            }
        } else if (!numbers.empty() && i + 1 < items.size() && items[i + 1].kind == Item::Number &&
                   items[i - 1].kind == Item::Number) {
            separators.push_back(it.text.at(0));
        } else {
            sawOther = true;
        }
    }

    const int currentYear = QDate::currentDate().year();
    std::optional<YMD> ymd;
    if (month != 0) {
        ymd = monthNameDate(numbers, month, currentYear);
    } else {
        // Numeric dates: one separator character, "/", "-" or ".", and nothing else.
        if (sawOther || weekday != 0 || separators.size() + 1 != numbers.size()) {
            return std::nullopt;
        }
        for (QChar s : separators) {
            if (!isDateSeparator(s) || s != separators.front()) return std::nullopt;
        }
        ymd = numericDate(numbers, separators.empty() ? QChar() : separators.front(), settings,
                          currentYear);
    }
    if (!ymd || !calendar::isValidCivil(ymd->year, ymd->month, ymd->day)) return std::nullopt;
    const std::int64_t day = calendar::dayNumberFromCivil(ymd->year, ymd->month, ymd->day);
    if (weekday != 0 && calendar::weekdayOf(day) != weekday) return std::nullopt;
    return day;
}

// Finds a time at the end of the text; `dateEnd` receives where the date part stops.
// Returns nullopt when the end of the text is not a time (which is not an error: a date
// alone has none), and a negative seconds value when it looks like a time but is invalid.
std::optional<TimeOfDay> parseTrailingTime(const QString& text, const RegionalSettings& settings,
                                           qsizetype* dateEnd) {
    static const QRegularExpression colonTime(QStringLiteral(
        R"((?:^|\s+)(\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:\.(\d{1,9}))?)?\s*([AaPp][Mm]?)?$)"));
    QString t = text;
    const QChar sep = settings.timeSeparator;
    if (sep != u':' && !isDateSeparator(sep) && !sep.isDigit() && !sep.isSpace()) {
        t.replace(sep, u':');
    }
    QRegularExpressionMatch m = colonTime.match(t);
    const bool withColon = m.hasMatch();
    if (!withColon) {
        // An hour with AM/PM only: "2 PM".
        static const QRegularExpression hourOnly(
            QStringLiteral(R"((?:^|\s+)(\d{1,2})\s*([AaPp][Mm]?)$)"));
        m = hourOnly.match(t);
        if (!m.hasMatch()) return std::nullopt;
    }
    *dateEnd = m.capturedStart(0);
    int hour = m.captured(1).toInt();
    const int minute = withColon ? m.captured(2).toInt() : 0;
    const int second = withColon ? m.captured(3).toInt() : 0;
    const QString fraction = withColon ? m.captured(4) : QString();
    const QString meridian = m.captured(withColon ? 5 : 2).toUpper();

    TimeOfDay invalid{-1.0};
    if (minute > 59 || second > 59) return invalid;
    if (!meridian.isEmpty()) {
        if (hour > 12) return invalid;
        if (hour == 12) hour = 0;
        if (meridian.startsWith(u'P')) hour += 12;
    } else if (hour > 23) {
        return invalid;
    }
    double seconds = hour * 3600.0 + minute * 60.0 + second;
    if (!fraction.isEmpty()) seconds += (QStringLiteral("0.") + fraction).toDouble();
    return TimeOfDay{seconds};
}

}  // namespace

bool parseDateTime(const QString& text, DateTime* out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    if (fromIsoText(t, out)) return true;

    const RegionalSettings& settings = regional();
    qsizetype dateEnd = t.size();
    const std::optional<TimeOfDay> time = parseTrailingTime(t, settings, &dateEnd);
    if (time && time->seconds < 0) return false;
    const double seconds = time ? time->seconds : 0.0;

    const QString datePart = t.left(dateEnd).trimmed();
    if (datePart.isEmpty()) {
        if (!time) return false;
        *out = DateTime{calendar::serialOf(0, seconds)};
        return true;
    }
    const std::optional<std::int64_t> day = parseDatePart(datePart, settings);
    if (!day) return false;
    *out = DateTime{calendar::serialOf(*day, seconds)};
    return true;
}

}  // namespace tv
