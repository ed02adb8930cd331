// The database access layer (tvDatabase): the only way windows reach the two databases.
// It opens the data database on first use, opens record sets by table name or SQL on
// either database, finds rows by their primary key, moves rows between the databases and
// the shared record buffer (state().FieldValues), adds, updates and deletes rows, fills
// lists, repairs damaged files and shows the program's numbered messages.
//
// No engine error leaves these routines: each one catches it, reports it through the
// numbered message the routine documents (with the engine's text and number appended)
// and returns a false status, an empty text or a closed record set.
//
// A source is a table name ("System Users", brackets optional) or SQL text (its first six
// characters, in any case, are "SELECT"). Keys are texts matched in order against the
// columns of the table's "PrimaryKey" index.
#pragma once

#include "engine/engine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace tv::data {

// Database selector: 0 the data database; any other value (the classic True, -1) the
// definitions database.
inline constexpr int kDataDb = 0;
inline constexpr int kDefinitionsDb = -1;

// Where FillList and ListDataTables put their texts. The form framework adapts combo
// and list widgets to it, so this layer stays free of widgets.
class ListSink {
public:
    virtual ~ListSink() = default;
    virtual void clear() = 0;
    virtual void addItem(const QString& text) = 0;
};

// A ListSink that collects into a list of texts.
class StringListSink : public ListSink {
public:
    void clear() override { items.clear(); }
    void addItem(const QString& text) override { items.append(text); }
    QStringList items;
};

// Opens a record set on the chosen database, opening Data.mdb first when it is not open.
// In workflow mode the source is first rewritten by state().ApplyWorkflowFilter. A table
// name gives a table record set with its index set to "PrimaryKey"; SQL gives a dynaset.
// Failure: message 194, and a record set that is not open; when Data.mdb itself cannot be
// opened its own message (2 or 11) is the only one shown. The caller closes the record set.
// `options` go to the engine (engine::kKeysInChunks for a list that fills as it shows).
engine::Recordset OpenTable(const QString& source, int database = kDataDb, int options = 0);

// Opens DataLocation/Data.mdb into state().DataDb. A damaged file is offered for repair
// (message 11); any other failure shows message 2 and leaves DataOpen false. Returns
// DataOpen.
bool OpenDataDatabase();

// The number of columns of the source table's "PrimaryKey" index (0 when it cannot be read).
int KeyColumnCount(const QString& source, int database = kDataDb);

// Positions the record set on the row with the given keys (as many as the key has
// columns). Table record sets seek on the index; dynasets search with criteria. A
// date/time second key column is matched to the second, so "2026-12-05 10:00:00" finds
// the row however the date text was written.
bool SeekRecord(engine::Recordset& rs, const QString& key1, const QString& key2,
                const QString& key3, int database = kDataDb);

// Finds the row and copies it into FieldValues (one element per column, as text).
// Not found: FieldValues(1) is emptied and false returned.
bool LoadRecord(const QString& source, const QString& key1, const QString& key2 = QString(),
                int database = kDataDb);

// One column (0-based ordinal) of a data-database row, formatted by its type ("0" for
// whole numbers, "0.00" for money and fractions, "General Date" for dates). Empty when
// the row is not found.
QString GetFieldText(const QString& source, const QString& key1, const QString& key2, int column);

// Adds a row from FieldValues. Failure with reportErrors: message 105.
bool AddRecord(const QString& source, bool reportErrors = true, int database = kDataDb);

// Writes FieldValues over the row with the given keys; with an empty key1 the keys are
// FieldValues' first elements. Failure with reportErrors: message 106. A missing row
// asks message 107 and adds the row on Yes; the result is then still false. A customer
// written under a new name takes the rows of every table that names it along
// (KeyChangeSteps), in one transaction with its own row; a table whose rows cannot follow
// (message 9070, naming it) leaves everything as it was.
bool UpdateRecord(const QString& source, bool reportErrors, const QString& key1,
                  const QString& key2, int database = kDataDb);

// Inserts or updates (by the key in the first values) a row from values, values[i] going
// to column i (0-based). Empty texts give Null for dates and texts, False for Booleans
// and leave other columns (memos included) unchanged. Failure with reportErrors: message
// 105.
bool SaveRecord(const QString& source, const QStringList& values, bool reportErrors,
                int database = kDataDb);

// Adds a line to a table of document lines (column 0 the document's number, column
// `numberColumn` the line's number, as REQUEST ACTIVITIES and REQUEST MATERIALS): the line
// takes the document's last line number plus one, read and written in one transaction, so
// two workstations adding lines to one document at once take two numbers and neither
// overwrites the other (as SaveRecord with a number worked out beforehand would). values
// as SaveRecord's; the number in it is ignored. Returns the number taken; nothing when the
// row could not be added (message 105).
std::optional<std::int32_t> AddNextLine(const QString& table, QStringList values, int numberColumn);

// Deletes the row with the given keys, after asking (message 101) when askFirst is set,
// together with the state().BeforeDelete cascade: both run in one transaction. A missing
// row shows message 102. A cascade statement or delete the engine refuses (a lock held
// past the busy timeout, a constraint) rolls everything back and shows message 9040 with
// the engine's text and number. True when deleted.
bool DeleteRecord(const QString& source, const QString& key1, const QString& key2,
                  const QString& key3, bool askFirst, int database = kDataDb);

// Clears the list and adds the given column (0-based) of every row of the source. A
// read error stops filling, leaving what was added.
void FillList(const QString& source, ListSink& list, int column, int database = kDataDb);

// The user-visible tables of the data database (not Colours, Counters, Filters,
// System User Access nor the engine's MSys tables).
void ListDataTables(ListSink& list);

// Positions the record set offset rows from the bookmark; with no bookmark a
// non-negative offset counts from before the first row and a negative one from after
// the last. An invalid bookmark falls back to the first row. Returns true when an error
// occurred (the record set is then not on a valid row).
bool MoveFromBookmark(engine::Recordset& rs, const std::optional<QByteArray>& bookmark,
                      long offset);

// The number of rows (moves to the last row to make the count exact). 0 on error.
long RowCount(engine::Recordset& rs);

// Repairs a damaged database file in place, with the busy pointer up. A file other users
// keep busy: message 9030 and false; any other failure: message 13 and false. A repair
// that could not save every row names the tables and counts in message 9031 (and is true:
// the repaired file can be opened).
bool RepairDatabaseFile(const QString& path);

// Shows message `number` of the definitions' "Messages" table with the extra text
// appended to its text. Returns the button pressed, or -1 when the number is missing
// (after saying so in a "Message Error" box).
int ShowMessage(int number, const QString& extra = QString());

}  // namespace tv::data
