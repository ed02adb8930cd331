// Finding and opening the post office: asking for the file when the setting does not lead
// to it, a damaged file offered for repair, and no handle left open between operations.
#include "post_office_fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace tvtest {
namespace {

using namespace tv::messaging;
namespace msgbox = tv::data::msgbox;

QString storedFolder() { return tv::Setting(tv::keys::PostOffice); }

TEST_F(PostOfficeTest, TheFileIsAskedForUntilOneNamedExactlyMessagesMdbIsChosen) {
    tv::SaveSetting(tv::keys::PostOffice, QString());
    ask.message(msgbox::kOk, "could not be found")
        .openFile(data.path() + "/messages.mdb", "Post Office")
        .message(msgbox::kOk, "could not be found")
        .openFile(postOffice(), "Post Office");
    ASSERT_GT(deliver("admin", "mary", QString(), "Found"), 0);
    EXPECT_EQ(storedFolder(), data.path());
    EXPECT_EQ(ask.asked().at(1).text, "Access Databases (*.mdb)|*.mdb");
}

TEST_F(PostOfficeTest, CancellingTheSearchSendsNothing) {
    const QString missing = files.path();  // a folder without Messages.mdb
    tv::SaveSetting(tv::keys::PostOffice, missing);
    ask.message(msgbox::kOk, missing).openFile(QString());
    EXPECT_EQ(deliver("admin", "mary", QString(), "Lost"), 0);
    ask.message(msgbox::kOk, missing).openFile(QString());
    EXPECT_FALSE(
        QueueOutbound(kSendFax, 0, QString(), QString(), QString(), "555", "Lost", QString(), {}));
    EXPECT_EQ(storedFolder(), missing);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM INBOX"), QStringList{"0"});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM OUTBOX"), QStringList{"0"});
    EXPECT_TRUE(statuses.empty());
}

TEST_F(PostOfficeTest, AFolderSavedWithATrailingSeparatorIsStoredWithoutIt) {
    tv::SaveSetting(tv::keys::PostOffice, data.path() + "\\");
    ASSERT_TRUE(LocatePostOffice());
    EXPECT_EQ(storedFolder(), data.path());
    tv::SaveSetting(tv::keys::PostOffice, data.path() + "/");
    ASSERT_TRUE(LocatePostOffice());
    EXPECT_EQ(storedFolder(), data.path());
}

TEST_F(PostOfficeTest, ADamagedPostOfficeIsOfferedForRepairAndAMissingOneNamed) {
    {
        QFile f(postOffice());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("garbage, not a database ").repeated(100));
    }
    ask.message(msgbox::kNo, postOffice());
    EXPECT_FALSE(OpenPostOffice(data.path()).IsOpen());

    // Nothing in it can be read: the repair fails and says so.
    ask.message(msgbox::kYes, postOffice()).message(msgbox::kOk, postOffice());
    EXPECT_FALSE(OpenPostOffice(data.path()).IsOpen());
    EXPECT_EQ(ask.messages().at(2).title, "Repair Failed");

    tv::data::StringListSink list;
    ask.message(msgbox::kNo, "damaged");
    EXPECT_FALSE(ListInbox(list, nullptr, false));

    // A missing file is named in the open failure.
    QFile::remove(postOffice());
    ask.message(msgbox::kOk, postOffice(), "Database Error");
    EXPECT_FALSE(OpenPostOffice(data.path()).IsOpen());
}

// The open files of this process that are the post office, from /proc (Linux).
int openHandlesTo(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    int count = 0;
    QDirIterator it("/proc/self/fd", QDir::Files | QDir::System);
    while (it.hasNext()) {
        const QString link = QFileInfo(it.next()).symLinkTarget();
        if (!link.isEmpty() && link == target) ++count;
    }
    return count;
}

TEST_F(PostOfficeTest, NoOperationKeepsThePostOfficeOpen) {
    if (!QFileInfo::exists("/proc/self/fd")) GTEST_SKIP() << "no /proc here";
    const int n = deliver("admin", "mary", "Acme", "One", {makeFile("a.txt")});
    ASSERT_GT(n, 0);
    EXPECT_EQ(openHandlesTo(postOffice()), 0) << "after DeliverLocal";
    tv::data::StringListSink list;
    ASSERT_TRUE(ListInbox(list, nullptr, true));
    ASSERT_TRUE(ReadInboxMessage(n).has_value());
    ASSERT_TRUE(MarkRead(n));
    EXPECT_EQ(UnreadState(), 0);
    ASSERT_TRUE(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(), "a@example.com", "S",
                              QString(), {}));
    EXPECT_EQ(openHandlesTo(postOffice()), 0) << "after the other operations";
}

}  // namespace
}  // namespace tvtest
