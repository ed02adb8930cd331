// tolvarine-admin: prepares and inspects the program's database folders from a shell.
// Subcommands: create (optionally with a demo company), check, query, setting, print, help.
// Exit codes: 0 done, 1 engine or data error, 2 usage error.
#include "commands.h"
#include "console.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstring>
#include <exception>
#include <memory>

int main(int argc, char** argv) {
    // Printing lays text out with fonts, which needs the GUI application object; without
    // a screen it runs on the offscreen platform.
    const bool printing = argc > 1 && std::strcmp(argv[1], "print") == 0;
    if (printing && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app(printing ? new QGuiApplication(argc, argv)
                                                         : new QCoreApplication(argc, argv));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) return tv::admin::usageError(QStringLiteral("no command given"));

    const QString command = args.takeFirst();
    try {
        if (command == QLatin1String("create")) return tv::admin::runCreate(args);
        if (command == QLatin1String("query")) return tv::admin::runQuery(args);
        if (command == QLatin1String("setting")) return tv::admin::runSetting(args);
        if (command == QLatin1String("check")) return tv::admin::runCheck(args);
        if (command == QLatin1String("copy")) return tv::admin::runCopy(args);
        if (command == QLatin1String("print")) return tv::admin::runPrint(args);
        if (command == QLatin1String("help") || command == QLatin1String("--help") ||
            command == QLatin1String("-h")) {
            tv::admin::printUsage(false);
            return tv::admin::kExitOk;
        }
    } catch (const std::exception& e) {
        // The commands catch what they expect; this is the last guard of the process.
        tv::admin::err() << command << ": " << QString::fromUtf8(e.what()) << Qt::endl;
        return tv::admin::kExitDataError;
    }
    return tv::admin::usageError(QStringLiteral("unknown command \"%1\"").arg(command));
}
