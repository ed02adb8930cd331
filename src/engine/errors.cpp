// Texts of the engine's error numbers and the mapping of SQLite failures onto them.
#include "engine/errors.h"

#include "engine/jet_dialect.h"

#include <sqlite3.h>

#include <QHash>

namespace tv::engine {

namespace {

// "%1" marks where the detail (a name, a path, a statement) goes.
const QHash<int, QString>& texts() {
    static const QHash<int, QString> table = {
        {err::kTypeMismatch, QStringLiteral("Type mismatch.")},
        {err::kEngineFailure, QStringLiteral("Database engine failure.")},
        {err::kDuplicateName, QStringLiteral("Table, field or index '%1' already exists.")},
        {err::kIndexNotFound, QStringLiteral("'%1' isn't an index in this table.")},
        {err::kUpdateWithoutEdit, QStringLiteral("Update or CancelUpdate without AddNew or Edit.")},
        {err::kNoCurrentRecord, QStringLiteral("No current record.")},
        {err::kDuplicateKey,
         QStringLiteral("The changes you requested to the table were not successful because "
                        "they would create duplicate values in the index or primary key.")},
        {err::kFileNotFound, QStringLiteral("Could not find file '%1'.")},
        {err::kDiskFull, QStringLiteral("Not enough space on disk.")},
        {err::kNotUpdatable, QStringLiteral("Cannot update. Database or object is read-only.")},
        {err::kDiskError, QStringLiteral("Disk or network error.")},
        {err::kRepairFailed,
         QStringLiteral("Cannot repair database '%1': nothing in it could be read.")},
        {err::kFileInUse,
         QStringLiteral("Could not use '%1'; file already in use by another person or "
                        "process.")},
        {err::kCannotOpenFile,
         QStringLiteral("The database engine cannot open the file '%1'. It is locked "
                        "exclusively, or you need permission to read and write it.")},
        {err::kTooFewParameters,
         QStringLiteral("Too few parameters: '%1' is not a field of the query's tables.")},
        {err::kSelectNotAction, QStringLiteral("Cannot execute a select query.")},
        {err::kUnknownName,
         QStringLiteral("The database engine does not recognize '%1' as a valid field name "
                        "or expression.")},
        {err::kSyntax, QStringLiteral("Syntax error in query expression '%1'.")},
        {err::kTableNotFound,
         QStringLiteral("The database engine cannot find the input table or query '%1'. "
                        "Make sure it exists and that its name is spelled correctly.")},
        {err::kNotInAggregate,
         QStringLiteral("Your query does not include the specified expression '%1' as part of "
                        "an aggregate function.")},
        {err::kInvalidName,
         QStringLiteral("'%1' isn't a valid name. A name cannot be blank or hold the "
                        "characters [ and ] or control characters.")},
        {err::kBookmarkInvalid, QStringLiteral("Not a valid bookmark.")},
        {err::kNoCurrentIndex, QStringLiteral("Operation invalid without a current index.")},
        {err::kFieldNotUpdatable, QStringLiteral("Field '%1' cannot be updated.")},
        {err::kFieldTooLong,
         QStringLiteral("The field '%1' is too small to accept the amount of data you "
                        "attempted to add.")},
        {err::kRecordDeleted, QStringLiteral("Record is deleted.")},
        {err::kDatabaseExists, QStringLiteral("Database '%1' already exists.")},
        {err::kInvalidOperation, QStringLiteral("Invalid operation.")},
        {err::kLocked,
         QStringLiteral("Could not update; currently locked by another user of the database.")},
        {err::kItemNotFound, QStringLiteral("Item '%1' not found in this collection.")},
        {err::kCannotDeleteKeyField,
         QStringLiteral("Cannot delete the field '%1': it is part of an index.")},
        {err::kRequiredNull,
         QStringLiteral("The field '%1' cannot contain a Null value because its Required "
                        "property is set. Enter a value in this field.")},
        {err::kZeroLength, QStringLiteral("Field '%1' cannot be a zero-length string.")},
        {err::kNotDatabase, QStringLiteral("Unrecognized database format '%1'.")},
        {err::kNumericOverflow, QStringLiteral("Numeric field overflow.")},
        {err::kQueryTooComplex, QStringLiteral("Query is too complex.")},
        {err::kObjectClosed, QStringLiteral("Object invalid or no longer set.")},
        {err::kDamaged,
         QStringLiteral("A problem occurred in the database '%1'. Repair the database to "
                        "correct the problem.")},
        {err::kLegacyJetFile,
         QStringLiteral("'%1' is a database in the legacy Jet format. This program keeps its "
                        "data in its own format: convert the file first.")},
        {err::kCriteriaMismatch, QStringLiteral("Data type mismatch in criteria expression.")},
    };
    return table;
}

// The name SQLite quotes after a known prefix ("no such table: main.x" gives "x").
QString nameAfter(const QString& message, const QString& prefix) {
    QString name = message.mid(message.indexOf(prefix) + prefix.size()).trimmed();
    if (name.startsWith(QLatin1String("main."))) name = name.mid(5);
    return name;
}

}  // namespace

QString errorText(int number, const QString& detail) {
    const auto it = texts().constFind(number);
    if (it == texts().constEnd()) {
        const QString base = QStringLiteral("Database engine error %1.").arg(number);
        return detail.isEmpty() ? base : base + u' ' + detail;
    }
    if (it->contains(QLatin1String("%1"))) return QString(*it).replace(QLatin1String("%1"), detail);
    return detail.isEmpty() ? *it : *it + u' ' + detail;
}

void fail(int number, const QString& detail) { throw DbError(number, errorText(number, detail)); }

namespace {

int numberForSqlite(int extendedRc, const QString& message) {
    switch (extendedRc) {
        case SQLITE_CONSTRAINT_PRIMARYKEY:
        case SQLITE_CONSTRAINT_UNIQUE:
            return err::kDuplicateKey;
        case SQLITE_CONSTRAINT_NOTNULL:
            return err::kRequiredNull;
        default:
            break;
    }
    switch (extendedRc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return err::kLocked;
        case SQLITE_CONSTRAINT:
            return err::kDuplicateKey;
        case SQLITE_CORRUPT:
            return err::kDamaged;
        case SQLITE_NOTADB:
            return err::kNotDatabase;
        case SQLITE_READONLY:
            return err::kNotUpdatable;
        case SQLITE_CANTOPEN:
            return err::kCannotOpenFile;
        case SQLITE_FULL:
            return err::kDiskFull;
        case SQLITE_IOERR:
            return err::kDiskError;
        case SQLITE_MISMATCH:
            return err::kTypeMismatch;
        case SQLITE_TOOBIG:
            return err::kFieldTooLong;
        case SQLITE_ERROR:
            if (message.startsWith(QLatin1String("no such table"))) return err::kTableNotFound;
            if (message.startsWith(QLatin1String("no such column"))) return err::kTooFewParameters;
            if (message.startsWith(QLatin1String("no such index"))) return err::kIndexNotFound;
            if (message.contains(QLatin1String("already exists"))) return err::kDuplicateName;
            // SQLite's own limits on a statement's size: nesting, chains, joins, lists.
            for (const char* tooComplex :
                 {"parser stack overflow", "Expression tree is too large", "too many terms",
                  "too many arguments on function", "at most 64 tables in a join",
                  "too many columns", "too many FROM clause terms",
                  "pattern too complex"}) {
                if (message.contains(QLatin1String(tooComplex))) return err::kQueryTooComplex;
            }
            if (message.contains(QLatin1String("syntax error")) ||
                message.startsWith(QLatin1String("near ")))
                return err::kSyntax;
            return err::kEngineFailure;
        default:
            return err::kEngineFailure;
    }
}

}  // namespace

DbError sqliteError(sqlite3* db, int rc, const QString& context) {
    const int extended = db ? sqlite3_extended_errcode(db) : rc;
    const int code = (extended & 0xff) == (rc & 0xff) ? extended : rc;
    const QString message =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    if (code == SQLITE_READONLY_ROLLBACK) {
        // A writer stopped in the middle of an update left its journal behind; rolling it
        // back needs write access, which a read-only open does not have.
        const QString path = db ? QString::fromUtf8(sqlite3_db_filename(db, "main")) : context;
        return DbError(err::kCannotOpenFile,
                       QStringLiteral("The database '%1' holds an update that was interrupted "
                                      "(a program writing to it was stopped). It must be opened "
                                      "once with write access, which rolls the interrupted "
                                      "update back, before it can be read read-only.")
                           .arg(path));
    }
    // A dialect function's failure keeps the runtime's number (6 overflow, 13 type mismatch).
    QString runtimeText;
    if (const int runtime = dialect::runtimeErrorNumber(message, &runtimeText))
        return DbError(runtime, context.isEmpty() ? runtimeText : runtimeText + u'\n' + context);
    const int number = numberForSqlite(code, message);
    QString detail;
    switch (number) {
        case err::kTableNotFound:
            detail = nameAfter(message, QStringLiteral("no such table:"));
            break;
        case err::kTooFewParameters:
            detail = nameAfter(message, QStringLiteral("no such column:"));
            break;
        case err::kIndexNotFound:
            detail = nameAfter(message, QStringLiteral("no such index:"));
            break;
        case err::kRequiredNull:
            detail = nameAfter(message, QStringLiteral("NOT NULL constraint failed:"));
            break;
        case err::kSyntax:
            detail = context.isEmpty() ? message : context;
            break;
        case err::kDamaged:
        case err::kNotDatabase:
        case err::kCannotOpenFile:
            detail = db ? QString::fromUtf8(sqlite3_db_filename(db, "main")) : context;
            break;
        default:
            break;
    }
    QString text = errorText(number, detail);
    // The SQLite wording helps whoever reads a report; the number is what callers test.
    if (number == err::kEngineFailure || number == err::kDuplicateKey ||
        number == err::kQueryTooComplex ||
        number == err::kDiskError || number == err::kLocked)
        text += QStringLiteral(" (%1)").arg(message);
    if (!context.isEmpty() && number != err::kSyntax) text += QStringLiteral("\n") + context;
    return DbError(number, text);
}

void failSqlite(sqlite3* db, int rc, const QString& context) { throw sqliteError(db, rc, context); }

}  // namespace tv::engine
