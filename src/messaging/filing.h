// Filing a received message in the program's records: it becomes an activity of the
// customer it is about (type "Local Email", "Internet Email" or "Fax" by how it came, its
// subject as description and its body as notes, at the time it was received or the
// first free second after), and its attached files are copied into the data folder's
// "Attachments" folder and listed with the customer. The message window files post-office
// messages this way; the mail-folder window files mail from the user's own mail store.
#pragma once

#include "core/variant.h"

#include <QString>
#include <QStringList>

namespace tv::messaging {

struct MessageToFile {
    QString customer;
    QString contact;
    tv::DateTime received;
    QString sentVia;  // "Local", "Internet", "Fax" ...: chooses the activity type
    QString subject;
    QString body;     // rich text
    // Full paths of the files to file with it (none: the activity alone).
    QStringList attachments;
};

// The activity type a message arriving this way is filed under.
QString FiledActivityType(const QString& sentVia);

// Writes the activity, then copies each attachment that exists into
// Attachments/ of the site's files folder (data::siteFilesFolder; a name already taken there gets " (2)", " (3)" ... before its
// extension) with a "Customer Attachments" row "Message attachment". The customer must
// exist: message 955 otherwise, and nothing is written. A database error has been shown
// by the data layer. Returns true when the activity was written; `filed` receives the
// names the attachments were stored under, `missing` the paths that were not there.
bool FileMessage(const MessageToFile& message, QStringList* filed = nullptr,
                 QStringList* missing = nullptr);

}  // namespace tv::messaging
