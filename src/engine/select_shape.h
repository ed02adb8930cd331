// The outline of an SQLite SELECT statement (as the dialect translator writes it): where
// its select list, FROM clause and the rest lie, and whether it can be read as a key set
// (one table, no DISTINCT, grouping, aggregates, compound parts or sub-queries in FROM).
// Only the top level is looked at; quoted names, literals, comments and parenthesised
// sub-expressions are stepped over whole.
#pragma once

#include <QString>
#include <QStringList>

namespace tv::engine {

struct SelectShape {
    bool select = false;  // a SELECT the outline could be read from
    QString selectList;   // between SELECT [DISTINCT|ALL] and FROM
    QString from;         // after FROM, up to WHERE/GROUP/HAVING/ORDER/LIMIT/WINDOW
    QString tail;         // the rest (WHERE ..., ORDER BY ..., LIMIT ...)
    QString where;        // the condition after WHERE, when the tail has one
    QString orderBy;      // the items after ORDER BY, when the tail has them
    bool limited = false;  // LIMIT (or OFFSET) in the tail
    bool distinct = false;
    bool grouped = false;    // GROUP BY or HAVING
    bool compound = false;   // UNION, INTERSECT, EXCEPT
    bool joined = false;     // JOIN or a comma in FROM
    bool aggregate = false;  // an aggregate or window function in the select list
    bool subquery = false;   // a parenthesis in FROM

    bool keyable() const {
        return select && !from.isEmpty() && !distinct && !grouped && !compound && !joined &&
               !aggregate && !subquery;
    }
};

SelectShape analyseSelect(const QString& sql);

// The items of a list (a select list, ORDER BY items) split at its top-level commas, each
// trimmed.
QStringList splitItems(const QString& list);

// The name an item of a select list is given ("a + b AS total": total), without quotes;
// empty when it has none.
QString itemAlias(const QString& item);

}  // namespace tv::engine
