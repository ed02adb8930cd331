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
void readRows(const QString& sql, const std::function<void(const engine::Recordset&)>& row,
              const std::function<void(long)>& counted = {}) {
    AppState& st = state();
    if (!st.DataOpen && !OpenDataDatabase()) return;
    QString source = sql;
    const std::optional<Failure> failed = attempt([&] {
        if (st.WorkflowMode && st.ApplyWorkflowFilter) source = st.ApplyWorkflowFilter(sql);
        engine::Recordset rs = detail::databaseFor(kDataDb).OpenRecordset(
            source, engine::RecordsetType::Snapshot);
        if (counted) counted(rs.RecordCount());
        for (; !rs.EOF_(); rs.MoveNext()) row(rs);
    });
    if (failed) ShowMessage(kReadFailed, QStringLiteral("\n\n") + source + errorTail(*failed));
}

// The select lists of the two parts of a diary query: the plans (or activities) and the
// labour lines, in one column order, so that one UNION ALL reads both in time order:
//   0 kind, 1 customer, 2 moment, 3 type, 4 description, 5 user, 6 contact, 7 minutes,
//   8 request number, 9 line number.
QString activityPart(bool plans, const QString& where) {
    return QStringLiteral("SELECT %1, [CUSTOMER NAME], [%2], [ACTIVITY TYPE], [DESCRIPTION], "
                          "[%3], [CONTACT NAME], [DURATION], Null, Null FROM [%4] WHERE ")
               .arg(plans ? QStringLiteral("0") : QStringLiteral("1"))
               .arg(plans ? QStringLiteral("SCHEDDATETIME") : QStringLiteral("DATETIME"),
                    plans ? QStringLiteral("USER ID") : QStringLiteral("SALES REP ID"),
                    plans ? QStringLiteral("SCHEDULED ACTIVITIES") : QStringLiteral("ACTIVITIES")) +
           where;
}

QString linePart(const char* placedBy, const QString& where) {
    // Labour is kept in hours.
    return QStringLiteral("SELECT 2, Null, [%1], Null, [DESCRIPTION], [PERSONNEL], Null, "
                          "[DURATION] * 60, [REQUESTNO], [ACTIVITYNO] FROM [REQUEST ACTIVITIES] "
                          "WHERE ")
               .arg(QString::fromLatin1(placedBy)) +
           where;
}

DiaryItem itemOf(const engine::Recordset& rs, bool completed) {
    DiaryItem item;
    const int kind = static_cast<int>(amountOf(rs[0]));
    item.kind = kind == 0 ? DiaryKind::Scheduled
                          : kind == 1 ? DiaryKind::Completed : DiaryKind::RequestLine;
    const tv::DateTime moment = tv::CDate(rs[2]);
    const double minutes = std::max(0.0, amountOf(rs[7]));
    if (item.kind == DiaryKind::RequestLine) {
        item.completedLine = completed;
        item.detail = textOf(rs[4]);
        item.key1 = textOf(rs[8]);
        item.key2 = textOf(rs[9]);
    } else {
        item.customer = textOf(rs[1]);
        item.type = textOf(rs[3]);
        item.text = textOf(rs[4]);
        item.contact = textOf(rs[6]);
        item.key1 = item.customer;
        item.key2 = tv::toIsoText(moment);
    }
    item.user = textOf(rs[5]);
    // Plans and labour start at their moment; an activity is saved when it ends.
    item.start = item.kind == DiaryKind::Completed ? plusMinutes(moment, -minutes) : moment;
    item.end = item.kind == DiaryKind::Completed ? moment : plusMinutes(moment, minutes);
    return item;
}

// Both parts, in time order.
void readUnion(const QString& first, const QString& second, bool completed,
               std::vector<DiaryItem>* out) {
    readRows(first + QStringLiteral(" UNION ALL ") + second + QStringLiteral(" ORDER BY 3, 1, 2"),
             [&](const engine::Recordset& rs) {
                 if (!rs[2].isNull()) out->push_back(itemOf(rs, completed));
             },
             [&](long rows) { out->reserve(out->size() + static_cast<size_t>(std::max(0L, rows))); });
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

// The planned items up to `until` (from `plannedFrom` when bounded; the earlier ones are
// the overdue part of a day) and the completed items of [from, until), by start.
std::vector<DiaryItem> readItems(const DiaryScope& scope, tv::DateTime plannedFrom,
                                 tv::DateTime from, tv::DateTime until, bool boundPlanned) {
    std::vector<DiaryItem> items;
    if (scope.scheduled) {
        const auto upTo = [&](const char* column) {
            return boundPlanned ? within(column, plannedFrom, until)
                                : u'[' + QString::fromLatin1(column) + QStringLiteral("] < ") +
                                      literal(until);
        };
        readUnion(activityPart(true, whose(scope, "USER ID") + upTo("SCHEDDATETIME")),
                  linePart("SCHEDULED", whose(scope, "PERSONNEL") + upTo("SCHEDULED") +
                                            QStringLiteral(" AND [COMPLETED] = Null")),
                  false, &items);
    }
    if (scope.completed) {
        std::vector<DiaryItem> done;
        readUnion(activityPart(false, whose(scope, "SALES REP ID") + within("DATETIME", from, until)),
                  linePart("DATE/TIME", whose(scope, "PERSONNEL") + within("DATE/TIME", from, until) +
                                            QStringLiteral(" AND [COMPLETED] <> Null")),
                  true, &done);
        // An activity starts its duration before its moment: the order may change.
        byStart(&done);
        if (items.empty()) {
            items = std::move(done);
        } else {
            const size_t planned = items.size();
            items.insert(items.end(), std::make_move_iterator(done.begin()),
                         std::make_move_iterator(done.end()));
            std::inplace_merge(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(planned),
                               items.end(), [](const DiaryItem& a, const DiaryItem& b) {
                                   return a.start.serial < b.start.serial;
                               });
        }
    }
    nameRequests(&items);
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
                 whose(scope, "USER ID") + within("SCHEDDATETIME", first, next) +
                 QStringLiteral(" UNION ALL SELECT [SCHEDULED] FROM [REQUEST ACTIVITIES] WHERE ") +
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
