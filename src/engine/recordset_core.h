// The inside of a Recordset: its row source, its fields and the pending edit. Field
// objects handed out hold a weak reference to it, so a field of a closed record set
// reports 3420 instead of reading freed memory.
#pragma once

#include "engine/db_impl.h"
#include "engine/row_source.h"
#include "engine/table_cursor.h"

#include <memory>
#include <vector>

namespace tv::engine {

struct RecordsetCore {
    DbHandle db;
    QString name;
    RecordsetType type = RecordsetType::Table;
    bool updatable = false;
    std::shared_ptr<const TableSchema> table;  // the table edits write to (may be null)
    std::unique_ptr<RowSource> source;
    TableCursor* tableCursor = nullptr;  // the source, for table record sets
    QString indexName;
    bool noMatch = false;

    EditMode editMode = EditMode::None;
    std::vector<tv::Variant> editValues;
    std::vector<char> dirty;
    QByteArray lastModified;
    std::vector<Field> fieldObjects;
    int fieldCount_ = -1;

    RowSource& rows();  // throws 3420 when closed
    const std::vector<FieldInfo>& fields() { return rows().fields(); }
    int fieldCount();
    const FieldInfo& field(int ordinal);  // throws 3265
    int ordinalOf(const QString& name);   // case-insensitive; throws 3265
    RowSource& currentRow();              // the source on a row that exists, else 3021 or 3167
    tv::Variant value(int ordinal);
    void setValue(int ordinal, const tv::Variant& value);

    // Edits (edit.cpp).
    void beginEdit();
    void beginAdd();
    void update();
    void cancelUpdate();
    void deleteCurrent();
    // Drops a pending edit and its lock (moves, Close); never throws.
    void abandonEdit() noexcept;
};

struct Recordset::Impl {
    std::shared_ptr<RecordsetCore> core;
};

}  // namespace tv::engine
