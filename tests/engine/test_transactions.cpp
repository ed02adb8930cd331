// Transactions: BeginTrans/CommitTrans/Rollback with nested levels, edits inside an
// explicit transaction (written but not visible to others until the commit), and the
// write lock a pending edit holds against another connection in the same program.
#include "engine_fixture.h"

using namespace tv::engine;
using tvtest::dbErrorOf;
using tvtest::rawRows;

namespace {

class TransactionTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [T] ([ID] LONG NOT NULL, [V] TEXT(10), CONSTRAINT PrimaryKey "
            "PRIMARY KEY ([ID]))");
        timeout_ = Engine::instance().BusyTimeout();
    }
    void TearDown() override {
        Engine::instance().SetBusyTimeout(timeout_);
        EngineTest::TearDown();
    }
    void add(int id, const char* value) {
        db_.Execute(
            QStringLiteral("INSERT INTO T VALUES (%1, %2)").arg(id).arg(quoteLiteral(value)));
    }
    // What another reader of the file sees.
    QString committed() { return rawRows(path_, "SELECT group_concat(ID) FROM T")[0][0]; }
    int timeout_ = 0;
};

TEST_F(TransactionTest, NestedLevelsRollBackOnlyTheirOwnWork) {
    db_.BeginTrans();
    add(1, "a");
    db_.BeginTrans();
    add(2, "b");
    db_.Rollback();
    Recordset rs = db_.OpenRecordset("T");
    rs.AddNew();  // an Update inside the transaction does not commit it either
    rs.FieldAt(0).SetValue(3);
    rs.Update();
    EXPECT_EQ(committed(), "NULL") << "nothing is visible before the outer commit";
    db_.CommitTrans();
    EXPECT_EQ(committed(), "1,3");

    db_.BeginTrans();
    add(4, "d");
    db_.Rollback();
    EXPECT_EQ(committed(), "1,3");
    EXPECT_EQ(db_.OpenRecordset("T").RecordCount(), 2);
}

TEST_F(TransactionTest, APendingEditHoldsTheFileAgainstAnotherConnection) {
    add(1, "x");
    Engine::instance().SetBusyTimeout(100);
    Database other = Engine::instance().OpenDatabase(path_);
    Recordset mine = db_.OpenRecordset("T");
    mine.MoveFirst();
    mine.AddNew();
    Recordset theirs = other.OpenRecordset("T");
    theirs.MoveFirst();
    EXPECT_EQ(theirs[1].asString(), "x") << "reading goes on while the lock is held";
    EXPECT_EQ(dbErrorOf([&] { theirs.Edit(); }), err::kLocked);
    EXPECT_EQ(dbErrorOf([&] { other.Execute("DELETE * FROM T"); }), err::kLocked);
    mine.CancelUpdate();
    theirs.Edit();
    theirs.FieldAt(1).SetValue("y");
    theirs.Update();
    // Closing a record set with an edit pending gives the lock back too.
    mine.MoveFirst();
    mine.Edit();
    mine.Close();
    EXPECT_EQ(other.Execute("DELETE * FROM T"), 1);
}

}  // namespace
