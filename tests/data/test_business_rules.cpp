// Deletion cascades through DeleteRecord with the business rules installed, each with the
// answers Yes and No, and the next-date rule over a fixed clock.
#include "common/data/shipped_fixture.h"
#include "core/convert.h"
#include "core/format.h"
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

const QString kCustomer = QStringLiteral("O'Brien Ltd");

tv::DateTime day(int y, int m, int d) { return tv::DateSerial(y, m, d); }

class BusinessRulesTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        InstallBusinessRules();
        ask.setNow(tv::DateFromParts(2026, 3, 10, 8, 0, 0));
    }

    static QString q(const QString& text) { return tv::engine::quoteLiteral(text); }

    // Every row of a query, its columns joined by "|", Null as "-".
    static QStringList rows(const QString& sql) {
        tv::engine::Recordset rs = state().DataDb.OpenRecordset(sql);
        QStringList out;
        for (; !rs.EOF_(); rs.MoveNext()) {
            QStringList cells;
            for (int i = 0; i < rs.FieldCount(); ++i)
                cells << (rs[i].isNull() ? QStringLiteral("-") : tv::TextOf(rs[i]));
            out << cells.join(u'|');
        }
        return out;
    }

    static std::optional<tv::DateTime> dateOf(const QString& sql) {
        tv::engine::Recordset rs = state().DataDb.OpenRecordset(sql);
        if (rs.EOF_() || rs[0].isNull()) return std::nullopt;
        return tv::CDate(rs[0]);
    }
    static std::optional<tv::DateTime> customerNextDate() {
        return dateOf(QStringLiteral("SELECT NEXTDATE FROM CUSTOMERS WHERE [CUSTOMER NAME] = ") +
                      q(kCustomer));
    }
    static std::optional<tv::DateTime> contactNextDate(const QString& contact) {
        return dateOf(QStringLiteral("SELECT NEXTCONTACT FROM CONTACTS WHERE [CONTACT NAME] = ") +
                      q(contact));
    }

    static void schedule(const QString& when, const QString& contact,
                         const QString& sourceType = QString(),
                         const QString& sourceId = QString()) {
        execData({QStringLiteral("INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], "
                                 "SCHEDDATETIME, [CONTACT NAME], SOURCEDOCTYPE, SOURCEDOCID) "
                                 "VALUES (%1, #%2#, %3, %4, %5)")
                      .arg(q(kCustomer), when, q(contact),
                           sourceType.isEmpty() ? QStringLiteral("Null") : q(sourceType),
                           sourceId.isEmpty() ? QStringLiteral("Null") : q(sourceId))});
    }
};

// Sales orders --------------------------------------------------------------------------

class SalesOrderCascade : public BusinessRulesTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        BusinessRulesTest::SetUp();
        execData({
            QStringLiteral("INSERT INTO [SALES ORDERS] (ORDERNO, [CUSTOMER NAME]) VALUES (1042, ") +
                q(kCustomer) + u')',
            QStringLiteral("INSERT INTO [CUSTOMER INVENTORY] (ITEMID, SOURCEDOCTYPE, SOURCEDOCID) "
                           "VALUES ('ITEM-A', 'order', '1042')"),
            QStringLiteral("INSERT INTO [CUSTOMER INVENTORY] (ITEMID, SOURCEDOCTYPE, SOURCEDOCID) "
                           "VALUES ('ITEM-B', 'order', '1043')"),
            QStringLiteral("INSERT INTO [CUSTOMER INVENTORY] (ITEMID, SOURCEDOCTYPE, SOURCEDOCID) "
                           "VALUES ('ITEM-C', 'project', '1042')"),
            QStringLiteral("INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME], INVOICENO) "
                           "VALUES (%1, #2026-01-05 10:00:00#, 1042)")
                .arg(q(kCustomer)),
            QStringLiteral("INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME], INVOICENO) "
                           "VALUES (%1, #2026-01-06 10:00:00#, 1043)")
                .arg(q(kCustomer)),
            QStringLiteral(
                "INSERT INTO [SERVICE CONTRACTS] (CONTRACTID, ORDERNO) VALUES ('SC-1', 1042)"),
            QStringLiteral(
                "INSERT INTO [SERVICE CONTRACTS] (CONTRACTID, ORDERNO) VALUES ('SC-2', 1043)"),
            QStringLiteral(
                "INSERT INTO [COMPLETED REQUESTS] (REQUESTNO, ORDERNO) VALUES (5001, 1042)"),
            QStringLiteral(
                "INSERT INTO [COMPLETED REQUESTS] (REQUESTNO, ORDERNO) VALUES (5002, 1043)"),
        });
    }
};

TEST_P(SalesOrderCascade, InventoryGoesOrStaysUnlinkedAndEveryBillingLinkIsCleared) {
    const int answer = GetParam();
    ask.message(answer, QStringLiteral("inventory"));
    ASSERT_TRUE(DeleteRecord(QStringLiteral("Sales Orders"), QStringLiteral("1042"), QString(),
                             QString(), false));

    EXPECT_EQ(dataValue(QStringLiteral("SELECT COUNT(*) FROM [SALES ORDERS]")),
              QStringLiteral("0"));
    const QStringList inventory =
        rows(QStringLiteral("SELECT ITEMID, SOURCEDOCTYPE, SOURCEDOCID FROM [CUSTOMER INVENTORY] "
                            "ORDER BY ITEMID"));
    if (answer == msgbox::kYes) {
        EXPECT_EQ(inventory, (QStringList{"ITEM-B|order|1043", "ITEM-C|project|1042"}));
    } else {
        EXPECT_EQ(inventory,
                  (QStringList{"ITEM-A|-|-", "ITEM-B|order|1043", "ITEM-C|project|1042"}));
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT INVOICENO FROM ACTIVITIES ORDER BY [DATETIME]")),
              (QStringList{"-", "1043"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT ORDERNO FROM [SERVICE CONTRACTS] ORDER BY CONTRACTID")),
              (QStringList{"-", "1043"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT ORDERNO FROM [COMPLETED REQUESTS] ORDER BY REQUESTNO")),
              (QStringList{"-", "1043"}));
}

TEST_F(SalesOrderCascade, AFailingStatementDoesNotStopTheOthers) {
    execData({QStringLiteral("DROP TABLE [SERVICE CONTRACTS]")});
    ask.message(msgbox::kNo);
    const std::vector<Failure> failures =
        BeforeDelete(QStringLiteral("sales orders"), QStringLiteral("1042"), QString(), QString());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(rows(QStringLiteral("SELECT INVOICENO FROM ACTIVITIES ORDER BY [DATETIME]")),
              (QStringList{"-", "1043"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT ORDERNO FROM [COMPLETED REQUESTS] ORDER BY REQUESTNO")),
              (QStringList{"-", "1043"}));
}

TEST_F(SalesOrderCascade, AnOrderKeyThatIsNoNumberIsNeverWrittenIntoAStatement) {
    ask.message(msgbox::kNo);
    const std::vector<Failure> failures = BeforeDelete(
        QStringLiteral("Sales Orders"), QStringLiteral("1042 OR 1=1"), QString(), QString());
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_EQ(rows(QStringLiteral("SELECT INVOICENO FROM ACTIVITIES ORDER BY [DATETIME]")),
              (QStringList{"1042", "1043"}));
}

INSTANTIATE_TEST_SUITE_P(Answers, SalesOrderCascade, ::testing::Values(msgbox::kYes, msgbox::kNo));

// Projects ------------------------------------------------------------------------------

TEST_F(BusinessRulesTest, AProjectsScheduledActivitiesGoOnlyWhenTheAnswerIsYes) {
    const QString project = QStringLiteral("O'Brien Fit-out");
    execData({QStringLiteral("INSERT INTO PROJECTS (NAME) VALUES (%1)").arg(q(project))});
    schedule(QStringLiteral("2026-03-12 09:00:00"), QStringLiteral("Tom"), "project", project);
    schedule(QStringLiteral("2026-03-13 09:00:00"), QStringLiteral("Tom"), "project", "Other");
    schedule(QStringLiteral("2026-03-14 09:00:00"), QStringLiteral("Tom"), "project", "Spare");
    execData({QStringLiteral("INSERT INTO PROJECTS (NAME) VALUES ('Spare')")});
    const QString remaining =
        QStringLiteral("SELECT SOURCEDOCID FROM [SCHEDULED ACTIVITIES] ORDER BY SCHEDDATETIME");

    // No: the project goes, its steps stay in the schedule.
    ask.message(msgbox::kNo, QStringLiteral("scheduled activities"));
    ASSERT_TRUE(DeleteRecord(QStringLiteral("Projects"), QStringLiteral("Spare"), QString(),
                             QString(), false));
    EXPECT_EQ(rows(remaining), (QStringList{project, "Other", "Spare"}));

    ask.message(msgbox::kYes, QStringLiteral("scheduled activities"));
    ASSERT_TRUE(DeleteRecord(QStringLiteral("Projects"), project, QString(), QString(), false));
    EXPECT_EQ(rows(remaining), (QStringList{"Other", "Spare"}));
    EXPECT_EQ(dataValue(QStringLiteral("SELECT COUNT(*) FROM PROJECTS")), QStringLiteral("0"));
}

// Customer attachments ------------------------------------------------------------------

struct AttachmentCase {
    const char* name;
    const char* stored;  // "{data}" and "{other}" stand for the two folders
    const char* onDisk;  // where the file really lies
    int answer;
    bool deleted;
};

class AttachmentCascade : public BusinessRulesTest,
                          public ::testing::WithParamInterface<AttachmentCase> {
protected:
    ScratchFolder other;
    QString expand(const char* text) const {
        return QString::fromUtf8(text)
            .replace(QStringLiteral("{data}"), data.path())
            .replace(QStringLiteral("{other}"), other.path());
    }
};

TEST_P(AttachmentCascade, TheFileGoesOnYesFromWhereItsPathLeads) {
    const AttachmentCase& c = GetParam();
    const QString stored = expand(c.stored);
    const QString onDisk = expand(c.onDisk);
    QDir().mkpath(QFileInfo(onDisk).absolutePath());
    for (const QString& path : {onDisk, data.file("plan.pdf"), other.file("plan.pdf")}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    }
    execData({QStringLiteral("INSERT INTO [CUSTOMER ATTACHMENTS] ([CUSTOMER NAME], [DATETIME], "
                             "FILEPATH) VALUES (%1, #2026-02-01 10:30:00#, %2)")
                  .arg(q(kCustomer), q(stored))});

    ask.message(c.answer, stored);  // the question names the file
    ASSERT_TRUE(DeleteRecord(QStringLiteral("Customer Attachments"), kCustomer,
                             QStringLiteral("2026-02-01 10:30:00"), QString(), false));
    EXPECT_EQ(QFile::exists(onDisk), !c.deleted);
    // Only that file: its namesakes elsewhere stay.
    for (const QString& path : {data.file("plan.pdf"), other.file("plan.pdf")}) {
        if (path == onDisk) continue;
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AttachmentCascade,
    ::testing::Values(
        AttachmentCase{"BareNameYes", "plan.pdf", "{data}/plan.pdf", msgbox::kYes, true},
        AttachmentCase{"BareNameNo", "plan.pdf", "{data}/plan.pdf", msgbox::kNo, false},
        AttachmentCase{"RelativeWithBackslash", "Attachments\\plan.pdf",
                       "{data}/Attachments/plan.pdf", msgbox::kYes, true},
        AttachmentCase{"WithDriveColonUsedAsItIs", "{other}/x:/plan.pdf", "{other}/x:/plan.pdf",
                       msgbox::kYes, true},
        AttachmentCase{"RootedPathUsedAsItIs", "{other}/plan.pdf", "{other}/plan.pdf", msgbox::kYes,
                       true}),
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
        schedule(QStringLiteral("2026-03-01 09:00:00"), QStringLiteral("Mary O'Neil"));  // past
    }
};

TEST_F(NextDateTest, DeletingAScheduledActivityRecomputesBothNextDates) {
    schedule(QStringLiteral("2026-03-12 09:00:00"), QStringLiteral("Mary O'Neil"));
    schedule(QStringLiteral("2026-03-20 14:00:00"), QStringLiteral("Tom"));
    state().FieldValues.assign({"window", "buffer"});

    ASSERT_TRUE(DeleteRecord(QStringLiteral("Scheduled Activities"), kCustomer,
                             QStringLiteral("2026-03-20 14:00:00"), QString(), false));
    EXPECT_EQ(customerNextDate(), day(2026, 3, 12));
    // The rule runs before the row goes and passes its own day, which is Tom's only one.
    EXPECT_EQ(contactNextDate(QStringLiteral("Tom")), day(2026, 3, 20));
    EXPECT_EQ(contactNextDate(QStringLiteral("Mary O'Neil")), day(2026, 1, 1));
    EXPECT_EQ(state().FieldValues.toList(), (QStringList{"window", "buffer"}));
}

TEST_F(NextDateTest, DeletingTheEarliestLeavesItsDayUntilTheNextSave) {
    schedule(QStringLiteral("2026-03-12 09:00:00"), QStringLiteral("Mary O'Neil"));
    schedule(QStringLiteral("2026-03-20 14:00:00"), QStringLiteral("Tom"));
    ASSERT_TRUE(DeleteRecord(QStringLiteral("Scheduled Activities"), kCustomer,
                             QStringLiteral("2026-03-12 09:00:00"), QString(), false));
    EXPECT_EQ(customerNextDate(), day(2026, 3, 12));
    EXPECT_EQ(contactNextDate(QStringLiteral("Mary O'Neil")), day(2026, 3, 12));

    ASSERT_TRUE(ApplyNextDateRule(kCustomer, QStringLiteral("Mary O'Neil"), 0));
    EXPECT_EQ(customerNextDate(), day(2026, 3, 20));
    EXPECT_EQ(contactNextDate(QStringLiteral("Mary O'Neil")), std::nullopt);
}

struct RuleCase {
    const char* name;
    QStringList planned;  // Mary's activities besides the past one
    int dayOffset;        // the caller's day, as days after 2026-03-10; -1 for none
    std::optional<tv::DateTime> expected;
};

class NextDateRule : public NextDateTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(NextDateRule, TheEarliestDayAheadWins) {
    const RuleCase& c = GetParam();
    for (const QString& when : c.planned) schedule(when, QStringLiteral("Mary O'Neil"));
    schedule(QStringLiteral("2026-03-11 09:00:00"), QStringLiteral("Someone Else"));
    const std::int32_t callerDay =
        c.dayOffset < 0 ? 0 : static_cast<std::int32_t>(day(2026, 3, 10).serial) + c.dayOffset;

    ASSERT_TRUE(ApplyNextDateRule(kCustomer, QStringLiteral("Mary O'Neil"), callerDay));
    EXPECT_EQ(contactNextDate(QStringLiteral("Mary O'Neil")), c.expected);
    EXPECT_EQ(contactNextDate(QStringLiteral("Tom")), day(2026, 1, 1)) << "another contact";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NextDateRule,
    ::testing::Values(RuleCase{"FirstPlanned",
                               {"2026-03-20 10:00:00", "2026-03-12 10:00:00"},
                               -1,
                               day(2026, 3, 12)},
                      RuleCase{"EarlierCallerDay", {"2026-03-12 10:00:00"}, 1, day(2026, 3, 11)},
                      RuleCase{"LaterCallerDay", {"2026-03-12 10:00:00"}, 5, day(2026, 3, 12)},
                      RuleCase{"LaterTodayCountsAsAhead",
                               {"2026-03-10 17:00:00", "2026-03-12 10:00:00"},
                               -1,
                               day(2026, 3, 10)},
                      RuleCase{"NothingAheadClears", {}, -1, std::nullopt},
                      RuleCase{"NothingAheadTakesTheCallersDay", {}, 5, day(2026, 3, 15)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NextDateTest, TheCustomersDateCountsEveryContact) {
    schedule(QStringLiteral("2026-03-11 09:00:00"), QStringLiteral("Tom"));
    schedule(QStringLiteral("2026-03-15 09:00:00"), QStringLiteral("Mary O'Neil"));
    ASSERT_TRUE(ApplyNextDateRule(kCustomer, QStringLiteral("Mary O'Neil"), 0));
    EXPECT_EQ(customerNextDate(), day(2026, 3, 11));
    EXPECT_EQ(contactNextDate(QStringLiteral("Mary O'Neil")), day(2026, 3, 15));
}

TEST_F(NextDateTest, AWorkflowUserStillSeesEveryonesPlannedActivities) {
    execData({QStringLiteral("INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], "
                             "SCHEDDATETIME, [USER ID]) VALUES (%1, #2026-03-11 09:00:00#, 'ann')")
                  .arg(q(kCustomer))});
    state().CurrentUserId = QStringLiteral("mary");
    state().WorkflowMode = true;
    ASSERT_GT(BuildWorkflowColumns(), 0);
    ASSERT_TRUE(ApplyNextDateRule(kCustomer, QString(), 0));
    EXPECT_EQ(customerNextDate(), day(2026, 3, 11));
}

TEST_F(NextDateTest, AnUnknownCustomerOrContactIsLeftAloneWithoutAQuestion) {
    EXPECT_TRUE(ApplyNextDateRule(QStringLiteral("Nobody"), QStringLiteral("No One"), 0));
    EXPECT_TRUE(ApplyNextDateRule(kCustomer, QStringLiteral("No One"), 0));
    EXPECT_EQ(customerNextDate(), std::nullopt);
    EXPECT_TRUE(ask.asked().empty());
}

TEST_F(BusinessRulesTest, TablesWithoutARuleAreDeletedWithoutQuestions) {
    execData(
        {QStringLiteral("INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES (%1)").arg(q(kCustomer)),
         QStringLiteral("INSERT INTO PROJECTS (NAME) VALUES (%1)").arg(q(kCustomer))});
    schedule(QStringLiteral("2026-03-12 09:00:00"), QStringLiteral("Tom"), "project", kCustomer);
    ASSERT_TRUE(DeleteRecord(QStringLiteral("Customers"), kCustomer, QString(), QString(), false));
    EXPECT_TRUE(ask.asked().empty());
    EXPECT_EQ(dataValue(QStringLiteral("SELECT COUNT(*) FROM [SCHEDULED ACTIVITIES]")),
              QStringLiteral("1"));
}

}  // namespace
}  // namespace tvtest
