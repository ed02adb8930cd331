// The main window's Lookup Tables command with the real chooser and editor: the chosen
// table opens in its own window, once, whatever how often it is chosen.
#include "main_form_fixture.h"

#include "app/open_windows.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/table_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

namespace tvtest {
namespace {

// Chooses the row showing `text` in the chooser the next exec() shows.
void chooseInTableList(const QString& text) {
    QTimer::singleShot(0, [text] {
        auto* chooser = qobject_cast<tv::forms::TableList*>(QApplication::activeModalWidget());
        ASSERT_TRUE(chooser);
        auto* list = chooser->findChild<QListWidget*>(QStringLiteral("List1"));
        const QList<QListWidgetItem*> rows = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(rows.size(), 1);
        chooser->choose(list->row(rows.front()));
    });
}

TEST_F(MainFormTest, LookupTablesCommandOpensEachTableOnce) {
    auto form = openMainForm();
    form->show();  // the editor fills its list when it is first painted
    chooseInTableList(QStringLiteral("Service Priority Codes"));
    form->runCommand(QStringLiteral("mnuLookupTables"));
    chooseInTableList(QStringLiteral("Countries"));
    form->runCommand(QStringLiteral("mnuLookupTables"));
    chooseInTableList(QStringLiteral("Service Priority Codes"));
    form->runCommand(QStringLiteral("mnuLookupTables"));

    QList<QWidget*> editors;
    for (QMdiSubWindow* sub : form->mdiArea()->subWindowList())
        if (sub->widget()->objectName() == QLatin1String("LookupTable")) editors << sub->widget();
    ASSERT_EQ(editors.size(), 2);
    QWidget* priorities =
        tv::app::findOpenWindow(QStringLiteral("Priority Codes"), tv::app::kOtherWindowsOnly);
    ASSERT_TRUE(priorities);
    EXPECT_EQ(form->mdiArea()->activeSubWindow()->widget(), priorities);
    EXPECT_EQ(priorities->windowTitle(), QStringLiteral("Service Priority Codes"));
    EXPECT_TRUE(priorities->findChild<QCheckBox*>(QStringLiteral("ColourSupport"))->isChecked());
    EXPECT_GT(priorities->findChild<QListWidget*>(QStringLiteral("List1"))->count(), 0);
    QWidget* countries =
        tv::app::findOpenWindow(QStringLiteral("Countries"), tv::app::kOtherWindowsOnly);
    ASSERT_TRUE(countries);
    EXPECT_FALSE(countries->findChild<QCheckBox*>(QStringLiteral("PictureSupport"))->isChecked());
}

}  // namespace
}  // namespace tvtest
