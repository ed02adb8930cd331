// A database copied to a file and back (on the server: server to file to server) keeps
// its indexes' directions, its rows and their auto-numbers; new rows number past them.
#include "common/engine/queries.h"
#include "engine/database_copy.h"
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
    db_.Execute("DELETE FROM Visits WHERE [CUSTOMER NAME] = 'Brown'");
    Database file = Engine::instance().CreateDatabase(scratch_.file("Folder.mdb"));
    Database back = Engine::instance().CreateDatabase(tvtest::databaseLocation(scratch_, "B.mdb"));
    CopyDatabase(db_, file);
    CopyDatabase(file, back);

    QStringList indexes;
    for (const Index& index : back.TableDefNamed("Visits").Indexes())
        for (size_t i = 0; i < index.Descending().size(); ++i)
            if (index.Descending()[i]) indexes << index.Name() + '.' + index.FieldNames()[i];
    EXPECT_EQ(indexes, (QStringList{"ByName.VISIT ID", "Latest.VISITED"}));
    const QString all = "SELECT * FROM Visits ORDER BY [VISIT ID]";
    EXPECT_EQ(tvtest::queryRows(back, all), tvtest::queryRows(db_, all));
    back.Execute("INSERT INTO Visits ([CUSTOMER NAME]) VALUES ('Clark')");
    EXPECT_EQ(tvtest::queryValue(back, "SELECT Max([VISIT ID]) FROM Visits"), "4");
}
