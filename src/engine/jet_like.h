// Jet's LIKE patterns: "*" any run of characters, "?" one character, "#" one digit,
// "[abc]", "[a-z]" and "[!a-z]" one character from (or not from) a list; every other
// character, "%" and "_" included, stands for itself. Matching ignores the case of
// ASCII letters only, the same folding SQLite's NOCASE columns and its LIKE use, so that
// "=" and Like agree on which texts are equal.
//
// The translator writes a pattern as a plain SQLite LIKE when it can (only "*", "?" and
// literal characters), and otherwise calls jet_like(), registered by
// registerDialectFunctions(), which matches with jetLikeMatch().
#pragma once

#include <QString>
#include <optional>

namespace tv::engine::dialect {

// A Jet pattern as an SQLite LIKE pattern with '\' as escape character, or nothing when
// the pattern uses "#" or a character list that LIKE cannot express, or is malformed.
// *needsEscape tells whether the result contains the escape character.
std::optional<QString> jetPatternToSqliteLike(const QString& jetPattern, bool* needsEscape);

// Whether a pattern is well formed (every "[" closed).
bool isValidJetPattern(const QString& jetPattern);

// Matches a whole value against a Jet pattern, ignoring the case of ASCII letters.
// A malformed pattern matches nothing.
bool jetLikeMatch(const QString& value, const QString& jetPattern);

}  // namespace tv::engine::dialect
