// Compact storage of rows read ahead.
#include "engine/row_buffer.h"

#include "engine/statement.h"

#include <algorithm>

namespace tv::engine {

void RowBuffer::reset(size_t columns) {
    columns_ = columns;
    clear();
}

void RowBuffer::clear() {
    rowids_.clear();
    cells_.clear();
    bytes_.clear();
}

void RowBuffer::append(const Statement& statement, int first, int rowidColumn) {
    rowids_.push_back(rowidColumn >= 0 ? statement.intAt(rowidColumn) : 0);
    for (size_t c = 0; c < columns_; ++c) {
        const StoredView v = viewOf(statement, first + static_cast<int>(c));
        Cell cell;
        cell.kind = v.kind;
        if (v.kind == SQLITE_TEXT || v.kind == SQLITE_BLOB) {
            cell.i = static_cast<std::int64_t>(bytes_.size());
            cell.length = v.length;
            if (v.length > 0) bytes_.append(v.bytes, static_cast<size_t>(v.length));
        } else if (v.kind == SQLITE_FLOAT) {
            cell.d = v.d;
        } else {
            cell.i = v.i;
        }
        cells_.push_back(cell);
    }
}

StoredView RowBuffer::view(size_t row, size_t col) const {
    const Cell& cell = cells_[row * columns_ + col];
    StoredView v;
    v.kind = cell.kind;
    if (cell.kind == SQLITE_TEXT || cell.kind == SQLITE_BLOB) {
        v.bytes = bytes_.data() + cell.i;
        v.length = cell.length;
    } else if (cell.kind == SQLITE_FLOAT) {
        v.d = cell.d;
    } else {
        v.i = cell.i;
    }
    return v;
}

StoredValue RowBuffer::stored(size_t row, size_t col) const {
    const StoredView v = view(row, col);
    StoredValue value;
    value.kind = v.kind;
    value.i = v.i;
    value.d = v.d;
    if (v.bytes) value.bytes = QByteArray(v.bytes, v.length);
    return value;
}

tv::Variant RowBuffer::value(size_t row, size_t col, const FieldInfo& field) const {
    const StoredView v = view(row, col);
    return field.typeFromValue ? dynamicValue(v) : columnValue(v, field.type);
}

void RowBuffer::reverse() {
    std::reverse(rowids_.begin(), rowids_.end());
    const size_t n = rowids_.size();
    for (size_t a = 0, b = n ? n - 1 : 0; a < b; ++a, --b)
        std::swap_ranges(cells_.begin() + static_cast<std::ptrdiff_t>(a * columns_),
                         cells_.begin() + static_cast<std::ptrdiff_t>((a + 1) * columns_),
                         cells_.begin() + static_cast<std::ptrdiff_t>(b * columns_));
}

}  // namespace tv::engine
