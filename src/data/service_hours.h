// Service hours: the working-day clock that times service requests. Only the part of each
// day between the service day's start and end counts, and weekends only when the site says
// so. The arithmetic is a pure function over a ServiceDay; ReadServiceDay reads the site's
// day from the definitions' "Option Lists" rows of list "ServiceHours".
#pragma once

#include "core/variant.h"

namespace tv::data {

// The service day: its start and end as seconds after midnight, and whether Saturdays and
// Sundays count. The default is 09:00 to 17:00 on weekdays.
struct ServiceDay {
    int startSecond = 9 * 3600;
    int endSecond = 17 * 3600;
    bool includeWeekends = false;
};

// The site's service day: rows StartTime, EndTime and IncludeWeekends of list
// "ServiceHours" (value column). A missing row, or a value that is no time after midnight,
// keeps the default of that bound; an end not after the start keeps both defaults (a day
// that ends before it starts would count negative hours). IncludeWeekends counts when its
// value is not empty: "1", "-1", "True" or "Yes" include weekends. A table that cannot be
// read shows message 194 and gives the default day.
ServiceDay ReadServiceDay();

// The service hours between two moments on the given day (0 when end is not after start).
// Weekend days are Saturday and Sunday by the day of the week, whatever the language of
// the day names.
double ServiceHoursBetween(const ServiceDay& day, tv::DateTime start, tv::DateTime end);

// The service hours between two moments on the site's service day.
double ServiceHours(tv::DateTime start, tv::DateTime end);

}  // namespace tv::data
