// Calendar arithmetic behind date serials: days since 30 December 1899 to and from
// year/month/day, splitting a serial into its parts at one-second precision, and the
// English month and day names the program's texts use.
//
// A serial's whole part counts days and its fraction is the time of day. For dates before
// 1899-12-30 the runtime keeps the sign on the whole value: -1.25 is 29 December 1899,
// 06:00 (not 28 December 18:00), so the time is the absolute value of the fraction.
#pragma once

#include <QString>
#include <cstdint>

namespace tv::calendar {

// The earliest and latest serials the runtime accepts (years 100 to 9999).
inline constexpr double kMinSerial = -657434.0;
inline constexpr double kMaxSerial = 2958465.999988426;  // 9999-12-31 23:59:59

struct Civil {
    int year = 1899;
    int month = 12;
    int day = 30;
};

// A serial split into a calendar day and a whole second of that day. Splitting rounds
// to the nearest second, so a serial computed as 14:30 minus a rounding error reads as
// 14:30:00, not 14:29:59; a time that rounds up to 24:00:00 moves to the next day.
struct Split {
    std::int64_t dayNumber = 0;  // days since 1899-12-30
    int secondOfDay = 0;         // 0 .. 86399
};

std::int64_t dayNumberFromCivil(int year, int month, int day);
Civil civilFromDayNumber(std::int64_t dayNumber);
bool isLeapYear(int year);
int daysInMonth(int year, int month);
bool isValidCivil(int year, int month, int day);

// Two-digit years: 0-29 are 2000-2029, 30-99 are 1930-1999.
int expandTwoDigitYear(int year);

Split split(double serial);
// The serial of a calendar day plus a time given in seconds (fractions allowed).
double serialOf(std::int64_t dayNumber, double secondOfDay);

// Time on one continuous scale (days), so that arithmetic and ordering work across the
// sign change of serials before 1899-12-30.
double linearDays(double serial);
double serialFromLinearDays(double linear);

// 1 = Sunday .. 7 = Saturday.
int weekdayOf(std::int64_t dayNumber);

// English names: month 1..12, weekday 1 (Sunday)..7.
QString monthName(int month, bool abbreviated);
QString weekdayName(int weekday, bool abbreviated);
// The month 1..12 named by a full or three-letter English name (any case), else 0.
int monthFromName(const QString& word);
// The weekday 1..7 named by a full or three-letter English name (any case), else 0.
int weekdayFromName(const QString& word);

}  // namespace tv::calendar
