// One operation's use of the post office: opened on construction, closed (record sets
// first, then the database, then the engine's locks released) when the operation ends,
// whichever way it ends. Internal to the message client.
#pragma once

#include "engine/engine.h"

#include <QString>
#include <deque>

namespace tv::messaging::detail {

class PostOfficeSession {
public:
    // Loud: failures to open are reported as OpenPostOffice does (message 12 offers a
    // repair). Quiet: nothing is shown; for the mail indicator, which polls.
    enum class Reporting { Loud, Quiet };

    explicit PostOfficeSession(Reporting reporting = Reporting::Loud);
    ~PostOfficeSession();
    PostOfficeSession(const PostOfficeSession&) = delete;
    PostOfficeSession& operator=(const PostOfficeSession&) = delete;

    // False when no post office is configured or it could not be opened.
    bool isOpen() const { return db_.IsOpen(); }
    const QString& folder() const { return folder_; }
    engine::Database& db() { return db_; }

    // A record set owned by the session: a table with its "PrimaryKey" index selected, or
    // the dynaset of a query. Throws engine::DbError.
    engine::Recordset& table(const QString& name);
    engine::Recordset& query(const QString& sql);

    // Closes everything now; the destructor does it otherwise.
    void close();

private:
    QString folder_;
    engine::Database db_;
    std::deque<engine::Recordset> recordsets_;  // a deque: references stay valid as it grows
};

}  // namespace tv::messaging::detail
