// Workflow restriction of record-set sources. The rewriting works on the SQL text the
// program writes itself, so it only needs to find a few keywords; it looks for them outside
// quoted literals, bracketed names and parentheses, so that a customer called "Wherever"
// or a sub-query's own WHERE is never taken for the statement's clause.
#include "data/workflow.h"

#include "core/format.h"
#include "data/access.h"
#include "data/failure.h"
#include "data/source_text.h"
#include "engine/engine.h"

#include <optional>

namespace tv::data {

using namespace Qt::StringLiterals;

namespace {

// Column ordinals of TABLE DEFINITIONS.
constexpr int kTableNameColumn = 0;
constexpr int kWorkflowColumn = 6;

struct Word {
    qsizetype start = 0;
    qsizetype end = 0;  // one past the last character
};

// The words of the statement's own level (not inside literals, brackets or parentheses).
std::vector<Word> topLevelWords(const QString& sql) {
    std::vector<Word> words;
    int depth = 0;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"') {
            // A doubled quote inside the literal is part of it.
            ++i;
            while (i < n) {
                if (sql.at(i) == c) {
                    if (i + 1 < n && sql.at(i + 1) == c) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            ++i;
        } else if (c == u'[') {
            const qsizetype close = sql.indexOf(u']', i + 1);
            i = close < 0 ? n : close + 1;
        } else if (c == u'(') {
            ++depth;
            ++i;
        } else if (c == u')') {
            if (depth > 0) --depth;
            ++i;
        } else if (c.isLetter() || c == u'_') {
            const qsizetype start = i;
            while (i < n && (sql.at(i).isLetterOrNumber() || sql.at(i) == u'_')) ++i;
            if (depth == 0) words.push_back({start, i});
        } else {
            ++i;
        }
    }
    return words;
}

bool isWord(const QString& sql, const Word& w, QLatin1StringView text) {
    return QStringView(sql).mid(w.start, w.end - w.start).compare(text, Qt::CaseInsensitive) == 0;
}

// Index (into words) of the first top-level keyword; two-word keywords ("ORDER BY") match
// consecutive words.
std::optional<size_t> findKeyword(const QString& sql, const std::vector<Word>& words,
                                  QLatin1StringView first, QLatin1StringView second = {}) {
    for (size_t k = 0; k < words.size(); ++k) {
        if (!isWord(sql, words[k], first)) continue;
        if (second.isEmpty()) return k;
        if (k + 1 < words.size() && isWord(sql, words[k + 1], second)) return k;
    }
    return std::nullopt;
}

// Where the clauses that follow a WHERE clause begin (the end of the text when none).
qsizetype endOfCriteria(const QString& sql, const std::vector<Word>& words, size_t after) {
    for (size_t k = after + 1; k < words.size(); ++k) {
        const bool twoWord = k + 1 < words.size() && isWord(sql, words[k + 1], "BY"_L1);
        if ((twoWord && (isWord(sql, words[k], "ORDER"_L1) || isWord(sql, words[k], "GROUP"_L1))) ||
            isWord(sql, words[k], "HAVING"_L1))
            return words[k].start;
    }
    return sql.size();
}

bool hasTopLevelOr(const QString& criteria) {
    for (const Word& w : topLevelWords(criteria)) {
        if (isWord(criteria, w, "OR"_L1)) return true;
    }
    return false;
}

QString restrictSql(const QString& sql, const QString& condition) {
    const std::vector<Word> words = topLevelWords(sql);

    if (const std::optional<size_t> where = findKeyword(sql, words, "WHERE"_L1)) {
        qsizetype at = words[*where].end;
        while (at < sql.size() && sql.at(at).isSpace()) ++at;
        // "WHERE(" keeps one blank between the keyword and the condition.
        const QString head =
            sql.left(at) + (at == words[*where].end ? QStringLiteral(" ") : QString());
        const qsizetype end = endOfCriteria(sql, words, *where);
        QString criteria = sql.mid(at, end - at);
        // Old criteria joined by OR would otherwise escape the condition:
        // "c AND a OR b" is "(c AND a) OR b".
        if (hasTopLevelOr(criteria)) {
            qsizetype trail = criteria.size();
            while (trail > 0 && criteria.at(trail - 1).isSpace()) --trail;
            criteria = u'(' + criteria.left(trail) + u')' + criteria.mid(trail);
        }
        return head + condition + QStringLiteral(" AND ") + criteria + sql.mid(end);
    }

    std::optional<size_t> clause = findKeyword(sql, words, "GROUP"_L1, "BY"_L1);
    if (!clause) clause = findKeyword(sql, words, "ORDER"_L1, "BY"_L1);
    if (clause) {
        const qsizetype at = words[*clause].start;
        return sql.left(at) + QStringLiteral(" WHERE ") + condition + u' ' + sql.mid(at);
    }
    return sql + QStringLiteral(" WHERE ") + condition;
}

}  // namespace

QString ApplyWorkflowFilter(const QString& source, const std::vector<WorkflowColumn>& columns,
                            const QString& userId) {
    const QString table = SourceTable(source);
    if (table.isEmpty()) return source;

    const WorkflowColumn* entry = nullptr;
    for (const WorkflowColumn& c : columns) {
        if (c.TableName.compare(table, Qt::CaseInsensitive) == 0) {
            entry = &c;
            break;
        }
    }
    if (!entry) return source;

    const QString column = u'[' + entry->ColumnName.toUpper() + QStringLiteral("] = ");
    const QString condition = column + engine::quoteLiteral(userId);
    if (source.contains(condition, Qt::CaseInsensitive) ||
        source.contains(column + engine::quoteLiteral(userId, u'"'), Qt::CaseInsensitive))
        return source;

    if (IsSqlSource(source)) return restrictSql(source, condition);
    return QStringLiteral("SELECT * FROM [") + table + QStringLiteral("] WHERE ") + condition;
}

QString ApplyWorkflowFilter(const QString& source) {
    const AppState& st = state();
    return ApplyWorkflowFilter(source, st.WorkflowColumns, st.CurrentUserId);
}

void InstallWorkflowFilter() {
    state().ApplyWorkflowFilter = [](const QString& source) { return ApplyWorkflowFilter(source); };
}

int BuildWorkflowColumns() {
    AppState& st = state();
    st.WorkflowColumns.clear();
    engine::Recordset rs =
        OpenTable(QStringLiteral("SELECT * FROM [TABLE DEFINITIONS]"), kDefinitionsDb);
    (void)attempt([&] {
        if (!rs.IsOpen()) return;
        while (!rs.EOF_()) {
            const QString column = tv::TextOf(rs[kWorkflowColumn]).trimmed();
            if (!column.isEmpty())
                st.WorkflowColumns.push_back({tv::TextOf(rs[kTableNameColumn]), column});
            rs.MoveNext();
        }
    });
    (void)attempt([&] {
        if (rs.IsOpen()) rs.Close();
    });
    InstallWorkflowFilter();
    return static_cast<int>(st.WorkflowColumns.size());
}

}  // namespace tv::data
