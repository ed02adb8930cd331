// Moving rows between the databases and the shared record buffer: load, read one column,
// add, update, insert-or-update and delete.
#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/key_change.h"
#include "data/prompter.h"
#include "data/source_text.h"

#include <algorithm>
#include <array>
#include <functional>

namespace tv::data {

namespace {

enum class Writing { NewRow, ExistingRow };

// FieldValues element i goes to column i-1; an empty text writes Null. An auto-numbered
// column is left to the engine when empty (a new row gets its number) and never rewritten
// on an existing row, where its number is fixed.
void writeBuffer(engine::Recordset& rs, Writing mode) {
    const FieldValueArray& values = state().FieldValues;
    const int count = std::min(values.size(), rs.FieldCount());
    for (int i = 1; i <= count; ++i) {
        engine::Field field = rs.FieldAt(i - 1);
        const QString& text = values(i);
        if (field.AutoIncrement() && (mode == Writing::ExistingRow || text.isEmpty())) continue;
        field.SetValue(text.isEmpty() ? tv::Variant() : tv::Variant(text));
    }
}

// The values of SaveRecord: dates and texts are emptied by an empty text, a Boolean
// becomes False, and any other column (memos and numbers among them) keeps what it holds.
void writeValues(engine::Recordset& rs, const QStringList& values) {
    const int count = std::min(static_cast<int>(values.size()), rs.FieldCount());
    for (int i = 0; i < count; ++i) {
        engine::Field field = rs.FieldAt(i);
        const QString& text = values.at(i);
        if (!text.isEmpty()) {
            if (field.AutoIncrement() && rs.EditModeNow() == engine::EditMode::InProgress) continue;
            field.SetValue(tv::Variant(text));
            continue;
        }
        switch (field.Type()) {
            case engine::FieldType::Date:
            case engine::FieldType::Text:
                field.SetValue(tv::Variant());
                break;
            case engine::FieldType::Boolean:
                field.SetValue(tv::Variant(false));
                break;
            default:
                break;
        }
    }
}

QString formatByType(const engine::Field& field) {
    const tv::Variant v = field.Value();
    switch (field.Type()) {
        case engine::FieldType::Boolean:
        case engine::FieldType::Byte:
        case engine::FieldType::Integer:
        case engine::FieldType::Long:
            return tv::Format(v, QStringLiteral("0"));
        case engine::FieldType::Currency:
        case engine::FieldType::Single:
        case engine::FieldType::Double:
            return tv::Format(v, QStringLiteral("0.00"));
        case engine::FieldType::Date:
            return tv::Format(v, QStringLiteral("General Date"));
        default:
            return tv::TextOf(v);
    }
}

// A delete the engine refused; nothing was changed.
constexpr int kMsgDeleteRefused = 9040;

QString keyList(const QString& key1, const QString& key2, const QString& key3) {
    return QStringLiteral("\n\n") + key1 + u'\n' + key2 + u'\n' + key3;
}

}  // namespace

bool LoadRecord(const QString& source, const QString& key1, const QString& key2, int database) {
    FieldValueArray& values = state().FieldValues;
    engine::Recordset rs = OpenTable(source, database);
    if (!rs.IsOpen()) {
        values(1).clear();
        return false;
    }
    bool found = false;
    const std::optional<Failure> failed = attempt([&] {
        values.resize(rs.FieldCount());
        found = SeekRecord(rs, key1, key2, QString(), database);
        if (!found) return;
        for (int i = 1; i <= values.size(); ++i) values(i) = tv::TextOf(rs[i - 1]);
    });
    if (failed || !found) {
        values(1).clear();
        found = false;
    }
    rs.Close();
    return found;
}

QString GetFieldText(const QString& source, const QString& key1, const QString& key2, int column) {
    engine::Recordset rs = OpenTable(source, kDataDb);
    QString text;
    (void)attempt([&] {
        if (rs.IsOpen() && SeekRecord(rs, key1, key2, QString(), kDataDb))
            text = formatByType(rs.FieldAt(column));
    });
    rs.Close();
    return text;
}

namespace {

constexpr int kAddFailed = 105;
constexpr int kUpdateFailed = 106;
// A row's new key could not be carried into the rows that refer to it; nothing changed.
constexpr int kMsgKeyChangeRefused = 9070;

// Runs one write on an open record set and closes it; a refused write is reported with
// `failureMessage` (when asked) after the failed edit has been dropped, so no lock is held
// while the message box waits for the user. True when the row was stored.
bool writeRow(engine::Recordset& rs, bool reportErrors, int failureMessage,
              const std::function<void()>& write) {
    const std::optional<Failure> failed = attempt(write);
    rs.Close();
    if (failed && reportErrors) ShowMessage(failureMessage, errorTail(*failed));
    return !failed;
}

}  // namespace

bool AddRecord(const QString& source, bool reportErrors, int database) {
    engine::Recordset rs = OpenTable(source, database);
    if (!rs.IsOpen()) return false;
    return writeRow(rs, reportErrors, kAddFailed, [&] {
        rs.AddNew();
        writeBuffer(rs, Writing::NewRow);
        rs.Update();
    });
}

bool UpdateRecord(const QString& source, bool reportErrors, const QString& key1,
                  const QString& key2, int database) {
    engine::Recordset rs = OpenTable(source, database);
    if (!rs.IsOpen()) return false;

    std::array<QString, 3> keys{key1, key2, QString()};
    if (key1.isEmpty()) {
        // The row's own key, from the buffer's first elements.
        const FieldValueArray& values = state().FieldValues;
        const int n = std::min(KeyColumnCount(rs.Name(), database), 3);
        for (int i = 0; i < 3; ++i)
            keys[static_cast<size_t>(i)] = i < n ? values(i + 1) : QString();
    }

    if (!SeekRecord(rs, keys[0], keys[1], keys[2], database)) {
        rs.Close();
        if (ShowMessage(107) == msgbox::kYes) AddRecord(source, reportErrors, database);
        return false;
    }

    // Written under a new key, the row takes the rows that refer to it along (a renamed
    // customer's contacts, activities, orders ...), all in one transaction.
    std::vector<KeyChangeStep> follow;
    if (database == kDataDb) {
        const FieldValueArray& values = state().FieldValues;
        const QStringList oldKey{keys[0], keys[1], keys[2]};
        const QStringList newKey{values(1), values(2), values(3)};
        const std::optional<Failure> unread = attempt([&] {
            follow = KeyChangeSteps(detail::databaseFor(kDataDb), SourceTable(source), oldKey,
                                    newKey);
        });
        if (unread) {
            rs.Close();
            if (reportErrors) ShowMessage(kUpdateFailed, errorTail(*unread));
            return false;
        }
    }

    detail::idleQuietly();
    if (follow.empty()) {
        return writeRow(rs, reportErrors, kUpdateFailed, [&] {
            rs.Edit();
            writeBuffer(rs, Writing::ExistingRow);
            rs.Update();
        });
    }

    QString failedTable;
    bool began = false;
    bool committing = false;
    const std::optional<Failure> failed = attempt([&] {
        engine::Database& db = detail::databaseFor(database);
        db.BeginTrans();
        began = true;
        rs.Edit();
        writeBuffer(rs, Writing::ExistingRow);
        rs.Update();
        for (const KeyChangeStep& step : follow) {
            failedTable = step.table;
            db.Execute(step.sql);
        }
        failedTable.clear();
        committing = true;  // a failed commit has already rolled everything back
        db.CommitTrans();
    });
    if (failed) {
        detail::cancelQuietly(rs);
        if (began && !committing)
            (void)attempt([&] { detail::databaseFor(database).Rollback(); });
    }
    rs.Close();
    detail::idleQuietly();
    if (failed && reportErrors) {
        if (failedTable.isEmpty())
            ShowMessage(kUpdateFailed, errorTail(*failed));
        else
            ShowMessage(kMsgKeyChangeRefused, failedTable + errorTail(*failed));
    }
    return !failed;
}

bool SaveRecord(const QString& source, const QStringList& values, bool reportErrors, int database) {
    engine::Recordset rs = OpenTable(source, database);
    if (!rs.IsOpen()) return false;
    return writeRow(rs, reportErrors, kAddFailed, [&] {
        const int n = KeyColumnCount(rs.Name(), database);
        auto key = [&](int i) { return i < n ? values.value(i) : QString(); };
        if (SeekRecord(rs, key(0), key(1), key(2), database))
            rs.Edit();
        else
            rs.AddNew();
        writeValues(rs, values);
        rs.Update();
    });
}

std::optional<std::int32_t> AddNextLine(const QString& table, QStringList values, int numberColumn) {
    engine::Recordset rs = OpenTable(table);
    if (!rs.IsOpen()) return std::nullopt;
    while (values.size() <= numberColumn) values.append(QString());
    std::int32_t taken = 0;
    std::optional<Failure> failed;
    // A file's transaction reads a snapshot: a line another workstation adds before this
    // one writes makes the write fail, and the number is read again.
    for (int attemptNo = 0; attemptNo < 3; ++attemptNo) {
        failed = detail::inTransaction([&](engine::Database& db) {
            const engine::Field document = rs.FieldAt(0);
            const QString key = values.value(0).trimmed();
            const bool numeric = document.Type() != engine::FieldType::Text &&
                                 document.Type() != engine::FieldType::Memo;
            engine::Recordset last = db.OpenRecordset(
                QStringLiteral("SELECT Max([%1]) FROM [%2] WHERE [%3] = ")
                    .arg(rs.FieldAt(numberColumn).Name(), rs.Name(), document.Name()) +
                (numeric ? engine::sqlLiteral(tv::Variant(tv::Val(key))) : engine::quoteLiteral(key)));
            const tv::Variant highest = last.EOF_() ? tv::Variant() : last.FieldAt(0).Value();
            last.Close();
            taken = (highest.isNull() ? 0 : tv::CLng(highest)) + 1;
            values[numberColumn] = QString::number(taken);
            rs.AddNew();
            writeValues(rs, values);
            rs.Update();
        });
        if (!failed) break;
    }
    rs.Close();
    if (failed) {
        ShowMessage(kAddFailed, errorTail(*failed));
        return std::nullopt;
    }
    return taken;
}

bool DeleteRecord(const QString& source, const QString& key1, const QString& key2,
                  const QString& key3, bool askFirst, int database) {
    const QString keysText = keyList(key1, key2, key3);
    if (askFirst && ShowMessage(101, keysText) != msgbox::kYes) return false;

    const QString table = SourceTable(source);
    engine::Recordset rs = OpenTable(table, database);
    if (!rs.IsOpen()) return false;
    if (!SeekRecord(rs, key1, key2, key3, database)) {
        rs.Close();
        ShowMessage(102, keysText);
        return false;
    }

    // The cascade asks its questions now, before the write lock is taken, so that no other
    // workstation waits on a question nobody has answered yet.
    DeleteCascade cascade;
    if (state().BeforeDelete) cascade = state().BeforeDelete(table, key1, key2, key3);

    // The cascade and the delete are one transaction: a statement the engine refuses, or a
    // delete it refuses (another workstation holding the file, a constraint), leaves every
    // table as it was.
    bool found = true;
    bool began = false;
    bool committing = false;
    const std::optional<Failure> failed = attempt([&] {
        engine::Database& db = detail::databaseFor(database);
        db.BeginTrans();
        began = true;
        // Found again under the lock: another workstation may have deleted it meanwhile.
        found = SeekRecord(rs, key1, key2, key3, database);
        if (!found) return;
        if (cascade.apply) cascade.apply();
        rs.Delete();
        committing = true;  // a failed commit has already rolled everything back
        db.CommitTrans();
    });
    if (began && (failed || !found) && !committing)
        (void)attempt([&] { detail::databaseFor(database).Rollback(); });
    rs.Close();
    detail::idleQuietly();

    if (failed) {
        ShowMessage(kMsgDeleteRefused, errorTail(*failed));
        return false;
    }
    if (!found) {
        ShowMessage(102, keysText);
        return false;
    }
    if (cascade.afterCommit) cascade.afterCommit();
    return true;
}

}  // namespace tv::data
