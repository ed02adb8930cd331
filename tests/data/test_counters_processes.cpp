// NextCounter from several processes at once, as workstations sharing one Data.mdb: no
// number is handed out twice and none is lost, also while they race to create the row.
//
// The other processes are this test program run again with one disabled test selected
// (CounterHelper), told what to do through the environment.
#include "common/data/shipped_fixture.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/counters.h"
#include "engine/engine.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <algorithm>
#include <memory>

namespace tvtest {
namespace {

using namespace tv::data;

// Takes TV_COUNTER_COUNT numbers from the Quotations counter of TV_COUNTER_FOLDER, written one
// a line to TV_COUNTER_OUT.
TEST(CounterHelper, DISABLED_Run) {
    const QString folder = qEnvironmentVariable("TV_COUNTER_FOLDER");
    state().reset();
    state().DataLocation = folder;
    // The catalogue, so that a failure reaches stderr with its full text.
    ASSERT_TRUE(openDefinitions(folder));
    // Opening reads the file, which the other helpers may be writing right now.
    tv::engine::Engine& engine = tv::engine::Engine::instance();
    const int usualWait = engine.BusyTimeout();
    engine.SetBusyTimeout(60000);
    ASSERT_TRUE(OpenDataDatabase());
    engine.SetBusyTimeout(usualWait);
    QFile out(qEnvironmentVariable("TV_COUNTER_OUT"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    for (int i = 0; i < qEnvironmentVariableIntValue("TV_COUNTER_COUNT"); ++i)
        out.write(QByteArray::number(NextCounter("Quotations")) + '\n');
    state().reset();
}

struct Crowd {
    const char* name;
    bool rowPresent;  // false: the processes race to create the Counters row
    int each;
};

class CounterCrowd : public ShippedDatabasesTest, public ::testing::WithParamInterface<Crowd> {};

TEST_P(CounterCrowd, FourProcessesTakeDistinctNumbersAndNoneIsLost) {
    constexpr int kProcesses = 4;
    const int total = kProcesses * GetParam().each;
    if (!GetParam().rowPresent) execData({"DELETE * FROM Counters WHERE TABLENAME = 'Quotations'"});
    // The test's own connection must not stand in the helpers' way.
    state().reset();

    ScratchFolder outputs;
    std::vector<std::unique_ptr<QProcess>> helpers;
    for (int i = 0; i < kProcesses; ++i) {
        auto& helper = helpers.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TV_COUNTER_FOLDER", data.path());
        env.insert("TV_COUNTER_COUNT", QString::number(GetParam().each));
        env.insert("TV_COUNTER_OUT", outputs.file(QString::number(i)));
        helper->setProcessEnvironment(env);
        helper->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        helper->start(
            QCoreApplication::applicationFilePath(),
            {"--gtest_filter=CounterHelper.DISABLED_Run", "--gtest_also_run_disabled_tests"});
    }
    for (auto& helper : helpers) {
        EXPECT_TRUE(helper->waitForFinished(300000));
        EXPECT_EQ(helper->exitCode(), 0);
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
    EXPECT_EQ(taken, total);
    EXPECT_EQ(seen.size(), total) << "a number was handed out twice";
    EXPECT_FALSE(seen.contains(0)) << "a process failed to take a number";
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(*std::max_element(seen.begin(), seen.end()), total);

    state().DataLocation = data.path();
    ASSERT_TRUE(OpenDataDatabase());
    EXPECT_EQ(dataValue(QStringLiteral("SELECT LASTNUMBER FROM Counters WHERE TABLENAME = "
                                       "'Quotations'")),
              QString::number(total));
}

INSTANTIATE_TEST_SUITE_P(Crowds, CounterCrowd,
                         ::testing::Values(Crowd{"AThousandFromOneCounter", true, 250},
                                           Crowd{"FirstNumbersOfANewCounter", false, 25}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tvtest
