// The message client (tvMsgClient): stateless operations on the post office. Each one
// opens Messages.mdb, does its piece of work and closes it again (post_office.h).
//
// Users send each other messages about customers through INBOX rows, and queue outbound
// e-mail, Internet mail and faxes as OUTBOX rows for the site's mail agent. Attached files
// are copied into the post office's Temp folder and listed in INBOX ATTACHMENTS or OUTBOX
// ATTACHMENTS by their bare names.
//
// With no post office configured ("PostOffice" empty) the listing, counting, reading and
// updating operations do nothing and report failure; the two sending operations first ask
// for the file (LocatePostOffice). An unexpected database error ends an operation, which
// then reports failure; no error leaves these routines.
#pragma once

#include "core/variant.h"
#include "data/access.h"
#include "messaging/client_hooks.h"
#include "messaging/post_office.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace tv::messaging {

// Delivery kinds of QueueOutbound; any other value means fax.
inline constexpr int kSendEmail = 0;
inline constexpr int kSendInternet = 1;
inline constexpr int kSendFax = 2;

// One inbox message as the message window shows it; each member is named after the
// window's control that shows it.
struct InboxMessage {
    std::int32_t MessageNo = 0;
    tv::Variant Received;     // RECEIVED (Null when not set)
    QString ToName;           // TONAME
    QString ToAddress;        // TOADDRESS
    QString UserId;           // USERID: whose inbox
    QString ContactName;      // FROMNAME: the sender's name
    QString CustomerName;     // COMPANY
    QString CustAddress;      // FROMADDRESS: the sender's user id for local mail
    QString SentVia;          // SENTVIA
    QString MsgSubject;       // SUBJECT
    QString MessageText;      // MESSAGETEXT (rich text), for RichTextBox1
    QStringList Attachments;  // FILENAME of attachments 1, 2, ... up to the first gap
};

// Writes one message into the inbox of the user whose id is in SharedValues[0], from the
// signed-in user, about `customer`. Attachments are full paths, attachment 1 first; a path
// with no file behind it is skipped (its number stays unused) and added to `skipped`
// when given, so the caller can tell the user. A copy that fails asks message 501: Yes
// takes the message back and fails, any other answer goes on. Success shows status 908.
bool DeliverLocal(const QString& customer, const QString& subject, const QString& body,
                  const QStringList& attachments, QStringList* skipped = nullptr);

// Queues one outbound message from the signed-in user (status "Queued"). `kind` is
// kSendEmail, kSendInternet or anything else for a fax; `outref` is written only when not
// empty. Attachments as DeliverLocal; Yes to message 501 removes the queued message.
bool QueueOutbound(int kind, int priority, const QString& outref, const QString& contact,
                   const QString& customer, const QString& address, const QString& subject,
                   const QString& body, const QStringList& attachments,
                   QStringList* skipped = nullptr);

// Removes an OUTBOX message and its attachment rows; status 909.
bool DeleteOutboxMessage(std::int32_t msgNo);

// Removes message msgNo from the box "Inbox" or "Outbox" (any letter case) if it is there;
// its attachment rows stay. False for another box name or on a database error.
bool DeleteMessage(const QString& box, std::int32_t msgNo);

// Fills `list` with one tab-separated line per message of the signed-in user (of every
// user with showAll), oldest first, and `headings` with the column headings (the option
// lists "Inbox" and "Outbox"):
//   inbox:  number, received ("General Date"), sent via, status, customer or "Unknown";
//   outbox: number, sent ("General Date"), send via, status, customer.
bool ListInbox(data::ListSink& list, QString* headings, bool showAll);
bool ListOutbox(data::ListSink& list, QString* headings, bool showAll);

// The mail indicator: 1 when the signed-in user has an unread message, 0 when not, -1 when
// no post office is configured, it cannot be opened or reading it fails. Asks nothing of
// the user, as the main window polls it.
int UnreadState();

// The inbox message whose number is in SharedValues[0] (read with Val); nothing when it
// is not there or cannot be read.
std::optional<InboxMessage> ReadInboxMessage();
std::optional<InboxMessage> ReadInboxMessage(std::int32_t msgNo);

// STATUS becomes "Read".
bool MarkRead(std::int32_t msgNo);
// Passes an inbox message to another user: USERID becomes userId and STATUS "Unread";
// TONAME still names the first recipient.
bool Reassign(std::int32_t msgNo, const QString& userId);

// Where an attachment's copy lies: the post office's Temp folder and the bare file name.
// Empty when no post office is configured or the name cannot name a file there.
QString AttachmentPath(const QString& fileName);

// Opens an attachment's copy with the desktop's program for it. A copy that is no longer
// there shows message 701 with its path.
bool OpenAttachment(const QString& fileName);

}  // namespace tv::messaging
