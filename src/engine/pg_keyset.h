// Reading a dynaset's key set a page at a time on a server, along the query's order:
// each page is one short statement that continues after the last row read, found by the
// values of its sort keys and its rowid, and ends with LIMIT, as the file's KeysetPager
// does it (the same ranges: with ORDER BY a, b the next page is
//     a = ? AND b = ? AND rowid > ?,   then a = ? AND b > ?,   then a > ?
// each in the full order). Every statement stands alone: no transaction or cursor stays
// open on the server between engine calls, so other workstations write and lock rows
// freely while a list fills.
//
// A server cannot say cheaply whether the table changed since the first page, so every
// rowid read is remembered and a row whose sort key another user moved ahead of the last
// page is not listed twice.
//
// Only the first page is short: the rest comes in one statement when it is asked for.
// While few keys are read, that statement walks the whole index with no condition and the
// rows up to the last one read are passed over here: a range condition on a text sort key
// costs the server a case-folding comparison per row, twice the walk itself. It is used
// only while that row still holds the sort values the page ended on (checked in the same
// statement); otherwise the ranges above are read, unlimited.
//
// Only orders an index leads are paged (the first sort item a column that begins an
// index of the table, or the rowid): each page is then one range of that index, and ties
// on it are sorted a group at a time. Anything else is read in one statement.
#pragma once

#include "engine/keyset_pager.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace tv::engine {

struct SelectShape;
struct TableSchema;

class ServerKeysetPager : public KeyReader {
public:
    // A pager for the rows of `shape` (a keyable SELECT over `table`, written for the
    // server), or nullptr when they are better read in one statement.
    static std::unique_ptr<ServerKeysetPager> make(const SelectShape& shape,
                                                   const TableSchema& table);

    bool read(Connection& conn, KeyArray& keys, long rows) override;

private:
    struct Term {
        QString expr;  // the sort expression alone
        QString item;  // as ORDER BY gave it (direction, Null placement)
        bool descending = false;
    };
    // A sort value of the last row read, as the server's text (bytes for a binary value).
    struct Value {
        bool null = true;
        bool blob = false;
        QByteArray bytes;
    };
    // One statement of a page, as in KeysetPager: the first `equal` terms equal the
    // boundary's, then term `equal` after it (equal == terms: the rowid after it);
    // `nulls` asks for the Nulls of a descending term.
    struct Range {
        int equal = 0;
        bool nulls = false;
    };

    ServerKeysetPager() = default;
    // Whether the leading terms cover a unique index that holds no Null: no ties to order.
    static bool uniqueOrder(const TableSchema& table, const std::vector<Term>& terms);
    // limit < 0: no limit.
    QString sql(const Range* range, long limit) const;
    // The whole order, empty unless the boundary row still holds the boundary's values.
    QString walkSql() const;
    // The rows after the boundary by walking past it; false when it was not met.
    bool walkPastBoundary(Connection& conn, KeyArray& keys);
    long run(Connection& conn, const Range* range, KeyArray& keys, long limit);
    std::vector<Range> rangesAfterBoundary() const;
    void setBoundary(Connection& conn, const KeyArray& keys);

    QString from_;
    QString where_;
    std::vector<Term> terms_;
    QString order_;        // the ORDER BY items with the rowid
    QString boundarySql_;  // the sort values of one row
    bool rowidDescending_ = false;
    std::vector<Value> boundary_;  // none before the first page
    std::int64_t boundaryRowid_ = 0;
    RowidSet seen_;
    bool started_ = false;  // the first page read
};

}  // namespace tv::engine
