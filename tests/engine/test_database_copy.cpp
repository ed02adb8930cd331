// A database copied to a file and back (on the server: server to file to server) keeps
// its indexes' directions (the primary key's too), its rows and their auto-numbers; new
// rows number past every number handed out, the deleted newest row's too.
#include "common/engine/queries.h"
#include "engine/database_copy.h"
#include "engine/errors.h"
#include "engine_fixture.h"

using namespace tv::engine;
using tvtest::EngineTest;

TEST_F(EngineTest, ACopyThereAndBackKeepsIndexDirectionsRowsAndNumbers) {
    db_.Execute("CREATE TABLE [Visits] ([VISIT ID] COUNTER, [CUSTOMER NAME] TEXT(50) NOT NULL, "
                "[VISITED] DATETIME, CONSTRAINT PrimaryKey PRIMARY KEY ([VISIT ID]))");
    db_.Execute("CREATE INDEX [Latest] ON [Visits] ([VISITED] DESC, [CUSTOMER NAME])");
    db_.Execute("CREATE UNIQUE INDEX [ByName] ON [Visits] ([CUSTOMER NAME], [VISIT ID] DESC)");
    for (const char* name : {"'Adams'", "'Brown'", "'O''Brien'"})
        db_.Execute(QStringLiteral("INSERT INTO Visits ([CUSTOMER NAME]) VALUES (%1)").arg(name));
    db_.Execute("DELETE FROM Visits WHERE [CUSTOMER NAME] IN ('Brown', 'O''Brien')");
    db_.Execute("CREATE TABLE [Rates] ([CODE] TEXT(10), [SINCE] DATETIME, [RATE] DOUBLE)");
    db_.Execute("CREATE UNIQUE INDEX PrimaryKey ON Rates ([CODE] DESC, [SINCE]) WITH PRIMARY");
    db_.Execute("INSERT INTO Rates VALUES ('O''Brien', #2026-01-02#, 0.25)");
    Database file = Engine::instance().CreateDatabase(scratch_.file("Folder.mdb"));
    Database back = Engine::instance().CreateDatabase(tvtest::databaseLocation(scratch_, "B.mdb"));
    CopyDatabase(db_, file);
    CopyDatabase(file, back);

    QStringList indexes;
    for (const char* table : {"Visits", "Rates"})
        for (const Index& index : back.TableDefNamed(table).Indexes())
            for (size_t i = 0; i < index.Descending().size(); ++i)
                indexes << QString("%1%2.%3%4").arg(index.Primary() ? "*" : "", index.Name(),
                                                     index.FieldNames()[i],
                                                     index.Descending()[i] ? " DESC" : "");
    indexes.sort();
    EXPECT_EQ(indexes, (QStringList{"*PrimaryKey.CODE DESC", "*PrimaryKey.SINCE",
                                    "*PrimaryKey.VISIT ID", "ByName.CUSTOMER NAME",
                                    "ByName.VISIT ID DESC", "Latest.CUSTOMER NAME",
                                    "Latest.VISITED DESC"}));
    for (const QString all : {"SELECT * FROM Visits ORDER BY [VISIT ID]", "SELECT * FROM Rates"})
        EXPECT_EQ(tvtest::queryRows(back, all), tvtest::queryRows(db_, all));
    back.Execute("INSERT INTO Visits ([CUSTOMER NAME]) VALUES ('Clark')");
    EXPECT_EQ(tvtest::queryValue(back, "SELECT Max([VISIT ID]) FROM Visits"), "4");
}

// A table whose rows the target refuses is not made at all and the error names it; the
// tables before it stay copied.
TEST_F(EngineTest, ACopyStopsAtARefusedTableAndLeavesItOut) {
    Database source = Engine::instance().CreateDatabase(scratch_.file("Source.mdb"));
    source.Execute("CREATE TABLE [A Kept] ([NAME] TEXT(20))");
    source.Execute("INSERT INTO [A Kept] VALUES ('O''Brien')");
    source.Execute("CREATE TABLE [B Refused] ([CODE] TEXT(3))");
    source.Close();
    // Another program's row, longer than the column allows.
    tvtest::rawRows(scratch_.file("Source.mdb"),
                    "INSERT INTO [B Refused] VALUES ('ABC'), ('ABCD')", true);
    source = Engine::instance().OpenDatabase(scratch_.file("Source.mdb"));
    QString text;
    EXPECT_EQ(tvtest::dbErrorOf([&] { CopyDatabase(source, db_); }, &text), err::kFieldTooLong);
    EXPECT_TRUE(text.contains("B Refused")) << text.toStdString();
    QStringList tables;
    for (const TableDef& def : db_.TableDefs()) tables << def.Name();
    EXPECT_EQ(tables, QStringList{"A Kept"});
    EXPECT_EQ(tvtest::queryValue(db_, "SELECT NAME FROM [A Kept]"), "O'Brien");
}
