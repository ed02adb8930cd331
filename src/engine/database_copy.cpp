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

// The table as the dialect's statements: its CREATE TABLE (with the primary key) first,
// then its other indexes, made after the rows (an index built from the finished table is
// a sort, where keeping it up to date is an insertion per row).
struct Definition {
    QStringList table;
    QStringList indexes;
};

Definition definitionOf(const TableDef& def) {
    QStringList columns;
    for (const Field& field : def.Fields()) {
        QString column = bracketName(field.Name()) + u' ' + typeText(field);
        if (field.Required() && !field.AutoIncrement()) column += QStringLiteral(" NOT NULL");
        const bool textual = field.Type() == FieldType::Text ||
                             field.Type() == FieldType::Memo;
        if (textual && !field.AllowZeroLength()) column += QStringLiteral(" NOZEROLENGTH");
        columns << column;
    }
    Definition made;
    for (const Index& index : def.Indexes()) {
        QStringList keys;
        bool anyDescending = false;
        const QStringList names = index.FieldNames();
        const std::vector<bool> descending = index.Descending();
        for (qsizetype i = 0; i < names.size(); ++i) {
            keys << bracketName(names[i]);
            if (descending[static_cast<size_t>(i)]) {
                keys.back() += QStringLiteral(" DESC");
                anyDescending = true;
            }
        }
        const QString keyList = keys.join(QStringLiteral(", "));
        if (index.Primary() && !anyDescending) {
            columns << QStringLiteral("CONSTRAINT PrimaryKey PRIMARY KEY (%1)").arg(keyList);
            continue;
        }
        // A primary key constraint takes no directions: one with a descending column is
        // the primary index made as an index, before the rows, as a constraint would be.
        const QString statement =
            QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)%5")
                .arg(index.Unique() || index.Primary() ? QStringLiteral("UNIQUE ") : QString(),
                     bracketName(index.Name()), bracketName(def.Name()), keyList,
                     index.Primary() ? QStringLiteral(" WITH PRIMARY") : QString());
        if (index.Primary()) made.table << statement;
        else made.indexes << statement;
    }
    made.table.prepend(QStringLiteral("CREATE TABLE %1 (%2)")
                           .arg(bracketName(def.Name()), columns.join(QStringLiteral(", "))));
    return made;
}

// The table is made, its rows go in (auto-numbers as they were: other tables refer to
// them; the marks as they were, above numbers whose rows were deleted) and its indexes
// are built, all under one transaction: a failure leaves the
// target without the table.
long copyTable(Database& from, Database& to, const TableDef& def) {
    const Definition definition = definitionOf(def);
    Recordset source = from.OpenRecordset(def.Name(), RecordsetType::Table);
    QStringList names;
    for (const Field& field : def.Fields()) names << field.Name();
    const int columns = source.FieldCount();
    std::vector<tv::Variant> values(static_cast<size_t>(columns));
    long rows = 0;
    to.BeginTrans();
    try {
        for (const QString& statement : definition.table) to.Execute(statement);
        {
            BulkInsert target(to, def.Name(), names, true);
            for (; !source.EOF_(); source.MoveNext()) {
                for (int i = 0; i < columns; ++i) values[static_cast<size_t>(i)] = source[i];
                target.add(values);
                ++rows;
            }
            target.flush();
            // Numbers handed out and deleted since stay used up.
            for (const Field& field : def.Fields())
                if (field.AutoIncrement())
                    target.keepMark(field.Name(), BulkInsert::markOf(from, def.Name(), field.Name()));
        }
        for (const QString& statement : definition.indexes) to.Execute(statement);
        to.CommitTrans();
    } catch (const DbError& e) {
        try {
            to.Rollback();
        } catch (const DbError&) {
            // The connection failed: its transaction went with it.
        }
        throw DbError(e.number(),
                      QStringLiteral("%1 (table %2 not copied; the tables before it were)")
                          .arg(e.text(), def.Name()));
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
        const long rows = copyTable(from, to, def);
        if (copied) copied(def.Name(), rows);
    }
}

}  // namespace tv::engine
