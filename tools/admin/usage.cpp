#include "commands.h"
#include "console.h"

namespace tv::admin {

namespace {

const char* const kUsage =
    "Usage: tolvarine-admin COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  create FOLDER [--from DBDIR]\n"
    "      Build Definitions.mdb, Data.mdb and Messages.mdb in FOLDER (created when\n"
    "      missing) from the text sources in DBDIR (default: the source tree's db/),\n"
    "      and copy its Pictures/ beside them. Refuses a folder that already holds\n"
    "      any of the three files.\n"
    "  query FILE STATEMENT\n"
    "      Run one statement in the program's SQL dialect on the database FILE.\n"
    "      SELECT prints a header line of column names and one line per row, tab\n"
    "      separated (tab, line feed and backslash written as \\t, \\n, \\\\); other\n"
    "      statements print the number of rows affected.\n"
    "  setting SECTION KEY [VALUE]\n"
    "      Print the per-user setting (its default when not stored), or store VALUE.\n"
    "  setting --delete SECTION KEY\n"
    "      Remove the per-user setting.\n"
    "  help\n"
    "      Show this text.\n"
    "\n"
    "Exit codes: 0 done, 1 engine or data error, 2 usage error.\n";

}  // namespace

void printUsage(bool toStdErr) {
    QTextStream& stream = toStdErr ? err() : out();
    stream << kUsage << Qt::flush;
}

int usageError(const QString& message) {
    err() << "tolvarine-admin: " << message << "\n\n";
    printUsage(true);
    return kExitUsage;
}

}  // namespace tv::admin
