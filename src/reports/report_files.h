// The shipped report files (reports/*.rpt in the source tree) and their place in a data
// folder, where the program looks for them beside Data.mdb.
#pragma once

#include <QString>

namespace tv::reports {

// Copies every .rpt file of `sourceFolder` into `dataFolder`, keeping a file the folder
// already has (a site's own layout is never overwritten). Returns the number copied, or
// -1 with the reason in `error`.
int installReportFiles(const QString& sourceFolder, const QString& dataFolder, QString* error);

}  // namespace tv::reports
