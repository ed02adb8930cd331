// The demo company: built at scale 1 from the real db/ folder, it must match the shipped
// schema, hold no reference to a customer, contact, product, user, contract, item, order or
// request that does not exist, leave every counter at or past the highest number used, and
// give billing something to bill. The same seed gives the same company; a folder that
// already holds databases is refused untouched.
#include "common/test_support.h"
#include "core/convert.h"
#include "data/demo_company.h"
#include "data/demo_plan.h"
#include "data/schema_check.h"
#include "engine/engine.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <memory>

namespace {

using tv::Variant;
using tv::engine::Database;
using tv::engine::Engine;
using tv::engine::quoteLiteral;

const QDate kToday(2026, 12, 5);

QString dbSource() { return tvtest::sourceDir() + "/db"; }

class DemoCompany : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<tvtest::ScratchFolder>();
        tv::data::DemoOptions options;
        options.today = kToday;
        built_ =
            tv::data::createDemoCompany(folder_->path(), dbSource(), options, &error_, &counts_);
    }
    static void TearDownTestSuite() { folder_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(built_) << error_.toStdString();
        data = Engine::instance().OpenDatabase(folder_->file("Data.mdb"), true);
    }
    void TearDown() override { data.Close(); }

    long rows(const QString& sql) {
        tv::engine::Recordset rs = data.OpenRecordset(sql);
        long n = 0;
        for (; !rs.EOF_(); rs.MoveNext()) ++n;
        return n;
    }
    Variant first(const QString& sql) {
        tv::engine::Recordset rs = data.OpenRecordset(sql);
        return rs.EOF_() ? Variant() : rs[0];
    }
    long count(const QString& table) {
        return tv::CLng(first("SELECT Count(*) FROM [" + table + "]"));
    }

    static inline std::unique_ptr<tvtest::ScratchFolder> folder_;
    static inline bool built_ = false;
    static inline QString error_;
    static inline std::vector<tv::data::DemoTableCount> counts_;
    Database data;
};

TEST_F(DemoCompany, MatchesTheShippedSchema) {
    const tv::data::SchemaReport report = tv::data::checkDatabases(folder_->path(), dbSource());
    for (const auto& finding : report.findings) ADD_FAILURE() << finding.text.toStdString();
}

TEST_F(DemoCompany, HasTheSizeOfScaleOne) {
    EXPECT_EQ(count("CUSTOMERS"), 1000);
    EXPECT_GT(count("CONTACTS"), 1500);
    EXPECT_GT(count("ACTIVITIES"), 8000);
    EXPECT_LT(count("ACTIVITIES"), 14000);
    for (const char* table :
         {"SCHEDULED ACTIVITIES", "SALES OPPORTUNITIES", "QUOTATIONS", "QUOTATIONS DETAIL",
          "SALES ORDERS", "SALES ORDERS DETAIL", "CURRENT REQUESTS", "COMPLETED REQUESTS",
          "REQUEST ACTIVITIES", "REQUEST MATERIALS", "SERVICE CONTRACTS", "CUSTOMER INVENTORY",
          "PRODUCTS", "SUPPLIERS", "PROJECTS", "PURCHASE ORDERS"}) {
        EXPECT_GT(count(table), 0) << table;
    }
    // The counts the generator reports are the rows in the tables.
    for (const auto& c : counts_) {
        if (c.database != "Data.mdb" || c.table == "Counters" || c.table == "System Users" ||
            c.table == "System User Access")
            continue;
        EXPECT_EQ(count(c.table), c.rows) << c.table.toStdString();
    }
}

// Every reference names a row that exists: anti-joins return nothing.
TEST_F(DemoCompany, EveryReferenceNamesARowThatExists) {
    struct Reference {
        const char* table;
        const char* column;
        const char* target;
        const char* targetColumn;
    };
    const Reference references[] = {
        {"CONTACTS", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"ACTIVITIES", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"SCHEDULED ACTIVITIES", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"SALES OPPORTUNITIES", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"QUOTATIONS", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"SALES ORDERS", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"CURRENT REQUESTS", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"COMPLETED REQUESTS", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"SERVICE CONTRACTS", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"CUSTOMER INVENTORY", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"PROJECTS", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"RMAS", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"CUSTOMER FEEDBACK", "CUSTOMER NAME", "CUSTOMERS", "CUSTOMER NAME"},
        {"QUOTATIONS DETAIL", "PRODUCTCODE", "PRODUCTS", "PRODUCTCODE"},
        {"SALES ORDERS DETAIL", "PRODUCTCODE", "PRODUCTS", "PRODUCTCODE"},
        {"PURCHASE ORDERS DETAIL", "PRODUCTCODE", "PRODUCTS", "PRODUCTCODE"},
        {"REQUEST MATERIALS", "PRODUCTCODE", "PRODUCTS", "PRODUCTCODE"},
        {"CURRENT REQUESTS", "PRODUCTCODE", "PRODUCTS", "PRODUCTCODE"},
        {"COMPLETED REQUESTS", "PRODUCTCODE", "PRODUCTS", "PRODUCTCODE"},
        {"CUSTOMER INVENTORY", "PRODUCTCODE", "PRODUCTS", "PRODUCTCODE"},
        {"PRODUCTS", "SUPPLIER NAME", "SUPPLIERS", "SUPPLIER NAME"},
        {"QUOTATIONS DETAIL", "QUOTENO", "QUOTATIONS", "QUOTENO"},
        {"SALES ORDERS DETAIL", "ORDERNO", "SALES ORDERS", "ORDERNO"},
        {"REQUEST ACTIVITIES", "REQUESTNO", "COMPLETED REQUESTS", nullptr},
        {"ACTIVITIES", "INVOICENO", "SALES ORDERS", "ORDERNO"},
        {"COMPLETED REQUESTS", "ORDERNO", "SALES ORDERS", "ORDERNO"},
        {"SERVICE CONTRACTS", "ORDERNO", "SALES ORDERS", "ORDERNO"},
        {"CURRENT REQUESTS", "AGREEMENTNO", "SERVICE CONTRACTS", "CONTRACTID"},
        {"COMPLETED REQUESTS", "AGREEMENTNO", "SERVICE CONTRACTS", "CONTRACTID"},
        {"COMPLETED REQUESTS", "ITEMID", "CUSTOMER INVENTORY", "ITEMID"},
        {"CUSTOMER INVENTORY", "CONTRACTID", "SERVICE CONTRACTS", "CONTRACTID"},
        {"RMAS", "ORDERNO", "SALES ORDERS", "ORDERNO"},
        {"CUSTOMERS", "SALES REP ID", "System Users", "USERID"},
        {"ACTIVITIES", "SALES REP ID", "System Users", "USERID"},
        {"SCHEDULED ACTIVITIES", "USER ID", "System Users", "USERID"},
        {"CURRENT REQUESTS", "PERSONNEL", "System Users", "USERID"},
        {"REQUEST ACTIVITIES", "PERSONNEL", "System Users", "USERID"},
        {"SALES ORDERS", "SALES REP ID", "System Users", "USERID"},
        {"ACTIVITIES", "ACTIVITY TYPE", "Activity Types", "ACTIVITY TYPE"},
        {"SCHEDULED ACTIVITIES", "ACTIVITY TYPE", "Activity Types", "ACTIVITY TYPE"},
        {"ACTIVITIES", "RESULT CODE", "Call Result Codes", "RESULT CODE"},
        {"CUSTOMERS", "INDUSTRY CODE", "Industry Codes", "INDUSTRY CODE"},
        {"CUSTOMERS", "TERRITORY", "Sales Territories", "TERRITORY"},
        {"CUSTOMERS", "COUNTRY", "Countries", "COUNTRY"},
        {"CUSTOMERS", "TIME ZONE", "Time Zones", "TIME ZONE"},
        {"CUSTOMERS", "RELATIONSHIP", "Relationship Codes", "RELATIONSHIP"},
        {"CUSTOMERS", "CAMPAIGN", "SALES CAMPAIGNS", "CAMPAIGN"},
        {"CONTACTS", "ROLE", "Role Names", "ROLE"},
        {"CURRENT REQUESTS", "PRIORITY", "Priority Codes", "PRIORITY"},
        {"CURRENT REQUESTS", "STATUS", "Status Codes", "STATUS"},
        {"COMPLETED REQUESTS", "REQUEST TYPE", "Request Types", "REQUEST TYPE"},
        {"COMPLETED REQUESTS", "RESOLUTION CODE", "Resolution Codes", "RESOLUTION CODE"},
        {"COMPLETED REQUESTS", "WORK GROUP", "Support Areas", "WORK GROUP"},
        {"SALES ORDERS", "STATUS", "Status Codes", "STATUS"},
        {"SALES ORDERS", "SHIP STATUS", "Shipping Status", "SHIP STATUS"},
        {"SALES ORDERS", "CARD TYPE", "Card Types", "CARD TYPE"},
        {"SALES OPPORTUNITIES", "STATUS", "Status Codes", "STATUS"},
        {"ACTIVITIES", "LETTERID", "FORM LETTERS", "LETTERID"},
        {"ACTIVITIES", "SOURCEDOCID", "PROJECTS", "NAME"},
    };
    for (const Reference& r : references) {
        QString sql;
        if (r.targetColumn) {
            sql = QStringLiteral(
                      "SELECT a.[%2] FROM [%1] AS a LEFT JOIN [%3] AS b ON a.[%2] = "
                      "b.[%4] WHERE a.[%2] Is Not Null AND b.[%4] Is Null")
                      .arg(r.table, r.column, r.target, r.targetColumn);
        } else {
            // Labour lines belong to a request that is either open or closed.
            sql = QStringLiteral(
                "SELECT REQUESTNO FROM [REQUEST ACTIVITIES] WHERE REQUESTNO NOT "
                "IN (SELECT REQUESTNO FROM [CURRENT REQUESTS]) AND REQUESTNO "
                "NOT IN (SELECT REQUESTNO FROM [COMPLETED REQUESTS])");
        }
        EXPECT_EQ(rows(sql), 0) << r.table << "." << r.column << " -> " << r.target;
    }
    // Contacts named by activities are contacts of that customer.
    EXPECT_EQ(rows("SELECT a.[CUSTOMER NAME] FROM ACTIVITIES AS a LEFT JOIN CONTACTS AS c ON "
                   "a.[CUSTOMER NAME] = c.[CUSTOMER NAME] AND a.[CONTACT NAME] = c.[CONTACT NAME] "
                   "WHERE a.[CONTACT NAME] Is Not Null AND c.[CONTACT NAME] Is Null"),
              0);
    // Open requests with labour point at existing requests of the same number space.
    EXPECT_EQ(rows("SELECT c.REQUESTNO FROM [CURRENT REQUESTS] AS c INNER JOIN [COMPLETED "
                   "REQUESTS] AS d ON c.REQUESTNO = d.REQUESTNO"),
              0);
}

// Each counter has handed out at least the highest number its table holds.
TEST_F(DemoCompany, CountersAreAtOrPastTheHighestNumber) {
    struct Numbered {
        const char* counter;
        QStringList sources;
    };
    const Numbered numbered[] = {
        {"Quotations", {"SELECT Max(QUOTENO) FROM QUOTATIONS"}},
        {"Sales Orders", {"SELECT Max(ORDERNO) FROM [SALES ORDERS]"}},
        {"Purchase Orders", {"SELECT Max(ORDERNO) FROM [PURCHASE ORDERS]"}},
        {"RMAs", {"SELECT Max(RMANO) FROM RMAS"}},
        {"Known Problems", {"SELECT Max(PROBLEMNO) FROM [KNOWN PROBLEMS]"}},
        {"Current Requests",
         {"SELECT Max(REQUESTNO) FROM [CURRENT REQUESTS]",
          "SELECT Max(REQUESTNO) FROM [COMPLETED REQUESTS]"}},
    };
    for (const Numbered& n : numbered) {
        const Variant last =
            first("SELECT LASTNUMBER FROM Counters WHERE TABLENAME = " + quoteLiteral(n.counter));
        ASSERT_FALSE(last.isNull()) << n.counter;
        for (const QString& sql : n.sources) {
            const Variant highest = first(sql);
            ASSERT_FALSE(highest.isNull()) << sql.toStdString();
            EXPECT_GE(tv::CLng(last), tv::CLng(highest)) << n.counter;
        }
    }
}

// A contract's use is the sum of the requests charged to it.
TEST_F(DemoCompany, ContractsCountTheRequestsChargedToThem) {
    QHash<QString, long> requests;
    QHash<QString, double> hours;
    for (const char* table : {"CURRENT REQUESTS", "COMPLETED REQUESTS"}) {
        tv::engine::Recordset rs = data.OpenRecordset(
            QStringLiteral("SELECT AGREEMENTNO, HOURSWORKED FROM [%1] WHERE AGREEMENTNO Is Not "
                           "Null")
                .arg(table));
        for (; !rs.EOF_(); rs.MoveNext()) {
            requests[tv::CStr(rs[0])] += 1;
            hours[tv::CStr(rs[0])] += tv::CDbl(rs[1]);
        }
    }
    ASSERT_FALSE(requests.isEmpty());
    tv::engine::Recordset contracts =
        data.OpenRecordset("SELECT CONTRACTID, REQUESTSTODATE, HOURSUSED FROM [SERVICE CONTRACTS]");
    for (; !contracts.EOF_(); contracts.MoveNext()) {
        const QString id = tv::CStr(contracts[0]);
        EXPECT_EQ(tv::CLng(contracts[1]), requests.value(id)) << id.toStdString();
        EXPECT_NEAR(tv::CDbl(contracts[2]), hours.value(id), 0.01) << id.toStdString();
    }
}

// Names with an apostrophe or an ampersand are there, and work in SQL through the quoting
// helper as any window's statement would.
TEST_F(DemoCompany, AwkwardNamesAreThereAndQueryable) {
    EXPECT_GT(rows("SELECT * FROM CUSTOMERS WHERE [CUSTOMER NAME] Like '*''*'"), 0);
    EXPECT_GT(rows("SELECT * FROM CUSTOMERS WHERE [CUSTOMER NAME] Like '*&*'"), 0);
    const Variant obrien = first(
        "SELECT [CUSTOMER NAME] FROM CUSTOMERS WHERE [CUSTOMER NAME] "
        "Like 'O''Brien*' ORDER BY [CUSTOMER NAME]");
    ASSERT_FALSE(obrien.isNull());
    const QString name = tv::CStr(obrien);
    EXPECT_GT(rows("SELECT * FROM CONTACTS WHERE [CUSTOMER NAME] = " + quoteLiteral(name)), 0);
    EXPECT_GT(rows("SELECT * FROM ACTIVITIES WHERE [CUSTOMER NAME] = " + quoteLiteral(name)), 0);
    // Sales staff sign in with their user id as password.
    EXPECT_EQ(tv::CStr(first("SELECT PASSWORD FROM [System Users] WHERE USERID = 'sobrien'")),
              "sobrien");
}

// Recent billable work is left for the billing run; older work is billed by an invoice
// whose lines exist.
TEST_F(DemoCompany, BillingRunHasWorkAndOldWorkIsInvoiced) {
    EXPECT_GT(rows("SELECT * FROM ACTIVITIES WHERE BILLABLE = True AND INVOICENO Is Null AND "
                   "([SOURCEDOCID] = '' OR [SOURCEDOCID] Is Null)"),
              0);
    EXPECT_GT(rows("SELECT * FROM [COMPLETED REQUESTS] WHERE TOTALCHARGE > 0 AND ([ORDERNO] = 0 "
                   "OR [ORDERNO] Is Null)"),
              0);
    EXPECT_GT(rows("SELECT * FROM ACTIVITIES WHERE INVOICENO Is Not Null"), 0);
    // Billing never charges an unbillable activity, and billed work is not left for later.
    EXPECT_EQ(rows("SELECT * FROM ACTIVITIES WHERE BILLABLE = False AND INVOICENO Is Not Null"), 0);
    EXPECT_EQ(rows("SELECT * FROM ACTIVITIES WHERE INVOICENO Is Not Null AND INVOICENO NOT IN "
                   "(SELECT ORDERNO FROM [SALES ORDERS DETAIL])"),
              0);
    EXPECT_EQ(rows("SELECT * FROM ACTIVITIES WHERE BILLABLE = True AND INVOICENO Is Null AND "
                   "[DATETIME] < #2026-09-01#"),
              0);
    // Totals agree with the lines (within a cent per line).
    EXPECT_EQ(
        rows("SELECT o.ORDERNO FROM [SALES ORDERS] AS o INNER JOIN (SELECT ORDERNO, "
             "Sum(LINEVALUE) AS v, Count(*) AS n FROM [SALES ORDERS DETAIL] GROUP BY ORDERNO) "
             "AS d ON o.ORDERNO = d.ORDERNO WHERE Abs(o.TOTAL - o.FREIGHTTOTAL - d.v) > "
             "0.01 * d.n"),
        0);
}

// The customer window, the diary and the to-do list show dates that agree with the rows.
TEST_F(DemoCompany, CustomerDatesFollowTheirActivities) {
    tv::engine::Recordset rs = data.OpenRecordset(
        "SELECT c.[CUSTOMER NAME], c.LASTDATE, a.latest FROM CUSTOMERS AS c INNER JOIN (SELECT "
        "[CUSTOMER NAME], Max([DATETIME]) AS latest FROM ACTIVITIES GROUP BY [CUSTOMER NAME]) AS "
        "a ON c.[CUSTOMER NAME] = a.[CUSTOMER NAME]");
    long checked = 0;
    for (; !rs.EOF_(); rs.MoveNext(), ++checked) {
        ASSERT_FALSE(rs[1].isNull()) << tv::CStr(rs[0]).toStdString();
        EXPECT_EQ(tv::DateValue(rs[1]).serial, tv::DateValue(rs[2]).serial)
            << tv::CStr(rs[0]).toStdString();
    }
    EXPECT_EQ(checked, count("CUSTOMERS"));
    EXPECT_GT(rows("SELECT * FROM [SCHEDULED ACTIVITIES] WHERE SCHEDDATETIME >= #2026-12-05#"), 0);
    EXPECT_EQ(rows("SELECT * FROM ACTIVITIES WHERE [DATETIME] >= #2026-12-05#"), 0);
    EXPECT_EQ(rows("SELECT * FROM ACTIVITIES WHERE [DATETIME] < #2024-12-05#"), 0);
    // The business works on weekdays.
    for (const char* sql :
         {"SELECT [DATETIME] FROM ACTIVITIES", "SELECT SCHEDDATETIME FROM [SCHEDULED ACTIVITIES]",
          "SELECT REQUESTED FROM [COMPLETED REQUESTS]"}) {
        tv::engine::Recordset moments = data.OpenRecordset(sql);
        long weekend = 0;
        for (; !moments.EOF_(); moments.MoveNext()) {
            const int day = tv::Weekday(tv::CDate(moments[0]));
            weekend += day == 1 || day == 7;
        }
        EXPECT_EQ(weekend, 0) << sql;
    }
}

TEST(DemoPlan, SameSeedSameCompanyOtherSeedAnother) {
    using tv::data::demo::planCompany;
    const auto a = planCompany(7, 1, kToday);
    const auto b = planCompany(7, 1, kToday);
    const auto c = planCompany(8, 1, kToday);
    ASSERT_EQ(a.customers.size(), b.customers.size());
    auto digest = [](const tv::data::demo::CompanyPlan& plan) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const auto& customer : plan.customers) {
            hash.addData(customer.name.toUtf8());
            for (const auto& contact : customer.contacts) hash.addData(contact.name.toUtf8());
            for (const auto& activity : customer.activities)
                hash.addData(QByteArray::number(qlonglong(activity.when.key())));
        }
        for (const auto& order : plan.orders) hash.addData(QByteArray::number(order.number));
        return hash.result();
    };
    EXPECT_EQ(digest(a), digest(b));
    EXPECT_NE(digest(a), digest(c));
    // The seed changes the company, not its size.
    EXPECT_EQ(a.customers.size(), c.customers.size());
}

TEST(DemoPlan, ScaleMultipliesTheCompany) {
    const auto one = tv::data::demo::planCompany(7, 1, kToday);
    const auto three = tv::data::demo::planCompany(7, 3, kToday);
    EXPECT_EQ(three.customers.size(), 3 * one.customers.size());
    auto activities = [](const tv::data::demo::CompanyPlan& plan) {
        size_t n = 0;
        for (const auto& c : plan.customers) n += c.activities.size();
        return double(n);
    };
    EXPECT_NEAR(activities(three) / activities(one), 3.0, 0.3);
}

TEST(DemoCompanyFolder, RefusesAFolderThatHoldsDatabasesAndTouchesNothing) {
    tvtest::ScratchFolder folder;
    const QByteArray mine = "someone's data, not a database of ours";
    {
        QFile file(folder.file("Data.mdb"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(mine);
    }
    QString error;
    EXPECT_FALSE(tv::data::createDemoCompany(folder.path(), dbSource(), {}, &error));
    EXPECT_TRUE(error.contains("Data.mdb")) << error.toStdString();
    QFile file(folder.file("Data.mdb"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), mine);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"Data.mdb"});
}

// A schema the demo cannot fill (a column renamed) fails the whole command, and the new
// databases go again rather than stay half filled.
TEST(DemoCompanyFolder, AFailedFillLeavesNoDatabaseBehind) {
    tvtest::ScratchFolder source;
    QDirIterator it(dbSource(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = source.path() + "/" + QDir(dbSource()).relativeFilePath(path);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(target).path()));
        ASSERT_TRUE(QFile::copy(path, target));
    }
    const QString records = source.file("data/schema/70_records.sql");
    QFile file(records);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString schema = QString::fromUtf8(file.readAll());
    file.close();
    ASSERT_TRUE(schema.contains("[FEEDBACKTYPE]"));
    schema.replace("[FEEDBACKTYPE]", "[KIND OF FEEDBACK]");
    QFile::remove(records);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(schema.toUtf8());
    file.close();

    tvtest::ScratchFolder folder;
    QString error;
    EXPECT_FALSE(tv::data::createDemoCompany(folder.path(), source.path(), {}, &error));
    EXPECT_TRUE(error.contains("FEEDBACKTYPE")) << error.toStdString();
    for (const char* name : {"Definitions.mdb", "Data.mdb", "Messages.mdb"})
        EXPECT_FALSE(QFile::exists(folder.file(name))) << name;
}

TEST(DemoCompanyFolder, ScaleBelowOneIsRefused) {
    tvtest::ScratchFolder folder;
    tv::data::DemoOptions options;
    options.scale = 0;
    QString error;
    EXPECT_FALSE(tv::data::createDemoCompany(folder.path(), dbSource(), options, &error));
    EXPECT_FALSE(QFile::exists(folder.file("Data.mdb")));
}

}  // namespace
