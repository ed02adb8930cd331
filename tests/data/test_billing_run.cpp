// The billing run: what each kind of item bills and how it is marked, single and multiple
// invoices, the billing period, a second run, two workstations billing at once (this test
// program run again with the disabled BillingHelper selected) and a run killed part-way.
#include "common/data/shipped_fixture.h"
#include "common/engine/queries.h"
#include "core/convert.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/billing_run.h"
#include "engine/engine.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <csignal>
#include <memory>

namespace tvtest {
namespace {

using namespace tv::data;

BillingRequest november(bool multiple = false) {
    BillingRequest r;
    r.kinds.fill(true);
    r.captions = defaultBillingCaptions();
    r.multipleInvoices = multiple;
    r.start = tv::DateFromParts(2026, 11, 1);
    r.end = tv::DateFromParts(2026, 11, 30);
    r.userId = QStringLiteral("admin");
    r.today = tv::DateFromParts(2026, 12, 1);
    return r;
}

class BillingTest : public ShippedDatabasesTest {
protected:
    // One customer with one item of every kind: a project with two billable activities (90 and
    // 30 minutes by a user charging 40 an hour), a completed request with labour and materials,
    // an activity of no project, a service contract and an inventory item; all in November 2026.
    static void seedCustomer(const QString& name, const QString& tag) {
        const QString c = tv::engine::quoteLiteral(name);
        const QString p = tv::engine::quoteLiteral("Move " + tag);
        const QString req = QString::number(100 + tag.toInt());
        execData({
            QStringLiteral("INSERT INTO CUSTOMERS ([CUSTOMER NAME], ACCOUNTNO) VALUES (%1, 'AC-%2')").arg(c, tag),
            QStringLiteral("INSERT INTO PROJECTS (NAME, [CUSTOMER NAME]) VALUES (%1, %2)").arg(p, c),
            QStringLiteral("INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME], [ACTIVITY TYPE], DESCRIPTION, "
                           "[SALES REP ID], DURATION, SOURCEDOCTYPE, SOURCEDOCID, BILLABLE) VALUES "
                           "(%1, #2026-11-03 09:00:00#, 'Meeting', 'Planning', 'rate40', 90, 'project', %2, True)")
                .arg(c, p),
            QStringLiteral("INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME], [ACTIVITY TYPE], DESCRIPTION, "
                           "[SALES REP ID], DURATION, SOURCEDOCTYPE, SOURCEDOCID, BILLABLE) VALUES "
                           "(%1, #2026-11-04 09:00:00#, 'Meeting', 'Packing', 'rate40', 30, 'project', %2, True)")
                .arg(c, p),
            QStringLiteral("INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME], [ACTIVITY TYPE], DESCRIPTION, "
                           "[SALES REP ID], DURATION, BILLABLE) VALUES "
                           "(%1, #2026-11-05 14:00:00#, 'Training', 'Printer course', 'rate40', 60, True)")
                .arg(c),
            QStringLiteral("INSERT INTO [COMPLETED REQUESTS] (REQUESTNO, REQUESTED, [CUSTOMER NAME], TOTALCHARGE) "
                           "VALUES (%1, #2026-11-06#, %2, 75)").arg(req, c),
            QStringLiteral("INSERT INTO [REQUEST ACTIVITIES] (REQUESTNO, ACTIVITYNO, [DATE/TIME], DESCRIPTION, "
                           "DURATION, CHARGERATE, BILLABLE) VALUES (%1, 1, #2026-11-06 10:00:00#, 'Repair', 1.5, 30, True)")
                .arg(req),
            QStringLiteral("INSERT INTO [REQUEST MATERIALS] VALUES (%1, 1, 'TONER', 'Toner', 3, 19.99, 12.5, 10, 57.72)")
                .arg(req),
            QStringLiteral("INSERT INTO [SERVICE CONTRACTS] (CONTRACTID, CONTRACTTYPE, [CUSTOMER NAME], STARTDATE, "
                           "EXPIRYDATE, PRICE) VALUES ('SC%1', 'Gold', %2, #2026-11-01#, #2027-10-31#, 480)")
                .arg(tag, c),
            QStringLiteral("INSERT INTO [CUSTOMER INVENTORY] (ITEMID, PRODUCTCODE, DESCRIPTION, [CUSTOMER NAME], "
                           "SUPPLIEDDATE, CHARGE) VALUES ('IT%1', 'COPIER', 'Copier', %2, #2026-11-07#, 900)")
                .arg(tag, c),
        });
    }

    // What each item was marked with, in a fixed order.
    static QStringList marks(const QString& where = QString()) {
        QStringList out;
        for (const QString& sql :
             {QStringLiteral("SELECT INVOICENO FROM ACTIVITIES%1 ORDER BY [CUSTOMER NAME], [DATETIME]"),
              QStringLiteral("SELECT ORDERNO FROM [COMPLETED REQUESTS]%1 ORDER BY REQUESTNO"),
              QStringLiteral("SELECT ORDERNO FROM [SERVICE CONTRACTS]%1 ORDER BY CONTRACTID"),
              QStringLiteral("SELECT ORDERNO FROM [CUSTOMER INVENTORY]%1 ORDER BY ITEMID")})
            out << dataRows(sql.arg(where));
        return out;
    }


    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        execData({"INSERT INTO [System Users] (USERID, CHARGERATE) VALUES ('rate40', 40)"});
    }
};

TEST_F(BillingTest, ASingleInvoiceHoldsEveryLineAndMarksEveryItem) {
    seedCustomer("O'Brien Plumbing & Gas", "1");
    const BillingResult result = RunBilling(november());
    ASSERT_EQ(result.orders, QStringList{"1"});
    EXPECT_EQ(marks(), QStringList({"1", "1", "1", "1", "1", "1"}));
    EXPECT_EQ(dataRows("SELECT LINENO, PRODUCTCODE, QUANTITY, UNITPRICE, LINEVALUE FROM "
                       "[SALES ORDERS DETAIL] WHERE ORDERNO = 1 ORDER BY LINENO"),
              QStringList({"1|Projects:Move 1|1.5|40|60", "2|Projects:Move 1|0.5|40|20",
                           "3|Service Requests:101|1.5|30|45", "4|TONER|3|19.99|57.72",
                           "5|Training|1|40|40", "6|Service Contracts:SC1|1|480|480",
                           "7|COPIER|1|900|900"}));
    // 60 + 20 + 45 + 52.47 + 40 + 480 + 900 of items, 5.25 of tax on the toner.
    EXPECT_EQ(dataRows("SELECT ACCOUNTNO, [CUSTOMER NAME], [SALES REP ID], ITEMTOTAL, FREIGHTTOTAL, "
                       "SALESTAX, TOTAL FROM [SALES ORDERS]"),
              QStringList{"AC-1|O'Brien Plumbing & Gas|admin|1597.47|0|5.25|1602.72"});

    // Nothing is outstanding any more.
    EXPECT_TRUE(RunBilling(november()).orders.isEmpty());
}

TEST_F(BillingTest, MultipleInvoicesGiveEachProjectRequestAndKindItsOwnOrder) {
    seedCustomer("Acme", "1");
    const BillingResult result = RunBilling(november(true));
    // The project, the request, the other activities, the contracts, the inventory.
    EXPECT_EQ(result.orders, QStringList({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(marks(), QStringList({"1", "1", "3", "2", "4", "5"}));
    EXPECT_EQ(dataRows("SELECT ORDERNO, COUNT(*) FROM [SALES ORDERS DETAIL] GROUP BY ORDERNO"),
              QStringList({"1|2", "2|2", "3|1", "4|1", "5|1"}));
}

// Items outside the period stay outstanding; without a period every one is billed, however
// late its date. Kinds not ticked are left alone, and a customer with nothing to bill takes
// no number from the counter.
TEST_F(BillingTest, ThePeriodAndTheKindsChooseWhatIsBilled) {
    seedCustomer("Acme", "1");
    execData({"UPDATE [SERVICE CONTRACTS] SET STARTDATE = #2031-01-01#",
              "UPDATE [CUSTOMER INVENTORY] SET SUPPLIEDDATE = #2026-10-31 23:59:00#",
              "INSERT INTO [COMPLETED REQUESTS] (REQUESTNO, REQUESTED, [CUSTOMER NAME], TOTALCHARGE) "
              "VALUES (900, #2026-11-30 23:30:00#, 'Acme', 0)"});
    BillingRequest r = november();
    r.kinds = {false, true, false, true, true};
    EXPECT_EQ(RunBilling(r).orders, QStringList{"1"});
    EXPECT_EQ(marks(), QStringList({"", "", "", "1", "", "", ""}));
    EXPECT_EQ(RunBilling(r).orders, QStringList{}) << "nothing left in the period";

    r.start.reset();
    r.end.reset();
    EXPECT_EQ(RunBilling(r).orders, QStringList{"2"});
    EXPECT_EQ(marks(), QStringList({"", "", "", "1", "", "2", "2"})) << "a request without charge is never billed";
    EXPECT_EQ(dataValue("SELECT LASTNUMBER FROM Counters WHERE TABLENAME = 'Sales Orders'"), "2");
}

// Bills every customer of TV_BILLING_FOLDER once, the order numbers raised one a line to
// TV_BILLING_OUT.
TEST(BillingHelper, DISABLED_Run) {
    state().reset();
    state().DataLocation = qEnvironmentVariable("TV_BILLING_FOLDER");
    ASSERT_TRUE(openDefinitions(state().DataLocation));
    ASSERT_TRUE(OpenDataDatabase());
    QFile out(qEnvironmentVariable("TV_BILLING_OUT"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const BillingResult result =
        RunBilling(november(), [&](int percent) { out.write("p" + QByteArray::number(percent) + '\n'); });
    for (const QString& order : result.orders) out.write(order.toUtf8() + '\n');
    EXPECT_EQ(result.customersFailed, 0);
    state().reset();
}

class BillingProcesses : public BillingTest {
protected:
    static constexpr int kCustomers = 60;

    void SetUp() override {
        BillingTest::SetUp();
        state().DataDb.BeginTrans();
        for (int i = 1; i <= kCustomers; ++i)
            seedCustomer(QStringLiteral("Customer %1").arg(i, 3, 10, QChar(u'0')), QString::number(i));
        state().DataDb.CommitTrans();
        // The test's own connection must not stand in the helpers' way.
        state().reset();
    }
    std::unique_ptr<QProcess> start(const QString& out) {
        auto helper = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TV_BILLING_FOLDER", data.path());
        env.insert("TV_BILLING_OUT", out);
        helper->setProcessEnvironment(env);
        helper->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        helper->start(QCoreApplication::applicationFilePath(),
                      {"--gtest_filter=BillingHelper.DISABLED_Run", "--gtest_also_run_disabled_tests"});
        return helper;
    }
    // Read beside the program's own connection, as another workstation would.
    QString raw(const char* sql) {
        tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(dataPath(), true);
        return queryValue(db, QString::fromUtf8(sql));
    }
    // Every order has lines; every marked item names an order of its own customer; each
    // customer is billed whole or not at all.
    void expectConsistent() {
        EXPECT_TRUE(tv::engine::Engine::instance().CheckIntegrity(dataPath()).isEmpty());
        EXPECT_EQ(raw("SELECT COUNT(*) FROM [SALES ORDERS] WHERE ORDERNO NOT IN "
                      "(SELECT ORDERNO FROM [SALES ORDERS DETAIL])"),
                  "0");
        for (const char* sql :
             {"SELECT COUNT(*) FROM ACTIVITIES a WHERE INVOICENO IS NOT NULL AND NOT EXISTS (SELECT 1 "
              "FROM [SALES ORDERS] o WHERE o.ORDERNO = a.INVOICENO AND o.[CUSTOMER NAME] = a.[CUSTOMER NAME])",
              "SELECT COUNT(*) FROM (SELECT [CUSTOMER NAME] FROM ACTIVITIES GROUP BY [CUSTOMER NAME] "
              "HAVING COUNT(INVOICENO) NOT IN (0, 3))",
              "SELECT COUNT(*) FROM [SERVICE CONTRACTS] c INNER JOIN ACTIVITIES a ON a.[CUSTOMER NAME] = "
              "c.[CUSTOMER NAME] WHERE (c.ORDERNO IS NULL) <> (a.INVOICENO IS NULL)"})
            EXPECT_EQ(raw(sql), "0") << sql;
    }
};

TEST_F(BillingProcesses, TwoWorkstationsChargeEveryItemOnce) {
    ScratchFolder outputs;
    auto first = start(outputs.file("1"));
    auto second = start(outputs.file("2"));
    for (auto* helper : {first.get(), second.get()}) {
        EXPECT_TRUE(helper->waitForFinished(300000));
        EXPECT_EQ(helper->exitCode(), 0);
    }
    QSet<QString> orders;
    int raised = 0;
    for (const char* name : {"1", "2"}) {
        QFile file(outputs.file(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty() && !line.startsWith('p')) ++raised, orders.insert(QString::fromUtf8(line));
    }
    EXPECT_EQ(raised, kCustomers) << "one order per customer between the two";
    EXPECT_EQ(orders.size(), kCustomers) << "an order number was raised twice";
    expectConsistent();
    EXPECT_EQ(raw("SELECT COUNT(*) FROM ACTIVITIES WHERE INVOICENO IS NULL"), "0");
    EXPECT_EQ(raw("SELECT COUNT(*) FROM [SALES ORDERS DETAIL]"), QString::number(7 * kCustomers));
}

TEST_F(BillingProcesses, ARunKilledPartWayLeavesCustomersWholeOrUntouched) {
    ScratchFolder outputs;
    auto helper = start(outputs.file("1"));
    // Killed once some customers are billed, while it is working on the others.
    for (int i = 0; i < 20000 && helper->state() != QProcess::NotRunning; ++i) {
        if (QFileInfo(outputs.file("1")).size() > 20) break;
        QThread::msleep(1);
    }
    ASSERT_NE(helper->state(), QProcess::NotRunning) << "the run ended before it could be killed";
    ::kill(static_cast<pid_t>(helper->processId()), SIGKILL);
    helper->waitForFinished();
    expectConsistent();
    EXPECT_LT(raw("SELECT COUNT(*) FROM [SALES ORDERS]").toInt(), kCustomers)
        << "the kill came too late to test anything";

    // The next run bills the rest, once.
    auto again = start(outputs.file("2"));
    EXPECT_TRUE(again->waitForFinished(300000));
    expectConsistent();
    EXPECT_EQ(raw("SELECT COUNT(*) FROM [SALES ORDERS]"), QString::number(kCustomers));
}

}  // namespace
}  // namespace tvtest
