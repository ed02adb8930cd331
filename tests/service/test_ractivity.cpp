// The request-activity window: minutes for hours, the person's rate, dates, numbering, refusals.
#include "service/service_fixture.h"

#include "data/access.h"
#include "forms/framework/date_box.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/record_opener.h"
#include "forms/service/ractivity_window.h"

#include <QLineEdit>
#include <QPointer>

namespace tvtest {
namespace {

using tv::forms::RActivityWindow;

class RActivityTest : public ServiceWindowsTest {
protected:
    void SetUp() override {
        ServiceWindowsTest::SetUp();
        addUser(kUser);
        execData({"UPDATE [SYSTEM USERS] SET CHARGERATE = 85.5 WHERE USERID = 'd''Arcy'",
                  "INSERT INTO [CURRENT REQUESTS] (REQUESTNO) VALUES (7)",
                  labourLine(7, 1, "bob", "#2026-12-04 14:30:00#", "#2026-12-04 16:00:00#"),
                  "UPDATE [REQUEST ACTIVITIES] SET DURATION = 1.25, CHARGERATE = 60 "
                  "WHERE ACTIVITYNO = 1"});
    }
    RActivityWindow* open(bool existing) {
        tv::data::FieldValueArray values;
        values.resize(12);
        values(1) = QStringLiteral("7");
        values(5) = kUser;
        if (existing && tv::data::LoadRecord("Request Activities", "7", "1"))
            values = tv::data::state().FieldValues;
        tv::data::state().PendingEditMode = existing ? 2 : 1;
        tv::forms::OpenRecordWindow("Request Activities", values);
        return w = qobject_cast<RActivityWindow*>(tv::forms::GetRecordWindow("Request Activities"));
    }
    QLineEdit* box(const char* name) const { return w->findChild<QLineEdit*>(name); }
    void type(const char* name, const QString& text) const {
        box(name)->setText(text);
        emit box(name)->editingFinished();
    }
    static QString line(int activityNo) {
        return dataValue(QStringLiteral(
            "SELECT DURATION & '|' & CHARGERATE & '|' & Format(SCHEDULED, 'yyyy-mm-dd hh:nn') & '|' & "
            "Format(COMPLETED, 'yyyy-mm-dd hh:nn') & '|' & PERSONNEL FROM [REQUEST ACTIVITIES] "
            "WHERE REQUESTNO = 7 AND ACTIVITYNO = %1").arg(activityNo));
    }
    QPointer<RActivityWindow> w;
};

TEST_F(RActivityTest, MinutesRoundTripToHoursAndUntouchedDatesKeepTheirTime) {
    ASSERT_TRUE(open(true));
    EXPECT_EQ(box("Duration")->text(), "75");
    EXPECT_EQ(box("ChargeRate")->text(), "60.00");
    type("Duration", "100");
    w->findChild<tv::forms::DateBox*>("Completed")->clear();
    ASSERT_TRUE(w->saveDetails());
    EXPECT_EQ(line(1), "1.66666666666667|60|2026-12-04 14:30||bob");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());  // saving closes

    ASSERT_TRUE(open(true));
    EXPECT_EQ(box("Duration")->text(), "100");
    w->findChild<tv::forms::DateBox*>("Scheduled")->setDate(QDate(2026, 12, 7));
    ASSERT_TRUE(w->saveDetails());
    EXPECT_EQ(line(1), "1.66666666666667|60|2026-12-07 00:00||bob");
}

TEST_F(RActivityTest, ChoosingAPersonFillsTheirRateAndANewLineFollowsTheLast) {
    tv::forms::RecordWindow* request = tv::forms::GetRecordWindow("Current Requests");
    ASSERT_TRUE(request->showStoredRow("7"));
    ASSERT_TRUE(open(false));
    EXPECT_EQ(box("ChargeRate")->text(), "85.50");  // the person it came with
    box("ChargeRate")->clear();
    auto* person = w->findChild<tv::forms::PickList*>("Person");
    person->setCurrentText(kUser);
    emit person->textActivated(kUser);
    EXPECT_EQ(box("ChargeRate")->text(), "85.50");
    type("Duration", "30");
    ASSERT_TRUE(w->saveDetails());
    EXPECT_EQ(line(2), "0.5|85.5|||d'Arcy");
    EXPECT_TRUE(request->refreshList());  // the request reads its lines and totals again
    request->close();
}

TEST_F(RActivityTest, WhatCannotBeStoredIsRefusedAndKept) {
    ASSERT_TRUE(open(true));
    type("Duration", "an hour");
    ask.message(tv::data::msgbox::kOk, "an hour");
    EXPECT_FALSE(w->saveDetails());
    EXPECT_EQ(box("Duration")->text(), "an hour");
    EXPECT_EQ(line(1), "1.25|60|2026-12-04 14:30|2026-12-04 16:00|bob");
    w->close();
}

}  // namespace
}  // namespace tvtest
