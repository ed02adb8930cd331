// Materialised query results.
#include "engine/snapshot_cursor.h"

#include "engine/query_fields.h"
#include "engine/values.h"

#include <algorithm>

namespace tv::engine {

SnapshotCursor::SnapshotCursor(DbHandle db, const QString& sql, std::vector<ResultItem> items)
    : db_(std::move(db)) {
    data_ = std::make_shared<Data>();
    data_->sql = sql;
    data_->items = std::move(items);
    load();
}

void SnapshotCursor::load() {
    auto data = std::make_shared<Data>();
    data->sql = data_->sql;
    data->items = data_->items;
    {
        Statement statement = db_->conn().once(data->sql);
        const int count = statement.columnCount();
        data->fields = describeColumns(statement, 0, count, nullptr, &data->items,
                                       db_->conn().isServer() ? &db_->conn() : nullptr);
        data->rows.reset(static_cast<size_t>(count));
        std::vector<bool> typed(static_cast<size_t>(count), false);
        while (statement.step()) {
            for (int col = 0; col < count; ++col) {
                FieldInfo& field = data->fields[static_cast<size_t>(col)];
                // An expression reports the type of its first value that is not Null.
                if (field.typeFromValue && !typed[static_cast<size_t>(col)] &&
                    !statement.isNull(col)) {
                    field.type = dynamicType(statement.columnType(col));
                    typed[static_cast<size_t>(col)] = true;
                }
            }
            data->rows.append(statement, 0, -1);
        }
    }
    data_ = std::move(data);
    pos_ = 0;
    none_ = false;
}

std::unique_ptr<RowSource> SnapshotCursor::clone() const {
    auto copy = std::unique_ptr<SnapshotCursor>(new SnapshotCursor(*this));
    copy->none_ = true;
    return copy;
}

void SnapshotCursor::requery() { load(); }

void SnapshotCursor::jumpTo(long pos) {
    none_ = false;
    pos_ = std::clamp(pos, -1L, size());
}

void SnapshotCursor::moveNext() { jumpTo(none_ ? 0 : pos_ + 1); }

void SnapshotCursor::movePrevious() { jumpTo(none_ ? size() - 1 : pos_ - 1); }

void SnapshotCursor::move(long rows) { jumpTo(pos_ + rows); }

tv::Variant SnapshotCursor::value(int column) {
    return data_->rows.value(static_cast<size_t>(pos_), static_cast<size_t>(column),
                             data_->fields[static_cast<size_t>(column)]);
}

void SnapshotCursor::setAbsolutePosition(long position) {
    if (position < 0 || position >= size()) fail(err::kNoCurrentRecord);
    jumpTo(position);
}

bool SnapshotCursor::gotoBookmark(const QByteArray& bookmark) {
    std::int64_t pos = 0;
    if (!decodeBookmark(bookmark, &pos) || pos < 0 || pos >= size()) return false;
    jumpTo(static_cast<long>(pos));
    return true;
}

bool SnapshotCursor::matches(Statement& statement, long pos) {
    // Values go in as they were stored, so that dates compare as ISO text.
    for (size_t i = 0; i < data_->rows.columns(); ++i)
        bindStoredValue(statement, static_cast<int>(i) + 1,
                        data_->rows.stored(static_cast<size_t>(pos), i));
    const bool hit = statement.step();
    statement.reset();
    return hit;
}

namespace {

// The type a value bound for a server's comparison takes (a bound value has none).
QString serverCast(const FieldInfo& field) {
    if (field.typeFromValue) return QString();
    switch (field.type) {
        case FieldType::Text:
        case FieldType::Memo:
            return QStringLiteral("::public.citext");
        case FieldType::Date:
            return QStringLiteral("::text");
        case FieldType::LongBinary:
            return QStringLiteral("::bytea");
        case FieldType::Currency:
        case FieldType::Single:
        case FieldType::Double:
            return QStringLiteral("::double precision");
        default:
            return QStringLiteral("::bigint");
    }
}

}  // namespace

bool SnapshotCursor::find(const QString& condition, FindKind kind) {
    // The condition is evaluated on each held row, its values bound under the field names
    // (text fields compare ignoring case, as stored columns do).
    QStringList columns;
    const bool server = db_->conn().isServer();
    for (size_t i = 0; i < data_->fields.size(); ++i) {
        const FieldInfo& field = data_->fields[i];
        columns << QStringLiteral("?%1%2 AS %3")
                       .arg(i + 1)
                       .arg(server ? serverCast(field)
                            : isTextual(field.type) ? QStringLiteral(" COLLATE NOCASE")
                                                    : QString(),
                            quoteName(field.name));
    }
    Statement statement = db_->conn().once(QStringLiteral("SELECT 1 FROM (SELECT %1) AS tv_row WHERE (%2)")
                                               .arg(columns.join(QLatin1String(", ")), condition));
    const long pos =
        findInOrder(findFrom(kind, onRow(), !none_ && pos_ < 0, !none_ && pos_ >= size()), pos_,
                    size(), [&](long at) { return matches(statement, at); });
    if (pos < 0) return false;
    jumpTo(pos);
    return true;
}

}  // namespace tv::engine
