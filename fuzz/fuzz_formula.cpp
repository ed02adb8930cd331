// Fuzz target: the report engine's selection formulas. The input is a formula as a window
// or the report runner hands it over. It is parsed; what parses is evaluated against a
// row of table T (fuzz_sql.h) and written as a condition, which the translator and
// SQLite then run as the report's query would. The report behind it has two formulas of
// its own: {@twice}, and {@self}, which refers to itself. Refusals are FormulaErrors.
#include "fuzz_input.h"
#include "fuzz_sql.h"

#include "core/convert.h"
#include "reports/criteria.h"
#include "reports/formula.h"

namespace {

using tv::reports::FormulaNode;
using tv::reports::FormulaPtr;

FormulaPtr reportFormula(const QString& name) {
    static const FormulaPtr twice = tv::reports::parseFormula(QStringLiteral("{T.A} * 2"));
    static const FormulaPtr self = tv::reports::parseFormula(QStringLiteral("{@self} + 1"));
    if (name.compare(QLatin1String("twice"), Qt::CaseInsensitive) == 0) return twice;
    if (name.compare(QLatin1String("self"), Qt::CaseInsensitive) == 0) return self;
    return nullptr;
}

// The columns of T, and a row of them (the first of fuzz_sql's rows).
class Row : public tv::reports::FormulaScope, public tv::reports::SqlScope {
public:
    tv::Variant field(const FormulaNode& node) override {
        const int i = indexOf(node);
        if (i < 0) return {};
        static const tv::Variant values[] = {
            tv::Variant(1.0), tv::Variant(2.0), tv::Variant(1.5),
            tv::Variant(tv::CDate(tv::Variant(QStringLiteral("2026-12-05 09:30:00")))),
            tv::Variant(QStringLiteral("O'Brien")), tv::Variant(QStringLiteral("memo")),
            tv::Variant(true), tv::Variant(12.25)};
        return values[i];
    }
    tv::Variant total(const FormulaNode&) override { return tv::Variant(3.0); }
    FormulaPtr formula(const FormulaNode& node) override {
        if (FormulaPtr f = reportFormula(node.name)) return f;
        // SqlScope's formula must refuse an unknown name; evaluation's gives nullptr.
        if (sql_) throw tv::reports::FormulaError(node.position, QStringLiteral("no formula"));
        return nullptr;
    }
    std::optional<tv::Variant> special(const QString& function,
                                       const std::vector<tv::Variant>&) override {
        if (function.compare(QLatin1String("PageNumber"), Qt::CaseInsensitive) == 0)
            return tv::Variant(1.0);
        return std::nullopt;
    }

    QString column(const FormulaNode& node, tv::engine::FieldType* type) override {
        const int i = indexOf(node);
        if (i < 0) throw tv::reports::FormulaError(node.position, QStringLiteral("no field"));
        const tv::engine::FieldInfo& f = tvfuzz::criteriaFields()[static_cast<size_t>(i)];
        if (type) *type = f.type;
        return QStringLiteral("[T].[") + f.name + u']';
    }

    bool sql_ = false;

private:
    static int indexOf(const FormulaNode& node) {
        if (node.table.compare(QLatin1String("T"), Qt::CaseInsensitive) != 0) return -1;
        const auto& fields = tvfuzz::criteriaFields();
        for (size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name.compare(node.name, Qt::CaseInsensitive) == 0)
                return static_cast<int>(i);
        return -1;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = tvfuzz::textOf(data, size);
    (void)tv::reports::readableCriteria(text);
    FormulaPtr formula;
    try {
        formula = tv::reports::parseFormula(text);
    } catch (const tv::reports::FormulaError&) {
        return 0;
    }
    if (!formula) return 0;  // a blank formula selects every row
    std::vector<tv::reports::FieldRef> fields;
    tv::reports::collectFields(formula, fields);
    Row row;
    try {
        (void)tv::reports::evaluate(formula, row);
    } catch (const tv::reports::FormulaError&) {
    }
    row.sql_ = true;
    try {
        const QString condition = tv::reports::toSql(formula, row);
        tvfuzz::translateAndRun(QStringLiteral("SELECT * FROM [T] WHERE ") + condition);
    } catch (const tv::reports::FormulaError&) {
    }
    return 0;
}
