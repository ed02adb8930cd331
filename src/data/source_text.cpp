#include "data/source_text.h"

#include <QRegularExpression>

namespace tv::data {

bool IsSqlSource(const QString& source) {
    return source.left(6).compare(QLatin1String("SELECT"), Qt::CaseInsensitive) == 0;
}

namespace {

QString unbracket(const QString& name) {
    const QString t = name.trimmed();
    if (t.size() >= 2 && t.startsWith(u'[') && t.endsWith(u']')) return t.mid(1, t.size() - 2);
    return t;
}

}  // namespace

QString SourceTable(const QString& source) {
    if (!IsSqlSource(source)) return unbracket(source);

    // FROM as a word, so that a column such as [FROMDATE] is not taken for it.
    static const QRegularExpression from(QStringLiteral("\\bFROM\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = from.match(source);
    if (!m.hasMatch()) return QString();

    int i = static_cast<int>(m.capturedEnd());
    while (i < source.size() && source.at(i).isSpace()) ++i;
    if (i < source.size() && source.at(i) == u'[') {
        const int close = source.indexOf(u']', i + 1);
        return close < 0 ? source.mid(i + 1) : source.mid(i + 1, close - i - 1);
    }
    int end = i;
    while (end < source.size() && !source.at(end).isSpace() && source.at(end) != u',' &&
           source.at(end) != u';' && source.at(end) != u')')
        ++end;
    return source.mid(i, end - i);
}

}  // namespace tv::data
