// Reading the current row and editing it: the edit buffer of Edit/AddNew, the checks
// Jet makes at Update (required, zero-length, size), and the one INSERT or UPDATE that
// writes it under the write lock taken by Edit/AddNew.
#include "engine/recordset_core.h"

#include "engine/autonumber.h"
#include "engine/values.h"

namespace tv::engine {

RowSource& RecordsetCore::rows() {
    if (!source) fail(err::kObjectClosed);
    return *source;
}

const FieldInfo& RecordsetCore::field(int ordinal) {
    const auto& all = fields();
    if (ordinal < 0 || ordinal >= static_cast<int>(all.size()))
        fail(err::kItemNotFound, QString::number(ordinal));
    return all[static_cast<size_t>(ordinal)];
}

int RecordsetCore::ordinalOf(const QString& name) {
    const auto& all = fields();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    // Callers may write the name as in SQL text.
    if (name.startsWith(u'[') && name.endsWith(u']'))
        return ordinalOf(name.mid(1, name.size() - 2));
    fail(err::kItemNotFound, name);
}

RowSource& RecordsetCore::currentRow() {
    RowSource& source = rows();
    switch (source.current()) {
        case RowState::None:
            fail(err::kNoCurrentRecord);
        case RowState::Deleted:
            fail(err::kRecordDeleted);
        case RowState::Present:
            break;
    }
    return source;
}

int RecordsetCore::fieldCount() {
    if (fieldCount_ < 0) fieldCount_ = static_cast<int>(fields().size());
    return fieldCount_;
}

// Called for every field read: one check of the ordinal, one of the row, one read.
tv::Variant RecordsetCore::value(int ordinal) {
    if (ordinal < 0 || ordinal >= fieldCount()) fail(err::kItemNotFound, QString::number(ordinal));
    if (editMode != EditMode::None) return editValues[static_cast<size_t>(ordinal)];
    return currentRow().value(ordinal);
}

void RecordsetCore::setValue(int ordinal, const tv::Variant& value) {
    const FieldInfo& info = field(ordinal);
    if (editMode == EditMode::None) fail(err::kUpdateWithoutEdit);
    if (info.tableColumn < 0 || (info.autoIncrement && editMode == EditMode::InProgress))
        fail(err::kFieldNotUpdatable, info.name);
    // Converted first: a value that does not convert leaves the buffer as it was.
    tv::Variant converted = toColumnValue(value, info.type);
    editValues[static_cast<size_t>(ordinal)] = std::move(converted);
    dirty[static_cast<size_t>(ordinal)] = 1;
}

void RecordsetCore::abandonEdit() noexcept {
    if (editMode == EditMode::None) return;
    editMode = EditMode::None;
    try {
        if (db->isOpen()) db->conn().releaseWriteLock();
    } catch (const DbError&) {
        // Nothing was written under the lock, so a failing release loses nothing.
    }
}

void RecordsetCore::beginEdit() {
    if (!updatable) fail(err::kNotUpdatable);
    abandonEdit();
    RowSource& source = rows();
    if (!source.onRow()) fail(err::kNoCurrentRecord);
    Connection& conn = db->conn();
    conn.acquireWriteLock();
    try {
        conn.lockRow(table->name, source.rowid());
        // Read the row again under the lock: another workstation may have changed it
        // since it was read (a counter row is edited exactly this way).
        source.rowChanged();
        currentRow();
        const int count = static_cast<int>(fields().size());
        editValues.clear();
        for (int i = 0; i < count; ++i) editValues.push_back(source.value(i));
    } catch (...) {
        conn.releaseWriteLock();
        throw;
    }
    dirty.assign(editValues.size(), 0);
    editMode = EditMode::InProgress;
}

void RecordsetCore::beginAdd() {
    if (!updatable) fail(err::kNotUpdatable);
    abandonEdit();
    const auto& all = fields();
    Connection& conn = db->conn();
    conn.acquireWriteLock();
    editValues.assign(all.size(), tv::Variant());
    dirty.assign(all.size(), 0);
    try {
        // Auto-numbers are handed out at AddNew, as Jet does, from the column's mark: the
        // lock makes them unique, the mark keeps them from ever coming back.
        for (size_t i = 0; i < all.size(); ++i) {
            if (!all[i].autoIncrement || all[i].tableColumn < 0) continue;
            const QString& column = table->columns[static_cast<size_t>(all[i].tableColumn)].name;
            editValues[i] = tv::Variant(takeAutoNumber(conn, table->name, column));
            dirty[i] = 1;
        }
    } catch (...) {
        conn.releaseWriteLock();
        throw;
    }
    editMode = EditMode::Add;
}

void RecordsetCore::update() {
    if (editMode == EditMode::None) fail(err::kUpdateWithoutEdit);
    const auto& all = fields();
    const bool adding = editMode == EditMode::Add;
    // Jet's checks, before anything is written; the edit stays pending when one fails.
    for (size_t i = 0; i < all.size(); ++i) {
        const FieldInfo& info = all[i];
        if (info.tableColumn < 0) continue;
        const tv::Variant& v = editValues[i];
        if ((adding || dirty[i]) && info.required && v.isNull() && !info.autoIncrement)
            fail(err::kRequiredNull, info.name);
        if (!dirty[i] || v.type() != VarType::String) continue;
        if (v.asString().isEmpty() && !info.allowZeroLength) fail(err::kZeroLength, info.name);
        if (info.type == FieldType::Text && info.size > 0 && v.asString().size() > info.size)
            fail(err::kFieldTooLong, info.name);
    }
    std::vector<size_t> written;
    std::vector<int> columns;  // the table columns written, in field order
    for (size_t i = 0; i < all.size(); ++i) {
        if (!dirty[i] || all[i].tableColumn < 0) continue;
        written.push_back(i);
        columns.push_back(all[i].tableColumn);
    }
    Connection& conn = db->conn();
    std::int64_t rowid = adding ? 0 : rows().rowid();
    if (adding || !written.empty()) {
        const QString& sql = table->writeStatement(adding, columns);
        Statement statement = conn.cached(sql);
        int index = 1;
        for (size_t i : written) bindStored(statement, index++, editValues[i]);
        if (!adding) statement.bindInt(index, rowid);
        if (adding && table->server) {
            statement.step();
            rowid = statement.intAt(0);
        } else {
            statement.run();
            if (adding) rowid = sqlite3_last_insert_rowid(conn.handle());
        }
        conn.noteChange();
    }
    editMode = EditMode::None;
    // Commits unless an explicit transaction is open; a failed commit rolls back and
    // throws, and then nothing of this row was written.
    conn.releaseWriteLock();
    if (adding) {
        rows().rowAdded(rowid);
        lastModified = rows().bookmarkFor(rowid);
    } else {
        rows().rowChanged();
        lastModified = rows().bookmark();
    }
}

void RecordsetCore::cancelUpdate() {
    if (editMode == EditMode::None) fail(err::kUpdateWithoutEdit);
    editMode = EditMode::None;
    db->conn().releaseWriteLock();
}

void RecordsetCore::deleteCurrent() {
    if (!updatable) fail(err::kNotUpdatable);
    abandonEdit();
    RowSource& source = currentRow();
    const std::int64_t rowid = source.rowid();
    Connection& conn = db->conn();
    conn.acquireWriteLock();
    try {
        Statement statement = conn.cached(
            QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoteName(table->name)));
        statement.bindInt(1, rowid);
        statement.run();
        conn.noteChange();
    } catch (...) {
        conn.releaseWriteLock();
        throw;
    }
    conn.releaseWriteLock();
    source.rowDeleted();
}

}  // namespace tv::engine
