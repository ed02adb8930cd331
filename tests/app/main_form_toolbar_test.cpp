// The toolbar: its stored arrangement read back however it was edited, the customise
// dialog's commands, and a user's arrangement surviving a restart.
#include "main_form_fixture.h"

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
using tv::app::encodeToolbarLayout;
using tv::app::ToolbarCustomiser;

QString stored() {
    return tv::GetSetting(QStringLiteral("Tolvarine"), QStringLiteral("Toolbar"),
                          QStringLiteral("1"), QStringLiteral("<none>"));
}

QStringList buttonsOnly(const QStringList& layout) {
    QStringList out;
    for (const QString& id : layout)
        if (id != tv::app::kToolbarSeparator) out << id;
    return out;
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

TEST(ToolbarLayout, TheDefaultHoldsAllSixteenButtonsInIndexOrder) {
    const QStringList buttons = buttonsOnly(defaultToolbarLayout());
    ASSERT_EQ(buttons.size(), 16);
    EXPECT_EQ(buttons.first(), QStringLiteral("Customers"));
    EXPECT_EQ(buttons.at(5), QStringLiteral("OpenRequests"));
    EXPECT_EQ(buttons.last(), QStringLiteral("HelpIndex"));
    EXPECT_EQ(decodeToolbarLayout(encodeToolbarLayout(defaultToolbarLayout())),
              defaultToolbarLayout());
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

TEST_F(MainFormTest, ToolbarArrangementSurvivesARestart) {
    const QStringList mine{"Search", "-", "Customers", "Send"};
    {
        auto form = openMainForm();
        form->applyToolbarLayout(mine);
        form->close();  // unloading saves the arrangement
    }
    EXPECT_EQ(stored(), QStringLiteral("Search,-,Customers,Send"));

    auto again = openMainForm();
    EXPECT_EQ(again->toolbarLayout(), mine);
    // The buttons still run their commands.
    toolbarButton(*again, QStringLiteral("Customers"))->trigger();
    EXPECT_EQ(tv::data::state().SharedValues[0], QStringLiteral("Customers"));
}

}  // namespace
}  // namespace tvtest
