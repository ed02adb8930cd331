#include "forms/framework/documents.h"

#include "data/access.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace tv::forms {

namespace {

constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kInvalidApplication = 11;
constexpr int kTimedOut = 28;
constexpr int kNoAssociation = 31;

// How long the print command may take to queue a file.
constexpr int kPrintStartMs = 5000;
constexpr int kPrintFinishMs = 15000;

DocumentShell*& installedShell() {
    static DocumentShell* shell = nullptr;
    return shell;
}

DocumentShell& shell() {
    static DesktopShell desktop;
    DocumentShell* installed = installedShell();
    return installed ? *installed : desktop;
}

ShellFailure failure(int code) { return ShellFailure{code, shellReason(code)}; }

}  // namespace

QString shellReason(int code) {
    switch (code) {
        case 0:
            return QStringLiteral("Out of memory");
        case 2:
            return QStringLiteral("File not found");
        case 3:
            return QStringLiteral("Path not found");
        case 11:
            return QStringLiteral("Associated EXE is invalid");
        case 26:
            return QStringLiteral("Sharing violation");
        case 27:
            return QStringLiteral("File name association is incomplete or invalid");
        case 28:
            return QStringLiteral("DDE timed out");
        case 29:
            return QStringLiteral("DDE failed");
        case 30:
            return QStringLiteral("DDE could not be completed");
        case 31:
            return QStringLiteral("No application associated with this file");
        default:
            return QString();
    }
}

std::optional<ShellFailure> DesktopShell::open(const QString& path) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return std::nullopt;
    return failure(kNoAssociation);
}

std::optional<ShellFailure> DesktopShell::print(const QString& path) {
    const QString lp = QStandardPaths::findExecutable(QStringLiteral("lp"));
    if (lp.isEmpty()) return failure(kNoAssociation);
    QProcess process;
    process.start(lp, {QStringLiteral("--"), path});
    if (!process.waitForStarted(kPrintStartMs)) return failure(kInvalidApplication);
    if (!process.waitForFinished(kPrintFinishMs)) {
        process.kill();
        process.waitForFinished();
        return ShellFailure{kTimedOut, QStringLiteral("The print command did not finish")};
    }
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return std::nullopt;
    // The print command's own words say why (no printer, scheduler not running ...).
    QString reason = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    reason = reason.section(u'\n', 0, 0);
    if (reason.isEmpty()) reason = QStringLiteral("The print command failed");
    return ShellFailure{process.exitCode(), reason};
}

DocumentShell* setDocumentShell(DocumentShell* shell) {
    DocumentShell* before = installedShell();
    installedShell() = shell;
    return before;
}

std::int16_t OpenDocument(const QString& path, bool printIt) {
    std::optional<ShellFailure> failed;
    const QFileInfo file(path);
    if (path.trimmed().isEmpty() || !file.isFile()) {
        failed = failure(!path.trimmed().isEmpty() && !file.absoluteDir().exists() ? kPathNotFound
                                                                                   : kFileNotFound);
    } else {
        failed = printIt ? shell().print(path) : shell().open(path);
    }
    if (failed) {
        data::ShowMessage(701, QStringLiteral("\n\n") + path + QStringLiteral(" (") +
                                   failed->reason + u'(' + QString::number(failed->code) +
                                   QStringLiteral("))."));
    }
    return -1;
}

}  // namespace tv::forms
