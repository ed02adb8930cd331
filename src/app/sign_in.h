// The sign-in rules that need no window: where the data database is, what a successful
// sign-in records, and changing a password (the password check itself is the data layer's,
// data/user_rights.h). The sign-in dialogs call these and only move focus and fields.
#pragma once

#include <QString>

namespace tv::app {

// True when the folder holds the data database. The data layer opens exactly "Data.mdb"
// in the data folder (as the definitions and the post office are opened by their exact
// names), so only that name counts: on a case-sensitive file system "DATA.MDB" is another
// file, which would be accepted here and then fail to open.
bool folderHoldsDataDb(const QString& folder);

// Tells the user why a folder is refused as the data folder: message 9060 with the file's
// path when the folder holds the data database under other letters (a folder copied from
// Windows), else message `missing` with `extra` appended.
void reportNoDataDb(const QString& folder, int missing, const QString& extra = QString());

// Closes the data database when it was opened from another folder than DataLocation, so
// that the next table access opens the one the user now points at.
void forgetDataDbElsewhere();

// What a successful sign-in records for the rest of the run: ApplicationName (the stored
// "Application Name", or "Tolvarine 1.20" written back when empty), WindowPlacementMode,
// the setting "User Id", FilesLocation from the setting "Files Location", and the busy
// pointer (Pictures/tvMouse.ico of the site's files folder when it loads as a picture,
// else the hourglass).
void recordSignIn(const QString& userId);

// The default application name, used when none is stored.
inline const QString kDefaultApplicationName = QStringLiteral("Tolvarine 1.20");

// Stores a new password on the user's row, as its hash. Not found: message 7; an engine
// failure: message 106; hashing failed: message 9132. True when stored.
bool storePassword(const QString& userId, const QString& newPassword);

}  // namespace tv::app
