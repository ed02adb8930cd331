// The message window: one inbox message of the post office, with its sender, recipient,
// body and attached files. The reader replies (the send window opens addressed to the
// sender's customer and contact, "RE: " before the subject, the body quoted), passes the
// message on to another user, opens an attachment with the desktop's program for it, or
// files the message in the customer's activity history (its attachments with the
// customer's files when the reader wants them too), which takes it out of the inbox.
// Closing marks the message read, unless it was passed on or filed.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>

namespace Ui {
class MessageWindow;
}

namespace tv::forms {

class SendSelect;

class MessageWindow : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool MarkReadOnClose READ markReadOnClose WRITE setMarkReadOnClose)

public:
    explicit MessageWindow(QWidget* parent = nullptr);
    ~MessageWindow() override;

    // Shows the inbox message whose number is in SharedValues(0); false when it is not
    // there (passed on or deleted meanwhile).
    bool ShowMessageDetails();
    std::int32_t messageNumber() const { return number_; }

    bool markReadOnClose() const { return markReadOnClose_; }
    void setMarkReadOnClose(bool mark) { markReadOnClose_ = mark; }

    // The commands, as their buttons run them.
    SendSelect* reply();
    bool passOn();
    bool fileInHistory();
    void openAttachment();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void lookUpCustomer();

    std::unique_ptr<Ui::MessageWindow> ui_;
    bool placed_ = false;
    std::int32_t number_ = 0;
    double received_ = 0;  // serial date of RECEIVED
    bool markReadOnClose_ = true;
};

}  // namespace tv::forms
