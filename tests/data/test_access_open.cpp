// Opening databases and record sets (first use, retry, damage, repair, keys), and numbered
// messages with what they rest on: prompter, file filters, record buffer, state reset.
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data_fixture.h"

#include <QFile>

namespace tvtest {
namespace {

using namespace tv::data;
using tv::engine::RecordsetType;

using OpenTest = DataLayerTest;

TEST_F(OpenTest, FirstTableAccessOpensTheDataDatabaseAndSelectorMinusOneTheDefinitions) {
    ASSERT_FALSE(state().DataOpen);
    EXPECT_TRUE(OpenTable("Customers").IsOpen());
    EXPECT_TRUE(state().DataOpen && state().DataDb.IsOpen());
    tv::engine::Recordset rs = OpenTable("Messages", kDefinitionsDb);
    rs.Seek("=", tv::Variant(std::int32_t{194}));
    EXPECT_FALSE(rs.NoMatch());
    EXPECT_TRUE(ask.asked().empty());
}

TEST_F(OpenTest, TableNamesGetThePrimaryKeyIndexAndSqlDoesNot) {
    struct Case {
        const char* source;
        RecordsetType type;
        bool indexed;
    };
    const Case cases[] = {
        {"Customers", RecordsetType::Table, true},
        {"[CONTACT ROLES]", RecordsetType::Table, true},
        {"SELECT * FROM [CUSTOMERS]", RecordsetType::Dynaset, false},
        {"select * from customers", RecordsetType::Dynaset, false},
        {"Select [CITY] From [CUSTOMERS] Where [CITY] = 'York'", RecordsetType::Dynaset, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        tv::engine::Recordset rs = OpenTable(QString::fromUtf8(c.source));
        ASSERT_TRUE(rs.IsOpen());
        EXPECT_EQ(rs.Type(), c.type);
        QString index;
        (void)attempt([&] { index = rs.Index(); });
        EXPECT_EQ(index == "PrimaryKey", c.indexed);
        rs.Close();
    }
}

TEST_F(OpenTest, UnknownTableIsReportedWithSourceAndEngineError) {
    ask.message(msgbox::kOk, QString(), "Title 194");
    tv::engine::Recordset rs = OpenTable("No Such Table");
    EXPECT_FALSE(rs.IsOpen());
    ASSERT_EQ(ask.messages().size(), 1u);
    const QString text = ask.messages()[0].text;
    EXPECT_TRUE(text.startsWith("Text 194.\n\nNo Such Table\n\n")) << qPrintable(text);
    EXPECT_TRUE(text.endsWith(" (3078)")) << qPrintable(text);
}

TEST_F(OpenTest, MissingDataDatabaseIsReportedAndRetriedOnNextAccess) {
    TV_FILES_ONLY();  // the file is moved away and back
    const QString moved = folder.file("elsewhere.mdb");
    ASSERT_TRUE(QFile::rename(dataPath(), moved));

    ask.message(msgbox::kOk, "Text 2.");
    EXPECT_FALSE(OpenTable("Customers").IsOpen());
    EXPECT_FALSE(state().DataOpen);
    ASSERT_EQ(ask.messages().size(), 1u);
    const QString text = ask.messages()[0].text;
    EXPECT_TRUE(text.startsWith("Text 2." + dataPath() + "\n\n")) << qPrintable(text);
    EXPECT_GT(text.size(), ("Text 2." + dataPath() + "\n\n").size())
        << "the engine's error text follows the path";

    // Put back, and named with a trailing backslash: the next access opens it.
    ASSERT_TRUE(QFile::rename(moved, dataPath()));
    state().DataLocation = folder.path() + "\\";
    EXPECT_TRUE(OpenTable("Customers").IsOpen());
    EXPECT_TRUE(state().DataOpen);
}

TEST_F(OpenTest, ADamagedDataDatabaseIsOfferedForRepair) {
    TV_FILES_ONLY();  // the file's bytes are spoilt
    {
        QFile f(dataPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(4096, 'x'));
    }
    ask.message(msgbox::kNo, "Text 11.\n" + dataPath());
    EXPECT_FALSE(OpenDataDatabase());
    EXPECT_TRUE(ask.pointers().empty()) << "no repair was attempted";

    ask.message(msgbox::kYes, "Text 11.").message(msgbox::kOk, "Text 13.\n\n" + dataPath());
    EXPECT_FALSE(OpenDataDatabase());
    EXPECT_FALSE(state().DataOpen);
    EXPECT_EQ(ask.pointers(), (std::vector<int>{kPointerHourglass, kPointerDefault}));

    // A legacy Jet file is no damage to repair: it is named for what it is.
    QByteArray jet(2048, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    {
        QFile f(dataPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(jet);
    }
    ask.message(msgbox::kOk, "Text 9000." + dataPath());
    EXPECT_FALSE(OpenDataDatabase());
}

TEST_F(OpenTest, KeyColumnCountFollowsThePrimaryKey) {
    ASSERT_TRUE(OpenDataDatabase());
    struct Case {
        const char* source;
        int database;
        int count;
    };
    const Case cases[] = {{"Customers", kDataDb, 1},
                          {"[ACTIVITIES]", kDataDb, 2},
                          {"Contact Roles", kDataDb, 3},
                          {"SELECT * FROM [ACTIVITIES] ORDER BY [DATETIME]", kDataDb, 2},
                          {"select * from Products where PRODUCTNO > 3", kDataDb, 1},
                          {"System User Access", kDataDb, 2},
                          {"Messages", kDefinitionsDb, 1},
                          {"Messages", kDataDb, 0},
                          {"No Such Table", kDataDb, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(KeyColumnCount(QString::fromUtf8(c.source), c.database), c.count);
    }
}

TEST_F(OpenTest, RepairShowsTheBusyPointerAndRepairsAHealthyFile) {
    TV_FILES_ONLY();  // repair rewrites a file
    EXPECT_TRUE(RepairDatabaseFile(dataPath()));
    EXPECT_EQ(ask.pointers(), (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_GE(ask.eventRounds(), 1);
    EXPECT_TRUE(OpenDataDatabase()) << "the repaired file still opens";
    EXPECT_EQ(KeyColumnCount("Customers"), 1);
}

using MessagesTest = DataLayerTest;

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

// "classic > Qt" pairs.
TEST(FileFilterTest, ClassicPairsBecomeQtEntries) {
    const QString cases =
        "Database Files (*.mdb)|*.mdb > Database Files (*.mdb); Reports|*.rpt > Reports (*.rpt); "
        "Pictures (*.bmp;*.ico)|*.bmp;*.ico|All Files (*.*)|*.* > Pictures (*.bmp *.ico);;All "
        "Files (*.*);  > ; Dangling description > ";
    for (const QString& c : cases.split("; "))
        EXPECT_EQ(filedlg::toQtFilter(c.section(" > ", 0, 0)), c.section(" > ", 1))
            << c.toStdString();
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
