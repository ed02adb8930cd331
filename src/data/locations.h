// Database locations, a folder or a server (engine/server.h): whether one holds a database
// (the one check the sign-in, Change Database Location and Options windows make), and
// where the site's own files live beside its databases.
#pragma once

#include <QString>

namespace tv::data {

// Whether `location` holds `fileName` ("Data.mdb", "Definitions.mdb", "Messages.mdb"). A
// server location is tried by opening that database there; with `report`, one holding a
// password is refused with message 9170 and one that cannot be used is explained with
// message 9171 (the server's answer appended). A folder is only looked at: its caller words
// what is missing.
bool LocationHoldsDatabase(const QString& location, const QString& fileName, bool report);

// The folder of the site's files: pictures (Pictures/), report files (*.rpt) and customers'
// attachments (Attachments/), without a trailing separator. Every place that reads or
// writes one of them asks here, because a site on a database server has no data folder.
//
// A folder site keeps them in its data folder, as it always has. A server site keeps them
// in state().FilesLocation (the setting "Files Location"); when that is not set, in the
// definitions folder if the definitions are in a folder (a folder every workstation
// already reaches). When none is set, or the folder named does not exist, the result is
// empty and the user is told (message 9190 or 9191): once per sign-in for what is only
// looked at (pictures are then left out), and each time with `userAsked`, for an action
// the user chose (a report printed, a file attached or deleted) that cannot be done.
QString siteFilesFolder(bool userAsked = false);
// Whether `folder` can serve as a site's files folder: an existing folder, not a server.
bool isFilesFolder(const QString& folder);
// `relative` ("Pictures/tvMouse.ico", "Quote.rpt") in the site's files folder; empty when
// the site has no usable files folder.
QString siteFile(const QString& relative, bool userAsked = false);

}  // namespace tv::data
