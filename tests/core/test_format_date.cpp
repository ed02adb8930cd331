// Format with the named date formats and date patterns, in both regional orders.
#include "core/convert.h"
#include "core/format.h"
#include "pinned_regional.h"

#include <gtest/gtest.h>

namespace {

using tvtest::PinnedRegional;

const tv::DateTime kAfternoon = tv::DateFromParts(2026, 12, 5, 14, 30, 0);  // a Saturday
const tv::DateTime kMorning = tv::DateFromParts(2026, 3, 7, 9, 5, 3);

// Each value written with its pattern, in day-month-year order.
void expectFormats(std::initializer_list<std::tuple<tv::Variant, const char*, const char*>> cases) {
    for (const auto& [value, pattern, expected] : cases)
        EXPECT_EQ(tv::Format(value, QString::fromUtf8(pattern)).toStdString(), expected)
            << "pattern " << pattern;
}

// clang-format off
TEST_F(PinnedRegional, WritesDatesWithNamedFormatsAndPatterns) {
    expectFormats({
        {kAfternoon, "General Date", "05/12/2026 14:30:00"},
        {tv::DateSerial(2026, 12, 5), "General Date", "05/12/2026"},  // midnight left out
        {tv::TimeSerial(14, 30, 0), "General Date", "14:30:00"},      // zero date
        {tv::DateTime{0.0}, "General Date", "00:00:00"},
        {tv::DateTime{-1.25}, "General Date", "29/12/1899 06:00:00"},
        {kAfternoon, "short date", "05/12/2026"},      {kAfternoon, "Medium Date", "05-Dec-26"},
        {kAfternoon, "Long Date", "Saturday, 5 December 2026"},
        {kAfternoon, "Long Time", "14:30:00"},         {kAfternoon, "Medium Time", "02:30 PM"},
        {kAfternoon, "Short Time", "14:30"},           {kAfternoon, "dd/mm/yy", "05/12/26"},
        {kAfternoon, "mm/dd/yy", "12/05/26"},          {kAfternoon, "dd mmm", "05 Dec"},
        {kAfternoon, "mmmm", "December"},              {kMorning, "hh:mm:ss", "09:05:03"},
        {kMorning, "h:m:s", "9:5:3"},                  {kMorning, "h:nn", "9:05"},
        {kMorning, "d/m/yyyy", "7/3/2026"},            {kMorning, "DD/MM/YYYY", "07/03/2026"},
        {kAfternoon, "ddd dddd", "Sat Saturday"},      {kAfternoon, "h:nn AM/PM", "2:30 PM"},
        {kMorning, "hh:nn am/pm", "09:05 am"},
        {tv::TimeSerial(0, 15, 0), "h:nn AM/PM", "12:15 AM"},
        {tv::TimeSerial(12, 0, 0), "h A/P", "12 P"},   {kAfternoon, "q y w", "4 339 7"},
        {kAfternoon, "yyyy-mm-dd hh:nn:ss", "2026-12-05 14:30:00"},
        {kAfternoon, "\"Day \"d \\d", "Day 5 d"},   {kAfternoon, "ddddd", "05/12/2026"},
        {kAfternoon, "c", "05/12/2026 14:30:00"},
        // Texts that read as dates, and numbers as serials.
        {"2026-12-05 14:30:00", "dd/mm/yy", "05/12/26"},
        {"05/12/26", "Long Date", "Saturday, 5 December 2026"},
        {"14:30", "hh:mm:ss", "14:30:00"},             {46361, "Short Date", "05/12/2026"},
        {46361.5, "General Date", "05/12/2026 12:00:00"},
        {"not a date", "Short Date", "not a date"},    {"31/02/2026", "dd mmm", "31/02/2026"},
        {tv::Variant(), "General Date", ""},
    });
}
// clang-format on

TEST_F(PinnedRegional, OtherRegionalSettingsShapeTheNamedFormats) {
    pin(tvtest::monthDayYear());
    EXPECT_EQ(tv::Format(kAfternoon, "General Date"), QStringLiteral("12/05/2026 14:30:00"));
    EXPECT_EQ(tv::Format(kAfternoon, "Short Date"), QStringLiteral("12/05/2026"));
    EXPECT_EQ(tv::Format(kAfternoon, "Long Date"), QStringLiteral("Saturday, December 5, 2026"));
    EXPECT_EQ(tv::Format(kAfternoon, "Medium Date"), QStringLiteral("05-Dec-26"));
    EXPECT_EQ(tv::Format(kAfternoon, "dd/mm/yy"), QStringLiteral("05/12/26"));
    // What Short Date writes, CDate reads back to the same day in either order.
    EXPECT_EQ(tv::CDate(tv::Format(kAfternoon, "Short Date")), tv::DateSerial(2026, 12, 5));

    tv::RegionalSettings r = tvtest::dayMonthYear();
    r.twentyFourHour = false;
    r.fourDigitYearInShortDate = false;
    r.dateSeparator = u'.';
    pin(r);
    EXPECT_EQ(tv::Format(kAfternoon, "General Date"), QStringLiteral("05.12.2026 2:30:00 PM"));
    EXPECT_EQ(tv::Format(kAfternoon, "Short Date"), QStringLiteral("05.12.26"));
    EXPECT_EQ(tv::Format(kAfternoon, "dd/mm/yy"), QStringLiteral("05.12.26"));
    EXPECT_EQ(tv::Format(kAfternoon, "Short Time"), QStringLiteral("14:30"));
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

TEST_F(PinnedRegional, TimesDoNotDriftBelowTheSecondAndMonthsAreEnglish) {
    // 14:30 reached by arithmetic must print 14:30, not 14:29:59.
    const tv::DateTime divided{46361.0 + (14.0 * 60 + 30) / 1440.0 - 1e-10};
    EXPECT_EQ(tv::Format(divided, "General Date"), QStringLiteral("05/12/2026 14:30:00"));
    EXPECT_EQ(tv::Format(divided, "hh:mm"), QStringLiteral("14:30"));
    QStringList months;
    for (int m = 1; m <= 12; ++m) months << tv::Format(tv::DateSerial(1999, m, 1), "mmmm");
    EXPECT_EQ(months.join(u' '),
              "January February March April May June July August "
              "September October November December");
}

}  // namespace
