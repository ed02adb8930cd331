// Filling one table of a new database quickly, and the values its columns take.
#pragma once

#include "core/variant.h"
#include "demo/plan.h"
#include "engine/bulk_insert.h"
#include "engine/engine.h"

#include <QString>
#include <QStringList>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tv::demo {

// Everything written to one database, done on a thread of its own in the order it was
// asked for, so that the next rows are made while the last ones are written and their
// indexes built: one core makes rows, the other stores them. The file comes out the same
// as if it had been written in line (the same statements in the same order on the same
// connection); nothing else may use the database until wait() returns.
class DatabaseWriter {
public:
    explicit DatabaseWriter(engine::Database& db);
    // Waits for the work posted; a failure not collected by wait() is dropped (the
    // caller is unwinding from its own and discards the file).
    ~DatabaseWriter();
    DatabaseWriter(const DatabaseWriter&) = delete;
    DatabaseWriter& operator=(const DatabaseWriter&) = delete;

    engine::Database& db() { return db_; }
    // Queues work on the database; waits while much is queued, so rows made far ahead of
    // the writing do not pile up in memory. After a failure, later work is skipped.
    void post(std::function<void()> work);
    // Waits until everything posted has run; throws the first failure again.
    void wait();

private:
    void loop();

    engine::Database& db_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    bool busy_ = false;
    bool stop_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

// Adds rows to one table in one transaction through the engine's bulk path: the INSERT
// is prepared once and each row's values are bound to it directly (checked and stored
// as AddNew/Update would). Rows are handed to the database's writer in batches. The table's secondary indexes are dropped while it fills and
// made again at the end, from their own definitions: building an index from the
// finished table is a sort, where keeping it up to date is a random insertion per row.
// Columns are named, never counted, so the writer follows the shipped schema wherever
// its columns stand.
class TableWriter {
public:
    // `database` names the file in progress reports ("Data.mdb").
    TableWriter(DatabaseWriter& writer, QString database, QString table,
                std::initializer_list<const char*> columns);
    ~TableWriter();
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    // One row, a value per column in the order the constructor named them.
    void add(std::initializer_list<Variant> values);
    // Queues the last rows, the index builds and the commit; returns the number of rows
    // added (failures show at the writer's wait()).
    long finish();
    const QString& database() const { return database_; }
    const QString& table() const { return table_; }

private:
    struct State;
    void flush();

    DatabaseWriter& writer_;
    QString database_, table_;
    std::shared_ptr<State> state_;  // the writer thread's side
    size_t columns_ = 0;
    std::vector<Variant> batch_;  // rows not yet handed over, row after row
    long count_ = 0;
    bool open_ = true;
};

// Values as the columns take them; an empty text is written as Null, as the program does.
Variant text(const QString& s);
Variant date(Moment m);
Variant money(double amount);
inline Variant number(double value) { return Variant(value); }
inline Variant whole(long value) { return Variant(static_cast<std::int32_t>(value)); }
inline Variant shortWhole(int value) { return Variant(static_cast<std::int16_t>(value)); }
inline Variant flag(bool value) { return Variant(value); }
inline Variant wholeOrNull(long value) { return value > 0 ? whole(value) : Variant(); }

}  // namespace tv::demo
