#include "reports/report_data.h"

#include "core/convert.h"

#include <QCoreApplication>
#include <algorithm>
#include <map>

namespace tv::reports {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("tv::reports", text); }

QString bracket(const QString& name) { return u'[' + name + u']'; }

// Resolves {Table.Field} against the report's tables and their definitions.
class Columns : public SqlScope {
public:
    Columns(const ReportDefinition& report, engine::Database& db) : report_(report) {
        for (const ReportTable& t : report.tables) {
            try {
                tables_.push_back(db.TableDefNamed(t.name));
            } catch (const engine::DbError&) {
                throw FormulaError(0, tr("the report reads the table \"%1\", which the database does not have").arg(t.name));
            }
        }
    }

    QString column(const FormulaNode& field, engine::FieldType* type) override {
        for (const engine::TableDef& def : tables_) {
            if (def.Name().compare(field.table, Qt::CaseInsensitive) != 0) continue;
            for (const engine::Field& f : def.Fields()) {
                if (f.Name().compare(field.name, Qt::CaseInsensitive) != 0) continue;
                if (type) *type = f.Type();
                return bracket(def.Name()) + u'.' + bracket(f.Name());
            }
            throw FormulaError(field.position, tr("the table \"%1\" has no field \"%2\"").arg(field.table, field.name));
        }
        QStringList names;
        for (const ReportTable& t : report_.tables) names << t.name;
        throw FormulaError(field.position, tr("the report does not read the table \"%1\" (it reads %2)")
                                               .arg(field.table, names.join(QStringLiteral(", "))));
    }

    FormulaPtr formula(const FormulaNode& ref) override {
        const auto it = report_.formulas.find(ref.name);
        if (it == report_.formulas.end())
            throw FormulaError(ref.position, tr("the report has no formula {@%1}").arg(ref.name));
        return it->second;
    }

    QString tableName(int i) const { return bracket(tables_[static_cast<size_t>(i)].Name()); }

private:
    const ReportDefinition& report_;
    std::vector<engine::TableDef> tables_;
};

// Every field the printed report reads, so that the query selects only those.
std::vector<FieldRef> printedFields(const ReportDefinition& report) {
    std::vector<FieldRef> fields;
    for (const auto& [name, f] : report.formulas) collectFields(f, fields);
    for (const ReportTotal& t : report.totals) collectFields(t.of, fields);
    for (const ReportSort& s : report.sorts) collectFields(s.by, fields);
    auto band = [&](const ReportBand& b) {
        for (const ReportElement& e : b.elements) collectFields(e.value, fields);
    };
    for (const ReportGroup& g : report.groups) {
        collectFields(g.by, fields);
        band(g.header);
        band(g.footer);
    }
    for (const ReportBand* b : {&report.reportHeader, &report.pageHeader, &report.detail,
                                &report.pageFooter, &report.reportFooter})
        band(*b);
    return fields;
}

// Reads a value of a row being sorted.
class RowScope : public FormulaScope {
public:
    RowScope(const ReportDefinition& report, const ReportRows& rows) : report_(report), rows_(rows) {}
    const std::vector<tv::Variant>* row = nullptr;

    tv::Variant field(const FormulaNode& node) override {
        const int i = rows_.indexOf(node.table, node.name);
        return i < 0 ? tv::Variant() : (*row)[static_cast<size_t>(i)];
    }
    tv::Variant total(const FormulaNode&) override { return {}; }
    FormulaPtr formula(const FormulaNode& node) override {
        const auto it = report_.formulas.find(node.name);
        return it == report_.formulas.end() ? nullptr : it->second;
    }
    std::optional<tv::Variant> special(const QString&, const std::vector<tv::Variant>&) override {
        return tv::Variant();
    }

private:
    const ReportDefinition& report_;
    const ReportRows& rows_;
};

}  // namespace

int ReportRows::indexOf(const QString& table, const QString& field) const {
    const FieldRef wanted{table, field, 0};
    const auto it = std::find(columns.begin(), columns.end(), wanted);
    return it == columns.end() ? -1 : static_cast<int>(it - columns.begin());
}

QString reportQuery(const ReportDefinition& report, const FormulaPtr& selection,
                    engine::Database& db, std::vector<FieldRef>* columnsOut) {
    Columns columns(report, db);
    std::vector<FieldRef> fields = printedFields(report);
    QStringList select;
    for (const FieldRef& f : fields) {
        FormulaNode node;
        node.kind = FormulaNode::Kind::Field;
        node.table = f.table;
        node.name = f.field;
        node.position = f.position;
        select << columns.column(node, nullptr);
    }
    if (select.isEmpty()) select << QStringLiteral("1");  // a report of fixed texts

    QString sql = QStringLiteral("SELECT ") + select.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                  columns.tableName(0);
    for (size_t i = 1; i < report.tables.size(); ++i) {
        sql += report.tables[i].outer ? QStringLiteral(" LEFT JOIN ") : QStringLiteral(" INNER JOIN ");
        sql += columns.tableName(static_cast<int>(i)) + QStringLiteral(" ON ") + toSql(report.tables[i].on, columns);
    }
    QStringList where;
    if (report.filter) where << toSql(report.filter, columns);
    if (selection) where << toSql(selection, columns);
    if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    if (columnsOut) *columnsOut = std::move(fields);
    return sql;
}

ReportRows readReportRows(const ReportDefinition& report, const FormulaPtr& selection,
                          engine::Database& db) {
    ReportRows result;
    result.sql = reportQuery(report, selection, db, &result.columns);
    engine::Recordset rs = db.OpenRecordset(result.sql, engine::RecordsetType::Snapshot);
    const int width = static_cast<int>(result.columns.size());
    result.rows.reserve(static_cast<size_t>(std::max(0L, rs.RecordCount())));
    while (!rs.EOF_()) {
        std::vector<tv::Variant> row;
        row.reserve(static_cast<size_t>(width));
        for (int i = 0; i < width; ++i) row.push_back(rs[i]);
        result.rows.push_back(std::move(row));
        rs.MoveNext();
    }
    rs.Close();

    // Groups first (outermost first), then the sorts; rows that tie keep the query's order.
    std::vector<std::pair<FormulaPtr, bool>> keys;
    for (const ReportGroup& g : report.groups) keys.emplace_back(g.by, false);
    for (const ReportSort& s : report.sorts) keys.emplace_back(s.by, s.descending);
    if (keys.empty() || result.rows.size() < 2) return result;

    RowScope scope(report, result);
    std::vector<std::vector<tv::Variant>> sortKeys(result.rows.size());
    for (size_t r = 0; r < result.rows.size(); ++r) {
        scope.row = &result.rows[r];
        for (const auto& [formula, descending] : keys) sortKeys[r].push_back(evaluate(formula, scope));
    }
    std::vector<size_t> order(result.rows.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        for (size_t k = 0; k < keys.size(); ++k) {
            const tv::Variant& x = sortKeys[a][k];
            const tv::Variant& y = sortKeys[b][k];
            // Empty values sort first.
            int c = x.isNull() ? (y.isNull() ? 0 : -1) : (y.isNull() ? 1 : tv::CompareValues(x, y, true));
            if (keys[k].second) c = -c;
            if (c != 0) return c < 0;
        }
        return false;
    });
    std::vector<std::vector<tv::Variant>> sorted;
    sorted.reserve(result.rows.size());
    for (size_t i : order) sorted.push_back(std::move(result.rows[i]));
    result.rows = std::move(sorted);
    return result;
}

}  // namespace tv::reports
