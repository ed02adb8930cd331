#include "app/definitions_open.h"

#include "core/paths.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"

#include <optional>

namespace tv::app {

namespace {

namespace msgbox = data::msgbox;

const QString kDefinitionsFile = QStringLiteral("Definitions.mdb");

QString withoutTrailingSeparator(QString folder) {
    while (folder.size() > 1 && isPathSeparator(folder.back())) folder.chop(1);
    return folder;
}

QString definitionsPath() { return joinPath(data::state().DefinitionsLocation, kDefinitionsFile); }

// Stored locations are written with "\" on every platform; show the path the way the
// location was given so that the user recognises it.
QString shownPath() {
    const QString folder = data::state().DefinitionsLocation;
    const QChar separator = folder.contains(u'\\') ? u'\\' : u'/';
    return folder + separator + kDefinitionsFile;
}

void closeDefinitions() {
    data::AppState& st = data::state();
    for (engine::Recordset* rs : {&st.FormCaptionsRs, &st.MessagesRs, &st.FieldDefinitionsRs}) {
        (void)data::attempt([&] {
            if (rs->IsOpen()) rs->Close();
        });
    }
    (void)data::attempt([&] {
        if (st.DefinitionsDb.IsOpen()) st.DefinitionsDb.Close();
    });
}

// One try at the database and its three tables; the engine's failure when it goes wrong.
std::optional<data::Failure> tryOpen() {
    data::AppState& st = data::state();
    closeDefinitions();
    std::optional<data::Failure> failed = data::attempt([&] {
        st.DefinitionsDb = engine::Engine::instance().OpenDatabase(definitionsPath());
        const auto openTable = [&](engine::Recordset& rs, const QString& table) {
            rs = st.DefinitionsDb.OpenRecordset(table);
            rs.SetIndex(QStringLiteral("PrimaryKey"));
        };
        openTable(st.FormCaptionsRs, QStringLiteral("Form Captions"));
        openTable(st.MessagesRs, QStringLiteral("Messages"));
        openTable(st.FieldDefinitionsRs, QStringLiteral("Field Definitions"));
    });
    if (failed) closeDefinitions();
    return failed;
}

bool askToRepair() {
    const QString text =
        QStringLiteral("The Tolvarine definitions database appears to be damaged (") + shownPath() +
        QStringLiteral(
            "\n\nYou can attempt to repair it now or restore it from a backup."
            "\n\nRepair the database now?");
    return data::prompter().messageBox(QStringLiteral("Definitions Database Error"), text,
                                       msgbox::kYesNo + msgbox::kQuestion) == msgbox::kYes;
}

// A legacy Jet (Access) file is no damage that a repair could mend, and choosing the same
// file again would only fail the same way, so the user is told what it is before being
// asked for another. The catalogue is in the file that failed to open, so the text is
// fixed here (the wording of message 9000).
void tellLegacyFile() {
    data::prompter().messageBox(
        QStringLiteral("Old Database Format"),
        QStringLiteral("This database is in the old Microsoft Access (Jet) format, which "
                       "Tolvarine cannot open directly:\n") +
            shownPath() +
            QStringLiteral("\n\nThe file has not been changed. Ask your system administrator to "
                           "point Tolvarine at a data folder in the current format (the "
                           "administration tool's \"create\" command makes a new one)."),
        msgbox::kOkOnly + msgbox::kExclamation);
}

}  // namespace

bool OpenDefinitions() {
    data::AppState& st = data::state();
    if (st.DefinitionsLocation.isEmpty())
        st.DefinitionsLocation = Setting(keys::DefinitionsLocation);
    if (st.DataLocation.isEmpty()) st.DataLocation = Setting(keys::DataLocation);
    st.DefinitionsLocation = withoutTrailingSeparator(st.DefinitionsLocation);

    for (;;) {
        const std::optional<data::Failure> failed = tryOpen();
        if (!failed) return true;
        const bool damaged =
            failed->number == engine::err::kNotDatabase || failed->number == engine::err::kDamaged;
        if (damaged) {
            if (!askToRepair() || !data::RepairDatabaseFile(definitionsPath())) return false;
            continue;
        }
        if (failed->number == engine::err::kLegacyJetFile) tellLegacyFile();
        if (!LocateDefinitions()) return false;
    }
}

bool LocateDefinitions() {
    data::AppState& st = data::state();
    data::Prompter& ask = data::prompter();
    for (;;) {
        ask.messageBox(QStringLiteral("Definitions Database"),
                       QStringLiteral("Unable to locate definitions database at location: ") +
                           st.DefinitionsLocation +
                           QStringLiteral("\n\nClick OK to identify the location of the "
                                          "Definitions.mdb file."),
                       msgbox::kOkOnly + msgbox::kExclamation);

        data::FileRequest request;
        request.title = QStringLiteral("Find Definitions Database");
        request.initialFolder = st.DefinitionsLocation;
        request.filter = QStringLiteral("Database Files (*.mdb)|*.mdb");
        request.flags = data::filedlg::kHideReadOnly;
        const QString chosen = ask.openFile(request);
        if (chosen.isEmpty()) return false;

        // The file name must be exactly "Definitions.mdb": the rest of the program and
        // every other workstation open it by that name, on file systems that tell case.
        const qsizetype nameStart = chosen.size() - kDefinitionsFile.size();
        if (nameStart < 0 || chosen.mid(nameStart) != kDefinitionsFile ||
            (nameStart > 0 && !isPathSeparator(chosen.at(nameStart - 1)))) {
            continue;
        }
        st.DefinitionsLocation = withoutTrailingSeparator(chosen.left(nameStart));
        SaveSetting(keys::DefinitionsLocation, st.DefinitionsLocation);
        return true;
    }
}

}  // namespace tv::app
