// The main window's Lookup Tables command with the real chooser and editor: the chosen
// table opens in its own window once, however often it is chosen.
#include "main_form_fixture.h"

#include "app/open_windows.h"
#include "forms/framework/table_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

namespace tvtest {
namespace {

TEST_F(MainFormTest, LookupTablesCommandOpensTheChosenTableOnce) {
    auto form = openMainForm();
    form->show();  // the editor fills its list when it is first painted
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [] {
            auto* chooser = qobject_cast<tv::forms::TableList*>(QApplication::activeModalWidget());
            ASSERT_TRUE(chooser);
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

}  // namespace
}  // namespace tvtest
