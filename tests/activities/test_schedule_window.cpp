// The Schedule window: planning moves the next dates, completing moves the plan into the
// history, two plans at one moment, a plan moved into the past, a customer renamed under
// an open plan.
#include "activities/schedule_fixture.h"

#include "data/access.h"
#include "forms/framework/record_opener.h"

#include <QTabWidget>

namespace tvtest {
namespace {

TEST_F(ScheduleWindowTest, PlanningTomorrowSetsTheNextDateAndCompletingMovesItOn) {
    plan(u"2026-12-09 14:00:00"_s);
    planAt(QDate(2026, 12, 6), u"10:00"_s);
    type("ContactName", u"Ann"_s);
    click("ListCommand_1");
    EXPECT_EQ(nextDates(), u"2026-12-06|2026-12-06"_s);

    field<QTabWidget>("TabStrip1")->setCurrentWidget(field<QWidget>("CompleteTab"));
    EXPECT_EQ(field("Completed")->text().isEmpty(), false);
    type("Completed", u"2026-12-05 11:00"_s);
    type("CompletedBy", u"bob"_s);
    click("Completedf");
    EXPECT_FALSE(stillOpen());
    EXPECT_EQ(dataRows(u"SELECT Format([DATETIME], 'yyyy-mm-dd hh:nn'), [SALES REP ID], "
                       "[CONTACT NAME] FROM ACTIVITIES"_s),
              QStringList{u"2026-12-05 11:00|bob|Ann"_s});
    EXPECT_EQ(dataValue(u"SELECT Count(*) FROM [SCHEDULED ACTIVITIES]"_s), u"1"_s);
    EXPECT_EQ(nextDates(), u"2026-12-09|2026-12-09"_s);
}

TEST_F(ScheduleWindowTest, ASecondPlanAtTheSameMomentIsRefusedAndAPlanInThePastIsNoNextDate) {
    plan(u"2026-12-06 10:00:00"_s);
    planAt(QDate(2026, 12, 6), u"10:00"_s);
    type("Description", u"Call"_s);
    ask.message(1, u"already has a scheduled activity"_s);
    click("ListCommand_1");
    EXPECT_EQ(dataRows(u"SELECT DESCRIPTION FROM [SCHEDULED ACTIVITIES]"_s), QStringList{u"Visit"_s});

    planAt(QDate(2026, 12, 1), u"10:00"_s);
    click("ListCommand_1");
    EXPECT_EQ(dataValue(u"SELECT Count(*) FROM [SCHEDULED ACTIVITIES]"_s), u"2"_s);
    EXPECT_EQ(dateOf(u"CUSTOMERS"_s, u"NEXTDATE"_s), u"2026-12-06"_s);
}

TEST_F(ScheduleWindowTest, APlanWhoseCustomerWasRenamedCompletesUnderTheNewNameOrIsReportedGone) {
    for (const bool windowFollowed : {true, false}) {
        const QString renamed = windowFollowed ? u"O'Brien GmbH"_s : u"O'Brien AG"_s;
        const QString old = windowFollowed ? kCustomer : u"O'Brien GmbH"_s;
        plan(u"2026-12-07 09:00:00"_s, u"admin"_s, old);
        ASSERT_TRUE(w->showStoredRow(old, u"2026-12-07 09:00:00"_s));
        ASSERT_TRUE(tv::data::LoadRecord(u"Customers"_s, old));
        tv::data::state().FieldValues(1) = renamed;
        ASSERT_TRUE(tv::data::UpdateRecord(u"Customers"_s, true, old, QString()));
        // The customer window tells open windows of a rename it saved; another
        // workstation's rename reaches this one only as a plan that is gone.
        if (windowFollowed) tv::forms::FollowKeyChange(u"CUSTOMER NAME"_s, old, renamed);
        else ask.message(1, u"no longer in the schedule"_s);
        type("Completed", u"2026-12-05 12:00"_s);
        EXPECT_EQ(schedule()->complete(), windowFollowed);
        // One activity in all: the first run's, carried along by the second rename.
        EXPECT_EQ(dataRows(u"SELECT [CUSTOMER NAME] FROM ACTIVITIES"_s), QStringList{renamed});
        openNew(u"Scheduled Activities"_s);
    }
}

}  // namespace
}  // namespace tvtest
