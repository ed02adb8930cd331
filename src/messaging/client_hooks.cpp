#include "messaging/client_hooks.h"

#include "data/access.h"

#include <QDesktopServices>
#include <QUrl>

namespace tv::messaging {

namespace {

StatusReporter& reporterSlot() {
    static StatusReporter reporter;
    return reporter;
}

DocumentOpener& openerSlot() {
    static DocumentOpener opener;
    return opener;
}

}  // namespace

void setStatusReporter(StatusReporter reporter) { reporterSlot() = std::move(reporter); }

void reportStatus(int number) {
    if (const StatusReporter& reporter = reporterSlot()) reporter(number);
}

void setDocumentOpener(DocumentOpener opener) { openerSlot() = std::move(opener); }

bool openDocument(const QString& path) {
    const DocumentOpener& opener = openerSlot();
    return opener ? opener(path) : openWithDesktop(path);
}

bool openWithDesktop(const QString& path) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return true;
    data::ShowMessage(701, QStringLiteral("\n\n") + path +
                               QStringLiteral(" (no program is associated with this file)."));
    return false;
}

}  // namespace tv::messaging
