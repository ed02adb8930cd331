// Dynasets over SQL in the dialect: key sets over one table (updatable, written through),
// snapshots of joins, summaries and computed columns (read-only), bookmarks, clones,
// positions and counts over several blocks of keys, Requery, action statements with their
// affected-row counts, and Find starting and turning alike in every kind of record set.
#include "engine_fixture.h"

using namespace tv::engine;
using tvtest::dbErrorOf;
using tvtest::textOf;

namespace {

class DynasetTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        for (const char* sql :
             {"CREATE TABLE [CUSTOMERS] ([CUSTOMER NAME] TEXT(50) NOT NULL, [CITY] TEXT(30), "
              "[ACTIVE] BIT, [JOINED] DATETIME, CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER "
              "NAME]))",
              "CREATE TABLE [ORDERS] ([ORDERNO] LONG NOT NULL, [CUSTOMER NAME] TEXT(50), "
              "[AMOUNT] DOUBLE, [INVOICENO] LONG, CONSTRAINT PrimaryKey PRIMARY KEY ([ORDERNO]))",
              "INSERT INTO CUSTOMERS VALUES ('Adams', 'Leeds', True, #2026-12-01 09:00:00#)",
              "INSERT INTO CUSTOMERS VALUES ('O''Brien', 'Cork', True, #2026-12-05 10:00:00#)",
              "INSERT INTO CUSTOMERS VALUES ('Brown', 'Leeds', False, #2026-12-07 11:30:00#)",
              "INSERT INTO CUSTOMERS VALUES ('Zhou', Null, True, #2026-11-30 08:00:00#)",
              "INSERT INTO ORDERS VALUES (1, 'Adams', 10.5, 100)",
              "INSERT INTO ORDERS VALUES (2, 'O''Brien', 20, Null)",
              "INSERT INTO ORDERS VALUES (3, 'O''Brien', 30, 101)",
              "INSERT INTO ORDERS VALUES (4, 'Brown', 40, Null)",
              "INSERT INTO ORDERS VALUES (5, 'Zhou', 50, 0)"})
            db_.Execute(sql);
    }
    QStringList column(const QString& sql) {
        Recordset rs = db_.OpenRecordset(sql);
        return walk(rs, 0);
    }
};

TEST_F(DynasetTest, ActionStatementsReportTheRowsTheyChanged) {
    EXPECT_EQ(db_.Execute("UPDATE [ORDERS] SET [INVOICENO] = NULL WHERE [INVOICENO] = 101"), 1);
    EXPECT_EQ(db_.Execute("UPDATE [ORDERS] SET [AMOUNT] = [AMOUNT] * 2 WHERE [CUSTOMER NAME] = "
                          "'O''Brien'"),
              2);
    EXPECT_EQ(db_.Execute("DELETE * FROM [ORDERS] WHERE [INVOICENO] = Null"), 3);
    EXPECT_EQ(column("SELECT ORDERNO FROM ORDERS ORDER BY 1"), QStringList({"1", "5"}));
    EXPECT_EQ(dbErrorOf([&] { db_.Execute("SELECT * FROM ORDERS"); }), 3065);
}

TEST_F(DynasetTest, ADynasetOverOneTableWritesThroughToIt) {
    Recordset rs =
        db_.OpenRecordset("SELECT * FROM [ORDERS] WHERE AMOUNT > 15 ORDER BY AMOUNT DESC");
    ASSERT_TRUE(rs.Updatable());
    EXPECT_EQ(rs[0].asLong(), 5);
    rs.MoveNext();
    rs.Edit();
    rs.FieldNamed("AMOUNT").SetValue("44.5");
    rs.Update();
    EXPECT_EQ(tvtest::rawRows(path_, "SELECT AMOUNT FROM ORDERS WHERE ORDERNO = 4")[0][0], "44.5");

    // A new row joins the end of the set; the current row stays where it was.
    rs.AddNew();
    rs.FieldNamed("ORDERNO").SetValue(6);
    rs.Update();
    EXPECT_EQ(rs[0].asLong(), 4);
    EXPECT_EQ(rs.RecordCount(), 5);
    rs.SetBookmark(rs.LastModified());
    EXPECT_EQ(rs[0].asLong(), 6);

    // A deleted row is skipped by moves and no longer counted.
    rs.MoveFirst();
    rs.MoveNext();
    rs.Delete();
    EXPECT_EQ(dbErrorOf([&] { rs[0]; }), 3167);
    rs.MoveNext();
    EXPECT_EQ(rs[0].asLong(), 3);
    rs.MovePrevious();
    EXPECT_EQ(rs[0].asLong(), 5);
    EXPECT_EQ(rs.RecordCount(), 4);
    EXPECT_EQ(tvtest::rawRows(path_, "SELECT count(*) FROM ORDERS")[0][0], "5");
}

TEST_F(DynasetTest, JoinsSummariesAndComputedColumnsAreReadOnly) {
    Recordset joined = db_.OpenRecordset(
        "SELECT O.ORDERNO, C.CITY FROM ORDERS AS O INNER JOIN CUSTOMERS AS C "
        "ON O.[CUSTOMER NAME] = C.[CUSTOMER NAME] WHERE C.CITY = 'Leeds' ORDER BY O.ORDERNO");
    EXPECT_FALSE(joined.Updatable());
    EXPECT_EQ(walk(joined, 0), QStringList({"1", "4"}));
    joined.MoveFirst();
    EXPECT_EQ(dbErrorOf([&] { joined.Edit(); }), err::kNotUpdatable);

    Recordset totals = db_.OpenRecordset(
        "SELECT [CUSTOMER NAME], COUNT(*) AS N, SUM(AMOUNT) AS TOTAL FROM ORDERS "
        "GROUP BY [CUSTOMER NAME] ORDER BY 1");
    EXPECT_FALSE(totals.Updatable());
    totals.SetAbsolutePosition(2);
    EXPECT_EQ(totals["N"].asLong(), 2);
    EXPECT_EQ(totals["TOTAL"].asDouble(), 50.0);
    EXPECT_EQ(totals.FieldNamed("TOTAL").Type(), FieldType::Double);

    // In a key set a computed column is typed by its value and cannot be written.
    Recordset rs =
        db_.OpenRecordset("SELECT ORDERNO, AMOUNT * 2 AS DOUBLED FROM ORDERS ORDER BY 1");
    EXPECT_EQ(rs.FieldNamed("DOUBLED").Type(), FieldType::Double);
    EXPECT_EQ(rs["DOUBLED"].asDouble(), 21.0);
    rs.Edit();
    EXPECT_EQ(dbErrorOf([&] { rs.FieldNamed("DOUBLED").SetValue(1); }), 3164);
}

TEST_F(DynasetTest, FindStartsAndTurnsAlikeInEveryKindOfRecordSet) {
    // Steps: F/N/L/P FindFirst/Next/Last/Previous, < to BOF, > to EOF. `at` is the row
    // current afterwards, empty when still at BOF or EOF: a find that fails moves nowhere.
    const struct {
        char step;
        const char* criteria;
        bool match;
        const char* at;
    } steps[] = {
        {'F', "CITY = 'Leeds'", true, "Adams"},
        {'N', "CITY = 'Leeds'", true, "Brown"},
        {'N', "CITY = 'Leeds'", false, "Brown"},
        {'L', "ACTIVE = True", true, "Zhou"},
        {'P', "[CUSTOMER NAME] = \"o'brien\"", true, "O'Brien"},
        {'N', "CITY = Null", true, "Zhou"},
        {'<', "", false, ""},
        {'P', "ACTIVE = True", false, ""},
        {'N', "ACTIVE = True", true, "Adams"},
        {'>', "", false, ""},
        {'N', "ACTIVE = True", false, ""},
        {'P', "ACTIVE = False", true, "Brown"},
    };
    using Find = void (Recordset::*)(const QString&);
    const Find finds[] = {&Recordset::FindFirst, &Recordset::FindNext, &Recordset::FindLast,
                          &Recordset::FindPrevious};
    for (const char* source : {"CUSTOMERS", "SELECT * FROM CUSTOMERS ORDER BY [CUSTOMER NAME]",
                               "SELECT DISTINCT * FROM CUSTOMERS ORDER BY [CUSTOMER NAME]"}) {
        Recordset rs = db_.OpenRecordset(source);
        if (rs.Type() == RecordsetType::Table) rs.SetIndex("PrimaryKey");
        for (const auto& s : steps) {
            SCOPED_TRACE(testing::Message() << source << ": " << s.step << " " << s.criteria);
            if (s.step == '<' || s.step == '>') {
                s.step == '<' ? rs.MoveFirst() : rs.MoveLast();
                s.step == '<' ? rs.MovePrevious() : rs.MoveNext();
                continue;
            }
            (rs.*finds[QByteArray("FNLP").indexOf(s.step)])(QString::fromUtf8(s.criteria));
            EXPECT_EQ(rs.NoMatch(), !s.match);
            EXPECT_EQ(rs.BOF() || rs.EOF_() ? QString() : rs[0].asString(), s.at);
        }
    }
}

TEST_F(DynasetTest, BookmarksClonesAndPositionsHoldAcrossKeyBlocks) {
    TV_FILES_ONLY();
    // Keys in blocks of 1024, 2048, 4096...: rows across the first two edges, two of them
    // with rowids beyond 32 bits (written by another tool).
    db_.BeginTrans();
    for (int n = 10; n < 3110; ++n)
        db_.Execute(QStringLiteral("INSERT INTO ORDERS (ORDERNO) VALUES (%1)").arg(n));
    db_.CommitTrans();
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path_.toUtf8().constData(), &raw), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(raw, "INSERT INTO ORDERS (rowid, ORDERNO) VALUES (4294967296, 9999), (-5, 6)",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(raw);
    QStringList expected{"9999"};
    for (int n = 3109; n >= 10; --n) expected << QString::number(n);
    expected << QStringList({"6", "5", "4", "3", "2", "1"});
    Recordset rs = db_.OpenRecordset("SELECT ORDERNO FROM ORDERS ORDER BY ORDERNO DESC");
    EXPECT_EQ(rs.RecordCount(), 3107);
    ASSERT_EQ(walk(rs, 0), expected);

    rs.SetAbsolutePosition(1030);  // in the second block
    const QByteArray mark = rs.Bookmark();
    Recordset clone = rs.Clone();
    EXPECT_EQ(dbErrorOf([&] { clone[0]; }), err::kNoCurrentRecord) << "a clone starts nowhere";
    clone.SetBookmark(mark);
    EXPECT_EQ(textOf(clone[0]), expected[1030]);
    clone.MoveLast();
    rs.SetAbsolutePosition(10);
    rs.Delete();
    rs.SetBookmark(mark);
    EXPECT_EQ(textOf(rs[0]), expected[1030]) << "the clone moves on its own";
    EXPECT_EQ(rs.AbsolutePosition(), 1029) << "one live row fewer before it";
    EXPECT_EQ(dbErrorOf([&] { rs.SetBookmark(QByteArray("junk")); }), 3159);
    rs.AddNew();  // joins the end, after the deleted mark was made
    rs.FieldAt(0).SetValue(20000);
    rs.Update();
    EXPECT_EQ(rs.RecordCount(), 3107);

    // Counting from either end, as the list window fetches rows.
    rs.MoveFirst();
    rs.MovePrevious();
    rs.Move(2);
    EXPECT_EQ(textOf(rs[0]), expected[1]);
    rs.MoveLast();
    EXPECT_EQ(textOf(rs[0]), "20000");
    rs.Move(-2);
    EXPECT_EQ(textOf(rs[0]), "2");
    rs.Move(-4000);
    EXPECT_TRUE(rs.BOF());
}

TEST_F(DynasetTest, EmptySetsAndRequery) {
    Recordset rs = db_.OpenRecordset("SELECT * FROM ORDERS ORDER BY ORDERNO DESC");
    Database other = Engine::instance().OpenDatabase(path_);
    TableDef def = other.TableDefNamed("ORDERS");
    def.Append(def.CreateField("NOTE", FieldType::Text, 20));
    other.Execute("UPDATE ORDERS SET AMOUNT = 11, NOTE = 'new' WHERE ORDERNO = 1");
    other.Execute("INSERT INTO ORDERS (ORDERNO) VALUES (9)");
    // Changed values show; the new row and the new column wait for Requery.
    EXPECT_EQ(rs.FieldCount(), 4);
    EXPECT_EQ(rs[0].asLong(), 5);
    rs.MoveLast();
    EXPECT_EQ(rs["AMOUNT"].asDouble(), 11.0);
    rs.Requery();
    EXPECT_EQ(rs[0].asLong(), 9);
    EXPECT_EQ(rs.RecordCount(), 6);
    EXPECT_EQ(rs.FieldCount(), 4) << "Requery keeps the fields the set was opened with";

    db_.Execute("DELETE * FROM ORDERS");
    rs.Requery();
    EXPECT_TRUE(rs.EOF_() && rs.BOF());
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_EQ(dbErrorOf([&] { rs.MoveFirst(); }), err::kNoCurrentRecord);
    EXPECT_EQ(dbErrorOf([&] { rs.MoveNext(); }), err::kNoCurrentRecord);
    EXPECT_EQ(dbErrorOf([&] { rs[0]; }), err::kNoCurrentRecord);
}

}  // namespace
