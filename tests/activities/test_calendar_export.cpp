// A user's week of plans exported from the Schedule window as iCalendar and read back
// with libical's own parser; a range without plans is said so.
#include "activities/schedule_fixture.h"

#include "core/convert.h"

#include <libical/ical.h>
#include <QFile>

namespace tvtest {
namespace {

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
