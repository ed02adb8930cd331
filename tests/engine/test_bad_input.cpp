// Bad input of every kind is a DbError with its number, never a crash: statements that
// cannot be translated or name unknown things, calls in the wrong state, refused schema
// changes (the table stays as it was), and files that are not this engine's databases
// (each error names the file, so the caller can offer to repair or locate it).
#include "common/engine/queries.h"
#include "engine_fixture.h"

#include <QFile>

using namespace tv::engine;
using tvtest::dbErrorOf;

namespace {

class BadInputTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [T] ([ID] LONG NOT NULL, [NAME] TEXT(20), CONSTRAINT PrimaryKey "
            "PRIMARY KEY ([ID]))");
        db_.Execute("CREATE INDEX [Name] ON [T] ([NAME])");
        db_.Execute("INSERT INTO T VALUES (1, 'one')");
    }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = scratch_.file(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
};

TEST_F(BadInputTest, StatementsNamesAndCallsInTheWrongState) {
    TableDef def = db_.TableDefNamed("T");
    Recordset table = db_.OpenRecordset("T");
    table.SetIndex("PrimaryKey");
    struct Case {
        const char* what;
        std::function<void()> call;
        int error;
    };
    const Case cases[] = {
        {"malformed", [&] { db_.OpenRecordset("SELECT * FROM WHERE"); }, err::kSyntax},
        {"unterminated", [&] { db_.Execute("UPDATE T SET NAME = 'x"); }, err::kSyntax},
        {"unknown table", [&] { db_.OpenRecordset("Nowhere"); }, err::kTableNotFound},
        {"unknown table in SQL", [&] { db_.OpenRecordset("SELECT * FROM Nowhere"); },
         err::kTableNotFound},
        {"unknown column", [&] { db_.OpenRecordset("SELECT NOPE FROM T"); }, 3061},
        {"unknown column in action", [&] { db_.Execute("UPDATE T SET NOPE = 1"); }, 3061},
        {"unknown column in criteria",
         [&] { db_.OpenRecordset("SELECT * FROM T").FindFirst("NOPE = 1"); }, 3070},
        {"table record set over SQL",
         [&] { db_.OpenRecordset("SELECT * FROM T", RecordsetType::Table); },
         err::kInvalidOperation},
        {"unknown field by name", [&] { db_.OpenRecordset("T").FieldNamed("NOPE"); },
         err::kItemNotFound},
        {"field ordinal out of range", [&] { db_.OpenRecordset("T").FieldAt(2); },
         err::kItemNotFound},
        {"Update without Edit", [&] { db_.OpenRecordset("T").Update(); }, err::kUpdateWithoutEdit},
        {"value without Edit", [&] { db_.OpenRecordset("T").FieldAt(1).SetValue("x"); },
         err::kUpdateWithoutEdit},
        {"CommitTrans without BeginTrans", [&] { db_.CommitTrans(); }, err::kInvalidOperation},
        {"CancelUpdate without Edit", [&] { db_.OpenRecordset("T").CancelUpdate(); },
         err::kUpdateWithoutEdit},
        {"Edit without a row", [&] { db_.OpenRecordset("SELECT * FROM T WHERE ID = 0").Edit(); },
         err::kNoCurrentRecord},
        {"binary literal", [&] { sqlLiteral(QByteArray("x")); }, err::kTypeMismatch},
        {"Seek without an index", [&] { db_.OpenRecordset("T").Seek("=", 1); }, 3019},
        {"unknown index", [&] { table.SetIndex("Nonesuch"); }, err::kIndexNotFound},
        {"key of the wrong type", [&] { table.Seek("=", "one"); }, 3464},
        {"unknown comparison", [&] { table.Seek("~", 1); }, err::kInvalidOperation},
        {"Seek on a dynaset", [&] { db_.OpenRecordset("SELECT * FROM T").Seek("=", 1); },
         err::kInvalidOperation},
        {"key column deleted", [&] { def.DeleteField("ID"); }, err::kCannotDeleteKeyField},
        {"indexed column dropped", [&] { db_.Execute("ALTER TABLE T DROP COLUMN [NAME]"); },
         err::kCannotDeleteKeyField},
        {"unknown column deleted", [&] { def.DeleteField("NOPE"); }, err::kItemNotFound},
        {"column twice", [&] { def.Append(def.CreateField("name", FieldType::Text)); },
         err::kDuplicateName},
        {"index twice", [&] { def.CreateIndex("Name", {"ID"}); }, err::kDuplicateName},
        {"index on no column", [&] { def.CreateIndex("ByNothing", {"NOPE"}); }, err::kItemNotFound},
        {"table twice", [&] { db_.Execute("CREATE TABLE [t] ([X] LONG)"); }, err::kDuplicateName},
        // Statements write names between brackets; a name they cannot hold is never made.
        {"column name holding ]", [&] { def.Append(def.CreateField("A]B", FieldType::Text)); },
         3125},
        {"table name holding a tab", [&] { db_.Execute("CREATE TABLE [A\tB] ([X] LONG)"); },
         3125},
        {"index name holding [", [&] { def.CreateIndex("By[ID", {"ID"}); }, 3125},
        {"bracketing such a name", [&] { bracketName("X] OR [Y"); }, 3125},
        {"unknown table definition", [&] { db_.TableDefNamed("NOPE"); }, err::kItemNotFound},
        {"field appended again", [&] { def.Append(def.FieldAt(0)); }, err::kInvalidOperation},
        {"appended field changed", [&] { def.FieldAt(0).SetRequired(false); },
         err::kInvalidOperation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(dbErrorOf(c.call), c.error);
    }
    EXPECT_EQ(def.FieldCount(), 2) << "a refused change left the table as it was";
    EXPECT_EQ(def.Indexes().size(), 2u);
}

// Statements 100,000 levels deep or terms long, down every recursive path and along every
// operator chain: each is refused as too complex (3075 while reading, 3360 when SQLite
// would not take it), none crashes or takes long. "&" chains of any length give their text.
TEST_F(BadInputTest, HostileNestingAndChainsAreRefusedOrAnswered) {
    constexpr int n = 100000;
    const auto times = [](const char* text, int count) { return QString(text).repeated(count); };
    const auto chain = [&](const char* term, const char* op) {
        return QString(term) + times((QString(op) + term).toUtf8().constData(), n - 1);
    };
    const QString nestings[] = {
        "SELECT * FROM T WHERE " + times("(", n) + "ID" + times(")", n) + " = 1",
        "SELECT * FROM T WHERE " + times("NOT ", n) + "ID = 1",
        "SELECT " + times("- ", n) + "1 FROM T",
        "SELECT " + times("-(", n) + "1" + times(")", n) + " FROM T",
        "SELECT " + times("IIf(ID = 1, ", n) + "1" + times(", 0)", n) + " FROM T",
        "SELECT " + times("Nz(", n) + "NAME" + times(", 'x')", n) + " FROM T",
        "SELECT * FROM T WHERE ID IN " + times("(SELECT ID FROM T WHERE ID IN ", n) + "(1)" +
            times(")", n),
        "SELECT * FROM T WHERE " + times("EXISTS (SELECT * FROM T WHERE ", n) + "ID = 1" +
            times(")", n),
        "SELECT * FROM " + times("(SELECT * FROM ", n) + "T" + times(")", n),
        "SELECT * FROM T WHERE " + chain("ID = 1", " AND "),
        "SELECT * FROM T WHERE " + chain("ID = 1", " OR "),
        "SELECT " + chain("ID", " + ") + " FROM T",
        "SELECT " + chain("2", " ^ ") + " FROM T",
        "SELECT " + chain("2", " = ") + " FROM T",
        "SELECT " + chain("ID", ", ") + " FROM T",
        "SELECT * FROM T ORDER BY " + chain("ID", ", "),
        "SELECT * FROM " + chain("T", ", "),
        chain("SELECT ID FROM T", " UNION "),
        "SELECT * FROM T WHERE NAME LIKE '" + times("*a", n) + "'",
        "SELECT * FROM T WHERE NAME LIKE '" + times("*#", n) + "'",
    };
    for (const QString& sql : nestings) {
        SCOPED_TRACE(sql.left(60).toStdString());
        const int error = dbErrorOf([&] { tvtest::queryRows(db_, sql); });
        EXPECT_TRUE(error == err::kSyntax || error == 3360) << error;
    }
    // "&" joins any number of parts; Null only when every part is Null.
    EXPECT_EQ(tvtest::queryRows(db_, "SELECT " + chain("NAME", " & ") + " FROM T"),
              std::vector<QStringList>{{QString("one").repeated(n)}});
    EXPECT_EQ(tvtest::queryRows(db_, "SELECT IsNull(" + chain("Null", " & ") + ") FROM T"),
              std::vector<QStringList>{{"-1"}});
    EXPECT_EQ(tvtest::queryRows(db_, "SELECT " + chain("Null", " & ") + " & 'x' FROM T"),
              std::vector<QStringList>{{"x"}});
}

TEST_F(BadInputTest, ClosedObjectsReportThemselvesClosed) {
    Recordset rs = db_.OpenRecordset("T");
    Field name = rs.FieldAt(1);
    rs.Close();
    EXPECT_EQ(dbErrorOf([&] { name.Value(); }), 3420);
    EXPECT_EQ(dbErrorOf([&] { rs.MoveNext(); }), 3420);
    Recordset other = db_.OpenRecordset("T");
    db_.Close();
    EXPECT_EQ(dbErrorOf([&] { other.MoveFirst(); }), 3420);
    EXPECT_EQ(dbErrorOf([&] { db_.OpenRecordset("T"); }), 3420);
}

TEST_F(BadInputTest, FilesThatAreNotThisEnginesDatabases) {
    TV_FILES_ONLY();
    db_.Close();
    {
        // SQLite's header kept, the catalogue that follows it overwritten.
        QFile damaged(path_);
        ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
        damaged.seek(100);
        damaged.write(QByteArray(3000, '\x5a'));
    }
    QByteArray jet(2048, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    struct Case {
        const char* what;
        QString path;
        int error;
    };
    const Case cases[] = {
        {"missing", scratch_.file("Missing.mdb"), err::kFileNotFound},
        {"a folder", scratch_.path(), err::kCannotOpenFile},
        {"empty", writeFile("Empty.mdb", QByteArray()), err::kNotDatabase},
        {"text", writeFile("Text.mdb", "just some text, not a database"), err::kNotDatabase},
        {"legacy Jet", writeFile("Jet.mdb", jet), err::kLegacyJetFile},
        {"damaged", path_, err::kDamaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString text;
        EXPECT_EQ(dbErrorOf([&] { Engine::instance().OpenDatabase(c.path); }, &text), c.error);
        EXPECT_TRUE(text.contains(c.path)) << text.toStdString();
    }
    EXPECT_EQ(dbErrorOf([&] { Engine::instance().CreateDatabase(path_); }), 3204);
}

}  // namespace
