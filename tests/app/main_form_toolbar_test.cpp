// The toolbar: its stored arrangement read back however it was edited, the customise
// dialog's commands, a user's arrangement surviving a restart, and the buttons of tables
// the user may not view staying hidden whatever the arrangement.
#include "app_fixture.h"

#include "app/toolbar_buttons.h"
#include "app/toolbar_customiser.h"
#include "core/settings_store.h"
#include "data/app_state.h"

#include <QAction>
#include <QListWidget>
#include <QToolBar>

namespace tvtest {
namespace {

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
    EXPECT_EQ(dialog.arrangement(), (QStringList{"-", "Customers", "Diary"}));
    dialog.moveSelected(-1);  // already first
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
    // The buttons still run their commands.
    toolbarButton(*again, QStringLiteral("Scheduled"))->trigger();
    EXPECT_EQ(tv::data::state().SharedValues[0], QStringLiteral("Scheduled Activities"));
}

TEST_F(MainFormTest, HiddenButtonsStayHiddenWhateverTheArrangement) {
    addUser(QStringLiteral("erin"));
    setAccess(QStringLiteral("erin"), QStringLiteral("customers"), 0);
    tv::data::state().CurrentUserId = QStringLiteral("erin");
    auto form = openMainForm();
    for (const QStringList& layout : {defaultToolbarLayout(), QStringList{"Send", "Customers"}}) {
        form->applyToolbarLayout(layout);
        EXPECT_FALSE(toolbarButton(*form, QStringLiteral("Customers"))->isVisible());
        EXPECT_TRUE(toolbarButton(*form, QStringLiteral("Send"))->isVisible());
        // The arrangement keeps the hidden button, so it returns when the right does.
        EXPECT_EQ(form->toolbarLayout(), layout);
    }
}

}  // namespace
}  // namespace tvtest
