// The activity log over the shipped options: which events write an entry, what the entry
// says, and entries logged in the same second.
#include "common/data/shipped_fixture.h"
#include "core/convert.h"
#include "data/activity_log.h"
#include "data/app_state.h"
#include "engine/engine.h"

namespace tvtest {
namespace {

using namespace tv::data;

const QString kCustomer = "O'Brien Ltd";

class ActivityLogTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        ask.setNow(tv::DateFromParts(2026, 3, 10, 8, 30, 15));
        state().CurrentUserId = "ann";
    }
    static QStringList entries() {
        return dataRows(QStringLiteral(
            "SELECT [CUSTOMER NAME], Format([DATETIME], 'yyyy-mm-dd hh:nn:ss'), [ACTIVITY TYPE], "
            "DESCRIPTION, [SALES REP ID], [CONTACT NAME], DURATION, COST FROM ACTIVITIES "
            "ORDER BY [DATETIME]"));
    }
    static void configure(const QString& key, const QString& type, const QString& description) {
        execDefinitions({QStringLiteral("UPDATE [ACTIVITY LOG OPTIONS] SET [ACTIVITY TYPE] = %1, "
                                        "DESCRIPTION = %2 WHERE [KEY VALUE] = %3")
                             .arg(type.isEmpty() ? "Null" : tv::engine::quoteLiteral(type),
                                  description.isEmpty() ? "Null"
                                                        : tv::engine::quoteLiteral(description),
                                  tv::engine::quoteLiteral(key))});
    }
};

TEST_F(ActivityLogTest, ANewDocumentWritesTheConfiguredEntry) {
    ASSERT_TRUE(LogNewRecord("Quotations", "1001", kCustomer, "Tom O'Hara"));
    EXPECT_EQ(entries(), QStringList{"O'Brien Ltd|2026-03-10 08:30:15|Quotation|Quotation "
                                     "prepared (1001)|ann|Tom O'Hara|0|0"});
}

TEST_F(ActivityLogTest, AnEmptyDescriptionNamesTheTable) {
    configure("Quotations", "Quotation", QString());
    ASSERT_TRUE(LogNewRecord("Quotations", "1001", kCustomer, QString()));
    ASSERT_EQ(entries().size(), 1);
    EXPECT_EQ(entries()[0].section('|', 3, 3), "Record added to Quotations");
}

TEST_F(ActivityLogTest, EventsWithoutATypeOrWithoutARowWriteNothing) {
    configure("Sales Orders", QString(), "Sales order taken");
    EXPECT_TRUE(LogNewRecord("Sales Orders", "5", kCustomer, QString()));
    EXPECT_TRUE(LogNewRecord("Projects", "5", kCustomer, QString()));
    EXPECT_TRUE(LogEvent(kLogSend, "Carrier Pigeon", kCustomer, QString()));
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(ReadLogOption(kLogNewRecord, "Sales Orders"));
}

TEST_F(ActivityLogTest, EventsInTheSameSecondForOneCustomerAllLand) {
    ASSERT_TRUE(LogNewRecord("Quotations", "1", kCustomer, QString()));
    ASSERT_TRUE(LogEvent(kLogSend, "Internet Email", kCustomer, QString(), "Price list"));
    ASSERT_TRUE(LogEvent(kLogOther, "Payments", kCustomer, QString()));
    const QStringList rows = entries();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1].section('|', 1, 3), "2026-03-10 08:30:16|Internet Email|E-mail sent (Price list)");
    EXPECT_EQ(rows[2].section('|', 1, 1), "2026-03-10 08:30:17");
    EXPECT_TRUE(ask.asked().empty());
}

}  // namespace
}  // namespace tvtest
