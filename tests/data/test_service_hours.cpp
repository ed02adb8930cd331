// Service hours: the clock's arithmetic over a service day, and the day read from the
// definitions. 4 December 2026 is a Friday.
#include "common/data/shipped_fixture.h"
#include "core/convert.h"
#include "data/service_hours.h"
#include "engine/engine.h"

#include <tuple>

namespace tvtest {
namespace {

using namespace tv::data;

tv::DateTime at(int day, int hour, int minute = 0) {
    return tv::DateFromParts(2026, 12, day, hour, minute, 0);
}

struct Span {
    const char* what;
    tv::DateTime start;
    tv::DateTime end;
    double weekdaysOnly;
    double withWeekends;
};

TEST(ServiceHoursBetween, CountsOnlyTheServiceDay) {
    const Span spans[] = {
        {"Friday 16:00 to Monday 10:00", at(4, 16), at(7, 10), 2.0, 18.0},
        {"within one day", at(7, 10), at(7, 11, 30), 1.5, 1.5},
        {"both after the day's end", at(7, 17, 30), at(7, 18), 0.0, 0.0},
        {"both before the day's start", at(7, 7), at(7, 8, 30), 0.0, 0.0},
        {"from before the start to exactly the end", at(7, 8), at(7, 17), 8.0, 8.0},
        {"from inside the day to after its end", at(7, 16), at(7, 19), 1.0, 1.0},
        {"evening to next morning before the start", at(7, 18), at(8, 8), 0.0, 0.0},
        {"evening to next morning inside the day", at(7, 18), at(8, 10, 15), 1.25, 1.25},
        {"on a Saturday", at(5, 10), at(5, 12), 0.0, 2.0},
        {"Saturday to Sunday", at(5, 18), at(6, 10), 0.0, 1.0},
        {"two whole weeks", at(7, 9), at(21, 9), 80.0, 112.0},
        {"end before start, same day", at(7, 11), at(7, 10), 0.0, 0.0},
        {"end before start, days apart", at(8, 11), at(7, 10), 0.0, 0.0},
    };
    for (const Span& span : spans) {
        SCOPED_TRACE(span.what);
        EXPECT_DOUBLE_EQ(ServiceHoursBetween(ServiceDay{}, span.start, span.end), span.weekdaysOnly);
        EXPECT_DOUBLE_EQ(ServiceHoursBetween(ServiceDay{9 * 3600, 17 * 3600, true}, span.start,
                                             span.end),
                         span.withWeekends);
    }
    // Another day's bounds apply on the first, last and middle days alike.
    const ServiceDay morning{8 * 3600 + 1800, 12 * 3600, false};
    EXPECT_DOUBLE_EQ(ServiceHoursBetween(morning, at(4, 8), at(8, 11)), 3.5 + 3.5 + 2.5);
}

class ServiceDayTest : public ShippedDatabasesTest {
protected:
    static void setOption(const QString& option, const QString& value) {
        execDefinitions({QStringLiteral("UPDATE [OPTION LISTS] SET [VALUE] = %1 WHERE "
                                        "[LIST NAME] = 'ServiceHours' AND [OPTION] = %2")
                             .arg(value.isNull() ? "Null" : tv::engine::quoteLiteral(value),
                                  tv::engine::quoteLiteral(option))});
    }
};

TEST_F(ServiceDayTest, ReadsTheSiteRowsAndFallsBackOnBadOnes) {
    struct Case {
        const char* start;
        const char* end;
        const char* weekends;
        ServiceDay day;
    };
    const Case cases[] = {
        {"7:30", "16:45", "True", {7 * 3600 + 1800, 16 * 3600 + 2700, true}},
        {"00:00", "half past five", "1", {9 * 3600, 17 * 3600, true}},
        {"18:00", "17:00", "", {9 * 3600, 17 * 3600, false}},  // ends before it starts
        {"08:00", "2026-12-04 18:30", "Yes", {8 * 3600, 18 * 3600 + 1800, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        setOption("StartTime", c.start);
        setOption("EndTime", c.end);
        setOption("IncludeWeekends", c.weekends);
        const ServiceDay day = ReadServiceDay();
        EXPECT_EQ(std::tie(day.startSecond, day.endSecond, day.includeWeekends),
                  std::tie(c.day.startSecond, c.day.endSecond, c.day.includeWeekends));
    }
    execDefinitions({"DELETE * FROM [OPTION LISTS] WHERE [LIST NAME] = 'ServiceHours'"});
    EXPECT_DOUBLE_EQ(ServiceHours(at(4, 16), at(7, 10)), 2.0);
}

}  // namespace
}  // namespace tvtest
