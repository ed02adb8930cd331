// The high-water marks of auto-number columns and the triggers that keep them.
#include "engine/autonumber.h"

#include "engine/connection.h"
#include "engine/errors.h"
#include "engine/schema.h"

#include <limits>

namespace tv::engine {

namespace {

// The trigger that numbers rows inserted with the column Null keeps the name it always
// had, so upgrading an older file replaces it; the second one watches hand-made changes.
QString insertTriggerName(const QString& table, const QString& column) {
    return quoteName(table + u'|' + column + QStringLiteral("|counter"));
}

QString updateTriggerName(const QString& table, const QString& column) {
    return quoteName(table + u'|' + column + QStringLiteral("|mark"));
}

// Raises the mark of table.column to the value of `value` (an SQL expression) when it
// is higher; adds the mark when there is none.
QString raiseMark(const QString& table, const QString& column, const QString& value,
                  const QString& from) {
    return QStringLiteral(
               "INSERT INTO %1 (tablename, columnname, last) SELECT %2, %3, %4%5 "
               "ON CONFLICT (tablename, columnname) DO UPDATE SET last = %6")
        .arg(quoteName(kAutoNumberTable), quoteLiteral(table), quoteLiteral(column), value, from,
             QStringLiteral("CASE WHEN excluded.last > %1.last THEN excluded.last ELSE %1.last END")
                 .arg(quoteName(kAutoNumberTable)));
}

QString serverTriggerName(const Connection& connection, const QString& table,
                          const QString& column) {
    return quoteName(storedIndexName(connection, table, column + QStringLiteral("|mark")));
}

void dropTriggers(Connection& connection, const QString& table, const QString& column) {
    if (connection.isServer()) {
        connection.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1 ON %2")
                            .arg(serverTriggerName(connection, table, column), quoteName(table)));
        return;
    }
    connection.exec(
        QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(insertTriggerName(table, column)));
    connection.exec(
        QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(updateTriggerName(table, column)));
}

// The file keeps auto-number marks: its format says so and the mark table is there (a
// file of another program may use user_version for its own purposes).
bool upToDate(Connection& connection) {
    Statement check = connection.once(QStringLiteral(
        "SELECT (SELECT user_version FROM pragma_user_version) >= ?1 AND EXISTS (SELECT 1 "
        "FROM sqlite_schema WHERE type = 'table' AND name = ?2)"));
    check.bindInt(1, kStorageFormat);
    check.bindText(2, kAutoNumberTable);
    return check.step() && check.intAt(0) != 0;
}

}  // namespace

void createAutoNumberTable(Connection& connection) {
    const QString text = connection.isServer() ? QStringLiteral("public.citext")
                                               : QStringLiteral("TEXT COLLATE NOCASE");
    connection.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (tablename %2 NOT NULL, "
                                   "columnname %2 NOT NULL, last %3 NOT NULL, "
                                   "PRIMARY KEY (tablename, columnname))")
                        .arg(quoteName(kAutoNumberTable), text,
                             connection.isServer() ? QStringLiteral("bigint")
                                                   : QStringLiteral("INTEGER")));
}

void installAutoNumber(Connection& connection, const QString& table, const QString& column) {
    createAutoNumberTable(connection);
    dropTriggers(connection, table, column);
    const QString t = quoteName(table);
    const QString c = quoteName(column);
    if (connection.isServer()) {
        // A statement's row without a number takes the next one (the column's default);
        // a number written by hand raises the mark (a trigger), as on a file.
        const QString args = quoteLiteral(table) + QStringLiteral(", ") + quoteLiteral(column);
        connection.exec(raiseMark(table, column, QStringLiteral("coalesce(max(%1), 0)").arg(c),
                                  QStringLiteral(" FROM %1").arg(t)));
        connection.exec(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 SET DEFAULT "
                                       "public.jet_autonumber(%3)")
                            .arg(t, c, args));
        connection.exec(QStringLiteral("CREATE TRIGGER %1 AFTER INSERT OR UPDATE OF %2 ON %3 FOR "
                                       "EACH ROW EXECUTE FUNCTION public.jet_raise_mark(%4)")
                            .arg(serverTriggerName(connection, table, column), c, t, args));
        return;
    }
    const QString where = QStringLiteral("tablename = %1 AND columnname = %2")
                              .arg(quoteLiteral(table), quoteLiteral(column));
    const QString thisRow =
        QStringLiteral(" FROM %1 WHERE rowid = NEW.rowid AND %2 IS NOT NULL").arg(t, c);
    // A Null left by the statement takes the next number; whatever the row now holds
    // raises the mark (a file without a mark row falls back to the column's maximum).
    connection.exec(
        QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 FOR EACH ROW BEGIN "
                       "UPDATE %2 SET %3 = coalesce((SELECT last FROM %4 WHERE %5), "
                       "(SELECT max(%3) FROM %2), 0) + 1 WHERE rowid = NEW.rowid AND NEW.%3 IS "
                       "NULL; %6; END")
            .arg(insertTriggerName(table, column), t, c, quoteName(kAutoNumberTable), where,
                 raiseMark(table, column, c, thisRow)));
    connection.exec(
        QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %2 ON %3 FOR EACH ROW WHEN NEW.%2 IS "
                       "NOT NULL BEGIN %4; END")
            .arg(updateTriggerName(table, column), c, t,
                 raiseMark(table, column, QStringLiteral("NEW.") + c, QStringLiteral(" WHERE 1"))));
    // The mark starts at the highest number the column holds (0 for an empty table).
    connection.exec(raiseMark(table, column, QStringLiteral("coalesce(max(%1), 0)").arg(c),
                              QStringLiteral(" FROM %1 WHERE 1").arg(t)));
}

void removeAutoNumber(Connection& connection, const QString& table, const QString& column) {
    dropTriggers(connection, table, column);
    createAutoNumberTable(connection);
    connection.exec(
        QStringLiteral("DELETE FROM %1 WHERE tablename = %2 AND columnname = %3")
            .arg(quoteName(kAutoNumberTable), quoteLiteral(table), quoteLiteral(column)));
}

void forgetAutoNumbers(Connection& connection, const QString& table) {
    createAutoNumberTable(connection);
    connection.exec(QStringLiteral("DELETE FROM %1 WHERE tablename = %2")
                        .arg(quoteName(kAutoNumberTable), quoteLiteral(table)));
}

std::int32_t takeAutoNumber(Connection& connection, const QString& table, const QString& column) {
    Statement next = connection.cached(
        QStringLiteral("UPDATE %1 SET last = last + 1 WHERE tablename = ?1 AND columnname = ?2 "
                       "RETURNING last")
            .arg(quoteName(kAutoNumberTable)));
    next.bindText(1, table);
    next.bindText(2, column);
    std::int64_t number = 0;
    if (next.step()) {
        number = next.intAt(0);
    } else {
        // A column made by an older program while this file was already upgraded.
        Statement first = connection.cached(
            QStringLiteral("INSERT INTO %1 (tablename, columnname, last) VALUES (?1, ?2, "
                           "(SELECT coalesce(max(%2), 0) + 1 FROM %3)) RETURNING last")
                .arg(quoteName(kAutoNumberTable), quoteName(column), quoteName(table)));
        first.bindText(1, table);
        first.bindText(2, column);
        first.step();
        number = first.intAt(0);
    }
    connection.noteChange();
    if (number > std::numeric_limits<std::int32_t>::max()) fail(err::kNumericOverflow, column);
    return static_cast<std::int32_t>(number);
}

void installAllAutoNumbers(Connection& connection) {
    createAutoNumberTable(connection);
    SchemaCache schemas;
    for (const QString& name : schemas.tableNames(connection)) {
        const auto schema = schemas.table(connection, name);
        for (const ColumnSchema& column : schema->columns)
            if (column.type.autoIncrement) installAutoNumber(connection, schema->name, column.name);
    }
}

void upgradeStorage(Connection& connection) {
    // A file that cannot be written (read-only open or medium) is read as it is.
    if (connection.readOnly() || sqlite3_db_readonly(connection.handle(), "main") == 1 ||
        upToDate(connection))
        return;
    connection.acquireWriteLock();
    try {
        // Another process may have upgraded the file while this one waited for the lock.
        if (!upToDate(connection)) {
            connection.exec(QStringLiteral("SAVEPOINT tv_upgrade"));
            try {
                installAllAutoNumbers(connection);
                const bool older = [&] {
                    Statement version = connection.once(QStringLiteral("PRAGMA user_version"));
                    return version.step() && version.intAt(0) < kStorageFormat;
                }();
                if (older)
                    connection.exec(QStringLiteral("PRAGMA user_version = %1").arg(kStorageFormat));
            } catch (const DbError&) {
                connection.exec(QStringLiteral("ROLLBACK TO tv_upgrade"));
                connection.exec(QStringLiteral("RELEASE tv_upgrade"));
                throw;
            }
            connection.exec(QStringLiteral("RELEASE tv_upgrade"));
        }
    } catch (const DbError&) {
        connection.releaseWriteLock();
        throw;
    }
    connection.releaseWriteLock();
}

}  // namespace tv::engine
