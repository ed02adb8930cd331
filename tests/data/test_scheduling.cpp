// Completing plans (the next date moving on, a plan completed twice, two workstations at
// once), a follow-up refused at a taken moment, and the first and last contact dates.
#include "common/data/shipped_fixture.h"
#include "core/convert.h"
#include "data/app_state.h"
#include "data/business_rules.h"
#include "data/scheduling.h"
#include "engine/engine.h"

#include <chrono>
#include <thread>

namespace tvtest {
namespace {

using namespace tv::data;
using tv::engine::quoteLiteral;

const QString kCustomer = "O'Brien Ltd";

class SchedulingTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        ask.setNow(tv::DateFromParts(2026, 3, 10, 8, 0, 0));
        execData({"INSERT INTO CUSTOMERS ([CUSTOMER NAME], FIRSTDATE, LASTDATE) VALUES (" +
                      quoteLiteral(kCustomer) + ", #2026-03-10#, #2026-03-20#)",
                  "INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME]) VALUES (" +
                      quoteLiteral(kCustomer) + ", 'Ann')"});
    }
    static void plan(const QString& when) {
        execData({"INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], SCHEDDATETIME, "
                  "[CONTACT NAME], [USER ID]) VALUES (" +
                  quoteLiteral(kCustomer) + ", #" + when + "#, 'Ann', 'bob')"});
    }
    static QString dates() {
        return dataValue("SELECT Format(FIRSTDATE, 'yyyy-mm-dd') & '|' & Format(LASTDATE, "
                         "'yyyy-mm-dd') & '|' & Format(NEXTDATE, 'yyyy-mm-dd') FROM CUSTOMERS") +
               "|" + dataValue("SELECT Format(NEXTCONTACT, 'yyyy-mm-dd') FROM CONTACTS");
    }
    static Completion complete(const QString& planned, const QString& done) {
        const QStringList activity = {kCustomer, done, "Call", "", "bob", "Ann"};
        return CompleteScheduledActivity(kCustomer, tv::CDate(tv::Variant(planned)), activity, {});
    }
    static int count(const QString& table) {
        return dataValue("SELECT Count(*) FROM [" + table + "]").toInt();
    }
};

TEST_F(SchedulingTest, CompletingMovesTheNextDateOnAndAPlanCompletedTwiceIsStoredOnce) {
    plan("2026-03-11 10:00:00");
    plan("2026-03-17 09:00:00");
    ASSERT_TRUE(ApplyNextDateRule(kCustomer, "Ann", 0));
    EXPECT_EQ(dates(), "2026-03-10|2026-03-20|2026-03-11|2026-03-11");

    EXPECT_EQ(complete("2026-03-11 10:00:00", "2026-03-10 11:00:00"), Completion::Completed);
    EXPECT_EQ(dates(), "2026-03-10|2026-03-20|2026-03-17|2026-03-17");
    ask.message(1, "no longer in the schedule");
    EXPECT_EQ(complete("2026-03-11 10:00:00", "2026-03-10 11:05:00"), Completion::PlanGone);
    EXPECT_EQ(complete("2026-03-17 09:00:00", "2026-03-10 11:00:00"), Completion::Completed);
    // The second completion at the same second moved on; the schedule is empty, the dates clear.
    EXPECT_EQ(dataRows("SELECT Format([DATETIME], 'hh:nn:ss') FROM ACTIVITIES ORDER BY 1"),
              QStringList({"11:00:00", "11:00:01"}));
    EXPECT_EQ(count("SCHEDULED ACTIVITIES"), 0);
    EXPECT_EQ(dates(), "2026-03-10|2026-03-20||");
}

TEST_F(SchedulingTest, TheSecondOfTwoWorkstationsCompletingOnePlanIsToldItIsGone) {
    plan("2026-03-11 10:00:00");
    // The other workstation completes the plan itself, holding what it wrote (the file's
    // write lock, or on a server the plan's row) until it commits.
    RawConnection other(dataPath());
    ASSERT_EQ(other.exec(other.isServer() ? "BEGIN" : "BEGIN IMMEDIATE"), "");
    ASSERT_EQ(other.exec("DELETE FROM \"SCHEDULED ACTIVITIES\""), "");
    ASSERT_EQ(other.exec("INSERT INTO \"ACTIVITIES\" (\"CUSTOMER NAME\", \"DATETIME\") VALUES (" +
                         quoteLiteral(kCustomer) + ", '2026-03-10 10:59:00')"),
              "");
    std::thread commitLater([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.exec("COMMIT");
    });
    ask.message(1, "no longer in the schedule");
    const Completion result = complete("2026-03-11 10:00:00", "2026-03-10 11:00:00");
    commitLater.join();
    EXPECT_EQ(result, Completion::PlanGone);
    EXPECT_EQ(count("ACTIVITIES"), 1);
}

TEST_F(SchedulingTest, AFollowUpAtAMomentAlreadyPlannedIsRefusedAndTheOtherPlanKept) {
    execData({"INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], SCHEDDATETIME, DESCRIPTION) "
              "VALUES (" + quoteLiteral(kCustomer) + ", #2026-03-12 09:30:00#, 'Visit')"});
    ask.message(1, "already has a scheduled activity");
    EXPECT_FALSE(ScheduleFollowUp({"2026-03-12", "09:30", "bob", "Call", "Call back"}, kCustomer,
                                  "Ann", ""));
    EXPECT_EQ(dataRows("SELECT DESCRIPTION FROM [SCHEDULED ACTIVITIES]"), QStringList{"Visit"});
    // A description without a date plans nothing, and says nothing.
    EXPECT_TRUE(ScheduleFollowUp({"", "", "bob", "Call", "Call back"}, kCustomer, "Ann", ""));
    EXPECT_EQ(count("SCHEDULED ACTIVITIES"), 1);
}

TEST_F(SchedulingTest, AnActivityWidensTheFirstAndLastDatesOnlyWhereItLiesOutsideThem) {
    const std::pair<QString, QString> cases[] = {
        {"2026-03-15 10:00:00", "2026-03-10|2026-03-20||"},
        {"2026-03-05 23:59:00", "2026-03-05|2026-03-20||"},
        {"2026-03-25 00:01:00", "2026-03-05|2026-03-25||"},
    };
    for (const auto& [when, expected] : cases) {
        ASSERT_TRUE(UpdateContactDates(kCustomer, "", tv::CDate(tv::Variant(when)), std::nullopt));
        EXPECT_EQ(dates(), expected) << when.toStdString();
    }
}

}  // namespace
}  // namespace tvtest
