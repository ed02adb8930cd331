// The folder a site keeps its pictures, report files and attachments in (locations.h).
#include "core/paths.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/locations.h"
#include "engine/server.h"

#include <QDir>
#include <QFileInfo>

namespace tv::data {

namespace {
constexpr int kFilesFolderNotSet = 9190;
constexpr int kFilesFolderMissing = 9191;

// The folder as written, less trailing separators (a root such as "/" or "c:\" keeps its
// own), so that callers append "/name".
QString withoutTrailingSeparator(QString folder) {
    while (folder.size() > 1 && tv::isPathSeparator(folder.back()) &&
           folder.at(folder.size() - 2) != u':')
        folder.chop(1);
    return folder;
}
}  // namespace

QString siteFilesFolder(bool userAsked) {
    AppState& st = state();
    if (!engine::IsServerLocation(st.DataLocation))
        return withoutTrailingSeparator(st.DataLocation);

    QString folder = st.FilesLocation.trimmed();
    if (folder.isEmpty() && !st.DefinitionsLocation.trimmed().isEmpty() &&
        !engine::IsServerLocation(st.DefinitionsLocation))
        folder = st.DefinitionsLocation.trimmed();
    folder = withoutTrailingSeparator(folder);
    if (isFilesFolder(folder)) return folder;
    if (userAsked || !st.FilesFolderReported) {
        // Set first: the message box may itself paint a picture that asks again.
        st.FilesFolderReported = true;
        if (folder.isEmpty())
            ShowMessage(kFilesFolderNotSet);
        else
            ShowMessage(kFilesFolderMissing, QDir::toNativeSeparators(folder));
    }
    return QString();
}

bool isFilesFolder(const QString& folder) {
    // A server location typed where a folder belongs is no folder either.
    return !folder.trimmed().isEmpty() && !engine::IsServerLocation(folder) &&
           QFileInfo(tv::normalizePath(folder.trimmed())).isDir();
}

QString siteFile(const QString& relative, bool userAsked) {
    const QString folder = siteFilesFolder(userAsked);
    return folder.isEmpty() ? QString() : tv::joinPath(folder, relative);
}

}  // namespace tv::data
