// The report engine object the program prints through: the windows set its file name,
// record-selection formula, destination and preview title, and call PrintReport. The
// report runner also sets named formulas (its "criteria") and the preview's window
// option, and reads the status afterwards. One object serves the whole program
// (reportEngine()); tests and the admin tool may make their own.
//
// A run reads the report file, turns the selection formula into the query's WHERE,
// reads the rows and sends the pages to the destination:
//   screen   the preview window the window layer installs (setPreviewHandler);
//   printer  the printer named by setPrinterName, else the system's default printer;
//   file     PrintFileName, as PDF, or the detail rows as CSV or plain text.
// Every failure is shown once, as a numbered message, and the run ends with a negative
// status; nothing is thrown:
//   9011 the report file is missing        9012 it cannot be read (the line at fault)
//   9100 a formula cannot be used (where, and what was expected)
//   9101 the report's query failed (the engine's text and number)
//   9102 no rows match the selection        9103 the output file cannot be written
//   9013 no printer is installed            9104 the printer refused the job
//   9105 there is no preview window here (a program without windows)
#pragma once

#include "reports/report_render.h"

#include <QPageLayout>
#include <QString>
#include <functional>
#include <map>
#include <memory>

class QPrinter;

namespace tv::reports {

enum class Destination { Screen = 0, Printer = 1, File = 2 };

// The status after a run: 0 finished, 1 still producing (a preview the user has not
// closed yet), negative: failed.
inline constexpr int kStatusFinished = 0;
inline constexpr int kStatusRunning = 1;
inline constexpr int kStatusFailed = -1;

// Shows the pages in a preview window titled `title`. `layOut` places the pages for a
// device once (null when a value cannot be worked out; the run then reports it), so the
// window paints only the pages shown; `paint` paints every page on the printer it is
// given, for printing from the preview. Returns when the window is closed.
struct PreviewRequest {
    QString title;
    bool maximized = false;
    QPageLayout layout;
    std::function<std::unique_ptr<ReportPages>(QPagedPaintDevice&)> layOut;
    std::function<void(QPrinter*)> paint;
};
using PreviewHandler = std::function<void(const PreviewRequest&)>;
void setPreviewHandler(PreviewHandler handler);

// Where the engine reads data and the company's details. Unset, it uses the program's
// open databases (state().DataDb, opened on first use, and DefinitionsDb) and the site's
// files folder (data::siteFilesFolder) for the pictures a layout names.
struct ReportSources {
    engine::Database* data = nullptr;
    engine::Database* definitions = nullptr;
    QString dataFolder;
};

class ReportEngine {
public:
    ReportEngine() = default;

    void setReportFileName(const QString& path) { reportFileName_ = path; }
    QString reportFileName() const { return reportFileName_; }
    void setSelectionFormula(const QString& formula) { selectionFormula_ = formula; }
    QString selectionFormula() const { return selectionFormula_; }
    // 0 screen, 1 printer, 2 file (other values: the screen).
    void setDestination(int destination);
    Destination destination() const { return destination_; }
    void setWindowTitle(const QString& title) { windowTitle_ = title; }
    QString windowTitle() const { return windowTitle_; }
    void setWindowMaximized(bool maximized) { windowMaximized_ = maximized; }

    // Sets the report formula `name` from an assignment the classic engine took
    // ("criteria='Customer = O''Brien'"), or from a bare formula text ("'x'").
    void setFormula(const QString& name, const QString& assignment);
    void clearFormulas() { formulas_.clear(); }

    // The file destination: the path and its format ("pdf", "csv" or "txt"; empty: from
    // the path's suffix, PDF when it has none).
    void setPrintFileName(const QString& path) { printFileName_ = path; }
    void setPrintFileType(const QString& type) { printFileType_ = type; }
    // The printer destination: a named printer (empty: the default one).
    void setPrinterName(const QString& name) { printerName_ = name; }
    // The printer destination writes its pages to this PDF file instead, as a PDF printer
    // queue would (machines without a printer, tests).
    void setPrinterOutputFile(const QString& pdf) { printerOutputFile_ = pdf; }

    void setSources(const ReportSources& sources) { sources_ = sources; }

    // Runs the report as set; returns the status (kStatusFinished or kStatusFailed).
    int PrintReport();
    int status() const { return status_; }
    // The number of pages the last run printed (0 for a text file or a failure).
    int pagesPrinted() const { return pages_; }
    // The text of the last failure's message extra, for a caller without windows.
    QString lastError() const { return lastError_; }

    // Forgets everything set, as a new object.
    void reset();

private:
    int fail(int message, const QString& extra);

    QString reportFileName_;
    QString selectionFormula_;
    Destination destination_ = Destination::Screen;
    QString windowTitle_;
    bool windowMaximized_ = false;
    std::map<QString, QString, CaseInsensitiveLess> formulas_;
    QString printFileName_;
    QString printFileType_;
    QString printerName_;
    QString printerOutputFile_;
    ReportSources sources_;
    int status_ = kStatusFinished;
    int pages_ = 0;
    QString lastError_;
};

// The program's one engine (the main window's "report1").
ReportEngine& reportEngine();

// Status messages in the main window's status bar (913, 914, 916, 917 ...). The window
// layer installs its ShowStatusMessage; until then they go nowhere.
using StatusReporter = std::function<void(int number)>;
void setStatusReporter(StatusReporter reporter);
void reportStatus(int number);

}  // namespace tv::reports
