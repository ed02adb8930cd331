// The sign-in window: what it shows on load, where the focus goes, and what pressing
// Login does with right, wrong and odd input.
#include "app/login.h"
#include "app_fixture.h"

#include "app/sign_in.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "data/prompter.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

namespace tvtest {
namespace {

namespace msgbox = tv::data::msgbox;
using tv::app::Login;
using tv::data::state;

class LoginTest : public SignInTest {
protected:
    // A loaded sign-in window, shown so that focus and activation behave as on screen.
    std::unique_ptr<Login> open() {
        auto login = std::make_unique<Login>();
        EXPECT_TRUE(login->load());
        login->show();
        return login;
    }

    static QLineEdit* field(QWidget* w, int n) {
        return w->findChild<QLineEdit*>(QStringLiteral("DataField_%1").arg(n));
    }
    static QPushButton* button(QWidget* w, const char* name) {
        return w->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    static void signIn(QWidget* w, const QString& user, const QString& password) {
        field(w, 0)->setText(user);
        field(w, 1)->setText(password);
        button(w, "loginf")->click();
    }
};

TEST_F(LoginTest, LoadShowsCaptionsDataFolderAndTheLastUserId) {
    tv::SaveSetting(tv::keys::UserId, QStringLiteral("carol"));
    auto login = open();
    EXPECT_EQ(login->windowTitle(), QStringLiteral("Tolvarine Sign In"));
    // Texts and tips come from FORM CAPTIONS, not from the design.
    EXPECT_EQ(button(login.get(), "loginf")->toolTip(),
              QStringLiteral("Sign in with this user id and password"));
    EXPECT_EQ(login->findChild<QLabel*>(QStringLiteral("DbLocation"))->text(), data.path());
    EXPECT_EQ(field(login.get(), 0)->text(), QStringLiteral("carol"));
    EXPECT_EQ(field(login.get(), 1)->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(button(login.get(), "loginf")->isDefault());
}

TEST_F(LoginTest, LabelsLeadTheirMnemonicsToTheFields) {
    auto login = open();
    for (auto [label, n] : {std::pair{"UserIdLabel", 0}, std::pair{"PasswordLabel", 1}}) {
        const auto* l = login->findChild<QLabel*>(QString::fromLatin1(label));
        ASSERT_TRUE(l);
        EXPECT_TRUE(l->text().contains(u'&')) << label;
        EXPECT_EQ(l->buddy(), field(login.get(), n)) << label;
    }
}

TEST_F(LoginTest, FirstActivationFocusesThePasswordOnlyWhenTheUserIdIsFilled) {
    for (const QString& stored : {QStringLiteral("admin"), QString()}) {
        SCOPED_TRACE(stored.toStdString());
        tv::SaveSetting(tv::keys::UserId, stored);
        state().reset();
        auto login = open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(login.get()));
        QLineEdit* expected = field(login.get(), stored.isEmpty() ? 0 : 1);
        EXPECT_EQ(login->focusWidget(), expected);
    }
}

TEST_F(LoginTest, FocusSelectsTheWholeField) {
    auto login = open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(login.get()));
    field(login.get(), 0)->setText(QStringLiteral("admin"));
    field(login.get(), 1)->setText(QStringLiteral("secret"));
    for (int n : {1, 0}) {
        field(login.get(), n)->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_EQ(field(login.get(), n)->selectedText(), field(login.get(), n)->text()) << n;
    }
}

TEST_F(LoginTest, SigningInRecordsTheUserAndOpensTheMainWindow) {
    auto login = open();
    signIn(login.get(), QStringLiteral("admin"), QStringLiteral("admin"));

    EXPECT_TRUE(login->signedIn());
    EXPECT_FALSE(login->isVisible());
    EXPECT_EQ(state().CurrentUserId, QStringLiteral("admin"));
    EXPECT_EQ(tv::Setting(tv::keys::UserId), QStringLiteral("admin"));
    EXPECT_EQ(state().ApplicationName, QStringLiteral("Tolvarine 1.20"));
    EXPECT_EQ(tv::Setting(tv::keys::ApplicationName), QStringLiteral("Tolvarine 1.20"));
    // The shipped pointer icon loads, so windows load under it.
    EXPECT_EQ(state().BusyPointer, tv::data::kPointerCustom);
    EXPECT_EQ(state().BusyIconPath, data.file(QStringLiteral("Pictures/tvMouse.ico")));
    EXPECT_EQ(ask.pointers(),
              (std::vector<int>{tv::data::kPointerCustom, tv::data::kPointerDefault}));

    auto* main = qobject_cast<QMainWindow*>(mainWindow());
    ASSERT_TRUE(main);
    // The main window's title is its FORM CAPTIONS caption.
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Tolvarine"));
    const auto* user = main->statusBar()->findChild<QLabel*>(QStringLiteral("UserPanel"));
    ASSERT_TRUE(user);
    EXPECT_EQ(user->text(), QStringLiteral("admin"));
    EXPECT_TRUE(ask.asked().empty());
}

TEST_F(LoginTest, StoredStartUpSettingsAreKept) {
    tv::SaveSetting(tv::keys::ApplicationName, QStringLiteral("Acme CRM"));
    tv::SaveSetting(tv::keys::StartFormsAtTop, QStringLiteral("2"));
    auto login = open();
    signIn(login.get(), QStringLiteral("admin"), QStringLiteral("admin"));
    ASSERT_TRUE(login->signedIn());
    EXPECT_EQ(state().ApplicationName, QStringLiteral("Acme CRM"));
    EXPECT_EQ(tv::Setting(tv::keys::ApplicationName), QStringLiteral("Acme CRM"));
    EXPECT_EQ(state().WindowPlacementMode, 2);
}

TEST_F(LoginTest, UserIdMatchesInAnyCaseButThePasswordDoesNot) {
    auto login = open();
    ask.message(msgbox::kOk, QStringLiteral("password you entered is not correct"));
    signIn(login.get(), QStringLiteral("ADMIN"), QStringLiteral("ADMIN"));
    EXPECT_FALSE(login->signedIn());
    EXPECT_EQ(login->focusWidget(), field(login.get(), 1));
    EXPECT_TRUE(state().CurrentUserId.isEmpty());

    signIn(login.get(), QStringLiteral("ADMIN"), QStringLiteral("admin"));
    EXPECT_TRUE(login->signedIn());
    // The id is kept as typed.
    EXPECT_EQ(state().CurrentUserId, QStringLiteral("ADMIN"));
}

TEST_F(LoginTest, UnknownUserIsToldAndTheUserIdGetsTheFocus) {
    auto login = open();
    ask.message(msgbox::kOk, QStringLiteral("user id you entered is not known"));
    signIn(login.get(), QStringLiteral("nobody"), QStringLiteral("admin"));
    EXPECT_FALSE(login->signedIn());
    EXPECT_EQ(login->focusWidget(), field(login.get(), 0));
    EXPECT_FALSE(mainWindow());
    // A failed attempt leaves the remembered user id alone.
    EXPECT_TRUE(tv::Setting(tv::keys::UserId).isEmpty());
}

TEST_F(LoginTest, NullPasswordAcceptsAnyPassword) {
    execOn(dataPath(), {QStringLiteral("INSERT INTO [System Users] ([USERID], [PASSWORD]) "
                                       "VALUES ('O''Brien', Null)")});
    auto login = open();
    signIn(login.get(), QStringLiteral("o'brien"), QStringLiteral("anything at all"));
    EXPECT_TRUE(login->signedIn());
}

TEST_F(LoginTest, EmptyUserIdIsAskedFor) {
    auto login = open();
    for (const QString& id : {QString(), QStringLiteral("   ")}) {
        ask.message(msgbox::kOk, QStringLiteral("Please enter your user id"));
        signIn(login.get(), id, QStringLiteral("admin"));
        EXPECT_FALSE(login->signedIn());
        EXPECT_EQ(login->focusWidget(), field(login.get(), 0));
    }
}

TEST_F(LoginTest, FolderWithoutDataDatabaseIsReportedAndNothingOpens) {
    ScratchFolder empty;
    auto login = open();
    login->findChild<QLabel*>(QStringLiteral("DbLocation"))->setText(empty.path());
    ask.message(
        msgbox::kOk,
        QStringLiteral("no Tolvarine data database (Data.mdb) in the folder:\n") + empty.path());
    signIn(login.get(), QStringLiteral("admin"), QStringLiteral("admin"));
    EXPECT_FALSE(login->signedIn());
    EXPECT_FALSE(state().DataOpen);
    EXPECT_EQ(state().DataLocation, empty.path());
}

TEST_F(LoginTest, DataFileThatIsNoDatabaseDoesNotSignIn) {
    writeGarbage(dataPath());
    auto login = open();
    // Offered for repair (declined); a second attempt asks again rather than failing quietly.
    ask.message(msgbox::kNo, QStringLiteral("appears to be damaged"))
        .message(msgbox::kNo, QStringLiteral("appears to be damaged"));
    signIn(login.get(), QStringLiteral("admin"), QStringLiteral("admin"));
    signIn(login.get(), QStringLiteral("admin"), QStringLiteral("admin"));
    EXPECT_FALSE(login->signedIn());
    EXPECT_FALSE(mainWindow());
}

TEST_F(LoginTest, BusyPointerFallsBackToTheHourglass) {
    struct Case {
        const char* name;
        bool garbage;  // else the icon is removed
    };
    for (const Case& c : {Case{"not a picture", true}, Case{"missing", false}}) {
        SCOPED_TRACE(c.name);
        const QString icon = data.file(QStringLiteral("Pictures/tvMouse.ico"));
        if (c.garbage) {
            writeGarbage(icon);
        } else {
            QFile::remove(icon);
        }
        state().reset();
        tv::app::recordSignIn(QStringLiteral("admin"));
        EXPECT_EQ(state().BusyPointer, tv::data::kPointerHourglass);
        EXPECT_TRUE(state().BusyIconPath.isEmpty());
    }
}

TEST_F(LoginTest, UnreadablePlacementSettingMeansDefaultPlacement) {
    tv::SaveSetting(tv::keys::StartFormsAtTop, QStringLiteral("top"));
    state().WindowPlacementMode = 1;
    tv::app::recordSignIn(QStringLiteral("admin"));
    EXPECT_EQ(state().WindowPlacementMode, 0);
}

TEST_F(LoginTest, TheLastUserIdIsOfferedAtTheNextStart) {
    {
        auto first = open();
        signIn(first.get(), QStringLiteral("admin"), QStringLiteral("admin"));
        ASSERT_TRUE(first->signedIn());
    }
    delete mainWindow();
    state().reset();
    auto second = open();
    EXPECT_EQ(field(second.get(), 0)->text(), QStringLiteral("admin"));
    EXPECT_TRUE(field(second.get(), 1)->text().isEmpty());
}

TEST_F(LoginTest, CloseRejectsWithoutSigningIn) {
    auto login = open();
    button(login.get(), "Cancelf")->click();
    EXPECT_EQ(login->result(), QDialog::Rejected);
    EXPECT_FALSE(login->isVisible());
    EXPECT_FALSE(login->signedIn());
}

TEST_F(LoginTest, LoadFailsWhenTheDefinitionsCannotBeHad) {
    QFile::remove(definitionsPath());
    ask.message(msgbox::kOk, QStringLiteral("Unable to locate")).openFile(QString());
    Login login;
    EXPECT_FALSE(login.load());
}

}  // namespace
}  // namespace tvtest
