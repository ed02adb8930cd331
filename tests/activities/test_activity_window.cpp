// The Activity window: what it refuses to save, the moment read in either order, the
// follow-up and contact dates a save writes, Exit On Save and the stop-watch.
#include "activities/activities_fixture.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "forms/activities/activity_form.h"

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;

class ActivityWindowTest : public ActivityWindowsTest {
protected:
    void SetUp() override {
        ActivityWindowsTest::SetUp();
        openNew(u"Activities"_s);
    }
    static QStringList stored() {
        return dataRows(u"SELECT [CUSTOMER NAME], Format([DATETIME], 'yyyy-mm-dd hh:nn'), "
                        "DURATION, COST FROM ACTIVITIES"_s);
    }
};

TEST_F(ActivityWindowTest, ADurationCostOrMomentThatIsNotOneIsRefusedAndKeptAsTyped) {
    const struct {
        const char* box;
        QString text;
        QString message;
    } cases[] = {{"Duration", u"half hour"_s, u"must be numbers"_s},
                 {"Cost", u"12,50,1"_s, u"must be numbers"_s},
                 {"DateTime", u"next Tuesday"_s, u"not valid"_s}};
    for (const auto& c : cases) {
        type("DateTime", u"2026-12-05 10:30"_s);
        type("Duration", u"30"_s);
        type("Cost", u"12.5"_s);
        type(c.box, c.text);
        ask.message(1, c.message);
        click("ListCommand_1");
        EXPECT_EQ(field(c.box)->text(), c.text);
        EXPECT_EQ(w->focusWidget(), field(c.box)) << c.box;
    }
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(ActivityWindowTest, AMomentTypedInTheRegionalOrderOrInIsoIsReadAlike) {
    const QString regional =
        tv::Format(tv::Variant(tv::DateSerial(2026, 12, 5)), u"Short Date"_s) + u" 10:30"_s;
    for (const QString& typed : {regional, u"2026-12-05 10:30"_s}) {
        openNew(u"Activities"_s);
        type("DateTime", typed);
        type("Duration", u"20.4"_s);
        click("ListCommand_1");
        EXPECT_EQ(stored(), QStringList{kCustomer + u"|2026-12-05 10:30|20|"_s}) << typed.toStdString();
        execData({u"DELETE * FROM ACTIVITIES"_s});
    }
}

TEST_F(ActivityWindowTest, SavingPlansTheFollowUpOnceMovesTheDatesAndClosesWhenAsked) {
    type("DateTime", u"2026-12-05 09:15"_s);
    type("ContactName", u"Ann"_s);
    EXPECT_EQ(field("BusinessNo")->text(), u"02 1111"_s);
    w->findChild<QWidget*>(u"SSDateCombo1"_s)->setProperty("date", QDate(2026, 12, 6));
    type("FollowupTime", u"10:00"_s);
    type("FollowupDescription", u"Call Ann back"_s);
    click("ListCommand_1");
    EXPECT_EQ(dataRows(u"SELECT Format(SCHEDDATETIME, 'yyyy-mm-dd hh:nn'), DESCRIPTION, "
                       "[CONTACT NAME] FROM [SCHEDULED ACTIVITIES]"_s),
              QStringList{u"2026-12-06 10:00|Call Ann back|Ann"_s});
    for (const auto& [table, columns] :
         {std::pair{u"CUSTOMERS"_s, QStringList{u"FIRSTDATE"_s, u"LASTDATE"_s, u"NEXTDATE"_s}},
          std::pair{u"CONTACTS"_s,
                    QStringList{u"FIRSTCONTACT"_s, u"LASTCONTACT"_s, u"NEXTCONTACT"_s}}}) {
        EXPECT_EQ(dateOf(table, columns[0]) + u'|' + dateOf(table, columns[1]) + u'|' +
                      dateOf(table, columns[2]),
                  u"2026-12-05|2026-12-05|2026-12-06"_s)
            << table.toStdString();
    }
    EXPECT_TRUE(stillOpen());

    tv::SaveSetting(tv::keys::ExitOnSave(u"Activities"_s), u"1"_s);
    type("Description", u"Second save"_s);
    click("ListCommand_1");
    EXPECT_FALSE(stillOpen());
    EXPECT_EQ(dataValue(u"SELECT Count(*) FROM [SCHEDULED ACTIVITIES]"_s), u"1"_s);
    EXPECT_EQ(dataValue(u"SELECT DESCRIPTION FROM ACTIVITIES"_s), u"Second save"_s);
}

TEST_F(ActivityWindowTest, TheStopWatchCountsMinutesIntoTheDuration) {
    auto* form = qobject_cast<tv::forms::ActivityForm*>(w.data());
    form->toggleWatch();
    for (int i = 0; i < 90; ++i) form->tick();
    EXPECT_EQ(field("Duration")->text(), u"1.50"_s);
    form->toggleWatch();
    EXPECT_FALSE(form->watchRunning());
    emit field("Duration")->editingFinished();
    EXPECT_EQ(field("Duration")->text(), u"2"_s);
}

}  // namespace
}  // namespace tvtest
