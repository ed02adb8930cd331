#include "reports/report_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tv::reports {

int installReportFiles(const QString& sourceFolder, const QString& dataFolder, QString* error) {
    const QDir source(sourceFolder);
    if (!source.exists()) {
        if (error) *error = QStringLiteral("%1 is not a folder of report files").arg(sourceFolder);
        return -1;
    }
    int copied = 0;
    for (const QFileInfo& file : source.entryInfoList({QStringLiteral("*.rpt")}, QDir::Files, QDir::Name)) {
        const QString target = dataFolder + u'/' + file.fileName();
        if (QFileInfo::exists(target)) continue;
        if (!QFile::copy(file.filePath(), target)) {
            if (error) *error = QStringLiteral("cannot copy %1 to %2").arg(file.filePath(), target);
            return -1;
        }
        // The copy is the site's own from now on: writable whatever the source was.
        QFile(target).setPermissions(QFile(target).permissions() | QFileDevice::WriteOwner);
        ++copied;
    }
    return copied;
}

}  // namespace tv::reports
