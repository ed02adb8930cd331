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
using tv::engine::quoteLiteral;
using tv::forms::Filter;

// Captions of the Customers list's columns, in field order.
const QStringList kCustomerCaptions = {
    "Account Name",  "Street",        "City",          "State",     "Post Code",    "Delivery St",
    "Delivery City", "Del State",     "Del Code",      "Country",   "Telephone No", "Facsimile No",
    "URL",           "Email Address", "Industry Code", "Territory", "Manager",      "Campaign",
    "Relationship",  "Time Zone",     "First Date",    "Last Date", "Next Date",    "Account No",
    "Referred By",   "Comments"};

class FilterWindowTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        tv::forms::setStatusPanel(&status);
        addCustomer("O'Brien Plumbing", "New York", "NY", "#2026-12-05#");
        addCustomer("O'Hara Bakery", "Boston", "MA", "#2026-11-01#");
        addCustomer("Acme Tools", "New York", "NY", "#2026-12-05 14:30:00#");
        addCustomer("Zenith Labs", "Albany", "NY", "Null");
        addCustomer("Brown & Co", "Boston", "MA", "Null");
        addCustomer("Blank City Ltd", "  ", "MA", "Null");
    }
    void TearDown() override {
        tv::forms::setStatusPanel(nullptr);
        FrameworkTest::TearDown();
    }

    static void addCustomer(const QString& name, const QString& city, const QString& stateCode,
                            const QString& firstDate) {
        execData(
            {QStringLiteral("INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [POSTALCITY], "
                            "[POSTALSTATE], [FIRSTDATE]) VALUES (%1, %2, %3, %4)")
                 .arg(quoteLiteral(name), quoteLiteral(city), quoteLiteral(stateCode), firstDate)});
    }

    // A grid as the list window hands it over: a model whose header holds the captions.
    void setColumns(const QStringList& captions) {
        model.clear();
        model.setColumnCount(static_cast<int>(captions.size()));
        model.setHorizontalHeaderLabels(captions);
        grid.setModel(&model);
    }

    // A Filter window for the table, filled as the list window fills it.
    std::unique_ptr<Filter> open(const QString& table,
                                 const QStringList& captions = kCustomerCaptions) {
        setColumns(captions);
        auto f = std::make_unique<Filter>();
        f->setTableName(table);
        f->ListDataFields(&grid);
        f->LoadFilters();
        return f;
    }

    template <typename T>
    static T* control(Filter& f, const char* name) {
        T* c = f.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static QComboBox* combo(Filter& f, const char* name) { return control<QComboBox>(f, name); }
    static QPushButton* button(Filter& f, const char* name) {
        return control<QPushButton>(f, name);
    }
    static QPlainTextEdit* criteria(Filter& f) { return control<QPlainTextEdit>(f, "txtCriteria"); }

    // Picks field, operator and value and presses And or Or.
    static void condition(Filter& f, const char* joinButton, const QString& caption,
                          const QString& op, const QString& value) {
        QComboBox* field = combo(f, "cboField");
        field->setCurrentIndex(field->findText(caption));
        ASSERT_EQ(field->currentText(), caption);
        QComboBox* ops = combo(f, "cboOperator");
        ops->setCurrentIndex(ops->findText(op));
        combo(f, "cboValue")->setEditText(value);
        button(f, joinButton)->click();
    }

    static void sortOn(Filter& f, const QString& caption, bool descending) {
        QComboBox* sort = combo(f, "cboOrderByField");
        sort->setCurrentIndex(sort->findText(caption));
        control<QRadioButton>(f, descending ? "optOrder_1" : "optOrder_0")->setChecked(true);
    }

    static QString run(Filter& f) {
        button(f, "cmdRunQuery")->click();
        return state().SharedValues[0];
    }

    // The first column of every row the statement returns, in its order.
    static QStringList rows(const QString& sql, int database = tv::data::kDataDb) {
        QStringList names;
        tv::engine::Recordset rs = tv::data::OpenTable(sql, database);
        EXPECT_TRUE(rs.IsOpen()) << sql.toStdString();
        while (rs.IsOpen() && !rs.EOF_()) {
            names.append(tv::TextOf(rs[0]));
            rs.MoveNext();
        }
        return names;
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
    // The user has dragged City to the front; captions still map by column, not by place.
    setColumns(kCustomerCaptions);
    grid.horizontalHeader()->moveSection(2, 0);
    Filter f;
    f.setTableName(QStringLiteral("Customers"));
    EXPECT_EQ(f.ListDataFields(&grid), -1);

    QStringList fields, sorts;
    for (int i = 0; i < combo(f, "cboField")->count(); ++i)
        fields << combo(f, "cboField")->itemText(i);
    for (int i = 0; i < combo(f, "cboOrderByField")->count(); ++i)
        sorts << combo(f, "cboOrderByField")->itemText(i);
    EXPECT_EQ(fields, kCustomerCaptions);
    EXPECT_EQ(sorts, QStringList{"(none)"} + kCustomerCaptions);
    EXPECT_EQ(combo(f, "cboField")->currentIndex(), 0);
    EXPECT_EQ(combo(f, "cboOrderByField")->currentIndex(), 0);
    EXPECT_EQ(f.objectName(), QStringLiteral("Filter"));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Filter Records"));  // from FORM CAPTIONS

    condition(f, "cmdAnd", "City", "=", "Boston");
    sortOn(f, "City", false);
    EXPECT_EQ(rows(run(f)), (QStringList{"Brown & Co", "O'Hara Bakery"}));
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
    // (NY) AND (Boston OR O*): read as (NY AND Boston) OR O* it would bring O'Hara too.
    EXPECT_EQ(rows(sql), QStringList{"O'Brien Plumbing"});
    EXPECT_EQ(f->result(), QDialog::Accepted);
}

TEST_F(FilterWindowTest, QuotesAndBlanksInValuesFindTheirRows) {
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
        {"Account Name", "=", "Nobody's  Business", {}},
    };
    for (const Case& c : cases) {
        auto f = open(QStringLiteral("Customers"));
        condition(*f, "cmdAnd", c.caption, c.op, c.value);
        EXPECT_EQ(rows(run(*f)), c.expected) << c.caption << ' ' << c.op << ' ' << c.value;
    }
}

TEST_F(FilterWindowTest, DateCriteriaAreMediumDatesBetweenHashes) {
    auto f = open(QStringLiteral("Customers"));
    condition(*f, "cmdAnd", "First Date", "=", "2026-12-05");
    EXPECT_EQ(criteria(*f)->toPlainText(), QStringLiteral("[First Date] = #05-Dec-26#"));
    // Acme's first date has a time of day, so only O'Brien falls on midnight that day.
    EXPECT_EQ(rows(run(*f)), QStringList{"O'Brien Plumbing"});

    f = open(QStringLiteral("Customers"));
    condition(*f, "cmdAnd", "First Date", ">=", "1 Dec 2026");
    EXPECT_EQ(rows(run(*f)), (QStringList{"Acme Tools", "O'Brien Plumbing"}));
}

TEST_F(FilterWindowTest, AValueThatIsNoDateIsRefusedAndKept) {
    auto f = open(QStringLiteral("Customers"));
    condition(*f, "cmdAnd", "City", "=", "Boston");
    ask.message(tv::data::msgbox::kOk, QStringLiteral("not valid"));
    condition(*f, "cmdAnd", "First Date", "=", "next Tuesday");
    EXPECT_EQ(criteria(*f)->toPlainText(), QStringLiteral("[City] = 'Boston'"));
    EXPECT_EQ(combo(*f, "cboValue")->currentText(), QStringLiteral("next Tuesday"));
}

TEST_F(FilterWindowTest, SortFieldDirectionAndNone) {
    auto f = open(QStringLiteral("Customers"));
    condition(*f, "cmdAnd", "State", "<>", "XX");
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
    const QString sql = run(*f);
    EXPECT_TRUE(sql.contains(QStringLiteral("[FORMNAME] = 'Filter'"))) << sql.toStdString();
    QStringList controls;
    tv::engine::Recordset rs = tv::data::OpenTable(sql, tv::data::kDefinitionsDb);
    while (rs.IsOpen() && !rs.EOF_()) {
        controls << tv::TextOf(rs[1]);
        rs.MoveNext();
    }
    EXPECT_EQ(controls, (QStringList{"cmdAnd", "cmdClear", "cmdClose", "cmdGetValues", "cmdOr",
                                     "cmdRunQuery"}));
}

TEST_F(FilterWindowTest, GetValuesListsTheDistinctNonBlankValues) {
    auto f = open(QStringLiteral("Customers"));
    QComboBox* field = combo(*f, "cboField");
    field->setCurrentIndex(field->findText(QStringLiteral("City")));
    button(*f, "cmdGetValues")->click();
    QComboBox* values = combo(*f, "cboValue");
    QStringList got;
    for (int i = 0; i < values->count(); ++i) got << values->itemText(i);
    got.sort();
    EXPECT_EQ(got, (QStringList{"Albany", "Boston", "New York"}));
    EXPECT_EQ(values->currentText(), values->itemText(0));
    EXPECT_EQ(ask.pointers().back(), tv::data::kPointerDefault);
}

TEST_F(FilterWindowTest, CloseAndEscapeLeaveNoQuery) {
    state().SharedValues[0] = QStringLiteral("left over");
    auto f = open(QStringLiteral("Customers"));
    EXPECT_TRUE(state().SharedValues[0].isEmpty());  // loading clears it
    condition(*f, "cmdAnd", "City", "=", "Boston");
    f->show();
    f->setResult(-1);
    button(*f, "cmdClose")->click();
    EXPECT_EQ(f->result(), QDialog::Rejected);
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(state().SharedValues[0].isEmpty());

    f = open(QStringLiteral("Customers"));
    f->show();
    f->setResult(-1);
    pressKey(f.get(), Qt::Key_Escape);
    EXPECT_EQ(f->result(), QDialog::Rejected);
    EXPECT_FALSE(f->isVisible());
}

TEST_F(FilterWindowTest, EnterInTheValueBoxAddsTheConditionAndNeverRuns) {
    auto f = open(QStringLiteral("Customers"));
    f->show();
    QComboBox* field = combo(*f, "cboField");
    field->setCurrentIndex(field->findText(QStringLiteral("City")));
    QComboBox* value = combo(*f, "cboValue");
    value->setFocus();
    value->setEditText(QStringLiteral("Boston"));
    pressKey(value->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(criteria(*f)->toPlainText(), QStringLiteral("[City] = 'Boston'"));
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(state().SharedValues[0].isEmpty());

    // In the saved filter name box Enter adds nothing either.
    combo(*f, "filters")->lineEdit()->setFocus();
    combo(*f, "filters")->setEditText(QStringLiteral("not saved"));
    pressKey(combo(*f, "filters")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(criteria(*f)->toPlainText(), QStringLiteral("[City] = 'Boston'"));
    EXPECT_TRUE(f->isVisible());
}

TEST_F(FilterWindowTest, CriteriaTheEngineCannotReadKeepTheWindowOpen) {
    auto f = open(QStringLiteral("Customers"));
    criteria(*f)->setPlainText(QStringLiteral("[City] = = 'Boston'"));
    ask.message(tv::data::msgbox::kOk, QStringLiteral("could not open"));
    EXPECT_TRUE(run(*f).isEmpty());
    EXPECT_NE(f->result(), QDialog::Accepted);
    EXPECT_EQ(criteria(*f)->toPlainText(), QStringLiteral("[City] = = 'Boston'"));
}

TEST_F(FilterWindowTest, SavedFiltersRoundTrip) {
    auto f = open(QStringLiteral("Customers"));
    QComboBox* names = combo(*f, "filters");
    condition(*f, "cmdAnd", "City", "=", "New York");
    sortOn(*f, "City", false);

    ask.message(tv::data::msgbox::kOk, QStringLiteral("name for the filter"));
    button(*f, "filterbutton_0")->click();
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM FILTERS"), QStringLiteral("0"));

    names->setEditText(QStringLiteral("New York"));
    button(*f, "filterbutton_0")->click();
    EXPECT_EQ(status.text(), QStringLiteral("Filter saved."));
    EXPECT_EQ(dataValue("SELECT [CRITERIA] FROM FILTERS WHERE [TABLENAME] = 'Customers' AND "
                        "[FILTERNAME] = 'New York'"),
              QStringLiteral("[City] = 'New York'"));
    EXPECT_EQ(dataValue("SELECT [SORTFIELD] FROM FILTERS"), QStringLiteral("3"));

    // The same name again (in other letters) replaces the criteria and adds no entry.
    criteria(*f)->setPlainText(QStringLiteral("[City] = 'Boston'"));
    names->setEditText(QStringLiteral("new york"));
    button(*f, "filterbutton_0")->click();
    EXPECT_EQ(names->count(), 1);
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM FILTERS"), QStringLiteral("1"));
    EXPECT_EQ(dataValue("SELECT [CRITERIA] FROM FILTERS"), QStringLiteral("[City] = 'Boston'"));

    // Another window on the same list loads it by picking the name from the list, over
    // whatever the criteria box held.
    auto g = open(QStringLiteral("Customers"));
    QComboBox* gNames = combo(*g, "filters");
    ASSERT_EQ(gNames->count(), 1);
    EXPECT_TRUE(gNames->currentText().isEmpty());
    criteria(*g)->setPlainText(QStringLiteral("[City] = 'Albany'"));
    gNames->setCurrentIndex(0);
    emit gNames->activated(0);
    EXPECT_EQ(criteria(*g)->toPlainText(), QStringLiteral("[City] = 'Boston'"));
    EXPECT_EQ(combo(*g, "cboOrderByField")->currentText(), QStringLiteral("City"));
    EXPECT_EQ(rows(run(*g)), (QStringList{"Brown & Co", "O'Hara Bakery"}));

    // Deleting removes row and name and clears the criteria.
    auto h = open(QStringLiteral("Customers"));
    combo(*h, "filters")->setEditText(QStringLiteral("New York"));
    button(*h, "filterbutton_1")->click();
    EXPECT_EQ(status.text(), QStringLiteral("Filter deleted."));
    EXPECT_EQ(combo(*h, "filters")->count(), 0);
    EXPECT_TRUE(criteria(*h)->toPlainText().isEmpty());
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM FILTERS"), QStringLiteral("0"));
}

TEST_F(FilterWindowTest, LeavingTheNameBoxLoadsOnlyOverUntouchedCriteria) {
    auto f = open(QStringLiteral("Customers"));
    condition(*f, "cmdAnd", "City", "=", "Albany");
    combo(*f, "filters")->setEditText(QStringLiteral("Upstate"));
    button(*f, "filterbutton_0")->click();

    auto leaveNameBox = [](Filter& w) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(combo(w, "filters")->lineEdit(), &out);
    };
    // Nothing typed yet: leaving the box with a saved name loads it.
    auto g = open(QStringLiteral("Customers"));
    combo(*g, "filters")->setEditText(QStringLiteral("Upstate"));
    leaveNameBox(*g);
    EXPECT_EQ(criteria(*g)->toPlainText(), QStringLiteral("[City] = 'Albany'"));

    // New criteria typed, then the old name and Save: what was typed is saved.
    auto h = open(QStringLiteral("Customers"));
    condition(*h, "cmdAnd", "State", "=", "NY");
    combo(*h, "filters")->setEditText(QStringLiteral("Upstate"));
    leaveNameBox(*h);
    EXPECT_EQ(criteria(*h)->toPlainText(), QStringLiteral("[State] = 'NY'"));
    button(*h, "filterbutton_0")->click();
    EXPECT_EQ(dataValue("SELECT [CRITERIA] FROM FILTERS"), QStringLiteral("[State] = 'NY'"));
}

TEST_F(FilterWindowTest, TablesAgreeingInTenCharactersShareFilters) {
    auto orders = open(QStringLiteral("Sales Orders"), {"Order No"});
    criteria(*orders)->setPlainText(QStringLiteral("[Order No] > 100"));
    combo(*orders, "filters")->setEditText(QStringLiteral("Recent"));
    button(*orders, "filterbutton_0")->click();
    EXPECT_EQ(dataValue("SELECT [TABLENAME] FROM FILTERS"), QStringLiteral("Sales Orde"));

    auto detail = open(QStringLiteral("Sales Orders Detail"), {"Order No"});
    ASSERT_EQ(combo(*detail, "filters")->count(), 1);
    EXPECT_EQ(combo(*detail, "filters")->itemText(0), QStringLiteral("Recent"));
    auto opportunities = open(QStringLiteral("Sales Opportunities"), {"Customer"});
    EXPECT_EQ(combo(*opportunities, "filters")->count(), 0);
}

}  // namespace
