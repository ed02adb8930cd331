// Sharing a file, as workstations do: nested transactions and the write lock an edit holds
// against another connection (3260 past the busy timeout); four processes adding
// auto-numbered rows while the file is repaired lose no committed row and get no number
// twice; a writer killed mid-transaction leaves every committed row and nothing else (once
// opened writable: a read-only open says so). Shared counters are in tests/data.
//
// The other processes are this test program run again with one disabled test selected
// (EngineHelper), told what to do through the environment. They report on stdout.
#include "common/engine/queries.h"
#include "engine_fixture.h"

#include <QCoreApplication>
#include <QDateTime>
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

TEST(EngineHelper, DISABLED_Run) {
    const QString mode = qEnvironmentVariable("TV_ENGINE_HELPER");
    const QString path = qEnvironmentVariable("TV_ENGINE_DB");
    Engine::instance().SetBusyTimeout(5000);
    try {
        Database db;
        retrying([&] { db = Engine::instance().OpenDatabase(path); });
        if (mode == QLatin1String("append")) {
            // Auto-numbered rows, N counting them, until the stop file appears (5000 at most).
            const QString me = qEnvironmentVariable("TV_ENGINE_NAME");
            Recordset rs = db.OpenRecordset("Appends");
            int committed = 0;
            for (; committed < 5000 && !QFile::exists(path + ".stop"); ++committed) {
                retrying([&] {
                    rs.AddNew();
                    rs.FieldAt(1).SetValue(me);
                    rs.FieldAt(2).SetValue(committed + 1);
                    rs.Update();
                });
                if (committed == 0) say("started");
                QThread::msleep(5);  // a user's pace, not a flood
            }
            say(QStringLiteral("committed %1").arg(committed));
        } else if (mode == QLatin1String("workstation")) {
            // A workstation on a server: counter numbers taken on the shared counter row and
            // stored in rows it adds, and long edits of its own row, reported with their times.
            const QString me = qEnvironmentVariable("TV_ENGINE_NAME");
            Recordset counter = db.OpenRecordset("Numbers");
            counter.SetIndex("PrimaryKey");
            Recordset added = db.OpenRecordset("Appends");
            Recordset own = db.OpenRecordset("Owned");
            own.SetIndex("PrimaryKey");
            int committed = 0;
            for (; committed < 40; ++committed) {
                retrying([&] {
                    counter.Seek("=", tv::Variant(QStringLiteral("quotes")));
                    counter.Edit();
                    const int number = counter["LAST"].asLong() + 1;
                    counter.FieldAt(1).SetValue(number);
                    counter.Update();
                    added.AddNew();
                    added.FieldAt(1).SetValue(me);
                    added.FieldAt(2).SetValue(number);
                    added.Update();
                });
                if (committed % 10 == 0) {
                    own.Seek("=", tv::Variant(me));
                    own.Edit();
                    const qint64 start = QDateTime::currentMSecsSinceEpoch();
                    QThread::msleep(300);  // the user types
                    own.FieldAt(1).SetValue(committed);
                    own.Update();
                    say(QStringLiteral("edit %1 %2").arg(start).arg(QDateTime::currentMSecsSinceEpoch()));
                }
            }
            say(QStringLiteral("committed %1").arg(committed));
        } else if (mode == QLatin1String("writer")) {
            const QString row = QStringLiteral("INSERT INTO Log VALUES (%1, ") +
                                quoteLiteral(QString(400, u'x')) + ")";
            db.BeginTrans();
            for (int id = 1; id <= 250; ++id) db.Execute(row.arg(id));
            db.CommitTrans();
            say("committed");
            // Enough uncommitted rows that SQLite writes some into the file itself.
            db.BeginTrans();
            for (int id = 251; id <= 8250; ++id) db.Execute(row.arg(id));
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
            "CREATE TABLE [Log] ([ID] LONG NOT NULL, [TXT] MEMO, CONSTRAINT PrimaryKey PRIMARY "
            "KEY ([ID]))");
        db_.Execute(
            "CREATE TABLE [Appends] ([ID] COUNTER, [WHO] TEXT(10), [N] LONG, CONSTRAINT "
            "PrimaryKey PRIMARY KEY ([ID]))");
    }
    std::unique_ptr<QProcess> start(const QString& mode, const QString& name = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TV_ENGINE_HELPER", mode);
        env.insert("TV_ENGINE_DB", path_);
        env.insert("TV_ENGINE_NAME", name);
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(
            QCoreApplication::applicationFilePath(),
            {"--gtest_filter=EngineHelper.DISABLED_Run", "--gtest_also_run_disabled_tests"});
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }
    // The helper's next report (waiting up to 30 s); empty when none came.
    static QString report(QProcess& process) {
        for (int waits = 0; waits < 300;) {
            if (process.canReadLine()) {
                const QString line = QString::fromUtf8(process.readLine()).trimmed();
                if (line.startsWith("helper: ")) return line.mid(8);
            } else if (!process.waitForReadyRead(100)) {
                if (process.state() == QProcess::NotRunning) break;
                ++waits;
            }
        }
        return QString();
    }
    // The IDs in Log that another reader of the file sees.
    QString committed() { return rawRows(path_, "SELECT group_concat(ID) FROM Log")[0][0]; }
    void add(int id) { db_.Execute(QStringLiteral("INSERT INTO Log (ID) VALUES (%1)").arg(id)); }
};

TEST_F(SharingTest, NestedTransactionsRollBackOnlyTheirOwnWork) {
    db_.BeginTrans();
    add(1);
    db_.BeginTrans();
    add(2);
    db_.Rollback();
    Recordset rs = db_.OpenRecordset("Log");
    rs.AddNew();  // an Update inside the transaction does not commit it either
    rs.FieldAt(0).SetValue(3);
    rs.Update();
    EXPECT_EQ(committed(), "NULL") << "nothing is visible before the outer commit";
    db_.CommitTrans();
    EXPECT_EQ(committed(), "1,3");
    db_.BeginTrans();
    add(4);
    db_.Rollback();
    EXPECT_EQ(db_.OpenRecordset("Log").RecordCount(), 2);
}

TEST_F(SharingTest, APendingEditHoldsTheFileAgainstAnotherConnection) {
    TV_FILES_ONLY();
    add(1);
    const int timeout = Engine::instance().BusyTimeout();
    Engine::instance().SetBusyTimeout(100);
    Database other = Engine::instance().OpenDatabase(path_);
    Recordset mine = db_.OpenRecordset("Log");
    mine.AddNew();
    Recordset theirs = other.OpenRecordset("Log");
    theirs.MoveFirst();
    EXPECT_EQ(theirs[0].asLong(), 1) << "reading goes on while the lock is held";
    EXPECT_EQ(dbErrorOf([&] { theirs.Edit(); }), err::kLocked);
    EXPECT_EQ(dbErrorOf([&] { other.Execute("DELETE * FROM Log"); }), err::kLocked);
    mine.CancelUpdate();
    theirs.Edit();
    theirs.FieldAt(1).SetValue("y");
    theirs.Update();
    // Closing a record set with an edit pending gives the lock back too.
    mine.MoveFirst();
    mine.Edit();
    mine.Close();
    EXPECT_EQ(other.Execute("DELETE * FROM Log"), 1);
    Engine::instance().SetBusyTimeout(timeout);
}

TEST_F(SharingTest, FourProcessesAddingRowsThroughARepairLoseNothing) {
    TV_FILES_ONLY();
    // A damaged table the writers do not use: the repair rebuilds the file and writes it
    // back while they wait.
    db_.BeginTrans();
    for (int id = 1; id <= 400; ++id)
        db_.Execute(QStringLiteral("INSERT INTO Log VALUES (%1, %2)")
                        .arg(id)
                        .arg(quoteLiteral(QString(300, u'x'))));
    db_.CommitTrans();
    db_.Close();
    tvtest::spoilMiddleLeaf(path_, "Log");

    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < 4; ++i) writers.push_back(start("append", QStringLiteral("w%1").arg(i)));
    for (auto& writer : writers) ASSERT_EQ(report(*writer), "started");
    // Busy writers may keep the repair from its exclusive lock for a while; it then refuses
    // (the file is in use) and is simply asked again, as a user would.
    bool repaired = false;
    for (int attempt = 0; attempt < 20 && !repaired; ++attempt) {
        try {
            EXPECT_TRUE(Engine::instance().RepairDatabase(path_).damaged);
            repaired = true;
        } catch (const tv::engine::DbError& e) {
            ASSERT_EQ(e.number(), tv::engine::err::kFileInUse) << e.text().toStdString();
        }
    }
    ASSERT_TRUE(repaired) << "the writers never let the repair in";
    QFile stop(path_ + ".stop");
    ASSERT_TRUE(stop.open(QIODevice::WriteOnly));

    // Every row a writer saw committed is there (rows 1 to its count), and no other; no
    // auto-number was handed out twice.
    QStringList lasts;
    for (auto& writer : writers) lasts << report(*writer);
    for (auto& writer : writers) writer->waitForFinished();
    int total = 0;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(lasts[i].startsWith("committed ")) << lasts[i].toStdString();
        const QString rows = lasts[i].mid(10);
        total += rows.toInt();
        EXPECT_EQ(rawRows(path_, "SELECT count(*), max(N) FROM Appends WHERE WHO = " +
                                     quoteLiteral(QStringLiteral("w%1").arg(i)))[0],
                  QStringList({rows, rows}));
    }
    EXPECT_EQ(rawRows(path_, "SELECT count(DISTINCT ID) FROM Appends")[0][0],
              QString::number(total));
    EXPECT_EQ(rawRows(path_, "PRAGMA integrity_check")[0][0], "ok");
}

TEST_F(SharingTest, AWriterKilledInATransactionLeavesEveryCommittedRow) {
    TV_FILES_ONLY();
    db_.Close();
    auto writer = start("writer");
    EXPECT_EQ(report(*writer), "committed");
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
    EXPECT_EQ(rawRows(path_, "SELECT count(*), max(ID) FROM Log")[0], QStringList({"250", "250"}));
    EXPECT_EQ(rawRows(path_, "PRAGMA integrity_check")[0][0], "ok");
    EXPECT_EQ(dbErrorOf([&] { Engine::instance().OpenDatabase(path_, true); }), 0);
}

}  // namespace

// Workstations on a server: counter numbers never repeat, no added row is lost, and edits of
// different rows of one table overlap in time (a file makes them take turns instead).
TEST_F(SharingTest, WorkstationsOnAServerEditDifferentRowsAtOnce) {
    if (tvtest::testServer().isEmpty()) GTEST_SKIP() << "a file's writers take turns";
    db_.Execute("CREATE TABLE [Numbers] ([TABLENAME] TEXT(20) NOT NULL, [LAST] LONG, "
                "CONSTRAINT PrimaryKey PRIMARY KEY ([TABLENAME]))");
    db_.Execute("INSERT INTO Numbers VALUES ('Quotes', 1000)");
    db_.Execute("CREATE TABLE [Owned] ([WHO] TEXT(10) NOT NULL, [N] LONG, "
                "CONSTRAINT PrimaryKey PRIMARY KEY ([WHO]))");
    constexpr int kStations = 4;
    std::vector<std::unique_ptr<QProcess>> stations;
    for (int i = 0; i < kStations; ++i) {
        db_.Execute(QStringLiteral("INSERT INTO Owned (WHO) VALUES ('w%1')").arg(i));
        stations.push_back(start("workstation", QStringLiteral("w%1").arg(i)));
    }
    long committed = 0;
    std::vector<std::pair<qint64, qint64>> edits;  // per station, its edits' spans
    std::vector<int> owner;
    for (int i = 0; i < kStations; ++i) {
        for (QString line = report(*stations[i]); !line.isEmpty(); line = report(*stations[i])) {
            const QStringList parts = line.split(u' ');
            if (parts[0] == "edit") {
                edits.emplace_back(parts[1].toLongLong(), parts[2].toLongLong());
                owner.push_back(i);
            } else {
                ASSERT_EQ(parts[0], "committed") << line.toStdString();
                committed += parts[1].toLong();
                break;
            }
        }
        stations[i]->waitForFinished();
    }
    EXPECT_EQ(committed, 40 * kStations);
    EXPECT_EQ(tvtest::queryRows(db_, "SELECT Count(*), Count(N), Min(N), Max(N) FROM Appends"),
              (std::vector<QStringList>{{QString::number(committed), QString::number(committed),
                                         "1001", QString::number(1000 + committed)}}));
    EXPECT_TRUE(tvtest::queryRows(db_, "SELECT N FROM Appends GROUP BY N HAVING Count(*) > 1").empty());
    EXPECT_EQ(tvtest::queryRows(db_, "SELECT LAST FROM Numbers"),
              (std::vector<QStringList>{{QString::number(1000 + committed)}}));
    bool overlapped = false;
    for (size_t a = 0; a < edits.size(); ++a)
        for (size_t b = 0; b < edits.size(); ++b)
            if (owner[a] != owner[b] && edits[a].first < edits[b].second &&
                edits[b].first < edits[a].second)
                overlapped = true;
    EXPECT_TRUE(overlapped) << "edits of different rows waited for each other";
}
