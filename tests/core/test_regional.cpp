// Regional settings read from a locale, and pinning them.
#include "core/regional.h"

#include <gtest/gtest.h>
#include <QLocale>

namespace {

TEST(Regional, ReadsOrderSeparatorsAndClockFromTheLocale) {
    const auto describe = [](QLocale::Language language, QLocale::Country country) {
        const tv::RegionalSettings r = tv::RegionalSettings::fromLocale(QLocale(language, country));
        return QStringLiteral("%1 %2%3%4%5 %6%7")
            .arg(static_cast<int>(r.dateOrder))
            .arg(r.dateSeparator)
            .arg(r.timeSeparator)
            .arg(r.decimalPoint)
            .arg(r.thousandsSeparator)
            .arg(r.twentyFourHour ? "24h" : "12h", r.fourDigitYearInShortDate ? " yyyy" : "");
    };
    // Orders: 0 day-month-year, 1 month-day-year, 2 year-month-day.
    EXPECT_EQ(describe(QLocale::English, QLocale::UnitedStates), "1 /:., 12h");
    EXPECT_EQ(describe(QLocale::English, QLocale::UnitedKingdom), "0 /:., 24h yyyy");
    EXPECT_EQ(describe(QLocale::German, QLocale::Germany).left(8), "0 .:,. 2");
    EXPECT_TRUE(describe(QLocale::Hungarian, QLocale::Hungary).startsWith(u'2'));
}

TEST(Regional, PinAndReset) {
    tv::RegionalSettings pinned;
    pinned.dateOrder = tv::DateOrder::YearMonthDay;
    pinned.decimalPoint = u',';
    tv::pinRegional(pinned);
    const tv::RegionalSettings& current = tv::regional();
    EXPECT_EQ(current.decimalPoint, u',');

    tv::resetRegional();
    const tv::RegionalSettings system = tv::RegionalSettings::fromSystemLocale();
    EXPECT_EQ(tv::regional().dateOrder, system.dateOrder);
    EXPECT_EQ(tv::regional().decimalPoint, system.decimalPoint);
    // The reference handed out earlier follows the settings in force.
    EXPECT_EQ(&current, &tv::regional());
}

}  // namespace
