// The sign-in window: what it shows on load, where the focus goes, and what pressing
// Login does with right, wrong and odd input.
#include "app/login.h"
#include "app_fixture.h"

#include "app/sign_in.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "engine/engine.h"

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
    // The labels' mnemonics (from the definitions) lead to their fields.
    for (auto [label, n] : {std::pair{"UserIdLabel", 0}, std::pair{"PasswordLabel", 1}}) {
        EXPECT_EQ(login->findChild<QLabel*>(QString::fromLatin1(label))->buddy(),
                  field(login.get(), n));
    }
}

TEST_F(LoginTest, FocusGoesToTheFieldLeftToTypeAndSelectsItsText) {
    for (const QString& stored : {QStringLiteral("admin"), QString()}) {
        SCOPED_TRACE(stored.toStdString());
        tv::SaveSetting(tv::keys::UserId, stored);
        auto login = open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(login.get()));
        EXPECT_EQ(login->focusWidget(), field(login.get(), stored.isEmpty() ? 0 : 1));
    }
    auto login = open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(login.get()));
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
    // The shipped pointer icon loads, so windows load under it.
    EXPECT_EQ(state().BusyIconPath, data.file(QStringLiteral("Pictures/tvMouse.ico")));
    EXPECT_EQ(ask.pointers(),
              (std::vector<int>{tv::data::kPointerCustom, tv::data::kPointerDefault}));

    auto* main = qobject_cast<QMainWindow*>(mainWindow());
    ASSERT_TRUE(main);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Tolvarine"));
    const auto* user = main->statusBar()->findChild<QLabel*>(QStringLiteral("UserPanel"));
    ASSERT_TRUE(user);
    EXPECT_EQ(user->text(), QStringLiteral("admin"));
    EXPECT_TRUE(ask.asked().empty());
}

TEST_F(LoginTest, StartUpSettingsAreReadWithTheirDefaults) {
    struct Case {
        const char* appName;
        const char* placement;
        const char* expectedName;
        int expectedPlacement;
    };
    const Case cases[] = {{"", "", "Tolvarine 1.20", 0},
                          {"Acme CRM", "2", "Acme CRM", 2},
                          {"", "top", "Tolvarine 1.20", 0}};  // unreadable: default placement
    for (const Case& c : cases) {
        SCOPED_TRACE(c.placement);
        tv::SaveSetting(tv::keys::ApplicationName, QString::fromLatin1(c.appName));
        tv::SaveSetting(tv::keys::StartFormsAtTop, QString::fromLatin1(c.placement));
        state().WindowPlacementMode = 1;
        tv::app::recordSignIn(QStringLiteral("admin"));
        EXPECT_EQ(state().ApplicationName, QString::fromLatin1(c.expectedName));
        EXPECT_EQ(tv::Setting(tv::keys::ApplicationName), QString::fromLatin1(c.expectedName));
        EXPECT_EQ(state().WindowPlacementMode, c.expectedPlacement);
    }
}

TEST_F(LoginTest, WrongInputIsToldAndFocusesTheFieldToCorrect) {
    struct Case {
        const char* user;
        const char* password;
        const char* message;
        int focused;
    };
    const Case cases[] = {{"nobody", "admin", "user id you entered is not known", 0},
                          {"ADMIN", "ADMIN", "password you entered is not correct", 1},
                          {"", "admin", "Please enter your user id", 0},
                          {"   ", "admin", "Please enter your user id", 0}};
    auto login = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        ask.message(msgbox::kOk, QString::fromLatin1(c.message));
        signIn(login.get(), QString::fromLatin1(c.user), QString::fromLatin1(c.password));
        EXPECT_FALSE(login->signedIn());
        EXPECT_EQ(login->focusWidget(), field(login.get(), c.focused));
    }
    EXPECT_TRUE(state().CurrentUserId.isEmpty());
    EXPECT_FALSE(mainWindow());
    EXPECT_TRUE(tv::Setting(tv::keys::UserId).isEmpty()) << "failures remember no user id";
}

TEST_F(LoginTest, UserIdInAnyCaseAndANullPasswordSignIn) {
    auto login = open();
    signIn(login.get(), QStringLiteral("ADMIN"), QStringLiteral("admin"));
    EXPECT_TRUE(login->signedIn());
    EXPECT_EQ(state().CurrentUserId, QStringLiteral("ADMIN")) << "kept as typed";

    execOn(dataPath(), {QStringLiteral("INSERT INTO [System Users] ([USERID], [PASSWORD]) "
                                       "VALUES (%1, Null)")
                            .arg(tv::engine::quoteLiteral(QStringLiteral("O'Brien")))});
    auto again = open();
    signIn(again.get(), QStringLiteral("o'brien"), QStringLiteral("anything at all"));
    EXPECT_TRUE(again->signedIn());
}

// Only the exact file name opens, so only the exact name signs in; a copy named in other
// letters is pointed out rather than reported missing.
TEST_F(LoginTest, FolderWithoutDataMdbIsReportedAndNothingOpens) {
    for (const QString& name : {QString(), QStringLiteral("DATA.MDB")}) {
        SCOPED_TRACE(name.toStdString());
        ScratchFolder folder;
        QString expected =
            QStringLiteral("no Tolvarine data database (Data.mdb) in the folder:\n") +
            folder.path();
        if (!name.isEmpty()) {
            ASSERT_TRUE(QFile::copy(dataPath(), folder.file(name)));
            expected = QStringLiteral("not named exactly Data.mdb:\n") + folder.file(name);
        }
        auto login = open();
        login->findChild<QLabel*>(QStringLiteral("DbLocation"))->setText(folder.path());
        ask.message(msgbox::kOk, expected);
        signIn(login.get(), QStringLiteral("admin"), QStringLiteral("admin"));
        EXPECT_FALSE(login->signedIn());
        EXPECT_FALSE(state().DataOpen);
        EXPECT_EQ(state().DataLocation, folder.path());
    }
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
    const QString icon = data.file(QStringLiteral("Pictures/tvMouse.ico"));
    for (bool garbage : {true, false}) {  // not a picture; missing
        SCOPED_TRACE(garbage);
        if (garbage)
            writeGarbage(icon);
        else
            QFile::remove(icon);
        tv::app::recordSignIn(QStringLiteral("admin"));
        EXPECT_EQ(state().BusyPointer, tv::data::kPointerHourglass);
        EXPECT_TRUE(state().BusyIconPath.isEmpty());
    }
}

TEST_F(LoginTest, CloseOrNoDefinitionsMeansNoSignIn) {
    auto login = open();
    button(login.get(), "Cancelf")->click();
    EXPECT_EQ(login->result(), QDialog::Rejected);
    EXPECT_FALSE(login->signedIn());

    QFile::remove(definitionsPath());
    state().reset();
    ask.message(msgbox::kOk, QStringLiteral("Unable to locate")).openFile(QString());
    Login again;
    EXPECT_FALSE(again.load());
}

}  // namespace
}  // namespace tvtest
