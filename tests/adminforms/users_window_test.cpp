// The Users window: a user's row in the bound controls, saving a new user and a changed
// one (the key it was stored under included), the charge rate's format, and the
// administrator's custom fields saved with the row.
#include "adminforms/admin_fixture.h"

#include "core/settings_keys.h"
#include "data/app_state.h"
#include "engine/engine.h"
#include "forms/admin/admin_windows.h"
#include "forms/admin/users_window.h"
#include "forms/framework/record_catalogue.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace tvtest {
namespace {

using tv::engine::quoteLiteral;
using tv::forms::UsersWindow;

template <typename T = QLineEdit>
T* control(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
}

class UsersWindowTest : public AdminFormsTest {
protected:
    UsersWindow* openUsers() {
        tv::forms::registerAdminWindows();
        return qobject_cast<UsersWindow*>(
            tv::forms::GetRecordWindow(QStringLiteral("System Users")));
    }
    static QString userValue(const QString& user, const QString& column) {
        return dataValue(QStringLiteral("SELECT [%1] FROM [System Users] WHERE [USERID] = %2")
                             .arg(column, quoteLiteral(user)));
    }
};

TEST_F(UsersWindowTest, ShowsTheUsersRowWithTheDefinitionsLabels) {
    UsersWindow* w = openUsers();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->objectName(), QStringLiteral("User"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("System User Details"));
    ASSERT_TRUE(w->showUser(QStringLiteral("ADMIN")));
    EXPECT_EQ(control(w, "UserID")->text(), QStringLiteral("admin"));
    EXPECT_TRUE(control<QCheckBox>(w, "Administrator")->isChecked());
    EXPECT_EQ(control<QCheckBox>(w, "Administrator")->text(),
              QStringLiteral("System Administrator?"));
    EXPECT_EQ(control<QLineEdit>(w, "Password")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(w->localEditMode(), 2);
    // The shipped table has no custom columns: no custom tab.
    auto* tabs = control<QTabWidget>(w, "TabStrip1");
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_NE(tabs->widget(i)->objectName(), QStringLiteral("CustomTab"));
    EXPECT_FALSE(w->showUser(QStringLiteral("nobody")));
}

TEST_F(UsersWindowTest, ANewUserIsSavedWithFormattedChargeRateAndFlags) {
    UsersWindow* w = openUsers();
    ASSERT_TRUE(w);
    w->newUser();
    EXPECT_EQ(w->localEditMode(), 1);
    control(w, "UserID")->setText(QStringLiteral("O'Brien"));
    control(w, "UserName")->setText(QStringLiteral("Pat O'Brien"));
    control(w, "ChargeRate")->setText(QStringLiteral("42.5"));
    control<QCheckBox>(w, "BillingAccess")->setChecked(true);
    control<QPlainTextEdit>(w, "Comments")->setPlainText(QStringLiteral("Works Fridays"));
    control<QPushButton>(w, "Savef")->click();

    EXPECT_EQ(control(w, "ChargeRate")->text(), QStringLiteral("42.50"));
    EXPECT_EQ(statusText(), QStringLiteral("User details saved."));
    EXPECT_EQ(w->localEditMode(), 2);
    EXPECT_EQ(userValue(QStringLiteral("O'Brien"), QStringLiteral("USERNAME")),
              QStringLiteral("Pat O'Brien"));
    EXPECT_EQ(userValue(QStringLiteral("O'Brien"), QStringLiteral("CHARGERATE")).toDouble(), 42.5);
    EXPECT_EQ(userValue(QStringLiteral("O'Brien"), QStringLiteral("COMMENTS")),
              QStringLiteral("Works Fridays"));
    EXPECT_EQ(dataValue(QStringLiteral("SELECT Count(*) FROM [System Users] WHERE "
                                       "[USERID] = 'O''Brien' AND [BILLINGACCESS] = True")),
              QStringLiteral("1"));
    EXPECT_EQ(dataValue(QStringLiteral("SELECT Count(*) FROM [System Users] WHERE "
                                       "[USERID] = 'O''Brien' AND [ADMINISTRATOR] = False")),
              QStringLiteral("1"));
}

TEST_F(UsersWindowTest, ChangingTheUserIdUpdatesTheStoredRow) {
    addUser(QStringLiteral("ivan"));
    UsersWindow* w = openUsers();
    ASSERT_TRUE(w->showUser(QStringLiteral("ivan")));
    control(w, "UserID")->setText(QStringLiteral("ivan2"));
    ASSERT_TRUE(w->save());
    EXPECT_EQ(userValue(QStringLiteral("ivan"), QStringLiteral("USERID")),
              QStringLiteral("<none>"));
    EXPECT_EQ(userValue(QStringLiteral("ivan2"), QStringLiteral("USERNAME")),
              QStringLiteral("ivan Person"));
    EXPECT_EQ(w->originalKeyValue(), QStringLiteral("ivan2"));
}

TEST_F(UsersWindowTest, ChargeRateIsFormattedWhenLeft) {
    const std::pair<const char*, const char*> cases[] = {
        {"12", "12.00"}, {"7.125", "7.13"}, {"", ""}, {"call me", "call me"}};
    UsersWindow* w = openUsers();
    for (const auto& [typed, shown] : cases) {
        control(w, "ChargeRate")->setText(QString::fromLatin1(typed));
        emit control(w, "ChargeRate")->editingFinished();
        EXPECT_EQ(control(w, "ChargeRate")->text(), QString::fromLatin1(shown)) << typed;
    }
}

TEST_F(UsersWindowTest, CustomFieldsAreShownAndSaved) {
    tv::engine::TableDef def =
        tv::data::state().DataDb.TableDefNamed(QStringLiteral("System Users"));
    def.Append(def.CreateField(QStringLiteral("Badge Number"), tv::engine::FieldType::Text, 12));
    def.Append(def.CreateField(QStringLiteral("First Aider"), tv::engine::FieldType::Boolean));

    UsersWindow* w = openUsers();
    ASSERT_TRUE(w);
    auto* tabs = control<QTabWidget>(w, "TabStrip1");
    bool customTab = false;
    for (int i = 0; i < tabs->count(); ++i)
        customTab |= tabs->widget(i)->objectName() == QStringLiteral("CustomTab");
    EXPECT_TRUE(customTab);

    ASSERT_TRUE(w->showUser(QStringLiteral("admin")));
    auto* badge = control(w, "CustomTextBox_0");
    auto* aider = control<QCheckBox>(w, "CustomCheckBox_0");
    ASSERT_TRUE(badge && aider);
    EXPECT_EQ(badge->property("tag").toString(), QStringLiteral("15"));
    EXPECT_EQ(badge->maxLength(), 12);
    badge->setText(QStringLiteral("B-0042"));
    aider->setChecked(true);
    ASSERT_TRUE(w->save());

    EXPECT_EQ(userValue(QStringLiteral("admin"), QStringLiteral("Badge Number")),
              QStringLiteral("B-0042"));
    EXPECT_EQ(dataValue(QStringLiteral("SELECT Count(*) FROM [System Users] WHERE "
                                       "[USERID] = 'admin' AND [First Aider] = True")),
              QStringLiteral("1"));

    // A new user starts with the custom fields empty too.
    w->newUser();
    EXPECT_TRUE(badge->text().isEmpty());
    EXPECT_FALSE(aider->isChecked());
}

TEST_F(UsersWindowTest, ExitOnSaveClosesTheWindow) {
    tv::SaveSetting(tv::keys::ExitOnSave(QStringLiteral("System Users")), QStringLiteral("1"));
    UsersWindow* w = openUsers();
    ASSERT_TRUE(w->showUser(QStringLiteral("admin")));
    w->show();
    ASSERT_TRUE(w->save());
    EXPECT_FALSE(w->isVisible());
}

}  // namespace
}  // namespace tvtest
