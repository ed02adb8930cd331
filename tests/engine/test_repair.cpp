// Repairing damaged files: the damaged file is kept beside the result, the result is a
// sound database, tables the damage did not touch are whole, a damaged table keeps the
// rows that could still be read, and a file with nothing readable is refused (3049).
#include "engine_fixture.h"

#include <QDir>
#include <QFile>

using namespace tv::engine;
using tvtest::dbErrorOf;
using tvtest::rawRows;

namespace {

class RepairTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [Good] ([ID] LONG NOT NULL, CONSTRAINT PrimaryKey PRIMARY KEY ([ID]))");
        db_.Execute(
            "CREATE TABLE [Broken] ([ID] LONG NOT NULL, [TXT] MEMO, CONSTRAINT PrimaryKey "
            "PRIMARY KEY ([ID]))");
        db_.BeginTrans();
        Recordset good = db_.OpenRecordset("Good");
        Recordset broken = db_.OpenRecordset("Broken");
        for (int i = 1; i <= 2000; ++i) {
            if (i <= 100) {
                good.AddNew();
                good.FieldAt(0).SetValue(i);
                good.Update();
            }
            broken.AddNew();
            broken.FieldAt(0).SetValue(i);
            broken.FieldAt(1).SetValue(QString(200, QChar(u'a' + i % 26)));
            broken.Update();
        }
        db_.CommitTrans();
        db_.Close();
    }
    QStringList backups() {
        return QDir(scratch_.path()).entryList({"Test.mdb.damaged-*"}, QDir::Files);
    }
    // Overwrites one page of the file (pages count from 1).
    void spoilPage(int page) {
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(static_cast<qint64>(page - 1) * 4096);
        file.write(QByteArray(4096, '\x5a'));
    }
    int count(const QString& table) {
        return rawRows(path_, "SELECT count(*) FROM \"" + table + "\"")[0][0].toInt();
    }
};

TEST_F(RepairTest, ASoundFileComesBackTheSameWithABackupBeside) {
    Engine::instance().RepairDatabase(path_);
    EXPECT_EQ(backups().size(), 1);
    EXPECT_EQ(count("Good"), 100);
    EXPECT_EQ(count("Broken"), 2000);
    Database db = Engine::instance().OpenDatabase(path_);
    Recordset rs = db.OpenRecordset("Broken");
    rs.SetIndex("PrimaryKey");
    rs.Seek("=", 1999);
    EXPECT_FALSE(rs.NoMatch());
}

TEST_F(RepairTest, ADamagedTableKeepsWhatCanBeReadAndOthersStayWhole) {
    // A leaf page from the middle of the damaged table's rows.
    const auto pages = rawRows(path_,
                               "SELECT pageno FROM dbstat WHERE name = 'Broken' AND "
                               "pagetype = 'leaf' ORDER BY path");
    ASSERT_GT(pages.size(), 50u);
    spoilPage(pages[pages.size() / 2][0].toInt());

    Database db = Engine::instance().OpenDatabase(path_);
    Recordset rs = db.OpenRecordset("Broken");
    rs.SetIndex("PrimaryKey");
    const int error = dbErrorOf([&] {
        for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) rs[1];
    });
    EXPECT_EQ(error, err::kDamaged);
    rs.Close();
    db.Close();

    Engine::instance().RepairDatabase(path_);
    EXPECT_EQ(backups().size(), 1);
    EXPECT_EQ(rawRows(path_, "PRAGMA integrity_check")[0][0], "ok");
    EXPECT_EQ(count("Good"), 100);
    const int kept = count("Broken");
    EXPECT_LT(kept, 2000);
    EXPECT_GT(kept, 1800) << "rows after the damaged page were lost too";
    // The repaired file is a database of this engine again, keys and all.
    db = Engine::instance().OpenDatabase(path_);
    EXPECT_EQ(db.TableDefNamed("Broken").Indexes().size(), 1u);
    rs = db.OpenRecordset("Broken");
    rs.SetIndex("PrimaryKey");
    rs.Seek("=", 2000);
    EXPECT_FALSE(rs.NoMatch());
}

TEST_F(RepairTest, NothingReadableIsRefusedAndTheFileLeftAlone) {
    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(8192, '\x5a'));
    file.close();
    EXPECT_EQ(dbErrorOf([&] { Engine::instance().RepairDatabase(path_); }), err::kRepairFailed);
    QFile again(path_);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), QByteArray(8192, '\x5a'));
    EXPECT_EQ(dbErrorOf([&] { Engine::instance().RepairDatabase(scratch_.file("None.mdb")); }),
              err::kFileNotFound);
}

TEST_F(RepairTest, ASpoiltCatalogueWithoutReadableTablesFails) {
    spoilPage(1);  // the header and the catalogue
    EXPECT_EQ(dbErrorOf([&] { Engine::instance().OpenDatabase(path_); }), err::kNotDatabase);
    EXPECT_EQ(dbErrorOf([&] { Engine::instance().RepairDatabase(path_); }), err::kRepairFailed);
}

}  // namespace
