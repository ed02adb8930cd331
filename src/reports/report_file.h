// A report file: the banded layout of a printed report and the data it reads, as the
// XML text documented in reports/README.md. Reading a file checks everything a printer
// would trip over later (unknown elements and attributes, formulas that do not parse,
// totals reset by a group that does not exist), so a damaged file is refused at once
// with the line at fault.
#pragma once

#include "reports/formula.h"

#include <QColor>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <map>
#include <stdexcept>
#include <vector>

namespace tv::reports {

// Why a report file could not be used: it is missing (or cannot be opened), or its
// contents are not a report this program can print.
class ReportFileError : public std::runtime_error {
public:
    enum class Kind { Missing, Damaged };
    ReportFileError(Kind kind, const QString& detail);
    Kind kind() const { return kind_; }
    QString detail() const { return detail_; }

private:
    Kind kind_;
    QString detail_;
};

struct ReportFont {
    QString family = QStringLiteral("DejaVu Sans");
    double size = 9;  // points
    bool bold = false;
    bool italic = false;
};

// One thing printed in a band. Positions and sizes are millimetres from the band's
// top-left corner.
struct ReportElement {
    enum class Kind { Text, Field, Line, Box, Picture };
    Kind kind = Kind::Text;
    double x = 0, y = 0, w = 0, h = 0;
    QString text;      // Text: the words; Picture: the file, relative to the data folder
    FormulaPtr value;  // Field
    QString format;    // Field: a pattern of Format ("0.00", "dd mmm yyyy")
    Qt::Alignment align = Qt::AlignLeft;
    ReportFont font;
    QColor colour = Qt::black;
    QColor fill;           // Box: the inside (invalid: none)
    double lineWidth = 0;  // Line and Box, millimetres (0: a hairline)
    bool grow = false;     // Text and Field: wrap and make the band taller to fit
};

struct ReportBand {
    bool present = false;
    double height = 0;  // millimetres
    std::vector<ReportElement> elements;
};

// Rows are grouped by the value of `by`; a change of value closes the group (its footer)
// and opens the next (its header).
struct ReportGroup {
    QString name;
    FormulaPtr by;
    bool newPage = false;  // each group starts on a page of its own
    ReportBand header;
    ReportBand footer;
};

// A running figure over the detail rows: sum, count, average, minimum or maximum of a
// value, started again with each group named by `reset` (empty: the whole report).
struct ReportTotal {
    enum class Function { Sum, Count, Average, Minimum, Maximum };
    QString name;
    Function function = Function::Sum;
    FormulaPtr of;
    QString reset;
};

// A table the report reads. The first is the main table; each further one is joined to
// the tables before it by `on`, keeping main rows without a match when `outer` is set.
struct ReportTable {
    QString name;
    FormulaPtr on;
    bool outer = false;
};

struct ReportSort {
    FormulaPtr by;
    bool descending = false;
};

struct CaseInsensitiveLess {
    bool operator()(const QString& a, const QString& b) const {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }
};

struct ReportDefinition {
    QString title;
    QPageSize::PageSizeId pageSize = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{15, 15, 15, 15};  // millimetres
    std::vector<ReportTable> tables;
    std::vector<ReportSort> sorts;
    FormulaPtr filter;  // always applied, before the selection formula
    std::map<QString, FormulaPtr, CaseInsensitiveLess> formulas;
    std::vector<ReportTotal> totals;
    std::vector<ReportGroup> groups;  // outermost first
    ReportBand reportHeader, pageHeader, detail, pageFooter, reportFooter;
};

// Reads and checks a report file. Throws ReportFileError.
ReportDefinition readReportFile(const QString& path);
// The same from the file's text; `name` names it in messages.
ReportDefinition parseReport(const QByteArray& text, const QString& name);

}  // namespace tv::reports
