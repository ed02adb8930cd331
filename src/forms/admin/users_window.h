// The Users window: one row of "System Users" (a person who signs in) with the
// administrator's custom fields. Its Security button opens the user's rights on every
// table. Captions come from FORM CAPTIONS under "User", labels from FIELD DEFINITIONS of
// "System Users".
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
    void rowShown() override { formatChargeRate(); }
    bool beforeSave() override;
    int savedStatusMessage() const override;

private:
    void formatChargeRate();

    std::unique_ptr<Ui::User> ui_;
};

}  // namespace tv::forms
