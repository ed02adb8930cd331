// The user's own mail store, read where the site hands its mail to the users' mail
// programs ("EmailType" non-zero): a Maildir folder (with Maildir++ sub-folders such as
// ".Customers.Acme", or Maildirs nested in plain folders), a folder of mbox files
// (Thunderbird's "Inbox" with its "Inbox.sbd" sub-folders), or a single mbox file. Messages
// are parsed with GMime.
//
// Building the tree reads folder listings only, so a store of thousands of messages shows
// at once; a folder's messages are read (their headers) when it is opened. A file that is
// no mail message (empty, no header at all, unreadable) is skipped and named in the
// folder's listing. Attachments are written only inside the folder given, under their bare
// names: a name such as "../../.bashrc" becomes ".bashrc" in that folder.
#pragma once

#include "core/settings_keys.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tv::messaging {

// The setting holding the store's path (a folder or an mbox file), chosen once.
extern const SettingKey kMailStoreKey;

struct MailFolder {
    enum class Kind { Folder, Maildir, Mbox };
    Kind kind = Kind::Folder;
    QString name;
    QString path;  // the Maildir folder, the mbox file, or the plain folder
    int total = 0;
    int unread = -1;  // -1: not known until the messages are read (mbox)
    std::vector<MailFolder> children;
};

struct MailItem {
    QString path;          // the message's file (Maildir) or the mbox file
    qint64 offset = -1;    // where the message starts in an mbox; -1 for Maildir
    QString subject;
    QString from;          // the sender as shown: name, else address
    QString fromAddress;   // the bare address
    QDateTime received;
    bool unread = false;
};

struct MailContent {
    MailItem item;
    QString to;
    QString date;
    QString text;         // the plain-text body (from HTML when there is no plain part)
    QStringList attachments;  // the attachments' names, as the message gives them
};

// Folders of the store, the store itself at the top (named after its file or folder).
// Nothing when the path is neither a folder nor a file.
std::optional<MailFolder> ReadMailTree(const QString& storePath);

// The folder's messages, oldest first; the files that are no messages go to `malformed`
// (their file names; "offset N" for a damaged mbox entry).
std::vector<MailItem> ReadMailItems(const MailFolder& folder, QStringList* malformed = nullptr);

// One message in full; nothing when it cannot be read.
std::optional<MailContent> ReadMailContent(const MailItem& item);

// Marks a Maildir message as seen (its file moves to cur/ with the "S" flag); item.path
// follows. An mbox message is only marked in `item`.
bool MarkMailRead(MailItem& item);

// Writes the message's attachments into `folder` under their bare names (a name used
// twice gets " (2)"...); returns the paths written.
QStringList SaveMailAttachments(const MailItem& item, const QString& folder);

}  // namespace tv::messaging
