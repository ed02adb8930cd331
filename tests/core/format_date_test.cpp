// Format with the named date formats and date patterns, in both regional orders.
#include "core/convert.h"
#include "core/format.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

namespace {

using tvtest::PinnedRegional;

const tv::DateTime kAfternoon = tv::DateFromParts(2026, 12, 5, 14, 30, 0);  // a Saturday
const tv::DateTime kMorning = tv::DateFromParts(2026, 3, 7, 9, 5, 3);

struct DateCase {
    tv::Variant value;
    const char* pattern;
    const char* expected;
};

class FormatDate : public PinnedRegional, public ::testing::WithParamInterface<DateCase> {};

TEST_P(FormatDate, WritesTheDate) {
    const DateCase& c = GetParam();
    EXPECT_EQ(tv::Format(c.value, QString::fromUtf8(c.pattern)).toStdString(), c.expected)
        << "pattern " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    DayMonthYear, FormatDate,
    ::testing::Values(
        DateCase{kAfternoon, "General Date", "05/12/2026 14:30:00"},
        DateCase{tv::DateSerial(2026, 12, 5), "General Date", "05/12/2026"},  // midnight left out
        DateCase{tv::TimeSerial(14, 30, 0), "General Date", "14:30:00"},      // zero date
        DateCase{tv::DateTime{0.0}, "General Date", "00:00:00"},
        DateCase{tv::DateTime{-1.25}, "General Date", "29/12/1899 06:00:00"},
        DateCase{kAfternoon, "Short Date", "05/12/2026"},
        DateCase{kAfternoon, "Medium Date", "05-Dec-26"},
        DateCase{kAfternoon, "Long Date", "Saturday, 5 December 2026"},
        DateCase{kAfternoon, "Long Time", "14:30:00"},
        DateCase{kAfternoon, "Medium Time", "02:30 PM"},
        DateCase{kAfternoon, "Short Time", "14:30"},
        DateCase{kAfternoon, "short date", "05/12/2026"},
        DateCase{kAfternoon, "dd/mm/yy", "05/12/26"}, DateCase{kAfternoon, "mm/dd/yy", "12/05/26"},
        DateCase{kAfternoon, "dd mmm", "05 Dec"}, DateCase{kAfternoon, "mmmm", "December"},
        DateCase{kMorning, "hh:mm:ss", "09:05:03"}, DateCase{kMorning, "hh:mm", "09:05"},
        DateCase{kMorning, "h:m:s", "9:5:3"}, DateCase{kMorning, "h:nn", "9:05"},
        DateCase{kMorning, "d/m/yyyy", "7/3/2026"}, DateCase{kMorning, "DD/MM/YYYY", "07/03/2026"},
        DateCase{kAfternoon, "ddd dddd", "Sat Saturday"}, DateCase{kAfternoon, "mmm", "Dec"},
        DateCase{kAfternoon, "h:nn AM/PM", "2:30 PM"},
        DateCase{kMorning, "hh:nn am/pm", "09:05 am"},
        DateCase{tv::TimeSerial(0, 15, 0), "h:nn AM/PM", "12:15 AM"},
        DateCase{tv::TimeSerial(12, 0, 0), "h A/P", "12 P"}, DateCase{kAfternoon, "q", "4"},
        DateCase{kAfternoon, "y", "339"}, DateCase{kAfternoon, "w", "7"},
        DateCase{kAfternoon, "yyyy-mm-dd hh:nn:ss", "2026-12-05 14:30:00"},
        DateCase{kAfternoon, "\"Day \"d", "Day 5"}, DateCase{kAfternoon, "\\d d", "d 5"},
        DateCase{kAfternoon, "ddddd", "05/12/2026"},
        DateCase{kAfternoon, "c", "05/12/2026 14:30:00"},
        // Texts that read as dates, and numbers as serials.
        DateCase{"2026-12-05 14:30:00", "dd/mm/yy", "05/12/26"},
        DateCase{"05/12/26", "Long Date", "Saturday, 5 December 2026"},
        DateCase{"14:30", "hh:mm:ss", "14:30:00"}, DateCase{46361, "Short Date", "05/12/2026"},
        DateCase{46361.5, "General Date", "05/12/2026 12:00:00"},
        DateCase{"not a date", "Short Date", "not a date"},
        DateCase{"31/02/2026", "dd mmm", "31/02/2026"},
        DateCase{tv::Variant(), "General Date", ""}));

TEST_F(PinnedRegional, MonthDayYearChangesNumericDatesOnly) {
    pin(tvtest::monthDayYear());
    EXPECT_EQ(tv::Format(kAfternoon, "General Date"), QStringLiteral("12/05/2026 14:30:00"));
    EXPECT_EQ(tv::Format(kAfternoon, "Short Date"), QStringLiteral("12/05/2026"));
    EXPECT_EQ(tv::Format(kAfternoon, "Long Date"), QStringLiteral("Saturday, December 5, 2026"));
    EXPECT_EQ(tv::Format(kAfternoon, "Medium Date"), QStringLiteral("05-Dec-26"));
    EXPECT_EQ(tv::Format(kAfternoon, "dd/mm/yy"), QStringLiteral("05/12/26"));
    // What Short Date writes, CDate reads back to the same day in either order.
    EXPECT_EQ(tv::CDate(tv::Format(kAfternoon, "Short Date")), tv::DateSerial(2026, 12, 5));
    pin(tvtest::dayMonthYear());
    EXPECT_EQ(tv::CDate(tv::Format(kAfternoon, "Short Date")), tv::DateSerial(2026, 12, 5));
}

TEST_F(PinnedRegional, GeneralDateReadsBackToTheSameMoment) {
    for (const tv::DateTime d :
         {kAfternoon, kMorning, tv::DateSerial(2026, 1, 31), tv::TimeSerial(23, 59, 59),
          tv::DateFromParts(1930, 6, 1, 0, 0, 1)}) {
        const QString text = tv::Format(d, "General Date");
        EXPECT_EQ(tv::toIsoText(tv::CDate(text)), tv::toIsoText(d)) << text.toStdString();
    }
}

TEST_F(PinnedRegional, OtherSettingsShapeTheNamedFormats) {
    tv::RegionalSettings r = tvtest::dayMonthYear();
    r.twentyFourHour = false;
    r.fourDigitYearInShortDate = false;
    r.dateSeparator = u'.';
    pin(r);
    EXPECT_EQ(tv::Format(kAfternoon, "General Date"), QStringLiteral("05.12.2026 2:30:00 PM"));
    EXPECT_EQ(tv::Format(kAfternoon, "Short Date"), QStringLiteral("05.12.26"));
    EXPECT_EQ(tv::Format(kAfternoon, "dd/mm/yy"), QStringLiteral("05.12.26"));
    EXPECT_EQ(tv::Format(kAfternoon, "Short Time"), QStringLiteral("14:30"));
}

TEST_F(PinnedRegional, TimesDoNotDriftBelowTheSecond) {
    // 14:30 reached by arithmetic must print 14:30:00, not 14:29:59.
    const tv::DateTime sum = tv::DateAddSeconds(tv::DateFromParts(2026, 12, 5, 14, 29, 0), 60);
    EXPECT_EQ(tv::Format(sum, "hh:mm:ss"), QStringLiteral("14:30:00"));
    const tv::DateTime divided{46361.0 + (14.0 * 60 + 30) / 1440.0 - 1e-10};
    EXPECT_EQ(tv::Format(divided, "General Date"), QStringLiteral("05/12/2026 14:30:00"));
    EXPECT_EQ(tv::Format(divided, "hh:mm"), QStringLiteral("14:30"));
}

TEST_F(PinnedRegional, MonthNamesAreEnglishWhateverTheLocale) {
    const char* months[] = {"January", "February", "March",     "April",   "May",      "June",
                            "July",    "August",   "September", "October", "November", "December"};
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(tv::Format(tv::DateSerial(1999, m, 1), "mmmm"),
                  QString::fromLatin1(months[m - 1]));
    }
}

}  // namespace
