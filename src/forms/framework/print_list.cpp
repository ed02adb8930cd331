#include "forms/framework/print_list.h"

#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "forms/framework/list_model.h"
#include "forms/framework/status.h"

#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QPrinter>
#include <QTableView>
#include <algorithm>
#include <vector>

namespace tv::forms {

namespace {

constexpr int kNoRowsMessage = 9020;
constexpr int kNoPrinterMessage = 9013;
constexpr int kPrintedStatus = 9023;
constexpr int kReadFailedMessage = 194;

struct PrintedColumn {
    ListColumn column;
    double share = 0;  // of the printed width
    int x = 0;         // device pixels from the left margin
    int width = 0;
};

// The grid's visible columns in display order, each with its share of the total width.
std::vector<PrintedColumn> printedColumns(const QTableView* grid) {
    std::vector<PrintedColumn> out;
    const auto* model = qobject_cast<const ListModel*>(grid->model());
    if (!model) return out;
    const QHeaderView* header = grid->horizontalHeader();
    double total = 0;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical < 0 || header->isSectionHidden(logical) ||
            logical >= static_cast<int>(model->columns().size()))
            continue;
        PrintedColumn c;
        c.column = model->columns()[static_cast<size_t>(logical)];
        c.share = std::max(1, header->sectionSize(logical));
        total += c.share;
        out.push_back(c);
    }
    for (PrintedColumn& c : out) c.share /= total;
    return out;
}

class ListPrinter {
public:
    ListPrinter(QPrinter& printer, const PrintListRequest& request,
                std::vector<PrintedColumn> columns)
        : printer_(printer), request_(request), columns_(std::move(columns)) {}

    bool print() {
        QPainter painter;
        if (!painter.begin(&printer_)) return false;
        painter_ = &painter;
        layOut();
        const long count = request_.rows->RecordCount();
        pages_ = std::max<long>(1, (count + rowsPerPage_ - 1) / rowsPerPage_);
        long row = 0;
        int page = 1;
        request_.rows->MoveFirst();
        startPage(page);
        for (; !request_.rows->EOF_(); request_.rows->MoveNext()) {
            if (row > 0 && row % rowsPerPage_ == 0) {
                printer_.newPage();
                startPage(++page);
            }
            printRow(static_cast<int>(row % rowsPerPage_));
            ++row;
        }
        painter.end();
        return true;
    }

private:
    void layOut() {
        page_ = printer_.pageLayout().paintRectPixels(printer_.resolution());
        page_.moveTo(0, 0);
        body_ = QFont(QStringLiteral("DejaVu Sans"), 9);
        bold_ = body_;
        bold_.setBold(true);
        title_ = bold_;
        title_.setPointSize(13);
        const QFontMetrics body(body_, &printer_);
        rowHeight_ = body.height() * 5 / 4;
        const QFontMetrics title(title_, &printer_);
        top_ = title.height() * 2 + rowHeight_ * 3 / 2;  // heading, count, captions
        footer_ = rowHeight_ * 2;
        rowsPerPage_ = std::max(1, (page_.height() - top_ - footer_) / rowHeight_);
        int x = 0;
        for (PrintedColumn& c : columns_) {
            c.x = x;
            c.width = static_cast<int>(c.share * page_.width());
            x += c.width;
        }
        gap_ = body.averageCharWidth() / 2;
    }

    void startPage(int page) {
        QPainter& p = *painter_;
        p.setFont(title_);
        const QFontMetrics title(title_, &printer_);
        p.drawText(QRect(0, 0, page_.width(), title.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   request_.heading);
        p.setFont(body_);
        p.drawText(QRect(0, title.height(), page_.width(), title.height()),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QObject::tr("%1 records").arg(request_.recordCount));
        p.setFont(bold_);
        const int y = title.height() * 2;
        for (const PrintedColumn& c : columns_) drawCell(c, y, c.column.caption, Qt::AlignLeft);
        p.drawLine(0, y + rowHeight_, page_.width(), y + rowHeight_);
        p.setFont(body_);
        p.drawText(QRect(0, page_.height() - rowHeight_, page_.width(), rowHeight_),
                   Qt::AlignHCenter | Qt::AlignVCenter,
                   QObject::tr("Page %1 of %2").arg(page).arg(pages_));
    }

    void printRow(int slot) {
        const int y = top_ + slot * rowHeight_;
        const int fields = request_.rows->FieldCount();
        for (const PrintedColumn& c : columns_) {
            const QString text = c.column.field < fields
                                     ? ListCellText((*request_.rows)[c.column.field], c.column)
                                     : QString();
            const Qt::Alignment align = c.column.alignment == 1   ? Qt::AlignRight
                                        : c.column.alignment == 2 ? Qt::AlignHCenter
                                                                  : Qt::AlignLeft;
            drawCell(c, y, text, align);
        }
    }

    void drawCell(const PrintedColumn& c, int y, const QString& text, Qt::Alignment align) {
        const QRect box(c.x + gap_, y, std::max(0, c.width - 2 * gap_), rowHeight_);
        const QString shown = QFontMetrics(painter_->font(), &printer_)
                                  .elidedText(text.simplified(), Qt::ElideRight, box.width());
        painter_->drawText(box, align | Qt::AlignVCenter, shown);
    }

    QPrinter& printer_;
    const PrintListRequest& request_;
    std::vector<PrintedColumn> columns_;
    QPainter* painter_ = nullptr;
    QRect page_;
    QFont body_, bold_, title_;
    int rowHeight_ = 1, top_ = 0, footer_ = 0, rowsPerPage_ = 1, gap_ = 0;
    long pages_ = 1;
};

}  // namespace

bool PrintList(const PrintListRequest& request) {
    if (!request.grid || !request.rows || !request.rows->IsOpen()) return false;
    long count = 0;
    (void)data::attempt([&] { count = request.rows->RecordCount(); });
    if (count <= 0) {
        data::ShowMessage(kNoRowsMessage);
        return false;
    }

    data::PrintRequest ask;
    ask.title = request.tableName;
    if (!data::prompter().printerDialog(ask)) return false;

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(request.tableName);
    printer.setCopyCount(std::max(1, ask.copies));
    if (ask.landscape) printer.setPageOrientation(QPageLayout::Landscape);
    if (!ask.outputFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(ask.outputFile);
    } else if (!ask.printerName.isEmpty()) {
        printer.setPrinterName(ask.printerName);
    }

    data::prompter().setPointer(data::kPointerHourglass);
    bool printed = false;
    const std::optional<data::Failure> failed = data::attempt([&] {
        ListPrinter job(printer, request, printedColumns(request.grid));
        printed = job.print();
    });
    data::prompter().setPointer(data::kPointerDefault);
    if (failed) {
        data::ShowMessage(kReadFailedMessage, data::errorTail(*failed));
        return false;
    }
    if (!printed) {
        data::ShowMessage(kNoPrinterMessage);
        return false;
    }
    ShowStatusMessage(kPrintedStatus);
    return true;
}

}  // namespace tv::forms
