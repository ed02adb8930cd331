// Declared types of engine columns, written and read back.
#include "engine/storage_types.h"

#include <QRegularExpression>

namespace tv::engine {

QString declaredType(const ColumnType& column) {
    QString base;
    switch (column.type) {
        case FieldType::Boolean:
            base = QStringLiteral("BIT INTEGER");
            break;
        case FieldType::Byte:
            base = QStringLiteral("BYTE INTEGER");
            break;
        case FieldType::Integer:
            base = QStringLiteral("SHORT INTEGER");
            break;
        case FieldType::Long:
            base = column.autoIncrement ? QStringLiteral("COUNTER INTEGER")
                                        : QStringLiteral("LONG INTEGER");
            break;
        case FieldType::Currency:
            base = QStringLiteral("CURRENCY REAL");
            break;
        case FieldType::Single:
            base = QStringLiteral("SINGLE REAL");
            break;
        case FieldType::Double:
            base = QStringLiteral("DOUBLE REAL");
            break;
        case FieldType::Date:
            base = QStringLiteral("DATETIME TEXT");
            break;
        case FieldType::Text:
            base = QStringLiteral("TEXT(%1)").arg(column.size > 0 ? column.size : 255);
            break;
        case FieldType::LongBinary:
            base = QStringLiteral("LONGBINARY BLOB");
            break;
        case FieldType::Memo:
            base = QStringLiteral("MEMO TEXT");
            break;
    }
    if (!column.allowZeroLength && isTextual(column.type))
        base.prepend(QStringLiteral("NOZEROLENGTH "));
    if (column.requiredFlag) base.prepend(QStringLiteral("REQUIRED "));
    return base;
}

ColumnType parseDeclaredType(const QString& declared) {
    static const QRegularExpression wordPattern(QStringLiteral("[A-Z_][A-Z0-9_]*|\\(\\s*\\d+"));
    const QString upper = declared.toUpper();
    ColumnType result;
    bool known = false;
    int size = 0;
    auto set = [&](FieldType type) {
        if (!known) result.type = type;
        known = true;
    };
    for (auto it = wordPattern.globalMatch(upper); it.hasNext();) {
        const QString word = it.next().captured();
        if (word.startsWith(u'(')) {
            size = word.mid(1).trimmed().toInt();
        } else if (word == QLatin1String("NOZEROLENGTH")) {
            result.allowZeroLength = false;
        } else if (word == QLatin1String("REQUIRED")) {
            result.requiredFlag = true;
        } else if (word == QLatin1String("COUNTER") || word == QLatin1String("AUTOINCREMENT")) {
            set(FieldType::Long);
            result.autoIncrement = true;
        } else if (word == QLatin1String("BIT") || word == QLatin1String("YESNO") ||
                   word == QLatin1String("BOOLEAN") || word == QLatin1String("LOGICAL")) {
            set(FieldType::Boolean);
        } else if (word == QLatin1String("BYTE") || word == QLatin1String("TINYINT")) {
            set(FieldType::Byte);
        } else if (word == QLatin1String("SHORT") || word == QLatin1String("SMALLINT")) {
            set(FieldType::Integer);
        } else if (word == QLatin1String("LONG")) {
            set(FieldType::Long);
        } else if (word == QLatin1String("CURRENCY") || word == QLatin1String("MONEY")) {
            set(FieldType::Currency);
        } else if (word == QLatin1String("SINGLE")) {
            set(FieldType::Single);
        } else if (word == QLatin1String("DOUBLE") || word == QLatin1String("FLOAT") ||
                   word == QLatin1String("NUMERIC") || word == QLatin1String("DECIMAL")) {
            set(FieldType::Double);
        } else if (word == QLatin1String("DATETIME") || word == QLatin1String("DATE") ||
                   word == QLatin1String("TIMESTAMP")) {
            set(FieldType::Date);
        } else if (word == QLatin1String("MEMO") || word == QLatin1String("LONGTEXT")) {
            set(FieldType::Memo);
        } else if (word == QLatin1String("LONGBINARY") || word == QLatin1String("BLOB")) {
            set(FieldType::LongBinary);
        } else if (word == QLatin1String("TEXT") || word.contains(QLatin1String("CHAR"))) {
            // TEXT(n) is a sized text; a bare TEXT from another tool holds any length.
            if (!known) result.type = FieldType::Memo;
            known = true;
        }
    }
    if (!known) {
        // SQLite's affinity rules, for columns this engine did not declare.
        if (upper.contains(QLatin1String("INT")))
            result.type = FieldType::Long;
        else if (upper.contains(QLatin1String("REAL")) || upper.contains(QLatin1String("DOUB")) ||
                 upper.contains(QLatin1String("FLOA")))
            result.type = FieldType::Double;
        else
            result.type = FieldType::Memo;
    }
    if (result.type == FieldType::Memo && size > 0) result.type = FieldType::Text;
    if (result.type == FieldType::Text) result.size = size > 0 ? size : 255;
    return result;
}

int fieldSize(FieldType type, int textSize) {
    switch (type) {
        case FieldType::Boolean:
        case FieldType::Byte:
            return 1;
        case FieldType::Integer:
            return 2;
        case FieldType::Long:
        case FieldType::Single:
            return 4;
        case FieldType::Currency:
        case FieldType::Double:
        case FieldType::Date:
            return 8;
        case FieldType::Text:
            return textSize;
        case FieldType::LongBinary:
        case FieldType::Memo:
            return 0;
    }
    return 0;
}

bool isTextual(FieldType type) { return type == FieldType::Text || type == FieldType::Memo; }

}  // namespace tv::engine
