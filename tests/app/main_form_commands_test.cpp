// Command dispatch: list windows opened once per table and brought forward, the special
// windows by name, the windows not written yet, Show Tips, technical support, the
// lookup-table chooser, and finding open windows by tag.
#include "main_form_fixture.h"

#include "app/about_box.h"
#include "app/list_windows.h"
#include "app/open_windows.h"
#include "app/pending_window.h"
#include "app/window_registry.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/list_form.h"

#include <sqlite3.h>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
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
    EXPECT_EQ(list->TableName(), QStringLiteral("Completed Requests"));
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Completed Service Requests (0)"));

    // The help viewer's way in: the open list starts a new record as its Add does.
    auto* orders = qobject_cast<tv::forms::ListForm*>(
        tv::app::findOpenWindow(QStringLiteral("Sales Orders"), tv::app::kListWindowsOnly));
    ASSERT_TRUE(orders);
    EXPECT_EQ(tv::app::AddViaOpenList(QStringLiteral("Sales Orders")), 1);
    EXPECT_TRUE(orders->RefreshPending());
}

TEST_F(MainFormTest, AnInstalledListWindowFactoryIsUsed) {
    QStringList made;
    tv::app::setListWindowFactory([&made](const QString& table) {
        made << table;
        return new QWidget();
    });
    auto form = openMainForm();
    form->ShowListForm(QStringLiteral("Products"));
    form->ShowListForm(QStringLiteral("Products"));
    tv::app::setListWindowFactory(nullptr);
    EXPECT_EQ(made, QStringList{QStringLiteral("Products")});
    EXPECT_EQ(windowsNamed(*form, QStringLiteral("ListForm"), QStringLiteral("Products")), 1);
}

TEST_F(MainFormTest, CommandsWithoutTheirWindowSayTheFeatureIsNotYetAvailable) {
    const std::pair<const char*, const char*> commands[] = {
        {"mnuImport", "Import Contacts"},
        {"mnuExport", "Export Contacts"},
        {"mnuStatistics", "Statistics"},
        {"mnuCustomAdd", "Add Custom Fields"},
        {"mnuMandatory", "Mandatory Fields"},
        {"mnuReplace", "Global Replace"},
        {"mnuCustBilling", "Customer Billing Summary"},
        {"mnuHelpIndex", "Help"},
        {"mnuDiary", "Diary"},
        {"selectcheckinbox", "Inbox"},
    };
    auto form = openMainForm();
    for (const auto& [command, title] : commands) {
        SCOPED_TRACE(command);
        const int before = form->mdiArea()->subWindowList().size();
        form->runCommand(QString::fromLatin1(command));
        form->runCommand(QString::fromLatin1(command));  // brought forward, not doubled
        ASSERT_EQ(form->mdiArea()->subWindowList().size(), before + 1);
        auto* notice =
            qobject_cast<tv::app::PendingWindow*>(form->mdiArea()->activeSubWindow()->widget());
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->heading(), QString::fromLatin1(title));
        EXPECT_TRUE(notice->notice().contains(QStringLiteral("not yet available")));
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

TEST_F(MainFormTest, RegisteredWindowsOpenInsteadOfTheNotice) {
    int made = 0;
    tv::app::registerWindow(QStringLiteral("Search"), [&made](QWidget*) {
        ++made;
        auto* w = new QWidget();
        w->setObjectName(QStringLiteral("Search"));
        return w;
    });
    auto form = openMainForm();
    form->runCommand(QStringLiteral("mnuSearch"));
    form->ShowSpecialForm(QStringLiteral("Search"));
    tv::app::registerWindow(QStringLiteral("Search"), nullptr);
    EXPECT_EQ(made, 1) << "a modeless window opens once and is brought forward";
    EXPECT_EQ(form->mdiArea()->activeSubWindow()->widget()->objectName(), QStringLiteral("Search"));
}

TEST_F(MainFormTest, ShowTipsWritesTheSettingAndTogglesTheMark) {
    auto form = openMainForm();
    QAction* item = form->menuItem(QStringLiteral("mnuShowTips"));
    EXPECT_FALSE(item->isChecked()) << "the fixture turned the tips off";
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(tv::Setting(tv::keys::ShowTipsAtStartup), QStringLiteral("1"));
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(tv::Setting(tv::keys::ShowTipsAtStartup), QStringLiteral("0"));
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

TEST_F(MainFormTest, TechnicalSupportNamesWhereToTurn) {
    auto form = openMainForm();
    ask.message(msgbox::kOk, QStringLiteral("EMAIL SUPPORT"),
                QStringLiteral("Tolvarine Technical Support"));
    form->runCommand(QStringLiteral("mnuSupport"));
    ASSERT_EQ(ask.messages().size(), 1u);
    const auto& box = ask.messages().front();
    EXPECT_EQ(box.style & msgbox::kIconMask, msgbox::kInformation);
    const QStringList paragraphs = box.text.split(QStringLiteral("\n\n"));
    ASSERT_EQ(paragraphs.size(), 3);
    EXPECT_TRUE(paragraphs[1].startsWith(QStringLiteral("SOFTWARE UPDATES")));
    EXPECT_TRUE(paragraphs[2].startsWith(QStringLiteral("COMMENTS AND SUGGESTIONS")));
}

TEST_F(MainFormTest, PrinterSetupAsksForThePrinter) {
    auto form = openMainForm();
    ask.printer(false);
    form->runCommand(QStringLiteral("mnuPrintSetup"));
    EXPECT_EQ(ask.pending(), 0);
}

TEST_F(MainFormTest, LookupTablesOpensTheChosenTableOnce) {
    tv::app::registerWindow(QStringLiteral("TableList"), [](QWidget*) {
        auto* chooser = new QDialog();
        QTimer::singleShot(0, chooser, [chooser] {
            state().SharedValues[0] = QStringLiteral("Priority Codes");
            state().SharedValues[2] = QStringLiteral("1");
            state().SharedValues[3] = QStringLiteral("0");
            chooser->accept();
        });
        return chooser;
    });
    tv::app::registerWindow(QStringLiteral("LookupTable"), [](QWidget*) {
        auto* w = new QWidget();
        w->setObjectName(QStringLiteral("LookupTable"));
        new QCheckBox(w);
        w->findChild<QCheckBox*>()->setObjectName(QStringLiteral("ColourSupport"));
        (new QCheckBox(w))->setObjectName(QStringLiteral("PictureSupport"));
        return w;
    });
    auto form = openMainForm();
    state().SharedValues[4] = QStringLiteral("left over");
    form->runCommand(QStringLiteral("mnuLookupTables"));
    form->runCommand(QStringLiteral("mnuLookupTables"));
    tv::app::registerWindow(QStringLiteral("TableList"), nullptr);
    tv::app::registerWindow(QStringLiteral("LookupTable"), nullptr);

    EXPECT_TRUE(state().SharedValues[4].isEmpty()) << "the chooser starts from clear values";
    ASSERT_EQ(windowsNamed(*form, QStringLiteral("LookupTable"), QStringLiteral("Priority Codes")),
              1);
    QWidget* table = tv::app::findOpenWindow(QStringLiteral("Priority Codes"), 0);
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->findChild<QCheckBox*>(QStringLiteral("ColourSupport"))->isChecked());
    EXPECT_FALSE(table->findChild<QCheckBox*>(QStringLiteral("PictureSupport"))->isChecked());
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
    auto* list = new AddingList();
    list->setObjectName(QStringLiteral("ListForm"));
    tv::forms::setTag(list, QStringLiteral("Products"));
    form->mdiArea()->addSubWindow(list)->show();
    auto* record = new QWidget();
    record->setObjectName(QStringLiteral("Product"));
    tv::forms::setTag(record, QStringLiteral("Products"));
    form->mdiArea()->addSubWindow(record)->show();

    EXPECT_EQ(tv::app::findOpenWindow(QStringLiteral("products"), tv::app::kListWindowsOnly), list);
    EXPECT_EQ(tv::app::findOpenWindow(QStringLiteral("Products"), tv::app::kOtherWindowsOnly),
              record);
    EXPECT_EQ(tv::app::findOpenWindow(QStringLiteral("Products"), tv::app::kAnyWindow), list);
    EXPECT_FALSE(tv::app::FindOpenWindow(QStringLiteral("Suppliers"), tv::app::kAnyWindow));

    record->parentWidget()->showMinimized();
    EXPECT_TRUE(tv::app::FindOpenWindow(QStringLiteral("Products"), tv::app::kOtherWindowsOnly));
    EXPECT_FALSE(record->parentWidget()->isMinimized());

    EXPECT_EQ(tv::app::AddViaOpenList(QStringLiteral("Products")), 1);
    EXPECT_EQ(list->adds, 1);
    EXPECT_EQ(tv::app::AddViaOpenList(QStringLiteral("Suppliers")), 0);
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
    EXPECT_EQ(user->property("OriginalKeyValue").toString(), QStringLiteral("admin"));
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
