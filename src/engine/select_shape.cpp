// A small scanner over SQLite SELECT text: top-level keywords and their positions.
#include "engine/select_shape.h"

#include <QSet>
#include <vector>

namespace tv::engine {

namespace {

struct Word {
    QString upper;
    qsizetype start;
    qsizetype end;
    int depth;
    bool call;  // followed by "("
};

bool isWordStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// Steps over a quoted part starting at i (the opening quote); returns the index after it.
qsizetype skipQuoted(const QString& sql, qsizetype i, QChar close) {
    for (++i; i < sql.size(); ++i) {
        if (sql[i] == close) {
            if (close != u']' && i + 1 < sql.size() && sql[i + 1] == close) {
                ++i;  // a doubled quote stands for one
                continue;
            }
            return i + 1;
        }
    }
    return sql.size();
}

// The words of the statement with their parenthesis depth. Commas and opening
// parentheses at depth 0 are reported as words too, so that joins written with commas
// and sub-queries in FROM are seen.
std::vector<Word> scan(const QString& sql) {
    std::vector<Word> words;
    int depth = 0;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'`') {
            i = skipQuoted(sql, i, c);
        } else if (c == u'[') {
            i = skipQuoted(sql, i, u']');
        } else if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            while (i < sql.size() && sql[i] != u'\n') ++i;
        } else if (c == u'/' && i + 1 < sql.size() && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? sql.size() : end + 2;
        } else if (c == u'(') {
            if (depth == 0) words.push_back({QStringLiteral("("), i, i + 1, depth, false});
            ++depth;
            ++i;
        } else if (c == u')') {
            --depth;
            ++i;
        } else if (c == u',' && depth == 0) {
            words.push_back({QStringLiteral(","), i, i + 1, depth, false});
            ++i;
        } else if (isWordStart(c)) {
            const qsizetype start = i;
            while (i < sql.size() && isWordChar(sql[i])) ++i;
            Word word{sql.mid(start, i - start).toUpper(), start, i, depth, false};
            // "count (" is a call too.
            qsizetype j = i;
            while (j < sql.size() && sql[j].isSpace()) ++j;
            if (j < sql.size() && sql[j] == u'(') word.call = true;
            words.push_back(word);
        } else {
            ++i;
        }
    }
    return words;
}

const QSet<QString>& aggregates() {
    static const QSet<QString> names = {
        QStringLiteral("COUNT"),        QStringLiteral("SUM"),        QStringLiteral("AVG"),
        QStringLiteral("MIN"),          QStringLiteral("MAX"),        QStringLiteral("TOTAL"),
        QStringLiteral("GROUP_CONCAT"), QStringLiteral("STRING_AGG"), QStringLiteral("FIRST"),
        QStringLiteral("LAST"),         QStringLiteral("STDEV"),      QStringLiteral("VAR"),
        QStringLiteral("JET_FIRST"),    QStringLiteral("JET_LAST")};
    return names;
}

}  // namespace

SelectShape analyseSelect(const QString& text) {
    SelectShape shape;
    QString sql = text.trimmed();
    while (sql.endsWith(u';')) sql.chop(1);
    const std::vector<Word> words = scan(sql);
    if (words.empty() || words.front().upper != QLatin1String("SELECT") || words.front().depth != 0)
        return shape;
    shape.select = true;

    size_t w = 1;
    qsizetype listStart = words.front().end;
    if (w < words.size() && words[w].depth == 0 &&
        (words[w].upper == QLatin1String("DISTINCT") || words[w].upper == QLatin1String("ALL"))) {
        shape.distinct = words[w].upper == QLatin1String("DISTINCT");
        listStart = words[w].end;
        ++w;
    }
    qsizetype fromPos = -1;
    qsizetype fromEnd = -1;
    qsizetype tailStart = sql.size();
    size_t fromWord = 0;
    for (; w < words.size(); ++w) {
        const Word& word = words[w];
        if (word.depth != 0) continue;
        if (word.upper == QLatin1String("FROM")) {
            fromPos = word.start;
            fromEnd = word.end;
            fromWord = w;
            break;
        }
    }
    // The select list: aggregates anywhere inside it (count(*) + 1 too).
    for (size_t i = 1; i < (fromWord ? fromWord : words.size()); ++i) {
        if (words[i].call && aggregates().contains(words[i].upper)) shape.aggregate = true;
        if (words[i].upper == QLatin1String("OVER")) shape.aggregate = true;
    }
    if (fromPos < 0) {
        shape.selectList = sql.mid(listStart).trimmed();
        return shape;
    }
    shape.selectList = sql.mid(listStart, fromPos - listStart).trimmed();
    for (w = fromWord + 1; w < words.size(); ++w) {
        const Word& word = words[w];
        if (word.depth != 0) continue;
        const QString& u = word.upper;
        if (u == QLatin1String("UNION") || u == QLatin1String("INTERSECT") ||
            u == QLatin1String("EXCEPT")) {
            shape.compound = true;
        }
        if (u == QLatin1String("GROUP") || u == QLatin1String("HAVING")) shape.grouped = true;
        if (tailStart == sql.size() &&
            (u == QLatin1String("WHERE") || u == QLatin1String("GROUP") ||
             u == QLatin1String("HAVING") || u == QLatin1String("ORDER") ||
             u == QLatin1String("LIMIT") || u == QLatin1String("WINDOW") || shape.compound)) {
            tailStart = word.start;
        }
        if (tailStart == sql.size() && (u == QLatin1String("JOIN") || u == QLatin1String(",")))
            shape.joined = true;
        if (tailStart == sql.size() && u == QLatin1String("(")) shape.subquery = true;
    }
    shape.from = sql.mid(fromEnd, tailStart - fromEnd).trimmed();
    shape.tail = sql.mid(tailStart).trimmed();

    // The parts of the tail, each up to the next top-level clause.
    qsizetype whereStart = -1, orderStart = -1;
    std::vector<qsizetype> clauseStarts;
    for (w = fromWord + 1; w < words.size(); ++w) {
        const Word& word = words[w];
        if (word.depth != 0 || word.start < tailStart) continue;
        const QString& u = word.upper;
        if (u == QLatin1String("WHERE") && whereStart < 0) {
            whereStart = word.end;
        } else if (u == QLatin1String("ORDER") && w + 1 < words.size() &&
                   words[w + 1].upper == QLatin1String("BY")) {
            orderStart = words[w + 1].end;
        } else if (u == QLatin1String("LIMIT") || u == QLatin1String("OFFSET")) {
            shape.limited = true;
        } else if (u != QLatin1String("GROUP") && u != QLatin1String("HAVING") &&
                   u != QLatin1String("WINDOW") && u != QLatin1String("UNION") &&
                   u != QLatin1String("INTERSECT") && u != QLatin1String("EXCEPT")) {
            continue;
        }
        clauseStarts.push_back(word.start);
    }
    auto upToNextClause = [&](qsizetype start) {
        qsizetype end = sql.size();
        for (qsizetype at : clauseStarts)
            if (at > start && at < end) end = at;
        return sql.mid(start, end - start).trimmed();
    };
    if (whereStart >= 0) shape.where = upToNextClause(whereStart);
    if (orderStart >= 0) shape.orderBy = upToNextClause(orderStart);
    return shape;
}

QStringList splitItems(const QString& list) {
    QStringList items;
    qsizetype start = 0;
    for (const Word& word : scan(list)) {
        if (word.upper != QLatin1String(",")) continue;
        items << list.mid(start, word.start - start).trimmed();
        start = word.end;
    }
    const QString last = list.mid(start).trimmed();
    if (!last.isEmpty() || !items.isEmpty()) items << last;
    return items;
}

QString itemAlias(const QString& item) {
    const std::vector<Word> words = scan(item);
    for (size_t w = words.size(); w-- > 0;) {
        if (words[w].depth != 0 || words[w].upper != QLatin1String("AS")) continue;
        QString name = item.mid(words[w].end).trimmed();
        if (name.size() >= 2 && (name.front() == u'"' || name.front() == u'[' || name.front() == u'`'))
            name = name.mid(1, name.size() - 2);
        return name;
    }
    return QString();
}

}  // namespace tv::engine
