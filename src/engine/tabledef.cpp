// TableDef: a table's columns and indexes as Jet presents them, changed at run time
// (fields added and removed while the table holds rows, indexes made and dropped).
// A TableDef from CreateTableDef collects its columns and indexes until
// Database::AppendTableDef writes the table.
#include "engine/tabledef_impl.h"

#include "engine/field_impl.h"

namespace tv::engine {

// Index: a description read from the table definition.
struct Index::Impl {
    QString name;
    QStringList fields;
    std::vector<bool> descending;
    bool primary = false;
    bool unique = false;
};

namespace {

FieldInfo describePending(const ColumnDef& column, int ordinal) {
    ColumnType type;
    type.type = column.type;
    type.size = column.size;
    type.allowZeroLength = column.allowZeroLength;
    type.autoIncrement = column.autoIncrement;
    return fieldOfColumn(column.name, type, column.required, ordinal);
}

ColumnDef columnOf(const FieldInfo& info) {
    ColumnDef column;
    column.name = info.name;
    column.type = info.type;
    column.size = info.type == FieldType::Text ? info.size : 0;
    column.required = info.required;
    column.allowZeroLength = info.allowZeroLength;
    column.autoIncrement = info.autoIncrement;
    return column;
}

}  // namespace

QString TableDef::Name() const { return d_->name; }

int TableDef::FieldCount() const {
    if (!d_->appended) return static_cast<int>(d_->columns.size());
    return static_cast<int>(d_->schema()->columns.size());
}

std::vector<Field> TableDef::Fields() const {
    std::vector<Field> fields;
    if (!d_->appended) {
        for (size_t i = 0; i < d_->columns.size(); ++i)
            fields.push_back(
                Field::Impl::ofTable(describePending(d_->columns[i], static_cast<int>(i)), false));
        return fields;
    }
    const auto schema = d_->schema();
    for (const FieldInfo& field : schema->fields) fields.push_back(Field::Impl::ofTable(field, true));
    return fields;
}

Field TableDef::FieldAt(int ordinal) const {
    const std::vector<Field> fields = Fields();
    if (ordinal < 0 || ordinal >= static_cast<int>(fields.size()))
        fail(err::kItemNotFound, QString::number(ordinal));
    return fields[static_cast<size_t>(ordinal)];
}

Field TableDef::FieldNamed(const QString& name) const {
    for (const Field& field : Fields())
        if (field.Name().compare(name, Qt::CaseInsensitive) == 0) return field;
    fail(err::kItemNotFound, name);
}

Field TableDef::CreateField(const QString& name, FieldType type, int size) {
    ColumnType column;
    column.type = type;
    column.size = type == FieldType::Text ? size : 0;
    return Field::Impl::ofTable(fieldOfColumn(name, column, false), false);
}

void TableDef::Append(const Field& field) {
    const Field::Impl* f = Field::Impl::of(field);
    if (!f || f->ordinal >= 0 || f->appended)
        fail(err::kInvalidOperation, QStringLiteral("Append"));
    const ColumnDef column = columnOf(f->info);
    if (!d_->appended) {
        for (const ColumnDef& existing : d_->columns)
            if (existing.name.compare(column.name, Qt::CaseInsensitive) == 0)
                fail(err::kDuplicateName, column.name);
        d_->columns.push_back(column);
        return;
    }
    addColumn(d_->db->conn(), d_->db->schemas, d_->name, column);
}

void TableDef::DeleteField(const QString& name) {
    if (!d_->appended) {
        for (auto it = d_->columns.begin(); it != d_->columns.end(); ++it) {
            if (it->name.compare(name, Qt::CaseInsensitive) == 0) {
                d_->columns.erase(it);
                return;
            }
        }
        fail(err::kItemNotFound, name);
    }
    dropColumn(d_->db->conn(), d_->db->schemas, d_->name, name);
}

std::vector<Index> TableDef::Indexes() const {
    std::vector<Index> indexes;
    auto make = [&](const QString& name, const QStringList& fields,
                    const std::vector<bool>& descending, bool primary, bool unique) {
        Index index;
        index.d_ = std::make_shared<Index::Impl>();
        index.d_->name = name;
        index.d_->fields = fields;
        index.d_->descending = descending;
        index.d_->descending.resize(static_cast<size_t>(fields.size()), false);
        index.d_->primary = primary;
        index.d_->unique = unique;
        indexes.push_back(index);
    };
    if (!d_->appended) {
        for (const IndexDef& index : d_->indexes)
            make(index.primary ? kPrimaryKeyName : index.name, index.columns, index.descending,
                 index.primary, index.unique || index.primary);
        return indexes;
    }
    const auto schema = d_->schema();
    for (const IndexSchema& index : schema->indexes) {
        QStringList fields;
        for (int column : index.columns)
            fields << schema->columns[static_cast<size_t>(column)].name;
        make(index.name, fields, index.descending, index.primary, index.unique);
    }
    return indexes;
}

void TableDef::CreateIndex(const QString& name, const QStringList& fields, bool unique) {
    IndexDef index;
    index.name = name;
    index.columns = fields;
    index.primary = name.compare(kPrimaryKeyName, Qt::CaseInsensitive) == 0;
    index.unique = unique || index.primary;
    if (!d_->appended) {
        for (const IndexDef& existing : d_->indexes)
            if (existing.name.compare(name, Qt::CaseInsensitive) == 0)
                fail(err::kDuplicateName, name);
        d_->indexes.push_back(index);
        return;
    }
    createIndex(d_->db->conn(), d_->db->schemas, d_->name, index);
}

void TableDef::DeleteIndex(const QString& name) {
    if (!d_->appended) {
        for (auto it = d_->indexes.begin(); it != d_->indexes.end(); ++it) {
            if (it->name.compare(name, Qt::CaseInsensitive) == 0) {
                d_->indexes.erase(it);
                return;
            }
        }
        fail(err::kIndexNotFound, name);
    }
    dropIndex(d_->db->conn(), d_->db->schemas, d_->name, name);
}

QString Index::Name() const { return d_->name; }
bool Index::Primary() const { return d_->primary; }
bool Index::Unique() const { return d_->unique; }
QStringList Index::FieldNames() const { return d_->fields; }
std::vector<bool> Index::Descending() const { return d_->descending; }

}  // namespace tv::engine
