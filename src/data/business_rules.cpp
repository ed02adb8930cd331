// Deletion cascades and the next-date rule. Every text that reaches a statement goes
// through the quoting helper, so a project called "O'Brien Fit-out" or a customer called
// O'Brien is matched rather than breaking the statement.
#include "data/business_rules.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/paths.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/failure.h"
#include "data/locations.h"
#include "data/prompter.h"

#include <QFile>
#include <QFileInfo>
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

// The attachment's row is gone but its file could not be removed from the disk.
constexpr int kMsgAttachmentFileKept = 9041;
// The attachment's file lies outside the data folder and is left where it is.
constexpr int kMsgAttachmentOutside = 9135;

bool sameName(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

std::int32_t wholeDay(tv::DateTime d) { return static_cast<std::int32_t>(std::floor(d.serial)); }

// One action statement on the data database. Throws DbError: inside the delete's
// transaction a failed statement undoes the whole delete.
void execute(const QString& sql) { detail::databaseFor(kDataDb).Execute(sql); }

// LoadRecord fills the shared buffer; a cascade is prepared inside another routine's work
// (a window deleting its row), so the buffer is given back as it was.
class BufferKeeper {
public:
    BufferKeeper() : saved_(state().FieldValues.toList()) {}
    ~BufferKeeper() { state().FieldValues.assign(saved_); }
    BufferKeeper(const BufferKeeper&) = delete;
    BufferKeeper& operator=(const BufferKeeper&) = delete;

private:
    QStringList saved_;
};

// Where the next-date rule failed: the engine's error, and the message (with its extra
// text) that reports it when the rule runs on its own.
struct RuleFailure {
    Failure failure;
    int message;
    QString extra;
};

// The day of SCHEDDATETIME in the first row of the query; nothing when there is no row.
// The query reads the whole schedule, never narrowed by the workflow filter: a customer's
// next date is everybody's, whoever saves or deletes the activity. Throws DbError.
std::optional<std::int32_t> firstScheduledDay(const QString& sql) {
    engine::Recordset rs = detail::databaseFor(kDataDb).OpenRecordset(sql);
    std::optional<std::int32_t> day;
    if (!rs.EOF_()) {
        const tv::Variant when = rs[QStringLiteral("SCHEDDATETIME")];
        if (!when.isNull()) day = wholeDay(tv::CDate(when));
    }
    return day;
}

// The day to write: the first planned day, unless the caller's day is earlier.
std::int32_t nextDay(std::optional<std::int32_t> first, std::int32_t day) {
    if (!first) return day;
    return day != 0 && day < *first ? day : *first;
}

// Writes the date column of one row found by its key; the rest of the row is left alone,
// and a missing row has nothing to keep up to date. Throws DbError; the record set going
// out of scope drops an edit that failed.
void writeNextDate(const QString& table, const QString& key1, const QString& key2, int column,
                   std::int32_t day) {
    engine::Recordset rs = detail::databaseFor(kDataDb).OpenRecordset(table);
    rs.SetIndex(QStringLiteral("PrimaryKey"));
    if (!SeekRecord(rs, key1, key2, QString())) return;
    detail::idleQuietly();
    rs.Edit();
    rs.FieldAt(column).SetValue(day == 0 ? tv::Variant()
                                         : tv::Variant(tv::DateTime{static_cast<double>(day)}));
    rs.Update();
}

// The next-date rule on an open data database; the first failure stops it.
std::optional<RuleFailure> nextDateRule(const QString& customer, const QString& contact,
                                        std::int32_t day) {
    // From the start of today, so that an activity planned for later today counts as ahead.
    const tv::DateTime today{std::floor(prompter().now().serial)};
    const QString since = QStringLiteral(" AND [SCHEDDATETIME] > ") +
                          engine::sqlLiteral(tv::Variant(today)) +
                          QStringLiteral(" ORDER BY [SCHEDDATETIME]");
    const QString ofCustomer =
        QStringLiteral("SELECT * FROM [SCHEDULED ACTIVITIES] WHERE [CUSTOMER NAME] = ") +
        quoteLiteral(customer, u'"');

    // One row's date: read the first planned day, then write it.
    auto keepUpToDate = [&](const QString& sql, const QString& table, const QString& key2,
                            int column) -> std::optional<RuleFailure> {
        std::optional<std::int32_t> first;
        if (const auto failed = attempt([&] { first = firstScheduledDay(sql); }))
            return RuleFailure{*failed, 194, QStringLiteral("\n\n") + sql + errorTail(*failed)};
        if (const auto failed =
                attempt([&] { writeNextDate(table, customer, key2, column, nextDay(first, day)); }))
            return RuleFailure{*failed, 106, errorTail(*failed)};
        return std::nullopt;
    };

    if (auto failed = keepUpToDate(ofCustomer + since, QStringLiteral("Customers"), QString(),
                                   kCustomerNextDate))
        return failed;
    if (contact.isEmpty()) return std::nullopt;
    return keepUpToDate(
        ofCustomer + QStringLiteral(" AND [CONTACT NAME] = ") + quoteLiteral(contact) + since,
        QStringLiteral("Contacts"), contact, kContactNextContact);
}

DeleteCascade scheduledActivityDeleted(const QString& key1, const QString& key2) {
    QString customer;
    QString contact;
    tv::DateTime when;
    {
        BufferKeeper keep;
        if (!LoadRecord(QStringLiteral("Scheduled Activities"), key1, key2)) return {};
        const FieldValueArray& row = state().FieldValues;
        customer = row(kScheduledCustomer);
        contact = row(kScheduledContact);
        if (customer.isEmpty() || !tv::parseDateTime(row(kScheduledDateTime), &when)) return {};
    }
    return {[customer, contact, when] {
                if (const auto failed = nextDateRule(customer, contact, wholeDay(when)))
                    throw engine::DbError(failed->failure.number, failed->failure.text);
            },
            {}};
}

DeleteCascade projectDeleted(const QString& key1) {
    if (ShowMessage(149) != msgbox::kYes) return {};
    const QString sql = QStringLiteral(
                            "DELETE * FROM [SCHEDULED ACTIVITIES] WHERE SOURCEDOCTYPE = "
                            "'project' AND SOURCEDOCID = ") +
                        quoteLiteral(key1);
    return {[sql] { execute(sql); }, {}};
}

// A stored attachment path: a bare or relative name lies in the site's files folder (the
// data folder of a folder site); a path with a drive or URL-like part (":" or "//"), or
// one rooted at a separator, is taken as it is.
QString attachmentFile(const QString& stored, const QString& filesFolder) {
    const bool absolute = stored.contains(u':') || stored.contains(QLatin1String("//")) ||
                          (!stored.isEmpty() && tv::isPathSeparator(stored.front()));
    return absolute ? stored : tv::joinPath(filesFolder, stored);
}

// The file a path names, its folder resolved (".." and links followed), when that folder
// is the site's files folder or one inside it; nothing otherwise. The file itself is not
// followed: a link in the folder is removed as a link.
std::optional<QString> insideFilesFolder(const QString& path, const QString& filesFolder) {
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    const QString root = QFileInfo(tv::normalizePath(filesFolder)).canonicalFilePath();
    const QFileInfo file(tv::normalizePath(path));
    const QString name = file.fileName();
    if (root.isEmpty() || name.isEmpty() || name == u"." || name == u"..") return std::nullopt;
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    if (folder.isEmpty()) return std::nullopt;
    if (folder.compare(root, cs) != 0 && !folder.startsWith(root + u'/', cs)) return std::nullopt;
    return folder + u'/' + name;
}

DeleteCascade attachmentDeleted(const QString& key1, const QString& key2) {
    QString stored;
    {
        BufferKeeper keep;
        if (!LoadRecord(QStringLiteral("Customer Attachments"), key1, key2)) return {};
        stored = state().FieldValues(kAttachmentPath);
    }
    if (ShowMessage(193, stored) != msgbox::kYes || stored.isEmpty()) return {};

    // Only once the row is gone: a file removed for a delete that is then refused could
    // not be brought back.
    // No files folder (a server site without one, told once): the file is left alone.
    const QString folder = siteFilesFolder(true);
    if (folder.isEmpty()) return {};
    const QString path = attachmentFile(stored, folder);
    return {{}, [path, folder] {
                // Whatever the row says, no file outside the files folder is deleted.
                const std::optional<QString> inside = insideFilesFolder(path, folder);
                if (!inside) {
                    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
                        ShowMessage(kMsgAttachmentOutside, path);
                    return;
                }
                QFile file(*inside);
                if ((file.exists() || QFileInfo(*inside).isSymLink()) && !file.remove())
                    ShowMessage(kMsgAttachmentFileKept,
                                path + QStringLiteral(" (") + file.errorString() + u')');
            }};
}

DeleteCascade salesOrderDeleted(const QString& key1) {
    const bool removeInventory = ShowMessage(147) == msgbox::kYes;
    const QString inventory =
        removeInventory ? QStringLiteral(
                              "DELETE * FROM [CUSTOMER INVENTORY] WHERE SOURCEDOCTYPE = 'order' "
                              "AND SOURCEDOCID = ")
                        : QStringLiteral(
                              "UPDATE [CUSTOMER INVENTORY] SET [SOURCEDOCTYPE] = NULL, "
                              "[SOURCEDOCID] = NULL WHERE [SOURCEDOCTYPE] = 'order' AND "
                              "[SOURCEDOCID] = ");
    return {[key1, sql = inventory + quoteLiteral(key1)] {
                execute(sql);
                // The order number is written bare; it is a whole number, and anything else
                // is refused rather than pasted into the statement.
                bool isNumber = false;
                const qlonglong orderNo = key1.trimmed().toLongLong(&isNumber);
                if (!isNumber)
                    throw engine::DbError(engine::err::kTypeMismatch,
                                          QStringLiteral("Order number is not a number: ") + key1);
                const QString number = QString::number(orderNo);
                execute(QStringLiteral("UPDATE [ACTIVITIES] SET [INVOICENO] = NULL WHERE "
                                       "[INVOICENO] = ") +
                        number);
                execute(QStringLiteral("UPDATE [SERVICE CONTRACTS] SET [ORDERNO] = NULL WHERE "
                                       "[ORDERNO] = ") +
                        number);
                execute(QStringLiteral("UPDATE [COMPLETED REQUESTS] SET [ORDERNO] = NULL WHERE "
                                       "[ORDERNO] = ") +
                        number);
                // Inventory items it charged are outstanding again, and its lines go with it.
                execute(QStringLiteral("UPDATE [CUSTOMER INVENTORY] SET [ORDERNO] = NULL WHERE "
                                       "[ORDERNO] = ") +
                        quoteLiteral(number));
                execute(QStringLiteral("DELETE * FROM [SALES ORDERS DETAIL] WHERE [ORDERNO] = ") +
                        number);
            },
            {}};
}

// A quotation's lines go with it.
DeleteCascade quotationDeleted(const QString& key1) {
    return {[key1] {
                bool isNumber = false;
                const qlonglong quoteNo = key1.trimmed().toLongLong(&isNumber);
                if (!isNumber)
                    throw engine::DbError(engine::err::kTypeMismatch,
                                          QStringLiteral("Quotation number is not a number: ") + key1);
                execute(QStringLiteral("DELETE * FROM [QUOTATIONS DETAIL] WHERE [QUOTENO] = ") +
                        QString::number(quoteNo));
            },
            {}};
}

}  // namespace

bool ApplyNextDateRule(const QString& customer, const QString& contact, std::int32_t day) {
    if (customer.isEmpty()) return true;
    if (!state().DataOpen && !OpenDataDatabase()) return false;  // reported by the open
    const std::optional<RuleFailure> failed = nextDateRule(customer, contact, day);
    if (failed) ShowMessage(failed->message, failed->extra);
    return !failed;
}

DeleteCascade BeforeDelete(const QString& table, const QString& key1, const QString& key2,
                           const QString& /*key3*/) {
    if (sameName(table, "Scheduled Activities")) return scheduledActivityDeleted(key1, key2);
    if (sameName(table, "Projects")) return projectDeleted(key1);
    if (sameName(table, "Customer Attachments")) return attachmentDeleted(key1, key2);
    if (sameName(table, "Sales Orders")) return salesOrderDeleted(key1);
    if (sameName(table, "Quotations")) return quotationDeleted(key1);
    return {};
}

void InstallBusinessRules() { state().BeforeDelete = BeforeDelete; }

}  // namespace tv::data
