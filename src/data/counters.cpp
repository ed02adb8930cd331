// NextCounter: Seek the table's Counters row, Edit it (or AddNew it for a first number),
// step past numbers the table already holds, Update. Edit and AddNew take the data file's
// write lock, so a second workstation waits at that step until the first has written its
// number; it then reads the new value under its own lock.
#include "data/counters.h"

#include "core/convert.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data/source_text.h"

#include <QThread>
#include <limits>
#include <optional>

namespace tv::data {

namespace {

// Jet's "Record is deleted": the counter row went between the Seek and the Edit.
constexpr int kRecordDeleted = 3167;

constexpr int kNameColumn = 0;
constexpr int kLastNumberColumn = 1;

// While the counter row is held elsewhere: each try waits this long for the lock inside
// the engine, then window events run and the thread sleeps before the next try. Short
// tries keep the window responsive; the sleeps keep the processor idle.
constexpr int kLockTryMs = 30;
constexpr unsigned long kPauseMs = 20;

// Two workstations taking the first number of a table both find no row; the one whose
// insert loses starts again and finds the other's row. A few rounds are plenty.
constexpr int kRounds = 5;

// Shortens the engine's wait for a locked file while it exists, and puts the usual one back.
class ShortLockWait {
public:
    ShortLockWait() : saved_(engine::Engine::instance().BusyTimeout()) {
        (void)attempt([] { engine::Engine::instance().SetBusyTimeout(kLockTryMs); });
    }
    ~ShortLockWait() {
        (void)attempt([this] { engine::Engine::instance().SetBusyTimeout(saved_); });
    }
    ShortLockWait(const ShortLockWait&) = delete;
    ShortLockWait& operator=(const ShortLockWait&) = delete;

private:
    int saved_;
};

// Runs the step until it does not fail for a lock held elsewhere; any other failure is
// returned at once.
template <typename F>
std::optional<Failure> untilUnlocked(F&& step) {
    for (;;) {
        std::optional<Failure> failed;
        {
            // Only around the try: the window events run below may reach the databases
            // themselves, and they get the usual wait.
            ShortLockWait shortWait;
            failed = attempt(step);
        }
        if (!failed || failed->number != engine::err::kLocked) return failed;
        prompter().processEvents();
        QThread::msleep(kPauseMs);
    }
}

// Opens a data-database table with its "PrimaryKey" index. While other workstations are
// taking numbers even reading can be refused for a moment (a writer finishing its update
// holds the whole file); that is waited out like a held row. Any other failure goes
// through OpenTable, which reports it as every table access does. The numbered table is
// opened whole, never narrowed by the workflow filter: its numbers are everybody's.
engine::Recordset openWaiting(const QString& table) {
    if (!state().DataOpen) return OpenTable(table);
    engine::Recordset rs;
    const std::optional<Failure> failed = untilUnlocked([&] {
        rs = detail::databaseFor(kDataDb).OpenRecordset(table);
        rs.SetIndex(QStringLiteral("PrimaryKey"));
    });
    if (!failed) return rs;
    rs.Close();
    return OpenTable(table);
}

// Taken: *number holds the number written. Raced: another workstation created the row
// first. Locked: the write could not be committed because other workstations were still
// reading the file; nothing was written.
enum class Outcome { Taken, Failed, Raced, Locked };

// One pass of Seek, lock, skip and write.
Outcome takeNumber(engine::Recordset& counters, engine::Recordset& numbered, const QString& table,
                   std::int32_t* number) {
    bool found = false;
    if (untilUnlocked([&] {
            counters.Seek(QStringLiteral("="), tv::Variant(table));
            found = !counters.NoMatch();
        }))
        return Outcome::Failed;

    qint64 candidate = 1;
    if (found) {
        const std::optional<Failure> failed = untilUnlocked([&] { counters.Edit(); });
        // Deleted since the Seek: start again, and add it.
        if (failed) return failed->number == kRecordDeleted ? Outcome::Raced : Outcome::Failed;
        if (attempt([&] {
                const tv::Variant last = counters[kLastNumberColumn];
                candidate = (last.isNull() ? 0 : tv::CLng(last)) + qint64{1};
            })) {
            detail::cancelQuietly(counters);
            return Outcome::Failed;
        }
    } else {
        if (untilUnlocked([&] { counters.AddNew(); })) return Outcome::Failed;
        if (attempt([&] { counters.FieldAt(kNameColumn).SetValue(tv::Variant(table)); })) {
            detail::cancelQuietly(counters);
            return Outcome::Failed;
        }
    }

    // Numbers that reached the table without going through the counter are stepped over.
    // A table that could not be opened, or a search that fails, stops the stepping.
    while (numbered.IsOpen() && candidate < std::numeric_limits<std::int32_t>::max() &&
           SeekRecord(numbered, QString::number(candidate), QString(), QString()))
        ++candidate;

    std::optional<Failure> failed = attempt([&] {
        counters.FieldAt(kLastNumberColumn)
            .SetValue(tv::Variant(static_cast<std::int32_t>(candidate)));
    });
    if (!failed) {
        // Writing commits, and the commit waits for readers to leave the file. One still
        // reading after the short wait makes the engine roll the write back: the pass is
        // then made again, re-reading the counter under a fresh lock.
        ShortLockWait shortWait;
        failed = attempt([&] { counters.Update(); });
    }
    if (failed) {
        detail::cancelQuietly(counters);
        if (failed->number == engine::err::kLocked) return Outcome::Locked;
        return !found && failed->number == engine::err::kDuplicateKey ? Outcome::Raced
                                                                      : Outcome::Failed;
    }
    *number = static_cast<std::int32_t>(candidate);
    return Outcome::Taken;
}

}  // namespace

std::int32_t NextCounter(const QString& source) {
    const QString table = SourceTable(source);
    if (table.isEmpty()) return 0;

    engine::Recordset counters = openWaiting(QStringLiteral("Counters"));
    if (!counters.IsOpen()) return 0;
    engine::Recordset numbered = openWaiting(table);

    std::int32_t number = 0;
    for (int round = 0; round < kRounds;) {
        const Outcome outcome = takeNumber(counters, numbered, table, &number);
        if (outcome == Outcome::Locked) {
            // Waited out like a held row: without limit, with window events running.
            prompter().processEvents();
            QThread::msleep(kPauseMs);
            continue;
        }
        if (outcome != Outcome::Raced) break;
        ++round;
    }

    numbered.Close();
    counters.Close();
    detail::idleQuietly();
    return number;
}

}  // namespace tv::data
