#include "demo/table_writer.h"

#include <cmath>

namespace tv::demo {

TableWriter::TableWriter(engine::Database& db, QString database, QString table,
                         std::initializer_list<const char*> columns)
    : db_(db), database_(std::move(database)), table_(std::move(table)) {
    db_.BeginTrans();
    engine::TableDef def = db_.TableDefNamed(table_);
    for (const engine::Index& index : def.Indexes()) {
        if (index.Primary()) continue;
        indexes_.push_back({index.Name(), index.FieldNames(), index.Unique()});
        def.DeleteIndex(index.Name());
    }
    QStringList names;
    for (const char* column : columns) names << QString::fromUtf8(column);
    rows_ = std::make_unique<engine::BulkInsert>(db_, table_, names);
}

TableWriter::~TableWriter() {
    // Only reached without finish() when a row failed: the caller discards the file.
    if (open_) {
        try {
            rows_.reset();
            db_.Rollback();
        } catch (const engine::DbError&) {
        }
    }
}

void TableWriter::add(std::initializer_list<Variant> values) {
    rows_->add(values);
    ++count_;
}

long TableWriter::finish() {
    rows_.reset();
    engine::TableDef def = db_.TableDefNamed(table_);
    for (const SecondaryIndex& index : indexes_)
        def.CreateIndex(index.name, index.fields, index.unique);
    db_.CommitTrans();
    open_ = false;
    return count_;
}

Variant text(const QString& s) { return s.isEmpty() ? Variant() : Variant(s); }

Variant date(Moment m) {
    if (!m.isSet()) return Variant();
    return Variant(DateTime{double(m.day) + double(m.minute) / 1440.0});
}

Variant money(double amount) {
    return Variant(Currency::fromDouble(std::round(amount * 100.0) / 100.0));
}

}  // namespace tv::demo
