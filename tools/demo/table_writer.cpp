#include "demo/table_writer.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

namespace tv::demo {

namespace {
// Rows handed to the writer at a time, and batches queued before the maker waits.
constexpr size_t kBatchRows = 1024;
constexpr size_t kQueuedBatches = 64;
}  // namespace

DatabaseWriter::DatabaseWriter(engine::Database& db) : db_(db), thread_([this] { loop(); }) {}

DatabaseWriter::~DatabaseWriter() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void DatabaseWriter::post(std::function<void()> work) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kQueuedBatches; });
    queue_.push_back(std::move(work));
    changed_.notify_all();
}

void DatabaseWriter::wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void DatabaseWriter::loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (queue_.empty()) return;  // stopping, and nothing left
        std::function<void()> work = std::move(queue_.front());
        queue_.pop_front();
        const bool skip = failure_ != nullptr;
        busy_ = true;
        lock.unlock();
        changed_.notify_all();
        std::exception_ptr failed;
        if (!skip) {
            try {
                work();
            } catch (...) {
                failed = std::current_exception();
            }
        }
        work = nullptr;  // the batch's values go here, off the maker's thread
        lock.lock();
        busy_ = false;
        if (failed && !failure_) failure_ = failed;
        changed_.notify_all();
    }
}

struct TableWriter::State {
    struct SecondaryIndex {
        QString name;
        QStringList fields;
        bool unique;
    };
    std::unique_ptr<engine::BulkInsert> rows;
    std::vector<SecondaryIndex> indexes;
};

TableWriter::TableWriter(DatabaseWriter& writer, QString database, QString table,
                         std::initializer_list<const char*> columns)
    : writer_(writer),
      database_(std::move(database)),
      table_(std::move(table)),
      state_(std::make_shared<State>()),
      columns_(columns.size()) {
    QStringList names;
    for (const char* column : columns) names << QString::fromUtf8(column);
    batch_.reserve(kBatchRows * columns_);
    writer_.post([state = state_, &db = writer_.db(), table = table_, names] {
        db.BeginTrans();
        engine::TableDef def = db.TableDefNamed(table);
        for (const engine::Index& index : def.Indexes()) {
            if (index.Primary()) continue;
            state->indexes.push_back({index.Name(), index.FieldNames(), index.Unique()});
            def.DeleteIndex(index.Name());
        }
        state->rows = std::make_unique<engine::BulkInsert>(db, table, names);
    });
}

TableWriter::~TableWriter() {
    // Only reached without finish() when making a row failed: the caller discards the file.
    if (open_) {
        writer_.post([state = state_, &db = writer_.db()] {
            state->rows.reset();
            db.Rollback();
        });
    }
}

void TableWriter::add(std::initializer_list<Variant> values) {
    // A row of another width would shift every row after it in the batch.
    if (values.size() != columns_)
        throw std::logic_error("demo company: a row of " + std::to_string(values.size()) +
                               " values for " + std::to_string(columns_) + " columns");
    batch_.insert(batch_.end(), values.begin(), values.end());
    ++count_;
    if (batch_.size() >= kBatchRows * columns_) flush();
}

void TableWriter::flush() {
    if (batch_.empty()) return;
    std::vector<Variant> rows;
    rows.reserve(kBatchRows * columns_);
    rows.swap(batch_);
    writer_.post([state = state_, rows = std::move(rows), columns = columns_] {
        for (size_t at = 0; at < rows.size(); at += columns) state->rows->add(&rows[at], columns);
    });
}

long TableWriter::finish() {
    flush();
    writer_.post([state = state_, &db = writer_.db(), table = table_] {
        state->rows.reset();
        engine::TableDef def = db.TableDefNamed(table);
        for (const State::SecondaryIndex& index : state->indexes)
            def.CreateIndex(index.name, index.fields, index.unique);
        db.CommitTrans();
    });
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
