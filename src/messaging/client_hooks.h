// What the message client asks of the window layer above it: a numbered status text in
// the main window's status bar, and opening a file with the desktop's program for it.
// This library has no widgets, so the window layer plugs its own routines in here; until
// it does, status texts go nowhere and files open through QDesktopServices.
#pragma once

#include <QString>
#include <functional>

namespace tv::messaging {

// Shows status message `number` (908 after a local delivery, 909 after an outbox message
// is removed). The main window installs its ShowStatusMessage.
using StatusReporter = std::function<void(int number)>;
// An empty reporter puts back the default, which shows nothing.
void setStatusReporter(StatusReporter reporter);
void reportStatus(int number);

// Opens an existing file with the program the desktop associates with it; reports its own
// failures and returns false on one.
using DocumentOpener = std::function<bool(const QString& path)>;
// An empty opener puts back the desktop one.
void setDocumentOpener(DocumentOpener opener);
bool openDocument(const QString& path);

// The default opener: QDesktopServices; a refusal shows message 701 with the path.
bool openWithDesktop(const QString& path);

}  // namespace tv::messaging
