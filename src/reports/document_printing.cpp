#include "reports/document_printing.h"

#include "core/settings_keys.h"
#include "data/app_state.h"
#include "data/locations.h"
#include "data/prompter.h"
#include "engine/engine.h"
#include "reports/report_engine.h"

namespace tv::reports {

namespace {

constexpr int kPrintingStatus = 913;
constexpr int kPrintedStatus = 914;

// The report file in the site's files folder (the separator the folder already uses, or
// "/"); the bare name when a server site has no files folder (told once), so that the
// report's own "not found" names the file.
QString reportPath(const QString& file) {
    const QString folder = data::siteFilesFolder(true);
    if (folder.isEmpty()) return file;
    return folder + (folder.contains(u'\\') && !folder.contains(u'/') ? u'\\' : u'/') + file;
}

// Steps 3 to 5: status, report file, formula.
void prepare(ReportEngine& engine, Document document, const QString& key) {
    reportStatus(kPrintingStatus);
    engine.setReportFileName(reportPath(documentReport(document).file));
    engine.setSelectionFormula(documentFormula(document, key));
}

}  // namespace

DocumentReport documentReport(Document document) {
    switch (document) {
        case Document::Quotation:
            return {QStringLiteral("Quote.rpt"), QStringLiteral("{Quotations Detail.QuoteNo} = "), false};
        case Document::Invoice:
            return {QStringLiteral("Invoice.rpt"), QStringLiteral("{Sales Orders Detail.OrderNo} = "), false};
        case Document::PurchaseOrder:
            return {QStringLiteral("POrder.rpt"), QStringLiteral("{Purchase Orders Detail.OrderNo} = "), false};
        case Document::JobSheet:
            return {QStringLiteral("Jobsheet.rpt"), QStringLiteral("{Current Requests.RequestNo} = "), false};
        case Document::CompletedJobSheet:
            return {QStringLiteral("Jobsht2.rpt"), QStringLiteral("{Completed Requests.RequestNo} = "), false};
        case Document::Contract:
            return {QStringLiteral("contract.rpt"), QStringLiteral("{Service Contracts.ContractId} = "), true};
        case Document::ReturnedGoods:
            return {QStringLiteral("RMA.rpt"), QStringLiteral("{RMA Items.RMANo} = "), false};
        case Document::InventoryItem:
            return {QStringLiteral("citem.rpt"), QStringLiteral("{Customer Inventory.ItemId} = "), true};
        case Document::CarePlan:
            return {QStringLiteral("careplan.rpt"), QStringLiteral("{Customer Care Plans.Plan Name} = "), true};
        case Document::CallScript:
            return {QStringLiteral("script.rpt"), QStringLiteral("{Scripts Detail.Script Name} = "), true};
        case Document::KnownProblem:
            return {QStringLiteral("problem.rpt"), QStringLiteral("{Known Problems.ProblemNo} = "), false};
    }
    return {};
}

QString documentFormula(Document document, const QString& key) {
    const DocumentReport report = documentReport(document);
    // The formula's texts quote as the dialect's do, so the one quoting helper serves both.
    return report.formula + (report.textKey ? engine::quoteLiteral(key) : key.trimmed());
}

Document requestDocument(const QString& tableName) {
    return tableName.compare(QLatin1String("Completed Requests"), Qt::CaseInsensitive) == 0
               ? Document::CompletedJobSheet
               : Document::JobSheet;
}

bool PrintDocument(Document document, const QString& key, const QString& caption, ReportEngine* engine) {
    if (key.isEmpty()) return false;
    ReportEngine& report = engine ? *engine : reportEngine();
    const data::AppState& app = data::state();
    data::prompter().setPointer(app.BusyPointer, app.BusyIconPath);
    prepare(report, document, key);
    if (SettingInt(keys::PrintPreview) != 0) {
        report.setDestination(static_cast<int>(Destination::Screen));
        report.setWindowTitle(caption);
    } else {
        report.setDestination(static_cast<int>(Destination::Printer));
    }
    const bool printed = report.PrintReport() == kStatusFinished;
    reportStatus(kPrintedStatus);
    data::prompter().setPointer(data::kPointerDefault);
    return printed;
}

int PrintInvoices(const QStringList& orderNumbers, ReportEngine* engine) {
    ReportEngine& report = engine ? *engine : reportEngine();
    const data::AppState& app = data::state();
    data::prompter().setPointer(app.BusyPointer, app.BusyIconPath);
    int printed = 0;
    report.setDestination(static_cast<int>(Destination::Printer));
    report.setWindowTitle(QString());
    for (const QString& order : orderNumbers) {
        if (order.trimmed().isEmpty()) break;
        prepare(report, Document::Invoice, order);
        if (report.PrintReport() == kStatusFinished) ++printed;
        reportStatus(kPrintedStatus);
    }
    data::prompter().setPointer(data::kPointerDefault);
    return printed;
}

}  // namespace tv::reports
