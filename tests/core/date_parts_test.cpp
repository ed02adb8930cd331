// Date serials: building them from parts, reading parts back at one-second precision,
// adding seconds, and the ISO text dates are stored as.
#include "core/convert.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>
#include <QDateTime>

namespace {

using tvtest::PinnedRegional;

TEST(DateSerial, CountsDaysFrom30December1899) {
    EXPECT_EQ(tv::DateSerial(1899, 12, 30).serial, 0.0);
    EXPECT_EQ(tv::DateSerial(2026, 12, 5).serial, 46361.0);
    EXPECT_EQ(tv::DateSerial(2000, 2, 29).serial, 36585.0);
    EXPECT_EQ(tv::DateSerial(100, 1, 1).serial, -657434.0);
    EXPECT_EQ(tv::DateSerial(9999, 12, 31).serial, 2958465.0);
}

TEST(DateSerial, LetsMonthAndDayOverflowAsTheRuntimeDoes) {
    EXPECT_EQ(tv::DateSerial(2026, 13, 1), tv::DateSerial(2027, 1, 1));
    EXPECT_EQ(tv::DateSerial(2026, 0, 1), tv::DateSerial(2025, 12, 1));
    EXPECT_EQ(tv::DateSerial(2026, -11, 1), tv::DateSerial(2025, 1, 1));
    EXPECT_EQ(tv::DateSerial(2026, 3, 0), tv::DateSerial(2026, 2, 28));
    EXPECT_EQ(tv::DateSerial(2024, 2, 30), tv::DateSerial(2024, 3, 1));
    EXPECT_EQ(tv::DateSerial(2026, 12, 5 + 7), tv::DateSerial(2026, 12, 12));
    EXPECT_EQ(tv::DateSerial(26, 12, 5), tv::DateSerial(2026, 12, 5));  // two-digit window
    EXPECT_EQ(tv::DateSerial(99, 1, 1), tv::DateSerial(1999, 1, 1));
}

TEST(DateParts, ReadBackWhatWasBuilt) {
    struct Case {
        int y, mo, d, h, mi, s, weekday;
    };
    for (const Case& c : {Case{2026, 12, 5, 14, 30, 0, 7}, Case{1999, 1, 1, 0, 0, 0, 6},
                          Case{2024, 1, 1, 23, 59, 59, 2}, Case{2000, 2, 29, 12, 0, 1, 3},
                          Case{1899, 12, 30, 6, 0, 0, 7}, Case{1899, 12, 29, 6, 0, 0, 6},
                          Case{1800, 3, 1, 1, 2, 3, 7}, Case{9999, 12, 31, 23, 59, 59, 6}}) {
        const tv::DateTime d = tv::DateFromParts(c.y, c.mo, c.d, c.h, c.mi, c.s);
        SCOPED_TRACE(tv::toIsoText(d).toStdString());
        EXPECT_EQ(tv::Year(d), c.y);
        EXPECT_EQ(tv::Month(d), c.mo);
        EXPECT_EQ(tv::Day(d), c.d);
        EXPECT_EQ(tv::Hour(d), c.h);
        EXPECT_EQ(tv::Minute(d), c.mi);
        EXPECT_EQ(tv::Second(d), c.s);
        EXPECT_EQ(tv::Weekday(d), c.weekday);
    }
}

TEST(DateParts, SerialsBefore1900KeepTheTimeAfterTheDay) {
    // -1.25 is 29 December 1899 at 06:00, not 28 December at 18:00.
    const tv::DateTime d{-1.25};
    EXPECT_EQ(tv::Day(d), 29);
    EXPECT_EQ(tv::Hour(d), 6);
    EXPECT_EQ(d, tv::DateFromParts(1899, 12, 29, 6, 0, 0));
}

TEST(DateParts, RoundToTheNearestSecond) {
    // 14:30 computed with a floating-point error below it must not read as 14:29:59.
    const tv::DateTime below{46361.0 + 14.5 / 24.0 - 1e-9};
    EXPECT_EQ(tv::toIsoText(below), "2026-12-05 14:30:00");
    EXPECT_EQ(tv::Minute(below), 30);
    // Half a second before midnight belongs to the next day.
    const tv::DateTime late{46361.0 + 86399.6 / 86400.0};
    EXPECT_EQ(tv::toIsoText(late), "2026-12-06 00:00:00");
    EXPECT_EQ(tv::Day(late), 6);
}

TEST(TimeSerial, CarriesIntoDays) {
    EXPECT_EQ(tv::TimeSerial(14, 30, 0).serial, 14.5 / 24.0);
    EXPECT_EQ(tv::TimeSerial(25, 0, 0), tv::DateFromParts(1899, 12, 31, 1, 0, 0));
    EXPECT_EQ(tv::TimeSerial(0, 90, 0), tv::TimeSerial(1, 30, 0));
    EXPECT_EQ(tv::TimeSerial(0, -1, 0), tv::DateFromParts(1899, 12, 29, 23, 59, 0));
}

TEST(DateAddSeconds, MovesAcrossMidnightAndThe1899Boundary) {
    const auto iso = [](tv::DateTime d) { return tv::toIsoText(d); };
    EXPECT_EQ(iso(tv::DateAddSeconds(tv::DateFromParts(2026, 12, 5, 23, 59, 59), 1)),
              "2026-12-06 00:00:00");
    EXPECT_EQ(iso(tv::DateAddSeconds(tv::DateFromParts(2026, 12, 5, 14, 30, 0), -1)),
              "2026-12-05 14:29:59");
    EXPECT_EQ(iso(tv::DateAddSeconds(tv::DateFromParts(2026, 1, 1, 0, 0, 0), -1)),
              "2025-12-31 23:59:59");
    // From 06:00 on day 0 back twelve hours is 18:00 the day before (serial -1.75).
    const tv::DateTime before = tv::DateAddSeconds(tv::DateTime{0.25}, -12 * 3600);
    EXPECT_EQ(iso(before), "1899-12-29 18:00:00");
    EXPECT_DOUBLE_EQ(before.serial, -1.75);
    EXPECT_EQ(iso(tv::DateAddSeconds(before, 12 * 3600)), "1899-12-30 06:00:00");
    EXPECT_EQ(iso(tv::DateAddSeconds(tv::DateFromParts(2026, 12, 5), 7 * 86400)),
              "2026-12-12 00:00:00");
}

TEST(DateAddSeconds, ManySmallStepsDoNotDrift) {
    tv::DateTime d = tv::DateFromParts(2026, 12, 5, 9, 0, 0);
    for (int i = 0; i < 3600 * 5; ++i) d = tv::DateAddSeconds(d, 1);
    EXPECT_EQ(tv::toIsoText(d), "2026-12-05 14:00:00");
}

TEST(IsoText, RoundTripsEverySecondWithoutDrift) {
    // Every 7th second of a day: the text built from parts is exact and reads back to the
    // same serial.
    for (int s = 0; s < 86400; s += 7) {
        const tv::DateTime d = tv::DateFromParts(2026, 12, 5, 0, 0, s);
        const QString expected = QStringLiteral("2026-12-05 %1:%2:%3")
                                     .arg(s / 3600, 2, 10, QChar(u'0'))
                                     .arg(s / 60 % 60, 2, 10, QChar(u'0'))
                                     .arg(s % 60, 2, 10, QChar(u'0'));
        ASSERT_EQ(tv::toIsoText(d), expected);
        tv::DateTime back;
        ASSERT_TRUE(tv::fromIsoText(expected, &back));
        ASSERT_EQ(tv::toIsoText(back), expected);
        ASSERT_NEAR(back.serial, d.serial, 1e-9);
    }
}

TEST(IsoText, ReadsOnlyIso) {
    tv::DateTime d;
    EXPECT_TRUE(tv::fromIsoText("2026-12-05", &d));
    EXPECT_EQ(d, tv::DateSerial(2026, 12, 5));
    EXPECT_TRUE(tv::fromIsoText("2026-12-05T14:30", &d));
    EXPECT_EQ(d, tv::DateFromParts(2026, 12, 5, 14, 30, 0));
    EXPECT_TRUE(tv::fromIsoText("1899-12-29 06:00:00", &d));
    EXPECT_EQ(d.serial, -1.25);
    for (const char* bad : {"2026-13-01", "2026-12-05 24:00:00", "05/12/2026",
                            "2026-12-05 14:30:00x", "2026-02-29", "", "2026-12-05 14:3"}) {
        EXPECT_FALSE(tv::fromIsoText(QString::fromLatin1(bad), &d)) << bad;
    }
}

TEST(QtDates, RoundTrip) {
    const tv::DateTime d = tv::DateFromParts(2026, 12, 5, 14, 30, 15);
    const QDateTime q = tv::toQDateTime(d);
    EXPECT_EQ(q.date(), QDate(2026, 12, 5));
    EXPECT_EQ(q.time(), QTime(14, 30, 15));
    EXPECT_EQ(tv::fromQDateTime(q), d);
    EXPECT_EQ(tv::toQDateTime(tv::DateTime{-1.25}).date(), QDate(1899, 12, 29));
    EXPECT_EQ(tv::fromQDateTime(QDateTime()).serial, 0.0);
}

TEST(Now, IsTheClockInWholeSeconds) {
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const tv::DateTime now = tv::Now();
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    const QDateTime q = tv::toQDateTime(now);
    EXPECT_GE(q, before);
    EXPECT_LE(q, after);
    EXPECT_EQ(tv::toQDateTime(now).time().msec(), 0);
    EXPECT_EQ(tv::fromQDateTime(q), now);
}

}  // namespace
