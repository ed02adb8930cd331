// Selection formulas as the report's WHERE (through the shipped Data.mdb's definitions),
// the report runner's criteria as formulas, and the formulas that must be refused with
// the place they go wrong.
#include "common/data/shipped_fixture.h"
#include "data/app_state.h"
#include "reports/criteria.h"
#include "reports/report_data.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using tv::reports::Criterion;
using tv::reports::CriterionInput;
using tv::engine::FieldType;

class FormulaTest : public tvtest::ShippedDatabasesTest {
protected:
    // The WHERE clause the report's query gets for the formula.
    QString where(const QString& formula) {
        tv::reports::ReportDefinition report = tv::reports::parseReport(
            R"(<report><data><table name="Quotations Detail"/>
               <table name="Quotations" join="inner" on="{Quotations.QuoteNo} = {Quotations Detail.QuoteNo}"/>
               </data><formula name="customer">{Quotations.Customer Name}</formula></report>)",
            u"test"_s);
        const QString sql = tv::reports::reportQuery(report, tv::reports::parseFormula(formula),
                                                     tv::data::state().DataDb, nullptr);
        return sql.mid(sql.indexOf(u"WHERE"_s));
    }
};

TEST_F(FormulaTest, SelectionsBecomeConditionsWithQuotedValues) {
    const struct {
        const char* formula;
        const char* sql;
    } cases[] = {
        {"{Quotations Detail.QuoteNo} = 1042", "WHERE ([QUOTATIONS DETAIL].[QUOTENO] = 1042)"},
        {"{quotations.customer name} = 'O''Brien'", "WHERE ([QUOTATIONS].[CUSTOMER NAME] = 'O''Brien')"},
        {"{Quotations.QuoteDate} in Date(2000,03,01) to Date(2000,03,31)",
         "WHERE ([QUOTATIONS].[QUOTEDATE] >= #2000-03-01 00:00:00# AND [QUOTATIONS].[QUOTEDATE] <= "
         "#2000-03-31 00:00:00#)"},
        {R"({Quotations.QuoteDate} in "2000/03/01 0:00:00.00" to "2000/03/31 23:59:59")",
         "WHERE ([QUOTATIONS].[QUOTEDATE] >= #2000-03-01 00:00:00# AND [QUOTATIONS].[QUOTEDATE] <= "
         "#2000-03-31 23:59:59#)"},
        // A number typed as text still compares as a number with a numeric column.
        {R"({Quotations Detail.QuoteNo} = "1042")", "WHERE ([QUOTATIONS DETAIL].[QUOTENO] = 1042)"},
        {R"({@customer} = "Smith" And Not {Quotations.Total} > 10)",
         "WHERE ((([QUOTATIONS].[CUSTOMER NAME]) = 'Smith') AND (NOT ([QUOTATIONS].[TOTAL] > 10)))"},
        {"{Quotations.Sales Rep ID} in ['ann', 'bob']", "WHERE ([QUOTATIONS].[SALES REP ID] IN ('ann', 'bob'))"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula);
        EXPECT_EQ(where(QString::fromUtf8(c.formula)).toStdString(), c.sql);
    }
}

TEST_F(FormulaTest, UnusableFormulasAreRefusedWithTheirPlace) {
    const struct {
        QString formula;
        int position;
        const char* problem;
    } cases[] = {
        {u"{Quotes.QuoteNo} = 1"_s, 1, "does not read the table \"Quotes\""},
        {u"{Quotations.QuoteNumber} = 1"_s, 1, "has no field \"QuoteNumber\""},
        {u"{Quotations.QuoteNo} ="_s, 23, "expected a value after \"=\""},
        {u"{Quotations.QuoteNo = 1"_s, 1, "no closing \"}\""},
        {u"{Quotations.Customer Name} = 'O'Brien'"_s, 38, "the text has no closing '"},
        {u"{Quotations.QuoteDate} in Date(2000,3,1)"_s, 41, "expected \"to\""},
        {u"{Quotations.QuoteNo} = 1 Quotations"_s, 26, "expected \"And\""},
        {u"{Quotations.QuoteDate} = \"someday\""_s, 26, "\"someday\" is not a date"},
        {u"{#Lines} > 2"_s, 1, "a total cannot select"},
        {u"{@missing} = 1"_s, 1, "no formula {@missing}"},
        {QString(200, u'(') + u"1"_s, 33, "nested too deeply"},
        {u"1"_s + u" + 1"_s.repeated(100000), 2003, "more than 500 operators"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula.toStdString());
        try {
            where(c.formula);
            ADD_FAILURE() << "accepted";
        } catch (const tv::reports::FormulaError& e) {
            EXPECT_EQ(e.position(), c.position);
            EXPECT_TRUE(e.problem().contains(QString::fromUtf8(c.problem))) << e.problem().toStdString();
        }
    }
}

TEST(CriteriaTest, AnswersBecomeTermsAsTheRunnerWritesThem) {
    auto date = [](int y, int m, int d) { return QDate(y, m, d); };
    auto criterion = [](const char* op, CriterionInput input, FieldType type) {
        Criterion c;
        c.table = u"Table"_s;
        c.field = u"Field"_s;
        c.op = QString::fromUtf8(op);
        c.input = input;
        c.type = type;
        return c;
    };
    Criterion betweenDates = criterion("Between", CriterionInput::Date, FieldType::Date);
    betweenDates.dateA = date(2000, 3, 1);
    betweenDates.dateB = date(2000, 3, 31);
    Criterion betweenStamps = betweenDates;
    betweenStamps.dateTime = true;
    Criterion smith = criterion("=", CriterionInput::TextBox, FieldType::Text);
    smith.textA = u"Smith"_s;
    Criterion quoted = smith;
    quoted.textA = u"12\" O'Brien"_s;
    Criterion empty = criterion("=", CriterionInput::TextBox, FieldType::Text);
    Criterion number = criterion(">=", CriterionInput::DropDownList, FieldType::Long);
    number.textA = u"1042"_s;
    Criterion check = criterion("=", CriterionInput::CheckBox, FieldType::Boolean);
    Criterion formula = smith;
    formula.table.clear();
    Criterion from = betweenDates;
    from.dateB = QDate();

    const struct {
        std::vector<Criterion> criteria;
        const char* formula;
    } cases[] = {
        {{betweenDates}, "{Table.Field} in Date(2000,03,01) to Date(2000,03,31)"},
        {{betweenStamps}, R"({Table.Field} in "2000/03/01 0:00:00.00" to "2000/03/31 23:59:59")"},
        {{smith}, R"({Table.Field} = "Smith")"},
        {{quoted}, R"({Table.Field} = "12"" O'Brien")"},
        {{smith, empty, number}, R"({Table.Field} = "Smith" And {Table.Field} >= 1042)"},
        {{empty}, ""},
        {{check}, "{Table.Field} = False"},
        {{formula}, R"({@Field} = "Smith")"},
        {{from}, "{Table.Field} >= Date(2000,03,01)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula);
        const QString built = tv::reports::criteriaFormula(c.criteria);
        EXPECT_EQ(built.toStdString(), c.formula);
        // Whatever the runner builds, the engine reads.
        EXPECT_NO_THROW(tv::reports::parseFormula(built));
    }
    EXPECT_EQ(tv::reports::readableCriteria(
                  uR"({Customers.PostalState} = "N""S" And {Orders.Total} in 5 to 9)"_s),
              uR"(PostalState = N"S, Total from 5 to 9)"_s);
}

}  // namespace
