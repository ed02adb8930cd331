// The send window's routes: a colleague's inbox (the name matched in any letter case),
// the outbox, or the desktop's mail program by the "EmailType" option, each send logged
// with the customer; what it refuses; files that are gone named afterwards; and form
// letters merged as they are chosen.
#include "messaging/post_office_fixture.h"

#include "common/pdf_text.h"

#include "forms/messages/send_select.h"
#include "messaging/mail_bridge.h"

#include <QLineEdit>
#include <QTextEdit>

namespace tvtest {
namespace {

using tv::data::msgbox::kNo;
using tv::data::msgbox::kOk;
using tv::forms::SendSelect;

class RecordingLauncher : public tv::messaging::MailLauncher {
public:
    bool available(const QString&) override { return true; }
    bool start(const QString&, const QStringList& arguments, QString*) override {
        args = arguments;
        return true;
    }
    bool openUrl(const QString&) override { return false; }
    QStringList args;
};

class SendSelectTest : public PostOfficeTest {
protected:
    void SetUp() override {
        PostOfficeTest::SetUp();
        before = tv::messaging::setMailLauncher(&launcher);
        execData({"INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES ('O''Brien Ltd')",
                  "INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME], FAXNO, [EMAIL ADDRESS], SALUTATION) "
                  "VALUES ('O''Brien Ltd', 'Pat Kelly', '021 555', 'pat@obrien.ie', 'Pat')",
                  "INSERT INTO [FORM LETTERS] (LETTERID, CATEGORY, DESCRIPTION, LETTERTEXT) "
                  "VALUES ('HELLO', 'Sales', 'Hello', '<p>Dear [Contacts:Salutation],</p>')"});
    }
    void TearDown() override {
        tv::messaging::setMailLauncher(before);
        PostOfficeTest::TearDown();
    }
    // The window addressed to a contact, with a letter of the sender's own.
    std::unique_ptr<SendSelect> compose(const QString& contact, SendSelect::Route route) {
        auto w = std::make_unique<SendSelect>();
        w->setRecipient("O'Brien Ltd", contact);
        w->setRoute(route);
        w->LoadContactNumbers();
        w->setSubject("Toner");
        w->setLetter("<p>See you soon</p>");
        return w;
    }
    void execPostOffice(const QString& sql) {
        tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(postOffice());
        db.Execute(sql);
        db.Close();
    }
    QString sendLog() {
        return dataRows("SELECT [ACTIVITY TYPE], DESCRIPTION, [CONTACT NAME] FROM ACTIVITIES").join(u'\n');
    }
    RecordingLauncher launcher;
    tv::messaging::MailLauncher* before = nullptr;
};

TEST_F(SendSelectTest, AColleaguesNameInAnyCaseDeliversToTheirInboxAndNamesTheFilesLeftOut) {
    tv::SaveSetting(tv::keys::BillActivities, "1");
    auto w = compose("MARY O'NEIL", SendSelect::Email);
    EXPECT_EQ(w->findChild<QLineEdit*>("Address")->text(), "mary");
    w->addFile(makeFile("Plan.pdf"));
    w->addFile(files.file("Gone.pdf"));
    ask.message(kOk, files.file("Gone.pdf"), "Send");
    ASSERT_TRUE(w->send());
    EXPECT_EQ(rows("SELECT USERID, COMPANY, SUBJECT, STATUS FROM INBOX"),
              QStringList{"mary|O'Brien Ltd|Toner|Unread"});
    EXPECT_EQ(rows("SELECT ATTACHNO, FILENAME FROM [INBOX ATTACHMENTS]"), QStringList{"1|Plan.pdf"});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM OUTBOX"), QStringList{"0"});
    EXPECT_EQ(sendLog(), "Local Email|Message sent to a colleague (Toner)|MARY O'NEIL");
    EXPECT_EQ(dataValue("SELECT BILLABLE FROM ACTIVITIES"), "True");
}

TEST_F(SendSelectTest, EachRouteGoesToTheOutboxOrTheMailProgramByTheEmailType) {
    struct Case {
        SendSelect::Route route;
        const char* emailType;
        const char* outbox;    // SENDVIA|TOADDRESS of the queued row, "" for none
        bool mailProgram;
        const char* logged;
    } cases[] = {
        {SendSelect::Internet, "0", "Internet|pat@obrien.ie", false, "Internet Email"},
        {SendSelect::Email, "0", "Email|pat@obrien.ie", false, "Local Email"},
        {SendSelect::Fax, "0", "Fax|021 555", false, "Fax"},
        {SendSelect::Internet, "1", "", true, "Internet Email"},
        {SendSelect::Fax, "1", "Fax|021 555", false, "Fax"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.logged) + " with EmailType " + c.emailType);
        execData({"DELETE * FROM ACTIVITIES"});
        tv::SaveSetting(tv::keys::EmailType, c.emailType);
        launcher.args.clear();
        ASSERT_TRUE(compose("Pat Kelly", c.route)->send());
        EXPECT_EQ(rows("SELECT SENDVIA, TOADDRESS FROM OUTBOX").join(""), c.outbox);
        execPostOffice("DELETE * FROM OUTBOX");
        const QStringList composed{"--utf8", "--subject", "Toner", "--body", "See you soon"};
        EXPECT_EQ(launcher.args.mid(0, 5), c.mailProgram ? composed : QStringList());
        EXPECT_EQ(dataValue("SELECT [ACTIVITY TYPE] FROM ACTIVITIES"), c.logged);
    }
}

TEST_F(SendSelectTest, NothingIsSentOrLoggedWithoutSomethingToSendARecipientOrAnAddress) {
    auto empty = std::make_unique<SendSelect>();
    ask.message(kOk, "nothing to send");
    EXPECT_FALSE(empty->send());
    ask.message(kOk, "name of the person");
    EXPECT_FALSE(compose("", SendSelect::Internet)->send());
    ask.message(kOk, "address");
    EXPECT_FALSE(compose("Someone New", SendSelect::Fax)->send());
    EXPECT_EQ(rows("SELECT COUNT(*) FROM OUTBOX"), QStringList{"0"});
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM ACTIVITIES"), "0");
}

TEST_F(SendSelectTest, APrintedLetterGoesToThePrinterChosenAndIsLoggedAsPrinted) {
    tv::data::state().DataLocation = data.path();
    auto w = compose("Pat Kelly", SendSelect::Print);
    ask.printer(true, files.file("letter.pdf"));
    ASSERT_TRUE(w->send());
    EXPECT_TRUE(pdfPages(files.file("letter.pdf")).join("").contains("See you soon"));
    EXPECT_EQ(sendLog(), "Letter|Letter printed (Custom letter)|Pat Kelly");
    ask.printer(false);  // the dialog cancelled: nothing printed, nothing logged
    EXPECT_FALSE(compose("Pat Kelly", SendSelect::Print)->send());
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM ACTIVITIES"), "1");
}

TEST_F(SendSelectTest, AChosenLetterIsMergedAndAnEditedOneIsKeptWhenTheUserSaysNo) {
    SendSelect w;
    w.setRecipient("O'Brien Ltd", "Pat Kelly");
    ASSERT_TRUE(w.chooseLetter("HELLO"));
    auto* box = w.findChild<QTextEdit*>("RichTextBox1");
    EXPECT_EQ(box->toPlainText(), "Dear Pat,");
    EXPECT_EQ(w.findChild<QLineEdit*>("Subject")->text(), "Hello");
    box->setPlainText("My own words");
    ask.message(kNo, "changed the letter");
    EXPECT_FALSE(w.chooseLetter("HELLO"));
    EXPECT_EQ(box->toPlainText(), "My own words");
}

}  // namespace
}  // namespace tvtest
