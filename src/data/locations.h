// Whether a database location, a folder or a server (engine/server.h), holds a database:
// the one check the sign-in, Change Database Location and Options windows make.
#pragma once

#include <QString>

namespace tv::data {

// Whether `location` holds `fileName` ("Data.mdb", "Definitions.mdb", "Messages.mdb"). A
// server location is tried by opening that database there; with `report`, one holding a
// password is refused with message 9170 and one that cannot be used is explained with
// message 9171 (the server's answer appended). A folder is only looked at: its caller words
// what is missing.
bool LocationHoldsDatabase(const QString& location, const QString& fileName, bool report);

}  // namespace tv::data
