// The mail bridge: where a site sends its e-mail from each user's own mail program
// (setting "EmailType" 1), an outbound Internet message is not queued in the post office
// but opened in that program's compose window, addressed, with its subject, body and
// attachments, for the user to review and send. On Linux the desktop's `xdg-email` does
// the handing over; where it is missing, a mailto: link goes to the desktop, which cannot
// carry attachments (they are named to the user instead).
#pragma once

#include <QString>
#include <QStringList>

namespace tv::messaging {

// Starts a program without waiting for it. The bridge uses the desktop; tests put in
// their own to read the arguments.
class MailLauncher {
public:
    virtual ~MailLauncher() = default;
    // Whether the program can be found.
    virtual bool available(const QString& program) = 0;
    // Starts it; false with the reason when it could not be started.
    virtual bool start(const QString& program, const QStringList& arguments, QString* error) = 0;
    // Hands a URL to the desktop (the mailto: fallback).
    virtual bool openUrl(const QString& url) = 0;
};

// Installs a launcher (not owned); nullptr goes back to the desktop's. Returns the one before.
MailLauncher* setMailLauncher(MailLauncher* launcher);

// The recipient as the mail program gets it: with "SimpleEmailAddress" on, the bare
// address; otherwise the display form "Contact Name <address>" (the name quoted when it
// holds characters that mean something in an address, such as "O'Brien, Pat").
QString ComposeRecipient(const QString& contact, const QString& address, bool simpleAddress);

// The arguments of xdg-email for one message: --utf8, --subject, --body, one --attach per
// attachment, and the recipient last.
QStringList ComposeArguments(const QString& recipient, const QString& subject,
                             const QString& body, const QStringList& attachments);

// Opens the message in the user's mail program. Attachments are full paths; those with no
// file behind them are left out and added to `skipped`. The body is plain text. A failure
// shows message 9160 with the reason and returns false.
bool ComposeInMailProgram(const QString& contact, const QString& address,
                          const QString& subject, const QString& body,
                          const QStringList& attachments, QStringList* skipped = nullptr);

}  // namespace tv::messaging
