// Building dates from parts, reading parts back, ISO text and Qt's date type.
#include "core/calendar.h"
#include "core/convert.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tv {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// The day number of a date whose month and day may lie outside their ranges: month 13 is
// January of the next year, day 0 the last day of the previous month.
std::int64_t normalisedDayNumber(int year, int month, int day) {
    if (year >= 0 && year <= 99) year = calendar::expandTwoDigitYear(year);
    const std::int64_t m0 = static_cast<std::int64_t>(month) - 1;
    const std::int64_t y = year + floorDiv(m0, 12);
    const int m = static_cast<int>(m0 - floorDiv(m0, 12) * 12) + 1;
    return calendar::dayNumberFromCivil(static_cast<int>(y), m, 1) + (day - 1);
}

DateTime fromDayAndSeconds(std::int64_t dayNumber, std::int64_t seconds) {
    dayNumber += floorDiv(seconds, kSecondsPerDay);
    seconds -= floorDiv(seconds, kSecondsPerDay) * kSecondsPerDay;
    return DateTime{calendar::serialOf(dayNumber, static_cast<double>(seconds))};
}

calendar::Civil civilOf(DateTime d) {
    return calendar::civilFromDayNumber(calendar::split(d.serial).dayNumber);
}

[[noreturn]] void invalidCall(const char* function) {
    throw ConversionError(kErrInvalidCall, QStringLiteral("Invalid procedure call or argument (%1)")
                                               .arg(QLatin1String(function)));
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval intervalOf(const QString& code, const char* function) {
    static const struct {
        const char* code;
        Interval interval;
    } kCodes[] = {{"yyyy", Interval::Year},   {"q", Interval::Quarter}, {"m", Interval::Month},
                  {"y", Interval::DayOfYear}, {"d", Interval::Day},     {"w", Interval::Weekday},
                  {"ww", Interval::Week},     {"h", Interval::Hour},    {"n", Interval::Minute},
                  {"s", Interval::Second}};
    const QString wanted = code.trimmed();
    for (const auto& c : kCodes)
        if (wanted.compare(QLatin1String(c.code), Qt::CaseInsensitive) == 0) return c.interval;
    invalidCall(function);
}

// The day number of the first day of the week holding `dayNumber`.
std::int64_t weekStart(std::int64_t dayNumber, int firstDayOfWeek, const char* function) {
    if (firstDayOfWeek == 0) firstDayOfWeek = 1;
    if (firstDayOfWeek < 1 || firstDayOfWeek > 7) invalidCall(function);
    return dayNumber - (calendar::weekdayOf(dayNumber) - firstDayOfWeek + 7) % 7;
}

DateTime checkedDate(std::int64_t dayNumber, double seconds, const char* function) {
    const double serial = calendar::serialOf(dayNumber, seconds);
    if (!(serial >= calendar::kMinSerial && serial <= calendar::kMaxSerial)) invalidCall(function);
    return DateTime{serial};
}

}  // namespace

DateTime DateSerial(int year, int month, int day) {
    return DateTime{calendar::serialOf(normalisedDayNumber(year, month, day), 0.0)};
}

DateTime TimeSerial(int hour, int minute, int second) {
    return fromDayAndSeconds(0, std::int64_t{hour} * 3600 + std::int64_t{minute} * 60 + second);
}

DateTime DateFromParts(int year, int month, int day, int hour, int minute, int second) {
    return fromDayAndSeconds(normalisedDayNumber(year, month, day),
                             std::int64_t{hour} * 3600 + std::int64_t{minute} * 60 + second);
}

int Year(DateTime d) { return civilOf(d).year; }
int Month(DateTime d) { return civilOf(d).month; }
int Day(DateTime d) { return civilOf(d).day; }
int Hour(DateTime d) { return calendar::split(d.serial).secondOfDay / 3600; }
int Minute(DateTime d) { return calendar::split(d.serial).secondOfDay / 60 % 60; }
int Second(DateTime d) { return calendar::split(d.serial).secondOfDay % 60; }
int Weekday(DateTime d) { return calendar::weekdayOf(calendar::split(d.serial).dayNumber); }

DateTime DateAddSeconds(DateTime d, double seconds) {
    // On the continuous scale, so that crossing 1899-12-30 (where serials change sign)
    // moves the clock the right way.
    const double linear = calendar::linearDays(d.serial) + seconds / kSecondsPerDay;
    return DateTime{calendar::serialFromLinearDays(linear)};
}

DateTime DateAdd(const QString& interval, double number, DateTime date) {
    const Interval unit = intervalOf(interval, "DateAdd");
    const double rounded = std::nearbyint(number);  // the default rounding is half to even
    if (!(std::fabs(rounded) < 1e9)) invalidCall("DateAdd");
    const auto n = static_cast<std::int64_t>(rounded);
    const calendar::Split s = calendar::split(date.serial);
    int months = 0;
    switch (unit) {
        case Interval::Year:
            months = static_cast<int>(n * 12);
            break;
        case Interval::Quarter:
            months = static_cast<int>(n * 3);
            break;
        case Interval::Month:
            months = static_cast<int>(n);
            break;
        case Interval::DayOfYear:
        case Interval::Day:
        case Interval::Weekday:
            return checkedDate(s.dayNumber + n, s.secondOfDay, "DateAdd");
        case Interval::Week:
            return checkedDate(s.dayNumber + 7 * n, s.secondOfDay, "DateAdd");
        case Interval::Hour:
        case Interval::Minute:
        case Interval::Second: {
            const std::int64_t unitSeconds =
                unit == Interval::Hour ? 3600 : unit == Interval::Minute ? 60 : 1;
            const std::int64_t seconds = s.secondOfDay + n * unitSeconds;
            return checkedDate(s.dayNumber + floorDiv(seconds, kSecondsPerDay),
                               static_cast<double>(seconds - floorDiv(seconds, kSecondsPerDay) *
                                                                 kSecondsPerDay),
                               "DateAdd");
        }
    }
    const calendar::Civil c = calendar::civilFromDayNumber(s.dayNumber);
    const std::int64_t total = std::int64_t{c.year} * 12 + (c.month - 1) + months;
    const std::int64_t year = floorDiv(total, 12);
    if (year < 100 || year > 9999) invalidCall("DateAdd");
    const int month = static_cast<int>(total - year * 12) + 1;
    const int day = std::min(c.day, calendar::daysInMonth(static_cast<int>(year), month));
    return checkedDate(calendar::dayNumberFromCivil(static_cast<int>(year), month, day),
                       s.secondOfDay, "DateAdd");
}

std::int32_t DateDiff(const QString& interval, DateTime d1, DateTime d2, int firstDayOfWeek) {
    const Interval unit = intervalOf(interval, "DateDiff");
    const calendar::Split a = calendar::split(d1.serial);
    const calendar::Split b = calendar::split(d2.serial);
    const calendar::Civil ca = calendar::civilFromDayNumber(a.dayNumber);
    const calendar::Civil cb = calendar::civilFromDayNumber(b.dayNumber);
    std::int64_t diff = 0;
    switch (unit) {
        case Interval::Year:
            diff = cb.year - ca.year;
            break;
        case Interval::Quarter:
            diff = (std::int64_t{cb.year} * 4 + (cb.month - 1) / 3) -
                   (std::int64_t{ca.year} * 4 + (ca.month - 1) / 3);
            break;
        case Interval::Month:
            diff = (std::int64_t{cb.year} * 12 + cb.month) - (std::int64_t{ca.year} * 12 + ca.month);
            break;
        case Interval::DayOfYear:
        case Interval::Day:
            diff = b.dayNumber - a.dayNumber;
            break;
        case Interval::Weekday:
            diff = (b.dayNumber - a.dayNumber) / 7;
            break;
        case Interval::Week:
            diff = (weekStart(b.dayNumber, firstDayOfWeek, "DateDiff") -
                    weekStart(a.dayNumber, firstDayOfWeek, "DateDiff")) /
                   7;
            break;
        case Interval::Hour:
            diff = (b.dayNumber * 24 + b.secondOfDay / 3600) - (a.dayNumber * 24 + a.secondOfDay / 3600);
            break;
        case Interval::Minute:
            diff = (b.dayNumber * 1440 + b.secondOfDay / 60) - (a.dayNumber * 1440 + a.secondOfDay / 60);
            break;
        case Interval::Second:
            diff = (b.dayNumber * kSecondsPerDay + b.secondOfDay) -
                   (a.dayNumber * kSecondsPerDay + a.secondOfDay);
            break;
    }
    if (diff < std::numeric_limits<std::int32_t>::min() ||
        diff > std::numeric_limits<std::int32_t>::max())
        throw ConversionError(kErrOverflow, QStringLiteral("Overflow"));
    return static_cast<std::int32_t>(diff);
}

int DatePart(const QString& interval, DateTime date, int firstDayOfWeek) {
    const calendar::Split s = calendar::split(date.serial);
    const calendar::Civil c = calendar::civilFromDayNumber(s.dayNumber);
    switch (intervalOf(interval, "DatePart")) {
        case Interval::Year:
            return c.year;
        case Interval::Quarter:
            return (c.month - 1) / 3 + 1;
        case Interval::Month:
            return c.month;
        case Interval::DayOfYear:
            return static_cast<int>(s.dayNumber - calendar::dayNumberFromCivil(c.year, 1, 1)) + 1;
        case Interval::Day:
            return c.day;
        case Interval::Weekday:
            return static_cast<int>(s.dayNumber - weekStart(s.dayNumber, firstDayOfWeek, "DatePart")) + 1;
        case Interval::Week: {
            const std::int64_t first = calendar::dayNumberFromCivil(c.year, 1, 1);
            return static_cast<int>((weekStart(s.dayNumber, firstDayOfWeek, "DatePart") -
                                     weekStart(first, firstDayOfWeek, "DatePart")) /
                                    7) +
                   1;
        }
        case Interval::Hour:
            return s.secondOfDay / 3600;
        case Interval::Minute:
            return s.secondOfDay / 60 % 60;
        case Interval::Second:
            return s.secondOfDay % 60;
    }
    return 0;
}

QString toIsoText(DateTime d) {
    const calendar::Split s = calendar::split(d.serial);
    const calendar::Civil c = calendar::civilFromDayNumber(s.dayNumber);
    if (c.year >= 0 && c.year <= 9999) {
        // Every stored date passes through here: digits written straight into the text.
        char16_t text[19];
        const auto put = [&text](int at, int value, int digits) {
            for (int i = at + digits - 1; i >= at; --i, value /= 10)
                text[i] = static_cast<char16_t>(u'0' + value % 10);
        };
        put(0, c.year, 4);
        put(5, c.month, 2);
        put(8, c.day, 2);
        put(11, s.secondOfDay / 3600, 2);
        put(14, s.secondOfDay / 60 % 60, 2);
        put(17, s.secondOfDay % 60, 2);
        text[4] = text[7] = u'-';
        text[10] = u' ';
        text[13] = text[16] = u':';
        return QString(reinterpret_cast<const QChar*>(text), 19);
    }
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(c.year, 4, 10, QChar(u'0'))
        .arg(c.month, 2, 10, QChar(u'0'))
        .arg(c.day, 2, 10, QChar(u'0'))
        .arg(s.secondOfDay / 3600, 2, 10, QChar(u'0'))
        .arg(s.secondOfDay / 60 % 60, 2, 10, QChar(u'0'))
        .arg(s.secondOfDay % 60, 2, 10, QChar(u'0'));
}

bool fromIsoText(const QString& text, DateTime* out) {
    static const QRegularExpression iso(QStringLiteral(
        R"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2})(?:\.(\d{1,9}))?)?)?$)"));
    const auto m = iso.match(text.trimmed());
    if (!m.hasMatch()) return false;
    const int year = m.captured(1).toInt();
    const int month = m.captured(2).toInt();
    const int day = m.captured(3).toInt();
    const int hour = m.captured(4).toInt();
    const int minute = m.captured(5).toInt();
    const int second = m.captured(6).toInt();
    if (!calendar::isValidCivil(year, month, day) || hour > 23 || minute > 59 || second > 59) {
        return false;
    }
    double seconds = hour * 3600.0 + minute * 60.0 + second;
    if (m.hasCaptured(7)) seconds += (QStringLiteral("0.") + m.captured(7)).toDouble();
    *out = DateTime{calendar::serialOf(calendar::dayNumberFromCivil(year, month, day), seconds)};
    return true;
}

QDateTime toQDateTime(DateTime d) {
    const calendar::Split s = calendar::split(d.serial);
    const calendar::Civil c = calendar::civilFromDayNumber(s.dayNumber);
    return QDateTime(QDate(c.year, c.month, c.day),
                     QTime(s.secondOfDay / 3600, s.secondOfDay / 60 % 60, s.secondOfDay % 60));
}

DateTime fromQDateTime(const QDateTime& dt) {
    if (!dt.isValid()) return DateTime{};
    const QDate date = dt.date();
    const std::int64_t day = calendar::dayNumberFromCivil(date.year(), date.month(), date.day());
    return DateTime{calendar::serialOf(day, dt.time().msecsSinceStartOfDay() / 1000.0)};
}

DateTime Now() {
    // Whole seconds, as the runtime's clock reads.
    const QDateTime now = QDateTime::currentDateTime();
    const QTime t = now.time();
    return fromQDateTime(QDateTime(now.date(), QTime(t.hour(), t.minute(), t.second())));
}

}  // namespace tv
