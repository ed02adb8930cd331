// Rebuilding a damaged file from what can be read, with the file held exclusively.
#include "engine/repair.h"

#include "engine/autonumber.h"
#include "engine/connection.h"
#include "engine/errors.h"
#include "engine/file_probe.h"
#include "engine/schema.h"

#include <QDateTime>
#include <QFile>
#include <algorithm>
#include <limits>
#include <unordered_set>

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

// Takes the exclusive lock and keeps it until the connection closes: in exclusive locking
// mode SQLite releases no lock at the end of a transaction.
void lockExclusively(Connection& source, const QString& path) {
    try {
        source.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
        source.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        source.exec(QStringLiteral("COMMIT"));
    } catch (const DbError& error) {
        if (error.number() == err::kLocked) fail(err::kFileInUse, path);
        // The header or the first page cannot be read: there is nothing to start from.
        fail(err::kRepairFailed, path);
    }
}

// The file's tables, indexes, triggers and views; none when the catalogue cannot be read.
std::vector<SchemaEntry> readSchema(Connection& source) {
    std::vector<SchemaEntry> entries;
    try {
        Statement schema = source.once(
            QStringLiteral("SELECT type, name, sql FROM sqlite_schema WHERE sql IS NOT NULL AND "
                           "name NOT LIKE 'sqlite~_%' ESCAPE '~'"));
        while (schema.step())
            entries.push_back({schema.textAt(0), schema.textAt(1), schema.textAt(2)});
    } catch (const DbError&) {
        entries.clear();
    }
    return entries;
}

bool integrityOk(Connection& connection) {
    try {
        Statement check = connection.once(QStringLiteral("PRAGMA integrity_check"));
        return check.step() && check.textAt(0) == QLatin1String("ok");
    } catch (const DbError&) {
        return false;
    }
}

// The rowids a query gives before it ends or meets damage; `complete` tells which.
std::vector<std::int64_t> readRowids(Connection& connection, const QString& sql,
                                     bool* complete = nullptr) {
    std::vector<std::int64_t> rowids;
    if (complete) *complete = false;
    try {
        Statement statement = connection.once(sql);
        while (statement.step()) rowids.push_back(statement.intAt(0));
        if (complete) *complete = true;
    } catch (const DbError&) {
    }
    return rowids;
}

// The table's indexes (a partial one tells nothing of the whole table).
QStringList indexesOf(Connection& connection, const QString& table) {
    QStringList names;
    try {
        Statement list = connection.once(
            QStringLiteral("SELECT name FROM pragma_index_list(?1) WHERE partial = 0"));
        list.bindText(1, table);
        while (list.step()) names << list.textAt(0);
    } catch (const DbError&) {
    }
    return names;
}

// The rowids an index holds, read from the index alone (it survives a lost table page).
QString indexRowids(const QString& table, const QString& index) {
    return QStringLiteral("SELECT rowid FROM %1 INDEXED BY %2")
        .arg(quoteName(table), quoteName(index));
}

long count(Connection& connection, const QString& table) {
    Statement statement =
        connection.once(QStringLiteral("SELECT count(*) FROM %1").arg(quoteName(table)));
    statement.step();
    return static_cast<long>(statement.intAt(0));
}

// Copies the rows of one table: first in rowid order, continuing past unreadable stretches
// by asking for rows beyond the last one read, with growing jumps; then every row an index
// still knows of that the walk jumped over, one by one.
void copyRows(Connection& source, Connection& target, const QString& table) {
    constexpr int kMaxResumes = 64;
    const QString name = quoteName(table);
    Statement read = source.once(
        QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid > ?1 ORDER BY rowid").arg(name));
    Statement one =
        source.once(QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid = ?1").arg(name));
    const int columns = read.columnCount();
    QStringList names{QStringLiteral("rowid")};
    QStringList marks{QStringLiteral("?")};
    for (int i = 1; i < columns; ++i) {
        names << quoteName(read.columnName(i));
        marks << QStringLiteral("?");
    }
    Statement insert = target.once(QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (%3)")
                                       .arg(name, names.join(u','), marks.join(u',')));
    std::unordered_set<std::int64_t> copied;
    auto copy = [&](Statement& from) {
        for (int i = 0; i < columns; ++i)
            sqlite3_bind_value(insert.handle(), i + 1, sqlite3_column_value(from.handle(), i));
        insert.run();
        insert.reset();
        copied.insert(from.intAt(0));
    };
    std::int64_t last = std::numeric_limits<std::int64_t>::min();
    std::int64_t jump = 1;
    for (int attempt = 0; attempt < kMaxResumes; ++attempt) {
        try {
            read.reset();
            read.bindInt(1, last);
            while (read.step()) {
                last = read.intAt(0);
                jump = 1;
                copy(read);
            }
            break;
        } catch (const DbError&) {
            if (copied.empty()) break;  // not even the first rows: the indexes may help
            last += jump;
            jump *= 2;
        }
    }
    for (const QString& index : indexesOf(source, table)) {
        for (std::int64_t rowid : readRowids(source, indexRowids(table, index))) {
            if (copied.count(rowid)) continue;
            try {
                one.reset();
                one.bindInt(1, rowid);
                if (one.step()) copy(one);
            } catch (const DbError&) {
                copied.insert(rowid);  // on a lost page: not asked for again
            }
        }
    }
}

// Rebuilds the file's contents in `target` from what can be read.
void salvage(Connection& source, const std::vector<SchemaEntry>& entries, const QString& target) {
    Connection fresh(target, false, true, 0);
    for (const char* header : {"application_id", "user_version"}) {
        Statement value = source.once(QStringLiteral("PRAGMA %1").arg(QLatin1String(header)));
        if (value.step())
            fresh.exec(
                QStringLiteral("PRAGMA %1 = %2").arg(QLatin1String(header)).arg(value.intAt(0)));
    }
    fresh.exec(QStringLiteral("BEGIN"));
    for (const SchemaEntry& entry : entries) {
        if (entry.type != QLatin1String("table")) continue;
        try {
            fresh.exec(entry.sql);
        } catch (const DbError&) {
            continue;
        }
        try {
            copyRows(source, fresh, entry.name);
        } catch (const DbError&) {
            // Not one statement on its rows could be made: the table stays empty.
        }
    }
    // Indexes, triggers and views after the rows; one that no longer fits them is left
    // out rather than failing the repair.
    for (const SchemaEntry& entry : entries) {
        if (entry.type == QLatin1String("table")) continue;
        try {
            fresh.exec(entry.sql);
        } catch (const DbError&) {
        }
    }
    fresh.exec(QStringLiteral("COMMIT"));
}

// The clean copy SQLite makes itself when the live data can all be read.
bool vacuumInto(Connection& source, const QString& target) {
    try {
        Statement vacuum = source.once(QStringLiteral("VACUUM INTO ?1"));
        vacuum.bindText(1, target);
        vacuum.run();
        Connection copy(target, true, false, 0);
        if (integrityOk(copy)) return true;
    } catch (const DbError&) {
    }
    QFile::remove(target);
    return false;
}

void sortByName(std::vector<RepairedTable>& tables) {
    std::sort(tables.begin(), tables.end(), [](const RepairedTable& a, const RepairedTable& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
}

bool isUserTable(const SchemaEntry& entry) {
    return entry.type == QLatin1String("table") && entry.name != kAutoNumberTable;
}

// What was saved of each table, measured against what the damaged file still tells: the
// rows its table pages give and the entries of each of its indexes (an index often
// survives the loss of a table page, and then knows how many rows there were).
std::vector<RepairedTable> measure(Connection& source, Connection& repaired,
                                   const std::vector<SchemaEntry>& entries) {
    std::vector<RepairedTable> tables;
    for (const SchemaEntry& entry : entries) {
        if (!isUserTable(entry)) continue;
        RepairedTable result{entry.name};
        try {
            result.saved = count(repaired, entry.name);
        } catch (const DbError&) {
        }
        QStringList walks{
            QStringLiteral("SELECT rowid FROM %1 NOT INDEXED").arg(quoteName(entry.name))};
        for (const QString& index : indexesOf(source, entry.name))
            walks << indexRowids(entry.name, index);
        long expected = 0;
        bool known = false;  // some walk reached its end
        for (const QString& walk : walks) {
            bool complete = false;
            const auto rowids = readRowids(source, walk, &complete);
            expected = std::max(expected, static_cast<long>(rowids.size()));
            known = known || complete;
        }
        result.unreadable = std::max(0L, expected - result.saved);
        result.incomplete = !known;
        tables.push_back(result);
    }
    sortByName(tables);
    return tables;
}

// A copy of the file as it is, read through the handle SQLite holds the lock on.
void keepCopy(Connection& source, const QString& copyPath) {
    sqlite3_file* file = nullptr;
    sqlite3_file_control(source.handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file);
    sqlite3_int64 size = 0;
    QFile out(copyPath);
    if (!file || !file->pMethods || file->pMethods->xFileSize(file, &size) != SQLITE_OK ||
        !out.open(QIODevice::WriteOnly))
        fail(err::kCannotOpenFile, copyPath);
    QByteArray chunk(1 << 16, '\0');
    for (sqlite3_int64 at = 0; at < size; at += chunk.size()) {
        const int n = static_cast<int>(std::min<sqlite3_int64>(chunk.size(), size - at));
        if (file->pMethods->xRead(file, chunk.data(), n, at) != SQLITE_OK ||
            out.write(chunk.constData(), n) != n)
            fail(err::kDiskError, copyPath);
    }
    if (!out.flush()) fail(err::kDiskError, copyPath);
}

// Writes the repaired pages over the original file in one journalled transaction.
void writeBack(Connection& repaired, Connection& source) {
    sqlite3_backup* backup =
        sqlite3_backup_init(source.handle(), "main", repaired.handle(), "main");
    if (!backup) failSqlite(source.handle(), sqlite3_errcode(source.handle()), source.path());
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE) failSqlite(source.handle(), stepped, source.path());
    if (finished != SQLITE_OK) failSqlite(source.handle(), finished, source.path());
}

}  // namespace

bool RepairReport::lostRows() const {
    return std::any_of(tables.begin(), tables.end(),
                       [](const RepairedTable& t) { return t.lostRows(); });
}

QString RepairReport::lossSummary() const {
    QStringList lines;
    for (const RepairedTable& t : tables) {
        if (!t.lostRows()) continue;
        const QString lost =
            t.unreadable > 0 ? QString::number(t.unreadable) : QStringLiteral("an unknown number");
        lines << QStringLiteral("%1: %2 %3 saved, %4 could not be read")
                     .arg(t.name)
                     .arg(t.saved)
                     .arg(t.saved == 1 ? QStringLiteral("row") : QStringLiteral("rows"), lost);
    }
    return lines.join(u'\n');
}

RepairReport repairDatabaseFile(const QString& path, int busyTimeoutMs) {
    requireSqliteFile(path, err::kRepairFailed);
    // Writable, so that a journal left by a writer that was stopped is rolled back first.
    Connection source(path, false, false, busyTimeoutMs);
    lockExclusively(source, path);
    const std::vector<SchemaEntry> entries = readSchema(source);

    RepairReport report;
    if (integrityOk(source)) {
        for (const SchemaEntry& entry : entries)
            if (isUserTable(entry))
                report.tables.push_back({entry.name, count(source, entry.name)});
        sortByName(report.tables);
        return report;
    }

    if (entries.empty()) fail(err::kRepairFailed, path);
    report.damaged = true;
    const QString target = path + QStringLiteral(".repairing");
    QFile::remove(target);
    try {
        if (!vacuumInto(source, target)) salvage(source, entries, target);
        Connection repaired(target, false, false, 0);
        // Auto-number marks lost with a damaged page start again at their column's highest
        // number (in files of this engine; others are given none).
        if (std::any_of(entries.begin(), entries.end(),
                        [](const SchemaEntry& e) { return e.name == kAutoNumberTable; }))
            installAllAutoNumbers(repaired);
        report.tables = measure(source, repaired, entries);
        report.damagedCopy = backupName(path);
        keepCopy(source, report.damagedCopy);
        writeBack(repaired, source);
    } catch (const DbError&) {
        QFile::remove(target);
        throw;
    }
    QFile::remove(target);
    return report;
}

QStringList integrityProblems(const QString& path, int busyTimeoutMs) {
    requireSqliteFile(path);
    Connection connection(path, true, false, busyTimeoutMs);
    QStringList problems;
    try {
        Statement check = connection.once(QStringLiteral("PRAGMA integrity_check"));
        // SQLite heads its findings with a line naming the schema ("*** in database main ***").
        while (check.step())
            if (check.textAt(0) != QLatin1String("ok") && !check.textAt(0).startsWith(u'*'))
                problems << check.textAt(0);
    } catch (const DbError& error) {
        // Some damage stops the check itself: that is its finding.
        if (error.number() != err::kDamaged && error.number() != err::kNotDatabase) throw;
        problems << error.text();
    }
    return problems;
}

}  // namespace tv::engine
