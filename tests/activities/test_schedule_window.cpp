// The Schedule window: planning moves the next dates, completing moves the plan into the
// history, two plans at one moment, a plan moved into the past, a customer renamed under
// an open plan, and the week exported as iCalendar and read back with libical.
#include "activities/activities_fixture.h"

#include "core/convert.h"
#include "data/access.h"
#include "forms/activities/schedule_window.h"
#include "forms/framework/date_box.h"
#include "forms/framework/record_opener.h"

#include <libical/ical.h>
#include <QFile>
#include <QTabWidget>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::engine::quoteLiteral;

class ScheduleWindowTest : public ActivityWindowsTest {
protected:
    void SetUp() override {
        ActivityWindowsTest::SetUp();
        openNew(u"Scheduled Activities"_s);
    }
    static void plan(const QString& when, const QString& user = u"admin"_s,
                     const QString& customer = kCustomer) {
        execData({u"INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], SCHEDDATETIME, "
                  "[CONTACT NAME], [USER ID], DESCRIPTION) VALUES (%1, #%2#, 'Ann', '%3', 'Visit')"_s
                      .arg(quoteLiteral(customer), when, user)});
    }
    void planAt(const QDate& day, const QString& time) {
        field<tv::forms::DateBox>("ScheduledDate")->setDate(day);
        type("ScheduledTime", time);
    }
    tv::forms::ScheduleWindow* schedule() const {
        return qobject_cast<tv::forms::ScheduleWindow*>(w.data());
    }
    static QString nextDates() {
        return dateOf(u"CUSTOMERS"_s, u"NEXTDATE"_s) + u'|' + dateOf(u"CONTACTS"_s, u"NEXTCONTACT"_s);
    }
};

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

TEST_F(ScheduleWindowTest, TheWeekIsExportedAsCalendarEventsLibicalReadsBack) {
    plan(u"2026-12-08 10:00:00"_s);
    plan(u"2026-12-10 16:30:00"_s);
    plan(u"2026-12-09 08:00:00"_s, u"bob"_s);
    plan(u"2026-12-15 08:00:00"_s);
    const QString path = data.file(u"week.ics"_s);
    ask.saveFile(path);
    ASSERT_TRUE(schedule()->exportSchedule(u"admin"_s, tv::DateSerial(2026, 12, 7),
                                           tv::DateSerial(2026, 12, 13)));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    icalcomponent* calendar = icalparser_parse_string(file.readAll().constData());
    ASSERT_NE(calendar, nullptr);
    QStringList events;
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
        events << QString::fromUtf8(icaltime_as_ical_string(icalcomponent_get_dtstart(e))) + u'|' +
                      QString::number(icaldurationtype_as_int(icalcomponent_get_duration(e))) +
                      u'|' + QString::fromUtf8(icalcomponent_get_summary(e));
    icalcomponent_free(calendar);
    const QString who = u"|1800|"_s + kCustomer + u" (Ann)"_s;
    EXPECT_EQ(events, QStringList({u"20261208T100000"_s + who, u"20261210T163000"_s + who}));

    ask.message(1, u"no scheduled activities to export"_s);
    EXPECT_FALSE(schedule()->exportSchedule(u"bob"_s, tv::DateSerial(2026, 12, 10),
                                            tv::DateSerial(2026, 12, 31)));
}

}  // namespace
}  // namespace tvtest
