// Repairing files: a sound file is left exactly as it was; a damaged one is rebuilt in
// place, says per table what it saved and could not read, keeps the damaged file beside
// it and leaves a sound database whose auto-numbers go on; a file in use or with nothing
// readable is left alone. A repair among writing processes is in test_sharing.cpp.
#include "engine_fixture.h"

#include <QDir>
#include <QFileInfo>

using namespace tv::engine;
using tvtest::dbErrorOf;

namespace {

class RepairTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute("CREATE TABLE [Good] ([ID] LONG, CONSTRAINT PrimaryKey PRIMARY KEY ([ID]))");
        db_.Execute(
            "CREATE TABLE [Broken] ([ID] COUNTER, [TXT] MEMO, CONSTRAINT PrimaryKey PRIMARY KEY "
            "([ID]))");
        db_.BeginTrans();
        for (int i = 1; i <= 2000; ++i) {
            if (i <= 100) db_.Execute(QStringLiteral("INSERT INTO Good VALUES (%1)").arg(i));
            db_.Execute(QStringLiteral("INSERT INTO Broken (TXT) VALUES (%1)")
                            .arg(quoteLiteral(QString(200, QChar(u'a' + i % 26)))));
        }
        db_.CommitTrans();
        db_.Close();
    }
    static QByteArray bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList backups() {
        return QDir(scratch_.path()).entryList({"Test.mdb.damaged-*"}, QDir::Files);
    }
    static QString describe(const RepairReport& report) {
        QStringList tables;
        for (const RepairedTable& t : report.tables)
            tables << QStringLiteral("%1 %2/%3%4")
                          .arg(t.name)
                          .arg(t.saved)
                          .arg(t.unreadable)
                          .arg(t.incomplete ? "?" : "");
        return tables.join(", ");
    }
};

TEST_F(RepairTest, ASoundFileIsLeftExactlyAsItWas) {
    TV_FILES_ONLY();
    const QByteArray before = bytes(path_);
    const RepairReport report = Engine::instance().RepairDatabase(path_);
    EXPECT_FALSE(report.damaged);
    EXPECT_EQ(describe(report), "Broken 2000/0, Good 100/0");
    EXPECT_TRUE(bytes(path_) == before);
    EXPECT_TRUE(backups().isEmpty());
    EXPECT_TRUE(Engine::instance().CheckIntegrity(path_).isEmpty());
}

TEST_F(RepairTest, ADamagedPageIsReportedAndEverythingElseSaved) {
    TV_FILES_ONLY();
    // A lost table page is counted against the key index that survives it; a lost index
    // page costs no row, the index is rebuilt from the rows.
    const QString tableCopy = scratch_.file("Copy.mdb");
    ASSERT_TRUE(QFile::copy(path_, tableCopy));
    for (const QString btree : {"Broken", "sqlite_autoindex_Broken_1"}) {
        SCOPED_TRACE(btree.toStdString());
        if (!QFile::exists(path_)) {
            ASSERT_TRUE(QFile::copy(tableCopy, path_));
        }
        const int cells = tvtest::spoilMiddleLeaf(path_, btree);
        const int lost = btree == "Broken" ? cells : 0;
        EXPECT_FALSE(Engine::instance().CheckIntegrity(path_).isEmpty());
        const QByteArray damaged = bytes(path_);

        const RepairReport report = Engine::instance().RepairDatabase(path_);
        EXPECT_TRUE(report.damaged);
        EXPECT_EQ(describe(report),
                  QStringLiteral("Broken %1/%2, Good 100/0").arg(2000 - lost).arg(lost));
        EXPECT_EQ(report.lossSummary(),
                  lost ? QStringLiteral("Broken: %1 rows saved, %2 could not be read")
                             .arg(2000 - lost)
                             .arg(lost)
                       : QString());
        ASSERT_EQ(backups(), QStringList{QFileInfo(report.damagedCopy).fileName()});
        EXPECT_TRUE(bytes(report.damagedCopy) == damaged);
        EXPECT_TRUE(Engine::instance().CheckIntegrity(path_).isEmpty());
        QFile::remove(report.damagedCopy);

        // A database of this engine again: keys, and numbers that go on after the highest.
        Database db = Engine::instance().OpenDatabase(path_);
        Recordset rs = db.OpenRecordset("Broken");
        rs.SetIndex("PrimaryKey");
        rs.Seek("=", 1999);
        EXPECT_FALSE(rs.NoMatch());
        rs.AddNew();
        EXPECT_EQ(rs[0].asLong(), 2001);
        db.Close();
        QFile::remove(path_);
    }
}

TEST_F(RepairTest, AFileInUseOrWithNothingReadableIsLeftAlone) {
    TV_FILES_ONLY();
    const int timeout = Engine::instance().BusyTimeout();
    Engine::instance().SetBusyTimeout(100);
    Database other = Engine::instance().OpenDatabase(path_);
    Recordset pending = other.OpenRecordset("Good");
    pending.AddNew();  // holds the write lock
    const QByteArray before = bytes(path_);
    EXPECT_EQ(dbErrorOf([&] { Engine::instance().RepairDatabase(path_); }), err::kFileInUse);
    EXPECT_TRUE(bytes(path_) == before);
    other.Close();
    Engine::instance().SetBusyTimeout(timeout);

    QFile file(path_);  // the catalogue after SQLite's header
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.seek(100));
    file.write(QByteArray(4000, '\x5a'));
    file.close();
    const QByteArray spoilt = bytes(path_);
    EXPECT_EQ(dbErrorOf([&] { Engine::instance().RepairDatabase(path_); }), err::kRepairFailed);
    EXPECT_TRUE(bytes(path_) == spoilt);
    EXPECT_TRUE(backups().isEmpty());
    EXPECT_EQ(dbErrorOf([&] { Engine::instance().RepairDatabase(scratch_.file("None.mdb")); }),
              err::kFileNotFound);
}

}  // namespace
