#include "messaging/calendar_export.h"

#include "core/convert.h"
#include "data/access.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "engine/engine.h"

#include <libical/ical.h>

#include <QCryptographicHash>
#include <QSaveFile>
#include <QTextDocumentFragment>
#include <cmath>
#include <memory>

namespace tv::messaging {

namespace {

constexpr int kWriteFailed = 9144;
constexpr int kDefaultMinutes = 30;

// SCHEDULED ACTIVITIES columns (0-based).
constexpr int kCustomer = 0;
constexpr int kWhen = 1;
constexpr int kType = 2;
constexpr int kDescription = 3;
constexpr int kUser = 4;
constexpr int kContact = 5;
constexpr int kDuration = 8;
constexpr int kNotes = 12;

QString textOf(const tv::Variant& v) { return v.isNull() ? QString() : tv::CStr(v); }

// Notes are kept as rich text; a calendar wants plain text.
QString plainText(const QString& notes) {
    if (!Qt::mightBeRichText(notes)) return notes;
    return QTextDocumentFragment::fromHtml(notes).toPlainText();
}

CalendarEvent eventOf(const engine::Recordset& rs) {
    CalendarEvent e;
    e.customer = textOf(rs[kCustomer]);
    e.start = tv::CDate(rs[kWhen]);
    const tv::Variant minutes = rs[kDuration];
    e.minutes = minutes.isNull() ? 0.0 : tv::CDbl(minutes);
    e.type = textOf(rs[kType]);
    e.description = textOf(rs[kDescription]);
    e.user = textOf(rs[kUser]);
    e.contact = textOf(rs[kContact]);
    e.notes = plainText(textOf(rs[kNotes]));
    return e;
}

std::vector<CalendarEvent> readEvents(const QString& sql) {
    std::vector<CalendarEvent> events;
    engine::Recordset rs = data::OpenTable(sql);
    if (!rs.IsOpen()) return events;
    const std::optional<data::Failure> failed = data::attempt([&] {
        for (; !rs.EOF_(); rs.MoveNext()) events.push_back(eventOf(rs));
    });
    rs.Close();
    if (failed) data::ShowMessage(194, QStringLiteral("\n\n") + sql + data::errorTail(*failed));
    return events;
}

icaltimetype icalTime(tv::DateTime d) {
    icaltimetype t = icaltime_null_time();
    t.year = tv::Year(d);
    t.month = tv::Month(d);
    t.day = tv::Day(d);
    t.hour = tv::Hour(d);
    t.minute = tv::Minute(d);
    t.second = tv::Second(d);
    t.is_date = 0;
    return t;
}

QByteArray utf8(const QString& s) { return s.toUtf8(); }

QString summaryOf(const CalendarEvent& e) {
    QString who = e.customer;
    if (!e.contact.isEmpty()) who += QStringLiteral(" (") + e.contact + u')';
    return e.type.isEmpty() ? who : e.type + QStringLiteral(": ") + who;
}

QString bodyOf(const CalendarEvent& e) {
    QStringList parts;
    if (!e.description.isEmpty()) parts << e.description;
    if (!e.contact.isEmpty()) parts << QStringLiteral("Contact: ") + e.contact;
    if (!e.user.isEmpty()) parts << QStringLiteral("Assigned to: ") + e.user;
    if (!e.notes.trimmed().isEmpty()) parts << e.notes.trimmed();
    return parts.join(u'\n');
}

// The same plan always gets the same UID, whatever letter case its customer is typed in.
QByteArray uidOf(const CalendarEvent& e) {
    const QByteArray key = utf8(e.customer.toLower() + u'|' + tv::toIsoText(e.start));
    return QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex() +
           QByteArrayLiteral("@tolvarine");
}

icalcomponent* eventComponent(const CalendarEvent& e, icaltimetype stamp) {
    icalcomponent* event = icalcomponent_new_vevent();
    icalcomponent_add_property(event, icalproperty_new_uid(uidOf(e).constData()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    icalcomponent_add_property(event, icalproperty_new_dtstart(icalTime(e.start)));
    const int minutes =
        e.minutes > 0 ? static_cast<int>(std::lround(e.minutes)) : kDefaultMinutes;
    icalcomponent_add_property(
        event, icalproperty_new_duration(icaldurationtype_from_int(std::max(minutes, 1) * 60)));
    icalcomponent_add_property(event, icalproperty_new_summary(utf8(summaryOf(e)).constData()));
    const QString body = bodyOf(e);
    if (!body.isEmpty())
        icalcomponent_add_property(event, icalproperty_new_description(utf8(body).constData()));
    if (!e.type.isEmpty())
        icalcomponent_add_property(event, icalproperty_new_categories(utf8(e.type).constData()));
    return event;
}

}  // namespace

std::optional<CalendarEvent> ScheduledEvent(const QString& customer, tv::DateTime when) {
    const std::vector<CalendarEvent> events = readEvents(
        QStringLiteral("SELECT * FROM [SCHEDULED ACTIVITIES] WHERE [CUSTOMER NAME] = ") +
        engine::quoteLiteral(customer) + QStringLiteral(" AND [SCHEDDATETIME] = ") +
        engine::sqlLiteral(tv::Variant(when)));
    if (events.empty()) return std::nullopt;
    return events.front();
}

std::vector<CalendarEvent> ScheduledEvents(const QString& user, tv::DateTime first,
                                           tv::DateTime last) {
    const tv::DateTime from{std::floor(first.serial)};
    const tv::DateTime until{std::floor(last.serial) + 1.0};
    return readEvents(QStringLiteral("SELECT * FROM [SCHEDULED ACTIVITIES] WHERE [USER ID] = ") +
                      engine::quoteLiteral(user) + QStringLiteral(" AND [SCHEDDATETIME] >= ") +
                      engine::sqlLiteral(tv::Variant(from)) +
                      QStringLiteral(" AND [SCHEDDATETIME] < ") +
                      engine::sqlLiteral(tv::Variant(until)) +
                      QStringLiteral(" ORDER BY [SCHEDDATETIME]"));
}

QByteArray CalendarText(const std::vector<CalendarEvent>& events) {
    std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> calendar(
        icalcomponent_new_vcalendar(), &icalcomponent_free);
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(),
                               icalproperty_new_prodid("-//Tolvarine//Scheduled Activities//EN"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_method(ICAL_METHOD_PUBLISH));
    const icaltimetype stamp =
        icaltime_from_timet_with_zone(time(nullptr), 0, icaltimezone_get_utc_timezone());
    for (const CalendarEvent& e : events)
        icalcomponent_add_component(calendar.get(), eventComponent(e, stamp));
    char* text = icalcomponent_as_ical_string_r(calendar.get());
    QByteArray result(text);
    icalmemory_free_buffer(text);
    return result;
}

bool WriteCalendarFile(const QString& path, const std::vector<CalendarEvent>& events) {
    QSaveFile file(path);
    const QByteArray text = CalendarText(events);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        data::ShowMessage(kWriteFailed, path + QStringLiteral("\n\n") + file.errorString());
        return false;
    }
    return true;
}

}  // namespace tv::messaging
