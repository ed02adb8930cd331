// The inbox and outbox windows: the signed-in user's messages in the post office, one row
// per message under the column headings of the option lists "Inbox" and "Outbox". The
// inbox is read again each time it becomes the active window, so new mail shows when the
// user comes back to it; an administrator may list every user's messages (Show All). A
// double-click (or Enter) opens an inbox message in the message window; Delete removes
// the selected message after asking.
//
// The outbox lists every user's queued messages when SharedValues(0) holds "All" as it
// opens, else the user's own; after a deletion it lists every user's.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>

namespace Ui {
class MailboxWindow;
}

namespace tv::forms {

class MailboxWindow : public QWidget {
    Q_OBJECT

public:
    enum class Box { Inbox, Outbox };
    explicit MailboxWindow(Box box, QWidget* parent = nullptr);
    ~MailboxWindow() override;

    // Fills the list again (the inbox with Show All's state).
    void refill();
    // The number of the selected message; 0 when none is selected.
    std::int32_t selectedMessage() const;
    // Opens the selected inbox message in the message window (nothing selected: nothing).
    void openSelected();
    // The Delete command.
    void deleteSelected();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Each activation reads the inbox again.
    void activated();

    std::unique_ptr<Ui::MailboxWindow> ui_;
    Box box_;
    bool showAll_ = false;  // the outbox's own choice
    bool watching_ = false;
    bool placed_ = false;
};

}  // namespace tv::forms
