#include "data/diary.h"

#include "core/convert.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "engine/engine.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <functional>

namespace tv::data {

namespace {

constexpr int kReadFailed = 194;
// Request numbers looked up in one statement.
constexpr int kRequestsPerQuery = 500;

tv::DateTime dayOf(tv::DateTime d) { return tv::DateTime{std::floor(d.serial)}; }
tv::DateTime plusDays(tv::DateTime d, double days) { return tv::DateTime{d.serial + days}; }
tv::DateTime plusMinutes(tv::DateTime d, double minutes) {
    return tv::DateTime{d.serial + minutes / (24.0 * 60.0)};
}

QString literal(tv::DateTime d) { return engine::sqlLiteral(tv::Variant(d)); }
QString textOf(const tv::Variant& v) { return v.isNull() ? QString() : tv::CStr(v); }
double amountOf(const tv::Variant& v) { return v.isNull() ? 0.0 : tv::CDbl(v); }

// "[column] = 'user' AND " for one user's items; nothing for everyone's.
QString whose(const DiaryScope& scope, const char* column) {
    if (scope.everyone) return QString();
    return u'[' + QString::fromLatin1(column) + QStringLiteral("] = ") +
           engine::quoteLiteral(scope.user) + QStringLiteral(" AND ");
}

// "[column] >= #from# AND [column] < #until#"
QString within(const char* column, tv::DateTime from, tv::DateTime until) {
    const QString c = u'[' + QString::fromLatin1(column) + u']';
    return c + QStringLiteral(" >= ") + literal(from) + QStringLiteral(" AND ") + c +
           QStringLiteral(" < ") + literal(until);
}

// Runs a query of the data database (restricted as the signed-in user's workflow asks) and
// hands every row to `row`. The rows are read whole when the query runs, so no statement
// stays open between rows.
void readRows(const QString& sql, const std::function<void(const engine::Recordset&)>& row) {
    AppState& st = state();
    if (!st.DataOpen && !OpenDataDatabase()) return;
    QString source = sql;
    const std::optional<Failure> failed = attempt([&] {
        if (st.WorkflowMode && st.ApplyWorkflowFilter) source = st.ApplyWorkflowFilter(sql);
        engine::Recordset rs = detail::databaseFor(kDataDb).OpenRecordset(
            source, engine::RecordsetType::Snapshot);
        for (; !rs.EOF_(); rs.MoveNext()) row(rs);
    });
    if (failed) ShowMessage(kReadFailed, QStringLiteral("\n\n") + source + errorTail(*failed));
}

// Plans and activities share their first columns; the select lists below keep that order.
const QString kActivityColumns = QStringLiteral(
    "[CUSTOMER NAME], [%1], [ACTIVITY TYPE], [DESCRIPTION], [%2], [CONTACT NAME], [DURATION]");

DiaryItem activityItem(const engine::Recordset& rs, DiaryKind kind) {
    DiaryItem item;
    item.kind = kind;
    item.customer = textOf(rs[0]);
    const tv::DateTime moment = tv::CDate(rs[1]);
    item.type = textOf(rs[2]);
    item.text = textOf(rs[3]);
    item.user = textOf(rs[4]);
    item.contact = textOf(rs[5]);
    const double minutes = std::max(0.0, amountOf(rs[6]));
    // A plan starts at its moment; an activity is saved when it ends.
    item.start = kind == DiaryKind::Scheduled ? moment : plusMinutes(moment, -minutes);
    item.end = kind == DiaryKind::Scheduled ? plusMinutes(moment, minutes) : moment;
    item.key1 = item.customer;
    item.key2 = tv::toIsoText(moment);
    return item;
}

void readActivities(const QString& where, DiaryKind kind, std::vector<DiaryItem>* out) {
    const bool plans = kind == DiaryKind::Scheduled;
    const QString moment = plans ? QStringLiteral("SCHEDDATETIME") : QStringLiteral("DATETIME");
    const QString sql =
        QStringLiteral("SELECT ") +
        kActivityColumns.arg(moment, plans ? QStringLiteral("USER ID") : QStringLiteral("SALES REP ID")) +
        QStringLiteral(" FROM [") +
        (plans ? QStringLiteral("SCHEDULED ACTIVITIES") : QStringLiteral("ACTIVITIES")) +
        QStringLiteral("] WHERE ") + where + QStringLiteral(" ORDER BY [") + moment + u']';
    readRows(sql, [&](const engine::Recordset& rs) {
        if (!rs[1].isNull()) out->push_back(activityItem(rs, kind));
    });
}

// Labour lines; `placedBy` is the column that dates them (SCHEDULED or DATE/TIME).
void readLines(const QString& where, const char* placedBy, bool completed,
               std::vector<DiaryItem>* out) {
    const QString placed = u'[' + QString::fromLatin1(placedBy) + u']';
    const QString sql =
        QStringLiteral("SELECT [REQUESTNO], [ACTIVITYNO], ") + placed +
        QStringLiteral(", [DESCRIPTION], [PERSONNEL], [DURATION] FROM [REQUEST ACTIVITIES] WHERE ") +
        where + QStringLiteral(" AND [COMPLETED] ") +
        (completed ? QStringLiteral("<> Null") : QStringLiteral("= Null")) +
        QStringLiteral(" ORDER BY ") + placed;
    readRows(sql, [&](const engine::Recordset& rs) {
        if (rs[2].isNull()) return;
        DiaryItem item;
        item.kind = DiaryKind::RequestLine;
        item.completedLine = completed;
        item.key1 = textOf(rs[0]);
        item.key2 = textOf(rs[1]);
        item.start = tv::CDate(rs[2]);
        item.detail = textOf(rs[3]);
        item.user = textOf(rs[4]);
        // Labour is kept in hours.
        item.end = plusMinutes(item.start, std::max(0.0, amountOf(rs[5])) * 60.0);
        out->push_back(item);
    });
}

// Gives labour lines their request's summary and customer: from the open requests, else
// from the closed ones. A line whose request is in neither keeps its own description.
void nameRequests(const std::vector<DiaryItem*>& lines) {
    QHash<QString, std::pair<QString, QString>> found;  // request number -> summary, customer
    QStringList wanted;
    for (const DiaryItem* line : lines)
        if (!wanted.contains(line->key1) && !line->key1.isEmpty()) wanted << line->key1;
    QHash<QString, bool> open;
    for (const bool current : {true, false}) {
        QStringList missing;
        for (const QString& n : wanted)
            if (!found.contains(n)) missing << n;
        for (qsizetype i = 0; i < missing.size(); i += kRequestsPerQuery) {
            // Request numbers are whole numbers read from a Long column.
            const QString list = missing.mid(i, kRequestsPerQuery).join(QStringLiteral(", "));
            readRows(QStringLiteral("SELECT [REQUESTNO], [SUMMARY], [CUSTOMER NAME] FROM [") +
                         (current ? QStringLiteral("CURRENT REQUESTS")
                                  : QStringLiteral("COMPLETED REQUESTS")) +
                         QStringLiteral("] WHERE [REQUESTNO] IN (") + list + u')',
                     [&](const engine::Recordset& rs) {
                         const QString n = textOf(rs[0]);
                         found.insert(n, {textOf(rs[1]), textOf(rs[2])});
                         open.insert(n, current);
                     });
        }
    }
    for (DiaryItem* line : lines) {
        const auto it = found.constFind(line->key1);
        line->requestOpen = it != found.cend() && open.value(line->key1);
        if (it != found.cend()) {
            line->customer = it->second;
            line->text = it->first;
        }
        if (line->text.isEmpty()) line->text = line->detail;
    }
}

void nameRequests(std::vector<DiaryItem>* items) {
    std::vector<DiaryItem*> lines;
    for (DiaryItem& item : *items)
        if (item.kind == DiaryKind::RequestLine) lines.push_back(&item);
    if (!lines.empty()) nameRequests(lines);
}

void byStart(std::vector<DiaryItem>* items) {
    std::stable_sort(items->begin(), items->end(), [](const DiaryItem& a, const DiaryItem& b) {
        return a.start.serial < b.start.serial;
    });
}

// The planned and completed items of [from, until), by start; planned items from
// `plannedFrom` (earlier ones are the overdue part of a day).
std::vector<DiaryItem> readItems(const DiaryScope& scope, tv::DateTime plannedFrom,
                                 tv::DateTime from, tv::DateTime until, bool boundPlanned) {
    std::vector<DiaryItem> items;
    if (scope.scheduled) {
        const QString plans =
            boundPlanned ? within("SCHEDDATETIME", plannedFrom, until)
                         : QStringLiteral("[SCHEDDATETIME] < ") + literal(until);
        readActivities(whose(scope, "USER ID") + plans, DiaryKind::Scheduled, &items);
        const QString lines = boundPlanned ? within("SCHEDULED", plannedFrom, until)
                                           : QStringLiteral("[SCHEDULED] < ") + literal(until);
        readLines(whose(scope, "PERSONNEL") + lines, "SCHEDULED", false, &items);
    }
    if (scope.completed) {
        readActivities(whose(scope, "SALES REP ID") + within("DATETIME", from, until),
                       DiaryKind::Completed, &items);
        readLines(whose(scope, "PERSONNEL") + within("DATE/TIME", from, until), "DATE/TIME", true,
                  &items);
    }
    nameRequests(&items);
    byStart(&items);
    return items;
}

}  // namespace

bool isUntimed(tv::DateTime moment) { return tv::Hour(moment) == 0; }

std::vector<int> DiaryMarkedDays(const DiaryScope& scope, int year, int month) {
    const tv::DateTime first = tv::DateFromParts(year, month, 1);
    const tv::DateTime next = tv::DateSerial(year, month + 1, 1);
    std::vector<bool> marked(32, false);
    const auto mark = [&](const engine::Recordset& rs) {
        if (!rs[0].isNull()) marked[static_cast<size_t>(tv::Day(tv::CDate(rs[0])))] = true;
    };
    readRows(QStringLiteral("SELECT [SCHEDDATETIME] FROM [SCHEDULED ACTIVITIES] WHERE ") +
                 whose(scope, "USER ID") + within("SCHEDDATETIME", first, next),
             mark);
    readRows(QStringLiteral("SELECT [SCHEDULED] FROM [REQUEST ACTIVITIES] WHERE ") +
                 whose(scope, "PERSONNEL") + within("SCHEDULED", first, next) +
                 QStringLiteral(" AND [COMPLETED] = Null"),
             mark);
    std::vector<int> days;
    for (int d = 1; d <= 31; ++d)
        if (marked[static_cast<size_t>(d)]) days.push_back(d);
    return days;
}

DiaryDay ReadDiaryDay(const DiaryScope& scope, tv::DateTime day) {
    const tv::DateTime from = dayOf(day);
    const tv::DateTime until = plusDays(from, 1);
    DiaryDay result;
    for (DiaryItem& item : readItems(scope, from, from, until, false)) {
        if (item.planned() && item.start.serial < from.serial)
            result.overdue.push_back(std::move(item));
        else if (item.planned() && isUntimed(item.start))
            result.untimed.push_back(std::move(item));
        else
            result.planner.push_back(std::move(item));
    }
    return result;
}

std::vector<DiaryItem> ReadDiaryRange(const DiaryScope& scope, tv::DateTime first,
                                      tv::DateTime last) {
    const tv::DateTime from = dayOf(first);
    const tv::DateTime until = plusDays(dayOf(last), 1);
    return readItems(scope, from, from, until, true);
}

}  // namespace tv::data
