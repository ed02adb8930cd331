// The diary's rows: which days of a month are marked, and where a day's items land.
#include "diary/diary_fixture.h"

namespace tvtest {
namespace {

using tv::data::DiaryMarkedDays;
using tv::data::ReadDiaryDay;

TEST_F(DiaryTest, TheMonthMarksExactlyItsDaysWithPlannedWork) {
    plan(u"2026-11-30 12:00:00"_s, u"last month"_s);
    plan(u"2026-12-03 10:00:00"_s, u"early"_s);
    plan(u"2026-12-31 23:30:00"_s, u"late"_s);
    plan(u"2027-01-01 00:00:00"_s, u"next month"_s);
    plan(u"2026-12-10 10:00:00"_s, u"someone else's"_s, u"bob"_s);
    line(7, 1, u"2026-12-15"_s, QString());                             // open: marked
    line(7, 2, u"2026-12-12"_s, u"2026-12-12 11:00:00"_s);              // completed: not
    line(7, 3, QString(), QString());                                   // never scheduled
    EXPECT_EQ(DiaryMarkedDays(mine(), 2026, 12), (std::vector<int>{3, 15, 31}));
    tv::data::DiaryScope everyone = mine();
    everyone.everyone = true;
    EXPECT_EQ(DiaryMarkedDays(everyone, 2026, 12), (std::vector<int>{3, 10, 15, 31}));
    EXPECT_EQ(DiaryMarkedDays(mine(), 2027, 1), (std::vector<int>{1}));
}

TEST_F(DiaryTest, ADaysPlansLandUntimedInThePlannerOrOverdueByTheirMoment) {
    const struct {
        QString when;
        const char* list;
    } cases[] = {
        {u"2026-12-05 00:00:00"_s, "untimed"}, {u"2026-12-05 00:45:00"_s, "untimed"},
        {u"2026-12-05 01:00:00"_s, "planner"}, {u"2026-12-05 21:45:00"_s, "planner"},
        {u"2026-12-04 15:00:00"_s, "overdue"}, {u"2026-12-06 09:00:00"_s, "none"},
    };
    QStringList untimed, planner, overdue;
    for (const auto& c : cases) {
        plan(c.when, c.when);
        QStringList* list = QByteArray(c.list) == "untimed"   ? &untimed
                            : QByteArray(c.list) == "planner" ? &planner
                            : QByteArray(c.list) == "overdue" ? &overdue
                                                              : nullptr;
        if (list) *list << c.when;
    }
    // Labour lines: an untimed one whose request is closed shows the request's summary, an
    // older one whose request is gone its own description.
    request(8, u"Heater fault"_s, false);
    line(8, 1, u"2026-12-05"_s, QString());
    line(9, 1, u"2026-11-20"_s, QString());
    untimed.insert(1, u"Heater fault"_s);  // at 00:00, after the plan of that moment
    overdue.prepend(u"Replace drum"_s);

    const tv::data::DiaryDay day = ReadDiaryDay(mine(), kToday);
    EXPECT_EQ(texts(day.untimed), untimed);
    EXPECT_EQ(texts(day.planner), planner);
    EXPECT_EQ(texts(day.overdue), overdue);
    const tv::data::DiaryItem& heater = day.untimed.at(1);
    EXPECT_EQ(heater.customer, kCustomer);
    EXPECT_FALSE(heater.requestOpen);
    EXPECT_NEAR(heater.end.serial - heater.start.serial, 1.5 / 24, 1e-9);
}

TEST_F(DiaryTest, CompletedShowsOnlyDoneWorkAndBothShowsBoth) {
    plan(u"2026-12-05 10:00:00"_s, u"plan"_s);
    plan(u"2026-12-01 10:00:00"_s, u"old plan"_s);
    done(u"2026-12-05 10:30:00"_s, u"call"_s, 30);
    done(u"2026-12-04 10:30:00"_s, u"yesterday's call"_s, 30);
    line(7, 1, QString(), u"2026-12-05 12:00:00"_s, u"2026-12-05 11:00:00"_s);

    const tv::data::DiaryDay completed = ReadDiaryDay(mine(false, true), kToday);
    EXPECT_EQ(texts(completed.planner), (QStringList{u"call"_s, u"Replace drum"_s}));
    EXPECT_TRUE(completed.untimed.empty() && completed.overdue.empty());
    // Saved at 10:30 after 30 minutes: drawn from 10:00.
    EXPECT_EQ(tv::toIsoText(completed.planner.front().start), u"2026-12-05 10:00:00"_s);

    const tv::data::DiaryDay both = ReadDiaryDay(mine(true, true), kToday);
    EXPECT_EQ(texts(both.planner), (QStringList{u"plan"_s, u"call"_s, u"Replace drum"_s}));
    EXPECT_EQ(texts(both.overdue), QStringList{u"old plan"_s});
}

}  // namespace
}  // namespace tvtest
