// The reader of Jet data-definition statements. They are not written out as SQLite text:
// the engine keeps its own description of every table (types, sizes, Required, index
// names) and builds the SQLite schema from it, so these statements are read into the
// Translation's DDL fields. Internal to the dialect module.
#pragma once

#include "engine/jet_dialect.h"
#include "engine/jet_tokenizer.h"

namespace tv::engine::dialect {

// Whether the statement's first word starts a definition statement (CREATE, DROP, ALTER).
bool isDefinitionStatement(const Token& first);

// Reads CREATE TABLE, CREATE [UNIQUE] INDEX, DROP TABLE, DROP INDEX or ALTER TABLE
// ADD/DROP [COLUMN]. Stops before a final ";".
void translateDefinitionStatement(TokenCursor& cursor, Translation* out);

}  // namespace tv::engine::dialect
