// The Filter window over the shipped databases: queries built with its buttons are run
// through the engine and judged by the rows they return; saved filters are read back from
// the FILTERS table; the keyboard never runs a half-built query.
#include "common/engine/queries.h"
#include "data/app_state.h"
#include "forms/framework/filter_window.h"
#include "forms/framework/status.h"
#include "framework/framework_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>

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
void pressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

class FilterWindowTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        tv::forms::setStatusPanel(&status);
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
    void TearDown() override {
        tv::forms::setStatusPanel(nullptr);
        FrameworkTest::TearDown();
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
    QLabel status;
};

TEST_F(FilterWindowTest, ColumnsComeFromTheGridHeaderInLogicalOrder) {
    auto f = open(u"Customers"_s);
    // The user has dragged City to the front; captions still map by column, not by place.
    grid.horizontalHeader()->moveSection(2, 0);
    f->ListDataFields(&grid);
    EXPECT_EQ(child(*f, "cboField")->itemText(2), u"City"_s);
    EXPECT_EQ(child(*f, "cboOrderByField")->itemText(0), u"(none)"_s);
    EXPECT_EQ(f->windowTitle(), u"Filter Records"_s);  // from FORM CAPTIONS
    condition(*f, "cmdAnd", "City", "=", "Boston");
    EXPECT_EQ(rows(run(*f)), (QStringList{u"Brown & Co"_s, u"O'Hara Bakery"_s}));
}

TEST_F(FilterWindowTest, AndThenOrGroupsTheOrWithTheConditionBefore) {
    auto f = open(u"Customers"_s);
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
}

TEST_F(FilterWindowTest, ValuesFindTheirRows) {
    const struct {
        const char *caption, *op, *value;
        QStringList expected;
    } cases[] = {
        {"Account Name", "=", "O'Brien Plumbing", {u"O'Brien Plumbing"_s}},
        {"Account Name", "Like", "O'*", {u"O'Brien Plumbing"_s, u"O'Hara Bakery"_s}},
        {"City",
         "<>",
         "New York",
         {u"Blank City Ltd"_s, u"Brown & Co"_s, u"O'Hara Bakery"_s, u"Zenith Labs"_s}},
        // A date is a whole day's midnight: Acme's first date has a time of day.
        {"First Date", "=", "2026-12-05", {u"O'Brien Plumbing"_s}},
        {"First Date",
         ">=",
         "1 Dec 2026",
         {u"Acme Tools"_s, u"O'Brien Plumbing"_s, u"Zenith Labs"_s}},
    };
    for (const auto& c : cases) {
        auto f = open(u"Customers"_s);
        condition(*f, "cmdAnd", c.caption, c.op, c.value);
        EXPECT_EQ(rows(run(*f)), c.expected) << c.caption << ' ' << c.op << ' ' << c.value;
    }
}

TEST_F(FilterWindowTest, BadInputIsRefusedAndKept) {
    auto f = open(u"Customers"_s);
    condition(*f, "cmdAnd", "City", "=", "Boston");
    ask.message(tv::data::msgbox::kOk, u"not valid"_s);  // 800
    condition(*f, "cmdAnd", "First Date", "=", "next Tuesday");
    EXPECT_EQ(criteria(*f)->toPlainText(), u"[City] = 'Boston'"_s);
    EXPECT_EQ(child(*f, "cboValue")->currentText(), u"next Tuesday"_s);
    // Criteria the engine cannot read get their message before the window goes.
    criteria(*f)->setPlainText(u"[City] = = 'Boston'"_s);
    ask.message(tv::data::msgbox::kOk, u"could not open"_s);  // 194
    EXPECT_TRUE(run(*f).isEmpty());
    EXPECT_NE(f->result(), QDialog::Accepted);
    EXPECT_EQ(criteria(*f)->toPlainText(), u"[City] = = 'Boston'"_s);
}

TEST_F(FilterWindowTest, SortAndTheDefinitionsTables) {
    auto f = open(u"Customers"_s);
    sortOn(*f, "City", true);
    // Equal cities keep the first field's order.
    EXPECT_EQ(rows(run(*f)),
              (QStringList{u"Acme Tools"_s, u"O'Brien Plumbing"_s, u"Brown & Co"_s,
                           u"O'Hara Bakery"_s, u"Zenith Labs"_s, u"Blank City Ltd"_s}));
    f = open(u"Customers"_s);
    sortOn(*f, "(none)", true);
    EXPECT_EQ(rows(run(*f)).first(), u"Acme Tools"_s);

    f = open(u"Form Captions"_s, {u"Window"_s, u"Control"_s, u"Caption"_s});
    condition(*f, "cmdAnd", "Window", "=", "Filter");
    condition(*f, "cmdAnd", "Control", "Like", "cmd*");
    sortOn(*f, "Control", false);
    EXPECT_EQ(tvtest::queryColumn(state().DefinitionsDb, run(*f), 1),
              (QStringList{u"cmdAnd"_s, u"cmdClear"_s, u"cmdClose"_s, u"cmdGetValues"_s, u"cmdOr"_s,
                           u"cmdRunQuery"_s}));
}

TEST_F(FilterWindowTest, GetValuesListsTheDistinctNonBlankValues) {
    auto f = open(u"Customers"_s);
    child(*f, "cboField")->setCurrentIndex(2);  // City
    click(*f, "cmdGetValues");
    QStringList got;
    for (int i = 0; i < child(*f, "cboValue")->count(); ++i)
        got << child(*f, "cboValue")->itemText(i);
    got.sort();
    EXPECT_EQ(got, (QStringList{u"Albany"_s, u"Boston"_s, u"New York"_s}));
    EXPECT_EQ(ask.pointers().back(), tv::data::kPointerDefault);
}

TEST_F(FilterWindowTest, KeyboardNeverRunsAHalfBuiltQuery) {
    state().SharedValues[0] = u"left over"_s;
    auto f = open(u"Customers"_s);
    EXPECT_TRUE(state().SharedValues[0].isEmpty());  // loading clears it
    f->show();
    child(*f, "cboField")->setCurrentIndex(2);  // City
    child(*f, "cboValue")->setEditText(u"Boston"_s);
    pressKey(child(*f, "cboValue")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(criteria(*f)->toPlainText(), u"[City] = 'Boston'"_s);
    // In the saved filter name box Enter adds nothing either.
    child(*f, "filters")->setEditText(u"not saved"_s);
    pressKey(child(*f, "filters")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(criteria(*f)->toPlainText(), u"[City] = 'Boston'"_s);
    EXPECT_TRUE(f->isVisible());
    f->setResult(-1);
    pressKey(f.get(), Qt::Key_Escape);
    EXPECT_EQ(f->result(), QDialog::Rejected);
    EXPECT_TRUE(state().SharedValues[0].isEmpty());
}

TEST_F(FilterWindowTest, SavedFiltersRoundTrip) {
    auto f = open(u"Customers"_s);
    condition(*f, "cmdAnd", "City", "=", "New York");
    sortOn(*f, "City", false);
    ask.message(tv::data::msgbox::kOk, u"name for the filter"_s);  // 200
    click(*f, "filterbutton_0");
    child(*f, "filters")->setEditText(u"New York"_s);
    click(*f, "filterbutton_0");
    EXPECT_EQ(status.text(), u"Filter saved."_s);
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

    // Picking the name in another window loads it over what the box held; leaving the name
    // box loads it only over untouched criteria.
    auto g = open(u"Customers"_s);
    criteria(*g)->setPlainText(u"[City] = 'Albany'"_s);
    child(*g, "filters")->setCurrentIndex(0);
    emit child(*g, "filters")->activated(0);
    EXPECT_EQ(child(*g, "cboOrderByField")->currentText(), u"City"_s);
    EXPECT_EQ(rows(run(*g)), (QStringList{u"Brown & Co"_s, u"O'Hara Bakery"_s}));
    for (const bool touched : {false, true}) {
        auto h = open(u"Customers"_s);
        if (touched) condition(*h, "cmdAnd", "State", "=", "NY");
        child(*h, "filters")->setEditText(u"New York"_s);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(child(*h, "filters")->lineEdit(), &out);
        EXPECT_EQ(criteria(*h)->toPlainText(),
                  touched ? u"[State] = 'NY'"_s : u"[City] = 'Boston'"_s);
    }
    auto h = open(u"Customers"_s);
    child(*h, "filters")->setEditText(u"New York"_s);
    click(*h, "filterbutton_1");
    EXPECT_EQ(status.text(), u"Filter deleted."_s);
    EXPECT_EQ(dataValue(u"SELECT COUNT(*) FROM FILTERS"_s), u"0"_s);
}

TEST_F(FilterWindowTest, TablesAgreeingInTenCharactersShareFilters) {
    auto orders = open(u"Sales Orders"_s, {u"Order No"_s});
    criteria(*orders)->setPlainText(u"[Order No] > 100"_s);
    child(*orders, "filters")->setEditText(u"Recent"_s);
    click(*orders, "filterbutton_0");
    EXPECT_EQ(dataValue(u"SELECT [TABLENAME] FROM FILTERS"_s), u"Sales Orde"_s);
    auto detail = open(u"Sales Orders Detail"_s, {u"Order No"_s});
    EXPECT_EQ(child(*detail, "filters")->itemText(0), u"Recent"_s);
    EXPECT_EQ(child(*open(u"Sales Opportunities"_s, {u"Customer"_s}), "filters")->count(), 0);
}

}  // namespace
