// Tolvarine: the desktop customer-management program. Everything starts at the sign-in
// window.
#include "app/app_icon.h"
#include "app/qt_prompter.h"
#include "app/startup.h"
#include "core/regional.h"
#include "data/prompter.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvarine"));
    QApplication::setWindowIcon(tv::app::applicationIcon());

    tv::pinRegional(tv::RegionalSettings::fromSystemLocale());

    tv::app::QtPrompter prompter;
    tv::data::setPrompter(&prompter);
    const int code = tv::app::runProgram();
    tv::data::setPrompter(nullptr);
    return code;
}
