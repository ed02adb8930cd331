// Command dispatch: list windows opened once per table and brought forward, the windows
// opened by name (or the notice that they are not written yet), the record windows of the
// catalogue, the special windows by name, Show Tips, technical support, the lookup-table
// chooser, and finding open windows by tag.
#include "app_fixture.h"

#include "app/about_box.h"
#include "app/menu_tables.h"
#include "app/open_windows.h"
#include "app/pending_window.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/list_form.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/table_list.h"

#include <sqlite3.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTimer>

namespace tvtest {
namespace {

using tv::data::state;
namespace msgbox = tv::data::msgbox;

int windowsNamed(tv::app::MainForm& form, const QString& name, const QString& tag) {
    int n = 0;
    for (QMdiSubWindow* sub : form.mdiArea()->subWindowList()) {
        QWidget* w = sub->widget();
        if (w && w->objectName() == name && tv::forms::tagOf(w) == tag) ++n;
    }
    return n;
}

TEST_F(MainFormTest, ListCommandsOpenOneListWindowPerTable) {
    auto form = openMainForm();
    form->runCommand(QStringLiteral("mnuOrders"));
    EXPECT_EQ(state().SharedValues[0], QStringLiteral("Sales Orders"));
    ASSERT_EQ(windowsNamed(*form, QStringLiteral("ListForm"), QStringLiteral("Sales Orders")), 1);

    // Minimised, then asked for again: restored, not duplicated.
    QMdiSubWindow* sub = form->mdiArea()->subWindowList().first();
    sub->showMinimized();
    state().SharedValues[0].clear();
    EXPECT_EQ(form->ShowListForm(QStringLiteral("sales orders")), -1);
    EXPECT_EQ(windowsNamed(*form, QStringLiteral("ListForm"), QStringLiteral("Sales Orders")), 1);
    EXPECT_FALSE(sub->isMinimized());
    EXPECT_TRUE(state().SharedValues[0].isEmpty()) << "nothing new was opened";

    form->runCommand(QStringLiteral("mnuRequestsClosed"));
    EXPECT_EQ(form->mdiArea()->subWindowList().size(), 2);
    auto* list =
        qobject_cast<tv::forms::ListForm*>(form->mdiArea()->subWindowList().last()->widget());
    ASSERT_TRUE(list);
    // Shown in front, it has been activated: the table's own title with its count.
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Completed Service Requests (0)"));

    // The help viewer's way in: the open list starts a new record as its Add does.
    EXPECT_EQ(tv::app::AddViaOpenList(QStringLiteral("Sales Orders")), 1);
    auto* orders = qobject_cast<tv::forms::ListForm*>(
        tv::app::findOpenWindow(QStringLiteral("Sales Orders"), tv::app::kListWindowsOnly));
    ASSERT_TRUE(orders);
    EXPECT_TRUE(orders->RefreshPending());
}

// The rule for every command that opens a window by name, so that a window an area
// registers later changes no test: a registered window opens; any other command opens
// the one notice saying its feature is not yet available, quietly.
TEST_F(MainFormTest, EachWindowCommandOpensItsWindowOrSaysItIsNotYetAvailable) {
    auto form = openMainForm();
    QtWarnings warnings;
    for (const tv::app::WindowCommand& c : tv::app::windowCommands()) {
        SCOPED_TRACE(c.menuItem.toStdString());
        if (tv::forms::isWindowRegistered(c.window)) {
            QString shown;
            if (c.modal) whenModal(form.get(), [&](QWidget* w) { shown = w->objectName(); });
            form->runCommand(c.menuItem);
            for (QWidget* w : tv::app::openWindows())
                if (!c.modal && w->objectName() == c.window) shown = c.window;
            EXPECT_EQ(shown, c.window);
            continue;
        }
        form->runCommand(c.menuItem);
        form->runCommand(c.menuItem);  // brought forward, not doubled
        EXPECT_EQ(windowsNamed(*form, QStringLiteral("NotAvailable"), c.window), 1);
        auto* notice =
            qobject_cast<tv::app::PendingWindow*>(form->mdiArea()->activeSubWindow()->widget());
        ASSERT_TRUE(notice);
        EXPECT_EQ(tv::forms::tagOf(notice), c.window);
        EXPECT_EQ(notice->heading(), tv::app::describeFeature(c.window).title);
        EXPECT_TRUE(notice->notice().contains(QStringLiteral("not yet available")));
    }
    EXPECT_TRUE(warnings.texts.isEmpty()) << warnings.texts.join(u'\n').toStdString();
}

// Whatever the areas have registered, every table of the catalogue opens a loaded window
// of the record-window protocol showing that table.
TEST_F(MainFormTest, EveryCatalogueTableOpensARecordWindow) {
    auto form = openMainForm(false);
    for (const QString& table : tv::forms::recordWindowTables()) {
        SCOPED_TRACE(table.toStdString());
        tv::forms::RecordWindow* w = tv::forms::GetRecordWindow(table);
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->isLoaded());
        EXPECT_EQ(w->tableName().compare(table, Qt::CaseInsensitive), 0)
            << w->tableName().toStdString();
        w->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(MainFormTest, SpecialFormsRunTheirMenuCommands) {
    auto form = openMainForm();
    form->ShowSpecialForm(QStringLiteral("To Do List"));
    form->ShowSpecialForm(QStringLiteral("Database Fields"));
    form->ShowSpecialForm(QStringLiteral("Nothing Like This"));
    form->ShowSpecialForm(QStringLiteral("diary"));  // names are exact
    ASSERT_EQ(form->mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(windowsNamed(*form, QStringLiteral("NotAvailable"), QStringLiteral("ToDoList")), 1);
    EXPECT_EQ(windowsNamed(*form, QStringLiteral("ListForm"), QStringLiteral("Field Definitions")),
              1);
}

TEST_F(MainFormTest, ARegisteredModelessWindowOpensOnceAndComesForward) {
    int made = 0;
    tv::forms::registerWindow(QStringLiteral("Search"), [&made](QWidget*) {
        ++made;
        return new QWidget();
    });
    auto form = openMainForm();
    form->runCommand(QStringLiteral("mnuSearch"));
    form->ShowSpecialForm(QStringLiteral("Search"));
    tv::forms::registerWindow(QStringLiteral("Search"), nullptr);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(form->mdiArea()->activeSubWindow()->widget()->objectName(), QStringLiteral("Search"));
}

TEST_F(MainFormTest, ShowTipsWritesTheSettingAndTogglesTheMark) {
    auto form = openMainForm();
    QAction* item = form->menuItem(QStringLiteral("mnuShowTips"));
    EXPECT_FALSE(item->isChecked()) << "the fixture turned the tips off";
    for (const char* stored : {"1", "0"}) {
        item->trigger();
        EXPECT_EQ(item->isChecked(), *stored == '1');
        EXPECT_EQ(tv::Setting(tv::keys::ShowTipsAtStartup), QString::fromLatin1(stored));
    }
}

TEST_F(MainFormTest, TipsAndToDoListOpenAtTheFirstActivationWhenAsked) {
    tv::SaveSetting(tv::keys::ShowTipsAtStartup, QStringLiteral("1"));
    tv::SaveSetting(tv::keys::AutoloadToDoList, QStringLiteral("1"));
    auto form = openMainForm();
    EXPECT_EQ(windowsNamed(*form, QStringLiteral("NotAvailable"), QStringLiteral("ToDoList")), 1);
    auto* tip = form->findChild<QDialog*>(QStringLiteral("Tip"));
    ASSERT_TRUE(tip);
    EXPECT_TRUE(tip->isVisible());
    // Unticking the box in the tip window switches the tips off for the next sign-in.
    tip->findChild<QCheckBox*>(QStringLiteral("ShowTips"))->setChecked(false);
    EXPECT_EQ(tv::Setting(tv::keys::ShowTipsAtStartup), QStringLiteral("0"));
}

TEST_F(MainFormTest, TechnicalSupportAndPrinterSetupAsk) {
    auto form = openMainForm();
    ask.message(msgbox::kOk, QStringLiteral("EMAIL SUPPORT"),
                QStringLiteral("Tolvarine Technical Support"))
        .printer(false);
    form->runCommand(QStringLiteral("mnuSupport"));
    form->runCommand(QStringLiteral("mnuPrintSetup"));
    ASSERT_EQ(ask.messages().size(), 1u);
    const auto& box = ask.messages().front();
    EXPECT_EQ(box.style & msgbox::kIconMask, msgbox::kInformation);
    const QStringList paragraphs = box.text.split(QStringLiteral("\n\n"));
    ASSERT_EQ(paragraphs.size(), 3);
    EXPECT_TRUE(paragraphs[1].startsWith(QStringLiteral("SOFTWARE UPDATES")));
    EXPECT_TRUE(paragraphs[2].startsWith(QStringLiteral("COMMENTS AND SUGGESTIONS")));
}

TEST_F(MainFormTest, LookupTablesCommandOpensTheChosenTableOnce) {
    auto form = openMainForm();
    form->show();  // the editor fills its list when it is first painted
    state().SharedValues[4] = QStringLiteral("left over");
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [] {
            auto* chooser = qobject_cast<tv::forms::TableList*>(QApplication::activeModalWidget());
            ASSERT_TRUE(chooser);
            EXPECT_TRUE(state().SharedValues[4].isEmpty())
                << "the chooser starts from clear values";
            auto* list = chooser->findChild<QListWidget*>(QStringLiteral("List1"));
            const auto rows =
                list->findItems(QStringLiteral("Service Priority Codes"), Qt::MatchExactly);
            ASSERT_EQ(rows.size(), 1);
            chooser->choose(list->row(rows.front()));
        });
        form->runCommand(QStringLiteral("mnuLookupTables"));
    }
    ASSERT_EQ(form->mdiArea()->subWindowList().size(), 1);
    QWidget* editor = form->mdiArea()->subWindowList().front()->widget();
    EXPECT_EQ(editor, tv::app::findOpenWindow(QStringLiteral("Priority Codes"),
                                              tv::app::kOtherWindowsOnly));
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Service Priority Codes"));
    EXPECT_TRUE(editor->findChild<QCheckBox*>(QStringLiteral("ColourSupport"))->isChecked());
    EXPECT_GT(editor->findChild<QListWidget*>(QStringLiteral("List1"))->count(), 0);
}

// A list window that can add, as the real one does through RemoteAdd.
class AddingList : public QWidget {
    Q_OBJECT
public:
    int adds = 0;
    Q_INVOKABLE void RemoteAdd() { ++adds; }
};

TEST_F(MainFormTest, OpenWindowsAreFoundByTagAndKind) {
    auto form = openMainForm();
    auto open = [&](QWidget* w, const char* name, const char* tag) {
        w->setObjectName(QString::fromLatin1(name));
        tv::forms::setTag(w, QString::fromLatin1(tag));
        form->mdiArea()->addSubWindow(w)->show();
        return w;
    };
    auto* list = static_cast<AddingList*>(open(new AddingList(), "ListForm", "Products"));
    QWidget* record = open(new QWidget(), "Product", "Products");
    open(new QWidget(), "ListForm", "Suppliers");  // a list that cannot add

    EXPECT_EQ(tv::app::findOpenWindow(QStringLiteral("products"), tv::app::kListWindowsOnly), list);
    EXPECT_EQ(tv::app::findOpenWindow(QStringLiteral("Products"), tv::app::kOtherWindowsOnly),
              record);
    EXPECT_EQ(tv::app::findOpenWindow(QStringLiteral("Products"), tv::app::kAnyWindow), list);
    EXPECT_FALSE(tv::app::FindOpenWindow(QStringLiteral("Projects"), tv::app::kAnyWindow));

    record->parentWidget()->showMinimized();
    EXPECT_TRUE(tv::app::FindOpenWindow(QStringLiteral("Products"), tv::app::kOtherWindowsOnly));
    EXPECT_FALSE(record->parentWidget()->isMinimized());

    QtWarnings warnings;
    EXPECT_EQ(tv::app::AddViaOpenList(QStringLiteral("Products")), 1);
    EXPECT_EQ(list->adds, 1);
    EXPECT_EQ(tv::app::AddViaOpenList(QStringLiteral("Suppliers")), 0);
    EXPECT_TRUE(warnings.texts.isEmpty()) << warnings.texts.join(u'\n').toStdString();
}

TEST_F(MainFormTest, UsersAreReachedThroughTheUserList) {
    auto form = openMainForm();
    form->runCommand(QStringLiteral("mnuUsers"));
    auto* list = qobject_cast<tv::forms::ListForm*>(form->mdiArea()->activeSubWindow()->widget());
    ASSERT_TRUE(list);
    const QAbstractItemModel* rows = list->grid()->model();
    int admin = -1;
    for (int row = 0; row < rows->rowCount(); ++row)
        if (rows->index(row, 0).data().toString() == QStringLiteral("admin")) admin = row;
    ASSERT_GE(admin, 0);
    list->grid()->setCurrentIndex(rows->index(admin, 0));
    list->runCommand(tv::forms::ListForm::Edit);
    QWidget* user = form->mdiArea()->activeSubWindow()->widget();
    EXPECT_EQ(user->objectName(), QStringLiteral("User"));
    EXPECT_EQ(user->findChild<QLineEdit*>(QStringLiteral("UserID"))->text(),
              QStringLiteral("admin"));
}

TEST(AboutBox, NamesTheProgramAndItsLibraries) {
    tv::app::AboutBox about;
    const QString text = about.versionText();
    EXPECT_TRUE(text.contains(QStringLiteral("Tolvarine 1.20")));
    EXPECT_TRUE(text.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
    EXPECT_TRUE(
        text.contains(QStringLiteral("SQLite ") + QString::fromLatin1(sqlite3_libversion())));
}

}  // namespace
}  // namespace tvtest

#include "main_form_commands_test.moc"
