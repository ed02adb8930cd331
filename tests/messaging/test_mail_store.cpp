// Reading the user's own mail store: the folder tree of a Maildir with Maildir++ and
// nested folders and of mbox files, a folder's messages in received order with their
// unread state, files that are no mail skipped and named, and attachments that are never
// written outside the folder asked for.
#include "common/test_support.h"
#include "messaging/mail_store.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace tvtest {
namespace {

using namespace tv::messaging;

QByteArray mail(const QByteArray& from, const QByteArray& subject, const QByteArray& extra = {}) {
    return "From: " + from + "\nTo: amy@example.com\nSubject: " + subject +
           "\nDate: Sat, 05 Dec 2026 10:00:00 +0000\n" + extra + "\nHello there.\n";
}

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void makeMaildir(const QString& path) {
    for (const char* sub : {"cur", "new", "tmp"}) QDir().mkpath(path + "/" + sub);
}

const MailFolder* child(const MailFolder& f, const QString& name) {
    for (const MailFolder& c : f.children)
        if (c.name == name) return &c;
    return nullptr;
}

class MailStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = store.path() + "/Mail";
        makeMaildir(root);
        // Delivered at 300, 100 and 200 seconds past the epoch; the second one is seen.
        write(root + "/new/300.A.host", mail("Pat O'Brien <pat@obrien.ie>", "Third"));
        write(root + "/cur/100.B.host:2,S", mail("ann@acme.com", "First"));
        write(root + "/cur/200.C.host:2,", mail("\"Bo\" <bo@acme.com>", "Second"));
        write(root + "/cur/400.D.host:2,S", "");  // no mail at all
        makeMaildir(root + "/.Customers");
        makeMaildir(root + "/.Customers.Acme");
        write(root + "/.Customers.Acme/new/500.E.host", mail("ann@acme.com", "Acme order"));
        makeMaildir(root + "/Archive/2025");
        write(root + "/Archive/2025/cur/50.F.host:2,S", mail("old@acme.com", "Old"));
    }
    ScratchFolder store;
    QString root;
};

TEST_F(MailStoreTest, TheTreeNestsMaildirPlusPlusAndPlainFoldersWithTheirCounts) {
    const std::optional<MailFolder> tree = ReadMailTree(root);
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->kind, MailFolder::Kind::Maildir);
    EXPECT_EQ(tree->total, 4);
    EXPECT_EQ(tree->unread, 2);  // the new one and the one without "S"
    const MailFolder* customers = child(*tree, "Customers");
    ASSERT_TRUE(customers);
    const MailFolder* acme = child(*customers, "Acme");
    ASSERT_TRUE(acme);
    EXPECT_EQ(acme->total, 1);
    const MailFolder* archive = child(*tree, "Archive");
    ASSERT_TRUE(archive && child(*archive, "2025"));
    EXPECT_EQ(child(*archive, "2025")->kind, MailFolder::Kind::Maildir);
    EXPECT_FALSE(ReadMailTree(store.path() + "/nothing"));
}

TEST_F(MailStoreTest, MessagesComeOldestFirstAndAFileThatIsNoMailIsNamedAndSkipped) {
    QStringList malformed;
    std::vector<MailItem> items = ReadMailItems(*ReadMailTree(root), &malformed);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].subject, "First");
    EXPECT_EQ(items[1].from, "Bo");
    EXPECT_EQ(items[2].fromAddress, "pat@obrien.ie");
    EXPECT_FALSE(items[0].unread);
    EXPECT_TRUE(items[1].unread);
    EXPECT_EQ(malformed, QStringList{"400.D.host:2,S"});

    // Opening marks the message seen: its file moves to cur/ with the S flag.
    ASSERT_TRUE(MarkMailRead(items[2]));
    EXPECT_EQ(QFileInfo(items[2].path).fileName(), "300.A.host:2,S");
    EXPECT_TRUE(QFileInfo::exists(root + "/cur/300.A.host:2,S"));
    EXPECT_EQ(ReadMailTree(root)->unread, 1);
}

TEST_F(MailStoreTest, AnMboxFolderListsItsMessagesAndOpensOneByItsPlace) {
    const QString box = store.path() + "/Local/Inbox";
    write(box, "From a@x Sat Dec  5 10:00:00 2026\n" + mail("a@x.com", "One", "Status: RO\n") +
                   "\nFrom b@x Sat Dec  5 11:00:00 2026\n" + mail("b@x.com", "Two"));
    const std::optional<MailFolder> tree = ReadMailTree(store.path() + "/Local");
    ASSERT_TRUE(tree && child(*tree, "Inbox"));
    const MailFolder& inbox = *child(*tree, "Inbox");
    EXPECT_EQ(inbox.total, 2);
    const std::vector<MailItem> items = ReadMailItems(inbox);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_FALSE(items[0].unread);
    EXPECT_TRUE(items[1].unread);
    const std::optional<MailContent> second = ReadMailContent(items[1]);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->item.subject, "Two");
    EXPECT_TRUE(second->text.contains("Hello there."));
}

TEST_F(MailStoreTest, AttachmentsAreWrittenOnlyInsideTheFolderUnderTheirBareNames) {
    const QByteArray body =
        "From: ann@acme.com\nSubject: Files\nMIME-Version: 1.0\n"
        "Content-Type: multipart/mixed; boundary=XX\n\n--XX\nContent-Type: text/plain\n\nSee attached.\n"
        "--XX\nContent-Type: text/plain\nContent-Disposition: attachment; filename=\"../../escape.txt\"\n"
        "Content-Transfer-Encoding: base64\n\nc2VjcmV0\n"
        "--XX\nContent-Type: text/plain\nContent-Disposition: attachment; filename=\"escape.txt\"\n\nsecond\n--XX--\n";
    write(root + "/cur/600.G.host:2,S", body);
    MailItem item;
    for (const MailItem& i : ReadMailItems(*ReadMailTree(root)))
        if (i.subject == "Files") item = i;
    const std::optional<MailContent> content = ReadMailContent(item);
    ASSERT_TRUE(content);
    EXPECT_EQ(content->attachments, (QStringList{"../../escape.txt", "escape.txt"}));
    EXPECT_TRUE(content->text.contains("See attached."));

    const QString into = store.path() + "/a/b/out";
    const QStringList written = SaveMailAttachments(item, into);
    EXPECT_EQ(written, (QStringList{into + "/escape.txt", into + "/escape (2).txt"}));
    EXPECT_FALSE(QFileInfo::exists(store.path() + "/a/escape.txt"));
    QFile decoded(written.value(0));
    ASSERT_TRUE(decoded.open(QIODevice::ReadOnly));
    EXPECT_EQ(decoded.readAll(), "secret");
}

}  // namespace
}  // namespace tvtest
