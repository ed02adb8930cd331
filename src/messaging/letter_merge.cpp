#include "messaging/letter_merge.h"

#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "engine/engine.h"

#include <functional>
#include <utility>
#include <vector>

namespace tv::messaging {

namespace {

using engine::quoteLiteral;

constexpr int kLabelColumn = 2;      // FIELD DEFINITIONS
constexpr int kFieldNameColumn = 8;

QString isoNow() {
    return tv::Format(tv::Variant(data::prompter().now()), QStringLiteral("yyyy-mm-dd hh:nn:ss"));
}

// The query that finds the one row a table contributes, newest first.
struct MergeSource {
    const char* table;
    std::function<QString(const QString& customer, const QString& contact)> sql;
};

QString byCustomer(const char* table, const QString& customer, const char* newestFirst,
                   const QString& extra = QString()) {
    QString sql = QStringLiteral("SELECT * FROM [%1] WHERE [CUSTOMER NAME] = ")
                      .arg(QLatin1String(table)) +
                  quoteLiteral(customer) + extra;
    if (newestFirst) sql += QStringLiteral(" ORDER BY [%1] DESC").arg(QLatin1String(newestFirst));
    return sql;
}

QString firstLineOf(const char* detail, const char* header, const char* number,
                    const QString& customer) {
    return QStringLiteral("SELECT * FROM [%1] WHERE [%3] = (SELECT MAX([%3]) FROM [%2] WHERE "
                          "[CUSTOMER NAME] = ")
               .arg(QLatin1String(detail), QLatin1String(header), QLatin1String(number)) +
           quoteLiteral(customer) + QStringLiteral(") ORDER BY [LINENO]");
}

const std::vector<MergeSource>& sources() {
    static const std::vector<MergeSource> list = {
        {"Activities",
         [](const QString& c, const QString&) {
             return byCustomer("ACTIVITIES", c, "DATETIME",
                               QStringLiteral(" AND [DATETIME] <= #") + isoNow() + u'#');
         }},
        {"Contacts",
         [](const QString& c, const QString& k) {
             return byCustomer("CONTACTS", c, nullptr,
                               QStringLiteral(" AND [CONTACT NAME] = ") + quoteLiteral(k));
         }},
        {"Customers", [](const QString& c, const QString&) { return byCustomer("CUSTOMERS", c, nullptr); }},
        {"Quotations",
         [](const QString& c, const QString&) { return byCustomer("QUOTATIONS", c, "QUOTENO"); }},
        {"Quotations Detail",
         [](const QString& c, const QString&) {
             return firstLineOf("QUOTATIONS DETAIL", "QUOTATIONS", "QUOTENO", c);
         }},
        {"Sales Opportunities",
         [](const QString& c, const QString&) {
             return byCustomer("SALES OPPORTUNITIES", c, "IDENTIFIED");
         }},
        {"Sales Orders",
         [](const QString& c, const QString&) { return byCustomer("SALES ORDERS", c, "ORDERNO"); }},
        {"Sales Orders Detail",
         [](const QString& c, const QString&) {
             return firstLineOf("SALES ORDERS DETAIL", "SALES ORDERS", "ORDERNO", c);
         }},
        {"Scheduled Activities",
         [](const QString& c, const QString&) {
             return byCustomer("SCHEDULED ACTIVITIES", c, "SCHEDDATETIME",
                               QStringLiteral(" AND [SCHEDDATETIME] <= #") + isoNow() + u'#');
         }},
    };
    return list;
}

// (label, column name) of every field the definitions list for the table.
std::vector<std::pair<QString, QString>> fieldsOf(const QString& table) {
    std::vector<std::pair<QString, QString>> fields;
    engine::Recordset rs = data::OpenTable(
        QStringLiteral("SELECT * FROM [FIELD DEFINITIONS] WHERE [TABLENAME] = ") +
            quoteLiteral(table),
        data::kDefinitionsDb);
    (void)data::attempt([&] {
        for (; rs.IsOpen() && !rs.EOF_(); rs.MoveNext())
            fields.emplace_back(tv::TextOf(rs[kLabelColumn]), tv::TextOf(rs[kFieldNameColumn]));
    });
    rs.Close();
    return fields;
}

QString put(const QString& value, bool richText) {
    return richText ? value.toHtmlEscaped() : value;
}

void mergeTable(QString& text, const MergeSource& source, const QString& customer,
                const QString& contact, bool richText) {
    const QString table = QString::fromLatin1(source.table);
    const QString prefix = u'[' + table + u':';
    if (!text.contains(prefix, Qt::CaseInsensitive)) return;

    const auto fields = fieldsOf(table);
    std::vector<QString> values(fields.size());
    engine::Recordset rs = data::OpenTable(source.sql(customer, contact));
    bool found = false;
    (void)data::attempt([&] { found = rs.IsOpen() && !rs.EOF_(); });
    for (std::size_t i = 0; found && i < fields.size(); ++i) {
        // A definition naming a column the table lacks leaves its placeholder empty.
        (void)data::attempt([&] { values[i] = tv::TextOf(rs[fields[i].second]); });
    }
    rs.Close();
    for (std::size_t i = 0; i < fields.size(); ++i)
        text.replace(prefix + fields[i].first + u']', put(values[i], richText), Qt::CaseInsensitive);
}

}  // namespace

QString MergeLetter(const QString& letter, const QString& customer, const QString& contact,
                    bool richText) {
    QString text = letter;
    for (const MergeSource& source : sources()) mergeTable(text, source, customer, contact, richText);

    const tv::Variant now(data::prompter().now());
    data::FieldValueArray& values = data::state().FieldValues;
    const data::FieldValueArray kept = values;
    QStringList user;
    if (data::LoadRecord(QStringLiteral("System Users"), data::state().CurrentUserId)) {
        for (int i = 1; i <= 8; ++i) user << values(i);
    }
    values = kept;
    const auto userField = [&](int ordinal) { return put(user.value(ordinal), richText); };

    const std::pair<const char*, QString> fixed[] = {
        {"[Current Date Long]", tv::Format(now, QStringLiteral("Long Date"))},
        {"[Current Date (Long)]", tv::Format(now, QStringLiteral("Long Date"))},
        {"[Current Date Short]", tv::Format(now, QStringLiteral("Short Date"))},
        {"[Current Date (Short)]", tv::Format(now, QStringLiteral("Short Date"))},
        {"[Current Time]", tv::Format(now, QStringLiteral("Short Time"))},
        {"[Current Date/Time]", tv::Format(now, QStringLiteral("General Date"))},
        {"[Sales Rep Name]", userField(1)},          {"[User Name]", userField(1)},
        {"[Sales Rep Work No]", userField(3)},       {"[User Work No]", userField(3)},
        {"[Sales Rep Home No]", userField(4)},       {"[User Home No]", userField(4)},
        {"[Sales Rep Mobile No]", userField(5)},     {"[Sales Rep EMail Address]", userField(6)},
        {"[User Email Address]", userField(6)},      {"[Sales Rep Pager No]", userField(7)},
        {"[User Pager No]", userField(7)},           {"[Sales Rep Title]", userField(2)},
        {"[User Title]", userField(2)},
        {"[Company Name]", put(data::state().CurrentUserId, richText)},
    };
    for (const auto& [placeholder, value] : fixed)
        text.replace(QLatin1String(placeholder), value, Qt::CaseInsensitive);
    return text;
}

}  // namespace tv::messaging
