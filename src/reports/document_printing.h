// Printing the business document a record window shows: each kind of document has its
// report file in the data folder and the formula that selects it by its number or name.
// The record windows call PrintDocument from their print command; the billing run calls
// PrintInvoices for the orders it has just raised.
//
// PrintDocument, in this order: an empty key prints nothing and says nothing; otherwise
// the busy pointer, status 913, the report file and the selection formula, preview
// (titled with the window's caption) when the "Print Preview" option is on and the
// printer otherwise, the run, status 914 and the default pointer. A failing step does not
// stop the ones after it: the engine has shown its own message, and 914 and the pointer
// always follow.
//
// A text key (a contract id, item id, plan or script name) goes into the formula between
// single quotes with any quote inside doubled, so "O'Brien-01" selects its own contract.
#pragma once

#include <QString>
#include <QStringList>

namespace tv::reports {

class ReportEngine;

enum class Document {
    Quotation,
    Invoice,
    PurchaseOrder,
    JobSheet,           // a service request still open
    CompletedJobSheet,  // a completed service request
    Contract,
    ReturnedGoods,
    InventoryItem,
    CarePlan,
    CallScript,
    KnownProblem,
};

struct DocumentReport {
    QString file;     // "Quote.rpt", in the data folder
    QString formula;  // "{Quotations Detail.QuoteNo} = "
    bool textKey = false;
};
DocumentReport documentReport(Document document);

// The selection formula for one document.
QString documentFormula(Document document, const QString& key);

// The job sheet of a request in the table ("Current Requests" or "Completed Requests").
Document requestDocument(const QString& tableName);

// Prints the document whose key box shows `key`; `caption` titles the preview. False when
// nothing was run (empty key) or the run failed.
bool PrintDocument(Document document, const QString& key, const QString& caption,
                   ReportEngine* engine = nullptr);

// The billing run's invoices: one run per order number in list order, always to the
// printer, stopping at the first empty number. Returns how many printed.
int PrintInvoices(const QStringList& orderNumbers, ReportEngine* engine = nullptr);

}  // namespace tv::reports
