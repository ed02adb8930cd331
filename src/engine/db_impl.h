// The inside of a Database, shared by its record sets and table definitions so that
// they stay valid objects (reporting 3420) after the database is closed.
#pragma once

#include "engine/connection.h"
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/schema.h"

#include <memory>

namespace tv::engine {

// Database::Impl derives from this so that code outside Database's friends can use it.
struct DatabaseCore {
    std::unique_ptr<Connection> connection;
    SchemaCache schemas;
    QString path;
    long recordsAffected = 0;

    bool isOpen() const { return connection != nullptr; }
    Connection& conn() {
        if (!connection) fail(err::kObjectClosed);
        return *connection;
    }
};

using DbHandle = std::shared_ptr<DatabaseCore>;

struct Database::Impl : DatabaseCore {};

}  // namespace tv::engine
