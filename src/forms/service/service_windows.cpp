#include "forms/service/service_windows.h"

#include "forms/framework/record_catalogue.h"
#include "forms/service/request_window.h"

namespace tv::forms {

void registerServiceWindows() {
    // Service requests, open and completed.
    registerRecordWindow(QStringLiteral("Request"), [] { return new RequestWindow(); });
}

}  // namespace tv::forms
