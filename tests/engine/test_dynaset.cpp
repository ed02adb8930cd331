// Dynasets over SQL in the dialect: key sets over one table (updatable), snapshots of
// joins and summaries (read-only), Null criteria, bookmarks, clones, positions, counts,
// Requery, action statements with their affected-row counts, and Find in every kind of
// record set.
#include "engine_fixture.h"

#include "core/convert.h"

#include <map>

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

TEST_F(DynasetTest, FindStartsAndTurnsAlikeInEveryKindOfRecordSet) {
    // Steps: F/N/L/P FindFirst/Next/Last/Previous, < to BOF, > to EOF. `at` is the row
    // current afterwards, nullptr when still at BOF or EOF: a find that fails moves nowhere.
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
        {'P', "[JOINED] > #2026-12-05 09:59:59# And [JOINED] < #2026-12-05 10:00:01#", false,
         "O'Brien"},
        {'F', "[JOINED] > #2026-12-05 09:59:59# And [JOINED] < #2026-12-05 10:00:01#", true,
         "O'Brien"},
        {'N', "CITY = Null", true, "Zhou"},
        {'<', "", false, nullptr},
        {'P', "ACTIVE = True", false, nullptr},
        {'N', "ACTIVE = True", true, "Adams"},
        {'>', "", false, nullptr},
        {'N', "ACTIVE = True", false, nullptr},
        {'P', "ACTIVE = False", true, "Brown"},
    };
    using Find = void (Recordset::*)(const QString&);
    const std::map<char, Find> finds = {{'F', &Recordset::FindFirst},
                                        {'N', &Recordset::FindNext},
                                        {'L', &Recordset::FindLast},
                                        {'P', &Recordset::FindPrevious}};
    for (const char* source : {"CUSTOMERS", "SELECT * FROM CUSTOMERS ORDER BY [CUSTOMER NAME]",
                               "SELECT DISTINCT * FROM CUSTOMERS ORDER BY [CUSTOMER NAME]"}) {
        Recordset rs = db_.OpenRecordset(source);
        if (rs.Type() == RecordsetType::Table) rs.SetIndex("PrimaryKey");
        int n = 0;
        for (const auto& s : steps) {
            SCOPED_TRACE(testing::Message() << source << ", step " << ++n);
            if (s.step == '<' || s.step == '>') {
                s.step == '<' ? rs.MoveFirst() : rs.MoveLast();
                s.step == '<' ? rs.MovePrevious() : rs.MoveNext();
                continue;
            }
            (rs.*finds.at(s.step))(QString::fromUtf8(s.criteria));
            EXPECT_EQ(rs.NoMatch(), !s.match);
            if (s.at)
                EXPECT_EQ(rs[0].asString(), QString::fromUtf8(s.at));
            else
                EXPECT_TRUE(rs.BOF() || rs.EOF_());
        }
    }
}

TEST_F(DynasetTest, BookmarksClonesAndPositionsHoldAcrossKeyBlocks) {
    // Enough rows for several blocks of keys (the first block holds 1024).
    db_.BeginTrans();
    for (int n = 10; n < 2510; ++n) db_.Execute(QStringLiteral("INSERT INTO ORDERS (ORDERNO) VALUES (%1)").arg(n));
    db_.CommitTrans();
    QStringList expected;
    for (int n = 2509; n >= 10; --n) expected << QString::number(n);
    expected << QStringList({"5", "4", "3", "2", "1"});
    Recordset rs = db_.OpenRecordset("SELECT ORDERNO FROM ORDERS ORDER BY ORDERNO DESC");
    EXPECT_EQ(rs.RecordCount(), 2505);
    ASSERT_EQ(walk(rs, 0), expected);

    rs.SetAbsolutePosition(1030);  // in the second block
    const QByteArray mark = rs.Bookmark();
    Recordset clone = rs.Clone();
    EXPECT_EQ(dbErrorOf([&] { clone[0]; }), err::kNoCurrentRecord) << "a clone starts nowhere";
    clone.SetBookmark(mark);
    EXPECT_EQ(tvtest::textOf(clone[0]), expected[1030]);
    clone.MoveLast();
    rs.SetAbsolutePosition(10);
    rs.Delete();
    rs.SetBookmark(mark);
    EXPECT_EQ(tvtest::textOf(rs[0]), expected[1030]) << "the clone moves on its own";
    EXPECT_EQ(rs.AbsolutePosition(), 1029) << "one live row fewer before it";
    EXPECT_EQ(rs.RecordCount(), 2504);
    EXPECT_EQ(dbErrorOf([&] { rs.SetBookmark(QByteArray("junk")); }), 3159);

    // Counting from either end, as the list window fetches rows.
    rs.MoveFirst();
    rs.MovePrevious();
    rs.Move(2);
    EXPECT_EQ(tvtest::textOf(rs[0]), expected[1]);
    rs.MoveLast();
    rs.MoveNext();
    rs.Move(-1);
    EXPECT_EQ(tvtest::textOf(rs[0]), "1");
    rs.Move(-3000);
    EXPECT_TRUE(rs.BOF());
}

TEST_F(DynasetTest, CountsAndEmptySets) {
    Recordset rs = db_.OpenRecordset("SELECT * FROM ORDERS WHERE AMOUNT < 35");
    rs.MoveLast();
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(db_.OpenRecordset("ORDERS").RecordCount(), 5);
    db_.Execute("DELETE * FROM ORDERS");
    for (const char* source : {"SELECT * FROM ORDERS", "ORDERS"}) {
        SCOPED_TRACE(source);
        Recordset none = db_.OpenRecordset(source);
        EXPECT_TRUE(none.EOF_() && none.BOF());
        EXPECT_EQ(none.RecordCount(), 0);
        EXPECT_EQ(dbErrorOf([&] { none.MoveFirst(); }), err::kNoCurrentRecord);
        EXPECT_EQ(dbErrorOf([&] { none.MoveNext(); }), err::kNoCurrentRecord);
        EXPECT_EQ(dbErrorOf([&] { none[0]; }), err::kNoCurrentRecord);
    }
}

TEST_F(DynasetTest, ComputedColumnsAreTypedAndReadOnly) {
    Recordset rs =
        db_.OpenRecordset("SELECT ORDERNO, AMOUNT * 2 AS DOUBLED FROM ORDERS ORDER BY 1");
    EXPECT_EQ(rs.FieldNamed("DOUBLED").Type(), FieldType::Double);
    EXPECT_EQ(rs["DOUBLED"].asDouble(), 21.0);
    rs.Edit();
    EXPECT_EQ(dbErrorOf([&] { rs.FieldNamed("DOUBLED").SetValue(1); }), 3164);
    rs.CancelUpdate();
}

TEST_F(DynasetTest, AnOpenSetKeepsItsRowsAndFieldsUntilRequeried) {
    Recordset rs = db_.OpenRecordset("SELECT * FROM ORDERS ORDER BY ORDERNO DESC");
    Database other = Engine::instance().OpenDatabase(path_);
    TableDef def = other.TableDefNamed("ORDERS");
    def.Append(def.CreateField("NOTE", FieldType::Text, 20));
    other.Execute("UPDATE ORDERS SET AMOUNT = 11, NOTE = 'new' WHERE ORDERNO = 1");
    db_.Execute("INSERT INTO ORDERS (ORDERNO, AMOUNT) VALUES (9, 1)");
    // Changed values show; the new row and the new column wait for Requery.
    EXPECT_EQ(rs.FieldCount(), 4);
    EXPECT_EQ(rs[0].asLong(), 5);
    rs.MoveLast();
    EXPECT_EQ(rs["AMOUNT"].asDouble(), 11.0);
    rs.Requery();
    EXPECT_EQ(rs[0].asLong(), 9);
    EXPECT_EQ(rs.RecordCount(), 6);
    EXPECT_EQ(rs.FieldCount(), 4) << "Requery keeps the fields the set was opened with";
}

}  // namespace
