// Writing a list to a text file: a header line with the column captions, then one line
// per row with the values of the list's columns, in the comma-delimited format of
// delimited_line.h, UTF-8 encoded (no byte-order mark, so the first caption reads as
// written).
#pragma once

#include "engine/engine.h"
#include "forms/framework/list_columns.h"

#include <QString>
#include <optional>
#include <vector>

namespace tv::forms {

// Writes the file, replacing it. The rows are those of `rows` from its first to its last
// (the record set is moved). Returns the system's error text when the file cannot be
// created or written (it is closed then), nothing on success.
std::optional<QString> ExportList(const QString& path, const std::vector<ListColumn>& columns,
                                  engine::Recordset& rows);

}  // namespace tv::forms
