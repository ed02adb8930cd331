// Building dates from parts, reading parts back, ISO text and Qt's date type.
#include "core/calendar.h"
#include "core/convert.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

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

QString toIsoText(DateTime d) {
    const calendar::Split s = calendar::split(d.serial);
    const calendar::Civil c = calendar::civilFromDayNumber(s.dayNumber);
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
