// The tokenizer of the Jet SQL dialect. Like SQLite's own tokenizer it classifies each
// ASCII character through one table and lets the class pick the reading routine; a
// character above ASCII is a letter when Qt says so, else a blank or an error.
#include "engine/jet_tokenizer.h"

#include "engine/engine.h"

#include <array>
#include <cstdint>

namespace tv::engine::dialect {

namespace {

enum CharClass : std::uint8_t {
    kIllegal,
    kSpace,
    kLetter,  // letters and '_' start a word
    kDigit,
    kDot,    // a decimal point when a digit follows, else the qualifier dot
    kQuote,  // ' or "
    kBracket,
    kHash,
    kLess,     // <, <=, <>
    kGreater,  // >, >=
    kBang,     // != only
    kMinus,    // - or a "--" comment
    kAmp,      // & or a &H hexadecimal number
    kSingle,   // a symbol of one character: ( ) , ; = + * / \ ^
};

constexpr std::array<CharClass, 128> makeClasses() {
    std::array<CharClass, 128> table{};
    for (auto& c : table) c = kIllegal;
    for (char c : {' ', '\t', '\n', '\r', '\f', '\v'})
        table[static_cast<unsigned char>(c)] = kSpace;
    for (int c = 'a'; c <= 'z'; ++c) table[c] = kLetter;
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = kLetter;
    table['_'] = kLetter;
    for (int c = '0'; c <= '9'; ++c) table[c] = kDigit;
    table['.'] = kDot;
    table['\''] = kQuote;
    table['"'] = kQuote;
    table['['] = kBracket;
    table['#'] = kHash;
    table['<'] = kLess;
    table['>'] = kGreater;
    table['!'] = kBang;
    table['-'] = kMinus;
    table['&'] = kAmp;
    for (char c : {'(', ')', ',', ';', '=', '+', '*', '/', '\\', '^'})
        table[static_cast<unsigned char>(c)] = kSingle;
    return table;
}

constexpr std::array<CharClass, 128> kClasses = makeClasses();

CharClass classOf(QChar c) {
    const char16_t u = c.unicode();
    if (u < 128) return kClasses[u];
    if (c.isLetter()) return kLetter;
    if (c.isSpace()) return kSpace;
    return kIllegal;
}

bool isWordChar(QChar c) {
    const CharClass k = classOf(c);
    return k == kLetter || k == kDigit;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isHexDigit(QChar c) {
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

class Tokenizer {
public:
    explicit Tokenizer(const QString& sql) : sql_(sql) {}

    std::vector<Token> run() {
        std::vector<Token> tokens;
        while (pos_ < sql_.size()) {
            const int start = pos_;
            switch (classOf(sql_[pos_])) {
                case kSpace:
                    ++pos_;
                    break;
                case kLetter:
                    tokens.push_back(word(start));
                    break;
                case kDigit:
                    tokens.push_back(number(start));
                    break;
                case kDot:
                    if (pos_ + 1 < sql_.size() && isDigit(sql_[pos_ + 1])) {
                        tokens.push_back(number(start));
                    } else {
                        tokens.push_back(symbol(start, 1));
                    }
                    break;
                case kQuote:
                    tokens.push_back(quoted(start));
                    break;
                case kBracket:
                    tokens.push_back(bracketed(start));
                    break;
                case kHash:
                    tokens.push_back(date(start));
                    break;
                case kLess:
                    tokens.push_back(symbol(start, peekIs(1, u'=') || peekIs(1, u'>') ? 2 : 1));
                    break;
                case kGreater:
                    tokens.push_back(symbol(start, peekIs(1, u'=') ? 2 : 1));
                    break;
                case kBang:
                    if (!peekIs(1, u'=')) fail(start, QStringLiteral("unexpected \"!\""));
                    tokens.push_back(symbol(start, 2));
                    break;
                case kMinus:
                    if (peekIs(1, u'-')) {
                        skipComment();
                    } else {
                        tokens.push_back(symbol(start, 1));
                    }
                    break;
                case kAmp:
                    tokens.push_back(ampersand(start));
                    break;
                case kSingle:
                    tokens.push_back(symbol(start, 1));
                    break;
                case kIllegal:
                    fail(start, QStringLiteral("unexpected character \"%1\"").arg(sql_[pos_]));
            }
        }
        tokens.push_back(Token{TokenKind::End, QString(), static_cast<int>(sql_.size())});
        return tokens;
    }

private:
    [[noreturn]] void fail(int at, const QString& what) const {
        throwSyntaxError(sql_, QStringLiteral("%1 at position %2").arg(what).arg(at + 1));
    }

    bool peekIs(int ahead, char16_t c) const {
        return pos_ + ahead < sql_.size() && sql_[pos_ + ahead] == QChar(c);
    }

    Token make(TokenKind kind, QString text, int start) const {
        return Token{kind, std::move(text), start, pos_ - start};
    }

    Token symbol(int start, int length) {
        pos_ += length;
        return make(TokenKind::Symbol, sql_.mid(start, length), start);
    }

    Token word(int start) {
        while (pos_ < sql_.size() && isWordChar(sql_[pos_])) ++pos_;
        // Function names of the Basic runtime may end in '$' (Left$, Mid$).
        if (pos_ < sql_.size() && sql_[pos_] == u'$') ++pos_;
        return make(TokenKind::Word, sql_.mid(start, pos_ - start), start);
    }

    Token number(int start) {
        while (pos_ < sql_.size() && isDigit(sql_[pos_])) ++pos_;
        if (pos_ < sql_.size() && sql_[pos_] == u'.') {
            ++pos_;
            while (pos_ < sql_.size() && isDigit(sql_[pos_])) ++pos_;
        }
        if (pos_ < sql_.size() && (sql_[pos_] == u'e' || sql_[pos_] == u'E')) {
            int p = pos_ + 1;
            if (p < sql_.size() && (sql_[p] == u'+' || sql_[p] == u'-')) ++p;
            if (p >= sql_.size() || !isDigit(sql_[p]))
                fail(start, QStringLiteral("malformed number"));
            while (p < sql_.size() && isDigit(sql_[p])) ++p;
            pos_ = p;
        }
        // "12abc" is neither a number nor a name.
        if (pos_ < sql_.size() && classOf(sql_[pos_]) == kLetter)
            fail(start, QStringLiteral("malformed number"));
        return make(TokenKind::Number, sql_.mid(start, pos_ - start), start);
    }

    // '&' is concatenation, except "&H1F" / "&O17" written without a blank, which are
    // hexadecimal and octal numbers as in the Basic runtime.
    Token ampersand(int start) {
        if (pos_ + 2 < sql_.size()) {
            const QChar radixChar = sql_[pos_ + 1].toUpper();
            const int radix = radixChar == u'H' ? 16 : radixChar == u'O' ? 8 : 0;
            if (radix != 0 && isHexDigit(sql_[pos_ + 2])) {
                int p = pos_ + 2;
                while (p < sql_.size() && isWordChar(sql_[p])) ++p;
                bool ok = false;
                const qlonglong value = sql_.mid(pos_ + 2, p - pos_ - 2).toLongLong(&ok, radix);
                if (!ok) fail(start, QStringLiteral("malformed number"));
                pos_ = p;
                return make(TokenKind::Number, QString::number(value), start);
            }
        }
        return symbol(start, 1);
    }

    Token quoted(int start) {
        const QChar quote = sql_[pos_++];
        QString value;
        while (true) {
            if (pos_ >= sql_.size()) fail(start, QStringLiteral("unterminated text literal"));
            const QChar c = sql_[pos_++];
            if (c == quote) {
                if (pos_ < sql_.size() && sql_[pos_] == quote) {
                    value += quote;
                    ++pos_;
                    continue;
                }
                break;
            }
            value += c;
        }
        return make(TokenKind::String, value, start);
    }

    Token bracketed(int start) {
        const int close = sql_.indexOf(u']', pos_ + 1);
        if (close < 0) fail(start, QStringLiteral("unterminated bracketed name"));
        const QString name = sql_.mid(pos_ + 1, close - pos_ - 1);
        if (name.trimmed().isEmpty()) fail(start, QStringLiteral("empty bracketed name"));
        if (name.contains(u'[')) fail(start, QStringLiteral("\"[\" inside a bracketed name"));
        pos_ = close + 1;
        return make(TokenKind::Name, name, start);
    }

    Token date(int start) {
        const int close = sql_.indexOf(u'#', pos_ + 1);
        if (close < 0) fail(start, QStringLiteral("unterminated date literal"));
        const QString inside = sql_.mid(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
        return make(TokenKind::Date, inside, start);
    }

    void skipComment() {
        while (pos_ < sql_.size() && sql_[pos_] != u'\n') ++pos_;
    }

    const QString& sql_;
    int pos_ = 0;
};

}  // namespace

void throwSyntaxError(const QString& statement, const QString& detail) {
    throw DbError(err::kSyntax,
                  QStringLiteral("Syntax error in statement: %1 (%2)").arg(statement, detail));
}

std::vector<Token> tokenize(const QString& statement) { return Tokenizer(statement).run(); }

TokenCursor::TokenCursor(const QString& statement, std::vector<Token> tokens)
    : statement_(statement), tokens_(std::move(tokens)) {
    if (tokens_.empty() || tokens_.back().kind != TokenKind::End)
        tokens_.push_back(Token{TokenKind::End, QString(), static_cast<int>(statement.size())});
}

const Token& TokenCursor::peek(int ahead) const {
    const size_t i = index_ + static_cast<size_t>(ahead);
    return i < tokens_.size() ? tokens_[i] : tokens_.back();
}

const Token& TokenCursor::next() {
    const Token& t = peek();
    if (index_ + 1 < tokens_.size()) ++index_;
    return t;
}

bool TokenCursor::acceptWord(const char* keyword) {
    if (!peek().isWord(keyword)) return false;
    next();
    return true;
}

bool TokenCursor::acceptSymbol(const char* symbol) {
    if (!peek().isSymbol(symbol)) return false;
    next();
    return true;
}

void TokenCursor::expectWord(const char* keyword) {
    if (!acceptWord(keyword)) fail(QStringLiteral("expected %1").arg(QLatin1String(keyword)));
}

void TokenCursor::expectSymbol(const char* symbol) {
    if (!acceptSymbol(symbol)) fail(QStringLiteral("expected \"%1\"").arg(QLatin1String(symbol)));
}

QString TokenCursor::expectName(const char* what) {
    const Token& t = peek();
    if (t.kind != TokenKind::Word && t.kind != TokenKind::Name)
        fail(QStringLiteral("expected %1").arg(QLatin1String(what)));
    return next().text;
}

void TokenCursor::fail(const QString& detail) const {
    const Token& t = peek();
    const QString where = t.kind == TokenKind::End
                              ? QStringLiteral("at the end")
                              : QStringLiteral("at position %1").arg(t.position + 1);
    throwSyntaxError(statement_, QStringLiteral("%1 %2").arg(detail, where));
}

void TokenCursor::failWith(int number, const QString& text) const {
    throw DbError(number, QStringLiteral("%1: %2").arg(text, statement_));
}

}  // namespace tv::engine::dialect
