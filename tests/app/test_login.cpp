// The sign-in window and its two dialogs: what it shows on load, where the focus goes,
// what pressing Login does with right, wrong and odd input, changing the password, and
// choosing the folder of the data database, driven through the buttons as a user would.
#include "app/login.h"
#include "app/changedb.h"
#include "app/changepw.h"
#include "app/sign_in.h"
#include "app_fixture.h"
#include "common/engine/queries.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "data/user_rights.h"
#include "engine/engine.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace tvtest {
namespace {

namespace msgbox = tv::data::msgbox;
using tv::app::ChangeDB;
using tv::app::Login;
using tv::data::state;

QLineEdit* field(QWidget* w, int n) {
    return w->findChild<QLineEdit*>(QStringLiteral("DataField_%1").arg(n));
}
QLineEdit* folderPath(QWidget* w) { return w->findChild<QLineEdit*>(QStringLiteral("FolderPath")); }
QPushButton* button(QWidget* w, const char* name) {
    return w->findChild<QPushButton*>(QString::fromLatin1(name));
}
QString shownFolder(Login* w) {
    return w->findChild<QLabel*>(QStringLiteral("DbLocation"))->text();
}

// A loaded sign-in window, shown so that focus and activation behave as on screen. The
// fixture deletes it.
Login* open() {
    auto* login = new Login();
    EXPECT_TRUE(login->load());
    login->show();
    return login;
}

void signIn(Login* w, const QString& user, const QString& password) {
    field(w, 0)->setText(user);
    field(w, 1)->setText(password);
    button(w, "loginf")->click();
}

// Change Password for admin, typing `password` first; fills the dialog when it opens.
// Returns whether it opened.
bool changePassword(Login* w, const QString& password, const QString& newPassword,
                    const QString& confirmation) {
    field(w, 0)->setText(QStringLiteral("admin"));
    field(w, 1)->setText(password);
    bool opened = false;
    whenModal(w, [&](QWidget* dialog) {
        opened = field(dialog, 0)->text() == password;
        field(dialog, 1)->setText(newPassword);
        field(dialog, 2)->setText(confirmation);
        button(dialog, "okf")->click();
    });
    button(w, "ChangePassword")->click();
    return opened;
}

// Change Database Location: types the folder, sets Default and presses OK. Returns
// whether the dialog was still open after OK.
bool changeFolder(Login* w, const QString& folder, bool makeDefault) {
    bool stayedOpen = false;
    whenModal(w, [&](QWidget* dialog) {
        folderPath(dialog)->setText(folder);
        dialog->findChild<QCheckBox*>(QStringLiteral("Default"))->setChecked(makeDefault);
        button(dialog, "okf")->click();
        stayedOpen = dialog->isVisible();
    });
    button(w, "ChangeDatabase")->click();
    return stayedOpen;
}

QString storedPassword() {
    return queryValue(
        state().DataDb,
        QStringLiteral("SELECT [PASSWORD] FROM [System Users] WHERE [USERID] = 'admin'"));
}

using LoginTest = SignInTest;

TEST_F(LoginTest, FocusGoesToTheFieldLeftToTypeAndSelectsItsText) {
    for (const QString& stored : {QStringLiteral("admin"), QString()}) {
        SCOPED_TRACE(stored.toStdString());
        tv::SaveSetting(tv::keys::UserId, stored);
        Login* login = open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(login));
        EXPECT_EQ(login->focusWidget(), field(login, stored.isEmpty() ? 0 : 1));
        if (stored.isEmpty()) continue;
        field(login, 1)->setText(QStringLiteral("secret"));
        for (int n : {0, 1}) {
            field(login, n)->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            EXPECT_EQ(field(login, n)->selectedText(), field(login, n)->text()) << n;
        }
        delete login;
    }
}

TEST_F(LoginTest, LoadThenSigningInRecordsTheUserAndOpensTheMainWindow) {
    tv::SaveSetting(tv::keys::UserId, QStringLiteral("carol"));
    Login* login = open();
    EXPECT_EQ(login->windowTitle(), QStringLiteral("Tolvarine Sign In"));
    // Texts and tips come from FORM CAPTIONS, not from the design.
    EXPECT_EQ(button(login, "loginf")->toolTip(),
              QStringLiteral("Sign in with this user id and password"));
    EXPECT_EQ(shownFolder(login), data.path());
    EXPECT_EQ(field(login, 0)->text(), QStringLiteral("carol"));

    signIn(login, QStringLiteral("admin"), QStringLiteral("admin"));

    EXPECT_TRUE(login->signedIn());
    EXPECT_FALSE(login->isVisible());
    EXPECT_EQ(state().CurrentUserId, QStringLiteral("admin"));
    EXPECT_EQ(tv::Setting(tv::keys::UserId), QStringLiteral("admin"));
    EXPECT_EQ(tv::Setting(tv::keys::ApplicationName), QStringLiteral("Tolvarine 1.20"));
    // The shipped pointer icon loads, so windows load under it.
    EXPECT_EQ(state().BusyIconPath, data.file(QStringLiteral("Pictures/tvMouse.ico")));
    EXPECT_EQ(ask.pointers(),
              (std::vector<int>{tv::data::kPointerCustom, tv::data::kPointerDefault}));

    QWidget* main = mainWindow();
    ASSERT_TRUE(main);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Tolvarine"));
    EXPECT_EQ(main->findChild<QLabel*>(QStringLiteral("UserPanel"))->text(),
              QStringLiteral("admin"));
}

// Stored start-up settings are kept, unreadable ones give the default, and a pointer
// icon that is no picture or is missing gives the hourglass.
TEST_F(LoginTest, StartUpSettingsAndTheBusyPointer) {
    tv::SaveSetting(tv::keys::ApplicationName, QStringLiteral("Acme CRM"));
    const QString icon = data.file(QStringLiteral("Pictures/tvMouse.ico"));
    for (const char* placement : {"2", "top"}) {
        tv::SaveSetting(tv::keys::StartFormsAtTop, QString::fromLatin1(placement));
        if (*placement == '2')
            writeGarbage(icon);
        else
            QFile::remove(icon);
        tv::app::recordSignIn(QStringLiteral("admin"));
        EXPECT_EQ(state().ApplicationName, QStringLiteral("Acme CRM"));
        EXPECT_EQ(state().WindowPlacementMode, *placement == '2' ? 2 : 0);
        EXPECT_EQ(state().BusyPointer, tv::data::kPointerHourglass);
        EXPECT_TRUE(state().BusyIconPath.isEmpty());
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
    Login* login = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        ask.message(msgbox::kOk, QString::fromLatin1(c.message));
        signIn(login, QString::fromLatin1(c.user), QString::fromLatin1(c.password));
        EXPECT_FALSE(login->signedIn());
        EXPECT_EQ(login->focusWidget(), field(login, c.focused));
    }
    EXPECT_TRUE(state().CurrentUserId.isEmpty());
    EXPECT_FALSE(mainWindow());
    EXPECT_TRUE(tv::Setting(tv::keys::UserId).isEmpty()) << "failures remember no user id";
    button(login, "Cancelf")->click();  // gives up: the program ends
    EXPECT_EQ(login->result(), QDialog::Rejected);
}

TEST_F(LoginTest, UserIdInAnyCaseAndANullPasswordSignIn) {
    Login* login = open();
    signIn(login, QStringLiteral("ADMIN"), QStringLiteral("admin"));
    EXPECT_TRUE(login->signedIn());
    EXPECT_EQ(state().CurrentUserId, QStringLiteral("ADMIN")) << "kept as typed";

    execOn(dataPath(), {QStringLiteral("INSERT INTO [System Users] ([USERID], [PASSWORD]) "
                                       "VALUES (%1, Null)")
                            .arg(tv::engine::quoteLiteral(QStringLiteral("O'Brien")))});
    Login* again = open();
    signIn(again, QStringLiteral("o'brien"), QStringLiteral("anything at all"));
    EXPECT_TRUE(again->signedIn());
}

TEST_F(LoginTest, NewPasswordIsStoredAndSignsIn) {
    Login* login = open();
    ASSERT_TRUE(changePassword(login, QStringLiteral("admin"), QStringLiteral("N3w'Pass"),
                               QStringLiteral("N3w'Pass")));
    EXPECT_TRUE(tv::data::passwordMatchesHash(QStringLiteral("N3w'Pass"), storedPassword()));
    EXPECT_EQ(field(login, 1)->text(), QStringLiteral("N3w'Pass"));
    button(login, "loginf")->click();
    EXPECT_TRUE(login->signedIn());
}

TEST_F(LoginTest, WrongCurrentPasswordOrMismatchedConfirmationStoresNothing) {
    Login* login = open();
    ask.message(msgbox::kOk, QStringLiteral("password you entered is not correct"))
        .message(msgbox::kOk, QStringLiteral("do not match"));
    EXPECT_FALSE(
        changePassword(login, QStringLiteral("Admin"), QStringLiteral("x"), QStringLiteral("x")));
    const QString shipped = storedPassword();
    EXPECT_TRUE(changePassword(login, QStringLiteral("admin"), QStringLiteral("one"),
                               QStringLiteral("One")));
    EXPECT_EQ(storedPassword(), shipped);

    // A user whose row went away after the check.
    tv::app::ChangePW dialog(QStringLiteral("ghost"), QStringLiteral("pw"));
    field(&dialog, 1)->setText(QStringLiteral("new"));
    field(&dialog, 2)->setText(QStringLiteral("new"));
    ask.message(msgbox::kOk, QStringLiteral("could not be found"));
    button(&dialog, "okf")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// Only what the data layer opens is accepted, Data.mdb by that very name; a copy named in
// other letters is pointed out rather than reported missing. The same rule holds for the
// folder the sign-in window shows and for the one the dialog is given.
TEST_F(LoginTest, AFolderWithoutDataMdbIsRefused) {
    ScratchFolder empty;
    ScratchFolder misnamed;
    const QString copy = misnamed.file(QStringLiteral("DATA.MDB"));
    ASSERT_TRUE(QFile::copy(dataPath(), copy));
    const QString misnamedText = QStringLiteral("not named exactly Data.mdb:\n") + copy;
    Login* login = open();
    ask.message(msgbox::kOk, QStringLiteral("does not contain a Tolvarine data database"))
        .message(msgbox::kOk, misnamedText);
    EXPECT_TRUE(changeFolder(login, empty.path(), true));
    EXPECT_TRUE(changeFolder(login, misnamed.path(), true));
    EXPECT_EQ(shownFolder(login), data.path());
    EXPECT_EQ(tv::Setting(tv::keys::DataLocation), data.path());

    for (const ScratchFolder* folder : {&empty, &misnamed}) {
        login->findChild<QLabel*>(QStringLiteral("DbLocation"))->setText(folder->path());
        ask.message(msgbox::kOk, folder == &empty ? QStringLiteral("no Tolvarine data database "
                                                                   "(Data.mdb) in the folder:\n") +
                                                        empty.path()
                                                  : misnamedText);
        signIn(login, QStringLiteral("admin"), QStringLiteral("admin"));
        EXPECT_FALSE(login->signedIn());
        EXPECT_FALSE(state().DataOpen);
    }
}

TEST_F(LoginTest, NetworkButtonTakesTheChosenFilesFolder) {
    ScratchFolder share;
    ASSERT_TRUE(copyShippedDatabases(share.path()));
    ScratchFolder empty;
    open();  // the messages come from the definitions it opens
    ChangeDB dialog(data.path());
    dialog.findChild<QCheckBox*>(QStringLiteral("Default"))->setChecked(true);

    // Cancelled: nothing changes; a file in a folder without Data.mdb: message 1.
    ask.openFile(QString())
        .openFile(empty.file(QStringLiteral("Other.mdb")))
        .message(msgbox::kOk, QStringLiteral("does not contain"))
        .openFile(share.file(QStringLiteral("Data.mdb")));
    for (int press = 0; press < 3; ++press) button(&dialog, "networkf")->click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenFolder(), share.path());
    EXPECT_EQ(tv::Setting(tv::keys::DataLocation), share.path());
    EXPECT_EQ(ask.asked().front().initialText, data.path());
}

TEST_F(LoginTest, TheFolderDialogOpensOnTheCurrentFolder) {
    ChangeDB dialog(data.path() + QStringLiteral("/"));
    dialog.show();
    EXPECT_EQ(folderPath(&dialog)->text(), data.path());

    // The folder tree loads in the background; it ends up on the same folder ...
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("Dir1"));
    const auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    ASSERT_TRUE(model);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return model->filePath(tree->currentIndex()) == data.path(); }, 5000));
    // ... scrolled to it, although rows keep arriving above it while the model loads.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())); },
        5000));

    // Picking a folder in the tree shows its path in the field.
    const QModelIndex parent = tree->currentIndex().parent();
    tree->setCurrentIndex(parent);
    EXPECT_EQ(folderPath(&dialog)->text(), model->filePath(parent));
}

TEST_F(LoginTest, SigningInAfterAFolderChangeUsesTheNewDatabase) {
    // Bob exists only in the second folder. A first attempt opens the first Data.mdb.
    ScratchFolder other;
    ASSERT_TRUE(copyShippedDatabases(other.path()));
    execOn(other.file(QStringLiteral("Data.mdb")),
           {QStringLiteral(
               "INSERT INTO [System Users] ([USERID], [PASSWORD]) VALUES ('bob', 'b0b')")});
    Login* login = open();
    ask.message(msgbox::kOk, QStringLiteral("not known"));
    signIn(login, QStringLiteral("bob"), QStringLiteral("b0b"));
    ASSERT_FALSE(login->signedIn());

    // Without Default the folder serves this run only, and only once Login is pressed.
    ASSERT_FALSE(changeFolder(login, other.path() + QStringLiteral("/"), false));
    EXPECT_EQ(shownFolder(login), other.path());
    EXPECT_EQ(state().DataLocation, data.path());
    button(login, "loginf")->click();
    EXPECT_TRUE(login->signedIn());
    EXPECT_EQ(state().DataDb.Name(), other.file(QStringLiteral("Data.mdb")));
    EXPECT_EQ(tv::Setting(tv::keys::DataLocation), data.path());
}

}  // namespace
}  // namespace tvtest
