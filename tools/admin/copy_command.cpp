// copy: moves a site's three databases between a folder and a PostgreSQL server (either
// way, or folder to folder): each table made again with its columns, keys and indexes, its
// rows copied in one transaction per table, the count of each table printed.
#include "commands.h"
#include "console.h"
#include "data/shipped_databases.h"
#include "engine/database_copy.h"
#include "engine/engine.h"
#include "engine/server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>

namespace tv::admin {

namespace {

QString located(const QString& site, const QString& file) {
    return engine::IsServerLocation(site) ? site + u'/' + file : QDir(site).filePath(file);
}

}  // namespace

int copySite(const QString& from, const QString& to, bool quiet) {
    if (!engine::IsServerLocation(to) && !QDir().mkpath(to)) {
        err() << "copy: cannot create the folder " << to << Qt::endl;
        return kExitDataError;
    }
    long total = 0;
    QElapsedTimer timer;
    timer.start();
    for (const data::ShippedDatabase& shipped : data::shippedDatabases()) {
        const QString source = located(from, shipped.fileName);
        const QString target = located(to, shipped.fileName);
        try {
            engine::Database in = engine::Engine::instance().OpenDatabase(source, true);
            engine::Database out = engine::Engine::instance().CreateDatabase(target);
            engine::CopyDatabase(in, out, [&](const QString& table, long rows) {
                // Each table as it is done: a large site takes a while.
                if (!quiet) tv::admin::out() << shipped.fileName << '\t' << table << '\t' << rows << Qt::endl;
                total += rows;
            });
        } catch (const engine::DbError& e) {
            err() << "copy: " << shipped.fileName << ": error " << e.number() << ": " << e.text()
                  << Qt::endl
                  << "copy: the tables listed above are in " << to
                  << "; copy again into an empty location" << Qt::endl;
            return kExitDataError;
        }
    }
    const double seconds = static_cast<double>(timer.elapsed()) / 1000.0;
    if (!quiet)
        out() << "Copied " << total << " rows to " << to << " in " << QString::number(seconds, 'f', 1)
              << " s (" << qRound64(static_cast<double>(total) / std::max(seconds, 0.001))
              << " rows/s)" << Qt::endl;
    return kExitOk;
}

int runCopy(const QStringList& args) {
    if (args.size() != 2) return usageError(QStringLiteral("copy needs a FROM and a TO location"));
    if (const int code = copySite(args[0], args[1], false); code != kExitOk) return code;
    // Only the databases move. A folder's pictures, report files and attachments stay
    // where they are: every workstation already reaches that folder, attachment rows may
    // name files in it by their full path, and a second copy would drift from the first.
    const bool fromServer = engine::IsServerLocation(args[0]);
    const bool toServer = engine::IsServerLocation(args[1]);
    if (!fromServer && toServer) {
        const QString folder = QDir::toNativeSeparators(QDir(args[0]).absolutePath());
        out() << "The pictures, report files and attachments stay in " << folder
              << ". Each workstation names that folder as its files folder: Options, Files "
                 "Folder, or\n  tolvarine-admin setting Options \"Files Location\" \""
              << folder << "\"" << Qt::endl;
    } else if (fromServer && !toServer) {
        out() << "The site's pictures, report files and attachments are in its files folder "
                 "(the setting \"Files Location\"); copy them into "
              << QDir::toNativeSeparators(QDir(args[1]).absolutePath())
              << " if that folder is to hold the site." << Qt::endl;
    }
    return kExitOk;
}

}  // namespace tv::admin
