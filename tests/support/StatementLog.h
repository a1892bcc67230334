#pragma once

#include <string>
#include <vector>

#include <sqlite3.h>

#include "platform/db/Database.h"
#include "platform/db/RawAccess.h"

namespace kiv::test {

// What the program asks of one database while the log lives: each statement as it starts, and
// the rows SQLite hands out.
class StatementLog {
  public:
    explicit StatementLog(Database& db) : handle_(RawAccess::handle(db)) {
        sqlite3_trace_v2(handle_, SQLITE_TRACE_STMT | SQLITE_TRACE_ROW, trace, this);
    }
    ~StatementLog() { sqlite3_trace_v2(handle_, 0, nullptr, nullptr); }
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    std::vector<std::string> statements;
    int rows = 0;

    void clear() {
        statements.clear();
        rows = 0;
    }
    // Whether a statement holding `text` ran.
    bool ran(const std::string& text) const {
        for (const std::string& sql : statements)
            if (sql.find(text) != std::string::npos) return true;
        return false;
    }

  private:
    static int trace(unsigned kind, void* context, void* statement, void*) {
        auto& log = *static_cast<StatementLog*>(context);
        if (kind == SQLITE_TRACE_ROW)
            ++log.rows;
        else
            log.statements.push_back(sqlite3_sql(static_cast<sqlite3_stmt*>(statement)));
        return 0;
    }
    sqlite3* handle_;
};

}  // namespace kiv::test
