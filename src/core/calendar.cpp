#include "core/calendar.h"

#include <array>
#include <cmath>

namespace tv::calendar {

namespace {

// Days from 1970-01-01 to 1899-12-30 in the proleptic Gregorian calendar.
constexpr std::int64_t kEpochShift = 25569;
constexpr int kSecondsPerDay = 86400;

constexpr std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};
constexpr std::array<const char*, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Full name or its first three letters, any case.
bool matchesName(const QString& word, const char* name) {
    const QString full = QString::fromLatin1(name);
    if (word.compare(full, Qt::CaseInsensitive) == 0) return true;
    return word.size() == 3 && word.compare(full.left(3), Qt::CaseInsensitive) == 0;
}

}  // namespace

// Days-from-civil and civil-from-days follow the well-known era-based algorithms
// (400-year cycles), exact for any year.
std::int64_t dayNumberFromCivil(int year, int month, int day) {
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = floorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + kEpochShift;
}

Civil civilFromDayNumber(std::int64_t dayNumber) {
    const std::int64_t z = dayNumber - kEpochShift + 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    Civil c;
    c.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    c.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    c.year = static_cast<int>(yoe + era * 400 + (c.month <= 2 ? 1 : 0));
    return c;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidCivil(int year, int month, int day) {
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

int expandTwoDigitYear(int year) {
    if (year < 0 || year > 99) return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

Split split(double serial) {
    Split s;
    const double whole = std::trunc(serial);
    const double fraction = std::fabs(serial - whole);
    s.dayNumber = static_cast<std::int64_t>(whole);
    auto seconds = static_cast<std::int64_t>(std::llround(fraction * kSecondsPerDay));
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++s.dayNumber;
    }
    s.secondOfDay = static_cast<int>(seconds);
    return s;
}

double serialOf(std::int64_t dayNumber, double secondOfDay) {
    const double day = static_cast<double>(dayNumber);
    const double fraction = secondOfDay / kSecondsPerDay;
    return dayNumber >= 0 ? day + fraction : day - fraction;
}

double linearDays(double serial) {
    const double whole = std::trunc(serial);
    return whole + std::fabs(serial - whole);
}

double serialFromLinearDays(double linear) {
    const double whole = std::floor(linear);
    const double fraction = linear - whole;
    return whole >= 0 ? whole + fraction : whole - fraction;
}

int weekdayOf(std::int64_t dayNumber) {
    // Day 0 (1899-12-30) was a Saturday.
    std::int64_t w = (dayNumber + 6) % 7;
    if (w < 0) w += 7;
    return static_cast<int>(w) + 1;
}

QString monthName(int month, bool abbreviated) {
    if (month < 1 || month > 12) return {};
    const QString name = QString::fromLatin1(kMonths[month - 1]);
    return abbreviated ? name.left(3) : name;
}

QString weekdayName(int weekday, bool abbreviated) {
    if (weekday < 1 || weekday > 7) return {};
    const QString name = QString::fromLatin1(kWeekdays[weekday - 1]);
    return abbreviated ? name.left(3) : name;
}

int monthFromName(const QString& word) {
    for (int i = 0; i < 12; ++i) {
        if (matchesName(word, kMonths[i])) return i + 1;
    }
    // "Sept" is a common abbreviation the three-letter rule misses.
    if (word.compare(QLatin1String("Sept"), Qt::CaseInsensitive) == 0) return 9;
    return 0;
}

int weekdayFromName(const QString& word) {
    for (int i = 0; i < 7; ++i) {
        if (matchesName(word, kWeekdays[i])) return i + 1;
    }
    return 0;
}

}  // namespace tv::calendar
