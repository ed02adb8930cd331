#include "forms/admin/users_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/failure.h"
#include "forms/admin/security_window.h"
#include "forms/framework/controls.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/status.h"
#include "ui_users_window.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>

namespace tv::forms {

namespace {

const QString kTable = QStringLiteral("System Users");
constexpr int kSavedStatus = 931;

}  // namespace

UsersWindow::UsersWindow(QWidget* parent)
    : RecordWindow(parent), ui_(std::make_unique<Ui::User>()) {
    ui_->setupUi(this);
    // Element 0 of each custom-field array shows only once the panel gives it a column.
    ui_->CustomLabel_0->hide();
    ui_->CustomTextBox_0->hide();
    ui_->CustomCheckBox_0->hide();
    ui_->VScroll1->hide();
    connect(ui_->ChargeRate, &QLineEdit::editingFinished, this, &UsersWindow::formatChargeRate);
    connect(ui_->Savef, &QPushButton::clicked, this, &UsersWindow::save);
    connect(ui_->Securityf, &QPushButton::clicked, this, &UsersWindow::openSecurity);
    connect(ui_->Closef, &QPushButton::clicked, this, &QWidget::close);
}

UsersWindow::~UsersWindow() = default;

QString UsersWindow::defaultTableName() const { return kTable; }

QSize UsersWindow::defaultSizeTwips() const { return QSize(7815, 6345); }

bool UsersWindow::showUser(const QString& userId) {
    if (!data::LoadRecord(kTable, userId)) return false;
    LoadFormFields(this, data::state().FieldValues);
    formatChargeRate();
    setLocalEditMode(2);
    originalKey_ = ui_->UserID->text();
    return true;
}

void UsersWindow::newUser() {
    data::FieldValueArray empty;
    empty.resize(14);
    LoadFormFields(this, empty);
    // Custom columns lie beyond the standard fourteen: clear them by their own ordinals.
    for (QObject* control : taggedControls(this)) {
        if (boundOrdinal(control) > 14) setControlValue(control, QString());
    }
    setLocalEditMode(1);
    originalKey_.clear();
    ui_->UserID->setFocus();
}

bool UsersWindow::save() {
    formatChargeRate();
    // Read before saving: "Exit On Save" may close the window.
    const QString savedKey = ui_->UserID->text();
    if (!saveAndFinish(kSavedStatus)) return false;
    originalKey_ = savedKey;
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

void UsersWindow::rowShown() { formatChargeRate(); }

void UsersWindow::formatChargeRate() {
    const QString text = ui_->ChargeRate->text().trimmed();
    if (text.isEmpty() || !tv::IsNumeric(tv::Variant(text))) return;
    ui_->ChargeRate->setText(tv::Format(tv::Variant(tv::Val(text)), QStringLiteral("0.00")));
}

}  // namespace tv::forms
