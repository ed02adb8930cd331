// Printing a lookup table: every code with all its columns, in primary-key order, as a
// page table titled with the lookup-table window's caption, above the program's name and
// version. Columns are as wide as their defined sizes; text columns narrow to fit the page
// (numbers and dates never do). What is printed is read first (ReadLookupPrintout), so the
// contents can be checked without a printer.
#pragma once

#include "reports/page_table.h"

#include <QString>

namespace tv::forms {

struct LookupPrintout {
    reports::PageTable table;
    reports::RowList rows;
};

// Reads what printing the table shows; false when the table cannot be opened (OpenTable
// has then said why). A read error keeps the rows read before it.
bool ReadLookupPrintout(const QString& table, const QString& caption, LookupPrintout& out);

// The lookup-table window's Print command: asks for the printer (the prompter's printer
// dialog, which may also choose a PDF file), prints and shows status message 9022. False
// when nothing was printed (cancelled, unreadable table, or a printer that would not start,
// which shows message 9013).
bool PrintLookupTable(const QString& table, const QString& caption);

}  // namespace tv::forms
