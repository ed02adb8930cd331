// Several processes on one file, as several workstations share a database: a row held by
// one process's Edit makes another's Edit wait and then fail with 3260; counters edited
// from several processes at once lose no increment; a writer killed in the middle of a
// transaction leaves a sound file holding every committed row and nothing else.
//
// The other processes are this test program run again with one disabled test selected
// (EngineHelper), told what to do through the environment. They report on stdout.
#include "engine_fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <cstdio>

using namespace tv::engine;
using tvtest::dbErrorOf;
using tvtest::rawRows;

namespace {

void say(const QString& line) {
    std::printf("helper: %s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// The Counters step of handing out a number: Seek the row, Edit it (waiting while another
// process holds it), add one, Update. Returns the number handed out.
int nextNumber(Database& db, const QString& table, bool retry) {
    Recordset rs = db.OpenRecordset("Counters");
    rs.SetIndex("PrimaryKey");
    rs.Seek("=", table);
    for (;;) {
        try {
            rs.Edit();
            break;
        } catch (const DbError& error) {
            if (!retry || error.number() != err::kLocked) throw;
        }
    }
    const int next = rs[1].asLong() + 1;
    rs.FieldAt(1).SetValue(next);
    rs.Update();
    return next;
}

TEST(EngineHelper, DISABLED_Run) {
    const QString mode = qEnvironmentVariable("TV_ENGINE_HELPER");
    const QString path = qEnvironmentVariable("TV_ENGINE_DB");
    Engine::instance().SetBusyTimeout(qEnvironmentVariableIntValue("TV_ENGINE_TIMEOUT"));
    try {
        Database db = Engine::instance().OpenDatabase(path);
        if (mode == QLatin1String("edit")) {
            say(QStringLiteral("next %1").arg(nextNumber(db, "Quotes", false)));
        } else if (mode == QLatin1String("count")) {
            const int times = qEnvironmentVariableIntValue("TV_ENGINE_COUNT");
            for (int i = 0; i < times; ++i) nextNumber(db, "Quotes", true);
            say("done");
        } else if (mode == QLatin1String("writer")) {
            Recordset rs = db.OpenRecordset("Log");
            int id = 0;
            const QString filler(400, u'x');
            for (int batch = 0; batch < 5; ++batch) {
                db.BeginTrans();
                for (int i = 0; i < 50; ++i) {
                    rs.AddNew();
                    rs.FieldAt(0).SetValue(++id);
                    rs.FieldAt(1).SetValue(filler);
                    rs.Update();
                }
                db.CommitTrans();
            }
            say(QStringLiteral("committed %1").arg(id));
            // Enough uncommitted rows that SQLite writes some into the file itself.
            db.BeginTrans();
            for (int i = 0; i < 8000; ++i) {
                rs.AddNew();
                rs.FieldAt(0).SetValue(++id);
                rs.FieldAt(1).SetValue(filler);
                rs.Update();
            }
            say("in transaction");
            for (;;) QThread::sleep(1);
        }
    } catch (const DbError& error) {
        say(QStringLiteral("error %1").arg(error.number()));
        std::fprintf(stderr, "%s\n", error.what());
    }
}

class SharingTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [Counters] ([TABLENAME] TEXT(50) NOT NULL, [LASTNO] LONG, "
            "CONSTRAINT PrimaryKey PRIMARY KEY ([TABLENAME]))");
        db_.Execute("INSERT INTO Counters VALUES ('Quotes', 10)");
        db_.Execute(
            "CREATE TABLE [Log] ([ID] LONG NOT NULL, [TXT] MEMO, CONSTRAINT PrimaryKey PRIMARY "
            "KEY ([ID]))");
    }
    std::unique_ptr<QProcess> start(const QString& mode, int timeoutMs, int count = 0) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TV_ENGINE_HELPER", mode);
        env.insert("TV_ENGINE_DB", path_);
        env.insert("TV_ENGINE_TIMEOUT", QString::number(timeoutMs));
        env.insert("TV_ENGINE_COUNT", QString::number(count));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(
            QCoreApplication::applicationFilePath(),
            {"--gtest_filter=EngineHelper.DISABLED_Run", "--gtest_also_run_disabled_tests"});
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }
    // The helper's next report (waits up to `ms`); empty when none came.
    static QString report(QProcess& process, int ms = 30000) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            while (process.canReadLine()) {
                const QString line = QString::fromUtf8(process.readLine()).trimmed();
                if (line.startsWith("helper: ")) return line.mid(8);
            }
            if (!process.waitForReadyRead(100) && process.state() == QProcess::NotRunning &&
                !process.canReadLine())
                break;
        }
        return QString();
    }
    static QString finish(QProcess& process) {
        const QString line = report(process);
        process.waitForFinished(30000);
        return line;
    }
    int counter() { return rawRows(path_, "SELECT LASTNO FROM Counters")[0][0].toInt(); }
};

TEST_F(SharingTest, ARowBeingEditedMakesAnotherProcessWaitThenFail) {
    Recordset rs = db_.OpenRecordset("Counters");
    rs.SetIndex("PrimaryKey");
    rs.Seek("=", "Quotes");
    rs.Edit();
    auto blocked = start("edit", 300);
    EXPECT_EQ(finish(*blocked), QStringLiteral("error %1").arg(err::kLocked));

    // Once Update releases the row, the other process reads the new value under its lock.
    rs.FieldAt(1).SetValue(11);
    rs.Update();
    auto next = start("edit", 300);
    EXPECT_EQ(finish(*next), "next 12");
    EXPECT_EQ(counter(), 12);
}

TEST_F(SharingTest, AWaitingEditSucceedsWhenTheHolderUpdatesInTime) {
    Recordset rs = db_.OpenRecordset("Counters");
    rs.SetIndex("PrimaryKey");
    rs.Seek("=", "Quotes");
    rs.Edit();
    auto waiting = start("edit", 10000);
    QThread::msleep(400);
    EXPECT_EQ(waiting->state(), QProcess::Running) << "the other process should be waiting";
    rs.FieldAt(1).SetValue(20);
    rs.Update();
    EXPECT_EQ(finish(*waiting), "next 21");
}

TEST_F(SharingTest, CountersEditedFromSeveralProcessesLoseNoIncrement) {
    constexpr int kProcesses = 3;
    constexpr int kEach = 15;
    std::vector<std::unique_ptr<QProcess>> helpers;
    for (int i = 0; i < kProcesses; ++i) helpers.push_back(start("count", 5000, kEach));
    for (auto& helper : helpers) EXPECT_EQ(finish(*helper), "done");
    EXPECT_EQ(counter(), 10 + kProcesses * kEach);
    EXPECT_EQ(rawRows(path_, "PRAGMA integrity_check")[0][0], "ok");
}

TEST_F(SharingTest, AWriterKilledInATransactionLeavesEveryCommittedRow) {
    db_.Close();
    auto writer = start("writer", 5000);
    EXPECT_EQ(report(*writer), "committed 250");
    EXPECT_EQ(report(*writer), "in transaction");
    ASSERT_TRUE(QFile::exists(path_ + "-journal")) << "killed outside a transaction";
    writer->kill();  // SIGKILL: no chance to roll back or clean up
    writer->waitForFinished();

    // The next opener rolls the journal back.
    db_ = Engine::instance().OpenDatabase(path_);
    Recordset rs = db_.OpenRecordset("Log");
    EXPECT_EQ(rs.RecordCount(), 250);
    rs.SetIndex("PrimaryKey");
    rs.MoveLast();
    EXPECT_EQ(rs[0].asLong(), 250);
    EXPECT_EQ(rawRows(path_, "PRAGMA integrity_check")[0][0], "ok");
}

}  // namespace
