// A database copied to a file and back (on the server: server to file to server): the
// indexes keep their columns' directions, the rows their values and auto-numbers, and new
// rows are numbered past the copied ones.
#include "common/engine/queries.h"
#include "engine/database_copy.h"
#include "engine_fixture.h"

using namespace tv::engine;

namespace {

class DatabaseCopyTest : public tvtest::EngineTest {};

QString indexesOf(const TableDef& def) {
    QStringList described;
    for (const Index& index : def.Indexes()) {
        QStringList keys;
        const QStringList names = index.FieldNames();
        for (qsizetype i = 0; i < names.size(); ++i)
            keys << names[i] + (index.Descending()[static_cast<size_t>(i)] ? " DESC" : "");
        described << index.Name() + (index.Unique() ? "!" : "") + "(" + keys.join(",") + ")";
    }
    described.sort();
    return described.join(' ');
}

TEST_F(DatabaseCopyTest, ARoundTripKeepsIndexDirectionsRowsAndNumbers) {
    db_.Execute(
        "CREATE TABLE [Visits] ([VISIT ID] COUNTER, [CUSTOMER NAME] TEXT(50) NOT NULL, "
        "[VISITED] DATETIME, [NOTE] MEMO, CONSTRAINT PrimaryKey PRIMARY KEY ([VISIT ID]))");
    db_.Execute("CREATE INDEX [Latest] ON [Visits] ([VISITED] DESC, [CUSTOMER NAME])");
    db_.Execute("CREATE UNIQUE INDEX [ByName] ON [Visits] ([CUSTOMER NAME], [VISIT ID] DESC)");
    for (const char* row : {"'Adams', #01/02/2026#, 'first'", "'O''Brien', #03/04/2026#, Null",
                            "'Brown', Null, 'gone'", "'O''Brien', #05/06/2026#, ''"})
        db_.Execute(QStringLiteral("INSERT INTO Visits ([CUSTOMER NAME], [VISITED], [NOTE]) "
                                   "VALUES (%1)").arg(row));
    db_.Execute("DELETE FROM Visits WHERE [CUSTOMER NAME] = 'Brown'");
    const QString all = "SELECT [VISIT ID], [CUSTOMER NAME], [VISITED], [NOTE] FROM Visits "
                        "ORDER BY [VISIT ID]";
    const auto rows = tvtest::queryRows(db_, all);

    Database file = Engine::instance().CreateDatabase(scratch_.file("Folder.mdb"));
    CopyDatabase(db_, file);
    Database back =
        Engine::instance().CreateDatabase(tvtest::databaseLocation(scratch_, "Back.mdb"));
    std::vector<std::pair<QString, long>> copied;
    CopyDatabase(file, back, [&](const QString& table, long n) { copied.emplace_back(table, n); });

    EXPECT_EQ(copied, (std::vector<std::pair<QString, long>>{{"Visits", 3}}));
    const QString expected =
        "ByName!(CUSTOMER NAME,VISIT ID DESC) Latest(VISITED DESC,CUSTOMER NAME) "
        "PrimaryKey!(VISIT ID)";
    EXPECT_EQ(indexesOf(db_.TableDefNamed("Visits")), expected);
    EXPECT_EQ(indexesOf(file.TableDefNamed("Visits")), expected);
    EXPECT_EQ(indexesOf(back.TableDefNamed("Visits")), expected);
    EXPECT_EQ(tvtest::queryRows(back, all), rows);

    // The copied numbers raised the mark: the next row is numbered past them.
    Recordset added = back.OpenRecordset("Visits", RecordsetType::Table);
    added.AddNew();
    added.FieldNamed("CUSTOMER NAME").SetValue(tv::Variant(QStringLiteral("Clark")));
    added.Update();
    EXPECT_EQ(tvtest::queryValue(back, "SELECT Max([VISIT ID]) FROM Visits"), "5");
}

}  // namespace
