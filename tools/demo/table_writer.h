// Filling one table of a new database quickly, and the values its columns take.
#pragma once

#include "core/variant.h"
#include "demo/plan.h"
#include "engine/bulk_insert.h"
#include "engine/engine.h"

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <vector>

namespace tv::demo {

// Adds rows to one table in one transaction through the engine's bulk path: the INSERT
// is prepared once and each row's values are bound to it directly (checked and stored
// as AddNew/Update would). The table's secondary indexes are dropped while it fills and
// made again at the end, from their own definitions: building an index from the
// finished table is a sort, where keeping it up to date is a random insertion per row.
// Columns are named, never counted, so the writer follows the shipped schema wherever
// its columns stand.
class TableWriter {
public:
    // `database` names the file in progress reports ("Data.mdb").
    TableWriter(engine::Database& db, QString database, QString table,
                std::initializer_list<const char*> columns);
    ~TableWriter();
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    // One row, a value per column in the order the constructor named them.
    void add(std::initializer_list<Variant> values);
    // Rebuilds the indexes and commits; returns the number of rows added.
    long finish();
    const QString& database() const { return database_; }
    const QString& table() const { return table_; }

private:
    struct SecondaryIndex {
        QString name;
        QStringList fields;
        bool unique;
    };
    engine::Database& db_;
    QString database_, table_;
    std::unique_ptr<engine::BulkInsert> rows_;
    std::vector<SecondaryIndex> indexes_;
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
