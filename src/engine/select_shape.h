// The outline of an SQLite SELECT statement (as the dialect translator writes it): where
// its select list, FROM clause and the rest lie, and whether it can be read as a key set
// (one table, no DISTINCT, grouping, aggregates, compound parts or sub-queries in FROM).
// Only the top level is looked at; quoted names, literals, comments and parenthesised
// sub-expressions are stepped over whole.
#pragma once

#include <QString>

namespace tv::engine {

struct SelectShape {
    bool select = false;  // a SELECT the outline could be read from
    QString selectList;   // between SELECT [DISTINCT|ALL] and FROM
    QString from;         // after FROM, up to WHERE/GROUP/HAVING/ORDER/LIMIT/WINDOW
    QString tail;         // the rest (WHERE ..., ORDER BY ..., LIMIT ...)
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

}  // namespace tv::engine
