// The inside of a TableDef, shared with Database (which makes and appends them).
#pragma once

#include "engine/db_impl.h"
#include "engine/ddl.h"

namespace tv::engine {

struct TableDef::Impl {
    DbHandle db;
    QString name;
    bool appended = true;
    std::vector<ColumnDef> columns;  // a table not yet appended
    std::vector<IndexDef> indexes;

    std::shared_ptr<const TableSchema> schema() { return db->schemas.table(db->conn(), name); }
};

}  // namespace tv::engine
