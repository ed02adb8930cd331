// Command dispatch: list windows, windows opened by name (or the notice that they are not
// written yet), record windows of the catalogue, special windows by name, the settings
// commands, the lookup-table chooser, open windows found by tag; and the toolbar's
// arrangement, as stored, as customised and as kept for the next start.
#include "app_fixture.h"

#include "app/about_box.h"
#include "app/menu_tables.h"
#include "app/open_windows.h"
#include "app/pending_window.h"
#include "app/toolbar_buttons.h"
#include "app/toolbar_customiser.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/table_list.h"

#include <sqlite3.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QIcon>
#include <QSet>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QToolBar>

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
    EXPECT_EQ(form->ShowListForm(QStringLiteral("sales orders")), -1);
    EXPECT_EQ(windowsNamed(*form, QStringLiteral("ListForm"), QStringLiteral("Sales Orders")), 1);
    EXPECT_FALSE(sub->isMinimized());

    form->runCommand(QStringLiteral("mnuRequestsClosed"));
    EXPECT_EQ(windowsNamed(*form, QStringLiteral("ListForm"), QStringLiteral("Completed Requests")),
              1);

    // The help viewer's way in: the open list starts a new record as its Add does.
    EXPECT_EQ(tv::app::AddViaOpenList(QStringLiteral("Sales Orders")), 1);
}

// The rule for every command that opens a window by name, so that a window an area
// registers later changes no test: a registered window opens; any other command opens
// the one notice saying its feature is not yet available, quietly (Search Help For...
// once asked the notice for a search method it does not have).
TEST_F(MainFormTest, EachWindowCommandOpensItsWindowOrSaysItIsNotYetAvailable) {
    auto form = openMainForm();
    QtWarnings warnings;
    for (const tv::app::WindowCommand& c : tv::app::windowCommands()) {
        SCOPED_TRACE(c.menuItem.toStdString());
        const bool available = tv::forms::isWindowRegistered(c.window);
        if (available && c.modal) {
            QString shown;
            whenModal(form.get(), [&](QWidget* w) { shown = w->objectName(); });
            form->runCommand(c.menuItem);
            EXPECT_EQ(shown, c.window);
            continue;
        }
        // A modeless window, and a notice, exists once: asking again brings it forward.
        form->runCommand(c.menuItem);
        form->runCommand(c.menuItem);
        const QString name = available ? c.window : QStringLiteral("NotAvailable");
        int shown = 0;
        for (QWidget* w : tv::app::openWindows())
            shown += w->objectName() == name && (available || tv::forms::tagOf(w) == c.window);
        EXPECT_EQ(shown, 1);
        if (available) continue;
        auto* notice =
            qobject_cast<tv::app::PendingWindow*>(form->mdiArea()->activeSubWindow()->widget());
        ASSERT_TRUE(notice);
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
        EXPECT_EQ(w->tableName().compare(table, Qt::CaseInsensitive), 0);
        w->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(MainFormTest, TipsToDoListAndSpecialFormsFollowTheirSettingsAndNames) {
    tv::SaveSetting(tv::keys::ShowTipsAtStartup, QStringLiteral("1"));
    tv::SaveSetting(tv::keys::AutoloadToDoList, QStringLiteral("1"));
    auto form = openMainForm();
    form->ShowSpecialForm(QStringLiteral("To Do List"));  // brought forward, not doubled
    form->ShowSpecialForm(QStringLiteral("Database Fields"));
    form->ShowSpecialForm(QStringLiteral("Nothing Like This"));
    form->ShowSpecialForm(QStringLiteral("diary"));  // names are exact
    ASSERT_EQ(form->mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(windowsNamed(*form, QStringLiteral("ToDoList"), QString()), 1);
    EXPECT_EQ(windowsNamed(*form, QStringLiteral("ListForm"), QStringLiteral("Field Definitions")),
              1);
    auto* tip = form->findChild<QDialog*>(QStringLiteral("Tip"));
    ASSERT_TRUE(tip);
    EXPECT_TRUE(tip->isVisible());
    // Unticking the box in the tip window switches the tips off for the next sign-in ...
    tip->findChild<QCheckBox*>(QStringLiteral("ShowTips"))->setChecked(false);
    EXPECT_EQ(tv::Setting(tv::keys::ShowTipsAtStartup), QStringLiteral("0"));
    // ... as the menu item does, which the setting had checked at load.
    QAction* item = form->menuItem(QStringLiteral("mnuShowTips"));
    for (const char* stored : {"0", "1"}) {
        item->trigger();
        EXPECT_EQ(item->isChecked(), *stored == '1');
        EXPECT_EQ(tv::Setting(tv::keys::ShowTipsAtStartup), QString::fromLatin1(stored));
    }
}

TEST_F(MainFormTest, TechnicalSupportAndPrinterSetupAsk) {
    auto form = openMainForm();
    ask.message(msgbox::kOk, QStringLiteral("EMAIL SUPPORT"),
                QStringLiteral("Tolvarine Technical Support"))
        .printer(false);
    form->runCommand(QStringLiteral("mnuSupport"));
    form->runCommand(QStringLiteral("mnuPrintSetup"));
    EXPECT_EQ(ask.messages().at(0).style & msgbox::kIconMask, msgbox::kInformation);
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

TEST(AboutBox, NamesTheProgramAndItsLibraries) {
    tv::app::AboutBox about;
    const QString text = about.versionText();
    EXPECT_TRUE(text.contains(QStringLiteral("Tolvarine 1.20")));
    EXPECT_TRUE(text.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
    EXPECT_TRUE(
        text.contains(QStringLiteral("SQLite ") + QString::fromLatin1(sqlite3_libversion())));
}

using tv::app::decodeToolbarLayout;
using tv::app::defaultToolbarLayout;
using tv::app::ToolbarCustomiser;

QString stored() {
    return tv::GetSetting(QStringLiteral("Tolvarine"), QStringLiteral("Toolbar"),
                          QStringLiteral("1"), QStringLiteral("<none>"));
}

TEST(ToolbarLayout, StoredTextsReadBackAsArrangements) {
    struct Case {
        const char* text;
        QStringList expected;  // empty: the default arrangement
    };
    const Case cases[] = {
        {"Search,-,Customers", {"Search", "-", "Customers"}},
        {"search , CUSTOMERS", {"Search", "Customers"}},   // case and blanks as typed by hand
        {"-,Diary,-,-,Send,-", {"Diary", "-", "Send"}},    // separators trimmed and merged
        {"Diary,Nonsense,Diary,Send", {"Diary", "Send"}},  // unknown and repeated dropped
        {"", {}},
        {"Nonsense,-", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QStringList expected = c.expected.isEmpty() ? defaultToolbarLayout() : c.expected;
        EXPECT_EQ(decodeToolbarLayout(QString::fromLatin1(c.text)), expected);
    }
}

TEST(ToolbarCustomiserDialog, CommandsEditTheArrangement) {
    ToolbarCustomiser dialog({QStringLiteral("Customers"), QStringLiteral("Diary")});
    // Fourteen buttons and the separator are left to add.
    EXPECT_EQ(dialog.availableList()->count(), 15);

    // Added in front of the selected button.
    dialog.currentList()->setCurrentRow(1);
    dialog.availableList()->setCurrentRow(0);  // the separator
    dialog.addSelected();
    EXPECT_EQ(dialog.arrangement(), (QStringList{"Customers", "-", "Diary"}));
    EXPECT_EQ(dialog.availableList()->count(), 15) << "a separator can be added again";

    dialog.moveSelected(-1);
    dialog.moveSelected(-1);  // already first: stays
    EXPECT_EQ(dialog.arrangement(), (QStringList{"-", "Customers", "Diary"}));

    dialog.currentList()->setCurrentRow(1);
    dialog.removeSelected();
    EXPECT_EQ(dialog.arrangement(), (QStringList{"-", "Diary"}));
    // Back among the available ones, in index order: right after the separator.
    EXPECT_EQ(dialog.availableList()->item(1)->text(), QStringLiteral("Customers"));

    dialog.reset();
    EXPECT_EQ(dialog.arrangement(), defaultToolbarLayout());
    EXPECT_EQ(dialog.availableList()->count(), 1);
}

TEST_F(MainFormTest, ANewUserGetsTheDefaultToolbarWithTheDefinitionsTips) {
    auto form = openMainForm();
    EXPECT_EQ(form->toolbarLayout(), defaultToolbarLayout());
    EXPECT_EQ(form->toolbar()->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(toolbarButton(*form, QStringLiteral("Diary"))->toolTip(),
              QStringLiteral("Show the calendar of planned and completed work"));
}

TEST_F(MainFormTest, ButtonsAndMenuCommandsShowTheIconThemesPictures) {
    auto form = openMainForm();
    QSet<QString> names;
    for (const tv::app::ToolbarButton& b : tv::app::toolbarButtons())
        names << toolbarButton(*form, QString::fromLatin1(b.identifier))->icon().name();
    EXPECT_FALSE(names.contains(QString())) << "a button without a picture of the theme";
    EXPECT_EQ(names.size(), qsizetype(tv::app::toolbarButtons().size())) << "two look alike";
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("mnuDiary"))->icon().name(),
              toolbarButton(*form, QStringLiteral("Diary"))->icon().name());
    // Without any theme a button still shows its badge.
    const QString theme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("no such theme"));
    EXPECT_FALSE(tv::app::toolbarIcon(QStringLiteral("Diary")).isNull());
    QIcon::setThemeName(theme);
}

TEST_F(MainFormTest, ACustomisedToolbarIsKeptForTheNextStart) {
    auto form = openMainForm();
    whenModal(form.get(), [](QWidget* modal) {
        auto* dialog = qobject_cast<ToolbarCustomiser*>(modal);
        ASSERT_TRUE(dialog);
        dialog->currentList()->setCurrentRow(0);
        dialog->removeSelected();
        dialog->accept();
    });
    form->runCommand(QStringLiteral("mnuCustomizeToolbar"));
    QStringList mine = defaultToolbarLayout();
    mine.removeFirst();
    EXPECT_EQ(form->toolbarLayout(), mine);
    EXPECT_EQ(stored(), mine.join(u',')) << "kept at once, not only on closing";
    form->close();

    auto again = openMainForm();
    EXPECT_EQ(again->toolbarLayout(), mine);
    toolbarButton(*again, QStringLiteral("Scheduled"))->trigger();
    EXPECT_EQ(tv::data::state().SharedValues[0], QStringLiteral("Scheduled Activities"));
}

}  // namespace
}  // namespace tvtest

#include "test_main_form_commands.moc"
