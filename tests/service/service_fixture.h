// The service windows over fresh shipped databases: the area's windows registered, a
// status panel, a fixed clock (Friday 4 December 2026, 10:00) and a signed-in user whose
// id needs quoting.
#pragma once

#include "common/data/shipped_fixture.h"
#include "core/convert.h"
#include "data/app_state.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/status.h"
#include "forms/service/service_windows.h"

#include <QCoreApplication>
#include <QLabel>

namespace tvtest {

class ServiceWindowsTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        ask.setNow(tv::DateFromParts(2026, 12, 4, 10, 0, 0));
        tv::data::state().CurrentUserId = kUser;
        tv::forms::setStatusPanel(&status);
        tv::forms::registerServiceWindows();
    }
    void TearDown() override {
        tv::forms::setStatusPanel(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ShippedDatabasesTest::TearDown();
    }
    // A labour line: request, number, person, scheduled and completed moments (SQL
    // literals or Null).
    static QString labourLine(int request, int number, const QString& person,
                              const char* scheduled, const char* completed) {
        return QStringLiteral("INSERT INTO [REQUEST ACTIVITIES] (REQUESTNO, ACTIVITYNO, PERSONNEL, "
                              "SCHEDULED, COMPLETED) VALUES (%1, %2, %3, %4, %5)")
            .arg(request)
            .arg(number)
            .arg(tv::engine::quoteLiteral(person), QLatin1String(scheduled),
                 QLatin1String(completed));
    }

    static inline const QString kUser = QStringLiteral("d'Arcy");
    QLabel status;
};

}  // namespace tvtest
