// Printing a lookup table: every code with all its columns, in primary-key order, under a
// header naming the program, its version and the table. What is printed is read first
// (LookupPrintout) and then drawn, so the contents can be checked without a printer.
//
// Type: Arial throughout; the header lines in 8 points, the table's caption in 12, the
// column names (bold) and the rows in 9. Columns are as wide as their defined sizes allow;
// when the page is narrower the text columns shrink together (numbers and dates never
// do), and a value longer than its column is cut with an ellipsis. Every page repeats
// the column names.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QPagedPaintDevice;

namespace tv::forms {

struct LookupPrintout {
    QStringList header;       // FORM CAPTIONS ("About", "Title") and ("About", "Version")
    QString caption;          // the lookup-table window's caption
    QStringList columnNames;  // in ordinal order
    std::vector<int> widths;  // in characters, one per column
    std::vector<bool> texts;  // whether a column holds text, which may be cut to fit
    std::vector<QStringList> rows;
};

// Reads what printing the table shows; nothing when the table cannot be opened (OpenTable
// has then said why).
bool ReadLookupPrintout(const QString& table, const QString& caption, LookupPrintout& out);

// Draws the printout on the device (a printer or a PDF writer); returns the number of
// pages, 0 when the device cannot be painted on.
int RenderLookupPrintout(const LookupPrintout& printout, QPagedPaintDevice& device);

// The lookup-table window's Print command: asks for the printer (the prompter's printer
// dialog, which may also choose a PDF file), prints and shows status message 9022. False
// when nothing was printed (cancelled, unreadable table, or a printer that would not start,
// which shows message 9013).
bool PrintLookupTable(const QString& table, const QString& caption);

}  // namespace tv::forms
