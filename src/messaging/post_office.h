// The post office: the shared database Messages.mdb in the folder named by the setting
// "PostOffice" (section "Options"), with the attached files in its "Temp" sub-folder.
// No workstation keeps it open: every operation opens it, does one piece of work, closes
// it and asks the engine to release its locks.
#pragma once

#include "engine/engine.h"

#include <QString>

namespace tv::messaging {

// The post-office folder as stored ("" when none is configured).
QString PostOfficeFolder();
// folder + "\Messages.mdb".
QString PostOfficeFile(const QString& folder);

// Opens folder + "\Messages.mdb", shared and writable. A damaged or unrecognised file asks
// message 12 and, on Yes, is repaired and opened again; any other failure shows message 2
// with the engine's text and the path. Failure gives a database that is not open.
engine::Database OpenPostOffice(const QString& folder);

// Makes sure the setting names a folder holding Messages.mdb, asking for the file while it
// does not (message 500, then the Open dialog) and saving the folder chosen. A file whose
// name is not exactly "Messages.mdb" is refused and the dialog shown again. A stored
// folder ending in a separator is saved again without it. False when the user cancels.
bool LocatePostOffice();

}  // namespace tv::messaging
