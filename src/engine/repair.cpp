// Rebuilding a damaged file from what can be read.
#include "engine/repair.h"

#include "engine/connection.h"
#include "engine/errors.h"
#include "engine/file_probe.h"
#include "engine/schema.h"

#include <QDateTime>
#include <QFile>
#include <limits>

namespace tv::engine {

namespace {

struct SchemaEntry {
    QString type;
    QString name;
    QString sql;
};

QString backupName(const QString& path) {
    const QString base = path + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString name = base;
    for (int n = 1; QFile::exists(name); ++n) name = base + u'-' + QString::number(n);
    return name;
}

bool copyIfExists(const QString& from, const QString& to) {
    return !QFile::exists(from) || QFile::copy(from, to);
}

bool integrityOk(const QString& path) {
    try {
        Connection check(path, true, false, 0);
        Statement statement = check.once(QStringLiteral("PRAGMA integrity_check"));
        return statement.step() && statement.textAt(0) == QLatin1String("ok");
    } catch (const DbError&) {
        return false;
    }
}

// The clean copy SQLite makes itself when the live data can all be read.
bool vacuumInto(const QString& path, const QString& target) {
    try {
        // Opened writable so that a journal left by a crashed writer is rolled back.
        Connection source(path, false, false, 0);
        Statement vacuum = source.once(QStringLiteral("VACUUM INTO ?1"));
        vacuum.bindText(1, target);
        vacuum.run();
    } catch (const DbError&) {
        QFile::remove(target);
        return false;
    }
    if (integrityOk(target)) return true;
    QFile::remove(target);
    return false;
}

// Copies the rows of one table, continuing past unreadable stretches by asking for rows
// beyond the last one read, with growing jumps. Returns the number of rows copied.
long copyRows(Connection& source, Connection& target, const QString& table) {
    constexpr int kMaxResumes = 64;
    const QString name = quoteName(table);
    long copied = 0;
    std::int64_t last = 0;
    bool anyRead = false;
    std::int64_t jump = 1;
    for (int attempt = 0; attempt < kMaxResumes; ++attempt) {
        try {
            Statement read = source.once(
                QStringLiteral("SELECT rowid, * FROM %1%2 ORDER BY rowid")
                    .arg(name, anyRead ? QStringLiteral(" WHERE rowid > ?1") : QString()));
            if (anyRead) read.bindInt(1, last);
            const int columns = read.columnCount();
            QStringList names{QStringLiteral("rowid")};
            QStringList marks{QStringLiteral("?")};
            for (int i = 1; i < columns; ++i) {
                names << quoteName(read.columnName(i));
                marks << QStringLiteral("?");
            }
            Statement insert =
                target.once(QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (%3)")
                                .arg(name, names.join(u','), marks.join(u',')));
            while (read.step()) {
                last = read.intAt(0);
                anyRead = true;
                jump = 1;
                for (int i = 0; i < columns; ++i)
                    sqlite3_bind_value(insert.handle(), i + 1,
                                       sqlite3_column_value(read.handle(), i));
                insert.run();
                insert.reset();
                ++copied;
            }
            return copied;
        } catch (const DbError&) {
            // A table whose first rows cannot be read at all is lost; otherwise step
            // over what could not be read and try again further on.
            if (!anyRead) return copied;
            last += jump;
            jump *= 2;
        }
    }
    return copied;
}

// Rebuilds the file from what can be read. False when not even the schema can be read.
bool salvage(const QString& path, const QString& target) {
    std::vector<SchemaEntry> entries;
    try {
        Connection source(path, true, false, 0);
        Statement schema = source.once(
            QStringLiteral("SELECT type, name, sql FROM sqlite_schema WHERE sql IS NOT NULL "
                           "AND name NOT LIKE 'sqlite~_%' ESCAPE '~'"));
        while (schema.step())
            entries.push_back({schema.textAt(0), schema.textAt(1), schema.textAt(2)});
    } catch (const DbError&) {
        if (entries.empty()) return false;
    }
    bool anyTable = false;
    try {
        Connection source(path, true, false, 0);
        Connection fresh(target, false, true, 0);
        fresh.exec(QStringLiteral("BEGIN"));
        for (const SchemaEntry& entry : entries) {
            if (entry.type != QLatin1String("table")) continue;
            try {
                fresh.exec(entry.sql);
            } catch (const DbError&) {
                continue;
            }
            anyTable = true;
            copyRows(source, fresh, entry.name);
        }
        // Indexes, triggers and views after the rows; one that no longer fits them is
        // left out rather than failing the repair.
        for (const SchemaEntry& entry : entries) {
            if (entry.type == QLatin1String("table")) continue;
            try {
                fresh.exec(entry.sql);
            } catch (const DbError&) {
            }
        }
        fresh.exec(QStringLiteral("COMMIT"));
    } catch (const DbError&) {
        QFile::remove(target);
        return false;
    }
    if (!anyTable && entries.empty()) {
        QFile::remove(target);
        return false;
    }
    return true;
}

}  // namespace

void repairDatabaseFile(const QString& path) {
    requireSqliteFile(path, err::kRepairFailed);
    const QString backup = backupName(path);
    if (!QFile::copy(path, backup) ||
        !copyIfExists(path + QStringLiteral("-journal"), backup + QStringLiteral("-journal")))
        fail(err::kCannotOpenFile, backup);

    const QString target = path + QStringLiteral(".repairing");
    QFile::remove(target);
    if (!vacuumInto(path, target) && !salvage(path, target)) fail(err::kRepairFailed, path);

    QFile::remove(path + QStringLiteral("-journal"));
    QFile::remove(path);
    if (!QFile::rename(target, path)) fail(err::kCannotOpenFile, path);
}

}  // namespace tv::engine
