#include "forms/options/options_windows.h"

#include "forms/framework/record_catalogue.h"
#include "forms/options/options_window.h"

namespace tv::forms {

void registerOptionsWindows() {
    registerWindow(QStringLiteral("Options"),
                   [](QWidget* main) { return new OptionsWindow(main); });
}

}  // namespace tv::forms
