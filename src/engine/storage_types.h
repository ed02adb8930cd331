// How an engine column is stored in SQLite. The declared type of every column names its
// engine type and size and gives SQLite the right affinity, so the file describes itself
// to this engine and to standard SQLite tools alike:
//
//   Boolean      "BIT INTEGER"      stored -1/0
//   Byte         "BYTE INTEGER"
//   Integer      "SHORT INTEGER"    16-bit
//   Long         "LONG INTEGER"     32-bit
//   auto-number  "COUNTER INTEGER"  a Long the engine numbers
//   Currency     "CURRENCY REAL"    rounded to four decimals
//   Single       "SINGLE REAL"
//   Double       "DOUBLE REAL"
//   Date/Time    "DATETIME TEXT"    ISO text "YYYY-MM-DD HH:MM:SS"
//   Text         "TEXT(n)"          COLLATE NOCASE
//   Long binary  "LONGBINARY BLOB"
//   Memo         "MEMO TEXT"        COLLATE NOCASE
//
// Currency is kept as REAL rather than a scaled integer so that the files read naturally
// in other tools; values are rounded to four decimals on the way in and read back through
// Currency::fromDouble, which is exact for any amount a business stores.
//
// Two flags ride in the declared type as leading words: NOZEROLENGTH (the column refuses
// "") and REQUIRED (a Required column added to a table that already has rows: SQLite
// cannot add a NOT NULL column without a default, so the engine enforces it). Columns
// created with the table carry a real NOT NULL.
#pragma once

#include "engine/engine.h"

#include <QString>

namespace tv::engine {

struct ColumnType {
    FieldType type = FieldType::Text;
    int size = 0;  // text: characters; 0 for other types
    bool autoIncrement = false;
    bool allowZeroLength = true;
    bool requiredFlag = false;  // the REQUIRED word (not the NOT NULL constraint)
};

// The declared type written for a column.
QString declaredType(const ColumnType& column);
// Reads a declared type back. Types written by other tools are read by SQLite's own
// affinity rules (INTEGER as Long, REAL as Double, TEXT(n) as Text, TEXT as Memo...).
ColumnType parseDeclaredType(const QString& declared);

// The Size a field reports: characters for text, bytes for the other types (0 for memo
// and long binary, as Jet reports them).
int fieldSize(FieldType type, int textSize);

// Text and memo columns: stored as text, compared ignoring case (COLLATE NOCASE).
bool isTextual(FieldType type);

}  // namespace tv::engine
