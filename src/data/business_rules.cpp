// Deletion cascades and the next-date rule. Every text that reaches a statement goes
// through the quoting helper, so a project called "O'Brien Fit-out" or a customer called
// O'Brien is matched rather than breaking the statement.
#include "data/business_rules.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/paths.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/app_state.h"
#include "data/prompter.h"

#include <QDebug>
#include <QFile>
#include <cmath>
#include <optional>

namespace tv::data {

namespace {

using engine::quoteLiteral;

// Column ordinals (0-based) of the dates the next-date rule writes.
constexpr int kCustomerNextDate = 22;    // CUSTOMERS.NEXTDATE
constexpr int kContactNextContact = 18;  // CONTACTS.NEXTCONTACT

// FieldValues elements (1-based) the cascades read after LoadRecord.
constexpr int kScheduledCustomer = 1;
constexpr int kScheduledDateTime = 2;
constexpr int kScheduledContact = 6;
constexpr int kAttachmentPath = 5;

bool sameName(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

std::int32_t wholeDay(tv::DateTime d) { return static_cast<std::int32_t>(std::floor(d.serial)); }

// Runs one action statement on the data database; a failure is kept and the caller goes on.
void execute(const QString& sql, std::vector<Failure>& failures) {
    const std::optional<Failure> failed = attempt([&] {
        if (!state().DataOpen && !OpenDataDatabase())
            throw engine::DbError(engine::err::kFileNotFound,
                                  QStringLiteral("The data database is not open."));
        detail::databaseFor(kDataDb).Execute(sql);
    });
    if (failed) {
        failures.push_back(*failed);
        qWarning().noquote() << "Cascade statement failed:" << sql << '-' << failed->text;
    }
}

// LoadRecord fills the shared buffer; a cascade runs inside another routine's work (a
// window saving or completing a row), so the buffer is given back as it was.
class BufferKeeper {
public:
    BufferKeeper() : saved_(state().FieldValues.toList()) {}
    ~BufferKeeper() { state().FieldValues.assign(saved_); }
    BufferKeeper(const BufferKeeper&) = delete;
    BufferKeeper& operator=(const BufferKeeper&) = delete;

private:
    QStringList saved_;
};

std::vector<Failure> scheduledActivityDeleted(const QString& key1, const QString& key2) {
    std::vector<Failure> failures;
    QString customer;
    QString contact;
    tv::DateTime when;
    bool found = false;
    {
        BufferKeeper keep;
        if (LoadRecord(QStringLiteral("Scheduled Activities"), key1, key2)) {
            const FieldValueArray& row = state().FieldValues;
            customer = row(kScheduledCustomer);
            contact = row(kScheduledContact);
            found = tv::parseDateTime(row(kScheduledDateTime), &when);
        }
    }
    if (found && !ApplyNextDateRule(customer, contact, wholeDay(when)))
        failures.push_back(Failure{kUnexpectedError, QStringLiteral("The next dates of ") +
                                                         customer +
                                                         QStringLiteral(" were not updated.")});
    return failures;
}

std::vector<Failure> projectDeleted(const QString& key1) {
    std::vector<Failure> failures;
    if (ShowMessage(149) == msgbox::kYes) {
        execute(QStringLiteral("DELETE * FROM [SCHEDULED ACTIVITIES] WHERE SOURCEDOCTYPE = "
                               "'project' AND SOURCEDOCID = ") +
                    quoteLiteral(key1),
                failures);
    }
    return failures;
}

// A stored attachment path: a bare or relative name lies in the data folder; a path with a
// drive or URL-like part (":" or "//"), or one rooted at a separator, is taken as it is.
QString attachmentFile(const QString& stored) {
    const bool absolute = stored.contains(u':') || stored.contains(QLatin1String("//")) ||
                          (!stored.isEmpty() && tv::isPathSeparator(stored.front()));
    return absolute ? stored : tv::joinPath(state().DataLocation, stored);
}

std::vector<Failure> attachmentDeleted(const QString& key1, const QString& key2) {
    std::vector<Failure> failures;
    QString stored;
    {
        BufferKeeper keep;
        if (!LoadRecord(QStringLiteral("Customer Attachments"), key1, key2)) return failures;
        stored = state().FieldValues(kAttachmentPath);
    }
    if (ShowMessage(193, stored) != msgbox::kYes || stored.isEmpty()) return failures;

    const QString path = attachmentFile(stored);
    QFile file(path);
    if (file.exists() && !file.remove()) {
        failures.push_back(
            Failure{kUnexpectedError, path + QStringLiteral(": ") + file.errorString()});
        qWarning().noquote() << "Attachment file not deleted:" << path << '-' << file.errorString();
    }
    return failures;
}

std::vector<Failure> salesOrderDeleted(const QString& key1) {
    std::vector<Failure> failures;
    if (ShowMessage(147) == msgbox::kYes) {
        execute(QStringLiteral("DELETE * FROM [CUSTOMER INVENTORY] WHERE SOURCEDOCTYPE = 'order' "
                               "AND SOURCEDOCID = ") +
                    quoteLiteral(key1),
                failures);
    } else {
        execute(QStringLiteral("UPDATE [CUSTOMER INVENTORY] SET [SOURCEDOCTYPE] = NULL, "
                               "[SOURCEDOCID] = NULL WHERE [SOURCEDOCTYPE] = 'order' AND "
                               "[SOURCEDOCID] = ") +
                    quoteLiteral(key1),
                failures);
    }

    // The order number is written bare; it is a whole number, and anything else is refused
    // rather than pasted into the statement.
    bool isNumber = false;
    const qlonglong orderNo = key1.trimmed().toLongLong(&isNumber);
    if (!isNumber) {
        failures.push_back(Failure{engine::err::kTypeMismatch,
                                   QStringLiteral("Order number is not a number: ") + key1});
        return failures;
    }
    const QString number = QString::number(orderNo);
    execute(
        QStringLiteral("UPDATE [ACTIVITIES] SET [INVOICENO] = NULL WHERE [INVOICENO] = ") + number,
        failures);
    execute(QStringLiteral("UPDATE [SERVICE CONTRACTS] SET [ORDERNO] = NULL WHERE [ORDERNO] = ") +
                number,
            failures);
    execute(QStringLiteral("UPDATE [COMPLETED REQUESTS] SET [ORDERNO] = NULL WHERE [ORDERNO] = ") +
                number,
            failures);
    return failures;
}

// The day of SCHEDDATETIME in the first row of the query; nothing when there is no row.
// Sets *ok false when the query could not be read (reported with message 194, as every
// table access is). The query reads the whole schedule, never narrowed by the workflow
// filter: a customer's next date is everybody's, whoever saves the activity.
std::optional<std::int32_t> firstScheduledDay(const QString& sql, bool* ok) {
    std::optional<std::int32_t> day;
    if (!state().DataOpen && !OpenDataDatabase()) {
        *ok = false;
        return day;
    }
    engine::Recordset rs;
    const std::optional<Failure> failed = attempt([&] {
        rs = detail::databaseFor(kDataDb).OpenRecordset(sql);
        if (rs.EOF_()) return;
        const tv::Variant when = rs[QStringLiteral("SCHEDDATETIME")];
        if (!when.isNull()) day = wholeDay(tv::CDate(when));
    });
    if (failed) {
        *ok = false;
        ShowMessage(194, QStringLiteral("\n\n") + sql + errorTail(*failed));
    }
    rs.Close();
    return day;
}

// The day to write: the first planned day, unless the caller's day is earlier.
std::int32_t nextDay(std::optional<std::int32_t> first, std::int32_t day) {
    if (!first) return day;
    return day != 0 && day < *first ? day : *first;
}

// Writes the date column of one row found by its key; the rest of the row is left alone.
bool writeNextDate(const QString& table, const QString& key1, const QString& key2, int column,
                   std::int32_t day) {
    engine::Recordset rs = OpenTable(table);
    if (!rs.IsOpen()) return false;
    if (!SeekRecord(rs, key1, key2, QString())) {
        rs.Close();
        return true;  // no such row: nothing to keep up to date
    }
    detail::idleQuietly();
    const std::optional<Failure> failed = attempt([&] {
        rs.Edit();
        rs.FieldAt(column).SetValue(day == 0 ? tv::Variant()
                                             : tv::Variant(tv::DateTime{static_cast<double>(day)}));
        rs.Update();
    });
    if (failed) {
        (void)attempt([&] {
            if (rs.EditModeNow() != engine::EditMode::None) rs.CancelUpdate();
        });
        ShowMessage(106, errorTail(*failed));
    }
    rs.Close();
    return !failed;
}

}  // namespace

bool ApplyNextDateRule(const QString& customer, const QString& contact, std::int32_t day) {
    if (customer.isEmpty()) return true;

    // From the start of today, so that an activity planned for later today counts as ahead.
    const tv::DateTime today{std::floor(prompter().now().serial)};
    const QString since = QStringLiteral(" AND [SCHEDDATETIME] > ") +
                          engine::sqlLiteral(tv::Variant(today)) +
                          QStringLiteral(" ORDER BY [SCHEDDATETIME]");
    const QString ofCustomer =
        QStringLiteral("SELECT * FROM [SCHEDULED ACTIVITIES] WHERE [CUSTOMER NAME] = ") +
        quoteLiteral(customer, u'"');

    bool ok = true;
    const std::optional<std::int32_t> first = firstScheduledDay(ofCustomer + since, &ok);
    if (ok) {
        ok = writeNextDate(QStringLiteral("Customers"), customer, QString(), kCustomerNextDate,
                           nextDay(first, day));
    }

    if (!contact.isEmpty()) {
        bool contactOk = true;
        const std::optional<std::int32_t> firstForContact = firstScheduledDay(
            ofCustomer + QStringLiteral(" AND [CONTACT NAME] = ") + quoteLiteral(contact) + since,
            &contactOk);
        if (contactOk) {
            contactOk = writeNextDate(QStringLiteral("Contacts"), customer, contact,
                                      kContactNextContact, nextDay(firstForContact, day));
        }
        ok = ok && contactOk;
    }
    return ok;
}

std::vector<Failure> BeforeDelete(const QString& table, const QString& key1, const QString& key2,
                                  const QString& /*key3*/) {
    if (sameName(table, "Scheduled Activities")) return scheduledActivityDeleted(key1, key2);
    if (sameName(table, "Projects")) return projectDeleted(key1);
    if (sameName(table, "Customer Attachments")) return attachmentDeleted(key1, key2);
    if (sameName(table, "Sales Orders")) return salesOrderDeleted(key1);
    return {};
}

void InstallBusinessRules() {
    state().BeforeDelete = [](const QString& table, const QString& key1, const QString& key2,
                              const QString& key3) { (void)BeforeDelete(table, key1, key2, key3); };
}

}  // namespace tv::data
