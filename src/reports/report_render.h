// Printing a report's rows through its banded layout. The bands are laid out first (every
// value evaluated, every grown text measured, page breaks placed) and then painted, so
// that "Page 3 of 12" is known on page 3. Layout is done for the device it is painted on:
// a PDF file, a printer or the preview's pages.
//
// Order of bands: the report header on the first page; on every page the page header at
// the top and the page footer at the foot of the printable area; for each group, its
// header where its value starts and its footer where it ends (innermost footer first);
// the detail once per row; the report footer after the last row. A band that does not
// fit above the page footer goes to the next page. Totals take in each row just before
// its detail band prints, so a total in a detail band is a running total and the same
// total in a footer the figure of its group or of the whole report.
#pragma once

#include "reports/report_data.h"

#include <QString>
#include <functional>
#include <map>

class QPagedPaintDevice;
class QIODevice;

namespace tv::reports {

// What the printed report needs besides its rows.
struct RenderContext {
    QString dataFolder;  // pictures are found relative to it
    std::map<QString, FormulaPtr, CaseInsensitiveLess> formulas;  // replace the report's own
    tv::DateTime printDate;
    // Company("Name"): the company's details as the definitions hold them.
    std::function<QString(const QString& key)> company;
};

// Sets the device's page size, orientation and margins to the report's.
void applyPageLayout(const ReportDefinition& report, QPagedPaintDevice& device);

// Lays out and paints the report on the device, page layout included. Returns the number
// of pages (0 when the device cannot be painted on). Throws FormulaError when a value
// cannot be worked out.
int renderReport(const ReportDefinition& report, const ReportRows& rows,
                 const RenderContext& context, QPagedPaintDevice& device);

// The detail rows as text: one line per row, one value per field of the detail band from
// left to right (formatted as printed), headed by the page header's captions above
// them. CSV quotes values that need it and separates them with commas; plain text with
// tabs. Totals and page numbers belong to printed pages and are left empty here. Throws
// FormulaError.
enum class TextFormat { Csv, Tabbed };
void writeDetailText(const ReportDefinition& report, const ReportRows& rows,
                     const RenderContext& context, TextFormat format, QIODevice& out);

}  // namespace tv::reports
