#include "forms/framework/delimited_line.h"

#include "core/convert.h"
#include "core/number_text.h"

#include <QStringList>

namespace tv::forms {

namespace {

QString quoted(const QString& text) {
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

// The shortest text that reads back as the same number, with a point and no grouping.
QString number(double value) { return QString::number(value, 'g', 15); }

}  // namespace

QString DelimitedItem(const tv::Variant& value) {
    switch (value.type()) {
        case tv::VarType::Null:
            return QStringLiteral("#NULL#");
        case tv::VarType::Boolean:
            return value.asBool() ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#");
        case tv::VarType::Integer:
            return QString::number(value.asInteger());
        case tv::VarType::Long:
            return QString::number(value.asLong());
        case tv::VarType::Currency:
            return tv::numtext::currencyText(value.asCurrency());
        case tv::VarType::Single:
            // Through its own precision, so 0.1f is written 0.1 rather than 0.100000001.
            return QString::number(value.asSingle(), 'g', 7);
        case tv::VarType::Double:
            return number(value.asDouble());
        case tv::VarType::Date:
            return u'#' + tv::toIsoText(value.asDate()) + u'#';
        case tv::VarType::String:
            return quoted(value.asString());
        case tv::VarType::Binary:
            return quoted(QString());
    }
    return quoted(QString());
}

QString WriteDelimitedLine(const std::vector<tv::Variant>& values) {
    QStringList items;
    items.reserve(static_cast<qsizetype>(values.size()));
    for (const tv::Variant& v : values) items.append(DelimitedItem(v));
    return items.join(u',') + QStringLiteral("\r\n");
}

}  // namespace tv::forms
