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
    const QString gone = files.file(QStringLiteral("gone.doc"));
    QStringList skipped;
    tv::data::state().SharedValues[0] = QStringLiteral("mary");
    ASSERT_TRUE(DeliverLocal(QStringLiteral("Acme"), QStringLiteral("Plans"), QString(),
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

TEST_F(PostOfficeTest, AnAttachmentAlreadyInTheTempFolderIsNotCopiedOverItself) {
    QDir().mkpath(data.path() + "/Temp");
    QFile existing(tempFile("minutes.txt"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("minutes");
    existing.close();

    ASSERT_GT(deliver("admin", "mary", QString(), QStringLiteral("Again"), {existing.fileName()}),
              0);
    EXPECT_EQ(contents(tempFile("minutes.txt")), "minutes");
    EXPECT_TRUE(ask.asked().empty());
}

TEST_F(PostOfficeTest, ACopyNamedLikeAnEarlierOneReplacesIt) {
    ASSERT_GT(deliver("admin", "mary", QString(), "v1", {makeFile("notes.txt", "first")}), 0);
    ASSERT_GT(deliver("admin", "mary", QString(), "v2", {makeFile("notes.txt", "second")}), 0);
    EXPECT_EQ(contents(tempFile("notes.txt")), "second");
}

TEST_F(PostOfficeTest, ANewMessageNeverListsTheAttachmentsOfADeletedOne) {
    const int old = deliver("admin", "mary", QString(), "salaries", {makeFile("salaries.xls")});
    ASSERT_TRUE(DeleteMessage(QStringLiteral("Inbox"), old));  // its attachment row stays
    const int next = deliver("mary", "admin", QString(), "lunch?");
    EXPECT_NE(next, old) << "a deleted message's number was given out again";
    EXPECT_EQ(rows(QStringLiteral("SELECT FILENAME FROM [INBOX ATTACHMENTS] WHERE MSGNO = %1")
                       .arg(next)),
              QStringList());
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
    const QString source = makeFile(QStringLiteral("report.xls"));
    ask.message(GetParam(), source);  // the question names the file

    const bool delivered =
        deliver("admin", "mary", QString(), QStringLiteral("Report"), {source}) != 0;
    EXPECT_EQ(delivered, !abandon);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM INBOX")), QStringList{abandon ? "0" : "1"});
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM [INBOX ATTACHMENTS]")),
              QStringList{abandon ? "0" : "1"});
    EXPECT_EQ(statuses.size(), abandon ? 0u : 1u);

    statuses.clear();
    ask.message(GetParam(), source);
    tv::data::state().CurrentUserId = QStringLiteral("admin");
    EXPECT_EQ(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(),
                            QStringLiteral("x@example.com"), QStringLiteral("Report"), QString(),
                            {source}),
              !abandon);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM OUTBOX")),
              QStringList{abandon ? "0" : "1"});
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM [OUTBOX ATTACHMENTS]")),
              QStringList{abandon ? "0" : "1"});
}

INSTANTIATE_TEST_SUITE_P(Answers, CopyFailure, ::testing::Values(msgbox::kYes, msgbox::kNo));

// Names ------------------------------------------------------------------------------------

struct NameCase {
    const char* path;
    const char* name;  // "" when refused
};

class TempNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(TempNames, KeepOnlyTheLastPartAndRefuseWhatCannotBeAFileThere) {
    EXPECT_EQ(TempFileName(QString::fromUtf8(GetParam().path)), QString::fromUtf8(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Paths, TempNames,
                         ::testing::Values(NameCase{"c:\\Docs\\Plan.pdf", "Plan.pdf"},
                                           NameCase{"/home/ann/a b.txt", "a b.txt"},
                                           NameCase{"../../etc/passwd", "passwd"},
                                           NameCase{"..\\..\\boot.ini", "boot.ini"},
                                           NameCase{"Plan.pdf", "Plan.pdf"}, NameCase{"..", ""},
                                           NameCase{".", ""}, NameCase{"docs/..", ""},
                                           NameCase{"docs\\...", ""}, NameCase{"docs/", ""},
                                           NameCase{"", ""}, NameCase{"..notes", "..notes"}));

TEST_F(PostOfficeTest, AnAttachmentPathNeverLeadsOutOfTheTempFolder) {
    const QString temp = QDir::cleanPath(data.path() + "/Temp");
    for (const QString& name : {QStringLiteral("../Messages.mdb"), QStringLiteral("..\\Data.mdb"),
                                QStringLiteral("/etc/passwd"), QStringLiteral("a/../../b.txt")}) {
        const QString path = AttachmentPath(name);
        ASSERT_FALSE(path.isEmpty()) << name.toStdString();
        EXPECT_EQ(QDir::cleanPath(QFileInfo(path).absolutePath()), temp) << name.toStdString();
    }
    EXPECT_TRUE(AttachmentPath(QStringLiteral("..")).isEmpty());

    // A stored name that climbs out opens nothing outside: the copy it names is not there.
    ask.message(msgbox::kOk, QStringLiteral("Messages.mdb"));
    EXPECT_FALSE(OpenAttachment(QStringLiteral("../Messages.mdb")));
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(PostOfficeTest, ALinkInTheTempFolderIsReplacedNotWrittenThrough) {
    const QString outside = makeFile(QStringLiteral("precious.txt"), "precious");
    QDir().mkpath(data.path() + "/Temp");
    ASSERT_TRUE(QFile::link(outside, tempFile("report.txt")));
    QDir().mkpath(files.path() + "/new");
    QFile source(files.path() + "/new/report.txt");
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write("report");
    source.close();

    // A link to a file not there yet would create it outside if written through.
    const QString notYet = files.file(QStringLiteral("created-outside.txt"));
    ASSERT_TRUE(QFile::link(notYet, tempFile("minutes.txt")));
    QFile minutes(files.path() + "/new/minutes.txt");
    ASSERT_TRUE(minutes.open(QIODevice::WriteOnly));
    minutes.write("minutes");
    minutes.close();

    ASSERT_GT(deliver("admin", "mary", QString(), QStringLiteral("Report"),
                      {source.fileName(), minutes.fileName()}),
              0);
    EXPECT_EQ(contents(outside), "precious");
    EXPECT_FALSE(QFile::exists(notYet));
    for (const QString& name : {QStringLiteral("report.txt"), QStringLiteral("minutes.txt")}) {
        EXPECT_FALSE(QFileInfo(tempFile(name)).isSymLink()) << name.toStdString();
    }
    EXPECT_EQ(contents(tempFile("report.txt")), "report");
    EXPECT_EQ(contents(tempFile("minutes.txt")), "minutes");
}

TEST_F(PostOfficeTest, OpeningAnAttachmentOpensItsCopyAndAGoneCopyIsReported) {
    ASSERT_GT(deliver("admin", "mary", QString(), QStringLiteral("Plan"), {makeFile("plan.pdf")}),
              0);
    ASSERT_TRUE(OpenAttachment(QStringLiteral("plan.pdf")));
    EXPECT_EQ(opened, QStringList{AttachmentPath(QStringLiteral("plan.pdf"))});

    QFile::remove(tempFile("plan.pdf"));
    ask.message(msgbox::kOk, QStringLiteral("plan.pdf"));
    EXPECT_FALSE(OpenAttachment(QStringLiteral("plan.pdf")));
    EXPECT_EQ(opened.size(), 1);
}

}  // namespace
}  // namespace tvtest
