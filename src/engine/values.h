// Values on their way into and out of columns: the conversion of an assigned value to
// the column's type (texts are read as numbers, dates and Booleans the way the runtime
// reads them), the stored form bound to statements, and the value read back.
#pragma once

#include "core/variant.h"
#include "engine/engine.h"

#include <QByteArray>
#include <cstdint>

namespace tv::engine {

class Statement;

// A value exactly as SQLite stores it, kept to bind it back unchanged (the keys a
// table cursor continues from must compare exactly as stored).
struct StoredValue {
    int kind = 0;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB; 0 or SQLITE_NULL: Null
    std::int64_t i = 0;
    double d = 0.0;
    QByteArray bytes;  // UTF-8 text or blob
    bool isNull() const;
};

void bindStoredValue(Statement& statement, int index, const StoredValue& value);
// The stored form of a value converted by toColumnValue.
StoredValue storedForm(const tv::Variant& value);

// The value a column of `type` holds after assigning `value`. Null stays Null. A value
// that does not convert throws DbError 13; a number out of the type's range 3349.
tv::Variant toColumnValue(const tv::Variant& value, FieldType type);

// Binds a value already converted by toColumnValue in its stored form: Booleans as -1/0,
// dates as ISO text, Currency rounded to four decimals.
void bindStored(Statement& statement, int index, const tv::Variant& value);

// A stored value seen in place (in a statement's row or a row buffer), not copied.
struct StoredView {
    int kind = 0;  // as StoredValue::kind
    std::int64_t i = 0;
    double d = 0.0;
    const char* bytes = nullptr;
    int length = 0;
};
StoredView viewOf(const Statement& statement, int col);

// A stored value read as the engine type of its field. A value of another type than
// the column's (written by another tool) is returned as stored.
tv::Variant columnValue(const StoredView& stored, FieldType type);
// A value with no declared type (an expression of a query), by its stored type.
tv::Variant dynamicValue(const StoredView& stored);

// The engine type a computed column reports, from the value it holds.
FieldType dynamicType(int sqliteType);

}  // namespace tv::engine
