// create: builds a data folder's three databases from db/ text sources.
#include "commands.h"
#include "console.h"
#include "data/shipped_databases.h"

#include <QDir>

namespace tv::admin {

int runCreate(const QStringList& args) {
    QString folder;
    QString source = QStringLiteral(TOLVARINE_SOURCE_DIR "/db");
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--from")) {
            if (++i == args.size()) return usageError(QStringLiteral("--from needs a folder"));
            source = args[i];
        } else if (arg == QLatin1String("--demo") || arg == QLatin1String("--scale")) {
            err() << "create " << arg << ": not yet available" << Qt::endl;
            return kExitUsage;
        } else if (arg.startsWith(u'-')) {
            return usageError(QStringLiteral("create: unknown option \"%1\"").arg(arg));
        } else if (folder.isEmpty()) {
            folder = arg;
        } else {
            return usageError(QStringLiteral("create: one folder only"));
        }
    }
    if (folder.isEmpty()) return usageError(QStringLiteral("create: no folder given"));

    QString error;
    const bool created = data::createDatabases(
        folder, source, &error, [](const QString& step) { out() << "  " << step << Qt::endl; });
    if (!created) {
        err() << "create: " << error << Qt::endl;
        return kExitDataError;
    }
    out() << "Created Definitions.mdb, Data.mdb and Messages.mdb in "
          << QDir::toNativeSeparators(QDir(folder).absolutePath()) << Qt::endl;
    return kExitOk;
}

}  // namespace tv::admin
