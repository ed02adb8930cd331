// The Jet SQL dialect the program's statements are written in, translated to SQLite.
//
// Accepted: bracketed names ("[CUSTOMER NAME]"), #date# literals (ISO, month-name forms
// and numeric dates in the regional order; always written to SQLite as ISO text
// 'YYYY-MM-DD HH:MM:SS'), "= Null" / "<> Null", True/False (-1/0), "DELETE * FROM",
// Like with *, ?, # and [lists], SELECT DISTINCT, TOP, joins, subqueries, UNION, GROUP BY,
// ORDER BY by name or position, the operators & Mod \ ^, the string, date and conversion
// functions the program uses (UCase, Left, Mid, InStr, Now, Year, Format, CLng, Val, IIf,
// Nz, IsNull, Round ...), INSERT/UPDATE/DELETE, and Jet DDL (CREATE TABLE with Jet types,
// CREATE [UNIQUE] INDEX, DROP TABLE, DROP INDEX, ALTER TABLE ADD/DROP COLUMN), with "--"
// comments.
//
// The translator never guesses: a statement it cannot translate throws DbError 3075 with
// the statement in the message.
//
// Some Jet operators and functions have no SQLite equivalent with the same meaning; the
// translation calls functions named jet_* for them, which registerDialectFunctions()
// installs on a connection.
#pragma once

#include "engine/engine.h"

#include <QString>
#include <QStringList>
#include <vector>

struct sqlite3;

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

    // DDL payload.
    QString table;
    std::vector<ColumnDef> columns;  // CreateTable, AlterTableAdd
    std::vector<IndexDef> indexes;   // CreateTable constraints, CreateIndex
    QString dropName;                // DropTable, DropIndex, AlterTableDrop (column)
};

// Translates one statement. Throws DbError(err::kSyntax) with the statement in the text.
Translation translate(const QString& jetSql);

// Translates Jet criteria (the text after WHERE, as FindFirst takes it) into an SQLite
// boolean expression.
QString translateCriteria(const QString& jetCriteria);

// Reads a #date# literal's inside text as the dialect does (ISO, month names, regional
// numeric order, an optional time; blanks around and doubled blanks inside are ignored).
// Returns false when it is not a date.
bool readDateLiteral(const QString& inside, tv::DateTime* out);

// Installs the jet_* functions that translations call, on one connection; the engine calls
// it for every connection it opens. Also turns off SQLite's reading of a double-quoted
// name that matches no column as a text, so a misspelt [NAME] is an error, not a constant.
void registerDialectFunctions(sqlite3* db);

}  // namespace tv::engine::dialect
