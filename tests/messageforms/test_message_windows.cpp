// Reading mail: the inbox list and its Delete, a message opened, answered, marked read on
// closing and filed in the customer's history with its attachment; and the mail-folder
// window over a Maildir, where a file that is no mail is named and skipped and a mail is
// filed with the customer whose contact sent it.
#include "messaging/post_office_fixture.h"

#include "forms/messages/mail_folders.h"
#include "forms/messages/mailbox_window.h"
#include "forms/messages/message_window.h"
#include "forms/messages/send_select.h"
#include "messaging/mail_store.h"

#include <QDir>
#include <QLineEdit>
#include <QTreeWidget>

namespace tvtest {
namespace {

using tv::data::msgbox::kOk;
using tv::data::msgbox::kYes;
using namespace tv::forms;

class MessageWindowsTest : public PostOfficeTest {
protected:
    void SetUp() override {
        PostOfficeTest::SetUp();
        tv::data::state().DataLocation = data.path();
        execData({"INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES ('O''Brien Ltd')",
                  "INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME], [EMAIL ADDRESS]) "
                  "VALUES ('O''Brien Ltd', 'Pat Kelly', 'pat@obrien.ie')"});
    }
    std::unique_ptr<MessageWindow> openMessage(int number) {
        tv::data::state().SharedValues[0] = QString::number(number);
        auto w = std::make_unique<MessageWindow>();
        EXPECT_TRUE(w->ShowMessageDetails());
        return w;
    }
};

TEST_F(MessageWindowsTest, TheInboxListsTheUsersMessagesAndDeletesTheSelectedOneAfterAsking) {
    deliver("mary", "admin", "", "First");
    const int second = deliver("mary", "admin", "O'Brien Ltd", "Second");
    deliver("admin", "mary", "", "Not mine");
    tv::data::state().CurrentUserId = "admin";
    MailboxWindow inbox(MailboxWindow::Box::Inbox);
    auto* list = inbox.findChild<QTreeWidget*>("List1");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(4), "Unknown");
    EXPECT_TRUE(list->topLevelItem(1)->font(0).bold());  // unread
    list->clearSelection();
    ask.message(kOk, "no message selected");
    inbox.deleteSelected();
    list->setCurrentItem(list->topLevelItem(1));
    ask.message(kYes, QString::number(second));
    inbox.deleteSelected();
    EXPECT_EQ(rows("SELECT SUBJECT FROM INBOX ORDER BY MSGNO"), (QStringList{"First", "Not mine"}));
}

TEST_F(MessageWindowsTest, AReplyAddsReAndClosingMarksTheMessageRead) {
    const int n = deliver("mary", "admin", "O'Brien Ltd", "RE: Toner");
    tv::data::state().CurrentUserId = "admin";
    auto w = openMessage(n);
    std::unique_ptr<SendSelect> reply(w->reply());
    EXPECT_EQ(reply->findChild<QLineEdit*>("Subject")->text(), "RE: RE: Toner");
    EXPECT_EQ(reply->findChild<QLineEdit*>("Address")->text(), "mary");  // back to her inbox
    EXPECT_EQ(reply->route(), SendSelect::Email);
    w->close();
    EXPECT_EQ(rows("SELECT STATUS FROM INBOX"), QStringList{"Read"});
}

TEST_F(MessageWindowsTest, FilingMakesAnActivityMovesTheAttachmentAndTakesTheMessageOut) {
    const int n = deliver("mary", "admin", "O'Brien Ltd", "Toner", {makeFile("Plan.pdf")});
    tv::data::state().CurrentUserId = "admin";
    auto w = openMessage(n);
    ask.message(kYes, "attachments");
    ASSERT_TRUE(w->fileInHistory());
    EXPECT_EQ(dataRows("SELECT [ACTIVITY TYPE], DESCRIPTION, [CONTACT NAME] FROM ACTIVITIES"),
              QStringList{"Local Email|Toner|Mary O'Neil"});
    EXPECT_EQ(dataValue("SELECT FILEPATH FROM [CUSTOMER ATTACHMENTS]"), "Attachments/Plan.pdf");
    EXPECT_TRUE(QFileInfo::exists(data.path() + "/Attachments/Plan.pdf"));
    EXPECT_FALSE(QFileInfo::exists(tempFile("Plan.pdf")));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM INBOX"), QStringList{"0"});
}

TEST_F(MessageWindowsTest, TheMailFolderWindowSkipsWhatIsNoMailAndFilesAMailWithItsSender) {
    const QString store = files.path() + "/Maildir";
    for (const char* sub : {"cur", "new", "tmp"}) QDir().mkpath(store + "/" + sub);
    QFile mail(store + "/new/1733400000.A.host");
    ASSERT_TRUE(mail.open(QIODevice::WriteOnly));
    mail.write("From: Pat Kelly <PAT@obrien.ie>\nSubject: Order\n\nTen boxes please.\n");
    mail.close();
    QFile junk(store + "/cur/junk.bin");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.close();
    tv::SaveSetting(tv::messaging::kMailStoreKey, store);

    MailFolders w;
    ASSERT_TRUE(w.showStore());
    QTreeWidgetItem* folder = w.rootNode()->child(0);
    ask.message(kOk, "junk.bin");
    ASSERT_EQ(w.expandFolder(folder), 1);
    ASSERT_TRUE(w.openItem(folder->child(0)));
    EXPECT_FALSE(folder->child(0)->font(0).bold());
    ask.message(kOk, "O'Brien Ltd");
    ASSERT_TRUE(w.saveDetails());
    EXPECT_EQ(dataRows("SELECT [ACTIVITY TYPE], DESCRIPTION, [CONTACT NAME] FROM ACTIVITIES"),
              QStringList{"Internet Email|Order|Pat Kelly"});
}

}  // namespace
}  // namespace tvtest
