// Test fixture that pins the regional settings, so results do not depend on the machine:
// day-month-year with "/" and ":", a "." decimal point, 24-hour clock, four-digit
// "Short Date" years. Tests switch to month-day-year where the order matters.
#pragma once

#include "core/regional.h"

#include <gtest/gtest.h>

namespace tvtest {

inline tv::RegionalSettings dayMonthYear() {
    tv::RegionalSettings r;
    r.dateOrder = tv::DateOrder::DayMonthYear;
    r.dateSeparator = u'/';
    r.timeSeparator = u':';
    r.decimalPoint = u'.';
    r.thousandsSeparator = u',';
    r.currencySymbol = QStringLiteral("$");
    r.twentyFourHour = true;
    r.fourDigitYearInShortDate = true;
    return r;
}

inline tv::RegionalSettings monthDayYear() {
    tv::RegionalSettings r = dayMonthYear();
    r.dateOrder = tv::DateOrder::MonthDayYear;
    return r;
}

class PinnedRegional : public ::testing::Test {
protected:
    void SetUp() override { tv::pinRegional(dayMonthYear()); }
    void TearDown() override { tv::resetRegional(); }
    void pin(const tv::RegionalSettings& r) { tv::pinRegional(r); }
};

}  // namespace tvtest
