// Writing a planned demo company into the data and post-office databases through the
// engine: one table at a time, each in one transaction, every row added through a table
// record set as the program's own windows add them. Columns are named, never counted, so
// the writer follows the shipped schema wherever its columns stand.
#pragma once

#include "data/demo_plan.h"

#include <QString>
#include <functional>
#include <vector>

namespace tv::engine {
class Database;
}

namespace tv::data::demo {

struct TableCount {
    QString database;  // "Data.mdb" or "Messages.mdb"
    QString table;
    long rows = 0;
};

using WriteProgress = std::function<void(const QString& step)>;

// Writes the plan. Engine failures are thrown as engine::DbError; the caller owns the
// files and decides what becomes of them.
std::vector<TableCount> writeCompany(const CompanyPlan& plan, engine::Database& data,
                                     engine::Database& messages, const WriteProgress& progress);

}  // namespace tv::data::demo
