// Key sets read a page at a time on a server.
#include "engine/pg_keyset.h"

#include "engine/connection.h"
#include "engine/pg_session.h"
#include "engine/schema.h"
#include "engine/select_shape.h"

#include <QRegularExpression>
#include <algorithm>
#include <utility>

namespace tv::engine {

namespace {

// Strips a trailing word pair or word ("NULLS FIRST", "DESC") when present.
bool chopWords(QString& text, QLatin1String words) {
    if (!text.endsWith(words, Qt::CaseInsensitive)) return false;
    text.chop(words.size());
    text = text.trimmed();
    return true;
}

// The column a sort or select expression names alone ("NAME", "T"."NAME", NAME): its
// name without quotes or qualifier; empty for anything else.
QString columnName(const QString& expr) {
    static const QRegularExpression name(
        QStringLiteral(R"re(^(?:(?:"(?:[^"]|"")+"|\w+)\.)?(?:"((?:[^"]|"")+)"|(\w+))$)re"));
    const QRegularExpressionMatch m = name.match(expr.trimmed());
    if (!m.hasMatch()) return QString();
    return m.capturedLength(1) ? m.captured(1).replace(QLatin1String("\"\""), QLatin1String("\""))
                               : m.captured(2);
}

bool leadsAnIndex(const TableSchema& table, const QString& column) {
    if (column.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0) return true;
    const int ordinal = table.columnIndex(column);
    if (ordinal < 0) return false;
    for (const IndexSchema& index : table.indexes)
        if (!index.columns.empty() && index.columns.front() == ordinal) return true;
    return false;
}

}  // namespace

bool ServerKeysetPager::uniqueOrder(const TableSchema& table, const std::vector<Term>& terms) {
    std::vector<int> columns;
    for (const Term& term : terms) {
        const int column = table.columnIndex(columnName(term.expr));
        if (column < 0) break;
        columns.push_back(column);
    }
    for (const IndexSchema& index : table.indexes) {
        if (!index.unique) continue;
        bool covered = true;
        for (const int column : index.columns) {
            covered = covered && std::find(columns.begin(), columns.end(), column) != columns.end() &&
                      (index.primary || table.columns[static_cast<size_t>(column)].notNull);
        }
        if (covered) return true;
    }
    return false;
}

std::unique_ptr<ServerKeysetPager> ServerKeysetPager::make(const SelectShape& shape,
                                                           const TableSchema& table) {
    if (!shape.keyable() || shape.limited || shape.orderBy.isEmpty()) return nullptr;
    // The pages add parameters of their own after the query's.
    if (shape.where.contains(u'?') || shape.orderBy.contains(u'?')) return nullptr;
    const QStringList items = splitItems(shape.selectList);
    std::unique_ptr<ServerKeysetPager> pager(new ServerKeysetPager);
    for (const QString& item : splitItems(shape.orderBy)) {
        Term term;
        term.expr = item.trimmed();
        if (!chopWords(term.expr, QLatin1String(" NULLS FIRST")))
            chopWords(term.expr, QLatin1String(" NULLS LAST"));
        term.descending = chopWords(term.expr, QLatin1String(" DESC"));
        if (!term.descending) chopWords(term.expr, QLatin1String(" ASC"));
        if (term.expr.isEmpty()) return nullptr;
        term.item = item.trimmed();
        bool isPosition = false;
        const int position = term.expr.toInt(&isPosition);
        if (isPosition) {
            // A position stands for its select item: pageable when that is a column.
            if (position < 1 || position > items.size()) return nullptr;
            QString expr = items[position - 1];
            if (const QString alias = itemAlias(expr); !alias.isEmpty())
                expr = expr.left(expr.lastIndexOf(QLatin1String(" AS "), -1, Qt::CaseInsensitive));
            if (columnName(expr).isEmpty()) return nullptr;
            term.expr = expr.trimmed();
            term.item = term.expr + term.item.mid(QString::number(position).size());
        } else if (const QString name = columnName(term.expr); !name.isEmpty()) {
            // A name the select list gives to something other than that column is the
            // query's own, which the table does not know.
            for (const QString& selected : items) {
                if (itemAlias(selected).compare(name, Qt::CaseInsensitive) != 0) continue;
                const QString expr =
                    selected.left(selected.lastIndexOf(QLatin1String(" AS "), -1, Qt::CaseInsensitive));
                if (columnName(expr).compare(name, Qt::CaseInsensitive) != 0) return nullptr;
            }
        }
        pager->terms_.push_back(term);
    }
    if (!leadsAnIndex(table, columnName(pager->terms_.front().expr))) return nullptr;
    pager->from_ = shape.from;
    pager->where_ = shape.where;
    pager->rowidDescending_ = pager->terms_.back().descending;
    QStringList order;
    for (const Term& term : pager->terms_) order << term.item;
    if (!uniqueOrder(table, pager->terms_))
        order << (pager->rowidDescending_ ? QStringLiteral("rowid DESC") : QStringLiteral("rowid"));
    pager->order_ = order.join(QStringLiteral(", "));
    QStringList values;
    for (const Term& term : pager->terms_) values << term.expr;
    pager->boundarySql_ = QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                              .arg(values.join(QStringLiteral(", ")), pager->from_);
    return pager;
}

QString ServerKeysetPager::sql(const Range* range, long limit) const {
    QString text = QStringLiteral("SELECT rowid FROM ") + from_;
    QStringList conditions;
    if (!where_.isEmpty()) conditions << u'(' + where_ + u')';
    if (range) {
        for (int i = 0; i < range->equal; ++i) {
            conditions << u'(' + terms_[static_cast<size_t>(i)].expr +
                              (boundary_[static_cast<size_t>(i)].null ? QStringLiteral(") IS NULL")
                                                                      : QStringLiteral(") = ?"));
        }
        if (range->equal == static_cast<int>(terms_.size())) {
            conditions << (rowidDescending_ ? QStringLiteral("rowid < ?") : QStringLiteral("rowid > ?"));
        } else {
            const Term& term = terms_[static_cast<size_t>(range->equal)];
            QString after;
            if (range->nulls)
                after = QStringLiteral(") IS NULL");
            else if (boundary_[static_cast<size_t>(range->equal)].null)
                after = QStringLiteral(") IS NOT NULL");  // ascending: every value follows Null
            else
                after = term.descending ? QStringLiteral(") < ?") : QStringLiteral(") > ?");
            conditions << u'(' + term.expr + after;
        }
    }
    if (!conditions.isEmpty()) text += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    // The limit is written out: a planner that knows it walks the index rather than sort.
    text += QStringLiteral(" ORDER BY ") + order_;
    return limit < 0 ? text : text + QStringLiteral(" LIMIT ") + QString::number(limit);
}

QString ServerKeysetPager::walkSql() const {
    QStringList same{QStringLiteral("rowid = ?")};
    for (size_t i = 0; i < terms_.size(); ++i)
        same << u'(' + terms_[i].expr + (boundary_[i].null ? QStringLiteral(") IS NULL") : QStringLiteral(") = ?"));
    // An uncorrelated EXISTS is evaluated once, before the walk.
    QString text = QStringLiteral("SELECT rowid FROM %1 WHERE EXISTS (SELECT 1 FROM %1 WHERE %2)")
                       .arg(from_, same.join(QStringLiteral(" AND ")));
    if (!where_.isEmpty()) text += QStringLiteral(" AND (") + where_ + u')';
    return text + QStringLiteral(" ORDER BY ") + order_;
}

bool ServerKeysetPager::walkPastBoundary(Connection& conn, KeyArray& keys) {
    Statement statement = conn.cached(walkSql());
    PgStatement& pg = *statement.server();
    statement.bindInt(1, boundaryRowid_);
    int parameter = 2;
    for (const Value& value : boundary_) {
        if (value.null) continue;
        if (value.blob)
            pg.bindBlob(parameter++, value.bytes);
        else
            pg.bindText(parameter++, value.bytes);
    }
    bool past = false;
    pg.forEachInteger([&](std::int64_t rowid) {
        if (!past)
            past = rowid == boundaryRowid_;
        else if (seen_.insert(rowid))
            keys.push_back(rowid);
    });
    return past;
}

std::vector<ServerKeysetPager::Range> ServerKeysetPager::rangesAfterBoundary() const {
    std::vector<Range> ranges;
    const int count = static_cast<int>(terms_.size());
    ranges.push_back({count, false});
    for (int equal = count - 1; equal >= 0; --equal) {
        if (!terms_[static_cast<size_t>(equal)].descending) {
            ranges.push_back({equal, false});
        } else if (!boundary_[static_cast<size_t>(equal)].null) {
            // Descending: the smaller values, then the Nulls; after a Null nothing comes.
            ranges.push_back({equal, false});
            ranges.push_back({equal, true});
        }
    }
    return ranges;
}

long ServerKeysetPager::run(Connection& conn, const Range* range, KeyArray& keys, long limit) {
    Statement statement = conn.cached(sql(range, limit));
    PgStatement& pg = *statement.server();
    int parameter = 1;
    auto bind = [&](const Value& value) {
        if (value.blob)
            pg.bindBlob(parameter++, value.bytes);
        else
            pg.bindText(parameter++, value.bytes);
    };
    if (range) {
        for (int i = 0; i < range->equal; ++i)
            if (!boundary_[static_cast<size_t>(i)].null) bind(boundary_[static_cast<size_t>(i)]);
        if (range->equal == static_cast<int>(terms_.size()))
            statement.bindInt(parameter++, boundaryRowid_);
        else if (!range->nulls && !boundary_[static_cast<size_t>(range->equal)].null)
            bind(boundary_[static_cast<size_t>(range->equal)]);
    }
    const long rows = pg.forEachInteger([&](std::int64_t rowid) {
        if (seen_.insert(rowid)) keys.push_back(rowid);
    });
    if (limit >= 0 && rows == limit) setBoundary(conn, keys);
    return rows;
}

void ServerKeysetPager::setBoundary(Connection& conn, const KeyArray& keys) {
    // The sort values of the last row read, where the next page continues: looked up by its
    // rowid (reading them with every row would send a page's worth). A row deleted since
    // hands over to the one before it; the rows read twice then are dropped as seen.
    Statement statement = conn.cached(boundarySql_);
    for (long pos = keys.size() - 1; pos >= 0; --pos) {
        statement.reset();
        statement.bindInt(1, keys[pos]);
        if (!statement.step()) continue;
        std::vector<Value> values(terms_.size());
        for (size_t i = 0; i < terms_.size(); ++i) {
            const int col = static_cast<int>(i);
            Value& value = values[i];
            value.null = statement.isNull(col);
            value.blob = statement.columnType(col) == pgkind::kBlob;
            int length = 0;
            const char* bytes = value.null ? nullptr : statement.bytesAt(col, &length);
            if (bytes) value.bytes = QByteArray(bytes, length);
        }
        boundary_ = std::move(values);
        boundaryRowid_ = keys[pos];
        return;
    }
    // Every row read is gone: start again from the top (the rowids read are dropped).
    boundary_.clear();
}

bool ServerKeysetPager::read(Connection& conn, KeyArray& keys, long rows) {
    // The first page is what a window shows at once; past it, a list is scrolled far or
    // counted, and pages of their own cost the server more than one statement for the rest.
    if (!std::exchange(started_, true)) {
        rows = std::max(rows, 1L);
        return run(conn, nullptr, keys, rows) < rows;
    }
    if (boundary_.empty()) {
        // Every row read is gone: the whole order again, the rows read dropped as seen.
        run(conn, nullptr, keys, -1);
        return true;
    }
    // Walking past the rows read pays while they are few beside the rest.
    constexpr long kWalkPast = 65536;
    if (keys.size() <= kWalkPast && walkPastBoundary(conn, keys)) return true;
    for (const Range& range : rangesAfterBoundary()) run(conn, &range, keys, -1);
    return true;
}

}  // namespace tv::engine
