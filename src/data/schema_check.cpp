#include "data/schema_check.h"

#include "data/shipped_databases.h"
#include "engine/engine.h"
#include "engine/server.h"

#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <exception>

namespace tv::data {
namespace {

using engine::Database;
using engine::Field;
using engine::FieldType;
using engine::TableDef;

QString typeText(const Field& field) {
    switch (field.Type()) {
        case FieldType::Boolean:
            return QStringLiteral("Boolean");
        case FieldType::Byte:
            return QStringLiteral("Byte");
        case FieldType::Integer:
            return QStringLiteral("Integer");
        case FieldType::Long:
            return field.AutoIncrement() ? QStringLiteral("Long (auto-number)")
                                         : QStringLiteral("Long");
        case FieldType::Currency:
            return QStringLiteral("Currency");
        case FieldType::Single:
            return QStringLiteral("Single");
        case FieldType::Double:
            return QStringLiteral("Double");
        case FieldType::Date:
            return QStringLiteral("Date/Time");
        case FieldType::Text:
            return QStringLiteral("Text(%1)").arg(field.Size());
        case FieldType::LongBinary:
            return QStringLiteral("Long binary");
        case FieldType::Memo:
            return QStringLiteral("Memo");
    }
    return QStringLiteral("type %1").arg(static_cast<int>(field.Type()));
}

// Text columns made wider after files were already in use, with the width they had: a
// file that still has it is sound.
struct WidenedColumn {
    const char* table;
    const char* column;
    int oldSize;
};
constexpr WidenedColumn kWidenedColumns[] = {
    {"QUOTATIONS DETAIL", "PRODUCTCODE", 20},
    {"SALES ORDERS DETAIL", "PRODUCTCODE", 20},
};

bool widenedSince(const QString& table, const QString& column, int size) {
    for (const WidenedColumn& w : kWidenedColumns)
        if (table.compare(QLatin1String(w.table), Qt::CaseInsensitive) == 0 &&
            column.compare(QLatin1String(w.column), Qt::CaseInsensitive) == 0 && size == w.oldSize)
            return true;
    return false;
}

QString columnList(const QStringList& names) {
    return '(' + names.join(QStringLiteral(", ")) + ')';
}

class Comparer {
public:
    Comparer(const QString& label, SchemaReport* report) : label_(label), report_(report) {}

    void error(const QString& table, const QString& text) {
        add(SchemaFinding::Severity::Error, table, text);
    }
    void info(const QString& table, const QString& text) {
        add(SchemaFinding::Severity::Information, table, text);
    }

    void compareColumns(const QString& table, const TableDef& actual, const TableDef& reference) {
        const std::vector<Field> want = reference.Fields();
        const std::vector<Field> have = actual.Fields();
        for (size_t i = 0; i < want.size(); ++i) {
            const Field& w = want[i];
            const QString at = QStringLiteral("column %1").arg(i);
            if (i >= have.size()) {
                error(table,
                      QStringLiteral("%1 (%2, %3) is missing").arg(at, w.Name(), typeText(w)));
                continue;
            }
            const Field& h = have[i];
            if (h.Name().compare(w.Name(), Qt::CaseInsensitive) != 0) {
                error(table, QStringLiteral("%1 is %2, expected %3").arg(at, h.Name(), w.Name()));
                continue;  // the rest of a misplaced column says nothing more
            }
            const QString named = at + ' ' + w.Name();
            if (w.Type() == FieldType::Text && h.Type() == FieldType::Text &&
                widenedSince(table, w.Name(), h.Size())) {
                // A file made before the column was widened: it still works, but longer
                // values (a billed item's product code) cannot be stored in it.
                info(table, QStringLiteral("%1 is %2, narrower than %3: longer values cannot "
                                           "be stored in this file")
                                .arg(named, typeText(h), typeText(w)));
            } else if (typeText(h) != typeText(w)) {
                error(table,
                      QStringLiteral("%1 is %2, expected %3").arg(named, typeText(h), typeText(w)));
            }
            if (h.Required() != w.Required()) {
                error(table, QStringLiteral("%1 is %2, expected %3")
                                 .arg(named, h.Required() ? "required" : "not required",
                                      w.Required() ? "required" : "not required"));
            }
            if (w.Type() == FieldType::Text || w.Type() == FieldType::Memo) {
                if (h.AllowZeroLength() != w.AllowZeroLength()) {
                    error(table,
                          QStringLiteral("%1 %2 empty texts, expected it %3")
                              .arg(named, h.AllowZeroLength() ? "allows" : "refuses",
                                   w.AllowZeroLength() ? "to allow them" : "to refuse them"));
                }
            }
        }
        // Custom fields: administrators append them after the standard columns.
        for (size_t i = want.size(); i < have.size(); ++i) {
            info(table, QStringLiteral("custom column %1 %2 (%3) after the standard columns")
                            .arg(i)
                            .arg(have[i].Name(), typeText(have[i])));
        }
    }

    void compareIndexes(const QString& table, const TableDef& actual, const TableDef& reference) {
        QHash<QString, engine::Index> have;
        for (const engine::Index& index : actual.Indexes())
            have.insert(index.Name().toUpper(), index);
        QHash<QString, bool> expected;
        for (const engine::Index& w : reference.Indexes()) {
            expected.insert(w.Name().toUpper(), true);
            const auto it = have.constFind(w.Name().toUpper());
            const QString what =
                w.Primary() ? QStringLiteral("primary key %1").arg(columnList(w.FieldNames()))
                            : QStringLiteral("index %1").arg(w.Name());
            if (it == have.constEnd()) {
                error(table, QStringLiteral("%1 is missing").arg(what));
                continue;
            }
            const engine::Index& h = *it;
            QStringList haveFields = h.FieldNames(), wantFields = w.FieldNames();
            for (QString& f : haveFields) f = f.toUpper();
            for (QString& f : wantFields) f = f.toUpper();
            if (haveFields != wantFields) {
                error(table,
                      QStringLiteral("%1 is on %2, expected %3")
                          .arg(what, columnList(h.FieldNames()), columnList(w.FieldNames())));
            }
            if (h.Primary() != w.Primary())
                error(
                    table,
                    QStringLiteral("%1 is %2the primary key").arg(what, h.Primary() ? "" : "not "));
            if (!w.Primary() && h.Unique() != w.Unique()) {
                error(table, QStringLiteral("%1 is %2, expected %3")
                                 .arg(what, h.Unique() ? "unique" : "not unique",
                                      w.Unique() ? "unique" : "not unique"));
            }
        }
        for (const engine::Index& h : actual.Indexes()) {
            if (!expected.contains(h.Name().toUpper()))
                info(table, QStringLiteral("index %1 %2 is not part of the shipped schema")
                                .arg(h.Name(), columnList(h.FieldNames())));
        }
    }

private:
    void add(SchemaFinding::Severity severity, const QString& table, const QString& text) {
        const QString where = table.isEmpty() ? label_ : label_ + QStringLiteral(": ") + table;
        report_->findings.push_back({severity, where + QStringLiteral(": ") + text});
    }

    QString label_;
    SchemaReport* report_;
};

QString describe(const engine::DbError& e) {
    return QStringLiteral("%1 (engine error %2)").arg(e.text()).arg(e.number());
}

}  // namespace

int SchemaReport::errors() const {
    int count = 0;
    for (const SchemaFinding& f : findings) count += f.severity == SchemaFinding::Severity::Error;
    return count;
}

void compareSchemas(Database& actual, Database& reference, const QString& label,
                    SchemaReport* report) {
    Comparer compare(label, report);
    QHash<QString, bool> shipped;
    for (const TableDef& want : reference.TableDefs()) {
        const QString name = want.Name();
        shipped.insert(name.toUpper(), true);
        if (!actual.HasTable(name)) {
            compare.error(QString(), QStringLiteral("table %1 is missing").arg(name));
            continue;
        }
        const TableDef have = actual.TableDefNamed(name);
        compare.compareColumns(name, have, want);
        compare.compareIndexes(name, have, want);
    }
    for (const TableDef& have : actual.TableDefs()) {
        if (!shipped.contains(have.Name().toUpper()))
            compare.info(
                QString(),
                QStringLiteral("table %1 is not part of the shipped schema").arg(have.Name()));
    }
}

SchemaReport checkDatabases(const QString& folder, const QString& dbSourceDir) {
    QTemporaryDir referenceFolder;
    QString buildError;
    if (!referenceFolder.isValid()) {
        return SchemaReport{
            {{SchemaFinding::Severity::Error, QStringLiteral("cannot make a temporary folder: %1")
                                                  .arg(referenceFolder.errorString())}}};
    }
    if (!createDatabases(referenceFolder.path(), dbSourceDir, &buildError)) {
        return SchemaReport{{{SchemaFinding::Severity::Error,
                              QStringLiteral("the shipped schema cannot be built from %1: %2")
                                  .arg(dbSourceDir, buildError)}}};
    }
    return checkAgainst(folder, referenceFolder.path());
}

SchemaReport checkAgainst(const QString& folder, const QString& referenceFolder) {
    SchemaReport report;
    auto failure = [&report](const QString& text) {
        report.findings.push_back({SchemaFinding::Severity::Error, text});
    };
    for (const ShippedDatabase& shipped : shippedDatabases()) {
        const QString path = folder + u'/' + shipped.fileName;
        if (!engine::IsServerLocation(path) && !QFileInfo::exists(path)) {
            failure(QStringLiteral("%1: missing").arg(path));
            continue;
        }
        try {
            Database actual = engine::Engine::instance().OpenDatabase(path, true);
            Database reference = engine::Engine::instance().OpenDatabase(
                referenceFolder + u'/' + shipped.fileName, true);
            compareSchemas(actual, reference, shipped.fileName, &report);
        } catch (const engine::DbError& e) {
            failure(QStringLiteral("%1: %2").arg(path, describe(e)));
        } catch (const std::exception& e) {
            failure(QStringLiteral("%1: %2").arg(path, QString::fromUtf8(e.what())));
        }
    }
    return report;
}

}  // namespace tv::data
