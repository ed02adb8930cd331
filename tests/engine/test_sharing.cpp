// Several processes on one file, as several workstations share a database: a row held by
// one process's Edit makes another's Edit wait and then fail with 3260 or go on; four
// processes taking counter numbers and adding auto-numbered rows while the file is
// repaired lose no committed row and get no number twice; a writer killed in the middle
// of a transaction leaves a sound file holding every committed row and nothing else
// (once opened writable: a read-only open says so).
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

// Runs `step` again while another process holds the file, up to 100 times.
void retrying(const std::function<void()>& step) {
    for (int attempt = 1;; ++attempt) {
        try {
            return step();
        } catch (const DbError& error) {
            if (error.number() != err::kLocked || attempt == 100) throw;
        }
    }
}

// The Counters step of handing out a number: Seek the row, Edit it (waiting while another
// process holds it), add one, Update. Returns the number handed out.
int nextNumber(Database& db) {
    Recordset rs = db.OpenRecordset("Counters");
    rs.SetIndex("PrimaryKey");
    rs.Seek("=", "Quotes");
    rs.Edit();
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
        Database db;
        retrying([&] { db = Engine::instance().OpenDatabase(path); });
        if (mode == QLatin1String("edit")) {
            say(QStringLiteral("next %1").arg(nextNumber(db)));
        } else if (mode == QLatin1String("append")) {
            // Rows carrying a counter number, added with an auto-number, until the stop
            // file appears (at most 5000).
            const QString me = qEnvironmentVariable("TV_ENGINE_NAME");
            Recordset rs = db.OpenRecordset("Appends");
            int committed = 0;
            for (; committed < 5000 && !QFile::exists(path + ".stop"); ++committed) {
                int number = 0;
                retrying([&] { number = nextNumber(db); });
                retrying([&] {
                    rs.AddNew();
                    rs.FieldAt(1).SetValue(me);
                    rs.FieldAt(2).SetValue(number);
                    rs.Update();
                });
                if (committed == 0) say("started");
                QThread::msleep(5);  // a user's pace, not a flood
            }
            say(QStringLiteral("committed %1").arg(committed));
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
        db_.Execute(
            "CREATE TABLE [Appends] ([ID] COUNTER, [WHO] TEXT(10), [N] LONG, CONSTRAINT "
            "PrimaryKey PRIMARY KEY ([ID]))");
    }
    std::unique_ptr<QProcess> start(const QString& mode, int timeoutMs, const QString& name = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TV_ENGINE_HELPER", mode);
        env.insert("TV_ENGINE_DB", path_);
        env.insert("TV_ENGINE_TIMEOUT", QString::number(timeoutMs));
        env.insert("TV_ENGINE_NAME", name);
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

TEST_F(SharingTest, ARowBeingEditedMakesAnotherProcessWaitThenFailOrGoOn) {
    Recordset rs = db_.OpenRecordset("Counters");
    rs.SetIndex("PrimaryKey");
    rs.Seek("=", "Quotes");
    rs.Edit();
    auto blocked = start("edit", 300);
    EXPECT_EQ(finish(*blocked), QStringLiteral("error %1").arg(err::kLocked));

    // One that waits long enough reads the new value under its lock once Update releases it.
    auto waiting = start("edit", 10000);
    QThread::msleep(400);
    rs.FieldAt(1).SetValue(20);
    rs.Update();
    EXPECT_EQ(finish(*waiting), "next 21");
    EXPECT_EQ(counter(), 21);
}

TEST_F(SharingTest, FourProcessesNumberingRowsThroughARepairLoseNothing) {
    // A damaged table the writers do not use: the repair rebuilds the file and writes it
    // back while they wait.
    db_.Execute("CREATE TABLE [Old] ([ID] LONG NOT NULL, [TXT] MEMO)");
    db_.BeginTrans();
    for (int id = 1; id <= 400; ++id)
        db_.Execute(QStringLiteral("INSERT INTO Old VALUES (%1, '%2')").arg(id).arg(QString(300, u'x')));
    db_.CommitTrans();
    db_.Close();
    const auto leaves =
        rawRows(path_, "SELECT pageno FROM dbstat WHERE name = 'Old' AND pagetype = 'leaf'");
    ASSERT_GT(leaves.size(), 3u);
    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek((leaves[leaves.size() / 2][0].toLongLong() - 1) * 4096);
    file.write(QByteArray(4096, '\x5a'));
    file.close();

    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < 4; ++i) writers.push_back(start("append", 5000, QStringLiteral("w%1").arg(i)));
    for (auto& writer : writers) ASSERT_EQ(report(*writer), "started");
    EXPECT_TRUE(Engine::instance().RepairDatabase(path_).damaged);
    QFile stop(path_ + ".stop");
    ASSERT_TRUE(stop.open(QIODevice::WriteOnly));

    // Every row a writer saw committed is there, and no other; counter numbers and
    // auto-numbers were each handed out once.
    int total = 0;
    for (int i = 0; i < 4; ++i) {
        const QString last = finish(*writers[static_cast<size_t>(i)]);
        ASSERT_TRUE(last.startsWith("committed ")) << last.toStdString();
        total += last.mid(10).toInt();
        EXPECT_EQ(rawRows(path_, QStringLiteral("SELECT count(*) FROM Appends WHERE WHO = 'w%1'").arg(i))[0][0],
                  last.mid(10));
    }
    EXPECT_EQ(rawRows(path_, "SELECT count(DISTINCT ID), count(DISTINCT N), max(N) FROM Appends")[0],
              QStringList({QString::number(total), QString::number(total), QString::number(10 + total)}));
    EXPECT_EQ(counter(), 10 + total);
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

    // Rolling the journal back takes write access: a read-only open says so.
    QString text;
    EXPECT_EQ(dbErrorOf([&] { Engine::instance().OpenDatabase(path_, true); }, &text),
              err::kCannotOpenFile);
    EXPECT_TRUE(text.contains("interrupted") && text.contains("write access"))
        << text.toStdString();
    // The next writable opener rolls it back.
    db_ = Engine::instance().OpenDatabase(path_);
    Recordset rs = db_.OpenRecordset("Log");
    EXPECT_EQ(rs.RecordCount(), 250);
    rs.SetIndex("PrimaryKey");
    rs.MoveLast();
    EXPECT_EQ(rs[0].asLong(), 250);
    EXPECT_EQ(rawRows(path_, "PRAGMA integrity_check")[0][0], "ok");
    EXPECT_EQ(dbErrorOf([&] { Engine::instance().OpenDatabase(path_, true); }), 0);
}

}  // namespace
