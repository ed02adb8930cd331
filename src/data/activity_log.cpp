#include "data/activity_log.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "engine/engine.h"

#include <cmath>

namespace tv::data {
namespace {

// ACTIVITIES columns by ordinal.
constexpr int kCustomerColumn = 0;
constexpr int kWhenColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kDescriptionColumn = 3;
constexpr int kUserColumn = 4;
constexpr int kContactColumn = 5;
constexpr int kDurationColumn = 8;
constexpr int kCostColumn = 10;

// Two entries for one customer in the same second would share a key; the later one moves
// on by up to this many seconds before the failure is reported.
constexpr int kSecondsToTry = 60;

QString dateText(tv::DateTime when) {
    return tv::Format(tv::Variant(when), QStringLiteral("General Date"));
}

// The first second from `start` on at which the customer has no activity yet.
tv::DateTime freeSecond(const QString& customer, tv::DateTime start) {
    engine::Recordset rs = OpenTable(QStringLiteral("Activities"));
    if (!rs.IsOpen()) return start;
    tv::DateTime when = start;
    for (int i = 0; i < kSecondsToTry; ++i) {
        if (!SeekRecord(rs, customer, dateText(when), QString())) break;
        when = tv::DateAddSeconds(when, 1);
    }
    rs.Close();
    return when;
}

}  // namespace

std::optional<ActivityLogOption> ReadLogOption(const QString& category, const QString& key) {
    engine::Recordset rs = OpenTable(QStringLiteral("Activity Log Options"), kDefinitionsDb);
    if (!rs.IsOpen()) return std::nullopt;
    std::optional<ActivityLogOption> option;
    if (SeekRecord(rs, category, key, QString(), kDefinitionsDb)) {
        const auto text = [&](int column) {
            const tv::Variant v = rs.FieldAt(column).Value();
            return v.isNull() ? QString() : tv::CStr(v);
        };
        ActivityLogOption found{text(2), text(3), text(4), text(5)};
        if (!found.activityType.trimmed().isEmpty()) option = found;
    }
    rs.Close();
    return option;
}

bool WriteLogEntry(const ActivityLogOption& option, const QString& customer,
                   const QString& contact, const QString& description) {
    const tv::DateTime now{std::floor(prompter().now().serial * 86400.0 + 0.5) / 86400.0};

    FieldValueArray& values = state().FieldValues;
    values.clear();
    values.resize(kCostColumn + 1);
    values(kCustomerColumn + 1) = customer;
    values(kWhenColumn + 1) = dateText(freeSecond(customer, now));
    values(kTypeColumn + 1) = option.activityType;
    values(kDescriptionColumn + 1) = description;
    values(kUserColumn + 1) = state().CurrentUserId;
    values(kContactColumn + 1) = contact;
    values(kDurationColumn + 1) = option.duration;
    values(kCostColumn + 1) = option.cost;
    return AddRecord(QStringLiteral("Activities"));
}

bool LogNewRecord(const QString& table, const QString& documentNumber, const QString& customer,
                  const QString& contact) {
    const std::optional<ActivityLogOption> option = ReadLogOption(kLogNewRecord, table);
    if (!option) return true;
    const QString description =
        option->description.isEmpty()
            ? QStringLiteral("Record added to ") + table
            : option->description + QStringLiteral(" (") + documentNumber + QStringLiteral(")");
    return WriteLogEntry(*option, customer, contact, description);
}

bool LogEvent(const QString& category, const QString& key, const QString& customer,
              const QString& contact, const QString& detail) {
    const std::optional<ActivityLogOption> option = ReadLogOption(category, key);
    if (!option) return true;
    QString description = option->description;
    if (!detail.isEmpty())
        description += (description.isEmpty() ? QString() : QStringLiteral(" ")) +
                       QStringLiteral("(") + detail + QStringLiteral(")");
    return WriteLogEntry(*option, customer, contact, description);
}

}  // namespace tv::data
