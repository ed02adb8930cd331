// Field: a column of a record set's current row, or of a table definition.
#include "engine/field_impl.h"

namespace tv::engine {

QString Field::Name() const { return Impl::describe(*this).name; }
FieldType Field::Type() const { return Impl::describe(*this).type; }
int Field::Size() const { return Impl::describe(*this).size; }
bool Field::Required() const { return Impl::describe(*this).required; }
bool Field::AllowZeroLength() const { return Impl::describe(*this).allowZeroLength; }
bool Field::AutoIncrement() const { return Impl::describe(*this).autoIncrement; }

int Field::OrdinalPosition() const {
    if (!d_) fail(err::kObjectClosed);
    return d_->ordinal >= 0 ? d_->ordinal : d_->info.tableColumn;
}

tv::Variant Field::Value() const {
    if (!d_ || d_->ordinal < 0) fail(d_ ? err::kInvalidOperation : err::kObjectClosed);
    return d_->lockRecordset()->value(d_->ordinal);
}

void Field::SetValue(const tv::Variant& value) {
    if (!d_ || d_->ordinal < 0) fail(d_ ? err::kInvalidOperation : err::kObjectClosed);
    d_->lockRecordset()->setValue(d_->ordinal, value);
}

void Field::SetRequired(bool required) {
    // Only a new column's description can change: SQLite cannot alter a stored column.
    if (!d_ || d_->ordinal >= 0 || d_->appended) fail(err::kInvalidOperation);
    d_->info.required = required;
}

void Field::SetAllowZeroLength(bool allow) {
    if (!d_ || d_->ordinal >= 0 || d_->appended) fail(err::kInvalidOperation);
    d_->info.allowZeroLength = allow;
}

}  // namespace tv::engine
