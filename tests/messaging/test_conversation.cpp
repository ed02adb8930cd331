// Two users writing to each other through the post office: delivering, listing, reading,
// marking read, passing on, deleting; the outbox; the mail indicator; attached files
// numbered in order, copied to the Temp folder only, gone, failing to copy, and opened.
#include "messaging/attachment_files.h"
#include "post_office_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

namespace tvtest {
namespace {

using namespace tv::messaging;
using tv::data::state;
namespace msgbox = tv::data::msgbox;

TEST_F(PostOfficeTest, AMessageTravelsFromOneUserToAnotherAndOn) {
    const int n = deliver("admin", "mary", "O'Brien Ltd", "Call back");
    ASSERT_GT(n, 0);
    EXPECT_EQ(statuses, std::vector<int>{908});

    state().CurrentUserId = "mary";
    EXPECT_EQ(UnreadState(), 1);
    state().CurrentUserId = "admin";
    EXPECT_EQ(UnreadState(), 0);

    EXPECT_EQ(inboxOf("mary"),
              QStringList{QString::number(n) + '\t' +
                          tv::Format(tv::Variant(tv::DateFromParts(2026, 3, 10, 9, 30, 0)),
                                     "General Date") +
                          "\tLocal\tUnread\tO'Brien Ltd"});
    EXPECT_EQ(headings, "No.\tReceived\tSent Via\tStatus\tCustomer");
    EXPECT_TRUE(inboxOf("admin").isEmpty());

    state().SharedValues[0] = QString::number(n);
    const std::optional<InboxMessage> m = ReadInboxMessage();
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->MessageNo, n);
    EXPECT_EQ(QStringList({m->ToName, m->ToAddress, m->UserId, m->ContactName, m->CustAddress,
                           m->CustomerName, m->SentVia, m->MsgSubject, m->MessageText})
                  .join('|'),
              "Mary O'Neil|Local|mary|System Administrator|admin|O'Brien Ltd|Local|Call back|"
              "<p>Body</p>");
    EXPECT_TRUE(m->Attachments.isEmpty());

    ASSERT_TRUE(MarkRead(n));
    state().CurrentUserId = "mary";
    EXPECT_EQ(UnreadState(), 0);
    EXPECT_EQ(inboxOf("mary").value(0).section(u'\t', 3, 3), "Read");

    // Passed back to the sender: unread again, still addressed to its first recipient.
    ASSERT_TRUE(Reassign(n, "admin"));
    EXPECT_TRUE(inboxOf("mary").isEmpty());
    state().CurrentUserId = "admin";
    EXPECT_EQ(UnreadState(), 1);
    EXPECT_EQ(ReadInboxMessage(n)->ToName, "Mary O'Neil");

    ASSERT_TRUE(DeleteMessage("inbox", n));
    EXPECT_TRUE(inboxOf("admin").isEmpty());
    EXPECT_FALSE(ReadInboxMessage(n).has_value());
    EXPECT_FALSE(MarkRead(n));
    EXPECT_FALSE(Reassign(n, "mary"));
}

TEST_F(PostOfficeTest, MessageNumbersAreDistinctAndListsAreOldestFirst) {
    const int first = deliver("admin", "mary", "Acme", "One");
    ask.setNow(tv::DateFromParts(2026, 3, 9, 9, 0, 0));  // an earlier clock on another desk
    const int second = deliver("mary", "mary", QString(), "Two");
    ASSERT_GT(first, 0);
    ASSERT_NE(first, second);

    const QStringList mine = inboxOf("mary");
    ASSERT_EQ(mine.size(), 2);
    EXPECT_EQ(mine[0].section(u'\t', 0, 0), QString::number(second));
    EXPECT_EQ(mine[0].section(u'\t', 4, 4), "Unknown");  // no customer
    EXPECT_TRUE(inboxOf("admin").isEmpty());
    EXPECT_EQ(inboxOf("admin", true).size(), 2);
    EXPECT_EQ(deliver("admin", QString(), "Acme", "Lost"), 0) << "no recipient, nothing written";
    EXPECT_EQ(rows("SELECT COUNT(*) FROM INBOX"), QStringList{"2"});
}

// Each kind is queued under its name, with no status of its own; the outbox lists its
// customer as it is (empty, not "Unknown") and only the user's messages unless asked.
TEST_F(PostOfficeTest, QueuedMessagesKeepTheirKindAndAreListedAsTheyAre) {
    state().CurrentUserId = "mary";
    for (const auto& [kind, outref] : {std::pair{kSendEmail, ""}, std::pair{kSendInternet, "REF-7"},
                                       std::pair{kSendFax, ""}, std::pair{9, "x"}})
        ASSERT_TRUE(QueueOutbound(kind, 1, outref, "Pat O'Hara", "O'Brien Ltd", "pat@example.com",
                                  "Quote", "Text", {}));
    EXPECT_EQ(rows("SELECT OUTREF, SENDVIA FROM OUTBOX ORDER BY MSGNO"),
              (QStringList{"|Email", "REF-7|Internet", "|Fax", "x|Fax"}));
    EXPECT_EQ(rows("SELECT PRIORITY, USERID, FROMNAME, TOCONTACT, COMPANY, TOADDRESS, SUBJECT, "
                   "MESSAGETEXT, HASATTACHMENTS, STATUS FROM OUTBOX WHERE MSGNO = 1"),
              QStringList{"1|mary|Mary O'Neil|Pat O'Hara|O'Brien Ltd|pat@example.com|Quote|Text|"
                          "False|Queued"});
    EXPECT_TRUE(statuses.empty()) << "queueing shows no status of its own";

    state().CurrentUserId = "admin";
    ASSERT_TRUE(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(), "a@example.com", "S",
                              QString(), {}));
    tv::data::StringListSink list;
    ASSERT_TRUE(ListOutbox(list, &headings, false));
    ASSERT_EQ(list.items.size(), 1);
    EXPECT_EQ(list.items[0].split(u'\t').mid(2), (QStringList{"Email", "Queued", ""}));
    EXPECT_EQ(headings, "No.\tSent\tSend Via\tStatus\tCustomer");
    ASSERT_TRUE(ListOutbox(list, nullptr, true));
    ASSERT_EQ(list.items.size(), 5);
    EXPECT_TRUE(list.items.join('\n').contains("\tFax\tQueued\tO'Brien Ltd"));
}

TEST_F(PostOfficeTest, DeletingAnOutboxMessageTakesItsAttachmentRowsDeleteMessageLeavesThem) {
    const QStringList attachment{makeFile("quote.pdf")};
    ASSERT_TRUE(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(), "a@example.com", "A",
                              QString(), attachment));
    ASSERT_TRUE(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(), "b@example.com", "B",
                              QString(), attachment));
    const QStringList numbers = rows("SELECT MSGNO FROM OUTBOX ORDER BY MSGNO");
    ASSERT_EQ(numbers.size(), 2);

    ASSERT_TRUE(DeleteOutboxMessage(numbers[0].toInt()));
    EXPECT_EQ(statuses, std::vector<int>{909});
    ASSERT_TRUE(DeleteMessage("Outbox", numbers[1].toInt()));
    EXPECT_TRUE(rows("SELECT * FROM OUTBOX").isEmpty());
    EXPECT_EQ(rows("SELECT MSGNO FROM [OUTBOX ATTACHMENTS]"), QStringList{numbers[1]});

    // Only the two boxes are named; a number not there is nothing to do.
    EXPECT_FALSE(DeleteMessage("Outbox Attachments", numbers[1].toInt()));
    EXPECT_FALSE(DeleteMessage("System Users", 1));
    EXPECT_TRUE(DeleteMessage("OUTBOX", 12345));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM [OUTBOX ATTACHMENTS]"), QStringList{"1"});
}

TEST_F(PostOfficeTest, WithoutAPostOfficeTheBoxesAreLeftAloneAndNothingIsAsked) {
    tv::SaveSetting(tv::keys::PostOffice, QString());
    tv::data::StringListSink list;
    list.items = QStringList{"earlier line"};
    EXPECT_FALSE(ListInbox(list, &headings, true));
    EXPECT_FALSE(ListOutbox(list, &headings, true));
    EXPECT_EQ(list.items, QStringList{"earlier line"});
    EXPECT_EQ(UnreadState(), -1);
    state().SharedValues[0] = "1";
    EXPECT_FALSE(ReadInboxMessage().has_value() || MarkRead(1) || Reassign(1, "mary") ||
                 DeleteMessage("Inbox", 1) || DeleteOutboxMessage(1) || OpenAttachment("a.txt"));
    EXPECT_TRUE(AttachmentPath("a.txt").isEmpty());
    EXPECT_TRUE(ask.asked().empty());
    EXPECT_TRUE(statuses.empty());
}

// The indicator ignores the status's case, and is -1 without a word for an unusable post office.
TEST_F(PostOfficeTest, UnreadStateIgnoresCaseAndIsMinusOneForAnUnusablePostOffice) {
    const int n = deliver("admin", "mary", "", "x");
    tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(postOffice());
    db.Execute(QStringLiteral("UPDATE INBOX SET STATUS = 'UNREAD' WHERE MSGNO = %1").arg(n));
    db.Close();
    tv::data::state().CurrentUserId = "mary";
    EXPECT_EQ(UnreadState(), 1);

    const auto unusable = [&](const char* what, const std::function<void()>& spoil) {
        SCOPED_TRACE(what);
        spoil();
        const size_t asked = ask.asked().size();
        EXPECT_EQ(UnreadState(), -1);
        EXPECT_EQ(ask.asked().size(), asked) << "the indicator asked the user something";
    };
    unusable("a database without an inbox", [&] {
        QFile::remove(postOffice());
        tv::engine::Engine::instance().CreateDatabase(postOffice()).Close();
    });
    unusable("a damaged file", [&] {
        QFile f(postOffice());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("This is not a database at all. ").repeated(200));
    });
    unusable("a folder without the file", [] {
        tv::SaveSetting(tv::keys::PostOffice, QDir::tempPath() + "/no-such-post-office");
    });
}

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

// Copies replace their namesakes but not themselves; a deleted message's rows stay its own.
TEST_F(PostOfficeTest, CopiesAndRowsReplaceTheirNamesakesButNotThemselves) {
    ASSERT_GT(deliver("admin", "mary", QString(), "v1", {makeFile("notes.txt", "first")}), 0);
    ASSERT_GT(deliver("admin", "mary", QString(), "v2", {makeFile("notes.txt", "second")}), 0);
    EXPECT_EQ(contents(tempFile("notes.txt")), "second");
    ASSERT_GT(deliver("admin", "mary", QString(), "Again", {tempFile("notes.txt")}), 0);
    EXPECT_EQ(contents(tempFile("notes.txt")), "second");
    EXPECT_TRUE(ask.asked().empty());

    // A deleted message's number is never given out again, so its attachment rows (which
    // stay behind) never show under a new message.
    const int old = deliver("admin", "mary", QString(), "salaries", {makeFile("salaries.xls")});
    ASSERT_TRUE(DeleteMessage("Inbox", old));
    const int next = deliver("mary", "admin", QString(), "lunch?");
    EXPECT_NE(next, old) << "a deleted message's number was given out again";
    EXPECT_TRUE(rows("SELECT FILENAME FROM [INBOX ATTACHMENTS] WHERE MSGNO = " +
                     QString::number(next))
                    .isEmpty());
}

// A copy that fails asks (naming the file) whether to take the message back: Yes leaves
// nothing written, any other answer sends it without that copy. Inbox and outbox alike.
TEST_F(PostOfficeTest, AFailedCopyTakesTheMessageBackOnYesAndSendsItOtherwise) {
    QFile blocker(tempFolder());  // a file where the Temp folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const QString source = makeFile("report.xls");
    for (const int answer : {msgbox::kYes, msgbox::kNo}) {
        const QStringList written{answer == msgbox::kYes ? "0" : "1"};
        statuses.clear();
        ask.message(answer, source).message(answer, source);
        EXPECT_EQ(deliver("admin", "mary", QString(), "Report", {source}) != 0, written[0] == "1");
        EXPECT_EQ(statuses.size(), written[0] == "1" ? 1u : 0u) << "delivered only on No";
        EXPECT_EQ(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(), "x@example.com",
                                "Report", QString(), {source}),
                  written[0] == "1");
        for (const char* table : {"INBOX", "[INBOX ATTACHMENTS]", "OUTBOX", "[OUTBOX ATTACHMENTS]"})
            EXPECT_EQ(rows(QString("SELECT COUNT(*) FROM ") + table), written) << table;
    }
}

// "path > name" pairs; an empty name where the path cannot name a file in the Temp folder.
TEST(TempNames, KeepOnlyTheLastPartAndRefuseWhatCannotBeAFileThere) {
    const QString cases =
        "c:\\Docs\\Plan.pdf > Plan.pdf; /home/ann/a b.txt > a b.txt; ../../etc/passwd > passwd; "
        "..\\..\\boot.ini > boot.ini; Plan.pdf > Plan.pdf; ..notes > ..notes; .. > ; . > ; "
        "docs/.. > ; docs\\... > ; docs/ > ;  > ";
    for (const QString& c : cases.split("; "))
        EXPECT_EQ(TempFileName(c.section(" > ", 0, 0)), c.section(" > ", 1)) << c.toStdString();
}

TEST_F(PostOfficeTest, LinksInOrAsTheTempFolderAreNeverWrittenThrough) {
    const QString outside = makeFile("precious.txt", "precious");
    QDir().mkpath(tempFolder());
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

    // A Temp folder that is itself a link is not followed: the copy is refused (the
    // sender is asked as for any failed copy) and no path inside it is given.
    ASSERT_TRUE(QDir(tempFolder()).removeRecursively());
    QDir().mkpath(files.path() + "/elsewhere");
    ASSERT_TRUE(QFile::link(files.path() + "/elsewhere", tempFolder()));
    ask.message(msgbox::kNo, "link");
    ASSERT_GT(deliver("admin", "mary", QString(), "Report", {source}), 0);
    EXPECT_TRUE(QDir(files.path() + "/elsewhere").isEmpty());
    EXPECT_TRUE(AttachmentPath("report.txt").isEmpty());
}

TEST_F(PostOfficeTest, OpeningAnAttachmentOpensItsCopyInTheTempFolderOnly) {
    ASSERT_GT(deliver("admin", "mary", QString(), "Plan", {makeFile("plan.pdf")}), 0);
    ASSERT_TRUE(OpenAttachment("plan.pdf"));
    EXPECT_EQ(opened, QStringList{AttachmentPath("plan.pdf")});

    QFile::remove(tempFile("plan.pdf"));
    ask.message(msgbox::kOk, "plan.pdf");
    EXPECT_FALSE(OpenAttachment("plan.pdf"));
    EXPECT_EQ(opened.size(), 1);

    // A stored name never leads out of the Temp folder, so one that climbs out opens nothing.
    const QString temp = QDir::cleanPath(tempFolder());
    for (const QString name : {"../Messages.mdb", "..\\Data.mdb", "/etc/passwd", "a/../../b.txt"})
        EXPECT_EQ(QDir::cleanPath(QFileInfo(AttachmentPath(name)).absolutePath()), temp)
            << name.toStdString();
    EXPECT_TRUE(AttachmentPath("..").isEmpty());
    ask.message(msgbox::kOk, "Messages.mdb");
    EXPECT_FALSE(OpenAttachment("../Messages.mdb"));
    EXPECT_EQ(opened.size(), 1);
}

}  // namespace
}  // namespace tvtest
