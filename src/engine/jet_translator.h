// The reader of Jet data statements (SELECT, INSERT, UPDATE, DELETE) and criteria,
// writing SQLite text as it reads. Internal to the dialect module: callers use
// translate() and translateCriteria() from jet_dialect.h.
#pragma once

#include "engine/jet_dialect.h"
#include "engine/jet_tokenizer.h"

namespace tv::engine::dialect {

// Reads one data statement from the cursor (the first word decides which) and fills
// kind, sql, tables, singleTable and the SELECT pieces. Stops before a final ";".
// With `server`, the text is the server's (see ServerNames).
void translateDataStatement(TokenCursor& cursor, const Catalog& catalog, Translation* out,
                            const ServerNames* server = nullptr);

// Reads one boolean expression over the given fields up to the end of the cursor.
QString translateCriteriaTokens(TokenCursor& cursor, const std::vector<FieldInfo>& fields,
                                const ServerNames* server = nullptr);

// A name as an SQLite identifier: bracketed names are always quoted, bare names only
// when SQLite would take them for a keyword.
QString sqliteIdentifier(const Token& name);
// A name between double quotes exactly as given (a server's identifier).
QString quoteIdentifier(const QString& name);

}  // namespace tv::engine::dialect
