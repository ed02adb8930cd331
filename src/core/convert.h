// The conversions of the classic Basic runtime, with its rules: Val reads the longest
// number at the start of a text and ignores blanks; CInt and CLng round half to even and
// report overflow instead of wrapping; CBool accepts "True"/"False" and numbers; CDate
// reads dates in the regional order, ISO and month-name forms. Each failing conversion
// throws ConversionError with the runtime's error number.
#pragma once

#include "core/variant.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

namespace tv {

// Val: the number at the start of the text. Blanks, tabs and line feeds anywhere are
// skipped; "&H" and "&O" prefixes read hexadecimal and octal; reading stops at the
// first character that cannot continue the number; no number gives 0. Never throws.
double Val(const QString& text);

// The number a value stands for: numbers as they are, Booleans -1/0, dates their serial,
// texts that read as a number in the regional format. Nothing for Null, binary data and
// other texts. CDbl and the other conversions below are this with the runtime's errors.
std::optional<double> numberOf(const Variant& v);

// Numeric conversions. Text is read as a number in the regional format (unlike Val, the
// whole text must be a number, else error 13). Null gives error 94. Out of range gives
// error 6. Rounding of fractions is half to even ("banker's rounding") as the runtime does.
std::int16_t CInt(const Variant& v);
std::int32_t CLng(const Variant& v);
double CDbl(const Variant& v);
float CSng(const Variant& v);
Currency CCur(const Variant& v);
std::uint8_t CByte(const Variant& v);
// "True"/"False" in any case, or a number (non-zero is true). A date converts like its serial.
bool CBool(const Variant& v);
// A date from a Date, a number (its serial) or a text (see IsDate). Error 13 when the
// text is not a date, 94 for Null.
DateTime CDate(const Variant& v);
// The date part only (time removed). Accepts the same input as CDate.
DateTime DateValue(const Variant& v);
// The time part only (date part zero).
DateTime TimeValue(const Variant& v);
// The text form of a value written with no pattern (the runtime's CStr): numbers in
// their shortest form, Boolean as "True"/"False", dates in "General Date". Null gives error 94.
QString CStr(const Variant& v);

// True when the value is a number, or a text that CDbl reads (blanks around allowed, a
// leading sign, a decimal point, an exponent, "&H" prefix). Null and empty text are not numeric.
bool IsNumeric(const Variant& v);
// True when CDate would succeed.
bool IsDate(const Variant& v);

// Date building and parts.
DateTime DateSerial(int year, int month, int day);  // month and day may overflow as in the runtime
DateTime TimeSerial(int hour, int minute, int second);
DateTime DateFromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
int Year(DateTime d);
int Month(DateTime d);
int Day(DateTime d);
int Hour(DateTime d);
int Minute(DateTime d);
int Second(DateTime d);
int Weekday(DateTime d);  // 1 = Sunday .. 7 = Saturday
DateTime DateAddSeconds(DateTime d, double seconds);

// DateAdd, DateDiff and DatePart with the runtime's interval codes (any case): "yyyy" year,
// "q" quarter, "m" month, "y" day of the year, "d" day, "w" weekday, "ww" week, "h" hour,
// "n" minute, "s" second. An unknown interval, or a result outside years 100 to 9999, is
// error 5. `firstDayOfWeek` is 1 (Sunday) to 7 (Saturday); 0 means the system's, Sunday.
//
// DateAdd rounds `number` half to even first. Months, quarters and years keep the day and
// the time, but a day past the end of the month becomes its last day (31 January plus a
// month is 28 or 29 February).
DateTime DateAdd(const QString& interval, double number, DateTime date);
// The number of interval boundaries crossed going from d1 to d2 (negative going back):
// "d" counts midnights, "m" month starts, "yyyy" new years, "h" hour starts; "ww" counts
// first days of the week, "w" whole weeks (days \ 7). Error 6 beyond the Long range.
std::int32_t DateDiff(const QString& interval, DateTime d1, DateTime d2, int firstDayOfWeek = 1);
// One part of a date: "w" is the weekday counted from firstDayOfWeek (1 .. 7), "ww" the week
// of the year, the week holding 1 January being week 1.
int DatePart(const QString& interval, DateTime date, int firstDayOfWeek = 1);

// Parse a date/time text without throwing: ISO ("2026-12-05", "2026-12-05 14:30:00",
// with "T" too), month-name forms ("05-Dec-26", "5 Dec 2026", "December 5, 2026"),
// numeric dates in the regional order ("05/12/26"), a time alone ("14:30", "2:30 PM"),
// or a date followed by a time. Returns false when the text is not a date.
bool parseDateTime(const QString& text, DateTime* out);

// ISO text "YYYY-MM-DD HH:MM:SS" (how dates are stored) and back.
QString toIsoText(DateTime d);
bool fromIsoText(const QString& text, DateTime* out);

// Conversions to and from Qt's own date type, for widgets.
QDateTime toQDateTime(DateTime d);
DateTime fromQDateTime(const QDateTime& dt);
// The current date and time (from the system clock; the interaction seam may supply its own).
DateTime Now();

// Comparison as the runtime's operators on two values (numbers numerically, texts as
// texts; `ignoreCase` for text comparisons). Returns <0, 0, >0. Null compares below everything.
int CompareValues(const Variant& a, const Variant& b, bool ignoreCase = false);

}  // namespace tv
