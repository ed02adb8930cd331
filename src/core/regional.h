// Regional settings: the order of day, month and year in numeric dates, the date and
// time separators and the decimal point. They come from the system locale at start-up
// and can be pinned (tests pin them so that results do not depend on the machine).
#pragma once

#include <QLocale>
#include <QString>

namespace tv {

enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

struct RegionalSettings {
    DateOrder dateOrder = DateOrder::DayMonthYear;
    QChar dateSeparator = u'/';
    QChar timeSeparator = u':';
    QChar decimalPoint = u'.';
    QChar thousandsSeparator = u',';  // digit grouping in "#,##0" and in numbers read from text
    QString currencySymbol = QStringLiteral("$");  // the "Currency" format's prefix
    // "General Date" and "Long Time" use a 24-hour clock; false writes 12-hour with AM/PM.
    bool twentyFourHour = true;
    bool fourDigitYearInShortDate = true;  // "Short Date" writes yyyy (else yy)

    static RegionalSettings fromSystemLocale();
    // The settings a given locale implies (fromSystemLocale uses QLocale::system()).
    static RegionalSettings fromLocale(const QLocale& locale);
};

// The settings in force. Initialised from the system locale on first use.
const RegionalSettings& regional();
// Replace the settings in force (tests, and an administrator's choice later).
void pinRegional(const RegionalSettings& settings);
// Go back to the system locale.
void resetRegional();

}  // namespace tv
