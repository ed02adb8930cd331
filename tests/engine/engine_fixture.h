// Shared fixture of the engine tests: a fresh database in a scratch folder with regional
// settings pinned, a look at what SQLite really stored, and the DbError a call raised.
#pragma once

#include "common/test_backend.h"
#include "core/format.h"
#include "core/regional.h"
#include "engine/engine.h"
#include "engine/server.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <gtest/gtest.h>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
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

// What SQLite holds, read beside the engine as another workstation would: rows of texts,
// Null as "NULL"; after a failure one row "<failed>", so the test fails without crashing.
// With `write` the statement may change the file, as another program writing to it would.
inline std::vector<QStringList> rawRows(const QString& path, const QString& sql,
                                        bool write = false) {
    std::vector<QStringList> rows;
    if (tv::engine::IsServerLocation(path)) {
        // On a server: its own connection, in the database's schema.
        const qsizetype slash = path.lastIndexOf(u'/');
        PGconn* conn = PQconnectdb(path.left(slash).toUtf8().constData());
        const QString schema = path.mid(slash + 1).chopped(4).toLower();
        PQclear(PQexec(conn, ("SET search_path = \"" + schema + "\", public").toUtf8().constData()));
        // The statements are written as SQLite reads them: bare names in any case, and
        // group_concat. A server needs the names as stored.
        PGresult* names = PQexec(conn,
            "SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
            "WHERE n.nspname = current_schema() UNION SELECT a.attname FROM pg_attribute a JOIN "
            "pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
            "WHERE n.nspname = current_schema() AND a.attnum > 0");
        QHash<QString, QString> stored;
        for (int r = 0; r < PQntuples(names); ++r) {
            const QString name = QString::fromUtf8(PQgetvalue(names, r, 0));
            stored.insert(name.toLower(), name);
        }
        PQclear(names);
        QString text;
        static const QRegularExpression token(
            QStringLiteral("'[^']*'|\"[^\"]*\"|\\[[^\\]]*\\]|[A-Za-z_][A-Za-z0-9_]*|."));
        for (auto it = token.globalMatch(sql); it.hasNext();) {
            QString t = it.next().captured();
            if (t.startsWith(u'[')) t = t.mid(1, t.size() - 2);  // SQLite reads [NAME] too
            const auto found = stored.constFind(t.toLower());
            text += found != stored.constEnd() && t.front().isLetter()
                        ? u'"' + *found + u'"'
                        : t;
        }
        static const QRegularExpression concat(QStringLiteral("group_concat\\(([^)]*)\\)"));
        text.replace(concat, QStringLiteral("string_agg((\\1)::text, ',' ORDER BY rowid)"));
        PGresult* result = PQexec(conn, text.toUtf8().constData());
        if (PQresultStatus(result) == PGRES_TUPLES_OK || PQresultStatus(result) == PGRES_COMMAND_OK) {
            for (int r = 0; r < PQntuples(result); ++r) {
                QStringList row;
                for (int c = 0; c < PQnfields(result); ++c)
                    if (qstrcmp(PQfname(result, c), "rowid") != 0)
                        row << (PQgetisnull(result, r, c) ? QStringLiteral("NULL")
                                                      : QString::fromUtf8(PQgetvalue(result, r, c)));
                rows.push_back(row);
            }
        } else {
            ADD_FAILURE() << PQerrorMessage(conn) << " in " << sql.toStdString();
            rows = {{QStringLiteral("<failed>")}};
        }
        PQclear(result);
        PQfinish(conn);
        return rows;
    }
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                             write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr);
    sqlite3_busy_timeout(db, 5000);  // waits for writers, as the engine's readers do
    if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr);
    for (; rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW; rc = SQLITE_OK) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            row << (text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
        }
        rows.push_back(row);
    }
    if (rc != SQLITE_DONE) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
        rows = {{QStringLiteral("<failed>")}};
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

// Overwrites a leaf page from the middle of a b-tree (a table or an index) as a disk fault
// would, and returns how many cells (rows or index entries) it held.
inline int spoilMiddleLeaf(const QString& path, const QString& btree) {
    const auto pages = rawRows(
        path, "SELECT pageno, ncell FROM dbstat WHERE name = " + tv::engine::quoteLiteral(btree) +
                  " AND pagetype = 'leaf' ORDER BY path");
    if (pages.size() < 3 || pages[0].size() < 2) {
        ADD_FAILURE() << "too few pages to spoil one in the middle";
        return 0;
    }
    const QStringList middle = pages[pages.size() / 2];
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite) && file.seek((middle[0].toLongLong() - 1) * 4096));
    file.write(QByteArray(4096, '\x5a'));
    return middle[1].toInt();
}

// A value as the tests compare it: its text, Null as "Null".
inline QString textOf(const tv::Variant& v) {
    return v.isNull() ? QStringLiteral("Null") : tv::TextOf(v);
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        tv::pinRegional(tv::RegionalSettings{});  // day-month-year, "/", ":", "."
        path_ = databaseLocation(scratch_, QStringLiteral("Test.mdb"));
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
    static QStringList walk(tv::engine::Recordset& rs, int column, bool forward = true) {
        QStringList values;
        for (; forward ? !rs.EOF_() : !rs.BOF(); forward ? rs.MoveNext() : rs.MovePrevious())
            values << textOf(rs[column]);
        return values;
    }

    ScratchFolder scratch_;
    QString path_;
    tv::engine::Database db_;
};

}  // namespace tvtest
