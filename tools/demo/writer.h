// Writing a planned demo company into the data and post-office databases through the
// engine: one table at a time, each in one transaction, every row added through a table
// record set as the program's own windows add them.
#pragma once

#include "demo/company.h"
#include "demo/plan.h"
#include "demo/vocabulary.h"

#include <vector>

namespace tv::engine {
class Database;
}

namespace tv::demo {

// Writes the plan. Engine failures are thrown as engine::DbError; the caller owns the
// files and decides what becomes of them.
std::vector<TableCount> writeCompany(const Vocabulary& vocabulary, const CompanyPlan& plan,
                                     engine::Database& data, engine::Database& messages,
                                     const Progress& progress);

}  // namespace tv::demo
