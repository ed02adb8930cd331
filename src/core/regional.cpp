#include "core/regional.h"

#include <mutex>

namespace tv {

namespace {

// The order in which day, month and year first appear in a locale's short date format.
DateOrder orderOf(const QString& format) {
    const qsizetype d = format.indexOf(u'd');
    const qsizetype m = format.indexOf(u'M');
    const qsizetype y = format.indexOf(u'y');
    if (d < 0 || m < 0 || y < 0) return DateOrder::DayMonthYear;
    if (y < m && y < d) return DateOrder::YearMonthDay;
    return m < d ? DateOrder::MonthDayYear : DateOrder::DayMonthYear;
}

// The first character after the first field of a format; numeric dates only use
// "/", "-" or ".", so anything else (a locale writing "5 Dec 2026") falls back to "/".
QChar dateSeparatorOf(const QString& format) {
    for (QChar c : format) {
        if (c == u'/' || c == u'-' || c == u'.') return c;
    }
    return u'/';
}

QChar timeSeparatorOf(const QString& format) {
    for (QChar c : format) {
        if (!c.isLetter() && !c.isSpace()) return c;
    }
    return u':';
}

QChar firstCharOr(const QString& text, QChar fallback) {
    return text.size() == 1 ? text.at(0) : fallback;
}

struct State {
    std::once_flag initialised;
    RegionalSettings current;
};

State& state() {
    static State s;
    std::call_once(s.initialised, [] { s.current = RegionalSettings::fromSystemLocale(); });
    return s;
}

}  // namespace

RegionalSettings RegionalSettings::fromLocale(const QLocale& locale) {
    RegionalSettings r;
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    r.dateOrder = orderOf(shortDate);
    r.dateSeparator = dateSeparatorOf(shortDate);
    r.fourDigitYearInShortDate = shortDate.contains(QLatin1String("yyyy"));

    const QString time = locale.timeFormat(QLocale::ShortFormat);
    r.twentyFourHour = !time.contains(u'a', Qt::CaseInsensitive);
    r.timeSeparator = timeSeparatorOf(time);

    // Multi-character symbols (some locales use a narrow no-break space plus a mark)
    // cannot be one QChar; the defaults are the safer choice there.
    r.decimalPoint = firstCharOr(locale.decimalPoint(), u'.');
    r.thousandsSeparator = firstCharOr(locale.groupSeparator(), u',');
    if (r.thousandsSeparator == r.decimalPoint) {
        r.thousandsSeparator = r.decimalPoint == u',' ? u'.' : u',';
    }
    const QString currency = locale.currencySymbol(QLocale::CurrencySymbol);
    if (!currency.isEmpty()) r.currencySymbol = currency;
    return r;
}

RegionalSettings RegionalSettings::fromSystemLocale() { return fromLocale(QLocale::system()); }

const RegionalSettings& regional() { return state().current; }

void pinRegional(const RegionalSettings& settings) { state().current = settings; }

void resetRegional() { state().current = RegionalSettings::fromSystemLocale(); }

}  // namespace tv
