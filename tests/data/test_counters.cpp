// NextCounter: first numbers, numbers in the table already, its sources, another workstation
// in the way, an unusable Counters table, and processes taking numbers at once (this test
// program run again with the disabled CounterHelper selected): none twice, none lost.
#include "common/data/shipped_fixture.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/counters.h"
#include "data/prompter.h"
#include "engine/engine.h"

#include <sqlite3.h>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace tvtest {
namespace {

using namespace tv::data;

class CountersTest : public ShippedDatabasesTest {
protected:
    static void setCounter(std::optional<int> value) {
        execData({"DELETE * FROM Counters WHERE TABLENAME = 'Quotations'"});
        if (value)
            execData(
                {QStringLiteral("INSERT INTO Counters VALUES ('Quotations', %1)").arg(*value)});
    }
    static void addQuotes(const QList<int>& numbers) {
        for (int n : numbers)
            execData({QStringLiteral("INSERT INTO QUOTATIONS (QUOTENO) VALUES (%1)").arg(n)});
    }
    static QString counter() {
        return dataValue("SELECT LASTNUMBER FROM Counters WHERE TABLENAME = 'Quotations'");
    }
};

struct TakeCase {
    const char* name;
    std::optional<int> counter;  // nothing: no Counters row
    QList<int> present;          // numbers the table already holds
    int expected;
};

class NumberTaken : public CountersTest, public ::testing::WithParamInterface<TakeCase> {};

TEST_P(NumberTaken, IsTheFirstFreeNumberAfterTheCounterAndIsWrittenBack) {
    const TakeCase& c = GetParam();
    setCounter(c.counter);
    addQuotes(c.present);
    EXPECT_EQ(NextCounter("Quotations"), c.expected);
    EXPECT_EQ(counter(), QString::number(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberTaken,
    ::testing::Values(TakeCase{"ShippedCounterStartsAtOne", 0, {}, 1},
                      TakeCase{"NoRowStartsAtOne", std::nullopt, {}, 1},
                      TakeCase{"NoRowSkipsNumbersInUse", std::nullopt, {1, 2}, 3},
                      TakeCase{"SkipsEveryNumberInUse", 10, {11, 12}, 13},
                      TakeCase{"AGapIsTaken", 10, {12}, 11},
                      TakeCase{"NumbersBelowTheCounterDoNotMatter", 10, {3, 10}, 11}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CountersTest, NumbersFollowEachOtherAndEachTableHasItsOwn) {
    execData({"UPDATE Counters SET LASTNUMBER = Null WHERE TABLENAME = 'Quotations'"});
    EXPECT_EQ(NextCounter("Quotations"), 1) << "a Null counter counts as 0";
    EXPECT_EQ(NextCounter("Quotations"), 2);
    EXPECT_EQ(NextCounter("Sales Orders"), 1);
    EXPECT_EQ(NextCounter("Quotations"), 3);
}

TEST_F(CountersTest, SqlAndBracketedSourcesCountOnTheirTable) {
    setCounter(4);
    addQuotes({5});
    EXPECT_EQ(NextCounter("select * from [Quotations] where QUOTENO > 2"), 6);
    EXPECT_EQ(NextCounter("SELECT QUOTENO FROM Quotations ORDER BY 1"), 7);
    EXPECT_EQ(NextCounter("[Quotations]"), 8);
    EXPECT_EQ(counter(), "8");
    // No second row under the bracketed or SQL spelling: the six shipped ones only.
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM Counters"), "6");
}

// Without a Counters table the number is 0 (and OpenTable says why); so it is when the table
// cannot be searched, having no "PrimaryKey" index.
TEST_F(CountersTest, ACountersTableThatCannotBeUsedGivesZero) {
    execData({"DROP TABLE Counters", "CREATE TABLE Counters (TABLENAME TEXT(50), LASTNUMBER LONG)",
              "INSERT INTO Counters VALUES ('Quotations', 10)"});
    EXPECT_EQ(NextCounter("Quotations"), 0);
    EXPECT_EQ(counter(), "10");
    execData({"DROP TABLE Counters"});
    ask.message(msgbox::kOk, "Counters");
    EXPECT_EQ(NextCounter("Quotations"), 0);
}

TEST_F(CountersTest, AnUnknownNumberedTableStillCountsWithoutSkipping) {
    ask.message(msgbox::kOk, "No Such Table");
    EXPECT_EQ(NextCounter("No Such Table"), 1);
    EXPECT_EQ(dataValue(QStringLiteral(
                  "SELECT LASTNUMBER FROM Counters WHERE TABLENAME = 'No Such Table'")),
              "1");
}

// Another workstation in the way, which lets go the first time window events run.
class LeavingOnEvents : public ScriptedPrompter {
public:
    explicit LeavingOnEvents(std::function<void()> leave) : leave_(std::move(leave)) {}
    void processEvents() override {
        ScriptedPrompter::processEvents();
        if (leave_) std::exchange(leave_, nullptr)();
    }

private:
    std::function<void()> leave_;
};

// One workstation holds the counter row (it adds 5 under its lock); another is still reading
// the file, past the engine's wait, when the new value is committed. Either is waited out
// with window events running, and the number comes after what the holder wrote.
TEST_F(CountersTest, AHeldRowOrALingeringReaderIsWaitedOut) {
    // The short tries between window events leave the engine's own wait as it was.
    tv::engine::Engine& engine = tv::engine::Engine::instance();
    const int usualWait = engine.BusyTimeout();
    engine.SetBusyTimeout(4321);
    // A reader that holds back a commit is a file's own matter.
    for (const bool holder : testServer().isEmpty() ? std::vector{true, false} : std::vector{true}) {
        SCOPED_TRACE(holder ? "row held" : "file read");
        setCounter(10);
        tv::engine::Database other = tv::engine::Engine::instance().OpenDatabase(dataPath());
        tv::engine::Recordset row = other.OpenRecordset("Counters");
        sqlite3* reader = nullptr;
        std::function<void()> leave;
        if (holder) {
            row.SetIndex("PrimaryKey");
            row.Seek("=", tv::Variant("Quotations"));
            row.Edit();
            leave = [&] {
                row.FieldAt(1).SetValue(tv::Variant(row[1].asLong() + 5));
                row.Update();
            };
        } else {
            ASSERT_EQ(sqlite3_open(dataPath().toUtf8().constData(), &reader), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT COUNT(*) FROM Counters;", nullptr,
                                   nullptr, nullptr),
                      SQLITE_OK);
            leave = [&] { sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr); };
        }
        {
            LeavingOnEvents events(leave);
            EXPECT_EQ(NextCounter("Quotations"), holder ? 16 : 11);
            EXPECT_GT(events.eventRounds(), 0);
        }
        sqlite3_close(reader);
        EXPECT_EQ(counter(), holder ? "16" : "11");
        EXPECT_EQ(engine.BusyTimeout(), 4321);
    }
    engine.SetBusyTimeout(usualWait);
}

// Takes TV_COUNTER_COUNT numbers from the Quotations counter of TV_COUNTER_FOLDER, written one
// a line to TV_COUNTER_OUT.
TEST(CounterHelper, DISABLED_Run) {
    const QString folder = qEnvironmentVariable("TV_COUNTER_FOLDER");
    state().reset();
    state().DataLocation = folder;
    // The catalogue, so that a failure reaches stderr with its full text.
    ASSERT_TRUE(openDefinitions(folder));
    // Opening reads the file, which the other helpers may be writing right now.
    tv::engine::Engine::instance().SetBusyTimeout(60000);
    ASSERT_TRUE(OpenDataDatabase());
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
