// Finding a row by its primary-key values: an index Seek on table record sets, a
// criteria search on dynasets (SQL sources, and tables rewritten by the workflow filter).
//
// Date/time key columns are matched to the second: the stored value and the key text may
// be written differently ("05/12/2026 10:00:00", "2026-12-05 10:00", "5 Dec 2026 10:00")
// and still name the same instant.
#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/failure.h"
#include "data/source_text.h"

#include <array>

namespace tv::data {

namespace {

constexpr double kOneSecond = 1.0;

bool isNumericType(engine::FieldType t) {
    switch (t) {
        case engine::FieldType::Byte:
        case engine::FieldType::Integer:
        case engine::FieldType::Long:
        case engine::FieldType::Currency:
        case engine::FieldType::Single:
        case engine::FieldType::Double:
            return true;
        default:
            return false;
    }
}

QString generalDate(tv::DateTime d) { return tv::Format(tv::Variant(d), "General Date"); }

// The direct Seek missed: a second key column of type date/time may hold the same instant
// in a form the index comparison did not equate. Seek to the first row after one second
// before the key and accept it only when it is the key's first column and the same second.
bool seekDateFallback(engine::Recordset& rs, const QStringList& keyColumns, const QString& key1,
                      const QString& key2) {
    if (keyColumns.size() < 2 || rs.FieldCount() < 2) return false;
    if (rs.FieldAt(1).Type() != engine::FieldType::Date) return false;
    tv::DateTime wanted;
    if (!tv::parseDateTime(key2, &wanted)) return false;

    rs.Seek(QStringLiteral(">"), tv::Variant(key1),
            tv::Variant(tv::DateAddSeconds(wanted, -kOneSecond)));
    if (rs.NoMatch()) return false;
    const tv::Variant stored = rs[1];
    if (stored.isNull()) return false;
    const bool sameFirstKey =
        tv::CompareValues(rs.FieldNamed(keyColumns.at(0)).Value(), tv::Variant(key1), true) == 0;
    return sameFirstKey && generalDate(tv::CDate(stored)) == generalDate(wanted);
}

bool seekTable(engine::Recordset& rs, const QStringList& keyColumns,
               const std::array<QString, 3>& keys) {
    const auto n = keyColumns.size();
    const tv::Variant k1(keys[0]);
    if (n == 1)
        rs.Seek(QStringLiteral("="), k1);
    else if (n == 2)
        rs.Seek(QStringLiteral("="), k1, tv::Variant(keys[1]));
    else
        rs.Seek(QStringLiteral("="), k1, tv::Variant(keys[1]), tv::Variant(keys[2]));
    if (!rs.NoMatch()) return true;
    return seekDateFallback(rs, keyColumns, keys[0], keys[1]);
}

// One criteria clause per key column. Texts go through the quoting helper, so a key with
// a double quote in it is searched for rather than breaking the criteria. Returns false
// when a key cannot be a value of its column (a date or number that does not read), in
// which case no row can match.
bool buildCriteria(const engine::TableDef& def, const QStringList& keyColumns,
                   const std::array<QString, 3>& keys, QString* exact, QString* window) {
    QStringList exactClauses;
    QStringList windowClauses;
    bool hasDate = false;
    for (qsizetype i = 0; i < keyColumns.size() && i < 3; ++i) {
        const QString& name = keyColumns.at(i);
        const QString& key = keys[static_cast<size_t>(i)];
        const QString column = u'[' + name + u']';
        const engine::FieldType type = def.FieldNamed(name).Type();
        QString clause;
        QString windowed;
        if (type == engine::FieldType::Date) {
            tv::DateTime d;
            if (!tv::parseDateTime(key, &d)) return false;
            hasDate = true;
            clause = column + QStringLiteral(" = ") + engine::sqlLiteral(tv::Variant(d));
            windowed = column + QStringLiteral(" > ") +
                       engine::sqlLiteral(tv::Variant(tv::DateAddSeconds(d, -kOneSecond))) +
                       QStringLiteral(" And ") + column + QStringLiteral(" < ") +
                       engine::sqlLiteral(tv::Variant(tv::DateAddSeconds(d, kOneSecond)));
        } else if (isNumericType(type) || type == engine::FieldType::Boolean) {
            if (!tv::IsNumeric(tv::Variant(key)) && type != engine::FieldType::Boolean)
                return false;
            const tv::Variant value = type == engine::FieldType::Boolean
                                          ? tv::Variant(tv::CBool(tv::Variant(key)))
                                          : tv::Variant(tv::CDbl(tv::Variant(key)));
            clause = column + QStringLiteral(" = ") + engine::sqlLiteral(value);
        } else {
            clause = column + QStringLiteral(" = ") + engine::quoteLiteral(key, u'"');
        }
        exactClauses.append(clause);
        windowClauses.append(windowed.isEmpty() ? clause : windowed);
    }
    *exact = exactClauses.join(QStringLiteral(" And "));
    *window = hasDate ? windowClauses.join(QStringLiteral(" And ")) : QString();
    return true;
}

bool findByCriteria(engine::Recordset& rs, const QStringList& keyColumns,
                    const std::array<QString, 3>& keys, int database) {
    const engine::TableDef def =
        detail::databaseFor(database).TableDefNamed(SourceTable(rs.Name()));
    QString exact;
    QString window;
    if (!buildCriteria(def, keyColumns, keys, &exact, &window)) return false;
    rs.FindFirst(exact);
    if (rs.NoMatch() && !window.isEmpty()) rs.FindFirst(window);
    return !rs.NoMatch();
}

}  // namespace

bool SeekRecord(engine::Recordset& rs, const QString& key1, const QString& key2,
                const QString& key3, int database) {
    bool found = false;
    (void)attempt([&] {
        if (!rs.IsOpen()) return;
        const QStringList keyColumns = detail::primaryKeyColumns(rs.Name(), database);
        if (keyColumns.isEmpty()) return;
        const std::array<QString, 3> keys{key1, key2, key3};
        found = rs.Type() == engine::RecordsetType::Table
                    ? seekTable(rs, keyColumns, keys)
                    : findByCriteria(rs, keyColumns, keys, database);
    });
    return found;
}

}  // namespace tv::data
