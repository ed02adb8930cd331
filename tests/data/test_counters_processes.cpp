// NextCounter from several processes at once, as workstations sharing one Data.mdb: no
// number is handed out twice, none is lost, and a process finding the counter row held
// waits for it with window events still running.
//
// The other processes are this test program run again with one disabled test selected
// (CounterHelper), told what to do through the environment.
#include "common/data/shipped_fixture.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/counters.h"
#include "engine/engine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace tvtest {
namespace {

using namespace tv::data;

void say(const QString& line) {
    std::printf("helper: %s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// "take": TV_COUNTER_COUNT numbers from the Quotations counter, written one a line to
// TV_COUNTER_OUT. "hold": holds the counter row for TV_COUNTER_HOLD_MS, then adds 5 to it.
TEST(CounterHelper, DISABLED_Run) {
    const QString mode = qEnvironmentVariable("TV_COUNTER_MODE");
    const QString folder = qEnvironmentVariable("TV_COUNTER_FOLDER");
    state().reset();
    state().DataLocation = folder;
    // The catalogue, so that a failure reaches stderr with its full text.
    ASSERT_TRUE(openDefinitions(folder));
    if (mode == QLatin1String("take")) {
        // Opening reads the file, which the other helpers may be writing right now.
        tv::engine::Engine& engine = tv::engine::Engine::instance();
        const int usualWait = engine.BusyTimeout();
        engine.SetBusyTimeout(60000);
        ASSERT_TRUE(OpenDataDatabase());
        engine.SetBusyTimeout(usualWait);
        QFile out(qEnvironmentVariable("TV_COUNTER_OUT"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        const int count = qEnvironmentVariableIntValue("TV_COUNTER_COUNT");
        for (int i = 0; i < count; ++i)
            out.write(QByteArray::number(NextCounter(QStringLiteral("Quotations"))) + '\n');
        out.close();
        say("done");
    } else if (mode == QLatin1String("hold")) {
        tv::engine::Database db =
            tv::engine::Engine::instance().OpenDatabase(folder + QStringLiteral("/Data.mdb"));
        tv::engine::Recordset rs = db.OpenRecordset(QStringLiteral("Counters"));
        rs.SetIndex(QStringLiteral("PrimaryKey"));
        rs.Seek(QStringLiteral("="), QStringLiteral("Quotations"));
        rs.Edit();
        say("holding");
        QThread::msleep(
            static_cast<unsigned long>(qEnvironmentVariableIntValue("TV_COUNTER_HOLD_MS")));
        rs.FieldAt(1).SetValue(rs[1].asLong() + 5);
        rs.Update();
        say("released");
    }
    state().reset();
}

class CounterProcessesTest : public ShippedDatabasesTest {
protected:
    std::unique_ptr<QProcess> start(const QString& mode, const QStringList& settings) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TV_COUNTER_MODE"), mode);
        env.insert(QStringLiteral("TV_COUNTER_FOLDER"), data.path());
        for (const QString& setting : settings)
            env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--gtest_filter=CounterHelper.DISABLED_Run"),
                        QStringLiteral("--gtest_also_run_disabled_tests")});
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }

    // The helper's next report; empty when none came within `ms`.
    static QString report(QProcess& process, int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            while (process.canReadLine()) {
                const QString line = QString::fromUtf8(process.readLine()).trimmed();
                if (line.startsWith(QLatin1String("helper: "))) return line.mid(8);
            }
            if (!process.waitForReadyRead(100) && process.state() == QProcess::NotRunning &&
                !process.canReadLine())
                break;
        }
        return QString();
    }

    static QString counter() {
        return dataValue(
            QStringLiteral("SELECT LASTNUMBER FROM Counters WHERE TABLENAME = 'Quotations'"));
    }
};

struct Crowd {
    const char* name;
    bool rowPresent;  // false: the processes race to create the Counters row
    int each;
};

class CounterCrowd : public CounterProcessesTest, public ::testing::WithParamInterface<Crowd> {};

TEST_P(CounterCrowd, FourProcessesTakeDistinctNumbersAndNoneIsLost) {
    constexpr int kProcesses = 4;
    const int kEach = GetParam().each;
    if (!GetParam().rowPresent)
        execData({QStringLiteral("DELETE * FROM Counters WHERE TABLENAME = 'Quotations'")});
    // The test's own connection must not stand in the helpers' way.
    state().reset();

    ScratchFolder outputs;
    std::vector<std::unique_ptr<QProcess>> helpers;
    for (int i = 0; i < kProcesses; ++i) {
        helpers.push_back(
            start(QStringLiteral("take"),
                  {QStringLiteral("TV_COUNTER_COUNT=%1").arg(kEach),
                   QStringLiteral("TV_COUNTER_OUT=") + outputs.file(QString::number(i))}));
    }
    for (auto& helper : helpers) {
        EXPECT_EQ(report(*helper, 300000), QStringLiteral("done"));
        helper->waitForFinished(30000);
    }

    QSet<int> seen;
    int taken = 0;
    for (int i = 0; i < kProcesses; ++i) {
        QFile file(outputs.file(QString::number(i)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.isEmpty()) continue;
            ++taken;
            seen.insert(line.toInt());
        }
    }
    EXPECT_EQ(taken, kProcesses * kEach);
    EXPECT_EQ(seen.size(), kProcesses * kEach) << "a number was handed out twice";
    EXPECT_FALSE(seen.contains(0)) << "a process failed to take a number";
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(*std::max_element(seen.begin(), seen.end()), kProcesses * kEach);

    state().DataLocation = data.path();
    ASSERT_TRUE(OpenDataDatabase());
    EXPECT_EQ(counter(), QString::number(kProcesses * kEach));
}

INSTANTIATE_TEST_SUITE_P(Crowds, CounterCrowd,
                         ::testing::Values(Crowd{"AThousandFromOneCounter", true, 250},
                                           Crowd{"FirstNumbersOfANewCounter", false, 25}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CounterProcessesTest, AHeldCounterRowIsWaitedForWithEventsRunning) {
    execData(
        {QStringLiteral("UPDATE Counters SET LASTNUMBER = 20 WHERE TABLENAME = 'Quotations'")});
    tv::engine::Engine::instance().Idle(true);
    auto holder = start(QStringLiteral("hold"), {QStringLiteral("TV_COUNTER_HOLD_MS=700")});
    ASSERT_EQ(report(*holder, 30000), QStringLiteral("holding"));

    // The holder takes 21 to 25 under its lock; this process gets the number after them.
    EXPECT_EQ(NextCounter(QStringLiteral("Quotations")), 26);
    EXPECT_GT(ask.eventRounds(), 0) << "window events did not run while waiting";
    EXPECT_EQ(report(*holder, 30000), QStringLiteral("released"));
    holder->waitForFinished(30000);
    EXPECT_EQ(counter(), QStringLiteral("26"));
}

}  // namespace
}  // namespace tvtest
