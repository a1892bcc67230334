#pragma once

// For benchmarks and tests only: the SQLite connection behind a Database, to time raw SQLite
// beside the database layer on the same file, or to set up what the layer never does. Forms and
// everything above the database layer reach SQLite only through Database and Recordset.

#include "platform/db/Database.h"

namespace kiv {

struct RawAccess {
    static sqlite3* handle(Database& db) { return db.handle(); }
};

}  // namespace kiv
