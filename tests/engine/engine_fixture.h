// Shared fixture of the engine tests: a fresh database in a scratch folder, regional
// settings pinned (day-month-year), a way to look at what SQLite really stored, and a
// helper that tells which DbError a call raised.
#pragma once

#include "common/test_support.h"
#include "core/regional.h"
#include "engine/engine.h"

#include <sqlite3.h>

#include <gtest/gtest.h>
#include <QStringList>
#include <functional>

namespace tvtest {

// The number of the DbError `call` throws, 0 when it throws none. Any other exception
// fails the test: the engine reports everything as DbError.
inline int dbErrorOf(const std::function<void()>& call, QString* text = nullptr) {
    try {
        call();
    } catch (const tv::engine::DbError& error) {
        if (text) *text = error.text();
        return error.number();
    } catch (const std::exception& error) {
        ADD_FAILURE() << "not a DbError: " << error.what();
        return -1;
    }
    return 0;
}

inline tv::RegionalSettings pinnedDayMonthYear() {
    tv::RegionalSettings r;
    r.dateOrder = tv::DateOrder::DayMonthYear;
    r.dateSeparator = u'/';
    r.timeSeparator = u':';
    r.decimalPoint = u'.';
    r.twentyFourHour = true;
    r.fourDigitYearInShortDate = true;
    return r;
}

// Reads what SQLite holds, beside the engine: one row of texts per result row, each cell
// "typeof:value" when `withTypes`.
inline std::vector<QStringList> rawRows(const QString& path, const QString& sql,
                                        bool withTypes = false) {
    std::vector<QStringList> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << path.toStdString();
        sqlite3_close(db);
        return rows;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
    } else {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const int type = sqlite3_column_type(stmt, i);  // before any conversion
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                QString cell = text ? QString::fromUtf8(text) : QStringLiteral("NULL");
                if (withTypes) {
                    static const char* const kinds[] = {"",     "integer", "real",
                                                        "text", "blob",    "null"};
                    cell = QString::fromLatin1(kinds[type]) + u':' + cell;
                }
                row << cell;
            }
            rows.push_back(row);
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        tv::pinRegional(pinnedDayMonthYear());
        path_ = scratch_.file(QStringLiteral("Test.mdb"));
        db_ = tv::engine::Engine::instance().CreateDatabase(path_);
    }
    void TearDown() override {
        db_.Close();
        tv::resetRegional();
    }
    void reopen() {
        db_.Close();
        db_ = tv::engine::Engine::instance().OpenDatabase(path_);
    }
    // The values of one column over a record set walked from the current position.
    static QStringList walk(tv::engine::Recordset& rs, int column, bool forward = true);

    ScratchFolder scratch_;
    QString path_;
    tv::engine::Database db_;
};

inline QString textOf(const tv::Variant& v) {
    switch (v.type()) {
        case tv::VarType::Null:
            return QStringLiteral("Null");
        case tv::VarType::String:
            return v.asString();
        case tv::VarType::Long:
            return QString::number(v.asLong());
        case tv::VarType::Integer:
            return QString::number(v.asInteger());
        case tv::VarType::Boolean:
            return v.asBool() ? QStringLiteral("True") : QStringLiteral("False");
        case tv::VarType::Double:
            return QString::number(v.asDouble());
        default:
            return QStringLiteral("?");
    }
}

inline QStringList EngineTest::walk(tv::engine::Recordset& rs, int column, bool forward) {
    QStringList values;
    while (forward ? !rs.EOF_() : !rs.BOF()) {
        values << textOf(rs[column]);
        if (forward)
            rs.MoveNext();
        else
            rs.MovePrevious();
    }
    return values;
}

}  // namespace tvtest
