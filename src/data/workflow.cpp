// Workflow restriction of record-set sources. The rewriting reads a statement as the
// dialect translator reads it, through its tokens, so that nothing a statement holds can
// move the condition: quoted literals, bracketed names, comments (dropped from the text
// handed on) and parentheses are what the translator will see. Every SELECT of the
// statement (each part of a UNION, each subquery) that reads a restricted table gets the
// condition, and a statement whose parentheses do not pair is refused before it runs.
#include "data/workflow.h"

#include "core/format.h"
#include "data/access.h"
#include "data/failure.h"
#include "data/source_text.h"
#include "engine/engine.h"
#include "engine/jet_tokenizer.h"

#include <algorithm>
#include <optional>

namespace tv::data {

namespace {

using engine::dialect::Token;
using engine::dialect::TokenKind;

// Column ordinals of TABLE DEFINITIONS.
constexpr int kTableNameColumn = 0;
constexpr int kWorkflowColumn = 6;

constexpr int kSyntaxError = 3075;

// A statement as tokens, with the text they stand in once comments are dropped; each
// token's position is its place in that text.
struct Statement {
    QString text;
    std::vector<Token> tokens;  // the last one is End
};

Statement readStatement(const QString& source) {
    const std::vector<Token> read = engine::dialect::tokenize(source);
    Statement s;
    int end = 0;  // end of the previous token in the source
    for (const Token& t : read) {
        if (t.kind == TokenKind::End) break;
        const QString gap = source.mid(end, t.position - end);
        // Blanks stay as written; a gap holding a comment becomes one blank.
        s.text += gap.trimmed().isEmpty() ? gap : QStringLiteral(" ");
        Token moved = t;
        moved.position = static_cast<int>(s.text.size());
        s.tokens.push_back(moved);
        s.text += source.mid(t.position, t.length);
        end = t.position + t.length;
    }
    if (source.mid(end).trimmed().isEmpty()) s.text += source.mid(end);
    s.tokens.push_back(Token{TokenKind::End, QString(), static_cast<int>(s.text.size()), 0});
    return s;
}

// The depth of each token (0 outside every parenthesis; a "(" counts at its own level and
// so does its ")"). Nothing when a ")" has no "(" or a "(" stays open.
std::optional<std::vector<int>> depths(const std::vector<Token>& tokens) {
    std::vector<int> out(tokens.size(), 0);
    int depth = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].isSymbol(")") && --depth < 0) return std::nullopt;
        out[i] = depth;
        if (tokens[i].isSymbol("(")) ++depth;
    }
    if (depth != 0) return std::nullopt;
    return out;
}

struct Insertion {
    int at;
    QString text;
    size_t order = 0;  // the order the edits were made in
};

class Restrictor {
public:
    Restrictor(const Statement& s, const std::vector<int>& depth,
               const std::vector<WorkflowColumn>& columns, const QString& userId)
        : s_(s), depth_(depth), columns_(columns), userId_(userId) {}

    // Finds each SELECT and restricts its own clauses.
    void run() {
        for (size_t i = 0; i + 1 < s_.tokens.size(); ++i)
            if (s_.tokens[i].isWord("SELECT")) restrictSelect(i);
    }

    QString result() const {
        QString text = s_.text;
        std::vector<Insertion> edits = edits_;
        for (size_t i = 0; i < edits.size(); ++i) edits[i].order = i;
        // From the end, so that earlier offsets stay right; at one offset, the later edit
        // first, so that the edits read in the order they were made.
        std::sort(edits.begin(), edits.end(), [](const Insertion& a, const Insertion& b) {
            return a.at != b.at ? a.at > b.at : a.order > b.order;
        });
        for (const Insertion& e : edits) text.insert(e.at, e.text);
        return text;
    }

private:
    const Token& at(size_t i) const { return s_.tokens[i]; }
    int endOf(size_t i) const { return at(i).position + at(i).length; }
    bool keywordAt(size_t i, const char* word, const char* second = nullptr) const {
        if (!at(i).isWord(word)) return false;
        return !second || (i + 1 < s_.tokens.size() && at(i + 1).isWord(second));
    }

    // The SELECT starting at token `first`: its clauses are the tokens at its depth up to
    // a UNION, the ")" that closes it, or the end.
    void restrictSelect(size_t first) {
        const int level = depth_[first];
        std::optional<size_t> from, where, tail;
        size_t end = first + 1;
        for (; at(end).kind != TokenKind::End; ++end) {
            if (depth_[end] < level) break;
            if (depth_[end] != level || at(end).kind != TokenKind::Word) continue;
            if (at(end).isWord("UNION")) break;
            if (!from && at(end).isWord("FROM")) from = end;
            if (!where && at(end).isWord("WHERE")) where = end;
            if (!tail && (keywordAt(end, "GROUP", "BY") || keywordAt(end, "ORDER", "BY") ||
                          at(end).isWord("HAVING")))
                tail = end;
        }
        if (!from) return;
        // The table it reads: the first name after FROM ("FROM ([A] INNER JOIN ..." reads A).
        size_t t = *from + 1;
        while (at(t).isSymbol("(")) ++t;
        if (at(t).kind != TokenKind::Name && at(t).kind != TokenKind::Word) return;
        if (at(t).isWord("SELECT")) return;  // a subquery: restricted on its own
        const WorkflowColumn* entry = columnFor(at(t).text);
        if (!entry) return;

        const QString condition =
            engine::bracketName(entry->ColumnName.toUpper()) + QStringLiteral(" = ") +
            engine::quoteLiteral(userId_);
        if (!where) {
            // Before GROUP BY, HAVING or ORDER BY, else at the end of the SELECT.
            if (tail)
                edits_.push_back({at(*tail).position, QStringLiteral(" WHERE ") + condition + u' '});
            else
                edits_.push_back({endOf(end - 1), QStringLiteral(" WHERE ") + condition});
            return;
        }
        const size_t criteriaFirst = *where + 1;
        const size_t criteriaEnd = tail ? *tail : end;  // one past the last
        if (criteriaFirst >= criteriaEnd) {
            edits_.push_back({endOf(*where), u' ' + condition});
            return;
        }
        if (carries(criteriaFirst, criteriaEnd, *entry, level)) return;
        // Old criteria joined by OR would otherwise escape the condition:
        // "c AND a OR b" is "(c AND a) OR b".
        bool orAtTop = false;
        for (size_t i = criteriaFirst; i < criteriaEnd; ++i)
            orAtTop = orAtTop || (depth_[i] == level && at(i).isWord("OR"));
        const int start = at(criteriaFirst).position;
        const bool glued = start == endOf(*where);  // "WHERE(": keep a blank after WHERE
        edits_.push_back({start, (glued ? QStringLiteral(" ") : QString()) + condition +
                                     QStringLiteral(" AND ") + (orAtTop ? "(" : "")});
        if (orAtTop) edits_.push_back({endOf(criteriaEnd - 1), QStringLiteral(")")});
    }

    // Whether the criteria already hold the condition as one of the parts they join by
    // AND (and none by OR), so that a restricted statement is not restricted twice.
    bool carries(size_t first, size_t end, const WorkflowColumn& entry, int level) const {
        bool found = false;
        size_t part = first;
        for (size_t i = first; i <= end; ++i) {
            const bool boundary = i == end || (depth_[i] == level && at(i).isWord("AND"));
            if (i < end && depth_[i] == level && at(i).isWord("OR")) return false;
            if (!boundary) continue;
            if (i - part == 3 && at(part).kind == TokenKind::Name &&
                at(part).text.compare(entry.ColumnName, Qt::CaseInsensitive) == 0 &&
                at(part + 1).isSymbol("=") && at(part + 2).kind == TokenKind::String &&
                at(part + 2).text.compare(userId_, Qt::CaseInsensitive) == 0)
                found = true;
            part = i + 1;
        }
        return found;
    }

    const WorkflowColumn* columnFor(const QString& table) const {
        for (const WorkflowColumn& c : columns_) {
            if (c.TableName.compare(table, Qt::CaseInsensitive) == 0) return &c;
        }
        return nullptr;
    }

    const Statement& s_;
    const std::vector<int>& depth_;
    const std::vector<WorkflowColumn>& columns_;
    const QString& userId_;
    std::vector<Insertion> edits_;
};

}  // namespace

QString ApplyWorkflowFilter(const QString& source, const std::vector<WorkflowColumn>& columns,
                            const QString& userId) {
    if (columns.empty()) return source;
    // SQL as the engine tells it: by its first word.
    if (IsSqlSource(source.trimmed())) {
        const Statement statement = readStatement(source);  // throws on a malformed one
        // Not a statement the translator reads: it refuses it, unrestricted or not.
        if (!statement.tokens.front().isWord("SELECT")) return source;
        const std::optional<std::vector<int>> depth = depths(statement.tokens);
        // The translator refuses such a statement anyway; refused here, it never runs
        // with a condition placed by guesswork.
        if (!depth)
            throw engine::DbError(kSyntaxError,
                                  QStringLiteral("Syntax error in statement: %1 (parentheses "
                                                 "that do not pair)")
                                      .arg(source));
        Restrictor restrictor(statement, *depth, columns, userId);
        restrictor.run();
        return restrictor.result();
    }

    // A table name.
    const QString table = SourceTable(source);
    for (const WorkflowColumn& c : columns) {
        if (c.TableName.compare(table, Qt::CaseInsensitive) != 0) continue;
        return QStringLiteral("SELECT * FROM ") + engine::bracketName(table) +
               QStringLiteral(" WHERE ") + engine::bracketName(c.ColumnName.toUpper()) +
               QStringLiteral(" = ") + engine::quoteLiteral(userId);
    }
    return source;
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
