// The service-hours clock and the reading of the site's service day.
#include "data/service_hours.h"

#include "core/calendar.h"
#include "core/convert.h"
#include "data/access.h"
#include "data/failure.h"
#include "engine/engine.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <optional>

namespace tv::data {

namespace {

constexpr int kSecondsPerDay = 86400;
const QString kList = QStringLiteral("ServiceHours");

bool isWeekend(std::int64_t dayNumber) {
    const int weekday = calendar::weekdayOf(dayNumber);  // 1 Sunday .. 7 Saturday
    return weekday == 1 || weekday == 7;
}

bool counts(const ServiceDay& day, std::int64_t dayNumber) {
    return day.includeWeekends || !isWeekend(dayNumber);
}

// The seconds of [from, to) (seconds of one day) that fall inside the service day.
std::int64_t overlap(const ServiceDay& day, int from, int to) {
    return std::max(0, std::min(to, day.endSecond) - std::max(from, day.startSecond));
}

// Service days among the whole days first..last (inclusive), counted without walking them.
std::int64_t serviceDaysIn(const ServiceDay& day, std::int64_t first, std::int64_t last) {
    if (last < first) return 0;
    const std::int64_t total = last - first + 1;
    if (day.includeWeekends) return total;
    std::int64_t days = (total / 7) * 5;
    for (std::int64_t d = first + (total / 7) * 7; d <= last; ++d)
        if (!isWeekend(d)) ++days;
    return days;
}

// The value column of one ServiceHours row, empty when the row is missing.
QString optionValue(engine::Recordset& rs, const QString& option) {
    if (!SeekRecord(rs, kList, option, QString(), kDefinitionsDb)) return QString();
    const tv::Variant v = rs.FieldAt(2).Value();
    return v.isNull() ? QString() : tv::CStr(v).trimmed();
}

// A time of day strictly after midnight, in seconds; nothing for anything else.
std::optional<int> timeAfterMidnight(const QString& text) {
    tv::DateTime parsed;
    if (text.isEmpty() || !tv::parseDateTime(text, &parsed)) return std::nullopt;
    const int second = calendar::split(parsed.serial).secondOfDay;
    if (second <= 0) return std::nullopt;
    return second;
}

bool weekendsIncluded(const QString& text) {
    if (text.compare(QStringLiteral("Yes"), Qt::CaseInsensitive) == 0) return true;
    try {
        return tv::CBool(tv::Variant(text));
    } catch (const tv::ConversionError&) {
        return false;
    }
}

}  // namespace

ServiceDay ReadServiceDay() {
    ServiceDay day;
    engine::Recordset rs = OpenTable(QStringLiteral("Option Lists"), kDefinitionsDb);
    if (!rs.IsOpen()) return day;  // OpenTable has shown message 194
    QString start, end, weekends;
    const std::optional<Failure> failed = attempt([&] {
        start = optionValue(rs, QStringLiteral("StartTime"));
        end = optionValue(rs, QStringLiteral("EndTime"));
        weekends = optionValue(rs, QStringLiteral("IncludeWeekends"));
    });
    (void)attempt([&] { rs.Close(); });
    if (failed) {
        ShowMessage(194, errorTail(*failed));
        return day;
    }
    const ServiceDay defaults;
    day.startSecond = timeAfterMidnight(start).value_or(defaults.startSecond);
    day.endSecond = timeAfterMidnight(end).value_or(defaults.endSecond);
    if (day.endSecond <= day.startSecond) {
        day.startSecond = defaults.startSecond;
        day.endSecond = defaults.endSecond;
    }
    if (!weekends.isEmpty()) day.includeWeekends = weekendsIncluded(weekends);
    return day;
}

double ServiceHoursBetween(const ServiceDay& day, tv::DateTime start, tv::DateTime end) {
    const calendar::Split a = calendar::split(start.serial);
    const calendar::Split b = calendar::split(end.serial);
    std::int64_t seconds = 0;
    if (a.dayNumber == b.dayNumber) {
        if (counts(day, a.dayNumber)) seconds = overlap(day, a.secondOfDay, b.secondOfDay);
    } else if (a.dayNumber < b.dayNumber) {
        if (counts(day, a.dayNumber)) seconds += overlap(day, a.secondOfDay, kSecondsPerDay);
        if (counts(day, b.dayNumber)) seconds += overlap(day, 0, b.secondOfDay);
        seconds += serviceDaysIn(day, a.dayNumber + 1, b.dayNumber - 1) *
                   (day.endSecond - day.startSecond);
    }
    return static_cast<double>(seconds) / 3600.0;
}

double ServiceHours(tv::DateTime start, tv::DateTime end) {
    return ServiceHoursBetween(ReadServiceDay(), start, end);
}

}  // namespace tv::data
