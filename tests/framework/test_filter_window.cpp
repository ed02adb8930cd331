// The Filter window over the shipped databases: queries built with its buttons are run
// through the engine and judged by the rows they return; saved filters are read back from
// the FILTERS table; the keyboard never runs a half-built query.
#include "core/format.h"
#include "data/access.h"
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

using tv::data::state;
using tv::forms::Filter;

// Customers columns 1-4, then placeholders up to First Date (column 21).
QStringList customerCaptions() {
    QStringList captions = {"Account Name", "Street", "City", "State"};
    while (captions.size() < 20) captions << QStringLiteral("Column %1").arg(captions.size() + 1);
    return captions << "First Date";
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
            execData({QStringLiteral("INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [POSTALCITY], "
                                     "[POSTALSTATE], [FIRSTDATE]) VALUES (%1, %2, %3, %4)")
                          .arg(tv::engine::quoteLiteral(r[0]), tv::engine::quoteLiteral(r[1]),
                               tv::engine::quoteLiteral(r[2]), r[3])});
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

    template <typename T = QComboBox>
    static T* child(Filter& f, const char* name) {
        T* c = f.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static QPlainTextEdit* criteria(Filter& f) { return child<QPlainTextEdit>(f, "txtCriteria"); }
    static void click(Filter& f, const char* name) { child<QPushButton>(f, name)->click(); }

    // Picks field, operator and value and presses And or Or.
    static void condition(Filter& f, const char* joinButton, const QString& caption,
                          const QString& op, const QString& value) {
        child(f, "cboField")->setCurrentIndex(child(f, "cboField")->findText(caption));
        ASSERT_EQ(child(f, "cboField")->currentText(), caption);
        child(f, "cboOperator")->setCurrentIndex(child(f, "cboOperator")->findText(op));
        child(f, "cboValue")->setEditText(value);
        click(f, joinButton);
    }
    static void sortOn(Filter& f, const QString& caption, bool descending) {
        child(f, "cboOrderByField")
            ->setCurrentIndex(child(f, "cboOrderByField")->findText(caption));
        child<QRadioButton>(f, descending ? "optOrder_1" : "optOrder_0")->setChecked(true);
    }
    static QString run(Filter& f) {
        click(f, "cmdRunQuery");
        return state().SharedValues[0];
    }

    // Column `column` of every row the statement returns, in its order.
    static QStringList rows(const QString& sql, int database = tv::data::kDataDb, int column = 0) {
        QStringList values;
        tv::engine::Recordset rs = tv::data::OpenTable(sql, database);
        EXPECT_TRUE(rs.IsOpen()) << sql.toStdString();
        for (; rs.IsOpen() && !rs.EOF_(); rs.MoveNext()) values.append(tv::TextOf(rs[column]));
        return values;
    }
    static void pressKey(QWidget* target, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    QStandardItemModel model;
    QTableView grid;
    QLabel status;
};

TEST_F(FilterWindowTest, ColumnsComeFromTheGridHeaderInLogicalOrder) {
    auto f = open(QStringLiteral("Customers"));
    // The user has dragged City to the front; captions still map by column, not by place.
    grid.horizontalHeader()->moveSection(2, 0);
    f->ListDataFields(&grid);
    EXPECT_EQ(child(*f, "cboField")->itemText(2), QStringLiteral("City"));
    EXPECT_EQ(child(*f, "cboOrderByField")->itemText(0), QStringLiteral("(none)"));
    EXPECT_EQ(child(*f, "cboOrderByField")->count(), customerCaptions().size() + 1);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Filter Records"));  // from FORM CAPTIONS

    condition(*f, "cmdAnd", "City", "=", "Boston");
    EXPECT_EQ(rows(run(*f)), (QStringList{"Brown & Co", "O'Hara Bakery"}));
}

TEST_F(FilterWindowTest, AndThenOrGroupsTheOrWithTheConditionBefore) {
    auto f = open(QStringLiteral("Customers"));
    condition(*f, "cmdAnd", "State", "=", "NY");
    condition(*f, "cmdAnd", "City", "=", "Boston");
    condition(*f, "cmdOr", "Account Name", "Like", "O*");
    EXPECT_EQ(
        criteria(*f)->toPlainText(),
        QStringLiteral("[State] = 'NY'\nAnd [City] = 'Boston'\n Or [Account Name] Like 'O*'"));
    const QString sql = run(*f);
    EXPECT_EQ(sql, QStringLiteral("Select * From [Customers] Where ([POSTALSTATE] = 'NY') AND "
                                  "([POSTALCITY] = 'Boston' OR [CUSTOMER NAME] LIKE 'O*') "
                                  "Order By [CUSTOMER NAME]"));
    // Read as (NY AND Boston) OR O* it would bring O'Hara too.
    EXPECT_EQ(rows(sql), QStringList{"O'Brien Plumbing"});
    EXPECT_EQ(f->result(), QDialog::Accepted);
}

TEST_F(FilterWindowTest, ValuesFindTheirRows) {
    struct Case {
        const char* caption;
        const char* op;
        const char* value;
        QStringList expected;
    };
    const Case cases[] = {
        {"Account Name", "=", "O'Brien Plumbing", {"O'Brien Plumbing"}},
        {"Account Name", "Like", "O'*", {"O'Brien Plumbing", "O'Hara Bakery"}},
        {"City", "=", "New York", {"Acme Tools", "O'Brien Plumbing"}},
        {"City",
         "<>",
         "New York",
         {"Blank City Ltd", "Brown & Co", "O'Hara Bakery", "Zenith Labs"}},
        // A date is a whole day's midnight: Acme's first date has a time of day.
        {"First Date", "=", "2026-12-05", {"O'Brien Plumbing"}},
        {"First Date", ">=", "1 Dec 2026", {"Acme Tools", "O'Brien Plumbing", "Zenith Labs"}},
        {"First Date", ">", "2030-01-01", {"Zenith Labs"}},
    };
    for (const Case& c : cases) {
        auto f = open(QStringLiteral("Customers"));
        condition(*f, "cmdAnd", c.caption, c.op, c.value);
        EXPECT_EQ(rows(run(*f)), c.expected) << c.caption << ' ' << c.op << ' ' << c.value;
    }
}

TEST_F(FilterWindowTest, BadInputIsRefusedAndKept) {
    auto f = open(QStringLiteral("Customers"));
    condition(*f, "cmdAnd", "City", "=", "Boston");
    ask.message(tv::data::msgbox::kOk, QStringLiteral("not valid"));  // 800
    condition(*f, "cmdAnd", "First Date", "=", "next Tuesday");
    EXPECT_EQ(criteria(*f)->toPlainText(), QStringLiteral("[City] = 'Boston'"));
    EXPECT_EQ(child(*f, "cboValue")->currentText(), QStringLiteral("next Tuesday"));

    // Criteria the engine cannot read get their message before the window goes.
    criteria(*f)->setPlainText(QStringLiteral("[City] = = 'Boston'"));
    ask.message(tv::data::msgbox::kOk, QStringLiteral("could not open"));  // 194
    EXPECT_TRUE(run(*f).isEmpty());
    EXPECT_NE(f->result(), QDialog::Accepted);
    EXPECT_EQ(criteria(*f)->toPlainText(), QStringLiteral("[City] = = 'Boston'"));
}

TEST_F(FilterWindowTest, SortFieldDirectionAndNone) {
    auto f = open(QStringLiteral("Customers"));
    sortOn(*f, "City", true);
    // Equal cities keep the first field's order.
    EXPECT_EQ(rows(run(*f)), (QStringList{"Acme Tools", "O'Brien Plumbing", "Brown & Co",
                                          "O'Hara Bakery", "Zenith Labs", "Blank City Ltd"}));
    f = open(QStringLiteral("Customers"));
    sortOn(*f, "(none)", true);
    EXPECT_EQ(rows(run(*f)), (QStringList{"Acme Tools", "Blank City Ltd", "Brown & Co",
                                          "O'Brien Plumbing", "O'Hara Bakery", "Zenith Labs"}));
}

TEST_F(FilterWindowTest, DefinitionsTablesAreReadFromTheDefinitionsDatabase) {
    auto f = open(QStringLiteral("Form Captions"), {"Window", "Control", "Caption"});
    condition(*f, "cmdAnd", "Window", "=", "Filter");
    condition(*f, "cmdAnd", "Control", "Like", "cmd*");
    sortOn(*f, "Control", false);
    EXPECT_EQ(
        rows(run(*f), tv::data::kDefinitionsDb, 1),
        (QStringList{"cmdAnd", "cmdClear", "cmdClose", "cmdGetValues", "cmdOr", "cmdRunQuery"}));
}

TEST_F(FilterWindowTest, GetValuesListsTheDistinctNonBlankValues) {
    auto f = open(QStringLiteral("Customers"));
    child(*f, "cboField")->setCurrentIndex(2);  // City
    click(*f, "cmdGetValues");
    QComboBox* values = child(*f, "cboValue");
    QStringList got;
    for (int i = 0; i < values->count(); ++i) got << values->itemText(i);
    got.sort();
    EXPECT_EQ(got, (QStringList{"Albany", "Boston", "New York"}));
    EXPECT_EQ(values->currentText(), values->itemText(0));
    EXPECT_EQ(ask.pointers().back(), tv::data::kPointerDefault);
}

TEST_F(FilterWindowTest, KeyboardNeverRunsAHalfBuiltQuery) {
    state().SharedValues[0] = QStringLiteral("left over");
    auto f = open(QStringLiteral("Customers"));
    EXPECT_TRUE(state().SharedValues[0].isEmpty());  // loading clears it
    f->show();
    child(*f, "cboField")->setCurrentIndex(2);  // City
    QComboBox* value = child(*f, "cboValue");
    value->setFocus();
    value->setEditText(QStringLiteral("Boston"));
    pressKey(value->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(criteria(*f)->toPlainText(), QStringLiteral("[City] = 'Boston'"));
    EXPECT_TRUE(f->isVisible());

    // In the saved filter name box Enter adds nothing either.
    child(*f, "filters")->setEditText(QStringLiteral("not saved"));
    pressKey(child(*f, "filters")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(criteria(*f)->toPlainText(), QStringLiteral("[City] = 'Boston'"));

    f->setResult(-1);
    pressKey(f.get(), Qt::Key_Escape);
    EXPECT_EQ(f->result(), QDialog::Rejected);
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(state().SharedValues[0].isEmpty());
}

TEST_F(FilterWindowTest, SavedFiltersRoundTrip) {
    auto f = open(QStringLiteral("Customers"));
    QComboBox* names = child(*f, "filters");
    condition(*f, "cmdAnd", "City", "=", "New York");
    sortOn(*f, "City", false);
    ask.message(tv::data::msgbox::kOk, QStringLiteral("name for the filter"));  // 200
    click(*f, "filterbutton_0");
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM FILTERS"), QStringLiteral("0"));

    names->setEditText(QStringLiteral("New York"));
    click(*f, "filterbutton_0");
    EXPECT_EQ(status.text(), QStringLiteral("Filter saved."));
    EXPECT_EQ(dataValue("SELECT [TABLENAME] & '|' & [CRITERIA] & '|' & [SORTFIELD] FROM FILTERS "
                        "WHERE [FILTERNAME] = 'New York'"),
              QStringLiteral("Customers|[City] = 'New York'|3"));

    // The same name again (in other letters) replaces the criteria and adds no entry.
    criteria(*f)->setPlainText(QStringLiteral("[City] = 'Boston'"));
    names->setEditText(QStringLiteral("new york"));
    click(*f, "filterbutton_0");
    EXPECT_EQ(names->count(), 1);
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM FILTERS"), QStringLiteral("1"));
    EXPECT_EQ(dataValue("SELECT [CRITERIA] FROM FILTERS"), QStringLiteral("[City] = 'Boston'"));

    // Picking the name from the list in another window loads it, over what the box held.
    auto g = open(QStringLiteral("Customers"));
    ASSERT_EQ(child(*g, "filters")->count(), 1);
    EXPECT_TRUE(child(*g, "filters")->currentText().isEmpty());
    criteria(*g)->setPlainText(QStringLiteral("[City] = 'Albany'"));
    child(*g, "filters")->setCurrentIndex(0);
    emit child(*g, "filters")->activated(0);
    EXPECT_EQ(child(*g, "cboOrderByField")->currentText(), QStringLiteral("City"));
    EXPECT_EQ(rows(run(*g)), (QStringList{"Brown & Co", "O'Hara Bakery"}));

    auto h = open(QStringLiteral("Customers"));
    child(*h, "filters")->setEditText(QStringLiteral("New York"));
    click(*h, "filterbutton_1");
    EXPECT_EQ(status.text(), QStringLiteral("Filter deleted."));
    EXPECT_EQ(child(*h, "filters")->count(), 0);
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM FILTERS"), QStringLiteral("0"));
}

TEST_F(FilterWindowTest, LeavingTheNameBoxLoadsOnlyOverUntouchedCriteria) {
    auto f = open(QStringLiteral("Customers"));
    condition(*f, "cmdAnd", "City", "=", "Albany");
    child(*f, "filters")->setEditText(QStringLiteral("Upstate"));
    click(*f, "filterbutton_0");

    auto leaveNameBox = [](Filter& w) {
        child(w, "filters")->setEditText(QStringLiteral("Upstate"));
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(child(w, "filters")->lineEdit(), &out);
    };
    auto g = open(QStringLiteral("Customers"));
    leaveNameBox(*g);
    EXPECT_EQ(criteria(*g)->toPlainText(), QStringLiteral("[City] = 'Albany'"));

    // New criteria, then the old name and Save: what was typed is saved.
    auto h = open(QStringLiteral("Customers"));
    condition(*h, "cmdAnd", "State", "=", "NY");
    leaveNameBox(*h);
    EXPECT_EQ(criteria(*h)->toPlainText(), QStringLiteral("[State] = 'NY'"));
    click(*h, "filterbutton_0");
    EXPECT_EQ(dataValue("SELECT [CRITERIA] FROM FILTERS"), QStringLiteral("[State] = 'NY'"));
}

TEST_F(FilterWindowTest, TablesAgreeingInTenCharactersShareFilters) {
    auto orders = open(QStringLiteral("Sales Orders"), {"Order No"});
    criteria(*orders)->setPlainText(QStringLiteral("[Order No] > 100"));
    child(*orders, "filters")->setEditText(QStringLiteral("Recent"));
    click(*orders, "filterbutton_0");
    EXPECT_EQ(dataValue("SELECT [TABLENAME] FROM FILTERS"), QStringLiteral("Sales Orde"));

    auto detail = open(QStringLiteral("Sales Orders Detail"), {"Order No"});
    ASSERT_EQ(child(*detail, "filters")->count(), 1);
    EXPECT_EQ(child(*detail, "filters")->itemText(0), QStringLiteral("Recent"));
    EXPECT_EQ(child(*open(QStringLiteral("Sales Opportunities"), {"Customer"}), "filters")->count(),
              0);
}

}  // namespace
