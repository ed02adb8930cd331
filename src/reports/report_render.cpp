#include "reports/report_render.h"

#include "core/convert.h"
#include "core/format.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QIODevice>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <unordered_map>

namespace tv::reports {

namespace {

// Stand-ins for the page number and the page count, replaced when the page is painted.
const QString kPageMark = QStringLiteral("\x01P\x01");
const QString kPagesMark = QStringLiteral("\x01T\x01");

struct Op {
    enum class Kind { Text, Line, Box, Image };
    Kind kind = Kind::Text;
    QRectF rect;
    QString text;
    int font = -1;
    int flags = 0;
    bool elide = false;  // a one-line text cut to its width once its page numbers are in
    QColor colour;
    QColor fill;
    double pen = 0;
    int image = -1;
};

struct Accumulator {
    double sum = 0;
    long count = 0;
    tv::Variant lowest, highest;
};

class Layout : public FormulaScope {
public:
    Layout(const ReportDefinition& report, const ReportRows& rows, const RenderContext& context,
           QPaintDevice& device)
        : report_(report), rows_(rows), context_(context), device_(device) {
        pxPerMm_ = device.logicalDpiX() / 25.4;
        bodyBottom_ = device.height() - mm(report.pageFooter.height);
        for (size_t i = 0; i < report.totals.size(); ++i) totalIndex_[report.totals[i].name.toLower()] = i;
        totals_.resize(report.totals.size());
    }

    std::vector<std::vector<Op>> pages;
    std::vector<QFont> fonts;
    std::vector<QImage> images;

    void run() {
        const std::vector<tv::Variant>* first = rows_.rows.empty() ? nullptr : &rows_.rows.front();
        row_ = first;
        startPage();
        place(report_.reportHeader);
        const size_t groups = report_.groups.size();
        std::vector<tv::Variant> keys(groups);
        for (size_t r = 0; r < rows_.rows.size(); ++r) {
            const std::vector<tv::Variant>* current = &rows_.rows[r];
            // The outermost group whose value changes here (every group on the first row).
            size_t changed = groups;
            std::vector<tv::Variant> now(groups);
            row_ = current;
            for (size_t g = 0; g < groups; ++g) {
                now[g] = evaluate(report_.groups[g].by, *this);
                if (changed == groups && (r == 0 || !same(now[g], keys[g]))) changed = g;
            }
            if (r > 0 && changed < groups) {
                row_ = &rows_.rows[r - 1];
                for (size_t g = groups; g-- > changed;) place(report_.groups[g].footer);
                row_ = current;
            }
            for (size_t g = changed; g < groups; ++g) {
                resetTotals(report_.groups[g].name);
                if (r > 0 && report_.groups[g].newPage && !pageIsFresh()) {
                    endPage();
                    startPage();
                }
                place(report_.groups[g].header);
            }
            keys = std::move(now);
            accumulate();
            place(report_.detail);
        }
        if (!rows_.rows.empty()) row_ = &rows_.rows.back();
        for (size_t g = groups; g-- > 0;) place(report_.groups[g].footer);
        place(report_.reportFooter);
        endPage();
    }

    // FormulaScope
    tv::Variant field(const FormulaNode& node) override {
        auto it = columnOf_.find(&node);
        if (it == columnOf_.end()) it = columnOf_.emplace(&node, rows_.indexOf(node.table, node.name)).first;
        if (!row_ || it->second < 0) return {};
        return (*row_)[static_cast<size_t>(it->second)];
    }
    tv::Variant total(const FormulaNode& node) override {
        const auto it = totalIndex_.find(node.name.toLower());
        if (it == totalIndex_.end()) throw FormulaError(node.position, QStringLiteral("the report has no total {#%1}").arg(node.name));
        const Accumulator& a = totals_[it->second];
        switch (report_.totals[it->second].function) {
            case ReportTotal::Function::Sum:
                return a.sum;
            case ReportTotal::Function::Count:
                return static_cast<double>(a.count);
            case ReportTotal::Function::Average:
                return a.count ? tv::Variant(a.sum / static_cast<double>(a.count)) : tv::Variant();
            case ReportTotal::Function::Minimum:
                return a.lowest;
            case ReportTotal::Function::Maximum:
                return a.highest;
        }
        return {};
    }
    FormulaPtr formula(const FormulaNode& node) override {
        if (const auto it = context_.formulas.find(node.name); it != context_.formulas.end()) return it->second;
        const auto it = report_.formulas.find(node.name);
        return it == report_.formulas.end() ? nullptr : it->second;
    }
    std::optional<tv::Variant> special(const QString& f, const std::vector<tv::Variant>& args) override {
        if (f == QLatin1String("pagenumber")) return tv::Variant(kPageMark);
        if (f == QLatin1String("totalpages")) return tv::Variant(kPagesMark);
        if (f == QLatin1String("printdate")) return tv::Variant(context_.printDate);
        if (f == QLatin1String("reporttitle")) return tv::Variant(report_.title);
        if (f == QLatin1String("company") && args.size() == 1)
            return tv::Variant(context_.company ? context_.company(tv::TextOf(args[0])) : QString());
        return std::nullopt;
    }

private:
    double mm(double millimetres) const { return millimetres * pxPerMm_; }

    static bool same(const tv::Variant& a, const tv::Variant& b) {
        if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
        return tv::CompareValues(a, b, true) == 0;
    }

    void resetTotals(const QString& group) {
        for (size_t i = 0; i < report_.totals.size(); ++i)
            if (report_.totals[i].reset.compare(group, Qt::CaseInsensitive) == 0) totals_[i] = Accumulator();
    }

    void accumulate() {
        for (size_t i = 0; i < report_.totals.size(); ++i) {
            const tv::Variant v = evaluate(report_.totals[i].of, *this);
            if (v.isNull()) continue;
            Accumulator& a = totals_[i];
            ++a.count;
            if (const auto d = tv::numberOf(v)) a.sum += *d;
            if (a.lowest.isNull() || tv::CompareValues(v, a.lowest, true) < 0) a.lowest = v;
            if (a.highest.isNull() || tv::CompareValues(v, a.highest, true) > 0) a.highest = v;
        }
    }

    bool pageIsFresh() const { return y_ <= afterPageHeader_ + 0.5; }

    void startPage() {
        pages.emplace_back();
        y_ = 0;
        place(report_.pageHeader, false);
        afterPageHeader_ = y_;
    }

    void endPage() {
        if (!report_.pageFooter.present) return;
        y_ = bodyBottom_;
        place(report_.pageFooter, false);
    }

    int fontIndex(const ReportFont& f) {
        const QString key = QStringLiteral("%1|%2|%3|%4").arg(f.family).arg(f.size).arg(f.bold).arg(f.italic);
        const auto it = fontKeys_.find(key);
        if (it != fontKeys_.end()) return it->second;
        QFont font(f.family);
        font.setPointSizeF(f.size);
        font.setBold(f.bold);
        font.setItalic(f.italic);
        fonts.push_back(font);
        metrics_.emplace_back(font, &device_);
        fontKeys_[key] = static_cast<int>(fonts.size() - 1);
        return static_cast<int>(fonts.size() - 1);
    }

    int imageIndex(const QString& file) {
        const auto it = imageKeys_.find(file);
        if (it != imageKeys_.end()) return it->second;
        QString path = file;
        path.replace(u'\\', u'/');
        if (QFileInfo(path).isRelative()) path = context_.dataFolder + u'/' + path;
        QImage image(path);
        int index = -1;
        if (!image.isNull()) {
            images.push_back(std::move(image));
            index = static_cast<int>(images.size() - 1);
        }
        imageKeys_[file] = index;
        return index;
    }

    // Builds the band's operations at its own origin; returns its height.
    double build(const ReportBand& band, std::vector<Op>& ops) {
        double height = mm(band.height);
        for (const ReportElement& e : band.elements) {
            Op op;
            op.rect = QRectF(mm(e.x), mm(e.y), mm(e.w), mm(e.h));
            op.colour = e.colour;
            switch (e.kind) {
                case ReportElement::Kind::Text:
                case ReportElement::Kind::Field: {
                    op.kind = Op::Kind::Text;
                    if (e.kind == ReportElement::Kind::Text) {
                        op.text = e.text;
                    } else {
                        const tv::Variant v = evaluate(e.value, *this);
                        op.text = e.format.isEmpty() ? tv::TextOf(v) : tv::Format(v, e.format);
                    }
                    op.font = fontIndex(e.font);
                    const QFontMetricsF& fm = metrics_[static_cast<size_t>(op.font)];
                    if (op.rect.height() <= 0) op.rect.setHeight(fm.height());
                    if (op.rect.width() <= 0) {
                        op.rect.setWidth(fm.horizontalAdvance(op.text) + 1);
                        if (e.align & Qt::AlignRight) op.rect.moveRight(mm(e.x));
                        else if (e.align & Qt::AlignHCenter) op.rect.moveLeft(mm(e.x) - op.rect.width() / 2);
                    }
                    if (e.grow) {
                        op.flags = static_cast<int>(e.align) | Qt::AlignTop | Qt::TextWordWrap;
                        const QRectF need = fm.boundingRect(QRectF(0, 0, op.rect.width(), 1e9), op.flags, op.text);
                        op.rect.setHeight(std::max(op.rect.height(), need.height()));
                    } else {
                        op.flags = static_cast<int>(e.align) | Qt::AlignVCenter | Qt::TextSingleLine;
                        op.text.replace(u'\n', u' ');
                        if (op.text.contains(u'\x01')) op.elide = true;
                        else op.text = fm.elidedText(op.text, Qt::ElideRight, op.rect.width() + 0.5);
                    }
                    if (op.text.isEmpty()) continue;
                    break;
                }
                case ReportElement::Kind::Line:
                    op.kind = Op::Kind::Line;
                    op.pen = mm(e.lineWidth);
                    break;
                case ReportElement::Kind::Box:
                    op.kind = Op::Kind::Box;
                    op.pen = mm(e.lineWidth);
                    op.fill = e.fill;
                    break;
                case ReportElement::Kind::Picture:
                    op.kind = Op::Kind::Image;
                    op.image = imageIndex(e.text);
                    if (op.image < 0) continue;  // a logo not installed leaves its place empty
                    break;
            }
            height = std::max(height, op.rect.bottom());
            ops.push_back(std::move(op));
        }
        return height;
    }

    void place(const ReportBand& band, bool mayBreak = true) {
        if (!band.present) return;
        std::vector<Op> ops;
        const double height = build(band, ops);
        if (mayBreak && y_ + height > bodyBottom_ + 0.5 && !pageIsFresh()) {
            endPage();
            startPage();
        }
        std::vector<Op>& page = pages.back();
        for (Op& op : ops) {
            op.rect.translate(0, y_);
            page.push_back(std::move(op));
        }
        y_ += height;
    }

    const ReportDefinition& report_;
    const ReportRows& rows_;
    const RenderContext& context_;
    QPaintDevice& device_;
    double pxPerMm_ = 1;
    double bodyBottom_ = 0;
    double y_ = 0;
    double afterPageHeader_ = 0;
    const std::vector<tv::Variant>* row_ = nullptr;
    std::vector<Accumulator> totals_;
    std::unordered_map<QString, size_t> totalIndex_;
    std::unordered_map<const FormulaNode*, int> columnOf_;
    std::unordered_map<QString, int> fontKeys_;
    std::vector<QFontMetricsF> metrics_;
    std::unordered_map<QString, int> imageKeys_;
};

void paintPage(QPainter& painter, const Layout& layout, const std::vector<Op>& ops, int page, int pages) {
    for (const Op& op : ops) {
        switch (op.kind) {
            case Op::Kind::Text: {
                QString text = op.text;
                if (text.contains(u'\x01')) {
                    text.replace(kPageMark, QString::number(page));
                    text.replace(kPagesMark, QString::number(pages));
                }
                const QFont& font = layout.fonts[static_cast<size_t>(op.font)];
                painter.setFont(font);
                if (op.elide)
                    text = QFontMetricsF(font, painter.device()).elidedText(text, Qt::ElideRight, op.rect.width() + 0.5);
                painter.setPen(op.colour);
                painter.drawText(op.rect, op.flags, text);
                break;
            }
            case Op::Kind::Line:
                painter.setPen(QPen(op.colour, op.pen));
                painter.drawLine(op.rect.topLeft(), op.rect.bottomRight());
                break;
            case Op::Kind::Box:
                painter.setPen(QPen(op.colour, op.pen));
                painter.setBrush(op.fill.isValid() ? QBrush(op.fill) : QBrush());
                painter.drawRect(op.rect);
                painter.setBrush(QBrush());
                break;
            case Op::Kind::Image: {
                const QImage& image = layout.images[static_cast<size_t>(op.image)];
                const QSizeF size = QSizeF(image.size()).scaled(op.rect.size(), Qt::KeepAspectRatio);
                painter.drawImage(QRectF(op.rect.topLeft(), size), image);
                break;
            }
        }
    }
}

// A measuring-only device for laying out text without painting (CSV output).
QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n')) return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

}  // namespace

void applyPageLayout(const ReportDefinition& report, QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(report.pageSize), report.orientation, report.margins,
                                     QPageLayout::Millimeter));
}

int renderReport(const ReportDefinition& report, const ReportRows& rows, const RenderContext& context,
                 QPagedPaintDevice& device) {
    applyPageLayout(report, device);
    Layout layout(report, rows, context, device);
    layout.run();
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    const int pages = static_cast<int>(layout.pages.size());
    for (int p = 0; p < pages; ++p) {
        if (p > 0) device.newPage();
        paintPage(painter, layout, layout.pages[static_cast<size_t>(p)], p + 1, pages);
    }
    painter.end();
    return pages;
}

void writeDetailText(const ReportDefinition& report, const ReportRows& rows, const RenderContext& context,
                     TextFormat format, QIODevice& out) {
    // The detail band's fields from left to right, each captioned by the page header's
    // text that starts within 2 mm of it.
    std::vector<const ReportElement*> fields;
    for (const ReportElement& e : report.detail.elements)
        if (e.kind == ReportElement::Kind::Field) fields.push_back(&e);
    std::stable_sort(fields.begin(), fields.end(), [](auto a, auto b) { return a->x < b->x; });
    const QString separator = format == TextFormat::Csv ? QStringLiteral(",") : QStringLiteral("\t");
    auto line = [&](const QStringList& cells) {
        QStringList shown;
        for (const QString& c : cells) shown << (format == TextFormat::Csv ? csvField(c) : QString(c).replace(u'\t', u' '));
        out.write((shown.join(separator) + QStringLiteral("\r\n")).toUtf8());
    };
    QStringList captions;
    for (const ReportElement* f : fields) {
        QString caption;
        for (const ReportElement& t : report.pageHeader.elements) {
            if (t.kind == ReportElement::Kind::Text && std::abs(t.x - f->x) <= 2) caption = t.text;
        }
        if (caption.isEmpty() && f->value && f->value->kind == FormulaNode::Kind::Field) caption = f->value->name;
        captions << caption;
    }
    line(captions);

    struct RowOnly : FormulaScope {
        RowOnly(const ReportDefinition& r, const ReportRows& rows, const RenderContext& c)
            : report(r), data(rows), context(c) {}
        const ReportDefinition& report;
        const ReportRows& data;
        const RenderContext& context;
        const std::vector<tv::Variant>* row = nullptr;
        tv::Variant field(const FormulaNode& n) override {
            const int i = data.indexOf(n.table, n.name);
            return i < 0 ? tv::Variant() : (*row)[static_cast<size_t>(i)];
        }
        tv::Variant total(const FormulaNode&) override { return {}; }
        FormulaPtr formula(const FormulaNode& n) override {
            if (const auto it = context.formulas.find(n.name); it != context.formulas.end()) return it->second;
            const auto it = report.formulas.find(n.name);
            return it == report.formulas.end() ? nullptr : it->second;
        }
        std::optional<tv::Variant> special(const QString& f, const std::vector<tv::Variant>& args) override {
            if (f == QLatin1String("company") && args.size() == 1 && context.company)
                return tv::Variant(context.company(tv::TextOf(args[0])));
            if (f == QLatin1String("printdate")) return tv::Variant(context.printDate);
            return tv::Variant(QString());
        }
    } scope(report, rows, context);
    for (const std::vector<tv::Variant>& row : rows.rows) {
        scope.row = &row;
        QStringList cells;
        for (const ReportElement* f : fields) {
            const tv::Variant v = evaluate(f->value, scope);
            cells << (f->format.isEmpty() ? tv::TextOf(v) : tv::Format(v, f->format));
        }
        line(cells);
    }
}

}  // namespace tv::reports
