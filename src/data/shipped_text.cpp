// Schema scripts and row files of db/, read line by line so that every statement and row
// remembers where it came from.
#include "data/shipped_text.h"

namespace tv::data {
namespace {

// The lines of a file, without a byte-order mark and without the '\r' of CRLF endings.
QStringList linesOf(const QString& text) {
    QString body = text;
    if (body.startsWith(QChar(0xFEFF))) body.remove(0, 1);
    QStringList lines = body.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
    }
    return lines;
}

// Quoting state carried from one line of a statement to the next.
struct SqlScanState {
    QChar closing;  // the character that ends the current quoted part, or null outside one
};

// The line without its "--" comment. Quotes ('...', "...") and bracketed names ([...])
// hide a "--" inside them; a doubled quote inside a quoted text stays inside it.
QString stripComment(const QString& line, SqlScanState* state) {
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (!state->closing.isNull()) {
            if (c == state->closing) state->closing = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            state->closing = c;
        } else if (c == u'[') {
            state->closing = u']';
        } else if (c == u'-' && i + 1 < line.size() && line[i + 1] == u'-') {
            return line.left(i);
        }
    }
    return line;
}

}  // namespace

std::vector<ScriptStatement> splitSqlScript(const QString& script) {
    std::vector<ScriptStatement> statements;
    QStringList pending;
    int startLine = 0;
    SqlScanState state;

    auto finish = [&]() {
        const QString text = pending.join(u'\n').trimmed();
        if (!text.isEmpty()) statements.push_back({text, startLine});
        pending.clear();
        startLine = 0;
        state = SqlScanState();
    };

    const QStringList lines = linesOf(script);
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString& raw = lines[n];
        if (state.closing.isNull() && raw.trimmed().startsWith(QStringLiteral("--"))) continue;
        QString line = stripComment(raw, &state);
        while (!line.isEmpty() && line.back().isSpace()) line.chop(1);
        if (pending.isEmpty() && line.trimmed().isEmpty()) continue;
        if (pending.isEmpty()) startLine = static_cast<int>(n) + 1;

        const bool ends = state.closing.isNull() && line.endsWith(u';');
        if (ends) line.chop(1);
        pending.append(line);
        if (ends) finish();
    }
    finish();
    return statements;
}

bool parseTsv(const QString& text, TsvTable* table, int* errorLine, QString* error) {
    *table = TsvTable();
    auto fail = [&](int line, const QString& reason) {
        if (errorLine) *errorLine = line;
        if (error) *error = reason;
        return false;
    };

    const QStringList lines = linesOf(text);
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString& line = lines[n];
        const int lineNo = static_cast<int>(n) + 1;
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) continue;
        const QStringList cells = line.split(u'\t');

        if (table->columns.isEmpty()) {
            for (const QString& cell : cells) {
                const QString name = cell.trimmed();
                if (name.isEmpty()) return fail(lineNo, QStringLiteral("a column has no name"));
                for (const QString& seen : table->columns) {
                    if (seen.compare(name, Qt::CaseInsensitive) == 0) {
                        return fail(lineNo, QStringLiteral("column %1 is named twice").arg(name));
                    }
                }
                table->columns.append(name);
            }
            table->headerLine = lineNo;
            continue;
        }

        if (cells.size() > table->columns.size()) {
            return fail(lineNo, QStringLiteral("%1 cells, but the header names %2 columns")
                                    .arg(cells.size())
                                    .arg(table->columns.size()));
        }
        TsvRow row;
        row.line = lineNo;
        row.cells.resize(static_cast<size_t>(table->columns.size()));
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (!cells[i].isEmpty()) row.cells[static_cast<size_t>(i)] = unescapeCell(cells[i]);
        }
        table->rows.push_back(std::move(row));
    }
    return true;
}

QString unescapeCell(const QString& cell) {
    if (!cell.contains(u'\\')) return cell;
    QString out;
    out.reserve(cell.size());
    for (qsizetype i = 0; i < cell.size(); ++i) {
        const QChar c = cell[i];
        if (c == u'\\' && i + 1 < cell.size()) {
            const QChar next = cell[i + 1];
            if (next == u't' || next == u'n' || next == u'\\') {
                out += next == u't' ? QChar(u'\t') : next == u'n' ? QChar(u'\n') : QChar(u'\\');
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString escapeCell(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\') {
            out += QStringLiteral("\\\\");
        } else if (c == u'\t') {
            out += QStringLiteral("\\t");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace tv::data
