#include "reports/report_engine.h"

#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/locations.h"
#include "data/prompter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace tv::reports {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("tv::reports", text); }

constexpr int kMissingFileMessage = 9011;
constexpr int kDamagedFileMessage = 9012;
constexpr int kNoPrinterMessage = 9013;
constexpr int kFormulaMessage = 9100;
constexpr int kQueryMessage = 9101;
constexpr int kNoRowsMessage = 9102;
constexpr int kOutputFileMessage = 9103;
constexpr int kPrinterFailedMessage = 9104;
constexpr int kNoPreviewMessage = 9105;

PreviewHandler& previewHandler() {
    static PreviewHandler handler;
    return handler;
}

StatusReporter& statusReporter() {
    static StatusReporter reporter;
    return reporter;
}

QString formulaProblem(const QString& what, const QString& text, const FormulaError& e) {
    QString extra = what + u' ' + e.describe() + u'.';
    if (!text.trimmed().isEmpty()) extra += QStringLiteral("\n\n") + text.trimmed();
    return extra;
}

// The company's details from the definitions (OPTION LISTS, list "Company"), read once
// per key and run.
class CompanyDetails {
public:
    explicit CompanyDetails(engine::Database* definitions) : db_(definitions) {}
    QString operator()(const QString& key) {
        const auto it = cache_.find(key);
        if (it != cache_.end()) return it->second;
        QString value;
        if (db_ && db_->IsOpen()) {
            try {
                engine::Recordset rs = db_->OpenRecordset(
                    QStringLiteral("SELECT [VALUE] FROM [OPTION LISTS] WHERE [LIST NAME] = 'Company' "
                                   "AND [OPTION] = ") +
                        engine::quoteLiteral(key),
                    engine::RecordsetType::Snapshot);
                if (!rs.EOF_()) value = tv::TextOf(rs[0]);
            } catch (const engine::DbError&) {
                // A definitions file without the list prints the report without the details.
            }
        }
        cache_[key] = value;
        return value;
    }

private:
    engine::Database* db_;
    std::map<QString, QString, CaseInsensitiveLess> cache_;
};

}  // namespace

void setPreviewHandler(PreviewHandler handler) { previewHandler() = std::move(handler); }

void setStatusReporter(StatusReporter reporter) { statusReporter() = std::move(reporter); }

void reportStatus(int number) {
    if (statusReporter()) statusReporter()(number);
}

void ReportEngine::setDestination(int destination) {
    destination_ = destination == 1 ? Destination::Printer
                   : destination == 2 ? Destination::File
                                      : Destination::Screen;
}

void ReportEngine::setFormula(const QString& name, const QString& assignment) {
    QString text = assignment.trimmed();
    // "criteria='...'" names itself; a bare formula is taken as it is.
    const qsizetype eq = text.indexOf(u'=');
    if (eq > 0 && text.left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0) text = text.mid(eq + 1);
    formulas_[name] = text;
}

void ReportEngine::reset() { *this = ReportEngine(); }

int ReportEngine::fail(int message, const QString& extra) {
    lastError_ = extra;
    status_ = kStatusFailed;
    data::ShowMessage(message, extra);
    return status_;
}

int ReportEngine::PrintReport() {
    status_ = kStatusRunning;
    pages_ = 0;
    lastError_.clear();

    ReportDefinition report;
    try {
        report = readReportFile(reportFileName_);
    } catch (const ReportFileError& e) {
        return fail(e.kind() == ReportFileError::Kind::Missing ? kMissingFileMessage : kDamagedFileMessage,
                    e.detail());
    }

    RenderContext context;
    FormulaPtr selection;
    try {
        selection = parseFormula(selectionFormula_);
    } catch (const FormulaError& e) {
        return fail(kFormulaMessage, formulaProblem(tr("The record-selection formula"), selectionFormula_, e));
    }
    for (const auto& [name, text] : formulas_) {
        try {
            FormulaPtr f = parseFormula(text);
            context.formulas[name] = f ? f : parseFormula(QStringLiteral("''"));
        } catch (const FormulaError& e) {
            return fail(kFormulaMessage, formulaProblem(tr("The formula {@%1}").arg(name), text, e));
        }
    }

    engine::Database* data = sources_.data;
    if (!data) {
        // The data layer has said why when Data.mdb cannot be opened.
        if (!data::OpenDataDatabase()) {
            status_ = kStatusFailed;
            lastError_ = tr("the data database cannot be opened");
            return status_;
        }
        data = &data::state().DataDb;
    }
    engine::Database* definitions = sources_.definitions ? sources_.definitions : &data::state().DefinitionsDb;
    context.dataFolder = sources_.dataFolder.isEmpty() ? data::siteFilesFolder() : sources_.dataFolder;
    context.printDate = data::prompter().now();
    auto company = std::make_shared<CompanyDetails>(definitions);
    context.company = [company](const QString& key) { return (*company)(key); };

    ReportRows rows;
    try {
        rows = readReportRows(report, selection, *data);
    } catch (const FormulaError& e) {
        return fail(kFormulaMessage, formulaProblem(QFileInfo(reportFileName_).fileName() + u':', selectionFormula_, e));
    } catch (const engine::DbError& e) {
        return fail(kQueryMessage, QStringLiteral("\n\n%1 (%2)").arg(e.text()).arg(e.number()));
    }
    if (rows.rows.empty()) {
        return fail(kNoRowsMessage, selectionFormula_.trimmed().isEmpty() ? QFileInfo(reportFileName_).fileName()
                                                                          : selectionFormula_.trimmed());
    }

    const QString title = windowTitle_.isEmpty() ? report.title : windowTitle_;
    // With no printer at all, a report meant for the default printer is shown in the
    // preview instead, whose Print dialog can still write a PDF file: a dead end otherwise.
    Destination destination = destination_;
    if (destination == Destination::Printer && printerOutputFile_.isEmpty() && printerName_.isEmpty() &&
        QPrinterInfo::defaultPrinter().isNull() && previewHandler())
        destination = Destination::Screen;
    try {
        switch (destination) {
            case Destination::File: {
                QString type = printFileType_.toLower();
                if (type.isEmpty()) type = QFileInfo(printFileName_).suffix().toLower();
                QFile file(printFileName_);
                if (printFileName_.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                    return fail(kOutputFileMessage, printFileName_);
                if (type == QLatin1String("csv") || type == QLatin1String("txt")) {
                    writeDetailText(report, rows, context,
                                    type == QLatin1String("csv") ? TextFormat::Csv : TextFormat::Tabbed, file);
                    if (!file.flush() || file.error() != QFileDevice::NoError)
                        return fail(kOutputFileMessage, printFileName_);
                    break;
                }
                QPdfWriter pdf(&file);
                pdf.setTitle(title);
                pdf.setCreator(QStringLiteral("Tolvarine"));
                pages_ = renderReport(report, rows, context, pdf);
                if (pages_ == 0) return fail(kOutputFileMessage, printFileName_);
                break;
            }
            case Destination::Printer: {
                QPrinter printer(QPrinter::HighResolution);
                printer.setDocName(title);
                if (!printerOutputFile_.isEmpty()) {
                    printer.setOutputFormat(QPrinter::PdfFormat);
                    printer.setOutputFileName(printerOutputFile_);
                } else if (!printerName_.isEmpty()) {
                    if (QPrinterInfo::printerInfo(printerName_).isNull())
                        return fail(kPrinterFailedMessage, printerName_);
                    printer.setPrinterName(printerName_);
                } else if (QPrinterInfo::defaultPrinter().isNull()) {
                    return fail(kNoPrinterMessage, QString());
                }
                pages_ = renderReport(report, rows, context, printer);
                if (pages_ == 0) return fail(kPrinterFailedMessage, printer.printerName());
                break;
            }
            case Destination::Screen: {
                if (!previewHandler()) return fail(kNoPreviewMessage, QString());
                std::optional<FormulaError> problem;
                PreviewRequest request;
                request.title = title;
                request.maximized = windowMaximized_;
                request.layout = QPageLayout(QPageSize(report.pageSize), report.orientation, report.margins,
                                             QPageLayout::Millimeter);
                request.layOut = [&](QPagedPaintDevice& device) -> std::unique_ptr<ReportPages> {
                    try {
                        auto pages = std::make_unique<ReportPages>(report, rows, context, device);
                        pages_ = pages->count();
                        return pages;
                    } catch (const FormulaError& e) {
                        problem = e;
                        return nullptr;
                    }
                };
                request.paint = [&](QPrinter* printer) {
                    try {
                        pages_ = renderReport(report, rows, context, *printer);
                    } catch (const FormulaError& e) {
                        problem = e;
                    }
                };
                previewHandler()(request);
                if (problem) throw *problem;
                break;
            }
        }
    } catch (const FormulaError& e) {
        return fail(kFormulaMessage, formulaProblem(QFileInfo(reportFileName_).fileName() + u':', QString(), e));
    }
    status_ = kStatusFinished;
    return status_;
}

ReportEngine& reportEngine() {
    static ReportEngine engine;
    return engine;
}

}  // namespace tv::reports
