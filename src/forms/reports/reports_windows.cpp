#include "forms/reports/reports_windows.h"

#include "forms/framework/record_catalogue.h"
#include "forms/framework/status.h"
#include "forms/reports/report_def.h"
#include "forms/reports/run_report.h"
#include "reports/report_engine.h"

#include <QApplication>
#include <QScreen>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace tv::forms {

namespace {

// The screen destination: Qt's print preview, titled as the engine was told, from which
// the user can also print.
void showPreview(const reports::PreviewRequest& request) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(request.layout);
    printer.setDocName(request.title);
    QPrintPreviewDialog preview(&printer, QApplication::activeWindow());
    preview.setWindowTitle(request.title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&request](QPrinter* target) { request.paint(target); });
    // A page's width readable at once; maximised as well when the runner asks.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        preview.resize(screen->availableSize() * 0.8);
    if (request.maximized) preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
    preview.exec();
}

}  // namespace

void registerReportWindows() {
    registerRecordWindow(QStringLiteral("ReportDef"), [] { return new ReportDef(); });
    registerWindow(QStringLiteral("RunReport"), [](QWidget* mainWindow) { return new RunReport(mainWindow); });
    reports::setPreviewHandler(showPreview);
    reports::setStatusReporter([](int number) { ShowStatusMessage(number); });
}

}  // namespace tv::forms
