// Reading dates and times from text (parseDateTime, CDate, IsDate, DateValue, TimeValue)
// in both regional orders. Invalid days are never "repaired" by swapping day and month.
#include "core/convert.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>
#include <QDate>

namespace {

using tvtest::PinnedRegional;

struct Moment {
    int year, month, day, hour, minute, second;
};

std::string describe(tv::DateTime d) { return tv::toIsoText(d).toStdString(); }

void expectMoment(const QString& text, const Moment& m) {
    tv::DateTime d;
    ASSERT_TRUE(tv::parseDateTime(text, &d)) << text.toStdString();
    EXPECT_EQ(d, tv::DateFromParts(m.year, m.month, m.day, m.hour, m.minute, m.second))
        << text.toStdString() << " read as " << describe(d);
}

struct ParseCase {
    const char* text;
    Moment expected;
};

class DayMonthYearParse : public PinnedRegional, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(DayMonthYearParse, ReadsTheMoment) {
    expectMoment(QString::fromUtf8(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DayMonthYearParse,
    ::testing::Values(
        // ISO, as stored.
        ParseCase{"2026-12-05", {2026, 12, 5, 0, 0, 0}},
        ParseCase{"2026-12-05 14:30:00", {2026, 12, 5, 14, 30, 0}},
        ParseCase{"2026-12-05T14:30:15", {2026, 12, 5, 14, 30, 15}},
        ParseCase{"2026/12/05", {2026, 12, 5, 0, 0, 0}},  // a four-digit year leads: year first
        // Month names.
        ParseCase{"05-Dec-26", {2026, 12, 5, 0, 0, 0}},
        ParseCase{"5 Dec 2026", {2026, 12, 5, 0, 0, 0}},
        ParseCase{"Dec 5, 2026", {2026, 12, 5, 0, 0, 0}},
        ParseCase{"december 5, 2026", {2026, 12, 5, 0, 0, 0}},
        ParseCase{"December 2026", {2026, 12, 1, 0, 0, 0}},
        ParseCase{"Saturday, 5 December 2026", {2026, 12, 5, 0, 0, 0}},
        ParseCase{"5 Sept 2026", {2026, 9, 5, 0, 0, 0}},
        // Numbers in day-month-year order, with any of the three separators.
        ParseCase{"05/12/26", {2026, 12, 5, 0, 0, 0}},
        ParseCase{"5/12/2026", {2026, 12, 5, 0, 0, 0}},
        ParseCase{"5.12.2026", {2026, 12, 5, 0, 0, 0}},
        ParseCase{"5-12-2026", {2026, 12, 5, 0, 0, 0}},
        ParseCase{"29/02/2024", {2024, 2, 29, 0, 0, 0}},
        ParseCase{"12/2026", {2026, 12, 1, 0, 0, 0}},
        // The two-digit year window.
        ParseCase{"1/1/00", {2000, 1, 1, 0, 0, 0}}, ParseCase{"1/1/29", {2029, 1, 1, 0, 0, 0}},
        ParseCase{"1/1/30", {1930, 1, 1, 0, 0, 0}}, ParseCase{"1/1/99", {1999, 1, 1, 0, 0, 0}},
        // A date followed by a time.
        ParseCase{"05/12/26 14:30", {2026, 12, 5, 14, 30, 0}},
        ParseCase{"5 Dec 2026 2:30 PM", {2026, 12, 5, 14, 30, 0}},
        ParseCase{"05/12/2026 00:00:01", {2026, 12, 5, 0, 0, 1}},
        ParseCase{"05-Dec-26 11:59:59 pm", {2026, 12, 5, 23, 59, 59}},
        ParseCase{"2026/12/05 0:00:00.00", {2026, 12, 5, 0, 0, 0}},
        ParseCase{"2026-12-5 2:30 PM", {2026, 12, 5, 14, 30, 0}}));

struct TimeCase {
    const char* text;
    int hour, minute, second;
};

class TimeOnlyParse : public PinnedRegional, public ::testing::WithParamInterface<TimeCase> {};

TEST_P(TimeOnlyParse, GivesATimeOnTheZeroDate) {
    const TimeCase& c = GetParam();
    tv::DateTime d;
    ASSERT_TRUE(tv::parseDateTime(QString::fromUtf8(c.text), &d)) << c.text;
    EXPECT_GE(d.serial, 0.0);
    EXPECT_LT(d.serial, 1.0);
    EXPECT_EQ(d, tv::TimeSerial(c.hour, c.minute, c.second)) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeOnlyParse,
    ::testing::Values(TimeCase{"14:30", 14, 30, 0}, TimeCase{"14:30:15", 14, 30, 15},
                      TimeCase{"2:30 PM", 14, 30, 0}, TimeCase{"2:30PM", 14, 30, 0},
                      TimeCase{"12:00 AM", 0, 0, 0}, TimeCase{"12:15 pm", 12, 15, 0},
                      TimeCase{"2 PM", 14, 0, 0}, TimeCase{"0:00", 0, 0, 0},
                      TimeCase{"23:59:59", 23, 59, 59}));

class NotADate : public PinnedRegional, public ::testing::WithParamInterface<const char*> {};

TEST_P(NotADate, IsRefused) {
    const QString text = QString::fromUtf8(GetParam());
    tv::DateTime d{123.0};
    EXPECT_FALSE(tv::parseDateTime(text, &d)) << GetParam() << " read as " << describe(d);
    EXPECT_FALSE(tv::IsDate(text));
    EXPECT_EQ(d.serial, 123.0);  // untouched
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotADate,
    ::testing::Values("", "   ", "abc", "1", "2026", "1.5", "3-4", "1 2 3", "31/02/2026",
                      "29/02/2025", "32/01/2026", "0/1/2026", "13/13/2026",
                      "12/25/2026",  // no month 25, and no swapping to make it fit
                      "2026-02-30", "2026-13-01", "05/12-26", "05/12/26/1", "5 Foo 2026",
                      "Friday, 5 December 2026",  // 5 December 2026 is a Saturday
                      "Dec Jan 5", "5 Dec 20266", "1/1/50000", "05/12/26 x", "25:00", "14:60",
                      "14:30:60", "13:00 PM", "05/12/26 25:00", "12:30:00 1/1/2026"));

TEST_F(PinnedRegional, TheOrderDecidesWhatANumericDateMeans) {
    expectMoment(QStringLiteral("05/12/26"), {2026, 12, 5, 0, 0, 0});
    const int thisYear = QDate::currentDate().year();
    expectMoment(QStringLiteral("05/12"), {thisYear, 12, 5, 0, 0, 0});

    pin(tvtest::monthDayYear());
    expectMoment(QStringLiteral("05/12/26"), {2026, 5, 12, 0, 0, 0});
    expectMoment(QStringLiteral("05/12"), {thisYear, 5, 12, 0, 0, 0});
    expectMoment(QStringLiteral("12/25/2026 14:30"), {2026, 12, 25, 14, 30, 0});
    // Month names and ISO do not depend on the order.
    expectMoment(QStringLiteral("05-Dec-26"), {2026, 12, 5, 0, 0, 0});
    expectMoment(QStringLiteral("2026-05-12"), {2026, 5, 12, 0, 0, 0});
    EXPECT_FALSE(tv::IsDate("25/12/2026"));

    tv::RegionalSettings ymd = tvtest::dayMonthYear();
    ymd.dateOrder = tv::DateOrder::YearMonthDay;
    pin(ymd);
    expectMoment(QStringLiteral("26/12/05"), {2026, 12, 5, 0, 0, 0});
}

TEST_F(PinnedRegional, ADayAndMonthWordTakeTheCurrentYear) {
    // "dd mmm" is how birthdays are shown; it must read back as a date.
    expectMoment(QStringLiteral("05 Dec"), {QDate::currentDate().year(), 12, 5, 0, 0, 0});
    expectMoment(QStringLiteral("Dec 5"), {QDate::currentDate().year(), 12, 5, 0, 0, 0});
}

TEST_F(PinnedRegional, ARegionalTimeSeparatorIsRead) {
    tv::RegionalSettings r = tvtest::dayMonthYear();
    r.timeSeparator = u'h';
    pin(r);
    expectMoment(QStringLiteral("05/12/2026 14h30"), {2026, 12, 5, 14, 30, 0});
    expectMoment(QStringLiteral("05/12/2026 14:30"), {2026, 12, 5, 14, 30, 0});
}

TEST_F(PinnedRegional, CDateConvertsOrReportsTheRuntimeError) {
    EXPECT_EQ(tv::CDate("05/12/2026 14:30"), tv::DateFromParts(2026, 12, 5, 14, 30, 0));
    EXPECT_EQ(tv::CDate(46361.5).serial, 46361.5);
    EXPECT_EQ(tv::CDate(tv::DateTime{-1.25}).serial, -1.25);
    auto errorOf = [](const tv::Variant& v) {
        try {
            tv::CDate(v);
        } catch (const tv::ConversionError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf("31/02/2026"), tv::kErrTypeMismatch);
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
