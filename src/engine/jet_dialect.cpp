// The dialect's entry points: one statement or one criteria text in, SQLite text (or a
// definition to build) out. The statement is tokenized whole first, so an unterminated
// quote anywhere is reported before anything is read; then the first word chooses the
// data-statement reader or the definition reader, and whatever is left after the
// statement (other than one ";") is an error.
#include "engine/jet_dialect.h"

#include "core/convert.h"
#include "engine/jet_ddl.h"
#include "engine/jet_tokenizer.h"
#include "engine/jet_translator.h"

#include <QRegularExpression>

namespace tv::engine::dialect {

Translation translate(const QString& jetSql, const Catalog& catalog, const ServerNames* server) {
    TokenCursor cursor(jetSql, tokenize(jetSql));
    Translation out;
    if (isDefinitionStatement(cursor.peek())) {
        translateDefinitionStatement(cursor, &out);
    } else {
        translateDataStatement(cursor, catalog, &out, server);
    }
    cursor.acceptSymbol(";");
    if (!cursor.atEnd()) cursor.fail(QStringLiteral("unexpected text after the statement"));
    return out;
}

QString translateCriteria(const QString& jetCriteria, const std::vector<FieldInfo>& fields,
                          const ServerNames* server) {
    TokenCursor cursor(jetCriteria, tokenize(jetCriteria));
    return translateCriteriaTokens(cursor, fields, server);
}

bool readDateLiteral(const QString& inside, tv::DateTime* out) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QString text = inside.trimmed();
    text.replace(blanks, QStringLiteral(" "));
    if (text.isEmpty()) return false;
    return tv::parseDateTime(text, out);
}

}  // namespace tv::engine::dialect
