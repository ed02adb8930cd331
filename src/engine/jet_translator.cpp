// The reader of Jet data statements and criteria. A recursive-descent walk over the
// tokens, one routine per level of Jet's operator precedence, that writes SQLite text as
// it goes. Each piece of output carries the SQLite precedence of its top operator so
// that parentheses are added exactly where SQLite would group differently from Jet
// (SQLite binds "||" tighter than "+", and "<" tighter than "="; Jet does neither).
//
// What differs between the dialects and how it is written:
//   [name]               "name"
//   'text' / "text"      'text' (through quoteLiteral)
//   #date#               'YYYY-MM-DD HH:MM:SS', the stored form of dates
//   True/Yes/On          -1   (False/No/Off 0), the stored form of Booleans
//   x = Null, x <> Null  x IS NULL, x IS NOT NULL
//   a & b                jet_concat(a, b): Null only when both are Null
//   a + 'text'           a || 'text'      (Jet's "+" joins texts)
//   a / b                CAST(a AS REAL) / b   (Jet's "/" never truncates)
//   a \ b, a Mod b, a^b  jet_intdiv, jet_mod, jet_pow
//   Like 'O*'            LIKE 'O%'; patterns LIKE cannot express go to jet_like()
//   TOP n                LIMIT n
//   DELETE * FROM t      DELETE FROM t
//   Basic functions      SQLite built-ins where they agree, else the jet_ functions
// Anything else that is not plain SQL shared by both dialects is refused.
#include "engine/jet_translator.h"

#include "core/convert.h"
#include "engine/jet_like.h"

#include <sqlite3.h>

#include <QRegularExpression>
#include <QSet>
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

struct Expr {
    enum class Kind { Other, Null, Text, Number, Real, Concat, Column };
    QString sql;
    int precedence = kPrimary;
    Kind kind = Kind::Other;
    bool textual = false;     // known to be a text (literal, concatenation, text function)
    QString literal;          // decoded value of a text literal
    QStringList concatParts;  // the arguments of a jet_concat() not yet closed
};

Expr plain(const QString& sql, int precedence = kPrimary, Expr::Kind kind = Expr::Kind::Other) {
    Expr e;
    e.sql = sql;
    e.precedence = precedence;
    e.kind = kind;
    return e;
}

QString wrap(const Expr& e, int minimum) {
    return e.precedence < minimum ? QStringLiteral("(") + e.sql + QStringLiteral(")") : e.sql;
}

// A binary node: the left operand may share the operator's level, the right may not
// (all of these operators group left to right in both dialects).
Expr binary(const Expr& left, const QString& op, const Expr& right, int precedence) {
    Expr e;
    e.sql = wrap(left, precedence) + u' ' + op + u' ' + wrap(right, precedence + 1);
    e.precedence = precedence;
    return e;
}

Expr call(const QString& function, const QStringList& args) {
    Expr e;
    e.sql = function + u'(' + args.join(QStringLiteral(", ")) + u')';
    return e;
}

Expr textLiteral(const QString& value) {
    Expr e;
    e.sql = quoteLiteral(value);
    e.kind = Expr::Kind::Text;
    e.textual = true;
    e.literal = value;
    return e;
}

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
struct FunctionSpec {
    const char* name;  // upper case, without a trailing '$'
    int minArgs;
    int maxArgs;
    enum Shape { Call, Aggregate, IIf, Nz, IsNull, Count } shape;
    const char* target;  // the SQLite function for Call and Aggregate
    bool textual;        // returns a text
};

const FunctionSpec kFunctions[] = {
    {"UCASE", 1, 1, FunctionSpec::Call, "jet_ucase", true},
    {"LCASE", 1, 1, FunctionSpec::Call, "jet_lcase", true},
    {"LEN", 1, 1, FunctionSpec::Call, "length", false},
    {"LEFT", 2, 2, FunctionSpec::Call, "jet_left", true},
    {"RIGHT", 2, 2, FunctionSpec::Call, "jet_right", true},
    {"MID", 2, 3, FunctionSpec::Call, "jet_mid", true},
    {"TRIM", 1, 1, FunctionSpec::Call, "trim", true},
    {"LTRIM", 1, 1, FunctionSpec::Call, "ltrim", true},
    {"RTRIM", 1, 1, FunctionSpec::Call, "rtrim", true},
    {"INSTR", 2, 4, FunctionSpec::Call, "jet_instr", false},
    {"NOW", 0, 0, FunctionSpec::Call, "jet_now", false},
    {"DATE", 0, 0, FunctionSpec::Call, "jet_date", false},
    {"TIME", 0, 0, FunctionSpec::Call, "jet_time", false},
    {"YEAR", 1, 1, FunctionSpec::Call, "jet_year", false},
    {"MONTH", 1, 1, FunctionSpec::Call, "jet_month", false},
    {"DAY", 1, 1, FunctionSpec::Call, "jet_day", false},
    {"HOUR", 1, 1, FunctionSpec::Call, "jet_hour", false},
    {"MINUTE", 1, 1, FunctionSpec::Call, "jet_minute", false},
    {"SECOND", 1, 1, FunctionSpec::Call, "jet_second", false},
    {"WEEKDAY", 1, 1, FunctionSpec::Call, "jet_weekday", false},
    {"DATEVALUE", 1, 1, FunctionSpec::Call, "jet_datevalue", false},
    {"TIMEVALUE", 1, 1, FunctionSpec::Call, "jet_timevalue", false},
    {"CDATE", 1, 1, FunctionSpec::Call, "jet_cdate", false},
    {"CSTR", 1, 1, FunctionSpec::Call, "jet_cstr", true},
    {"CLNG", 1, 1, FunctionSpec::Call, "jet_clng", false},
    {"CINT", 1, 1, FunctionSpec::Call, "jet_cint", false},
    {"CDBL", 1, 1, FunctionSpec::Call, "jet_cdbl", false},
    {"CSNG", 1, 1, FunctionSpec::Call, "jet_csng", false},
    {"CBOOL", 1, 1, FunctionSpec::Call, "jet_cbool", false},
    {"VAL", 1, 1, FunctionSpec::Call, "jet_val", false},
    {"FORMAT", 1, 2, FunctionSpec::Call, "jet_format", true},
    {"ABS", 1, 1, FunctionSpec::Call, "abs", false},
    {"INT", 1, 1, FunctionSpec::Call, "jet_int", false},
    {"FIX", 1, 1, FunctionSpec::Call, "jet_fix", false},
    {"ROUND", 1, 2, FunctionSpec::Call, "jet_round", false},
    {"IIF", 3, 3, FunctionSpec::IIf, nullptr, false},
    {"NZ", 1, 2, FunctionSpec::Nz, nullptr, false},
    {"ISNULL", 1, 1, FunctionSpec::IsNull, nullptr, false},
    {"COUNT", 1, 1, FunctionSpec::Count, "COUNT", false},
    {"SUM", 1, 1, FunctionSpec::Aggregate, "SUM", false},
    {"AVG", 1, 1, FunctionSpec::Aggregate, "AVG", false},
    {"MIN", 1, 1, FunctionSpec::Aggregate, "MIN", false},
    {"MAX", 1, 1, FunctionSpec::Aggregate, "MAX", false},
};

const FunctionSpec* findFunction(QString name) {
    if (name.endsWith(u'$')) name.chop(1);
    const QString upper = name.toUpper();
    for (const FunctionSpec& f : kFunctions) {
        if (upper == QLatin1String(f.name)) return &f;
    }
    return nullptr;
}

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
    Translator(TokenCursor& cursor, Translation* out) : c_(cursor), out_(out) {}

    void statement() {
        const Token& first = c_.peek();
        if (first.isWord("SELECT")) {
            out_->kind = StatementKind::Select;
            SelectShape shape;
            out_->sql = select(&shape);
            out_->singleTable = !shape.compound && !shape.distinct && !shape.grouped &&
                                !shape.aggregate && !shape.joined && shape.fromItems == 1 &&
                                !shape.firstTable.isEmpty();
            if (out_->singleTable) moveTableFirst(shape.firstTable);
            out_->fromSql = shape.fromSql;
            out_->whereSql = shape.whereSql;
            out_->orderBySql = shape.orderBySql;
            out_->orderByPosition = shape.orderByPosition;
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

    QString criteria() {
        if (c_.atEnd()) c_.fail(QStringLiteral("empty criteria"));
        const Expr e = expression();
        if (!c_.atEnd()) c_.fail(QStringLiteral("unexpected text after the criteria"));
        return e.sql;
    }

private:
    // ---- statements -------------------------------------------------------------

    QString select(SelectShape* shape) {
        QString sql;
        std::optional<QString> limit;
        bool first = true;
        do {
            if (!first) {
                shape->compound = true;
                sql += c_.acceptWord("ALL") ? QStringLiteral(" UNION ALL ")
                                            : QStringLiteral(" UNION ");
            }
            std::optional<QString> coreLimit;
            sql += selectCore(shape, &coreLimit);
            if (coreLimit) {
                if (!first || c_.peek().isWord("UNION"))
                    c_.fail(QStringLiteral("TOP in a UNION is not supported"));
                limit = coreLimit;
            }
            first = false;
        } while (c_.acceptWord("UNION"));

        if (c_.acceptWord("ORDER")) {
            c_.expectWord("BY");
            QStringList items;
            do {
                const Expr e = expression();
                if (e.kind == Expr::Kind::Number) shape->orderByPosition = true;
                QString item = e.sql;
                if (c_.acceptWord("DESC")) {
                    item += QStringLiteral(" DESC");
                } else if (c_.acceptWord("ASC")) {
                    item += QStringLiteral(" ASC");
                }
                items << item;
            } while (c_.acceptSymbol(","));
            shape->orderBySql = items.join(QStringLiteral(", "));
            sql += QStringLiteral(" ORDER BY ") + shape->orderBySql;
        }
        if (limit) sql += QStringLiteral(" LIMIT ") + *limit;
        return sql;
    }

    QString selectCore(SelectShape* shape, std::optional<QString>* limit) {
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

        const bool outerAggregate = sawAggregate_;
        sawAggregate_ = false;
        QStringList items;
        do {
            items << selectItem();
        } while (c_.acceptSymbol(","));
        sql += items.join(QStringLiteral(", "));
        if (sawAggregate_) shape->aggregate = true;
        sawAggregate_ = outerAggregate;

        if (c_.peek().isWord("INTO")) c_.fail(QStringLiteral("SELECT ... INTO is not supported"));
        if (c_.acceptWord("FROM")) {
            const QString from = fromList(shape);
            if (shape->fromSql.isEmpty()) shape->fromSql = from;
            sql += QStringLiteral(" FROM ") + from;
        }
        if (c_.acceptWord("WHERE")) {
            const QString where = expression().sql;
            if (shape->whereSql.isEmpty() && !shape->compound) shape->whereSql = where;
            sql += QStringLiteral(" WHERE ") + where;
        }
        if (c_.acceptWord("GROUP")) {
            c_.expectWord("BY");
            shape->grouped = true;
            sql += QStringLiteral(" GROUP BY ") + expressionList().join(QStringLiteral(", "));
        }
        if (c_.acceptWord("HAVING")) {
            shape->grouped = true;
            sql += QStringLiteral(" HAVING ") + expression().sql;
        }
        return sql;
    }

    QString selectItem() {
        const Token& t = c_.peek();
        if (t.isSymbol("*")) {
            c_.next();
            return QStringLiteral("*");
        }
        if ((t.kind == TokenKind::Word || t.kind == TokenKind::Name) && c_.peek(1).isSymbol(".") &&
            c_.peek(2).isSymbol("*")) {
            const Token table = c_.next();
            c_.next();
            c_.next();
            return sqliteIdentifier(table) + QStringLiteral(".*");
        }
        QString item = expression().sql;
        if (c_.acceptWord("AS")) item += QStringLiteral(" AS ") + nameToken("a column alias");
        return item;
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
            sql += u' ' + join + u' ' + right + QStringLiteral(" ON ") + expression().sql;
        }
    }

    QString fromItem(SelectShape* shape) {
        if (c_.acceptSymbol("(")) {
            QString sql;
            if (c_.peek().isWord("SELECT")) {
                ++shape->fromItems;
                shape->firstTable.clear();
                SelectShape inner;
                sql = QStringLiteral("(") + select(&inner) + QStringLiteral(")");
                c_.expectSymbol(")");
                c_.acceptWord("AS");
                if (c_.peek().kind == TokenKind::Word || c_.peek().kind == TokenKind::Name) {
                    if (!isReserved(c_.peek())) sql += u' ' + nameToken("an alias");
                }
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
        QString sql = sqliteIdentifier(table);
        const bool as = c_.acceptWord("AS");
        const Token& alias = c_.peek();
        if ((alias.kind == TokenKind::Word && !isReserved(alias)) ||
            alias.kind == TokenKind::Name) {
            sql += u' ' + nameToken("an alias");
        } else if (as) {
            c_.fail(QStringLiteral("expected an alias"));
        }
        return sql;
    }

    void insert() {
        c_.expectWord("INSERT");
        c_.expectWord("INTO");
        out_->kind = StatementKind::Insert;
        const Token table = tableToken();
        addTable(table.text);
        QString sql = QStringLiteral("INSERT INTO ") + sqliteIdentifier(table);
        int columnCount = -1;
        if (c_.acceptSymbol("(")) {
            QStringList columns;
            do {
                columns << nameToken("a column name");
            } while (c_.acceptSymbol(","));
            c_.expectSymbol(")");
            columnCount = static_cast<int>(columns.size());
            sql += QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + u')';
        }
        if (c_.acceptWord("VALUES")) {
            c_.expectSymbol("(");
            const QStringList values = expressionList();
            c_.expectSymbol(")");
            if (columnCount >= 0 && columnCount != values.size())
                c_.fail(
                    QStringLiteral("%1 columns but %2 values").arg(columnCount).arg(values.size()));
            sql += QStringLiteral(" VALUES (") + values.join(QStringLiteral(", ")) + u')';
        } else if (c_.peek().isWord("SELECT")) {
            SelectShape shape;
            sql += u' ' + select(&shape);
        } else {
            c_.fail(QStringLiteral("expected VALUES or SELECT"));
        }
        out_->sql = sql;
    }

    void update() {
        c_.expectWord("UPDATE");
        out_->kind = StatementKind::Update;
        const Token table = tableToken();
        addTable(table.text);
        QString alias;
        const bool as = c_.acceptWord("AS");
        const Token& next = c_.peek();
        if (as || next.kind == TokenKind::Name ||
            (next.kind == TokenKind::Word && !isReserved(next)))
            alias = c_.expectName("an alias");
        if (c_.peek().isWord("INNER") || c_.peek().isWord("LEFT") || c_.peek().isWord("RIGHT") ||
            c_.peek().isSymbol(","))
            c_.fail(QStringLiteral("UPDATE over more than one table is not supported"));
        c_.expectWord("SET");
        QStringList assignments;
        do {
            const QString column = columnOf(table.text, alias);
            c_.expectSymbol("=");
            assignments << column + QStringLiteral(" = ") + expression().sql;
        } while (c_.acceptSymbol(","));
        QString sql = QStringLiteral("UPDATE ") + sqliteIdentifier(table) +
                      QStringLiteral(" SET ") + assignments.join(QStringLiteral(", "));
        if (c_.acceptWord("WHERE")) sql += QStringLiteral(" WHERE ") + expression().sql;
        out_->sql = sql;
    }

    // The target of a SET: a column, optionally qualified by the updated table's name.
    QString columnOf(const QString& table, const QString& alias) {
        const Token first = tableToken();
        if (!c_.acceptSymbol(".")) return sqliteIdentifier(first);
        if (first.text.compare(table, Qt::CaseInsensitive) != 0 &&
            first.text.compare(alias, Qt::CaseInsensitive) != 0)
            c_.fail(QStringLiteral("SET may only name columns of %1").arg(table));
        return nameToken("a column name");
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
        QString sql = QStringLiteral("DELETE FROM ") + sqliteIdentifier(table);
        if (c_.acceptWord("WHERE")) sql += QStringLiteral(" WHERE ") + expression().sql;
        out_->sql = sql;
    }

    // ---- expressions, loosest first ----------------------------------------------

    Expr expression() {
        Expr left = andLevel();
        while (true) {
            if (c_.peek().isWord("XOR") || c_.peek().isWord("EQV") || c_.peek().isWord("IMP"))
                c_.fail(QStringLiteral("operator %1 is not supported").arg(c_.peek().text));
            if (!c_.acceptWord("OR")) return left;
            left = binary(left, QStringLiteral("OR"), andLevel(), kOr);
        }
    }

    Expr andLevel() {
        Expr left = notLevel();
        while (c_.acceptWord("AND")) left = binary(left, QStringLiteral("AND"), notLevel(), kAnd);
        return left;
    }

    Expr notLevel() {
        if (!c_.acceptWord("NOT")) return comparison();
        Expr e;
        e.sql = QStringLiteral("NOT ") + wrap(notLevel(), kNot);
        e.precedence = kNot;
        return e;
    }

    Expr comparison() {
        Expr left = concatenation();
        while (true) {
            const Token& t = c_.peek();
            if (t.kind == TokenKind::Symbol &&
                (t.text == u"=" || t.text == u"<>" || t.text == u"!=" || t.text == u"<" ||
                 t.text == u">" || t.text == u"<=" || t.text == u">=")) {
                const QString op = c_.next().text == u"!=" ? QStringLiteral("<>") : t.text;
                left = compare(left, op, concatenation());
                continue;
            }
            if (c_.acceptWord("IS")) {
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
            if (c_.acceptWord("LIKE")) {
                left = like(left, concatenation(), negated);
            } else if (c_.acceptWord("BETWEEN")) {
                const Expr low = concatenation();
                c_.expectWord("AND");
                const Expr high = concatenation();
                Expr e;
                e.sql = wrap(left, kEquality) +
                        (negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ")) +
                        wrap(low, kRelational) + QStringLiteral(" AND ") + wrap(high, kRelational);
                e.precedence = kEquality;
                left = e;
            } else if (c_.acceptWord("IN")) {
                Expr e;
                e.sql = wrap(left, kEquality) +
                        (negated ? QStringLiteral(" NOT IN ") : QStringLiteral(" IN ")) +
                        parenthesisedListOrSelect();
                e.precedence = kEquality;
                left = e;
            } else {
                return left;
            }
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
        const bool equality = op == u"=" || op == u"<>";
        const int precedence = equality ? kEquality : kRelational;
        // Columns compare texts ignoring case through their NOCASE collation; two computed
        // texts (UCase(x) = 'A', Left(x, 2) = 'ab') need to be told.
        if ((left.textual || right.textual) && left.kind != Expr::Kind::Column &&
            right.kind != Expr::Kind::Column) {
            Expr e;
            e.sql = wrap(left, precedence) + u' ' + op + u' ' + wrap(right, kPrimary) +
                    QStringLiteral(" COLLATE NOCASE");
            e.precedence = precedence;
            return e;
        }
        return binary(left, op, right, precedence);
    }

    static Expr isNull(const Expr& operand, bool negated) {
        Expr e;
        e.sql = wrap(operand, kEquality + 1) +
                (negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
        e.precedence = kEquality;
        return e;
    }

    Expr like(const Expr& value, const Expr& pattern, bool negated) {
        Expr e;
        e.precedence = kEquality;
        if (pattern.kind == Expr::Kind::Text) {
            if (!isValidJetPattern(pattern.literal))
                c_.fail(QStringLiteral("malformed Like pattern %1").arg(pattern.sql));
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

    Expr concatenation() {
        Expr left = additive();
        while (c_.acceptSymbol("&")) {
            const Expr right = additive();
            Expr e;
            e.kind = Expr::Kind::Concat;
            e.textual = true;
            e.concatParts =
                left.kind == Expr::Kind::Concat ? left.concatParts : QStringList{left.sql};
            e.concatParts << right.sql;
            e.sql = QStringLiteral("jet_concat(") + e.concatParts.join(QStringLiteral(", ")) + u')';
            left = e;
        }
        return left;
    }

    Expr additive() {
        Expr left = modulo();
        while (true) {
            if (c_.acceptSymbol("+")) {
                const Expr right = modulo();
                // Jet's "+" joins two texts (and gives Null when either is Null, as || does).
                if (left.textual || right.textual) {
                    left = binary(left, QStringLiteral("||"), right, kConcat);
                    left.textual = true;
                } else {
                    left = binary(left, QStringLiteral("+"), right, kAdditive);
                }
            } else if (c_.acceptSymbol("-")) {
                left = binary(left, QStringLiteral("-"), modulo(), kAdditive);
            } else {
                return left;
            }
        }
    }

    Expr modulo() {
        Expr left = integerDivision();
        while (c_.acceptWord("MOD"))
            left = call(QStringLiteral("jet_mod"), {left.sql, integerDivision().sql});
        return left;
    }

    Expr integerDivision() {
        Expr left = multiplicative();
        while (c_.acceptSymbol("\\"))
            left = call(QStringLiteral("jet_intdiv"), {left.sql, multiplicative().sql});
        return left;
    }

    Expr multiplicative() {
        Expr left = unary();
        while (true) {
            if (c_.acceptSymbol("*")) {
                left = binary(left, QStringLiteral("*"), unary(), kMultiplicative);
            } else if (c_.acceptSymbol("/")) {
                // SQLite divides two integers as integers; Jet's "/" never does.
                Expr dividend = left;
                if (left.kind != Expr::Kind::Real) {
                    dividend.sql = QStringLiteral("CAST(") + left.sql + QStringLiteral(" AS REAL)");
                    dividend.precedence = kPrimary;
                }
                left = binary(dividend, QStringLiteral("/"), unary(), kMultiplicative);
                left.kind = Expr::Kind::Real;
            } else {
                return left;
            }
        }
    }

    Expr unary() {
        if (c_.acceptSymbol("-")) return negate(unary());
        if (c_.acceptSymbol("+")) return unary();
        return power();
    }

    static Expr negate(const Expr& operand) {
        Expr e;
        // "- -1" must not become "--1", which SQLite reads as a comment.
        const bool tight = operand.precedence >= kUnary && !operand.sql.startsWith(u'-');
        e.sql = QStringLiteral("-") + (tight ? operand.sql : u'(' + operand.sql + u')');
        e.precedence = kUnary;
        e.kind = operand.kind == Expr::Kind::Real ? Expr::Kind::Real : Expr::Kind::Other;
        return e;
    }

    Expr power() {
        Expr base = primary();
        while (c_.acceptSymbol("^")) {
            Expr exponent;
            if (c_.acceptSymbol("-")) {
                exponent = negate(primary());
            } else {
                c_.acceptSymbol("+");
                exponent = primary();
            }
            base = call(QStringLiteral("jet_pow"), {base.sql, exponent.sql});
        }
        return base;
    }

    Expr primary() {
        const Token& t = c_.peek();
        switch (t.kind) {
            case TokenKind::Number: {
                Expr e;
                e.sql = c_.next().text;
                const bool real =
                    e.sql.contains(u'.') || e.sql.contains(u'e') || e.sql.contains(u'E');
                e.kind = real ? Expr::Kind::Real : Expr::Kind::Number;
                return e;
            }
            case TokenKind::String:
                return textLiteral(c_.next().text);
            case TokenKind::Date: {
                DateTime date;
                if (!readDateLiteral(t.text, &date))
                    c_.fail(QStringLiteral("#%1# is not a date").arg(t.text));
                c_.next();
                Expr e;
                e.sql = quoteLiteral(toIsoText(date));
                return e;
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
        if (c_.acceptWord("NULL")) {
            Expr e;
            e.sql = QStringLiteral("NULL");
            e.kind = Expr::Kind::Null;
            return e;
        }
        for (const char* word : {"TRUE", "YES", "ON"}) {
            if (c_.acceptWord(word)) return plain(QStringLiteral("-1"), kUnary, Expr::Kind::Number);
        }
        for (const char* word : {"FALSE", "NO", "OFF"}) {
            if (c_.acceptWord(word))
                return plain(QStringLiteral("0"), kPrimary, Expr::Kind::Number);
        }
        if (c_.acceptWord("EXISTS")) {
            if (!c_.peek().isSymbol("(") || !c_.peek(1).isWord("SELECT"))
                c_.fail(QStringLiteral("EXISTS needs a subquery"));
            Expr e;
            e.sql = QStringLiteral("EXISTS ") + parenthesisedListOrSelect();
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
            Expr e;
            e.sql = QStringLiteral("(") + select(&inner) + QStringLiteral(")");
            c_.expectSymbol(")");
            return e;
        }
        Expr inner = expression();
        c_.expectSymbol(")");
        Expr e = inner;
        e.sql = QStringLiteral("(") + inner.sql + QStringLiteral(")");
        e.precedence = kPrimary;
        if (e.kind == Expr::Kind::Concat) e.kind = Expr::Kind::Other;
        return e;
    }

    // "(a, b, c)" or "(SELECT ...)" after IN and EXISTS.
    QString parenthesisedListOrSelect() {
        c_.expectSymbol("(");
        QString sql;
        if (c_.peek().isWord("SELECT")) {
            SelectShape inner;
            sql = select(&inner);
        } else {
            sql = expressionList().join(QStringLiteral(", "));
        }
        c_.expectSymbol(")");
        return u'(' + sql + u')';
    }

    QStringList expressionList() {
        QStringList items;
        do {
            items << expression().sql;
        } while (c_.acceptSymbol(","));
        return items;
    }

    Expr functionCall() {
        const Token name = c_.next();
        const FunctionSpec* f = findFunction(name.text);
        if (!f) c_.fail(QStringLiteral("unknown function %1").arg(name.text));
        c_.expectSymbol("(");
        std::vector<Expr> args;
        if (f->shape == FunctionSpec::Count && c_.peek().isSymbol("*")) {
            c_.next();
            args.push_back(plain(QStringLiteral("*")));
        } else if (!c_.peek().isSymbol(")")) {
            do {
                args.push_back(expression());
            } while (c_.acceptSymbol(","));
        }
        c_.expectSymbol(")");
        const int n = static_cast<int>(args.size());
        if (n < f->minArgs || n > f->maxArgs)
            c_.fail(QStringLiteral("wrong number of arguments to %1").arg(name.text));
        QStringList sql;
        for (const Expr& a : args) sql << a.sql;

        Expr e;
        switch (f->shape) {
            case FunctionSpec::Call:
                e = call(QLatin1String(f->target), sql);
                e.textual = f->textual;
                return e;
            case FunctionSpec::Aggregate:
            case FunctionSpec::Count:
                sawAggregate_ = true;
                return call(QLatin1String(f->target), sql);
            case FunctionSpec::IIf:
                e.sql =
                    QStringLiteral("CASE WHEN %1 THEN %2 ELSE %3 END").arg(sql[0], sql[1], sql[2]);
                e.textual = args[1].textual && args[2].textual;
                return e;
            case FunctionSpec::Nz:
                // Without a second argument Nz gives a zero-length text inside a query.
                e = call(QStringLiteral("IFNULL"),
                         {sql[0], n == 2 ? sql[1] : quoteLiteral(QString())});
                e.textual = n == 1 || (args[0].textual && args[1].textual);
                return e;
            case FunctionSpec::IsNull:
                // Jet's True is -1.
                e.sql = QStringLiteral("-(") + isNull(args[0], false).sql + u')';
                e.precedence = kUnary;
                return e;
        }
        return e;
    }

    Expr columnReference() {
        QString sql = sqliteIdentifier(c_.next());
        if (c_.acceptSymbol(".")) sql += u'.' + nameToken("a column name");
        return plain(sql, kPrimary, Expr::Kind::Column);
    }

    // ---- names --------------------------------------------------------------------

    Token tableToken() {
        const Token& t = c_.peek();
        if (t.kind != TokenKind::Name && (t.kind != TokenKind::Word || isReserved(t)))
            c_.fail(QStringLiteral("expected a name"));
        return c_.next();
    }

    QString nameToken(const char* what) {
        const Token& t = c_.peek();
        if (t.kind != TokenKind::Name && (t.kind != TokenKind::Word || isReserved(t)))
            c_.fail(QStringLiteral("expected %1").arg(QLatin1String(what)));
        return sqliteIdentifier(c_.next());
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
    Translation* out_;
    bool sawAggregate_ = false;
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

void translateDataStatement(TokenCursor& cursor, Translation* out) {
    Translator(cursor, out).statement();
}

QString translateCriteriaTokens(TokenCursor& cursor) {
    Translation unused;
    return Translator(cursor, &unused).criteria();
}

}  // namespace tv::engine::dialect
