// Readers of the text files the shipped databases are built from (db/README.md): schema
// scripts split into statements, and tab-separated row files with their escapes. Both
// keep the line each item starts on, so that a failure can name the file and line.
// No engine here: these are plain text transformations.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tv::data {

struct ScriptStatement {
    QString text;  // without the closing ';' and without comments
    int line = 0;  // 1-based line the statement starts on
};

// Splits a schema script into statements. A statement ends with a ';' at the end of a
// line; a ';' elsewhere stays in the statement. "--" starts a comment that runs to the
// end of the line, unless it stands inside a quoted text or a bracketed name. A last
// statement without ';' still counts.
std::vector<ScriptStatement> splitSqlScript(const QString& script);

struct TsvRow {
    int line = 0;                               // 1-based line in the file
    std::vector<std::optional<QString>> cells;  // one per header column; nullopt is Null
};

struct TsvTable {
    QStringList columns;
    int headerLine = 0;
    std::vector<TsvRow> rows;
};

// Reads a row file: the first line that is not blank or a comment ("#") names the
// columns; each further such line is a row. Empty cells are Null; a row may have fewer
// cells than the header (the rest are Null) but not more. Returns false, with the line
// and the reason, when the text does not follow the format.
bool parseTsv(const QString& text, TsvTable* table, int* errorLine, QString* error);

// A cell's text with the escapes \t, \n and \\ resolved. Any other backslash stays as it
// is, so a stray one in a path is kept rather than lost.
QString unescapeCell(const QString& cell);
// The reverse: a text written as one cell (tab, line feed and backslash escaped).
QString escapeCell(const QString& text);

}  // namespace tv::data
