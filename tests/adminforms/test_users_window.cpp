// The Users window's own part: a user's row under the definitions' labels, a new user
// saved with the charge rate written as money and the flags, and passwords, which are
// stored as hashes and never shown.
#include "adminforms/admin_fixture.h"

#include "data/user_rights.h"
#include "forms/admin/admin_windows.h"
#include "forms/admin/users_window.h"
#include "forms/framework/record_catalogue.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::forms::UsersWindow;

template <typename T = QLineEdit>
T* control(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
}

TEST_F(AdminFormsTest, UsersWindowShowsAUserAndSavesANewOne) {
    tv::forms::registerAdminWindows();
    auto* w = qobject_cast<UsersWindow*>(tv::forms::GetRecordWindow(u"System Users"_s));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), u"System User Details"_s);
    ASSERT_TRUE(w->showUser(u"ADMIN"_s));
    EXPECT_EQ(control(w, "UserID")->text(), u"admin"_s);
    EXPECT_TRUE(control<QCheckBox>(w, "Administrator")->isChecked());
    EXPECT_EQ(control<QCheckBox>(w, "Administrator")->text(), u"System Administrator?"_s);
    EXPECT_FALSE(w->showUser(u"nobody"_s));

    w->newUser();
    control(w, "UserID")->setText(u"O'Brien"_s);
    // The rate is written as money when the box is left, when it holds a number.
    for (const auto& [typed, shown] :
         {std::pair{"7.125", "7.13"}, std::pair{"call me", "call me"}}) {
        control(w, "ChargeRate")->setText(QString::fromLatin1(typed));
        emit control(w, "ChargeRate")->editingFinished();
        EXPECT_EQ(control(w, "ChargeRate")->text(), QString::fromLatin1(shown));
    }
    control(w, "ChargeRate")->setText(u"42.5"_s);  // still being typed: formatted on saving
    control<QCheckBox>(w, "BillingAccess")->setChecked(true);
    control<QPlainTextEdit>(w, "Comments")->setPlainText(u"Works Fridays"_s);
    control<QPushButton>(w, "Savef")->click();

    EXPECT_EQ(control(w, "ChargeRate")->text(), u"42.50"_s);
    EXPECT_EQ(statusText(), u"User details saved."_s);
    EXPECT_EQ(dataValue(u"SELECT [CHARGERATE] & '|' & [COMMENTS] & '|' & [BILLINGACCESS] & '|' "
                        "& [ADMINISTRATOR] FROM [System Users] WHERE [USERID] = 'O''Brien'"_s),
              u"42.5|Works Fridays|-1|0"_s);
}

// Saved in order: unchanged (the stored hash stays), a new password, cleared (Null: any
// password signs in), and typed for a user who had none.
TEST_F(AdminFormsTest, UsersWindowStoresPasswordsAsHashesAndNeverShowsThem) {
    tv::forms::registerAdminWindows();
    auto* w = qobject_cast<UsersWindow*>(tv::forms::GetRecordWindow(u"System Users"_s));
    ASSERT_TRUE(w);
    const auto stored = [] {
        return dataValue(u"SELECT [PASSWORD] FROM [System Users] WHERE [USERID] = 'admin'"_s);
    };
    const QString shipped = stored();
    QLineEdit* password = control(w, "Password");
    auto save = [&](const QString& typed) {
        if (!typed.isNull()) password->setText(typed);
        control<QPushButton>(w, "Savef")->click();
        EXPECT_FALSE(password->text().contains(u'$')) << "a hash in the box";
        return stored();
    };
    ASSERT_TRUE(w->showUser(u"admin"_s));
    EXPECT_FALSE(password->text().isEmpty()) << "a password is there";
    EXPECT_EQ(save(QString()), shipped);
    const QString changed = save(u"N3w'Pass"_s);
    EXPECT_TRUE(tv::data::passwordMatchesHash(u"N3w'Pass"_s, changed)) << changed.toStdString();
    EXPECT_EQ(save(QString()), changed);
    save(u""_s);
    EXPECT_EQ(dataValue(u"SELECT Nz([PASSWORD], '(null)') FROM [System Users]"_s), u"(null)"_s);
    EXPECT_TRUE(password->text().isEmpty());
    EXPECT_TRUE(tv::data::passwordMatchesHash(u"again"_s, save(u"again"_s)));
}

}  // namespace
}  // namespace tvtest
