// Copying tables between databases through the dialect's own statements.
#include "engine/database_copy.h"

#include "engine/bulk_insert.h"

#include <vector>

namespace tv::engine {

namespace {

QString typeText(const Field& field) {
    switch (field.Type()) {
        case FieldType::Boolean:
            return QStringLiteral("BIT");
        case FieldType::Byte:
            return QStringLiteral("BYTE");
        case FieldType::Integer:
            return QStringLiteral("SHORT");
        case FieldType::Long:
            return field.AutoIncrement() ? QStringLiteral("COUNTER") : QStringLiteral("LONG");
        case FieldType::Currency:
            return QStringLiteral("CURRENCY");
        case FieldType::Single:
            return QStringLiteral("SINGLE");
        case FieldType::Double:
            return QStringLiteral("DOUBLE");
        case FieldType::Date:
            return QStringLiteral("DATETIME");
        case FieldType::Text:
            return QStringLiteral("TEXT(%1)").arg(field.Size());
        case FieldType::LongBinary:
            return QStringLiteral("LONGBINARY");
        case FieldType::Memo:
            return QStringLiteral("MEMO");
    }
    return QStringLiteral("MEMO");
}

// The table as the dialect's CREATE TABLE and CREATE INDEX statements.
QStringList definitionOf(const TableDef& def) {
    QStringList columns;
    for (const Field& field : def.Fields()) {
        QString column = bracketName(field.Name()) + u' ' + typeText(field);
        if (field.Required() && !field.AutoIncrement()) column += QStringLiteral(" NOT NULL");
        const bool textual = field.Type() == FieldType::Text ||
                             field.Type() == FieldType::Memo;
        if (textual && !field.AllowZeroLength()) column += QStringLiteral(" NOZEROLENGTH");
        columns << column;
    }
    QStringList statements;
    QStringList indexes;
    for (const Index& index : def.Indexes()) {
        QStringList keys;
        const QStringList names = index.FieldNames();
        const std::vector<bool> descending = index.Descending();
        for (qsizetype i = 0; i < names.size(); ++i) {
            keys << bracketName(names[i]);
            // The primary key's constraint takes no directions; other indexes keep theirs.
            if (!index.Primary() && descending[static_cast<size_t>(i)])
                keys.back() += QStringLiteral(" DESC");
        }
        if (index.Primary()) {
            columns << QStringLiteral("CONSTRAINT PrimaryKey PRIMARY KEY (%1)")
                           .arg(keys.join(QStringLiteral(", ")));
        } else {
            indexes << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                           .arg(index.Unique() ? QStringLiteral("UNIQUE ") : QString(),
                                bracketName(index.Name()), bracketName(def.Name()),
                                keys.join(QStringLiteral(", ")));
        }
    }
    statements << QStringLiteral("CREATE TABLE %1 (%2)")
                      .arg(bracketName(def.Name()), columns.join(QStringLiteral(", ")));
    return statements + indexes;
}

// The rows go in through one prepared INSERT with their values bound, auto-numbers as
// they were (other tables refer to them), all under one transaction.
long copyRows(Database& from, Database& to, const TableDef& def) {
    Recordset source = from.OpenRecordset(def.Name(), RecordsetType::Table);
    QStringList names;
    for (const Field& field : def.Fields()) names << field.Name();
    const int columns = source.FieldCount();
    std::vector<tv::Variant> values(static_cast<size_t>(columns));
    long rows = 0;
    to.BeginTrans();
    try {
        BulkInsert target(to, def.Name(), names, true);
        for (; !source.EOF_(); source.MoveNext()) {
            for (int i = 0; i < columns; ++i) values[static_cast<size_t>(i)] = source[i];
            target.add(values);
            ++rows;
        }
        to.CommitTrans();
    } catch (...) {
        to.Rollback();
        throw;
    }
    return rows;
}

}  // namespace

void CopyDatabase(Database& from, Database& to,
                  const std::function<void(const QString& table, long rows)>& copied) {
    for (const TableDef& def : from.TableDefs()) {
        for (const QString& statement : definitionOf(def)) to.Execute(statement);
        const long rows = copyRows(from, to, def);
        if (copied) copied(def.Name(), rows);
    }
}

}  // namespace tv::engine
