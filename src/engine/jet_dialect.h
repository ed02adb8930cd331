// The Jet SQL dialect the program's statements are written in, translated to SQLite.
//
// Accepted: bracketed names ("[CUSTOMER NAME]"), #date# literals (ISO, month-name forms
// and numeric dates in the regional order; always written to SQLite as ISO text
// 'YYYY-MM-DD HH:MM:SS'), "= Null" / "<> Null", True/False (-1/0), "DELETE * FROM",
// Like with *, ?, # and [lists], SELECT DISTINCT, TOP, joins, subqueries, UNION, GROUP BY,
// ORDER BY by name or position, the operators & Mod \ ^, the string, date and conversion
// functions the program uses (UCase, Left, Mid, InStr, Now, Year, DateAdd, DateDiff,
// DatePart, DateSerial, Format, CLng, Val, IIf, Nz, IsNull, Round ...), the aggregates
// Count, Sum, Avg, Min, Max, First and Last, INSERT/UPDATE/DELETE, and Jet DDL (CREATE
// TABLE with Jet types, CREATE [UNIQUE] INDEX, DROP TABLE, DROP INDEX, ALTER TABLE
// ADD/DROP COLUMN), with "--" comments. A computed column without an alias is named as
// Jet names it: "MaxOfDATETIME" for an aggregate of a column, else Expr1000, Expr1001 ...
//
// Types: the translator knows the engine type of every expression. Column types come from
// the catalog (the open database's tables, asked for by name), so a date column (stored as
// ISO text) plus a number is a date, a date minus a date a number of days, "+" joins two
// texts and adds a text to a number, and a date compares with a date, with a date literal
// or text literal read as a date, and with a number by its serial. Where the answer would
// depend on a type the translator cannot know (no catalog, a computed column of unknown
// type) it refuses rather than guess. Truth values used as values are Jet's -1/0.
//
// The translator never guesses: a statement it cannot translate throws DbError 3075 with
// the statement in the message; a name that is no column of the tables in reach is 3061
// (3070 in criteria), a text that cannot be a date where one is compared 3464.
//
// Some Jet operators and functions have no SQLite equivalent with the same meaning; the
// translation calls functions named jet_* for them, which registerDialectFunctions()
// installs on a connection. They fail with the runtime's error numbers (6 overflow, 11
// division by zero, 13 type mismatch), which runtimeErrorNumber() reads back.
#pragma once

#include "engine/engine.h"
#include "engine/field_info.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;

namespace tv::engine {
class PgSession;
}

namespace tv::engine::dialect {

enum class StatementKind {
    Select,
    Insert,
    Update,
    Delete,
    CreateTable,
    CreateIndex,
    DropTable,
    DropIndex,
    AlterTableAdd,
    AlterTableDrop,
};

// A column of a CREATE TABLE or ALTER TABLE ADD COLUMN, in engine terms. Jet type names
// accepted: BIT/YESNO/LOGICAL/BOOLEAN, BYTE, SHORT/SMALLINT/INTEGER2, LONG/INT/INTEGER/
// INTEGER4, COUNTER/AUTOINCREMENT (a Long that numbers itself), CURRENCY/MONEY,
// SINGLE/REAL/FLOAT4, DOUBLE/FLOAT/FLOAT8/NUMBER, DATETIME/DATE/TIME, TEXT(n)/CHAR(n)/
// VARCHAR(n) (TEXT without a size is 255), MEMO/LONGTEXT, LONGBINARY/OLEOBJECT/BINARY.
// Modifiers: NOT NULL (Required), and ours: ALLOWZEROLENGTH / NOZEROLENGTH (default allows).
struct ColumnDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;  // text size in characters; 0 for other types
    bool required = false;
    bool allowZeroLength = true;
    bool autoIncrement = false;
};

struct IndexDef {
    QString name;  // "PrimaryKey" for CONSTRAINT PrimaryKey PRIMARY KEY (...)
    QStringList columns;
    std::vector<bool> descending;  // per column, parallel to columns (CREATE INDEX ... DESC)
    bool primary = false;
    bool unique = false;
};

// The columns of one table (or stored query): names and engine types.
using TableColumns = std::shared_ptr<const std::vector<FieldInfo>>;
// Answers the columns of a table named in a statement (as written, without brackets), or
// nullptr when the database has no such table.
using Catalog = std::function<TableColumns(const QString& table)>;

struct Translation {
    StatementKind kind = StatementKind::Select;
    QString sql;               // SQLite text (DML); empty for DDL, which the engine builds
    QStringList tables;        // tables read or written, as named (without brackets); the
                               // written table, or the single table of a SELECT, comes first
    bool singleTable = false;  // a SELECT over exactly one table with no join, group, DISTINCT,
                               // UNION or aggregate (subqueries in WHERE do not count)

    // The pieces of a SELECT in SQLite text, without their keywords (empty when absent), for
    // building other queries over the same rows (the key set of a dynaset). ORDER BY items
    // may be positions in the select list ("1, 2"), which mean nothing in another select
    // list: orderByPosition tells, and such a query is best wrapped whole instead.
    QString fromSql;
    QString whereSql;
    QString orderBySql;
    bool orderByPosition = false;
    std::vector<ResultItem> resultItems;  // of a SELECT

    // DDL payload.
    QString table;
    std::vector<ColumnDef> columns;  // CreateTable, AlterTableAdd
    std::vector<IndexDef> indexes;   // CreateTable constraints, CreateIndex
    QString dropName;                // DropTable, DropIndex, AlterTableDrop (column)
};

// Translates one statement. Throws DbError(err::kSyntax) with the statement in the text.
// Without a catalog no column's type is known.
// The server's text instead of SQLite's: names as the server stores them (`storedTable`
// answers a table's stored name), its types' casts and built-ins where SQLite's differ.
// Functions of the dialect keep their jet_* names on both.
struct ServerNames {
    std::function<QString(const QString& table)> storedTable;
};
Translation translate(const QString& jetSql, const Catalog& catalog = {},
                      const ServerNames* server = nullptr);

// Translates Jet criteria (the text after WHERE, as FindFirst takes it) over the fields of
// a record set into an SQLite boolean expression.
QString translateCriteria(const QString& jetCriteria, const std::vector<FieldInfo>& fields = {},
                          const ServerNames* server = nullptr);

// Reads a #date# literal's inside text as the dialect does (ISO, month names, regional
// numeric order, an optional time; blanks around and doubled blanks inside are ignored).
// Returns false when it is not a date.
bool readDateLiteral(const QString& inside, tv::DateTime* out);

// Installs the jet_* functions that translations call, on one connection; the engine calls
// it for every connection it opens. Also turns off SQLite's reading of a double-quoted
// name that matches no column as a text, so a misspelt [NAME] is an error, not a constant.
void registerDialectFunctions(sqlite3* db);

// Creates the jet_* functions translations call in a server database's public schema
// (once per site; replaced when they change), so statements read alike on both backends.
void createServerFunctions(PgSession& session);
// Replaces a site's functions made by an older program, on its first opening in this
// process (`site` names it); a failure (no right to replace them) is only logged.
void upgradeServerFunctions(PgSession& session, const QString& site);

// The runtime's error number carried by the text of a statement a jet_* function ended
// (the text after the number goes to `text`), or 0 when the text is no such error.
int runtimeErrorNumber(const QString& sqliteMessage, QString* text = nullptr);

}  // namespace tv::engine::dialect
