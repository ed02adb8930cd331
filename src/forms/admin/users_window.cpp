#include "forms/admin/users_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "forms/admin/security_window.h"
#include "ui_users_window.h"

#include <QApplication>
#include <QPushButton>

namespace tv::forms {

namespace {

const QString kTable = QStringLiteral("System Users");
constexpr int kSavedStatus = 931;

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

bool UsersWindow::beforeSave() {
    // The rate is stored as shown, even when the box still has the focus.
    formatChargeRate();
    return true;
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
