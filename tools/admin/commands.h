// The subcommands of tolvarine-admin. Each takes the arguments after its own name,
// writes results to standard output and problems to standard error, and returns the
// process's exit code.
#pragma once

#include <QStringList>

namespace tv::admin {

// Exit codes shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitDataError = 1;  // the engine or the data refused the work
inline constexpr int kExitUsage = 2;      // the command line is wrong, or not available yet

// create FOLDER [--from DBDIR] [--demo [--scale N]]: the three databases from db/ text
// sources, optionally filled with the demo company; create SERVER --files DIR ... the same
// on a server, its report files and pictures put in DIR.
int runCreate(const QStringList& args);
// check FOLDER [--from DBDIR]: the folder's databases against the shipped schema.
int runCheck(const QStringList& args);
// query FILE STATEMENT: one statement in the program's SQL dialect.
int runQuery(const QStringList& args);
// setting SECTION KEY [VALUE] | setting --delete SECTION KEY: the per-user settings store.
int runSetting(const QStringList& args);
// print FOLDER REPORT [--formula TEXT] [--pdf OUT | --csv OUT | --printer NAME]: a report
// file of the folder rendered with a selection formula.
int runPrint(const QStringList& args);

// copy FROM TO: a site's databases from a folder onto a server (or back, or to a folder),
// with the rows of each table counted.
int runCopy(const QStringList& args);
int copySite(const QString& from, const QString& to, bool quiet);

// Prints the usage text to standard output (help) or standard error (a usage error).
void printUsage(bool toStdErr);
// Reports a usage error with the usage text and returns kExitUsage.
int usageError(const QString& message);

}  // namespace tv::admin
