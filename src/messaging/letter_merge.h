// Form letters merged with a customer's records. A letter names a field of one of the
// customer's tables as "[Table:Label]" ("[Contacts:Contact Name]", the label FIELD
// DEFINITIONS gives the column) and the signed-in user and today by fixed placeholders
// ("[Current Date Long]", "[User Name]" ...). Each table contributes one row: the customer
// itself, the chosen contact, the latest activity and scheduled activity up to now, and the
// customer's newest opportunity, quotation and sales order with the first line of each
// document. A placeholder of a table that has no such row becomes empty.
#pragma once

#include <QString>

namespace tv::messaging {

// The letter with every placeholder replaced. Values are put in as they are: a rich-text
// letter gets them escaped for HTML when `richText` is set.
QString MergeLetter(const QString& letter, const QString& customer, const QString& contact,
                    bool richText = true);

}  // namespace tv::messaging
