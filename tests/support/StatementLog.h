#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "platform/db/Database.h"
#include "platform/db/RawAccess.h"

namespace kiv::test {

// What the program asks of one database while the log lives: each statement as it starts, the
// rows SQLite hands out, and the steps SQLite's programs made for them (rows passed over by an
// OFFSET or a scan included), counted for each run of a statement that ends while the log lives.
class StatementLog {
  public:
    explicit StatementLog(Database& db) : handle_(RawAccess::handle(db)) {
        sqlite3_trace_v2(handle_, SQLITE_TRACE_STMT | SQLITE_TRACE_ROW | SQLITE_TRACE_PROFILE,
                         trace, this);
    }
    ~StatementLog() { sqlite3_trace_v2(handle_, 0, nullptr, nullptr); }
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    std::vector<std::string> statements;
    int rows = 0;
    int64_t programSteps = 0;

    void clear() {
        statements.clear();
        rows = 0;
        programSteps = 0;
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
        auto* stmt = static_cast<sqlite3_stmt*>(statement);
        if (kind == SQLITE_TRACE_ROW) {
            ++log.rows;
        } else if (kind == SQLITE_TRACE_PROFILE) {
            log.programSteps += sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_VM_STEP, 1);
        } else {
            // The count starts with this run, whatever earlier runs of a kept statement made.
            sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_VM_STEP, 1);
            log.statements.push_back(sqlite3_sql(stmt));
        }
        return 0;
    }
    sqlite3* handle_;
};

}  // namespace kiv::test
