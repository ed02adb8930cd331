#include "messaging/post_office.h"

#include "core/format.h"
#include "core/paths.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/locations.h"
#include "data/prompter.h"
#include "engine/server.h"
#include "messaging/post_office_session.h"

#include <optional>

namespace tv::messaging {

namespace {

const QString kFileName = QStringLiteral("Messages.mdb");

// A FORM CAPTIONS caption (column 2), empty when the row is missing. The framework's
// helper lives above this library, so the long-lived record set is read directly.
QString captionText(const QString& window, const QString& key) {
    QString text;
    engine::Recordset& captions = data::state().FormCaptionsRs;
    (void)data::attempt([&] {
        if (!captions.IsOpen()) return;
        captions.Seek(QStringLiteral("="), tv::Variant(window), tv::Variant(key));
        if (!captions.NoMatch()) text = tv::TextOf(captions[2]);
    });
    return text;
}

// A folder holding the file, or a server holding the post office (the check the sign-in
// and Options make).
bool postOfficeExists(const QString& folder) {
    return data::LocationHoldsDatabase(folder, kFileName, false);
}

bool damaged(const data::Failure& f) {
    return f.number == engine::err::kNotDatabase || f.number == engine::err::kDamaged;
}

QString openFailureText(const data::Failure& f, const QString& path) {
    return f.text + QStringLiteral("\n\n") + path;
}

std::optional<data::Failure> openInto(engine::Database& db, const QString& path) {
    return data::attempt([&] { db = engine::Engine::instance().OpenDatabase(path); });
}

void storeWithoutTrailingSeparator(QString& folder) {
    if (folder.size() <= 1 || !tv::isPathSeparator(folder.back())) return;
    folder.chop(1);
    tv::SaveSetting(tv::keys::PostOffice, folder);
}

}  // namespace

QString PostOfficeFolder() { return tv::Setting(tv::keys::PostOffice); }

QString PostOfficeFile(const QString& folder) { return tv::joinPath(folder, kFileName); }

engine::Database OpenPostOffice(const QString& folder) {
    const QString path = PostOfficeFile(folder);
    engine::Database db;
    std::optional<data::Failure> failed = openInto(db, path);
    if (!failed) return db;

    if (damaged(*failed)) {
        if (data::ShowMessage(12, QStringLiteral("\n") + path) != data::msgbox::kYes ||
            !data::RepairDatabaseFile(path))
            return engine::Database();
        // Repaired: open the result, so the operation that asked can go on.
        failed = openInto(db, path);
        if (!failed) return db;
    }
    data::ShowMessage(2, openFailureText(*failed, path));
    return engine::Database();
}

bool LocatePostOffice() {
    QString folder = PostOfficeFolder();
    // A post office on a server is not looked for with a file dialog: it is there, or the
    // check has said why it cannot be used (9170/9171).
    if (engine::IsServerLocation(folder)) {
        storeWithoutTrailingSeparator(folder);
        return data::LocationHoldsDatabase(folder, kFileName, true);
    }
    bool found = postOfficeExists(folder);
    while (!found) {
        data::ShowMessage(500, folder);
        data::FileRequest request;
        request.title =
            captionText(QStringLiteral("CommonDialog"), QStringLiteral("GetPostOffice"));
        request.initialFolder = folder;
        request.defaultName = folder.isEmpty() ? kFileName : PostOfficeFile(folder);
        request.filter = QStringLiteral("Access Databases (*.mdb)|*.mdb");
        request.flags = data::filedlg::kFileMustExist | data::filedlg::kHideReadOnly;
        const QString chosen = data::prompter().openFile(request);
        if (chosen.isEmpty()) return false;  // cancelled: nothing is sent
        // The file's own name, exactly: "messages.mdb" is someone else's file.
        if (tv::fileName(chosen) != kFileName || chosen.size() <= kFileName.size()) continue;
        folder = chosen.left(chosen.size() - kFileName.size() - 1);
        tv::SaveSetting(tv::keys::PostOffice, folder);
        found = true;
    }
    storeWithoutTrailingSeparator(folder);
    return true;
}

namespace detail {

PostOfficeSession::PostOfficeSession(Reporting reporting) : folder_(PostOfficeFolder()) {
    if (folder_.isEmpty()) return;
    if (reporting == Reporting::Loud) {
        db_ = OpenPostOffice(folder_);
    } else {
        engine::Database db;
        if (!openInto(db, PostOfficeFile(folder_))) db_ = std::move(db);
    }
}

PostOfficeSession::~PostOfficeSession() { close(); }

engine::Recordset& PostOfficeSession::table(const QString& name) {
    engine::Recordset& rs = recordsets_.emplace_back(db_.OpenRecordset(name));
    rs.SetIndex(QStringLiteral("PrimaryKey"));
    return rs;
}

engine::Recordset& PostOfficeSession::query(const QString& sql) {
    return recordsets_.emplace_back(db_.OpenRecordset(sql));
}

void PostOfficeSession::close() {
    for (engine::Recordset& rs : recordsets_) rs.Close();
    recordsets_.clear();
    if (!db_.IsOpen()) return;
    db_.Close();
    // Other workstations see this one's rows at once, and no lock outlives the operation.
    (void)data::attempt([] { engine::Engine::instance().Idle(true); });
}

}  // namespace detail

}  // namespace tv::messaging
