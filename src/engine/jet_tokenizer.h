// The tokenizer of the Jet SQL dialect, and the cursor the translator walks tokens with.
//
// A statement is cut into words (names and keywords alike; the translator decides which
// is which), bracketed names, text literals in single or double quotes (decoded: a
// doubled quote inside stands for one), numbers, #date# literals (their inside text,
// read later), and operator symbols. "-- ..." comments run to the end of the line and
// are dropped. Anything the dialect does not know (an unterminated quote, bracket or
// date, a stray character) is a syntax error carrying the whole statement, so no caller
// ever sees half a statement translated.
#pragma once

#include <QString>
#include <algorithm>
#include <vector>

namespace tv::engine::dialect {

enum class TokenKind {
    Word,    // a bare name or keyword, as written
    Name,    // a bracketed name, without the brackets
    String,  // a text literal, decoded
    Number,  // a numeric literal, in SQLite's notation
    Date,    // a #date# literal: the text between the # signs
    Symbol,  // an operator or punctuation: ( ) , . ; = <> != < > <= >= + - * / \ ^ &
    End,     // after the last token
};

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;
    int position = 0;  // offset of the token in the statement
    int length = 0;    // characters it takes there (quotes, brackets and # included)

    // A bare word equal to the keyword, ignoring case. Bracketed names never are keywords.
    bool isWord(const char* keyword) const {
        return kind == TokenKind::Word &&
               text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char* symbol) const {
        return kind == TokenKind::Symbol && text == QLatin1String(symbol);
    }
};

// Throws DbError(err::kSyntax) with the statement and what was wrong.
[[noreturn]] void throwSyntaxError(const QString& statement, const QString& detail);

// Cuts a statement into tokens; the last one is always End. Throws on malformed input.
std::vector<Token> tokenize(const QString& statement);

// Walks a token list, with the helpers a recursive-descent reader needs. Errors name the
// token where reading stopped.
class TokenCursor {
public:
    TokenCursor(const QString& statement, std::vector<Token> tokens);

    const QString& statement() const { return statement_; }
    const Token& peek(int ahead = 0) const;
    const Token& next();
    bool atEnd() const { return peek().kind == TokenKind::End; }

    bool acceptWord(const char* keyword);
    bool acceptSymbol(const char* symbol);
    void expectWord(const char* keyword);
    void expectSymbol(const char* symbol);
    // A table, column or index name: a bracketed name or a bare word (not a string).
    QString expectName(const char* what);

    // Where the cursor stands, to read ahead and come back (a SELECT's FROM clause is read
    // before its list, which needs the tables' columns).
    size_t position() const { return index_; }
    void rewind(size_t position) { index_ = std::min(position, tokens_.size() - 1); }

    // Error 3075 with the statement and what was wrong.
    [[noreturn]] void fail(const QString& detail) const;
    // Another error about the statement: `number` with `text`, then the statement.
    [[noreturn]] void failWith(int number, const QString& text) const;

private:
    QString statement_;
    std::vector<Token> tokens_;
    size_t index_ = 0;
};

}  // namespace tv::engine::dialect
