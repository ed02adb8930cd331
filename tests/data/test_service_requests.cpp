// Service requests below the window: closing and re-opening move the row whole (lines
// untouched, the contract charged and refunded), a failed move leaves it where it was,
// the totals of the lines, and the sales order raised from them.
#include "common/test_backend.h"
#include "common/data/shipped_fixture.h"
#include "core/convert.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "data/service_requests.h"

namespace tvtest {
namespace {

using namespace tv::data;
using tv::data::msgbox::kNo;
using tv::data::msgbox::kOk;
using tv::data::msgbox::kYes;

const QString kRequestRow =
    "SELECT REQUESTNO, STATUS, [CUSTOMER NAME], AGREEMENTNO, HOURSWORKED, COMPLETEDBY, CUSTOMERORDER, "
    "CONTRACTFLAG, SUMMARY FROM ";

class ServiceRequestTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        state().CurrentUserId = "tech";
        ask.setNow(tv::DateFromParts(2026, 12, 7, 10, 0, 0));
        execData({"INSERT INTO CUSTOMERS ([CUSTOMER NAME], ACCOUNTNO) VALUES ('O''Brien Ltd', 'OB-1')",
                  "INSERT INTO PRODUCTS (PRODUCTCODE, DESCRIPTION, UNITPRICE, COSTPRICE) VALUES ('FUSER', 'Fuser', 15, 6)",
                  "INSERT INTO [SERVICE CONTRACTS] (CONTRACTID, [CUSTOMER NAME], REQUESTSTODATE, HOURSUSED) "
                  "VALUES ('SC-1', 'O''Brien Ltd', 3, 10)",
                  "INSERT INTO [CURRENT REQUESTS] (REQUESTNO, REQUESTED, STATUS, [CUSTOMER NAME], [CONTACT NAME], "
                  "AGREEMENTNO, HOURSWORKED, COMPLETEDBY, CUSTOMERORDER, SUMMARY) VALUES (7, #2026-12-04 16:00#, "
                  "'Open', 'O''Brien Ltd', 'Ann', 'SC-1', 2.5, 'kept', 'PO-9', 'Jams')",
                  "INSERT INTO [REQUEST ACTIVITIES] (REQUESTNO, ACTIVITYNO, [DATE/TIME], DESCRIPTION, DURATION, "
                  "CHARGERATE, COSTRATE) VALUES (7, 1, #2026-12-05 09:00#, 'Cleaned rollers', 2, 50, 20)",
                  "INSERT INTO [REQUEST ACTIVITIES] (REQUESTNO, ACTIVITYNO, [DATE/TIME], DESCRIPTION, DURATION, "
                  "CHARGERATE, COSTRATE) VALUES (7, 2, #2026-12-05 11:00#, 'Travel', 0.5, 0, 20)",
                  "INSERT INTO [REQUEST MATERIALS] VALUES (7, 1, 'FUSER', 'Fuser unit', 3, 15, 0, 0, 45)"});
    }
    static QString where(const QString& table) { return kRequestRow + "[" + table + "]"; }
    static QStringList lines() {
        return dataRows("SELECT 'A', ACTIVITYNO FROM [REQUEST ACTIVITIES] WHERE REQUESTNO = 7 UNION ALL "
                        "SELECT 'M', [LINENO] FROM [REQUEST MATERIALS] WHERE REQUESTNO = 7");
    }
};

TEST_F(ServiceRequestTest, ClosingAndReopeningMoveTheWholeRequestAndChargeTheContractOnlyOnYes) {
    const QStringList allLines = lines();
    ASSERT_EQ(allLines.size(), 3);
    for (const int answer : {kYes, kNo}) {
        SCOPED_TRACE(answer == kYes ? "charged" : "not charged");
        ask.message(answer, "charge it to the contract");
        ASSERT_EQ(CloseServiceRequest("7"), RequestMove::Moved);
        EXPECT_EQ(dataRows(where("CURRENT REQUESTS")), QStringList());
        EXPECT_EQ(dataRows(where("COMPLETED REQUESTS")),
                  QStringList{QString("7|Closed|O'Brien Ltd|SC-1|2.5|kept|PO-9|%1|Jams").arg(answer == kYes ? "Yes" : "")});
        EXPECT_EQ(dataValue("SELECT REQUESTSTODATE & '/' & HOURSUSED FROM [SERVICE CONTRACTS]"),
                  answer == kYes ? "4/12.5" : "3/10");
        EXPECT_EQ(lines(), allLines);

        ASSERT_EQ(ReopenServiceRequest("7"), RequestMove::Moved);
        EXPECT_EQ(dataRows(where("COMPLETED REQUESTS")), QStringList());
        EXPECT_EQ(dataRows(where("CURRENT REQUESTS")), QStringList{"7|Open|O'Brien Ltd|SC-1|2.5|kept|PO-9||Jams"});
        EXPECT_EQ(dataValue("SELECT REQUESTSTODATE & '/' & HOURSUSED FROM [SERVICE CONTRACTS]"), "3/10");
        EXPECT_EQ(lines(), allLines);
    }
    EXPECT_EQ(dataRows("SELECT DESCRIPTION FROM ACTIVITIES ORDER BY [DATETIME], DESCRIPTION").size(), 4);
}

TEST_F(ServiceRequestTest, AMoveThatFailsPartWayLeavesTheRequestWhereItWas) {
    // A stray row under the same number in the completed table makes the insert fail after
    // the contract would have been charged.
    execData({"INSERT INTO [COMPLETED REQUESTS] (REQUESTNO, SUMMARY) VALUES (7, 'older')"});
    const QStringList before = dataRows(where("CURRENT REQUESTS"));
    ask.message(kYes, "charge it to the contract").message(kOk, "could not be saved or moved");
    EXPECT_EQ(CloseServiceRequest("7"), RequestMove::Failed);
    EXPECT_EQ(dataRows(where("CURRENT REQUESTS")), before);
    EXPECT_EQ(dataValue("SELECT SUMMARY FROM [COMPLETED REQUESTS]"), "older");
    EXPECT_EQ(dataValue("SELECT REQUESTSTODATE & '/' & HOURSUSED FROM [SERVICE CONTRACTS]"), "3/10");
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM ACTIVITIES"), "0");

    // Charging a contract that is not stored is refused before anything moves.
    execData({"DELETE * FROM [COMPLETED REQUESTS]", "DELETE * FROM [SERVICE CONTRACTS]"});
    ask.message(kYes, "charge it to the contract").message(kOk, "could not be found");
    EXPECT_EQ(CloseServiceRequest("7"), RequestMove::Failed);
    EXPECT_EQ(dataRows(where("CURRENT REQUESTS")), before);
}

TEST_F(ServiceRequestTest, TotalsCountEmptyAndNonNumericValuesAsZero) {
    execData({"INSERT INTO [REQUEST ACTIVITIES] (REQUESTNO, ACTIVITYNO, DURATION, CHARGERATE, COSTRATE) "
              "VALUES (7, 3, Null, 80, 30)",
              "INSERT INTO [REQUEST MATERIALS] (REQUESTNO, [LINENO], PRODUCTCODE, QUANTITY) VALUES (7, 2, 'GONE', 4)"});
    // Text in a number column is something only a file can hold (a server refuses it).
    const QString text = tvtest::serverVariant() ? QStringLiteral("Null") : QStringLiteral("'x'");
    execData({"INSERT INTO [REQUEST ACTIVITIES] (REQUESTNO, ACTIVITYNO, DURATION, CHARGERATE) VALUES (7, 4, " +
                  text + ", 80)",
              "INSERT INTO [REQUEST MATERIALS] (REQUESTNO, [LINENO], QUANTITY, LINEVALUE) VALUES (7, 3, " + text +
                  ", 0.1)"});
    const std::optional<RequestTotals> totals = RequestLineTotals("7");
    ASSERT_TRUE(totals.has_value());
    EXPECT_DOUBLE_EQ(totals->hours, 2.5);
    // Labour 2 x 20 + 0.5 x 20, the fuser 3 x 6; charge 2 x 50 plus lines 45 and 0.10.
    EXPECT_EQ(totals->cost.scaled, 680000);
    EXPECT_EQ(totals->charge.scaled, 1451000);
    EXPECT_DOUBLE_EQ(RequestLineTotals("")->hours, 0.0);
}

TEST_F(ServiceRequestTest, TheRaisedOrderChargesTheChargeableLabourThenTheMaterials) {
    const std::int32_t order = RaiseRequestOrder(kCurrentRequests, "7");
    ASSERT_GT(order, 0);
    const QString n = QString::number(order);
    EXPECT_EQ(dataRows("SELECT ACCOUNTNO, [CUSTOMER NAME], [CONTACT NAME], [SALES REP ID], TOTAL FROM [SALES ORDERS]"),
              QStringList{"OB-1|O'Brien Ltd|Ann|tech|145"});
    const QStringList detail = dataRows("SELECT [LINENO], PRODUCTCODE, DESCRIPTION, QUANTITY, UNITPRICE, LINEVALUE "
                                        "FROM [SALES ORDERS DETAIL] WHERE ORDERNO = " + n + " ORDER BY [LINENO]");
    ASSERT_EQ(detail.size(), 3);
    EXPECT_EQ(detail[0], "1||Request:7|0|0|0");
    EXPECT_TRUE(detail[1].startsWith("2||")) << detail[1].toStdString();
    EXPECT_TRUE(detail[1].endsWith(" : Cleaned rollers|2|50|100")) << detail[1].toStdString();
    EXPECT_EQ(detail[2], "3|FUSER|Fuser unit|3|15|45");
    EXPECT_EQ(dataValue("SELECT ORDERNO FROM [CURRENT REQUESTS]"), n);
}

TEST_F(ServiceRequestTest, ANewLineTakesTheNextNumberAsItIsWrittenAndOverwritesNoLine) {
    // Another workstation adds material line 2 after this one worked out "2" for its own.
    execData({"INSERT INTO [REQUEST MATERIALS] VALUES (7, 2, 'FUSER', 'Theirs', 1, 15, 0, 0, 15)"});
    EXPECT_EQ(AddNextLine("Request Materials", {"7", "2", "FUSER", "Mine", "2", "15", "0", "0", "30"}, 1), 3);
    EXPECT_EQ(dataRows("SELECT [LINENO], DESCRIPTION FROM [REQUEST MATERIALS] WHERE REQUESTNO = 7 ORDER BY [LINENO]"),
              (QStringList{"1|Fuser unit", "2|Theirs", "3|Mine"}));
    // The first line of a request without lines is 1.
    EXPECT_EQ(AddNextLine("Request Activities", {"8", "", "2026-12-07 10:00", "Visit"}, 1), 1);
}

}  // namespace
}  // namespace tvtest
