// Conversions between Variant values and stored column values.
#include "engine/values.h"

#include "core/calendar.h"
#include "core/convert.h"
#include "engine/errors.h"
#include "engine/statement.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tv::engine {

namespace {

[[noreturn]] void conversionFailed(const ConversionError& error) {
    if (error.number() == kErrOverflow) fail(err::kNumericOverflow);
    fail(err::kTypeMismatch);
}

// A float stored as the double that prints like the float ("1.1", not 1.10000002...).
double floatAsDouble(float f) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, f);
    double d = f;
    std::from_chars(buffer, result.ptr, d);
    return d;
}

// Dates are stored as "YYYY-MM-DD HH:MM:SS"; reading that form straight from SQLite's
// bytes spares a text copy and a general parse for every date read. Anything else goes
// through the general reader.
bool readIsoBytes(const char* t, int size, DateTime* out) {
    if (size != 19 || t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' || t[16] != ':')
        return false;
    int parts[6];
    const int at[6] = {0, 5, 8, 11, 14, 17};
    const int width[6] = {4, 2, 2, 2, 2, 2};
    for (int p = 0; p < 6; ++p) {
        int v = 0;
        for (int i = at[p]; i < at[p] + width[p]; ++i) {
            if (t[i] < '0' || t[i] > '9') return false;
            v = v * 10 + (t[i] - '0');
        }
        parts[p] = v;
    }
    if (!calendar::isValidCivil(parts[0], parts[1], parts[2]) || parts[3] > 23 || parts[4] > 59 ||
        parts[5] > 59)
        return false;
    // The same arithmetic as fromIsoText, so both readers give the same serial.
    *out = DateTime{calendar::serialOf(calendar::dayNumberFromCivil(parts[0], parts[1], parts[2]),
                                       parts[3] * 3600.0 + parts[4] * 60.0 + parts[5])};
    return true;
}

bool fitsInt32(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

tv::Variant toColumnValue(const tv::Variant& value, FieldType type) {
    if (value.isNull()) return value;
    try {
        switch (type) {
            case FieldType::Boolean:
                return tv::Variant(CBool(value));
            case FieldType::Byte:
                return tv::Variant(static_cast<std::int16_t>(CByte(value)));
            case FieldType::Integer:
                return tv::Variant(CInt(value));
            case FieldType::Long:
                return tv::Variant(CLng(value));
            case FieldType::Currency:
                return tv::Variant(CCur(value));
            case FieldType::Single:
                return tv::Variant(CSng(value));
            case FieldType::Double:
                return tv::Variant(CDbl(value));
            case FieldType::Date:
                return tv::Variant(CDate(value));
            case FieldType::Text:
            case FieldType::Memo:
                if (value.type() == VarType::String) return value;
                if (value.type() == VarType::Binary)
                    return tv::Variant(QString::fromUtf8(value.asBinary()));
                return tv::Variant(CStr(value));
            case FieldType::LongBinary:
                if (value.type() == VarType::Binary) return value;
                if (value.type() == VarType::String) return tv::Variant(value.asString().toUtf8());
                fail(err::kTypeMismatch);
        }
    } catch (const ConversionError& error) {
        conversionFailed(error);
    }
    fail(err::kTypeMismatch);
}

bool StoredValue::isNull() const { return kind == SQLITE_NULL || kind == 0; }

void bindStoredValue(Statement& statement, int index, const StoredValue& value) {
    if (statement.server()) {
        switch (value.kind) {
            case SQLITE_INTEGER:
                return statement.bindInt(index, value.i);
            case SQLITE_FLOAT:
                return statement.bindDouble(index, value.d);
            case SQLITE_TEXT:
                return statement.bindText(index, QString::fromUtf8(value.bytes));
            case SQLITE_BLOB:
                return statement.bindBlob(index, value.bytes);
            default:
                return statement.bindNull(index);
        }
    }
    sqlite3_stmt* stmt = statement.handle();
    int rc = SQLITE_OK;
    switch (value.kind) {
        case SQLITE_INTEGER:
            rc = sqlite3_bind_int64(stmt, index, value.i);
            break;
        case SQLITE_FLOAT:
            rc = sqlite3_bind_double(stmt, index, value.d);
            break;
        case SQLITE_TEXT:
            rc = sqlite3_bind_text(stmt, index, value.bytes.constData(),
                                   static_cast<int>(value.bytes.size()), SQLITE_TRANSIENT);
            break;
        case SQLITE_BLOB:
            rc = sqlite3_bind_blob(stmt, index, value.bytes.constData(),
                                   static_cast<int>(value.bytes.size()), SQLITE_TRANSIENT);
            break;
        default:
            rc = sqlite3_bind_null(stmt, index);
            break;
    }
    if (rc != SQLITE_OK) failSqlite(statement.db(), rc);
}

StoredValue storedForm(const tv::Variant& value) {
    StoredValue stored;
    switch (value.type()) {
        case VarType::Null:
            stored.kind = SQLITE_NULL;
            break;
        case VarType::Boolean:
            stored.kind = SQLITE_INTEGER;
            stored.i = value.asBool() ? -1 : 0;
            break;
        case VarType::Integer:
            stored.kind = SQLITE_INTEGER;
            stored.i = value.asInteger();
            break;
        case VarType::Long:
            stored.kind = SQLITE_INTEGER;
            stored.i = value.asLong();
            break;
        case VarType::Currency:
            stored.kind = SQLITE_FLOAT;
            stored.d = static_cast<double>(value.asCurrency().scaled) / 10000.0;
            break;
        case VarType::Single:
            stored.kind = SQLITE_FLOAT;
            stored.d = floatAsDouble(value.asSingle());
            break;
        case VarType::Double:
            stored.kind = SQLITE_FLOAT;
            stored.d = value.asDouble();
            break;
        case VarType::Date:
            stored.kind = SQLITE_TEXT;
            stored.bytes = toIsoText(value.asDate()).toUtf8();
            break;
        case VarType::String:
            stored.kind = SQLITE_TEXT;
            stored.bytes = value.asString().toUtf8();
            break;
        case VarType::Binary:
            stored.kind = SQLITE_BLOB;
            stored.bytes = value.asBinary();
            break;
    }
    return stored;
}

void bindStored(Statement& statement, int index, const tv::Variant& value) {
    switch (value.type()) {
        case VarType::Null:
            statement.bindNull(index);
            break;
        case VarType::Boolean:
            statement.bindInt(index, value.asBool() ? -1 : 0);
            break;
        case VarType::Integer:
            statement.bindInt(index, value.asInteger());
            break;
        case VarType::Long:
            statement.bindInt(index, value.asLong());
            break;
        case VarType::Currency:
            statement.bindDouble(index, static_cast<double>(value.asCurrency().scaled) / 10000.0);
            break;
        case VarType::Single:
            statement.bindDouble(index, floatAsDouble(value.asSingle()));
            break;
        case VarType::Double:
            statement.bindDouble(index, value.asDouble());
            break;
        case VarType::Date:
            statement.bindText(index, toIsoText(value.asDate()));
            break;
        case VarType::String:
            statement.bindText(index, value.asString());
            break;
        case VarType::Binary:
            statement.bindBlob(index, value.asBinary());
            break;
    }
}

tv::Variant dynamicValue(const StoredView& stored) {
    switch (stored.kind) {
        case SQLITE_INTEGER:
            if (fitsInt32(stored.i)) return tv::Variant(static_cast<std::int32_t>(stored.i));
            return tv::Variant(static_cast<double>(stored.i));
        case SQLITE_FLOAT:
            return tv::Variant(stored.d);
        case SQLITE_BLOB:
            return tv::Variant(QByteArray(stored.bytes, stored.length));
        case SQLITE_TEXT:
            return tv::Variant(QString::fromUtf8(stored.bytes, stored.length));
        default:
            return tv::Variant();
    }
}

FieldType dynamicType(int sqliteType) {
    switch (sqliteType) {
        case SQLITE_INTEGER:
            return FieldType::Long;
        case SQLITE_FLOAT:
            return FieldType::Double;
        case SQLITE_BLOB:
            return FieldType::LongBinary;
        default:
            return FieldType::Memo;
    }
}

tv::Variant columnValue(const StoredView& stored, FieldType type) {
    if (stored.kind == SQLITE_NULL || stored.kind == 0) return tv::Variant();
    const bool numeric = stored.kind == SQLITE_INTEGER || stored.kind == SQLITE_FLOAT;
    const double number = stored.kind == SQLITE_INTEGER ? static_cast<double>(stored.i) : stored.d;
    switch (type) {
        case FieldType::Text:
        case FieldType::Memo:
            if (stored.kind == SQLITE_TEXT)
                return tv::Variant(QString::fromUtf8(stored.bytes, stored.length));
            if (stored.kind == SQLITE_INTEGER) return tv::Variant(QString::number(stored.i));
            break;
        case FieldType::Boolean:
            if (stored.kind == SQLITE_INTEGER) return tv::Variant(stored.i != 0);
            break;
        case FieldType::Byte:
        case FieldType::Integer:
            if (stored.kind == SQLITE_INTEGER &&
                stored.i >= std::numeric_limits<std::int16_t>::min() &&
                stored.i <= std::numeric_limits<std::int16_t>::max())
                return tv::Variant(static_cast<std::int16_t>(stored.i));
            break;
        case FieldType::Long:
            if (stored.kind == SQLITE_INTEGER && fitsInt32(stored.i))
                return tv::Variant(static_cast<std::int32_t>(stored.i));
            break;
        case FieldType::Currency:
            if (numeric) return tv::Variant(Currency::fromDouble(number));
            break;
        case FieldType::Single:
            if (numeric) return tv::Variant(static_cast<float>(number));
            break;
        case FieldType::Double:
            if (numeric) return tv::Variant(number);
            break;
        case FieldType::Date:
            if (stored.kind == SQLITE_TEXT) {
                DateTime date;
                if (readIsoBytes(stored.bytes, stored.length, &date)) return tv::Variant(date);
                const QString text = QString::fromUtf8(stored.bytes, stored.length);
                if (fromIsoText(text, &date) || parseDateTime(text, &date))
                    return tv::Variant(date);
                return tv::Variant(text);
            }
            if (numeric) return tv::Variant(DateTime{number});
            break;
        case FieldType::LongBinary:
            if (stored.kind == SQLITE_BLOB || stored.kind == SQLITE_TEXT)
                return tv::Variant(QByteArray(stored.bytes, stored.length));
            break;
    }
    // A value of another type than the column's (written by another tool): as stored.
    return dynamicValue(stored);
}

StoredView viewOf(const Statement& statement, int col) {
    StoredView view;
    if (statement.server()) {
        view.kind = statement.columnType(col);
        if (view.kind == SQLITE_INTEGER) view.i = statement.intAt(col);
        else if (view.kind == SQLITE_FLOAT) view.d = statement.doubleAt(col);
        else if (view.kind == SQLITE_TEXT || view.kind == SQLITE_BLOB)
            view.bytes = statement.bytesAt(col, &view.length);
        return view;
    }
    sqlite3_stmt* stmt = statement.handle();
    view.kind = sqlite3_column_type(stmt, col);
    switch (view.kind) {
        case SQLITE_INTEGER:
            view.i = sqlite3_column_int64(stmt, col);
            break;
        case SQLITE_FLOAT:
            view.d = sqlite3_column_double(stmt, col);
            break;
        case SQLITE_TEXT:
            view.bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
            view.length = sqlite3_column_bytes(stmt, col);
            break;
        case SQLITE_BLOB:
            view.bytes = static_cast<const char*>(sqlite3_column_blob(stmt, col));
            view.length = sqlite3_column_bytes(stmt, col);
            break;
        default:
            break;
    }
    return view;
}

}  // namespace tv::engine
