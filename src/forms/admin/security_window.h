// The Security window: one user's four rights (add, edit, delete, view) on every business
// table. The tables come from TABLE DEFINITIONS when the window loads; the user's stored
// levels are read when it is first activated, after the opener has put the user id in;
// ticking a box changes the selected table's entry at once, and Save writes a level for
// every table, so a table without a row before gets one (15 when nothing was unticked).
#pragma once

#include "data/app_state.h"

#include <QDialog>
#include <memory>
#include <vector>

namespace Ui {
class Security;
}

namespace tv::forms {

class SecurityWindow : public QDialog {
    Q_OBJECT

public:
    explicit SecurityWindow(QWidget* parent = nullptr);
    ~SecurityWindow() override;

    void setUserId(const QString& userId);
    QString userId() const;

    // The first-activation step: one entry per listed table, from the user's rows of
    // "System User Access" (a table without a row has every right). Runs once; the
    // window's first activation calls it.
    void loadRights();
    const std::vector<data::AccessEntry>& entries() const { return entries_; }

    // Writes every entry's level (status 935) and closes; false, leaving the window open,
    // when a row could not be written (the data layer has said why).
    bool saveDetails();

protected:
    bool event(QEvent* event) override;

private:
    void showSelected();
    void setRight(int box, bool on);

    std::unique_ptr<Ui::Security> ui_;
    std::vector<data::AccessEntry> entries_;
    bool rightsLoaded_ = false;
};

}  // namespace tv::forms
