#include "common/engine/queries.h"

#include "core/format.h"

namespace tvtest {

std::vector<QStringList> queryRows(tv::engine::Database& db, const QString& sql) {
    std::vector<QStringList> rows;
    tv::engine::Recordset rs = db.OpenRecordset(sql);
    for (; !rs.EOF_(); rs.MoveNext()) {
        QStringList row;
        for (int i = 0; i < rs.FieldCount(); ++i) row << tv::TextOf(rs[i]);
        rows.push_back(row);
    }
    return rows;
}

QStringList queryColumn(tv::engine::Database& db, const QString& sql, int ordinal) {
    QStringList column;
    tv::engine::Recordset rs = db.OpenRecordset(sql);
    for (; !rs.EOF_(); rs.MoveNext()) column << tv::TextOf(rs[ordinal]);
    return column;
}

QString queryValue(tv::engine::Database& db, const QString& sql) {
    tv::engine::Recordset rs = db.OpenRecordset(sql);
    return rs.EOF_() ? QStringLiteral("<none>") : tv::TextOf(rs[0]);
}

}  // namespace tvtest
