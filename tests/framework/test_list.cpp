// The list window: its default query and sort, the count in the title, filters through
// Refresh, a query the engine refuses, the user's rights on the buttons, the commands on
// an empty list, deleting, exporting and printing, the keyboard, the columns and row
// height the user arranges (kept across a restart, reset by F2), rows opened in their
// record window, and the grid's model over a key set.
#include "common/pdf_text.h"
#include "core/convert.h"
#include "core/format.h"
#include "core/settings_store.h"
#include "data/access.h"
#include "data/app_state.h"
#include "forms/framework/code_styles.h"
#include "forms/framework/controls.h"
#include "forms/framework/delimited_line.h"
#include "forms/framework/filter_window.h"
#include "forms/framework/grid_layout.h"
#include "forms/framework/list_columns.h"
#include "forms/framework/list_form.h"
#include "forms/framework/list_model.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/twips.h"
#include "framework/framework_fixture.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QBrush>
#include <QFile>
#include <QLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::data::state;
using tv::forms::ListForm;
using tv::forms::ListModel;
using tv::forms::RecordWindow;
namespace msgbox = tv::data::msgbox;

// Lists opened as the main window opens them (the table in SharedValues(0), the tag set,
// then activated), over rows written straight into the data database.
class ListFormTest : public FrameworkTest {
protected:
    void TearDown() override {
        for (const QPointer<ListForm>& list : lists) delete list.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FrameworkTest::TearDown();
    }
    ListForm* openList(const QString& table) {
        state().SharedValues[0] = table;
        auto* list = new ListForm();
        tv::forms::setTag(list, table);
        list->activate();
        lists.append(list);
        return list;
    }
    static void addCustomers(const QStringList& names, const QString& city = u"Leeds"_s) {
        QStringList rows;
        for (const QString& name : names)
            rows << u"INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [POSTALCITY]) VALUES (%1, %2)"_s
                        .arg(tv::engine::quoteLiteral(name), tv::engine::quoteLiteral(city));
        execData(rows);
    }
    static void addFeedback(const QString& customer, const QString& when) {
        execData(
            {u"INSERT INTO [CUSTOMER FEEDBACK] ([CUSTOMER NAME], [DATETIME]) VALUES (%1, #%2#)"_s
                 .arg(tv::engine::quoteLiteral(customer), when)});
    }
    // Every displayed text of one grid column, top to bottom.
    static QStringList columnTexts(const ListForm* list, int column) {
        QStringList texts;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            texts << list->model()->index(row, column).data().toString();
        return texts;
    }

    QList<QPointer<ListForm>> lists;
};

TEST_F(ListFormTest, TheDefaultListIsSortedOnTheLastKeyField) {
    addFeedback(u"Zeta Copiers"_s, u"2026-01-05 09:00:00"_s);
    addFeedback(u"Alpha Print"_s, u"2026-03-05 09:00:00"_s);
    addFeedback(u"Mid Office"_s, u"2026-02-05 09:00:00"_s);
    const char* cases[][3] = {
        // table, query, first column (empty: not looked at)
        {"Customer Feedback", "SELECT * FROM [Customer Feedback] ORDER BY [DATETIME]",
         "Zeta Copiers|Mid Office|Alpha Print"},
        {"Customer Feedback", "SELECT * FROM [Customer Feedback] ORDER BY [DATETIME] DESC",
         "Alpha Print|Mid Office|Zeta Copiers"},
        {"Customers", "SELECT * FROM [Customers] ORDER BY [CUSTOMER NAME]", ""},
        {"Form Captions", "SELECT * FROM [Form Captions] ORDER BY 1,2,3", ""}};
    for (const auto& [table, query, first] : cases) {
        const bool descending = QLatin1String(query).endsWith(QLatin1String(" DESC"));
        tv::SaveSetting(tv::kAppName, QString::fromLatin1(table), u"Descending Sort"_s,
                        descending ? u"1"_s : u"0"_s);
        ListForm* list = openList(QString::fromLatin1(table));
        EXPECT_EQ(list->ListQuery(), QString::fromLatin1(query));
        if (*first) {
            EXPECT_EQ(columnTexts(list, 0).join(u'|'), QString::fromLatin1(first));
        }
        delete list;
    }
}

TEST_F(ListFormTest, AFilterStaysInForceThroughRefresh) {
    addCustomers({u"Acme"_s, u"Bolt"_s}, u"Leeds"_s);
    addCustomers({u"O'Brien"_s, u"Dale"_s}, u"York"_s);
    ListForm* list = openList(u"Customers"_s);
    EXPECT_EQ(list->windowTitle(), u"Customers (4)"_s);
    EXPECT_EQ(list->grid()->currentIndex().row(), 0) << "the first row is current";
    // The Filter window's query (Run) becomes the list.
    auto answer = [](const QString& query) {
        QTimer::singleShot(0, [query] {
            auto* filter = qobject_cast<tv::forms::Filter*>(QApplication::activeModalWidget());
            ASSERT_TRUE(filter);
            EXPECT_EQ(filter->tableName(), u"Customers"_s);
            state().SharedValues[0] = query;
            filter->accept();
        });
    };
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
    // Add, Copy, Edit, Delete, Export and Find: 1 enabled, 0 not.
    const auto enabled = [](const ListForm* list) {
        QString shown;
        for (int command : {ListForm::Add, ListForm::Copy, ListForm::Edit, ListForm::Delete,
                            ListForm::Export, ListForm::Find})
            shown += list->commandButton(command)->isEnabled() ? u'1' : u'0';
        return shown;
    };
    const struct {
        const char* table;
        tv::data::AccessEntry entry;
        const char* buttons;
    } cases[] = {{"Customers", {u"Customers"_s, false, false, false, true}, "000011"},
                 {"Customers", {u"Customers"_s, true, false, true, true}, "110111"},
                 {"Customers", {u"Contacts"_s, false, false, false, false}, "111111"},
                 {"Completed Requests", {u"Contacts"_s, true, true, true, true}, "001011"}};
    for (const auto& c : cases) {
        state().UserAccess = {c.entry};
        EXPECT_EQ(enabled(openList(QString::fromLatin1(c.table))), QString::fromLatin1(c.buttons))
            << c.table << " with " << c.entry.TableName.toStdString();
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

TEST_F(ListFormTest, ALongListShowsItsFirstRowsAndReadsTheRestBehindThem) {
    QStringList names;
    for (int i = 0; i < 2000; ++i) names << u"Customer %1"_s.arg(i, 4, 10, QLatin1Char('0'));
    state().DataDb.BeginTrans();
    addCustomers(names);
    state().DataDb.CommitTrans();
    // Going to the end before the rest is read lands on the real last row, by key or by
    // the scroll bar; the count joins the title then.
    for (const bool byKey : {true, false}) {
        ListForm* list = openList(u"Customers"_s);
        list->resize(600, 400);
        list->show();
        list->layout()->activate();
        EXPECT_LT(list->model()->rowCount(), names.size());
        EXPECT_EQ(list->windowTitle(), u"Customers"_s);
        QTableView* grid = list->grid();
        if (byKey)
            QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        else
            grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        const QModelIndex last = list->model()->index(list->model()->rowCount() - 1, 0);
        EXPECT_EQ(last.data().toString(), names.last());
        const int y = grid->rowViewportPosition(last.row());
        EXPECT_TRUE(y >= 0 && y < grid->viewport()->height()) << "in view: " << byKey;
        EXPECT_EQ(list->windowTitle(), u"Customers (2000)"_s);
        delete list;
    }
    // Left alone, the rows fill in behind the first screenful.
    ListForm* list = openList(u"Customers"_s);
    QAbstractItemModelTester tester(list->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (int spins = 0; spins < 1000 && !list->model()->keysComplete(); ++spins)
        QCoreApplication::processEvents();
    EXPECT_EQ(columnTexts(list, 0), names);
    EXPECT_EQ(list->windowTitle(), u"Customers (2000)"_s);
}

TEST_F(ListFormTest, AListPrintsItsVisibleColumnsInTheUsersOrder) {
    ListForm* empty = openList(u"Customers"_s);
    ask.message(tv::data::msgbox::kOk, u"no records to print"_s);
    empty->runCommand(ListForm::Print);  // no printer dialog for an empty list
    delete empty;

    addCustomers({u"O'Brien Ltd"_s}, u"Cork"_s);
    addCustomers({u"Plain Traders"_s}, u"Leeds"_s);
    ListForm* list = openList(u"Customers"_s);
    list->grid()->setColumnWidth(0, 300);                 // room for the whole name
    list->grid()->setColumnHidden(1, true);               // Street
    list->grid()->horizontalHeader()->moveSection(2, 0);  // City first
    list->applyQuery(u"SELECT * FROM [Customers] WHERE [POSTALCITY] = 'Cork'"_s);
    const QString pdf = data.file(u"list.pdf"_s);
    ask.printer(true, pdf);
    list->runCommand(ListForm::Print);
    const QStringList pages = tvtest::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    const QString& page = pages[0];
    for (const QString& text : {u"Customers"_s, u"1 record"_s, u"Page 1 of 1"_s})
        EXPECT_TRUE(page.contains(text)) << text.toStdString();
    EXPECT_FALSE(page.contains(u"Street"_s));
    EXPECT_FALSE(page.contains(u"Plain Traders"_s)) << "the filter in force is printed";
    EXPECT_LT(page.indexOf(u"City"_s), page.indexOf(u"Account Name"_s));
    EXPECT_LT(page.indexOf(u"Cork"_s), page.indexOf(u"O'Brien Ltd"_s));

    ask.printer(false);
    list->runCommand(ListForm::Print);  // cancelled: nothing else happens
}

class ListRecordsTest : public ListFormTest {
protected:
    void SetUp() override {
        ListFormTest::SetUp();
        tv::forms::registerFrameworkRecordWindows();
        addFeedback(u"Zeta Copiers"_s, u"2026-01-05 09:00:00"_s);
        addFeedback(u"O'Brien Office"_s, u"2026-02-05 09:30:00"_s);
        addFeedback(u"Alpha Print"_s, u"2026-03-05 10:00:00"_s);
        list = openList(u"Customer Feedback"_s);
    }
    // Runs a command on a row and returns the feedback window it left: its mode and the
    // customer and date it shows, as "mode|customer|date".
    QString run(int command, int row) {
        list->grid()->setCurrentIndex(list->model()->index(row, 0));
        list->runCommand(command);
        window = tv::forms::GetRecordWindow(u"Customer Feedback"_s);
        const auto shown = [&](const QString& name) {
            return window->findChild<QLineEdit*>(name)->text();
        };
        return QString::number(window->localEditMode()) + u'|' + shown(u"CustomerName"_s) + u'|' +
               shown(u"DateTime"_s);
    }

    ListForm* list = nullptr;
    QPointer<RecordWindow> window;
};

TEST_F(ListRecordsTest, EditOpensTheRowAndTheListRefreshesOnReturn) {
    const QString shown = run(ListForm::Edit, 1);
    EXPECT_TRUE(shown.startsWith(u"2|O'Brien Office|"_s) && !shown.endsWith(u'|'))
        << shown.toStdString();
    EXPECT_TRUE(list->RefreshPending());
    // Meanwhile a row arrives; coming back to the list shows it, the same row current.
    addFeedback(u"Newcomer"_s, u"2026-04-05 10:00:00"_s);
    list->activate();
    EXPECT_FALSE(list->RefreshPending());
    EXPECT_EQ(list->windowTitle(), u"Customer Feedback (4)"_s);
    EXPECT_EQ(list->grid()->currentIndex().row(), 1);
    // A later activation, with no record window opened since, does not read the list again.
    addFeedback(u"Latecomer"_s, u"2026-05-05 10:00:00"_s);
    list->activate();
    EXPECT_EQ(list->model()->rowCount(), 4);
}

TEST_F(ListRecordsTest, CopyAndAddStartANewRow) {
    // Two key columns: the second (the date and time) is cleared, the customer kept.
    EXPECT_EQ(run(ListForm::Copy, 2), u"1|Alpha Print|"_s);
    EXPECT_TRUE(list->RefreshPending());
    list->activate();
    // Add refills the same window with an empty new row.
    const RecordWindow* copied = window;
    EXPECT_EQ(run(ListForm::Add, 0), u"1||"_s);
    EXPECT_EQ(window, copied);
    EXPECT_TRUE(list->RefreshPending());
}

TEST_F(ListRecordsTest, DeleteClosesTheRecordWindowShowingTheRow) {
    run(ListForm::Edit, 0);
    // Another row goes: the window stays; its own row goes: so does the window.
    for (const bool own : {false, true}) {
        list->grid()->setCurrentIndex(list->model()->index(own ? 0 : 1, 0));
        ask.message(tv::data::msgbox::kYes, u"delete this record"_s);
        list->runCommand(ListForm::Delete);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(window && window->isVisible(), !own);
    }
    EXPECT_EQ(columnTexts(list, 0), QStringList{u"Alpha Print"_s});
}

// Buttons enabled by mistake write nothing: saving and deleting check the rights again.
TEST_F(ListRecordsTest, SaveAndDeleteCheckTheRightsWhenTheyRun) {
    run(ListForm::Edit, 0);
    state().UserAccess = {{u"customer feedback"_s, true, false, false, true}};
    window->findChild<QLineEdit*>(u"CustomerName"_s)->setText(u"Renamed"_s);
    auto* save = window->findChild<QPushButton*>(u"Savef"_s);
    save->setEnabled(true);
    ask.message(msgbox::kOk, u"permission to save"_s);
    save->click();
    EXPECT_FALSE(save->isEnabled());
    list->commandButton(ListForm::Delete)->setEnabled(true);
    ask.message(msgbox::kOk, u"permission to delete"_s);
    list->runCommand(ListForm::Delete);
    list->LoadList(false);
    EXPECT_EQ(columnTexts(list, 0),
              (QStringList{u"Zeta Copiers"_s, u"O'Brien Office"_s, u"Alpha Print"_s}));
}

class ListModelTest : public ListFormTest {
protected:
    // A model over a query of the data database with the table's list columns.
    void show(ListModel& model, const QString& table, const QString& sql) {
        model.setColumns(tv::forms::ListColumns(table));
        model.setRecordset(tv::data::OpenTable(sql));
    }
};

TEST_F(ListModelTest, RowsAreReadABlockAtATimeAndKeptThroughQtsModelChecks) {
    QStringList names;
    for (int i = 0; i < 3 * ListModel::kBlockRows; ++i)
        names << u"Customer %1"_s.arg(i, 4, 10, QLatin1Char('0'));
    addCustomers(names);
    ListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    show(model, u"Customers"_s, u"SELECT * FROM [Customers] ORDER BY [CUSTOMER NAME]"_s);
    EXPECT_EQ(model.rowCount(), names.size());
    // A screenful of cells, every role a view asks for: one read.
    for (int row = 0; row < 40; ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            for (int role : {Qt::DisplayRole, Qt::TextAlignmentRole, Qt::BackgroundRole})
                (void)model.index(row, column).data(role);
    EXPECT_EQ(model.blockReads(), 1);
    EXPECT_EQ(model.index(model.rowCount() - 1, 0).data().toString(), names.last());
    EXPECT_EQ(model.blockReads(), 2) << "a jump to the end reads the end, not what lies between";
    EXPECT_EQ(model.index(5, 0).data().toString(), names[5]);
    EXPECT_EQ(model.blockReads(), 2) << "the first block is still kept";
    // Bookmarks of cached rows find their rows in a clone.
    tv::engine::Recordset clone = model.recordset().Clone();
    clone.SetBookmark(*model.bookmark(ListModel::kBlockRows + 3));
    EXPECT_EQ(tv::TextOf(clone[0]), names[ListModel::kBlockRows + 3]);
    EXPECT_FALSE(model.bookmark(model.rowCount()).has_value());

    model.dropCache();
    model.clearRows();
    EXPECT_EQ(model.rowCount(), 0);
    show(model, u"Customers"_s,
         u"SELECT * FROM [Customers] WHERE [CUSTOMER NAME] >= 'Customer 0180'"_s);
    EXPECT_EQ(model.rowCount(), names.size() - 180);
}

TEST_F(ListModelTest, CellsTakeTheirFormatAlignmentColourAndPicture) {
    for (const char* values : {"#2026-02-03#, 'Call', 12.5", "#2026-02-04#, 'Visit', Null",
                               "#2026-02-05#, 'letter', Null"})
        execData(
            {u"INSERT INTO [ACTIVITIES] ([CUSTOMER NAME], [DATETIME], [ACTIVITY TYPE], "
             "[COST]) VALUES ('Acme', %1)"_s.arg(QLatin1String(values))});
    ListModel model;
    show(model, u"Activities"_s, u"SELECT * FROM [Activities] ORDER BY [DATETIME]"_s);
    model.setCodeStyles(2, tv::forms::LoadCodeStyles(u"Activity Types"_s, true));
    ASSERT_EQ(model.headerData(10, Qt::Horizontal).toString(), u"Cost"_s);

    EXPECT_EQ(model.index(0, 10).data().toString(), u"12.50"_s);
    const auto align = [&](int column) {
        return model.index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(align(10), Qt::AlignRight);
    EXPECT_EQ(align(0), Qt::AlignLeft);

    // "Call" is colour 16772062 (&HFFEBDE: red DE, green EB, blue FF) with call.bmp.
    const QVariant background = model.index(0, 2).data(Qt::BackgroundRole);
    EXPECT_EQ(background.value<QBrush>().color(), QColor(0xDE, 0xEB, 0xFF));
    EXPECT_FALSE(model.index(0, 2).data(Qt::DecorationRole).value<QPixmap>().isNull());
    // A type without a code, and another column, keep the grid's own look.
    EXPECT_FALSE(model.index(1, 2).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model.index(0, 3).data(Qt::BackgroundRole).isValid());
    // "Letter" has colour 0, the grid's own background, and a picture; codes ignore case.
    EXPECT_FALSE(model.index(2, 2).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model.index(2, 2).data(Qt::DecorationRole).value<QPixmap>().isNull());
}

TEST(DelimitedLine, EachKindOfValueIsWrittenInItsClassicForm) {
    struct Case {
        const char* name;
        tv::Variant value;
        const char* written;
    };
    const Case cases[] = {
        {"null", tv::Variant(), "#NULL#"},
        {"true", tv::Variant(true), "#TRUE#"},
        {"long", tv::Variant(std::int32_t{1234567}), "1234567"},
        {"currency with a fraction", tv::Variant(tv::Currency{125000}), "12.5"},
        {"whole currency", tv::Variant(tv::Currency{30000}), "3"},
        {"single", tv::Variant(0.1f), "0.1"},
        {"double", tv::Variant(1234.5678), "1234.5678"},
        {"date and time", tv::Variant(tv::DateFromParts(2026, 12, 5, 14, 30, 5)),
         "#2026-12-05 14:30:05#"},
        {"text", tv::Variant(QStringLiteral("Leeds")), "\"Leeds\""},
        {"text with quotes", tv::Variant(QStringLiteral("12\" Monitor")), "\"12\"\" Monitor\""},
        {"empty text", tv::Variant(QString()), "\"\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tv::forms::DelimitedItem(c.value), QString::fromUtf8(c.written));
    }
    EXPECT_EQ(tv::forms::WriteDelimitedLine({tv::Variant(QStringLiteral("a,b")), tv::Variant()}),
              QStringLiteral("\"a,b\",#NULL#\r\n"));
}

}  // namespace
}  // namespace tvtest
