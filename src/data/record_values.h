// Rows as arrays of texts, the form in which a row travels from a list to its record
// window: element n (counting from 1) holds the column with ordinal n.
#pragma once

#include "data/app_state.h"
#include "engine/engine.h"

#include <QString>

namespace tv::data {

// Replaces values with one element per column of the record set's current row, each as
// text by its engine type: Boolean, Byte, Integer, Long and Single with "0", Currency with
// "0.00", Double unformatted, dates with "General Date", texts and memos as they are, Null
// as empty. Binary columns are skipped (their element stays empty). Returns false, with
// values emptied, when the record set has no current row.
bool ReadRecordToValues(const engine::Recordset& rs, FieldValueArray& values);

// Fills the defaults of a new row of the table (display name) into values, growing it
// where needed: the opening date or time, the signed-in user as owner, and the billing
// default of activities. Tables without defaults are left as they are.
void NewRecordDefaults(const QString& tableName, FieldValueArray& values);

}  // namespace tv::data
