// The two dialogs of the sign-in window: changing the password and choosing the folder of
// the data database, driven through the sign-in window's buttons as a user would.
#include "app/changedb.h"
#include "app/changepw.h"
#include "app/login.h"
#include "app_fixture.h"

#include "core/settings_keys.h"
#include "data/app_state.h"
#include "data/prompter.h"

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
using tv::app::ChangePW;
using tv::app::Login;
using tv::data::state;

QLineEdit* lineEdit(QWidget* w, const QString& name) { return w->findChild<QLineEdit*>(name); }
QPushButton* button(QWidget* w, const char* name) {
    return w->findChild<QPushButton*>(QString::fromLatin1(name));
}

class ChangeDialogsTest : public SignInTest {
protected:
    void SetUp() override {
        SignInTest::SetUp();
        login = std::make_unique<Login>();
        ASSERT_TRUE(login->load());
        login->show();
    }
    void TearDown() override {
        login.reset();
        SignInTest::TearDown();
    }

    QLineEdit* loginField(int n) const {
        return lineEdit(login.get(), QStringLiteral("DataField_%1").arg(n));
    }
    QString shownFolder() const {
        return login->findChild<QLabel*>(QStringLiteral("DbLocation"))->text();
    }
    QString storedPassword(const QString& user) const {
        return firstValue(
            dataPath(), QStringLiteral("SELECT [PASSWORD] FROM [System Users] WHERE [USERID] = '") +
                            user + QStringLiteral("'"));
    }

    // Presses Change Password with the given id and password, and fills the dialog when it
    // opens. Returns whether the dialog opened.
    bool changePassword(const QString& user, const QString& password, const QString& newPassword,
                        const QString& confirmation) {
        loginField(0)->setText(user);
        loginField(1)->setText(password);
        bool opened = false;
        whenModal(login.get(), [&](QWidget* dialog) {
            opened = dialog->objectName() == QLatin1String("ChangePW");
            EXPECT_EQ(lineEdit(dialog, QStringLiteral("DataField_0"))->text(), password);
            lineEdit(dialog, QStringLiteral("DataField_1"))->setText(newPassword);
            lineEdit(dialog, QStringLiteral("DataField_2"))->setText(confirmation);
            button(dialog, "okf")->click();
        });
        button(login.get(), "ChangePassword")->click();
        return opened;
    }

    // Presses Change Database Location, types the folder, sets Default and presses OK.
    // Returns whether the dialog was still open after OK.
    bool changeFolder(const QString& folder, bool makeDefault) {
        bool stayedOpen = false;
        whenModal(login.get(), [&](QWidget* dialog) {
            EXPECT_EQ(dialog->objectName(), QStringLiteral("ChangeDB"));
            lineEdit(dialog, QStringLiteral("FolderPath"))->setText(folder);
            dialog->findChild<QCheckBox*>(QStringLiteral("Default"))->setChecked(makeDefault);
            button(dialog, "okf")->click();
            stayedOpen = dialog->isVisible();
        });
        button(login.get(), "ChangeDatabase")->click();
        return stayedOpen;
    }

    std::unique_ptr<Login> login;
};

TEST_F(ChangeDialogsTest, NewPasswordIsStoredAndSignsIn) {
    ASSERT_TRUE(changePassword(QStringLiteral("admin"), QStringLiteral("admin"),
                               QStringLiteral("N3w'Pass"), QStringLiteral("N3w'Pass")));
    EXPECT_EQ(storedPassword(QStringLiteral("admin")), QStringLiteral("N3w'Pass"));
    EXPECT_EQ(loginField(1)->text(), QStringLiteral("N3w'Pass"));

    // The old password no longer works; the new one does.
    ask.message(msgbox::kOk, QStringLiteral("password you entered is not correct"));
    loginField(1)->setText(QStringLiteral("admin"));
    button(login.get(), "loginf")->click();
    EXPECT_FALSE(login->signedIn());
    loginField(1)->setText(QStringLiteral("N3w'Pass"));
    button(login.get(), "loginf")->click();
    EXPECT_TRUE(login->signedIn());
}

TEST_F(ChangeDialogsTest, MismatchedConfirmationStoresNothing) {
    ask.message(msgbox::kOk, QStringLiteral("do not match"));
    ASSERT_TRUE(changePassword(QStringLiteral("admin"), QStringLiteral("admin"),
                               QStringLiteral("one"), QStringLiteral("One")));
    EXPECT_EQ(storedPassword(QStringLiteral("admin")), QStringLiteral("admin"));
    EXPECT_EQ(loginField(1)->text(), QStringLiteral("admin"));
}

TEST_F(ChangeDialogsTest, WrongCurrentPasswordKeepsTheDialogClosed) {
    ask.message(msgbox::kOk, QStringLiteral("password you entered is not correct"));
    EXPECT_FALSE(changePassword(QStringLiteral("admin"), QStringLiteral("Admin"),
                                QStringLiteral("x"), QStringLiteral("x")));
    EXPECT_EQ(storedPassword(QStringLiteral("admin")), QStringLiteral("admin"));
}

TEST_F(ChangeDialogsTest, UserRemovedMeanwhileIsReported) {
    // The dialog itself, for a user whose row went away after the check.
    ChangePW dialog(QStringLiteral("ghost"), QStringLiteral("pw"));
    lineEdit(&dialog, QStringLiteral("DataField_1"))->setText(QStringLiteral("new"));
    lineEdit(&dialog, QStringLiteral("DataField_2"))->setText(QStringLiteral("new"));
    ask.message(msgbox::kOk, QStringLiteral("could not be found"));
    button(&dialog, "okf")->click();
    EXPECT_TRUE(dialog.newPassword().isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(ChangeDialogsTest, FolderChosenWithOrWithoutDefault) {
    for (bool makeDefault : {false, true}) {
        SCOPED_TRACE(makeDefault);
        ScratchFolder other;
        copyShippedDatabases(other.path());
        EXPECT_FALSE(changeFolder(other.path() + QStringLiteral("/"), makeDefault));
        EXPECT_EQ(shownFolder(), other.path());
        EXPECT_EQ(tv::Setting(tv::keys::DataLocation), makeDefault ? other.path() : data.path());
        // The new folder takes effect only when Login is pressed.
        EXPECT_EQ(state().DataLocation, data.path());
    }
}

TEST_F(ChangeDialogsTest, FolderWithoutDataDatabaseIsRefused) {
    ScratchFolder empty;
    ask.message(msgbox::kOk, QStringLiteral("does not contain a Tolvarine data database"));
    EXPECT_TRUE(changeFolder(empty.path(), true));
    EXPECT_EQ(shownFolder(), data.path());
    EXPECT_EQ(tv::Setting(tv::keys::DataLocation), data.path());
}

TEST_F(ChangeDialogsTest, DataFileNameMatchesInAnyCase) {
    ScratchFolder other;
    ASSERT_TRUE(QFile::copy(dataPath(), other.file(QStringLiteral("DATA.MDB"))));
    ChangeDB dialog(data.path());
    lineEdit(&dialog, QStringLiteral("FolderPath"))->setText(other.path());
    button(&dialog, "okf")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenFolder(), other.path());
}

TEST_F(ChangeDialogsTest, NetworkButtonTakesTheChosenFilesFolder) {
    ScratchFolder share;
    copyShippedDatabases(share.path());
    ScratchFolder empty;
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

TEST_F(ChangeDialogsTest, DialogOpensOnTheCurrentFolder) {
    ChangeDB dialog(data.path() + QStringLiteral("/"));
    dialog.show();
    EXPECT_EQ(lineEdit(&dialog, QStringLiteral("FolderPath"))->text(), data.path());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Change Database Location"));

    // The folder tree loads in the background; it ends up on the same folder.
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("Dir1"));
    ASSERT_TRUE(tree);
    const auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    ASSERT_TRUE(model);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return model->filePath(tree->currentIndex()) == data.path(); }, 5000));
    EXPECT_TRUE(tree->isExpanded(tree->currentIndex().parent()));
    // ... and scrolled to it, although rows keep arriving above it while the model loads.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())); },
        5000));

    // Picking a folder in the tree shows its path in the field.
    const QModelIndex parent = tree->currentIndex().parent();
    tree->setCurrentIndex(parent);
    EXPECT_EQ(lineEdit(&dialog, QStringLiteral("FolderPath"))->text(), model->filePath(parent));
}

TEST_F(ChangeDialogsTest, SigningInAfterAFolderChangeUsesTheNewDatabase) {
    // Bob exists only in the second folder. A first attempt opens the first Data.mdb.
    ScratchFolder other;
    copyShippedDatabases(other.path());
    execOn(other.file(QStringLiteral("Data.mdb")),
           {QStringLiteral(
               "INSERT INTO [System Users] ([USERID], [PASSWORD]) VALUES ('bob', 'b0b')")});
    loginField(0)->setText(QStringLiteral("bob"));
    loginField(1)->setText(QStringLiteral("b0b"));
    ask.message(msgbox::kOk, QStringLiteral("not known"));
    button(login.get(), "loginf")->click();
    ASSERT_FALSE(login->signedIn());

    ASSERT_FALSE(changeFolder(other.path(), false));
    button(login.get(), "loginf")->click();
    EXPECT_TRUE(login->signedIn());
    EXPECT_EQ(state().DataLocation, other.path());
    EXPECT_EQ(state().DataDb.Name(), other.file(QStringLiteral("Data.mdb")));
}

}  // namespace
}  // namespace tvtest
