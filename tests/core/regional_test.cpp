// Regional settings read from a locale, and pinning them.
#include "core/regional.h"

#include <gtest/gtest.h>
#include <QLocale>

namespace {

TEST(Regional, ReadsOrderSeparatorsAndClockFromTheLocale) {
    const tv::RegionalSettings us =
        tv::RegionalSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.dateOrder, tv::DateOrder::MonthDayYear);
    EXPECT_EQ(us.dateSeparator, u'/');
    EXPECT_EQ(us.decimalPoint, u'.');
    EXPECT_EQ(us.thousandsSeparator, u',');
    EXPECT_FALSE(us.twentyFourHour);

    const tv::RegionalSettings uk =
        tv::RegionalSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(uk.dateOrder, tv::DateOrder::DayMonthYear);
    EXPECT_EQ(uk.dateSeparator, u'/');
    EXPECT_TRUE(uk.twentyFourHour);
    EXPECT_TRUE(uk.fourDigitYearInShortDate);
    EXPECT_EQ(uk.timeSeparator, u':');

    const tv::RegionalSettings de =
        tv::RegionalSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.dateOrder, tv::DateOrder::DayMonthYear);
    EXPECT_EQ(de.dateSeparator, u'.');
    EXPECT_EQ(de.decimalPoint, u',');
    EXPECT_EQ(de.thousandsSeparator, u'.');
    EXPECT_TRUE(de.twentyFourHour);

    const tv::RegionalSettings hu =
        tv::RegionalSettings::fromLocale(QLocale(QLocale::Hungarian, QLocale::Hungary));
    EXPECT_EQ(hu.dateOrder, tv::DateOrder::YearMonthDay);
}

TEST(Regional, PinAndReset) {
    tv::RegionalSettings pinned;
    pinned.dateOrder = tv::DateOrder::YearMonthDay;
    pinned.decimalPoint = u',';
    tv::pinRegional(pinned);
    const tv::RegionalSettings& current = tv::regional();
    EXPECT_EQ(current.dateOrder, tv::DateOrder::YearMonthDay);
    EXPECT_EQ(current.decimalPoint, u',');

    tv::resetRegional();
    const tv::RegionalSettings system = tv::RegionalSettings::fromSystemLocale();
    EXPECT_EQ(tv::regional().dateOrder, system.dateOrder);
    EXPECT_EQ(tv::regional().decimalPoint, system.decimalPoint);
    EXPECT_EQ(tv::regional().dateSeparator, system.dateSeparator);
    // The reference handed out earlier follows the settings in force.
    EXPECT_EQ(&current, &tv::regional());
}

}  // namespace
