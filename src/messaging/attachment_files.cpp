#include "messaging/attachment_files.h"

#include "core/paths.h"
#include "data/locations.h"
#include "engine/server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tv::messaging {

namespace {

bool onlyDots(const QString& name) {
    for (QChar c : name)
        if (c != u'.') return false;
    return true;
}

// The same file: the same path, or (both existing) the same file behind links.
bool sameFile(const QString& a, const QString& b) {
    const QFileInfo first(a);
    const QFileInfo second(b);
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    if (QDir::cleanPath(first.absoluteFilePath())
            .compare(QDir::cleanPath(second.absoluteFilePath()), cs) == 0)
        return true;
    return first.exists() && second.exists() &&
           first.canonicalFilePath() == second.canonicalFilePath();
}

// A link (or a Windows junction) standing where the Temp folder should be: it is never
// followed, so no copy lands and no attachment is opened in the place it points to.
bool isLink(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() || info.isJunction();
}

}  // namespace

QString TempFileName(const QString& path) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (tv::isPathSeparator(path.at(i))) start = i + 1;
    }
    const QString name = path.mid(start);
    if (name.isEmpty() || onlyDots(name)) return QString();
#ifdef Q_OS_WIN
    if (name.contains(u':')) return QString();  // "c:name" is relative to another folder
#endif
    return name;
}

QString TempFolder(const QString& postOfficeFolder) {
    // A post office on a database server has no folder: its attachments live in the
    // site's files folder, which every workstation reaches.
    const QString folder = engine::IsServerLocation(postOfficeFolder) ? data::siteFilesFolder()
                                                                       : postOfficeFolder;
    if (folder.trimmed().isEmpty()) return QString();
    return tv::joinPath(folder, QStringLiteral("Temp"));
}

QString TempFilePath(const QString& postOfficeFolder, const QString& fileName) {
    const QString name = TempFileName(fileName);
    if (name.isEmpty()) return QString();
    const QString folder = TempFolder(postOfficeFolder);
    if (folder.isEmpty() || isLink(folder)) return QString();
    const QString path = tv::joinPath(folder, name);
    // A second look at the result: the file's folder must be the Temp folder itself.
    if (QDir::cleanPath(QFileInfo(path).absolutePath()) !=
        QDir::cleanPath(QFileInfo(folder).absoluteFilePath()))
        return QString();
    return path;
}

std::optional<QString> CopyIntoTemp(const QString& postOfficeFolder, const QString& source) {
    const QString folder = TempFolder(postOfficeFolder);
    if (folder.isEmpty())
        return QStringLiteral("The post office is on a database server and no files folder is "
                              "set for its attachments (Options, Files Folder).");
    if (isLink(folder))
        return QStringLiteral("The post office's Temp folder %1 is a link to another place; "
                              "Tolvarine does not copy attachments through it.")
            .arg(QDir::toNativeSeparators(folder));
    const QString target = TempFilePath(postOfficeFolder, source);
    if (target.isEmpty()) return QStringLiteral("The file name cannot be used in the post office.");
    if (sameFile(source, target)) return std::nullopt;

    if (!QDir().mkpath(folder))
        return QStringLiteral("The folder %1 cannot be created.")
            .arg(QDir::toNativeSeparators(folder));

    // QFile::copy refuses an existing target; and a link left there must not be followed.
    const QFileInfo existing(target);
    if (existing.exists() || existing.isSymLink()) {
        QFile old(target);
        if (!old.remove()) return old.errorString();
    }
    QFile file(source);
    if (!file.copy(target)) return file.errorString();
    return std::nullopt;
}

}  // namespace tv::messaging
