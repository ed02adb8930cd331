#include "forms/framework/grid_layout.h"

#include "core/convert.h"
#include "core/settings_keys.h"
#include "data/failure.h"
#include "forms/framework/twips.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>
#include <vector>

namespace tv::forms {

namespace {

int columnCount(const QTableView* grid) {
    return grid->horizontalHeader() ? grid->horizontalHeader()->count() : 0;
}

// The values of a "1545,2000,800," text: each one ends at its comma; what follows the last
// comma is not a value.
std::vector<double> listValues(const QString& text) {
    std::vector<double> values;
    QString collected;
    for (const QChar c : text) {
        if (c == u',') {
            values.push_back(tv::Val(collected));
            collected.clear();
        } else {
            collected += c;
        }
    }
    return values;
}

// Twips do not map one to one onto pixels (2000 twips is 133.3 pixels at 96 DPI), so the
// grid remembers the twips it was given; a column still as wide as that value made it
// is saved with the value itself and a layout survives any number of sessions unchanged.
constexpr char kWidthTwips[] = "tvColumnWidthTwips";
constexpr char kRowHeightTwips[] = "tvRowHeightTwips";

void setColumnWidthTwips(QTableView* grid, int column, int twips) {
    grid->setColumnWidth(column, twipsToPixelsX(twips));
    QVariantList remembered = grid->property(kWidthTwips).toList();
    while (remembered.size() <= column) remembered.append(QVariant());
    remembered[column] = twips;
    grid->setProperty(kWidthTwips, remembered);
}

int columnWidthTwips(const QTableView* grid, int column) {
    const int pixels = grid->horizontalHeader()->sectionSize(column);
    const QVariantList remembered = grid->property(kWidthTwips).toList();
    if (column < remembered.size() && remembered[column].isValid() &&
        twipsToPixelsX(remembered[column].toInt()) == pixels)
        return remembered[column].toInt();
    return pixelsToTwipsX(pixels);
}

int rowHeightTwips(const QTableView* grid) {
    const int pixels = grid->verticalHeader()->defaultSectionSize();
    const QVariant remembered = grid->property(kRowHeightTwips);
    if (remembered.isValid() && twipsToPixelsY(remembered.toInt()) == pixels)
        return remembered.toInt();
    return pixelsToTwipsY(pixels);
}

void setRowHeightTwips(QTableView* grid, int twips) {
    grid->setProperty(kRowHeightTwips, twips);
    QHeaderView* rows = grid->verticalHeader();
    const int pixels = twipsToPixelsY(twips);
    // The style's minimum would otherwise keep rows taller than asked.
    if (rows->minimumSectionSize() > pixels) rows->setMinimumSectionSize(pixels);
    rows->setDefaultSectionSize(pixels);
}

}  // namespace

std::int16_t SaveGridLayout(QTableView* grid, const QString& section) {
    if (!grid) return -1;
    const QHeaderView* header = grid->horizontalHeader();
    QString widths;
    QString order;
    for (int c = 0; c < columnCount(grid); ++c) {
        widths += QString::number(columnWidthTwips(grid, c)) + u',';
        order += QString::number(header->visualIndex(c) + 1) + u',';
    }
    (void)data::attempt([&] {
        const int rowHeight =
            tv::CInt(tv::Variant(static_cast<std::int32_t>(rowHeightTwips(grid))));
        SaveSetting(keys::GridRowHeight(section), QString::number(rowHeight));
    });
    SaveSetting(keys::GridWidths(section), widths);
    SaveSetting(keys::GridOrder(section), order);
    return -1;
}

std::int16_t RestoreGridLayout(QTableView* grid, const QString& section) {
    if (!grid) return -1;
    const QString widths = GetSetting(kAppName, section, keys::GridWidths(section).key, QString());
    const QString order = GetSetting(kAppName, section, keys::GridOrder(section).key, QString());
    int rowHeight = 0;
    (void)data::attempt([&] {
        rowHeight = tv::CInt(tv::Variant(
            GetSetting(kAppName, section, keys::GridRowHeight(section).key, QStringLiteral("0"))));
    });
    if (rowHeight != 0) setRowHeightTwips(grid, rowHeight);

    const int count = columnCount(grid);
    const std::vector<double> w = listValues(widths);
    for (int c = 0; c < count && c < static_cast<int>(w.size()); ++c)
        setColumnWidthTwips(grid, c, static_cast<int>(w[static_cast<size_t>(c)]));

    // Moving the column with the lowest position first lets every later move land where
    // it was saved.
    const std::vector<double> positions = listValues(order);
    std::vector<std::pair<int, int>> moves;  // (position, column)
    for (int c = 0; c < count && c < static_cast<int>(positions.size()); ++c)
        moves.emplace_back(static_cast<int>(positions[static_cast<size_t>(c)]), c);
    std::stable_sort(moves.begin(), moves.end());
    QHeaderView* header = grid->horizontalHeader();
    for (const auto& [position, column] : moves) {
        if (position < 1 || position > count) continue;
        header->moveSection(header->visualIndex(column), position - 1);
    }
    return -1;
}

std::int16_t ResetGridLayout(QTableView* grid, const QString& section) {
    DeleteSetting(keys::GridWidths(section));
    DeleteSetting(keys::GridOrder(section));
    DeleteSetting(keys::GridRowHeight(section));
    if (!grid) return -1;
    setRowHeightTwips(grid, kResetRowHeight);
    QHeaderView* header = grid->horizontalHeader();
    for (int c = 0; c < columnCount(grid); ++c) {
        setColumnWidthTwips(grid, c, kResetColumnWidth);
        header->moveSection(header->visualIndex(c), c);
    }
    grid->viewport()->update();
    return -1;
}

}  // namespace tv::forms
