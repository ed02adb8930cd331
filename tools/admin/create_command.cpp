// create: builds a data folder's three databases from db/ text sources; a site on a server
// is built in a scratch folder, copied onto the server, and its files (report files,
// pictures) go into the folder named by --files.
#include "commands.h"
#include "console.h"
#include "data/shipped_databases.h"
#include "demo/company.h"
#include "reports/report_files.h"

#include "engine/engine.h"
#include "engine/server.h"

#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

namespace tv::admin {
namespace {

// The shipped report files go beside the databases; they live in reports/ next to the
// db/ folder the databases were built from.
bool installReports(const QString& folder, const QString& source) {
    QString error;
    const int copied = reports::installReportFiles(QDir(source).absoluteFilePath(QStringLiteral("../reports")),
                                                   folder, &error);
    if (copied < 0) {
        err() << "create: " << error << Qt::endl;
        return false;
    }
    err() << "  Report files: " << copied << Qt::endl;
    return true;
}

// The demo company: progress goes to standard error (a large scale takes a while), the
// rows written to standard output.
int createDemo(const QString& folder, const QString& source, const demo::Options& options) {
    QString error;
    std::vector<demo::TableCount> counts;
    const bool created =
        demo::createCompany(folder, source, options, &error, &counts,
                            [](const QString& step) { err() << "  " << step << Qt::endl; });
    if (!created) {
        err() << "create: " << error << Qt::endl;
        return kExitDataError;
    }
    if (!installReports(folder, source)) return kExitDataError;
    long total = 0;
    for (const demo::TableCount& c : counts) {
        out() << c.database << '\t' << c.table << '\t' << c.rows << '\n';
        total += c.rows;
    }
    out() << "Created the demo company (scale " << options.scale << ", " << total << " rows) in "
          << QDir::toNativeSeparators(QDir(folder).absolutePath()) << Qt::endl;
    return kExitOk;
}

// Copies every file of a built site folder but its databases into the site's files
// folder, keeping what the folder already has (a site's own layouts and pictures). The
// number copied, or -1 after saying what failed.
int copySiteFiles(const QString& built, const QString& files) {
    if (!QDir().mkpath(files)) {
        err() << "create: cannot create the folder " << QDir::toNativeSeparators(files) << Qt::endl;
        return -1;
    }
    const QDir from(built);
    int copied = 0;
    QDirIterator it(built, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = from.relativeFilePath(path);
        const bool database = std::any_of(
            data::shippedDatabases().begin(), data::shippedDatabases().end(),
            [&](const data::ShippedDatabase& db) { return relative == db.fileName; });
        const QString target = QDir(files).filePath(relative);
        if (database || QFileInfo::exists(target)) continue;
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(path, target)) {
            err() << "create: cannot copy " << relative << " to " << QDir::toNativeSeparators(target)
                  << Qt::endl;
            return -1;
        }
        ++copied;
    }
    return copied;
}

}  // namespace

int runCreate(const QStringList& args) {
    QString folder;
    QString source = QStringLiteral(TOLVARINE_SOURCE_DIR "/db");
    QString files;  // --files: where a server site's report files and pictures go
    bool withDemo = false;
    bool demoOption = false;  // --scale, --seed or --date: only with --demo
    demo::Options options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--files")) {
            if (++i == args.size()) return usageError(QStringLiteral("--files needs a folder"));
            files = args[i];
            continue;
        }
        if (arg == QLatin1String("--from")) {
            if (++i == args.size()) return usageError(QStringLiteral("--from needs a folder"));
            source = args[i];
        } else if (arg == QLatin1String("--demo")) {
            withDemo = true;
        } else if (arg == QLatin1String("--scale")) {
            bool ok = false;
            options.scale = ++i < args.size() ? args[i].toInt(&ok) : 0;
            if (!ok || options.scale < 1)
                return usageError(QStringLiteral("--scale needs a whole number of 1 or more"));
            demoOption = true;
        } else if (arg == QLatin1String("--seed")) {
            bool ok = false;
            options.seed = ++i < args.size() ? args[i].toULongLong(&ok) : 0;
            if (!ok) return usageError(QStringLiteral("--seed needs a whole number"));
            demoOption = true;
        } else if (arg == QLatin1String("--date")) {
            options.today = ++i < args.size() ? QDate::fromString(args[i], Qt::ISODate) : QDate();
            if (!options.today.isValid())
                return usageError(QStringLiteral("--date needs a date written YYYY-MM-DD"));
            demoOption = true;
        } else if (arg.startsWith(u'-')) {
            return usageError(QStringLiteral("create: unknown option \"%1\"").arg(arg));
        } else if (folder.isEmpty()) {
            folder = arg;
        } else {
            return usageError(QStringLiteral("create: one folder only"));
        }
    }
    if (folder.isEmpty()) return usageError(QStringLiteral("create: no folder given"));
    if (demoOption && !withDemo) {
        return usageError(QStringLiteral("create: --scale, --seed and --date go with --demo"));
    }
    if (engine::IsServerLocation(folder)) {
        // A server holds no files: without a folder for them the site would have no report
        // files or pictures, so the folder is asked for rather than guessed.
        if (files.isEmpty())
            return usageError(QStringLiteral(
                "create: a site on a server needs --files DIR, the shared folder that receives "
                "its report files and pictures"));
        if (engine::IsServerLocation(files))
            return usageError(QStringLiteral("create: --files names a folder, not a server"));
        // A site on a server is built in a folder first and copied there.
        QTemporaryDir staging;
        const QString built = staging.filePath(QStringLiteral("site"));
        QStringList again = args;
        const qsizetype at = again.indexOf(QStringLiteral("--files"));
        again.remove(at, 2);
        again.replace(again.indexOf(folder), built);
        if (const int code = runCreate(again); code != kExitOk) return code;
        if (const int code = copySite(built, folder, false); code != kExitOk) return code;
        const int copied = copySiteFiles(built, files);
        if (copied < 0) return kExitDataError;
        const QString shown = QDir::toNativeSeparators(QDir(files).absolutePath());
        out() << "Created the site on " << folder << Qt::endl
              << "Its report files and pictures are in " << shown << " (" << copied
              << " files copied). Each workstation names that folder as its files folder: "
                 "Options, Files Folder, or\n  tolvarine-admin setting Options \"Files Location\" \""
              << shown << "\"" << Qt::endl;
        return kExitOk;
    }
    if (!files.isEmpty())
        return usageError(QStringLiteral(
            "create: --files goes with a server location; a folder site keeps its report "
            "files and pictures beside its databases"));
    if (withDemo) return createDemo(folder, source, options);

    QString error;
    const bool created = data::createDatabases(
        folder, source, &error, [](const QString& step) { out() << "  " << step << Qt::endl; });
    if (!created) {
        err() << "create: " << error << Qt::endl;
        return kExitDataError;
    }
    if (!installReports(folder, source)) return kExitDataError;
    out() << "Created Definitions.mdb, Data.mdb and Messages.mdb in "
          << QDir::toNativeSeparators(QDir(folder).absolutePath()) << Qt::endl;
    return kExitOk;
}

}  // namespace tv::admin
