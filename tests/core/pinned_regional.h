// Test fixture that pins the regional settings, so results do not depend on the machine:
// day-month-year with "/" and ":", a "." decimal point, 24-hour clock, four-digit
// "Short Date" years. Tests switch to month-day-year where the order matters.
#pragma once

#include "core/regional.h"
#include "core/variant.h"

#include <gtest/gtest.h>

#include <optional>

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

// Runs a conversion and returns the runtime error number it threw, or nothing.
template <typename F>
std::optional<int> conversionError(F&& f) {
    try {
        f();
    } catch (const tv::ConversionError& e) {
        return e.number();
    }
    return std::nullopt;
}

class PinnedRegional : public ::testing::Test {
protected:
    void SetUp() override { tv::pinRegional(dayMonthYear()); }
    void TearDown() override { tv::resetRegional(); }
    void pin(const tv::RegionalSettings& r) { tv::pinRegional(r); }
};

}  // namespace tvtest
