// Opening Definitions.mdb at start-up: the stored location in its different spellings,
// the locate loop, a legacy Jet file and the repair question.
#include "app/definitions_open.h"
#include "app_fixture.h"

#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"

#include <QFile>
#include <utility>

namespace tvtest {
namespace {

namespace msgbox = tv::data::msgbox;
using tv::app::OpenDefinitions;
using tv::data::state;

using DefinitionsOpenTest = SignInTest;

bool definitionTablesOpen() {
    const tv::data::AppState& st = state();
    return st.DefinitionsDb.IsOpen() && st.FormCaptionsRs.IsOpen() && st.MessagesRs.IsOpen() &&
           st.FieldDefinitionsRs.IsOpen();
}

TEST_F(DefinitionsOpenTest, StoredLocationOpensWhateverTrailingSeparatorItHas) {
    for (const QString& suffix :
         {QString(), QStringLiteral("/"), QStringLiteral("\\"), QStringLiteral("//")}) {
        SCOPED_TRACE(suffix.toStdString());
        state().reset();
        tv::SaveSetting(tv::keys::DefinitionsLocation, data.path() + suffix);
        ASSERT_TRUE(OpenDefinitions());
        EXPECT_EQ(state().DefinitionsLocation, data.path());
        EXPECT_TRUE(definitionTablesOpen());
    }
    EXPECT_TRUE(ask.asked().empty());
}

TEST_F(DefinitionsOpenTest, LocateRefusesAnotherSpellingAndAsksAgain) {
    ScratchFolder empty;
    ScratchFolder chosen;
    ASSERT_TRUE(copyShippedDatabases(chosen.path()));
    ScratchFolder lowerCase;
    ASSERT_TRUE(QFile::copy(definitionsPath(), lowerCase.file(QStringLiteral("definitions.mdb"))));
    tv::SaveSetting(tv::keys::DefinitionsLocation, empty.path());

    ask.message(
           msgbox::kOk,
           QStringLiteral("Unable to locate definitions database at location: ") + empty.path(),
           QStringLiteral("Definitions Database"))
        .openFile(lowerCase.file(QStringLiteral("definitions.mdb")),
                  QStringLiteral("Find Definitions Database"))
        .message(msgbox::kOk, QStringLiteral("Click OK to identify the location"))
        .openFile(chosen.file(QStringLiteral("Definitions.mdb")));

    ASSERT_TRUE(OpenDefinitions());
    EXPECT_EQ(state().DefinitionsLocation, chosen.path());
    EXPECT_EQ(tv::Setting(tv::keys::DefinitionsLocation), chosen.path());

    const auto& questions = ask.asked();
    EXPECT_EQ(questions[0].style, msgbox::kOkOnly + msgbox::kExclamation);
    EXPECT_EQ(questions[1].initialText, empty.path());
}

TEST_F(DefinitionsOpenTest, CancellingTheLocateDialogEndsTheProgram) {
    ScratchFolder empty;
    tv::SaveSetting(tv::keys::DefinitionsLocation, empty.path());
    ask.message(msgbox::kOk, QStringLiteral("Unable to locate")).openFile(QString());
    EXPECT_FALSE(OpenDefinitions());
    EXPECT_FALSE(state().DefinitionsDb.IsOpen());
    EXPECT_EQ(tv::Setting(tv::keys::DefinitionsLocation), empty.path());
}

TEST_F(DefinitionsOpenTest, ALegacyJetFileIsNamedAsSuchEachTimeBeforeAnotherIsLocated) {
    QByteArray jet(2048, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    QFile legacy(definitionsPath());
    ASSERT_TRUE(legacy.open(QIODevice::WriteOnly | QIODevice::Truncate));
    legacy.write(jet);
    legacy.close();
    ScratchFolder converted;
    copyShippedDatabases(converted.path());

    const QString told = QStringLiteral("old Microsoft Access (Jet) format");
    ask.message(
           msgbox::kOk,
           told + QStringLiteral(", which Tolvarine cannot open directly:\n") + definitionsPath(),
           QStringLiteral("Old Database Format"))
        .message(msgbox::kOk, QStringLiteral("Unable to locate"))
        .openFile(definitionsPath())
        .message(msgbox::kOk, told)
        .message(msgbox::kOk, QStringLiteral("Unable to locate"))
        .openFile(converted.file(QStringLiteral("Definitions.mdb")));
    ASSERT_TRUE(OpenDefinitions());
    EXPECT_EQ(state().DefinitionsLocation, converted.path());
}

TEST_F(DefinitionsOpenTest, DamagedDatabaseNotRepairedEndsTheProgram) {
    writeGarbage(definitionsPath());
    ask.message(msgbox::kNo, QString(), QStringLiteral("Definitions Database Error"));
    EXPECT_FALSE(OpenDefinitions());
    EXPECT_EQ(ask.messages()[0].text,
              QStringLiteral("The Tolvarine definitions database appears to be damaged (") +
                  definitionsPath() +
                  QStringLiteral("\n\nYou can attempt to repair it now or restore it from a "
                                 "backup.\n\nRepair the database now?"));
    EXPECT_EQ(ask.messages()[0].style, msgbox::kYesNo + msgbox::kQuestion);
    EXPECT_FALSE(state().DefinitionsDb.IsOpen());

    // Damage beyond repair; the catalogue is not open, so the failure can only name its
    // message number.
    ask.message(msgbox::kYes, QStringLiteral("appears to be damaged"))
        .message(msgbox::kOk, QStringLiteral("Message 13"), QStringLiteral("Message Error"));
    EXPECT_FALSE(OpenDefinitions());
}

// The engine's repair rebuilds a file from what it can read, and the damage that stops a
// file from opening is the damage it cannot read past. This prompter puts an intact copy
// in place when the repair starts (at its hourglass), so the test follows the path of a
// repair that works: the real repair runs, then the opening is tried again.
class RepairingPrompter : public ScriptedPrompter {
public:
    RepairingPrompter(QString damaged, QString intact)
        : damaged_(std::move(damaged)), intact_(std::move(intact)) {}
    void setPointer(int code, const QString& iconPath) override {
        if (code == tv::data::kPointerHourglass && !restored_) {
            restored_ = QFile::remove(damaged_) && QFile::copy(intact_, damaged_);
        }
        ScriptedPrompter::setPointer(code, iconPath);
    }
    bool restored() const { return restored_; }

private:
    QString damaged_;
    QString intact_;
    bool restored_ = false;
};

TEST_F(DefinitionsOpenTest, RepairedDatabaseIsOpened) {
    ScratchFolder intact;
    ASSERT_TRUE(copyShippedDatabases(intact.path()));
    writeGarbage(definitionsPath());
    RepairingPrompter repair(definitionsPath(), intact.file(QStringLiteral("Definitions.mdb")));
    repair.message(msgbox::kYes, QStringLiteral("appears to be damaged"))
        .message(msgbox::kOk, QStringLiteral("user id you entered is not known"));
    ASSERT_TRUE(OpenDefinitions());
    EXPECT_TRUE(repair.restored());
    EXPECT_TRUE(definitionTablesOpen());
    // The catalogue of the repaired file answers.
    EXPECT_EQ(tv::data::ShowMessage(4), msgbox::kOk);
}

}  // namespace
}  // namespace tvtest
