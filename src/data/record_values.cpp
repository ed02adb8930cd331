#include "data/record_values.h"

#include "core/format.h"
#include "core/settings_keys.h"
#include "data/failure.h"
#include "data/prompter.h"

#include <cmath>

namespace tv::data {

namespace {

// A column's value as the list hands it to a record window. Double is left unformatted
// (a "0.00" pattern would cut a quantity such as 2.125); Single is formatted "0", as the
// list always did.
QString textByType(const engine::Field& field) {
    const tv::Variant value = field.Value();
    switch (field.Type()) {
        case engine::FieldType::Boolean:
        case engine::FieldType::Byte:
        case engine::FieldType::Integer:
        case engine::FieldType::Long:
        case engine::FieldType::Single:
            return tv::Format(value, QStringLiteral("0"));
        case engine::FieldType::Currency:
            return tv::Format(value, QStringLiteral("0.00"));
        case engine::FieldType::Date:
            return tv::Format(value, QStringLiteral("General Date"));
        default:
            return tv::TextOf(value);
    }
}

tv::Variant today(const tv::DateTime& now) { return tv::DateTime{std::floor(now.serial)}; }

}  // namespace

bool ReadRecordToValues(const engine::Recordset& rs, FieldValueArray& values) {
    values.clear();
    const std::optional<Failure> failed = attempt([&] {
        if (!rs.IsOpen() || rs.EOF_() || rs.BOF()) return;
        const int count = rs.FieldCount();
        values.resize(count);
        for (int i = 0; i < count; ++i) {
            const engine::Field field = rs.FieldAt(i);
            if (field.Type() == engine::FieldType::LongBinary) continue;
            values(i + 1) = textByType(field);
        }
    });
    if (failed) values.clear();
    return values.size() > 0;
}

void NewRecordDefaults(const QString& tableName, FieldValueArray& values) {
    const tv::DateTime now = prompter().now();
    const QString nowText = tv::Format(tv::Variant(now), QStringLiteral("General Date"));
    const QString todayText = tv::Format(today(now), QStringLiteral("Short Date"));
    const QString user = state().CurrentUserId;
    const auto is = [&](const char* name) {
        return tableName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    const auto billing = [] {
        QString text;
        (void)attempt([&] { text = Setting(keys::BillActivities); });
        return text;
    };

    if (is("Current Requests") || is("RMAs")) {
        values(2) = nowText;
    } else if (is("Activities")) {
        values(2) = nowText;
        values(16) = billing();
    } else if (is("Scheduled Activities")) {
        values(16) = billing();
    } else if (is("Sales Orders") || is("Purchase Orders")) {
        values(2) = todayText;
        values(9) = user;
    } else if (is("Quotations")) {
        values(2) = todayText;
        values(7) = user;
    } else if (is("Sales Opportunities")) {
        values(2) = nowText;
        values(3) = user;
    }
}

}  // namespace tv::data
