#include "app/sign_in.h"
#include "engine/server.h"

#include "core/format.h"
#include "core/paths.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/business_rules.h"
#include "data/failure.h"
#include "data/locations.h"
#include "data/user_rights.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <optional>

namespace tv::app {

namespace {

const QString kUsersTable = QStringLiteral("System Users");
const QString kDataFile = QStringLiteral("Data.mdb");
constexpr int kDataFileMisspelt = 9060;
constexpr int kPasswordNotHashed = 9132;
constexpr int kPasswordColumn = 9;  // 0-based ordinal in "System Users"

// Opens "System Users" positioned on the user's row; a closed record set when the table
// cannot be opened, NoMatch set when the user is unknown.
engine::Recordset seekUser(const QString& userId, bool* found) {
    *found = false;
    engine::Recordset rs = data::OpenTable(kUsersTable);
    if (!rs.IsOpen()) return rs;
    (void)data::attempt([&] {
        rs.Seek(QStringLiteral("="), tv::Variant(userId));
        *found = !rs.NoMatch();
    });
    return rs;
}

}  // namespace

bool folderHoldsDataDb(const QString& folder) {
    return data::LocationHoldsDatabase(folder, kDataFile, false);
}

void reportNoDataDb(const QString& folder, int missing, const QString& extra) {
    if (engine::IsServerLocation(folder)) {
        (void)data::LocationHoldsDatabase(folder, kDataFile, true);
        return;
    }
    if (!folder.trimmed().isEmpty()) {
        const QDir dir(normalizePath(folder));
        // Name filters compare ignoring case unless asked otherwise.
        const QStringList similar = dir.entryList({kDataFile}, QDir::Files | QDir::Hidden);
        if (!similar.isEmpty()) {
            data::ShowMessage(kDataFileMisspelt,
                              QDir::toNativeSeparators(dir.filePath(similar.first())));
            return;
        }
    }
    data::ShowMessage(missing, extra);
}

void forgetDataDbElsewhere() {
    data::AppState& st = data::state();
    if (!st.DataOpen) return;
    const QString openFolder = parentFolder(st.DataDb.Name());
    if (engine::IsServerLocation(st.DataLocation)
            ? st.DataDb.Name() == joinPath(st.DataLocation, kDataFile)
            : QFileInfo(openFolder) == QFileInfo(normalizePath(st.DataLocation)))
        return;
    (void)data::attempt([&] {
        if (st.DataDb.IsOpen()) st.DataDb.Close();
    });
    st.DataOpen = false;
}

void recordSignIn(const QString& userId) {
    data::AppState& st = data::state();
    // Deleting through the data layer tidies up related rows from now on.
    data::InstallBusinessRules();

    st.ApplicationName = Setting(keys::ApplicationName);
    if (st.ApplicationName.isEmpty()) {
        st.ApplicationName = kDefaultApplicationName;
        SaveSetting(keys::ApplicationName, st.ApplicationName);
    }

    // A stored value that is not a number leaves the default placement.
    st.WindowPlacementMode = 0;
    (void)data::attempt([&] { st.WindowPlacementMode = SettingInt(keys::StartFormsAtTop); });

    SaveSetting(keys::UserId, userId);

    st.FilesLocation = Setting(keys::FilesLocation);
    st.FilesFolderReported = false;

    // The first look into the site's files: a server site without its folder hears it here.
    const QString icon = data::siteFile(QStringLiteral("Pictures/tvMouse.ico"));
    if (!icon.isEmpty() && QFileInfo(icon).isFile() && !QImage(icon).isNull()) {
        st.BusyPointer = data::kPointerCustom;
        st.BusyIconPath = icon;
    } else {
        st.BusyPointer = data::kPointerHourglass;
        st.BusyIconPath.clear();
    }
}

bool storePassword(const QString& userId, const QString& newPassword) {
    // Hashed first: a failure leaves the row untouched.
    const std::optional<QString> hash = data::hashPassword(newPassword);
    if (!hash) {
        data::ShowMessage(kPasswordNotHashed);
        return false;
    }
    bool found = false;
    engine::Recordset rs = seekUser(userId, &found);
    if (!rs.IsOpen()) return false;
    if (!found) {
        rs.Close();
        data::ShowMessage(7);
        return false;
    }
    const std::optional<data::Failure> failed = data::attempt([&] {
        rs.Edit();
        rs.FieldAt(kPasswordColumn).SetValue(tv::Variant(*hash));
        rs.Update();
    });
    if (failed) {
        (void)data::attempt([&] {
            if (rs.EditModeNow() != engine::EditMode::None) rs.CancelUpdate();
        });
    }
    rs.Close();
    if (failed) {
        data::ShowMessage(106, data::errorTail(*failed));
        return false;
    }
    return true;
}

}  // namespace tv::app
