// The rows a report prints: its tables joined as the report file says, restricted by its
// own filter and by the record-selection formula (both written into the query's WHERE
// through the formula module, never pasted), read once, and put in the order of the
// report's groups and sorts.
#pragma once

#include "reports/report_file.h"

#include <QString>
#include <vector>

namespace tv::reports {

struct ReportRows {
    std::vector<FieldRef> columns;               // what each value of a row is
    std::vector<std::vector<tv::Variant>> rows;  // in printing order
    QString sql;                                 // the query that read them
    // The index of the column, -1 when the report did not read it.
    int indexOf(const QString& table, const QString& field) const;
};

// Builds the query. Throws FormulaError for a selection or report formula that names a
// table the report does not read or a field its table does not have.
QString reportQuery(const ReportDefinition& report, const FormulaPtr& selection,
                    engine::Database& db, std::vector<FieldRef>* columns);

// Reads and orders the rows. Throws FormulaError as reportQuery does and engine::DbError
// when the query fails.
ReportRows readReportRows(const ReportDefinition& report, const FormulaPtr& selection,
                          engine::Database& db);

}  // namespace tv::reports
