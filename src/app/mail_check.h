// The main window's new-mail check, behind one replaceable function: -1 when the
// signed-in user's inbox is empty or the post office cannot be read, 0 when it holds
// messages none of which is unread, 1 when at least one is unread. The program uses the
// message client's check; tests put in their own.
#pragma once

#include <functional>

namespace tv::app {

using MailCheck = std::function<int()>;

// Installs a check; an empty one puts back the message client's.
void setMailCheck(MailCheck check);
int checkForMail();

}  // namespace tv::app
