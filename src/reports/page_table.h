// A table of texts printed on pages: every page carries the title and its lines beneath,
// the column captions over a rule, as many rows as fit, and "Page n of m" at its foot.
// The printed lists (a list window's rows, a lookup table's codes) are page tables; the
// banded report renderer lays its detail rows out the same way.
//
// Column widths are given in characters of the body font. When the columns are wider
// than the page, those that may narrow shrink together, to no less than 60 % of their
// width; columns that still do not fit are left off the right-hand side (the first one
// always prints). A text longer than its column is cut with an ellipsis, and every row
// is one line, so the number of pages is known before the first one is painted.
#pragma once

#include <QString>
#include <QStringList>
#include <Qt>
#include <vector>

class QPagedPaintDevice;
class QPrinter;

namespace tv::data {
struct PrintRequest;
}

namespace tv::reports {

struct PageTableColumn {
    QString caption;
    double width = 10;  // characters of the body font
    Qt::Alignment alignment = Qt::AlignLeft;
    bool narrows = true;  // false for numbers and dates, which would lose digits
};

struct PageTable {
    QString title;
    QStringList subtitles;
    std::vector<PageTableColumn> columns;
};

// The rows, handed out first to last, so that a long list is never held whole.
class PageTableRows {
public:
    virtual ~PageTableRows() = default;
    // How many rows next() will give (the page count is worked out from it).
    virtual long count() = 0;
    // The next row's cells, one per column; false after the last row.
    virtual bool next(QStringList& cells) = 0;
};

// Rows held in memory.
class RowList : public PageTableRows {
public:
    RowList() = default;
    explicit RowList(std::vector<QStringList> rows) : rows_(std::move(rows)) {}
    long count() override { return static_cast<long>(rows_.size()); }
    bool next(QStringList& cells) override;
    const std::vector<QStringList>& rows() const { return rows_; }
    void append(QStringList row) { rows_.push_back(std::move(row)); }

private:
    std::vector<QStringList> rows_;
    size_t at_ = 0;
};

// The smallest share of its width a narrowing column keeps.
inline constexpr double kMinimumColumnScale = 0.6;

// Paints the table on the device (a QPrinter or a QPdfWriter) and returns the number of
// pages, 0 when the device cannot be painted on. An empty table prints one page of title
// and captions. An exception thrown by the rows ends the painting and passes on.
int paintPageTable(const PageTable& table, PageTableRows& rows, QPagedPaintDevice& device);

// Points the printer where the printer dialog chose (a PDF file, a named printer or the
// default one), with its copies and orientation, under the given document name.
void setUpPrinter(QPrinter& printer, const data::PrintRequest& request, const QString& docName);

}  // namespace tv::reports
