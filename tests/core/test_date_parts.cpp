// Date serials: building them from parts, reading parts back at one-second precision,
// adding seconds, and the ISO text dates are stored as.
#include "core/convert.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>
#include <QDateTime>

namespace {

QString iso(tv::DateTime d) { return tv::toIsoText(d); }

TEST(DateSerial, CountsDaysFrom30December1899AndLetsPartsOverflow) {
    EXPECT_EQ(tv::DateSerial(1899, 12, 30).serial, 0.0);
    EXPECT_EQ(tv::DateSerial(2026, 12, 5).serial, 46361.0);
    EXPECT_EQ(tv::DateSerial(100, 1, 1).serial, -657434.0);
    EXPECT_EQ(tv::DateSerial(9999, 12, 31).serial, 2958465.0);
    // Month and day overflow as in the runtime; two-digit years use the window.
    // clang-format off
    const std::pair<tv::DateTime, const char*> cases[] = {
        {tv::DateSerial(2026, 13, 1), "2027-01-01"}, {tv::DateSerial(2026, -11, 1), "2025-01-01"},
        {tv::DateSerial(2026, 3, 0), "2026-02-28"},  {tv::DateSerial(2024, 2, 30), "2024-03-01"},
        {tv::DateSerial(26, 12, 5), "2026-12-05"},   {tv::DateSerial(99, 1, 1), "1999-01-01"},
        {tv::TimeSerial(25, 0, 0), "1899-12-31 01:00:00"},
        {tv::TimeSerial(0, -1, 0), "1899-12-29 23:59:00"}};
    // clang-format on
    for (const auto& [date, expected] : cases)
        EXPECT_TRUE(iso(date).startsWith(expected)) << expected;
    EXPECT_EQ(tv::TimeSerial(14, 30, 0).serial, 14.5 / 24.0);
}

TEST(DateParts, ReadBackWhatWasBuiltToTheNearestSecond) {
    const auto parts = [](tv::DateTime d) {
        return QStringLiteral("%1-%2-%3 %4:%5:%6 w%7")
            .arg(tv::Year(d))
            .arg(tv::Month(d))
            .arg(tv::Day(d))
            .arg(tv::Hour(d))
            .arg(tv::Minute(d))
            .arg(tv::Second(d))
            .arg(tv::Weekday(d));
    };
    const std::pair<tv::DateTime, const char*> cases[] = {
        {tv::DateFromParts(2026, 12, 5, 14, 30, 0), "2026-12-5 14:30:0 w7"},
        {tv::DateFromParts(2024, 1, 1, 23, 59, 59), "2024-1-1 23:59:59 w2"},
        {tv::DateFromParts(2000, 2, 29, 12, 0, 1), "2000-2-29 12:0:1 w3"},
        {tv::DateFromParts(1800, 3, 1, 1, 2, 3), "1800-3-1 1:2:3 w7"},
        {tv::DateFromParts(9999, 12, 31, 23, 59, 59), "9999-12-31 23:59:59 w6"},
        // -1.25 is 29 December 1899 at 06:00, not 28 December at 18:00.
        {tv::DateTime{-1.25}, "1899-12-29 6:0:0 w6"},
        // 14:30 computed with an error below it is not 14:29:59; half a second before
        // midnight belongs to the next day.
        {tv::DateTime{46361.0 + 14.5 / 24.0 - 1e-9}, "2026-12-5 14:30:0 w7"},
        {tv::DateTime{46361.0 + 86399.6 / 86400.0}, "2026-12-6 0:0:0 w1"},
    };
    for (const auto& [date, expected] : cases) EXPECT_EQ(parts(date), expected);
    EXPECT_EQ(iso(tv::DateTime{46361.0 + 86399.6 / 86400.0}), "2026-12-06 00:00:00");
}

TEST(DateAddSeconds, MovesAcrossMidnightAndThe1899BoundaryWithoutDrift) {
    EXPECT_EQ(iso(tv::DateAddSeconds(tv::DateFromParts(2026, 12, 5, 23, 59, 59), 1)),
              "2026-12-06 00:00:00");
    EXPECT_EQ(iso(tv::DateAddSeconds(tv::DateFromParts(2026, 1, 1, 0, 0, 0), -1)),
              "2025-12-31 23:59:59");
    // From 06:00 on day 0 back twelve hours is 18:00 the day before (serial -1.75).
    const tv::DateTime before = tv::DateAddSeconds(tv::DateTime{0.25}, -12 * 3600);
    EXPECT_EQ(iso(before), "1899-12-29 18:00:00");
    EXPECT_DOUBLE_EQ(before.serial, -1.75);
    EXPECT_EQ(iso(tv::DateAddSeconds(before, 12 * 3600)), "1899-12-30 06:00:00");
    tv::DateTime d = tv::DateFromParts(2026, 12, 5, 9, 0, 0);
    for (int i = 0; i < 3600 * 5; ++i) d = tv::DateAddSeconds(d, 1);
    EXPECT_EQ(iso(d), "2026-12-05 14:00:00");
}

TEST(IsoText, RoundTripsEverySecondAndReadsOnlyIso) {
    // Every 7th second of a day: the text built from parts is exact and reads back to the
    // same serial.
    for (int s = 0; s < 86400; s += 7) {
        const tv::DateTime d = tv::DateFromParts(2026, 12, 5, 0, 0, s);
        const QString expected = QTime(0, 0).addSecs(s).toString("'2026-12-05 'HH:mm:ss");
        ASSERT_EQ(iso(d), expected);
        tv::DateTime back;
        ASSERT_TRUE(tv::fromIsoText(expected, &back));
        ASSERT_NEAR(back.serial, d.serial, 1e-9);
    }
    tv::DateTime d;
    EXPECT_TRUE(tv::fromIsoText("2026-12-05T14:30", &d));
    EXPECT_EQ(d, tv::DateFromParts(2026, 12, 5, 14, 30, 0));
    EXPECT_TRUE(tv::fromIsoText("1899-12-29 06:00:00", &d));
    EXPECT_EQ(d.serial, -1.25);
    for (const char* bad : {"2026-13-01", "2026-12-05 24:00:00", "05/12/2026",
                            "2026-12-05 14:30:00x", "2026-02-29", "", "2026-12-05 14:3"}) {
        EXPECT_FALSE(tv::fromIsoText(QString::fromLatin1(bad), &d)) << bad;
    }
}

TEST(QtDates, RoundTripAndNowIsInWholeSeconds) {
    const QDateTime q(QDate(2026, 12, 5), QTime(14, 30, 15));
    EXPECT_EQ(tv::fromQDateTime(q), tv::DateFromParts(2026, 12, 5, 14, 30, 15));
    EXPECT_EQ(tv::toQDateTime(tv::fromQDateTime(q)), q);
    EXPECT_EQ(tv::toQDateTime(tv::DateTime{-1.25}).date(), QDate(1899, 12, 29));
    EXPECT_EQ(tv::fromQDateTime(QDateTime()).serial, 0.0);

    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const QDateTime now = tv::toQDateTime(tv::Now());
    EXPECT_GE(now, before);
    EXPECT_LE(now, QDateTime::currentDateTime().addSecs(1));
    EXPECT_EQ(now.time().msec(), 0);
}

}  // namespace
