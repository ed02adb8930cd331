#include "app/login.h"

#include "app/changedb.h"
#include "app/changepw.h"
#include "app/definitions_open.h"
#include "app/main_form.h"
#include "app/sign_in.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "data/user_rights.h"
#include "forms/framework/captions.h"

#include "ui_login.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace tv::app {

using data::checkUserPassword;
using data::PasswordCheck;

namespace {

// Message shown when Login is pressed with an empty user id.
constexpr int kEnterUserId = 9002;
// Message shown when the data folder on show holds no Data.mdb.
constexpr int kNoDataDatabase = 9024;

}  // namespace

Login::Login(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::Login>()) {
    ui->setupUi(this);
    connect(ui->loginf, &QPushButton::clicked, this, &Login::loginClicked);
    connect(ui->Cancelf, &QPushButton::clicked, this, &Login::reject);
    connect(ui->ChangePassword, &QPushButton::clicked, this, &Login::changePasswordClicked);
    connect(ui->ChangeDatabase, &QPushButton::clicked, this, &Login::changeDatabaseClicked);
    ui->DataField_0->installEventFilter(this);
    ui->DataField_1->installEventFilter(this);
}

Login::~Login() = default;

bool Login::load() {
    if (!OpenDefinitions()) return false;
    forms::ApplyFormCaptions(this, objectName());
    ui->DbLocation->setText(data::state().DataLocation);
    ui->DbLocation->setToolTip(data::state().DataLocation);
    ui->DataField_0->setText(Setting(keys::UserId));
    return true;
}

bool Login::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !activated_) {
        activated_ = true;
        // The last user id is offered again, so the password is what is left to type.
        if (!ui->DataField_0->text().isEmpty()) ui->DataField_1->setFocus();
    }
    return QDialog::event(event);
}

bool Login::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // Selected after the focus change has settled: a mouse click that gave the focus
        // would otherwise place the cursor and drop the selection at once.
        if (auto* field = qobject_cast<QLineEdit*>(watched)) {
            field->selectAll();
            QTimer::singleShot(0, field, &QLineEdit::selectAll);
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool Login::CheckUserPassword() {
    const QString userId = ui->DataField_0->text().trimmed();
    if (userId.isEmpty()) {
        ui->DataField_0->setFocus();
        data::ShowMessage(kEnterUserId);
        return false;
    }
    switch (checkUserPassword(userId, ui->DataField_1->text())) {
        case PasswordCheck::Accepted:
            return true;
        case PasswordCheck::UnknownUser:
            ui->DataField_0->setFocus();
            data::ShowMessage(4);
            ui->DataField_0->selectAll();
            return false;
        case PasswordCheck::WrongPassword:
            ui->DataField_1->setFocus();
            data::ShowMessage(5);
            // Typing again replaces the wrong password.
            ui->DataField_1->selectAll();
            return false;
        case PasswordCheck::NoDatabase:
            return false;
    }
    return false;
}

bool Login::useShownDataFolder() {
    data::AppState& st = data::state();
    st.DataLocation = ui->DbLocation->text();
    forgetDataDbElsewhere();
    if (folderHoldsDataDb(st.DataLocation)) return true;
    reportNoDataDb(st.DataLocation, kNoDataDatabase, st.DataLocation);
    return false;
}

void Login::loginClicked() {
    data::AppState& st = data::state();
    if (!useShownDataFolder() || !CheckUserPassword()) return;

    recordSignIn(ui->DataField_0->text().trimmed());

    // The busy pointer stays up while the main window loads.
    data::prompter().setPointer(st.BusyPointer, st.BusyIconPath);
    auto* main = new MainForm();
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->load();
    main->show();
    data::prompter().setPointer(data::kPointerDefault);

    signedIn_ = true;
    accept();
}

void Login::changePasswordClicked() {
    if (!useShownDataFolder() || !CheckUserPassword()) return;
    ChangePW dialog(ui->DataField_0->text().trimmed(), ui->DataField_1->text(), this);
    if (dialog.exec() == QDialog::Accepted) ui->DataField_1->setText(dialog.newPassword());
}

void Login::changeDatabaseClicked() {
    ChangeDB dialog(ui->DbLocation->text(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    ui->DbLocation->setText(dialog.chosenFolder());
    ui->DbLocation->setToolTip(dialog.chosenFolder());
}

}  // namespace tv::app
