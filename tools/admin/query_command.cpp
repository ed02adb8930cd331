// query: runs one statement of the program's dialect through the engine, for looking into
// a database from a shell or a script.
#include "commands.h"
#include "console.h"
#include "core/format.h"
#include "core/variant.h"
#include "data/shipped_text.h"
#include "engine/engine.h"

namespace tv::admin {
namespace {

bool isSelect(const QString& statement) {
    return statement.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive);
}

// Rows in the same escaped, tab-separated form as db/'s row files, so the output of a
// query can be read back as one.
void printRows(engine::Recordset& rs) {
    QStringList header;
    for (const engine::Field& field : rs.Fields()) header.append(data::escapeCell(field.Name()));
    out() << header.join(u'\t') << '\n';
    const int columns = rs.FieldCount();
    for (; !rs.EOF_(); rs.MoveNext()) {
        QStringList cells;
        for (int i = 0; i < columns; ++i) cells.append(data::escapeCell(TextOf(rs[i])));
        out() << cells.join(u'\t') << '\n';
    }
    out().flush();
}

}  // namespace

int runQuery(const QStringList& args) {
    if (args.size() != 2) return usageError(QStringLiteral("query needs a FILE and a STATEMENT"));
    const QString& file = args[0];
    const QString& statement = args[1];
    try {
        const bool select = isSelect(statement);
        engine::Database db = engine::Engine::instance().OpenDatabase(file, select);
        if (select) {
            engine::Recordset rs = db.OpenRecordset(statement);
            printRows(rs);
            rs.Close();
        } else {
            out() << db.Execute(statement) << Qt::endl;
        }
        db.Close();
    } catch (const engine::DbError& e) {
        err() << "Error " << e.number() << ": " << e.text() << Qt::endl;
        return kExitDataError;
    } catch (const ConversionError& e) {
        err() << "Error " << e.number() << ": " << e.text() << Qt::endl;
        return kExitDataError;
    }
    return kExitOk;
}

}  // namespace tv::admin
