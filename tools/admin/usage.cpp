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
    "      and copy its Pictures/ and the report files beside them. Refuses a folder\n"
    "      that already holds any of the three files.\n"
    "  create SERVER --files DIR [--demo ...] [--from DBDIR]\n"
    "      The same site on a PostgreSQL server (see copy); its Pictures/ and report\n"
    "      files go into the folder DIR (created when missing; files already there\n"
    "      are kept), which each workstation names as its \"Files Location\"\n"
    "      (Options, Files Folder). No setting is changed.\n"
    "  create FOLDER --demo [--scale N] [--seed N] [--date YYYY-MM-DD] [--from DBDIR]\n"
    "      The same, filled with a demo company: an office-equipment dealer with\n"
    "      1,000 customers and about 10,000 activities per unit of scale (default 1;\n"
    "      scale 100 gives 100,000 customers and about a million activities). Its\n"
    "      history runs up to the date (default today); its names, places and\n"
    "      products are read from DBDIR/demo. The same lists, scale, seed and date\n"
    "      always give the same company. Progress goes to standard error, the\n"
    "      rows written per table to standard output. Staff sign in with their user\n"
    "      id as password (e.g. mwilson).\n"
    "  check FOLDER [--from DBDIR]\n"
    "      Compare the folder's three databases with the shipped schema: tables,\n"
    "      column order, names, types, sizes, required flags, keys and indexes; and\n"
    "      run SQLite's integrity check on each. Each difference or damage is printed\n"
    "      on a line of its own; custom columns appended after the standard ones are\n"
    "      listed as notes. Exits 1 when any difference exists or a file is missing,\n"
    "      damaged or not a database of this program.\n"
    "  query FILE STATEMENT\n"
    "      Run one statement in the program's SQL dialect on the database FILE.\n"
    "      SELECT prints a header line of column names and one line per row, tab\n"
    "      separated (tab, line feed and backslash written as \\t, \\n, \\\\); other\n"
    "      statements print the number of rows affected.\n"
    "  copy FROM TO\n"
    "      Copy a site's three databases from FROM to TO, each a folder or a\n"
    "      PostgreSQL server (a libpq URI such as postgresql://host/site, or a\n"
    "      keyword string such as \"host=/run/postgresql dbname=site\"): tables,\n"
    "      keys, indexes and rows; prints each table's row count. TO must not\n"
    "      hold the databases yet. On a server the databases are the schemas\n"
    "      data, definitions and messages of the site's database (made when\n"
    "      missing); the password comes from ~/.pgpass or PGPASSWORD. Only the\n"
    "      databases move: a folder's pictures, report files and attachments stay\n"
    "      in it, and each workstation names it as its \"Files Location\".\n"
    "      create, check and query take a server location too: query LOCATION\n"
    "      answers on its data schema, LOCATION/Definitions.mdb and\n"
    "      LOCATION/Messages.mdb name the others.\n"
    "  setting SECTION KEY [VALUE]\n"
    "      Print the per-user setting (its default when not stored), or store VALUE.\n"
    "  setting --delete SECTION KEY\n"
    "      Remove the per-user setting.\n"
    "  print FOLDER REPORT [--formula TEXT] [--pdf OUT | --csv OUT | --printer NAME]\n"
    "      Render the report file REPORT (a path, or a name in FOLDER) with the\n"
    "      databases of FOLDER, restricted by the record-selection formula TEXT\n"
    "      (e.g. \"{Quotations Detail.QuoteNo} = 1001\"): to the PDF file OUT, its\n"
    "      detail rows to the CSV file OUT, or to the printer NAME (default: the\n"
    "      system's default printer). A problem is printed on standard error.\n"
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
