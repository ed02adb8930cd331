// The activity log: business events write an entry into the customer's activity history,
// configured per event in the definitions' "Activity Log Options". An event without a row
// there, or whose row has an empty activity type, writes nothing.
#pragma once

#include <QString>
#include <optional>

namespace tv::data {

// Event categories of "Activity Log Options".
inline const QString kLogNewRecord = QStringLiteral("New Record");
inline const QString kLogSend = QStringLiteral("Send");
inline const QString kLogOther = QStringLiteral("Other");

// One configured event: what its entry carries.
struct ActivityLogOption {
    QString activityType;
    QString description;
    QString duration;  // minutes, as stored
    QString cost;
};

// The configuration of the event, or nullopt when it is not logged (no row, an empty
// activity type, or a definitions table that cannot be read: message 194).
std::optional<ActivityLogOption> ReadLogOption(const QString& category, const QString& key);

// Adds the entry to ACTIVITIES for the customer (and contact) at the present second, by
// the signed-in user, with the option's type, duration and cost and the given
// description. An entry already at that second for the customer moves the new one a
// second on, so two events logged together both land. Failure: message 105.
bool WriteLogEntry(const ActivityLogOption& option, const QString& customer,
                   const QString& contact, const QString& description);

// Logs the creation of a document of the table (its display name, "Quotations", "Sales
// Orders" ...): the entry's description is the option's description followed by the
// document number in parentheses, or "Record added to <table>" when the option has
// none. True when nothing had to be written or the entry was written.
bool LogNewRecord(const QString& table, const QString& documentNumber, const QString& customer,
                  const QString& contact);

// Logs an event of the "Send" or "Other" category ("Send" keys: "Local Email", "Internet
// Email", "Fax", "Printer"; "Other": "Payments"): the description is the option's
// description, followed by the detail in parentheses when one is given. True when nothing
// had to be written or the entry was written.
bool LogEvent(const QString& category, const QString& key, const QString& customer,
              const QString& contact, const QString& detail = QString());

}  // namespace tv::data
