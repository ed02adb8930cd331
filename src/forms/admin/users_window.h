// The Users window: one row of "System Users" (a person who signs in) with the
// administrator's custom fields. Its Security button opens the user's rights on every
// table. Captions come from FORM CAPTIONS under "User", labels from FIELD DEFINITIONS of
// "System Users".
#pragma once

#include "forms/framework/record_window.h"

#include <QPointer>
#include <memory>

namespace Ui {
class User;
}

namespace tv::forms {

class SecurityWindow;

class UsersWindow : public RecordWindow {
    Q_OBJECT
    // The user id the shown row is stored under, so that a changed id still updates it.
    Q_PROPERTY(QString OriginalKeyValue READ originalKeyValue WRITE setOriginalKeyValue)

public:
    explicit UsersWindow(QWidget* parent = nullptr);
    ~UsersWindow() override;

    QString originalKeyValue() const { return originalKey_; }
    void setOriginalKeyValue(const QString& key) { originalKey_ = key; }

    // Fills the controls from the user's row (edit mode 2); false when there is none.
    bool showUser(const QString& userId);
    // Empties the controls for a new user (edit mode 1).
    void newUser();

    // Saves the row (status 931) and closes when "Exit On Save" of "System Users" is on.
    bool save();
    // Opens the Security window for the user id on show; nullptr while the id is empty.
    SecurityWindow* openSecurity();

    void rowShown() override;

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    QString originalKey1() const override { return originalKey_; }

private:
    void formatChargeRate();

    std::unique_ptr<Ui::User> ui_;
    QString originalKey_;
};

}  // namespace tv::forms
