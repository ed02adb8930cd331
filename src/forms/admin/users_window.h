// The Users window: one row of "System Users" (a person who signs in) with the
// administrator's custom fields. Its Security button opens the user's rights on every
// table. Captions come from FORM CAPTIONS under "User", labels from FIELD DEFINITIONS of
// "System Users".
//
// The password column holds a hash, which is no use to show: the hidden box bound to it
// keeps the stored value, and the password box shows a placeholder of its own while the
// password is unchanged. Typing a new password stores its hash; clearing the box stores
// Null (any password signs in).
#pragma once

#include "forms/framework/record_window.h"

#include <memory>

namespace Ui {
class User;
}

namespace tv::forms {

class SecurityWindow;

class UsersWindow : public RecordWindow {
    Q_OBJECT

public:
    explicit UsersWindow(QWidget* parent = nullptr);
    ~UsersWindow() override;

    // Fills the controls from the user's row (edit mode 2); false when there is none.
    bool showUser(const QString& userId);
    // Empties the controls for a new user (edit mode 1).
    void newUser();

    // Opens the Security window for the user id on show; nullptr while the id is empty.
    SecurityWindow* openSecurity();

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    void rowShown() override;
    bool beforeSave() override;
    void afterSave() override { showPasswordState(); }
    int savedStatusMessage() const override;

private:
    void formatChargeRate();
    // The password box for the stored password: the unchanged mark, or empty for none.
    void showPasswordState();

    std::unique_ptr<Ui::User> ui_;
    // What the password box holds while the stored password is unchanged (random, so
    // that nobody types it by chance); empty when the user has no password.
    QString unchangedMark_;
};

}  // namespace tv::forms
