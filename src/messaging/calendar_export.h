// Scheduled activities for desktop calendars: one plan, or every plan of a user in a range
// of dates, written as an iCalendar file (.ics, RFC 5545) through libical, so that what a
// calendar program reads is libical's own output rather than text put together here.
//
// Each plan is one VEVENT: its moment as a floating local time (the calendar shows it at
// the same clock time the schedule does), its duration in minutes (30 when none is
// planned), the activity type and customer as the summary, the description, contact and
// notes as its text, and a UID made from the customer and the moment, so that exporting
// the same plan again updates the calendar's copy instead of adding another.
#pragma once

#include "core/variant.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace tv::messaging {

struct CalendarEvent {
    QString customer;
    tv::DateTime start;
    double minutes = 0;  // planned duration; 0: none given
    QString type;
    QString description;
    QString contact;
    QString user;
    QString notes;  // plain text
};

// The plan stored under (customer, moment); nothing when there is none or it cannot be read.
std::optional<CalendarEvent> ScheduledEvent(const QString& customer, tv::DateTime when);
// The user's plans from the start of `first` to the end of `last` (whole days), in time order.
std::vector<CalendarEvent> ScheduledEvents(const QString& user, tv::DateTime first,
                                           tv::DateTime last);

// The events as iCalendar text (a VCALENDAR with one VEVENT each).
QByteArray CalendarText(const std::vector<CalendarEvent>& events);
// Writes that text to the file. Failure: message 9144; false.
bool WriteCalendarFile(const QString& path, const std::vector<CalendarEvent>& events);

}  // namespace tv::messaging
