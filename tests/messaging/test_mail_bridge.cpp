// Handing a message to the desktop's mail program: the recipient's form by the
// "SimpleEmailAddress" option, the arguments xdg-email gets, files that are gone left out
// and reported, and the mailto: link when xdg-email is missing.
#include "core/settings_keys.h"
#include "messaging/mail_bridge.h"
#include "post_office_fixture.h"

namespace tvtest {
namespace {

using namespace tv::messaging;

class FakeLauncher : public MailLauncher {
public:
    bool available(const QString&) override { return hasProgram; }
    bool start(const QString& program, const QStringList& arguments, QString* error) override {
        started << program;
        args = arguments;
        if (!works && error) *error = "No such program";
        return works;
    }
    bool openUrl(const QString& url) override {
        urls << url;
        return true;
    }
    bool hasProgram = true;
    bool works = true;
    QStringList started, args, urls;
};

class MailBridgeTest : public PostOfficeTest {
protected:
    void SetUp() override {
        PostOfficeTest::SetUp();
        before = setMailLauncher(&launcher);
    }
    void TearDown() override {
        setMailLauncher(before);
        PostOfficeTest::TearDown();
    }
    FakeLauncher launcher;
    MailLauncher* before = nullptr;
};

TEST(MailRecipient, BareOrDisplayFormWithTheNameQuotedWhenItMustBe) {
    EXPECT_EQ(ComposeRecipient("Pat Kelly", " pat@x.ie ", true), "pat@x.ie");
    EXPECT_EQ(ComposeRecipient("Pat Kelly", "pat@x.ie", false), "Pat Kelly <pat@x.ie>");
    EXPECT_EQ(ComposeRecipient("Pat O'Brien", "pat@x.ie", false), "\"Pat O'Brien\" <pat@x.ie>");
    EXPECT_EQ(ComposeRecipient("Kelly, \"Pat\"", "pat@x.ie", false),
              "\"Kelly, \\\"Pat\\\"\" <pat@x.ie>");
    EXPECT_EQ(ComposeRecipient("", "pat@x.ie", false), "pat@x.ie");
}

TEST_F(MailBridgeTest, TheComposeWindowGetsRecipientSubjectBodyAndTheFilesThatExist) {
    const QString plan = makeFile("Plan.pdf");
    const QString gone = files.file("Gone.pdf");
    QStringList skipped;
    tv::SaveSetting(tv::keys::SimpleEmailAddress, "False");
    ASSERT_TRUE(ComposeInMailProgram("Pat O'Brien", "pat@x.ie", "Quote", "Dear Pat", {plan, gone},
                                     &skipped));
    EXPECT_EQ(launcher.started, QStringList{"xdg-email"});
    EXPECT_EQ(launcher.args, (QStringList{"--utf8", "--subject", "Quote", "--body", "Dear Pat",
                                          "--attach", plan, "\"Pat O'Brien\" <pat@x.ie>"}));
    EXPECT_EQ(skipped, QStringList{gone});

    tv::SaveSetting(tv::keys::SimpleEmailAddress, "True");
    ASSERT_TRUE(ComposeInMailProgram("Pat", "pat@x.ie", "Quote", "", {}));
    EXPECT_EQ(launcher.args.last(), "pat@x.ie");
}

TEST_F(MailBridgeTest, WithoutXdgEmailAMailtoLinkIsOpenedAndTheFilesReported) {
    launcher.hasProgram = false;
    const QString plan = makeFile("Plan.pdf");
    QStringList skipped;
    ASSERT_TRUE(ComposeInMailProgram("Pat", "pat@x.ie", "A & B", "Hi", {plan}, &skipped));
    ASSERT_EQ(launcher.urls.size(), 1);
    EXPECT_TRUE(launcher.urls[0].startsWith("mailto:pat@x.ie?subject=A%20%26%20B")) << launcher.urls[0].toStdString();
    EXPECT_EQ(skipped, QStringList{plan});
}

TEST_F(MailBridgeTest, AProgramThatWillNotStartIsReportedAndTheSendFails) {
    launcher.works = false;
    ask.message(tv::data::msgbox::kOk, "No such program");
    EXPECT_FALSE(ComposeInMailProgram("Pat", "pat@x.ie", "Quote", "", {}));
}

}  // namespace
}  // namespace tvtest
