// Copying a database's tables, with their columns, keys, indexes and rows, into another
// database, on either backend: how a site moves between a folder and a server.
#pragma once

#include "engine/engine.h"

#include <QString>
#include <functional>

namespace tv::engine {

// Makes every table of `from` again in `to` (which holds none of them) and copies its rows,
// one transaction per table; `copied` hears of each table and its row count when done.
// Throws DbError naming the table that failed: the tables before it stay copied, that
// one is not made at all.
void CopyDatabase(Database& from, Database& to,
                  const std::function<void(const QString& table, long rows)>& copied = {});

}  // namespace tv::engine
