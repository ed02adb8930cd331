// check: compares a data folder's three databases with the shipped schema and prints each
// difference on a line of its own; custom columns and tables of the site are listed as
// information. Each file also goes through SQLite's integrity check, since a damaged page
// of rows leaves the schema readable. Exits 1 when any difference is an error or a file
// is damaged.
#include "commands.h"
#include "console.h"
#include "data/schema_check.h"
#include "data/shipped_databases.h"
#include "engine/engine.h"
#include "engine/server.h"

#include <QDir>
#include <QFileInfo>

namespace tv::admin {

namespace {

// Runs the integrity check on each database of the folder that exists (a missing or
// unopenable one is reported by the schema check); prints and counts the damaged ones.
int checkIntegrity(const QString& folder) {
    int damaged = 0;
    for (const data::ShippedDatabase& shipped : data::shippedDatabases()) {
        const QString path = folder + u'/' + shipped.fileName;
        // A server keeps its own pages sound; a file is checked page by page.
        if (engine::IsServerLocation(folder) || !QFileInfo::exists(path)) continue;
        QStringList problems;
        try {
            problems = engine::Engine::instance().CheckIntegrity(path);
        } catch (const engine::DbError&) {
            continue;  // the schema check names the file and the engine's error
        }
        if (problems.isEmpty()) continue;
        ++damaged;
        err() << "error: " << shipped.fileName << ": damaged, the program offers to repair it ("
              << problems.front() << (problems.size() > 1 ? ", ..." : "") << ")" << Qt::endl;
    }
    return damaged;
}

}  // namespace

int runCheck(const QStringList& args) {
    QString folder;
    QString source = QStringLiteral(TOLVARINE_SOURCE_DIR "/db");
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--from")) {
            if (++i == args.size()) return usageError(QStringLiteral("--from needs a folder"));
            source = args[i];
        } else if (arg.startsWith(u'-')) {
            return usageError(QStringLiteral("check: unknown option \"%1\"").arg(arg));
        } else if (folder.isEmpty()) {
            folder = arg;
        } else {
            return usageError(QStringLiteral("check: one folder only"));
        }
    }
    if (folder.isEmpty()) return usageError(QStringLiteral("check: no folder given"));

    const data::SchemaReport report = data::checkDatabases(folder, source);
    for (const data::SchemaFinding& finding : report.findings) {
        const bool error = finding.severity == data::SchemaFinding::Severity::Error;
        (error ? err() : out()) << (error ? "error: " : "note: ") << finding.text << Qt::endl;
    }
    const int damaged = checkIntegrity(folder);
    const QString where = engine::IsServerLocation(folder)
                              ? folder
                              : QDir::toNativeSeparators(QDir(folder).absolutePath());
    if (!report.passed()) {
        err() << "check: " << where << " does not match the shipped schema (" << report.errors()
              << (report.errors() == 1 ? " error)" : " errors)") << Qt::endl;
        return kExitDataError;
    }
    if (damaged > 0) {
        err() << "check: " << where << " holds " << damaged
              << (damaged == 1 ? " damaged database" : " damaged databases") << Qt::endl;
        return kExitDataError;
    }
    out() << "The databases in " << where << " match the shipped schema and are sound." << Qt::endl;
    return kExitOk;
}

}  // namespace tv::admin
