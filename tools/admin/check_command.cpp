// check: compares a data folder's three databases with the shipped schema and prints each
// difference on a line of its own; custom columns and tables of the site are listed as
// information. Exits 1 when any difference is an error.
#include "commands.h"
#include "console.h"
#include "data/schema_check.h"

#include <QDir>

namespace tv::admin {

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
    const QString where = QDir::toNativeSeparators(QDir(folder).absolutePath());
    if (!report.passed()) {
        err() << "check: " << where << " does not match the shipped schema (" << report.errors()
              << (report.errors() == 1 ? " error)" : " errors)") << Qt::endl;
        return kExitDataError;
    }
    out() << "The databases in " << where << " match the shipped schema." << Qt::endl;
    return kExitOk;
}

}  // namespace tv::admin
