// The sign-in window: the program's first window. Loading it opens the definitions
// database; pressing Login checks the user id and password against "System Users" of
// the data database, records the signed-in user, shows the main window and closes.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Login;
}

namespace tv::app {

class Login : public QDialog {
    Q_OBJECT

public:
    explicit Login(QWidget* parent = nullptr);
    ~Login() override;

    // Opens the definitions, applies the window's captions, shows the data folder and the
    // last user id. False when the definitions database could be neither opened, repaired
    // nor located: the program cannot run and must end.
    bool load();

    // True once a user has signed in (the main window is then open).
    bool signedIn() const { return signedIn_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The button handlers.
    void loginClicked();
    void changePasswordClicked();
    void changeDatabaseClicked();

    // Makes the folder on show the data folder; false (after saying so) when it holds no
    // Data.mdb. A data database opened from another folder is closed first.
    bool useShownDataFolder();
    // Checks the typed user id and password, moving the focus to the field to correct
    // and showing message 4, 5 (or ours for an empty id) when they do not match.
    bool CheckUserPassword();

    std::unique_ptr<Ui::Login> ui;
    bool activated_ = false;
    bool signedIn_ = false;
};

}  // namespace tv::app
