#include "forms/framework/lookup_print.h"

#include "core/format.h"
#include "data/access.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/framework/status.h"

#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace tv::forms {

namespace {

constexpr int kPrintedStatus = 9022;
constexpr int kNoPrinterMessage = 9013;

constexpr int kHeaderPoints = 8;
constexpr int kCaptionPoints = 12;
constexpr int kBodyPoints = 9;
constexpr int kColumnGapChars = 2;

const QString kFontFamily = QStringLiteral("Arial");

// Width in characters of a column that is not text: enough for its widest value.
int columnChars(const engine::Field& field) {
    switch (field.Type()) {
        case engine::FieldType::Text:
            return std::max(1, field.Size());
        case engine::FieldType::Boolean:
            return 6;
        case engine::FieldType::Date:
            return 19;
        case engine::FieldType::Memo:
            return 40;
        default:
            return 11;  // whole numbers to 2147483647, money with two decimals
    }
}

QFont font(int points, bool bold = false) {
    QFont f(kFontFamily);
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

// Draws lines top to bottom, starting a new page when the next one does not fit.
class PageWriter {
public:
    PageWriter(QPainter& painter, QPagedPaintDevice& device) : painter_(painter), device_(device) {}

    int pages() const { return pages_; }
    int width() const { return device_.width(); }

    // Room for a line of the font; false when a new page had to be started.
    bool makeRoom(const QFont& f) {
        const int height = QFontMetrics(f, &device_).lineSpacing();
        if (y_ == 0 || y_ + height <= device_.height()) return true;
        device_.newPage();
        ++pages_;
        y_ = 0;
        return false;
    }

    void text(const QFont& f, const QString& line) { cells(f, {line}, {0}, {width()}); }

    void cells(const QFont& f, const QStringList& texts, const std::vector<int>& x,
               const std::vector<int>& widths) {
        painter_.setFont(f);
        const QFontMetrics metrics(f, &device_);
        for (qsizetype i = 0; i < texts.size() && i < static_cast<qsizetype>(x.size()); ++i) {
            const int w = widths[static_cast<std::size_t>(i)];
            painter_.drawText(x[static_cast<std::size_t>(i)], y_ + metrics.ascent(),
                              metrics.elidedText(texts[i], Qt::ElideRight, w));
        }
        y_ += metrics.lineSpacing();
    }

    void rule() {
        painter_.drawLine(0, y_, width(), y_);
        y_ += QFontMetrics(font(kBodyPoints), &device_).lineSpacing() / 4;
    }

    void skip(const QFont& f) { y_ += QFontMetrics(f, &device_).lineSpacing(); }

private:
    QPainter& painter_;
    QPagedPaintDevice& device_;
    int y_ = 0;
    int pages_ = 1;
};

}  // namespace

bool ReadLookupPrintout(const QString& table, const QString& caption, LookupPrintout& out) {
    out = LookupPrintout{};
    out.caption = caption;
    out.header << GetCaptionText(QStringLiteral("About"), QStringLiteral("Title"))
               << GetCaptionText(QStringLiteral("About"), QStringLiteral("Version"));

    engine::Recordset rs = data::OpenTable(table, data::kDataDb);
    if (!rs.IsOpen()) return false;
    // A read error prints what was read before it.
    (void)data::attempt([&] {
        const int count = rs.FieldCount();
        for (int i = 0; i < count; ++i) {
            const engine::Field field = rs.FieldAt(i);
            out.columnNames << field.Name();
            out.widths.push_back(columnChars(field));
            out.texts.push_back(field.Type() == engine::FieldType::Text ||
                                field.Type() == engine::FieldType::Memo);
        }
        while (!rs.EOF_() && !rs.BOF()) {
            QStringList row;
            for (int i = 0; i < count; ++i) row << tv::TextOf(rs[i]);
            out.rows.push_back(row);
            rs.MoveNext();
        }
    });
    rs.Close();
    return true;
}

int RenderLookupPrintout(const LookupPrintout& printout, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    PageWriter page(painter, device);

    const QFont header = font(kHeaderPoints);
    for (const QString& line : printout.header) {
        page.makeRoom(header);
        page.text(header, line);
    }
    page.skip(header);
    const QFont caption = font(kCaptionPoints, true);
    page.makeRoom(caption);
    page.text(caption, printout.caption);
    page.skip(font(kBodyPoints));

    // Column positions from the defined sizes; the text columns shrink alike to fit.
    const QFont body = font(kBodyPoints);
    const QFont heading = font(kBodyPoints, true);
    const int charWidth = std::max(1, QFontMetrics(body, &device).averageCharWidth());
    double fixedChars = 0;
    double textChars = 0;
    for (std::size_t i = 0; i < printout.widths.size(); ++i) {
        const bool text = i < printout.texts.size() && printout.texts[i];
        (text ? textChars : fixedChars) += printout.widths[i];
        fixedChars += kColumnGapChars;
    }
    const double room = page.width() / static_cast<double>(charWidth) - fixedChars;
    const double scale = textChars > room ? std::max(0.0, room) / textChars : 1.0;
    std::vector<int> x;
    std::vector<int> widths;
    double at = 0;
    for (std::size_t i = 0; i < printout.widths.size(); ++i) {
        const bool text = i < printout.texts.size() && printout.texts[i];
        const double chars = printout.widths[i] * (text ? scale : 1.0);
        x.push_back(static_cast<int>(at));
        widths.push_back(static_cast<int>(chars * charWidth));
        at += (chars + kColumnGapChars) * charWidth;
    }

    auto headingLine = [&] {
        page.cells(heading, printout.columnNames, x, widths);
        page.rule();
    };
    page.makeRoom(heading);
    headingLine();
    for (const QStringList& row : printout.rows) {
        if (!page.makeRoom(body)) headingLine();
        page.cells(body, row, x, widths);
    }
    painter.end();
    return page.pages();
}

bool PrintLookupTable(const QString& table, const QString& caption) {
    LookupPrintout printout;
    if (!ReadLookupPrintout(table, caption, printout)) return false;

    data::PrintRequest request;
    request.title = caption;
    if (!data::prompter().printerDialog(request)) return false;

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(caption);
    if (!request.outputFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(request.outputFile);
    } else if (!request.printerName.isEmpty()) {
        printer.setPrinterName(request.printerName);
    }
    printer.setCopyCount(std::max(1, request.copies));
    if (request.landscape) printer.setPageOrientation(QPageLayout::Landscape);

    if (RenderLookupPrintout(printout, printer) == 0) {
        data::ShowMessage(kNoPrinterMessage);
        return false;
    }
    ShowStatusMessage(kPrintedStatus);
    return true;
}

}  // namespace tv::forms
