#include "reports/criteria.h"

#include "core/convert.h"
#include "core/format.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace tv::reports {

namespace {

QString twoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QString dateFunction(const QDate& d) {
    return QStringLiteral("Date(%1,%2,%3)").arg(d.year(), 4, 10, QLatin1Char('0')).arg(twoDigits(d.month()), twoDigits(d.day()));
}

QString dateTimeText(const QDate& d, bool end) {
    return QStringLiteral("%1/%2/%3").arg(d.year(), 4, 10, QLatin1Char('0')).arg(twoDigits(d.month()), twoDigits(d.day())) +
           (end ? QStringLiteral(" 23:59:59") : QStringLiteral(" 0:00:00.00"));
}

// The value text of one answer, and whether it is written bare (numbers, yes/no, Date()).
QString valueText(const Criterion& c, bool second, bool* bare) {
    const bool numeric = static_cast<int>(c.type) >= 1 && static_cast<int>(c.type) <= 7;
    switch (c.input) {
        case CriterionInput::CheckBox:
            *bare = true;
            return c.checked ? QStringLiteral("True") : QStringLiteral("False");
        case CriterionInput::Date: {
            const QDate& d = second ? c.dateB : c.dateA;
            if (!d.isValid()) return {};
            *bare = !c.dateTime;
            return c.dateTime ? dateTimeText(d, second) : dateFunction(d);
        }
        default:
            *bare = numeric && !c.dateTime;
            return (second ? c.textB : c.textA).trimmed();
    }
}

QString written(const QString& value, bool bare) { return bare ? value : engine::quoteLiteral(value, u'"'); }

}  // namespace

QString criterionTerm(const Criterion& c) {
    bool bareA = false;
    const QString a = valueText(c, false, &bareA);
    if (a.isEmpty()) return {};
    const QString reference = c.table.trimmed().isEmpty() ? QStringLiteral("{@") + c.field + QStringLiteral("} ")
                                                          : u'{' + c.table + u'.' + c.field + QStringLiteral("} ");
    if (c.op.compare(QLatin1String("Between"), Qt::CaseInsensitive) == 0) {
        bool bareB = false;
        const QString b = valueText(c, true, &bareB);
        if (b.isEmpty()) return reference + QStringLiteral(">= ") + written(a, bareA);
        return reference + QStringLiteral("in ") + written(a, bareA) + QStringLiteral(" to ") + written(b, bareB);
    }
    return reference + c.op.trimmed() + u' ' + written(a, bareA);
}

QString criteriaFormula(const std::vector<Criterion>& criteria) {
    QStringList terms;
    for (const Criterion& c : criteria) {
        const QString term = criterionTerm(c);
        if (!term.isEmpty()) terms << term;
    }
    return terms.join(QStringLiteral(" And "));
}

QString readableCriteria(const QString& formula) {
    if (formula.trimmed().isEmpty()) return QCoreApplication::translate("tv::reports", "All records");
    QString text = formula;
    static const QRegularExpression field(QStringLiteral(R"(\{@?(?:[^{}.]*\.)?([^{}]*)\})"));
    text.replace(field, QStringLiteral("\\1"));
    static const QRegularExpression date(QStringLiteral(R"(Date\((\d{4}),(\d{2}),(\d{2})\))"));
    for (auto m = date.match(text); m.hasMatch(); m = date.match(text)) {
        const tv::Variant d(tv::DateSerial(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()));
        text.replace(m.capturedStart(), m.capturedLength(), tv::Format(d, QStringLiteral("Short Date")));
    }
    static const QRegularExpression stamp(QStringLiteral(R"x("(\d{4})/(\d{2})/(\d{2}) (?:0:00:00\.00|23:59:59)")x"));
    for (auto m = stamp.match(text); m.hasMatch(); m = stamp.match(text)) {
        const tv::Variant d(tv::DateSerial(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()));
        text.replace(m.capturedStart(), m.capturedLength(), tv::Format(d, QStringLiteral("Short Date")));
    }
    text.replace(QStringLiteral(" in "), QStringLiteral(" from "));
    text.replace(QStringLiteral(" And "), QStringLiteral(", "));
    // Quotes go; a doubled quote inside a value stays as one.
    QString plain;
    bool inside = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'"') {
            plain += text[i];
        } else if (inside && i + 1 < text.size() && text[i + 1] == u'"') {
            plain += u'"';
            ++i;
        } else {
            inside = !inside;
        }
    }
    return plain;
}


}  // namespace tv::reports
