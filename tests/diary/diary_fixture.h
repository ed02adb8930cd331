// The diary over fresh shipped databases: the signed-in user is called O'Brien (so every
// query must quote the id), the clock stands at 5 December 2026, 9:00, and rows are put in
// with the program's own SQL.
#pragma once

#include "common/data/shipped_fixture.h"

#include "core/convert.h"
#include "data/app_state.h"
#include "data/diary.h"
#include "engine/engine.h"

namespace tvtest {

using namespace Qt::StringLiterals;
using tv::engine::quoteLiteral;

class DiaryTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        ask.setNow(tv::DateFromParts(2026, 12, 5, 9, 0, 0));
        tv::data::state().CurrentUserId = kUser;
        execData({u"INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES (%1)"_s.arg(quoteLiteral(kCustomer))});
    }
    // A plan of the user (or another) at an ISO moment.
    static void plan(const QString& when, const QString& what, const QString& user = kUser,
                     int minutes = 0) {
        execData({u"INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], SCHEDDATETIME, "
                  "DESCRIPTION, [USER ID], DURATION) VALUES (%1, #%2#, %3, %4, %5)"_s.arg(
                      quoteLiteral(kCustomer), when, quoteLiteral(what), quoteLiteral(user))
                      .arg(minutes)});
    }
    static void done(const QString& when, const QString& what, int minutes) {
        execData({u"INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME], DESCRIPTION, "
                  "[SALES REP ID], DURATION) VALUES (%1, #%2#, %3, %4, %5)"_s.arg(
                      quoteLiteral(kCustomer), when, quoteLiteral(what), quoteLiteral(kUser))
                      .arg(minutes)});
    }
    // A labour line of request `request`, scheduled (or not) and completed (or not).
    static void line(int request, int n, const QString& scheduled, const QString& completed,
                     const QString& at = u"2026-12-01 08:00:00"_s) {
        const auto date = [](const QString& d) { return d.isEmpty() ? u"Null"_s : u'#' + d + u'#'; };
        execData({u"INSERT INTO [REQUEST ACTIVITIES] (REQUESTNO, ACTIVITYNO, [DATE/TIME], "
                  "PERSONNEL, DESCRIPTION, DURATION, SCHEDULED, COMPLETED) VALUES "
                  "(%1, %2, #%3#, %4, 'Replace drum', 1.5, %5, %6)"_s.arg(request)
                      .arg(n)
                      .arg(at, quoteLiteral(kUser), date(scheduled), date(completed))});
    }
    static void request(int number, const QString& summary, bool open = true) {
        execData({u"INSERT INTO [%1] (REQUESTNO, [CUSTOMER NAME], SUMMARY) VALUES (%2, %3, %4)"_s
                      .arg(open ? u"CURRENT REQUESTS"_s : u"COMPLETED REQUESTS"_s)
                      .arg(number)
                      .arg(quoteLiteral(kCustomer), quoteLiteral(summary))});
    }
    static QStringList texts(const std::vector<tv::data::DiaryItem>& items) {
        QStringList out;
        for (const tv::data::DiaryItem& item : items) out << item.text;
        return out;
    }
    static tv::data::DiaryScope mine(bool scheduled = true, bool completed = false) {
        tv::data::DiaryScope s;
        s.user = kUser;
        s.scheduled = scheduled;
        s.completed = completed;
        return s;
    }

    static inline const QString kUser = u"O'Brien"_s;
    static inline const QString kCustomer = u"O'Neill & Söhne"_s;
    static inline const tv::DateTime kToday = tv::DateFromParts(2026, 12, 5);
};

}  // namespace tvtest
