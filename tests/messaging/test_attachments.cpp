// Attached files: rows numbered in the order given, copies in the Temp folder and nowhere
// else, files that have gone, copies that fail, and opening a copy.
#include "messaging/attachment_files.h"
#include "post_office_fixture.h"

#include <QDir>
#include <QFileInfo>

namespace tvtest {
namespace {

using namespace tv::messaging;
namespace msgbox = tv::data::msgbox;

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST_F(PostOfficeTest, AttachmentsAreNumberedInOrderAndAGoneFileLeavesAGap) {
    const QString gone = files.file("gone.doc");
    QStringList skipped;
    tv::data::state().SharedValues[0] = "mary";
    ASSERT_TRUE(DeliverLocal("Acme", "Plans", QString(),
                             {makeFile("plan.pdf", "plan"), gone, makeFile("site.jpg", "site")},
                             &skipped));
    EXPECT_EQ(skipped, QStringList{gone});
    EXPECT_TRUE(ask.asked().empty()) << "a gone file is skipped without a question";

    EXPECT_EQ(rows(QStringLiteral("SELECT ATTACHNO, FILENAME FROM [INBOX ATTACHMENTS] ORDER BY "
                                  "ATTACHNO")),
              (QStringList{"1|plan.pdf", "3|site.jpg"}));
    EXPECT_EQ(contents(tempFile("plan.pdf")), "plan");
    EXPECT_EQ(contents(tempFile("site.jpg")), "site");

    // The message window lists the files up to the first gap.
    const std::optional<InboxMessage> m = ReadInboxMessage(1);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->Attachments, QStringList{"plan.pdf"});
}

// A copy named like an earlier one replaces it; a file already in the Temp folder is left
// as it is rather than copied over itself.
TEST_F(PostOfficeTest, CopiesReplaceTheirNamesakesButNotThemselves) {
    ASSERT_GT(deliver("admin", "mary", QString(), "v1", {makeFile("notes.txt", "first")}), 0);
    ASSERT_GT(deliver("admin", "mary", QString(), "v2", {makeFile("notes.txt", "second")}), 0);
    EXPECT_EQ(contents(tempFile("notes.txt")), "second");
    ASSERT_GT(deliver("admin", "mary", QString(), "Again", {tempFile("notes.txt")}), 0);
    EXPECT_EQ(contents(tempFile("notes.txt")), "second");
    EXPECT_TRUE(ask.asked().empty());
}

TEST_F(PostOfficeTest, AttachmentRowsLeftByADeletedMessageAreReplacedWhenItsNumberReturns) {
    const int first = deliver("admin", "mary", QString(), "old", {makeFile("old.txt")});
    ASSERT_TRUE(DeleteMessage("Inbox", first));  // its attachment row stays
    const int second = deliver("admin", "mary", QString(), "new", {makeFile("new.txt")});
    ASSERT_EQ(second, first) << "the number was expected to be given out again";
    EXPECT_EQ(rows("SELECT MSGNO, ATTACHNO, FILENAME FROM [INBOX ATTACHMENTS]"),
              QStringList{QStringLiteral("%1|1|new.txt").arg(first)});
}

class CopyFailure : public PostOfficeTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        PostOfficeTest::SetUp();
        // A file where the Temp folder should be: no copy can go in.
        QFile blocker(data.path() + "/Temp");
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
};

TEST_P(CopyFailure, YesTakesTheMessageBackAnyOtherAnswerSendsItWithout) {
    const bool abandon = GetParam() == msgbox::kYes;
    const QString source = makeFile("report.xls");
    ask.message(GetParam(), source);  // the question names the file

    const bool delivered = deliver("admin", "mary", QString(), "Report", {source}) != 0;
    EXPECT_EQ(delivered, !abandon);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM INBOX"), QStringList{abandon ? "0" : "1"});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM [INBOX ATTACHMENTS]"), QStringList{abandon ? "0" : "1"});
    EXPECT_EQ(statuses.size(), abandon ? 0u : 1u);

    statuses.clear();
    ask.message(GetParam(), source);
    tv::data::state().CurrentUserId = "admin";
    EXPECT_EQ(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(), "x@example.com",
                            "Report", QString(), {source}),
              !abandon);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM OUTBOX"), QStringList{abandon ? "0" : "1"});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM [OUTBOX ATTACHMENTS]"), QStringList{abandon ? "0" : "1"});
}

INSTANTIATE_TEST_SUITE_P(Answers, CopyFailure, ::testing::Values(msgbox::kYes, msgbox::kNo));

// Names ------------------------------------------------------------------------------------

// "path > name" pairs; an empty name where the path cannot name a file in the Temp folder.
TEST(TempNames, KeepOnlyTheLastPartAndRefuseWhatCannotBeAFileThere) {
    const QString cases =
        "c:\\Docs\\Plan.pdf > Plan.pdf; /home/ann/a b.txt > a b.txt; ../../etc/passwd > passwd; "
        "..\\..\\boot.ini > boot.ini; Plan.pdf > Plan.pdf; ..notes > ..notes; .. > ; . > ; "
        "docs/.. > ; docs\\... > ; docs/ > ;  > ";
    for (const QString& c : cases.split("; "))
        EXPECT_EQ(TempFileName(c.section(" > ", 0, 0)), c.section(" > ", 1)) << c.toStdString();
}

TEST_F(PostOfficeTest, AnAttachmentPathNeverLeadsOutOfTheTempFolder) {
    const QString temp = QDir::cleanPath(data.path() + "/Temp");
    for (const QString name :
         {"../Messages.mdb", "..\\Data.mdb", "/etc/passwd", "a/../../b.txt"}) {
        const QString path = AttachmentPath(name);
        ASSERT_FALSE(path.isEmpty()) << name.toStdString();
        EXPECT_EQ(QDir::cleanPath(QFileInfo(path).absolutePath()), temp) << name.toStdString();
    }
    EXPECT_TRUE(AttachmentPath("..").isEmpty());

    // A stored name that climbs out opens nothing outside: the copy it names is not there.
    ask.message(msgbox::kOk, "Messages.mdb");
    EXPECT_FALSE(OpenAttachment("../Messages.mdb"));
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(PostOfficeTest, ALinkInTheTempFolderIsReplacedNotWrittenThrough) {
    const QString outside = makeFile("precious.txt", "precious");
    QDir().mkpath(data.path() + "/Temp");
    ASSERT_TRUE(QFile::link(outside, tempFile("report.txt")));
    QDir().mkpath(files.path() + "/new");
    const QString source = makeFile("new/report.txt", "report");
    // A link to a file not there yet would create it outside if written through.
    const QString notYet = files.file("created-outside.txt");
    ASSERT_TRUE(QFile::link(notYet, tempFile("minutes.txt")));
    const QString minutes = makeFile("new/minutes.txt", "minutes");

    ASSERT_GT(deliver("admin", "mary", QString(), "Report", {source, minutes}), 0);
    EXPECT_EQ(contents(outside), "precious");
    EXPECT_FALSE(QFile::exists(notYet));
    for (const QString name : {"report", "minutes"}) {
        EXPECT_FALSE(QFileInfo(tempFile(name + ".txt")).isSymLink()) << name.toStdString();
        EXPECT_EQ(contents(tempFile(name + ".txt")), name.toUtf8());
    }
}

TEST_F(PostOfficeTest, OpeningAnAttachmentOpensItsCopyAndAGoneCopyIsReported) {
    ASSERT_GT(deliver("admin", "mary", QString(), "Plan", {makeFile("plan.pdf")}), 0);
    ASSERT_TRUE(OpenAttachment("plan.pdf"));
    EXPECT_EQ(opened, QStringList{AttachmentPath("plan.pdf")});

    QFile::remove(tempFile("plan.pdf"));
    ask.message(msgbox::kOk, "plan.pdf");
    EXPECT_FALSE(OpenAttachment("plan.pdf"));
    EXPECT_EQ(opened.size(), 1);
}

}  // namespace
}  // namespace tvtest
