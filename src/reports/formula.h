// Report formulas in the brace syntax: the record-selection formula a window or the report
// runner hands the engine ("{Quotations Detail.QuoteNo} = 1042 And {@criteria} = 'x'"),
// and the expressions a report file prints (fields, formulas of its own, totals).
//
//   {Table.Field}      a column of one of the report's tables (names compare ignoring case)
//   {@name}            a formula of the report;  {#name}  a total of the report
//   1042  12.5         numbers;  'O''Brien'  "12"" screen"  texts (the quote doubled inside)
//   True  False        yes/no values
//   Date(2000,03,01)   a date; DateTime(2000,03,01,17,30,0) a date and time
//   x in a to b        a range, both ends included;  x in [a, b, c]  one of a list
//   = <> < > <= >=  + - * /  &  And Or Not  ( )
//   IIf(c, a, b)  Nz(v, 0)  Format(v, "0.00")  Trim(t)  UCase(t)  Company("Name")  PageNumber()
//   TotalPages()  PrintDate()  Criteria()
//
// A formula is parsed once into a tree. The tree is either evaluated against the row
// being printed, or, for record selection, written as a condition of the report's query
// in the program's SQL dialect: every text value goes through quoteLiteral, and a field
// is checked against the table's definition, never pasted as text. A formula that cannot
// be read, or names a table or field the report does not have, is refused with the
// character position and what was expected there.
#pragma once

#include "core/variant.h"
#include "engine/engine.h"

#include <QString>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace tv::reports {

class FormulaError : public std::runtime_error {
public:
    // position: 1-based character of the formula where the problem lies (0: none).
    FormulaError(int position, const QString& problem);
    int position() const { return position_; }
    QString problem() const { return problem_; }
    // "at character 12: expected a value after \"=\"" (or the problem alone).
    QString describe() const;

private:
    int position_;
    QString problem_;
};

struct FormulaNode;
using FormulaPtr = std::shared_ptr<const FormulaNode>;

struct FormulaNode {
    enum class Kind { Literal, Field, FormulaRef, TotalRef, Unary, Binary, Range, List, Call };
    Kind kind = Kind::Literal;
    int position = 0;     // 1-based
    tv::Variant value;    // Literal
    QString table;        // Field
    QString name;         // Field: its field; FormulaRef, TotalRef; operator; function
    std::vector<FormulaPtr> args;
};

// Parses a whole formula. An empty or blank text gives nullptr (no formula). Throws
// FormulaError.
FormulaPtr parseFormula(const QString& text);

// Every {Table.Field} the tree names, in order of appearance, without repeats.
struct FieldRef {
    QString table;
    QString field;
    int position = 0;
    friend bool operator==(const FieldRef& a, const FieldRef& b);
};
void collectFields(const FormulaPtr& node, std::vector<FieldRef>& into);

// What an evaluation reads from the report being printed.
class FormulaScope {
public:
    virtual ~FormulaScope() = default;
    virtual tv::Variant field(const FormulaNode& node) = 0;
    virtual tv::Variant total(const FormulaNode& node) = 0;
    virtual FormulaPtr formula(const FormulaNode& node) = 0;  // nullptr: unknown
    // PageNumber, TotalPages, PrintDate, Company, Criteria; nothing when the name is
    // not one the scope answers.
    virtual std::optional<tv::Variant> special(const QString& function,
                                               const std::vector<tv::Variant>& args) = 0;
};

// The value of the tree. Arithmetic on Null gives Null; a text that is no number in
// arithmetic, or a division by zero, gives Null rather than stopping the print. Throws
// FormulaError for an unknown formula or function, or formulas that refer to themselves.
tv::Variant evaluate(const FormulaPtr& node, FormulaScope& scope);

// Where a selection's fields are found in the report's query.
class SqlScope {
public:
    virtual ~SqlScope() = default;
    // The column as the query names it ("[QUOTATIONS DETAIL].[QUOTENO]") and its type;
    // throws FormulaError naming the table or field the report does not have.
    virtual QString column(const FormulaNode& field, engine::FieldType* type) = 0;
    // The tree of a report formula; throws FormulaError when there is none of that name.
    virtual FormulaPtr formula(const FormulaNode& ref) = 0;
};

// The tree as a condition in the program's SQL dialect. A text compared with a date
// column is read as a date ("2000/03/31 23:59:59"), a number written as text compared
// with a numeric column as that number. Totals and page functions cannot select rows:
// FormulaError.
QString toSql(const FormulaPtr& node, SqlScope& scope);

}  // namespace tv::reports
