// The data side of the lookup tables: the list of maintainable code tables in the
// definitions ("Lookup Tables"), writing one code row (SaveLookupCode), the pictures that
// codes may carry, and the incremental matching of the table-lookup window. No widgets
// here, so the windows stay thin and these rules are tested on their own.
//
// A code table in the data database has the code in column 0 (its primary key) and the
// description in column 1; tables whose codes carry them have a colour (a 32-bit platform
// colour, &HBBGGRR) in column 2 and a picture file name in column 3, relative to the
// Pictures folder beside Data.mdb.
#pragma once

#include "core/variant.h"
#include "engine/engine.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace tv::forms {

// One row of "Lookup Tables": the table's name in the data database, the text the chooser
// shows, and whether its codes carry a colour and a picture.
struct LookupTableEntry {
    QString tableName;
    QString displayText;
    bool colourSupport = false;
    bool pictureSupport = false;
};

// A flag column of "Lookup Tables": false only when it formats as "False"; anything else,
// Null included, is true.
bool lookupFlag(const tv::Variant& value);

// The rows of "Lookup Tables" in primary-key order; empty when it cannot be read.
std::vector<LookupTableEntry> ReadLookupTables();

// The folder pictures live in: "Pictures/" of the site's files folder (data::siteFilesFolder),
// ending in "/"; empty when a server site has no files folder.
QString pictureFolder();
// The bitmap files (*.bmp) of the Pictures folder, by name.
QStringList pictureFiles();
// The full path of a picture name when that file exists; empty otherwise.
QString existingPicture(const QString& name);

// The stored colour of a code (column 2) as a number; 0 when the code, the column or a
// number is missing.
std::uint32_t storedColour(const QString& table, const QString& code);

// Writes one code of a lookup table. Mode 1 adds a row; mode 2 edits the row of oldCode
// (its key may change: renaming a code rewrites its row) or adds one when oldCode is no
// longer there. Colour and picture are written to tables with such columns except "Time
// Zones", whose third column is not a colour; an empty picture is stored as Null. An
// engine refusal (a duplicate or too long code, a lock) shows message 195 with the
// engine's text. Returns -1 when the row was stored, 0 otherwise.
std::int16_t SaveLookupCode(const QString& table, const QString& code, const QString& description,
                            std::uint32_t colour, const QString& picture, int editMode,
                            const QString& oldCode);

// What the table-lookup window lists after the user typed `text`.
struct LookupRows {
    QStringList rows;  // at most the limit, from the first row at or after the text
    int matches = 0;   // rows whose start equals the text, ignoring case
};

// The rows the table-lookup window shows.
inline constexpr int kLookupRowLimit = 50;

// Positions the record set on the first row at or after `text` (a Seek ">=" on a table
// record set's current index; on a query result the first row in its order whose column
// compares at or after the text) and reads up to `limit` values of the 0-based column
// from there. Nothing when no row is at or after the text or the record set cannot be
// read: the window then keeps what it shows.
std::optional<LookupRows> matchLookupRows(engine::Recordset& rs, int column, const QString& text,
                                          int limit = kLookupRowLimit);

// Whether `value` is a key of the record set: a Seek "=" on the current index of a table
// record set; on a query result a find on its first column. False when it cannot be read.
bool lookupValueExists(engine::Recordset& rs, const QString& value);

}  // namespace tv::forms
