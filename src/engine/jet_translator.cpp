// The reader of Jet data statements and criteria. A recursive-descent walk over the
// tokens, one routine per level of Jet's operator precedence, that writes SQLite text as
// it goes. Each piece of output carries the SQLite precedence of its top operator so
// that parentheses are added exactly where SQLite would group differently from Jet
// (SQLite binds "||" tighter than "+", and "<" tighter than "="; Jet does neither), and
// its Jet type, so that operators mean what they mean in Jet.
//
// Types come from the catalog: a SELECT's FROM clause is read before its list (the list
// needs the tables' columns), names are looked up in the tables of the statement level
// and then of the levels around it (correlated subqueries), and a subquery in FROM
// offers the columns of its own list. Dates are ISO text in SQLite, so they order and
// compare as texts; whatever Jet does with a date's number goes through jet_* functions.
//
// What differs between the dialects and how it is written:
//   [name]               "name"
//   'text' / "text"      'text' (through quoteLiteral)
//   #date#               'YYYY-MM-DD HH:MM:SS', the stored form of dates
//   True/Yes/On          -1   (False/No/Off 0), the stored form of Booleans
//   a < b used as value  -(a < b): Jet's truth values are -1/0, SQLite's 1/0
//   x = Null, x <> Null  x IS NULL, x IS NOT NULL
//   date = 'text'        the text read as a date (#date#) when it is one, else error 3464
//   date = number        jet_serial(date) = number
//   a & b                jet_concat(a, b): Null only when both are Null; a date written as
//                        jet_gdate(d), "General Date" as people read it (also CStr, Left ...)
//   text + text          a || b (Null when either is Null)
//   text + number        jet_cdbl(text) + number; a text that is no number is error 13
//   date + n, date - n   jet_dateplus(d, n), jet_dateminus(d, n): a date
//   date - date          jet_days(a, b): the days between, a Double
//   a + b over fractions jet_num(a + b): an overflow is error 6, never inf; also - and *
//   a / b                jet_div(a, b): never truncates; x / 0 is error 11
//   a \ b, a Mod b, a^b  jet_intdiv, jet_mod, jet_pow
//   Like 'O*'            LIKE 'O%'; patterns LIKE cannot express go to jet_like()
//   First(x), Last(x)    jet_first, jet_last: aggregates of our own
//   TOP n                LIMIT n
//   DELETE * FROM t      DELETE FROM t
//   Basic functions      SQLite built-ins where they agree, else the jet_ functions
// Anything else that is not plain SQL shared by both dialects is refused, and so is an
// operation whose meaning depends on a type that is not known.
#include "engine/jet_translator.h"

#include "core/convert.h"
#include "core/format_date.h"
#include "core/format_number.h"
#include "engine/errors.h"
#include "engine/jet_like.h"

#include <sqlite3.h>

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>

namespace tv::engine::dialect {

namespace {

// SQLite's operator precedence, loosest first.
enum Precedence : int {
    kOr = 1,
    kAnd,
    kNot,
    kEquality,    // = <> IS LIKE BETWEEN IN
    kRelational,  // < > <= >=
    kAdditive = 8,
    kMultiplicative,
    kConcat,  // ||
    kUnary,
    kPrimary,
};

// Deeper nesting than this (parentheses, subqueries, NOT NOT ..., - - ...) is refused
// rather than read with an ever deeper stack.
constexpr int kMaxDepth = 128;

// Limits on what a statement may hold. Each is one SQLite has too, or below it, so that a
// statement refused here could never have run; refusing it while reading also keeps the
// reading linear in the statement's length whatever a hostile one holds.
//   operators in one chain (a AND b AND ..., a + b + ...): SQLite refuses expression
//   trees deeper than 1000;
//   tables in one FROM: SQLite joins at most 64;
//   items in one list (select list, ORDER BY, GROUP BY): SQLite takes at most 2000;
//   parts of one UNION: SQLite takes at most 500;
//   a Like pattern: SQLite's LIKE takes at most 50,000 bytes. Patterns for jet_like() and
//   those sent to a server are held to it too, so every backend refuses the same ones.
constexpr int kMaxChain = 500;
constexpr int kMaxTables = 64;
constexpr int kMaxListItems = 2000;
constexpr int kMaxUnionParts = 500;
constexpr qsizetype kMaxLikePatternBytes = 50000;

// Most arguments one call of jet_concat gets (SQLite allows 127 per call): a longer "&"
// chain becomes calls of calls, jet_concat being associative (Null only when every part
// is Null).
constexpr int kConcatArgs = 100;

QString concatCall(QStringList parts) {
    while (parts.size() > kConcatArgs) {
        QStringList groups;
        for (qsizetype i = 0; i < parts.size(); i += kConcatArgs)
            groups << QStringLiteral("jet_concat(") +
                          parts.mid(i, kConcatArgs).join(QStringLiteral(", ")) + u')';
        parts = std::move(groups);
    }
    return QStringLiteral("jet_concat(") + parts.join(QStringLiteral(", ")) + u')';
}

// Jet's types as far as the translation depends on them.
enum class Type { Null, Boolean, Integer, Real, Date, Text, Binary, Unknown };

bool isNumeric(Type t) { return t == Type::Boolean || t == Type::Integer || t == Type::Real; }
bool isWhole(Type t) { return t == Type::Boolean || t == Type::Integer; }

Type typeOf(FieldType f) {
    switch (f) {
        case FieldType::Boolean:
            return Type::Boolean;
        case FieldType::Byte:
        case FieldType::Integer:
        case FieldType::Long:
            return Type::Integer;
        case FieldType::Currency:
        case FieldType::Single:
        case FieldType::Double:
            return Type::Real;
        case FieldType::Date:
            return Type::Date;
        case FieldType::Text:
        case FieldType::Memo:
            return Type::Text;
        case FieldType::LongBinary:
            return Type::Binary;
    }
    return Type::Unknown;
}

struct Expr {
    enum class Kind { Other, Null, Text, Number, Column };
    QString sql;
    int precedence = kPrimary;
    Kind kind = Kind::Other;
    Type type = Type::Unknown;
    bool logical = false;     // an SQLite truth value (1/0), where Jet's is -1/0
    QString literal;          // decoded value of a text literal
    QString name;             // a column as written, for messages
    QString column;           // a column's own name (without its table)
    QString resultName;       // the name Jet gives it in a select list ("MaxOfDATETIME")
};

Expr plain(const QString& sql, Type type, int precedence = kPrimary,
           Expr::Kind kind = Expr::Kind::Other) {
    Expr e;
    e.sql = sql;
    e.type = type;
    e.precedence = precedence;
    e.kind = kind;
    return e;
}

QString wrap(const Expr& e, int minimum) {
    return e.precedence < minimum ? QStringLiteral("(") + e.sql + QStringLiteral(")") : e.sql;
}

// A binary node: the left operand may share the operator's level, the right may not
// (all of these operators group left to right in both dialects).
Expr binary(const Expr& left, const QString& op, const Expr& right, int precedence, Type type) {
    return plain(wrap(left, precedence) + u' ' + op + u' ' + wrap(right, precedence + 1), type,
                 precedence);
}

Expr call(const QString& function, const QStringList& args, Type type) {
    return plain(function + u'(' + args.join(QStringLiteral(", ")) + u')', type);
}

Expr call(const char* function, const Expr& arg, Type type) {
    return call(QLatin1String(function), {arg.sql}, type);
}

Expr textLiteral(const QString& value) {
    Expr e = plain(quoteLiteral(value), Type::Text, kPrimary, Expr::Kind::Text);
    e.literal = value;
    return e;
}

Expr dateLiteral(DateTime date) { return plain(quoteLiteral(toIsoText(date)), Type::Date); }

QString display(const Expr& e) { return e.name.isEmpty() ? e.sql : e.name; }

// Words that are part of the grammar and so never a bare column name.
bool isReserved(const Token& t) {
    static const QSet<QString> words = {
        QStringLiteral("SELECT"),      QStringLiteral("FROM"),    QStringLiteral("WHERE"),
        QStringLiteral("GROUP"),       QStringLiteral("ORDER"),   QStringLiteral("BY"),
        QStringLiteral("HAVING"),      QStringLiteral("UNION"),   QStringLiteral("AND"),
        QStringLiteral("OR"),          QStringLiteral("NOT"),     QStringLiteral("XOR"),
        QStringLiteral("EQV"),         QStringLiteral("IMP"),     QStringLiteral("LIKE"),
        QStringLiteral("IS"),          QStringLiteral("BETWEEN"), QStringLiteral("IN"),
        QStringLiteral("MOD"),         QStringLiteral("AS"),      QStringLiteral("ASC"),
        QStringLiteral("DESC"),        QStringLiteral("JOIN"),    QStringLiteral("INNER"),
        QStringLiteral("OUTER"),       QStringLiteral("ON"),      QStringLiteral("SET"),
        QStringLiteral("VALUES"),      QStringLiteral("INTO"),    QStringLiteral("DISTINCT"),
        QStringLiteral("DISTINCTROW"), QStringLiteral("TOP"),     QStringLiteral("EXISTS"),
        QStringLiteral("NULL"),        QStringLiteral("ALL"),     QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"),
    };
    return t.kind == TokenKind::Word && words.contains(t.text.toUpper());
}

// How a function of the Basic runtime is written in SQLite.
//
// Argument kinds, one letter each: T a text (a date is written as people read it, a
// fraction as CStr writes it), N a number (a date is its serial; the jet_ function reads
// a text), A any value as stored (the function reads dates, numbers and texts itself).
// Result: T text, I whole number, R fraction, D date, B truth value, 1 the type of the
// (converted) first argument, W the same but a date stays a date (Int, Fix).
struct FunctionSpec {
    const char* name;  // upper case, without a trailing '$'
    int minArgs;
    int maxArgs;
    enum Shape { Call, Aggregate, IIf, Nz, IsNull } shape;
    const char* target;  // the SQLite function for Call and Aggregate
    const char* kinds;
    char result;
};

const FunctionSpec kFunctions[] = {
    {"UCASE", 1, 1, FunctionSpec::Call, "jet_ucase", "T", 'T'},
    {"LCASE", 1, 1, FunctionSpec::Call, "jet_lcase", "T", 'T'},
    {"LEN", 1, 1, FunctionSpec::Call, "length", "T", 'I'},
    {"LEFT", 2, 2, FunctionSpec::Call, "jet_left", "TN", 'T'},
    {"RIGHT", 2, 2, FunctionSpec::Call, "jet_right", "TN", 'T'},
    {"MID", 2, 3, FunctionSpec::Call, "jet_mid", "TNN", 'T'},
    {"TRIM", 1, 1, FunctionSpec::Call, "trim", "T", 'T'},
    {"LTRIM", 1, 1, FunctionSpec::Call, "ltrim", "T", 'T'},
    {"RTRIM", 1, 1, FunctionSpec::Call, "rtrim", "T", 'T'},
    {"INSTR", 2, 4, FunctionSpec::Call, "jet_instr", "NTTN", 'I'},  // InStr(text, sought) too
    {"NOW", 0, 0, FunctionSpec::Call, "jet_now", "", 'D'},
    {"DATE", 0, 0, FunctionSpec::Call, "jet_date", "", 'D'},
    {"TIME", 0, 0, FunctionSpec::Call, "jet_time", "", 'D'},
    {"YEAR", 1, 1, FunctionSpec::Call, "jet_year", "A", 'I'},
    {"MONTH", 1, 1, FunctionSpec::Call, "jet_month", "A", 'I'},
    {"DAY", 1, 1, FunctionSpec::Call, "jet_day", "A", 'I'},
    {"HOUR", 1, 1, FunctionSpec::Call, "jet_hour", "A", 'I'},
    {"MINUTE", 1, 1, FunctionSpec::Call, "jet_minute", "A", 'I'},
    {"SECOND", 1, 1, FunctionSpec::Call, "jet_second", "A", 'I'},
    {"WEEKDAY", 1, 1, FunctionSpec::Call, "jet_weekday", "A", 'I'},
    {"DATEVALUE", 1, 1, FunctionSpec::Call, "jet_datevalue", "A", 'D'},
    {"TIMEVALUE", 1, 1, FunctionSpec::Call, "jet_timevalue", "A", 'D'},
    {"CDATE", 1, 1, FunctionSpec::Call, "jet_cdate", "A", 'D'},
    {"DATEADD", 3, 3, FunctionSpec::Call, "jet_dateadd", "TNA", 'D'},
    {"DATEDIFF", 3, 4, FunctionSpec::Call, "jet_datediff", "TAAN", 'I'},
    {"DATEPART", 2, 3, FunctionSpec::Call, "jet_datepart", "TAN", 'I'},
    {"DATESERIAL", 3, 3, FunctionSpec::Call, "jet_dateserial", "NNN", 'D'},
    {"TIMESERIAL", 3, 3, FunctionSpec::Call, "jet_timeserial", "NNN", 'D'},
    {"CSTR", 1, 1, FunctionSpec::Call, "jet_cstr", "T", 'T'},
    {"CLNG", 1, 1, FunctionSpec::Call, "jet_clng", "N", 'I'},
    {"CINT", 1, 1, FunctionSpec::Call, "jet_cint", "N", 'I'},
    {"CDBL", 1, 1, FunctionSpec::Call, "jet_cdbl", "N", 'R'},
    {"CSNG", 1, 1, FunctionSpec::Call, "jet_csng", "N", 'R'},
    {"CBOOL", 1, 1, FunctionSpec::Call, "jet_cbool", "N", 'B'},
    {"VAL", 1, 1, FunctionSpec::Call, "jet_val", "T", 'R'},
    {"FORMAT", 1, 2, FunctionSpec::Call, "jet_format", "AT", 'T'},
    {"ABS", 1, 1, FunctionSpec::Call, "abs", "N", '1'},
    {"INT", 1, 1, FunctionSpec::Call, "jet_int", "N", 'W'},
    {"FIX", 1, 1, FunctionSpec::Call, "jet_fix", "N", 'W'},
    {"ROUND", 1, 2, FunctionSpec::Call, "jet_round", "NN", 'R'},
    {"IIF", 3, 3, FunctionSpec::IIf, nullptr, "", 0},
    {"NZ", 1, 2, FunctionSpec::Nz, nullptr, "", 0},
    {"ISNULL", 1, 1, FunctionSpec::IsNull, nullptr, "", 'B'},
    {"COUNT", 1, 1, FunctionSpec::Aggregate, "COUNT", "", 'I'},
    {"SUM", 1, 1, FunctionSpec::Aggregate, "SUM", "", '1'},
    {"AVG", 1, 1, FunctionSpec::Aggregate, "AVG", "", 'R'},
    {"MIN", 1, 1, FunctionSpec::Aggregate, "MIN", "", '1'},
    {"MAX", 1, 1, FunctionSpec::Aggregate, "MAX", "", '1'},
    {"FIRST", 1, 1, FunctionSpec::Aggregate, "jet_first", "", '1'},
    {"LAST", 1, 1, FunctionSpec::Aggregate, "jet_last", "", '1'},
};

const FunctionSpec* findFunction(QString name) {
    if (name.endsWith(u'$')) name.chop(1);
    const QString upper = name.toUpper();
    for (const FunctionSpec& f : kFunctions) {
        if (upper == QLatin1String(f.name)) return &f;
    }
    return nullptr;
}

// The tables of one statement level, and the levels around it.
struct Column {
    QString name;
    Type type = Type::Unknown;
    bool required = false;  // a table column that never holds Null
};

struct Source {
    QString name;   // the table as named (empty for a subquery)
    QString alias;  // what the statement calls it, when it gives another name
    std::vector<Column> columns;
    bool known = false;  // the columns are known

    bool answersTo(const QString& qualifier) const {
        return (alias.isEmpty() ? name : alias).compare(qualifier, Qt::CaseInsensitive) == 0;
    }
};

struct Scope {
    std::vector<Source> sources;
    std::vector<Column> aliases;  // names given in the select list, seen by ORDER BY
    bool aliasesVisible = false;
    Scope* outer = nullptr;
    QStringList groupBy;  // the GROUP BY items, as written for a server
};

// What a SELECT offers: its columns (names and types, a "*" expanded) and its list items.
struct SelectList {
    std::vector<Column> columns;
    bool complete = true;  // every "*" could be expanded
    std::vector<ResultItem> items;
};

// What the reader learns about one SELECT (one level: subqueries have their own).
struct SelectShape {
    bool distinct = false;
    bool grouped = false;
    bool aggregate = false;
    bool compound = false;
    bool joined = false;
    int fromItems = 0;   // tables and subqueries after FROM, counting joined ones
    QString firstTable;  // the table of a FROM with exactly one plain table
    QString fromSql, whereSql, orderBySql;
    bool orderByPosition = false;
};

class Translator {
public:
    Translator(TokenCursor& cursor, const Catalog& catalog, Translation* out,
               const ServerNames* server = nullptr)
        : c_(cursor), catalog_(catalog), out_(out), typed_(static_cast<bool>(catalog)),
          server_(server) {}

    void statement() {
        const Token& first = c_.peek();
        if (first.isWord("SELECT")) {
            out_->kind = StatementKind::Select;
            SelectShape shape;
            SelectList list;
            out_->sql = select(&shape, &list);
            out_->singleTable = !shape.compound && !shape.distinct && !shape.grouped &&
                                !shape.aggregate && !shape.joined && shape.fromItems == 1 &&
                                !shape.firstTable.isEmpty();
            if (out_->singleTable) moveTableFirst(shape.firstTable);
            out_->fromSql = shape.fromSql;
            out_->whereSql = shape.whereSql;
            out_->orderBySql = shape.orderBySql;
            out_->orderByPosition = shape.orderByPosition;
            out_->resultItems = list.items;
        } else if (first.isWord("INSERT")) {
            insert();
        } else if (first.isWord("UPDATE")) {
            update();
        } else if (first.isWord("DELETE")) {
            deleteStatement();
        } else if (first.kind == TokenKind::End) {
            c_.fail(QStringLiteral("empty statement"));
        } else {
            c_.fail(
                QStringLiteral("statement must start with SELECT, INSERT, UPDATE, DELETE, "
                               "CREATE, DROP or ALTER"));
        }
    }

    QString criteria(const std::vector<FieldInfo>& fields) {
        if (c_.atEnd()) c_.fail(QStringLiteral("empty criteria"));
        Scope scope;
        if (!fields.empty()) {
            Source source;
            source.known = true;
            for (const FieldInfo& f : fields)
                source.columns.push_back({f.name, f.typeFromValue ? Type::Unknown : typeOf(f.type)});
            scope.sources.push_back(source);
            typed_ = true;
        }
        criteria_ = true;
        scope_ = &scope;
        const Expr e = truth(expression());
        if (!c_.atEnd()) c_.fail(QStringLiteral("unexpected text after the criteria"));
        return e.sql;
    }

private:
    // Counts nesting on the way down; refuses beyond kMaxDepth.
    class Depth {
    public:
        explicit Depth(Translator* t) : t_(t) {
            if (++t_->depth_ > kMaxDepth) t_->c_.fail(QStringLiteral("nested too deeply"));
        }
        ~Depth() { --t_->depth_; }
        Depth(const Depth&) = delete;
        Depth& operator=(const Depth&) = delete;

    private:
        Translator* t_;
    };

    // One more operator of a chain; refused beyond kMaxChain.
    void chainStep(int* count) const {
        if (++*count > kMaxChain)
            c_.fail(QStringLiteral("expression too complex (more than %1 operators in a row)")
                        .arg(kMaxChain));
    }

    // One more item of a list; refused beyond `limit`.
    void listStep(qsizetype count, int limit, const char* what) const {
        if (count > limit)
            c_.fail(QStringLiteral("too many %1 (more than %2)").arg(QLatin1String(what)).arg(limit));
    }

    // ---- statements -------------------------------------------------------------

    QString select(SelectShape* shape, SelectList* list) {
        const Depth depth(this);
        QString sql;
        std::optional<QString> limit;
        std::deque<Scope> cores;  // stable addresses: inner levels point at them
        bool first = true;
        do {
            listStep(static_cast<qsizetype>(cores.size()) + 1, kMaxUnionParts, "parts in a UNION");
            if (!first) {
                shape->compound = true;
                sql += c_.acceptWord("ALL") ? QStringLiteral(" UNION ALL ")
                                            : QStringLiteral(" UNION ");
            }
            std::optional<QString> coreLimit;
            cores.emplace_back();
            cores.back().outer = scope_;
            SelectList coreList;
            sql += selectCore(shape, &coreLimit, &cores.back(), &coreList);
            if (first) {
                *list = coreList;
            } else {
                mergeUnion(list, coreList);
            }
            if (coreLimit) {
                if (!first || c_.peek().isWord("UNION"))
                    c_.fail(QStringLiteral("TOP in a UNION is not supported"));
                limit = coreLimit;
            }
            first = false;
        } while (c_.acceptWord("UNION"));

        if (c_.acceptWord("ORDER")) {
            c_.expectWord("BY");
            Scope* const enclosing = scope_;
            scope_ = &cores.front();
            scope_->aliasesVisible = true;
            QStringList items;
            do {
                const Expr e = value(expression());
                if (e.kind == Expr::Kind::Number) shape->orderByPosition = true;
                QString item = e.sql;
                bool descending = false;
                if (c_.acceptWord("DESC")) {
                    item += QStringLiteral(" DESC");
                    descending = true;
                } else if (c_.acceptWord("ASC")) {
                    item += QStringLiteral(" ASC");
                }
                // Null sorts first as in Jet (a server puts it last); a column that never
                // holds Null is left plain, so that its index gives the order.
                if (server_ && !neverNull(e))
                    item += descending ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
                items << item;
                listStep(items.size(), kMaxListItems, "ORDER BY items");
            } while (c_.acceptSymbol(","));
            scope_ = enclosing;
            shape->orderBySql = items.join(QStringLiteral(", "));
            sql += QStringLiteral(" ORDER BY ") + shape->orderBySql;
        } else if (server_ && cores.size() == 1 && !cores.front().groupBy.isEmpty()) {
            // Groups come out in their order, as a file gives them (Null first).
            sql += QStringLiteral(" ORDER BY ") +
                   cores.front().groupBy.join(QStringLiteral(" NULLS FIRST, ")) +
                   QStringLiteral(" NULLS FIRST");
        }
        if (limit) sql += QStringLiteral(" LIMIT ") + *limit;
        return sql;
    }

    // The columns of a UNION are those of its first part; a type they do not share is not
    // known, and a column is a date only when it is one in every part.
    static void mergeUnion(SelectList* list, const SelectList& next) {
        const bool aligned = list->items.size() == next.items.size();
        for (size_t i = 0; i < list->items.size(); ++i) {
            ResultItem& item = list->items[i];
            if (!aligned || item.span != next.items[i].span) {
                item.date = false;
                item.dates.clear();
                continue;
            }
            item.date = item.date && next.items[i].date;
            if (item.dates.size() != next.items[i].dates.size()) item.dates.clear();
            for (size_t c = 0; c < item.dates.size(); ++c)
                item.dates[c] = item.dates[c] && next.items[i].dates[c];
        }
        for (size_t i = 0; i < list->columns.size(); ++i) {
            if (i >= next.columns.size() || next.columns[i].type != list->columns[i].type)
                list->columns[i].type = Type::Unknown;
        }
        list->complete = list->complete && next.complete;
    }

    QString selectCore(SelectShape* shape, std::optional<QString>* limit, Scope* scope,
                       SelectList* list) {
        c_.expectWord("SELECT");
        QString sql = QStringLiteral("SELECT ");
        if (c_.acceptWord("DISTINCT")) {
            shape->distinct = true;
            sql += QStringLiteral("DISTINCT ");
        } else if (c_.peek().isWord("DISTINCTROW")) {
            c_.fail(QStringLiteral("DISTINCTROW is not supported"));
        } else {
            c_.acceptWord("ALL");
        }
        if (c_.acceptWord("TOP")) {
            const Token& n = c_.peek();
            static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
            if (n.kind != TokenKind::Number || !digits.match(n.text).hasMatch())
                c_.fail(QStringLiteral("TOP needs a whole number"));
            *limit = c_.next().text;
            if (c_.peek().isWord("PERCENT"))
                c_.fail(QStringLiteral("TOP ... PERCENT is not supported"));
        }

        // The FROM clause first: the list's names are columns of its tables.
        Scope* const enclosing = scope_;
        scope_ = scope;
        const size_t listAt = c_.position();
        const std::optional<size_t> fromAt = findFrom();
        QString from;
        size_t afterFrom = 0;
        if (fromAt) {
            c_.rewind(*fromAt + 1);
            from = fromList(shape);
            afterFrom = c_.position();
            c_.rewind(listAt);
        }

        const bool outerAggregate = sawAggregate_;
        sawAggregate_ = false;
        // Columns the list and HAVING name outside an aggregate, checked against GROUP BY.
        std::vector<Expr> bare;
        const auto outerBare = std::exchange(bare_, &bare);
        const auto outerBareScope = std::exchange(bareScope_, scope);
        const int outerAggregateArgs = std::exchange(aggregateArgs_, 0);
        QStringList items;
        do {
            items << selectItem(list);
            listStep(items.size(), kMaxListItems, "items in the select list");
        } while (c_.acceptSymbol(","));
        sql += items.join(QStringLiteral(", "));
        if (sawAggregate_) shape->aggregate = true;

        if (c_.peek().isWord("INTO")) c_.fail(QStringLiteral("SELECT ... INTO is not supported"));
        if (fromAt) {
            if (c_.position() != *fromAt) c_.fail(QStringLiteral("expected FROM"));
            c_.rewind(afterFrom);
            if (shape->fromSql.isEmpty()) shape->fromSql = from;
            sql += QStringLiteral(" FROM ") + from;
        }
        bare_ = nullptr;
        if (c_.acceptWord("WHERE")) {
            const QString where = truth(expression()).sql;
            if (shape->whereSql.isEmpty() && !shape->compound) shape->whereSql = where;
            sql += QStringLiteral(" WHERE ") + where;
        }
        std::vector<Expr> groups;
        if (c_.acceptWord("GROUP")) {
            c_.expectWord("BY");
            shape->grouped = true;
            QStringList texts;
            do {
                groups.push_back(value(expression()));
                texts << groups.back().sql;
                listStep(texts.size(), kMaxListItems, "items in a list");
            } while (c_.acceptSymbol(","));
            if (server_) scope_->groupBy = texts;
            sql += QStringLiteral(" GROUP BY ") + texts.join(QStringLiteral(", "));
        }
        bare_ = &bare;
        if (c_.acceptWord("HAVING")) {
            shape->grouped = true;
            sql += QStringLiteral(" HAVING ") + truth(expression()).sql;
        }
        if (shape->grouped || sawAggregate_) checkGrouped(bare, groups);
        sawAggregate_ = outerAggregate;
        bare_ = outerBare;
        bareScope_ = outerBareScope;
        aggregateArgs_ = outerAggregateArgs;
        scope_ = enclosing;
        return sql;
    }

    // In a grouped or aggregate SELECT every column named outside an aggregate must be
    // grouped by, as Jet requires: SQLite would answer with some row's value, a server
    // refuses. Grouping by expressions is left to the backend to judge.
    void checkGrouped(const std::vector<Expr>& bare, const std::vector<Expr>& groups) const {
        for (const Expr& g : groups)
            if (g.kind != Expr::Kind::Column) return;
        for (const Expr& column : bare) {
            const bool grouped = std::any_of(groups.begin(), groups.end(), [&](const Expr& g) {
                return g.column.compare(column.column, Qt::CaseInsensitive) == 0;
            });
            if (!grouped) fail(err::kNotInAggregate, column.name);
        }
    }

    // Where this SELECT's FROM is, if it has one: the first FROM outside parentheses
    // before anything that ends the SELECT.
    std::optional<size_t> findFrom() const {
        int depth = 0;
        for (int k = 0;; ++k) {
            const Token& t = c_.peek(k);
            if (t.kind == TokenKind::End) return std::nullopt;
            if (t.isSymbol("(")) {
                ++depth;
            } else if (t.isSymbol(")")) {
                if (depth == 0) return std::nullopt;
                --depth;
            } else if (depth == 0) {
                if (t.isWord("FROM")) return c_.position() + static_cast<size_t>(k);
                if (t.isWord("WHERE") || t.isWord("GROUP") || t.isWord("HAVING") ||
                    t.isWord("ORDER") || t.isWord("UNION") || t.isSymbol(";"))
                    return std::nullopt;
            }
        }
    }

    QString selectItem(SelectList* list) {
        const Token& t = c_.peek();
        if (t.isSymbol("*")) {
            c_.next();
            addStar(list, nullptr);
            const QString named = server_ ? serverStar(nullptr) : QString();
            return named.isEmpty() ? QStringLiteral("*") : named;
        }
        if ((t.kind == TokenKind::Word || t.kind == TokenKind::Name) && c_.peek(1).isSymbol(".") &&
            c_.peek(2).isSymbol("*")) {
            const Token table = c_.next();
            c_.next();
            c_.next();
            addStar(list, &table.text);
            const QString named = server_ ? serverStar(&table.text) : QString();
            return named.isEmpty() ? ident(table) + QStringLiteral(".*") : named;
        }
        const Expr e = value(expression());
        QString item = e.sql;
        Column column{e.kind == Expr::Kind::Column ? e.column : QString(), e.type};
        if (c_.acceptWord("AS")) {
            const Token alias = nameTokenRaw("a column alias");
            item += QStringLiteral(" AS ") + ident(alias);
            column.name = alias.text;
            scope_->aliases.push_back(column);
        } else if (e.kind != Expr::Kind::Column) {
            // Named as Jet names it, not after the SQLite text it became.
            column.name = e.resultName.isEmpty() ? QStringLiteral("Expr%1").arg(1000 + unnamed_++)
                                                 : e.resultName;
            Token alias;
            alias.kind = TokenKind::Name;
            alias.text = column.name;
            item += QStringLiteral(" AS ") + ident(alias);
        }
        list->columns.push_back(column);
        list->items.push_back(ResultItem{1, e.type == Type::Date, {}});
        return item;
    }

    // A "*" (or "T.*"): the columns of every table of the level (or of T).
    void addStar(SelectList* list, const QString* qualifier) {
        if (bare_ && scope_ == bareScope_) {
            // Its columns are named outside any aggregate.
            Expr star = plain(QStringLiteral("*"), Type::Unknown, kPrimary, Expr::Kind::Column);
            star.name = qualifier ? *qualifier + QStringLiteral(".*") : QStringLiteral("*");
            bare_->push_back(star);
        }
        ResultItem item{0, false, {}};
        for (const Source& s : scope_->sources) {
            if (qualifier && !s.answersTo(*qualifier)) continue;
            if (!s.known) {
                item = ResultItem{-1, false, {}};
                break;
            }
            item.span += static_cast<int>(s.columns.size());
            for (const Column& column : s.columns) item.dates.push_back(column.type == Type::Date);
            list->columns.insert(list->columns.end(), s.columns.begin(), s.columns.end());
        }
        if (item.span < 0) list->complete = false;
        list->items.push_back(std::move(item));
    }

    QString fromList(SelectShape* shape) {
        QStringList parts;
        do {
            parts << joinExpression(shape);
        } while (c_.acceptSymbol(","));
        return parts.join(QStringLiteral(", "));
    }

    QString joinExpression(SelectShape* shape) {
        QString sql = fromItem(shape);
        while (true) {
            QString join;
            if (c_.acceptWord("INNER")) {
                join = QStringLiteral("INNER JOIN");
            } else if (c_.acceptWord("LEFT")) {
                c_.acceptWord("OUTER");
                join = QStringLiteral("LEFT JOIN");
            } else if (c_.acceptWord("RIGHT")) {
                c_.acceptWord("OUTER");
                join = QStringLiteral("RIGHT JOIN");
            } else if (c_.peek().isWord("JOIN")) {
                c_.fail(QStringLiteral("JOIN needs INNER, LEFT or RIGHT"));
            } else {
                return sql;
            }
            c_.expectWord("JOIN");
            shape->joined = true;
            const QString right = fromItem(shape);
            c_.expectWord("ON");
            sql += u' ' + join + u' ' + right + QStringLiteral(" ON ") + truth(expression()).sql;
        }
    }

    QString fromItem(SelectShape* shape) {
        if (c_.acceptSymbol("(")) {
            const Depth depth(this);
            QString sql;
            if (c_.peek().isWord("SELECT")) {
                ++shape->fromItems;
                shape->firstTable.clear();
                SelectShape inner;
                SelectList list;
                sql = QStringLiteral("(") + select(&inner, &list) + QStringLiteral(")");
                c_.expectSymbol(")");
                c_.acceptWord("AS");
                Source source;
                source.columns = list.columns;
                source.known = list.complete;
                if (c_.peek().kind == TokenKind::Word || c_.peek().kind == TokenKind::Name) {
                    if (!isReserved(c_.peek())) {
                        const Token alias = nameTokenRaw("an alias");
                        source.alias = alias.text;
                        sql += u' ' + ident(alias);
                    }
                }
                // A server names every subquery in FROM; the name is the statement's own.
                if (server_ && source.alias.isEmpty())
                    sql += QStringLiteral(" AS tv_from%1").arg(++unnamedFrom_);
                addSource(source);
                return sql;
            }
            sql = QStringLiteral("(") + joinExpression(shape) + QStringLiteral(")");
            c_.expectSymbol(")");
            return sql;
        }
        const Token& t = c_.peek();
        if (t.kind != TokenKind::Word && t.kind != TokenKind::Name)
            c_.fail(QStringLiteral("expected a table name"));
        if (isReserved(t)) c_.fail(QStringLiteral("expected a table name"));
        const Token table = c_.next();
        if (c_.peek().isWord("IN"))
            c_.fail(QStringLiteral("tables of other databases (IN) are not supported"));
        addTable(table.text);
        if (++shape->fromItems == 1) {
            shape->firstTable = table.text;
        } else {
            shape->firstTable.clear();
        }
        Source source = tableSource(table.text);
        QString sql = tableIdent(table);
        const bool as = c_.acceptWord("AS");
        const Token& alias = c_.peek();
        if ((alias.kind == TokenKind::Word && !isReserved(alias)) ||
            alias.kind == TokenKind::Name) {
            const Token name = nameTokenRaw("an alias");
            source.alias = name.text;
            sql += u' ' + ident(name);
        } else if (as) {
            c_.fail(QStringLiteral("expected an alias"));
        }
        addSource(source);
        return sql;
    }

    void addSource(const Source& source) {
        scope_->sources.push_back(source);
        listStep(static_cast<qsizetype>(scope_->sources.size()), kMaxTables, "tables in one FROM");
    }

    // A table's columns from the catalog; a table the database does not have is error 3078.
    Source tableSource(const QString& table) {
        Source source;
        source.name = table;
        if (!catalog_) return source;
        const TableColumns columns = catalog_(table);
        if (!columns) throw DbError(err::kTableNotFound, errorText(err::kTableNotFound, table));
        source.known = true;
        for (const FieldInfo& f : *columns) {
            if (server_) storedNames_.insert(f.name.toLower(), f.name);
            source.columns.push_back(
                {f.name, f.typeFromValue ? Type::Unknown : typeOf(f.type), f.required});
        }
        return source;
    }

    std::optional<Column> columnOfSource(const Source& source, const QString& name) const {
        for (const Column& column : source.columns)
            if (column.name.compare(name, Qt::CaseInsensitive) == 0) return column;
        return std::nullopt;
    }

    void insert() {
        c_.expectWord("INSERT");
        c_.expectWord("INTO");
        out_->kind = StatementKind::Insert;
        const Token table = tableToken();
        addTable(table.text);
        const Source target = tableSource(table.text);
        QString sql = QStringLiteral("INSERT INTO ") + tableIdent(table);
        std::vector<Type> targets;  // the type of each column given a value
        bool listed = false;
        if (c_.acceptSymbol("(")) {
            listed = true;
            QStringList columns;
            do {
                const Token column = nameTokenRaw("a column name");
                const std::optional<Column> known = columnOfSource(target, column.text);
                if (!known && target.known) missingName(column.text);
                targets.push_back(known ? known->type : Type::Unknown);
                columns << ident(column);
            } while (c_.acceptSymbol(","));
            c_.expectSymbol(")");
            sql += QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + u')';
        }
        if (!listed)
            for (const Column& column : target.columns) targets.push_back(column.type);
        Scope scope;  // VALUES see no table
        scope.outer = scope_;
        scope_ = &scope;
        if (c_.acceptWord("VALUES")) {
            c_.expectSymbol("(");
            QStringList values;
            do {
                const Expr e = expression();
                const size_t i = static_cast<size_t>(values.size());
                values << assign(i < targets.size() ? targets[i] : Type::Unknown, e).sql;
            } while (c_.acceptSymbol(","));
            c_.expectSymbol(")");
            if (listed && targets.size() != static_cast<size_t>(values.size()))
                c_.fail(QStringLiteral("%1 columns but %2 values")
                            .arg(targets.size())
                            .arg(values.size()));
            sql += QStringLiteral(" VALUES (") + values.join(QStringLiteral(", ")) + u')';
        } else if (c_.peek().isWord("SELECT")) {
            SelectShape shape;
            SelectList list;
            sql += u' ' + select(&shape, &list);
            // Dates are stored as text: a date must not land in another type's column, nor
            // another type in a date column, unconverted.
            for (size_t i = 0; i < list.columns.size() && i < targets.size() && list.complete; ++i) {
                const Type from = list.columns[i].type;
                const Type to = targets[i];
                if (from != Type::Null && to != Type::Unknown && from != to &&
                    (from == Type::Date || to == Type::Date))
                    c_.fail(QStringLiteral("column %1 of the SELECT is not a date where a date "
                                           "is stored, or the other way round")
                                .arg(i + 1));
            }
        } else {
            c_.fail(QStringLiteral("expected VALUES or SELECT"));
        }
        scope_ = scope.outer;
        out_->sql = sql;
    }

    void update() {
        c_.expectWord("UPDATE");
        out_->kind = StatementKind::Update;
        const Token table = tableToken();
        addTable(table.text);
        Scope scope;
        scope.outer = scope_;
        scope.sources.push_back(tableSource(table.text));
        const bool as = c_.acceptWord("AS");
        const Token& next = c_.peek();
        if (as || next.kind == TokenKind::Name ||
            (next.kind == TokenKind::Word && !isReserved(next)))
            scope.sources.front().alias = c_.expectName("an alias");
        if (c_.peek().isWord("INNER") || c_.peek().isWord("LEFT") || c_.peek().isWord("RIGHT") ||
            c_.peek().isSymbol(","))
            c_.fail(QStringLiteral("UPDATE over more than one table is not supported"));
        c_.expectWord("SET");
        scope_ = &scope;
        QStringList assignments;
        do {
            Type target = Type::Unknown;
            const QString column = columnOf(table.text, scope.sources.front(), &target);
            c_.expectSymbol("=");
            assignments << column + QStringLiteral(" = ") + assign(target, expression()).sql;
        } while (c_.acceptSymbol(","));
        QString sql = QStringLiteral("UPDATE ") + tableIdent(table) +
                      QStringLiteral(" SET ") + assignments.join(QStringLiteral(", "));
        if (c_.acceptWord("WHERE")) sql += QStringLiteral(" WHERE ") + truth(expression()).sql;
        scope_ = scope.outer;
        out_->sql = sql;
    }

    // The target of a SET: a column, optionally qualified by the updated table's name.
    QString columnOf(const QString& table, const Source& source, Type* type) {
        const Token first = tableToken();
        Token column = first;
        if (c_.acceptSymbol(".")) {
            if (first.text.compare(table, Qt::CaseInsensitive) != 0 &&
                first.text.compare(source.alias, Qt::CaseInsensitive) != 0)
                c_.fail(QStringLiteral("SET may only name columns of %1").arg(table));
            column = nameTokenRaw("a column name");
        }
        const std::optional<Column> known = columnOfSource(source, column.text);
        if (!known && source.known) missingName(column.text);
        if (known) *type = known->type;
        return ident(column);
    }

    void deleteStatement() {
        c_.expectWord("DELETE");
        out_->kind = StatementKind::Delete;
        QString qualifier;
        if (!c_.acceptSymbol("*") && !c_.peek().isWord("FROM")) {
            qualifier = c_.expectName("a table name");
            c_.expectSymbol(".");
            c_.expectSymbol("*");
        }
        c_.expectWord("FROM");
        const Token table = tableToken();
        addTable(table.text);
        if (!qualifier.isEmpty() && qualifier.compare(table.text, Qt::CaseInsensitive) != 0)
            c_.fail(
                QStringLiteral("DELETE %1.* does not name the table deleted from").arg(qualifier));
        if (!c_.atEnd() && !c_.peek().isWord("WHERE") && !c_.peek().isSymbol(";"))
            c_.fail(QStringLiteral("DELETE from more than one table is not supported"));
        Scope scope;
        scope.outer = scope_;
        scope.sources.push_back(tableSource(table.text));
        scope_ = &scope;
        QString sql = QStringLiteral("DELETE FROM ") + tableIdent(table);
        if (c_.acceptWord("WHERE")) sql += QStringLiteral(" WHERE ") + truth(expression()).sql;
        scope_ = scope.outer;
        out_->sql = sql;
    }

    // A value stored in a column of the given type: dates are stored as ISO text, so a
    // number or a text becomes a date first, and a date put into a number or text column
    // becomes its serial or its text, as Jet converts them.
    Expr assign(Type target, const Expr& given) {
        const Expr v = value(given);
        if (target == Type::Unknown || v.type == Type::Null || v.type == target) return v;
        if (target == Type::Date) {
            if (isNumeric(v.type)) return call("jet_todate", v, Type::Date);
            if (v.kind == Expr::Kind::Text) return dateFromText(v);
            if (v.type == Type::Text) return call("jet_cdate", v, Type::Date);
            needType(v, "storing it in a date column");
            mismatch(v);
        }
        if (v.type == Type::Date) {
            if (isNumeric(target)) return call("jet_serial", v, Type::Real);
            if (target == Type::Text) return call("jet_gdate", v, Type::Text);
        }
        return v;
    }

    // ---- types --------------------------------------------------------------------

    // A truth value used as a value: Jet's True is -1.
    // A server's truth values are booleans: one becomes Jet's -1/0 through an integer, and
    // a number used as a condition is compared with 0 (SQLite reads either as the other).
    Expr value(const Expr& e) const {
        if (!e.logical) return e;
        if (server_)
            return plain(QStringLiteral("-((") + e.sql + QStringLiteral(")::integer)"),
                         Type::Boolean, kUnary);
        return plain(QStringLiteral("-(") + e.sql + u')', Type::Boolean, kUnary);
    }
    Expr truth(const Expr& e) const {
        if (!server_ || e.logical) return e;
        Expr condition = plain(u'(' + e.sql + QStringLiteral(") <> 0"), Type::Boolean, kEquality);
        condition.logical = true;
        return condition;
    }

    void needType(const Expr& e, const char* what) const {
        if (e.type == Type::Unknown)
            c_.fail(QStringLiteral("the type of %1 is not known, which %2 depends on")
                        .arg(display(e), QLatin1String(what)));
    }

    [[noreturn]] void mismatch(const Expr& e) const {
        c_.failWith(err::kCriteriaMismatch,
                    errorText(err::kCriteriaMismatch) + QStringLiteral(" (%1)").arg(display(e)));
    }

    // A text literal where a date is wanted: read as a #date# literal is.
    Expr dateFromText(const Expr& text) const {
        DateTime date;
        if (!readDateLiteral(text.literal, &date)) mismatch(text);
        return dateLiteral(date);
    }

    // An operand of arithmetic: a date is its serial, a text is read as a number (a text
    // that is none is error 13 when the statement runs).
    Expr numeric(const Expr& given, const char* what) const {
        const Expr e = value(given);
        needType(e, what);
        switch (e.type) {
            case Type::Date:
                return call("jet_serial", e, Type::Real);
            case Type::Text:
                return call("jet_cdbl", e, Type::Real);
            case Type::Binary:
                mismatch(e);
            default:
                return e;
        }
    }

    // A value where a text is wanted: a date as people read it; for SQLite's own
    // functions also a fraction as CStr writes it (10, not 10.0).
    Expr textual(const Expr& given, bool forSqlite, const char* what) const {
        const Expr e = value(given);
        needType(e, what);
        if (e.type == Type::Date) return call("jet_gdate", e, Type::Text);
        if (forSqlite && e.type == Type::Real) return call("jet_cstr", e, Type::Text);
        return e;
    }

    // Arithmetic over numbers: whole numbers stay whole; a fraction is checked for
    // overflow, which SQLite would let through as inf.
    // Arithmetic with Null is Null, whatever the other side: written as such, since a server
    // cannot type "'x' + NULL".
    // (Not of the Null kind: "A = Null + 1" selects nothing, where "A = Null" tests for Null.)
    static Expr nullLiteral() { return plain(QStringLiteral("NULL"), Type::Null); }

    static Expr arithmetic(const Expr& left, const char* op, const Expr& right, int precedence) {
        if (left.type == Type::Null || right.type == Type::Null) return nullLiteral();
        if (isWhole(left.type) && isWhole(right.type))
            return binary(left, QLatin1String(op), right, precedence, Type::Integer);
        return call(QStringLiteral("jet_num"),
                    {binary(left, QLatin1String(op), right, precedence, Type::Real).sql},
                    Type::Real);
    }

    // ---- names ----------------------------------------------------------------------

    [[noreturn]] void missingName(const QString& name) const {
        const int number = criteria_ ? err::kUnknownName : err::kTooFewParameters;
        throw DbError(number, errorText(number, name));
    }

    // Whether a name is a column of this level's own tables (not of an enclosing query's).
    bool ownColumn(const QString& qualifier, const QString& name) const {
        for (const Source& source : scope_->sources)
            if ((qualifier.isEmpty() || source.answersTo(qualifier)) && source.known &&
                columnOfSource(source, name))
                return true;
        return false;
    }

    // The type of a column named in an expression, from the innermost level that has it.
    Type resolve(const QString& qualifier, const QString& name) const {
        for (const Scope* s = scope_; s; s = s->outer) {
            bool allKnown = true;
            bool qualifierFound = false;
            int hits = 0;
            Type type = Type::Unknown;
            for (const Source& source : s->sources) {
                if (!qualifier.isEmpty()) {
                    if (!source.answersTo(qualifier)) continue;
                    qualifierFound = true;
                }
                if (!source.known) {
                    allKnown = false;
                    continue;
                }
                if (const std::optional<Column> c = columnOfSource(source, name)) {
                    ++hits;
                    type = c->type;
                }
            }
            if (hits == 1 && (allKnown || !qualifier.isEmpty())) return type;
            if (hits > 1 || !allKnown) return Type::Unknown;  // SQLite reports an ambiguity
            if (!qualifier.isEmpty() && qualifierFound) break;
            if (qualifier.isEmpty() && s->aliasesVisible) {
                for (const Column& alias : s->aliases)
                    if (alias.name.compare(name, Qt::CaseInsensitive) == 0) return alias.type;
            }
        }
        if (typed_) missingName(qualifier.isEmpty() ? name : qualifier + u'.' + name);
        return Type::Unknown;
    }

    // ---- expressions, loosest first ----------------------------------------------

    Expr expression() {
        const Depth depth(this);
        Expr left = andLevel();
        int chain = 0;
        while (true) {
            if (c_.peek().isWord("XOR") || c_.peek().isWord("EQV") || c_.peek().isWord("IMP"))
                c_.fail(QStringLiteral("operator %1 is not supported").arg(c_.peek().text));
            if (!c_.acceptWord("OR")) return left;
            chainStep(&chain);
            left = logic(left, "OR", andLevel(), kOr);
        }
    }

    Expr andLevel() {
        Expr left = notLevel();
        int chain = 0;
        while (c_.acceptWord("AND")) {
            chainStep(&chain);
            left = logic(left, "AND", notLevel(), kAnd);
        }
        return left;
    }

    // Jet's And, Or and Not work bit by bit on numbers; on truth values (-1/0) that is
    // what SQLite's logic gives, on other numbers it is not.
    Expr logic(const Expr& left, const char* op, const Expr& right, int precedence) const {
        truthOperand(left, op);
        truthOperand(right, op);
        Expr e = binary(truth(left), QLatin1String(op), truth(right), precedence, Type::Boolean);
        e.logical = true;
        return e;
    }

    void truthOperand(const Expr& e, const char* op) const {
        if (e.logical || e.type == Type::Boolean || e.type == Type::Null) return;
        needType(e, op);
        c_.fail(QStringLiteral("%1 on %2, which is not a truth value, is not supported")
                    .arg(QLatin1String(op), display(e)));
    }

    Expr notLevel() {
        if (!c_.acceptWord("NOT")) return comparison();
        const Depth depth(this);
        const Expr operand = notLevel();
        truthOperand(operand, "NOT");
        Expr e = plain(QStringLiteral("NOT ") + wrap(truth(operand), kNot), Type::Boolean, kNot);
        e.logical = true;
        return e;
    }

    Expr comparison() {
        Expr left = concatenation();
        int chain = 0;
        while (true) {
            const Token& t = c_.peek();
            if (t.kind == TokenKind::Symbol &&
                (t.text == u"=" || t.text == u"<>" || t.text == u"!=" || t.text == u"<" ||
                 t.text == u">" || t.text == u"<=" || t.text == u">=")) {
                chainStep(&chain);
                const QString op = c_.next().text == u"!=" ? QStringLiteral("<>") : t.text;
                left = compare(left, op, concatenation());
                continue;
            }
            if (c_.acceptWord("IS")) {
                chainStep(&chain);
                const bool negated = c_.acceptWord("NOT");
                if (!c_.acceptWord("NULL"))
                    c_.fail(QStringLiteral("IS must be followed by NULL or NOT NULL"));
                left = isNull(left, negated);
                continue;
            }
            const bool negated =
                t.isWord("NOT") && (c_.peek(1).isWord("LIKE") || c_.peek(1).isWord("BETWEEN") ||
                                    c_.peek(1).isWord("IN"));
            if (negated) c_.next();
            if (t.isWord("LIKE") || t.isWord("BETWEEN") || t.isWord("IN") || negated)
                chainStep(&chain);
            if (c_.acceptWord("LIKE")) {
                left = like(left, concatenation(), negated);
            } else if (c_.acceptWord("BETWEEN")) {
                std::vector<Expr> bounds{concatenation()};
                c_.expectWord("AND");
                bounds.push_back(concatenation());
                Expr subject = left;
                comparable(&subject, &bounds);
                Expr e = plain(wrap(subject, kEquality) +
                                   (negated ? QStringLiteral(" NOT BETWEEN ")
                                            : QStringLiteral(" BETWEEN ")) +
                                   wrap(bounds[0], kRelational) + QStringLiteral(" AND ") +
                                   wrap(bounds[1], kRelational),
                               Type::Boolean, kEquality);
                e.logical = true;
                left = e;
            } else if (c_.acceptWord("IN")) {
                left = in(left, negated);
            } else {
                return left;
            }
        }
    }

    // Brings a value and what it is compared with to one kind of comparison: a date with
    // dates (a text literal read as a date), or by serial with numbers. Refuses what Jet
    // would report as a type mismatch, and types it does not know.
    void comparable(Expr* subject, std::vector<Expr>* others) const {
        *subject = value(*subject);
        for (Expr& o : *others) o = value(o);
        if (subject->type == Type::Null) return;
        bool anyDate = subject->type == Type::Date;
        bool anyNumber = isNumeric(subject->type);
        for (const Expr& o : *others) {
            if (o.type == Type::Null) continue;
            needType(o, "the comparison");
            anyDate = anyDate || o.type == Type::Date;
            anyNumber = anyNumber || isNumeric(o.type);
        }
        if (!anyDate) {
            if (!others->empty()) needType(*subject, "the comparison");
            // A text column beside a number compares as text on files (the column's text
            // affinity converts the number); a server is told to do the same.
            const bool anyText = subject->type == Type::Text ||
                                 std::any_of(others->begin(), others->end(),
                                             [](const Expr& o) { return o.type == Type::Text; });
            if (server_ && anyText && anyNumber) {
                const auto toText = [](Expr& e) {
                    if (isNumeric(e.type))
                        e = plain(wrap(e, kPrimary) + QStringLiteral("::text::public.citext"),
                                  Type::Text);
                };
                toText(*subject);
                for (Expr& o : *others) toText(o);
            }
            return;
        }
        needType(*subject, "the comparison");
        const auto toDate = [&](Expr& e) {
            if (e.type == Type::Text) {
                if (e.kind != Expr::Kind::Text) mismatch(e);
                e = dateFromText(e);
            } else if (e.type == Type::Binary) {
                mismatch(e);
            }
        };
        toDate(*subject);
        for (Expr& o : *others) toDate(o);
        if (anyNumber) {
            // Numbers against dates: everything by its serial.
            const auto toSerial = [](Expr& e) {
                if (e.type == Type::Date) e = call("jet_serial", e, Type::Real);
            };
            toSerial(*subject);
            for (Expr& o : *others) toSerial(o);
        }
    }

    Expr compare(const Expr& left, const QString& op, const Expr& right) {
        // Jet reads "x = Null" as a test for Null; SQLite would give Null for every row.
        if (op == u"=" || op == u"<>") {
            if (right.kind == Expr::Kind::Null && left.kind != Expr::Kind::Null)
                return isNull(left, op == u"<>");
            if (left.kind == Expr::Kind::Null && right.kind != Expr::Kind::Null)
                return isNull(right, op == u"<>");
        }
        Expr a = left;
        std::vector<Expr> others{right};
        comparable(&a, &others);
        const Expr& b = others.front();
        const bool equality = op == u"=" || op == u"<>";
        const int precedence = equality ? kEquality : kRelational;
        Expr e;
        // Columns compare texts ignoring case through their NOCASE collation; two computed
        // texts (UCase(x) = 'A', Left(x, 2) = 'ab') need to be told.
        if ((a.type == Type::Text || b.type == Type::Text) && a.kind != Expr::Kind::Column &&
            b.kind != Expr::Kind::Column) {
            e = server_ ? plain(wrap(a, kPrimary) + QStringLiteral("::public.citext ") + op + u' ' +
                                    wrap(b, kPrimary) + QStringLiteral("::public.citext"),
                                Type::Boolean, precedence)
                        : plain(wrap(a, precedence) + u' ' + op + u' ' + wrap(b, kPrimary) +
                                    QStringLiteral(" COLLATE NOCASE"),
                                Type::Boolean, precedence);
        } else {
            e = binary(a, op, b, precedence, Type::Boolean);
        }
        e.logical = true;
        return e;
    }

    static Expr isNull(const Expr& operand, bool negated) {
        Expr e = plain(wrap(operand, kEquality + 1) +
                           (negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL")),
                       Type::Boolean, kEquality);
        e.logical = true;
        return e;
    }

    Expr in(const Expr& left, bool negated) {
        c_.expectSymbol("(");
        Expr subject = left;
        QString list;
        if (c_.peek().isWord("SELECT")) {
            SelectShape inner;
            SelectList columns;
            list = select(&inner, &columns);
            // The subquery's values cannot be converted: its column must compare as is.
            Expr column = plain(QString(), columns.columns.empty() ? Type::Unknown
                                                                   : columns.columns.front().type);
            column.name = QStringLiteral("the subquery's column");
            std::vector<Expr> others{column};
            comparable(&subject, &others);
            if (!others.front().sql.isEmpty())
                c_.fail(QStringLiteral("IN compares a date with a subquery's numbers or texts"));
        } else {
            std::vector<Expr> items;
            do {
                items.push_back(expression());
            } while (c_.acceptSymbol(","));
            comparable(&subject, &items);
            QStringList sql;
            for (const Expr& item : items) sql << item.sql;
            list = sql.join(QStringLiteral(", "));
        }
        c_.expectSymbol(")");
        Expr e = plain(wrap(subject, kEquality) +
                           (negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
                           list + u')',
                       Type::Boolean, kEquality);
        e.logical = true;
        return e;
    }

    Expr like(const Expr& given, const Expr& givenPattern, bool negated) {
        const Expr value = textual(given, true, "Like");
        const Expr pattern = textual(givenPattern, true, "Like");
        Expr e = plain(QString(), Type::Boolean, kEquality);
        e.logical = true;
        if (pattern.kind == Expr::Kind::Text) {
            if (!isValidJetPattern(pattern.literal))
                c_.fail(QStringLiteral("malformed Like pattern %1").arg(pattern.sql));
            if (pattern.literal.toUtf8().size() > kMaxLikePatternBytes)
                c_.fail(
                    QStringLiteral("Like pattern longer than %1 bytes").arg(kMaxLikePatternBytes));
            bool escaped = false;
            if (const auto converted = jetPatternToSqliteLike(pattern.literal, &escaped)) {
                e.sql = wrap(value, kEquality) +
                        (negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE ")) +
                        quoteLiteral(*converted);
                if (escaped)
                    e.sql += QStringLiteral(" ESCAPE ") + quoteLiteral(QStringLiteral("\\"));
                return e;
            }
        }
        e.sql = QStringLiteral("jet_like(%1, %2)").arg(value.sql, pattern.sql);
        e.precedence = kPrimary;
        if (negated) {
            e.sql = QStringLiteral("NOT ") + e.sql;
            e.precedence = kNot;
        }
        return e;
    }

    // "&": every part as text; a date as people read it.
    Expr concatenation() {
        Expr left = additive();
        if (!c_.peek().isSymbol("&")) return left;
        QStringList parts{concatPart(left)};
        while (c_.acceptSymbol("&")) parts << concatPart(additive());
        if (server_)
            for (QString& part : parts) part = u'(' + part + QStringLiteral(")::text");
        return plain(concatCall(std::move(parts)), Type::Text);
    }

    QString concatPart(const Expr& given) const {
        const Expr e = value(given);
        if (e.type == Type::Null) return e.sql;
        return textual(e, false, "&").sql;
    }

    Expr additive() {
        Expr left = modulo();
        int chain = 0;
        while (true) {
            if (c_.acceptSymbol("+")) {
                chainStep(&chain);
                left = plus(left, modulo());
            } else if (c_.acceptSymbol("-")) {
                chainStep(&chain);
                left = minus(left, modulo());
            } else {
                return left;
            }
        }
    }

    // Jet's "+": joins two texts, adds anything else as numbers; a date plus a number is a
    // date.
    Expr plus(const Expr& givenLeft, const Expr& givenRight) const {
        const Expr a = value(givenLeft);
        const Expr b = value(givenRight);
        if (a.type == Type::Null || b.type == Type::Null) return nullLiteral();
        needType(a, "\"+\"");
        needType(b, "\"+\"");
        if (a.type == Type::Text && b.type == Type::Text)
            return binary(a, QStringLiteral("||"), b, kConcat, Type::Text);
        if (a.type == Type::Date || b.type == Type::Date)
            return call(QStringLiteral("jet_dateplus"),
                        {dateOperand(a, "\"+\"").sql, dateOperand(b, "\"+\"").sql}, Type::Date);
        return arithmetic(numeric(a, "\"+\""), "+", numeric(b, "\"+\""), kAdditive);
    }

    Expr minus(const Expr& givenLeft, const Expr& givenRight) const {
        const Expr a = value(givenLeft);
        const Expr b = value(givenRight);
        if (a.type == Type::Null || b.type == Type::Null) return nullLiteral();
        needType(a, "\"-\"");
        needType(b, "\"-\"");
        if (a.type == Type::Date && b.type == Type::Date)
            return call(QStringLiteral("jet_days"), {a.sql, b.sql}, Type::Real);
        if (a.type == Type::Date || b.type == Type::Date)
            return call(QStringLiteral("jet_dateminus"),
                        {dateOperand(a, "\"-\"").sql, dateOperand(b, "\"-\"").sql}, Type::Date);
        return arithmetic(numeric(a, "\"-\""), "-", numeric(b, "\"-\""), kAdditive);
    }

    // One side of date arithmetic: the date as stored, anything else as a number.
    Expr dateOperand(const Expr& e, const char* what) const {
        return e.type == Type::Date ? e : numeric(e, what);
    }

    Expr modulo() {
        Expr left = integerDivision();
        int chain = 0;
        while (c_.acceptWord("MOD")) {
            chainStep(&chain);
            const Expr right = integerDivision();
            left = call(QStringLiteral("jet_mod"),
                        {numeric(left, "Mod").sql, numeric(right, "Mod").sql}, Type::Integer);
        }
        return left;
    }

    Expr integerDivision() {
        Expr left = multiplicative();
        int chain = 0;
        while (c_.acceptSymbol("\\")) {
            chainStep(&chain);
            const Expr right = multiplicative();
            left = call(QStringLiteral("jet_intdiv"),
                        {numeric(left, "\"\\\"").sql, numeric(right, "\"\\\"").sql}, Type::Integer);
        }
        return left;
    }

    Expr multiplicative() {
        Expr left = unary();
        int chain = 0;
        while (true) {
            if (c_.peek().isSymbol("*") || c_.peek().isSymbol("/")) chainStep(&chain);
            if (c_.acceptSymbol("*")) {
                const Expr right = unary();
                left = arithmetic(numeric(left, "\"*\""), "*", numeric(right, "\"*\""),
                                  kMultiplicative);
            } else if (c_.acceptSymbol("/")) {
                const Expr right = unary();
                left = call(QStringLiteral("jet_div"),
                            {numeric(left, "\"/\"").sql, numeric(right, "\"/\"").sql}, Type::Real);
            } else {
                return left;
            }
        }
    }

    Expr unary() {
        if (c_.acceptSymbol("-")) {
            const Depth depth(this);
            return negate(unary());
        }
        if (c_.acceptSymbol("+")) {
            const Depth depth(this);
            return unary();
        }
        return power();
    }

    Expr negate(const Expr& given) const {
        const Expr operand = value(given);
        if (operand.type == Type::Date) c_.fail(QStringLiteral("a negative date is not supported"));
        const Expr n = operand.type == Type::Null ? operand : numeric(operand, "\"-\"");
        // "- -1" must not become "--1", which SQLite reads as a comment.
        const bool tight = n.precedence >= kUnary && !n.sql.startsWith(u'-');
        return plain(QStringLiteral("-") + (tight ? n.sql : u'(' + n.sql + u')'),
                     n.type == Type::Boolean ? Type::Integer : n.type, kUnary);
    }

    Expr power() {
        Expr base = primary();
        int chain = 0;
        while (c_.acceptSymbol("^")) {
            chainStep(&chain);
            Expr exponent;
            if (c_.acceptSymbol("-")) {
                exponent = negate(primary());
            } else {
                c_.acceptSymbol("+");
                exponent = primary();
            }
            base = call(QStringLiteral("jet_pow"),
                        {numeric(base, "\"^\"").sql, numeric(exponent, "\"^\"").sql}, Type::Real);
        }
        return base;
    }

    Expr primary() {
        const Token& t = c_.peek();
        switch (t.kind) {
            case TokenKind::Number: {
                const QString text = c_.next().text;
                if (!std::isfinite(text.toDouble()))
                    c_.failWith(tv::kErrOverflow, QStringLiteral("Overflow (%1)").arg(text));
                const bool real = text.contains(u'.') || text.contains(u'e') || text.contains(u'E');
                return real ? plain(text, Type::Real)
                            : plain(text, Type::Integer, kPrimary, Expr::Kind::Number);
            }
            case TokenKind::String:
                return textLiteral(c_.next().text);
            case TokenKind::Date: {
                DateTime date;
                if (!readDateLiteral(t.text, &date))
                    c_.fail(QStringLiteral("#%1# is not a date").arg(t.text));
                c_.next();
                return dateLiteral(date);
            }
            case TokenKind::Name:
                return columnReference();
            case TokenKind::Symbol:
                if (t.isSymbol("(")) return parenthesised();
                c_.fail(QStringLiteral("expected an expression"));
            case TokenKind::End:
                c_.fail(QStringLiteral("expected an expression"));
            case TokenKind::Word:
                break;
        }
        if (c_.acceptWord("NULL"))
            return plain(QStringLiteral("NULL"), Type::Null, kPrimary, Expr::Kind::Null);
        for (const char* word : {"TRUE", "YES", "ON"}) {
            if (c_.acceptWord(word)) return plain(QStringLiteral("-1"), Type::Boolean, kUnary);
        }
        for (const char* word : {"FALSE", "NO", "OFF"}) {
            if (c_.acceptWord(word)) return plain(QStringLiteral("0"), Type::Boolean);
        }
        if (c_.acceptWord("EXISTS")) {
            if (!c_.peek().isSymbol("(") || !c_.peek(1).isWord("SELECT"))
                c_.fail(QStringLiteral("EXISTS needs a subquery"));
            c_.expectSymbol("(");
            SelectShape inner;
            SelectList list;
            Expr e = plain(QStringLiteral("EXISTS (") + select(&inner, &list) + u')', Type::Boolean);
            c_.expectSymbol(")");
            e.logical = true;
            return e;
        }
        if (isReserved(t) && !(c_.peek(1).isSymbol("(") && findFunction(t.text)))
            c_.fail(QStringLiteral("expected an expression"));
        if (c_.peek(1).isSymbol("(")) return functionCall();
        return columnReference();
    }

    Expr parenthesised() {
        c_.expectSymbol("(");
        if (c_.peek().isWord("SELECT")) {
            SelectShape inner;
            SelectList list;
            const QString sql = QStringLiteral("(") + select(&inner, &list) + QStringLiteral(")");
            c_.expectSymbol(")");
            return plain(sql, list.columns.empty() ? Type::Unknown : list.columns.front().type);
        }
        Expr inner = expression();
        c_.expectSymbol(")");
        Expr e = inner;
        e.sql = QStringLiteral("(") + inner.sql + QStringLiteral(")");
        e.precedence = kPrimary;
        if (e.kind == Expr::Kind::Column) e.kind = Expr::Kind::Other;
        return e;
    }

    QStringList expressionList() {
        QStringList items;
        do {
            items << value(expression()).sql;
            listStep(items.size(), kMaxListItems, "items in a list");
        } while (c_.acceptSymbol(","));
        return items;
    }

    Expr functionCall() {
        const Token name = c_.next();
        const FunctionSpec* f = findFunction(name.text);
        if (!f) c_.fail(QStringLiteral("unknown function %1").arg(name.text));
        c_.expectSymbol("(");
        std::vector<Expr> args;
        bool star = false;
        if (f->shape == FunctionSpec::Aggregate && c_.peek().isSymbol("*") &&
            QLatin1String(f->name) == QLatin1String("COUNT")) {
            c_.next();
            star = true;
        } else if (!c_.peek().isSymbol(")")) {
            // What an aggregate reads may be any column of the group.
            const int aggregated = f->shape == FunctionSpec::Aggregate ? 1 : 0;
            aggregateArgs_ += aggregated;
            do {
                args.push_back(expression());
            } while (c_.acceptSymbol(","));
            aggregateArgs_ -= aggregated;
        }
        c_.expectSymbol(")");
        const int n = star ? 1 : static_cast<int>(args.size());
        if (n < f->minArgs || n > f->maxArgs)
            c_.fail(QStringLiteral("wrong number of arguments to %1").arg(name.text));

        switch (f->shape) {
            case FunctionSpec::Call:
                return runtimeCall(*f, args);
            case FunctionSpec::Aggregate:
                sawAggregate_ = true;
                return aggregate(*f, star ? Expr{} : value(args[0]), star);
            case FunctionSpec::IIf: {
                const Expr a = value(args[1]);
                const Expr b = value(args[2]);
                return plain(QStringLiteral("CASE WHEN %1 THEN %2 ELSE %3 END")
                                 .arg(truth(args[0]).sql, a.sql, b.sql),
                             common(a, b, "IIf"));
            }
            case FunctionSpec::Nz: {
                // Without a second argument Nz gives a zero-length text inside a query.
                const Expr a = value(args[0]);
                const Expr b = n == 2 ? value(args[1]) : textLiteral(QString());
                const Type type = n == 2 ? common(a, b, "Nz")
                                  : a.type == Type::Text ? Type::Text
                                                         : Type::Unknown;
                return call(server_ ? QStringLiteral("coalesce") : QStringLiteral("IFNULL"),
                            {a.sql, b.sql}, type);
            }
            case FunctionSpec::IsNull:
                return value(isNull(args[0], false));
        }
        return Expr{};
    }

    // The type of IIf's or Nz's result: what both branches share. A date beside another
    // kind of value would come back as its stored text in some rows: refused.
    Type common(const Expr& a, const Expr& b, const char* function) const {
        if (a.type == Type::Null) return b.type;
        if (b.type == Type::Null || a.type == b.type) return a.type;
        if (isNumeric(a.type) && isNumeric(b.type))
            return isWhole(a.type) && isWhole(b.type) ? Type::Integer : Type::Real;
        if (a.type == Type::Date || b.type == Type::Date)
            c_.fail(QStringLiteral("%1 gives a date in some rows and another type in others")
                        .arg(QLatin1String(function)));
        return Type::Unknown;
    }

    // A server's Format knows one region only: a literal pattern is sent as this workstation
    // reads it. A named format becomes the pattern it stands for ("Short Date", "Currency"),
    // and a date pattern's "/" and ":" the regional separators; the decimal point and digit
    // grouping go as two more arguments (regionalFormatArguments).
    static Expr workstationPattern(const Expr& pattern) {
        if (pattern.kind != Expr::Kind::Text) return pattern;
        const RegionalSettings& r = regional();
        std::optional<QString> named = fmt::namedDatePattern(pattern.literal, r);
        if (!named) named = fmt::namedNumberPattern(pattern.literal, r);
        QString text = named.value_or(pattern.literal);
        if (fmt::isDatePattern(text)) text = withRegionalSeparators(text, r);
        return text == pattern.literal ? pattern : textLiteral(text);
    }

    static QString withRegionalSeparators(const QString& pattern, const RegionalSettings& r) {
        QString out;
        bool quoted = false;
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            const QChar c = pattern.at(i);
            if (c == u'"') quoted = !quoted;
            if (!quoted && c == u'\\' && i + 1 < pattern.size()) {
                out += pattern.mid(i++, 2);
                continue;
            }
            // "AM/PM" and "A/P" keep their slash.
            const qsizetype meridian = quoted ? 0
                                       : pattern.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0 ? 5
                                       : pattern.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0   ? 3
                                                                                                                      : 0;
            if (meridian > 0) {
                out += pattern.mid(i, meridian);
                i += meridian - 1;
            } else if (!quoted && c == u'/' && r.dateSeparator != u'/') {
                out += u'\\';
                out += r.dateSeparator;
            } else if (!quoted && c == u':' && r.timeSeparator != u':') {
                out += u'\\';
                out += r.timeSeparator;
            } else {
                out += c;
            }
        }
        return out;
    }

    static void regionalFormatArguments(QStringList* sql) {
        const RegionalSettings& r = regional();
        if (sql->size() != 2 || (r.decimalPoint == u'.' && r.thousandsSeparator == u',')) return;
        *sql << quoteLiteral(QString(r.decimalPoint)) << quoteLiteral(QString(r.thousandsSeparator));
    }

    Expr runtimeCall(const FunctionSpec& f, const std::vector<Expr>& args) const {
        // InStr(text, sought) has no start: its kinds begin one later.
        QString kinds = QLatin1String(f.kinds);
        if (QLatin1String(f.name) == QLatin1String("INSTR") && args.size() == 2) kinds = "TT";
        const bool sqliteOwn = !QLatin1String(f.target).startsWith(QLatin1String("jet_"));
        const QString what = QLatin1String(f.name);
        const QByteArray whatUtf8 = what.toUtf8();
        QStringList sql;
        std::vector<Expr> converted;
        for (size_t i = 0; i < args.size(); ++i) {
            const QChar kind = kinds.at(static_cast<qsizetype>(i));
            Expr a = value(args[i]);
            if (server_ && i == 1 && what == QLatin1String("FORMAT")) a = workstationPattern(a);
            if (kind == u'T') {
                a = textual(a, sqliteOwn, whatUtf8.constData());
            } else if (kind == u'N') {
                if (a.type != Type::Null) {
                    needType(a, whatUtf8.constData());
                    // A server's jet_* functions take numbers only: a text is converted first.
                    if (a.type == Type::Date || ((sqliteOwn || server_) && a.type == Type::Text))
                        a = numeric(a, whatUtf8.constData());
                }
            }
            converted.push_back(a);
            sql << a.sql;
        }
        if (server_ && what == QLatin1String("FORMAT")) regionalFormatArguments(&sql);
        const Type first = converted.empty() ? Type::Unknown : converted.front().type;
        switch (f.result) {
            case 'T':
                return call(QLatin1String(f.target), sql, Type::Text);
            case 'I':
                return call(QLatin1String(f.target), sql, Type::Integer);
            case 'R':
                return call(QLatin1String(f.target), sql, Type::Real);
            case 'D':
                return call(QLatin1String(f.target), sql, Type::Date);
            case 'B':
                return call(QLatin1String(f.target), sql, Type::Boolean);
            case 'W':
                if (first == Type::Date) {
                    // Int and Fix of a date keep it a date: its day.
                    const Expr whole = call(QLatin1String(f.target),
                                            {call("jet_serial", converted.front(), Type::Real).sql},
                                            Type::Real);
                    return call("jet_todate", whole, Type::Date);
                }
                return call(QLatin1String(f.target), sql,
                            first == Type::Text ? Type::Real : first);
            default:  // '1'
                return call(QLatin1String(f.target), sql,
                            first == Type::Text || first == Type::Date ? Type::Real : first);
        }
    }

    Expr aggregate(const FunctionSpec& f, const Expr& arg, bool star) const {
        Expr e = aggregateCall(f, arg, star);
        if (!star && arg.kind == Expr::Kind::Column) {
            // Jet names it after the function and the column: "MaxOfDATETIME".
            const QString function = QLatin1String(f.name);
            e.resultName = function.left(1) + function.mid(1).toLower() + QStringLiteral("Of") +
                           arg.column;
        }
        return e;
    }

    Expr aggregateCall(const FunctionSpec& f, const Expr& arg, bool star) const {
        const QLatin1String target(f.target);
        if (star) return call(target, {QStringLiteral("*")}, Type::Integer);
        const QLatin1String name(f.name);
        if (name == QLatin1String("COUNT")) return call(target, {arg.sql}, Type::Integer);
        if (name == QLatin1String("SUM") || name == QLatin1String("AVG")) {
            needType(arg, f.name);
            if (!isNumeric(arg.type) && arg.type != Type::Null)
                c_.fail(QStringLiteral("%1 of %2 is not supported").arg(name, display(arg)));
            const Type type = name == QLatin1String("AVG") || !isWhole(arg.type) ? Type::Real
                                                                                 : Type::Integer;
            return call(target, {arg.sql}, type);
        }
        // Min, Max, First, Last: the values themselves. A computed text orders ignoring
        // case, as a column does.
        QString sql = arg.sql;
        if ((name == QLatin1String("MIN") || name == QLatin1String("MAX")) &&
            arg.type == Type::Text && arg.kind != Expr::Kind::Column)
            sql = wrap(arg, kPrimary) +
                  (server_ ? QStringLiteral("::public.citext") : QStringLiteral(" COLLATE NOCASE"));
        return call(target, {sql}, arg.type);
    }

    Expr columnReference() {
        const Token first = c_.next();
        QString sql = ident(first);
        QString qualifier;
        QString name = first.text;
        QString written = first.kind == TokenKind::Name ? u'[' + first.text + u']' : first.text;
        if (c_.acceptSymbol(".")) {
            const Token column = nameTokenRaw("a column name");
            qualifier = name;
            name = column.text;
            sql += u'.' + ident(column);
            written += u'.' + (column.kind == TokenKind::Name ? u'[' + column.text + u']'
                                                              : column.text);
        }
        Expr e = plain(sql, resolve(qualifier, name), kPrimary, Expr::Kind::Column);
        e.name = written;
        e.column = name;
        if (bare_ && scope_ == bareScope_ && aggregateArgs_ == 0 && ownColumn(qualifier, name))
            bare_->push_back(e);
        return e;
    }

    // ---- names --------------------------------------------------------------------

    Token tableToken() {
        const Token& t = c_.peek();
        if (t.kind != TokenKind::Name && (t.kind != TokenKind::Word || isReserved(t)))
            c_.fail(QStringLiteral("expected a name"));
        return c_.next();
    }

    Token nameTokenRaw(const char* what) {
        const Token& t = c_.peek();
        if (t.kind != TokenKind::Name && (t.kind != TokenKind::Word || isReserved(t)))
            c_.fail(QStringLiteral("expected %1").arg(QLatin1String(what)));
        return c_.next();
    }

    void addTable(const QString& name) {
        for (const QString& known : out_->tables) {
            if (known.compare(name, Qt::CaseInsensitive) == 0) return;
        }
        out_->tables << name;
    }

    void moveTableFirst(const QString& name) {
        for (qsizetype i = 0; i < out_->tables.size(); ++i) {
            if (out_->tables[i].compare(name, Qt::CaseInsensitive) == 0) {
                out_->tables.move(i, 0);
                return;
            }
        }
    }

    TokenCursor& c_;
    const Catalog& catalog_;
    Translation* out_;
    bool typed_;             // every name can be looked up: one found nowhere is an error
    bool criteria_ = false;  // reading FindFirst criteria
    bool sawAggregate_ = false;
    std::vector<Expr>* bare_ = nullptr;  // columns named outside aggregates, of bareScope_
    Scope* bareScope_ = nullptr;
    int aggregateArgs_ = 0;  // inside the arguments of an aggregate
    Scope* scope_ = nullptr;
    int depth_ = 0;
    int unnamed_ = 0;  // select items named Expr1000, Expr1001 ...
    // A server's names are exact where SQLite ignores case: every name is written as stored
    // (the catalog's tables and columns), other names (aliases) as first written, all quoted.
    const ServerNames* server_ = nullptr;
    int unnamedFrom_ = 0;  // subqueries in FROM named for a server
    // Lower case -> as stored; other names (aliases) as first written.
    mutable QHash<QString, QString> storedNames_;

    bool neverNull(const Expr& e) const {
        if (e.kind != Expr::Kind::Column || !scope_) return false;
        for (const Source& source : scope_->sources)
            for (const Column& column : source.columns)
                if (column.required && column.name.compare(e.column, Qt::CaseInsensitive) == 0)
                    return true;
        return false;
    }

  public:
    void knowNames(const std::vector<FieldInfo>& fields) {
        for (const FieldInfo& f : fields) storedNames_.insert(f.name.toLower(), f.name);
    }

  private:
    QString ident(const Token& name) const {
        if (!server_) return sqliteIdentifier(name);
        const auto it = storedNames_.constFind(name.text.toLower());
        if (it != storedNames_.constEnd()) return quoteIdentifier(*it);
        storedNames_.insert(name.text.toLower(), name.text);
        return quoteIdentifier(name.text);
    }
    QString tableIdent(const Token& table) {
        if (server_ && server_->storedTable) {
            const QString stored = server_->storedTable(table.text);
            if (!stored.isEmpty()) storedNames_.insert(table.text.toLower(), stored);
        }
        return ident(table);
    }
    // "*" on a server names the columns: its tables hold the row identity as well.
    QString serverStar(const QString* qualifier) const {
        QStringList columns;
        for (const Source& s : scope_->sources) {
            if (qualifier && !s.answersTo(*qualifier)) continue;
            if (!s.known) return QString();
            Token owner;
            owner.kind = TokenKind::Name;
            owner.text = s.alias.isEmpty() ? s.name : s.alias;
            for (const Column& column : s.columns) {
                Token name;
                name.kind = TokenKind::Name;
                name.text = column.name;
                columns << ident(owner) + u'.' + ident(name);
            }
        }
        return columns.join(QStringLiteral(", "));
    }
};

}  // namespace

QString sqliteIdentifier(const Token& name) {
    const QByteArray utf8 = name.text.toUtf8();
    const bool plain = name.kind == TokenKind::Word && !name.text.contains(u'$') &&
                       sqlite3_keyword_check(utf8.constData(), static_cast<int>(utf8.size())) == 0;
    if (plain) return name.text;
    QString quoted = name.text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString quoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

void translateDataStatement(TokenCursor& cursor, const Catalog& catalog, Translation* out,
                            const ServerNames* server) {
    Translator(cursor, catalog, out, server).statement();
}

QString translateCriteriaTokens(TokenCursor& cursor, const std::vector<FieldInfo>& fields,
                                const ServerNames* server) {
    Translation unused;
    const Catalog none;
    Translator translator(cursor, none, &unused, server);
    if (server) translator.knowNames(fields);
    return translator.criteria(fields);
}

}  // namespace tv::engine::dialect
