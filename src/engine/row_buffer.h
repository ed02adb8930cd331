// Rows kept as SQLite returned them: numbers in place and texts in one byte arena, so
// that reading ahead a few hundred rows costs a few allocations rather than one per
// value. A value becomes a Variant only when a caller reads it, the way a caller of the
// C API would read it straight from the statement.
#pragma once

#include "engine/field_info.h"
#include "engine/values.h"

#include <string>
#include <vector>

namespace tv::engine {

class RowBuffer {
public:
    explicit RowBuffer(size_t columns = 0) : columns_(columns) {}
    void reset(size_t columns);
    void clear();  // keeps the storage for the next rows

    size_t rows() const { return rowids_.size(); }
    size_t columns() const { return columns_; }

    // Appends the current row of `statement`: the values of columns first .. first +
    // columns() - 1, and the rowid from column `rowidColumn` (none when negative).
    void append(const Statement& statement, int first, int rowidColumn);

    std::int64_t rowid(size_t row) const { return rowids_[row]; }
    StoredView view(size_t row, size_t col) const;
    StoredValue stored(size_t row, size_t col) const;
    tv::Variant value(size_t row, size_t col, const FieldInfo& field) const;

    void reverse();  // the rows in the opposite order

private:
    struct Cell {
        int kind = 0;
        int length = 0;  // of text/blob bytes
        union {
            std::int64_t i = 0;  // an integer, or the offset of text/blob bytes
            double d;
        };
    };
    size_t columns_;
    std::vector<std::int64_t> rowids_;
    std::vector<Cell> cells_;
    std::string bytes_;
};

}  // namespace tv::engine
