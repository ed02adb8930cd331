// The list window: its default query and sort, the count in the title, filters through
// Refresh, a query the engine refuses, the user's rights on the buttons, the commands on
// an empty list, deleting, exporting, the keyboard, and the columns and row height the
// user arranges, kept across a restart and reset by F2.
#include "core/settings_store.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "forms/framework/filter_window.h"
#include "forms/framework/grid_layout.h"
#include "forms/framework/list_model.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/twips.h"
#include "framework/list_fixture.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::data::state;
using tv::forms::ListForm;
namespace msgbox = tv::data::msgbox;

TEST_F(ListFormTest, TheDefaultListIsSortedOnTheLastKeyField) {
    addFeedback(u"Zeta Copiers"_s, u"2026-01-05 09:00:00"_s);
    addFeedback(u"Alpha Print"_s, u"2026-03-05 09:00:00"_s);
    addFeedback(u"Mid Office"_s, u"2026-02-05 09:00:00"_s);
    struct Case {
        const char* table;
        bool descending;
        const char* query;
        QStringList firstColumn;  // empty: not checked
    } const cases[] = {
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
        tv::SaveSetting(tv::kAppName, table, u"Descending Sort"_s, c.descending ? u"1"_s : u"0"_s);
        ListForm* list = openList(table);
        EXPECT_EQ(list->ListQuery(), QString::fromLatin1(c.query));
        if (!c.firstColumn.isEmpty()) {
            EXPECT_EQ(columnTexts(list, 0), c.firstColumn);
        }
        delete list;
    }
}

TEST_F(ListFormTest, AFilterStaysInForceThroughRefresh) {
    addCustomers({u"Acme"_s, u"Bolt"_s}, u"Leeds"_s);
    addCustomers({u"O'Brien"_s, u"Dale"_s}, u"York"_s);
    ListForm* list = openList(u"Customers"_s);
    EXPECT_EQ(list->windowTitle(), u"Customers (4)"_s);
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(), u"Account Name"_s);
    EXPECT_EQ(list->grid()->currentIndex().row(), 0) << "the first row is current";
    // The Filter window's query (Run) becomes the list; Close leaves it as it is.
    auto answer = [](const QString& query) {
        QTimer::singleShot(0, [query] {
            auto* filter = qobject_cast<tv::forms::Filter*>(QApplication::activeModalWidget());
            ASSERT_TRUE(filter);
            EXPECT_EQ(filter->tableName(), u"Customers"_s);
            state().SharedValues[0] = query;
            query.isEmpty() ? filter->reject() : filter->accept();
        });
    };
    answer(QString());
    list->runCommand(ListForm::Filter);
    EXPECT_EQ(list->model()->rowCount(), 4);
    const QString york =
        u"Select * From [Customers] Where ([POSTALCITY] = 'York') Order By [CUSTOMER NAME]"_s;
    answer(york);
    list->runCommand(ListForm::Filter);
    EXPECT_TRUE(state().SharedValues[0].isEmpty()) << "the query is taken, not left behind";
    EXPECT_EQ(columnTexts(list, 0), (QStringList{u"Dale"_s, u"O'Brien"_s}));

    addCustomers({u"Eden"_s}, u"York"_s);
    addCustomers({u"Fenwick"_s}, u"Leeds"_s);
    QTest::keyClick(list->grid(), Qt::Key_F5);  // Refresh
    EXPECT_EQ(list->ListQuery(), york);
    EXPECT_EQ(columnTexts(list, 0), (QStringList{u"Dale"_s, u"Eden"_s, u"O'Brien"_s}));
    EXPECT_EQ(list->windowTitle(), u"Customers (3)"_s);
}

TEST_F(ListFormTest, AQueryTheEngineRefusesLeavesAnEmptyUsableList) {
    addCustomers({u"Acme"_s});
    ListForm* list = openList(u"Customers"_s);
    ask.message(msgbox::kOk, u"could not open"_s);
    list->applyQuery(u"SELECT * FROM [Customers] WHERE [NO SUCH COLUMN] = 1"_s);
    ASSERT_EQ(ask.messages().size(), 1u);
    EXPECT_TRUE(ask.messages()[0].text.contains(u"NO SUCH COLUMN"_s, Qt::CaseInsensitive))
        << "the engine's own text is shown: " << ask.messages()[0].text.toStdString();
    EXPECT_EQ(list->windowTitle(), u"Customers (0)"_s);

    // Commands on an empty list say there is no row.
    for (const auto& [command, said] : {std::pair{ListForm::Edit, "no record selected"},
                                        std::pair{ListForm::Delete, "selected to delete"},
                                        std::pair{ListForm::Copy, "selected to copy"}}) {
        ask.message(msgbox::kOk, QString::fromLatin1(said));
        list->runCommand(command);
    }
    EXPECT_FALSE(list->RefreshPending());
    list->applyQuery(u"SELECT * FROM [Customers]"_s);
    EXPECT_EQ(columnTexts(list, 0), QStringList{u"Acme"_s});
}

TEST_F(ListFormTest, ButtonsFollowTheUsersRights) {
    using Entry = tv::data::AccessEntry;
    struct Case {
        const char* table;
        Entry entry;
        bool add, edit, del;
    } const cases[] = {
        {"Customers", {u"Customers"_s, false, false, false, true}, false, false, false},
        {"Customers", {u"Customers"_s, true, false, true, true}, true, false, true},
        {"Customers", {u"Contacts"_s, false, false, false, false}, true, true, true},
        {"Completed Requests", {u"Contacts"_s, true, true, true, true}, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " with " + c.entry.TableName.toStdString());
        state().UserAccess = {c.entry};
        ListForm* list = openList(QString::fromLatin1(c.table));
        EXPECT_EQ(list->commandButton(ListForm::Add)->isEnabled(), c.add);
        EXPECT_EQ(list->commandButton(ListForm::Copy)->isEnabled(), c.add);
        EXPECT_EQ(list->commandButton(ListForm::Edit)->isEnabled(), c.edit);
        EXPECT_EQ(list->commandButton(ListForm::Delete)->isEnabled(), c.del);
        EXPECT_TRUE(list->commandButton(ListForm::Export)->isEnabled());
        EXPECT_FALSE(list->commandButton(ListForm::Find)->isEnabled());
        delete list;
    }
    // A disabled command does nothing, whoever asks for it (no record window, no message).
    state().UserAccess = {{u"Customers"_s, false, false, false, true}};
    ListForm* list = openList(u"Customers"_s);
    list->RemoteAdd();
    list->runCommand(ListForm::Delete);
    EXPECT_FALSE(list->RefreshPending());
}

TEST_F(ListFormTest, DeleteAsksWithTheKeysOnLinesOfTheirOwn) {
    addFeedback(u"O'Brien Office"_s, u"2026-01-05 09:00:00"_s);
    addFeedback(u"Mid Office"_s, u"2026-02-05 09:30:00"_s);
    ListForm* list = openList(u"Customer Feedback"_s);
    list->grid()->setCurrentIndex(list->model()->index(0, 2));
    ask.message(msgbox::kNo, u"delete this record"_s);
    list->runCommand(ListForm::Delete);
    EXPECT_EQ(list->model()->rowCount(), 2);
    const QString asked = ask.messages().at(0).text;
    EXPECT_TRUE(asked.contains(u"\n\nO'Brien Office\n"_s +
                               list->model()->index(0, 1).data().toString() + u'\n'))
        << asked.toStdString();

    ask.message(msgbox::kYes, u"delete this record"_s);
    list->runCommand(ListForm::Delete);
    EXPECT_EQ(columnTexts(list, 0), QStringList{u"Mid Office"_s});
    EXPECT_EQ(list->windowTitle(), u"Customer Feedback (1)"_s);
    EXPECT_EQ(dataValue(u"SELECT COUNT(*) FROM [CUSTOMER FEEDBACK]"_s), u"1"_s);
}

TEST_F(ListFormTest, ExportedValuesStayInTheirFields) {
    addCustomers({u"O'Brien, \"The Copier People\", Ltd"_s, u"Plain"_s});
    ListForm* list = openList(u"Customers"_s);
    const QString path = data.file(u"customers"_s);
    ask.saveFile(path, u"Export List"_s);
    ask.message(msgbox::kOk, u"exported"_s);
    list->runCommand(ListForm::Export);
    QFile file(path + u".txt"_s);  // the default extension was added
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), 4);  // header, two rows, and nothing after the last line end
    EXPECT_EQ(lines[0].split(u',').size(), list->model()->columnCount());
    EXPECT_TRUE(lines[0].startsWith(u"\"Account Name\","_s));
    EXPECT_TRUE(
        lines[1].startsWith(u"\"O'Brien, \"\"The Copier People\"\", Ltd\",#NULL#,\"Leeds\","_s))
        << lines[1].toStdString();

    // A "folder" that is a file: nobody can create a file inside it. The system's error
    // text follows the path.
    const QString bad = dataPath() + u"/export.txt"_s;
    ask.saveFile(bad);
    ask.message(msgbox::kOk, u"could not be created"_s, u"Export List"_s);
    list->runCommand(ListForm::Export);
    EXPECT_FALSE(ask.messages().back().text.section(bad + u"\n\n"_s, 1).trimmed().isEmpty());
}

TEST_F(ListFormTest, TheUsersColumnsAndRowHeightLastAndF2ResetsThem) {
    addCustomers({u"Acme"_s, u"Bolt"_s});
    ListForm* list = openList(u"Customers"_s);
    QTableView* grid = list->grid();
    EXPECT_TRUE(grid->horizontalHeader()->sectionsMovable());
    grid->setColumnWidth(1, 210);
    grid->horizontalHeader()->moveSection(2, 0);
    // A row dragged taller on the row header: every row takes its height when it is let go.
    QHeaderView* rows = grid->verticalHeader();
    ASSERT_FALSE(rows->isHidden());
    rows->resizeSection(0, 40);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(rows->viewport(), &release);
    EXPECT_EQ(rows->sectionSize(1), 40);
    EXPECT_EQ(rows->defaultSectionSize(), 40);
    list->close();  // the Close command's unload step

    list = openList(u"Customers"_s);
    grid = list->grid();
    EXPECT_EQ(grid->columnWidth(1), 210);
    EXPECT_EQ(grid->horizontalHeader()->visualIndex(2), 0);
    EXPECT_EQ(grid->verticalHeader()->sectionSize(1), 40);

    QTest::keyClick(grid, Qt::Key_F2, Qt::ShiftModifier);  // not the reset
    ask.message(msgbox::kNo, u"reset the columns"_s);
    QTest::keyClick(grid, Qt::Key_F2);
    EXPECT_EQ(grid->columnWidth(1), 210);
    ask.message(msgbox::kYes, u"reset the columns"_s);
    QTest::keyClick(list->commandButton(ListForm::Refresh), Qt::Key_F2);  // a button has the focus
    EXPECT_EQ(grid->columnWidth(1), tv::forms::twipsToPixelsX(tv::forms::kResetColumnWidth));
    EXPECT_EQ(grid->horizontalHeader()->visualIndex(2), 2);
    EXPECT_EQ(grid->verticalHeader()->sectionSize(1),
              tv::forms::twipsToPixelsY(tv::forms::kResetRowHeight));
}

TEST_F(ListFormTest, EnterOpensOrRunsTheFocusedButtonAndEscapeCloses) {
    tv::forms::registerFrameworkRecordWindows();
    addFeedback(u"O'Brien Office"_s, u"2026-01-05 09:00:00"_s);
    ListForm* list = openList(u"Customer Feedback"_s);
    QTest::keyClick(list->grid(), Qt::Key_Return);
    EXPECT_TRUE(list->RefreshPending()) << "the row went to its record window";
    ask.saveFile(QString());  // Export's file dialog, cancelled
    QTest::keyClick(list->commandButton(ListForm::Export), Qt::Key_Return);
    const QPointer<ListForm> gone(list);
    QTest::keyClick(list->grid(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
}

}  // namespace
}  // namespace tvtest
