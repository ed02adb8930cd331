// Remembered column widths, column order and row height of grids, per user, in the
// settings store under the grid's own section:
//   "Widths"    each column's width in twips, in column order, each followed by ","
//               (three columns: "1545,2000,800,")
//   "Order"     each column's display position, counted from 1, in the same form
//   "RowHeight" the row height in twips
#pragma once

#include <QString>
#include <cstdint>

class QTableView;

namespace tv::forms {

// Row height and column width a reset grid gets, in twips.
inline constexpr int kResetRowHeight = 225;
inline constexpr int kResetColumnWidth = 1545;

// Writes RowHeight, Widths and Order. Returns -1.
std::int16_t SaveGridLayout(QTableView* grid, const QString& section);

// Applies a stored non-zero row height; widths in column order, each value counting only
// once its comma is read (text after the last comma is ignored, values beyond the
// columns too, columns beyond the values keep their widths); display positions in
// increasing order of position, columns without one keeping theirs. Returns -1.
std::int16_t RestoreGridLayout(QTableView* grid, const QString& section);

// Deletes the stored layout and gives the grid rows 225 twips high, columns 1545 twips
// wide, in their natural order. Returns -1.
std::int16_t ResetGridLayout(QTableView* grid, const QString& section);

}  // namespace tv::forms
