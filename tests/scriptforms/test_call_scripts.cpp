// Call scripts: how an answer chooses the next step (broken branches included), a run of a
// three-step script with a branch answered in each kind and stored in the customer's
// script history, and what writing a step or starting a run refuses.
#include "common/data/shipped_fixture.h"

#include "core/convert.h"
#include "data/app_state.h"
#include "forms/scripts/run_script.h"
#include "forms/scripts/script_dialogs.h"
#include "forms/scripts/script_steps.h"
#include "forms/scripts/select_script.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace tvtest {
namespace {

using namespace tv::forms;
using tv::data::msgbox::kOk;
using tv::data::msgbox::kYes;

ScriptStep choice(int id, const QString& responses, const QString& branches) {
    return ScriptStep{id, QStringLiteral("Q%1").arg(id), kYesNoResponse, responses, branches};
}

TEST(ScriptBranching, TheAnswerChoosesTheNextStepAndBrokenBranchesFallThrough) {
    const std::vector<ScriptStep> steps = {
        choice(1, "Yes\tNo\t", "5\t0\t"),  choice(2, "Yes\tNo\t", "5\t1"),  // no final tab
        choice(3, "A\tB\t", "99\t2\t"),    ScriptStep{4, "How many?", kNumberResponse, "5\t", "1\t"},
        choice(5, "", ""),
    };
    struct Case {
        std::size_t from;
        const char* answer;
        std::size_t to;
    } cases[] = {
        {0, "Yes", 4}, {0, "No", 1},  {0, "yes", 1},  // answers match exactly
        {1, "Yes", 4}, {1, "No", 2},                   // the last target lost
        {2, "A", 3},   {2, "B", 1},                    // no step 99: the next one
        {3, "5", 4},   {4, "", 5},                     // numbers never branch; past the end
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextStepIndex(steps, c.from, c.answer), c.to) << c.from << " " << c.answer;
}

class CallScriptTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        tv::data::state().CurrentUserId = "admin";
        ask.setNow(tv::DateFromParts(2026, 12, 5, 10, 30, 0));
        execData({"INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES ('O''Brien Ltd')",
                  "INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME]) VALUES ('O''Brien Ltd', 'Pat')",
                  "INSERT INTO SCRIPTS ([SCRIPT NAME], ENDMESSAGE) VALUES ('Pat''s survey', 'Thanks!')",
                  "INSERT INTO [SCRIPTS DETAIL] VALUES ('Pat''s survey', 1, 'Happy?', 3, 'Yes\tNo\t', '3\t0\t')",
                  "INSERT INTO [SCRIPTS DETAIL] VALUES ('Pat''s survey', 2, 'What went wrong?', 2, Null, Null)",
                  "INSERT INTO [SCRIPTS DETAIL] VALUES ('Pat''s survey', 3, 'Boxes a month?', 1, Null, Null)"});
    }
};

TEST_F(CallScriptTest, ARunFollowsTheBranchTakesEachKindOfAnswerAndIsStored) {
    RunScript run;
    ASSERT_TRUE(run.start("O'Brien Ltd", "Pat", "Pat's survey"));
    run.answer("No");
    run.next();
    ASSERT_EQ(run.currentStep(), 1u);
    run.answer("Late delivery");
    run.next();
    run.answer("12.50");
    run.next();
    EXPECT_EQ(run.currentStep(), 3u);
    EXPECT_EQ(run.answers(), (QStringList{"No", "Late delivery", "12.5"}));
    ask.message(kYes, "store the answers");
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(dataRows("SELECT [SCRIPT NAME], STARTED, [USER ID], [CONTACT NAME] FROM [SCRIPTS HISTORY]"),
              QStringList{"Pat's survey|05/12/2026 10:30:00|admin|Pat"});
    EXPECT_EQ(dataRows("SELECT [SCRIPT BRANCH ID], RESPONSE FROM [SCRIPTS HISTORY DETAIL] "
                       "WHERE [CUSTOMER NAME] = 'O''Brien Ltd' ORDER BY 1"),
              (QStringList{"1|No", "2|Late delivery", "3|12.5"}));
}

TEST_F(CallScriptTest, AYesSkipsToTheBranchAndUnreachedStepsAreStoredEmpty) {
    RunScript run;
    ASSERT_TRUE(run.start("O'Brien Ltd", "Pat", "Pat's survey"));
    run.answer("Yes");
    run.next();
    EXPECT_EQ(run.currentStep(), 2u);
    ask.message(kYes);
    ASSERT_TRUE(run.finish());  // finished at step 3 with no answer typed
    EXPECT_EQ(dataRows("SELECT RESPONSE FROM [SCRIPTS HISTORY DETAIL] ORDER BY [SCRIPT BRANCH ID]"),
              (QStringList{"Yes", "", ""}));
}

TEST_F(CallScriptTest, AStepNumberMustBeWholeAndFreeAndAStartNeedsCustomerContactAndScript) {
    ScriptItem item("Pat's survey", 0, nullptr);
    EXPECT_EQ(item.step().branchId, 4);  // after the last step
    for (const char* bad : {"2", "x", "0"}) {
        item.findChild<QLineEdit*>("BranchId")->setText(bad);
        ask.message(kOk, "step number");
        EXPECT_FALSE(item.saveStep()) << bad;
    }
    item.findChild<QLineEdit*>("BranchId")->setText("7");
    item.findChild<QPlainTextEdit*>("Prompt")->setPlainText("Anything else?");
    item.addResponse("Yes", 1);
    ASSERT_TRUE(item.saveStep());
    EXPECT_EQ(dataValue("SELECT [BRANCH STRING] FROM [SCRIPTS DETAIL] WHERE [SCRIPT BRANCH ID] = 7"),
              "1\t");

    SelectScript select;
    ask.message(kOk, "customer");
    EXPECT_FALSE(select.startRun());
    select.findChild<QLineEdit*>("CustomerName")->setText("O'Brien Ltd");
    ask.message(kOk, "contact person");
    EXPECT_FALSE(select.startRun());
}

}  // namespace
}  // namespace tvtest
