#include "forms/admin/users_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/user_rights.h"
#include "forms/admin/security_window.h"
#include "ui_users_window.h"

#include <QApplication>
#include <QPushButton>
#include <QRandomGenerator>

namespace tv::forms {

namespace {

const QString kTable = QStringLiteral("System Users");
constexpr int kSavedStatus = 931;
constexpr int kPasswordNotHashed = 9132;

}  // namespace

UsersWindow::UsersWindow(QWidget* parent)
    : RecordWindow(parent), ui_(std::make_unique<Ui::User>()) {
    ui_->setupUi(this);
    connect(ui_->ChargeRate, &QLineEdit::editingFinished, this, &UsersWindow::formatChargeRate);
    connect(ui_->Securityf, &QPushButton::clicked, this, &UsersWindow::openSecurity);
}

UsersWindow::~UsersWindow() = default;

QString UsersWindow::defaultTableName() const { return kTable; }

QSize UsersWindow::defaultSizeTwips() const { return QSize(7815, 6345); }

int UsersWindow::savedStatusMessage() const { return kSavedStatus; }

bool UsersWindow::showUser(const QString& userId) { return showStoredRow(userId); }

void UsersWindow::newUser() {
    showNewRow();
    ui_->UserID->setFocus();
}

void UsersWindow::rowShown() {
    formatChargeRate();
    showPasswordState();
}

bool UsersWindow::beforeSave() {
    // The rate is stored as shown, even when the box still has the focus.
    formatChargeRate();
    const QString typed = ui_->Password->text();
    if (typed == unchangedMark_) return true;
    if (typed.isEmpty()) {
        ui_->StoredPassword->clear();
        return true;
    }
    const std::optional<QString> hash = data::hashPassword(typed);
    if (!hash) {
        // The typed password stays in its box for another try.
        data::ShowMessage(kPasswordNotHashed);
        return false;
    }
    ui_->StoredPassword->setText(*hash);
    return true;
}

void UsersWindow::showPasswordState() {
    unchangedMark_.clear();
    if (!ui_->StoredPassword->text().isEmpty()) {
        static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
        for (int i = 0; i < 12; ++i)
            unchangedMark_ += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(52)]);
    }
    ui_->Password->setText(unchangedMark_);
    ui_->Password->setPlaceholderText(unchangedMark_.isEmpty() ? tr("None: any password signs in")
                                                               : QString());
}

SecurityWindow* UsersWindow::openSecurity() {
    const QString user = ui_->UserID->text().trimmed();
    if (user.isEmpty()) {
        // Rights belong to a user id; there is none to give them to yet.
        QApplication::beep();
        ui_->UserID->setFocus();
        return nullptr;
    }
    auto* security = new SecurityWindow(this);
    security->setAttribute(Qt::WA_DeleteOnClose);
    security->setUserId(user);
    security->show();
    return security;
}

void UsersWindow::formatChargeRate() {
    const QString text = ui_->ChargeRate->text().trimmed();
    if (text.isEmpty() || !tv::IsNumeric(tv::Variant(text))) return;
    ui_->ChargeRate->setText(tv::Format(tv::Variant(tv::Val(text)), QStringLiteral("0.00")));
}

}  // namespace tv::forms
