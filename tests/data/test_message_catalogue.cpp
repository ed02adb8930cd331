// The message catalogue against the program: every message number the sources show (as a
// literal or through a named constant) has a row in the shipped Definitions.mdb, and the
// questions are asked with Yes and No. (The rows' own wording and style are checked with
// the rest of the shipped model.)
#include "common/data/shipped_fixture.h"
#include "common/engine/queries.h"
#include "engine/engine.h"

#include <gtest/gtest.h>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <map>
#include <memory>

namespace {

using tv::engine::Engine;

// Where a number is used, for the failure message.
struct Use {
    int number;
    QString where;
};

struct SourceScan {
    std::vector<Use> uses;
    QStringList unresolved;  // named constants passed to a message call with no value found
};

// The program's sources, read once.
std::map<QString, QString> programSources() {
    std::map<QString, QString> files;
    for (const char* root : {"src", "tools"}) {
        QDirIterator it(tvtest::sourceDir() + "/" + root, {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                files[path.mid(tvtest::sourceDir().size() + 1)] = QString::fromUtf8(file.readAll());
        }
    }
    return files;
}

// Message numbers reach the catalogue through ShowMessage (a box) and ShowStatusMessage
// (the status bar), either as a literal or as a named constant; constants named kMsg...
// are message numbers wherever they are used.
SourceScan scanSources(const std::map<QString, QString>& files) {
    static const QRegularExpression constant(
        R"(\b(?:constexpr|const)\s+(?:auto|int|short|long|(?:std::)?u?int(?:16|32)_t|qu?int(?:16|32))\s+(k\w+)\s*(?:=\s*|\{\s*)(\d+)\s*\}?\s*;)");
    static const QRegularExpression call(R"(\b(ShowMessage|ShowStatusMessage)\s*\(\s*([\w:]+))");
    QHash<QString, int> values;
    SourceScan scan;
    for (const auto& [path, text] : files) {
        for (auto m = constant.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            values.insert(match.captured(1), match.captured(2).toInt());
            if (match.captured(1).startsWith("kMsg"))
                scan.uses.push_back({match.captured(2).toInt(), path});
        }
    }
    for (const auto& [path, text] : files) {
        for (auto m = call.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            const QString argument = match.captured(2);
            const QString where = QStringLiteral("%1:%2 %3")
                                      .arg(path)
                                      .arg(text.left(match.capturedStart()).count('\n') + 1)
                                      .arg(match.captured(0));
            bool isNumber = false;
            const int number = argument.toInt(&isNumber);
            const QString name = argument.section("::", -1);
            if (isNumber) {
                scan.uses.push_back({number, where});
            } else if (values.contains(name)) {
                scan.uses.push_back({values.value(name), where});
            } else if (name.size() > 1 && name[0] == 'k' && name[1].isUpper()) {
                scan.unresolved << where;
            }
            // Anything else is a declaration or a number handed through a parameter.
        }
    }
    return scan;
}

// The questions the program asks, which need Yes and No buttons.
const int kQuestions[] = {11, 101, 107, 120, 147, 148, 149, 150, 193, 199, 505, 601};

class MessageCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tvtest::ScratchFolder folder;
        ASSERT_TRUE(tvtest::copyShippedDatabases(folder.path()));
        tv::engine::Database db =
            Engine::instance().OpenDatabase(folder.file("Definitions.mdb"), true);
        for (const QStringList& row : tvtest::queryRows(db, "SELECT MSGNO, STYLE FROM MESSAGES"))
            styles_[row[0].toInt()] = row[1].isEmpty() ? -1 : row[1].toLong();
    }
    static inline std::map<int, long> styles_;  // message number -> box style
};

TEST_F(MessageCatalogue, EveryNumberTheSourcesShowHasARow) {
    const SourceScan scan = scanSources(programSources());
    EXPECT_TRUE(scan.unresolved.isEmpty()) << "message constants without a value:\n"
                                           << scan.unresolved.join('\n').toStdString();
    // The scan must see the calls it exists for, or it proves nothing.
    QSet<int> seen;
    for (const Use& use : scan.uses) seen.insert(use.number);
    for (int known : {101, 105, 194}) EXPECT_TRUE(seen.contains(known)) << known;
    for (const Use& use : scan.uses) {
        // Status message 0 is no message: it clears the status bar.
        if (use.number == 0 && use.where.contains(QLatin1String("ShowStatusMessage"))) continue;
        EXPECT_TRUE(styles_.count(use.number))
            << use.number << " used at " << use.where.toStdString();
    }
}

TEST_F(MessageCatalogue, QuestionsOfferYesAndNo) {
    for (int number : kQuestions) {
        ASSERT_TRUE(styles_.count(number)) << number;
        const long buttons = styles_[number] & 0xF;
        EXPECT_TRUE(buttons == 3 || buttons == 4) << number << " has buttons " << buttons;
    }
}

}  // namespace
