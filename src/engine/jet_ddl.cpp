// The reader of Jet data-definition statements: CREATE TABLE with Jet's type names and
// column modifiers, primary-key and unique constraints, CREATE [UNIQUE] INDEX, DROP
// TABLE, DROP INDEX ... ON, and ALTER TABLE ADD/DROP [COLUMN]. The result is a
// description (columns, indexes, names) that the engine turns into its own schema.
// Everything else Jet DDL can say (defaults, foreign keys, CHECK) is refused, so a
// schema file never loses a rule without a word.
#include "engine/jet_ddl.h"

namespace tv::engine::dialect {

namespace {

struct TypeName {
    const char* name;
    FieldType type;
    bool sized;  // takes "(n)": texts
    bool counter;
};

const TypeName kTypes[] = {
    {"BIT", FieldType::Boolean, false, false},
    {"YESNO", FieldType::Boolean, false, false},
    {"LOGICAL", FieldType::Boolean, false, false},
    {"LOGICAL1", FieldType::Boolean, false, false},
    {"BOOLEAN", FieldType::Boolean, false, false},
    {"BYTE", FieldType::Byte, false, false},
    {"INTEGER1", FieldType::Byte, false, false},
    {"TINYINT", FieldType::Byte, false, false},
    {"SHORT", FieldType::Integer, false, false},
    {"SMALLINT", FieldType::Integer, false, false},
    {"INTEGER2", FieldType::Integer, false, false},
    {"LONG", FieldType::Long, false, false},
    {"INT", FieldType::Long, false, false},
    {"INTEGER", FieldType::Long, false, false},
    {"INTEGER4", FieldType::Long, false, false},
    {"COUNTER", FieldType::Long, false, true},
    {"AUTOINCREMENT", FieldType::Long, false, true},
    {"CURRENCY", FieldType::Currency, false, false},
    {"MONEY", FieldType::Currency, false, false},
    {"SINGLE", FieldType::Single, false, false},
    {"REAL", FieldType::Single, false, false},
    {"FLOAT4", FieldType::Single, false, false},
    {"IEEESINGLE", FieldType::Single, false, false},
    {"DOUBLE", FieldType::Double, false, false},
    {"FLOAT", FieldType::Double, false, false},
    {"FLOAT8", FieldType::Double, false, false},
    {"NUMBER", FieldType::Double, false, false},
    {"IEEEDOUBLE", FieldType::Double, false, false},
    {"DATETIME", FieldType::Date, false, false},
    {"DATE", FieldType::Date, false, false},
    {"TIME", FieldType::Date, false, false},
    {"TIMESTAMP", FieldType::Date, false, false},
    {"TEXT", FieldType::Text, true, false},
    {"CHAR", FieldType::Text, true, false},
    {"VARCHAR", FieldType::Text, true, false},
    {"CHARACTER", FieldType::Text, true, false},
    {"ALPHANUMERIC", FieldType::Text, true, false},
    {"STRING", FieldType::Text, true, false},
    {"MEMO", FieldType::Memo, false, false},
    {"LONGTEXT", FieldType::Memo, false, false},
    {"LONGCHAR", FieldType::Memo, false, false},
    {"NOTE", FieldType::Memo, false, false},
    {"LONGBINARY", FieldType::LongBinary, false, false},
    {"OLEOBJECT", FieldType::LongBinary, false, false},
    {"BINARY", FieldType::LongBinary, false, false},
    {"GENERAL", FieldType::LongBinary, false, false},
    {"IMAGE", FieldType::LongBinary, false, false},
};

constexpr int kDefaultTextSize = 255;
constexpr int kMaximumTextSize = 255;

const QString kPrimaryKeyName = QStringLiteral("PrimaryKey");

class DefinitionReader {
public:
    DefinitionReader(TokenCursor& cursor, Translation* out) : c_(cursor), out_(out) {}

    void statement() {
        if (c_.acceptWord("CREATE")) {
            if (c_.acceptWord("TABLE")) return createTable();
            const bool unique = c_.acceptWord("UNIQUE");
            if (c_.acceptWord("INDEX")) return createIndex(unique);
            c_.fail(QStringLiteral("expected TABLE or INDEX after CREATE"));
        }
        if (c_.acceptWord("DROP")) {
            if (c_.acceptWord("TABLE")) {
                out_->kind = StatementKind::DropTable;
                setTable(c_.expectName("a table name"));
                out_->dropName = out_->table;
                return;
            }
            if (c_.acceptWord("INDEX")) {
                out_->kind = StatementKind::DropIndex;
                out_->dropName = c_.expectName("an index name");
                c_.expectWord("ON");
                setTable(c_.expectName("a table name"));
                return;
            }
            c_.fail(QStringLiteral("expected TABLE or INDEX after DROP"));
        }
        c_.expectWord("ALTER");
        c_.expectWord("TABLE");
        setTable(c_.expectName("a table name"));
        if (c_.acceptWord("ADD")) {
            if (c_.peek().isWord("CONSTRAINT"))
                c_.fail(QStringLiteral(
                    "ALTER TABLE ADD CONSTRAINT is not supported; use CREATE INDEX"));
            c_.acceptWord("COLUMN");
            out_->kind = StatementKind::AlterTableAdd;
            columnDefinition();
            return;
        }
        if (c_.acceptWord("DROP")) {
            if (c_.peek().isWord("CONSTRAINT"))
                c_.fail(
                    QStringLiteral("ALTER TABLE DROP CONSTRAINT is not supported; use DROP INDEX"));
            c_.acceptWord("COLUMN");
            out_->kind = StatementKind::AlterTableDrop;
            out_->dropName = c_.expectName("a column name");
            return;
        }
        c_.fail(QStringLiteral("expected ADD or DROP after ALTER TABLE"));
    }

private:
    void setTable(const QString& name) {
        out_->table = name;
        out_->tables = QStringList{name};
    }

    void createTable() {
        out_->kind = StatementKind::CreateTable;
        setTable(c_.expectName("a table name"));
        c_.expectSymbol("(");
        do {
            if (c_.peek().isWord("CONSTRAINT") || c_.peek().isWord("PRIMARY") ||
                c_.peek().isWord("UNIQUE") || c_.peek().isWord("FOREIGN")) {
                tableConstraint();
            } else {
                columnDefinition();
            }
        } while (c_.acceptSymbol(","));
        c_.expectSymbol(")");
        if (out_->columns.empty()) c_.fail(QStringLiteral("a table needs at least one column"));
        for (const IndexDef& index : out_->indexes) {
            for (const QString& column : index.columns) {
                if (!hasColumn(column))
                    c_.fail(QStringLiteral("index %1 names the unknown column %2")
                                .arg(index.name, column));
            }
        }
    }

    void columnDefinition() {
        ColumnDef column;
        column.name = c_.expectName("a column name");
        if (hasColumn(column.name))
            c_.fail(QStringLiteral("column %1 given twice").arg(column.name));
        readType(&column);
        while (true) {
            if (c_.acceptWord("NOT")) {
                c_.expectWord("NULL");
                column.required = true;
            } else if (c_.acceptWord("NULL")) {
                column.required = false;
            } else if (c_.acceptWord("NOZEROLENGTH")) {
                column.allowZeroLength = false;
            } else if (c_.acceptWord("ALLOWZEROLENGTH")) {
                column.allowZeroLength = true;
            } else if (c_.peek().isWord("CONSTRAINT") || c_.peek().isWord("PRIMARY") ||
                       c_.peek().isWord("UNIQUE")) {
                QString name;
                if (c_.acceptWord("CONSTRAINT")) name = c_.expectName("a constraint name");
                addKey(name, QStringList{column.name}, readKeyKind());
            } else if (c_.peek().kind == TokenKind::Word) {
                const Token& t = c_.peek();
                if (t.isWord("REFERENCES") || t.isWord("DEFAULT") || t.isWord("CHECK") ||
                    t.isWord("WITH"))
                    c_.fail(QStringLiteral("%1 is not supported").arg(t.text.toUpper()));
                c_.fail(QStringLiteral("unknown column modifier %1").arg(t.text));
            } else {
                break;
            }
        }
        out_->columns.push_back(column);
    }

    void readType(ColumnDef* column) {
        const Token& t = c_.peek();
        if (t.kind != TokenKind::Word) c_.fail(QStringLiteral("expected a type name"));
        const QString upper = t.text.toUpper();
        const TypeName* type = nullptr;
        for (const TypeName& candidate : kTypes) {
            if (upper == QLatin1String(candidate.name)) type = &candidate;
        }
        if (!type) c_.fail(QStringLiteral("unknown type %1").arg(t.text));
        c_.next();
        column->type = type->type;
        column->autoIncrement = type->counter;
        if (type->type == FieldType::Text) column->size = kDefaultTextSize;
        if (type->sized && c_.acceptSymbol("(")) {
            const int size = wholeNumber();
            if (size < 1 || size > kMaximumTextSize)
                c_.fail(QStringLiteral("a text size must be 1 to %1").arg(kMaximumTextSize));
            column->size = size;
            c_.expectSymbol(")");
        } else if (type->counter && c_.acceptSymbol("(")) {
            // COUNTER(seed, increment): only the usual numbering from 1 by 1 is kept.
            const int seed = wholeNumber();
            c_.expectSymbol(",");
            const int step = wholeNumber();
            if (seed != 1 || step != 1) c_.fail(QStringLiteral("only COUNTER(1, 1) is supported"));
            c_.expectSymbol(")");
        }
    }

    int wholeNumber() {
        const Token& t = c_.peek();
        bool ok = false;
        const int value = t.kind == TokenKind::Number ? t.text.toInt(&ok) : 0;
        if (!ok) c_.fail(QStringLiteral("expected a whole number"));
        c_.next();
        return value;
    }

    enum class KeyKind { Primary, Unique };

    KeyKind readKeyKind() {
        if (c_.acceptWord("PRIMARY")) {
            c_.expectWord("KEY");
            return KeyKind::Primary;
        }
        if (c_.acceptWord("UNIQUE")) return KeyKind::Unique;
        if (c_.peek().isWord("FOREIGN") || c_.peek().isWord("REFERENCES"))
            c_.fail(QStringLiteral("foreign keys are not supported"));
        c_.fail(QStringLiteral("expected PRIMARY KEY or UNIQUE"));
    }

    void tableConstraint() {
        QString name;
        if (c_.acceptWord("CONSTRAINT")) name = c_.expectName("a constraint name");
        const KeyKind kind = readKeyKind();
        c_.expectSymbol("(");
        QStringList columns;
        do {
            columns << c_.expectName("a column name");
        } while (c_.acceptSymbol(","));
        c_.expectSymbol(")");
        addKey(name, columns, kind);
    }

    void addKey(QString name, const QStringList& columns, KeyKind kind) {
        IndexDef index;
        index.primary = kind == KeyKind::Primary;
        index.unique = true;
        if (name.isEmpty()) name = index.primary ? kPrimaryKeyName : columns.join(u'_');
        if (index.primary) {
            for (const IndexDef& other : out_->indexes) {
                if (other.primary) c_.fail(QStringLiteral("a table has one primary key"));
            }
        }
        for (const IndexDef& other : out_->indexes) {
            if (other.name.compare(name, Qt::CaseInsensitive) == 0)
                c_.fail(QStringLiteral("index %1 given twice").arg(name));
        }
        index.name = name;
        index.columns = columns;
        index.descending.assign(static_cast<size_t>(columns.size()), false);
        out_->indexes.push_back(index);
    }

    void createIndex(bool unique) {
        out_->kind = StatementKind::CreateIndex;
        IndexDef index;
        index.name = c_.expectName("an index name");
        index.unique = unique;
        c_.expectWord("ON");
        setTable(c_.expectName("a table name"));
        c_.expectSymbol("(");
        do {
            index.columns << c_.expectName("a column name");
            bool descending = false;
            if (c_.acceptWord("DESC")) {
                descending = true;
            } else {
                c_.acceptWord("ASC");
            }
            index.descending.push_back(descending);
        } while (c_.acceptSymbol(","));
        c_.expectSymbol(")");
        if (c_.acceptWord("WITH")) {
            if (!c_.acceptWord("PRIMARY"))
                c_.fail(QStringLiteral("only WITH PRIMARY is supported"));
            index.primary = true;
            index.unique = true;
        }
        out_->indexes.push_back(index);
    }

    bool hasColumn(const QString& name) const {
        for (const ColumnDef& column : out_->columns) {
            if (column.name.compare(name, Qt::CaseInsensitive) == 0) return true;
        }
        return false;
    }

    TokenCursor& c_;
    Translation* out_;
};

}  // namespace

bool isDefinitionStatement(const Token& first) {
    return first.isWord("CREATE") || first.isWord("DROP") || first.isWord("ALTER");
}

void translateDefinitionStatement(TokenCursor& cursor, Translation* out) {
    DefinitionReader(cursor, out).statement();
}

}  // namespace tv::engine::dialect
