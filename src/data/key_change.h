// Renaming a record that other tables refer to by its key. A customer is known to every
// related table by its name ([CUSTOMER NAME]: contacts, activities, orders, requests,
// attachments ...), so a customer saved under a new name takes those rows with it: each
// table of the data database with that column gets the new name in place of the old.
// UpdateRecord runs these statements in the same transaction as the customer's own row,
// so a rename that fails anywhere leaves every table as it was. The tables come from the
// schema, so a table added later (a custom one included) follows as well.
#pragma once

#include "engine/engine.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tv::data {

// One statement of a key change and the table it rewrites (for the failure message).
struct KeyChangeStep {
    QString table;
    QString sql;
};

// The statements that carry the rows referring to a row of `table` (a table or display
// name, any letter case) from its old key to its new one. None when no other table refers
// to the table's rows, or when the key did not change; letter case counts as a change, so
// a name corrected from "acme" to "Acme" is corrected in the related rows too. Throws
// DbError when the schema cannot be read.
std::vector<KeyChangeStep> KeyChangeSteps(engine::Database& db, const QString& table,
                                          const QStringList& oldKey, const QStringList& newKey);

}  // namespace tv::data
