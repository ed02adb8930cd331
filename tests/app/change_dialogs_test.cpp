// The two dialogs of the sign-in window: changing the password and choosing the folder of
// the data database, driven through the sign-in window's buttons as a user would.
#include "app/changedb.h"
#include "app/changepw.h"
#include "app/login.h"
#include "app_fixture.h"

#include "common/engine/queries.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "engine/engine.h"

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
using tv::data::state;

QLineEdit* lineEdit(QWidget* w, const char* name) {
    return w->findChild<QLineEdit*>(QString::fromLatin1(name));
}
QPushButton* button(QWidget* w, const char* name) {
    return w->findChild<QPushButton*>(QString::fromLatin1(name));
}

class ChangeDialogsTest : public SignInTest {
protected:
    void SetUp() override {
        SignInTest::SetUp();
        login = new tv::app::Login();  // the fixture deletes what is left open
        ASSERT_TRUE(login->load());
        login->show();
    }

    QLineEdit* loginField(int n) { return lineEdit(login, n == 0 ? "DataField_0" : "DataField_1"); }
    QString shownFolder() {
        return login->findChild<QLabel*>(QStringLiteral("DbLocation"))->text();
    }
    static QString storedPassword() {
        return queryValue(
            state().DataDb,
            QStringLiteral("SELECT [PASSWORD] FROM [System Users] WHERE [USERID] = ") +
                tv::engine::quoteLiteral(QStringLiteral("admin")));
    }

    // Presses Change Password for admin with `password` and fills the dialog when it opens.
    // Returns whether the dialog opened.
    bool changePassword(const QString& password, const QString& newPassword,
                        const QString& confirmation) {
        loginField(0)->setText(QStringLiteral("admin"));
        loginField(1)->setText(password);
        bool opened = false;
        whenModal(login, [&](QWidget* dialog) {
            opened = dialog->objectName() == QLatin1String("ChangePW");
            EXPECT_EQ(lineEdit(dialog, "DataField_0")->text(), password);
            lineEdit(dialog, "DataField_1")->setText(newPassword);
            lineEdit(dialog, "DataField_2")->setText(confirmation);
            button(dialog, "okf")->click();
        });
        button(login, "ChangePassword")->click();
        return opened;
    }

    // Presses Change Database Location, types the folder, sets Default and presses OK.
    // Returns whether the dialog was still open after OK.
    bool changeFolder(const QString& folder, bool makeDefault) {
        bool stayedOpen = false;
        whenModal(login, [&](QWidget* dialog) {
            lineEdit(dialog, "FolderPath")->setText(folder);
            dialog->findChild<QCheckBox*>(QStringLiteral("Default"))->setChecked(makeDefault);
            button(dialog, "okf")->click();
            stayedOpen = dialog->isVisible();
        });
        button(login, "ChangeDatabase")->click();
        return stayedOpen;
    }

    tv::app::Login* login = nullptr;
};

TEST_F(ChangeDialogsTest, NewPasswordIsStoredAndSignsIn) {
    ASSERT_TRUE(changePassword(QStringLiteral("admin"), QStringLiteral("N3w'Pass"),
                               QStringLiteral("N3w'Pass")));
    EXPECT_EQ(storedPassword(), QStringLiteral("N3w'Pass"));
    EXPECT_EQ(loginField(1)->text(), QStringLiteral("N3w'Pass"));
    button(login, "loginf")->click();
    EXPECT_TRUE(login->signedIn());
}

TEST_F(ChangeDialogsTest, WrongCurrentPasswordOrMismatchedConfirmationStoresNothing) {
    ask.message(msgbox::kOk, QStringLiteral("password you entered is not correct"))
        .message(msgbox::kOk, QStringLiteral("do not match"));
    EXPECT_FALSE(changePassword(QStringLiteral("Admin"), QStringLiteral("x"), QStringLiteral("x")));
    EXPECT_TRUE(
        changePassword(QStringLiteral("admin"), QStringLiteral("one"), QStringLiteral("One")));
    EXPECT_EQ(storedPassword(), QStringLiteral("admin"));
    EXPECT_EQ(loginField(1)->text(), QStringLiteral("admin"));
}

TEST_F(ChangeDialogsTest, UserRemovedMeanwhileIsReported) {
    // The dialog itself, for a user whose row went away after the check.
    ChangePW dialog(QStringLiteral("ghost"), QStringLiteral("pw"));
    lineEdit(&dialog, "DataField_1")->setText(QStringLiteral("new"));
    lineEdit(&dialog, "DataField_2")->setText(QStringLiteral("new"));
    ask.message(msgbox::kOk, QStringLiteral("could not be found"));
    button(&dialog, "okf")->click();
    EXPECT_TRUE(dialog.newPassword().isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(ChangeDialogsTest, FolderChosenWithOrWithoutDefault) {
    for (bool makeDefault : {false, true}) {
        SCOPED_TRACE(makeDefault);
        ScratchFolder other;
        ASSERT_TRUE(copyShippedDatabases(other.path()));
        EXPECT_FALSE(changeFolder(other.path() + QStringLiteral("/"), makeDefault));
        EXPECT_EQ(shownFolder(), other.path());
        EXPECT_EQ(tv::Setting(tv::keys::DataLocation), makeDefault ? other.path() : data.path());
        // The new folder takes effect only when Login is pressed.
        EXPECT_EQ(state().DataLocation, data.path());
    }
}

// The dialog accepts exactly what the data layer opens: Data.mdb by that name.
TEST_F(ChangeDialogsTest, FolderWithoutDataMdbIsRefused) {
    ScratchFolder empty;
    ScratchFolder misnamed;
    ASSERT_TRUE(QFile::copy(data.file(QStringLiteral("Data.mdb")),
                            misnamed.file(QStringLiteral("DATA.MDB"))));
    ask.message(msgbox::kOk, QStringLiteral("does not contain a Tolvarine data database"))
        .message(msgbox::kOk, QStringLiteral("not named exactly Data.mdb:\n") +
                                  misnamed.file(QStringLiteral("DATA.MDB")));
    EXPECT_TRUE(changeFolder(empty.path(), true));
    EXPECT_TRUE(changeFolder(misnamed.path(), true));
    EXPECT_EQ(shownFolder(), data.path());
    EXPECT_EQ(tv::Setting(tv::keys::DataLocation), data.path());
}

TEST_F(ChangeDialogsTest, NetworkButtonTakesTheChosenFilesFolder) {
    ScratchFolder share;
    ASSERT_TRUE(copyShippedDatabases(share.path()));
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
    EXPECT_EQ(lineEdit(&dialog, "FolderPath")->text(), data.path());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Change Database Location"));

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
    EXPECT_EQ(lineEdit(&dialog, "FolderPath")->text(), model->filePath(parent));
}

TEST_F(ChangeDialogsTest, SigningInAfterAFolderChangeUsesTheNewDatabase) {
    // Bob exists only in the second folder. A first attempt opens the first Data.mdb.
    ScratchFolder other;
    ASSERT_TRUE(copyShippedDatabases(other.path()));
    execOn(other.file(QStringLiteral("Data.mdb")),
           {QStringLiteral(
               "INSERT INTO [System Users] ([USERID], [PASSWORD]) VALUES ('bob', 'b0b')")});
    loginField(0)->setText(QStringLiteral("bob"));
    loginField(1)->setText(QStringLiteral("b0b"));
    ask.message(msgbox::kOk, QStringLiteral("not known"));
    button(login, "loginf")->click();
    ASSERT_FALSE(login->signedIn());

    ASSERT_FALSE(changeFolder(other.path(), false));
    button(login, "loginf")->click();
    EXPECT_TRUE(login->signedIn());
    EXPECT_EQ(state().DataDb.Name(), other.file(QStringLiteral("Data.mdb")));
}

}  // namespace
}  // namespace tvtest
