// libpq under the engine: connecting to a site's schema, prepared statements, stepping
// through results and the mapping of server failures onto the engine's error numbers.
#include "engine/pg_session.h"

#include <QtEndian>
#include "engine/server.h"

#include "engine/errors.h"
#include "engine/jet_dialect.h"

#include <libpq-fe.h>

#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>
#include <QtEndian>
#include <cstdlib>
#include <optional>

namespace tv::engine {

namespace {

constexpr unsigned kByteaOid = 17;

QString schemaOfFile(const QString& file) {
    QString name = file;
    if (name.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive)) name.chop(4);
    return name.toLower();
}

// The number for a failure's SQLSTATE, 0 when none fits.
int numberForState(const QByteArray& state) {
    struct Entry {
        const char* state;
        int number;
    };
    static const Entry entries[] = {
        {"23505", err::kDuplicateKey},    {"23502", err::kRequiredNull},
        {"55P03", err::kLocked},          {"40P01", err::kLocked},
        {"40001", err::kLocked},          {"57014", err::kLocked},  // lock wait cancelled
        {"42P01", err::kTableNotFound},   {"42703", err::kTooFewParameters},
        {"42601", err::kSyntax},          {"42883", err::kSyntax},
        {"22001", err::kFieldTooLong},    {"22003", 6},  // an expression overflowed
        {"22P02", err::kTypeMismatch},    {"42P07", err::kDuplicateName},
        {"3D000", err::kFileNotFound},    {"3F000", err::kFileNotFound},
        {"25006", err::kNotUpdatable},    {"53100", err::kDiskFull},
        {"42803", err::kNotInAggregate},  // a column neither grouped nor aggregated
        {"22012", 11},  // division by zero, as the runtime numbers it
    };
    for (const Entry& e : entries)
        if (state == e.state) return e.number;
    // Any other constraint, and a trigger raising an exception to refuse a change, fail as
    // SQLite reports its constraints and a trigger's RAISE.
    if (state.startsWith("23") || state == "P0001") return err::kDuplicateKey;
    if (state.startsWith("08")) return err::kDiskError;  // the connection failed
    if (state.startsWith("28") || state.startsWith("42501")) return err::kCannotOpenFile;
    return 0;
}

int paramIndex(int index, std::vector<QByteArray>& values) {
    if (index < 1) fail(err::kEngineFailure, QStringLiteral("parameter %1").arg(index));
    if (static_cast<size_t>(index) > values.size()) values.resize(static_cast<size_t>(index));
    return index - 1;
}

}  // namespace

bool IsServerLocation(const QString& location) { return isServerLocation(location); }

bool LocationHoldsPassword(const QString& location) {
    if (!isServerLocation(location)) return false;
    PQconninfoOption* options =
        PQconninfoParse(serverLocation(location).conninfo.toUtf8().constData(), nullptr);
    bool password = false;
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        if (qstrcmp(o->keyword, "password") == 0 && o->val && *o->val) password = true;
    PQconninfoFree(options);
    return password;
}

bool isServerLocation(const QString& location) {
    const QString text = location.trimmed();
    if (text.startsWith(QLatin1String("postgresql:"), Qt::CaseInsensitive) ||
        text.startsWith(QLatin1String("postgres:"), Qt::CaseInsensitive))
        return true;
    static const QRegularExpression keywords(
        QStringLiteral("^(host|hostaddr|port|dbname|user|service)\\s*="),
        QRegularExpression::CaseInsensitiveOption);
    return keywords.match(text).hasMatch();
}

ServerLocation serverLocation(const QString& location) {
    ServerLocation result;
    QString text = location.trimmed();
    result.schema = QStringLiteral("data");
    // A database file name joined on the end names the schema.
    static const QRegularExpression file(QStringLiteral("[/\\\\]([^/\\\\=?&]+\\.mdb)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (const auto m = file.match(text); m.hasMatch()) {
        result.schema = schemaOfFile(m.captured(1));
        text.truncate(m.capturedStart());
    }
    const qsizetype colon = text.indexOf(u':');
    if (colon > 0 && !text.left(colon).contains(u'=')) {
        // A URI whose "//" was collapsed by joining a name onto it as onto a folder gets
        // it back; "postgresql:/site?host=/run/pg" had an empty host (the socket in host=).
        qsizetype rest = colon + 1;
        while (rest < text.size() && (text[rest] == u'/' || text[rest] == u'\\')) ++rest;
        if (rest - colon - 1 < 2) {
            const QString tail = text.mid(rest);
            const bool path = tail.section(u'?', 0, 0).contains(u'/');
            const bool socket = tail.section(u'?', 1).contains(QLatin1String("host="));
            text = text.left(colon + 1) + (!path && socket ? QStringLiteral("///")
                                                            : QStringLiteral("//")) + tail;
        }
    }
    result.conninfo = text;
    return result;
}

void appendCopyNull(QByteArray& line) { line += "\\N"; }

void appendCopyText(QByteArray& line, const QByteArray& utf8) {
    // Only these four bytes mean something inside a value of COPY's text format; every
    // other byte (a letter of any script, a quote) goes as it is, in runs.
    const char* bytes = utf8.constData();
    qsizetype from = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char* escaped = nullptr;
        switch (bytes[i]) {
            case '\\':
                escaped = "\\\\";
                break;
            case '\t':
                escaped = "\\t";
                break;
            case '\n':
                escaped = "\\n";
                break;
            case '\r':
                escaped = "\\r";
                break;
            default:
                continue;
        }
        line.append(bytes + from, i - from);
        line += escaped;
        from = i + 1;
    }
    line.append(bytes + from, utf8.size() - from);
}

void appendCopyBlob(QByteArray& line, const QByteArray& bytes) {
    // bytea's hex input form "\x...", its backslash escaped for COPY.
    line += "\\\\x";
    line += bytes.toHex();
}

QString serverVersion(PgSession& session) {
    const int version = PQserverVersion(session.handle());
    return QStringLiteral("PostgreSQL %1.%2").arg(version / 10000).arg(version % 10000);
}

QString serverName(const QString& name) {
    QString quoted = name;
    quoted.replace(u'"', QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray serverParameters(const QString& sql, int* parameters) {
    QString out;
    out.reserve(sql.size() + 16);
    int next = 0;
    int highest = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = sql.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end;
            out += QStringView(sql).mid(i, stop - i + 1);
            i = stop;
            continue;
        }
        if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end;
            out += QStringView(sql).mid(i, stop - i + 1);
            i = stop;
            continue;
        }
        if (c != u'?') {
            out += c;
            continue;
        }
        qsizetype j = i + 1;
        while (j < sql.size() && sql[j].isDigit()) ++j;
        int number = j > i + 1 ? QStringView(sql).mid(i + 1, j - i - 1).toInt() : ++next;
        if (j > i + 1) next = number;
        highest = std::max(highest, number);
        out += u'$' + QString::number(number);
        i = j - 1;
    }
    if (parameters) *parameters = highest;
    return out.toUtf8();
}

// ---- statements ----

PgStatement::PgStatement(PgSession& session, QByteArray preparedName, QByteArray sql,
                         int parameters)
    : session_(session), name_(std::move(preparedName)), sql_(std::move(sql)) {
    values_.resize(static_cast<size_t>(parameters));
    nulls_.assign(values_.size(), 1);
    formats_.assign(values_.size(), 0);
    types_.assign(values_.size(), 0);
}

PgStatement::~PgStatement() {
    PQclear(result_);
    PQclear(described_);
}

const pg_result* PgStatement::meta() const {
    if (result_) return result_;
    if (!described_) {
        PGconn* conn = session_.handle();
        if (name_.isEmpty()) {
            PGresult* prepared = PQprepare(conn, "", sql_.constData(), 0, nullptr);
            const bool ok = PQresultStatus(prepared) == PGRES_COMMAND_OK;
            DbError error = ok ? DbError(0, QString()) : session_.lastError(prepared, sql_);
            PQclear(prepared);
            if (!ok) throw error;
        }
        described_ = PQdescribePrepared(conn, name_.constData());
    }
    return described_;
}

void PgStatement::slot(int index) {
    const int at = paramIndex(index, values_);
    if (nulls_.size() < values_.size()) {
        nulls_.resize(values_.size(), 1);
        formats_.resize(values_.size(), 0);
        types_.resize(values_.size(), 0);
    }
    (void)at;
}

void PgStatement::bindNull(int index) {
    slot(index);
    nulls_[static_cast<size_t>(index - 1)] = 1;
}

void PgStatement::bindText(int index, QByteArray utf8) {
    slot(index);
    const auto at = static_cast<size_t>(index - 1);
    values_[at] = std::move(utf8);
    nulls_[at] = 0;
    formats_[at] = 0;
    types_[at] = 0;
}

void PgStatement::bindBlob(int index, QByteArray bytes) {
    slot(index);
    const auto at = static_cast<size_t>(index - 1);
    values_[at] = std::move(bytes);
    nulls_[at] = 0;
    formats_[at] = 1;
    types_[at] = kByteaOid;
}

void PgStatement::execute(int resultFormat) {
    const int count = static_cast<int>(values_.size());
    std::vector<const char*> pointers(values_.size());
    std::vector<int> lengths(values_.size());
    for (size_t i = 0; i < values_.size(); ++i) {
        pointers[i] = nulls_[i] ? nullptr : values_[i].constData();
        lengths[i] = static_cast<int>(values_[i].size());
    }
    PGconn* conn = session_.handle();
    // A failing statement aborts the server's whole transaction, where a file's goes on:
    // writes and row locks inside one run under a savepoint, so that a refused Update
    // leaves the edit pending and an explicit transaction usable, as on a file.
    const QByteArray verb = sql_.trimmed().left(6).toUpper();
    const bool write = verb == "INSERT" || verb == "UPDATE" || verb == "DELETE";
    const bool guard = session_.inTransaction() &&
                       (write || (verb == "SELECT" && sql_.contains("FOR UPDATE")));
    if (guard) session_.exec(QStringLiteral("SAVEPOINT tv_statement"));
    if (name_.isEmpty())
        result_ = PQexecParams(conn, sql_.constData(), count, types_.data(), pointers.data(),
                               lengths.data(), formats_.data(), resultFormat);
    else
        result_ = PQexecPrepared(conn, name_.constData(), count, pointers.data(), lengths.data(),
                                 formats_.data(), resultFormat);
    const ExecStatusType status = PQresultStatus(result_);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        DbError error = session_.lastError(result_, sql_);
        PQclear(result_);
        result_ = nullptr;
        if (guard) session_.exec(QStringLiteral("ROLLBACK TO SAVEPOINT tv_statement"));
        throw error;
    }
    if (guard) session_.exec(QStringLiteral("RELEASE SAVEPOINT tv_statement"));
    rows_ = PQntuples(result_);
    row_ = -1;
}

bool PgStatement::step() {
    if (!result_) execute();
    blobs_.clear();
    if (row_ + 1 >= rows_) {
        row_ = rows_;
        return false;
    }
    ++row_;
    return true;
}

long PgStatement::run() {
    if (!result_) execute();
    const char* tuples = PQcmdTuples(result_);
    const long changed = tuples && *tuples ? std::atol(tuples) : 0;
    reset();
    return changed;
}

void PgStatement::reset() {
    PQclear(result_);
    result_ = nullptr;
    row_ = -1;
    rows_ = 0;
    blobs_.clear();
}

int PgStatement::columnCount() const { return PQnfields(meta()); }

int PgStatement::columnType(int col) const {
    if (!result_ || row_ < 0 || row_ >= rows_ || PQgetisnull(result_, row_, col))
        return pgkind::kNull;
    switch (PQftype(result_, col)) {
        case 16:  // bool
        case 20:
        case 21:
        case 23:
        case 26:
            return pgkind::kInteger;
        case 700:
        case 701:
        case 1700:
            return pgkind::kFloat;
        case kByteaOid:
            return pgkind::kBlob;
        default:
            return pgkind::kText;
    }
}

std::int64_t PgStatement::intAt(int col) const {
    if (columnType(col) == pgkind::kNull) return 0;
    const char* text = PQgetvalue(result_, row_, col);
    if (PQftype(result_, col) == 16) return text[0] == 't' ? -1 : 0;
    if (columnType(col) == pgkind::kFloat) return static_cast<std::int64_t>(std::strtod(text, nullptr));
    return std::strtoll(text, nullptr, 10);
}

std::int64_t PgStatement::binaryIntegerAt(int row) const {
    if (PQgetisnull(result_, row, 0)) return 0;
    const auto* bytes = reinterpret_cast<const uchar*>(PQgetvalue(result_, row, 0));
    switch (PQgetlength(result_, row, 0)) {
        case 8:
            return qFromBigEndian<qint64>(bytes);
        case 4:
            return qFromBigEndian<qint32>(bytes);
        case 2:
            return qFromBigEndian<qint16>(bytes);
        default:
            return 0;
    }
}

double PgStatement::doubleAt(int col) const {
    if (columnType(col) == pgkind::kNull) return 0.0;
    if (PQftype(result_, col) == 16) return static_cast<double>(intAt(col));
    return std::strtod(PQgetvalue(result_, row_, col), nullptr);
}

const char* PgStatement::bytesAt(int col, int* length) const {
    if (columnType(col) == pgkind::kNull) {
        *length = 0;
        return nullptr;
    }
    if (PQftype(result_, col) == kByteaOid) {
        auto it = blobs_.find(col);
        if (it == blobs_.end()) {
            size_t size = 0;
            unsigned char* raw = PQunescapeBytea(
                reinterpret_cast<const unsigned char*>(PQgetvalue(result_, row_, col)), &size);
            it = blobs_.insert(col, QByteArray(reinterpret_cast<const char*>(raw),
                                               static_cast<qsizetype>(size)));
            PQfreemem(raw);
        }
        *length = static_cast<int>(it->size());
        return it->constData();
    }
    *length = PQgetlength(result_, row_, col);
    return PQgetvalue(result_, row_, col);
}

QString PgStatement::columnName(int col) const { return QString::fromUtf8(PQfname(meta(), col)); }

unsigned PgStatement::tableOid(int col) const { return PQftable(meta(), col); }

int PgStatement::tableColumn(int col) const { return PQftablecol(meta(), col); }

// ---- sessions ----

PgSession::PgSession(const ServerLocation& location, bool readOnly, bool create,
                     int busyTimeoutMs)
    : location_(location) {
    auto connect = [](const QString& conninfo, const char* dbname) {
        // Keyword strings and URIs both: expand_dbname lets "dbname" carry either.
        const char* keys[] = {"dbname", dbname ? "dbname" : nullptr, "application_name", nullptr};
        const QByteArray info = conninfo.toUtf8();
        const char* values[] = {info.constData(), dbname, "tolvarine", nullptr};
        if (!dbname) {
            keys[1] = "application_name";
            values[1] = "tolvarine";
            keys[2] = nullptr;
        }
        return PQconnectdbParams(keys, values, 1);
    };
    conn_ = connect(location.conninfo, nullptr);
    if (PQstatus(conn_) != CONNECTION_OK && create) {
        // The site's database is made from the server's maintenance database.
        const QString message = QString::fromUtf8(PQerrorMessage(conn_));
        PQfinish(conn_);
        conn_ = nullptr;
        if (!message.contains(QLatin1String("does not exist")))
            fail(err::kCannotOpenFile, location.conninfo + QStringLiteral(": ") + message.trimmed());
        PGconn* admin = connect(location.conninfo, "postgres");
        if (PQstatus(admin) != CONNECTION_OK) {
            const QString why = QString::fromUtf8(PQerrorMessage(admin)).trimmed();
            PQfinish(admin);
            fail(err::kCannotOpenFile, location.conninfo + QStringLiteral(": ") + why);
        }
        // The site database's name as the location gives it.
        PQconninfoOption* options = PQconninfoParse(location.conninfo.toUtf8().constData(), nullptr);
        QString site;
        for (PQconninfoOption* o = options; o && o->keyword; ++o)
            if (qstrcmp(o->keyword, "dbname") == 0 && o->val) site = QString::fromUtf8(o->val);
        PQconninfoFree(options);
        PGresult* made = PQexec(
            admin, (QStringLiteral("CREATE DATABASE ") + serverName(site) +
                    QStringLiteral(" TEMPLATE template0 ENCODING 'UTF8'"))
                       .toUtf8()
                       .constData());
        const bool ok = PQresultStatus(made) == PGRES_COMMAND_OK;
        const QString why = QString::fromUtf8(PQresultErrorMessage(made)).trimmed();
        PQclear(made);
        PQfinish(admin);
        if (!ok) fail(err::kCannotOpenFile, site + QStringLiteral(": ") + why);
        conn_ = connect(location.conninfo, nullptr);
    }
    if (PQstatus(conn_) != CONNECTION_OK) {
        const QString message = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
        PQfinish(conn_);
        conn_ = nullptr;
        // The engine's numbers (file not found, cannot open), in a server's words; libpq's own
        // reason on one line.
        const bool missing = message.contains(QLatin1String("does not exist"));
        const QString text =
            missing ? QStringLiteral("The site's database named by '%1' does not exist on the server.")
                    : QStringLiteral("The database server named by '%1' did not accept the connection.");
        throw DbError(missing ? err::kFileNotFound : err::kCannotOpenFile,
                      text.arg(location.conninfo) + u'\n' + message.simplified());
    }
    PQsetClientEncoding(conn_, "UTF8");
    exec(QStringLiteral("SET client_min_messages = warning"));
    if (create) {
        exec(QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext SCHEMA public"));
        exec(QStringLiteral("CREATE SCHEMA IF NOT EXISTS ") + serverName(location.schema));
        dialect::createServerFunctions(*this);
    } else {
        auto check = unprepared(
            QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = ?1"));
        check->bindText(1, location.schema.toUtf8());
        if (!check->step()) fail(err::kFileNotFound, location.conninfo + QStringLiteral(" (") +
                                                         location.schema + u')');
        dialect::upgradeServerFunctions(*this, location.conninfo);
    }
    exec(QStringLiteral("SET search_path = ") + serverName(location.schema) +
         QStringLiteral(", public"));
    if (readOnly) exec(QStringLiteral("SET default_transaction_read_only = on"));
    setBusyTimeout(busyTimeoutMs);
}

PgSession::~PgSession() {
    if (conn_) PQfinish(conn_);
}

void PgSession::setBusyTimeout(int milliseconds) {
    // A row another user keeps locked is waited for as long as a locked file would be.
    exec(QStringLiteral("SET lock_timeout = %1").arg(std::max(1, milliseconds)));
}

bool PgSession::inTransaction() const {
    return PQtransactionStatus(conn_) != PQTRANS_IDLE;
}

void PgSession::lockSchemaWriters() {
    exec(QStringLiteral("SAVEPOINT tv_writers"));
    try {
        exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('tv_writers:' || current_schema()))"));
    } catch (const DbError&) {
        exec(QStringLiteral("ROLLBACK TO SAVEPOINT tv_writers"));
        exec(QStringLiteral("RELEASE SAVEPOINT tv_writers"));
        throw;
    }
    exec(QStringLiteral("RELEASE SAVEPOINT tv_writers"));
}

std::unique_ptr<PgStatement> PgSession::prepared(const QString& sql) {
    auto it = plans_.find(sql);
    if (it == plans_.end()) {
        Plan plan;
        plan.sql = serverParameters(sql, &plan.parameters);
        plan.name = "tv" + QByteArray::number(plans_.size() + 1);
        PGresult* result =
            PQprepare(conn_, plan.name.constData(), plan.sql.constData(), 0, nullptr);
        if (PQresultStatus(result) != PGRES_COMMAND_OK) {
            DbError error = lastError(result, plan.sql);
            PQclear(result);
            throw error;
        }
        PQclear(result);
        it = plans_.insert(sql, plan);
    }
    return std::make_unique<PgStatement>(*this, it->name, it->sql, it->parameters);
}

std::unique_ptr<PgStatement> PgSession::unprepared(const QString& sql) {
    int parameters = 0;
    QByteArray text = serverParameters(sql, &parameters);
    return std::make_unique<PgStatement>(*this, QByteArray(), std::move(text), parameters);
}

void PgSession::exec(const QString& sql) {
    const QByteArray text = sql.toUtf8();
    PGresult* result = PQexec(conn_, text.constData());
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        DbError error = lastError(result, text);
        PQclear(result);
        throw error;
    }
    PQclear(result);
}

long PgSession::copyIn(const QString& copy, const QByteArray& rows, long* failedRow) {
    if (failedRow) *failedRow = 0;
    const QByteArray sql = copy.toUtf8();
    PGresult* started = PQexec(conn_, sql.constData());
    if (PQresultStatus(started) != PGRES_COPY_IN) {
        DbError error = lastError(started, sql);
        PQclear(started);
        throw error;
    }
    PQclear(started);
    // libpq queues what it is given and sends as its buffer fills; pieces of a megabyte
    // keep each call's length well inside an int.
    constexpr qsizetype kPiece = qsizetype(1) << 20;
    bool sent = true;
    for (qsizetype at = 0; sent && at < rows.size(); at += kPiece)
        sent = PQputCopyData(conn_, rows.constData() + at,
                             static_cast<int>(std::min(kPiece, rows.size() - at))) == 1;
    // Ending with a message makes the server refuse the whole COPY.
    PQputCopyEnd(conn_, sent ? nullptr : "the rows could not be sent");
    PGresult* result = PQgetResult(conn_);
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    long taken = 0;
    std::optional<DbError> error;
    if (ok) {
        const char* tuples = PQcmdTuples(result);
        taken = tuples && *tuples ? std::atol(tuples) : 0;
    } else {
        error = lastError(result, sql);
        // "COPY visits, line 3, column name: ..." names the row the server stopped at.
        const char* context = PQresultErrorField(result, PG_DIAG_CONTEXT);
        static const QRegularExpression line(QStringLiteral("\\bline (\\d+)"));
        const auto m = line.match(QString::fromUtf8(context ? context : ""));
        if (failedRow && m.hasMatch()) *failedRow = m.captured(1).toLong();
    }
    PQclear(result);
    while (PGresult* rest = PQgetResult(conn_)) PQclear(rest);
    if (error) throw *error;
    return taken;
}

DbError PgSession::lastError(const pg_result* result, const QByteArray& sql) const {
    const char* stateText = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const QByteArray state = stateText ? QByteArray(stateText) : QByteArray("08000");
    QString message = QString::fromUtf8(result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)
                                               : nullptr);
    if (message.isEmpty()) message = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
    // A dialect function's failure keeps the runtime's number, as on SQLite.
    QString runtimeText;
    if (const int runtime = dialect::runtimeErrorNumber(message, &runtimeText))
        return DbError(runtime, runtimeText);
    int number = numberForState(state);
    if (number == 0) number = err::kEngineFailure;
    QString detail;
    if (number == err::kSyntax) detail = QString::fromUtf8(sql);
    QString text = errorText(number, detail);
    if (number != err::kSyntax) text += QStringLiteral(" (%1)").arg(message);
    else text += QStringLiteral(" (%1)").arg(message);
    return DbError(number, text);
}

}  // namespace tv::engine
