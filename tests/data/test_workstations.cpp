// Eight workstations at once, each a process of this program (the disabled helper): each
// takes quotation numbers, adds customers and edits a customer of its own, holding the edit
// a moment. No number is handed out twice, no row or edit is lost, and on a server edits of
// different rows overlap in time (a file's writers take turns). TV_WORKSTATION_SECONDS sets
// how long (4 s unless told); the figures are printed.
#include "common/data/shipped_fixture.h"
#include "core/convert.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/counters.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace tvtest {
namespace {

using tv::data::state;
constexpr int kWorkstations = 8;
constexpr int kCountColumn = 4;  // POSTALCODE: the edits made to the row

QString ownRow(int workstation) { return QStringLiteral("Workstation %1").arg(workstation); }
qint64 nowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// Works on TV_WS_SITE for TV_WS_SECONDS; writes to TV_WS_OUT a line per deed: "n <number>",
// "a <customer added>", "e <row locked µs> <row written µs> <wait for the lock µs>", and
// "x <error>" for a failure.
TEST(WorkstationHelper, DISABLED_Work) {
    const QString site = qEnvironmentVariable("TV_WS_SITE");
    state().DataLocation = site;
    ASSERT_TRUE(openDefinitions(site));
    tv::engine::Engine::instance().SetBusyTimeout(60000);
    QFile out(qEnvironmentVariable("TV_WS_OUT"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && tv::data::OpenDataDatabase());
    const auto note = [&](const QString& line) { out.write(line.toUtf8() + '\n'); };
    tv::engine::Recordset customers = tv::data::OpenTable(QStringLiteral("Customers"));
    const int me = qEnvironmentVariableIntValue("TV_WS_ID");
    const qint64 end = nowUs() + qEnvironmentVariableIntValue("TV_WS_SECONDS") * 1000000LL;
    for (int round = 1; nowUs() < end; ++round) {
        try {
            note(QStringLiteral("n %1").arg(tv::data::NextCounter(QStringLiteral("Quotations"))));
            const QString name = QStringLiteral("WS%1 O'Brien %2").arg(me).arg(round);
            customers.AddNew();
            customers.FieldAt(0).SetValue(tv::Variant(name));
            customers.Update();
            note(QStringLiteral("a ") + name);
            customers.Seek(QStringLiteral("="), tv::Variant(ownRow(me)));
            const qint64 asked = nowUs();
            customers.Edit();
            const qint64 locked = nowUs();
            customers.FieldAt(kCountColumn).SetValue(tv::Variant(tv::CLng(customers[kCountColumn]) + 1));
            QThread::msleep(15);  // held a moment, as a user's save takes
            customers.Update();
            note(QStringLiteral("e %1 %2 %3").arg(locked).arg(nowUs()).arg(locked - asked));
        } catch (const tv::engine::DbError& e) {
            note(QStringLiteral("x %1 %2").arg(e.number()).arg(e.text()));
        }
    }
    customers.Close();
    state().reset();
}

class Workstations : public ShippedDatabasesTest {};

TEST_F(Workstations, TakeNumbersAddAndEditRowsAtOnceLosingNothing) {
    for (int i = 1; i <= kWorkstations; ++i)
        execData({"INSERT INTO CUSTOMERS ([CUSTOMER NAME], POSTALCODE) VALUES ('" + ownRow(i) + "', '0')"});
    const int seconds = qEnvironmentVariableIntValue("TV_WORKSTATION_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("TV_WORKSTATION_SECONDS")
                            : 4;
    state().reset();  // the test's own connection stands in nobody's way
    ScratchFolder outputs;
    std::vector<std::unique_ptr<QProcess>> helpers;
    for (int i = 1; i <= kWorkstations; ++i) {
        auto& helper = helpers.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TV_WS_SITE", data.path());
        env.insert("TV_WS_ID", QString::number(i));
        env.insert("TV_WS_SECONDS", QString::number(seconds));
        env.insert("TV_WS_OUT", outputs.file(QString::number(i)));
        helper->setProcessEnvironment(env);
        helper->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        helper->start(QCoreApplication::applicationFilePath(),
                      {"--gtest_filter=WorkstationHelper.DISABLED_Work", "--gtest_also_run_disabled_tests"});
    }
    QSet<int> numbers;
    int taken = 0, added = 0, edits = 0;
    qint64 longestWait = 0;
    std::vector<std::vector<std::pair<qint64, qint64>>> spans(kWorkstations + 1);
    for (int i = 1; i <= kWorkstations; ++i) {
        EXPECT_TRUE(helpers[static_cast<size_t>(i - 1)]->waitForFinished(seconds * 1000 + 300000));
        QFile file(outputs.file(QString::number(i)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList part = line.split(u' ');
            if (part[0] == "n") {
                ++taken;
                numbers.insert(part[1].toInt());
            } else if (part[0] == "e") {
                spans[static_cast<size_t>(i)].emplace_back(part[1].toLongLong(), part[2].toLongLong());
                longestWait = std::max(longestWait, part[3].toLongLong());
            } else if (part[0] != "a") {
                ADD_FAILURE() << "workstation " << i << ": " << line.toStdString();
            }
            added += part[0] == "a";
        }
        edits += static_cast<int>(spans[static_cast<size_t>(i)].size());
    }
    EXPECT_EQ(numbers.size(), taken) << "a number was handed out twice";
    EXPECT_FALSE(numbers.contains(0)) << "a workstation failed to take a number";

    state().DataLocation = data.path();
    ASSERT_TRUE(openDefinitions(data.path()) && tv::data::OpenDataDatabase());
    EXPECT_EQ(dataValue("SELECT LASTNUMBER FROM Counters WHERE TABLENAME = 'Quotations'").toInt(), taken);
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM CUSTOMERS WHERE [CUSTOMER NAME] LIKE 'WS* O''Brien *'").toInt(), added);
    for (int i = 1; i <= kWorkstations; ++i)
        EXPECT_EQ(dataValue("SELECT POSTALCODE FROM CUSTOMERS WHERE [CUSTOMER NAME] = '" + ownRow(i) + "'").toInt(),
                  static_cast<int>(spans[static_cast<size_t>(i)].size()))
            << "an edit of workstation " << i << " was lost";

    // Pairs of workstations whose edits (of different rows) were ever under way together.
    int overlapping = 0;
    for (int i = 1; i <= kWorkstations; ++i)
        for (int j = i + 1; j <= kWorkstations; ++j)
            overlapping += std::any_of(spans[i].begin(), spans[i].end(), [&](const auto& a) {
                return std::any_of(spans[j].begin(), spans[j].end(),
                                   [&](const auto& b) { return a.first < b.second && b.first < a.second; });
            });
    constexpr int kPairs = kWorkstations * (kWorkstations - 1) / 2;
    std::printf("%d workstations, %d s: %d numbers, %d rows added, %d edits; edits overlapping in %d of "
                "%d pairs; longest wait for an edit's lock %.1f ms\n",
                kWorkstations, seconds, taken, added, edits, overlapping, kPairs, longestWait / 1000.0);
    EXPECT_EQ(overlapping, testServer().isEmpty() ? 0 : kPairs)
        << "on a server edits of different rows never wait for each other; a file's take turns";
}

}  // namespace
}  // namespace tvtest
