#include "forms/diary/diary_windows.h"

#include "forms/diary/diary_window.h"
#include "forms/framework/record_catalogue.h"

namespace tv::forms {

void registerDiaryWindows() {
    registerWindow(QStringLiteral("Diary"), [](QWidget*) { return new DiaryWindow(); });
}

}  // namespace tv::forms
