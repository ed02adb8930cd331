// Recordset: the public face of a record set. Checks the state a call needs (Jet's
// errors for a call in the wrong state) and hands the work to the row source and the
// edit buffer.
#include "engine/field_impl.h"
#include "engine/jet_dialect.h"
#include "engine/recordset_core.h"

namespace tv::engine {

namespace {

// A template so that the private Impl type is deduced, never named here.
template <typename D>
RecordsetCore& open(const D& d) {
    if (!d || !d->core || !d->core->source) fail(err::kObjectClosed);
    return *d->core;
}

}  // namespace

Recordset::Recordset() = default;
Recordset::~Recordset() { Close(); }
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&& other) noexcept {
    if (this != &other) {
        Close();
        d_ = std::move(other.d_);
    }
    return *this;
}

bool Recordset::IsOpen() const { return d_ && d_->core && d_->core->source; }

void Recordset::Close() noexcept {
    if (!IsOpen()) return;
    RecordsetCore& core = *d_->core;
    core.abandonEdit();
    core.source.reset();
    core.tableCursor = nullptr;
    core.fieldObjects.clear();
}

QString Recordset::Name() const { return open(d_).name; }
RecordsetType Recordset::Type() const { return open(d_).type; }
bool Recordset::Updatable() const { return open(d_).updatable; }

void Recordset::SetIndex(const QString& indexName) {
    RecordsetCore& core = open(d_);
    if (!core.tableCursor) fail(err::kInvalidOperation, QStringLiteral("Index"));
    core.abandonEdit();
    const QString name = indexName.trimmed();
    if (name.isEmpty()) {
        core.tableCursor->setIndex(nullptr);
        core.indexName.clear();
        return;
    }
    const IndexSchema* index = core.table->index(name);
    if (!index) fail(err::kIndexNotFound, name);
    core.tableCursor->setIndex(index);
    core.indexName = index->name;
}

QString Recordset::Index() const { return open(d_).indexName; }

void Recordset::Seek(const QString& comparison, const tv::Variant& key1, const tv::Variant& key2,
                     const tv::Variant& key3) {
    RecordsetCore& core = open(d_);
    if (!core.tableCursor) fail(err::kInvalidOperation, QStringLiteral("Seek"));
    core.abandonEdit();
    core.noMatch = !core.tableCursor->seek(comparison, {key1, key2, key3});
}

bool Recordset::NoMatch() const { return open(d_).noMatch; }

namespace {

void find(RecordsetCore& core, const QString& criteria, FindKind kind) {
    core.abandonEdit();
    const dialect::ServerNames names;
    const bool server = core.db && core.db->isOpen() && core.db->conn().isServer();
    const QString condition =
        dialect::translateCriteria(criteria, core.fields(), server ? &names : nullptr);
    try {
        core.noMatch = !core.rows().find(condition, kind);
    } catch (const DbError& error) {
        // A name that is not a field of the record set.
        if (error.number() == err::kTooFewParameters) fail(err::kUnknownName, criteria);
        throw;
    }
}

}  // namespace

void Recordset::FindFirst(const QString& criteria) { find(open(d_), criteria, FindKind::First); }
void Recordset::FindNext(const QString& criteria) { find(open(d_), criteria, FindKind::Next); }
void Recordset::FindLast(const QString& criteria) { find(open(d_), criteria, FindKind::Last); }
void Recordset::FindPrevious(const QString& criteria) {
    find(open(d_), criteria, FindKind::Previous);
}

void Recordset::MoveFirst() {
    RecordsetCore& core = open(d_);
    core.abandonEdit();
    core.rows().moveFirst();
    if (!core.rows().onRow()) fail(err::kNoCurrentRecord);
}

void Recordset::MoveLast() {
    RecordsetCore& core = open(d_);
    core.abandonEdit();
    core.rows().moveLast();
    if (!core.rows().onRow()) fail(err::kNoCurrentRecord);
}

void Recordset::MoveNext() {
    RecordsetCore& core = open(d_);
    core.abandonEdit();
    if (core.rows().eof()) fail(err::kNoCurrentRecord);
    core.rows().moveNext();
}

void Recordset::MovePrevious() {
    RecordsetCore& core = open(d_);
    core.abandonEdit();
    if (core.rows().bof()) fail(err::kNoCurrentRecord);
    core.rows().movePrevious();
}

void Recordset::Move(long rows) {
    RecordsetCore& core = open(d_);
    core.abandonEdit();
    RowSource& source = core.rows();
    // From BOF a positive count, from EOF a negative one, counts from that end.
    if ((source.eof() && rows > 0) || (source.bof() && rows < 0)) fail(err::kNoCurrentRecord);
    if (!source.onRow() && !source.bof() && !source.eof()) fail(err::kNoCurrentRecord);
    if (rows != 0) source.move(rows);
}

bool Recordset::EOF_() const { return open(d_).rows().eof(); }
bool Recordset::BOF() const { return open(d_).rows().bof(); }

long Recordset::RecordCount() const { return open(d_).rows().recordCount(); }
bool Recordset::KeysComplete() const { return open(d_).rows().keysComplete(); }
long Recordset::KeysRead() const { return open(d_).rows().keysRead(); }
bool Recordset::FetchKeys(long rows) { return open(d_).rows().fetchKeys(rows); }

long Recordset::AbsolutePosition() const { return open(d_).rows().absolutePosition(); }

void Recordset::SetAbsolutePosition(long position) {
    RecordsetCore& core = open(d_);
    core.abandonEdit();
    core.rows().setAbsolutePosition(position);
}

QByteArray Recordset::Bookmark() const {
    RecordsetCore& core = open(d_);
    if (!core.rows().onRow()) fail(err::kNoCurrentRecord);
    return core.rows().bookmark();
}

void Recordset::SetBookmark(const QByteArray& bookmark) {
    RecordsetCore& core = open(d_);
    core.abandonEdit();
    if (!core.rows().gotoBookmark(bookmark)) fail(err::kBookmarkInvalid);
}

Recordset Recordset::Clone() const {
    RecordsetCore& core = open(d_);
    auto copy = std::make_shared<RecordsetCore>();
    copy->db = core.db;
    copy->name = core.name;
    copy->type = core.type;
    copy->updatable = core.updatable;
    copy->table = core.table;
    copy->source = core.rows().clone();
    copy->tableCursor = dynamic_cast<TableCursor*>(copy->source.get());
    copy->indexName = core.indexName;
    Recordset clone;
    clone.d_ = std::make_unique<Impl>();
    clone.d_->core = std::move(copy);
    return clone;
}

void Recordset::Requery() {
    RecordsetCore& core = open(d_);
    core.abandonEdit();
    core.rows().requery();
}

void Recordset::AddNew() { open(d_).beginAdd(); }
void Recordset::Edit() { open(d_).beginEdit(); }
void Recordset::Update() { open(d_).update(); }
void Recordset::CancelUpdate() { open(d_).cancelUpdate(); }
void Recordset::Delete() { open(d_).deleteCurrent(); }
EditMode Recordset::EditModeNow() const { return open(d_).editMode; }

QByteArray Recordset::LastModified() const {
    RecordsetCore& core = open(d_);
    if (core.lastModified.isEmpty()) fail(err::kNoCurrentRecord);
    return core.lastModified;
}

int Recordset::FieldCount() const { return static_cast<int>(open(d_).fields().size()); }

Field Recordset::FieldAt(int ordinal) const {
    RecordsetCore& core = open(d_);
    core.field(ordinal);  // 3265 when out of range
    if (core.fieldObjects.empty()) {
        const int count = static_cast<int>(core.fields().size());
        for (int i = 0; i < count; ++i)
            core.fieldObjects.push_back(Field::Impl::ofRecordset(d_->core, i));
    }
    return core.fieldObjects[static_cast<size_t>(ordinal)];
}

Field Recordset::FieldNamed(const QString& name) const { return FieldAt(open(d_).ordinalOf(name)); }

std::vector<Field> Recordset::Fields() const {
    std::vector<Field> fields;
    const int count = FieldCount();
    for (int i = 0; i < count; ++i) fields.push_back(FieldAt(i));
    return fields;
}

tv::Variant Recordset::operator[](int ordinal) const { return open(d_).value(ordinal); }

tv::Variant Recordset::operator[](const QString& name) const {
    RecordsetCore& core = open(d_);
    return core.value(core.ordinalOf(name));
}

}  // namespace tv::engine
