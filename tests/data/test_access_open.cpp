// Opening: the data database on first use and again after a failure, damaged files,
// record sets by table name and by SQL, the key description of a table, and repair.
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

class OpenTest : public DataLayerTest {};

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
        {"Select [CITY] From [CUSTOMERS] Where [CITY] = 'York'", RecordsetType::Dynaset, false},
    };
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
}

TEST_F(OpenTest, KeyColumnCountFollowsThePrimaryKey) {
    ASSERT_TRUE(OpenDataDatabase());
    struct Case {
        const char* source;
        int database;
        int count;
    };
    const Case cases[] = {
        {"Customers", kDataDb, 1},
        {"[ACTIVITIES]", kDataDb, 2},
        {"Contact Roles", kDataDb, 3},
        {"SELECT * FROM [ACTIVITIES] ORDER BY [DATETIME]", kDataDb, 2},
        {"select * from Products where PRODUCTNO > 3", kDataDb, 1},
        {"System User Access", kDataDb, 2},
        {"Messages", kDefinitionsDb, 1},
        {"Messages", kDataDb, 0},
        {"No Such Table", kDataDb, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(KeyColumnCount(QString::fromUtf8(c.source), c.database), c.count);
    }
}

TEST_F(OpenTest, RepairShowsTheBusyPointerAndRepairsAHealthyFile) {
    EXPECT_TRUE(RepairDatabaseFile(dataPath()));
    EXPECT_EQ(ask.pointers(), (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_GE(ask.eventRounds(), 1);
    EXPECT_TRUE(OpenDataDatabase()) << "the repaired file still opens";
    EXPECT_EQ(KeyColumnCount("Customers"), 1);
}

TEST_F(OpenTest, RepairOfAMissingFileReportsItsPath) {
    const QString missing = folder.file("Missing.mdb");
    ask.message(msgbox::kOk, "Text 13.\n\n" + missing);
    EXPECT_FALSE(RepairDatabaseFile(missing));
    EXPECT_EQ(ask.pointers().back(), kPointerDefault);
}

}  // namespace
}  // namespace tvtest
