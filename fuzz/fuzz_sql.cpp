#include "fuzz_sql.h"

#include "core/variant.h"
#include "engine/engine.h"

#include <sqlite3.h>

#include <map>
#include <memory>

namespace tvfuzz {

namespace {

using tv::engine::FieldInfo;
using tv::engine::FieldType;

struct Table {
    const char* name;
    std::vector<std::pair<const char*, FieldType>> columns;
    const char* sqliteColumns;  // the same columns as SQLite holds them
    const char* rows;           // VALUES of two rows
};

const std::vector<Table>& tables() {
    using F = FieldType;
    static const std::vector<Table> list = {
        {"T",
         {{"A", F::Long}, {"B", F::Integer}, {"R", F::Double}, {"D", F::Date}, {"S", F::Text},
          {"M", F::Memo}, {"F", F::Boolean}, {"C", F::Currency}},
         R"("A" INTEGER, "B" INTEGER, "R" REAL, "D" TEXT, "S" TEXT COLLATE NOCASE,
            "M" TEXT COLLATE NOCASE, "F" INTEGER, "C" REAL)",
         R"((1, 2, 1.5, '2026-12-05 09:30:00', 'O''Brien', 'memo', -1, 12.25),
            (NULL, NULL, NULL, NULL, '', NULL, 0, NULL))"},
        {"CUSTOMERS",
         {{"CUSTOMER NAME", F::Text}, {"CITY", F::Text}, {"BALANCE", F::Currency},
          {"DATETIME", F::Date}},
         R"("CUSTOMER NAME" TEXT COLLATE NOCASE, "CITY" TEXT COLLATE NOCASE, "BALANCE" REAL,
            "DATETIME" TEXT)",
         R"(('Acme', 'Cork', 10.5, '2026-01-01 00:00:00'), ('O''Brien', NULL, NULL, NULL))"},
        {"ACTIVITIES",
         {{"CUSTOMER NAME", F::Text}, {"DATETIME", F::Date}, {"SALES REP ID", F::Text},
          {"BILLABLE", F::Boolean}, {"INVOICENO", F::Long}},
         R"("CUSTOMER NAME" TEXT COLLATE NOCASE, "DATETIME" TEXT, "SALES REP ID" TEXT COLLATE
            NOCASE, "BILLABLE" INTEGER, "INVOICENO" INTEGER)",
         R"(('Acme', '2026-02-03 10:00:00', 'bob', -1, 7), ('Acme', NULL, NULL, 0, NULL))"},
    };
    return list;
}

// Stops a statement after this many calls of the progress handler (each after 1,000
// virtual machine steps): joins of every table with itself are cheap to write.
constexpr int kWorkLimit = 2000;

int stopWhenDone(void* counter) { return ++*static_cast<int*>(counter) > kWorkLimit ? 1 : 0; }

sqlite3* database() {
    static sqlite3* db = [] {
        sqlite3* handle = nullptr;
        sqlite3_open(":memory:", &handle);
        tv::engine::dialect::registerDialectFunctions(handle);
        // No text or blob grows beyond a megabyte, however often it is doubled.
        sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, 1 << 20);
        for (const Table& t : tables()) {
            const QString create =
                QStringLiteral("CREATE TABLE \"%1\" (%2); INSERT INTO \"%1\" VALUES %3;")
                    .arg(QLatin1String(t.name), QLatin1String(t.sqliteColumns),
                         QLatin1String(t.rows));
            sqlite3_exec(handle, create.toUtf8().constData(), nullptr, nullptr, nullptr);
        }
        return handle;
    }();
    return db;
}

}  // namespace

tv::engine::dialect::Catalog catalog() {
    return [](const QString& name) -> tv::engine::dialect::TableColumns {
        for (const Table& t : tables()) {
            if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) != 0) continue;
            auto fields = std::make_shared<std::vector<FieldInfo>>();
            for (const auto& [column, type] : t.columns) fields->push_back({column, type});
            return fields;
        }
        return nullptr;
    };
}

const std::vector<FieldInfo>& criteriaFields() {
    static const std::vector<FieldInfo> fields = [] {
        std::vector<FieldInfo> out;
        for (const auto& [column, type] : tables().front().columns) out.push_back({column, type});
        return out;
    }();
    return fields;
}

void run(const QString& sqliteText) {
    sqlite3* db = database();
    int work = 0;
    sqlite3_progress_handler(db, 1000, stopWhenDone, &work);
    sqlite3_exec(db, "SAVEPOINT fuzz", nullptr, nullptr, nullptr);
    const QByteArray sql = sqliteText.toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &statement,
                           nullptr) == SQLITE_OK &&
        statement) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(statement); ++i)
                (void)sqlite3_column_text(statement, i);
        }
    }
    sqlite3_finalize(statement);
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
    sqlite3_exec(db, "ROLLBACK TO fuzz; RELEASE fuzz", nullptr, nullptr, nullptr);
}

void translateAndRun(const QString& jetStatement) {
    try {
        const tv::engine::dialect::Translation t =
            tv::engine::dialect::translate(jetStatement, catalog());
        if (!t.sql.isEmpty()) run(t.sql);
    } catch (const tv::engine::DbError&) {
    } catch (const tv::ConversionError&) {
    }
}

}  // namespace tvfuzz
