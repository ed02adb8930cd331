#include "forms/activities/activities_windows.h"

#include "forms/activities/activity_window.h"
#include "forms/activities/schedule_window.h"
#include "forms/framework/record_catalogue.h"

namespace tv::forms {

void registerActivityWindows() {
    registerRecordWindow(QStringLiteral("Activity"), [] { return new ActivityWindow(); });
    registerRecordWindow(QStringLiteral("Schedule"), [] { return new ScheduleWindow(); });
}

}  // namespace tv::forms
