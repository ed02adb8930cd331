// The inside of a Field: either a column of a record set (read through the record set)
// or a column of a table definition (a description, possibly not yet appended).
#pragma once

#include "engine/recordset_core.h"

namespace tv::engine {

struct Field::Impl {
    std::weak_ptr<RecordsetCore> recordset;
    int ordinal = -1;
    // Table definition fields.
    FieldInfo info;
    bool appended = false;

    static Field ofRecordset(const std::shared_ptr<RecordsetCore>& core, int ordinal) {
        Field field;
        field.d_ = std::make_shared<Impl>();
        field.d_->recordset = core;
        field.d_->ordinal = ordinal;
        return field;
    }
    static Field ofTable(const FieldInfo& info, bool appended) {
        Field field;
        field.d_ = std::make_shared<Impl>();
        field.d_->info = info;
        field.d_->appended = appended;
        return field;
    }
    static const Impl* of(const Field& field) { return field.d_.get(); }

    // The record set this field reads, or 3420 when it was closed.
    std::shared_ptr<RecordsetCore> lockRecordset() const {
        auto core = recordset.lock();
        if (!core || !core->source) fail(err::kObjectClosed);
        return core;
    }
    // What the field is: a record-set field asks its record set, a definition field
    // answers from its own copy.
    static FieldInfo describe(const Field& field) {
        if (!field.d_) fail(err::kObjectClosed);
        if (field.d_->ordinal >= 0) return field.d_->lockRecordset()->field(field.d_->ordinal);
        return field.d_->info;
    }
};

}  // namespace tv::engine
