// The list window's benchmark data set: the shipped databases, built from db/, with
// CUSTOMERS filled to a given number of rows by raw SQLite in one transaction, and the
// program state opened on them as sign-in leaves it (definitions and data database).
#pragma once

#include <QString>

#include <initializer_list>
#include <map>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace tvbench {

// Stops the run with SQLite's message when a raw call did not succeed (the data set is
// made by raw SQLite; a half-made one would measure nothing).
void check(int rc, sqlite3* db);

// A raw SQLite connection to a file, the "raw SQLite" side of a benchmark (and how data sets
// are filled): statements prepared once and kept, bound with integers or texts.
class RawSqlite {
public:
    // A parameter: a whole number or a text.
    struct Param {
        Param(long long n) : number(n), isText(false) {}
        Param(int n) : number(n), isText(false) {}
        Param(const char* t) : text(t), isText(true) {}
        Param(std::string t) : text(std::move(t)), isText(true) {}
        long long number = 0;
        std::string text;
        bool isText;
    };

    explicit RawSqlite(const QString& file);
    ~RawSqlite();
    RawSqlite(const RawSqlite&) = delete;
    RawSqlite& operator=(const RawSqlite&) = delete;

    // Runs a statement; returns the first column of its first row ("" when none).
    std::string run(const char* sql, std::initializer_list<Param> params = {});

private:
    sqlite3* db_ = nullptr;
    std::map<std::string, sqlite3_stmt*> cache_;
};

// The folder holding Definitions.mdb and Data.mdb with `rows` customers; built on first
// use and kept for the run. The program state is pointed at it.
QString listDataFolder(int rows);

// Opens the folder's databases into the program state, as sign-in does (the definitions
// with their three open record sets, then the data database).
void openProgramState(const QString& folder);

// The data database file of that folder.
QString listDataFile(int rows);

// The customer the list shows last (read by raw SQLite), to check a jump to the end.
QString lastCustomer(int rows);

// A demo company made by `admin` (tolvarine-admin) at the scale TV_BENCH_SCALE names (100
// unless set), in a folder of this run named after `tag`; the program's settings go beside
// it rather than to the user's. Stops the run when the company cannot be made.
QString makeDemoCompany(const QString& tag, const QString& admin);

}  // namespace tvbench
