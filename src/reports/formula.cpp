#include "reports/formula.h"

#include "core/convert.h"
#include "core/format.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace tv::reports {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("tv::reports", text); }

// Deeper nesting than this is refused, so hostile input cannot exhaust the stack.
constexpr int kMaxDepth = 64;
// Operators one formula may hold: "1 + 1 + ..." builds a tree as deep as it is long,
// which evaluating, writing and freeing walk recursively.
constexpr int kMaxOperators = 500;
// Deepest recursion of evaluating or writing a tree with the formulas it refers to.
constexpr int kMaxWalkDepth = 4000;

// Counts one level of a recursive walk; refuses beyond kMaxWalkDepth.
class WalkLevel {
public:
    WalkLevel(int* depth, int position) : depth_(depth) {
        if (++*depth_ > kMaxWalkDepth) {
            --*depth_;
            throw FormulaError(position, QCoreApplication::translate(
                                             "tv::reports", "the formula is nested too deeply"));
        }
    }
    ~WalkLevel() { --*depth_; }
    WalkLevel(const WalkLevel&) = delete;
    WalkLevel& operator=(const WalkLevel&) = delete;

private:
    int* depth_;
};

struct Token {
    enum class Kind { End, Number, Text, Brace, Word, Symbol };
    Kind kind = Kind::End;
    QString text;  // word or symbol as written; brace contents; text value
    double number = 0;
    int position = 0;  // 1-based
};

QString describeToken(const Token& t) {
    switch (t.kind) {
        case Token::Kind::End:
            return tr("the end of the formula");
        case Token::Kind::Brace:
            return u'{' + t.text + u'}';
        case Token::Kind::Text:
            return tr("a text");
        case Token::Kind::Number:
            return tr("the number %1").arg(t.text);
        default:
            return u'"' + t.text + u'"';
    }
}

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (true) {
        while (i < n && s[i].isSpace()) ++i;
        Token t;
        t.position = static_cast<int>(i) + 1;
        if (i == n) {
            tokens.push_back(t);
            return tokens;
        }
        const QChar c = s[i];
        if (c == u'{') {
            const qsizetype close = s.indexOf(u'}', i + 1);
            if (close < 0) throw FormulaError(t.position, tr("the field name has no closing \"}\""));
            t.kind = Token::Kind::Brace;
            t.text = s.mid(i + 1, close - i - 1).trimmed();
            i = close + 1;
        } else if (c == u'\'' || c == u'"') {
            t.kind = Token::Kind::Text;
            ++i;
            while (true) {
                if (i == n) throw FormulaError(t.position, tr("the text has no closing %1").arg(c));
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        t.text += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text += s[i++];
            }
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            const qsizetype start = i;
            while (i < n && (s[i].isDigit() || s[i] == u'.')) ++i;
            t.kind = Token::Kind::Number;
            t.text = s.mid(start, i - start);
            bool ok = false;
            t.number = t.text.toDouble(&ok);
            if (!ok) throw FormulaError(t.position, tr("%1 is not a number").arg(t.text));
        } else if (c.isLetter() || c == u'_') {
            const qsizetype start = i;
            while (i < n && (s[i].isLetterOrNumber() || s[i] == u'_')) ++i;
            t.kind = Token::Kind::Word;
            t.text = s.mid(start, i - start);
        } else {
            static const QStringList twoChar = {QStringLiteral("<>"), QStringLiteral("<="),
                                                QStringLiteral(">=")};
            const QString two = s.mid(i, 2);
            t.kind = Token::Kind::Symbol;
            if (twoChar.contains(two)) {
                t.text = two;
                i += 2;
            } else if (QStringLiteral("=<>+-*/&(),[]").contains(c)) {
                t.text = c;
                ++i;
            } else {
                throw FormulaError(t.position, tr("the character \"%1\" has no meaning here").arg(c));
            }
        }
        tokens.push_back(t);
    }
}

FormulaPtr make(FormulaNode node) { return std::make_shared<const FormulaNode>(std::move(node)); }

class Parser {
public:
    explicit Parser(const QString& text) : tokens_(tokenize(text)) {}

    FormulaPtr parseAll() {
        if (peek().kind == Token::Kind::End) return nullptr;
        FormulaPtr node = orExpr();
        if (peek().kind != Token::Kind::End)
            fail(tr("expected \"And\", \"Or\" or the end of the formula"));
        return node;
    }

private:
    const Token& peek() const { return tokens_[at_]; }
    Token take() { return tokens_[at_ < tokens_.size() - 1 ? at_++ : at_]; }
    bool isWord(const char* word) const {
        return peek().kind == Token::Kind::Word &&
               peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char* symbol) const {
        return peek().kind == Token::Kind::Symbol && peek().text == QLatin1String(symbol);
    }
    [[noreturn]] void fail(const QString& expected) const {
        throw FormulaError(peek().position,
                           tr("%1, found %2").arg(expected, describeToken(peek())));
    }
    void expectSymbol(const char* symbol) {
        if (!isSymbol(symbol)) fail(tr("expected \"%1\"").arg(QLatin1String(symbol)));
        take();
    }

    struct Depth {
        explicit Depth(Parser* p) : p_(p) {
            if (++p_->depth_ > kMaxDepth)
                throw FormulaError(p_->peek().position, tr("the formula is nested too deeply"));
        }
        ~Depth() { --p_->depth_; }
        Parser* p_;
    };

    FormulaPtr binary(const QString& op, int position, FormulaPtr a, FormulaPtr b) {
        if (++operators_ > kMaxOperators)
            throw FormulaError(position, tr("the formula has more than %1 operators").arg(kMaxOperators));
        FormulaNode n;
        n.kind = FormulaNode::Kind::Binary;
        n.name = op;
        n.position = position;
        n.args = {std::move(a), std::move(b)};
        return make(std::move(n));
    }

    FormulaPtr orExpr() {
        FormulaPtr left = andExpr();
        while (isWord("Or")) {
            const int pos = take().position;
            left = binary(QStringLiteral("Or"), pos, left, andExpr());
        }
        return left;
    }
    FormulaPtr andExpr() {
        FormulaPtr left = notExpr();
        while (isWord("And")) {
            const int pos = take().position;
            left = binary(QStringLiteral("And"), pos, left, notExpr());
        }
        return left;
    }
    FormulaPtr notExpr() {
        const Depth depth(this);
        if (isWord("Not")) {
            FormulaNode n;
            n.kind = FormulaNode::Kind::Unary;
            n.name = QStringLiteral("Not");
            n.position = take().position;
            n.args = {notExpr()};
            return make(std::move(n));
        }
        return comparison();
    }
    FormulaPtr comparison() {
        FormulaPtr left = concat();
        static const char* const ops[] = {"=", "<>", "<", ">", "<=", ">="};
        for (const char* op : ops) {
            if (isSymbol(op)) {
                const int pos = take().position;
                if (peek().kind == Token::Kind::End) fail(tr("expected a value after \"%1\"").arg(QLatin1String(op)));
                return binary(QLatin1String(op), pos, left, concat());
            }
        }
        if (isWord("in")) {
            const int pos = take().position;
            if (isSymbol("[")) {
                take();
                FormulaNode n;
                n.kind = FormulaNode::Kind::List;
                n.position = pos;
                n.args.push_back(left);
                do n.args.push_back(concat());
                while (isSymbol(",") && (take(), true));
                expectSymbol("]");
                return make(std::move(n));
            }
            FormulaNode n;
            n.kind = FormulaNode::Kind::Range;
            n.position = pos;
            FormulaPtr low = concat();
            if (!isWord("to")) fail(tr("expected \"to\" after the start of the range"));
            take();
            n.args = {left, low, concat()};
            return make(std::move(n));
        }
        return left;
    }
    FormulaPtr concat() {
        FormulaPtr left = additive();
        while (isSymbol("&")) {
            const int pos = take().position;
            left = binary(QStringLiteral("&"), pos, left, additive());
        }
        return left;
    }
    FormulaPtr additive() {
        FormulaPtr left = term();
        while (isSymbol("+") || isSymbol("-")) {
            const Token op = take();
            left = binary(op.text, op.position, left, term());
        }
        return left;
    }
    FormulaPtr term() {
        FormulaPtr left = unary();
        while (isSymbol("*") || isSymbol("/")) {
            const Token op = take();
            left = binary(op.text, op.position, left, unary());
        }
        return left;
    }
    FormulaPtr unary() {
        const Depth depth(this);
        if (isSymbol("-")) {
            FormulaNode n;
            n.kind = FormulaNode::Kind::Unary;
            n.name = QStringLiteral("-");
            n.position = take().position;
            n.args = {unary()};
            return make(std::move(n));
        }
        return primary();
    }
    FormulaPtr primary() {
        const Token t = peek();
        FormulaNode n;
        n.position = t.position;
        switch (t.kind) {
            case Token::Kind::Number:
                take();
                n.value = t.number;
                return make(std::move(n));
            case Token::Kind::Text:
                take();
                n.value = t.text;
                return make(std::move(n));
            case Token::Kind::Brace:
                take();
                return braceRef(t);
            case Token::Kind::Symbol:
                if (t.text == QLatin1String("(")) {
                    take();
                    FormulaPtr inner = orExpr();
                    expectSymbol(")");
                    return inner;
                }
                break;
            case Token::Kind::Word:
                take();
                if (t.text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
                    t.text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
                    n.value = t.text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
                    return make(std::move(n));
                }
                if (!isSymbol("("))
                    throw FormulaError(t.position, tr("\"%1\" is not a value; a field is written {Table.Field}").arg(t.text));
                take();
                n.kind = FormulaNode::Kind::Call;
                n.name = t.text;
                if (!isSymbol(")")) {
                    do n.args.push_back(orExpr());
                    while (isSymbol(",") && (take(), true));
                }
                expectSymbol(")");
                return make(std::move(n));
            case Token::Kind::End:
                break;
        }
        fail(tr("expected a value"));
    }

    FormulaPtr braceRef(const Token& t) {
        FormulaNode n;
        n.position = t.position;
        const QString inner = t.text;
        if (inner.startsWith(u'@') || inner.startsWith(u'#')) {
            n.kind = inner.startsWith(u'@') ? FormulaNode::Kind::FormulaRef : FormulaNode::Kind::TotalRef;
            n.name = inner.mid(1).trimmed();
            if (n.name.isEmpty()) throw FormulaError(t.position, tr("expected a name after \"%1\"").arg(inner.left(1)));
            return make(std::move(n));
        }
        const qsizetype dot = inner.indexOf(u'.');
        if (dot <= 0 || dot == inner.size() - 1)
            throw FormulaError(t.position, tr("expected {Table.Field}, found {%1}").arg(inner));
        n.kind = FormulaNode::Kind::Field;
        n.table = inner.left(dot).trimmed();
        n.name = inner.mid(dot + 1).trimmed();
        return make(std::move(n));
    }

    std::vector<Token> tokens_;
    size_t at_ = 0;
    int depth_ = 0;
    int operators_ = 0;
};

// --- evaluation --------------------------------------------------------------------

bool isTextValue(const tv::Variant& v) { return v.type() == tv::VarType::String; }

std::optional<double> numeric(const tv::Variant& v) {
    if (v.type() == tv::VarType::Date) return v.asDate().serial;
    return tv::numberOf(v);
}

class Evaluator {
public:
    explicit Evaluator(FormulaScope& scope) : scope_(scope) {}

    tv::Variant eval(const FormulaPtr& node) {
        if (!node) return {};
        const FormulaNode& n = *node;
        const WalkLevel level(&walk_, n.position);
        switch (n.kind) {
            case FormulaNode::Kind::Literal:
                return n.value;
            case FormulaNode::Kind::Field:
                return scope_.field(n);
            case FormulaNode::Kind::TotalRef:
                return scope_.total(n);
            case FormulaNode::Kind::FormulaRef: {
                const FormulaPtr body = scope_.formula(n);
                if (!body) throw FormulaError(n.position, tr("the report has no formula {@%1}").arg(n.name));
                if (++depth_ > kMaxDepth)
                    throw FormulaError(n.position, tr("the formula {@%1} refers to itself").arg(n.name));
                const tv::Variant v = eval(body);
                --depth_;
                return v;
            }
            case FormulaNode::Kind::Unary: {
                const tv::Variant v = eval(n.args[0]);
                if (v.isNull()) return {};
                if (n.name == QLatin1String("Not")) return !truth(v);
                const auto d = numeric(v);
                return d ? tv::Variant(-*d) : tv::Variant();
            }
            case FormulaNode::Kind::Binary:
                return binary(n);
            case FormulaNode::Kind::Range: {
                const tv::Variant v = eval(n.args[0]);
                if (v.isNull()) return false;
                return compare(v, eval(n.args[1])) >= 0 && compare(v, eval(n.args[2])) <= 0;
            }
            case FormulaNode::Kind::List: {
                const tv::Variant v = eval(n.args[0]);
                for (size_t i = 1; i < n.args.size(); ++i)
                    if (!v.isNull() && compare(v, eval(n.args[i])) == 0) return true;
                return false;
            }
            case FormulaNode::Kind::Call:
                return call(n);
        }
        return {};
    }

private:
    static bool truth(const tv::Variant& v) {
        if (v.isNull()) return false;
        try {
            return tv::CBool(v);
        } catch (const tv::ConversionError&) {
            return !tv::TextOf(v).isEmpty();
        }
    }

    // A date written as text compares as a date with a date, a number as text as a number.
    static int compare(tv::Variant a, tv::Variant b) {
        auto align = [](tv::Variant& text, const tv::Variant& other) {
            if (!isTextValue(text) || isTextValue(other) || other.isNull()) return;
            if (other.type() == tv::VarType::Date) {
                tv::DateTime d;
                QString s = text.asString();
                s.remove(QRegularExpression(QStringLiteral("\\.\\d+$")));
                if (tv::parseDateTime(s, &d)) text = tv::Variant(d);
            } else if (const auto n = tv::numberOf(text)) {
                text = tv::Variant(*n);
            }
        };
        align(a, b);
        align(b, a);
        return tv::CompareValues(a, b, true);
    }

    tv::Variant binary(const FormulaNode& n) {
        const QString& op = n.name;
        if (op == QLatin1String("And")) return truth(eval(n.args[0])) && truth(eval(n.args[1]));
        if (op == QLatin1String("Or")) return truth(eval(n.args[0])) || truth(eval(n.args[1]));
        const tv::Variant a = eval(n.args[0]);
        const tv::Variant b = eval(n.args[1]);
        if (op == QLatin1String("&")) return tv::TextOf(a) + tv::TextOf(b);
        if (op == QLatin1String("=") || op == QLatin1String("<>") || op.startsWith(u'<') ||
            op.startsWith(u'>')) {
            if (a.isNull() || b.isNull()) return false;
            const int c = compare(a, b);
            if (op == QLatin1String("=")) return c == 0;
            if (op == QLatin1String("<>")) return c != 0;
            if (op == QLatin1String("<")) return c < 0;
            if (op == QLatin1String(">")) return c > 0;
            if (op == QLatin1String("<=")) return c <= 0;
            return c >= 0;
        }
        if (a.isNull() || b.isNull()) return {};
        if (op == QLatin1String("+") && isTextValue(a) && isTextValue(b)) return a.asString() + b.asString();
        const auto x = numeric(a);
        const auto y = numeric(b);
        if (!x || !y) return {};
        if (op == QLatin1String("+")) {
            if (a.type() == tv::VarType::Date) return tv::Variant(tv::DateTime{*x + *y});
            return *x + *y;
        }
        if (op == QLatin1String("-")) return *x - *y;
        if (op == QLatin1String("*")) return *x * *y;
        if (*y == 0) return {};
        return *x / *y;
    }

    tv::Variant call(const FormulaNode& n) {
        const QString f = n.name.toLower();
        std::vector<tv::Variant> args;
        if (f == QLatin1String("iif")) {
            if (n.args.size() != 3) throw FormulaError(n.position, tr("IIf takes three values"));
            return truth(eval(n.args[0])) ? eval(n.args[1]) : eval(n.args[2]);
        }
        for (const FormulaPtr& a : n.args) args.push_back(eval(a));
        if (f == QLatin1String("nz")) {
            if (args.empty() || args.size() > 2) throw FormulaError(n.position, tr("Nz takes one or two values"));
            return args[0].isNull() ? (args.size() == 2 ? args[1] : tv::Variant(0.0)) : args[0];
        }
        auto need = [&](size_t count) {
            if (args.size() != count)
                throw FormulaError(n.position, tr("%1 takes %2 values").arg(n.name).arg(count));
        };
        if (f == QLatin1String("date") || f == QLatin1String("datetime")) {
            need(f == QLatin1String("date") ? 3 : 6);
            int parts[6] = {0, 0, 0, 0, 0, 0};
            for (size_t i = 0; i < args.size(); ++i) {
                const auto v = tv::numberOf(args[i]);
                if (!v) throw FormulaError(n.args[i]->position, tr("expected a number in %1").arg(n.name));
                // Far beyond any date part, yet safe to carry over (month 13 is next January).
                if (!(std::fabs(*v) <= 100000))
                    throw FormulaError(n.args[i]->position, tr("%1 is out of range in %2").arg(tv::TextOf(args[i]), n.name));
                parts[i] = static_cast<int>(*v);
            }
            return tv::DateFromParts(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
        }
        if (f == QLatin1String("format")) {
            need(2);
            return tv::Format(args[0], tv::TextOf(args[1]));
        }
        if (f == QLatin1String("trim")) {
            need(1);
            return tv::TextOf(args[0]).trimmed();
        }
        if (f == QLatin1String("ucase")) {
            need(1);
            return tv::TextOf(args[0]).toUpper();
        }
        if (const auto v = scope_.special(f, args)) return *v;
        throw FormulaError(n.position, tr("there is no function \"%1\"").arg(n.name));
    }

    FormulaScope& scope_;
    int depth_ = 0;
    int walk_ = 0;
};

// --- SQL ---------------------------------------------------------------------------

bool isNumericType(engine::FieldType t) {
    return static_cast<int>(t) >= 1 && static_cast<int>(t) <= 7;
}

class SqlWriter {
public:
    explicit SqlWriter(SqlScope& scope) : scope_(scope) {}

    // `hint`: the type of the column the value is compared with, when there is one.
    QString write(const FormulaPtr& node, std::optional<engine::FieldType> hint = {}) {
        const FormulaNode& n = *node;
        const WalkLevel level(&walk_, n.position);
        switch (n.kind) {
            case FormulaNode::Kind::Literal:
                return literal(n, hint);
            case FormulaNode::Kind::Field: {
                engine::FieldType type{};
                return scope_.column(n, &type);
            }
            case FormulaNode::Kind::FormulaRef: {
                if (++depth_ > kMaxDepth)
                    throw FormulaError(n.position, tr("the formula {@%1} refers to itself").arg(n.name));
                const QString sql = u'(' + write(scope_.formula(n), hint) + u')';
                --depth_;
                return sql;
            }
            case FormulaNode::Kind::TotalRef:
                throw FormulaError(n.position, tr("a total cannot select records"));
            case FormulaNode::Kind::Unary:
                return n.name == QLatin1String("Not") ? QStringLiteral("(NOT ") + write(n.args[0]) + u')'
                                                      : QStringLiteral("(-") + write(n.args[0]) + u')';
            case FormulaNode::Kind::Binary: {
                const auto type = typeOf(n.args[0]) ? typeOf(n.args[0]) : typeOf(n.args[1]);
                const bool logical = n.name == QLatin1String("And") || n.name == QLatin1String("Or");
                const QString op = logical ? u' ' + n.name.toUpper() + u' ' : u' ' + n.name + u' ';
                return u'(' + write(n.args[0], logical ? std::nullopt : type) + op +
                       write(n.args[1], logical ? std::nullopt : type) + u')';
            }
            case FormulaNode::Kind::Range: {
                const auto type = typeOf(n.args[0]);
                const QString v = write(n.args[0]);
                return u'(' + v + QStringLiteral(" >= ") + write(n.args[1], type) + QStringLiteral(" AND ") +
                       v + QStringLiteral(" <= ") + write(n.args[2], type) + u')';
            }
            case FormulaNode::Kind::List: {
                const auto type = typeOf(n.args[0]);
                QStringList items;
                for (size_t i = 1; i < n.args.size(); ++i) items << write(n.args[i], type);
                return u'(' + write(n.args[0]) + QStringLiteral(" IN (") + items.join(QStringLiteral(", ")) + QStringLiteral("))");
            }
            case FormulaNode::Kind::Call:
                return call(n, hint);
        }
        return {};
    }

private:
    std::optional<engine::FieldType> typeOf(const FormulaPtr& node) {
        if (node->kind == FormulaNode::Kind::Field) {
            engine::FieldType type{};
            scope_.column(*node, &type);
            return type;
        }
        if (node->kind == FormulaNode::Kind::FormulaRef) {
            const FormulaPtr body = scope_.formula(*node);
            return body && body->kind != FormulaNode::Kind::FormulaRef ? typeOf(body) : std::nullopt;
        }
        return std::nullopt;
    }

    static QString dateLiteral(tv::DateTime d) {
        return u'#' + tv::Format(tv::Variant(d), QStringLiteral("yyyy-mm-dd hh:nn:ss")) + u'#';
    }

    QString literal(const FormulaNode& n, std::optional<engine::FieldType> hint) {
        const tv::Variant& v = n.value;
        if (v.type() == tv::VarType::Boolean) return v.asBool() ? QStringLiteral("True") : QStringLiteral("False");
        if (v.type() == tv::VarType::Double) {
            if (hint && !isNumericType(*hint) && *hint != engine::FieldType::Date)
                return engine::quoteLiteral(tv::TextOf(v));
            return tv::TextOf(v);
        }
        const QString text = v.asString();
        if (hint == engine::FieldType::Date) {
            QString s = text.trimmed();
            s.remove(QRegularExpression(QStringLiteral("\\.\\d+$")));
            tv::DateTime d;
            if (!tv::parseDateTime(s, &d))
                throw FormulaError(n.position, tr("\"%1\" is not a date").arg(text));
            return dateLiteral(d);
        }
        if (hint && isNumericType(*hint)) {
            const auto number = tv::numberOf(v);
            if (!number) throw FormulaError(n.position, tr("\"%1\" is not a number").arg(text));
            return tv::TextOf(tv::Variant(*number));
        }
        return engine::quoteLiteral(text);
    }

    QString call(const FormulaNode& n, std::optional<engine::FieldType> hint) {
        const QString f = n.name.toLower();
        if (f == QLatin1String("date") || f == QLatin1String("datetime")) {
            // Constant: evaluated here, written as a date literal.
            struct NoRow : FormulaScope {
                tv::Variant field(const FormulaNode&) override { return {}; }
                tv::Variant total(const FormulaNode&) override { return {}; }
                FormulaPtr formula(const FormulaNode&) override { return nullptr; }
                std::optional<tv::Variant> special(const QString&, const std::vector<tv::Variant>&) override {
                    return std::nullopt;
                }
            } none;
            const tv::Variant d = evaluate(std::make_shared<const FormulaNode>(n), none);
            return dateLiteral(d.asDate());
        }
        if (f == QLatin1String("ucase") && n.args.size() == 1)
            return QStringLiteral("UCase(") + write(n.args[0]) + u')';
        if (f == QLatin1String("trim") && n.args.size() == 1)
            return QStringLiteral("Trim(") + write(n.args[0]) + u')';
        Q_UNUSED(hint);
        throw FormulaError(n.position, tr("%1 cannot be used to select records").arg(n.name));
    }

    SqlScope& scope_;
    int depth_ = 0;
    int walk_ = 0;
};

}  // namespace

FormulaError::FormulaError(int position, const QString& problem)
    : std::runtime_error(problem.toStdString()), position_(position), problem_(problem) {}

QString FormulaError::describe() const {
    if (position_ <= 0) return problem_;
    return tr("at character %1: %2").arg(position_).arg(problem_);
}

bool operator==(const FieldRef& a, const FieldRef& b) {
    return a.table.compare(b.table, Qt::CaseInsensitive) == 0 &&
           a.field.compare(b.field, Qt::CaseInsensitive) == 0;
}

FormulaPtr parseFormula(const QString& text) { return Parser(text).parseAll(); }

void collectFields(const FormulaPtr& node, std::vector<FieldRef>& into) {
    if (!node) return;
    if (node->kind == FormulaNode::Kind::Field) {
        const FieldRef ref{node->table, node->name, node->position};
        if (std::find(into.begin(), into.end(), ref) == into.end()) into.push_back(ref);
    }
    for (const FormulaPtr& a : node->args) collectFields(a, into);
}

tv::Variant evaluate(const FormulaPtr& node, FormulaScope& scope) { return Evaluator(scope).eval(node); }

QString toSql(const FormulaPtr& node, SqlScope& scope) { return node ? SqlWriter(scope).write(node) : QString(); }

}  // namespace tv::reports
