// Dynasets over SQL in the dialect: key sets over one table (updatable), snapshots of
// joins and summaries (read-only), Null criteria, Find, bookmarks, clones, positions and
// counts, and action statements with their affected-row counts.
#include "engine_fixture.h"

#include "core/convert.h"

using namespace tv::engine;
using tvtest::dbErrorOf;

namespace {

class DynasetTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [CUSTOMERS] ([CUSTOMER NAME] TEXT(50) NOT NULL, [CITY] TEXT(30), "
            "[ACTIVE] BIT, [JOINED] DATETIME, CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER "
            "NAME]))");
        db_.Execute(
            "CREATE TABLE [ORDERS] ([ORDERNO] LONG NOT NULL, [CUSTOMER NAME] TEXT(50), "
            "[AMOUNT] DOUBLE, [INVOICENO] LONG, CONSTRAINT PrimaryKey PRIMARY KEY ([ORDERNO]))");
        customer("Adams", "Leeds", true, "2026-12-01 09:00:00");
        customer("O'Brien", "Cork", true, "2026-12-05 10:00:00");
        customer("Brown", "Leeds", false, "2026-12-07 11:30:00");
        customer("Zhou", tv::Variant(), true, "2026-11-30 08:00:00");
        order(1, "Adams", 10.5, 100);
        order(2, "O'Brien", 20, tv::Variant());
        order(3, "O'Brien", 30, 101);
        order(4, "Brown", 40, tv::Variant());
        order(5, "Zhou", 50, 0);
    }
    void customer(const QString& name, const tv::Variant& city, bool active, const char* joined) {
        const long n = db_.Execute(
            QStringLiteral("INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [CITY], [ACTIVE], [JOINED]) "
                           "VALUES (%1, %2, %3, #%4#)")
                .arg(quoteLiteral(name), sqlLiteral(city), active ? "True" : "False", joined));
        ASSERT_EQ(n, 1);
    }
    void order(int number, const QString& name, double amount, const tv::Variant& invoice) {
        db_.Execute(QStringLiteral("INSERT INTO [ORDERS] VALUES (%1, %2, %3, %4)")
                        .arg(number)
                        .arg(quoteLiteral(name), sqlLiteral(amount), sqlLiteral(invoice)));
    }
    QStringList names(const QString& sql) {
        Recordset rs = db_.OpenRecordset(sql);
        return walk(rs, 0);
    }
};

TEST_F(DynasetTest, NullCriteriaSelectRowsWithAndWithoutAValue) {
    EXPECT_EQ(names("SELECT ORDERNO FROM ORDERS WHERE INVOICENO <> Null ORDER BY ORDERNO"),
              QStringList({"1", "3", "5"}));
    EXPECT_EQ(names("SELECT ORDERNO FROM ORDERS WHERE [INVOICENO] = NULL ORDER BY ORDERNO"),
              QStringList({"2", "4"}));
    EXPECT_EQ(names("SELECT [CUSTOMER NAME] FROM CUSTOMERS WHERE ACTIVE = True AND "
                    "(CITY = 'Leeds' OR CITY = Null) ORDER BY [CUSTOMER NAME]"),
              QStringList({"Adams", "Zhou"}));
    EXPECT_EQ(names("SELECT * FROM CUSTOMERS WHERE JOINED >= #2026-12-05 10:00:00# "
                    "ORDER BY JOINED DESC"),
              QStringList({"Brown", "O'Brien"}));
}

TEST_F(DynasetTest, ActionStatementsReportTheRowsTheyChanged) {
    EXPECT_EQ(db_.Execute("UPDATE [ORDERS] SET [INVOICENO] = NULL WHERE [INVOICENO] = 101"), 1);
    EXPECT_EQ(db_.Execute("UPDATE [ORDERS] SET [AMOUNT] = [AMOUNT] * 2 WHERE [CUSTOMER NAME] = "
                          "'O''Brien'"),
              2);
    EXPECT_EQ(db_.RecordsAffected(), 2);
    EXPECT_EQ(db_.Execute("DELETE * FROM [ORDERS] WHERE [INVOICENO] = Null"), 3);
    EXPECT_EQ(names("SELECT ORDERNO FROM ORDERS ORDER BY 1"), QStringList({"1", "5"}));
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
    EXPECT_EQ(rs["AMOUNT"].asDouble(), 44.5);
    EXPECT_EQ(tvtest::rawRows(path_, "SELECT AMOUNT FROM ORDERS WHERE ORDERNO = 4")[0][0], "44.5");

    // A new row joins the end of the set; the current row stays where it was.
    rs.AddNew();
    rs.FieldNamed("ORDERNO").SetValue(6);
    rs.FieldNamed("AMOUNT").SetValue(1);
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

TEST_F(DynasetTest, JoinsAndSummariesAreReadOnlySnapshots) {
    Recordset joined = db_.OpenRecordset(
        "SELECT O.ORDERNO, C.CITY FROM ORDERS AS O INNER JOIN CUSTOMERS AS C "
        "ON O.[CUSTOMER NAME] = C.[CUSTOMER NAME] WHERE C.CITY = 'Leeds' ORDER BY O.ORDERNO");
    EXPECT_FALSE(joined.Updatable());
    EXPECT_EQ(walk(joined, 0), QStringList({"1", "4"}));
    joined.MoveFirst();
    EXPECT_EQ(dbErrorOf([&] { joined.Edit(); }), err::kNotUpdatable);

    Recordset cities = db_.OpenRecordset("SELECT DISTINCT CITY FROM CUSTOMERS ORDER BY CITY");
    EXPECT_FALSE(cities.Updatable());
    EXPECT_EQ(walk(cities, 0), QStringList({"Null", "Cork", "Leeds"}));

    Recordset totals = db_.OpenRecordset(
        "SELECT [CUSTOMER NAME], COUNT(*) AS N, SUM(AMOUNT) AS TOTAL FROM ORDERS "
        "GROUP BY [CUSTOMER NAME] ORDER BY 1");
    EXPECT_FALSE(totals.Updatable());
    totals.FindFirst("[CUSTOMER NAME] = \"o'brien\"");
    ASSERT_FALSE(totals.NoMatch());
    EXPECT_EQ(totals["N"].asLong(), 2);
    EXPECT_EQ(totals["TOTAL"].asDouble(), 50.0);
    EXPECT_EQ(totals.FieldNamed("TOTAL").Type(), FieldType::Double);
}

TEST_F(DynasetTest, FindMovesToMatchingRowsInTheSetsOrder) {
    Recordset rs = db_.OpenRecordset("SELECT * FROM ORDERS ORDER BY AMOUNT DESC");
    rs.FindFirst("[CUSTOMER NAME] = \"O'Brien\"");
    ASSERT_FALSE(rs.NoMatch());
    EXPECT_EQ(rs[0].asLong(), 3);
    rs.FindNext("[CUSTOMER NAME] = \"O'Brien\"");
    ASSERT_FALSE(rs.NoMatch());
    EXPECT_EQ(rs[0].asLong(), 2);
    rs.FindNext("[CUSTOMER NAME] = \"O'Brien\"");
    EXPECT_TRUE(rs.NoMatch());
    EXPECT_EQ(rs[0].asLong(), 2) << "a failed find keeps the current row";
    rs.FindLast("AMOUNT > 15");
    EXPECT_EQ(rs[0].asLong(), 2);
    rs.FindPrevious("AMOUNT > 15 And INVOICENO = Null");
    EXPECT_EQ(rs[0].asLong(), 4);

    Recordset table = db_.OpenRecordset("CUSTOMERS");
    table.SetIndex("PrimaryKey");
    table.FindFirst("[JOINED] > #2026-12-05 09:59:59# And [JOINED] < #2026-12-05 10:00:01#");
    ASSERT_FALSE(table.NoMatch());
    EXPECT_EQ(table[0].asString(), "O'Brien");
    table.FindNext("CITY = 'Leeds'");
    EXPECT_TRUE(table.NoMatch());
    table.FindPrevious("CITY = 'Leeds'");
    EXPECT_EQ(table[0].asString(), "Brown");
}

TEST_F(DynasetTest, BookmarksClonesAndPositions) {
    Recordset rs = db_.OpenRecordset("SELECT * FROM ORDERS ORDER BY ORDERNO");
    rs.MoveNext();
    rs.MoveNext();
    const QByteArray third = rs.Bookmark();
    EXPECT_EQ(rs.AbsolutePosition(), 2);

    Recordset clone = rs.Clone();
    EXPECT_EQ(dbErrorOf([&] { clone[0]; }), err::kNoCurrentRecord) << "a clone starts nowhere";
    clone.SetBookmark(third);
    EXPECT_EQ(clone[0].asLong(), 3);
    clone.MoveLast();
    EXPECT_EQ(rs[0].asLong(), 3) << "the clone moves on its own";

    rs.SetAbsolutePosition(4);
    EXPECT_EQ(rs[0].asLong(), 5);
    rs.SetBookmark(third);
    EXPECT_EQ(rs[0].asLong(), 3);
    EXPECT_EQ(dbErrorOf([&] { rs.SetBookmark(QByteArray("junk")); }), 3159);

    // Counting from either end, as the list window fetches rows.
    rs.MoveFirst();
    rs.MovePrevious();
    ASSERT_TRUE(rs.BOF());
    rs.Move(2);
    EXPECT_EQ(rs[0].asLong(), 2);
    rs.MoveLast();
    rs.MoveNext();
    ASSERT_TRUE(rs.EOF_());
    rs.Move(-1);
    EXPECT_EQ(rs[0].asLong(), 5);
    rs.Move(-10);
    EXPECT_TRUE(rs.BOF());
}

TEST_F(DynasetTest, CountsAndEmptySets) {
    Recordset rs = db_.OpenRecordset("SELECT * FROM ORDERS WHERE AMOUNT < 35");
    rs.MoveLast();
    EXPECT_EQ(rs.RecordCount(), 3);

    Recordset none = db_.OpenRecordset("SELECT * FROM ORDERS WHERE AMOUNT > 1000");
    EXPECT_TRUE(none.EOF_());
    EXPECT_TRUE(none.BOF());
    EXPECT_EQ(none.RecordCount(), 0);
    EXPECT_EQ(dbErrorOf([&] { none.MoveFirst(); }), err::kNoCurrentRecord);
    EXPECT_EQ(dbErrorOf([&] { none.MoveNext(); }), err::kNoCurrentRecord);
    EXPECT_EQ(dbErrorOf([&] { none[0]; }), err::kNoCurrentRecord);

    Recordset table = db_.OpenRecordset("ORDERS");
    EXPECT_EQ(table.RecordCount(), 5);
    db_.Execute("DELETE * FROM ORDERS");
    Recordset empty = db_.OpenRecordset("ORDERS");
    EXPECT_TRUE(empty.EOF_() && empty.BOF());
}

TEST_F(DynasetTest, OrderByPositionAndComputedColumns) {
    EXPECT_EQ(names("SELECT [CUSTOMER NAME], CITY FROM CUSTOMERS ORDER BY 2 DESC, 1"),
              QStringList({"Adams", "Brown", "O'Brien", "Zhou"}));
    Recordset rs =
        db_.OpenRecordset("SELECT ORDERNO, AMOUNT * 2 AS DOUBLED FROM ORDERS ORDER BY 1");
    EXPECT_EQ(rs.FieldNamed("DOUBLED").Type(), FieldType::Double);
    EXPECT_EQ(rs["DOUBLED"].asDouble(), 21.0);
    rs.Edit();
    EXPECT_EQ(dbErrorOf([&] { rs.FieldNamed("DOUBLED").SetValue(1); }), 3164);
    rs.CancelUpdate();
}

TEST_F(DynasetTest, AColumnAddedByAnotherUserLeavesAnOpenSetAsItWas) {
    Recordset rs = db_.OpenRecordset("SELECT * FROM ORDERS ORDER BY ORDERNO");
    Database other = Engine::instance().OpenDatabase(path_);
    TableDef def = other.TableDefNamed("ORDERS");
    def.Append(def.CreateField("NOTE", FieldType::Text, 20));
    other.Execute("UPDATE ORDERS SET AMOUNT = 11, NOTE = 'new' WHERE ORDERNO = 1");
    EXPECT_EQ(rs.FieldCount(), 4);
    EXPECT_EQ(rs[0].asLong(), 1);
    EXPECT_EQ(rs["AMOUNT"].asDouble(), 11.0);
    rs.MoveLast();
    EXPECT_EQ(rs["ORDERNO"].asLong(), 5);
    rs.Requery();
    EXPECT_EQ(rs.FieldCount(), 4) << "Requery keeps the fields the set was opened with";
}

TEST_F(DynasetTest, RequerySeesRowsAddedSinceTheSetWasOpened) {
    Recordset rs = db_.OpenRecordset("SELECT * FROM ORDERS ORDER BY ORDERNO DESC");
    order(9, "Adams", 1, tv::Variant());
    EXPECT_EQ(rs[0].asLong(), 5);
    rs.Requery();
    EXPECT_EQ(rs[0].asLong(), 9);
    EXPECT_EQ(rs.RecordCount(), 6);
}

TEST_F(DynasetTest, ALargeSetWalksAndJumpsInQueryOrder) {
    db_.BeginTrans();
    Recordset add = db_.OpenRecordset("ORDERS");
    for (int i = 10; i < 3010; ++i) {
        add.AddNew();
        add.FieldAt(0).SetValue(i);
        add.FieldAt(2).SetValue((i * 7919) % 3001);  // a shuffled order
        add.Update();
    }
    db_.CommitTrans();
    Recordset rs = db_.OpenRecordset("SELECT ORDERNO, AMOUNT FROM ORDERS ORDER BY AMOUNT, ORDERNO");
    EXPECT_EQ(rs.RecordCount(), 3005);
    double previous = -1;
    long rows = 0;
    for (; !rs.EOF_(); rs.MoveNext(), ++rows) {
        const double amount = rs[1].asDouble();
        ASSERT_GE(amount, previous);
        previous = amount;
    }
    EXPECT_EQ(rows, 3005);
    rs.SetAbsolutePosition(2000);
    const QByteArray mark = rs.Bookmark();
    const double at2000 = rs[1].asDouble();
    rs.MoveFirst();
    rs.SetBookmark(mark);
    EXPECT_EQ(rs[1].asDouble(), at2000);
    EXPECT_EQ(rs.AbsolutePosition(), 2000);
}

}  // namespace
