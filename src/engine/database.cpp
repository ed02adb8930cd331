// Database: record sets by table name or SQL, action statements, table definitions and
// transactions over one open file.
#include "engine/field_impl.h"
#include "engine/jet_dialect.h"
#include "engine/keyset_cursor.h"
#include "engine/query_fields.h"
#include "engine/select_shape.h"
#include "engine/snapshot_cursor.h"
#include "engine/tabledef_impl.h"

namespace tv::engine {

namespace {

// A template so that the private Impl type is deduced, never named here.
template <typename D>
DatabaseCore& open(const D& d) {
    if (!d || !d->isOpen()) fail(err::kObjectClosed);
    return *d;
}

// On a server the dialect writes names as stored and the server's own text.
struct Dialect {
    dialect::ServerNames names;
    const dialect::ServerNames* server = nullptr;
    explicit Dialect(DatabaseCore& db) {
        if (!db.conn().isServer()) return;
        names.storedTable = [&db](const QString& table) {
            return db.schemas.storedName(db.conn(), table);
        };
        server = &names;
    }
};

bool isSelect(const QString& source) {
    return source.left(6).compare(QLatin1String("SELECT"), Qt::CaseInsensitive) == 0;
}

// A table name as callers write it: blanks allowed, brackets optional.
QString bareName(const QString& source) {
    QString name = source.trimmed();
    if (name.startsWith(u'[') && name.endsWith(u']')) name = name.mid(1, name.size() - 2);
    return name;
}

}  // namespace

Database::Database() = default;
Database::~Database() = default;
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;

bool Database::IsOpen() const { return d_ && d_->isOpen(); }
QString Database::Name() const { return d_ ? d_->path : QString(); }

void Database::Close() noexcept {
    // Record sets still open on it report 3420 from now on; a pending edit is dropped
    // with the connection (its transaction rolls back).
    if (d_) {
        d_->connection.reset();
        d_->schemas.clear();
    }
}

Recordset Database::OpenRecordset(const QString& source) { return OpenRecordset(source, 0); }

Recordset Database::OpenRecordset(const QString& source, int options) {
    return OpenRecordset(
        source, isSelect(source.trimmed()) ? RecordsetType::Dynaset : RecordsetType::Table,
        options);
}

Recordset Database::OpenRecordset(const QString& source, RecordsetType type, int options) {
    const bool inChunks = (options & kKeysInChunks) != 0;
    DatabaseCore& db = open(d_);
    const QString text = source.trimmed();
    auto core = std::make_shared<RecordsetCore>();
    core->db = d_;
    core->type = type;
    core->name = text;
    const bool writable = !db.conn().readOnly() && type != RecordsetType::Snapshot;

    if (!isSelect(text)) {
        const QString name = bareName(text);
        bool isView = false;
        const QString stored = db.schemas.storedName(db.conn(), name, &isView);
        if (stored.isEmpty()) fail(err::kTableNotFound, name);
        core->name = stored;
        if (isView) {
            // A stored query: its rows, read-only.
            if (type == RecordsetType::Table) fail(err::kInvalidOperation, name);
            core->source = std::make_unique<SnapshotCursor>(
                d_, QStringLiteral("SELECT * FROM ") + quoteName(stored));
        } else if (type == RecordsetType::Table) {
            core->table = db.schemas.table(db.conn(), stored);
            auto cursor = std::make_unique<TableCursor>(d_, core->table);
            core->tableCursor = cursor.get();
            core->source = std::move(cursor);
            core->updatable = !db.conn().readOnly();
        } else {
            core->table = db.schemas.table(db.conn(), stored);
            SelectShape all;
            all.select = true;
            all.selectList = QStringLiteral("*");
            if (db.conn().isServer()) {
                // Every column but the row identity the server's table holds besides.
                QStringList names;
                for (const ColumnSchema& column : core->table->columns) names << quoteName(column.name);
                all.selectList = names.join(QStringLiteral(", "));
            }
            all.from = quoteName(stored);
            auto query = prepareKeysetQuery(db, all, core->table);
            core->source = std::make_unique<KeysetCursor>(d_, std::move(query), inChunks);
            core->updatable = writable;
        }
    } else {
        if (type == RecordsetType::Table) fail(err::kInvalidOperation, text);
        const Dialect dialect(db);
        const dialect::Translation translation =
            dialect::translate(text, catalogOf(db), dialect.server);
        if (translation.kind != dialect::StatementKind::Select) fail(err::kInvalidOperation, text);
        const SelectShape shape = analyseSelect(translation.sql);
        bool keyed = shape.keyable() && translation.singleTable && translation.tables.size() == 1;
        if (keyed) {
            bool isView = false;
            const QString stored =
                db.schemas.storedName(db.conn(), translation.tables.front(), &isView);
            if (stored.isEmpty()) fail(err::kTableNotFound, translation.tables.front());
            keyed = !isView;
            if (keyed) {
                core->table = db.schemas.table(db.conn(), stored);
                auto query = prepareKeysetQuery(db, shape, core->table, translation.resultItems);
                core->source = std::make_unique<KeysetCursor>(d_, std::move(query), inChunks);
                core->updatable = writable;
            }
        }
        if (!keyed)
            core->source =
                std::make_unique<SnapshotCursor>(d_, translation.sql, translation.resultItems);
    }
    Recordset recordset;
    recordset.d_ = std::make_unique<Recordset::Impl>();
    recordset.d_->core = std::move(core);
    return recordset;
}

long Database::Execute(const QString& statement) {
    DatabaseCore& db = open(d_);
    const Dialect dialect(db);
    const dialect::Translation t = dialect::translate(statement, catalogOf(db), dialect.server);
    Connection& conn = db.conn();
    long affected = 0;
    switch (t.kind) {
        case dialect::StatementKind::Select:
            fail(err::kSelectNotAction);
        case dialect::StatementKind::Insert:
        case dialect::StatementKind::Update:
        case dialect::StatementKind::Delete: {
            conn.acquireWriteLock();
            try {
                Statement action = conn.once(t.sql);
                affected = action.run();
                conn.noteChange();
            } catch (...) {
                conn.releaseWriteLock();
                throw;
            }
            conn.releaseWriteLock();
            break;
        }
        case dialect::StatementKind::CreateTable:
            createTable(conn, db.schemas, t.table, t.columns, t.indexes);
            break;
        case dialect::StatementKind::CreateIndex:
            if (t.indexes.empty()) fail(err::kSyntax, statement);
            createIndex(conn, db.schemas, t.table, t.indexes.front());
            break;
        case dialect::StatementKind::DropTable:
            dropTable(conn, db.schemas, t.dropName.isEmpty() ? t.table : t.dropName);
            break;
        case dialect::StatementKind::DropIndex:
            dropIndex(conn, db.schemas, t.table, t.dropName);
            break;
        case dialect::StatementKind::AlterTableAdd:
            for (const ColumnDef& column : t.columns) addColumn(conn, db.schemas, t.table, column);
            break;
        case dialect::StatementKind::AlterTableDrop:
            dropColumn(conn, db.schemas, t.table, t.dropName);
            break;
    }
    db.recordsAffected = affected;
    return affected;
}

long Database::RecordsAffected() const { return d_ ? d_->recordsAffected : 0; }

std::vector<TableDef> Database::TableDefs() const {
    DatabaseCore& db = open(d_);
    std::vector<TableDef> defs;
    for (const QString& name : db.schemas.tableNames(db.conn())) {
        TableDef def;
        def.d_ = std::make_shared<TableDef::Impl>();
        def.d_->db = d_;
        def.d_->name = name;
        defs.push_back(def);
    }
    return defs;
}

TableDef Database::TableDefNamed(const QString& name) const {
    DatabaseCore& db = open(d_);
    bool isView = false;
    const QString stored = db.schemas.storedName(db.conn(), bareName(name), &isView);
    if (stored.isEmpty() || isView) fail(err::kItemNotFound, name);
    TableDef def;
    def.d_ = std::make_shared<TableDef::Impl>();
    def.d_->db = d_;
    def.d_->name = stored;
    return def;
}

bool Database::HasTable(const QString& name) const {
    DatabaseCore& db = open(d_);
    return db.schemas.hasTable(db.conn(), bareName(name));
}

TableDef Database::CreateTableDef(const QString& name) {
    open(d_);
    TableDef def;
    def.d_ = std::make_shared<TableDef::Impl>();
    def.d_->db = d_;
    def.d_->name = bareName(name);
    def.d_->appended = false;
    return def;
}

void Database::AppendTableDef(const TableDef& def) {
    DatabaseCore& db = open(d_);
    if (!def.d_ || def.d_->appended)
        fail(err::kInvalidOperation, def.d_ ? def.d_->name : QString());
    createTable(db.conn(), db.schemas, def.d_->name, def.d_->columns, def.d_->indexes);
    def.d_->appended = true;
    def.d_->columns.clear();
    def.d_->indexes.clear();
}

void Database::BeginTrans() { open(d_).conn().beginTransaction(); }
void Database::CommitTrans() { open(d_).conn().commitTransaction(); }
void Database::Rollback() {
    DatabaseCore& db = open(d_);
    db.schemas.clear();  // a schema change inside the transaction is undone too
    db.conn().rollbackTransaction();
}

}  // namespace tv::engine
