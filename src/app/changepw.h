// The password dialog behind the sign-in window's Change Password button: it opens only
// after the current password has been checked, shows it in the first field and stores
// the new one when it is typed the same way twice.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class ChangePW;
}

namespace tv::app {

class ChangePW : public QDialog {
    Q_OBJECT

public:
    // userId: the user whose row changes; currentPassword: the password just checked.
    ChangePW(const QString& userId, const QString& currentPassword, QWidget* parent = nullptr);
    ~ChangePW() override;

    // The password stored by OK (empty until then).
    QString newPassword() const { return newPassword_; }

private:
    void okClicked();

    std::unique_ptr<Ui::ChangePW> ui;
    QString userId_;
    QString newPassword_;
};

}  // namespace tv::app
