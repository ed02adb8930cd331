// Filters: the criteria text of the Filter window and the statement it becomes (grouping
// at And, words that stay whole, captions turned into field names, values written by
// field type); and the window over the shipped databases, its queries judged by the rows
// they return, saved filters read back from the FILTERS table, and a keyboard that never
// runs a half-built query.
#include "common/engine/queries.h"
#include "data/app_state.h"
#include "forms/framework/filter_query.h"
#include "forms/framework/filter_window.h"
#include "framework/framework_fixture.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {

using namespace Qt::StringLiterals;
using tv::data::state;
using tv::forms::Filter;

// Customers columns 1-4, then placeholders up to First Date (column 21).
QStringList customerCaptions() {
    QStringList captions = {u"Account Name"_s, u"Street"_s, u"City"_s, u"State"_s};
    while (captions.size() < 20) captions << u"Column %1"_s.arg(captions.size() + 1);
    return captions << u"First Date"_s;
}

template <typename T = QComboBox>
T* child(Filter& f, const char* name) {
    T* c = f.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}
QPlainTextEdit* criteria(Filter& f) { return child<QPlainTextEdit>(f, "txtCriteria"); }
void click(Filter& f, const char* name) { child<QPushButton>(f, name)->click(); }
void pick(QComboBox* box, const QString& text) { box->setCurrentIndex(box->findText(text)); }
// Picks field, operator and value and presses And or Or.
void condition(Filter& f, const char* join, const char* caption, const char* op,
               const char* value) {
    pick(child(f, "cboField"), QString::fromLatin1(caption));
    pick(child(f, "cboOperator"), QString::fromLatin1(op));
    child(f, "cboValue")->setEditText(QString::fromUtf8(value));
    click(f, join);
}
void sortOn(Filter& f, const char* caption, bool descending) {
    pick(child(f, "cboOrderByField"), QString::fromLatin1(caption));
    child<QRadioButton>(f, descending ? "optOrder_1" : "optOrder_0")->setChecked(true);
}
QString run(Filter& f) {
    click(f, "cmdRunQuery");
    return state().SharedValues[0];
}
QStringList rows(const QString& sql) { return tvtest::queryColumn(state().DataDb, sql); }

class FilterWindowTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        const char* rows[][4] = {{"O'Brien Plumbing", "New York", "NY", "#2026-12-05#"},
                                 {"O'Hara Bakery", "Boston", "MA", "#2026-11-01#"},
                                 {"Acme Tools", "New York", "NY", "#2026-12-05 14:30:00#"},
                                 {"Zenith Labs", "Albany", "NY", "#2035-01-31#"},
                                 {"Brown & Co", "Boston", "MA", "Null"},
                                 {"Blank City Ltd", "  ", "MA", "Null"}};
        for (const auto& r : rows)
            execData(
                {u"INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [POSTALCITY], [POSTALSTATE], "
                 "[FIRSTDATE]) VALUES (%1, %2, %3, %4)"_s.arg(
                     tv::engine::quoteLiteral(r[0]), tv::engine::quoteLiteral(r[1]),
                     tv::engine::quoteLiteral(r[2]), QString::fromLatin1(r[3]))});
    }
    // A Filter window filled as the list window fills it, from a grid whose header holds
    // the captions.
    std::unique_ptr<Filter> open(const QString& table,
                                 const QStringList& captions = customerCaptions()) {
        model.clear();
        model.setHorizontalHeaderLabels(captions);
        grid.setModel(&model);
        auto f = std::make_unique<Filter>();
        f->setTableName(table);
        f->ListDataFields(&grid);
        f->LoadFilters();
        return f;
    }

    QStandardItemModel model;
    QTableView grid;
};

TEST_F(FilterWindowTest, AndThenOrGroupsTheOrWithTheConditionBefore) {
    auto f = open(u"Customers"_s);
    // The user has dragged City to the front; captions still map by column, not by place.
    grid.horizontalHeader()->moveSection(2, 0);
    f->ListDataFields(&grid);
    EXPECT_EQ(child(*f, "cboField")->itemText(2), u"City"_s);
    condition(*f, "cmdAnd", "State", "=", "NY");
    condition(*f, "cmdAnd", "City", "=", "Boston");
    condition(*f, "cmdOr", "Account Name", "Like", "O*");
    EXPECT_EQ(criteria(*f)->toPlainText(),
              u"[State] = 'NY'\nAnd [City] = 'Boston'\n Or [Account Name] Like 'O*'"_s);
    const QString sql = run(*f);
    EXPECT_EQ(sql,
              u"Select * From [Customers] Where ([POSTALSTATE] = 'NY') AND ([POSTALCITY] = "
              "'Boston' OR [CUSTOMER NAME] LIKE 'O*') Order By [CUSTOMER NAME]"_s);
    // Read as (NY AND Boston) OR O* it would bring O'Hara too.
    EXPECT_EQ(rows(sql), QStringList{u"O'Brien Plumbing"_s});
    EXPECT_EQ(f->result(), QDialog::Accepted);

    // Values of each kind find their rows; a date is a whole day's midnight.
    const char* cases[][4] = {
        {"Account Name", "Like", "O'*", "O'Brien Plumbing|O'Hara Bakery"},
        {"First Date", "=", "2026-12-05", "O'Brien Plumbing"},
        {"First Date", ">=", "1 Dec 2026", "Acme Tools|O'Brien Plumbing|Zenith Labs"}};
    for (const auto& [caption, op, value, expected] : cases) {
        f = open(u"Customers"_s);
        condition(*f, "cmdAnd", caption, op, value);
        EXPECT_EQ(rows(run(*f)).join(u'|'), QString::fromLatin1(expected))
            << caption << op << value;
    }
}

TEST_F(FilterWindowTest, TheKeyboardAndBadInputNeverRunAHalfBuiltQuery) {
    state().SharedValues[0] = u"left over"_s;
    auto f = open(u"Customers"_s);
    EXPECT_TRUE(state().SharedValues[0].isEmpty());  // loading clears it
    f->show();
    child(*f, "cboField")->setCurrentIndex(2);  // City
    child(*f, "cboValue")->setEditText(u"Boston"_s);
    QTest::keyClick(child(*f, "cboValue")->lineEdit(), Qt::Key_Return);  // adds, runs nothing
    EXPECT_EQ(criteria(*f)->toPlainText(), u"[City] = 'Boston'"_s);
    EXPECT_TRUE(f->isVisible());
    ask.message(tv::data::msgbox::kOk, u"not valid"_s);  // 800
    condition(*f, "cmdAnd", "First Date", "=", "next Tuesday");
    EXPECT_EQ(criteria(*f)->toPlainText(), u"[City] = 'Boston'"_s);
    EXPECT_EQ(child(*f, "cboValue")->currentText(), u"next Tuesday"_s);
    // Criteria the engine cannot read get their message before the window goes.
    criteria(*f)->setPlainText(u"[City] = = 'Boston'"_s);
    ask.message(tv::data::msgbox::kOk, u"could not open"_s);  // 194
    EXPECT_TRUE(run(*f).isEmpty());
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(criteria(*f)->toPlainText(), u"[City] = = 'Boston'"_s);
    QTest::keyClick(f.get(), Qt::Key_Escape);
    EXPECT_EQ(f->result(), QDialog::Rejected);
    EXPECT_TRUE(state().SharedValues[0].isEmpty());
}

TEST_F(FilterWindowTest, DefinitionsTablesAreFilteredInTheDefinitionsDatabase) {
    auto f = open(u"Form Captions"_s, {u"Window"_s, u"Control"_s, u"Caption"_s});
    condition(*f, "cmdAnd", "Window", "=", "Filter");
    condition(*f, "cmdAnd", "Control", "Like", "cmd*");
    sortOn(*f, "Control", false);
    EXPECT_EQ(tvtest::queryColumn(state().DefinitionsDb, run(*f), 1).join(u'|'),
              u"cmdAnd|cmdClear|cmdClose|cmdGetValues|cmdOr|cmdRunQuery"_s);
}

TEST_F(FilterWindowTest, SavedFiltersRoundTrip) {
    auto f = open(u"Customers"_s);
    condition(*f, "cmdAnd", "City", "=", "New York");
    sortOn(*f, "City", false);
    child(*f, "filters")->setEditText(u"New York"_s);
    click(*f, "filterbutton_0");
    EXPECT_EQ(
        dataValue(u"SELECT [TABLENAME] & '|' & [CRITERIA] & '|' & [SORTFIELD] FROM FILTERS"_s),
        u"Customers|[City] = 'New York'|3"_s);
    // The same name again (in other letters) replaces the criteria and adds no entry.
    criteria(*f)->setPlainText(u"[City] = 'Boston'"_s);
    child(*f, "filters")->setEditText(u"new york"_s);
    click(*f, "filterbutton_0");
    EXPECT_EQ(child(*f, "filters")->count(), 1);
    EXPECT_EQ(dataValue(u"SELECT COUNT(*) FROM FILTERS"_s), u"1"_s);
    EXPECT_EQ(dataValue(u"SELECT [CRITERIA] FROM FILTERS"_s), u"[City] = 'Boston'"_s);

    // Picking the name in another window loads it over what the box held.
    auto g = open(u"Customers"_s);
    criteria(*g)->setPlainText(u"[City] = 'Albany'"_s);
    child(*g, "filters")->setCurrentIndex(0);
    emit child(*g, "filters")->activated(0);
    EXPECT_EQ(child(*g, "cboOrderByField")->currentText(), u"City"_s);
    EXPECT_EQ(rows(run(*g)), (QStringList{u"Brown & Co"_s, u"O'Hara Bakery"_s}));
    auto h = open(u"Customers"_s);
    child(*h, "filters")->setEditText(u"New York"_s);
    click(*h, "filterbutton_1");
    EXPECT_EQ(dataValue(u"SELECT COUNT(*) FROM FILTERS"_s), u"0"_s);
}

using namespace tv::forms::filter;
using tv::engine::FieldType;

QString fieldOf(const QString& caption) {
    static const QHash<QString, QString> fields = {
        {QStringLiteral("Account Name"), QStringLiteral("CUSTOMER NAME")},
        {QStringLiteral("City"), QStringLiteral("POSTALCITY")},
        {QStringLiteral("State"), QStringLiteral("POSTALSTATE")},
        {QStringLiteral("First Date"), QStringLiteral("FIRSTDATE")},
    };
    return fields.value(caption);
}

TEST(FilterQuery, CriteriaBecomeGroupedWhereText) {
    struct Case {
        const char* name;
        const char* criteria;
        const char* where;
    };
    const Case cases[] = {
        {"a, And b, Or c", "[Account Name] = 'A'\nAnd [City] = 'New York'\n Or [State] = 'NY'",
         "([CUSTOMER NAME] = 'A') AND ([POSTALCITY] = 'New York' OR [POSTALSTATE] = 'NY')"},
        {"only Or: one group", "[City] = 'X'\n Or [City] = 'Y'\n Or [City] = 'Z'",
         "([POSTALCITY] = 'X' OR [POSTALCITY] = 'Y' OR [POSTALCITY] = 'Z')"},
        {"a leading Or is dropped", " Or [City] = 'X'\nAnd [State] = 'NY'",
         "([POSTALCITY] = 'X') AND ([POSTALSTATE] = 'NY')"},
        {"keywords inside a value stay in it", "[Account Name] = 'O''Brien and Sons Or Daughters'",
         "([CUSTOMER NAME] = 'O''Brien and Sons Or Daughters')"},
        {"keywords in capitals", "[Account Name] like 'O*'\nand [State] in ('NY', 'NJ')",
         "([CUSTOMER NAME] LIKE 'O*') AND ([POSTALSTATE] IN ('NY', 'NJ'))"},
        {"a caption inside quotes is text", "[City] = '[City]'", "([POSTALCITY] = '[City]')"},
        {"doubled and trailing And", "[City] = 'X'\nAnd\nAnd [State] = 'Y'\nAnd",
         "([POSTALCITY] = 'X') AND ([POSTALSTATE] = 'Y')"},
        {"the And of Between stays",
         "[First Date] Between #1 Dec 2026# And #5 Dec 2026#\nAnd [City] = 'X'",
         "([FIRSTDATE] Between #1 Dec 2026# And #5 Dec 2026#) AND ([POSTALCITY] = 'X')"},
        {"an unclosed quote keeps the rest", "[City] = 'New York", "([POSTALCITY] = 'New York)"},
        {"empty criteria", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(whereCondition(QString::fromUtf8(c.criteria), fieldOf),
                  QString::fromUtf8(c.where))
            << c.name;
    }
}

TEST(FilterQuery, ValuesAreWrittenByFieldType) {
    struct Case {
        const char* name;
        FieldType type;
        const char* value;
        std::optional<QString> written;
    };
    const Case cases[] = {
        {"text with a quote", FieldType::Text, "O'Brien", QStringLiteral(" 'O''Brien'")},
        {"memo", FieldType::Memo, "New York", QStringLiteral(" 'New York'")},
        {"ISO date", FieldType::Date, "2026-12-05", QStringLiteral(" #05-Dec-26#")},
        {"date with a time", FieldType::Date, "5 Dec 2026 14:30", QStringLiteral(" #05-Dec-26#")},
        {"a year two digits would misread", FieldType::Date, "2035-01-31",
         QStringLiteral(" #31-Jan-2035#")},
        {"not a date", FieldType::Date, "soon", std::nullopt},
        {"number", FieldType::Long, "42", QStringLiteral(" 42")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(valueText(c.type, QString::fromUtf8(c.value)), c.written) << c.name;
}

}  // namespace
