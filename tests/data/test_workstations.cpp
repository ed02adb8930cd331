// Eight workstations at once, each a process of this program (the disabled helper selected):
// for a while each takes quotation numbers, adds customers and edits a customer of its own,
// holding the edit a moment. No number is handed out twice, no added row or edit is lost,
// and on a server, where an edit locks its row only, edits of different rows overlap in
// time (a file's writers take turns). TV_WORKSTATION_SECONDS sets how long (a few seconds
// unless told); the figures are printed.
#include "common/data/shipped_fixture.h"
#include "core/convert.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/counters.h"
#include "engine/engine.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <memory>

namespace tvtest {
namespace {

using tv::data::state;
constexpr int kWorkstations = 8;
constexpr int kCodeColumn = 4;  // POSTALCODE: the edits made to the row, counted

QString ownRow(int workstation) { return QStringLiteral("Workstation %1").arg(workstation); }

qint64 nowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One workstation of TV_WS_SITE until TV_WS_SECONDS have passed; what it did goes to TV_WS_OUT
// a line each: "n <number>", "a <customer added>", "e <locked µs> <written µs> <waited µs>"
// for an edit (from its row locked to its row written), "x <error number>" for a failure.
TEST(WorkstationHelper, DISABLED_Work) {
    const QString site = qEnvironmentVariable("TV_WS_SITE");
    const int me = qEnvironmentVariableIntValue("TV_WS_ID");
    state().reset();
    state().DataLocation = site;
    ASSERT_TRUE(openDefinitions(site));
    tv::engine::Engine::instance().SetBusyTimeout(60000);
    ASSERT_TRUE(tv::data::OpenDataDatabase());
    QFile out(qEnvironmentVariable("TV_WS_OUT"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    auto note = [&](const QString& line) { out.write(line.toUtf8() + '\n'); };
    auto attempt = [&](const std::function<void()>& step) {
        try {
            step();
        } catch (const tv::engine::DbError& e) {
            note(QStringLiteral("x %1 %2").arg(e.number()).arg(e.text()));
        }
    };
    tv::engine::Recordset customers = tv::data::OpenTable(QStringLiteral("Customers"));
    const qint64 end = nowUs() + qEnvironmentVariableIntValue("TV_WS_SECONDS") * 1000000LL;
    for (int round = 1; nowUs() < end; ++round) {
        note(QStringLiteral("n %1").arg(tv::data::NextCounter(QStringLiteral("Quotations"))));
        attempt([&] {
            const QString name = QStringLiteral("WS%1 O'Brien %2").arg(me).arg(round);
            customers.AddNew();
            customers.FieldAt(0).SetValue(tv::Variant(name));
            customers.Update();
            note(QStringLiteral("a ") + name);
        });
        attempt([&] {
            customers.Seek(QStringLiteral("="), tv::Variant(ownRow(me)));
            const qint64 asked = nowUs();
            customers.Edit();
            const qint64 locked = nowUs();
            customers.FieldAt(kCodeColumn).SetValue(tv::Variant(tv::CLng(customers[kCodeColumn]) + 1));
            QThread::msleep(15);  // the edit is held a moment, as a user's save takes
            customers.Update();
            note(QStringLiteral("e %1 %2 %3").arg(locked).arg(nowUs()).arg(locked - asked));
        });
    }
    customers.Close();
    state().reset();
}

class Workstations : public ShippedDatabasesTest {};

TEST_F(Workstations, TakeNumbersAddAndEditRowsAtOnceLosingNothing) {
    for (int i = 1; i <= kWorkstations; ++i)
        execData({QStringLiteral("INSERT INTO CUSTOMERS ([CUSTOMER NAME], POSTALCODE) VALUES ('%1', '0')")
                      .arg(ownRow(i))});
    const int seconds = qEnvironmentVariableIsSet("TV_WORKSTATION_SECONDS")
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
    for (auto& helper : helpers) {
        EXPECT_TRUE(helper->waitForFinished(seconds * 1000 + 300000));
        EXPECT_EQ(helper->exitCode(), 0);
    }

    QSet<int> numbers;
    int taken = 0;
    QStringList added;
    struct Span {
        qint64 start, end;
    };
    std::vector<std::vector<Span>> edits(kWorkstations + 1);
    qint64 longestWait = 0;
    for (int i = 1; i <= kWorkstations; ++i) {
        QFile file(outputs.file(QString::number(i)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList parts = line.split(u' ');
            if (parts[0] == "n") {
                ++taken;
                numbers.insert(parts[1].toInt());
            } else if (parts[0] == "a") {
                added << line.mid(2);
            } else if (parts[0] == "e") {
                edits[static_cast<size_t>(i)].push_back({parts[1].toLongLong(), parts[2].toLongLong()});
                longestWait = std::max(longestWait, parts[3].toLongLong());
            } else {
                ADD_FAILURE() << "workstation " << i << ": " << line.toStdString();
            }
        }
    }
    EXPECT_EQ(numbers.size(), taken) << "a number was handed out twice";
    EXPECT_FALSE(numbers.contains(0)) << "a workstation failed to take a number";

    ASSERT_TRUE(openDefinitions(data.path()));
    state().DataLocation = data.path();
    ASSERT_TRUE(tv::data::OpenDataDatabase());
    EXPECT_EQ(dataValue("SELECT LASTNUMBER FROM Counters WHERE TABLENAME = 'Quotations'").toInt(), taken);
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM CUSTOMERS WHERE [CUSTOMER NAME] LIKE 'WS* O''Brien *'"),
              QString::number(added.size()))
        << "an added row was lost";
    int editCount = 0;
    for (int i = 1; i <= kWorkstations; ++i) {
        const auto made = static_cast<int>(edits[static_cast<size_t>(i)].size());
        editCount += made;
        EXPECT_EQ(dataValue(QStringLiteral("SELECT POSTALCODE FROM CUSTOMERS WHERE [CUSTOMER NAME] = '%1'")
                                .arg(ownRow(i))),
                  QString::number(made))
            << "an edit of workstation " << i << " was lost";
    }

    // Pairs of workstations whose edits (of different rows) were ever under way together.
    int overlapping = 0;
    for (int i = 1; i <= kWorkstations; ++i)
        for (int j = i + 1; j <= kWorkstations; ++j) {
            bool together = false;
            for (const Span& a : edits[static_cast<size_t>(i)])
                for (const Span& b : edits[static_cast<size_t>(j)])
                    together = together || (a.start < b.end && b.start < a.end);
            overlapping += together;
        }
    constexpr int kPairs = kWorkstations * (kWorkstations - 1) / 2;
    std::printf("%d workstations for %d s: %d numbers, %lld rows added, %d edits; edits overlapping "
                "in %d of %d pairs; longest wait for an edit %.1f ms\n",
                kWorkstations, seconds, taken, static_cast<long long>(added.size()), editCount,
                overlapping, kPairs, static_cast<double>(longestWait) / 1000.0);
    if (testServer().isEmpty()) {
        EXPECT_EQ(overlapping, 0) << "a file's writers take turns: the measure is wrong";
    } else {
        EXPECT_EQ(overlapping, kPairs) << "edits of different rows waited for each other";
    }
}

}  // namespace
}  // namespace tvtest
