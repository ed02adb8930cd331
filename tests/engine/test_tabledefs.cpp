// Table definitions at run time: custom fields added and removed while rows exist, by
// TableDef or statement (seen after reopening, and by another connection after Idle),
// indexes, tables built field by field, and auto-numbers that never come back, in new
// files and in files numbered by an older program. Refused changes: test_bad_input.cpp.
#include "engine_fixture.h"

using namespace tv::engine;
using tvtest::dbErrorOf;
using tvtest::rawRows;

namespace {

class TableDefTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [CUSTOMERS] ([CUSTOMER NAME] TEXT(50) NOT NULL, [CITY] TEXT(30), "
            "[PHONE] TEXT(20), CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME]))");
        db_.Execute("CREATE INDEX [Phone] ON [CUSTOMERS] ([PHONE])");
        db_.Execute("INSERT INTO CUSTOMERS VALUES ('Adams', 'Leeds', '0113')");
        db_.Execute("INSERT INTO CUSTOMERS VALUES ('O''Brien', 'Cork', '021')");
    }
    static QString columns(const TableDef& def) {
        QStringList names;
        for (const Field& f : def.Fields()) names << f.Name();
        return names.join(u',');
    }
    QString newest(const QString& table, const QString& column) {
        return rawRows(path_,
                       QStringLiteral("SELECT max(\"%1\") FROM \"%2\"").arg(column, table))[0][0];
    }
};

TEST_F(TableDefTest, CustomFieldsComeAndGoWhileRowsExist) {
    TableDef def = db_.TableDefNamed("Customers");
    def.Append(def.CreateField("SHOE SIZE", FieldType::Integer));
    db_.Execute("ALTER TABLE [CUSTOMERS] ADD COLUMN [VIP] BIT");
    Field note = def.CreateField("NOTE", FieldType::Text, 12);
    note.SetAllowZeroLength(false);
    def.Append(note);
    Field region = def.CreateField("REGION", FieldType::Text, 10);
    region.SetRequired(true);
    def.Append(region);
    EXPECT_EQ(columns(def), "CUSTOMER NAME,CITY,PHONE,SHOE SIZE,VIP,NOTE,REGION");

    // Existing rows get Null; the new columns take values and are checked like the others.
    Recordset rs = db_.OpenRecordset("CUSTOMERS");
    rs.SetIndex("PrimaryKey");
    rs.Seek("=", "O'Brien");
    EXPECT_TRUE(rs[3].isNull());
    rs.Edit();
    rs.FieldAt(3).SetValue("44");
    rs.FieldAt(4).SetValue("True");
    rs.FieldAt(5).SetValue("");
    EXPECT_EQ(dbErrorOf([&] { rs.Update(); }), err::kZeroLength);
    rs.FieldAt(5).SetValue("twelve chars");
    rs.Update();
    rs.AddNew();
    rs.FieldAt(0).SetValue("Clark");
    EXPECT_EQ(dbErrorOf([&] { rs.Update(); }), err::kRequiredNull);
    rs.FieldNamed("REGION").SetValue("North");
    rs.Update();
    rs.Close();

    reopen();
    def = db_.TableDefNamed("CUSTOMERS");
    // What only the declared type remembers of a column added to a table with rows.
    EXPECT_FALSE(def.FieldNamed("NOTE").AllowZeroLength());
    EXPECT_TRUE(def.FieldNamed("REGION").Required());
    EXPECT_EQ(def.FieldNamed("shoe size").OrdinalPosition(), 3);

    def.DeleteField("SHOE SIZE");
    db_.Execute("ALTER TABLE [CUSTOMERS] DROP COLUMN [REGION]");
    EXPECT_EQ(columns(def), "CUSTOMER NAME,CITY,PHONE,VIP,NOTE");
    reopen();
    EXPECT_EQ(rawRows(path_, "SELECT * FROM CUSTOMERS ORDER BY 1"),
              (std::vector<QStringList>{{"Adams", "Leeds", "0113", "NULL", "NULL"},
                                        {"Clark", "NULL", "NULL", "NULL", "NULL"},
                                        {"O'Brien", "Cork", "021", "-1", "twelve chars"}}));
}

TEST_F(TableDefTest, TablesAndIndexesMadeAtRunTimeAreSeenElsewhereAfterIdle) {
    Database other = Engine::instance().OpenDatabase(path_);
    EXPECT_EQ(other.TableDefNamed("CUSTOMERS").FieldCount(), 3);
    TableDef def = db_.CreateTableDef("Call Notes");
    def.Append(def.CreateField("NOTE ID", FieldType::Long));
    def.Append(def.CreateField("PHONE", FieldType::Text, 20));
    def.CreateIndex("PrimaryKey", {"NOTE ID", "PHONE"});
    db_.AppendTableDef(def);
    EXPECT_EQ(dbErrorOf([&] { db_.AppendTableDef(def); }), err::kInvalidOperation);
    // The same index name as on CUSTOMERS: Jet index names belong to their table.
    db_.Execute("CREATE INDEX [Phone] ON [Call Notes] ([PHONE])");
    def = db_.TableDefNamed("[call notes]");
    def.CreateIndex("ByBoth", {"PHONE", "NOTE ID"}, true);
    QStringList described;
    for (const Index& index : def.Indexes())
        described << QStringLiteral("%1%2%3:%4")
                         .arg(index.Name(), index.Primary() ? "*" : "", index.Unique() ? "!" : "",
                              index.FieldNames().join(u','));
    described.sort();
    EXPECT_EQ(described,
              QStringList({"ByBoth!:PHONE,NOTE ID", "Phone:PHONE", "PrimaryKey*!:NOTE ID,PHONE"}));
    def.DeleteIndex("phone");
    db_.Execute("DROP INDEX [ByBoth] ON [Call Notes]");
    EXPECT_EQ(def.Indexes().size(), 1u);
    EXPECT_EQ(db_.TableDefNamed("CUSTOMERS").Indexes().size(), 2u);
    EXPECT_EQ(dbErrorOf([&] { def.DeleteIndex("Phone"); }), err::kIndexNotFound);
    // A unique index refuses a duplicate like the primary key does.
    db_.Execute("CREATE UNIQUE INDEX [ByPhone] ON [Call Notes] ([PHONE])");
    db_.Execute("INSERT INTO [Call Notes] VALUES (1, '1')");
    EXPECT_EQ(dbErrorOf([&] { db_.Execute("INSERT INTO [Call Notes] VALUES (2, '1')"); }),
              err::kDuplicateKey);

    // The other connection keeps what it read until it is told to look again.
    TableDef customers = db_.TableDefNamed("CUSTOMERS");
    customers.Append(customers.CreateField("EXTRA", FieldType::Long));
    EXPECT_EQ(other.TableDefNamed("CUSTOMERS").FieldCount(), 3);
    Engine::instance().Idle();
    EXPECT_EQ(other.TableDefNamed("CUSTOMERS").FieldCount(), 4);
    EXPECT_TRUE(other.OpenRecordset("CUSTOMERS")["EXTRA"].isNull());
    QStringList tables;
    for (const TableDef& t : other.TableDefs()) tables << t.Name();
    EXPECT_EQ(tables, QStringList({"Call Notes", "CUSTOMERS"}));
    db_.Execute("DROP TABLE [Call Notes]");
    EXPECT_FALSE(db_.HasTable("Call Notes"));
}

TEST_F(TableDefTest, AutoNumbersNeverComeBack) {
    // Each way a row gets its number, after the newest row was deleted: AddNew and a
    // statement leaving the column Null, in a new table and in a column added at run time.
    db_.Execute("CREATE TABLE [LOG] ([ID] COUNTER, [WHAT] TEXT(20))");
    db_.Execute("CREATE TABLE [NOTES] ([WHAT] TEXT(20))");
    db_.Execute("INSERT INTO NOTES VALUES ('a')");
    db_.Execute("INSERT INTO NOTES VALUES ('b')");
    db_.Execute("ALTER TABLE [NOTES] ADD COLUMN [ID] COUNTER");  // numbers the rows 1 and 2
    for (const QString table : {"LOG", "NOTES"}) {
        for (bool byStatement : {false, true}) {
            SCOPED_TRACE(table.toStdString() + (byStatement ? " by statement" : " by AddNew"));
            auto add = [&] {
                if (byStatement) {
                    db_.Execute("INSERT INTO [" + table + "] ([WHAT]) VALUES ('x')");
                    return;
                }
                Recordset rs = db_.OpenRecordset(table);
                rs.AddNew();
                rs.FieldNamed("WHAT").SetValue("x");
                rs.Update();
            };
            add();
            const QString number = newest(table, "ID");
            db_.Execute("DELETE * FROM [" + table + "] WHERE ID = " + number);
            add();
            EXPECT_EQ(newest(table, "ID").toInt(), number.toInt() + 1);
        }
    }
    EXPECT_EQ(rawRows(path_, "SELECT group_concat(ID) FROM NOTES")[0][0], "1,2,4,6");

    // A number written by hand raises the mark; an AddNew that is cancelled uses its number.
    db_.Execute("INSERT INTO [LOG] ([ID], [WHAT]) VALUES (10, 'by hand')");
    Recordset rs = db_.OpenRecordset("LOG");
    rs.AddNew();
    EXPECT_EQ(rs[0].asLong(), 11);
    rs.CancelUpdate();
    db_.Execute("UPDATE [LOG] SET [ID] = 20 WHERE [ID] = 10");
    reopen();
    rs = db_.OpenRecordset("LOG");
    rs.AddNew();
    EXPECT_EQ(rs[0].asLong(), 21);
    rs.CancelUpdate();
    EXPECT_TRUE(rs.FieldAt(0).AutoIncrement());
    rs.MoveFirst();
    rs.Edit();
    EXPECT_EQ(dbErrorOf([&] { rs.FieldAt(0).SetValue(5); }), 3164);
    rs.Close();
    // A table made again under the same name starts again, as a new table does.
    db_.Execute("DROP TABLE [LOG]");
    db_.Execute("CREATE TABLE [LOG] ([ID] COUNTER, [WHAT] TEXT(20))");
    db_.Execute("INSERT INTO [LOG] ([WHAT]) VALUES ('first')");
    EXPECT_EQ(newest("LOG", "ID"), "1");
    EXPECT_EQ(db_.TableDefs().size(), 3u) << "the marks are no table of the user";
}

TEST_F(TableDefTest, AFileNumberedByAnOlderProgramStopsReusingNumbersWhenOpened) {
    TV_FILES_ONLY();
    db_.Execute("CREATE TABLE [LOG] ([ID] COUNTER, [WHAT] TEXT(20))");
    db_.Close();
    // What an older program left: no mark, and a trigger numbering from the maximum.
    sqlite3* old = nullptr;
    ASSERT_EQ(sqlite3_open(path_.toUtf8().constData(), &old), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(old,
                     "DROP TRIGGER \"LOG|ID|mark\"; DROP TRIGGER \"LOG|ID|counter\"; DROP TABLE "
                     "tv_autonumber; CREATE TRIGGER \"LOG|ID|counter\" AFTER INSERT ON LOG FOR "
                     "EACH ROW WHEN NEW.ID IS NULL BEGIN UPDATE LOG SET ID = (SELECT "
                     "ifnull(max(ID), 0) + 1 FROM LOG) WHERE rowid = NEW.rowid; END; INSERT "
                     "INTO LOG (WHAT) VALUES ('a'), ('b'), ('c'); PRAGMA user_version = 0",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(old);

    // Read-only, the file is read as it is and refuses every write; the first writable
    // open upgrades it.
    db_ = Engine::instance().OpenDatabase(path_, true);
    Recordset readOnly = db_.OpenRecordset("LOG");
    EXPECT_EQ(readOnly.RecordCount(), 3);
    EXPECT_FALSE(readOnly.Updatable());
    EXPECT_EQ(dbErrorOf([&] { readOnly.AddNew(); }), err::kNotUpdatable);
    EXPECT_EQ(dbErrorOf([&] { db_.Execute("DELETE * FROM LOG"); }), err::kNotUpdatable);
    EXPECT_EQ(dbErrorOf([&] { db_.Execute("ALTER TABLE LOG ADD COLUMN [X] LONG"); }),
              err::kNotUpdatable);
    readOnly.Close();
    reopen();
    db_.Execute("DELETE * FROM LOG WHERE ID = 3");
    Recordset rs = db_.OpenRecordset("LOG");
    rs.AddNew();
    EXPECT_EQ(rs[0].asLong(), 4);
    rs.Update();
    db_.Execute("DELETE * FROM LOG WHERE ID = 4");
    db_.Execute("INSERT INTO LOG (WHAT) VALUES ('e')");
    EXPECT_EQ(rawRows(path_, "SELECT group_concat(ID) FROM LOG")[0][0], "1,2,5");
    EXPECT_EQ(rawRows(path_, "PRAGMA user_version")[0][0], "1");
}

}  // namespace
