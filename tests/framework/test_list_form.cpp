// The list window: its default query and sort, the count in the title, filters through
// Refresh, a query the engine refuses, the user's rights on the buttons, the commands on
// an empty list, deleting, exporting, the F2 column reset and the layout kept across a
// restart.
#include "core/settings_store.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "forms/framework/filter_window.h"
#include "forms/framework/grid_layout.h"
#include "forms/framework/list_model.h"
#include "forms/framework/twips.h"
#include "framework/list_fixture.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace tvtest {
namespace {

using tv::data::state;
using tv::forms::ListForm;
namespace msgbox = tv::data::msgbox;

// The fields of a comma-delimited line as a spreadsheet reads them: a quoted field runs to
// its closing quote, "" inside it being one quote.
QStringList delimitedFields(const QString& line) {
    static const QRegularExpression field(QStringLiteral(R"(("(?:[^"]|"")*"|[^,"]*)(,|$))"));
    QStringList fields;
    for (qsizetype at = 0;;) {
        const auto m = field.match(line, at, QRegularExpression::NormalMatch,
                                   QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch()) return fields << QStringLiteral("<not delimited>");
        QString text = m.captured(1);
        if (text.startsWith(u'"')) text = text.mid(1, text.size() - 2).replace("\"\"", "\"");
        fields << text;
        if (m.captured(2).isEmpty()) return fields;
        at = m.capturedEnd();
    }
}

TEST_F(ListFormTest, TheDefaultListIsSortedOnTheLastKeyField) {
    addFeedback(QStringLiteral("Zeta Copiers"), QStringLiteral("2026-01-05 09:00:00"));
    addFeedback(QStringLiteral("Alpha Print"), QStringLiteral("2026-03-05 09:00:00"));
    addFeedback(QStringLiteral("Mid Office"), QStringLiteral("2026-02-05 09:00:00"));
    struct Case {
        const char* table;
        bool descending;
        const char* query;
        QStringList firstColumn;  // empty: not checked
    };
    const Case cases[] = {
        {"Customer Feedback",
         false,
         "SELECT * FROM [Customer Feedback] ORDER BY [DATETIME]",
         {"Zeta Copiers", "Mid Office", "Alpha Print"}},
        {"Customer Feedback",
         true,
         "SELECT * FROM [Customer Feedback] ORDER BY [DATETIME] DESC",
         {"Alpha Print", "Mid Office", "Zeta Copiers"}},
        {"Customers", false, "SELECT * FROM [Customers] ORDER BY [CUSTOMER NAME]", {}},
        {"Form Captions", false, "SELECT * FROM [Form Captions] ORDER BY 1,2,3", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        const QString table = QString::fromLatin1(c.table);
        tv::SaveSetting(tv::kAppName, table, QStringLiteral("Descending Sort"),
                        c.descending ? QStringLiteral("1") : QStringLiteral("0"));
        ListForm* list = openList(table);
        EXPECT_EQ(list->ListQuery(), QString::fromLatin1(c.query));
        if (!c.firstColumn.isEmpty()) {
            EXPECT_EQ(columnTexts(list, 0), c.firstColumn);
        }
        delete list;
    }
}

TEST_F(ListFormTest, AFilterStaysInForceThroughRefresh) {
    addCustomers({QStringLiteral("Acme"), QStringLiteral("Bolt")}, QStringLiteral("Leeds"));
    addCustomers({QStringLiteral("Crane"), QStringLiteral("Dale")}, QStringLiteral("York"));
    ListForm* list = openList(QStringLiteral("Customers"));
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Customers (4)"));
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Account Name"));
    EXPECT_EQ(list->grid()->currentIndex().row(), 0) << "the first row is current";
    const QString filter = QStringLiteral(
        "SELECT * FROM [Customers] WHERE [POSTALCITY] = 'York' ORDER BY [CUSTOMER NAME]");
    list->applyQuery(filter);
    EXPECT_EQ(columnTexts(list, 0), (QStringList{"Crane", "Dale"}));

    addCustomers({QStringLiteral("Eden")}, QStringLiteral("York"));
    addCustomers({QStringLiteral("Fenwick")}, QStringLiteral("Leeds"));
    list->runCommand(ListForm::Refresh);
    EXPECT_EQ(list->ListQuery(), filter);
    EXPECT_EQ(columnTexts(list, 0), (QStringList{"Crane", "Dale", "Eden"}));
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Customers (3)"));
}

TEST_F(ListFormTest, TheFilterWindowsQueryBecomesTheList) {
    addCustomers({QStringLiteral("Acme"), QStringLiteral("Bolt")}, QStringLiteral("Leeds"));
    addCustomers({QStringLiteral("O'Brien")}, QStringLiteral("York"));
    ListForm* list = openList(QStringLiteral("Customers"));
    // Answers the modal Filter window as its Run (a query) or Close (none) does.
    auto answer = [](const QString& query) {
        QTimer::singleShot(0, [query] {
            auto* filter = qobject_cast<tv::forms::Filter*>(QApplication::activeModalWidget());
            ASSERT_TRUE(filter);
            EXPECT_EQ(filter->tableName(), QStringLiteral("Customers"));
            state().SharedValues[0] = query;
            if (query.isEmpty())
                filter->reject();
            else
                filter->accept();
        });
    };
    answer(QString());
    list->runCommand(ListForm::Filter);
    EXPECT_EQ(list->model()->rowCount(), 3);

    const QString york = QStringLiteral("Select * From [Customers] Where ([POSTALCITY] = 'York')");
    answer(york);
    list->runCommand(ListForm::Filter);
    EXPECT_EQ(list->ListQuery(), york);
    EXPECT_EQ(columnTexts(list, 0), QStringList{QStringLiteral("O'Brien")});
    EXPECT_TRUE(state().SharedValues[0].isEmpty()) << "the query is taken, not left behind";
}

TEST_F(ListFormTest, AQueryTheEngineRefusesLeavesAnEmptyUsableList) {
    addCustomers({QStringLiteral("Acme")});
    ListForm* list = openList(QStringLiteral("Customers"));
    ask.message(msgbox::kOk, QStringLiteral("could not open"));
    list->applyQuery(QStringLiteral("SELECT * FROM [Customers] WHERE [NO SUCH COLUMN] = 1"));
    ASSERT_EQ(ask.messages().size(), 1u);
    EXPECT_TRUE(
        ask.messages()[0].text.contains(QStringLiteral("NO SUCH COLUMN"), Qt::CaseInsensitive))
        << "the engine's own text is shown: " << ask.messages()[0].text.toStdString();
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Customers (0)"));

    ask.message(msgbox::kOk, QStringLiteral("no record selected"));
    list->runCommand(ListForm::Edit);
    list->applyQuery(QStringLiteral("SELECT * FROM [Customers]"));
    EXPECT_EQ(columnTexts(list, 0), QStringList{QStringLiteral("Acme")});
}

TEST_F(ListFormTest, ButtonsFollowTheUsersRights) {
    struct Case {
        const char* table;
        tv::data::AccessEntry entry;
        bool add, edit, del;
    };
    const Case cases[] = {
        {"Customers",
         {QStringLiteral("Customers"), false, false, false, true},
         false,
         false,
         false},
        {"Customers", {QStringLiteral("Customers"), true, false, true, true}, true, false, true},
        {"Customers", {QStringLiteral("Contacts"), false, false, false, false}, true, true, true},
        {"Completed Requests",
         {QStringLiteral("Contacts"), true, true, true, true},
         false,
         true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " with an entry for " +
                     c.entry.TableName.toStdString());
        state().UserAccess = {c.entry};
        ListForm* list = openList(QString::fromLatin1(c.table));
        EXPECT_EQ(list->commandButton(ListForm::Add)->isEnabled(), c.add);
        EXPECT_EQ(list->commandButton(ListForm::Copy)->isEnabled(), c.add);
        EXPECT_EQ(list->commandButton(ListForm::Edit)->isEnabled(), c.edit);
        EXPECT_EQ(list->commandButton(ListForm::Delete)->isEnabled(), c.del);
        EXPECT_TRUE(list->commandButton(ListForm::Refresh)->isEnabled());
        EXPECT_TRUE(list->commandButton(ListForm::Export)->isEnabled());
        EXPECT_FALSE(list->commandButton(ListForm::Find)->isEnabled());
        EXPECT_TRUE(list->commandButton(ListForm::Find)
                        ->toolTip()
                        .contains(QStringLiteral("later version")));
        delete list;
    }
    // A disabled command does nothing, whoever asks for it (no record window, no message).
    state().UserAccess = {{QStringLiteral("Customers"), false, false, false, true}};
    ListForm* list = openList(QStringLiteral("Customers"));
    list->RemoteAdd();
    list->runCommand(ListForm::Delete);
    EXPECT_FALSE(list->RefreshPending());
}

TEST_F(ListFormTest, CommandsOnAnEmptyListSayThereIsNoRow) {
    ListForm* list = openList(QStringLiteral("Customers"));
    ask.message(msgbox::kOk, QStringLiteral("no record selected"),
                QStringLiteral("No Record Selected"));
    ask.message(msgbox::kOk, QStringLiteral("no record selected to delete"));
    ask.message(msgbox::kOk, QStringLiteral("no record selected to copy"));
    list->runCommand(ListForm::Edit);
    list->runCommand(ListForm::Delete);
    list->runCommand(ListForm::Copy);
    EXPECT_FALSE(list->RefreshPending());
}

TEST_F(ListFormTest, DeleteAsksWithTheKeysOnLinesOfTheirOwn) {
    addFeedback(QStringLiteral("O'Brien Office"), QStringLiteral("2026-01-05 09:00:00"));
    addFeedback(QStringLiteral("Mid Office"), QStringLiteral("2026-02-05 09:30:00"));
    ListForm* list = openList(QStringLiteral("Customer Feedback"));
    list->grid()->setCurrentIndex(list->model()->index(0, 2));

    ask.message(msgbox::kNo, QStringLiteral("delete this record"));
    list->runCommand(ListForm::Delete);
    EXPECT_EQ(list->model()->rowCount(), 2);
    const QString asked = ask.messages().at(0).text;
    EXPECT_TRUE(asked.contains(QStringLiteral("\n\nO'Brien Office\n") +
                               list->model()->index(0, 1).data().toString() + u'\n'))
        << asked.toStdString();

    ask.message(msgbox::kYes, QStringLiteral("delete this record"));
    list->runCommand(ListForm::Delete);
    EXPECT_EQ(columnTexts(list, 0), QStringList{QStringLiteral("Mid Office")});
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Customer Feedback (1)"));
    EXPECT_EQ(dataValue(QStringLiteral("SELECT COUNT(*) FROM [CUSTOMER FEEDBACK]")),
              QStringLiteral("1"));
}

TEST_F(ListFormTest, ExportedValuesStayInTheirFields) {
    const QString tricky = QStringLiteral("O'Brien, \"The Copier People\", Ltd");
    addCustomers({tricky, QStringLiteral("Plain")});
    ListForm* list = openList(QStringLiteral("Customers"));
    const QString path = data.file(QStringLiteral("customers"));
    ask.saveFile(path, QStringLiteral("Export List"));
    ask.message(msgbox::kOk, QStringLiteral("exported"));
    list->runCommand(ListForm::Export);

    QFile file(path + QStringLiteral(".txt"));  // the default extension was added
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    ASSERT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    const int columns = list->model()->columnCount();
    const QStringList header = delimitedFields(lines[0]);
    ASSERT_EQ(header.size(), columns);
    EXPECT_EQ(header[0], QStringLiteral("Account Name"));
    const QStringList row = delimitedFields(lines[1]);
    ASSERT_EQ(row.size(), columns) << lines[1].toStdString();
    EXPECT_EQ(row[0], tricky);
    EXPECT_EQ(row[2], QStringLiteral("Leeds"));
    EXPECT_EQ(row[20], QStringLiteral("#NULL#")) << "an empty date";
}

TEST_F(ListFormTest, AnExportThatCannotBeWrittenSaysWhy) {
    addCustomers({QStringLiteral("Acme")});
    ListForm* list = openList(QStringLiteral("Customers"));
    // A "folder" that is a file: nobody can create a file inside it.
    const QString path = dataPath() + QStringLiteral("/export.txt");
    ask.saveFile(path);
    ask.message(msgbox::kOk, QStringLiteral("could not be created"), QStringLiteral("Export List"));
    list->runCommand(ListForm::Export);
    const QString said = ask.messages().at(0).text;
    const QString after = said.section(path + QStringLiteral("\n\n"), 1);
    EXPECT_FALSE(after.trimmed().isEmpty())
        << "the system's error text follows the path: " << said.toStdString();
}

TEST_F(ListFormTest, F2ResetsTheColumnsWhenTheUserAgrees) {
    addCustomers({QStringLiteral("Acme")});
    ListForm* list = openList(QStringLiteral("Customers"));
    QTableView* grid = list->grid();
    grid->setColumnWidth(0, 333);
    grid->horizontalHeader()->moveSection(0, 3);

    QTest::keyClick(grid, Qt::Key_F2, Qt::ShiftModifier);  // not the reset
    ask.message(msgbox::kNo, QStringLiteral("reset the columns"));
    QTest::keyClick(grid, Qt::Key_F2);
    EXPECT_EQ(grid->columnWidth(0), 333);

    ask.message(msgbox::kYes, QStringLiteral("reset the columns"));
    QTest::keyClick(grid, Qt::Key_F2);
    EXPECT_EQ(grid->columnWidth(0), tv::forms::twipsToPixelsX(tv::forms::kResetColumnWidth));
    EXPECT_EQ(grid->horizontalHeader()->visualIndex(0), 0);

    // The same with the focus on a button.
    ask.message(msgbox::kNo, QStringLiteral("reset the columns"));
    QTest::keyClick(list->commandButton(ListForm::Refresh), Qt::Key_F2);
}

TEST_F(ListFormTest, ColumnsComeBackAsTheUserLeftThem) {
    addCustomers({QStringLiteral("Acme")});
    ListForm* list = openList(QStringLiteral("Customers"));
    list->grid()->setColumnWidth(1, 210);
    list->grid()->horizontalHeader()->moveSection(2, 0);
    list->close();  // the Close command's unload step
    EXPECT_FALSE(
        tv::GetSetting(tv::kAppName, QStringLiteral("Customers"), QStringLiteral("Widths"), {})
            .isEmpty());

    ListForm* again = openList(QStringLiteral("Customers"));
    EXPECT_EQ(again->grid()->columnWidth(1), 210);
    EXPECT_EQ(again->grid()->horizontalHeader()->visualIndex(2), 0);
}

TEST_F(ListFormTest, PrintingWritesEveryRowOnNumberedPages) {
    ListForm* empty = openList(QStringLiteral("Customers"));
    ask.message(msgbox::kOk, QStringLiteral("no records to print"));
    empty->runCommand(ListForm::Print);  // no printer dialog for an empty list
    delete empty;

    QStringList names;
    for (int i = 0; i < 150; ++i)
        names << QStringLiteral("Customer %1").arg(i, 3, 10, QLatin1Char('0'));
    addCustomers(names);
    ListForm* list = openList(QStringLiteral("Customers"));
    auto pagesOf = [](const QString& pdf) {
        QFile file(pdf);
        if (!file.open(QIODevice::ReadOnly)) return -1;
        const QString bytes = QString::fromLatin1(file.readAll());
        return static_cast<int>(
            bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
    };
    const QString all = data.file(QStringLiteral("all.pdf"));
    ask.printer(true, all);
    list->runCommand(ListForm::Print);
    const int pages = pagesOf(all);
    EXPECT_GE(pages, 3) << "150 rows do not fit on two pages";

    // A filtered list prints only its rows: fewer pages.
    list->applyQuery(
        QStringLiteral("SELECT * FROM [Customers] WHERE [CUSTOMER NAME] < 'Customer 010'"));
    const QString some = data.file(QStringLiteral("some.pdf"));
    ask.printer(true, some);
    list->runCommand(ListForm::Print);
    EXPECT_EQ(pagesOf(some), 1);

    ask.printer(false);
    list->runCommand(ListForm::Print);  // cancelled: nothing else happens
}

}  // namespace
}  // namespace tvtest
