// The Schedule window on a new row, with plans of the customer put in directly.
#pragma once

#include "activities/activities_fixture.h"
#include "forms/activities/schedule_window.h"
#include "forms/framework/date_box.h"

namespace tvtest {

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

}  // namespace tvtest
