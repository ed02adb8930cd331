// The messaging area's windows in the window catalogue: the inbox, the outbox, the send
// window and the mail-folder window (olInbox), opened by name from the main window's
// commands and from the record windows. The message window is opened by the inbox.
#pragma once

namespace tv::forms {

// Registers the area's windows, and lets the message client open attachments through
// the program's one document opener; run once at start-up, and by tests.
void registerMessageWindows();

}  // namespace tv::forms
