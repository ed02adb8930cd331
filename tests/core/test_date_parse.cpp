// Reading dates and times from text (parseDateTime, CDate, IsDate, DateValue, TimeValue)
// in both regional orders. Invalid days are never "repaired" by swapping day and month.
#include "core/convert.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>
#include <QDate>

namespace {

using tvtest::PinnedRegional;

// Each text read as the moment written in ISO after it ("" for "not a date").
void expectRead(std::initializer_list<std::pair<const char*, const char*>> cases) {
    for (const auto& [text, iso] : cases) {
        tv::DateTime d{123.0};
        const bool read = tv::parseDateTime(QString::fromUtf8(text), &d);
        EXPECT_EQ(read, *iso != 0) << text << " read as " << tv::toIsoText(d).toStdString();
        EXPECT_EQ(tv::IsDate(QString::fromUtf8(text)), read) << text;
        // What is not a date leaves the value untouched.
        EXPECT_EQ(tv::toIsoText(d).toStdString(), *iso ? iso : "1900-05-02 00:00:00") << text;
    }
}

QString thisYear(const char* rest) {
    return QString::number(QDate::currentDate().year()) + QString::fromUtf8(rest);
}

// clang-format off
TEST_F(PinnedRegional, ReadsDatesAndTimesInDayMonthYearOrder) {
    expectRead({
        // ISO, as stored; a four-digit year leads: year first.
        {"2026-12-05", "2026-12-05 00:00:00"}, {"2026-12-05T14:30:15", "2026-12-05 14:30:15"},
        {"2026/12/05", "2026-12-05 00:00:00"}, {"2026/12/05 0:00:00.00", "2026-12-05 00:00:00"},
        {"2026-12-5 2:30 PM", "2026-12-05 14:30:00"},
        // Month names, which do not depend on the order.
        {"05-Dec-26", "2026-12-05 00:00:00"},          {"december 5, 2026", "2026-12-05 00:00:00"},
        {"December 2026", "2026-12-01 00:00:00"},      {"5 Sept 2026", "2026-09-05 00:00:00"},
        {"Saturday, 5 December 2026", "2026-12-05 00:00:00"},
        // Numbers in day-month-year order, with any of the three separators.
        {"05/12/26", "2026-12-05 00:00:00"},           {"5.12.2026", "2026-12-05 00:00:00"},
        {"5-12-2026", "2026-12-05 00:00:00"},          {"29/02/2024", "2024-02-29 00:00:00"},
        {"12/2026", "2026-12-01 00:00:00"},
        // The two-digit year window.
        {"1/1/29", "2029-01-01 00:00:00"},             {"1/1/30", "1930-01-01 00:00:00"},
        // A date followed by a time; a time alone is on the zero date.
        {"5 Dec 2026 2:30 PM", "2026-12-05 14:30:00"},
        {"05-Dec-26 11:59:59 pm", "2026-12-05 23:59:59"},
        {"05/12/2026 00:00:01", "2026-12-05 00:00:01"}, {"14:30:15", "1899-12-30 14:30:15"},
        {"2:30PM", "1899-12-30 14:30:00"},             {"12:00 AM", "1899-12-30 00:00:00"},
        {"12:15 pm", "1899-12-30 12:15:00"},           {"2 PM", "1899-12-30 14:00:00"},
        // Not dates.
        {"", ""}, {"   ", ""}, {"abc", ""}, {"1", ""}, {"2026", ""}, {"1.5", ""}, {"3-4", ""},
        {"1 2 3", ""}, {"31/02/2026", ""}, {"29/02/2025", ""}, {"32/01/2026", ""}, {"0/1/2026", ""},
        {"12/25/2026", ""},  // no month 25, and no swapping to make it fit
        {"2026-02-30", ""}, {"2026-13-01", ""}, {"05/12-26", ""}, {"05/12/26/1", ""},
        {"5 Foo 2026", ""}, {"Friday, 5 December 2026", ""},  // a Saturday
        {"Dec Jan 5", ""}, {"5 Dec 20266", ""}, {"1/1/50000", ""}, {"05/12/26 x", ""},
        {"25:00", ""}, {"14:60", ""}, {"14:30:60", ""}, {"13:00 PM", ""}, {"05/12/26 25:00", ""},
        {"12:30:00 1/1/2026", ""},
    });
}
// clang-format on

TEST_F(PinnedRegional, TheOrderDecidesWhatANumericDateMeans) {
    // "dd mmm" is how birthdays are shown; it reads back as a date this year.
    for (const char* text : {"05/12", "05 Dec", "Dec 5"})
        EXPECT_EQ(tv::toIsoText(tv::CDate(text)), thisYear("-12-05 00:00:00")) << text;
    pin(tvtest::monthDayYear());
    expectRead({{"05/12/26", "2026-05-12 00:00:00"},
                {"12/25/2026 14:30", "2026-12-25 14:30:00"},
                {"05-Dec-26", "2026-12-05 00:00:00"},
                {"25/12/2026", ""}});
    EXPECT_EQ(tv::toIsoText(tv::CDate("05/12")), thisYear("-05-12 00:00:00"));

    tv::RegionalSettings r = tvtest::dayMonthYear();
    r.dateOrder = tv::DateOrder::YearMonthDay;
    r.timeSeparator = u'h';
    pin(r);
    expectRead(
        {{"26/12/05 14h30", "2026-12-05 14:30:00"}, {"26/12/5 14:30", "2026-12-05 14:30:00"}});
}

TEST_F(PinnedRegional, CDateConvertsOrReportsTheRuntimeError) {
    EXPECT_EQ(tv::CDate(46361.5).serial, 46361.5);
    EXPECT_EQ(tv::CDate(tv::DateTime{-1.25}).serial, -1.25);
    const auto errorOf = [](const tv::Variant& v) {
        return tvtest::conversionError([&] { tv::CDate(v); });
    };
    EXPECT_EQ(errorOf("46361"), tv::kErrTypeMismatch);
    EXPECT_EQ(errorOf(tv::Variant()), tv::kErrInvalidUseOfNull);
    EXPECT_EQ(errorOf(1e10), tv::kErrOverflow);
    EXPECT_EQ(errorOf(-657435.0), tv::kErrOverflow);
    EXPECT_TRUE(tv::IsDate(tv::DateTime{5.0}));
    EXPECT_FALSE(tv::IsDate(5.0));  // a number is not a date, though CDate converts it
    EXPECT_FALSE(tv::IsDate(tv::Variant()));
}

TEST_F(PinnedRegional, DateValueAndTimeValueSplitTheMoment) {
    const tv::Variant text("05/12/2026 14:30:15");
    EXPECT_EQ(tv::DateValue(text), tv::DateSerial(2026, 12, 5));
    EXPECT_EQ(tv::TimeValue(text), tv::TimeSerial(14, 30, 15));
    EXPECT_EQ(tv::DateValue("14:30").serial, 0.0);
    // Before 1899-12-30 the time is still the part after the day.
    EXPECT_EQ(tv::DateValue(tv::DateTime{-1.25}).serial, -1.0);
    EXPECT_EQ(tv::TimeValue(tv::DateTime{-1.25}), tv::TimeSerial(6, 0, 0));
}

}  // namespace
