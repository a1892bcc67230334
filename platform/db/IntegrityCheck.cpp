#include "platform/db/IntegrityCheck.h"

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <utility>
#include <vector>

#include "platform/db/Errors.h"
#include "platform/db/Statement.h"

namespace kiv {

namespace {

// A failure of the check that says the file cannot be trusted, as against one that says only
// that the check could not run.
bool isDamage(int code) {
    switch (code & 0xff) {
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_IOERR:
            return true;
        default:
            return false;
    }
}

// SQLite's findings, without the heading that names the schema.
std::string findingText(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows)
        if (row.rfind("*** ", 0) != 0) text += (text.empty() ? "" : "\n") + row;
    return text.empty() ? "database disk image is malformed" : text;
}

}  // namespace

IntegrityCheck::IntegrityCheck(const std::string& path)
    : file_(std::filesystem::path(path).filename().string()),
      thread_([this, path] { run(path); }) {}

// An interrupt that comes before the check's statement starts is lost, so it is repeated until
// the check has ended.
IntegrityCheck::~IntegrityCheck() {
    {
        std::unique_lock lock(mutex_);
        stopping_ = true;
        while (outcome_ == Outcome::Running) {
            if (reading_) sqlite3_interrupt(reading_);
            ended_.wait_for(lock, std::chrono::milliseconds(10));
        }
    }
    thread_.join();
}

void IntegrityCheck::awaitSound() {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return outcome_ != Outcome::Running; });
    if (outcome_ == Outcome::Damaged)
        throw DbError(fileFailureMessage(code_, file_, finding_), "PRAGMA quick_check", code_);
}

bool IntegrityCheck::foundSound() {
    std::lock_guard lock(mutex_);
    return outcome_ == Outcome::Sound;
}

void IntegrityCheck::end(Outcome outcome, int code, std::string finding) {
    {
        std::lock_guard lock(mutex_);
        outcome_ = outcome;
        code_ = code;
        finding_ = std::move(finding);
    }
    ended_.notify_all();
}

// quick_check reads every page and every row once, as integrity_check does, but leaves out the
// comparison of each index with its table, which takes several times as long again; a zeroed or
// overwritten page shows in either. It stops at its first finding.
void IntegrityCheck::run(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_stmt* check = nullptr;
    std::vector<std::string> rows;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, 5000);
        std::lock_guard lock(mutex_);
        reading_ = db;
        rc = stopping_ ? SQLITE_INTERRUPT : SQLITE_OK;
    }
    if (rc == SQLITE_OK) {
        rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &check, nullptr);
        while (rc == SQLITE_OK && (rc = sqlite3_step(check)) == SQLITE_ROW) {
            auto row = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
            rows.emplace_back(row ? row : "");
            rc = SQLITE_OK;
        }
    }
    int code = rc == SQLITE_DONE ? SQLITE_OK : rc;
    std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(check);
    {
        std::lock_guard lock(mutex_);
        reading_ = nullptr;
    }
    sqlite3_close_v2(db);
    if (code == SQLITE_OK && rows == std::vector<std::string>{"ok"})
        end(Outcome::Sound);
    else if (code == SQLITE_OK)
        end(Outcome::Damaged, SQLITE_CORRUPT, findingText(rows));
    else if (isDamage(code))
        end(Outcome::Damaged, code, message);
    else
        end(Outcome::Unknown);
}

}  // namespace kiv
