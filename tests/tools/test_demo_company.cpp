// The demo company built at scale 1 from the real db/ folder, its plan, and the ways
// creating it fails: with a clear reason and no database left behind.
#include "common/engine/queries.h"
#include "common/test_support.h"
#include "data/schema_check.h"
#include "data/user_rights.h"
#include "demo/company.h"
#include "demo/plan.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <memory>
#include <numeric>

namespace {

using tv::engine::quoteLiteral;
using tvtest::queryRows;
using tvtest::queryValue;

const QDate kToday(2026, 12, 5);

QString dbSource() { return tvtest::sourceDir() + "/db"; }

class DemoCompany : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<tvtest::ScratchFolder>();
        tv::demo::Options options;
        options.today = kToday;
        built_ = tv::demo::createCompany(folder_->path(), dbSource(), options, &error_, &counts_);
    }
    static void TearDownTestSuite() { folder_.reset(); }
    void SetUp() override {
        ASSERT_TRUE(built_) << error_.toStdString();
        data = tv::engine::Engine::instance().OpenDatabase(folder_->file("Data.mdb"), true);
    }
    void TearDown() override { data.Close(); }

    void none(const QString& q) { EXPECT_EQ(queryRows(data, q).size(), 0u) << q.toStdString(); }
    void some(const QString& q) { EXPECT_GT(queryRows(data, q).size(), 0u) << q.toStdString(); }
    long count(const QString& t) {
        return queryValue(data, "SELECT Count(*) FROM [" + t + "]").toLong();
    }

    static inline std::unique_ptr<tvtest::ScratchFolder> folder_;
    static inline bool built_ = false;
    static inline QString error_;
    static inline std::vector<tv::demo::TableCount> counts_;
    tv::engine::Database data;
};

// The size of scale 1, every table filled as reported, and the names people try first.
TEST_F(DemoCompany, FillsTheShippedSchemaAsReported) {
    const tv::data::SchemaReport report = tv::data::checkDatabases(folder_->path(), dbSource());
    for (const auto& finding : report.findings) ADD_FAILURE() << finding.text.toStdString();
    EXPECT_EQ(count("CUSTOMERS"), 1000);
    EXPECT_NEAR(count("ACTIVITIES"), 11000, 3000);
    for (const auto& c : counts_) {  // users and counters also hold shipped rows
        if (c.database != "Data.mdb" || c.table == "Counters" || c.table.startsWith("System"))
            continue;
        EXPECT_GT(c.rows, 0) << c.table.toStdString();
        EXPECT_EQ(count(c.table), c.rows) << c.table.toStdString();
    }
    const QString obrien = queryValue(
        data, "SELECT [CUSTOMER NAME] FROM CUSTOMERS WHERE [CUSTOMER NAME] Like 'O''Brien*'");
    some("SELECT * FROM CONTACTS WHERE [CUSTOMER NAME] = " + quoteLiteral(obrien));
    // Staff sign in with their user id, stored as its hash.
    EXPECT_TRUE(tv::data::passwordMatchesHash(
        "sobrien",
        queryValue(data, "SELECT PASSWORD FROM [System Users] WHERE USERID = 'sobrien'")));
}

// Every reference names a row that exists: anti-joins return nothing. Each line lists a
// key and the columns naming it ("TABLE.COLUMN", or "TABLE" for a column named like it).
TEST_F(DemoCompany, EveryReferenceNamesARowThatExists) {
    const QString references = QStringLiteral(R"(
CUSTOMERS.CUSTOMER NAME < CONTACTS, ACTIVITIES, SCHEDULED ACTIVITIES, SALES OPPORTUNITIES,
  QUOTATIONS, SALES ORDERS, CURRENT REQUESTS, COMPLETED REQUESTS, SERVICE CONTRACTS,
  CUSTOMER INVENTORY, PROJECTS, RMAS, CUSTOMER FEEDBACK
PRODUCTS.PRODUCTCODE < QUOTATIONS DETAIL, SALES ORDERS DETAIL, PURCHASE ORDERS DETAIL,
  REQUEST MATERIALS, CURRENT REQUESTS, COMPLETED REQUESTS, CUSTOMER INVENTORY, KNOWN PROBLEMS
SALES ORDERS.ORDERNO < SALES ORDERS DETAIL, COMPLETED REQUESTS, SERVICE CONTRACTS, RMAS,
  ACTIVITIES.INVOICENO
System Users.USERID < CUSTOMERS.SALES REP ID, ACTIVITIES.SALES REP ID, KNOWN PROBLEMS.USER ID,
  SCHEDULED ACTIVITIES.USER ID, CURRENT REQUESTS.PERSONNEL, REQUEST ACTIVITIES.PERSONNEL,
  SALES ORDERS.SALES REP ID
SERVICE CONTRACTS.CONTRACTID < CUSTOMER INVENTORY, CURRENT REQUESTS.AGREEMENTNO,
  COMPLETED REQUESTS.AGREEMENTNO
Activity Types.ACTIVITY TYPE < ACTIVITIES, SCHEDULED ACTIVITIES, CUSTOMER CARE PLAN STEPS
Status Codes.STATUS < CURRENT REQUESTS, SALES ORDERS, SALES OPPORTUNITIES
FORM LETTERS.LETTERID < ACTIVITIES, CUSTOMER CARE PLAN STEPS
SUPPLIERS.SUPPLIER NAME < PRODUCTS
QUOTATIONS.QUOTENO < QUOTATIONS DETAIL
CUSTOMER INVENTORY.ITEMID < COMPLETED REQUESTS
PROJECTS.NAME < ACTIVITIES.SOURCEDOCID
SALES CAMPAIGNS.CAMPAIGN < CUSTOMERS
Call Result Codes.RESULT CODE < ACTIVITIES
Role Names.ROLE < CONTACTS
Industry Codes.INDUSTRY CODE < CUSTOMERS
Countries.COUNTRY < CUSTOMERS
Sales Territories.TERRITORY < CUSTOMERS
Time Zones.TIME ZONE < CUSTOMERS
Relationship Codes.RELATIONSHIP < CUSTOMERS
Priority Codes.PRIORITY < CURRENT REQUESTS
Request Types.REQUEST TYPE < COMPLETED REQUESTS
Resolution Codes.RESOLUTION CODE < COMPLETED REQUESTS
Support Areas.WORK GROUP < COMPLETED REQUESTS
Shipping Status.SHIP STATUS < SALES ORDERS
Card Types.CARD TYPE < SALES ORDERS)");
    for (const QString& line :
         QString(references).replace(",\n ", ",").split('\n', Qt::SkipEmptyParts)) {
        const QString key = line.section(" < ", 0, 0), target = key.section('.', 0, 0);
        for (const QString& source : line.section(" < ", 1).split(", ")) {
            const QString column =
                source.contains('.') ? source.section('.', 1) : key.section('.', 1);
            none(QStringLiteral("SELECT a.[%2] FROM [%1] AS a LEFT JOIN [%3] AS b ON a.[%2] = "
                                "b.[%4] WHERE a.[%2] Is Not Null AND b.[%4] Is Null")
                     .arg(source.section('.', 0, 0), column, target, key.section('.', 1)));
        }
    }
    // Labour belongs to a request, open or closed; a contact to its customer.
    none(
        "SELECT REQUESTNO FROM [REQUEST ACTIVITIES] WHERE REQUESTNO NOT IN (SELECT "
        "REQUESTNO FROM [CURRENT REQUESTS]) AND REQUESTNO NOT IN (SELECT REQUESTNO FROM "
        "[COMPLETED REQUESTS])");
    none(
        "SELECT a.[CUSTOMER NAME] FROM ACTIVITIES AS a LEFT JOIN CONTACTS AS c ON "
        "a.[CUSTOMER NAME] = c.[CUSTOMER NAME] AND a.[CONTACT NAME] = c.[CONTACT NAME] "
        "WHERE a.[CONTACT NAME] Is Not Null AND c.[CONTACT NAME] Is Null");
}

// Each counter has handed out at least the highest number its table holds; a contract's
// use is what the requests charged to it add up to.
TEST_F(DemoCompany, CountersAndContractsAgreeWithTheRows) {
    for (const char* n :
         {"Quotations<QUOTATIONS.QUOTENO", "Sales Orders<SALES ORDERS.ORDERNO",
          "Purchase Orders<PURCHASE ORDERS.ORDERNO", "RMAs<RMAS.RMANO",
          "Known Problems<KNOWN PROBLEMS.PROBLEMNO", "Current Requests<CURRENT REQUESTS.REQUESTNO",
          "Current Requests<COMPLETED REQUESTS.REQUESTNO"}) {
        const QString counter = QString(n).section('<', 0, 0), key = QString(n).section('<', 1);
        some(QStringLiteral("SELECT * FROM Counters WHERE TABLENAME = %1 AND LASTNUMBER >= "
                            "(SELECT Max([%3]) FROM [%2])")
                 .arg(quoteLiteral(counter), key.section('.', 0, 0), key.section('.', 1)));
    }
    some("SELECT * FROM [SERVICE CONTRACTS] WHERE REQUESTSTODATE > 0");
    const QString charged =
        QStringLiteral("(SELECT %1 FROM [%2 REQUESTS] AS q WHERE q.AGREEMENTNO = k.CONTRACTID)");
    none("SELECT * FROM [SERVICE CONTRACTS] AS k WHERE k.REQUESTSTODATE <> " +
         charged.arg("Count(*)", "CURRENT") + " + " + charged.arg("Count(*)", "COMPLETED"));
    none("SELECT * FROM [SERVICE CONTRACTS] AS k WHERE Abs(k.HOURSUSED - Nz(" +
         charged.arg("Sum(HOURSWORKED)", "CURRENT") + ", 0) - Nz(" +
         charged.arg("Sum(HOURSWORKED)", "COMPLETED") + ", 0)) > 0.01");
}

// Recent billable work is left for the billing run; older work is billed by an invoice
// whose lines add up to its total. A customer's last date is its latest activity.
TEST_F(DemoCompany, BillingAndDatesFollowTheHistory) {
    some("SELECT * FROM ACTIVITIES WHERE BILLABLE = True AND INVOICENO Is Null");
    some("SELECT * FROM [COMPLETED REQUESTS] WHERE TOTALCHARGE > 0 AND ORDERNO Is Null");
    some("SELECT * FROM ACTIVITIES WHERE INVOICENO Is Not Null");
    none("SELECT * FROM ACTIVITIES WHERE BILLABLE = False AND INVOICENO Is Not Null");
    none(
        "SELECT * FROM ACTIVITIES WHERE BILLABLE = True AND INVOICENO Is Null "
        "AND [DATETIME] < #2026-09-01#");
    none(
        "SELECT o.ORDERNO FROM [SALES ORDERS] AS o INNER JOIN (SELECT ORDERNO, "
        "Sum(LINEVALUE) AS v, Count(*) AS n FROM [SALES ORDERS DETAIL] GROUP BY ORDERNO) AS d "
        "ON o.ORDERNO = d.ORDERNO WHERE Abs(o.TOTAL - o.FREIGHTTOTAL - d.v) > 0.01 * d.n");
    none(
        "SELECT c.[CUSTOMER NAME] FROM CUSTOMERS AS c INNER JOIN (SELECT [CUSTOMER NAME], "
        "Max([DATETIME]) AS latest FROM ACTIVITIES GROUP BY [CUSTOMER NAME]) AS a ON "
        "c.[CUSTOMER NAME] = a.[CUSTOMER NAME] WHERE DateValue(a.latest) <> c.LASTDATE OR "
        "c.LASTDATE Is Null");
    none("SELECT * FROM ACTIVITIES WHERE [DATETIME] >= #2026-12-05# OR [DATETIME] < #2024-12-05#");
    some("SELECT * FROM [SCHEDULED ACTIVITIES] WHERE SCHEDDATETIME >= #2026-12-05#");
}

QByteArray digest(const tv::demo::CompanyPlan& plan) {
    QByteArray text;
    for (const auto& c : plan.customers)
        text += c.name.toUtf8() + c.contacts.back().email.toUtf8() + c.accountNo.toUtf8() +
                QByteArray::number(c.activities.size()) + QByteArray::number(c.last.key());
    for (const auto& o : plan.orders) text += QByteArray::number(o.total());
    return QCryptographicHash::hash(text, QCryptographicHash::Sha256);
}

// The same seed gives the same company, another seed another; the scale
// multiplies it.
TEST(DemoPlan, SeedChoosesTheCompanyAndScaleItsSize) {
    tv::demo::Vocabulary lists;
    QString error;
    ASSERT_TRUE(tv::demo::loadVocabulary(dbSource() + "/demo", &lists, &error))
        << error.toStdString();
    const auto one = tv::demo::planCompany(lists, 7, 1, kToday);
    const auto other = tv::demo::planCompany(lists, 8, 1, kToday);
    const auto three = tv::demo::planCompany(lists, 7, 3, kToday);
    EXPECT_EQ(digest(one), digest(tv::demo::planCompany(lists, 7, 1, kToday)));
    EXPECT_NE(digest(one), digest(other));
    EXPECT_EQ(three.customers.size(), 3 * one.customers.size());
    auto activities = [](const tv::demo::CompanyPlan& plan) {
        return std::accumulate(plan.customers.begin(), plan.customers.end(), 0.0,
                               [](double n, const auto& c) { return n + c.activities.size(); });
    };
    EXPECT_NEAR(activities(three) / activities(one), 3.0, 0.3);
}

// A copy of db/ with `from` replaced by `to` in one file, or the file removed when `from`
// is empty.
QString changedSource(const tvtest::ScratchFolder& copy, const char* file, const QString& from,
                      const QString& to) {
    for (QDirIterator it(dbSource(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString target = copy.file(QDir(dbSource()).relativeFilePath(it.next()));
        EXPECT_TRUE(QDir().mkpath(QFileInfo(target).path()) && QFile::copy(it.filePath(), target));
    }
    QFile changed(copy.file(file));
    EXPECT_TRUE(changed.open(QIODevice::ReadWrite));
    const QString text = QString::fromUtf8(changed.readAll());
    EXPECT_TRUE(from.isEmpty() || text.contains(from)) << from.toStdString();
    changed.resize(0);
    changed.write(QString(text).replace(from, to).toUtf8());
    if (from.isEmpty()) changed.remove();
    return copy.path();
}

TEST(DemoCompanyFolder, ABadListOrASchemaItCannotFillFailsClearlyLeavingNoDatabase) {
    struct Case {
        const char *file, *from, *to, *reason;  // the reason is a pattern
    };
    const Case cases[] = {
        {"demo/surnames.txt", "", "", "surnames.txt"},
        {"demo/fault_onsets.txt", "\n", "\n#", "fault_onsets.txt: the list is empty"},
        {"demo/products.tsv", "\t8950\t", "\tlots\t", "products.tsv:\\d+: PRICE \"lots\""},
        {"demo/products.tsv", "\tNorland Office Systems\t", "\tNorland\t", "suppliers.tsv"},
        {"demo/topics.tsv", "\n*\t", "\nElse\t", "topics.tsv: no rows for \\*"},
        {"demo/staff.tsv", "\taccounts", "\t", "nobody has the job \"accounts\""},
        {"demo/care_plan_steps.tsv", "\tWELCOME", "\tWELCOM", "form_letters.tsv"},
        {"demo/call_script_steps.tsv", "Yes|No\t3|2", "Yes|No\t3", "differ in number"},
        {"data/schema/70_records.sql", "[FEEDBACKTYPE]", "[KIND OF FEEDBACK]", "FEEDBACKTYPE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        tvtest::ScratchFolder copy, folder;
        QString error;
        EXPECT_FALSE(tv::demo::createCompany(
            folder.path(), changedSource(copy, c.file, c.from, c.to), {}, &error));
        EXPECT_TRUE(error.contains(QRegularExpression(c.reason))) << error.toStdString();
        for (const char* name : {"Definitions.mdb", "Data.mdb", "Messages.mdb"})
            EXPECT_FALSE(QFile::exists(folder.file(name))) << name;
    }
}

// A folder that already holds a database keeps it untouched.
TEST(DemoCompanyFolder, RefusesAnOccupiedFolder) {
    tvtest::ScratchFolder folder;
    QFile file(folder.file("Data.mdb"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("someone's data");
    file.close();
    QString error;
    EXPECT_FALSE(tv::demo::createCompany(folder.path(), dbSource(), {}, &error));
    EXPECT_TRUE(error.contains("Data.mdb")) << error.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "someone's data");
}

}  // namespace
