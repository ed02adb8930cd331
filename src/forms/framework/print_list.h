// Printing a list: the list window's rows as a page table, titled with the heading and the
// record count, in the grid's visible columns with the order and widths the user gave them.
// The printer dialog of the prompter chooses the destination: a printer, or a PDF file.
#pragma once

#include "engine/engine.h"

#include <QString>

class QTableView;

namespace tv::forms {

struct PrintListRequest {
    QString tableName;                  // names the print job
    QString heading;                    // printed at the top of each page
    QString recordCount;                // the number of rows, as text
    const QTableView* grid = nullptr;   // a grid over a ListModel: columns, order, widths
    engine::Recordset* rows = nullptr;  // the rows, read from first to last (moved)
};

// An empty list says so (message 9020) and prints nothing. Cancelling the printer dialog
// prints nothing. A printer that cannot be started gives message 9013, a row that cannot
// be read message 194. After printing the status bar says so (9023). True when pages
// were printed.
bool PrintList(const PrintListRequest& request);

}  // namespace tv::forms
