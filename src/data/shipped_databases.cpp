// Building the shipped databases: each database's schema scripts run through the engine's
// dialect, then each row file is loaded into its table in one transaction, every value
// assigned as text so that the engine converts it to the column's type exactly as it does
// for the windows. Work happens in a hidden staging folder; the finished files are moved
// into the data folder at the end, so a half-built database is never left behind.
#include "data/shipped_databases.h"

#include "core/variant.h"
#include "data/shipped_text.h"
#include "engine/engine.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <exception>

namespace tv::data {
namespace {

using engine::Database;
using engine::DbError;
using engine::Engine;

// A failure inside this file, carrying the message for the caller. It never leaves
// createDatabases.
struct BuildFailure {
    QString message;
};

// How a file is named in messages: relative to the db/ folder, as a person finds it there.
class SourceNames {
public:
    explicit SourceNames(const QString& root) : root_(root) {}
    QString operator()(const QString& path) const { return root_.relativeFilePath(path); }

private:
    QDir root_;
};

QString describe(const DbError& e) {
    return QStringLiteral("%1 (engine error %2)").arg(e.text()).arg(e.number());
}

QString readUtf8(const QString& path, const SourceNames& name) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw BuildFailure{
            QStringLiteral("%1: cannot be read: %2").arg(name(path), file.errorString())};
    }
    return QString::fromUtf8(file.readAll());
}

QStringList filesIn(const QString& folder, const QString& pattern) {
    QStringList paths;
    const QDir dir(folder);
    for (const QString& entry : dir.entryList({pattern}, QDir::Files, QDir::Name)) {
        paths.append(dir.filePath(entry));
    }
    return paths;
}

void runSchema(Database& db, const QString& schemaFolder, const SourceNames& name) {
    for (const QString& path : filesIn(schemaFolder, QStringLiteral("*.sql"))) {
        for (const ScriptStatement& statement : splitSqlScript(readUtf8(path, name))) {
            try {
                db.Execute(statement.text);
            } catch (const DbError& e) {
                throw BuildFailure{QStringLiteral("%1:%2: %3")
                                       .arg(name(path))
                                       .arg(statement.line)
                                       .arg(describe(e))};
            }
        }
    }
}

// Loads one row file into the table named like the file. Returns the number of rows.
int loadRows(Database& db, const QString& path, const SourceNames& name) {
    const QString table = QFileInfo(path).completeBaseName();
    TsvTable rows;
    int errorLine = 0;
    QString parseError;
    if (!parseTsv(readUtf8(path, name), &rows, &errorLine, &parseError)) {
        throw BuildFailure{
            QStringLiteral("%1:%2: %3").arg(name(path)).arg(errorLine).arg(parseError)};
    }
    if (!db.HasTable(table)) {
        throw BuildFailure{
            QStringLiteral("%1: no table named %2 in the schema").arg(name(path), table)};
    }

    // Columns by ordinal, resolved once from the header.
    std::vector<int> ordinals;
    try {
        const engine::TableDef def = db.TableDefNamed(table);
        for (const QString& column : rows.columns) {
            try {
                ordinals.push_back(def.FieldNamed(column).OrdinalPosition());
            } catch (const DbError&) {
                throw BuildFailure{QStringLiteral("%1:%2: table %3 has no column %4")
                                       .arg(name(path))
                                       .arg(rows.headerLine)
                                       .arg(table, column)};
            }
        }
    } catch (const DbError& e) {
        throw BuildFailure{QStringLiteral("%1: %2").arg(name(path), describe(e))};
    }

    int currentLine = rows.headerLine;
    engine::Recordset rs;
    auto failure = [&](const QString& reason) {
        return BuildFailure{
            QStringLiteral("%1:%2: %3").arg(name(path)).arg(currentLine).arg(reason)};
    };
    try {
        rs = db.OpenRecordset(table, engine::RecordsetType::Table);
        for (const TsvRow& row : rows.rows) {
            currentLine = row.line;
            rs.AddNew();
            for (size_t i = 0; i < row.cells.size(); ++i) {
                // Columns left empty stay Null, which also lets a counter number itself.
                if (row.cells[i]) rs.FieldAt(ordinals[i]).SetValue(Variant(*row.cells[i]));
            }
            rs.Update();
        }
        rs.Close();
    } catch (const DbError& e) {
        throw failure(describe(e));
    } catch (const ConversionError& e) {
        throw failure(e.text());
    }
    return static_cast<int>(rows.rows.size());
}

// The whole database is built in one transaction: the file is new and is thrown away on
// any failure, so it needs no durability until it is complete, and each commit would
// cost disk flushes (hundreds of them, one commit per statement).
void buildDatabase(const QString& target, const QString& sourceFolder, const SourceNames& name,
                   const CreateProgress& progress) {
    const QString fileName = QFileInfo(target).fileName();
    const QString schema = sourceFolder + QStringLiteral("/schema");
    if (!QFileInfo(schema).isDir()) {
        throw BuildFailure{QStringLiteral("%1: no schema folder").arg(name(sourceFolder))};
    }
    Database db;
    try {
        db = Engine::instance().CreateDatabase(target);
        db.BeginTrans();
    } catch (const DbError& e) {
        throw BuildFailure{QStringLiteral("%1: cannot be created: %2").arg(fileName, describe(e))};
    }
    try {
        if (progress) progress(QStringLiteral("%1: tables").arg(fileName));
        runSchema(db, schema, name);
        for (const QString& path : filesIn(sourceFolder + QStringLiteral("/rows"), "*.tsv")) {
            const int count = loadRows(db, path, name);
            if (progress) {
                progress(QStringLiteral("%1: %2, %3 %4")
                             .arg(fileName, QFileInfo(path).completeBaseName())
                             .arg(count)
                             .arg(count == 1 ? "row" : "rows"));
            }
        }
        db.CommitTrans();
        db.Close();
    } catch (const DbError& e) {
        db.Close();
        throw BuildFailure{QStringLiteral("%1: %2").arg(fileName, describe(e))};
    } catch (...) {
        // Closing drops the open transaction; the file goes with the staging folder.
        db.Close();
        throw;
    }
}

// The first of the database files already in `folder` (any letter case, since a copy
// from a Windows share may be spelled otherwise), or an empty text.
QString existingDatabase(const QString& folder) {
    const QStringList present = QDir(folder).entryList(QDir::Files);
    for (const ShippedDatabase& db : shippedDatabases()) {
        for (const QString& entry : present) {
            if (entry.compare(db.fileName, Qt::CaseInsensitive) == 0) return entry;
        }
    }
    return QString();
}

// Copies the picture tree, keeping any picture the folder already has.
void copyPictures(const QString& from, const QString& to) {
    if (!QFileInfo(from).isDir()) return;
    const QDir source(from);
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + u'/' + source.relativeFilePath(path);
        if (QFileInfo::exists(target)) continue;
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(path, target)) {
            throw BuildFailure{QStringLiteral("cannot copy %1 to %2").arg(path, target)};
        }
    }
}

}  // namespace

const std::vector<ShippedDatabase>& shippedDatabases() {
    static const std::vector<ShippedDatabase> all = {
        {QStringLiteral("definitions"), QStringLiteral("Definitions.mdb")},
        {QStringLiteral("data"), QStringLiteral("Data.mdb")},
        {QStringLiteral("messages"), QStringLiteral("Messages.mdb")},
    };
    return all;
}

bool createDatabases(const QString& folder, const QString& dbSourceDir, QString* error,
                     const CreateProgress& progress) {
    auto fail = [error](const QString& message) {
        if (error) *error = message;
        return false;
    };
    if (!QFileInfo(dbSourceDir).isDir()) {
        return fail(QStringLiteral("%1 is not a folder of database sources").arg(dbSourceDir));
    }
    const QString present = existingDatabase(folder);
    if (!present.isEmpty()) {
        return fail(QStringLiteral("%1 already holds %2; nothing was changed. Create the "
                                   "databases in an empty folder, or move the existing "
                                   "files away first.")
                        .arg(QDir::toNativeSeparators(folder), present));
    }
    if (!QDir().mkpath(folder)) {
        return fail(QStringLiteral("cannot create the folder %1").arg(folder));
    }

    QTemporaryDir staging(folder + QStringLiteral("/.tolvarine-create-XXXXXX"));
    if (!staging.isValid()) {
        return fail(QStringLiteral("cannot write in %1: %2").arg(folder, staging.errorString()));
    }

    const SourceNames name(dbSourceDir);
    QStringList moved;
    try {
        for (const ShippedDatabase& db : shippedDatabases()) {
            buildDatabase(staging.filePath(db.fileName), dbSourceDir + u'/' + db.sourceFolder, name,
                          progress);
        }
        for (const ShippedDatabase& db : shippedDatabases()) {
            const QString target = folder + u'/' + db.fileName;
            // rename refuses to overwrite, so a file that appeared meanwhile is kept.
            if (!QFile::rename(staging.filePath(db.fileName), target)) {
                throw BuildFailure{QStringLiteral("cannot move %1 into %2")
                                       .arg(db.fileName, QDir::toNativeSeparators(folder))};
            }
            moved.append(target);
        }
        if (progress) progress(QStringLiteral("Pictures"));
        copyPictures(dbSourceDir + QStringLiteral("/Pictures"),
                     folder + QStringLiteral("/Pictures"));
    } catch (const BuildFailure& failure) {
        for (const QString& path : moved) QFile::remove(path);
        return fail(failure.message);
    } catch (const std::exception& e) {
        for (const QString& path : moved) QFile::remove(path);
        return fail(QString::fromUtf8(e.what()));
    }
    return true;
}

}  // namespace tv::data
