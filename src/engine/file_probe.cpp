// Recognising database files by their header.
#include "engine/file_probe.h"

#include "engine/errors.h"

#include <QFile>
#include <QFileInfo>

namespace tv::engine {

FileKind probeFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return FileKind::Missing;
    if (!info.isFile()) return FileKind::NotAFile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return FileKind::Unreadable;
    const QByteArray header = file.read(32);
    if (header.isEmpty()) return FileKind::Empty;
    if (header.left(16) == QByteArray("SQLite format 3\0", 16)) return FileKind::Sqlite;
    const QByteArray jet = header.mid(4, 15);
    if (jet == "Standard Jet DB" || jet == "Standard ACE DB") return FileKind::LegacyJet;
    return FileKind::Unknown;
}

void requireSqliteFile(const QString& path, int otherError) {
    switch (probeFile(path)) {
        case FileKind::Missing:
            fail(err::kFileNotFound, path);
        case FileKind::NotAFile:
        case FileKind::Unreadable:
            fail(err::kCannotOpenFile, path);
        case FileKind::LegacyJet:
            fail(err::kLegacyJetFile, path);
        case FileKind::Empty:
        case FileKind::Unknown:
            fail(otherError, path);
        case FileKind::Sqlite:
            return;
    }
}

}  // namespace tv::engine
