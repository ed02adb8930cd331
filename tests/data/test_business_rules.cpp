// Deletion cascades with the answers Yes and No, a refused delete that leaves every related
// table as it was, and the next-date rule over a fixed clock.
#include "common/data/shipped_fixture.h"
#include "core/convert.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/business_rules.h"
#include "data/prompter.h"
#include "data/workflow.h"
#include "engine/engine.h"

#include <QDir>
#include <QFile>
#include <optional>

namespace tvtest {
namespace {

using namespace tv::data;

const QString kCustomer = "O'Brien Ltd";

tv::DateTime day(int y, int m, int d) { return tv::DateSerial(y, m, d); }

class BusinessRulesTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        InstallBusinessRules();
        ask.setNow(tv::DateFromParts(2026, 3, 10, 8, 0, 0));
    }

    static QString q(const QString& text) { return tv::engine::quoteLiteral(text); }

    static std::optional<tv::DateTime> dateOf(const QString& sql) {
        const QString text = dataValue(sql);
        if (text.isEmpty() || text == "<none>") return std::nullopt;
        return tv::CDate(tv::Variant(text));
    }
    static std::optional<tv::DateTime> customerNextDate() {
        return dateOf("SELECT NEXTDATE FROM CUSTOMERS WHERE [CUSTOMER NAME] = " + q(kCustomer));
    }
    static std::optional<tv::DateTime> contactNextDate(const QString& contact) {
        return dateOf("SELECT NEXTCONTACT FROM CONTACTS WHERE [CONTACT NAME] = " + q(contact));
    }

    static void schedule(const QString& when, const QString& contact,
                         const QString& sourceType = QString(),
                         const QString& sourceId = QString()) {
        execData(
            {QStringLiteral("INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], "
                            "SCHEDDATETIME, [CONTACT NAME], SOURCEDOCTYPE, SOURCEDOCID) "
                            "VALUES (%1, #%2#, %3, %4, %5)")
                 .arg(q(kCustomer), when, q(contact), sourceType.isEmpty() ? "Null" : q(sourceType),
                      sourceId.isEmpty() ? "Null" : q(sourceId))});
    }
};

// Sales orders --------------------------------------------------------------------------

// Order 1042 with rows of every kind that refer to it, and the same for order 1043.
class SalesOrderTest : public BusinessRulesTest {
protected:
    void SetUp() override {
        BusinessRulesTest::SetUp();
        QStringList rows{QStringLiteral("INSERT INTO [SALES ORDERS] (ORDERNO, [CUSTOMER NAME]) "
                                        "VALUES (1042, %1)")
                             .arg(q(kCustomer))};
        for (const QString order : {"1042", "1043"}) {
            rows << QStringLiteral(
                        "INSERT INTO [CUSTOMER INVENTORY] (ITEMID, SOURCEDOCTYPE, "
                        "SOURCEDOCID, ORDERNO) VALUES ('ITEM-%1', 'order', '%1', '%1')")
                        .arg(order)
                 << QStringLiteral("INSERT INTO [SALES ORDERS DETAIL] (ORDERNO, LINENO) VALUES (%1, 1)")
                        .arg(order)
                 << QStringLiteral(
                        "INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME], "
                        "INVOICENO) VALUES (%1, #2026-01-05 10:00:%2#, %3)")
                        .arg(q(kCustomer), order.right(2), order)
                 << QStringLiteral(
                        "INSERT INTO [SERVICE CONTRACTS] (CONTRACTID, ORDERNO) "
                        "VALUES ('SC-%1', %1)")
                        .arg(order)
                 << QStringLiteral(
                        "INSERT INTO [COMPLETED REQUESTS] (REQUESTNO, ORDERNO) "
                        "VALUES (5%1, %1)")
                        .arg(order);
        }
        // Another document's item with the same number stays whatever happens.
        rows << QStringLiteral(
            "INSERT INTO [CUSTOMER INVENTORY] (ITEMID, SOURCEDOCTYPE, "
            "SOURCEDOCID) VALUES ('ITEM-P', 'project', '1042')");
        execData(rows);
    }

    static QStringList linked(const QString& columns, const QString& table, const QString& order) {
        return dataRows(
            QStringLiteral("SELECT %1 FROM [%2] ORDER BY %3").arg(columns, table, order));
    }
    static QStringList inventory() {
        return linked("ITEMID, SOURCEDOCTYPE, SOURCEDOCID", "CUSTOMER INVENTORY", "ITEMID");
    }
    static QStringList invoiced() { return linked("INVOICENO", "ACTIVITIES", "[DATETIME]"); }
    // Every table the cascade touches, row by row.
    static QStringList everything() {
        QStringList all = dataRows("SELECT * FROM [SALES ORDERS]") + inventory() + invoiced();
        for (const char* table : {"SERVICE CONTRACTS", "COMPLETED REQUESTS"})
            if (state().DataDb.HasTable(QString::fromLatin1(table)))
                all += dataRows(QStringLiteral("SELECT * FROM [%1]").arg(QLatin1String(table)));
        return all;
    }
    static bool deleteOrder() {
        return DeleteRecord("Sales Orders", "1042", QString(), QString(), false);
    }
};

class SalesOrderCascade : public SalesOrderTest, public ::testing::WithParamInterface<int> {};

TEST_P(SalesOrderCascade, InventoryGoesOrStaysUnlinkedAndEveryBillingLinkIsCleared) {
    const int answer = GetParam();
    ask.message(answer, "inventory");
    ASSERT_TRUE(deleteOrder());

    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM [SALES ORDERS]"), "0");
    if (answer == msgbox::kYes) {
        EXPECT_EQ(inventory(), (QStringList{"ITEM-1043|order|1043", "ITEM-P|project|1042"}));
    } else {
        EXPECT_EQ(inventory(),
                  (QStringList{"ITEM-1042||", "ITEM-1043|order|1043", "ITEM-P|project|1042"}));
    }
    EXPECT_EQ(invoiced(), (QStringList{"", "1043"}));
    EXPECT_EQ(linked("ORDERNO", "SERVICE CONTRACTS", "CONTRACTID"), (QStringList{"", "1043"}));
    EXPECT_EQ(linked("ORDERNO", "COMPLETED REQUESTS", "REQUESTNO"), (QStringList{"", "1043"}));
    // Items it charged are outstanding again; its lines go with it.
    EXPECT_EQ(linked("ORDERNO", "CUSTOMER INVENTORY", "ITEMID"),
              answer == msgbox::kYes ? QStringList({"1043", ""}) : QStringList({"", "1043", ""}));
    EXPECT_EQ(linked("ORDERNO", "SALES ORDERS DETAIL", "ORDERNO"), QStringList{"1043"});
}

INSTANTIATE_TEST_SUITE_P(Answers, SalesOrderCascade, ::testing::Values(msgbox::kYes, msgbox::kNo));

enum class Refusal { CascadeStatement, Trigger, OtherWorkstation };

struct RefusalCase {
    const char* name;
    Refusal refusal;
    int number;  // the engine's error, shown in the message
};

class RefusedOrderDelete : public SalesOrderTest,
                           public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedOrderDelete, ShowsWhyAndLeavesEveryRelatedTableAsItWas) {
    const RefusalCase& c = GetParam();
    tv::engine::Engine& engine = tv::engine::Engine::instance();
    const int usualWait = engine.BusyTimeout();
    tv::engine::Database other;
    switch (c.refusal) {
        case Refusal::CascadeStatement:
            execData({"DROP TABLE [SERVICE CONTRACTS]"});
            break;
        case Refusal::Trigger: {
            // A trigger the site's administrator added refuses the delete.
            RawConnection raw(dataPath());
            const char* trigger =
                raw.isServer()
                    ? "CREATE FUNCTION keep_orders() RETURNS trigger LANGUAGE plpgsql AS "
                      "'BEGIN RAISE EXCEPTION ''orders are kept''; END'; "
                      "CREATE TRIGGER keep_orders BEFORE DELETE ON \"SALES ORDERS\" "
                      "FOR EACH ROW EXECUTE FUNCTION keep_orders()"
                    : "CREATE TRIGGER keep_orders BEFORE DELETE ON \"SALES ORDERS\" "
                      "BEGIN SELECT RAISE(ABORT, 'orders are kept'); END";
            ASSERT_EQ(raw.exec(trigger), "");
            break;
        }
        case Refusal::OtherWorkstation:
            // Another workstation in the middle of writing, past the wait for it.
            other = engine.OpenDatabase(dataPath());
            other.BeginTrans();
            engine.SetBusyTimeout(100);
            break;
    }
    const QStringList before = everything();

    ask.message(msgbox::kYes, "inventory")
        .message(msgbox::kOk, QStringLiteral("(%1)").arg(c.number), "Delete");
    EXPECT_FALSE(deleteOrder());
    engine.SetBusyTimeout(usualWait);
    if (other.IsOpen()) other.Rollback();

    EXPECT_EQ(everything(), before);
    EXPECT_EQ(invoiced(), (QStringList{"1042", "1043"}));
    EXPECT_EQ(ask.messages().at(1).text.left(32), "The record could not be deleted.");
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusedOrderDelete,
    ::testing::Values(RefusalCase{"ACascadeStatementFails", Refusal::CascadeStatement, 3078},
                      RefusalCase{"ATriggerRefusesTheDelete", Refusal::Trigger, 3022},
                      RefusalCase{"AnotherWorkstationHoldsTheFile", Refusal::OtherWorkstation,
                                  3260}),
    [](const auto& info) { return std::string(info.param.name); });

// Projects ------------------------------------------------------------------------------

TEST_F(BusinessRulesTest, AProjectsScheduledActivitiesGoOnlyWhenTheAnswerIsYes) {
    const QString project = "O'Brien Fit-out";
    execData({QStringLiteral("INSERT INTO PROJECTS (NAME) VALUES (%1)").arg(q(project)),
              "INSERT INTO PROJECTS (NAME) VALUES ('Spare')"});
    schedule("2026-03-12 09:00:00", "Tom", "project", project);
    schedule("2026-03-13 09:00:00", "Tom", "project", "Other");
    schedule("2026-03-14 09:00:00", "Tom", "project", "Spare");
    const QString remaining =
        "SELECT SOURCEDOCID FROM [SCHEDULED ACTIVITIES] ORDER BY SCHEDDATETIME";

    // No: the project goes, its steps stay in the schedule.
    ask.message(msgbox::kNo, "scheduled activities");
    ASSERT_TRUE(DeleteRecord("Projects", "Spare", QString(), QString(), false));
    EXPECT_EQ(dataRows(remaining), (QStringList{project, "Other", "Spare"}));

    ask.message(msgbox::kYes, "scheduled activities");
    ASSERT_TRUE(DeleteRecord("Projects", project, QString(), QString(), false));
    EXPECT_EQ(dataRows(remaining), (QStringList{"Other", "Spare"}));
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM PROJECTS"), "0");
}

// Customer attachments ------------------------------------------------------------------

struct AttachmentCase {
    const char* name;
    const char* stored;  // "{data}" (the site's files folder) and "{other}" stand for the
                         // two folders (beside each other), "{othername}" for the other's name
    const char* onDisk;  // a file that is there before the delete
    int answer;
    bool deleted;  // whether onDisk is gone afterwards
    int message;   // 9041 when the file cannot be removed, 9135 when it lies elsewhere
};

class AttachmentCascade : public BusinessRulesTest,
                          public ::testing::WithParamInterface<AttachmentCase> {
protected:
    ScratchFolder other;
    QString expand(const char* text) const {
        return QString::fromUtf8(text)
            .replace("{data}", data.folder().path())
            .replace("{othername}", QFileInfo(other.path()).fileName())
            .replace("{other}", other.path());
    }
};

TEST_P(AttachmentCascade, TheFileGoesOnYesFromWhereItsPathLeads) {
    const AttachmentCase& c = GetParam();
    const QString stored = expand(c.stored);
    const QString onDisk = expand(c.onDisk);
    QDir().mkpath(QFileInfo(onDisk).absolutePath());
    QFile::link(other.path(), data.folder().file("elsewhere"));  // a link out of the folder
    for (const QString& path : {onDisk, data.folder().file("plan.pdf"), other.file("plan.pdf")}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    }
    execData({QStringLiteral("INSERT INTO [CUSTOMER ATTACHMENTS] ([CUSTOMER NAME], [DATETIME], "
                             "FILEPATH) VALUES (%1, #2026-02-01 10:30:00#, %2)")
                  .arg(q(kCustomer), q(stored))});

    ask.message(c.answer, stored);  // the question names the file
    if (c.message)
        ask.message(msgbox::kOk, c.message == 9135 ? "outside the data folder" : stored,
                    "Delete Attachment");
    ASSERT_TRUE(
        DeleteRecord("Customer Attachments", kCustomer, "2026-02-01 10:30:00", QString(), false));
    EXPECT_EQ(QFile::exists(onDisk), !c.deleted);
    // Only that file: its namesakes elsewhere stay.
    for (const QString& path : {data.folder().file("plan.pdf"), other.file("plan.pdf")}) {
        if (path == onDisk) continue;
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AttachmentCascade,
    ::testing::Values(
        AttachmentCase{"BareNameYes", "plan.pdf", "{data}/plan.pdf", msgbox::kYes, true, 0},
        AttachmentCase{"BareNameNo", "plan.pdf", "{data}/plan.pdf", msgbox::kNo, false, 0},
        AttachmentCase{"RelativeWithBackslash", "Attachments\\plan.pdf",
                       "{data}/Attachments/plan.pdf", msgbox::kYes, true, 0},
        AttachmentCase{"FullPathIntoTheDataFolder", "{data}/Attachments/plan.pdf",
                       "{data}/Attachments/plan.pdf", msgbox::kYes, true, 0},
        // Whatever the row says, a file outside the data folder stays.
        AttachmentCase{"WithDriveColonElsewhere", "{other}/x:/plan.pdf", "{other}/x:/plan.pdf",
                       msgbox::kYes, false, 9135},
        AttachmentCase{"RootedPathElsewhere", "{other}/plan.pdf", "{other}/plan.pdf",
                       msgbox::kYes, false, 9135},
        AttachmentCase{"UpAndOut", "../{othername}/plan.pdf", "{other}/plan.pdf", msgbox::kYes, false,
                       9135},
        AttachmentCase{"ThroughALink", "elsewhere/plan.pdf", "{other}/plan.pdf", msgbox::kYes,
                       false, 9135},
        // A folder where the file should be: the row goes, and the user hears about the file.
        AttachmentCase{"FileThatCannotBeRemovedIsReported", "busy", "{data}/busy/in.txt",
                       msgbox::kYes, false, 9041}),
    [](const auto& info) { return std::string(info.param.name); });

// Scheduled activities and the next-date rule -------------------------------------------

class NextDateTest : public BusinessRulesTest {
protected:
    void SetUp() override {
        BusinessRulesTest::SetUp();
        execData({
            QStringLiteral("INSERT INTO CUSTOMERS ([CUSTOMER NAME], NEXTDATE) VALUES (%1, "
                           "#2026-01-01#)")
                .arg(q(kCustomer)),
            QStringLiteral("INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME], NEXTCONTACT) "
                           "VALUES (%1, 'Mary O''Neil', #2026-01-01#)")
                .arg(q(kCustomer)),
            QStringLiteral("INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME], NEXTCONTACT) "
                           "VALUES (%1, 'Tom', #2026-01-01#)")
                .arg(q(kCustomer)),
        });
        schedule("2026-03-01 09:00:00", "Mary O'Neil");  // past
    }
};

TEST_F(NextDateTest, DeletingAScheduledActivityRecomputesBothNextDates) {
    schedule("2026-03-12 09:00:00", "Mary O'Neil");
    schedule("2026-03-20 14:00:00", "Tom");
    state().FieldValues.assign({"window", "buffer"});

    ASSERT_TRUE(
        DeleteRecord("Scheduled Activities", kCustomer, "2026-03-20 14:00:00", QString(), false));
    EXPECT_EQ(customerNextDate(), day(2026, 3, 12));
    // The rule runs before the row goes and passes its own day, which is Tom's only one.
    EXPECT_EQ(contactNextDate("Tom"), day(2026, 3, 20));
    EXPECT_EQ(contactNextDate("Mary O'Neil"), day(2026, 1, 1));
    EXPECT_EQ(state().FieldValues.toList(), (QStringList{"window", "buffer"}));
}

// Days are days of March 2026 (0 for none); today is the 10th, 08:00.
struct RuleCase {
    const char* name;
    QStringList planned;  // Mary's activities besides the past one, "dd hh:mm"
    int callerDay;
    int mary;
    int customer;  // counts everyone's activities, another contact's on the 11th too
};

class NextDateRule : public NextDateTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(NextDateRule, TheEarliestDayAheadWins) {
    const RuleCase& c = GetParam();
    for (const QString& when : c.planned) schedule("2026-03-" + when + ":00", "Mary O'Neil");
    schedule("2026-03-11 09:00:00", "Someone Else");
    auto march = [](int d) { return d ? std::optional(day(2026, 3, d)) : std::nullopt; };
    ASSERT_TRUE(
        ApplyNextDateRule(kCustomer, "Mary O'Neil",
                          c.callerDay ? std::int32_t(day(2026, 3, c.callerDay).serial) : 0));
    EXPECT_EQ(contactNextDate("Mary O'Neil"), march(c.mary));
    EXPECT_EQ(customerNextDate(), march(c.customer));
    EXPECT_EQ(contactNextDate("Tom"), day(2026, 1, 1)) << "another contact";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NextDateRule,
    ::testing::Values(RuleCase{"FirstPlanned", {"20 10:00", "12 10:00"}, 0, 12, 11},
                      RuleCase{"EarlierCallerDay", {"12 10:00"}, 11, 11, 11},
                      RuleCase{"LaterCallerDay", {"12 10:00"}, 15, 12, 11},
                      RuleCase{"LaterTodayCountsAsAhead", {"10 17:00", "12 10:00"}, 0, 10, 10},
                      RuleCase{"NothingAheadClears", {}, 0, 0, 11},
                      RuleCase{"NothingAheadTakesTheCallersDay", {}, 15, 15, 11}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NextDateTest, AWorkflowUserStillSeesEveryonesPlannedActivities) {
    execData({QStringLiteral("INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], "
                             "SCHEDDATETIME, [USER ID]) VALUES (%1, #2026-03-11 09:00:00#, 'ann')")
                  .arg(q(kCustomer))});
    state().CurrentUserId = "mary";
    state().WorkflowMode = true;
    ASSERT_GT(BuildWorkflowColumns(), 0);
    ASSERT_TRUE(ApplyNextDateRule(kCustomer, QString(), 0));
    EXPECT_EQ(customerNextDate(), day(2026, 3, 11));
}

TEST_F(NextDateTest, AnUnknownCustomerOrContactIsLeftAloneWithoutAQuestion) {
    EXPECT_TRUE(ApplyNextDateRule("Nobody", "No One", 0));
    EXPECT_TRUE(ApplyNextDateRule(kCustomer, "No One", 0));
    EXPECT_EQ(customerNextDate(), std::nullopt);
    EXPECT_TRUE(ask.asked().empty());
}

TEST_F(BusinessRulesTest, TablesWithoutARuleAreDeletedWithoutQuestions) {
    execData(
        {QStringLiteral("INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES (%1)").arg(q(kCustomer)),
         QStringLiteral("INSERT INTO PROJECTS (NAME) VALUES (%1)").arg(q(kCustomer))});
    schedule("2026-03-12 09:00:00", "Tom", "project", kCustomer);
    ASSERT_TRUE(DeleteRecord("Customers", kCustomer, QString(), QString(), false));
    EXPECT_TRUE(ask.asked().empty());
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM [SCHEDULED ACTIVITIES]"), "1");
}

}  // namespace
}  // namespace tvtest
