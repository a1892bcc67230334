#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include <sqlite3.h>

#include "platform/db/Database.h"
#include "platform/db/RawAccess.h"

namespace kiv::test {

// Another copy's write, tried as the statement numbered `at` (from 0) of this copy's connection to
// the file begins, before it reads or takes a lock; only statements holding `among` are counted,
// when it is given. The write lands where this copy holds no write lock, and finds the file busy
// where it does.
class WriteAtStatement {
  public:
    WriteAtStatement(Database& db, int at, std::function<void()> write, std::string among = "")
        : handle_(RawAccess::handle(db)),
          at_(at),
          write_(std::move(write)),
          among_(std::move(among)) {
        sqlite3_trace_v2(handle_, SQLITE_TRACE_STMT, trace, this);
    }
    ~WriteAtStatement() { sqlite3_trace_v2(handle_, 0, nullptr, nullptr); }
    WriteAtStatement(const WriteAtStatement&) = delete;
    WriteAtStatement& operator=(const WriteAtStatement&) = delete;

    bool reached() const { return !statement.empty(); }
    // The statement the write was tried at, whether it landed, and any fault but a busy file.
    std::string statement;
    bool landed = false;
    std::string fault;

  private:
    static int trace(unsigned, void* context, void*, void* sql) {
        auto& self = *static_cast<WriteAtStatement*>(context);
        if (std::string_view(static_cast<const char*>(sql)).find(self.among_) == std::string::npos)
            return 0;
        if (self.seen_++ != self.at_) return 0;
        self.statement = static_cast<const char*>(sql);
        try {
            self.write_();
            self.landed = true;
        } catch (const DbError& error) {
            if ((error.code() & 0xff) != SQLITE_BUSY) self.fault = error.what();
        } catch (const std::exception& error) {
            self.fault = error.what();
        }
        return 0;
    }
    sqlite3* handle_;
    int at_;
    int seen_ = 0;
    std::function<void()> write_;
    std::string among_;
};

}  // namespace kiv::test
