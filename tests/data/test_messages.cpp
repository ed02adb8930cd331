// The numbered messages and the program-wide pieces they rest on: the catalogue lookup,
// what a box answers when nobody is there, file filters, the 1-based record buffer and
// the state reset.
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "data_fixture.h"

namespace tvtest {
namespace {

using namespace tv::data;

class MessagesTest : public DataLayerTest {};

TEST_F(MessagesTest, BoxTakesTitleTextExtraParagraphAndStyleFromTheCatalogue) {
    execOn(definitionsPath(),
           {QStringLiteral("UPDATE [MESSAGES] SET [PARAGRAPH] = 'Try again later.', [STYLE] = 292 "
                           "WHERE [MSGNO] = 101")});
    state().MessagesRs.Requery();
    ask.message(msgbox::kYes);
    EXPECT_EQ(ShowMessage(101, " (extra)"), msgbox::kYes);
    const auto box = ask.messages().at(0);
    EXPECT_EQ(box.title, "Title 101");
    EXPECT_EQ(box.text, "Text 101. (extra)\n\nTry again later.");
    EXPECT_EQ(box.style, 292);

    ask.message(msgbox::kOk);
    EXPECT_EQ(ShowMessage(2), msgbox::kOk);
    EXPECT_EQ(ask.messages().at(1).text, "Text 2.") << "no empty paragraph";
}

TEST_F(MessagesTest, MissingNumberSaysSoAndReturnsMinusOne) {
    ask.message(msgbox::kOk, "Message 9999 not found in definitions database.", "Message Error");
    EXPECT_EQ(ShowMessage(9999, "ignored"), -1);
    EXPECT_EQ(ask.messages().at(0).text, "Message 9999 not found in definitions database.");
    EXPECT_EQ(ask.messages().at(0).style, msgbox::kExclamation);

    // Before the definitions are open every number is missing.
    state().MessagesRs.Close();
    ask.message(msgbox::kOk, "Message 2 not found");
    EXPECT_EQ(ShowMessage(2), -1);
}

TEST(DefaultPrompterTest, AnswersWithoutWaitingWhenNothingIsInstalled) {
    ASSERT_EQ(setPrompter(nullptr), nullptr) << "a previous test left a prompter installed";
    Prompter& p = prompter();
    EXPECT_NE(dynamic_cast<DefaultPrompter*>(&p), nullptr);
    // Dismissed: Cancel or No where the box has one, else its first button.
    EXPECT_EQ(p.messageBox("Question", "Go on?", msgbox::kYesNo + msgbox::kQuestion), msgbox::kNo);
    EXPECT_EQ(p.messageBox("", "", msgbox::kYesNoCancel + msgbox::kDefaultButton3),
              msgbox::kCancel);
    EXPECT_EQ(p.messageBox("", "", msgbox::kAbortRetryIgnore), msgbox::kAbort);
    EXPECT_TRUE(p.inputBox("Name?", QString(), "x").isEmpty());
    EXPECT_TRUE(p.openFile(FileRequest{}).isEmpty());
    PrintRequest print;
    EXPECT_FALSE(p.printerDialog(print));
    EXPECT_FALSE(p.chooseColour(0xFF).has_value());
}

TEST(FileFilterTest, ClassicPairsBecomeQtEntries) {
    struct Case {
        const char* classic;
        const char* qt;
    };
    const Case cases[] = {
        {"Database Files (*.mdb)|*.mdb", "Database Files (*.mdb)"},
        {"Reports|*.rpt", "Reports (*.rpt)"},
        {"Pictures (*.bmp;*.ico)|*.bmp;*.ico|All Files (*.*)|*.*",
         "Pictures (*.bmp *.ico);;All Files (*.*)"},
        {"", ""},
        {"Dangling description", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(filedlg::toQtFilter(QString::fromUtf8(c.classic)), QString::fromUtf8(c.qt))
            << c.classic;
}

TEST(FieldValueArrayTest, CountsFromOneAndGrowsOnWrite) {
    FieldValueArray v;
    v.resize(3);
    v(1) = "a";
    v(3) = "c";
    EXPECT_EQ(v.toList(), (QStringList{"a", "", "c"}));
    v(5) = "e";
    EXPECT_EQ(v.size(), 5);
    const FieldValueArray& read = v;
    EXPECT_EQ(read(6), QString());
    EXPECT_EQ(read(0), QString());
    EXPECT_EQ(v.size(), 5) << "reading out of range does not grow";
    v(0) = "nowhere";
    EXPECT_EQ(v(1), "a");
    v.resize(2);
    EXPECT_EQ(v.toList(), (QStringList{"a", ""}));
}

TEST_F(MessagesTest, ResetClosesTheDatabasesAndForgetsTheUser) {
    ASSERT_TRUE(OpenDataDatabase());
    AppState& st = state();
    st.CurrentUserId = "ann";
    st.SharedValues[4] = "x";
    st.UserAccess.push_back(AccessEntry{"Customers", false, true, true, true});
    st.WorkflowMode = true;
    st.BeforeDelete = [](auto&&...) { return DeleteCascade{}; };
    st.reset();
    EXPECT_FALSE(st.DataOpen || st.DataDb.IsOpen() || st.DefinitionsDb.IsOpen() ||
                 st.MessagesRs.IsOpen());
    EXPECT_TRUE(st.CurrentUserId.isEmpty() && st.SharedValues[4].isEmpty() &&
                st.UserAccess.empty());
    EXPECT_FALSE(st.WorkflowMode || st.BeforeDelete);
    EXPECT_EQ(st.BusyPointer, kPointerHourglass);
}

}  // namespace
}  // namespace tvtest
