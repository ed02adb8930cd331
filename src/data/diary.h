// The diary's rows (tvDiary): what one user (or everyone) has planned and done, read as
// plain values for the Diary window and the calendar export.
//
// Three sources feed it: scheduled activities (planned, by [USER ID]), activities
// (completed, by [SALES REP ID]) and service request labour lines (by [PERSONNEL]; planned
// while [COMPLETED] is Null, placed by [SCHEDULED]; completed ones by [DATE/TIME]). A labour
// line shows its request's summary and customer, read from CURRENT REQUESTS or, once the
// request is closed, from COMPLETED REQUESTS.
//
// Every query is bounded by date in SQL, so a user with tens of thousands of plans still
// gets the month and the day at once: the month reads only the month's rows, the day reads
// the rows up to its end (the earlier ones are the overdue list). Rows without a date are
// skipped. Read errors are reported (message 194) and leave what was read so far.
#pragma once

#include "core/variant.h"

#include <QString>
#include <vector>

namespace tv::data {

enum class DiaryKind {
    Scheduled,    // a row of SCHEDULED ACTIVITIES
    Completed,    // a row of ACTIVITIES
    RequestLine,  // a row of REQUEST ACTIVITIES
};

struct DiaryItem {
    DiaryKind kind = DiaryKind::Scheduled;
    tv::DateTime start;
    tv::DateTime end;  // start plus the duration (the same moment when none is given)
    QString text;      // the description; a labour line's request summary
    QString customer;
    QString type;      // activity type; empty for labour lines
    QString contact;
    QString user;
    QString detail;  // a labour line's own description
    // The row's key: customer name and the stored moment (ISO) for activities and plans,
    // request number and line number for labour lines.
    QString key1;
    QString key2;
    // Labour lines: whether the line is completed, and whether its request is still open
    // (false: closed, or gone).
    bool completedLine = false;
    bool requestOpen = true;

    // Planned work: a plan, or a labour line not yet completed.
    bool planned() const {
        return kind == DiaryKind::Scheduled || (kind == DiaryKind::RequestLine && !completedLine);
    }
};

// Whose items and which kinds.
struct DiaryScope {
    QString user;           // the user whose diary is shown
    bool everyone = false;  // every user's items instead
    bool scheduled = true;  // planned items: plans and labour lines not yet completed
    bool completed = false; // completed activities and completed labour lines
};

// The days (1 to 31) of the month holding planned items of the scope's user(s), ascending:
// scheduled activities, and labour lines not yet completed by their scheduled date.
std::vector<int> DiaryMarkedDays(const DiaryScope& scope, int year, int month);

// One day of the diary.
struct DiaryDay {
    std::vector<DiaryItem> planner;  // timed items of the day, by start
    std::vector<DiaryItem> untimed;  // planned items of the day at 00:00 to 00:59
    std::vector<DiaryItem> overdue;  // planned items before the day, oldest first
};

// The day's items as the scope asks: planned items (when scope.scheduled) go to the
// planner, the untimed list or the overdue list; completed items (when scope.completed)
// to the planner, an activity ending at its moment and starting its duration earlier.
DiaryDay ReadDiaryDay(const DiaryScope& scope, tv::DateTime day);

// Every item of the scope from the start of `first` to the end of `last` (whole days), by
// start: what the calendar export writes for the shown week or month.
std::vector<DiaryItem> ReadDiaryRange(const DiaryScope& scope, tv::DateTime first,
                                      tv::DateTime last);

// Whether the item's time of day counts as none: the planned moment's hour is 0.
bool isUntimed(tv::DateTime moment);

}  // namespace tv::data
