// copy: moves a site's three databases between a folder and a PostgreSQL server (either
// way, or folder to folder): each table made again with its columns, keys and indexes, its
// rows copied in one transaction per table, the count of each table printed.
#include "commands.h"
#include "console.h"
#include "data/shipped_databases.h"
#include "engine/engine.h"
#include "engine/server.h"

#include <QDir>
#include <QFileInfo>

namespace tv::admin {

namespace {

QString typeText(const engine::Field& field) {
    using engine::FieldType;
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
QStringList definitionOf(const engine::TableDef& def) {
    QStringList columns;
    for (const engine::Field& field : def.Fields()) {
        QString column = engine::bracketName(field.Name()) + u' ' + typeText(field);
        if (field.Required() && !field.AutoIncrement()) column += QStringLiteral(" NOT NULL");
        const bool textual = field.Type() == engine::FieldType::Text ||
                             field.Type() == engine::FieldType::Memo;
        if (textual && !field.AllowZeroLength()) column += QStringLiteral(" NOZEROLENGTH");
        columns << column;
    }
    QStringList statements;
    QStringList indexes;
    for (const engine::Index& index : def.Indexes()) {
        QStringList keys;
        for (const QString& name : index.FieldNames()) keys << engine::bracketName(name);
        if (index.Primary()) {
            columns << QStringLiteral("CONSTRAINT PrimaryKey PRIMARY KEY (%1)")
                           .arg(keys.join(QStringLiteral(", ")));
        } else {
            indexes << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                           .arg(index.Unique() ? QStringLiteral("UNIQUE ") : QString(),
                                engine::bracketName(index.Name()), engine::bracketName(def.Name()),
                                keys.join(QStringLiteral(", ")));
        }
    }
    statements << QStringLiteral("CREATE TABLE %1 (%2)")
                      .arg(engine::bracketName(def.Name()), columns.join(QStringLiteral(", ")));
    return statements + indexes;
}

long copyRows(engine::Database& from, engine::Database& to, const QString& table) {
    engine::Recordset source = from.OpenRecordset(table, engine::RecordsetType::Table);
    engine::Recordset target = to.OpenRecordset(table, engine::RecordsetType::Table);
    const int columns = source.FieldCount();
    long rows = 0;
    to.BeginTrans();
    try {
        for (; !source.EOF_(); source.MoveNext()) {
            target.AddNew();
            for (int i = 0; i < columns; ++i) {
                const tv::Variant value = source[i];
                if (!value.isNull()) target.FieldAt(i).SetValue(value);
            }
            target.Update();
            ++rows;
        }
        to.CommitTrans();
    } catch (...) {
        to.Rollback();
        throw;
    }
    return rows;
}

QString located(const QString& site, const QString& file) {
    return engine::IsServerLocation(site) ? site + u'/' + file : QDir(site).filePath(file);
}

}  // namespace

int copySite(const QString& from, const QString& to, bool quiet) {
    if (!engine::IsServerLocation(to) && !QDir().mkpath(to)) {
        err() << "copy: cannot create the folder " << to << Qt::endl;
        return kExitDataError;
    }
    long total = 0;
    for (const data::ShippedDatabase& shipped : data::shippedDatabases()) {
        const QString source = located(from, shipped.fileName);
        const QString target = located(to, shipped.fileName);
        try {
            engine::Database in = engine::Engine::instance().OpenDatabase(source, true);
            engine::Database out = engine::Engine::instance().CreateDatabase(target);
            for (const engine::TableDef& def : in.TableDefs()) {
                for (const QString& statement : definitionOf(def)) out.Execute(statement);
                const long rows = copyRows(in, out, def.Name());
                if (!quiet) tv::admin::out() << shipped.fileName << '\t' << def.Name() << '\t' << rows << '\n';
                total += rows;
            }
        } catch (const engine::DbError& e) {
            err() << "copy: " << shipped.fileName << ": error " << e.number() << ": " << e.text()
                  << Qt::endl;
            return kExitDataError;
        }
    }
    if (!quiet) out() << "Copied " << total << " rows to " << to << Qt::endl;
    return kExitOk;
}

int runCopy(const QStringList& args) {
    if (args.size() != 2) return usageError(QStringLiteral("copy needs a FROM and a TO location"));
    return copySite(args[0], args[1], false);
}

}  // namespace tv::admin
