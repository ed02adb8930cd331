#include "forms/reports/reports_windows.h"

#include "forms/framework/record_catalogue.h"
#include "forms/framework/status.h"
#include "forms/reports/report_def.h"
#include "forms/reports/report_preview.h"
#include "forms/reports/run_report.h"
#include "reports/report_engine.h"

#include <QApplication>

namespace tv::forms {

namespace {

// The screen destination: the report's own preview window, titled as the engine was
// told, from which the user can also print.
void showPreview(const reports::PreviewRequest& request) {
    ReportPreview preview(request, QApplication::activeWindow());
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
