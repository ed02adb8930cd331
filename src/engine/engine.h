// The database engine: a DAO-shaped object model (engine, workspace, database, record
// set, field, table definition, index) over SQLite files. The rest of the program was
// written against that object model, so it keeps its names and its behaviour: table
// record sets that Seek on a named index, dynasets over SQL in the Jet dialect, Fields
// by 0-based ordinal or by name, Edit/AddNew/Update with the values converted to the
// column's type, and numbered errors.
//
// Errors: every operation that fails throws DbError carrying Jet's error number and a
// readable text. Callers in the data layer catch it at their boundary; nothing above
// the data layer sees an exception.
//
// Sharing: several processes may open the same file. No SQLite statement stays open
// between two engine calls; Edit and AddNew take the file's write lock and Update,
// CancelUpdate or Close release it.
#pragma once

#include "core/variant.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace tv::engine {

// Field type codes, as stored in the definitions and read by the windows.
enum class FieldType : int {
    Boolean = 1,
    Byte = 2,
    Integer = 3,
    Long = 4,
    Currency = 5,
    Single = 6,
    Double = 7,
    Date = 8,
    Text = 10,
    LongBinary = 11,
    Memo = 12,
};

// Error numbers that callers test. Others may be used; each has a readable text.
namespace err {
inline constexpr int kTypeMismatch = 13;  // a value does not convert to the column type
inline constexpr int kNoCurrentRecord = 3021;
inline constexpr int kUpdateWithoutEdit = 3020;  // Update or CancelUpdate without Edit/AddNew
inline constexpr int kNotUpdatable = 3027;       // record set or database is read-only
inline constexpr int kDuplicateKey = 3022;       // primary key or unique index violated
inline constexpr int kFileNotFound = 3024;       // database file not found
inline constexpr int kCannotOpenFile = 3051;     // file exists but cannot be opened (permissions)
inline constexpr int kNotDatabase = 3343;        // unrecognised database format (damaged)
inline constexpr int kDamaged = 3428;            // database damaged (needs repair)
inline constexpr int kLegacyJetFile = 3447;      // a real Jet (.mdb) file, not this engine's format
inline constexpr int kTableNotFound = 3078;      // input table or query not found
inline constexpr int kItemNotFound = 3265;       // field/index name or ordinal not in collection
inline constexpr int kSyntax = 3075;             // statement cannot be translated or is malformed
inline constexpr int kLocked = 3260;             // row/table locked by another user
inline constexpr int kIndexNotFound = 3015;      // named index does not exist
inline constexpr int kInvalidOperation = 3219;   // operation not allowed on this object
inline constexpr int kRequiredNull = 3314;       // a required field is Null
inline constexpr int kZeroLength = 3315;         // zero-length text in a field that refuses it
inline constexpr int kFieldTooLong = 3163;       // text longer than the field size
inline constexpr int kCannotDeleteKeyField = 3280;  // field in an index cannot be deleted
inline constexpr int kDuplicateName = 3010;         // table/field/index already exists
inline constexpr int kRepairFailed = 3049;          // cannot repair / damaged beyond reading
inline constexpr int kFileInUse = 3045;  // the file is in use where exclusive use is needed
}  // namespace err

class DbError : public std::runtime_error {
public:
    DbError(int number, const QString& text);
    int number() const { return number_; }
    QString text() const { return QString::fromUtf8(what()); }

private:
    int number_;
};

enum class RecordsetType { Table = 1, Dynaset = 2, Snapshot = 4 };
enum class EditMode {
    None = 0,
    InProgress = 1,
    Add = 2
};  // dbEditNone, dbEditInProgress, dbEditAdd

// Options of OpenRecordset. kKeysInChunks: a dynaset whose order an index gives reads only
// its first keys when it opens (a screenful of a list, at once however long the list is);
// the rest are read by FetchKeys, or as soon as a call needs them. No read lock is held
// between those reads, so other workstations write meanwhile: see KeysComplete.
inline constexpr int kKeysInChunks = 1;

class Database;
class Recordset;
class TableDef;
class Field;
class Index;

// One column of a record set (its current row's value) or of a table definition.
class Field {
public:
    QString Name() const;
    FieldType Type() const;
    int Size() const;  // text: characters; others: the type's size in bytes
    bool Required() const;
    bool AllowZeroLength() const;
    int OrdinalPosition() const;
    bool AutoIncrement() const;

    // Value of the current row (record sets), Null when the column is Null.
    tv::Variant Value() const;
    // Assign during Edit/AddNew. Texts are converted to the column type; a text that
    // does not convert throws DbError 13 and leaves the edit buffer as it was.
    void SetValue(const tv::Variant& value);

    // For table definitions only (CreateField result not yet appended).
    void SetRequired(bool required);
    void SetAllowZeroLength(bool allow);

private:
    friend class Recordset;
    friend class TableDef;
    friend class Database;
    struct Impl;
    std::shared_ptr<Impl> d_;
};

// An index of a table definition.
class Index {
public:
    QString Name() const;  // "PrimaryKey" for the primary key
    bool Primary() const;
    bool Unique() const;
    QStringList FieldNames() const;  // in key order
    // Per key column, parallel to FieldNames: true where the column sorts descending.
    std::vector<bool> Descending() const;

private:
    friend class TableDef;
    friend class Database;
    struct Impl;
    std::shared_ptr<Impl> d_;
};

class TableDef {
public:
    QString Name() const;

    int FieldCount() const;
    Field FieldAt(int ordinal) const;             // throws 3265
    Field FieldNamed(const QString& name) const;  // case-insensitive; throws 3265
    std::vector<Field> Fields() const;

    // A new column description; Append adds it to the table (existing rows get Null).
    Field CreateField(const QString& name, FieldType type, int size = 0);
    void Append(const Field& field);
    // Removes a column; refuses (3280) a column used by an index.
    void DeleteField(const QString& name);

    std::vector<Index> Indexes() const;
    // Adds a named index over the given columns (in key order).
    void CreateIndex(const QString& name, const QStringList& fields, bool unique = false);
    void DeleteIndex(const QString& name);

private:
    friend class Database;
    struct Impl;
    std::shared_ptr<Impl> d_;
};

// A record set: a table record set (type Table, from a table name) or a dynaset (from
// SQL). Dynasets are key sets: the keys of the query's rows are read once when opened,
// rows are fetched by key when visited. A dynaset is updatable when it reads one table
// that has a primary key.
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool IsOpen() const;
    // Never fails: a record set being given up drops its pending edit and its rows.
    void Close() noexcept;

    QString Name() const;  // table name, or the SQL text of a dynaset
    RecordsetType Type() const;
    bool Updatable() const;

    // Table record sets: the current index by name ("PrimaryKey" or another). Throws 3015.
    void SetIndex(const QString& indexName);
    QString Index() const;
    // Seek on the current index with one to three key values. Comparisons: "=", ">",
    // ">=", "<", "<=". Text keys compare ignoring case; key values are converted to the
    // key columns' types (a date key may be a text such as "05/12/2026 10:00:00"; one
    // that does not convert is error 3464). Trailing Null keys are "not given": the seek
    // matches on the leading key columns. Sets NoMatch; without a match the record set
    // stands at EOF (=, >, >=) or BOF (<, <=).
    void Seek(const QString& comparison, const tv::Variant& key1,
              const tv::Variant& key2 = tv::Variant(), const tv::Variant& key3 = tv::Variant());
    bool NoMatch() const;

    // Find with Jet criteria ("[CUSTOMER NAME] = \"O'Brien\" And [DATETIME] > #...#"),
    // in the record set's order. Without a match NoMatch is set and the current row stays.
    void FindFirst(const QString& criteria);
    void FindNext(const QString& criteria);
    void FindLast(const QString& criteria);
    void FindPrevious(const QString& criteria);

    // Moves as Jet makes them: MoveFirst/MoveLast on an empty set and MoveNext at EOF
    // (MovePrevious at BOF) are error 3021. Move counts from the current row, or from
    // BOF forwards and from EOF backwards; a move that runs off an end stops there.
    // Any move drops a pending Edit/AddNew.
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(long rows);
    bool EOF_() const;  // EOF is a macro in <cstdio>
    bool BOF() const;

    // The number of rows. Jet counts rows visited so far and is exact after MoveLast;
    // this engine is exact at once (a dynaset reads its keys when it opens, a table
    // record set counts its table), which callers written for Jet cannot tell apart.
    long RecordCount() const;
    // A dynaset opened with kKeysInChunks: whether every key has been read, the rows
    // known so far, and reading up to `rows` more keys (true once all are read). A call
    // that needs every key reads the rest first: RecordCount, MoveLast, the Finds, AddNew's
    // Update; moves and AbsolutePosition read as far as they go. Rows that other users
    // add, delete or re-sort while the keys are read are seen as they stand when their
    // part of the order is read; no row is listed twice. Other record sets: always
    // complete, KeysRead is RecordCount.
    bool KeysComplete() const;
    long KeysRead() const;
    bool FetchKeys(long rows);

    // 0-based position of the current row, -1 when none.
    long AbsolutePosition() const;
    void SetAbsolutePosition(long position);

    // Opaque bookmark of the current row; valid for this record set and its clones.
    QByteArray Bookmark() const;
    void SetBookmark(const QByteArray& bookmark);  // throws 3159 when not valid

    // A second record set over the same rows with its own position; it has no current
    // row until it moves or takes a bookmark.
    Recordset Clone() const;
    // Re-run the query (dynaset) or re-read (table); positions on the first row.
    void Requery();

    void AddNew();
    void Edit();
    void Update();
    void CancelUpdate();
    void Delete();
    EditMode EditModeNow() const;
    // Bookmark of the row most recently added (to move to it after Update).
    QByteArray LastModified() const;

    int FieldCount() const;
    Field FieldAt(int ordinal) const;             // 0-based; throws 3265
    Field FieldNamed(const QString& name) const;  // case-insensitive; throws 3265
    std::vector<Field> Fields() const;
    // Shorthands for FieldAt(i).Value() and FieldNamed(n).Value().
    tv::Variant operator[](int ordinal) const;
    tv::Variant operator[](const QString& name) const;

private:
    friend class Database;
    friend class Field;
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// An open database file.
class Database {
public:
    Database();
    ~Database();
    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    bool IsOpen() const;
    QString Name() const;  // the file path
    // Never fails; record sets still open on the database report 3420 from then on.
    void Close() noexcept;

    // A table name (blanks allowed, brackets optional) gives a table record set; SQL
    // (text starting with SELECT) gives a dynaset. Throws 3078 for an unknown table,
    // 3075 for a statement that cannot be translated.
    Recordset OpenRecordset(const QString& source);
    Recordset OpenRecordset(const QString& source, RecordsetType type, int options = 0);
    // The type OpenRecordset(source) would choose, with options (kKeysInChunks).
    Recordset OpenRecordset(const QString& source, int options);

    // Runs an action statement (DELETE, UPDATE, INSERT, CREATE/DROP/ALTER TABLE,
    // CREATE/DROP INDEX) in the dialect; returns the number of rows affected.
    long Execute(const QString& statement);
    long RecordsAffected() const;

    // Table definitions (user tables; the engine's own bookkeeping is hidden).
    std::vector<TableDef> TableDefs() const;
    TableDef TableDefNamed(const QString& name) const;  // throws 3265
    bool HasTable(const QString& name) const;
    // Creates an empty table with the given columns; the primary key is named "PrimaryKey".
    TableDef CreateTableDef(const QString& name);
    void AppendTableDef(const TableDef& def);  // writes a table created by CreateTableDef

    // Transactions (used by the admin tool and bulk loads).
    void BeginTrans();
    void CommitTrans();
    void Rollback();

private:
    friend class Engine;
    friend class Recordset;
    friend class TableDef;
    friend class BulkInsert;
    friend void SetBulkLoading(Database& db, bool on);
    struct Impl;
    std::shared_ptr<Impl> d_;
};

// What a repair kept of one table.
struct RepairedTable {
    QString name;
    long saved = 0;       // rows in the repaired file
    long unreadable = 0;  // rows the damaged file's indexes or pages knew of, not saved
    // Reading stopped at damage and no index knew how many rows there were: rows may be
    // missing beyond `unreadable`.
    bool incomplete = false;
    bool lostRows() const { return unreadable > 0 || incomplete; }
};

struct RepairReport {
    bool damaged = false;               // false: the file was sound and has been left as it was
    QString damagedCopy;                // where the damaged file is kept beside the repaired one
    std::vector<RepairedTable> tables;  // the user's tables, in name order
    bool lostRows() const;
    // One line per table that lost rows, e.g. "System Users: 3 rows saved, 2 could not be
    // read"; empty when nothing was lost.
    QString lossSummary() const;
};

// The engine object (DBEngine and its default workspace).
class Engine {
public:
    static Engine& instance();

    // Opens a database file, shared and writable. Throws 3024 when the file does not
    // exist, 3343/3428 when it is not a readable database of this engine, 3447 for a
    // legacy Jet file (the message names the path), 3051 when it cannot be opened (also
    // read-only with an interrupted update left in it: one writable open rolls that back).
    // The first writable open of a file made by an older version of the engine brings it
    // up to date (auto-number marks); 3260 when another user keeps it locked meanwhile.
    Database OpenDatabase(const QString& path, bool readOnly = false);
    // Creates a new, empty database file. Throws 3204 when it already exists.
    Database CreateDatabase(const QString& path);
    // Repairs a file in place, holding it exclusively for the whole run: other users wait
    // (as long as the busy timeout, after which the repair refuses with 3045) and lose
    // nothing they committed. A sound file is left as it is. A damaged one is rebuilt from
    // what can be read and written back into the same file, so other users' open
    // connections stay valid; the damaged file is kept beside it as
    // "<name>.damaged-<timestamp>". The report says per table what was saved and what
    // could not be read. Throws 3049 when nothing can be read (the file is left alone).
    RepairReport RepairDatabase(const QString& path);
    // SQLite's integrity check of a file opened read-only: the problems it finds, none for
    // a sound file. Throws the errors of OpenDatabase.
    QStringList CheckIntegrity(const QString& path);
    // Ends read transactions of this process's databases so that other workstations'
    // changes become visible (freeLocks as DAO's dbFreeLocks).
    void Idle(bool freeLocks = true);

    // The storage library under the engine and its version ("SQLite 3.40.1"), for the
    // About box and problem reports.
    static QString StorageVersion();

    // How long a locked file is waited for before error 3260 (milliseconds).
    void SetBusyTimeout(int milliseconds);
    int BusyTimeout() const;

private:
    Engine();
};

// A text as a complete literal of the dialect, between quotes with the quote character
// doubled inside: quoteLiteral("O'Brien") is 'O''Brien'. The one helper through which
// every text value reaches SQL text. quote is '\'' or '"' (find criteria use '"').
QString quoteLiteral(const QString& value, QChar quote = u'\'');
// Whether a table, column or index name can stand between brackets: not blank, and
// without "[", "]" or control characters. Names are checked where tables, columns and
// indexes are defined (DbError 3125 otherwise).
bool isValidName(const QString& name);
// A name between brackets, as statements write names: bracketName("CUSTOMER NAME") is
// [CUSTOMER NAME]. Throws DbError 3125 for a name isValidName refuses, which another
// program may have put into a file: such a name is never pasted into a statement.
QString bracketName(const QString& name);
// A value as a complete SQL literal: 'text' (quoted through quoteLiteral), #date#, a bare
// number, True/False, Null.
QString sqlLiteral(const tv::Variant& value);

}  // namespace tv::engine
