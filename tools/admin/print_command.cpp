// print: renders a report file of a data folder without the program's windows, so a site
// can produce documents from a script: to a PDF file, a CSV file of its detail rows, or a
// printer (the named one, else the default).
#include "commands.h"
#include "console.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "engine/engine.h"
#include "reports/report_engine.h"

#include <QDir>
#include <QFileInfo>

namespace tv::admin {
namespace {

// Message boxes become lines on standard error ("Print: The report file could not be
// found: ..."); nobody is there to answer them.
class ConsolePrompter : public data::DefaultPrompter {
public:
    int messageBox(const QString& title, const QString& text, int style) override {
        err() << title << ": " << QString(text).replace(QStringLiteral("\n\n"), QStringLiteral(" ")).replace(u'\n', u' ')
              << Qt::endl;
        return data::msgbox::dismissAnswer(style);
    }
    void setPointer(int, const QString&) override {}
};

}  // namespace

int runPrint(const QStringList& args) {
    QString folder, report, formula, pdf, csv, printer;
    bool toPrinter = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto value = [&](QString& into) {
            if (++i == args.size()) return false;
            into = args[i];
            return true;
        };
        if (arg == QLatin1String("--formula")) {
            if (!value(formula)) return usageError(QStringLiteral("--formula needs a formula"));
        } else if (arg == QLatin1String("--pdf")) {
            if (!value(pdf)) return usageError(QStringLiteral("--pdf needs a file"));
        } else if (arg == QLatin1String("--csv")) {
            if (!value(csv)) return usageError(QStringLiteral("--csv needs a file"));
        } else if (arg == QLatin1String("--printer")) {
            if (!value(printer)) return usageError(QStringLiteral("--printer needs a printer name"));
            toPrinter = true;
        } else if (arg.startsWith(u'-')) {
            return usageError(QStringLiteral("print: unknown option \"%1\"").arg(arg));
        } else if (folder.isEmpty()) {
            folder = arg;
        } else if (report.isEmpty()) {
            report = arg;
        } else {
            return usageError(QStringLiteral("print: one folder and one report file only"));
        }
    }
    if (report.isEmpty()) return usageError(QStringLiteral("print needs a data folder and a report file"));
    if (int(!pdf.isEmpty()) + int(!csv.isEmpty()) + int(toPrinter) > 1)
        return usageError(QStringLiteral("print: choose one of --pdf, --csv and --printer"));

    ConsolePrompter console;
    data::setPrompter(&console);
    data::AppState& app = data::state();
    app.DataLocation = QDir(folder).absolutePath();
    app.DefinitionsLocation = app.DataLocation;
    int exitCode = kExitOk;
    try {
        app.DefinitionsDb = engine::Engine::instance().OpenDatabase(app.DataLocation + QStringLiteral("/Definitions.mdb"), true);
        app.MessagesRs = app.DefinitionsDb.OpenRecordset(QStringLiteral("Messages"));
        app.MessagesRs.SetIndex(QStringLiteral("PrimaryKey"));
        app.DataDb = engine::Engine::instance().OpenDatabase(app.DataLocation + QStringLiteral("/Data.mdb"), true);
        app.DataOpen = true;

        reports::ReportEngine engine;
        engine.setReportFileName(QFileInfo(report).isAbsolute() ? report : app.DataLocation + u'/' + report);
        engine.setSelectionFormula(formula);
        if (!pdf.isEmpty() || !csv.isEmpty()) {
            engine.setDestination(static_cast<int>(reports::Destination::File));
            engine.setPrintFileName(pdf.isEmpty() ? csv : pdf);
            engine.setPrintFileType(pdf.isEmpty() ? QStringLiteral("csv") : QStringLiteral("pdf"));
        } else {
            engine.setDestination(static_cast<int>(reports::Destination::Printer));
            engine.setPrinterName(printer);
        }
        if (engine.PrintReport() != reports::kStatusFinished) {
            exitCode = kExitDataError;
        } else if (!csv.isEmpty()) {
            out() << "Wrote the report's rows to " << QDir::toNativeSeparators(csv) << Qt::endl;
        } else {
            out() << "Printed " << engine.pagesPrinted() << (engine.pagesPrinted() == 1 ? " page" : " pages")
                  << (pdf.isEmpty() ? QString() : QStringLiteral(" to ") + QDir::toNativeSeparators(pdf))
                  << Qt::endl;
        }
    } catch (const engine::DbError& e) {
        err() << "Error " << e.number() << ": " << e.text() << Qt::endl;
        exitCode = kExitDataError;
    }
    app.reset();
    data::setPrompter(nullptr);
    return exitCode;
}

}  // namespace tv::admin
