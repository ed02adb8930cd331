#include "forms/messages/messages_windows.h"

#include "forms/framework/documents.h"
#include "forms/framework/record_catalogue.h"
#include "forms/messages/mail_folders.h"
#include "forms/messages/mailbox_window.h"
#include "forms/messages/send_select.h"
#include "messaging/client_hooks.h"

namespace tv::forms {

void registerMessageWindows() {
    registerWindow(QStringLiteral("Inbox"), [](QWidget*) {
        return new MailboxWindow(MailboxWindow::Box::Inbox);
    });
    registerWindow(QStringLiteral("Outbox"), [](QWidget*) {
        return new MailboxWindow(MailboxWindow::Box::Outbox);
    });
    registerWindow(QStringLiteral("SendSelect"), [](QWidget*) { return new SendSelect(); });
    registerWindow(QStringLiteral("olInbox"), [](QWidget*) {
        auto* folders = new MailFolders();
        folders->showStore();
        return folders;
    });
    // Attachments open as every other document does, so a failure reads the same.
    messaging::setDocumentOpener([](const QString& path) {
        OpenDocument(path, false);
        return true;
    });
}

}  // namespace tv::forms
