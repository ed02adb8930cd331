// The mail indicator: the timer's tick shows the "Mail" panel while the inbox holds
// messages and beeps for unread ones, stops for good when mail goes through Outlook, and
// follows a real post office as messages arrive and are deleted.
#include "app_fixture.h"

#include "app/mail_check.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "messaging/msg_client.h"

#include <QLabel>
#include <QTimer>

namespace tvtest {
namespace {

using tv::data::state;

TEST_F(MainFormTest, EachMailAnswerShowsOrHidesThePanel) {
    auto form = openMainForm(false);
    QLabel* mail = form->statusPanel(5);
    EXPECT_TRUE(mail->isHidden());

    struct Case {
        int answer;
        bool shown;
        int beeps;
    };
    const Case cases[] = {{1, true, 3}, {0, true, 0}, {-1, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const int beepsBefore = ask.beeps();
        mailAnswer = c.answer;
        form->checkMail();
        EXPECT_EQ(!mail->isHidden(), c.shown);
        EXPECT_EQ(ask.beeps() - beepsBefore, c.beeps);
    }
    EXPECT_TRUE(form->mailTimer()->isActive());
    EXPECT_EQ(form->mailTimer()->interval(), 30000);
}

TEST_F(MainFormTest, OutlookMailStopsPollingForGood) {
    auto form = openMainForm(false);
    mailAnswer = 1;
    form->checkMail();
    ASSERT_FALSE(form->statusPanel(5)->isHidden());

    tv::SaveSetting(tv::keys::EmailType, QStringLiteral("1"));
    const int checks = mailChecks;
    form->checkMail();
    EXPECT_EQ(mailChecks, checks) << "the post office is not asked";
    EXPECT_TRUE(form->statusPanel(5)->isHidden());
    EXPECT_FALSE(form->mailTimer()->isActive());
    EXPECT_EQ(state().MailCheckMode, 1);
}

TEST_F(MainFormTest, TheFirstActivationLooksForMailAtOnce) {
    mailAnswer = 0;
    auto form = openMainForm();
    EXPECT_EQ(mailChecks, 1);
    EXPECT_FALSE(form->statusPanel(5)->isHidden());
}

// The message client's own check: no post office, then one with a message arriving and
// being deleted.
TEST_F(MainFormTest, MailPanelFollowsThePostOffice) {
    tv::app::setMailCheck(nullptr);
    tv::SaveSetting(tv::keys::PostOffice, data.file(QStringLiteral("nowhere")));
    auto form = openMainForm(false);
    QLabel* mail = form->statusPanel(5);
    form->checkMail();
    EXPECT_TRUE(mail->isHidden()) << "no post office shows no indicator";

    tv::SaveSetting(tv::keys::PostOffice, data.path());
    state().SharedValues[0] = QStringLiteral("admin");
    ASSERT_TRUE(tv::messaging::DeliverLocal(QStringLiteral("O'Brien Ltd"),
                                            QStringLiteral("Call back"),
                                            QStringLiteral("About the service contract"), {}));
    form->checkMail();
    EXPECT_FALSE(mail->isHidden());
    EXPECT_EQ(ask.beeps(), 3);

    tv::data::StringListSink inbox;
    QString headings;
    ASSERT_TRUE(tv::messaging::ListInbox(inbox, &headings, false));
    ASSERT_EQ(inbox.items.size(), 1);
    const int number = inbox.items.first().section(u'\t', 0, 0).toInt();
    ASSERT_TRUE(tv::messaging::DeleteMessage(QStringLiteral("Inbox"), number));
    form->checkMail();
    EXPECT_TRUE(mail->isHidden());
}

}  // namespace
}  // namespace tvtest
