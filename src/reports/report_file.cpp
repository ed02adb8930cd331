#include "reports/report_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <functional>

namespace tv::reports {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("tv::reports", text); }

// Reads the XML text element by element; every problem names the line it is on.
class Reader {
public:
    Reader(const QByteArray& text, const QString& name) : xml_(text), name_(name) {}

    ReportDefinition read() {
        if (!xml_.readNextStartElement()) fail(tr("the file is not a report (no <report> element)"));
        if (xml_.name() != QLatin1String("report"))
            fail(tr("the file is not a report (it starts with <%1>)").arg(xml_.name()));
        allow({"title", "version"});
        report_.title = attr("title");
        while (next()) {
            const auto n = xml_.name();
            if (n == QLatin1String("page")) {
                page();
            } else if (n == QLatin1String("data")) {
                data();
            } else if (n == QLatin1String("formula")) {
                allow({"name"});
                const QString name = required("name");
                report_.formulas[name] = formula(xml_.readElementText(), tr("formula %1").arg(name));
            } else if (n == QLatin1String("total")) {
                total();
            } else if (n == QLatin1String("group")) {
                group();
            } else if (n == QLatin1String("reportHeader")) {
                band(report_.reportHeader);
            } else if (n == QLatin1String("pageHeader")) {
                band(report_.pageHeader);
            } else if (n == QLatin1String("detail")) {
                band(report_.detail);
            } else if (n == QLatin1String("pageFooter")) {
                band(report_.pageFooter);
            } else if (n == QLatin1String("reportFooter")) {
                band(report_.reportFooter);
            } else {
                unknown();
            }
        }
        if (xml_.hasError()) fail(xml_.errorString());
        if (report_.tables.empty()) fail(tr("the report names no table to read (<data><table name=...>)"));
        for (const ReportTotal& t : report_.totals) {
            if (t.reset.isEmpty()) continue;
            bool found = false;
            for (const ReportGroup& g : report_.groups) found |= g.name.compare(t.reset, Qt::CaseInsensitive) == 0;
            if (!found) fail(tr("the total %1 is reset by the group %2, which the report does not have").arg(t.name, t.reset));
        }
        return std::move(report_);
    }

private:
    [[noreturn]] void fail(const QString& problem) const {
        throw ReportFileError(ReportFileError::Kind::Damaged,
                              tr("%1, line %2: %3").arg(name_).arg(xml_.lineNumber()).arg(problem));
    }

    // The next child element of the current one; false at its end.
    bool next() {
        const bool found = xml_.readNextStartElement();
        if (xml_.hasError()) fail(xml_.errorString());
        return found;
    }

    void unknown() { fail(tr("<%1> is not an element of a report here").arg(xml_.name())); }

    void allow(std::initializer_list<const char*> names) {
        for (const QXmlStreamAttribute& a : xml_.attributes()) {
            bool known = false;
            for (const char* n : names) known |= a.name() == QLatin1String(n);
            if (!known) fail(tr("<%1> has no attribute \"%2\"").arg(xml_.name(), a.name()));
        }
    }

    QString attr(const char* name) const { return xml_.attributes().value(QLatin1String(name)).toString(); }
    bool has(const char* name) const { return xml_.attributes().hasAttribute(QLatin1String(name)); }

    QString required(const char* name) {
        const QString v = attr(name).trimmed();
        if (v.isEmpty()) fail(tr("<%1> needs the attribute \"%2\"").arg(xml_.name(), QLatin1String(name)));
        return v;
    }

    double number(const char* name, double fallback) {
        if (!has(name)) return fallback;
        bool ok = false;
        const double v = attr(name).toDouble(&ok);
        if (!ok || v < 0) fail(tr("\"%1\" of <%2> must be a number of millimetres or points, not \"%3\"")
                                    .arg(QLatin1String(name), xml_.name(), attr(name)));
        return v;
    }

    bool flag(const char* name) {
        const QString v = attr(name);
        if (v.isEmpty() || v == QLatin1String("false")) return false;
        if (v == QLatin1String("true")) return true;
        fail(tr("\"%1\" must be true or false, not \"%2\"").arg(QLatin1String(name), v));
    }

    FormulaPtr formula(const QString& text, const QString& where) {
        try {
            FormulaPtr f = parseFormula(text);
            if (!f) fail(tr("%1 is empty").arg(where));
            return f;
        } catch (const FormulaError& e) {
            fail(tr("%1 \"%2\" cannot be read %3").arg(where, text.simplified(), e.describe()));
        }
    }

    void page() {
        allow({"size", "orientation", "margins"});
        const QString size = attr("size");
        if (size.isEmpty() || size.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0) {
            report_.pageSize = QPageSize::A4;
        } else if (size.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0) {
            report_.pageSize = QPageSize::Letter;
        } else if (size.compare(QLatin1String("Legal"), Qt::CaseInsensitive) == 0) {
            report_.pageSize = QPageSize::Legal;
        } else if (size.compare(QLatin1String("A5"), Qt::CaseInsensitive) == 0) {
            report_.pageSize = QPageSize::A5;
        } else {
            fail(tr("the page size \"%1\" is not A4, A5, Letter or Legal").arg(size));
        }
        const QString orientation = attr("orientation");
        if (orientation == QLatin1String("landscape")) report_.orientation = QPageLayout::Landscape;
        else if (!orientation.isEmpty() && orientation != QLatin1String("portrait"))
            fail(tr("the orientation must be portrait or landscape"));
        if (has("margins")) {
            const QStringList parts = attr("margins").split(u' ', Qt::SkipEmptyParts);
            std::vector<double> m;
            for (const QString& p : parts) {
                bool ok = false;
                const double v = p.toDouble(&ok);
                if (!ok || v < 0) {
                    m.clear();
                    break;
                }
                m.push_back(v);
            }
            if (m.size() == 1) report_.margins = QMarginsF(m[0], m[0], m[0], m[0]);
            else if (m.size() == 4) report_.margins = QMarginsF(m[0], m[1], m[2], m[3]);
            else fail(tr("margins are one number or four (left top right bottom), in millimetres"));
        }
        xml_.skipCurrentElement();
    }

    void data() {
        allow({});
        while (next()) {
            const auto n = xml_.name();
            if (n == QLatin1String("table")) {
                allow({"name", "join", "on"});
                ReportTable t;
                t.name = required("name");
                const QString join = attr("join");
                if (report_.tables.empty()) {
                    if (has("on") || has("join")) fail(tr("the first table is the main table and is not joined"));
                } else {
                    if (join == QLatin1String("outer")) t.outer = true;
                    else if (!join.isEmpty() && join != QLatin1String("inner"))
                        fail(tr("join must be inner or outer, not \"%1\"").arg(join));
                    t.on = formula(required("on"), tr("the join of %1").arg(t.name));
                }
                report_.tables.push_back(t);
                xml_.skipCurrentElement();
            } else if (n == QLatin1String("sort")) {
                allow({"by", "order"});
                ReportSort s;
                s.by = formula(required("by"), tr("the sort"));
                const QString order = attr("order");
                s.descending = order == QLatin1String("descending");
                if (!order.isEmpty() && !s.descending && order != QLatin1String("ascending"))
                    fail(tr("order must be ascending or descending"));
                report_.sorts.push_back(s);
                xml_.skipCurrentElement();
            } else if (n == QLatin1String("filter")) {
                allow({});
                report_.filter = formula(xml_.readElementText(), tr("the filter"));
            } else {
                unknown();
            }
        }
    }

    void total() {
        allow({"name", "function", "of", "reset"});
        ReportTotal t;
        t.name = required("name");
        static const std::pair<const char*, ReportTotal::Function> functions[] = {
            {"sum", ReportTotal::Function::Sum},         {"count", ReportTotal::Function::Count},
            {"average", ReportTotal::Function::Average}, {"minimum", ReportTotal::Function::Minimum},
            {"maximum", ReportTotal::Function::Maximum},
        };
        const QString f = required("function");
        bool known = false;
        for (const auto& [word, fn] : functions) {
            if (f == QLatin1String(word)) t.function = fn, known = true;
        }
        if (!known) fail(tr("a total's function is sum, count, average, minimum or maximum, not \"%1\"").arg(f));
        t.of = formula(required("of"), tr("the total %1").arg(t.name));
        t.reset = attr("reset");
        report_.totals.push_back(t);
        xml_.skipCurrentElement();
    }

    void group() {
        allow({"name", "by", "newPage"});
        ReportGroup g;
        g.name = required("name");
        g.by = formula(required("by"), tr("the group %1").arg(g.name));
        g.newPage = flag("newPage");
        while (next()) {
            if (xml_.name() == QLatin1String("header")) band(g.header);
            else if (xml_.name() == QLatin1String("footer")) band(g.footer);
            else unknown();
        }
        report_.groups.push_back(std::move(g));
    }

    void band(ReportBand& b) {
        allow({"height"});
        if (b.present) fail(tr("<%1> appears twice").arg(xml_.name()));
        b.present = true;
        b.height = number("height", 0);
        while (next()) b.elements.push_back(element());
    }

    ReportFont font(const ReportFont& base) {
        ReportFont f = base;
        if (has("font")) f.family = attr("font");
        f.size = number("size", f.size);
        if (f.size <= 0) fail(tr("a font size must be above 0"));
        if (has("bold")) f.bold = flag("bold");
        if (has("italic")) f.italic = flag("italic");
        return f;
    }

    QColor colour(const char* name, QColor fallback) {
        if (!has(name)) return fallback;
        const QColor c = QColor::fromString(attr(name));
        if (!c.isValid()) fail(tr("\"%1\" is not a colour (write #rrggbb or a colour name)").arg(attr(name)));
        return c;
    }

    ReportElement element() {
        ReportElement e;
        const auto n = xml_.name();
        e.x = number("x", 0);
        e.y = number("y", 0);
        e.w = number("w", 0);
        e.h = number("h", 0);
        if (n == QLatin1String("text") || n == QLatin1String("field")) {
            allow({"x", "y", "w", "h", "align", "font", "size", "bold", "italic", "colour", "grow", "value", "format"});
            e.font = font(ReportFont());
            e.colour = colour("colour", Qt::black);
            e.grow = flag("grow");
            const QString align = attr("align");
            if (align == QLatin1String("right")) e.align = Qt::AlignRight;
            else if (align == QLatin1String("center")) e.align = Qt::AlignHCenter;
            else if (!align.isEmpty() && align != QLatin1String("left"))
                fail(tr("align is left, center or right, not \"%1\"").arg(align));
            if (n == QLatin1String("field")) {
                e.kind = ReportElement::Kind::Field;
                e.value = formula(required("value"), tr("the field"));
                e.format = attr("format");
                xml_.skipCurrentElement();
            } else {
                if (has("value") || has("format")) fail(tr("<text> prints its own words; use <field> for a value"));
                e.kind = ReportElement::Kind::Text;
                e.text = xml_.readElementText();
            }
        } else if (n == QLatin1String("line") || n == QLatin1String("box")) {
            allow({"x", "y", "w", "h", "width", "colour", "fill"});
            e.kind = n == QLatin1String("line") ? ReportElement::Kind::Line : ReportElement::Kind::Box;
            e.lineWidth = number("width", 0);
            e.colour = colour("colour", Qt::black);
            e.fill = colour("fill", QColor());
            xml_.skipCurrentElement();
        } else if (n == QLatin1String("picture")) {
            allow({"x", "y", "w", "h", "file"});
            e.kind = ReportElement::Kind::Picture;
            e.text = required("file");
            xml_.skipCurrentElement();
        } else {
            unknown();
        }
        return e;
    }

    QXmlStreamReader xml_;
    QString name_;
    ReportDefinition report_;
};

}  // namespace

ReportFileError::ReportFileError(Kind kind, const QString& detail)
    : std::runtime_error(detail.toStdString()), kind_(kind), detail_(detail) {}

ReportDefinition readReportFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw ReportFileError(ReportFileError::Kind::Missing, path);
    return parseReport(file.readAll(), path);
}

ReportDefinition parseReport(const QByteArray& text, const QString& name) {
    return Reader(text, name).read();
}

}  // namespace tv::reports
