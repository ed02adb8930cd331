// Table definitions at run time: custom fields added to and removed from a table that
// holds rows (the other columns keep their values, a reopened file sees the change),
// indexes made and dropped, tables built field by field, and auto-numbered columns.
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
    QStringList columnNames(const TableDef& def) {
        QStringList names;
        for (const Field& f : def.Fields()) names << f.Name();
        return names;
    }
};

TEST_F(TableDefTest, CustomFieldsComeAndGoWhileRowsExist) {
    TableDef def = db_.TableDefNamed("Customers");
    Field size = def.CreateField("SHOE SIZE", FieldType::Integer);
    def.Append(size);
    Field vip = def.CreateField("VIP", FieldType::Boolean);
    def.Append(vip);
    Field note = def.CreateField("NOTE", FieldType::Text, 12);
    note.SetAllowZeroLength(false);
    def.Append(note);
    EXPECT_EQ(columnNames(def),
              QStringList({"CUSTOMER NAME", "CITY", "PHONE", "SHOE SIZE", "VIP", "NOTE"}));

    // Existing rows get Null; the new columns take values like the others.
    Recordset rs = db_.OpenRecordset("CUSTOMERS");
    rs.SetIndex("PrimaryKey");
    rs.Seek("=", "O'Brien");
    ASSERT_FALSE(rs.NoMatch());
    EXPECT_TRUE(rs[3].isNull());
    rs.Edit();
    rs.FieldAt(3).SetValue("44");
    rs.FieldAt(4).SetValue("True");
    rs.FieldAt(5).SetValue("");
    EXPECT_EQ(dbErrorOf([&] { rs.Update(); }), err::kZeroLength);
    rs.FieldAt(5).SetValue("twelve chars");
    rs.Update();
    rs.Close();

    reopen();
    def = db_.TableDefNamed("CUSTOMERS");
    EXPECT_EQ(def.FieldNamed("NOTE").Size(), 12);
    EXPECT_FALSE(def.FieldNamed("NOTE").AllowZeroLength());
    EXPECT_EQ(def.FieldNamed("SHOE SIZE").Type(), FieldType::Integer);
    EXPECT_EQ(def.FieldNamed("shoe size").OrdinalPosition(), 3);

    def.DeleteField("SHOE SIZE");
    EXPECT_EQ(columnNames(def), QStringList({"CUSTOMER NAME", "CITY", "PHONE", "VIP", "NOTE"}));
    reopen();
    EXPECT_EQ(rawRows(path_, "SELECT * FROM CUSTOMERS ORDER BY 1"),
              (std::vector<QStringList>{{"Adams", "Leeds", "0113", "NULL", "NULL"},
                                        {"O'Brien", "Cork", "021", "-1", "twelve chars"}}));
}

TEST_F(TableDefTest, ARequiredFieldAddedLaterIsEnforcedAndRemembered) {
    TableDef def = db_.TableDefNamed("CUSTOMERS");
    Field region = def.CreateField("REGION", FieldType::Text, 10);
    region.SetRequired(true);
    def.Append(region);
    reopen();
    EXPECT_TRUE(db_.TableDefNamed("CUSTOMERS").FieldNamed("REGION").Required());
    Recordset rs = db_.OpenRecordset("CUSTOMERS");
    rs.AddNew();
    rs.FieldAt(0).SetValue("Clark");
    EXPECT_EQ(dbErrorOf([&] { rs.Update(); }), err::kRequiredNull);
    rs.FieldNamed("REGION").SetValue("North");
    rs.Update();
    EXPECT_EQ(rs.RecordCount(), 3);
}

TEST_F(TableDefTest, RefusedChanges) {
    TableDef def = db_.TableDefNamed("CUSTOMERS");
    EXPECT_EQ(dbErrorOf([&] { def.DeleteField("PHONE"); }), err::kCannotDeleteKeyField);
    EXPECT_EQ(dbErrorOf([&] { def.DeleteField("CUSTOMER NAME"); }), err::kCannotDeleteKeyField);
    EXPECT_EQ(dbErrorOf([&] { def.DeleteField("NOPE"); }), err::kItemNotFound);
    EXPECT_EQ(dbErrorOf([&] { def.Append(def.CreateField("city", FieldType::Text)); }),
              err::kDuplicateName);
    EXPECT_EQ(dbErrorOf([&] { def.CreateIndex("Phone", {"CITY"}); }), err::kDuplicateName);
    EXPECT_EQ(dbErrorOf([&] { def.CreateIndex("ByNothing", {"NOPE"}); }), err::kItemNotFound);
    EXPECT_EQ(dbErrorOf([&] { db_.TableDefNamed("NOPE"); }), err::kItemNotFound);
    // Appending a field that is already a column of the table.
    EXPECT_EQ(dbErrorOf([&] { def.Append(def.FieldAt(0)); }), err::kInvalidOperation);
    EXPECT_EQ(dbErrorOf([&] { def.FieldAt(0).SetRequired(false); }), err::kInvalidOperation);
    EXPECT_EQ(columnNames(def), QStringList({"CUSTOMER NAME", "CITY", "PHONE"}));
}

TEST_F(TableDefTest, IndexesArePerTableAndNamedAsMade) {
    db_.Execute(
        "CREATE TABLE [CONTACTS] ([CUSTOMER NAME] TEXT(50) NOT NULL, [CONTACT NAME] TEXT(50) "
        "NOT NULL, [PHONE] TEXT(20), CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], "
        "[CONTACT NAME]))");
    // The same index name on another table: Jet index names belong to their table.
    db_.Execute("CREATE INDEX [Phone] ON [CONTACTS] ([PHONE])");
    TableDef contacts = db_.TableDefNamed("CONTACTS");
    contacts.CreateIndex("ByContact", {"CONTACT NAME", "PHONE"}, true);
    QStringList described;
    for (const Index& index : contacts.Indexes())
        described << QStringLiteral("%1%2%3:%4")
                         .arg(index.Name(), index.Primary() ? "*" : "", index.Unique() ? "!" : "",
                              index.FieldNames().join(u','));
    described.sort();
    EXPECT_EQ(described, QStringList({"ByContact!:CONTACT NAME,PHONE", "Phone:PHONE",
                                      "PrimaryKey*!:CUSTOMER NAME,CONTACT NAME"}));
    contacts.DeleteIndex("phone");
    EXPECT_EQ(contacts.Indexes().size(), 2u);
    EXPECT_EQ(db_.TableDefNamed("CUSTOMERS").Indexes().size(), 2u);
    EXPECT_EQ(dbErrorOf([&] { contacts.DeleteIndex("Phone"); }), err::kIndexNotFound);
    // A unique index refuses a duplicate like the primary key does.
    db_.Execute("INSERT INTO CONTACTS VALUES ('Adams', 'Ann', '1')");
    EXPECT_EQ(dbErrorOf([&] { db_.Execute("INSERT INTO CONTACTS VALUES ('Brown', 'ann', '1')"); }),
              err::kDuplicateKey);
}

TEST_F(TableDefTest, ATableBuiltFieldByFieldAndListedWithTheOthers) {
    TableDef def = db_.CreateTableDef("Call Notes");
    def.Append(def.CreateField("NOTE ID", FieldType::Long));
    Field text = def.CreateField("TEXT", FieldType::Memo);
    def.Append(text);
    def.CreateIndex("PrimaryKey", {"NOTE ID"});
    EXPECT_EQ(def.FieldCount(), 2);
    db_.AppendTableDef(def);
    EXPECT_TRUE(db_.HasTable("[call notes]"));
    QStringList tables;
    for (const TableDef& t : db_.TableDefs()) tables << t.Name();
    EXPECT_EQ(tables, QStringList({"Call Notes", "CUSTOMERS"}));
    Recordset rs = db_.OpenRecordset("[Call Notes]");
    rs.SetIndex("PrimaryKey");
    EXPECT_EQ(dbErrorOf([&] { db_.AppendTableDef(def); }), err::kInvalidOperation);
    EXPECT_EQ(dbErrorOf([&] { db_.Execute("CREATE TABLE [Call Notes] ([X] LONG)"); }),
              err::kDuplicateName);
    db_.Execute("DROP TABLE [Call Notes]");
    EXPECT_FALSE(db_.HasTable("Call Notes"));
}

TEST_F(TableDefTest, StatementsChangeTheSchemaToo) {
    db_.Execute("ALTER TABLE [CUSTOMERS] ADD COLUMN [RATING] SHORT");
    db_.Execute("ALTER TABLE [CUSTOMERS] ADD COLUMN [SINCE] DATETIME");
    db_.Execute("INSERT INTO CUSTOMERS ([CUSTOMER NAME], [RATING]) VALUES ('Clark', 3)");
    const TableDef def = db_.TableDefNamed("CUSTOMERS");
    EXPECT_EQ(columnNames(def), QStringList({"CUSTOMER NAME", "CITY", "PHONE", "RATING", "SINCE"}));
    EXPECT_EQ(def.FieldNamed("RATING").Type(), FieldType::Integer);
    db_.Execute("ALTER TABLE [CUSTOMERS] DROP COLUMN [RATING]");
    db_.Execute("CREATE UNIQUE INDEX [City] ON [CUSTOMERS] ([CITY], [CUSTOMER NAME])");
    EXPECT_EQ(def.Indexes().size(), 3u);
    db_.Execute("DROP INDEX [Phone] ON [CUSTOMERS]");
    db_.Execute("ALTER TABLE [CUSTOMERS] DROP COLUMN [PHONE]");
    EXPECT_EQ(columnNames(def), QStringList({"CUSTOMER NAME", "CITY", "SINCE"}));
    EXPECT_EQ(rawRows(path_, "SELECT count(*) FROM CUSTOMERS")[0][0], "3");
    EXPECT_EQ(dbErrorOf([&] { db_.Execute("ALTER TABLE [CUSTOMERS] DROP COLUMN [CITY]"); }),
              err::kCannotDeleteKeyField);
}

TEST_F(TableDefTest, ColumnsAddedElsewhereAppearAfterIdle) {
    Database other = Engine::instance().OpenDatabase(path_);
    EXPECT_EQ(other.TableDefNamed("CUSTOMERS").FieldCount(), 3);
    TableDef def = db_.TableDefNamed("CUSTOMERS");
    def.Append(def.CreateField("EXTRA", FieldType::Long));
    // The other connection keeps what it read until it is told to look again.
    EXPECT_EQ(other.TableDefNamed("CUSTOMERS").FieldCount(), 3);
    Engine::instance().Idle();
    EXPECT_EQ(other.TableDefNamed("CUSTOMERS").FieldCount(), 4);
    Recordset rs = other.OpenRecordset("CUSTOMERS");
    EXPECT_TRUE(rs["EXTRA"].isNull());
}

TEST_F(TableDefTest, AReadOnlyDatabaseRefusesEveryWrite) {
    db_.Close();
    db_ = Engine::instance().OpenDatabase(path_, true);
    Recordset rs = db_.OpenRecordset("CUSTOMERS");
    EXPECT_FALSE(rs.Updatable());
    EXPECT_EQ(dbErrorOf([&] { rs.Edit(); }), err::kNotUpdatable);
    EXPECT_EQ(dbErrorOf([&] { db_.Execute("DELETE * FROM CUSTOMERS"); }), err::kNotUpdatable);
    EXPECT_EQ(dbErrorOf([&] { db_.TableDefNamed("CUSTOMERS").DeleteField("CITY"); }),
              err::kNotUpdatable);
    EXPECT_EQ(rs.RecordCount(), 2);
}

TEST_F(TableDefTest, AutoNumbersCountOnFromTheHighest) {
    db_.Execute(
        "CREATE TABLE [LOG] ([ID] COUNTER, [WHAT] TEXT(20), CONSTRAINT PrimaryKey PRIMARY KEY "
        "([ID]))");
    Recordset rs = db_.OpenRecordset("LOG");
    rs.AddNew();
    EXPECT_EQ(rs[0].asLong(), 1) << "numbered at AddNew";
    rs.FieldAt(1).SetValue("first");
    rs.Update();
    db_.Execute("INSERT INTO [LOG] ([WHAT]) VALUES ('by statement')");
    db_.Execute("INSERT INTO [LOG] ([ID], [WHAT]) VALUES (10, 'by hand')");
    rs.AddNew();
    EXPECT_EQ(rs[0].asLong(), 11);
    rs.Update();
    EXPECT_EQ(rawRows(path_, "SELECT group_concat(ID) FROM (SELECT ID FROM LOG ORDER BY ID)")[0][0],
              "1,2,10,11");
    EXPECT_TRUE(db_.TableDefNamed("LOG").FieldAt(0).AutoIncrement());
    rs.MoveFirst();
    rs.Edit();
    EXPECT_EQ(dbErrorOf([&] { rs.FieldAt(0).SetValue(5); }), 3164);
    rs.CancelUpdate();
}

}  // namespace
