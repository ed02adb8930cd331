#include "reports/page_table.h"

#include "data/prompter.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace tv::reports {

namespace {

QFont font(int points, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

// Where each printed column goes on the page, in device pixels.
struct PlacedColumn {
    size_t source = 0;  // index into the table's columns and a row's cells
    double x = 0;
    double width = 0;
};

class PagePainter {
public:
    PagePainter(const PageTable& table, QPagedPaintDevice& device, QPainter& painter)
        : table_(table), device_(device), painter_(painter), title_(font(13, true)),
          body_(font(9, false)), bold_(font(9, true)) {
        pageWidth_ = device.width();
        const QFontMetricsF body(body_, &device);
        rowHeight_ = body.height() * 1.25;
        const QFontMetricsF title(title_, &device);
        top_ = title.height() + rowHeight_ * (table.subtitles.size() + 0.5);
        captionsTop_ = top_;
        top_ += rowHeight_ * 1.25;  // the captions and the rule under them
        const double footer = rowHeight_ * 2;
        rowsPerPage_ = std::max(1L, static_cast<long>((device.height() - top_ - footer) / rowHeight_));
        placeColumns(std::max(1.0, body.averageCharWidth()));
    }

    long rowsPerPage() const { return rowsPerPage_; }

    void startPage(int page, int pages) {
        QPainter& p = painter_;
        const QFontMetricsF title(title_, &device_);
        p.setFont(title_);
        p.drawText(QRectF(0, 0, pageWidth_, title.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   title.elidedText(table_.title, Qt::ElideRight, pageWidth_));
        p.setFont(body_);
        double y = title.height();
        for (const QString& line : table_.subtitles) {
            p.drawText(QRectF(0, y, pageWidth_, rowHeight_), Qt::AlignLeft | Qt::AlignVCenter, line);
            y += rowHeight_;
        }
        p.setFont(bold_);
        for (const PlacedColumn& c : columns_) {
            const PageTableColumn& column = table_.columns[c.source];
            cell(c, captionsTop_, column.caption, column.alignment);
        }
        const double rule = captionsTop_ + rowHeight_;
        p.drawLine(QPointF(0, rule), QPointF(pageWidth_, rule));
        p.setFont(body_);
        const QString footer = QCoreApplication::translate("tv::reports", "Page %1 of %2")
                                   .arg(page)
                                   .arg(pages);
        p.drawText(QRectF(0, device_.height() - rowHeight_, pageWidth_, rowHeight_),
                   Qt::AlignHCenter | Qt::AlignVCenter, footer);
    }

    void row(long slot, const QStringList& cells) {
        const double y = top_ + static_cast<double>(slot) * rowHeight_;
        for (const PlacedColumn& c : columns_) {
            const qsizetype i = static_cast<qsizetype>(c.source);
            cell(c, y, i < cells.size() ? cells[i] : QString(), table_.columns[c.source].alignment);
        }
    }

private:
    // Narrowing columns shrink together to fit the page, down to the minimum scale; what
    // still does not fit is left off, always keeping the first column.
    void placeColumns(double charWidth) {
        const double gap = charWidth;
        double fixed = 0;
        double narrowing = 0;
        for (const PageTableColumn& c : table_.columns)
            (c.narrows ? narrowing : fixed) += std::max(0.0, c.width) * charWidth;
        if (!table_.columns.empty())
            fixed += gap * static_cast<double>(table_.columns.size() - 1);
        const double scale =
            narrowing > 0 ? std::clamp((pageWidth_ - fixed) / narrowing, kMinimumColumnScale, 1.0)
                          : 1.0;
        double x = 0;
        for (size_t i = 0; i < table_.columns.size(); ++i) {
            const PageTableColumn& c = table_.columns[i];
            const double width = std::max(0.0, c.width) * charWidth * (c.narrows ? scale : 1.0);
            if (!columns_.empty() && x + width > pageWidth_ + 0.5) break;
            columns_.push_back({i, x, std::min(width, pageWidth_ - x)});
            x += width + gap;
        }
    }

    void cell(const PlacedColumn& c, double y, const QString& text, Qt::Alignment alignment) {
        const QString shown = QFontMetricsF(painter_.font(), &device_)
                                  .elidedText(text.simplified(), Qt::ElideRight, c.width);
        painter_.drawText(QRectF(c.x, y, c.width, rowHeight_),
                          (alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter, shown);
    }

    const PageTable& table_;
    QPagedPaintDevice& device_;
    QPainter& painter_;
    QFont title_, body_, bold_;
    double pageWidth_ = 0;
    double rowHeight_ = 1;
    double top_ = 0;
    double captionsTop_ = 0;
    long rowsPerPage_ = 1;
    std::vector<PlacedColumn> columns_;
};

}  // namespace

bool RowList::next(QStringList& cells) {
    if (at_ >= rows_.size()) return false;
    cells = rows_[at_++];
    return true;
}

int paintPageTable(const PageTable& table, PageTableRows& rows, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    PagePainter pages(table, device, painter);
    const long perPage = pages.rowsPerPage();
    const long count = std::max(0L, rows.count());
    // Rows beyond the count still print; their pages then number on from the count's.
    int total = std::max(1, static_cast<int>((count + perPage - 1) / perPage));
    int page = 1;
    pages.startPage(page, total);
    long slot = 0;
    QStringList cells;
    while (rows.next(cells)) {
        if (slot == perPage) {
            device.newPage();
            ++page;
            total = std::max(total, page);
            pages.startPage(page, total);
            slot = 0;
        }
        pages.row(slot++, cells);
    }
    painter.end();
    return page;
}

void setUpPrinter(QPrinter& printer, const data::PrintRequest& request, const QString& docName) {
    printer.setDocName(docName);
    printer.setCopyCount(std::max(1, request.copies));
    if (request.landscape) printer.setPageOrientation(QPageLayout::Landscape);
    if (!request.outputFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(request.outputFile);
    } else if (!request.printerName.isEmpty()) {
        printer.setPrinterName(request.printerName);
    }
}

}  // namespace tv::reports
