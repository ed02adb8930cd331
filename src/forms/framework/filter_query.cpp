#include "forms/framework/filter_query.h"

#include "core/convert.h"
#include "core/format.h"

namespace tv::forms::filter {

namespace {

// The character that closes a part opened by c, or a null character when c opens none.
QChar closerOf(QChar c) {
    if (c == u'\'' || c == u'"' || c == u'#') return c;
    if (c == u'[') return u']';
    return QChar();
}

// The index just past the part of text that opens at `start` (a quote, bracket or #),
// or text.size() when it is not closed. Inside quotes a doubled quote is a quote.
qsizetype partEnd(const QString& text, qsizetype start) {
    const QChar opener = text.at(start);
    const QChar closer = closerOf(opener);
    const bool quote = opener == u'\'' || opener == u'"';
    qsizetype i = start + 1;
    while (i < text.size()) {
        if (text.at(i) == closer) {
            if (quote && i + 1 < text.size() && text.at(i + 1) == closer) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return text.size();
}

bool isWord(const QString& word, const char* keyword) {
    return word.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

// The word with each bracketed caption outside quotes replaced by its bracketed field
// name; quoted parts, #dates# and names that are no caption are copied as they are.
QString withFieldNames(const QString& word, const FieldLookup& fieldOf) {
    QString out;
    qsizetype i = 0;
    while (i < word.size()) {
        if (closerOf(word.at(i)).isNull()) {
            out += word.at(i++);
            continue;
        }
        const qsizetype end = partEnd(word, i);
        const QString part = word.mid(i, end - i);
        QString field;
        if (word.at(i) == u'[' && part.endsWith(u']'))
            field = fieldOf(part.mid(1, part.size() - 2));
        out += field.isEmpty() ? part : u'[' + field + u']';
        i = end;
    }
    return out;
}

}  // namespace

std::optional<QString> valueText(engine::FieldType type, const QString& value) {
    switch (type) {
        case engine::FieldType::Text:
        case engine::FieldType::Memo:
            return u' ' + engine::quoteLiteral(value);
        case engine::FieldType::Date: {
            DateTime when;
            if (!parseDateTime(value.trimmed(), &when)) return std::nullopt;
            // "Medium Date" writes the year in two digits, which read back as 1930-2029;
            // a date outside those years keeps its century.
            const int year = Year(when);
            const QString pattern = year >= 1930 && year <= 2029 ? QStringLiteral("Medium Date")
                                                                 : QStringLiteral("dd-mmm-yyyy");
            return QStringLiteral(" #") + Format(Variant(when), pattern) + u'#';
        }
        default:
            return u' ' + value;
    }
}

QString appendCondition(const QString& criteria, Join join, const QString& caption,
                        const QString& op, const QString& valueText) {
    QString out = criteria;
    if (!out.isEmpty())
        out += join == Join::And ? QStringLiteral("\nAnd ") : QStringLiteral("\n Or ");
    return out + u'[' + caption + QStringLiteral("] ") + op + valueText;
}

QStringList splitWords(const QString& text) {
    QStringList words;
    QString word;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            if (!word.isEmpty()) words.append(word);
            word.clear();
            ++i;
        } else if (!closerOf(c).isNull()) {
            const qsizetype end = partEnd(text, i);
            word += text.mid(i, end - i);
            i = end;
        } else {
            word += c;
            ++i;
        }
    }
    if (!word.isEmpty()) words.append(word);
    return words;
}

QString whereCondition(const QString& criteria, const FieldLookup& fieldOf) {
    // Lines are conditions; as words they run on, each line starting with its And or Or.
    // The leading And opens the first group like every later one.
    QString text = QStringLiteral("AND ") + criteria;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');

    QStringList out;
    bool groupEmpty = true;
    bool inBetween = false;  // the next And belongs to "Between x And y"
    for (const QString& word : splitWords(text)) {
        if (isWord(word, "AND") && !inBetween) {
            if (groupEmpty) continue;
            out.last() += u')';
            out.append(QStringLiteral("AND"));
            groupEmpty = true;
            continue;
        }
        const bool isOr = isWord(word, "OR");
        if (isOr && groupEmpty) continue;
        QString written = isOr                   ? QStringLiteral("OR")
                          : isWord(word, "IN")   ? QStringLiteral("IN")
                          : isWord(word, "LIKE") ? QStringLiteral("LIKE")
                                                 : withFieldNames(word, fieldOf);
        if (groupEmpty) written.prepend(u'(');
        groupEmpty = false;
        if (isWord(word, "BETWEEN"))
            inBetween = true;
        else if (isWord(word, "AND"))
            inBetween = false;
        out.append(written);
    }
    if (out.isEmpty()) return QString();
    if (groupEmpty) {
        out.removeLast();  // an And with nothing after it
    } else {
        out.last() += u')';
    }
    return out.join(u' ');
}

QString orderByText(const QString& sortField, bool descending, const QString& firstField) {
    if (firstField.isEmpty()) return QString();
    if (sortField.isEmpty()) return QStringLiteral(" Order By [") + firstField + u']';
    QString text = QStringLiteral(" Order By [") + sortField + u']';
    if (descending) text += QStringLiteral(" Desc ");
    if (sortField.compare(firstField, Qt::CaseInsensitive) != 0)
        text += QStringLiteral(", [") + firstField + u']';
    return text;
}

QString selectStatement(const QString& table, const QString& condition, const QString& orderBy) {
    QString sql = QStringLiteral("Select * From [") + table + u']';
    if (!condition.isEmpty()) sql += QStringLiteral(" Where ") + condition;
    return sql + orderBy;
}

}  // namespace tv::forms::filter
